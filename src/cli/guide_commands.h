// The `--do` commands of guide paths: clicks of the path tool, the path turned into a
// polygon selection, and the brush stroke along it.
#pragma once

#include "cli/commands.h"

namespace velmira::cli {

// path X Y [X Y]…: each pair is a click of the path tool, in picture pixels.
bool PathCmd(Context& c, const std::vector<std::string>& a, std::string& e);
// path-to-selection: the closed path becomes the selection.
bool PathToSelectionCmd(Context& c, const std::vector<std::string>& a, std::string& e);
// path-stroke [PERCENT]: the brush along the first PERCENT (0…100, default 100) of the path.
bool PathStrokeCmd(Context& c, const std::vector<std::string>& a, std::string& e);

}  // namespace velmira::cli
