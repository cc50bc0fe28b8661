#include "formats/gif_codec.h"

namespace velmira {

bool GifDecode(CImageBuffer& image, CImageStream&) {
  image.SetLastError("GIF decoding not available yet");
  return false;
}

bool GifEncode(const CImageBuffer&, CImageStream&, CImageBuffer& errors) {
  errors.SetLastError("GIF encoding not available yet");
  return false;
}

}  // namespace velmira
