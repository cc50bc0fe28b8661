#include "processing/adjust.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "processing/layer_access.h"

namespace velmira {

namespace {

inline uint8_t Clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// One table for every byte of a row. With AVX-512BW each 64-byte vector is looked
// up in the sixteen 16-entry slices of the table (byte shuffles under a mask
// per high nibble); otherwise two bytes at a time through a table of byte pairs.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx512bw"))) void LutBytesAvx512(uint8_t* p, int n, const uint8_t lut[256]) {
  __m512i t[16];
  alignas(64) uint8_t slice[64];
  for (int k = 0; k < 16; ++k) {
    for (int q = 0; q < 4; ++q) std::memcpy(slice + 16 * q, lut + 16 * k, 16);
    t[k] = _mm512_load_si512(slice);
  }
  const __m512i low = _mm512_set1_epi8(0x0F);
  int i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m512i v = _mm512_loadu_si512(p + i);
    const __m512i lo = _mm512_and_si512(v, low);
    const __m512i hi = _mm512_and_si512(_mm512_srli_epi16(v, 4), low);
    __m512i r = _mm512_setzero_si512();
    for (int k = 0; k < 16; ++k)
      r = _mm512_mask_shuffle_epi8(r, _mm512_cmpeq_epi8_mask(hi, _mm512_set1_epi8(char(k))), t[k], lo);
    _mm512_storeu_si512(p + i, r);
  }
  for (; i < n; ++i) p[i] = lut[p[i]];
}
bool HaveAvx512() {
  static const bool have = __builtin_cpu_supports("avx512bw");
  return have;
}
#else
void LutBytesAvx512(uint8_t*, int, const uint8_t*) {}
bool HaveAvx512() { return false; }
#endif

// Maps B, G, R of every selected pixel through three tables (palette layers: every
// palette entry). One read-modify-write pass over the rows.
void MapPixels(LayerStack& L, Layer& l, const uint8_t lutB[256], const uint8_t lutG[256], const uint8_t lutR[256],
               const ProgressFn& progress) {
  if (IsPaletteLayer(L, l)) {
    for (size_t i = 0; i + 3 < L.palette.size(); i += 4) {
      L.palette[i] = lutB[L.palette[i]];
      L.palette[i + 1] = lutG[L.palette[i + 1]];
      L.palette[i + 2] = lutR[L.palette[i + 2]];
    }
    l.dirty = 1;
    return;
  }
  std::vector<uint8_t> scratch;
  const uint8_t* sel = SelectionPlane(L, l, scratch);
  const bool all = std::memchr(sel, 0, size_t(l.width) * size_t(l.height)) == nullptr;
  const bool same = std::equal(lutB, lutB + 256, lutG) && std::equal(lutB, lutB + 256, lutR);
  // One channel table for every byte: look up two bytes at a time in a table of
  // byte pairs (128 KB, built once per call), halving the dependent loads.
  std::vector<uint16_t> pairs;
  const bool wide = all && same && HaveAvx512();
  if (all && same && !wide && int64_t(l.width) * l.height >= 65536) {
    pairs.resize(65536);
    for (int hi = 0; hi < 256; ++hi)
      for (int lo = 0; lo < 256; ++lo) pairs[size_t(hi << 8 | lo)] = uint16_t(lutB[lo] | (lutB[hi] << 8));
  }
  int last = -1;
  for (int y = 0; y < l.height; ++y) {
    if (progress) {
      const int p = int(int64_t(y) * 100 / l.height);
      if (p != last) progress(last = p);
    }
    uint8_t* row = l.pixels.data() + size_t(y) * size_t(l.stride);
    const uint8_t* m = sel + size_t(y) * size_t(l.width);
    if (wide) {
      LutBytesAvx512(row, 3 * l.width, lutB);
    } else if (all && same) {
      const int n = 3 * l.width;
      int i = 0;
      if (!pairs.empty())
        for (; i + 2 <= n; i += 2) {
          const uint16_t v = uint16_t(row[i] | (row[i + 1] << 8));
          const uint16_t r = pairs[v];
          row[i] = uint8_t(r);
          row[i + 1] = uint8_t(r >> 8);
        }
      for (; i < n; ++i) row[i] = lutB[row[i]];
    } else if (all) {
      for (int x = 0; x < l.width; ++x) {
        uint8_t* p = row + 3 * x;
        p[0] = lutB[p[0]];
        p[1] = lutG[p[1]];
        p[2] = lutR[p[2]];
      }
    } else {
      for (int x = 0; x < l.width; ++x) {
        if (!m[x]) continue;
        uint8_t* p = row + 3 * x;
        p[0] = lutB[p[0]];
        p[1] = lutG[p[1]];
        p[2] = lutR[p[2]];
      }
    }
  }
  if (progress) progress(100);
  l.dirty = 1;
}

Layer* RasterLayer(LayerStack& L, int slot) {
  Layer* l = L.Get(slot);
  if (!l || l->kind == kLayerText || l->pixels.empty()) return nullptr;
  return l;
}

// The colour of every pixel in B, G, R order: the layer's own rows or, for a
// palette layer, the expanded copy.
struct Pixels24 {
  const uint8_t* rows;
  int stride;
  std::vector<uint8_t> expanded;
  Pixels24(const LayerStack& L, const Layer& l) {
    if (IsPaletteLayer(L, l)) {
      expanded = ExpandTo24(L, l);
      rows = expanded.data();
      stride = StrideFor(l.width, 24);
    } else {
      rows = l.pixels.data();
      stride = l.stride;
    }
  }
  const uint8_t* At(int x, int y) const { return rows + size_t(y) * size_t(stride) + 3 * size_t(x); }
};

}  // namespace

bool AdjustBrightnessContrast(LayerStack& L, int slot, int brightness, int contrast, int base,
                              const ProgressFn& progress) {
  Layer* l = RasterLayer(L, slot);
  if (!l || base == 0) return false;
  const float factor = float(base + contrast) / float(base);
  const float shift = float(brightness);
  auto formula = [factor, shift](int v) {
    const int r = int(float(v - 128) * factor + shift + 128.0f);
    return r < 0 ? 0 : r > 255 ? 255 : r;
  };
  uint8_t lut[256];
  for (int v = 0; v < 256; ++v) lut[v] = uint8_t(formula(v));
  MapPixels(L, *l, lut, lut, lut, progress);
  return true;
}

bool OffsetChannels(LayerStack& L, int slot, int red, int green, int blue) {
  Layer* l = RasterLayer(L, slot);
  if (!l) return false;
#if defined(__x86_64__)
  std::vector<uint8_t> scratch;
  if (!IsPaletteLayer(L, *l) &&
      std::memchr(SelectionPlane(L, *l, scratch), 0, size_t(l->width) * size_t(l->height)) == nullptr) {
    // Nothing selected: clamp(v + o) is a saturating add of the positive part and a
    // saturating subtract of the negative part, 48 bytes (16 pixels) at a time.
    alignas(16) uint8_t add[48], sub[48];
    const int off[3] = {blue, green, red};
    for (int i = 0; i < 48; ++i) {
      const int o = std::clamp(off[i % 3], -255, 255);
      add[i] = uint8_t(o > 0 ? o : 0);
      sub[i] = uint8_t(o < 0 ? -o : 0);
    }
    const __m128i a0 = _mm_load_si128(reinterpret_cast<const __m128i*>(add));
    const __m128i a1 = _mm_load_si128(reinterpret_cast<const __m128i*>(add + 16));
    const __m128i a2 = _mm_load_si128(reinterpret_cast<const __m128i*>(add + 32));
    const __m128i s0 = _mm_load_si128(reinterpret_cast<const __m128i*>(sub));
    const __m128i s1 = _mm_load_si128(reinterpret_cast<const __m128i*>(sub + 16));
    const __m128i s2 = _mm_load_si128(reinterpret_cast<const __m128i*>(sub + 32));
    const int n = 3 * l->width;
    for (int y = 0; y < l->height; ++y) {
      uint8_t* row = l->pixels.data() + size_t(y) * size_t(l->stride);
      int i = 0;
      for (; i + 48 <= n; i += 48) {
        __m128i* p = reinterpret_cast<__m128i*>(row + i);
        _mm_storeu_si128(p, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(p), a0), s0));
        _mm_storeu_si128(p + 1, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(p + 1), a1), s1));
        _mm_storeu_si128(p + 2, _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(p + 2), a2), s2));
      }
      for (; i < n; ++i) row[i] = Clamp255(row[i] + off[i % 3]);
    }
    l->dirty = 1;
    return true;
  }
#endif
  uint8_t lb[256], lg[256], lr[256];
  for (int v = 0; v < 256; ++v) {
    lb[v] = Clamp255(v + blue);
    lg[v] = Clamp255(v + green);
    lr[v] = Clamp255(v + red);
  }
  MapPixels(L, *l, lb, lg, lr, {});
  return true;
}

bool ComputeHistogram(const LayerStack& L, int slot, HistogramTables& counts) {
  std::memset(counts, 0, sizeof(HistogramTables));
  const Layer* l = L.Get(slot);
  if (!l || l->kind == kLayerText || l->pixels.empty()) return false;
  const Pixels24 px(L, *l);
  for (int y = 0; y < l->height; ++y) {
    const uint8_t* p = px.At(0, y);
    for (int x = 0; x < l->width; ++x, p += 3) {
      ++counts[0][(11 * p[0] + 59 * p[1] + 30 * p[2]) / 100];
      ++counts[1][p[2]];
      ++counts[2][p[1]];
      ++counts[3][p[0]];
    }
  }
  return true;
}

LevelRanges FindLevelRanges(const HistogramTables& counts, int width, int height) {
  LevelRanges r{};
  auto search = [&](int ch, int64_t clip) {
    int64_t cum = 0;
    r.low[ch] = 255;
    for (int v = 0; v < 256; ++v) {
      cum += counts[ch][v];
      if (cum > clip) {
        r.low[ch] = v;
        break;
      }
    }
    cum = 0;
    r.high[ch] = 0;
    for (int v = 255; v >= 0; --v) {
      cum += counts[ch][v];
      if (cum > clip) {
        r.high[ch] = v;
        break;
      }
    }
  };
  const int64_t clip = int64_t(width) * int64_t(height) / 100;
  for (int ch = 0; ch < 4; ++ch) {
    search(ch, clip);
    if (r.low[ch] == r.high[ch]) search(ch, 0);
  }
  return r;
}

bool StretchLevels(LayerStack& L, int slot, int channel, int low, int high) {
  Layer* l = RasterLayer(L, slot);
  if (!l || channel < 0 || channel > 3) return false;
  const bool automatic = low == -1 && high == -1;
  if (!automatic && (low < 0 || high > 255 || low >= high)) return false;
  LevelRanges r{};
  if (automatic) {
    HistogramTables counts;
    ComputeHistogram(L, slot, counts);
    r = FindLevelRanges(counts, l->width, l->height);
    if (r.low[channel] == r.high[channel]) return false;
  } else {
    // The clipped range collapses (even after the unclipped retry) exactly when the
    // channel holds one level, which a scan finds out at the first differing pixel
    // without counting the whole histogram.
    const Pixels24 px(L, *l);
    auto level = [channel](const uint8_t* p) {
      switch (channel) {
        case 1: return int(p[2]);
        case 2: return int(p[1]);
        case 3: return int(p[0]);
        default: return (11 * p[0] + 59 * p[1] + 30 * p[2]) / 100;
      }
    };
    const int first = level(px.At(0, 0));
    bool single = true;
    for (int y = 0; y < l->height && single; ++y) {
      const uint8_t* p = px.At(0, y);
      for (int x = 0; x < l->width; ++x, p += 3)
        if (level(p) != first) {
          single = false;
          break;
        }
    }
    if (single) return false;
  }
  uint8_t table[4][256];
  for (int ch = 0; ch < 4; ++ch) {
    const int lo = automatic ? r.low[ch] : low;
    const int hi = automatic ? r.high[ch] : high;
    for (int j = 0; j < 256; ++j) {
      if (j < lo)
        table[ch][j] = 0;
      else if (j > hi)
        table[ch][j] = 255;
      else if (hi == lo)
        table[ch][j] = uint8_t(j);  // a single-level channel keeps its level
      else
        table[ch][j] = uint8_t((j - lo) * 255 / (hi - lo));
    }
  }
  uint8_t identity[256];
  for (int j = 0; j < 256; ++j) identity[j] = uint8_t(j);
  if (IsPaletteLayer(L, *l)) {
    MapPixels(L, *l, table[3], table[2], table[1], {});
    return true;
  }
  const uint8_t* lr = channel == 0 || channel == 1 ? table[1] : identity;
  const uint8_t* lg = channel == 0 || channel == 2 ? table[2] : identity;
  const uint8_t* lb = channel == 0 || channel == 3 ? table[3] : identity;
  MapPixels(L, *l, lb, lg, lr, {});
  return true;
}

bool InvertLayer(LayerStack& L, int slot, CImageBuffer* viewImage) {
  Layer* l = RasterLayer(L, slot);
  if (!l) return false;
  if (!IsPaletteLayer(L, *l)) {
    for (uint8_t& b : l->pixels) b = uint8_t(255 - b);
    if (viewImage) {
      const Rgbq c = viewImage->Ext().transparentColour;
      viewImage->Ext().transparentColour =
          MakeRgbq(255 - RgbqR(c), 255 - RgbqG(c), 255 - RgbqB(c), RgbqX(c));
    }
  } else {
    bool grey = L.header.bitsPerPixel == 8 && L.palette.size() == 1024;
    for (int i = 0; grey && i < 256; ++i)
      grey = L.palette[4 * i] == i && L.palette[4 * i + 1] == i && L.palette[4 * i + 2] == i;
    if (grey) {
      for (int y = 0; y < l->height; ++y) {
        uint8_t* row = l->pixels.data() + size_t(y) * size_t(l->stride);
        for (int x = 0; x < l->width; ++x) row[x] = uint8_t(255 - row[x]);
      }
    } else {
      for (size_t i = 0; i + 3 < L.palette.size(); i += 4)
        for (int c = 0; c < 3; ++c) L.palette[i + c] = uint8_t(255 - L.palette[i + c]);
    }
  }
  l->dirty = 1;
  return true;
}

bool DesaturateLayer(LayerStack& L, int slot) {
  Layer* l = L.Get(slot);
  if (!l) return false;
  if (l->kind == kLayerText) {
    const Rgbq c = Rgbq(l->textColour);
    const int m = (RgbqB(c) + RgbqG(c) + RgbqR(c)) / 3;
    l->textColour = int32_t(MakeRgbq(m, m, m, RgbqX(c)));
    l->dirty = 1;
    return true;
  }
  if (l->pixels.empty()) return false;
  if (IsPaletteLayer(L, *l)) {
    // Each index moves to the palette entry nearest the grey of its colour.
    int map[256];
    const int n = int(std::min<size_t>(256, L.palette.size() / 4));
    for (int i = 0; i < 256; ++i) {
      const Rgbq c = L.PictureColour(i < n ? i : 0);
      const int m = (RgbqB(c) + RgbqG(c) + RgbqR(c)) / 3;
      map[i] = L.NearestPaletteIndex(MakeRgbq(m, m, m));
    }
    const int bpp = L.header.bitsPerPixel;
    for (int y = 0; y < l->height; ++y)
      for (int x = 0; x < l->width; ++x)
        PutIndex(l->pixels.data(), l->stride, bpp, x, y, map[L.LayerIndex(*l, x, y) & 0xFF]);
  } else {
    for (int y = 0; y < l->height; ++y) {
      uint8_t* p = l->pixels.data() + size_t(y) * size_t(l->stride);
      for (int x = 0; x < l->width; ++x, p += 3) {
        const uint8_t m = uint8_t((p[0] + p[1] + p[2]) / 3);
        p[0] = p[1] = p[2] = m;
      }
    }
  }
  l->dirty = 1;
  return true;
}

namespace {

// Writes the two-tone result (true = white) and sets the coverage from the mask.
template <class Decide>
bool Binarize(LayerStack& L, int slot, Decide&& decide) {
  Layer* l = RasterLayer(L, slot);
  if (!l) return false;
  const int w = l->width, h = l->height;
  std::vector<int32_t> grey(size_t(w) * size_t(h));
  {
    const Pixels24 px(L, *l);
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = px.At(0, y);
      for (int x = 0; x < w; ++x, p += 3) grey[size_t(y) * size_t(w) + size_t(x)] = (p[0] + p[1] + p[2]) / 3;
    }
  }
  const bool palette = IsPaletteLayer(L, *l);
  const int black = palette ? L.NearestPaletteIndex(MakeRgbq(0, 0, 0)) : 0;
  const int white = palette ? L.NearestPaletteIndex(MakeRgbq(255, 255, 255)) : 0;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = l->pixels.data() + size_t(y) * size_t(l->stride);
    for (int x = 0; x < w; ++x) {
      const bool on = decide(grey.data(), w, h, x, y);
      if (palette) {
        PutIndex(l->pixels.data(), l->stride, L.header.bitsPerPixel, x, y, on ? white : black);
      } else {
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = on ? 255 : 0;
      }
      // The mask holds 1 for a selected pixel; coverage must be full there.
      l->alpha[size_t(y) * size_t(w) + size_t(x)] = L.InSelection(x, y) ? 255 : 0;
    }
  }
  l->dirty = 1;
  return true;
}

}  // namespace

bool BinarizeDiffusion(LayerStack& L, int slot, int t) {
  return Binarize(L, slot, [t](int32_t* g, int w, int h, int x, int y) {
    const int v = g[size_t(y) * size_t(w) + size_t(x)];
    const bool white = v > t;
    const int e = white ? v - 255 : v;
    auto spread = [&](int xx, int yy, int weight) {
      if (xx < 0 || xx >= w || yy >= h) return;
      int32_t& n = g[size_t(yy) * size_t(w) + size_t(xx)];
      n = std::clamp(n + e * weight / 16, 0, 255);
    };
    spread(x + 1, y, 7);
    spread(x - 1, y + 1, 3);
    spread(x, y + 1, 5);
    spread(x + 1, y + 1, 1);
    return white;
  });
}

bool BinarizeOrdered(LayerStack& L, int slot, int t) {
  static const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return Binarize(L, slot, [t](int32_t* g, int w, int, int x, int y) {
    const int s = g[size_t(y) * size_t(w) + size_t(x)] * 16 / (2 * t + 100);
    // A low threshold scales past the matrix: those levels are all white.
    return s >= 16 || kMatrix[y % 4][x % 4] < s;
  });
}

bool BinarizeThreshold(LayerStack& L, int slot, int t) {
  return Binarize(L, slot, [t](int32_t* g, int w, int, int x, int y) {
    return g[size_t(y) * size_t(w) + size_t(x)] <= t;
  });
}

}  // namespace velmira
