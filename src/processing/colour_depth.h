// Colour depth reduction: octree quantization to an optimal palette, mapping of
// full-colour pixels onto a palette, the "8 비트 컬러 표현" conversion of a whole
// layer stack, and the 4-bit reduction targets.
//
// Typical uses:
//   * saving a 24-bit picture as GIF:   ReduceTo8Bit(picture, eightBit) then GifEncode;
//   * the document command (id 2016):  back up the active layer, then
//     ConvertLayersTo8Bit(stack); rebuild the view image from the new palette;
//     no history step is recorded;
//   * the 4-bit commands (ids 2011, 2013): copy FourBitTarget(optimal).slots into
//     the document's three filter-parameter slots; no pixel changes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/image_buffer.h"
#include "image/layers.h"

namespace velmira {

// Octree quantizer over 8 levels. Colours are added one by one; whenever more
// than `maxColours` leaves exist, the most recently created node of the deepest
// level that still has children is folded into a leaf. The result depends on the
// order colours arrive in, exactly as the program has always built its palettes.
class OctreeQuantizer {
 public:
  explicit OctreeQuantizer(int maxColours = 256);

  void AddColour(uint8_t red, uint8_t green, uint8_t blue) { AddRun(red, green, blue, 1); }
  // `count` pixels of one colour in a row; the same tree as adding them one by one.
  void AddRun(uint8_t red, uint8_t green, uint8_t blue, uint32_t count);
  // Every pixel of every row: B, G, R bytes at `bitsPerPixel` 24 or 32, or palette
  // indices at 1, 4 or 8 bits looked up in `palette` (B, G, R, 0 entries).
  void AddPixels(const uint8_t* rows, int width, int height, size_t stride, int bitsPerPixel,
                 const uint8_t* palette = nullptr, int paletteCount = 0);
  void AddImage(const CImageBuffer& image);

  int LeafCount() const { return leaves_; }
  // Fills `out` with 256 entries (B, G, R, 0), leaves in depth-first order, each the
  // mean of its colours (integer division), zeros after the last; returns the
  // number of colours.
  int Palette(uint8_t out[1024]) const;

 private:
  struct Node {
    uint64_t count = 0, red = 0, green = 0, blue = 0;
    int32_t child[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int32_t nextReducible = -1;
    bool leaf = false;
  };
  int32_t NewNode(int level);
  void Reduce();

  std::vector<Node> nodes_;
  std::vector<int32_t> free_;
  int32_t root_ = -1;
  int leaves_ = 0;
  int maxColours_;
  int32_t reducible_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

// The palette index a palette image stores for a colour: least squared distance
// (db² + dg² + dr²) over every entry, the lowest index on ties, exactly as
// CImageBuffer::NearestIndex, but without scanning the palette for each pixel:
// the colour cube is cut into 8 × 8 × 8 cells and each cell, when first met, keeps
// only the entries that can be nearest to some colour inside it.
class NearestColourMap {
 public:
  // `palette`: `count` entries of B, G, R, fourth byte.
  NearestColourMap(const uint8_t* palette, int count);
  int Find(uint8_t red, uint8_t green, uint8_t blue);
  int Find(Rgbq colour) { return Find(uint8_t(RgbqR(colour)), uint8_t(RgbqG(colour)), uint8_t(RgbqB(colour))); }

 private:
  void BuildCell(int cell);

  std::vector<uint8_t> pal_;  // count × (B, G, R, 0)
  int count_;
  std::vector<int32_t> cellStart_;  // −1: not built yet
  std::vector<uint16_t> cellSize_;
  std::vector<uint8_t> candidates_;
};

// Reduces a 24- or 32-bit picture to 8 bits with an octree palette of its own
// pixels. `out8` receives the picture's size, resolution and format type and a
// 256-entry palette. False (last error set in `out8`) for other depths or when
// memory runs out.
bool ReduceTo8Bit(const CImageBuffer& in, CImageBuffer& out8);

// Reduces a 24- or 32-bit picture to 4 bits without dithering: with an optimal
// 16-colour octree palette, or with the standard 16-colour palette of the VGA.
bool ReduceTo4Bit(const CImageBuffer& in, CImageBuffer& out4, bool optimal);

// The standard 16-colour palette (B, G, R, 0 entries).
const std::array<uint8_t, 64>& StandardPalette16();

// Converts every layer of a 24- or 32-bit stack to 8 bits in place. The palette is
// built from the layer in slot 0 (the bottom layer when slot 0 is free) and
// becomes the stack's 256-colour palette; each raster, background, floating and
// measurement layer is re-created at 8 bits with the same position, size,
// transparency plane, effect plane and record, and each of its pixels takes the
// nearest palette index. Text layers keep their glyph planes, the selection mask
// is left as it was and the edit copy (which has the old depth) is emptied: take
// it again before the next edit. The document's view image must be rebuilt from
// the new palette afterwards. Returns false and changes nothing when the stack is
// already at 8 bits or fewer, or when memory runs out.
bool ConvertLayersTo8Bit(LayerStack& stack);

// A recorded reduction target: bits, optimal-palette flag, dither flag, in the
// order of the document's three filter-parameter slots.
struct ReductionTarget {
  std::array<int32_t, 3> slots;
};
// (4, 1, 0) for "4비트칼라 최적변환", (4, 0, 0) for "4비트칼라 표준변환".
constexpr ReductionTarget FourBitTarget(bool optimal) { return ReductionTarget{{4, optimal ? 1 : 0, 0}}; }

}  // namespace velmira
