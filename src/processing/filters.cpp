#include "processing/filters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "processing/artistic.h"
#include "processing/filter_bands.h"
#include "processing/filter_table.h"

namespace velmira {

namespace {

inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

bool AllSelected(const FilterTarget& t) {
  if (t.selAll) return true;
  const size_t n = size_t(t.width) * size_t(t.height);
  return std::memchr(t.sel, 0, n) == nullptr;
}

inline const uint8_t* SrcPx(const FilterTarget& t, int x, int y) {
  return t.src + size_t(y) * size_t(t.stride) + 3 * size_t(x);
}
inline uint8_t* DstPx(const FilterTarget& t, int x, int y) {
  return t.dst + size_t(y) * size_t(t.stride) + 3 * size_t(x);
}
inline int Diff(const uint8_t* a, const uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

}  // namespace

Kernel3 SharpenKernel() { return {{-1, -1, -1, -1, 12, -1, -1, -1, -1}}; }
Kernel3 OutlineKernel(int c) { return {{-1, -1, -1, -1, c, -1, -1, -1, -1}}; }
Kernel3 EmbossKernel(int a) { return {{-a, 0, 0, 0, 0, 0, 0, 0, a}}; }

// ---------------------------------------------------------------- grey convolution

void GreyConvolve(const FilterTarget& t, const Kernel3& K, bool border, uint32_t* out) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  int ksAll = 0;
  for (int v : K.k) ksAll += v;
  auto put = [&](int x, int y, int g) {
    if (out) {
      out[size_t(y) * size_t(w) + size_t(x)] = MakeRgbq(g, g, g);
    } else {
      uint8_t* d = DstPx(t, x, y);
      d[0] = d[1] = d[2] = uint8_t(g);
    }
  };
  // A pixel near the edge sums only the taps inside the layer.
  auto clipped = [&](int x, int y) {
    int acc = 0, ks = 0;
    for (int j = 0; j < 3; ++j) {
      const int yy = y + j - 1;
      if (yy < 0 || yy >= h) continue;
      for (int i = 0; i < 3; ++i) {
        const int xx = x + i - 1;
        if (xx < 0 || xx >= w) continue;
        const uint8_t* p = SrcPx(t, xx, yy);
        acc += K.k[3 * j + i] * (p[0] + p[1] + p[2]);
        ks += K.k[3 * j + i];
      }
    }
    int g = acc / 3;
    if (ks != 0) g /= ks;
    return Clamp255(g);
  };
  ForBands(t, [&](int y0, int y1, Rows& rows) {
    // Only B + G + R of a tap matters: Σk·B + Σk·G + Σk·R = Σk·(B + G + R).
    std::vector<int32_t> sums(size_t(w) * 3);
    int32_t* rowSum[3] = {sums.data(), sums.data() + w, sums.data() + 2 * w};
    auto fill = [&](int32_t* d, int y) {
      if (y < 0 || y >= h) return;
      const uint8_t* src = t.src + size_t(y) * size_t(t.stride);
      for (int x = 0; x < w; ++x) d[x] = src[3 * x] + src[3 * x + 1] + src[3 * x + 2];
    };
    fill(rowSum[0], y0 - 1);
    fill(rowSum[1], y0);
    fill(rowSum[2], y0 + 1);
    for (int y = y0; y < y1; ++y) {
      if (!rows.Next(y)) return false;
      if (y > y0) {
        std::rotate(rowSum, rowSum + 1, rowSum + 3);
        fill(rowSum[2], y + 1);
      }
      const uint8_t* m = t.SelRow(y);
      const bool edgeRow = y == 0 || y == h - 1;
      for (int x = 0; x < w; ++x) {
        if (!m[x]) continue;
        if (edgeRow || x == 0 || x == w - 1) {
          put(x, y, border ? 0 : clipped(x, y));
          continue;
        }
        const int32_t* a = rowSum[0] + x - 1;
        const int32_t* b = rowSum[1] + x - 1;
        const int32_t* c = rowSum[2] + x - 1;
        const int acc = K.k[0] * a[0] + K.k[1] * a[1] + K.k[2] * a[2] + K.k[3] * b[0] + K.k[4] * b[1] +
                        K.k[5] * b[2] + K.k[6] * c[0] + K.k[7] * c[1] + K.k[8] * c[2];
        int g = acc / 3;
        if (ksAll != 0) g /= ksAll;
        put(x, y, Clamp255(g));
      }
    }
    return true;
  });
}

// ---------------------------------------------------------------- window blur

// Running sums: per column the selected taps of the rows in the window, then per
// row a prefix over the columns, so a window costs the same for every size. The
// division by the tap count uses a rounded-up reciprocal, exact while sum × count
// stays below 2^32 (at most 2 × 81 × 255 × 81 here).
void WindowBlur(const FilterTarget& t, int n, bool soften) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0 || n < 1) return;
  const int lo = WindowLow(n), hi = WindowHigh(n);
  const int extra = soften ? n * n - 1 : 0;
  const bool all = AllSelected(t);
  std::vector<uint64_t> recip(size_t(n) * size_t(n) + 1, 0);
  for (size_t c = 1; c < recip.size(); ++c) recip[c] = ((uint64_t(1) << 32) + c - 1) / c;

  ForBands(t, [&](int y0, int y1, Rows& rows) {
    std::vector<int32_t> cs(size_t(w) * 3, 0), cc(size_t(w), 0);
    std::vector<int32_t> ps(size_t(w + 1) * 3, 0), pc(size_t(w + 1), 0);
    auto addRow = [&](int r, int sign) {
      if (r < 0 || r >= h) return;
      const uint8_t* s = t.src + size_t(r) * size_t(t.stride);
      int32_t* c3 = cs.data();
      int32_t* c1 = cc.data();
      if (all) {
        if (sign > 0) {
          for (int i = 0; i < 3 * w; ++i) c3[i] += s[i];
          for (int x = 0; x < w; ++x) c1[x] += 1;
        } else {
          for (int i = 0; i < 3 * w; ++i) c3[i] -= s[i];
          for (int x = 0; x < w; ++x) c1[x] -= 1;
        }
        return;
      }
      const uint8_t* m = t.SelRow(r);
      for (int x = 0; x < w; ++x) {
        if (!m[x]) continue;
        c3[3 * x] += sign * s[3 * x];
        c3[3 * x + 1] += sign * s[3 * x + 1];
        c3[3 * x + 2] += sign * s[3 * x + 2];
        c1[x] += sign;
      }
    };
    for (int r = y0 + lo; r <= y0 + hi; ++r) addRow(r, +1);
    for (int y = y0; y < y1; ++y) {
      if (!rows.Next(y)) return false;
      if (y > y0) {
        addRow(y - 1 + lo, -1);
        addRow(y + hi, +1);
      }
      for (int x = 0; x < w; ++x) {
        ps[3 * (x + 1)] = ps[3 * x] + cs[3 * x];
        ps[3 * (x + 1) + 1] = ps[3 * x + 1] + cs[3 * x + 1];
        ps[3 * (x + 1) + 2] = ps[3 * x + 2] + cs[3 * x + 2];
        pc[x + 1] = pc[x] + cc[x];
      }
      const uint8_t* m = t.SelRow(y);
      const uint8_t* s = t.src + size_t(y) * size_t(t.stride);
      uint8_t* d = t.dst + size_t(y) * size_t(t.stride);
      // With everything selected, the columns whose window lies inside the layer
      // share one tap count, so the channels form one flat loop the compiler can
      // vectorise. (v + ½) × (1 / count) in single precision floors to v / count:
      // its error stays far below the ½ / count margin for these magnitudes.
      int x0 = 0, x1 = 0;
      if (all) {
        x0 = std::min(w, -lo);
        x1 = std::max(x0, w - hi - 1);
        if (x1 > x0) {
          const float inv = 1.0f / float(pc[size_t(x0 + hi + 1)] - pc[size_t(x0 + lo)]);
          const int32_t* pa = ps.data() + 3 * (x0 + lo);
          const int32_t* pb = ps.data() + 3 * (x0 + hi + 1);
          const uint8_t* sc = s + 3 * x0;
          uint8_t* dc = d + 3 * x0;
          const int count = 3 * (x1 - x0);
          for (int i = 0; i < count; ++i) {
            const int v = pb[i] - pa[i] + extra * sc[i];
            const int q = int((float(v) + 0.5f) * inv);
            dc[i] = uint8_t(q > 255 ? 255 : q);
          }
        }
      }
      for (int x = 0; x < w; ++x) {
        if (x == x0 && x1 > x0) x = x1;
        if (x >= w) break;
        if (!m[x]) continue;
        const int a = std::max(0, x + lo), b = std::min(w, x + hi + 1);
        const int cnt = pc[b] - pc[a];
        const uint64_t r = recip[size_t(cnt)];
        for (int c = 0; c < 3; ++c) {
          const uint32_t v = uint32_t(ps[3 * b + c] - ps[3 * a + c] + extra * s[3 * x + c]);
          const uint32_t q = uint32_t((uint64_t(v) * r) >> 32);
          d[3 * x + c] = uint8_t(q > 255 ? 255 : q);
        }
      }
    }
    return true;
  });
}

// ---------------------------------------------------------------- shrink and grow

namespace {

struct MinOp {
  static uint8_t Of(uint8_t a, uint8_t b) { return a < b ? a : b; }
};
struct MaxOp {
  static uint8_t Of(uint8_t a, uint8_t b) { return a > b ? a : b; }
};

// Van Herk / Gil-Werman: out[i] = op(b[i … i + n − 1]) in three operations per
// element whatever n is. Elements are CN bytes; blocks of n elements keep a prefix
// (g) and a suffix (h) extreme.
template <class Op, int CN>
void Sliding1D(const uint8_t* b, int count, int n, uint8_t* g, uint8_t* hb, uint8_t* out) {
  const int len = count + n - 1;
  for (int s0 = 0; s0 < len; s0 += n) {
    const int e = std::min(len, s0 + n);
    for (int c = 0; c < CN; ++c) g[s0 * CN + c] = b[s0 * CN + c];
    for (int j = s0 + 1; j < e; ++j)
      for (int c = 0; c < CN; ++c) g[j * CN + c] = Op::Of(g[(j - 1) * CN + c], b[j * CN + c]);
    for (int c = 0; c < CN; ++c) hb[(e - 1) * CN + c] = b[(e - 1) * CN + c];
    for (int j = e - 2; j >= s0; --j)
      for (int c = 0; c < CN; ++c) hb[j * CN + c] = Op::Of(hb[(j + 1) * CN + c], b[j * CN + c]);
  }
  for (int i = 0; i < count; ++i)
    for (int c = 0; c < CN; ++c) out[i * CN + c] = Op::Of(hb[i * CN + c], g[(i + n - 1) * CN + c]);
}

// Separable window extreme: rows first (block-streamed, so only 2n rows are held),
// then along each output row. Taps outside the layer read `pad`.
template <class Op>
void WindowExtreme(const FilterTarget& t, int n, const uint8_t pad[3]) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0 || n < 1) return;
  const int lo = WindowLow(n);
  const size_t rb = size_t(w) * 3;
  std::vector<uint8_t> padRow(rb);
  for (int x = 0; x < w; ++x) std::memcpy(&padRow[3 * size_t(x)], pad, 3);
  const bool all = AllSelected(t);

  ForBands(t, [&](int y0, int y1, Rows& rows) {
    const int count = y1 - y0;
    // b index j is source row y0 + j + lo.
    auto rowAt = [&](int j) -> const uint8_t* {
      const int r = y0 + j + lo;
      return r >= 0 && r < h ? t.src + size_t(r) * size_t(t.stride) : padRow.data();
    };
    const int len = count + n - 1;
    std::vector<uint8_t> hb(rb * size_t(n)), gb(rb * size_t(n)), vrow(rb);
    const int hlen = w + n - 1;
    std::vector<uint8_t> b(size_t(hlen) * 3), g(size_t(hlen) * 3), hh(size_t(hlen) * 3), orow(rb);
    // b[j] holds column j + lo of the vertical result; columns outside are pad.
    const int first = -lo;
    for (int j = 0; j < hlen; ++j)
      if (j < first || j >= first + w) std::memcpy(&b[3 * size_t(j)], pad, 3);
    for (int s0 = 0; s0 < count; s0 += n) {
      const int end = std::min(len - 1, s0 + n - 1);
      std::memcpy(&hb[rb * size_t(end - s0)], rowAt(end), rb);
      for (int j = end - 1; j >= s0; --j) {
        uint8_t* d = &hb[rb * size_t(j - s0)];
        const uint8_t* up = d + rb;
        const uint8_t* s = rowAt(j);
        for (size_t i = 0; i < rb; ++i) d[i] = Op::Of(up[i], s[i]);
      }
      const int s1 = s0 + n, e1 = std::min(len - 1, s1 + n - 1);
      if (s1 <= e1) {
        std::memcpy(&gb[0], rowAt(s1), rb);
        for (int j = s1 + 1; j <= e1; ++j) {
          uint8_t* d = &gb[rb * size_t(j - s1)];
          const uint8_t* prev = d - rb;
          const uint8_t* s = rowAt(j);
          for (size_t i = 0; i < rb; ++i) d[i] = Op::Of(prev[i], s[i]);
        }
      }
      const int stop = std::min(count, s0 + n);
      for (int i = s0; i < stop; ++i) {
        const int y = y0 + i;
        if (!rows.Next(y)) return false;
        const uint8_t* v;
        if (i == s0) {
          v = &hb[0];
        } else {
          const uint8_t* a = &hb[rb * size_t(i - s0)];
          const uint8_t* z = &gb[rb * size_t(i + n - 1 - s1)];
          for (size_t k = 0; k < rb; ++k) vrow[k] = Op::Of(a[k], z[k]);
          v = vrow.data();
        }
        std::memcpy(&b[3 * size_t(first)], v, rb);
        Sliding1D<Op, 3>(b.data(), w, n, g.data(), hh.data(), orow.data());
        uint8_t* d = t.dst + size_t(y) * size_t(t.stride);
        if (all) {
          std::memcpy(d, orow.data(), rb);
        } else {
          const uint8_t* m = t.SelRow(y);
          for (int x = 0; x < w; ++x)
            if (m[x]) std::memcpy(d + 3 * size_t(x), &orow[3 * size_t(x)], 3);
        }
      }
    }
    return true;
  });
}

}  // namespace

void Shrink(const FilterTarget& t, int n) {
  const uint8_t pad[3] = {255, 255, 255};  // taps outside the layer do not count
  WindowExtreme<MinOp>(t, n, pad);
}

void Grow(const FilterTarget& t, int n) {
  const uint8_t pad[3] = {uint8_t(RgbqB(t.outside)), uint8_t(RgbqG(t.outside)), uint8_t(RgbqR(t.outside))};
  WindowExtreme<MaxOp>(t, n, pad);
}

// ---------------------------------------------------------------- edge emphasis

void EdgeEmphasis(const FilterTarget& t, int a, int b) {
  const int w = t.width, h = t.height;
  const int cut = int(float(b) * 0.1f * float(a));
  ForBands(t, [&](int y0, int y1, Rows& rows) {
    for (int y = y0; y < y1; ++y) {
      if (!rows.Next(y)) return false;
      // On the first and last rows and columns a neighbour lies outside the layer,
      // hence outside the selection: those pixels never change.
      if (y == 0 || y == h - 1) continue;
      const uint8_t* mu = t.SelRow(y - 1);
      const uint8_t* m = t.SelRow(y);
      const uint8_t* md = t.SelRow(y + 1);
      const uint8_t* su = t.src + size_t(y - 1) * size_t(t.stride);
      const uint8_t* s = su + t.stride;
      const uint8_t* sd = s + t.stride;
      uint8_t* o = t.dst + size_t(y) * size_t(t.stride);
      for (int x = 1; x < w - 1; ++x) {
        if (!m[x] || !mu[x] || !md[x] || !m[x - 1] || !m[x + 1]) continue;
        const uint8_t* p = s + 3 * x;
        int d = (Diff(p, su + 3 * x) + Diff(p, p - 3) + Diff(p, p + 3) + Diff(p, sd + 3 * x)) / 4;
        if (d < a) continue;
        d -= cut;
        for (int c = 0; c < 3; ++c) o[3 * x + c] = uint8_t(Clamp255(p[c] - d));
      }
    }
    return true;
  });
}

// ---------------------------------------------------------------- noise removal

namespace {

inline bool Similar(const uint8_t* a, const uint8_t* b) { return Diff(a, b) < 51; }

}  // namespace

// First pass: a square of side k (s down to 2) with its corner at the pixel, wholly
// inside the layer, is absorbed when at least q × k of the 4k samples on its four
// edges (corners counted on both of their edges) are similar to the corner pixel:
// with the strongest absorption setting the whole border must match.
void Denoise(const FilterTarget& t, int s, int q) {
  const int w = t.width, h = t.height;
  if (s < 2) s = 2;
  Rows rows(t.control, 2 * h);
  for (int y = 0; y < h; ++y) {
    if (!rows.Next(y)) return;
    for (int x = 0; x < w; ++x) {
      if (!t.SelAt(size_t(y) * size_t(w) + size_t(x))) continue;
      const uint8_t* p = SrcPx(t, x, y);
      for (int k = s; k >= 2; --k) {
        if (x + k > w || y + k > h) continue;
        int similar = 0;
        for (int i = 0; i < k; ++i) {
          similar += Similar(p, SrcPx(t, x + i, y));
          similar += Similar(p, SrcPx(t, x + i, y + k - 1));
          similar += Similar(p, SrcPx(t, x, y + i));
          similar += Similar(p, SrcPx(t, x + k - 1, y + i));
        }
        if (similar < q * k) continue;
        for (int yy = y; yy < y + k; ++yy)
          for (int xx = x; xx < x + k; ++xx)
            if (t.SelAt(size_t(yy) * size_t(w) + size_t(xx))) std::memcpy(DstPx(t, xx, yy), p, 3);
        break;
      }
    }
  }
  // Second pass: single-pixel steps, read from the unfiltered layer.
  static const int kNx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  static const int kNy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  for (int y = 0; y < h; ++y) {
    if (!rows.Next(h + y)) return;
    for (int x = 0; x < w; ++x) {
      if (!t.SelAt(size_t(y) * size_t(w) + size_t(x))) continue;
      const uint8_t* p = SrcPx(t, x, y);
      unsigned d = 0;  // bit i: neighbour n(i + 1) differs
      for (int i = 0; i < 8; ++i) {
        const int xx = x + kNx[i], yy = y + kNy[i];
        if (t.Selected(xx, yy) && Diff(p, SrcPx(t, xx, yy)) > 0) d |= 1u << i;
      }
      // n1 … n8 as bits 0 … 7.
      int from = -1;
      if (d == 0x1F)
        from = 0;  // D D D D D S S S
      else if (d == 0x6B)
        from = 0;  // D D S D S D D S
      else if (d == 0xD6)
        from = 7;  // S D D S D S D D
      else if (d == 0xF8)
        from = 0;  // S S S D D D D D
      if (from < 0) continue;
      const int xx = x + kNx[from], yy = y + kNy[from];
      if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
      std::memcpy(DstPx(t, x, y), SrcPx(t, xx, yy), 3);
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- region fill

void RegionFill(const FilterTarget& t, int tol) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  std::vector<uint8_t> visited(size_t(w) * size_t(h), 0);
  std::vector<int32_t> stack;
  Rows rows(t.control, w);
  for (int x0 = 0; x0 < w; ++x0) {
    if (!rows.Next(x0)) return;
    for (int y0 = 0; y0 < h; ++y0) {
      const size_t i0 = size_t(y0) * size_t(w) + size_t(x0);
      if (visited[i0] || !t.SelAt(i0)) continue;
      uint8_t c[3];
      std::memcpy(c, SrcPx(t, x0, y0), 3);
      visited[i0] = 1;
      stack.push_back(int32_t(i0));
      while (!stack.empty()) {
        const int32_t i = stack.back();
        stack.pop_back();
        const int x = int(i % w), y = int(i / w);
        // Pushed pixels outside the selection are claimed but neither painted nor
        // grown from, so a region never leaks through unselected pixels.
        if (!t.SelAt(size_t(i))) continue;
        std::memcpy(DstPx(t, x, y), c, 3);
        for (int dy = -1; dy <= 1; ++dy) {
          const int yy = y + dy;
          if (yy < 0 || yy >= h) continue;
          for (int dx = -1; dx <= 1; ++dx) {
            const int xx = x + dx;
            if ((dx == 0 && dy == 0) || xx < 0 || xx >= w) continue;
            const size_t j = size_t(yy) * size_t(w) + size_t(xx);
            if (visited[j] || Diff(c, SrcPx(t, xx, yy)) > tol) continue;
            visited[j] = 1;
            stack.push_back(int32_t(j));
          }
        }
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- dispatch

void KeepRows(const FilterTarget& t, int first, int last) {
  if (!t.dstFresh) return;
  for (int y = std::max(first, 0); y < std::min(last, t.height); ++y)
    std::memcpy(t.dst + size_t(y) * size_t(t.stride), t.src + size_t(y) * size_t(t.stride), 3 * size_t(t.width));
}

bool FilterWritesEveryPixel(int index, const int p[3]) {
  switch (index) {
    case kFilterWatercolour:
    case kFilterLens:
    case kFilterBathroom: return true;
    case kFilterFrostedGlass: return p[0] > 0;
    default: return false;
  }
}

bool RunFilterKernel(int index, const FilterTarget& t, const int p[3]) {
  switch (index) {
    case kFilterEdgeEmphasis: EdgeEmphasis(t, p[0], p[1]); return true;
    case kFilterSharpen: GreyConvolve(t, SharpenKernel(), true); return true;
    case kFilterOutline: GreyConvolve(t, OutlineKernel(p[0]), true); return true;
    case kFilterEmboss: GreyConvolve(t, EmbossKernel(p[0]), true); return true;
    case kFilterBlur: WindowBlur(t, p[0], false); return true;
    case kFilterSoften: WindowBlur(t, p[0], true); return true;
    case kFilterShrink: Shrink(t, p[0]); return true;
    case kFilterGrow: Grow(t, p[0]); return true;
    case kFilterDenoise: Denoise(t, p[0], p[1]); return true;
    case kFilterRegionFill: RegionFill(t, p[0]); return true;
    default: return RunArtisticKernel(index, t, p);
  }
}

}  // namespace velmira
