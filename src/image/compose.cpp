#include "image/compose.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace velmira {

float BlendFactor(int coverage, int layerTransparency) {
  const float alpha = coverage == 255 ? 1.0f : float(coverage * 0.00392156862745098);
  return alpha * float(255 - layerTransparency) * 0.003921569f;
}

int BlendChannel(int mode, float n, int s, int d) {
  int v;
  switch (mode) {
    case kBlendMultiply: v = (d * s) >> 8; break;
    case kBlendScreen: v = 255 - (((255 - d) * (255 - s)) >> 8); break;
    case kBlendDarken: v = std::min(d, s); break;
    case kBlendLighten: v = std::max(d, s); break;
    case kBlendDifference: v = std::abs(d - s); break;
    case kBlendInverseDifference: v = 255 - std::abs(255 - d - s); break;
    case kBlendExclusion: v = d + s - (d * s) / 128; break;
    case kBlendOverlay:
      v = s >= 128 ? 255 - (((255 - d) * (255 - s)) >> 7) : (d * s) >> 7;
      break;
    default: v = int(n * float(s) + (1.0f - n) * float(d)); break;
  }
  return std::clamp(v, 0, 255);
}

namespace {

// Where a layer's colours come from.
enum class Src { Bgr24, Bgr32, Indexed, Text };
// Mode 0 writes the list's bottom layer (d = N × s); 1 is the normal blend.
constexpr int kModeBottom = -1;

struct LayerView {
  const Layer* l;
  Src src;
  int bpp;
  float n[256];
  uint8_t lut[256][3];  // palette as B, G, R
};

template <Src S>
inline void Fetch(const LayerView& v, const uint8_t* prow, int lc, int& b, int& g, int& r) {
  if constexpr (S == Src::Bgr24) {
    const uint8_t* p = prow + 3 * size_t(lc);
    b = p[0], g = p[1], r = p[2];
  } else if constexpr (S == Src::Bgr32) {
    const uint8_t* p = prow + 4 * size_t(lc);
    b = p[0], g = p[1], r = p[2];
  } else if constexpr (S == Src::Indexed) {
    int i;
    if (v.bpp == 8)
      i = prow[lc];
    else if (v.bpp == 4)
      i = (prow[lc >> 1] >> ((lc & 1) ? 0 : 4)) & 0x0F;
    else
      i = (prow[lc >> 3] >> (7 - (lc & 7))) & 1;
    b = v.lut[i][0], g = v.lut[i][1], r = v.lut[i][2];
  } else {
    b = v.lut[0][0], g = v.lut[0][1], r = v.lut[0][2];
  }
}

inline void Coverage(uint8_t* d, int a) {
  const int t = d[3];
  d[3] = uint8_t(t == 0 ? a : std::min(255, t * (a + 1)));
}

// One output row of one layer. `cols` maps output columns to layer columns (−1 when
// outside the layer) unless the run is contiguous (zoom 1): then layer column = lc0 + i.
template <int Mode, Src S>
void BlendRow(const LayerView& v, const uint8_t* prow, const uint8_t* arow, uint8_t* out, int i0,
              int i1, const int* cols, int lc0) {
  LayerView const& lv = v;
  for (int i = i0; i < i1; ++i) {
    const int lc = cols ? cols[i] : lc0 + i;
    if (cols && lc < 0) continue;
    const int a = arow[lc];
    if (a == 0) continue;
    int sb, sg, sr;
    Fetch<S>(lv, prow, lc, sb, sg, sr);
    uint8_t* d = out + 4 * size_t(i);
    const float n = lv.n[a];
    if constexpr (Mode == kModeBottom) {
      d[0] = uint8_t(int(n * float(sb)));
      d[1] = uint8_t(int(n * float(sg)));
      d[2] = uint8_t(int(n * float(sr)));
    } else if constexpr (Mode == kBlendNormal) {
      const float m = 1.0f - n;
      d[0] = uint8_t(int(n * float(sb) + m * float(d[0])));
      d[1] = uint8_t(int(n * float(sg) + m * float(d[1])));
      d[2] = uint8_t(int(n * float(sr) + m * float(d[2])));
    } else {
      d[0] = uint8_t(BlendChannel(Mode, n, sb, d[0]));
      d[1] = uint8_t(BlendChannel(Mode, n, sg, d[1]));
      d[2] = uint8_t(BlendChannel(Mode, n, sr, d[2]));
    }
    Coverage(d, a);
  }
}

using RowFn = void (*)(const LayerView&, const uint8_t*, const uint8_t*, uint8_t*, int, int, const int*, int);

template <int Mode>
RowFn PickSrc(Src s) {
  switch (s) {
    case Src::Bgr24: return &BlendRow<Mode, Src::Bgr24>;
    case Src::Bgr32: return &BlendRow<Mode, Src::Bgr32>;
    case Src::Indexed: return &BlendRow<Mode, Src::Indexed>;
    default: return &BlendRow<Mode, Src::Text>;
  }
}

RowFn PickRow(int mode, Src s) {
  switch (mode) {
    case kModeBottom: return PickSrc<kModeBottom>(s);
    case kBlendMultiply: return PickSrc<kBlendMultiply>(s);
    case kBlendScreen: return PickSrc<kBlendScreen>(s);
    case kBlendDarken: return PickSrc<kBlendDarken>(s);
    case kBlendLighten: return PickSrc<kBlendLighten>(s);
    case kBlendDifference: return PickSrc<kBlendDifference>(s);
    case kBlendInverseDifference: return PickSrc<kBlendInverseDifference>(s);
    case kBlendExclusion: return PickSrc<kBlendExclusion>(s);
    case kBlendOverlay: return PickSrc<kBlendOverlay>(s);
    default: return PickSrc<kBlendNormal>(s);
  }
}

void PrepareView(const LayerStack& st, const Layer& l, LayerView& v) {
  v.l = &l;
  v.bpp = st.LayerBpp(l);
  if (l.kind == kLayerText) {
    v.src = Src::Text;
    v.lut[0][0] = uint8_t(RgbqB(Rgbq(l.textColour)));
    v.lut[0][1] = uint8_t(RgbqG(Rgbq(l.textColour)));
    v.lut[0][2] = uint8_t(RgbqR(Rgbq(l.textColour)));
  } else if (v.bpp <= 8) {
    v.src = Src::Indexed;
    std::memset(v.lut, 0, sizeof v.lut);
    const size_t n = std::min<size_t>(256, st.palette.size() / 4);
    for (size_t i = 0; i < n; ++i) {
      v.lut[i][0] = st.palette[4 * i];
      v.lut[i][1] = st.palette[4 * i + 1];
      v.lut[i][2] = st.palette[4 * i + 2];
    }
  } else {
    v.src = v.bpp == 32 ? Src::Bgr32 : Src::Bgr24;
  }
  for (int a = 0; a < 256; ++a) v.n[a] = BlendFactor(a, l.transparency);
}

// The layers a composition walks: `count` links up from the start, visible ones only.
std::vector<int> Walk(const LayerStack& st, ComposeRange range) {
  std::vector<int> out;
  bool seen[kMaxLayers] = {};
  int s = range.start == -1 ? st.bottom : range.start;
  for (int k = 0; k < range.count && st.Used(s) && !seen[s]; ++k, s = st.slots[s].above) {
    seen[s] = true;
    const Layer& l = st.slots[s];
    if (l.visible != 1) continue;
    if (l.alpha.size() != size_t(l.pixelCount) || l.pixels.size() < size_t(l.imageSize)) continue;
    out.push_back(s);
  }
  return out;
}

// Composes output rows: rowOf[j] is the canvas row (bottom-up) of output row j or −1.
void ComposeRows(const LayerStack& st, ComposeRange range, const std::vector<int>& rowOf,
                 const std::vector<int>& colOf, bool contiguous, int firstCol, uint8_t* out,
                 ptrdiff_t outStride) {
  const int width = int(colOf.size());
  auto view = std::make_unique<LayerView>();
  std::vector<int> cols(static_cast<size_t>(width));
  for (int s : Walk(st, range)) {
    const Layer& l = st.slots[s];
    PrepareView(st, l, *view);
    const int mode = s == st.bottom ? kModeBottom : l.blend;
    const RowFn fn = PickRow(mode, view->src);
    // Output columns covered by this layer.
    int i0 = 0, i1 = width, lc0 = 0;
    const int* colp = nullptr;
    if (contiguous) {
      // Layer column = canvas column − x = firstCol + i − x.
      lc0 = firstCol - l.x;
      i0 = std::max(0, -lc0);
      i1 = std::min(width, l.width - lc0);
      for (int i = 0; i < width && i0 < i1; ++i)
        if (colOf[size_t(i)] < 0) i0 = std::max(i0, i + 1);
      int last = width;
      while (last > 0 && colOf[size_t(last - 1)] < 0) --last;
      i1 = std::min(i1, last);
    } else {
      for (int i = 0; i < width; ++i) {
        const int c = colOf[size_t(i)];
        const int lc = c < 0 ? -1 : c - l.x;
        cols[size_t(i)] = lc >= 0 && lc < l.width ? lc : -1;
      }
      colp = cols.data();
    }
    if (i0 >= i1) continue;
    for (size_t j = 0; j < rowOf.size(); ++j) {
      if (rowOf[j] < 0) continue;
      const int lr = rowOf[j] + l.y;
      if (lr < 0 || lr >= l.height) continue;
      const uint8_t* prow = l.pixels.data() + size_t(lr) * size_t(l.stride);
      const uint8_t* arow = l.alpha.data() + size_t(lr) * size_t(l.width);
      fn(*view, prow, arow, out + ptrdiff_t(j) * outStride, i0, i1, colp, lc0);
    }
  }
}

}  // namespace

void ComposeViewport(const LayerStack& st, ComposeRange range, int left, int top, int width, int height,
                     float zoomX, float zoomY, uint8_t* out, size_t outStride) {
  if (!out || width <= 0 || height <= 0) return;
  for (int j = 0; j < height; ++j) std::memset(out + size_t(j) * outStride, 0, size_t(width) * 4);
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (cw <= 0 || ch <= 0 || zoomX <= 0 || zoomY <= 0) return;
  std::vector<int> colOf(static_cast<size_t>(width)), rowOf(static_cast<size_t>(height));
  bool contiguous = zoomX == 1.0f;
  for (int i = 0; i < width; ++i) {
    const int X = left + i;
    const int c = X < 0 ? -1 : int(float(X) / zoomX);
    colOf[size_t(i)] = c < cw ? c : -1;
  }
  for (int j = 0; j < height; ++j) {
    const int Y = top + j;
    const int t = Y < 0 ? -1 : int(float(Y) / zoomY);
    rowOf[size_t(j)] = t >= 0 && t < ch ? ch - 1 - t : -1;
  }
  ComposeRows(st, range, rowOf, colOf, contiguous, left, out, ptrdiff_t(outStride));
}

bool ComposeCanvas(const LayerStack& st, ComposeRange range, std::vector<uint8_t>& out) {
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (cw <= 0 || ch <= 0) return false;
  out.assign(size_t(cw) * size_t(ch) * 4, 0);
  std::vector<int> colOf(static_cast<size_t>(cw)), rowOf(static_cast<size_t>(ch));
  for (int i = 0; i < cw; ++i) colOf[size_t(i)] = i;
  for (int r = 0; r < ch; ++r) rowOf[size_t(r)] = r;
  ComposeRows(st, range, rowOf, colOf, true, 0, out.data(), ptrdiff_t(cw) * 4);
  return true;
}

}  // namespace velmira
