#include "tools/paint.h"
#include "image/ring_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/rand.h"
#include "tools/layer_pixels.h"

namespace velmira {

namespace {

// Direct access to one layer's pixels, transparency and the selection over it. Built
// once per operation so that the per-pixel work is plain index arithmetic.
class LayerPainter {
 public:
  LayerPainter(LayerStack& L, int slot) : L_(L) {
    Layer* l = PaintableLayer(L, slot);
    if (!l) return;
    const int bpp = L.header.bitsPerPixel;
    if (bpp == 24 || bpp == 32)
      bytes_ = bpp / 8;
    else if (L.palette.size() >= 4)
      bits_ = bpp;
    else
      return;
    mask_ = SelectionFor(L, slot);
    layer_ = l;
    width_ = l->width;
    height_ = l->height;
    stride_ = size_t(l->stride);
    pixels_ = l->pixels.data();
    alpha_ = l->alpha.data();
  }

  LayerPainter(const LayerPainter&) = delete;
  LayerPainter& operator=(const LayerPainter&) = delete;
  ~LayerPainter() {
    if (!changed_) return;
    layer_->dirty = 1;
    if (alphaCleared_ && layer_->kind == kLayerBackground) L_.header.backgroundChanged = 1;
  }

  bool Ok() const { return layer_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Only for pixels inside the layer.
  bool Selected(int x, int y) const { return !mask_ || mask_[Index(x, y)] != 0; }
  bool Writable(int x, int y) const { return Inside(x, y) && Selected(x, y); }
  uint8_t Alpha(int x, int y) const { return alpha_[Index(x, y)]; }

  Rgbq Colour(int x, int y) const {
    const uint8_t* row = pixels_ + size_t(y) * stride_;
    if (bytes_) {
      const uint8_t* p = row + size_t(x) * size_t(bytes_);
      return Rgbq(p[0]) | (Rgbq(p[1]) << 8) | (Rgbq(p[2]) << 16);
    }
    return L_.PictureColour(PaletteIndex(row, x));
  }

  // Writes a colour and makes the pixel opaque.
  void Put(int x, int y, Rgbq c) {
    uint8_t* row = pixels_ + size_t(y) * stride_;
    if (bytes_) {
      uint8_t* p = row + size_t(x) * size_t(bytes_);
      p[0] = uint8_t(RgbqB(c));
      p[1] = uint8_t(RgbqG(c));
      p[2] = uint8_t(RgbqR(c));
    } else {
      SetPaletteIndex(row, x, Nearest(c & 0xFFFFFF));
    }
    alpha_[Index(x, y)] = 255;
    changed_ = true;
  }

  void Clear(int x, int y) {
    alpha_[Index(x, y)] = 0;
    changed_ = true;
    alphaCleared_ = true;
  }

  // Copies the stored pixel (colour bytes or palette index) and its alpha.
  void Copy(int fromX, int fromY, int x, int y) {
    const uint8_t* src = pixels_ + size_t(fromY) * stride_;
    uint8_t* dst = pixels_ + size_t(y) * stride_;
    if (bytes_)
      std::memcpy(dst + size_t(x) * size_t(bytes_), src + size_t(fromX) * size_t(bytes_), 3);
    else
      SetPaletteIndex(dst, x, PaletteIndex(src, fromX));
    const uint8_t a = alpha_[Index(fromX, fromY)];
    alpha_[Index(x, y)] = a;
    changed_ = true;
    if (a == 0) alphaCleared_ = true;
  }

 private:
  size_t Index(int x, int y) const { return size_t(y) * size_t(width_) + size_t(x); }

  int PaletteIndex(const uint8_t* row, int x) const { return RowIndex(row, bits_, x); }
  void SetPaletteIndex(uint8_t* row, int x, int index) const { PutRowIndex(row, bits_, x, index); }

  // Soft dabs repeat the same few colours; remember the last match.
  int Nearest(Rgbq c) {
    if (c != lastColour_) {
      lastColour_ = c;
      lastIndex_ = L_.NearestPaletteIndex(c);
    }
    return lastIndex_;
  }

  LayerStack& L_;
  Layer* layer_ = nullptr;
  int width_ = 0, height_ = 0;
  size_t stride_ = 0;
  int bytes_ = 0;  // 3 or 4 for direct colour, 0 for paletted
  int bits_ = 0;   // 1, 4 or 8 for paletted
  uint8_t* pixels_ = nullptr;
  uint8_t* alpha_ = nullptr;
  const uint8_t* mask_ = nullptr;  // null: every pixel is selected
  Rgbq lastColour_ = 0xFFFFFFFFu;
  int lastIndex_ = 0;
  bool changed_ = false;
  bool alphaCleared_ = false;
};

int Channel(int k, int old, double g) { return k - int(g * double(k - old)); }

// Stamps dabs onto one layer. The scratch grid records which cells of the current
// dab the rings reached, so that the gaps between them can be filled.
class DabStamper {
 public:
  explicit DabStamper(LayerPainter& p) : p_(p) {}

  void Stamp(int x, int y, int size, bool soft, Rgbq k, bool erase) {
    k &= 0xFFFFFF;
    if (size <= 1) {
      if (!p_.Writable(x, y)) return;
      if (erase)
        p_.Clear(x, y);
      else
        p_.Put(x, y, k);
      return;
    }
    const int s = std::min(size, kMaxDabSize);
    const int n = 2 * s;
    for (int row = 0; row < n; ++row) std::memset(grid_[row], 0, size_t(n));

    for (int r = 1; r < s; ++r) {
      const double f = double(r) / double(s);
      ForEachRingPoint(x, y, r, [&](int px, int py) {
        grid_[py - y + s][px - x + s] = 1;
        if (!p_.Inside(px, py)) return;
        const double u = double(ProgramRand()) / double(kRandMax);
        const double g = std::max(0.0, u * 0.1 + f - 0.2);
        if (!p_.Selected(px, py)) return;
        if (erase) {
          p_.Clear(px, py);
          return;
        }
        if (!soft) {
          p_.Put(px, py, k);
          return;
        }
        const Rgbq old = p_.Alpha(px, py) == 0 ? k : p_.Colour(px, py);
        p_.Put(px, py,
               MakeRgbq(Channel(RgbqR(k), RgbqR(old), g), Channel(RgbqG(k), RgbqG(old), g),
                        Channel(RgbqB(k), RgbqB(old), g)));
      });
    }

    // A cell the rings missed between two cells they reached (along y) takes the
    // pixel next to it; this fills the centre and the holes between rings.
    for (int gx = 0; gx < n; ++gx) {
      const int px = x - s + gx;
      if (px < 0 || px >= p_.Width()) continue;
      for (int gy = 1; gy + 1 < n; ++gy) {
        if (grid_[gy][gx] || !grid_[gy - 1][gx] || !grid_[gy + 1][gx]) continue;
        const int py = y - s + gy;
        if (!p_.Writable(px, py)) continue;
        if (erase) {
          p_.Clear(px, py);
        } else if (p_.Writable(px, py - 1)) {
          p_.Copy(px, py - 1, px, py);
        } else if (p_.Writable(px, py + 1)) {
          // The pixel below was not painted (outside the layer or the selection):
          // copying it would spread an unpainted colour, or transparency, into
          // the dab. The painted one above stands in for it.
          p_.Copy(px, py + 1, px, py);
        } else {
          p_.Put(px, py, k);
        }
      }
    }
  }

 private:
  LayerPainter& p_;
  uint8_t grid_[2 * kMaxDabSize][2 * kMaxDabSize];
};

}  // namespace

void PaintDab(LayerStack& L, int slot, int x, int y, int size, bool soft, Rgbq colour, bool erase) {
  LayerPainter p(L, slot);
  if (!p.Ok()) return;
  DabStamper(p).Stamp(x, y, size, soft, colour, erase);
}

void PaintStroke(LayerStack& L, int slot, int x0, int y0, int x1, int y1, int size, bool soft, Rgbq colour,
                 bool erase) {
  LayerPainter p(L, slot);
  if (!p.Ok()) return;
  DabStamper dab(p);
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx - dy;
  int x = x0, y = y0;
  for (;;) {
    dab.Stamp(x, y, size, soft, colour, erase);
    if (x == x1 && y == y1) break;
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

void SprayDab(LayerStack& L, int slot, int x, int y, Rgbq colour) {
  PaintDab(L, slot, x, y, kSprayDabSize, true, colour, false);
}

bool WaterDrop(LayerStack& L, int slot, int x, int y, int brushSize) {
  LayerPainter p(L, slot);
  if (!p.Ok() || !p.Inside(x, y) || p.Alpha(x, y) == 0) return false;
  const Rgbq m = p.Colour(x, y);
  const int s = brushSize <= 0 ? 1 : (brushSize > kMaxDabSize ? 2 * kMaxDabSize : brushSize);
  const int R = 2 * s;
  const double rim = std::sqrt(2.0 * double(R) * double(R));
  const int x0 = std::max(0, x - R), x1 = std::min(p.Width(), x + R);
  const int y0 = std::max(0, y - R), y1 = std::min(p.Height(), y + R);
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) {
      const double d = std::sqrt(double(px - x) * double(px - x) + double(py - y) * double(py - y));
      const double b = std::min(1.0, 1.5 * d / rim);
      // Beyond the drop's reach the pixel keeps its colour; making it opaque there
      // would only uncover whatever a transparent pixel happens to hold.
      if (b >= 1.0 || !p.Selected(px, py)) continue;
      // As with the brush, a transparent pixel has no colour of its own to mix in.
      const Rgbq c = p.Alpha(px, py) == 0 ? m : p.Colour(px, py);
      // m + b (p − m): the same mix, exact where the two colours agree.
      auto mix = [&](int pc, int mc) { return int(double(mc) + b * double(pc - mc)); };
      p.Put(px, py, MakeRgbq(mix(RgbqR(c), RgbqR(m)), mix(RgbqG(c), RgbqG(m)), mix(RgbqB(c), RgbqB(m))));
    }
  }
  return true;
}

void PaintBlock(LayerStack& L, int slot, int x, int y, int n, Rgbq colour) {
  LayerPainter p(L, slot);
  if (!p.Ok() || n <= 0) return;
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = int(std::min<long long>(p.Width(), (long long)x + n));
  const int y1 = int(std::min<long long>(p.Height(), (long long)y + n));
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px)
      if (p.Selected(px, py)) p.Put(px, py, colour & 0xFFFFFF);
}

void PaintCircle(LayerStack& L, int slot, int cx, int cy, int radius, int size, Rgbq colour) {
  LayerPainter p(L, slot);
  if (!p.Ok() || radius < 0) return;
  DabStamper dab(p);
  ForEachRingPoint(cx, cy, radius, [&](int px, int py) { dab.Stamp(px, py, size, true, colour, false); });
}

}  // namespace velmira
