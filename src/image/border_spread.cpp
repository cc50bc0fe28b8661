#include "image/border_spread.h"

#include <algorithm>

namespace velmira {

BorderSpreadMap::BorderSpreadMap(const LayerStack& L, int spread)
    : w_(std::max(0, L.maskWidth)), h_(std::max(0, L.maskHeight)), f_(std::max(1, spread)) {
  if (L.mask.size() < size_t(w_) * size_t(h_)) w_ = h_ = 0;
  const size_t W = size_t(w_) + 1;
  sums_.assign(W * (size_t(h_) + 1), 0);
  for (int y = 0; y < h_; ++y) {
    const uint8_t* m = L.mask.data() + size_t(y) * size_t(w_);
    uint32_t run = 0;
    for (int x = 0; x < w_; ++x) {
      // The first row and column never count, as the window has always been read.
      run += (x > 0 && y > 0 && m[x] == 1) ? 1u : 0u;
      sums_[(size_t(y) + 1) * W + size_t(x) + 1] = sums_[size_t(y) * W + size_t(x) + 1] + run;
    }
  }
}

int BorderSpreadMap::Depth(int x, int y) const {
  const int x0 = std::max(0, x - f_), x1 = std::min(w_, x + f_);  // columns x0 … x1 − 1
  const int y0 = std::max(0, y - f_), y1 = std::min(h_, y + f_);
  if (x0 >= x1 || y0 >= y1) return 0;
  const size_t W = size_t(w_) + 1;
  const int64_t count = int64_t(sums_[size_t(y1) * W + size_t(x1)]) - sums_[size_t(y0) * W + size_t(x1)] -
                        sums_[size_t(y1) * W + size_t(x0)] + sums_[size_t(y0) * W + size_t(x0)];
  const int64_t half = 2 * int64_t(f_) * f_;
  const int64_t l = std::max<int64_t>(0, count - half);
  return int(std::min<int64_t>(255, l * 256 / half));
}

void CutWithBorderSpread(LayerStack& L, int slot, int spread) {
  Layer* l = L.Get(slot);
  if (!l || l->alpha.size() < size_t(l->width) * size_t(l->height)) return;
  const bool maskFits = L.maskWidth == l->width && L.maskHeight == l->height &&
                        L.mask.size() >= size_t(l->width) * size_t(l->height);
  const bool all = !L.selectionExists || !maskFits;
  if (spread <= 0 || all) {
    for (size_t i = 0; i < l->alpha.size(); ++i)
      if (all || L.mask[i]) l->alpha[i] = 0;
  } else {
    const BorderSpreadMap depth(L, spread);
    for (int y = 0; y < l->height; ++y)
      for (int x = 0; x < l->width; ++x) {
        const size_t i = size_t(y) * size_t(l->width) + size_t(x);
        if (!L.mask[i]) continue;
        l->alpha[i] = l->alpha[i] == 255 ? uint8_t(255 - depth.Depth(x, y)) : 0;
      }
  }
  l->dirty = 1;
}

}  // namespace velmira
