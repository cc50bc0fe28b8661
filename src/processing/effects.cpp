#include "processing/effects.h"

#include <algorithm>

#include "image/doc.h"

namespace velmira {

const char* const kLabelLayerEffect = "레이어효과(그림자)";

void ComputeEffectPlane(const std::vector<uint8_t>& cov, int w, int h, int s, std::vector<uint8_t>& effect,
                        void (*progress)(void*, int), void* arg) {
  if (w <= 0 || h <= 0 || cov.size() != size_t(w) * size_t(h)) return;
  if (effect.size() != cov.size()) effect.assign(cov.size(), 0);
  if (s <= 0) {
    for (size_t i = 0; i < cov.size(); ++i)
      if (cov[i] == 0) effect[i] = 0;
    return;
  }
  // Summed-area table of the coverage with a zero border: the window sum of every
  // pixel is then four lookups, whatever the size.
  const size_t W1 = size_t(w) + 1;
  std::vector<uint64_t> sat(W1 * (size_t(h) + 1), 0);
  for (int y = 0; y < h; ++y) {
    uint64_t run = 0;
    const uint8_t* c = cov.data() + size_t(y) * size_t(w);
    uint64_t* above = sat.data() + size_t(y) * W1;
    uint64_t* row = above + W1;
    for (int x = 0; x < w; ++x) {
      run += c[x];
      row[x + 1] = above[x + 1] + run;
    }
  }
  const double area = 1.5 * double(s) * double(s);
  for (int y = 0; y < h; ++y) {
    if (progress) progress(arg, y * 100 / h);
    const int y0 = std::clamp(y - s, 0, h), y1 = std::clamp(y + s, 0, h);  // rows y − s … y + s − 1
    const uint8_t* c = cov.data() + size_t(y) * size_t(w);
    uint8_t* e = effect.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      if (c[x] != 0) continue;
      const int x0 = std::clamp(x - s, 0, w), x1 = std::clamp(x + s, 0, w);
      const uint64_t sum = sat[size_t(y1) * W1 + size_t(x1)] - sat[size_t(y0) * W1 + size_t(x1)] -
                           sat[size_t(y1) * W1 + size_t(x0)] + sat[size_t(y0) * W1 + size_t(x0)];
      const double S = double(sum) * 0.00392156862745098;
      const double v = S / area * 255.0;
      e[x] = uint8_t(v >= 255.0 ? 255 : int(v));
    }
  }
}

int ShadowOffset(int size) { return std::max(1, size / 2); }

void RefreshLayerEffects(LayerStack& st) {
  for (int s : st.Chain()) {
    Layer& l = st.slots[s];
    if (l.visible != 1 || !l.effectOn || l.alpha.size() != size_t(l.pixelCount)) continue;
    ComputeEffectPlane(l.alpha, l.width, l.height, l.effectSize, l.effect);
  }
}

bool ApplyLayerEffect(CMirvDoc& doc, bool remove, int size, Rgbq colour, bool transparent) {
  struct Prog {
    static void Report(void* d, int p) { static_cast<CMirvDoc*>(d)->Host().Progress(p); }
  };
  return doc.RunEdit(TextRule::Active, true, kLabelLayerEffect, kStepPixels, [&](LayerStack& st, Layer&) {
    return SetLayerEffect(st, st.active, remove, size, colour, transparent, &Prog::Report, &doc);
  });
}

bool SetLayerEffect(LayerStack& st, int slot, bool remove, int size, Rgbq colour, bool transparent,
                    void (*progress)(void*, int), void* progressArg) {
  Layer* found = st.Get(slot);
  if (!found) return false;
  Layer& l = *found;
  if (l.effect.size() != size_t(l.pixelCount)) l.effect.assign(size_t(l.pixelCount), 0);
  if (remove) {
    l.effectOn = 0;
    std::fill(l.effect.begin(), l.effect.end(), uint8_t(0));
  } else {
    l.effectOn = 1;
    l.effectSize = uint8_t(std::clamp(size, 0, kMaxEffectSize));
    l.effectColour = int32_t(colour & 0xFFFFFF);
    l.transparentShadow = transparent ? 1 : 0;
    ComputeEffectPlane(l.alpha, l.width, l.height, l.effectSize, l.effect, progress, progressArg);
  }
  l.dirty = 1;
  return true;
}

}  // namespace velmira
