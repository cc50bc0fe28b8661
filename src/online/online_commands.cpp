#include "online/online_commands.h"
#include "image/ui_text.h"

#include <filesystem>

#include "image/text.h"

namespace velmira::online {

std::string ScanDocumentName(int counter) { return Format(UiText("스캔영상_%d"), counter); }

bool OpenScannedPage(CMirvDoc& doc, std::unique_ptr<CImageBuffer> image, int& counter) {
  if (!image || !image->IsValid() || image->Width() < 1 || image->Height() < 1) return false;
  if (!doc.OpenImage(std::move(image), ScanDocumentName(counter))) return false;
  ++counter;
  doc.SetModified(true);
  return true;
}

std::string PageFileName(const std::string& output, int index) {
  const std::string number = std::to_string(index + 1);
  if (output.find("%d") != std::string::npos) {
    std::string out;
    for (size_t i = 0; i < output.size(); ++i) {
      if (output.compare(i, 2, "%d") == 0) {
        out += number;
        ++i;
      } else {
        out += output[i];
      }
    }
    return out;
  }
  if (index == 0) return output;
  const std::filesystem::path p(output);
  std::filesystem::path named = p.parent_path() / (p.stem().string() + "-" + number + p.extension().string());
  return named.string();
}

}  // namespace velmira::online
