// The soft edge of a selection ("경계퍼짐"): how deep inside the selection each
// pixel lies, measured by the share of selected pixels in a square window around it.
// Cutting a selection leaves a hole whose rim fades over about F pixels; the flood
// fill uses the same depth so that its colour fades toward the selection's border.
#pragma once

#include <cstdint>
#include <vector>

#include "image/layers.h"

namespace velmira {

class BorderSpreadMap {
 public:
  // Counts the mask's 1-bytes of the active layer's selection; spread F ≥ 1.
  BorderSpreadMap(const LayerStack& L, int spread);
  // 0 at the border of the selection … 255 at least F pixels inside it: the window
  // from −F to F − 1 on both axes holds `count` selected pixels (row 0, column 0 and
  // pixels outside the mask are not counted); the depth is
  // min(255, max(0, count − 2F²) × 256 ÷ 2F²).
  int Depth(int x, int y) const;

 private:
  int w_ = 0, h_ = 0, f_ = 1;
  std::vector<uint32_t> sums_;  // (w + 1) × (h + 1) running sums of selected pixels
};

// What a cut leaves of the selected pixels of a layer: with spread ≤ 0 they become
// transparent; otherwise a fully covered pixel keeps 255 − depth and any other
// becomes transparent. Pixels outside the selection are untouched.
void CutWithBorderSpread(LayerStack& L, int slot, int spread);

}  // namespace velmira
