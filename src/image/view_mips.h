// Reduced copies of the layers for the view: level k of a layer shows it at 1 / 2^k.
//
// A reduced view reads the smallest level that is still at least as large as its
// zoom, so zoom ¼ reads a sixteenth of the bytes it would read from the layer. A
// level is decimated, not averaged: its cell (m, q) holds the layer's pixel at canvas
// column m × 2^k and canvas row q × 2^k counted from the top — the very pixel a view
// at zoom 1 / 2^k samples, so a reduced view shows the same bytes with or without the
// levels. Levels are built lazily, tile by tile, only where a view asks for them,
// and forgotten tile by tile for a changed canvas rectangle (the owner tells), or
// wholly for a layer whose geometry changed, whose planes were replaced or whose
// blocks were written in place (seen on Sync). It never compares pixel contents.
//
// Only 24-bit raster layers without a drop shadow have levels: the composition
// samples the others at full resolution on the same grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/layers.h"

namespace velmira {

// Canvas pixels in storage order: x from the left, y counting stored rows from the
// bottom (canvas row r shows layer row r + layer.y).
struct CanvasRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Empty() const { return w <= 0 || h <= 0; }
  CanvasRect United(const CanvasRect& o) const;
  CanvasRect Intersected(const CanvasRect& o) const;
  bool operator==(const CanvasRect&) const = default;
};

// One level of one layer laid out like a 24-bit layer of its own on the level's
// canvas (ceil(canvas / 2^k) cells): rows bottom-up, `x`/`y` its offset there.
struct MipLevelView {
  const uint8_t* pixels = nullptr;
  const uint8_t* alpha = nullptr;
  size_t pixStride = 0;
  size_t alphaStride = 0;
  int x = 0, y = 0, width = 0, height = 0;
  const uint8_t* pixEnd = nullptr;  // vector loads must not read past this
  // The same bytes for a composition that writes the level as it reads the layer.
  uint8_t* fillPixels = nullptr;
  uint8_t* fillAlpha = nullptr;
};

constexpr int kMaxMipLevel = 12;

class ViewMips {
 public:
  ViewMips();
  ~ViewMips();
  ViewMips(const ViewMips&) = delete;
  ViewMips& operator=(const ViewMips&) = delete;

  // Whether a layer gets levels (24-bit raster layers without a shadow).
  static bool Represents(const LayerStack& st, const Layer& l);

  // Level k (1 … kMaxMipLevel) of the layer in `slot`, built at least over the level
  // cells [c0, c1) × [r0, r1) (rows counted from the top). nullptr for a layer
  // without levels or nothing to show there. The view stays valid until the next
  // call that changes the cache.
  // Without `build`, nullptr when most of the asked tiles are not built yet.
  const MipLevelView* Level(const LayerStack& st, int slot, int k, int c0, int r0, int c1, int r1,
                           bool build = true);
  // Level k of the layer to be written by a composition that samples the layer
  // at exactly the level's cells (zoom 1 / 2^k): it copies each sampled row into
  // the level on its way and then calls MarkBuilt for the cells it wrote, so a
  // first frame costs no more than without levels. nullptr for a layer without.
  MipLevelView* Target(const LayerStack& st, int slot, int k);
  // Every tile wholly inside the written cells [c0, c1) × [r0, r1) counts as built.
  void MarkBuilt(int slot, int k, int c0, int r0, int c1, int r1);

  // Forgets every level cell whose canvas pixel lies in `r` (slot −1: every layer).
  void Invalidate(const CanvasRect& r, int slot = -1);
  // After a change described by no rectangle: forgets the levels of every layer
  // whose planes were replaced or written in place since its levels were started
  // (the blocks' write notes), and of freed slots. Levels of untouched layers stay.
  void Sync(const LayerStack& st);
  // Forgets everything (lazily: the memory stays for the next build).
  void InvalidateAll();
  // Frees everything.
  void Clear();

  // Bytes of built tiles, and tiles built (or filled by a composition) since the
  // start (for tests and benchmarks).
  size_t BuiltBytes() const;
  uint64_t TilesBuilt() const { return tilesBuilt_; }

 private:
  struct Grid;
  struct Slot;
  Grid* Prepare(const LayerStack& st, int slot, int k);
  std::array<std::unique_ptr<Slot>, kMaxLayers> slots_;
  uint64_t tilesBuilt_ = 0;
};

}  // namespace velmira
