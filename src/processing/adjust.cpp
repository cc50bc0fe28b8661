#include "processing/adjust.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "processing/layer_access.h"

namespace velmira {

namespace {

inline uint8_t Clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

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
  int last = -1;
  for (int y = 0; y < l.height; ++y) {
    if (progress) {
      const int p = int(int64_t(y) * 100 / l.height);
      if (p != last) progress(last = p);
    }
    uint8_t* row = l.pixels.data() + size_t(y) * size_t(l.stride);
    const uint8_t* m = sel + size_t(y) * size_t(l.width);
    if (all && same) {
      for (int i = 0; i < 3 * l.width; ++i) row[i] = lutB[row[i]];
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
  uint8_t lut[256];
  for (int v = 0; v < 256; ++v) lut[v] = Clamp255(int(float(v - 128) * factor + float(brightness) + 128.0f));
  MapPixels(L, *l, lut, lut, lut, progress);
  return true;
}

bool OffsetChannels(LayerStack& L, int slot, int red, int green, int blue) {
  Layer* l = RasterLayer(L, slot);
  if (!l) return false;
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
  HistogramTables counts;
  ComputeHistogram(L, slot, counts);
  const LevelRanges r = FindLevelRanges(counts, l->width, l->height);
  if (r.low[channel] == r.high[channel]) return false;
  const bool automatic = low == -1 && high == -1;
  if (!automatic && (low < 0 || high > 255 || low >= high)) return false;
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
