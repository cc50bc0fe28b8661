// The menu string table reader on arbitrary bytes: whatever it keeps is valid
// UTF-8 within the table's limits, and every key translates.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::StringTable table;
  table.Parse({data, size});
  if (table.Entries().size() > size_t(velmira::StringTable::kMaxLines)) std::abort();
  for (const auto& e : table.Entries()) {
    if (!velmira::IsValidUtf8(e.key) || !velmira::IsValidUtf8(e.value)) std::abort();
    // 79 code-page bytes become at most 79 × 3 / 2 UTF-8 bytes (two-byte
    // characters turn into three), one-byte replacements into three.
    if (e.key.size() > 79 * 3 || e.value.size() > 79 * 3) std::abort();
    if (table.Find(e.key) == nullptr) std::abort();
    (void)table.Translate(e.key + "\tCtrl+X");
  }
  return 0;
}
