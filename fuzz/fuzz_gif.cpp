// libFuzzer target: the GIF decoder, every frame it reports (which exercises the
// frame composition), and the encoder on whatever decodes.
#include <cstddef>
#include <cstdint>

#include "formats/gif_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kEmpty = 0;
  if (size == 0) data = &kEmpty;  // a null block would make a write stream
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer img;
  if (!velmira::GifDecode(img, in)) return 0;
  const int frames = img.Ext().frameCount;
  // Re-encoding is worth its time only on pictures of ordinary size.
  if (int64_t(img.Width()) * img.Height() <= (int64_t(1) << 22)) {
    velmira::CImageMemoryStream out;
    velmira::GifEncode(img, out, img);
  }
  if (frames > 1) {
    velmira::CImageMemoryStream again(data, size);
    velmira::CImageBuffer last;
    last.Ext().frameIndex = uint16_t(frames < 8 ? frames - 1 : 7);
    velmira::GifDecode(last, again);
  }
  return 0;
}
