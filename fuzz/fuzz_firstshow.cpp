// The first-run marker reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int v = velmira::ParseFirstShow({data, size});
  // A value the editor writes reads back as itself.
  const std::string text = std::to_string(v);
  if (velmira::ParseFirstShow({reinterpret_cast<const uint8_t*>(text.data()), text.size()}) != v) std::abort();
  return 0;
}
