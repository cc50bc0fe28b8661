// TIFF decoder on arbitrary bytes. The first byte picks the page, so that the
// directory walk is exercised beyond page 0; small results are encoded again.
#include <cstddef>
#include <cstdint>

#include "formats/tiff_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  velmira::CImageMemoryStream in(data + 1, size - 1);
  velmira::CImageBuffer image;
  image.Ext().frameIndex = uint16_t(data[0] & 3);
  if (velmira::TiffDecode(image, in) && int64_t(image.Width()) * image.Height() <= 1 << 16) {
    velmira::CImageMemoryStream out;
    velmira::TiffEncode(image, out);
  }
  return 0;
}
