// Composition of the visible layers, bottom first, into 32-bit B, G, R, alpha pixels.
//
// The same kernel serves the view (only the visible rectangle, at the view's zoom,
// straight from the layers) and merge/flatten (the whole canvas at 1:1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/layers.h"

namespace velmira {

class ViewMips;

// The layer's whole opacity at coverage a: the per-layer factor N of the blend.
float BlendFactor(int coverage, int layerTransparency);
// One channel of a blend mode (not the list's bottom layer).
int BlendChannel(int mode, float n, int s, int d);

// Row kernels: 0 scalar, 1 SSE2, 2 AVX2, 3 AVX-512. All give identical bytes; tests and
// benchmarks pin one with SetComposeKernel (−1 returns to the best available).
int BestComposeKernel();
void SetComposeKernel(int level);
// Threads a composition may use (0: one per core). Every count gives the same bytes.
void SetComposeThreads(int threads);

struct ComposeRange {
  int start = -1;  // first slot; −1: the bottom layer
  int count = kMaxLayers;
};

// Zoomed-space viewport: output pixel (i, j) shows zoomed picture pixel
// (left + i, top + j), i.e. canvas column trunc((left + i) / zoomX) and the canvas row
// trunc((top + j) / zoomY) counted from the top. Output rows are top-down; the
// buffer is cleared first; pixels outside the canvas stay 0.
//
// With `mips` a reduced view reads every layer that has levels from the smallest
// level still at least as large as the zoom (built where needed) and samples the
// others on the same grid; at zoom 1 / 2^k the bytes are those composed without.
void ComposeViewport(const LayerStack& stack, ComposeRange range, int left, int top, int width,
                     int height, float zoomX, float zoomY, uint8_t* out, size_t outStride,
                     ViewMips* mips = nullptr);

// Whether every canvas pixel comes out fully covered, known without composing: the
// first visible layer covers the canvas and its transparency plane was never
// written below full coverage (layers above cannot lower coverage). False when it
// cannot tell cheaply. The view then draws no transparency hatch under the picture.
bool ComposesOpaque(const LayerStack& stack);

// The whole canvas at 1:1 into `out`, rows bottom-up like the layers
// (canvas width × 4 bytes a row). Returns false when the canvas is empty.
bool ComposeCanvas(const LayerStack& stack, ComposeRange range, std::vector<uint8_t>& out);

}  // namespace velmira
