// The update-check and acquisition commands as the menus and velmira-cli reach
// them: their ids and labels, how a delivered page becomes a document, and how the
// pages of one scan are named on disk.
#pragma once

#include <memory>
#include <string>

#include "image/doc.h"
#include "image/image_buffer.h"
#include "image/ui_text.h"

namespace velmira::online {

constexpr int kCmdSelectSource = 1474;
constexpr int kCmdAcquire = 1475;
constexpr const char* kSelectSourceLabel = QT_TR_NOOP("외부장치 선택...");
constexpr const char* kAcquireLabel = QT_TR_NOOP("외부영상 입력 ");

// "스캔영상_%d" for the running picture counter.
std::string ScanDocumentName(int counter);

// Makes `doc` (new and empty) the document of a delivered page, named with the
// running counter, which rises by one for each page that became a document. A page
// without pixels makes no document and leaves the counter alone. The document
// counts as modified: the page exists nowhere else, so closing it asks to save.
bool OpenScannedPage(CMirvDoc& doc, std::unique_ptr<CImageBuffer> image, int& counter);

// The file for page `index` (from 0) of a scan saved as `output`: every "%d" in it
// becomes the page number from 1; without "%d" the first page is `output` itself
// and later pages get "-2", "-3"… before the extension.
std::string PageFileName(const std::string& output, int index);

}  // namespace velmira::online
