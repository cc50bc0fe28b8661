// The `--do` commands that script the selection, painting, fill and gradient tools.
#pragma once

#include "cli/commands.h"

namespace velmira::cli {

bool SelectRectCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool SelectColourRangeCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool MagicWandCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool InvertSelectionCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool ClearSelectionCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool FillCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool GradientCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool StrokeCmd(Context& c, const std::vector<std::string>& a, std::string& e);

}  // namespace velmira::cli
