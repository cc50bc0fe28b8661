// libFuzzer target: the PCX decoder.
#include <cstddef>
#include <cstdint>

#include "formats/pcx_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kEmpty = 0;
  if (size == 0) data = &kEmpty;  // a null block would make a write stream
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer img;
  velmira::PcxDecode(img, in);
  return 0;
}
