#include "tools/selection.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <deque>
#include <vector>

namespace velmira {

namespace {

bool IsMark(uint8_t v) { return v == kMaskBoundary || v == kMaskEndPoint; }

int ColourDistance(Rgbq a, Rgbq b) {
  return std::abs(int(RgbqR(a)) - int(RgbqR(b))) + std::abs(int(RgbqG(a)) - int(RgbqG(b))) +
         std::abs(int(RgbqB(a)) - int(RgbqB(b)));
}

// A run of marked pixels waiting to have its neighbouring rows scanned: first and
// last mask index, both on one row. Two words per run keeps the queue within four
// bytes per pixel even for the most broken-up regions (runs are at least one pixel
// apart).
struct Run {
  uint32_t first, last;
};

// Four-way flood over the mask, run by run. The seed takes `to` whatever it held;
// from there every pixel whose mask byte is `from` and for which joins(x, y) holds
// and that touches a marked pixel is marked `to`. Each pixel is marked once and
// then no longer matches, so nothing is queued twice. Returns how many pixels were
// marked (the seed included); *touchedEdge tells whether any lies on the mask's rim.
// Runs are taken first in, first out: the flood then advances row by row through
// memory instead of climbing one narrow column after another.
template <class Joins>
int64_t SpanFlood(uint8_t* mask, int w, int h, int sx, int sy, uint8_t from, uint8_t to, Joins&& joins,
                  bool* touchedEdge = nullptr) {
  std::deque<Run> queue;
  int64_t count = 0;
  bool edge = false;
  auto fillable = [&](const uint8_t* row, int x, int y) { return row[x] == from && joins(x, y); };
  auto mark = [&](int y, int a, int b) {
    uint8_t* row = mask + size_t(y) * size_t(w);
    std::fill(row + a, row + b + 1, to);
    count += b - a + 1;
    if (y == 0 || y == h - 1 || a == 0 || b == w - 1) edge = true;
    const uint32_t base = uint32_t(size_t(y) * size_t(w));
    queue.push_back({base + uint32_t(a), base + uint32_t(b)});
  };

  {
    uint8_t* row = mask + size_t(sy) * size_t(w);
    row[sx] = to;
    int a = sx, b = sx;
    while (a > 0 && fillable(row, a - 1, sy)) --a;
    while (b < w - 1 && fillable(row, b + 1, sy)) ++b;
    mark(sy, a, b);
  }
  while (!queue.empty()) {
    const Run r = queue.front();
    queue.pop_front();
    const int y = int(r.first / uint32_t(w));
    const int a = int(r.first - uint32_t(y) * uint32_t(w));
    const int b = int(r.last - uint32_t(y) * uint32_t(w));
    for (int ny : {y - 1, y + 1}) {
      if (ny < 0 || ny >= h) continue;
      const uint8_t* row = mask + size_t(ny) * size_t(w);
      int x = a;
      while (x <= b) {
        if (!fillable(row, x, ny)) {
          ++x;
          continue;
        }
        int l = x, rr = x;
        while (l > 0 && fillable(row, l - 1, ny)) --l;
        while (rr < w - 1 && fillable(row, rr + 1, ny)) ++rr;
        mark(ny, l, rr);
        x = rr + 2;  // rr + 1 did not match
      }
    }
  }
  if (touchedEdge) *touchedEdge = edge;
  return count;
}

// Similarity tests of a layer's pixels against a reference colour: similar when the
// sum of absolute channel differences is below `limit`. Built once per pass so that
// the per-pixel work is a few table look-ups on the stored bytes.
struct DirectColourTest {
  const uint8_t* pixels;
  size_t stride;
  int bytes;
  const uint16_t* table;  // 3 × 256: |value − reference| for blue, green, red
  int limit;
  bool operator()(int x, int y) const {
    const uint8_t* p = pixels + size_t(y) * stride + size_t(x) * size_t(bytes);
    return table[p[0]] + table[256 + p[1]] + table[512 + p[2]] < limit;
  }
};

struct IndexedColourTest {
  const uint8_t* pixels;
  size_t stride;
  int bits;
  const uint8_t* similar;  // 256 entries by palette index
  bool operator()(int x, int y) const {
    return similar[RowIndex(pixels + size_t(y) * stride, bits, x)];
  }
};

struct ConstantTest {
  bool value;
  bool operator()(int, int) const { return value; }
};

// Calls f with the similarity test that fits the layer's storage. False when the
// layer's buffers are too short for its geometry.
template <class F>
bool WithColourTest(const LayerStack& L, const Layer& l, Rgbq reference, int limit, F&& f) {
  const size_t w = size_t(l.width), h = size_t(l.height);
  if (l.alpha.size() < w * h) return false;
  if (l.kind == kLayerText) {
    // Text layers hold coverage only; every glyph pixel has the text colour.
    f(ConstantTest{ColourDistance(Rgbq(l.textColour) & 0xFFFFFF, reference) < limit});
    return true;
  }
  const int bpp = L.header.bitsPerPixel;
  if (l.stride <= 0 || l.pixels.size() < size_t(l.stride) * h) return false;
  if (bpp <= 8) {
    if (bpp != 1 && bpp != 4 && bpp != 8) return false;
    uint8_t similar[256];
    for (int i = 0; i < 256; ++i) similar[i] = ColourDistance(L.PictureColour(i), reference) < limit;
    f(IndexedColourTest{l.pixels.data(), size_t(l.stride), bpp, similar});
    return true;
  }
  if (bpp != 24 && bpp != 32) return false;
  uint16_t table[768];
  for (int v = 0; v < 256; ++v) {
    table[v] = uint16_t(std::abs(v - int(RgbqB(reference))));
    table[256 + v] = uint16_t(std::abs(v - int(RgbqG(reference))));
    table[512 + v] = uint16_t(std::abs(v - int(RgbqR(reference))));
  }
  f(DirectColourTest{l.pixels.data(), size_t(l.stride), bpp / 8, table, limit});
  return true;
}

// Prepares the mask for a wand or colour-range pass: adding keeps the selection and
// makes the marks a previous pass left ordinary selected pixels; a new pass starts
// from nothing selected. Adding to "no selection" (the all-1 mask) would add
// nothing, so it starts anew too.
void PrepareForPass(LayerStack& L, bool add) {
  if (add && L.selectionExists)
    std::replace(L.mask.begin(), L.mask.end(), kMaskBoundary, uint8_t(1));
  else
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
  L.selectionExists = true;
}

}  // namespace

bool EnsureSelectionMask(LayerStack& L) {
  const Layer* l = L.Active();
  if (!l) return false;
  const size_t n = size_t(std::max(0, l->width)) * size_t(std::max(0, l->height));
  if (L.maskWidth != l->width || L.maskHeight != l->height || L.mask.size() != n) {
    L.ResetSelection(L.active);
    L.mask.resize(n, 1);  // a layer whose pixel count disagrees with its size
    L.selectionExists = false;
  }
  return true;
}

void SelectRect(LayerStack& L, int x0, int y0, int x1, int y1) {
  if (!EnsureSelectionMask(L)) return;
  const int w = L.maskWidth, h = L.maskHeight;
  std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
  L.selectionExists = true;
  const int left = std::max(0, std::min(x0, x1)), right = std::min(w - 1, std::max(x0, x1));
  const int bottom = std::max(0, std::min(y0, y1)), top = std::min(h - 1, std::max(y0, y1));
  if (left > right || bottom > top) return;
  for (int y = bottom; y <= top; ++y) {
    uint8_t* row = L.mask.data() + size_t(y) * size_t(w);
    std::fill(row + left, row + right + 1, uint8_t(1));
  }
}

void MarkSegment(LayerStack& L, int x0, int y0, int x1, int y1, uint8_t value) {
  if (!EnsureSelectionMask(L)) return;
  const int w = L.maskWidth, h = L.maskHeight;
  auto put = [&](int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x < w && y < h) L.mask[size_t(y) * size_t(w) + size_t(x)] = value;
  };
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0) {
    put(x0, y0);
  } else {
    // Step i lies at the start plus i/n of the way, rounded: the major axis moves one
    // pixel per step, the minor one when the exact line has moved half a pixel.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const int64_t sa = da < 0 ? -1 : 1, sb = db < 0 ? -1 : 1, adb = std::llabs(db);
    const int64_t extent = xMajor ? w : h;
    // Only the steps whose major coordinate lies on the mask can mark anything.
    int64_t lo = 0, hi = n;
    if (sa > 0) {
      lo = std::max<int64_t>(lo, -a0);
      hi = std::min<int64_t>(hi, extent - 1 - a0);
    } else {
      lo = std::max<int64_t>(lo, a0 - (extent - 1));
      hi = std::min<int64_t>(hi, a0);
    }
    for (int64_t i = lo; i <= hi; ++i) {
      const int64_t a = a0 + sa * i;
      const int64_t b = b0 + sb * ((2 * i * adb + n) / (2 * n));
      if (xMajor)
        put(a, b);
      else
        put(b, a);
    }
  }
  if (value == kMaskEndPoint) {
    for (auto [ex, ey] : {std::pair<int64_t, int64_t>{x0, y0}, {x1, y1}}) {
      put(ex - 1, ey);
      put(ex + 1, ey);
      put(ex, ey - 1);
      put(ex, ey + 1);
    }
  }
}

bool FillMarkedRegion(LayerStack& L) {
  if (!EnsureSelectionMask(L)) return false;
  const int w = L.maskWidth, h = L.maskHeight;
  if (w <= 0 || h <= 0) return false;
  uint8_t* mask = L.mask.data();

  // The lowest and highest marked row of every column, for the seed test below.
  std::vector<int> lowest(size_t(w), INT_MAX), highest(size_t(w), -1);
  bool anyMark = false;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = mask + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x)
      if (IsMark(row[x])) {
        anyMark = true;
        if (lowest[size_t(x)] == INT_MAX) lowest[size_t(x)] = y;
        highest[size_t(x)] = y;
      }
  }
  // A mask without marks (a rectangle, wand or colour-range selection) has no outline
  // to fill and is kept as it is.
  if (!anyMark) return false;

  for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i)
    if (!IsMark(mask[i])) mask[i] = 0;

  // A flood that reaches the rim started outside the outline (a concave shape can
  // put a candidate there); its pixels are labelled so no later candidate in the
  // same area floods it again, and are cleared at the end.
  constexpr uint8_t kOutside = 4;
  bool filled = false, anyOutside = false;
  const auto always = [](int, int) { return true; };
  for (int y = 0; y < h && !filled; ++y) {
    const uint8_t* row = mask + size_t(y) * size_t(w);
    int first = -1;
    for (int x = 0; x < w && !filled; ++x) {
      if (!IsMark(row[x])) continue;
      if (first < 0) {
        first = x;
        continue;
      }
      if (x - first <= 3) continue;
      // Midway between the row's first mark and this one, with marks above and below
      // in its column. The seed itself must not be a mark: a flood from a mark would
      // run out on both sides of the outline.
      const int mid = (first + x) / 2;
      if (row[mid] != 0 || highest[size_t(mid)] <= y || lowest[size_t(mid)] >= y) continue;
      bool edge = false;
      SpanFlood(mask, w, h, mid, y, 0, 1, always, &edge);
      if (!edge) {
        filled = true;
      } else {
        SpanFlood(mask, w, h, mid, y, 1, kOutside, always);
        anyOutside = true;
      }
    }
  }
  if (anyOutside) std::replace(L.mask.begin(), L.mask.end(), kOutside, uint8_t(0));
  return filled;
}

int MagicWand(LayerStack& L, int x, int y, int tolerance, bool add) {
  if (!EnsureSelectionMask(L)) return -1;
  const Layer& l = *L.Active();
  const int w = l.width, h = l.height;
  if (x < 0 || y < 0 || x >= w || y >= h) return -1;
  const Rgbq seed = L.ReadLayerColor(L.active, x, y, nullptr);
  PrepareForPass(L, add);
  uint8_t* mask = L.mask.data();
  const bool seedWasSelected = mask[size_t(y) * size_t(w) + size_t(x)] != 0;
  const uint8_t* alpha = l.alpha.data();
  int64_t count = 0;
  const bool ok = WithColourTest(L, l, seed, tolerance, [&](auto similar) {
    count = SpanFlood(mask, w, h, x, y, 0, 1, [&](int px, int py) {
      return alpha[size_t(py) * size_t(w) + size_t(px)] != 0 && similar(px, py);
    });
  });
  if (!ok) {
    mask[size_t(y) * size_t(w) + size_t(x)] = 1;
    count = 1;
  }
  return int(count - (seedWasSelected ? 1 : 0));
}

int ColourRange(LayerStack& L, Rgbq reference, int tolerance, bool add, const std::atomic<bool>* cancel) {
  if (!EnsureSelectionMask(L)) return -1;
  const Layer& l = *L.Active();
  const int w = l.width, h = l.height;
  PrepareForPass(L, add);
  int64_t count = 0;
  // At most `tolerance`: below tolerance + 1.
  const int limit = tolerance < 0 ? 0 : tolerance + 1;
  WithColourTest(L, l, reference, limit, [&](auto similar) {
    for (int y = 0; y < h; ++y) {
      if (cancel && cancel->load(std::memory_order_relaxed)) break;
      uint8_t* m = L.mask.data() + size_t(y) * size_t(w);
      const uint8_t* a = l.alpha.data() + size_t(y) * size_t(w);
      for (int x = 0; x < w; ++x)
        if (a[x] != 0 && similar(x, y)) {
          m[x] = 1;
          ++count;
        }
    }
  });
  return int(std::min<int64_t>(count, INT_MAX));
}

void InvertSelection(LayerStack& L) {
  if (!EnsureSelectionMask(L)) return;
  if (!L.selectionExists)
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
  else
    for (uint8_t& b : L.mask) b = b == 0 ? 1 : 0;
  L.selectionExists = true;
}

void ClearSelectionMask(LayerStack& L) {
  if (!EnsureSelectionMask(L)) return;
  std::fill(L.mask.begin(), L.mask.end(), uint8_t(1));
  L.selectionExists = false;
}

}  // namespace velmira
