#include "tools/fill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "image/border_spread.h"
#include "tools/layer_pixels.h"
#include "tools/paint.h"

namespace velmira {

namespace {

// Direct access to the rows of a 24- or 32-bit layer (B, G, R stored first).
template <int Bytes>
struct DirectPixels {
  uint8_t* base;
  size_t stride;

  Rgbq Read(int x, int y) const {
    const uint8_t* p = base + size_t(y) * stride + size_t(x) * Bytes;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
  }
  void Write(int x, int y, Rgbq c) {
    uint8_t* p = base + size_t(y) * stride + size_t(x) * Bytes;
    p[0] = uint8_t(c);
    p[1] = uint8_t(c >> 8);
    p[2] = uint8_t(c >> 16);
  }
};

// A paletted layer of 1, 4 or 8 bits: colours are read through the picture's
// palette and written as the nearest palette index, straight into the rows. The
// nearest-index search is costly, so the colours met are remembered in a small
// direct-mapped cache (a gradient meets a few hundred of them, a fill just one).
struct PalettePixels {
  const LayerStack* L;
  uint8_t* base;
  size_t stride;
  int bits;
  Rgbq table[256] = {};
  static constexpr int kCacheBits = 12;
  std::vector<uint32_t> keys;  // colour | 1 << 24 when filled
  std::vector<uint8_t> values;

  PalettePixels(const LayerStack& stack, Layer& l, int bpp)
      : L(&stack), base(l.pixels.data()), stride(size_t(l.stride)), bits(bpp),
        keys(size_t(1) << kCacheBits, 0), values(size_t(1) << kCacheBits, 0) {
    for (int i = 0; i < 256; ++i) table[i] = stack.PictureColour(i);
  }

  Rgbq Read(int x, int y) const { return table[RowIndex(base + size_t(y) * stride, bits, x)]; }

  int Nearest(Rgbq c) {
    c &= 0xFFFFFF;
    const size_t slot = (c * 2654435761u) >> (32 - kCacheBits);
    if (keys[slot] != (c | (1u << 24))) {
      keys[slot] = c | (1u << 24);
      values[slot] = uint8_t(L->NearestPaletteIndex(c));
    }
    return values[slot];
  }
  void Write(int x, int y, Rgbq c) {
    PutRowIndex(base + size_t(y) * stride, bits, x, Nearest(c));
  }
};

// Calls f with the row access that fits the layer's depth.
template <class F>
void WithPixels(const LayerStack& L, Layer& l, F&& f) {
  switch (L.LayerBpp(l)) {
    case 24: {
      DirectPixels<3> px{l.pixels.data(), size_t(l.stride)};
      f(px);
      break;
    }
    case 32: {
      DirectPixels<4> px{l.pixels.data(), size_t(l.stride)};
      f(px);
      break;
    }
    default: {
      PalettePixels px(L, l, L.LayerBpp(l));
      f(px);
      break;
    }
  }
}

// Pixel positions on the flood's stack: x and y packed into 32 bits when both fit
// in 16, otherwise into 64.
struct Packed32 {
  using T = uint32_t;
  static T Pack(int x, int y) { return (uint32_t(y) << 16) | uint32_t(x); }
  static int X(T e) { return int(e & 0xFFFF); }
  static int Y(T e) { return int(e >> 16); }
};
struct Packed64 {
  using T = uint64_t;
  static T Pack(int x, int y) { return (uint64_t(uint32_t(y)) << 32) | uint32_t(x); }
  static int X(T e) { return int(uint32_t(e)); }
  static int Y(T e) { return int(e >> 32); }
};

inline int ColourDistance(Rgbq a, int alphaA, Rgbq b, int alphaB) {
  return std::abs(RgbqR(a) - RgbqR(b)) + std::abs(RgbqG(a) - RgbqG(b)) + std::abs(RgbqB(a) - RgbqB(b)) +
         std::abs(alphaA - alphaB);
}

template <class Entry, class Pixels>
void Flood(Pixels& px, uint8_t* alpha, int w, int h, const uint8_t* sel, const BorderSpreadMap* depth, int x0,
           int y0, Rgbq colour, int tolerance) {
  // The visited map carries a one-pixel frame marked as visited, so the neighbour
  // tests need no bounds checks.
  const size_t W2 = size_t(w) + 2;
  std::vector<uint8_t> seen(W2 * (size_t(h) + 2), 0);
  std::memset(seen.data(), 1, W2);
  std::memset(seen.data() + W2 * (size_t(h) + 1), 1, W2);
  for (size_t r = 1; r <= size_t(h); ++r) seen[r * W2] = seen[r * W2 + W2 - 1] = 1;

  // Neighbours in the order they are tried (and pushed): the row below, the
  // pixel's own row, the row above; the last pushed is the next popped.
  static constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  static constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  ptrdiff_t seenOff[8], alphaOff[8];
  for (int k = 0; k < 8; ++k) {
    seenOff[k] = ptrdiff_t(kDy[k]) * ptrdiff_t(W2) + kDx[k];
    alphaOff[k] = ptrdiff_t(kDy[k]) * ptrdiff_t(w) + kDx[k];
  }

  // A pixel is pushed at most once, so the stack never outgrows the layer; reserving
  // that much only claims address space (pages are touched as the stack grows) and
  // spares the copies of a growing vector.
  std::vector<typename Entry::T> stack;
  stack.reserve(size_t(w) * size_t(h));
  stack.push_back(Entry::Pack(x0, y0));
  seen[(size_t(y0) + 1) * W2 + size_t(x0) + 1] = 1;

  while (!stack.empty()) {
    const typename Entry::T e = stack.back();
    stack.pop_back();
    const int x = Entry::X(e), y = Entry::Y(e);
    const size_t ai = size_t(y) * size_t(w) + size_t(x);
    // The colour and coverage this pixel had: its neighbours are judged by them.
    const Rgbq p = px.Read(x, y);
    const int a = alpha[ai];
    if (!sel || sel[ai]) {
      px.Write(x, y, colour);
      alpha[ai] = depth ? uint8_t(depth->Depth(x, y)) : uint8_t(255);
    }
    uint8_t* s = seen.data() + (size_t(y) + 1) * W2 + size_t(x) + 1;
    for (int k = 0; k < 8; ++k) {
      if (s[seenOff[k]]) continue;
      const int na = alpha[ptrdiff_t(ai) + alphaOff[k]];
      const int nx = x + kDx[k], ny = y + kDy[k];
      if (na != 0 && ColourDistance(px.Read(nx, ny), na, p, a) >= tolerance) continue;
      s[seenOff[k]] = 1;
      stack.push_back(Entry::Pack(nx, ny));
    }
  }
}

// Foreground scaled by num ÷ den, channel by channel, truncated.
Rgbq Scaled(Rgbq c, int64_t num, int64_t den) {
  return MakeRgbq(int(RgbqR(c) * num / den), int(RgbqG(c) * num / den), int(RgbqB(c) * num / den));
}

// A channel value computed in floating point; exact integers may come out a hair
// below themselves, which truncation would turn into the next lower value.
inline int Channel(double v) { return std::clamp(int(v + 1e-7), 0, 255); }

struct Box {
  int left = 0, bottom = 0, right = -1, top = -1;  // inclusive; right < left: empty
};

Box SelectionBox(const uint8_t* sel, int w, int h) {
  Box b;
  if (!sel) return Box{0, 0, w - 1, h - 1};
  b.left = w;
  b.bottom = h;
  for (int y = 0; y < h; ++y) {
    const uint8_t* m = sel + size_t(y) * size_t(w);
    int first = -1, last = -1;
    for (int x = 0; x < w; ++x)
      if (m[x]) {
        if (first < 0) first = x;
        last = x;
      }
    if (first < 0) continue;
    b.left = std::min(b.left, first);
    b.right = std::max(b.right, last);
    b.bottom = std::min(b.bottom, y);
    b.top = y;
  }
  return b;
}

template <class Pixels>
void GeneralGradient(Pixels& px, Layer& l, const uint8_t* sel, int sx, int sy, int ex, int ey, int kind, int mode,
                     Rgbq foreground, Rgbq second) {
  const int w = l.width, h = l.height;
  const Box box = SelectionBox(sel, w, h);
  if (box.right < box.left) return;
  // The gradient spans the box; the drag gives only its direction and which end
  // carries the foreground. Each pixel takes the colour of the perpendicular to the
  // drag through it, read at the point X where that perpendicular meets the line
  // S–E: q = X.x − box left.
  const int boxWidth = box.right - box.left;
  const int half = boxWidth / 2;
  const int64_t dx = int64_t(ex) - sx, dy = int64_t(ey) - sy;
  const double len2 = double(dx * dx + dy * dy);
  const bool reversed = dx <= 0;
  const bool twoWay = kind == 2;
  const bool fade = mode == 1;
  const int fr = RgbqR(foreground), fg = RgbqG(foreground), fb = RgbqB(foreground);
  const int br = RgbqR(second), bg = RgbqG(second), bb = RgbqB(second);
  for (int y = box.bottom; y <= box.top; ++y) {
    const uint8_t* m = sel ? sel + size_t(y) * size_t(w) : nullptr;
    uint8_t* a = l.alpha.data() + size_t(y) * size_t(w);
    const int64_t along = (int64_t(y) - sy) * dy;
    for (int x = box.left; x <= box.right; ++x) {
      if (m && !m[x]) continue;
      const double proj = double((int64_t(x) - sx) * dx + along);
      const double q = double(sx - box.left) + proj * double(dx) / len2;
      double t;
      if (twoWay) {
        t = half > 0 ? std::clamp(std::fabs(half - q), 0.0, double(half)) / half : 1.0;
      } else if (boxWidth > 0) {
        t = std::clamp(boxWidth - q, 0.0, double(boxWidth)) / boxWidth;
        if (reversed) t = 1.0 - t;
      } else {
        t = 1.0;
      }
      Rgbq c;
      if (fade)
        c = MakeRgbq(Channel(t * fr), Channel(t * fg), Channel(t * fb));
      else
        c = MakeRgbq(Channel((1 - t) * br + t * fr), Channel((1 - t) * bg + t * fg), Channel((1 - t) * bb + t * fb));
      px.Write(x, y, c);
      a[x] = 255;
    }
  }
}

}  // namespace

bool FloodFill(LayerStack& L, int slot, int x, int y, Rgbq colour, int tolerance, int borderSpread) {
  Layer* l = PaintableLayer(L, slot);
  if (!l || x < 0 || y < 0 || x >= l->width || y >= l->height) return false;
  const uint8_t* sel = SelectionFor(L, slot);
  if (sel && !sel[size_t(y) * size_t(l->width) + size_t(x)]) return false;
  std::unique_ptr<BorderSpreadMap> depth;
  // Everything the fill needs is allocated before its first write, so running out
  // of memory leaves the layer as it was.
  try {
    if (sel && borderSpread > 0) depth = std::make_unique<BorderSpreadMap>(L, borderSpread);
    WithPixels(L, *l, [&](auto& px) {
      if (l->width <= 0xFFFF && l->height <= 0xFFFF)
        Flood<Packed32>(px, l->alpha.data(), l->width, l->height, sel, depth.get(), x, y, colour, tolerance);
      else
        Flood<Packed64>(px, l->alpha.data(), l->width, l->height, sel, depth.get(), x, y, colour, tolerance);
    });
  } catch (const std::bad_alloc&) {
    return false;
  }
  // A fill that fades toward the selection's border leaves the background layer
  // partly transparent.
  if (depth && l->kind == kLayerBackground) L.header.backgroundChanged = 1;
  l->dirty = 1;
  return true;
}

GradientResult ApplyGradient(LayerStack& L, int slot, int sx, int sy, int ex, int ey, int kind, int mode,
                             Rgbq foreground, Rgbq second) {
  Layer* l = PaintableLayer(L, slot);
  if (!l || (sx == ex && sy == ey)) return GradientResult::Click;
  const uint8_t* sel = SelectionFor(L, slot);
  const int w = l->width, h = l->height;
  GradientResult result = GradientResult::General;
  WithPixels(L, *l, [&](auto& px) {
    if (sx == ex) {
      // Straight up or down: shaded by row, the foreground on the start's side.
      result = GradientResult::Vertical;
      const bool up = ey > sy;  // rows count from the bottom
      for (int y = 0; y < h; ++y) {
        const Rgbq c = Scaled(foreground, up ? h - y : y, h);
        const uint8_t* m = sel ? sel + size_t(y) * size_t(w) : nullptr;
        uint8_t* a = l->alpha.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
          if (!m || m[x]) {
            px.Write(x, y, c);
            a[x] = 255;
          }
      }
    } else if (sy == ey) {
      // Straight across: shaded by column, the foreground on the start's side.
      result = GradientResult::Horizontal;
      const bool leftward = ex < sx;
      std::vector<Rgbq> column(static_cast<size_t>(w));
      for (int x = 0; x < w; ++x) column[size_t(x)] = Scaled(foreground, leftward ? x : w - x, w);
      for (int y = 0; y < h; ++y) {
        const uint8_t* m = sel ? sel + size_t(y) * size_t(w) : nullptr;
        uint8_t* a = l->alpha.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
          if (!m || m[x]) {
            px.Write(x, y, column[size_t(x)]);
            a[x] = 255;
          }
      }
    } else {
      GeneralGradient(px, *l, sel, sx, sy, ex, ey, kind, mode, foreground, second);
    }
  });
  l->dirty = 1;
  return result;
}

bool DrawPixelLine(LayerStack& L, int slot, int x0, int y0, int x1, int y1, Rgbq colour) {
  if (!PaintableLayer(L, slot)) return false;
  PaintStroke(L, slot, x0, y0, x1, y1, 1, false, colour, false);
  return true;
}

}  // namespace velmira
