// Shared helpers of the processing routines: the selection as a plane over a layer,
// palette layers seen as 24-bit pixels and written back by nearest index.
#pragma once

#include <cstdint>
#include <vector>

#include "image/layers.h"

namespace velmira {

// The selection over a layer as width × height bytes (non-zero = selected). The
// document's mask is used directly when it has the layer's geometry; otherwise the
// mask is sampled at the layer's coordinates into `scratch`.
const uint8_t* SelectionPlane(const LayerStack& L, const Layer& l, std::vector<uint8_t>& scratch);
// Whether the selection covers every pixel of the layer (no selection, or one of
// ones over the layer's geometry), found without building a plane for it.
bool WholeLayerSelected(const LayerStack& L, const Layer& l);

// True when a raster layer stores palette indices rather than B, G, R bytes.
inline bool IsPaletteLayer(const LayerStack& L, const Layer& l) {
  return l.kind != kLayerText && L.header.bitsPerPixel <= 8;
}

// A palette layer's pixels as B, G, R rows of stride StrideFor(width, 24).
std::vector<uint8_t> ExpandTo24(const LayerStack& L, const Layer& l);
// Writes a palette index at (x, y) of rows laid out like the layer's pixels.
void PutIndex(uint8_t* rows, int stride, int bpp, int x, int y, int index);

}  // namespace velmira
