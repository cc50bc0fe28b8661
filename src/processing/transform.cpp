#include "processing/transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace velmira {

namespace {

// One pixel's bytes of a row at any depth the layers use.
inline int GetIndex(const uint8_t* row, int x, int bpp) { return RowIndex(row, bpp == 8 || bpp == 4 ? bpp : 1, x); }
inline void SetIndex(uint8_t* row, int x, int bpp, int index) { PutRowIndex(row, bpp == 8 || bpp == 4 ? bpp : 1, x, index); }

inline void CopyPixel(const uint8_t* srow, int sx, uint8_t* drow, int dx, int bpp) {
  switch (bpp) {
    case 24: std::memcpy(drow + 3 * size_t(dx), srow + 3 * size_t(sx), 3); break;
    case 32: std::memcpy(drow + 4 * size_t(dx), srow + 4 * size_t(sx), 4); break;
    case 8: drow[dx] = srow[sx]; break;
    default: SetIndex(drow, dx, bpp, GetIndex(srow, sx, bpp));
  }
}

// Nearest palette entry by least sum of absolute differences, as layers map colours.
int NearestIndex(const std::vector<uint8_t>& pal, int b, int g, int r) {
  const int n = int(pal.size() / 4);
  int best = 9000, found = 0;
  for (int i = 0; i < n; ++i) {
    const uint8_t* p = pal.data() + 4 * i;
    const int d = std::abs(p[0] - b) + std::abs(p[1] - g) + std::abs(p[2] - r);
    if (d == 0) return i;
    if (d < best) best = d, found = i;
  }
  return found;
}

// Interpolating kernels work on rows expanded to C interleaved channels: the colour
// bytes (B, G, R for paletted and 24-bit planes, four for 32-bit, one for a text
// layer's byte plane) followed by the coverage.
int ColourChannels(int bpp) { return bpp == 32 ? 4 : (bpp == 8 || bpp == 24 || bpp < 8) ? 3 : 3; }

struct Expander {
  const Planes& p;
  const std::vector<uint8_t>& pal;
  bool text;  // one byte per pixel that is not a palette index
  int cc;     // colour channels
  int C;      // with coverage
  Expander(const Planes& planes, const std::vector<uint8_t>& palette, bool byteValues)
      : p(planes), pal(palette), text(byteValues) {
    cc = text ? 1 : ColourChannels(p.bpp);
    C = cc + 1;
  }
  void Row(int y, uint8_t* out) const {
    const uint8_t* row = p.pixels.data() + size_t(y) * size_t(p.stride);
    const uint8_t* a = p.alpha.data() + size_t(y) * size_t(p.width);
    const int w = p.width;
    if (text) {
      for (int x = 0; x < w; ++x) out[2 * x] = row[x], out[2 * x + 1] = a[x];
    } else if (p.bpp == 24) {
      for (int x = 0; x < w; ++x) {
        uint8_t* o = out + 4 * size_t(x);
        o[0] = row[3 * x], o[1] = row[3 * x + 1], o[2] = row[3 * x + 2], o[3] = a[x];
      }
    } else if (p.bpp == 32) {
      for (int x = 0; x < w; ++x) {
        std::memcpy(out + 5 * size_t(x), row + 4 * size_t(x), 4);
        out[5 * x + 4] = a[x];
      }
    } else {
      for (int x = 0; x < w; ++x) {
        const int i = GetIndex(row, x, p.bpp);
        uint8_t* o = out + 4 * size_t(x);
        if (size_t(4 * i + 2) < pal.size()) {
          o[0] = pal[4 * size_t(i)], o[1] = pal[4 * size_t(i) + 1], o[2] = pal[4 * size_t(i) + 2];
        } else {
          o[0] = o[1] = o[2] = 0;
        }
        o[3] = a[x];
      }
    }
  }
};

// Writes one expanded pixel (cc colour channels) into planes.
inline void StoreColour(Planes& d, const std::vector<uint8_t>& pal, bool text, int x, int y, const int* c) {
  uint8_t* row = d.pixels.data() + size_t(y) * size_t(d.stride);
  if (text) {
    row[x] = uint8_t(c[0]);
  } else if (d.bpp == 24) {
    uint8_t* q = row + 3 * size_t(x);
    q[0] = uint8_t(c[0]), q[1] = uint8_t(c[1]), q[2] = uint8_t(c[2]);
  } else if (d.bpp == 32) {
    uint8_t* q = row + 4 * size_t(x);
    for (int k = 0; k < 4; ++k) q[k] = uint8_t(c[k]);
  } else {
    SetIndex(row, x, d.bpp, NearestIndex(pal, c[0], c[1], c[2]));
  }
}

// Source rows expanded on demand and kept while later output rows still need them.
class RowCache {
 public:
  RowCache(const Expander& e, int keep) : e_(e), keep_(std::max(2, keep)) {
    rows_.resize(size_t(keep_));
    for (auto& r : rows_) r.resize(size_t(e.p.width) * size_t(e.C));
    ids_.assign(size_t(keep_), -1);
  }
  const uint8_t* Get(int y) {
    const size_t k = size_t(y % keep_);
    if (ids_[k] != y) {
      e_.Row(y, rows_[k].data());
      ids_[k] = y;
    }
    return rows_[k].data();
  }

 private:
  const Expander& e_;
  int keep_;
  std::vector<std::vector<uint8_t>> rows_;
  std::vector<int> ids_;
};

// Integer weights of an area footprint along one axis, summing to exactly 4096 so
// that a flat area keeps its value exactly; the weighted sums are truncated at the
// end, like every other conversion to an integer in the program (rounding gave a
// 50 % reduction one level more than the truncated mean in most pixels).
struct AxisTaps {
  std::vector<int> first, count, weight;  // weight: `count` entries from offset[i]
  std::vector<size_t> offset;
  int maxCount = 0;
};

AxisTaps AreaTaps(int outLen, int inLen, float scale) {
  AxisTaps t;
  t.first.resize(size_t(outLen));
  t.count.resize(size_t(outLen));
  t.offset.resize(size_t(outLen));
  const float half = 0.5f / scale;
  std::vector<float> ov;
  for (int i = 0; i < outLen; ++i) {
    const float centre = (float(i) + 0.5f) / scale - 0.5f;
    const float lo = centre - half, hi = centre + half;
    int a = int(std::floor(lo + 0.5f)), b = int(std::ceil(hi - 0.5f));
    a = std::max(a, 0);
    b = std::min(b, inLen - 1);
    ov.clear();
    float total = 0.0f;
    for (int k = a; k <= b; ++k) {
      const float o = std::min(hi, float(k) + 0.5f) - std::max(lo, float(k) - 0.5f);
      ov.push_back(o > 0.0f ? o : 0.0f);
      total += ov.back();
    }
    t.offset[size_t(i)] = t.weight.size();
    if (b < a || !(total > 0.0f)) {
      // Nothing of the source under the footprint: take the nearest pixel.
      t.first[size_t(i)] = std::clamp(int(centre + 0.5f), 0, inLen - 1);
      t.count[size_t(i)] = 1;
      t.weight.push_back(4096);
      t.maxCount = std::max(t.maxCount, 1);
      continue;
    }
    int sum = 0, big = 0;
    const size_t base = t.weight.size();
    for (size_t k = 0; k < ov.size(); ++k) {
      const int w = int(ov[k] / total * 4096.0f);
      t.weight.push_back(w);
      sum += w;
      if (w > t.weight[base + size_t(big)]) big = int(k);
    }
    t.weight[base + size_t(big)] += 4096 - sum;
    t.first[size_t(i)] = a;
    t.count[size_t(i)] = int(ov.size());
    t.maxCount = std::max(t.maxCount, int(ov.size()));
  }
  return t;
}

}  // namespace

bool MakePlanes(Planes& p, int width, int height, int bpp, uint8_t alpha0, bool withMask, uint8_t mask0,
                Plane* zeroEffect) {
  if (width <= 0 || height <= 0) return false;
  const int64_t stride = p.text ? width : (bpp <= 8 || bpp == 24 || bpp == 32) ? StrideFor(width, bpp) : 0;
  const size_t count = size_t(width) * size_t(height);
  if (stride <= 0 || stride * height > INT32_MAX || int64_t(width) * height > INT32_MAX) return false;
  const bool reuse = zeroEffect && zeroEffect->size() == count;
  try {
    p.pixels.assign(size_t(stride) * size_t(height), 255);
    p.alpha.assign(count, alpha0);
    if (!reuse) p.effect.assign(count, 0);
    if (withMask)
      p.mask.assign(count, mask0);
    else
      p.mask.clear();
  } catch (const std::bad_alloc&) {
    return false;
  }
  // Nothing can fail now: an all-zero plane of the right size is taken over rather
  // than allocated and cleared again.
  if (reuse) p.effect.swap(*zeroEffect);
  p.width = width;
  p.height = height;
  p.bpp = bpp;
  p.stride = int(stride);
  return true;
}

Planes PlanesOf(const Layer& l, int bpp, const Plane* mask) {
  Planes p;
  p.width = l.width;
  p.height = l.height;
  p.bpp = bpp;
  p.stride = l.stride;
  p.text = l.kind == kLayerText;
  p.pixels = l.pixels;
  p.alpha = l.alpha;
  p.effect = l.effect;
  if (p.effect.size() != p.alpha.size()) p.effect.assign(p.alpha.size(), 0);
  if (mask && mask->size() == size_t(l.width) * size_t(l.height)) p.mask = *mask;
  return p;
}

void FlipPlanes(Planes& p, bool horizontal) {
  const int w = p.width, h = p.height;
  if (w <= 0 || h <= 0) return;
  auto flipBytes = [&](Plane& plane) {
    // A plane never written is uniform and mirrors to itself.
    if (plane.size() != size_t(w) * size_t(h) || !plane.Allocated()) return;
    for (int y = 0; y < h; ++y) {
      uint8_t* r = plane.data() + size_t(y) * size_t(w);
      if (horizontal) {
        std::reverse(r, r + w);
      } else if (y < h / 2) {
        std::swap_ranges(r, r + w, plane.data() + size_t(h - 1 - y) * size_t(w));
      }
    }
  };
  if (horizontal) {
    for (int y = 0; y < h; ++y) {
      uint8_t* r = p.pixels.data() + size_t(y) * size_t(p.stride);
      if (p.bpp == 24) {
        for (int a = 0, b = w - 1; a < b; ++a, --b) {
          uint8_t* pa = r + 3 * size_t(a);
          uint8_t* pb = r + 3 * size_t(b);
          std::swap(pa[0], pb[0]);
          std::swap(pa[1], pb[1]);
          std::swap(pa[2], pb[2]);
        }
      } else if (p.bpp == 32 || p.bpp == 8) {
        const int step = p.bpp / 8;
        for (int a = 0, b = w - 1; a < b; ++a, --b)
          std::swap_ranges(r + size_t(a) * step, r + size_t(a + 1) * step, r + size_t(b) * step);
      } else {
        for (int a = 0, b = w - 1; a < b; ++a, --b) {
          const int ia = GetIndex(r, a, p.bpp), ib = GetIndex(r, b, p.bpp);
          SetIndex(r, a, p.bpp, ib);
          SetIndex(r, b, p.bpp, ia);
        }
      }
    }
  } else {
    for (int y = 0; y < h / 2; ++y)
      std::swap_ranges(p.pixels.data() + size_t(y) * size_t(p.stride),
                       p.pixels.data() + size_t(y + 1) * size_t(p.stride),
                       p.pixels.data() + size_t(h - 1 - y) * size_t(p.stride));
  }
  flipBytes(p.alpha);
  flipBytes(p.effect);
  flipBytes(p.mask);
}

float RotationAngle(float degrees) {
  const float kHalfPi = 1.5707963267948966f;
  return -kHalfPi * degrees * (1.0f / 90.0f);
}

RotatedBox RotatedBoxOf(int w, int h, float theta) {
  const float c = std::cos(theta), s = std::sin(theta);
  RotatedBox b;
  const int xs[4] = {0, w - 1, 0, w - 1}, ys[4] = {0, 0, h - 1, h - 1};
  for (int k = 0; k < 4; ++k) {
    const float fx = float(xs[k]), fy = float(ys[k]);
    const int x = int(fx * c - fy * s), y = int(fx * s + fy * c);
    b.minX = std::min(b.minX, x);
    b.maxX = std::max(b.maxX, x);
    b.minY = std::min(b.minY, y);
    b.maxY = std::max(b.maxY, y);
  }
  return b;
}


void RotatePlanes(const Planes& src, float theta, const RotatedBox& box, Planes& dst, Rgbq outside,
                  int paletteIndexOutside) {
  const float c = std::cos(theta), s = std::sin(theta);
  const int bw = std::min(box.Width(), dst.width), bh = std::min(box.Height(), dst.height);
  const int sw = src.width, sh = src.height;
  // The products X cos θ and X sin θ of every column, formed once: the sums below
  // are the same single-precision operations as computing them per pixel.
  std::vector<float> xc(static_cast<size_t>(bw)), xs(static_cast<size_t>(bw));
  for (int i = 0; i < bw; ++i) {
    xc[size_t(i)] = float(box.minX + i) * c;
    xs[size_t(i)] = float(box.minX + i) * s;
  }
  const bool mask = src.HasMask() && dst.HasMask();
  // An all-zero effect plane (no shadow) need not be carried: the destination's is zero.
  const bool effect = !src.effect.AllEqual(0);
  // A uniform transparency stays uniform when every destination pixel samples the
  // source. The sample position is a rounded sum that never decreases along a row
  // or a column, so its extremes lie at the corners of the destination box.
  bool flatAlpha = !src.alpha.Allocated() && bw == dst.width && bh == dst.height && bw > 0 && bh > 0;
  for (const int j : {0, bh - 1})
    for (const int i : {0, bw - 1}) {
      if (!flatAlpha) break;
      const float Y = float(box.minY + j);
      const float a = xc[size_t(i)] + Y * s + 0.5f, b = Y * c - xs[size_t(i)] + 0.5f;
      const int ia = int(a), ib = int(b);
      const int sx = ia - (float(ia) > a), sy = ib - (float(ib) > b);
      flatAlpha = sx >= 0 && sy >= 0 && sx < sw && sy < sh;
    }
  if (flatAlpha) dst.alpha.assign(dst.alpha.size(), src.alpha.Fill());
  const bool bpp24 = src.bpp == 24;
  const uint8_t* const spix = src.pixels.data();
  const uint8_t* const salpha = flatAlpha ? nullptr : src.alpha.data();
  // Shadowless layers keep the destination's unwritten effect plane as it is.
  uint8_t* const dalpha = flatAlpha ? nullptr : dst.alpha.data();
  uint8_t* const deffect = effect ? dst.effect.data() : nullptr;
  const size_t sstride = size_t(src.stride);
  // Destination tiles keep the source reads of a quarter turn inside the cache.
  constexpr int kTile = 64;
  for (int ty = 0; ty < bh; ty += kTile) {
    for (int tx = 0; tx < bw; tx += kTile) {
      const int yEnd = std::min(bh, ty + kTile), xEnd = std::min(bw, tx + kTile);
      for (int j = ty; j < yEnd; ++j) {
        const float Y = float(box.minY + j);
        const float ys = Y * s, yc = Y * c;
        uint8_t* drow = dst.pixels.data() + size_t(j) * size_t(dst.stride);
        uint8_t* darow = dalpha ? dalpha + size_t(j) * size_t(dst.width) : nullptr;
        uint8_t* derow = deffect ? deffect + size_t(j) * size_t(dst.width) : nullptr;
        // The nearest source pixel (half-way goes up) of each pixel of the tile row,
        // first: a plain loop the compiler turns into vector instructions.
        int sxs[kTile], sys[kTile];
        const float* xcp = xc.data() + tx;
        const float* xsp = xs.data() + tx;
        const int n = xEnd - tx;
        for (int k = 0; k < n; ++k) {
          const float a = xcp[k] + ys + 0.5f, b = yc - xsp[k] + 0.5f;
          const int ia = int(a), ib = int(b);
          sxs[k] = ia - (float(ia) > a);
          sys[k] = ib - (float(ib) > b);
        }
        for (int i = tx; i < xEnd; ++i) {
          const int sx = sxs[i - tx];
          const int sy = sys[i - tx];
          if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) {
            if (dst.bpp >= 24) {
              uint8_t* q = drow + size_t(i) * size_t(dst.bpp / 8);
              q[0] = uint8_t(RgbqB(outside)), q[1] = uint8_t(RgbqG(outside)), q[2] = uint8_t(RgbqR(outside));
            } else {
              SetIndex(drow, i, dst.bpp, paletteIndexOutside);
            }
            if (darow) darow[i] = 0;
            if (derow) derow[i] = 0;
            if (mask) dst.mask[size_t(j) * size_t(dst.width) + size_t(i)] = 0;
            continue;
          }
          const size_t si = size_t(sy) * size_t(sw) + size_t(sx);
          const uint8_t* srow = spix + size_t(sy) * sstride;
          if (bpp24)
            std::memcpy(drow + 3 * size_t(i), srow + 3 * size_t(sx), 3);
          else
            CopyPixel(srow, sx, drow, i, src.bpp);
          if (darow) darow[i] = salpha[si];
          if (derow) derow[i] = src.effect[si];
          if (mask) dst.mask[size_t(j) * size_t(dst.width) + size_t(i)] = src.mask[si];
        }
      }
    }
  }
}

bool ResizeUsesBilinear(float sx, float sy) { return 1.0f / sx <= 1.0f && 1.0f / sy <= 1.0f; }

namespace {

// The area-average resize with C channels known at compile time.
template <int C, class Carry>
void AreaResize(const Expander& ex, const AxisTaps& hx, const AxisTaps& vy, Planes& dst,
                const std::vector<uint8_t>& palette, bool text, Carry& carry) {
  const int sw = ex.p.width, ow = dst.width, oh = dst.height, cc = C - 1;
  const int keep = vy.maxCount + 2;
  std::vector<std::vector<uint32_t>> hrows(size_t(keep), std::vector<uint32_t>(size_t(ow) * C));
  std::vector<int> hid(size_t(keep), -1);
  std::vector<uint8_t> line(size_t(sw) * C);
  auto hrow = [&](int j) -> const uint32_t* {
    const size_t k = size_t(j % keep);
    if (hid[k] != j) {
      ex.Row(j, line.data());
      uint32_t* o = hrows[k].data();
      for (int x = 0; x < ow; ++x) {
        const int* w = hx.weight.data() + hx.offset[size_t(x)];
        const uint8_t* p = line.data() + size_t(hx.first[size_t(x)]) * C;
        const int n = hx.count[size_t(x)];
        uint32_t acc[C] = {};
        for (int t = 0; t < n; ++t, p += C)
          for (int ch = 0; ch < C; ++ch) acc[ch] += uint32_t(w[t]) * p[ch];
        for (int ch = 0; ch < C; ++ch) o[size_t(x) * C + size_t(ch)] = acc[ch];
      }
      hid[k] = j;
    }
    return hrows[k].data();
  };
  std::vector<const uint32_t*> rs(size_t(vy.maxCount));
  int c[5] = {};
  for (int y = 0; y < oh; ++y) {
    const int n = vy.count[size_t(y)], j0 = vy.first[size_t(y)];
    const int* w = vy.weight.data() + vy.offset[size_t(y)];
    for (int t = 0; t < n; ++t) rs[size_t(t)] = hrow(j0 + t);
    uint8_t* arow = dst.alpha.data() + size_t(y) * size_t(ow);
    uint8_t* drow = dst.pixels.data() + size_t(y) * size_t(dst.stride);
    const bool rgb = C == 4 && dst.bpp == 24 && !text;
    for (int x = 0; x < ow; ++x) {
      uint32_t acc[C] = {};
      for (int t = 0; t < n; ++t) {
        const uint32_t* p = rs[size_t(t)] + size_t(x) * C;
        for (int ch = 0; ch < C; ++ch) acc[ch] += uint32_t(w[t]) * p[ch];
      }
      for (int ch = 0; ch < C; ++ch) c[ch] = int(acc[ch] >> 24);
      if (rgb) {
        uint8_t* q = drow + 3 * size_t(x);
        q[0] = uint8_t(c[0]), q[1] = uint8_t(c[1]), q[2] = uint8_t(c[2]);
      } else {
        StoreColour(dst, palette, text, x, y, c);
      }
      arow[x] = uint8_t(c[cc]);
      carry(x, y);
    }
  }
}

}  // namespace

void ResizePlanes(const Planes& src, float sx, float sy, Planes& dst, const std::vector<uint8_t>& palette) {
  const int sw = src.width, sh = src.height;
  const int ow = dst.width, oh = dst.height;
  if (sw <= 0 || sh <= 0 || ow <= 0 || oh <= 0) return;
  const bool text = src.text;
  const Expander ex(src, palette, text);
  const int C = ex.C, cc = ex.cc;
  const bool mask = src.HasMask() && dst.HasMask();
  // The nearest source pixel (coordinates truncated) gives the mask and effect bytes.
  std::vector<int> nx(static_cast<size_t>(ow)), ny(static_cast<size_t>(oh));
  for (int x = 0; x < ow; ++x) nx[size_t(x)] = std::clamp(int((float(x) + 0.5f) / sx - 0.5f), 0, sw - 1);
  for (int y = 0; y < oh; ++y) ny[size_t(y)] = std::clamp(int((float(y) + 0.5f) / sy - 0.5f), 0, sh - 1);
  const bool effect = std::any_of(src.effect.begin(), src.effect.end(), [](uint8_t v) { return v != 0; });
  auto carry = [&](int x, int y) {
    if (!effect && !mask) return;
    const size_t si = size_t(ny[size_t(y)]) * size_t(sw) + size_t(nx[size_t(x)]);
    const size_t di = size_t(y) * size_t(ow) + size_t(x);
    dst.effect[di] = src.effect[si];
    if (mask) dst.mask[di] = src.mask[si];
  };
  int c[5];
  if (ResizeUsesBilinear(sx, sy)) {
    struct Tap {
      int a, b, f;
      bool ok;
    };
    auto taps = [](int n, int len, float scale) {
      std::vector<Tap> t(static_cast<size_t>(n));
      for (int i = 0; i < n; ++i) {
        const float p = (float(i) + 0.5f) / scale - 0.5f;
        const float f0 = std::floor(p);
        const int p0 = int(f0);
        Tap& k = t[size_t(i)];
        k.ok = p0 >= -1 && p0 < len;
        k.f = int((p - f0) * 256.0f);
        k.a = std::clamp(p0, 0, len - 1);
        k.b = std::clamp(p0 + 1, 0, len - 1);
      }
      return t;
    };
    const std::vector<Tap> tx = taps(ow, sw, sx), ty = taps(oh, sh, sy);
    RowCache rows(ex, 3);
    for (int y = 0; y < oh; ++y) {
      const Tap& v = ty[size_t(y)];
      const uint8_t* r0 = rows.Get(v.a);
      const uint8_t* r1 = rows.Get(v.b);
      uint8_t* arow = dst.alpha.data() + size_t(y) * size_t(ow);
      uint8_t* drow = dst.pixels.data() + size_t(y) * size_t(dst.stride);
      const bool rgb = C == 4 && dst.bpp == 24 && !text && v.ok;
      for (int x = 0; x < ow; ++x) {
        const Tap& u = tx[size_t(x)];
        carry(x, y);
        if (!u.ok || !v.ok) {
          // Beyond the picture: white, not covered.
          for (int k = 0; k < cc; ++k) c[k] = 255;
          StoreColour(dst, palette, text, x, y, c);
          arow[x] = 0;
          continue;
        }
        const int fx = u.f, fy = v.f;
        const int w11 = fx * fy / 256, w10 = fx - w11, w01 = fy - w11, w00 = 256 - fx - fy + w11;
        const uint8_t* p00 = r0 + size_t(u.a) * C;
        const uint8_t* p10 = r0 + size_t(u.b) * C;
        const uint8_t* p01 = r1 + size_t(u.a) * C;
        const uint8_t* p11 = r1 + size_t(u.b) * C;
        if (rgb && u.ok) {
          // The common 24-bit case with its four channels spelt out.
          uint8_t* q = drow + 3 * size_t(x);
          q[0] = uint8_t((w00 * p00[0] + w10 * p10[0] + w01 * p01[0] + w11 * p11[0]) / 256);
          q[1] = uint8_t((w00 * p00[1] + w10 * p10[1] + w01 * p01[1] + w11 * p11[1]) / 256);
          q[2] = uint8_t((w00 * p00[2] + w10 * p10[2] + w01 * p01[2] + w11 * p11[2]) / 256);
          arow[x] = uint8_t((w00 * p00[3] + w10 * p10[3] + w01 * p01[3] + w11 * p11[3]) / 256);
          continue;
        }
        for (int k = 0; k < C; ++k) c[k] = (w00 * p00[k] + w10 * p10[k] + w01 * p01[k] + w11 * p11[k]) / 256;
        StoreColour(dst, palette, text, x, y, c);
        arow[x] = uint8_t(c[cc]);
      }
    }
    return;
  }
  // Area average: horizontal taps per source row (cached), then vertical taps.
  const AxisTaps hx = AreaTaps(ow, sw, sx), vy = AreaTaps(oh, sh, sy);
  switch (C) {
    case 2: AreaResize<2>(ex, hx, vy, dst, palette, text, carry); break;
    case 4: AreaResize<4>(ex, hx, vy, dst, palette, text, carry); break;
    default: AreaResize<5>(ex, hx, vy, dst, palette, text, carry); break;
  }
}

void QuadBoxSize(const QuadPoint q[4], int* width, int* height) {
  double mx = q[0].x, my = q[0].y, Mx = q[0].x, My = q[0].y;
  for (int k = 1; k < 4; ++k) {
    mx = std::min(mx, q[k].x), my = std::min(my, q[k].y);
    Mx = std::max(Mx, q[k].x), My = std::max(My, q[k].y);
  }
  auto up = [](double v) {
    const double r = std::round(v);
    return int(std::fabs(v - r) < 1e-9 ? r : std::ceil(v));
  };
  *width = up(Mx - mx);
  *height = up(My - my);
}

namespace {

struct Vtx {
  double x, y;
};

// Area of a convex-or-not simple polygon clipped to the unit square at (px, py).
double ClippedArea(const Vtx* poly, int n, int px, int py) {
  Vtx a[64], b[64];  // each clip at most doubles the vertices of a folded cell: 4, 8, 16, 32, 64
  int na = n;
  for (int k = 0; k < n; ++k) a[k] = poly[k];
  auto clip = [&](auto inside, auto cut) {
    int nb = 0;
    for (int k = 0; k < na; ++k) {
      const Vtx& p = a[k];
      const Vtx& q = a[(k + 1) % na];
      const bool ip = inside(p), iq = inside(q);
      if (ip) b[nb++] = p;
      if (ip != iq) b[nb++] = cut(p, q);
    }
    na = nb;
    for (int k = 0; k < nb; ++k) a[k] = b[k];
  };
  const double x0 = px, x1 = px + 1.0, y0 = py, y1 = py + 1.0;
  auto atX = [](double X) {
    return [X](const Vtx& p, const Vtx& q) { return Vtx{X, p.y + (q.y - p.y) * (X - p.x) / (q.x - p.x)}; };
  };
  auto atY = [](double Y) {
    return [Y](const Vtx& p, const Vtx& q) { return Vtx{p.x + (q.x - p.x) * (Y - p.y) / (q.y - p.y), Y}; };
  };
  clip([&](const Vtx& p) { return p.x >= x0; }, atX(x0));
  if (na < 3) return 0.0;
  clip([&](const Vtx& p) { return p.x <= x1; }, atX(x1));
  if (na < 3) return 0.0;
  clip([&](const Vtx& p) { return p.y >= y0; }, atY(y0));
  if (na < 3) return 0.0;
  clip([&](const Vtx& p) { return p.y <= y1; }, atY(y1));
  if (na < 3) return 0.0;
  double s = 0.0;
  for (int k = 0; k < na; ++k) {
    const Vtx& p = a[k];
    const Vtx& q = a[(k + 1) % na];
    s += p.x * q.y - q.x * p.y;
  }
  return std::fabs(s) * 0.5;
}

}  // namespace

bool QuadPlanes(const Planes& src, const QuadPoint q[4], int boxHeight, Planes& dst,
                const std::vector<uint8_t>& palette) {
  const int W = src.width, H = src.height;
  if (W <= 0 || H <= 0) return false;
  // Grid point (i, j): the line through the points at fraction i / W of the top and
  // bottom edges meets the line through the points at fraction j / H of the left
  // and right edges.
  const double dX01 = q[1].x - q[0].x, dY01 = q[1].y - q[0].y;
  const double dX32 = q[2].x - q[3].x, dY32 = q[2].y - q[3].y;
  const double dX03 = q[3].x - q[0].x, dY03 = q[3].y - q[0].y;
  const double dX12 = q[2].x - q[1].x, dY12 = q[2].y - q[1].y;
  struct GP {
    int x, y;
  };
  auto gridRow = [&](int j, std::vector<GP>& out) -> bool {
    const double fj = double(j) / double(H);
    const double x3 = q[0].x + dX03 * fj, y3 = q[0].y + dY03 * fj;
    const double x4 = q[1].x + dX12 * fj, y4 = q[1].y + dY12 * fj;
    for (int i = 0; i <= W; ++i) {
      const double fi = double(i) / double(W);
      const double x1 = q[0].x + dX01 * fi, y1 = q[0].y + dY01 * fi;
      const double x2 = q[3].x + dX32 * fi, y2 = q[3].y + dY32 * fi;
      const double d = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4);
      if (std::fabs(d) < 1e-9) return false;
      const double a = x1 * y2 - y1 * x2, b = x3 * y4 - y3 * x4;
      out[size_t(i)] = {int((a * (x3 - x4) - (x1 - x2) * b) / d), int((a * (y3 - y4) - (y1 - y2) * b) / d)};
    }
    return true;
  };
  std::vector<GP> g0(size_t(W) + 1), g1(size_t(W) + 1);
  // Check every grid row first: an abandoned transform leaves the planes alone.
  for (int j = 0; j <= H; ++j)
    if (!gridRow(j, g0)) return false;

  const bool text = src.text;
  const Expander ex(src, palette, text);
  const int cc = ex.cc;
  const int DW = dst.width, DH = dst.height;
  const size_t n = size_t(DW) * size_t(DH);
  // Per destination pixel: Σ area × coverage × colour, and Σ area × coverage.
  std::vector<float> acc;
  try {
    acc.assign(n * size_t(cc + 1), 0.0f);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const bool mask = src.HasMask() && dst.HasMask();
  std::vector<float> best;
  if (mask) best.assign(n, 0.0f);
  std::vector<uint8_t> line(size_t(W) * size_t(ex.C));
  std::vector<float> cellCover(size_t(65536) * 9);
  std::vector<uint8_t> cellDone(65536, 0);
  auto add = [&](int px, int py, double area, const uint8_t* p, int si) {
    const int row = boxHeight - 1 - py;  // box rows count from the top, planes' from the bottom
    if (px < 0 || row < 0 || px >= DW || row >= DH || area <= 0.0) return;
    const size_t di = size_t(row) * size_t(DW) + size_t(px);
    const float wa = float(area) * float(p[cc]);
    float* a = acc.data() + di * size_t(cc + 1);
    for (int k = 0; k < cc; ++k) a[k] += wa * float(p[k]);
    a[cc] += wa;
    if (mask && float(area) > best[di]) {
      best[di] = float(area);
      dst.mask[di] = src.mask[size_t(si)];
    }
  };
  gridRow(0, g0);
  for (int j = 0; j < H; ++j) {
    gridRow(j + 1, g1);
    ex.Row(H - 1 - j, line.data());  // source row j from the top
    for (int i = 0; i < W; ++i) {
      const uint8_t* p = line.data() + size_t(i) * size_t(ex.C);
      if (p[cc] == 0) continue;
      const GP a = g0[size_t(i)], b = g0[size_t(i) + 1], c = g1[size_t(i) + 1], d = g1[size_t(i)];
      const int si = (H - 1 - j) * W + i;
      const int minx = std::min({a.x, b.x, c.x, d.x}), maxx = std::max({a.x, b.x, c.x, d.x});
      const int miny = std::min({a.y, b.y, c.y, d.y}), maxy = std::max({a.y, b.y, c.y, d.y});
      if (minx == maxx || miny == maxy) continue;
      if (a.y == b.y && d.y == c.y && a.x == d.x && b.x == c.x) {
        // An axis-aligned cell covers whole pixels.
        for (int py = miny; py < maxy; ++py)
          for (int px = minx; px < maxx; ++px) add(px, py, 1.0, p, si);
        continue;
      }
      if (maxx - minx <= 3 && maxy - miny <= 3) {
        // Small cells (all of them, short of a strong enlargement) have integer
        // corners within a 3 × 3 box: their coverage depends only on the corners'
        // offsets in the box, so it is clipped once per shape and looked up after.
        const int key = ((a.x - minx) | (a.y - miny) << 2) | ((b.x - minx) | (b.y - miny) << 2) << 4 |
                        ((c.x - minx) | (c.y - miny) << 2) << 8 | ((d.x - minx) | (d.y - miny) << 2) << 12;
        float* cv = cellCover.data() + size_t(key) * 9;
        if (!cellDone[size_t(key)]) {
          const Vtx poly[4] = {{double(a.x - minx), double(a.y - miny)}, {double(b.x - minx), double(b.y - miny)},
                               {double(c.x - minx), double(c.y - miny)}, {double(d.x - minx), double(d.y - miny)}};
          for (int py = 0; py < 3; ++py)
            for (int px = 0; px < 3; ++px) cv[py * 3 + px] = float(ClippedArea(poly, 4, px, py));
          cellDone[size_t(key)] = 1;
        }
        for (int py = miny; py < maxy; ++py)
          for (int px = minx; px < maxx; ++px) add(px, py, cv[(py - miny) * 3 + (px - minx)], p, si);
        continue;
      }
      const Vtx poly[4] = {{double(a.x), double(a.y)}, {double(b.x), double(b.y)},
                           {double(c.x), double(c.y)}, {double(d.x), double(d.y)}};
      for (int py = miny; py < maxy; ++py)
        for (int px = minx; px < maxx; ++px) add(px, py, ClippedArea(poly, 4, px, py), p, si);
    }
    std::swap(g0, g1);
  }
  int col[5];
  for (int y = 0; y < DH; ++y)
    for (int x = 0; x < DW; ++x) {
      const size_t di = size_t(y) * size_t(DW) + size_t(x);
      const float* a = acc.data() + di * size_t(cc + 1);
      dst.effect[di] = 0;
      if (!(a[cc] > 0.0f)) {
        dst.alpha[di] = 0;
        continue;
      }
      // Rounded: a flat area keeps its colour whatever the float sums give.
      for (int k = 0; k < cc; ++k) col[k] = std::clamp(int(a[k] / a[cc] + 0.5f), 0, 255);
      StoreColour(dst, palette, text, x, y, col);
      dst.alpha[di] = uint8_t(std::min(255, int(a[cc] + 0.5f)));
    }
  return true;
}

void PlacePlanes(const Planes& src, Planes& dst, int dx, int dy) {
  const bool mask = src.HasMask() && dst.HasMask();
  const int x0 = std::max(0, -dx), x1 = std::min(src.width, dst.width - dx);
  if (x1 <= x0) return;
  for (int y = 0; y < src.height; ++y) {
    const int ty = y + dy;
    if (ty < 0 || ty >= dst.height) continue;
    const uint8_t* sr = src.pixels.data() + size_t(y) * size_t(src.stride);
    uint8_t* dr = dst.pixels.data() + size_t(ty) * size_t(dst.stride);
    if (src.bpp >= 8) {
      const size_t b = size_t(src.bpp / 8);
      std::memcpy(dr + size_t(x0 + dx) * b, sr + size_t(x0) * b, size_t(x1 - x0) * b);
    } else {
      for (int x = x0; x < x1; ++x) CopyPixel(sr, x, dr, x + dx, src.bpp);
    }
    const size_t so = size_t(y) * size_t(src.width) + size_t(x0);
    const size_t dof = size_t(ty) * size_t(dst.width) + size_t(x0 + dx);
    std::memcpy(dst.alpha.data() + dof, src.alpha.data() + so, size_t(x1 - x0));
    std::memcpy(dst.effect.data() + dof, src.effect.data() + so, size_t(x1 - x0));
    if (mask) std::memcpy(dst.mask.data() + dof, src.mask.data() + so, size_t(x1 - x0));
  }
}

void AnchorOffset(int anchor, int W, int H, int w, int h, int* dx, int* dy) {
  const int col = anchor % 3, row = anchor / 3;
  *dx = col == 0 ? 0 : col == 1 ? (W - w) / 2 : W - w;
  // Storage rows count from the bottom: the top anchors push the old rows up.
  *dy = row == 0 ? H - h : row == 1 ? (H - h) / 2 : 0;
}

bool MirrorImage(const CImageBuffer& in, CImageBuffer& out) {
  if (!in.IsValid() || !out.CopyFrom(in)) return false;
  out.MirrorColumns();
  return true;
}

void WarpPlanes(const Planes& src, Planes& dst, const WarpParams& w, const Plane* selection,
                const std::vector<uint8_t>& palette, Rgbq outside) {
  const int c = w.left, d = w.right, e = w.top, f = w.bottom;
  if (e == f || c == d) return;
  const int m = (d - c) / 2, o = (f - e) / 2;
  const int cx = c + m, cy = e + o;
  const int R = int(std::sqrt(float(m * m + o * o)));
  const float k = w.strength;
  const bool text = src.text;
  auto colourAt = [&](int x, int y, int* out) {
    if (x < 0 || y < 0 || x >= src.width || y >= src.height) {
      out[0] = RgbqB(outside), out[1] = RgbqG(outside), out[2] = RgbqR(outside), out[3] = 0;
      return;
    }
    const uint8_t* row = src.pixels.data() + size_t(y) * size_t(src.stride);
    if (text) {
      out[0] = row[x];
    } else if (src.bpp >= 24) {
      const uint8_t* p = row + size_t(x) * size_t(src.bpp / 8);
      out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = src.bpp == 32 ? p[3] : 0;
    } else {
      const int i = GetIndex(row, x, src.bpp);
      out[0] = out[1] = out[2] = out[3] = 0;
      if (size_t(4 * i + 2) < palette.size())
        out[0] = palette[4 * size_t(i)], out[1] = palette[4 * size_t(i) + 1], out[2] = palette[4 * size_t(i) + 2];
    }
  };
  const int cc = text ? 1 : src.bpp == 32 ? 4 : 3;
  for (int r = e; r < f; ++r) {
    if (r < 0 || r >= src.height) continue;
    for (int q = c; q < d; ++q) {
      if (q < 0 || q >= src.width) continue;
      const size_t di = size_t(r) * size_t(src.width) + size_t(q);
      if (selection && selection->size() == src.alpha.size() && (*selection)[di] == 0) continue;
      const int A = cx - q, B = cy - r;
      const float D = std::sqrt(float(A * A + B * B));
      // Only the disc is warped; the box corners beyond it stay as they are.
      if (!(D < float(R))) continue;
      const float th = std::atan2(float(B), float(A));
      int sx, sy;
      if (w.mode == 0) {
        const float K = D * D / float(R);
        sx = cx - int(std::cos(th) * K * k * 1.5f);
        sy = cy - int(std::sin(th) * K * 2.0f);
      } else if (w.mode == 1) {
        const float Hh = std::sqrt(float(R) * D);
        sx = cx - int(std::cos(th) * Hh * k * 0.7f);
        sy = cy - int(std::sin(th) * Hh * k * 0.7f);
      } else {
        // A magnifier: the centre spreads out over the disc.
        sx = cx - int(float(A) * D / float(R));
        sy = cy - int(float(B) * D / float(R));
      }
      float wt = 1.0f;
      if (w.mode == 1 && m > 0 && o > 0) {
        const int lx = q - c > m ? 2 * m - (q - c) : q - c;
        const int ly = r - e > o ? 2 * o - (r - e) : r - e;
        wt = std::min({1.0f, 3.0f * float(lx) / float(m), 3.0f * float(ly) / float(o)});
        if (wt < 0.0f) wt = 0.0f;
      }
      sx = std::clamp(sx, c, d);
      sy = std::clamp(sy, e, f);
      int P[4], S[4], out[5];
      colourAt(q, r, P);
      colourAt(sx, sy, S);
      for (int ch = 0; ch < cc; ++ch) out[ch] = int((1.0f - wt) * float(P[ch]) + wt * float(S[ch]));
      StoreColour(dst, palette, text, q, r, out);
      dst.alpha[di] = 255;
    }
  }
}

}  // namespace velmira
