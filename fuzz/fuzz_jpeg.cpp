// JPEG decoder on arbitrary bytes; small results are encoded again.
#include <cstddef>
#include <cstdint>

#include "formats/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer image;
  if (velmira::JpegDecode(image, in) && int64_t(image.Width()) * image.Height() <= 1 << 16) {
    velmira::CImageMemoryStream out;
    velmira::JpegEncode(image, out);
  }
  return 0;
}
