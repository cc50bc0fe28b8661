// What the pixel tools (brush, fill, gradient) may write to: the layer of a slot
// when its buffers can be painted, and the selection that limits the writes.
#pragma once

#include <cstdint>

#include "image/layers.h"

namespace velmira {

// The layer in `slot` when its pixels can be painted: not a text layer, a depth of
// 1, 4, 8, 24 or 32 bits, and buffers as large as its geometry says.
Layer* PaintableLayer(LayerStack& L, int slot);

// The mask bytes that limit writes to `slot`, or nullptr when every pixel counts as
// selected. A mask left over from another geometry is replaced by an empty one.
const uint8_t* SelectionFor(LayerStack& L, int slot);

}  // namespace velmira
