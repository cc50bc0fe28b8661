#include "image/layer_effect.h"

#include <algorithm>
#include <cstring>

namespace velmira {

namespace {

template <class In, class Out>
void EffectPlaneOf(const In& cov, int w, int h, int s, Out& effect, void (*progress)(void*, int), void* arg) {
  if (w <= 0 || h <= 0 || cov.size() != size_t(w) * size_t(h)) return;
  if (effect.size() != cov.size()) effect.assign(cov.size(), 0);
  if (s <= 0) {
    for (size_t i = 0; i < cov.size(); ++i)
      if (cov[i] == 0) effect[i] = 0;
    return;
  }
  // Summed-area table of the coverage with a zero border: the window sum of every
  // pixel is then four lookups, whatever the size. The table wraps around in 32 bits,
  // which halves its size (the plane is recomputed after every edit of a shadowed
  // layer); a window sum (at most 255 × 34 × 34) is still exact modulo 2³².
  const size_t W1 = size_t(w) + 1;
  std::vector<uint32_t> sat(W1 * (size_t(h) + 1), 0);
  for (int y = 0; y < h; ++y) {
    uint32_t run = 0;
    const uint8_t* c = cov.data() + size_t(y) * size_t(w);
    uint32_t* above = sat.data() + size_t(y) * W1;
    uint32_t* row = above + W1;
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
      const uint32_t sum = sat[size_t(y1) * W1 + size_t(x1)] - sat[size_t(y0) * W1 + size_t(x1)] -
                           sat[size_t(y1) * W1 + size_t(x0)] + sat[size_t(y0) * W1 + size_t(x0)];
      const double S = double(sum) * 0.00392156862745098;
      const double v = S / area * 255.0;
      e[x] = uint8_t(v >= 255.0 ? 255 : int(v));
    }
  }
}

}  // namespace

void ComputeEffectPlane(const std::vector<uint8_t>& cov, int w, int h, int s, std::vector<uint8_t>& effect,
                        void (*progress)(void*, int), void* arg) {
  EffectPlaneOf(cov, w, h, s, effect, progress, arg);
}
void ComputeEffectPlane(const Plane& cov, int w, int h, int s, Plane& effect, void (*progress)(void*, int),
                        void* arg) {
  if (!cov.Allocated() && w > 0 && h > 0 && cov.size() == size_t(w) * size_t(h)) {
    // Uniform coverage: covered everywhere keeps the plane as it is, uncovered
    // everywhere has no content to cast a shadow.
    if (effect.size() != cov.size() || cov.Fill() == 0) effect.assign(cov.size(), 0);
    return;
  }
  EffectPlaneOf(cov, w, h, s, effect, progress, arg);
}

namespace {

// A fast 64-bit fingerprint, four independent lanes of eight bytes so that checking a
// large plane runs at memory speed: the check happens on every composition that
// follows an edit, the recomputation only when something really changed.
uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v * 0x9E3779B97F4A7C15ull;
  h = (h << 31) | (h >> 33);
  return h * 0xBF58476D1CE4E5B9ull;
}

// An unwritten plane is fingerprinted as the bytes it reads as, without building it.
uint64_t Fingerprint(const Plane& bytes, uint64_t seed) {
  uint64_t lane[4] = {seed, seed ^ 0x94D049BB133111EBull, seed + 0x2545F4914F6CDD1Dull, ~seed};
  const uint8_t* p = bytes.Peek();
  const uint64_t flat = uint64_t(bytes.Fill()) * 0x0101010101010101ull;
  const size_t n = bytes.size();
  size_t i = 0;
  for (; i + 32 <= n; i += 32)
    for (int k = 0; k < 4; ++k) {
      uint64_t v = flat;
      if (p) std::memcpy(&v, p + i + size_t(k) * 8, 8);
      lane[k] = Mix(lane[k], v);
    }
  uint64_t h = lane[0];
  for (; i < n; i += 8) {
    uint64_t v = 0;
    const size_t k = std::min<size_t>(8, n - i);
    if (p)
      std::memcpy(&v, p + i, k);
    else
      std::memcpy(&v, &flat, k);
    h = Mix(h, v);
  }
  for (int k = 1; k < 4; ++k) h = Mix(h, lane[k]);
  return Mix(h, n);
}

}  // namespace

uint64_t EffectSourceKey(const Layer& l) {
  uint64_t h = Mix(uint64_t(uint32_t(l.width)) << 32 | uint32_t(l.height), l.effectSize);
  h = Fingerprint(l.alpha, h);
  h = Fingerprint(l.effect, h);
  // 0 stands for "never computed".
  return h ? h : 1;
}

void ComputeLayerEffect(Layer& l, void (*progress)(void*, int), void* arg) {
  ComputeEffectPlane(l.alpha, l.width, l.height, l.effectSize, l.effect, progress, arg);
  l.effectSource = EffectSourceKey(l);
}

int RefreshLayerEffects(LayerStack& st) {
  int recomputed = 0;
  for (int s : st.Chain()) {
    Layer& l = st.slots[s];
    if (l.visible != 1 || !l.effectOn || l.width <= 0 || l.height <= 0 ||
        l.alpha.size() != size_t(l.width) * size_t(l.height))
      continue;
    if (l.effectSource != 0 && l.effectSource == EffectSourceKey(l)) continue;
    ComputeLayerEffect(l);
    ++recomputed;
  }
  return recomputed;
}

}  // namespace velmira
