// libFuzzer target: the reply of the update check, as the version it names and the
// text the update dialog would show.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/update_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmira::online;
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const std::optional<int> version = OnlineVersion(reply);
  // Only the first block counts: the rest of the reply cannot change the result.
  if (size > kUpdateReadLimit && OnlineVersion(reply.substr(0, kUpdateReadLimit)) != version) std::abort();
  if (IsNewer(kOwnVersion, version) && NewVersionText(*version).empty()) std::abort();
  return 0;
}
