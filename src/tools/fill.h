// The area tools' pixel work: the flood fill and the gradient, plus the one-pixel
// line the gradient tool shows while it is being dragged.
//
// Coordinates are pixels of the layer in `slot`, x from the left and y counting
// stored rows (y = 0 is the bottom row as shown). Every write honours the selection
// when `slot` is the active layer: a pixel counts as selected when nothing is
// selected or its mask byte is non-zero. Text layers are never painted.
#pragma once

#include "image/layers.h"

namespace velmira {

// Eight-connected flood fill from (x, y). Each neighbour is compared with the pixel
// it was reached from, not with the seed: it joins when it has no coverage (alpha
// 0) or when |ΔR| + |ΔG| + |ΔB| + |Δalpha| < tolerance, so the fill follows smooth
// ramps. Every reached pixel that is selected takes `colour`; its alpha becomes
// 255, or, with borderSpread F > 0 while a selection exists, the pixel's depth
// inside the selection (BorderSpreadMap), so the fill fades out toward the
// selection's border. Reached pixels outside the selection are passed through
// untouched. Returns false, changing nothing, when the start lies outside the layer
// or outside the selection, the layer is a text layer, or memory runs short.
bool FloodFill(LayerStack& L, int slot, int x, int y, Rgbq colour, int tolerance, int borderSpread);

enum class GradientResult { Click, Vertical, Horizontal, General };

// The gradient of a drag from S = (sx, sy) to E = (ex, ey).
// - S = E (Click): nothing changes. Also returned, with nothing changed, when the
//   slot holds no layer that can be painted (empty slot, text layer).
// - A vertical drag shades every selected pixel of the layer from the foreground
//   at the start's edge toward black; a horizontal drag likewise by column. Kind
//   and colour mode do not apply to these two.
// - Any other drag colours every selected pixel by where its perpendicular meets
//   the line S–E, measured across the selection's bounding box (the whole layer
//   when nothing is selected): kind 1 one-way (the foreground at the start's side),
//   2 two-way (mirrored about the middle of the box); mode 1 fades the foreground to
//   black, 2 blends from `second` to `foreground`. Selected pixels become opaque.
GradientResult ApplyGradient(LayerStack& L, int slot, int sx, int sy, int ex, int ey, int kind, int mode,
                             Rgbq foreground, Rgbq second);

// A one-pixel line from (x0, y0) to (x1, y1), both ends included, along the
// Bresenham walk: each selected pixel of the layer on it takes `colour` at alpha
// 255. Returns false (nothing drawn) for an empty slot or a text layer.
bool DrawPixelLine(LayerStack& L, int slot, int x0, int y0, int x1, int y1, Rgbq colour);

}  // namespace velmira
