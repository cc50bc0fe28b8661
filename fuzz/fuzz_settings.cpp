// The settings file reader on arbitrary bytes. Whatever it reads must write out and
// read back to the same values: a file the editor wrote is always one it can read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmira::SettingsRecord first;
  velmira::ParseSettings({data, size}, first);
  const std::vector<uint8_t> written = velmira::SerializeSettings(first);
  velmira::SettingsRecord second;
  const velmira::SettingsReadReport report = velmira::ParseSettings(written, second);
  if (!report.complete()) std::abort();
  first.gridGap = first.gridGap < 0 ? -first.gridGap : first.gridGap;
  first.folder = 0;
  if (!(first == second)) std::abort();
  if (velmira::SerializeSettings(second) != written) std::abort();
  return 0;
}
