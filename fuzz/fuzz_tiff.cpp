// TIFF decoder on arbitrary bytes. The input's length sometimes picks a later page (so
// that the seeds stay valid TIFF files), exercising the directory walk; small
// results are encoded again.
#include <cstddef>
#include <cstdint>

#include "formats/tiff_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer image;
  image.Ext().frameIndex = uint16_t(size % 5 == 4 ? 1 + size % 2 : 0);
  if (velmira::TiffDecode(image, in) && int64_t(image.Width()) * image.Height() <= 1 << 16) {
    velmira::CImageMemoryStream out;
    velmira::TiffEncode(image, out);
  }
  return 0;
}
