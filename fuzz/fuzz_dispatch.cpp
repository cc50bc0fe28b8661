// Detection by content: every decoder in turn over the same bytes, each starting
// from the position the previous one left behind.
#include <cstddef>
#include <cstdint>

#include "formats/format_dispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer image;
  velmira::DecodeStream(image, in, velmira::kFormatDetect);
  return 0;
}
