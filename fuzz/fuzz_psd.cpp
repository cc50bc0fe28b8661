// libFuzzer target: the PSD composite reader.
#include <cstddef>
#include <cstdint>

#include "formats/psd_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kEmpty = 0;
  if (size == 0) data = &kEmpty;  // a null block would make a write stream
  velmira::CImageMemoryStream in(data, size);
  velmira::CImageBuffer img;
  velmira::PsdImport(in, img);
  return 0;
}
