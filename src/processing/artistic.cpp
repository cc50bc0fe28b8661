#include "processing/artistic.h"
#include "image/ring_points.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "image/rand.h"
#include "processing/filter_bands.h"
#include "processing/filter_table.h"

namespace velmira {

namespace {

// 1 / 32767 as the filters have always used it.
constexpr double kInvRandMax = 3.0518509475997192e-05;

// rand() / 32767, in 0 … 1.
double RandUnit() { return double(ProgramRand()) * kInvRandMax; }

inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

inline bool Inside(const FilterTarget& t, int x, int y) { return x >= 0 && y >= 0 && x < t.width && y < t.height; }
inline const uint8_t* Src(const FilterTarget& t, int x, int y) {
  return t.src + size_t(y) * size_t(t.stride) + 3 * size_t(x);
}
inline uint8_t* Dst(const FilterTarget& t, int x, int y) {
  return t.dst + size_t(y) * size_t(t.stride) + 3 * size_t(x);
}
inline void Put(const FilterTarget& t, int x, int y, int b, int g, int r) {
  uint8_t* d = Dst(t, x, y);
  d[0] = uint8_t(b), d[1] = uint8_t(g), d[2] = uint8_t(r);
}
inline int Diff(const uint8_t* a, const uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// The brush's soft dab drawn into the edit copy: rings 1 … size − 1 weighted at
// random toward the colour already there, then the single gaps between rings filled
// from the pixel beside them. One random value per ring point inside the layer.
void SoftDab(const FilterTarget& t, int x, int y, int size, const uint8_t k[3]) {
  constexpr int kMax = 25;
  const int s = std::min(size, kMax);
  if (s <= 1) {
    if (t.Selected(x, y)) Put(t, x, y, k[0], k[1], k[2]);
    return;
  }
  uint8_t grid[2 * kMax][2 * kMax];
  const int n = 2 * s;
  for (int row = 0; row < n; ++row) std::memset(grid[row], 0, size_t(n));
  for (int r = 1; r < s; ++r) {
    const double f = double(r) / double(s);
    ForEachRingPoint(x, y, r, [&](int px, int py) {
      grid[py - y + s][px - x + s] = 1;
      if (!Inside(t, px, py)) return;
      const double g = std::max(0.0, double(ProgramRand()) / double(kRandMax) * 0.1 + f - 0.2);
      if (!t.Selected(px, py)) return;
      uint8_t* d = Dst(t, px, py);
      for (int c = 0; c < 3; ++c) d[c] = uint8_t(k[c] - int(g * double(k[c] - d[c])));
    });
  }
  for (int gx = 0; gx < n; ++gx) {
    const int px = x - s + gx;
    if (px < 0 || px >= t.width) continue;
    for (int gy = 1; gy + 1 < n; ++gy) {
      if (grid[gy][gx] || !grid[gy - 1][gx] || !grid[gy + 1][gx]) continue;
      const int py = y - s + gy;
      if (!t.Selected(px, py)) continue;
      if (t.Selected(px, py - 1))
        std::memcpy(Dst(t, px, py), Dst(t, px, py - 1), 3);
      else if (t.Selected(px, py + 1))
        std::memcpy(Dst(t, px, py), Dst(t, px, py + 1), 3);
      else
        Put(t, px, py, k[0], k[1], k[2]);
    }
  }
}

// Intensity of every pixel, computed once (the window filters read each many times).
std::vector<uint8_t> IntensityPlane(const FilterTarget& t) {
  std::vector<uint8_t> out(size_t(t.width) * size_t(t.height));
  for (int y = 0; y < t.height; ++y) {
    const uint8_t* s = t.src + size_t(y) * size_t(t.stride);
    uint8_t* o = out.data() + size_t(y) * size_t(t.width);
    for (int x = 0; x < t.width; ++x) o[x] = uint8_t(Intensity(s[3 * x], s[3 * x + 1], s[3 * x + 2]));
  }
  return out;
}

}  // namespace

int RandomPosition(int n) { return int(double(ProgramRand()) * kInvRandMax * double(n)); }

int Intensity(int b, int g, int r) { return int(0.11 * double(b) + 0.59 * double(g) + 0.30 * double(r)); }

std::vector<uint8_t> EdgeMask(const FilterTarget& t, int c) {
  const size_t n = size_t(t.width) * size_t(t.height);
  std::vector<uint32_t> grey(n, 0);
  FilterTarget q = t;
  q.control = nullptr;
  GreyConvolve(q, OutlineKernel(c), true, grey.data());
  std::vector<uint8_t> mask(n);
  for (size_t i = 0; i < n; ++i) mask[i] = (grey[i] & 0xFFFFFFu) != 0 && t.SelAt(i) ? 1 : 0;
  return mask;
}

float DirectionSlope(const FilterTarget& t, int x, int y) {
  static const int kH[9] = {-1, 0, 1, -2, 0, 2, -1, 0, 1};
  static const int kV[9] = {-1, -2, -1, 0, 0, 0, 1, 2, 1};
  int h = 0, v = 0;
  for (int j = 0; j < 3; ++j) {
    const int yy = y + j - 1;
    if (yy < 0 || yy >= t.height) continue;
    for (int i = 0; i < 3; ++i) {
      const int xx = x + i - 1;
      if (xx < 0 || xx >= t.width) continue;
      const int g = Src(t, xx, yy)[1];
      h += kH[3 * j + i] * g;
      v += kV[3 * j + i] * g;
    }
  }
  h = Clamp255(h);
  v = Clamp255(v);
  return h == 0 ? 0.0f : float(v) / float(h);
}

// ---------------------------------------------------------------- stamping, confetti

void StampStrokes(const FilterTarget& t, int edge, int a, int b) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  const std::vector<uint8_t> mask = EdgeMask(t, edge);
  Rows rows(t.control, 2 * h);
  auto square = [&](int px, int py, const int c[3]) {
    for (int yy = py; yy < py + 4; ++yy)
      for (int xx = px; xx < px + 4; ++xx)
        if (t.Selected(xx, yy)) Put(t, xx, yy, c[0], c[1], c[2]);
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < h; ++i) {
      if (!rows.Next(pass * h + i)) return;
      const int y = RandomPosition(h);
      for (int j = 0; j < w; ++j) {
        const int x = RandomPosition(w);
        if (!t.Selected(x, y)) continue;
        const int len = int(RandUnit() * double(a)) + 3;
        const uint8_t* s = Inside(t, x + len / 2, y + len / 2) ? Src(t, x + len / 2, y + len / 2) : Src(t, x, y);
        int c[3] = {s[0], s[1], s[2]};  // B, G, R
        switch (ProgramRand() % 3) {
          case 0:
            for (int& v : c) v = (b * v) % 256;
            break;
          case 1: c[0] = (b * c[0]) % 256; break;
          default: c[1] = (b * c[1]) % 256; break;
        }
        // A stroke never starts on an outline, so edges stay crisp.
        if (mask[size_t(y) * size_t(w) + size_t(x)]) continue;
        for (int k = 0; k < len; ++k) square(x + 1 + k, y + 1 + k, c);
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- line colouring, oil

void LineColouring(const FilterTarget& t, int p, int repeat) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0 || repeat <= 0) return;
  Rows rows(t.control, repeat * h);
  for (int rep = 0; rep < repeat; ++rep) {
    for (int i = 0; i < h; ++i) {
      if (!rows.Next(rep * h + i)) return;
      const int y = RandomPosition(h);
      for (int j = 0; j < w; ++j) {
        const int x = RandomPosition(w);
        if (!t.Selected(x, y)) continue;
        const uint8_t* c = Src(t, x, y);
        const int len = int(RandUnit() * double(p)) + 3;
        const float slope = DirectionSlope(t, x, y);
        for (int k = 1; k <= len; ++k) {
          const int dy = int(float(k) * slope);
          if (std::abs(dy) > 1) break;
          if (t.Selected(x + k, y + dy)) Put(t, x + k, y + dy, c[0], c[1], c[2]);
        }
      }
    }
  }
  rows.Done();
}

void OilPainting(const FilterTarget& t, int p) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  const std::vector<uint8_t> mask = EdgeMask(t, 8);
  Rows rows(t.control, h);
  for (int i = 0; i < h; ++i) {
    if (!rows.Next(i)) return;
    const int y = RandomPosition(h);
    for (int j = 0; j < w; ++j) {
      const int x = RandomPosition(w);
      if (!t.Selected(x, y)) continue;
      uint8_t c[3];
      std::memcpy(c, Src(t, x, y), 3);
      const int len = int(RandUnit() * double(p)) + 3;
      const float slope = DirectionSlope(t, x, y);
      for (int k = 1; k <= len; ++k) {
        const int dy = int(float(k) * slope);
        if (std::abs(dy) > 1) break;
        const int px = x + k, py = y + dy;
        if (!t.Selected(px, py)) continue;
        // A dab never crosses an outline: the stroke ends there.
        if (mask[size_t(py) * size_t(w) + size_t(px)]) break;
        SoftDab(t, px, py, 6, c);
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- watercolour

// A running histogram of the 7 × 7 window per row: moving one column right removes
// one column of up to 7 pixels and adds one, so a pixel costs 14 updates and a scan
// of 31 levels whatever is in the window. Rows are independent (the single random
// value per row is discarded), so row bands run in parallel; the draws are made
// afterwards, one per row finished, exactly as many as a serial run makes.
void Watercolour(const FilterTarget& t) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  constexpr int kLevels = 31, kR = 3;
  uint8_t levelOf[256];
  const double factor = 30 * 0.00392156862745098;
  for (int i = 0; i < 256; ++i) levelOf[i] = uint8_t(std::min(kLevels - 1, int(double(i) * factor)));
  std::vector<uint8_t> level = IntensityPlane(t);
  for (uint8_t& v : level) v = levelOf[v];
  std::atomic<int> finished{0};
  ForBands(t, [&](int y0, int y1, Rows& rows) {
    int cnt[kLevels], sum[kLevels][3];
    for (int y = y0; y < y1; ++y) {
      if (!rows.Next(y)) return false;
      const int ylo = std::max(0, y - kR), yhi = std::min(h - 1, y + kR);
      std::memset(cnt, 0, sizeof cnt);
      std::memset(sum, 0, sizeof sum);
      auto column = [&](int x, int sign) {
        for (int yy = ylo; yy <= yhi; ++yy) {
          const int b = level[size_t(yy) * size_t(w) + size_t(x)];
          const uint8_t* s = Src(t, x, yy);
          cnt[b] += sign;
          sum[b][0] += sign * s[0];
          sum[b][1] += sign * s[1];
          sum[b][2] += sign * s[2];
        }
      };
      for (int x = 0; x <= std::min(w - 1, kR); ++x) column(x, +1);
      const uint8_t* m = t.SelRow(y);
      for (int x = 0; x < w; ++x) {
        if (x > 0) {
          if (x - kR - 1 >= 0) column(x - kR - 1, -1);
          if (x + kR < w) column(x + kR, +1);
        }
        if (!m[x]) continue;
        int best = 0;
        for (int b = 1; b < kLevels; ++b)
          if (cnt[b] > cnt[best]) best = b;
        const int n = cnt[best];
        Put(t, x, y, sum[best][0] / n, sum[best][1] / n, sum[best][2] / n);
      }
      finished.fetch_add(1, std::memory_order_relaxed);
    }
    return true;
  });
  for (int i = finished.load(); i > 0; --i) ProgramRand();
}

// ---------------------------------------------------------------- frosted glass

namespace {

// What a pixel's draw came to: e (0 … 961), the rank drawn in its window, or one of
// these. Unselected pixels draw nothing; a pixel whose window has no level 0 and
// drew e = 0 10001 times in a row keeps its colour.
constexpr int16_t kFrostSkip = -1, kFrostKeep = -2;

constexpr int kCountShift = 54, kRedShift = 36, kGreenShift = 18;
constexpr uint64_t kField = (uint64_t(1) << 18) - 1;

// Intensity 0 without the floating-point sum for nearly every pixel: 0.59 × 2, 0.30 × 4
// and 0.11 × 10 each reach 1 already.
inline bool DarkestLevel(const uint8_t* s) { return s[0] < 10 && s[1] < 2 && s[2] < 4 && Intensity(s[0], s[1], s[2]) == 0; }

// The histogram work of a band of rows, given the draws. A running histogram of 256
// intensities: each level keeps its count and its three colour sums packed in one
// 64-bit word (count in bits 54…63, red, green and blue sums in 18 bits each: a window
// holds at most 31 × 31 = 961 pixels, and 961 × 255 < 2^18), so moving the window
// costs one addition per pixel in or out, plus 16 coarse counts, so a draw walks at
// most 32 entries. One per thread.
class FrostSweep {
 public:
  FrostSweep(const FilterTarget& t, int r)
      : t_(t), r_(r), w_(t.width), h_(t.height), span_(2 * r + 2),
        ringLevel_(size_t(span_) * size_t(w_)), ringWord_(size_t(span_) * size_t(w_)) {
    reciprocal_[0] = 0;
    // s / n for s < 2^18 and n ≤ 961 as a multiplication: (s × (⌊2^40 / n⌋ + 1)) >> 40
    // is exact while s × n < 2^40.
    for (int n = 1; n < 32 * 32; ++n) reciprocal_[n] = (uint64_t(1) << 40) / uint64_t(n) + 1;
  }

  // Rows a … b − 1; draws[(y − a) × W + x] is pixel (x, y)'s draw.
  void Run(int a, int b, const int16_t* draws) {
    // The ring starts afresh for every band.
    filled_ = std::max(0, a - r_);
    for (int y = a; y < b; y += 2) {
      const int16_t* d = draws + size_t(y - a) * size_t(w_);
      Rows2(y, y + 1 < b, d, d + w_);
    }
  }

 private:
  void Fill(int yy) {
    const uint8_t* s = Src(t_, 0, yy);
    uint8_t* lv = ringLevel_.data() + size_t(yy % span_) * size_t(w_);
    uint64_t* wd = ringWord_.data() + size_t(yy % span_) * size_t(w_);
    for (int x = 0; x < w_; ++x, s += 3) {
      lv[x] = uint8_t(Intensity(s[0], s[1], s[2]));
      wd[x] = (uint64_t(1) << kCountShift) | (uint64_t(s[2]) << kRedShift) | (uint64_t(s[1]) << kGreenShift) |
              uint64_t(s[0]);
    }
  }
  int Divide(uint64_t sum, int n) const { return int((sum * reciprocal_[n]) >> 40); }

  // Rows y and, with `two`, y + 1. Their windows share all rows but row y − r of the
  // first and row y + 1 + r of the second, so one running histogram covers the shared
  // rows and a small one each the odd row: a step then costs 2 × 2r + 4 updates for two
  // pixels instead of 2 × (2 × (2r + 1)).
  void Rows2(int y, bool two, const int16_t* draw0, const int16_t* draw1) {
    const int r = r_, w = w_;
    const int lo0 = std::max(0, y - r), hi0 = std::min(h_ - 1, y + r);
    const int lo1 = two ? std::max(0, y + 1 - r) : lo0, hi1 = two ? std::min(h_ - 1, y + 1 + r) : hi0;
    while (filled_ <= hi1) Fill(filled_++);
    const int n = hi0 - lo1 + 1;
    const uint8_t* rowLevel[32];
    const uint64_t* rowWord[32];
    for (int i = 0; i < n; ++i) {
      rowLevel[i] = ringLevel_.data() + size_t((lo1 + i) % span_) * size_t(w);
      rowWord[i] = ringWord_.data() + size_t((lo1 + i) % span_) * size_t(w);
    }
    // The odd rows: nullptr when the window has none.
    const uint8_t* oddLevel[2] = {nullptr, nullptr};
    const uint64_t* oddWord[2] = {nullptr, nullptr};
    if (lo0 < lo1) {
      oddLevel[0] = ringLevel_.data() + size_t(lo0 % span_) * size_t(w);
      oddWord[0] = ringWord_.data() + size_t(lo0 % span_) * size_t(w);
    }
    if (hi1 > hi0) {
      oddLevel[1] = ringLevel_.data() + size_t(hi1 % span_) * size_t(w);
      oddWord[1] = ringWord_.data() + size_t(hi1 % span_) * size_t(w);
    }
    uint64_t* hist = hist_;
    std::memset(hist_, 0, sizeof hist_);
    std::memset(odd_, 0, sizeof odd_);
    int32_t coarse[16] = {}, oddCoarse[2][16] = {};
    auto step = [&](int x, bool in) {
      if (in) {
        for (int i = 0; i < n; ++i) {
          const uint8_t lv = rowLevel[i][x];
          hist[lv] += rowWord[i][x];
          ++coarse[lv >> 4];
        }
      } else {
        for (int i = 0; i < n; ++i) {
          const uint8_t lv = rowLevel[i][x];
          hist[lv] -= rowWord[i][x];
          --coarse[lv >> 4];
        }
      }
      for (int j = 0; j < 2; ++j) {
        if (!oddLevel[j]) continue;
        const int lv = oddLevel[j][x];
        if (in) {
          odd_[j][lv] += oddWord[j][x];
          ++oddCoarse[j][lv >> 4];
        } else {
          odd_[j][lv] -= oddWord[j][x];
          --oddCoarse[j][lv >> 4];
        }
      }
    };
    for (int x = 0; x <= std::min(w - 1, r); ++x) step(x, true);
    for (int x = 0; x < w; ++x) {
      if (x > 0) {
        if (x - r - 1 >= 0) step(x - r - 1, false);
        if (x + r < w) step(x + r, true);
      }
      Pixel(x, y, draw0[x], coarse, oddCoarse[0], odd_[0]);
      if (two) Pixel(x, y + 1, draw1[x], coarse, oddCoarse[1], odd_[1]);
    }
  }

  // One pixel from the shared histogram plus its row's odd one.
  void Pixel(int x, int y, int e, const int32_t coarse[16], const int32_t oddCoarse[16], const uint64_t* odd) {
    if (e == kFrostSkip) return;
    if (e == kFrostKeep) {
      if (t_.dstFresh) std::memcpy(Dst(t_, x, y), Src(t_, x, y), 3);
      return;
    }
    // The first level whose running count reaches e (level 0 for e = 0, which the
    // draw allowed only where level 0 occurs): the coarse groups first (at most 15),
    // then the levels of the group reached.
    int b = 0;
    if (e > 0) {
      int acc = 0, k = 0;
      for (; k < 15; ++k) {
        const int c = coarse[k] + oddCoarse[k];
        if (acc + c >= e) break;
        acc += c;
      }
      b = 16 * k;
      while (b < 255) {
        const int c = int((hist_[b] + odd[b]) >> kCountShift);
        if (acc + c >= e) break;
        acc += c;
        ++b;
      }
    }
    // The count and sums of the two parts add field by field: none overflows.
    const uint64_t v = hist_[b] + odd[b];
    const int c = int(v >> kCountShift);
    uint8_t* d = Dst(t_, x, y);
    d[0] = uint8_t(Divide(v & kField, c));
    d[1] = uint8_t(Divide((v >> kGreenShift) & kField, c));
    d[2] = uint8_t(Divide((v >> kRedShift) & kField, c));
  }

  const FilterTarget& t_;
  const int r_, w_, h_, span_;
  // The rows under the two windows, each pixel's level and packed word made once: a
  // ring of 2r + 2 rows that stays in the cache, instead of a whole intensity plane.
  std::vector<uint8_t> ringLevel_;
  std::vector<uint64_t> ringWord_;
  int filled_ = 0;  // rows 0 … filled_ − 1 have been through the ring
  uint64_t reciprocal_[32 * 32];
  uint64_t hist_[256];
  uint64_t odd_[2][256];
};

}  // namespace

// The random values come first, for a band of rows at a time in scan order: a draw
// depends on the picture only through whether its window holds level 0 (e = 0 picks
// level 0, and an empty one is drawn again), which a look at the window answers. The
// histogram work of the band's rows then needs no further draws and is shared out
// between threads; the bytes and the values taken from the sequence are those of a
// serial run.
void FrostedGlass(const FilterTarget& t, int r) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  Rows rows(t.control, h);
  r = std::min(r, 15);
  if (r <= 0) {
    // A window of one pixel would always draw the pixel itself: keep the picture.
    KeepRows(t, 0, h);
    for (int y = 0; y < h; ++y) {
      if (!rows.Next(y)) return;
      ProgramRand();
    }
    rows.Done();
    return;
  }
  int threads = FilterThreads();
  if (int64_t(w) * h < (int64_t(1) << 20)) threads = 1;
  threads = std::min(threads, std::max(1, h / 64));
  const int band = 32 * threads;  // rows drawn at a time
  std::vector<int16_t> draws(size_t(band) * size_t(w));
  std::vector<std::unique_ptr<FrostSweep>> sweeps;
  for (int k = 0; k < threads; ++k) sweeps.push_back(std::make_unique<FrostSweep>(t, r));
  // Whether the window of (x, y) holds a pixel of level 0. Each row's first and last
  // such column are found once, when a window first asks: most rows have none, or
  // have them only in a few places.
  std::vector<int> darkFirst(size_t(h), -2), darkLast(size_t(h), -1);  // −2: not looked at
  auto darkest = [&](int x, int y) {
    const int x0 = std::max(0, x - r), x1 = std::min(w - 1, x + r);
    for (int yy = std::max(0, y - r); yy <= std::min(h - 1, y + r); ++yy) {
      const uint8_t* s = Src(t, 0, yy);
      int& first = darkFirst[size_t(yy)];
      int& last = darkLast[size_t(yy)];
      if (first == -2) {
        first = w;
        for (int xx = 0; xx < w; ++xx)
          if (DarkestLevel(s + 3 * size_t(xx))) first = std::min(first, xx), last = xx;
      }
      for (int xx = std::max(x0, first); xx <= std::min(x1, last); ++xx)
        if (DarkestLevel(s + 3 * size_t(xx))) return true;
    }
    return false;
  };
  // Columns under the window of each x: N = rows × columns is the window's count.
  std::vector<int> columns(size_t(w), 0);
  for (int x = 0; x < w; ++x) columns[size_t(x)] = std::min(w - 1, x + r) - std::max(0, x - r) + 1;
  uint32_t state = ProgramRandState();
  for (int y0 = 0; y0 < h; y0 += band) {
    const int y1 = std::min(h, y0 + band);
    int y = y0;
    for (; y < y1; ++y) {
      if (!rows.Next(y)) break;
      StepRand(state);  // one value per row, discarded
      const int n = std::min(h - 1, y + r) - std::max(0, y - r) + 1;
      const uint8_t* m = t.SelRow(y);
      int16_t* d = draws.data() + size_t(y - y0) * size_t(w);
      for (int x = 0; x < w; ++x) {
        if (!m[x]) {
          d[x] = kFrostSkip;
          continue;
        }
        const int total = n * columns[size_t(x)];
        int e = -1;
        int dark = -1;  // not looked at yet
        for (int tries = 0; tries <= 10000 && e < 0; ++tries) {
          // (rand + 1) × N < 2^15 × 961: exact in 32 bits, and never above 10000.
          const int v = int((uint32_t(StepRand(state) + 1) * uint32_t(total)) >> 15);
          if (v == 0 && dark < 0) dark = darkest(x, y);
          if (v > 0 || dark) e = v;
        }
        d[x] = e < 0 ? kFrostKeep : int16_t(e);
      }
    }
    // The rows drawn so far are filtered even when a cancel stopped the drawing.
    const int drawn = y;
    if (drawn > y0) {
      const int parts = std::min(threads, drawn - y0);
      std::vector<std::thread> pool;
      for (int k = 1; k < parts; ++k) {
        const int a = y0 + (drawn - y0) * k / parts, b = y0 + (drawn - y0) * (k + 1) / parts;
        pool.emplace_back([&, k, a, b] { sweeps[size_t(k)]->Run(a, b, draws.data() + size_t(a - y0) * size_t(w)); });
      }
      sweeps[0]->Run(y0, y0 + (drawn - y0) / parts, draws.data());
      for (auto& th : pool) th.join();
    }
    if (drawn < y1) {
      SeedProgramRand(state);
      return KeepRows(t, drawn, h);
    }
  }
  SeedProgramRand(state);
  rows.Done();
}

// ---------------------------------------------------------------- Korean paper

void KoreanPaper(const FilterTarget& t) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  static const int kNx[7] = {-1, 0, 1, -1, 1, -1, 0};
  static const int kNy[7] = {-1, -1, -1, 0, 0, 1, 1};
  Rows rows(t.control, w);
  for (int x = 0; x < w; ++x) {
    if (!rows.Next(x)) return;
    for (int k = 0; k < h; ++k) {
      const int y = RandomPosition(h - 1);
      if (!t.Selected(x, y)) continue;
      const uint8_t* p = Src(t, x, y);
      int total = 0, best = -1, bestDiff = -1;
      for (int i = 0; i < 7; ++i) {
        const int nx = x + kNx[i], ny = y + kNy[i];
        if (!t.Selected(nx, ny)) continue;
        const int d = Diff(p, Src(t, nx, ny));
        total += d;
        if (d > bestDiff) bestDiff = d, best = i;
      }
      if (total == 0) continue;
      const int len = int((RandUnit() + 1) * 3);
      // The fibre runs away from the neighbour that differs most.
      int dx = 0, dy = 1;
      if (best == 0)
        dx = 0, dy = -1;
      else if (best == 1)
        dx = -1, dy = 0;
      else if (best == 2)
        dx = 1, dy = 0;
      int cx = x, cy = y;
      for (int s = 1; s <= len; ++s) {
        if (!Inside(t, cx + dx, cy + dy)) break;
        cx += dx, cy += dy;
        if (!t.Selected(cx, cy)) continue;
        uint8_t* d = Dst(t, cx, cy);
        for (int c = 0; c < 3; ++c) {
          // The reached pixel's own value would count only where an earlier pass
          // marked it; this filter marks nothing, so the darkening follows the
          // starting colour.
          const int cc = p[c];
          d[c] = uint8_t(std::max(0, cc - int(double(255 - cc) * 0.14285714285714285 * double(s) / double(len))));
        }
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- rain drops

// Each drop is a small lens: a pixel at distance d from the centre (radius R) shows
// the picture at R (e^(2.5 d/R) − 1) / (e^2.5 − 1), which magnifies the middle and
// meets the surroundings at the rim. Light comes from the upper left as the picture
// is seen (stored rows run bottom-up, so that is −x, +y): the far side is darkened by
// 20 in the middle, 30 to 0.7 R, 40 to 0.8 R and 80 at the rim; the near side is
// brightened by 20 from 0.2 R and by 60 on the 0.7–0.8 R ring, its highlight.
void RainDrops(const FilterTarget& t, int p, int count) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0 || count <= 0) return;
  const double spread = std::exp(2.5) - 1.0;
  Rows rows(t.control, count);
  for (int i = 0; i < count; ++i) {
    if (!rows.Next(i)) return;
    const int size = int(double(ProgramRand()) * double(p - 5) / 32767.0 + 5);
    const int cx = RandomPosition(w);
    const int cy = RandomPosition(h);
    const double R = double(size) / 2.0;
    if (R < 1.0) continue;
    const int reach = int(std::ceil(R));
    for (int y = std::max(0, cy - reach); y <= std::min(h - 1, cy + reach); ++y) {
      for (int x = std::max(0, cx - reach); x <= std::min(w - 1, cx + reach); ++x) {
        const double dx = double(x - cx), dy = double(y - cy);
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d >= R || !t.Selected(x, y)) continue;
        const double tn = d / R;
        const double sd = R * (std::exp(2.5 * tn) - 1.0) / spread;
        int sx = cx, sy = cy;
        if (d > 0) {
          sx = cx + int(dx * sd / d);
          sy = cy + int(dy * sd / d);
        }
        uint8_t c[3];
        if (Inside(t, sx, sy)) {
          std::memcpy(c, Src(t, sx, sy), 3);
        } else {
          c[0] = uint8_t(RgbqB(t.outside)), c[1] = uint8_t(RgbqG(t.outside)), c[2] = uint8_t(RgbqR(t.outside));
        }
        const double toLight = -dx + dy;  // positive on the lit side
        int delta = 0;
        if (toLight < 0) {
          delta = tn < 0.2 ? -20 : tn < 0.7 ? -30 : tn < 0.8 ? -40 : -80;
        } else if (toLight > 0) {
          delta = tn < 0.2 ? 0 : tn < 0.7 ? 20 : tn < 0.8 ? 60 : 20;
        }
        Put(t, x, y, Clamp255(c[0] + delta), Clamp255(c[1] + delta), Clamp255(c[2] + delta));
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- drops

void Drops(const FilterTarget& t, int size) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  const int r = std::clamp(size, 0, 25);
  // Pixels an earlier drop of this run painted: a later drop mixes with them instead
  // of replacing them. Kept beside the selection, which the filter leaves alone.
  std::vector<uint8_t> painted(size_t(w) * size_t(h), 0);
  uint8_t grid[50][50];
  const int64_t total = int64_t(h) * 20;
  Rows rows(t.control, int(std::min<int64_t>(total, INT32_MAX)));
  for (int64_t it = 0; it < total; ++it) {
    if (!rows.Next(int(it))) return;
    const int y = RandomPosition(h);
    const int x = RandomPosition(w);
    if (!t.Selected(x, y)) continue;
    uint8_t c[3];
    std::memcpy(c, Src(t, x, y), 3);
    if (r <= 1) {
      Put(t, x, y, c[0], c[1], c[2]);
      continue;
    }
    const int n = 2 * r;
    for (int j = 0; j < n; ++j) std::memset(grid[j], 0, size_t(n));
    for (int rad = 1; rad < r; ++rad) {
      ForEachRingPoint(x, y, rad, [&](int px, int py) {
        grid[py - (y - r)][px - (x - r)] = 1;
        if (!t.Selected(px, py)) return;
        const size_t i = size_t(py) * size_t(w) + size_t(px);
        uint8_t* d = Dst(t, px, py);
        for (int k = 0; k < 3; ++k) d[k] = uint8_t((c[k] + (painted[i] ? d[k] : c[k])) / 2);
        painted[i] = 1;
      });
    }
    for (int i = 0; i < n; ++i) {
      for (int j = 2; j + 1 < n; ++j) {
        if (grid[j - 1][i] || !grid[j][i] || !grid[j - 2][i]) continue;
        const int px = x - r + i, py = y - r + j;
        // Past the layer's edge there is no pixel to take the colour from; spreading
        // the outside colour into the drop would paint a stripe along the border.
        if (!t.Selected(px, py) || !Inside(t, px, py + 1)) continue;
        std::memcpy(Dst(t, px, py), Dst(t, px, py + 1), 3);
      }
    }
  }
  rows.Done();
}

// ---------------------------------------------------------------- dalmatian

void Dalmatian(const FilterTarget& t, int p, int count) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  Rows rows(t.control, std::max(0, count) + h);
  for (int i = 0; i < count; ++i) {
    if (!rows.Next(i)) return;
    const int q = int(double(ProgramRand()) * double(p - 5) / 32767.0 + 5);
    const int r = q / 2;
    const int cy = RandomPosition(h - 1);
    const int cx = RandomPosition(w - 1);
    const double reach = double(r) * 1.1;
    const int box = int(reach) + 1;
    for (int y = std::max(0, cy - box); y <= std::min(h - 1, cy + box); ++y)
      for (int x = std::max(0, cx - box); x <= std::min(w - 1, cx + box); ++x) {
        const double dx = x - cx, dy = y - cy;
        if (std::sqrt(dx * dx + dy * dy) <= reach) Put(t, x, y, 0, 0, 0);
      }
  }
  uint8_t lighter[256];
  for (int c = 0; c < 256; ++c) lighter[c] = uint8_t(c < 136 ? c + 70 : 205);
  for (int y = 0; y < h; ++y) {
    if (!rows.Next(std::max(0, count) + y)) return;
    uint8_t* d = t.dst + size_t(y) * size_t(t.stride);
    for (int x = 0; x < w; ++x, d += 3)
      if (d[0] + d[1] + d[2] > 120) d[0] = lighter[d[0]], d[1] = lighter[d[1]], d[2] = lighter[d[2]];
  }
  rows.Done();
}

// ---------------------------------------------------------------- lens and bath glass

namespace {

// Shared frame of the two inverse mappings. Only the pixels with D < R, a span
// cx − q … cx + q of each row, map anywhere but (0, 0); `row` writes the selected
// pixels xa … xb of row y into d (the row of dst) and may scribble over the first byte
// of pixel xb + 1, which is written afterwards. Bands run on several threads, so
// `row` keeps its scratch in the Scratch it is handed, one per band. Sources are
// clamped to 0 … W and 0 … H, a read at W or H giving the outside colour.
struct MapFrame {
  int w, h, cx, cy, R;
  // The outside colour, and a copy of the layer's last pixel: the copies below read
  // four bytes for a pixel, and the last pixel may end the block.
  uint8_t out[4];
  uint8_t last[4];
  uintptr_t lastAt;
  const FilterTarget* t;
  // The source pixel of (sx, sy) after clamping.
  const uint8_t* Source(int sx, int sy) const {
    sx = std::clamp(sx, 0, w);
    sy = std::clamp(sy, 0, h);
    return sx < w && sy < h ? Src(*t, sx, sy) : out;
  }
};

template <class Scratch, class Row>
void InverseMap(const FilterTarget& t, Row&& row) {
  const int w = t.width, h = t.height;
  if (w <= 0 || h <= 0) return;
  MapFrame f;
  f.w = w, f.h = h, f.cx = w / 2, f.cy = h / 2, f.t = &t;
  const int64_t r2 = int64_t(f.cx) * f.cx + int64_t(f.cy) * f.cy;
  f.R = int(std::sqrt(double(r2)));
  f.out[0] = uint8_t(RgbqB(t.outside)), f.out[1] = uint8_t(RgbqG(t.outside)), f.out[2] = uint8_t(RgbqR(t.outside));
  f.out[3] = 0;
  const uint8_t* lastPixel = Src(t, w - 1, h - 1);
  std::memcpy(f.last, lastPixel, 3);
  f.last[3] = 0;
  f.lastAt = reinterpret_cast<uintptr_t>(lastPixel);
  const int cx = f.cx, cy = f.cy, R = f.R;
  ForBands(t, [&](int y0, int y1, Rows& rows) {
    Scratch scratch(w);
    for (int y = y0; y < y1; ++y) {
      if (!rows.Next(y)) return false;
      const uint8_t* m = t.SelRow(y);
      uint8_t* d = t.dst + size_t(y) * size_t(t.stride);
      const int dy = cy - y;
      // dx² < R² − dy²: |dx| ≤ q with q the largest integer whose square is below it.
      const int64_t room = int64_t(R) * R - int64_t(dy) * dy;
      int xa = 0, xb = -1;
      if (room > 0) {
        int64_t q = int64_t(std::sqrt(double(room - 1)));
        while (q * q > room - 1) --q;
        while ((q + 1) * (q + 1) <= room - 1) ++q;
        xa = int(std::max<int64_t>(0, cx - q));
        xb = int(std::min<int64_t>(w - 1, cx + q));
      }
      if (xa <= xb) row(f, y, dy, xa, xb, d, m, scratch);
      // The rest of the row reads the source (0, 0).
      const uint8_t* corner = Src(t, 0, 0);
      for (int x = 0; x < w; ++x) {
        if (x == xa && xa <= xb) x = xb + 1;
        if (x < w && m[x]) std::memcpy(d + 3 * size_t(x), corner, 3);
      }
    }
    return true;
  });
}

// The quick terms for j = 0 … n − 1, their truncations and whether either lies
// within 1e-7 of an integer, in one flat loop the compiler vectorises (an int counter
// converts to double in vector lanes; a size_t one does not). Square roots, products
// and truncations give the same bits in every vector width, and the build never
// contracts a product and a sum into one rounding, so the wider copies below (AVX2,
// AVX-512) are the same arithmetic.
[[gnu::always_inline]] inline bool NearInteger(double v, int32_t truncated) {
  const double e = std::fabs(v - double(truncated));
  return (e < 1e-7) | (e > 1.0 - 1e-7);
}
// Returns whether any is near but for j = 0, whose horizontal term is always 0 and so
// always near.
[[gnu::always_inline]] inline bool LensTermsLoop(int n, double fy, double inv, double k, double* __restrict vx,
                                                 double* __restrict vy, int32_t* __restrict ix,
                                                 int32_t* __restrict iy, int64_t* __restrict near) {
  int64_t any = 0;
  for (int j = 0; j < n; ++j) {
    const double fx = double(j);
    const double u = std::sqrt(fx * fx + fy * fy) * inv;
    const double a = k * fx * u, b = 2.0 * fy * u;
    const int32_t ia = int32_t(a), ib = int32_t(b);
    vx[j] = a;
    vy[j] = b;
    ix[j] = ia;
    iy[j] = ib;
    near[j] = NearInteger(a, ia) | NearInteger(b, ib);
    any |= j > 0 ? near[j] : 0;
  }
  return any != 0;
}

// The source addresses of the pixels dx = +j (right, x = cx − j) and dx = −j (left)
// from the truncations, clamped; `out` where the clamp reaches W or H. Addresses as
// integers, so the choice vectorises too.
[[gnu::always_inline]] inline void LensSourcesLoop(int n, const int32_t* __restrict ix, const int32_t* __restrict iy,
                                                   uintptr_t* __restrict right, uintptr_t* __restrict left,
                                                   uintptr_t src, uintptr_t out, uintptr_t lastAt,
                                                   uintptr_t last, int64_t stride, int cx, int cy, int w, int h) {
  for (int j = 0; j < n; ++j) {
    const int sy = std::max(0, cy - iy[j]);
    const int sr = std::min(std::max(cx - ix[j], 0), w), sl = std::min(std::max(cx + ix[j], 0), w);
    const uintptr_t row = src + uintptr_t(int64_t(sy) * stride);
    const uintptr_t r = (sy < h) & (sr < w) ? row + uintptr_t(3 * sr) : out;
    const uintptr_t l = (sy < h) & (sl < w) ? row + uintptr_t(3 * sl) : out;
    right[j] = r == lastAt ? last : r;
    left[j] = l == lastAt ? last : l;
  }
}

__attribute__((target("avx2"))) bool LensTermsAvx2(int n, double fy, double inv, double k, double* vx, double* vy,
                                                   int32_t* ix, int32_t* iy, int64_t* near) {
  return LensTermsLoop(n, fy, inv, k, vx, vy, ix, iy, near);
}
__attribute__((target("avx512f,avx512dq,avx512vl"))) bool LensTermsAvx512(int n, double fy, double inv, double k,
                                                                           double* vx, double* vy, int32_t* ix,
                                                                           int32_t* iy, int64_t* near) {
  return LensTermsLoop(n, fy, inv, k, vx, vy, ix, iy, near);
}
__attribute__((target("avx512f,avx512dq,avx512vl"))) void LensSourcesAvx512(
    int n, const int32_t* ix, const int32_t* iy, uintptr_t* right, uintptr_t* left, uintptr_t src, uintptr_t out,
    uintptr_t lastAt, uintptr_t last, int64_t stride, int cx, int cy, int w, int h) {
  LensSourcesLoop(n, ix, iy, right, left, src, out, lastAt, last, stride, cx, cy, w, h);
}
__attribute__((target("avx2"))) void LensSourcesAvx2(int n, const int32_t* ix, const int32_t* iy, uintptr_t* right,
                                                     uintptr_t* left, uintptr_t src, uintptr_t out, uintptr_t lastAt,
                                                     uintptr_t last, int64_t stride, int cx, int cy, int w, int h) {
  LensSourcesLoop(n, ix, iy, right, left, src, out, lastAt, last, stride, cx, cy, w, h);
}

// Four or eight lanes at once where the processor has them (and SetLensVectorWidth
// allows them).
std::atomic<int> g_lensWidth{2};
bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have && g_lensWidth.load(std::memory_order_relaxed) >= 1;
}
bool HaveAvx512() {
  static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                           __builtin_cpu_supports("avx512vl");
  return have && g_lensWidth.load(std::memory_order_relaxed) >= 2;
}

// Per band: for each distance j = |dx| from the centre column, the two terms of the
// quick form, their truncations and the sources of the pixels left and right of the
// centre.
struct LensScratch {
  std::vector<double> vx, vy;
  std::vector<int32_t> ix, iy;
  std::vector<int64_t> near;
  std::vector<uintptr_t> right, left;
  explicit LensScratch(int w)
      : vx(size_t(w) + 1), vy(size_t(w) + 1), ix(size_t(w) + 1), iy(size_t(w) + 1), near(size_t(w) + 1),
        right(size_t(w) + 1), left(size_t(w) + 1) {}
};

struct NoScratch {
  explicit NoScratch(int) {}
};

inline void Copy3(uint8_t* d, const uint8_t* s) { std::memcpy(d, s, 3); }
inline void Copy4(uint8_t* d, const uint8_t* s) {
  uint32_t v;
  std::memcpy(&v, s, 4);
  std::memcpy(d, &v, 4);
}

}  // namespace

void SetLensVectorWidth(int widest) { g_lensWidth.store(widest); }

// cos θ × D² = dx × D and sin θ × D² = dy × D, so the quick form needs no atan2, cos
// or sin. It differs from the formula as written only in the last bits, which matter
// only when the value lies next to an integer; there the written form decides. Both
// terms depend on dx only through |dx| (the horizontal one changes sign with dx,
// which truncation toward zero mirrors exactly), so each row computes them once for
// the two sides of the centre.
void Lens(const FilterTarget& t) {
  InverseMap<LensScratch>(t, [&t](const MapFrame& f, int, int dy, int xa, int xb, uint8_t* d, const uint8_t* m,
                                  LensScratch& s) {
    const int cx = f.cx, cy = f.cy;
    const double k = 0.1 * 1.5, fy = double(dy), fr = double(f.R), inv = 1.0 / fr;
    const int jmax = std::max(cx - xa, xb - cx);
    double* vx = s.vx.data();
    double* vy = s.vy.data();
    int32_t* ix = s.ix.data();
    int32_t* iy = s.iy.data();
    int64_t* near = s.near.data();
    uintptr_t* right = s.right.data();
    uintptr_t* left = s.left.data();
    const int n = jmax + 1;
    const uintptr_t src = reinterpret_cast<uintptr_t>(t.src), out = reinterpret_cast<uintptr_t>(f.out);
    const uintptr_t last = reinterpret_cast<uintptr_t>(f.last);
    bool anyNear;
    if (HaveAvx512()) {
      anyNear = LensTermsAvx512(n, fy, inv, k, vx, vy, ix, iy, near);
      LensSourcesAvx512(n, ix, iy, right, left, src, out, f.lastAt, last, t.stride, cx, cy, f.w, f.h);
    } else if (HaveAvx2()) {
      anyNear = LensTermsAvx2(n, fy, inv, k, vx, vy, ix, iy, near);
      LensSourcesAvx2(n, ix, iy, right, left, src, out, f.lastAt, last, t.stride, cx, cy, f.w, f.h);
    } else {
      anyNear = LensTermsLoop(n, fy, inv, k, vx, vy, ix, iy, near);
      LensSourcesLoop(n, ix, iy, right, left, src, out, f.lastAt, last, t.stride, cx, cy, f.w, f.h);
    }
    // Next to an integer the written form decides, per side (atan2 is not symmetric
    // to the last bit).
    auto exact = [&](int x, int j) {
      const double fx = double(cx - x);
      double ux = fx < 0 ? -vx[j] : vx[j], uy = vy[j];
      const double D = std::sqrt(fx * fx + fy * fy);
      const double th = std::atan2(fy, fx);
      if (NearInteger(vx[j], ix[j])) ux = k * std::cos(th) * D * D / fr;
      if (NearInteger(vy[j], iy[j])) uy = 2.0 * std::sin(th) * D * D / fr;
      const uintptr_t p = reinterpret_cast<uintptr_t>(f.Source(cx - int(ux), cy - int(uy)));
      return p == f.lastAt ? last : p;
    };
    if (near[0] && cx >= xa) right[0] = exact(cx, 0);
    for (int j = 1; anyNear && j < n; ++j) {
      if (!near[j]) continue;
      if (cx - j >= xa) right[j] = exact(cx - j, j);
      if (j > 0 && cx + j <= xb) left[j] = exact(cx + j, j);
    }
    auto at = [](uintptr_t p) { return reinterpret_cast<const uint8_t*>(p); };
    if (t.selAll) {
      // Four bytes a pixel, the fourth landing on the next pixel, which is written
      // after it; the row's last pixel takes three, as its neighbour is the padding or
      // the next row.
      const int stop = std::min(xb, f.w - 2);
      for (int x = xa; x <= std::min(cx, stop); ++x) Copy4(d + 3 * size_t(x), at(right[cx - x]));
      for (int x = cx + 1; x <= stop; ++x) Copy4(d + 3 * size_t(x), at(left[x - cx]));
      for (int x = std::max(xa, stop + 1); x <= xb; ++x)
        Copy3(d + 3 * size_t(x), at(x <= cx ? right[cx - x] : left[x - cx]));
    } else {
      for (int x = xa; x <= cx; ++x)
        if (m[x]) Copy3(d + 3 * size_t(x), at(right[cx - x]));
      for (int x = cx + 1; x <= xb; ++x)
        if (m[x]) Copy3(d + 3 * size_t(x), at(left[x - cx]));
    }
  });
}

// Vertical ribs 32 pixels wide, each stretched about its middle: x reads
// x + (x mod 32) − 16 of its own row.
void BathGlass(const FilterTarget& t) {
  InverseMap<NoScratch>(t, [&t](const MapFrame& f, int y, int, int xa, int xb, uint8_t* d, const uint8_t* m,
                                NoScratch&) {
    auto source = [&](int x) { return f.Source(x + (x % 32) - 16, y); };
    if (!t.selAll) {
      for (int x = xa; x <= xb; ++x)
        if (m[x]) Copy3(d + 3 * size_t(x), source(x));
      return;
    }
    // From x = 8 on the source lies right of column 0, and up to x = w − 17 it lies
    // at most x + 15 ≤ w − 2, so four bytes can be read and written at once there: the
    // fourth lands on the next pixel, which is written after it.
    const int lo = std::max(xa, 8), hi = std::min(xb, f.w - 17);
    int x = xa;
    for (; x <= xb && x < lo; ++x) Copy3(d + 3 * size_t(x), source(x));
    const uint8_t* s = t.src + size_t(y) * size_t(t.stride);
    for (; x <= hi; ++x) {
      uint32_t v;
      std::memcpy(&v, s + 3 * size_t(x + (x & 31) - 16), 4);
      std::memcpy(d + 3 * size_t(x), &v, 4);
    }
    for (; x <= xb; ++x) Copy3(d + 3 * size_t(x), source(x));
  });
}

// ---------------------------------------------------------------- dispatch

bool RunArtisticKernel(int index, const FilterTarget& t, const int p[3]) {
  switch (index) {
    case kFilterStamp:
    case kFilterConfetti: StampStrokes(t, p[0], p[1], p[2]); return true;
    case kFilterLineColour: LineColouring(t, p[0], p[1]); return true;
    case kFilterWatercolour: Watercolour(t); return true;
    case kFilterHanji: KoreanPaper(t); return true;
    case kFilterRaindrops: RainDrops(t, p[0], p[1]); return true;
    case kFilterFrostedGlass: FrostedGlass(t, p[0]); return true;
    case kFilterBubbles: Drops(t, p[0]); return true;
    case kFilterOilPaint: OilPainting(t, p[0]); return true;
    case kFilterDalmatian: Dalmatian(t, p[0], p[1]); return true;
    case kFilterLens: Lens(t); return true;
    case kFilterBathroom: BathGlass(t); return true;
    default: return false;
  }
}

}  // namespace velmira
