// Finds and opens the text rasterizer module (text_plugin.cpp) on first use.
#pragma once

#include <filesystem>
#include <string>

#include "image/doc_host.h"

namespace velmira {

// The module's file name, and where it is looked for: VELMIRA_TEXT_PLUGIN when set,
// the build tree for programs in it, else <prefix>/lib/velmira beside the program.
inline constexpr const char* kTextPluginName = "velmira-text.so";
std::filesystem::path TextPluginPath();

// The rasterizer, or nullptr with the reason in `why` (the first answer is kept).
TextRasterizer* LoadTextPlugin(std::string* why = nullptr);

}  // namespace velmira
