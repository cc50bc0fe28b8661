// The selection mask algorithms: what the selection tools write into the active
// layer's mask. One byte per layer pixel, rows in storage order (y = 0 is the bottom
// row as shown):
//   0 not selected, 1 selected, 2 boundary mark (lasso and polygon edges, the
//   rectangle's rubber band; a pixel a wand or colour-range pass selected before),
//   5 end-point mark.
// A mask of all 1 with selectionExists false means "nothing selected", which every
// edit treats as "everything selected". Every routine here first rebuilds the mask
// when it does not have the active layer's size.
#pragma once

#include <atomic>
#include <cstdint>

#include "image/layers.h"

namespace velmira {

// Boundary and end-point marks.
constexpr uint8_t kMaskBoundary = 2;
constexpr uint8_t kMaskEndPoint = 5;

// Makes the mask match the active layer's geometry (a fresh all-1 mask when it does
// not). False when there is no active layer.
bool EnsureSelectionMask(LayerStack& L);

// Selects exactly the pixels with min(x0,x1) ≤ x ≤ max(x0,x1) and the same for y,
// clipped to the layer: 1 inside, 0 elsewhere; the selection then exists.
void SelectRect(LayerStack& L, int x0, int y0, int x1, int y1);

// Marks the Bresenham walk from (x0, y0) to (x1, y1), both ends included, one mask
// byte per step, with `value`. With kMaskEndPoint the four neighbours of each end
// are marked too. Pixels off the mask are skipped.
void MarkSegment(LayerStack& L, int x0, int y0, int x1, int y1, uint8_t value);

// Turns the closed outline a lasso or polygon drew (boundary marks) into a region:
// finds a seed inside the outline, clears every other byte to 0 and floods the
// inside with 1 (four-way); the marks stay. True when a region was filled. A mask
// with no marks is left alone; marks that enclose nothing leave just the marks.
bool FillMarkedRegion(LayerStack& L);

// The magic wand at layer pixel (x, y): selects the seed and every covered pixel
// four-way connected to it whose colour differs from the seed's by a sum of
// absolute channel differences strictly below `tolerance`. With `add` and an
// existing selection the new region joins it (earlier marks 2 become 1); otherwise
// it replaces it. Returns the number of pixels this pass selected (seed included),
// −1 when the point is off the layer or there is no active layer.
int MagicWand(LayerStack& L, int x, int y, int tolerance, bool add);

// Selects every covered pixel of the active layer whose colour differs from
// `reference` by a sum of absolute channel differences of at most `tolerance`,
// connected or not. `add` joins an existing selection as the wand does. Stops
// between rows once *cancel is set. Returns the number of matching pixels (−1 with
// no active layer).
int ColourRange(LayerStack& L, Rgbq reference, int tolerance, bool add, const std::atomic<bool>* cancel = nullptr);

// 0 becomes 1 and everything else 0. Inverting "nothing selected" selects nothing.
void InvertSelection(LayerStack& L);

// Nothing selected: the mask all 1 and selectionExists false.
void ClearSelectionMask(LayerStack& L);

}  // namespace velmira
