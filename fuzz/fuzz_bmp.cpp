// BMP decoder on arbitrary bytes; whatever decodes is encoded again, so that odd
// geometries reach the encoder too.
#include <cstddef>
#include <cstdint>

#include "formats/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer image;
  if (velmira::BmpDecode(image, in)) {
    velmira::CImageMemoryStream out;
    velmira::BmpEncode(image, out);
  }
  return 0;
}
