// Argument helpers shared by the command-line forms of the selection and painting
// tools.
#pragma once

#include <array>

#include "commands/registry.h"
#include "tools/view_geometry.h"

namespace velmira {

// Picture points (x from the left, y from the top) from the arguments at `first`,
// mapped to pixels of the active layer; N is 1 or 2.
template <size_t N>
bool MapPicturePoints(CommandContext& c, const CommandArgs& a, size_t first, std::array<Point, N>& out,
                      std::string& e);
bool ParseTolerance(const std::string& s, int& t, std::string& e);
// False (after the document's message) on a text layer or without a layer.
bool ToolMayWork(CommandContext& c, std::string& e);

}  // namespace velmira
