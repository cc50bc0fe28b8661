// PSD: the merged composite image only (layers, masks and paths are not read),
// delivered as a 32-bit picture. PSD files are never written.
#pragma once

#include <cstdint>
#include <filesystem>

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

enum class PsdResult : int {
  Ok = 0,
  CannotOpen = -1,           // the file does not open for reading
  BadHeader = -2,            // signature, version (large documents too) or reserved bytes
  BadColourModeData = -3,    // colour mode section missing or longer than the file
  BadResources = -4,         // image resources section missing or longer than the file
  BadLayerSection = -5,      // layer and mask section cannot be passed over
  BadImageData = -6,         // composite data truncated or its sizes impossible
  UnsupportedMode = -7,      // colour mode unknown or with too few channels
  NoMemory = -8,             // the picture does not fit in memory
  UnsupportedDepth = -9,     // bits per channel other than 1, 8 or 16
  ZipCompression = -10,      // ZIP without prediction
  ZipPredictionCompression = -11,
  UnknownCompression = -12,
};

enum PsdColourMode : int {
  kPsdBitmap = 0,
  kPsdGreyscale = 1,
  kPsdIndexed = 2,
  kPsdRgb = 3,
  kPsdCmyk = 4,
  kPsdMultichannel = 7,
  kPsdDuotone = 8,
  kPsdLab = 9,
};

struct PsdHeader {
  int channels = 0;
  uint32_t height = 0;
  uint32_t width = 0;
  int depth = 0;  // bits per channel
  int mode = 0;   // PsdColourMode
};

// Reads the 26-byte header; true when signature "8BPS", version 1 and the zero
// reserved bytes are all present.
bool PsdReadHeader(CImageStream& stream, PsdHeader& header);

// Reads the composite image of a PSD stream into `image`: 32 bits per pixel, rows
// bottom-up as every CImageBuffer, fourth byte 255 (opaque), resolution from the
// file when it carries one, format type 7. Every colour mode is converted to RGB:
// greyscale and duotone from the first channel, indexed through the file's table,
// CMYK (and multichannel with three or more channels) with the plain
// (1 − c)(1 − k) rule, Lab as CIE L*a*b* under D50 through Bradford adaptation to
// sRGB, bitmap with set bits black. 16-bit channels keep their high byte, except
// CMYK and Lab which use the full value. On failure `image` keeps its pixels and its
// last error holds an English reason.
PsdResult PsdImport(CImageStream& stream, CImageBuffer& image);

// The same from a file; CannotOpen when it does not open.
PsdResult PsdImportFile(const std::filesystem::path& path, CImageBuffer& image);

}  // namespace velmira
