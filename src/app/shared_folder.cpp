#include "app/shared_folder.h"

#include <cstdlib>
#include <system_error>

namespace velmira {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return exe.parent_path();
}

fs::path SharedFolderFor(const fs::path& exeFolder) {
  std::error_code ec;
  if (const char* env = std::getenv("VELMIRA_SHARE"); env && *env) {
    if (fs::is_directory(env, ec)) return fs::path(env);
  }
  if (exeFolder.empty()) return {};
  // Installed: <prefix>/bin/velmira and <prefix>/share/velmira.
  fs::path installed = exeFolder.parent_path() / "share" / "velmira";
  if (fs::is_directory(installed, ec)) return installed.lexically_normal();
  // Build tree: <source>/build/src/ui/velmira and <source>/share/velmira.
  fs::path dir = exeFolder;
  for (int up = 0; up < 5 && !dir.empty(); ++up) {
    fs::path candidate = dir / "share" / "velmira";
    if (fs::is_directory(candidate, ec)) return candidate.lexically_normal();
    if (dir == dir.parent_path()) break;
    dir = dir.parent_path();
  }
  return {};
}

fs::path SharedFolder() { return SharedFolderFor(ExecutableFolder()); }

fs::path SamplesFolder() {
  const fs::path share = SharedFolder();
  if (share.empty()) return {};
  std::error_code ec;
  fs::path samples = share / "Samples";
  return fs::is_directory(samples, ec) ? samples : fs::path{};
}

}  // namespace velmira
