#include "formats/pcx_codec.h"

namespace velmira {

bool PcxDecode(CImageBuffer& image, CImageStream&) {
  image.SetLastError("PCX decoding not available yet");
  return false;
}

}  // namespace velmira
