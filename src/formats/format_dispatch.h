// The one entry to the picture codecs: format numbers, file-name extensions, the
// open/save dialog's format list, and decoding or encoding by format number over a
// stream or a file.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

// One row of the open/save dialogs' format list.
struct FileFormatEntry {
  int type;  // an ImageFormat, or kAllPictureFormats
  bool open;
  bool save;
  const char* description;  // UTF-8
  const char* pattern;      // "*.jpg;*.jpeg"
};
// The "all picture formats" row exists only in the dialogs' list.
constexpr int kAllPictureFormats = 8;

std::span<const FileFormatEntry> FileFormatTable();

// FormatFromExtension, the one map from extensions to format numbers, is in
// image/image_buffer.h beside the numbers themselves.
int FormatFromPath(const std::filesystem::path& path);

// Description, NUL, pattern, NUL for every row usable when opening (or saving).
std::string BuildFilterString(bool open);
// The same rows as Qt file-dialog filters: "JPG (*.jpg *.jpeg)".
std::vector<std::string> BuildQtFilters(bool open);
// Format number of the row at `index` among the rows usable when opening (or
// saving); −1 when there is no such row.
int FormatFromFilterIndex(int index, bool open);

// The file a save will write when the user typed `typed` with the format row
// `chosenFormat` selected: an extension the program writes decides the format
// whatever row is selected; otherwise the row's first extension is appended (JPEG
// for "all picture formats"), so the overwrite question can name the real file.
std::filesystem::path ResolveSaveName(const std::filesystem::path& typed, int chosenFormat);
// Index of `format`'s row among the save rows (0, JPEG's, when it has none).
int SaveFilterIndex(int format);

// Decodes into `image` with the codec of `format` (−1: detect BMP, JPEG, GIF, TIFF,
// PCX in that order). VLM and measurement files are other parts' business and
// succeed without touching anything. On failure `image` keeps its picture and its
// last error says why.
bool DecodeStream(CImageBuffer& image, CImageStream& stream, int format);
bool EncodeStream(CImageBuffer& image, CImageStream& stream, int format);

// Decodes a file; when the named format fails, detection by content gets a second try.
bool LoadFile(CImageBuffer& image, const std::filesystem::path& path, int format);
// Encodes into a temporary file beside `path` and renames it over the old file only
// when everything was written, so a failed save leaves the old file as it was.
bool SaveFile(CImageBuffer& image, const std::filesystem::path& path, int format);

}  // namespace velmira
