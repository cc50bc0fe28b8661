// The brush palette: sixteen buttons, soft brushes of sizes 8 down to 1, then hard
// ones of sizes 8 down to 1. Each is a command that sets the brush.
#pragma once

#include <vector>

namespace velmira {

struct BrushButton {
  int id;
  int size;
  bool soft;
};
const std::vector<BrushButton>& BrushPalette();

}  // namespace velmira
