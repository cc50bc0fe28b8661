#include "app/text_plugin_loader.h"

#include <cstdlib>
#include <string>

#include "app/shared_folder.h"
#include "image/run_time_library.h"

namespace velmira {

namespace fs = std::filesystem;

fs::path TextPluginPath() {
  if (const char* env = std::getenv("VELMIRA_TEXT_PLUGIN"); env && *env) return fs::path(env);
  const fs::path exe = ExecutableFolder();
  // Programs (and tests) run from the build tree use the module built beside them;
  // an installed program only ever looks in its own prefix.
  const std::string build = VELMIRA_BUILD_ROOT;
  const std::string where = exe.string();
  if (where.compare(0, build.size(), build) == 0 && (where.size() == build.size() || where[build.size()] == '/'))
    return fs::path(VELMIRA_BUILD_PLUGIN_DIR) / kTextPluginName;
  return (exe.parent_path() / "lib" / "velmira" / kTextPluginName).lexically_normal();
}

TextRasterizer* LoadTextPlugin(std::string* why) {
  struct Loaded {
    TextRasterizer* r = nullptr;
    std::string why;
  };
  static const Loaded loaded = [] {
    Loaded l;
    const fs::path path = TextPluginPath();
    // Kept open for the life of the process: the rasterizer and its Qt application
    // live in it.
    void* h = OpenRunTimeLibrary(path.string(), &l.why);
    if (!h) return l;
    TextRasterizer* (*entry)() = nullptr;
    if (!ResolveFunction(h, "velmira_text_rasterizer", entry)) {
      l.why = path.string() + " is not a text rasterizer module";
      return l;
    }
    l.r = entry();
    return l;
  }();
  if (!loaded.r && why) *why = loaded.why;
  return loaded.r;
}

}  // namespace velmira
