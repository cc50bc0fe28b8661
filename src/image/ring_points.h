// The rings the brush and the painterly filters draw their dabs with. Both draw
// one random weight per point, so they must visit the points in the same order.
#pragma once

#include <cmath>

namespace velmira {

// Visits the ring of radius r around (cx, cy) in plotting order: the four points on
// the axes first, then for i = 1, 2, … the eight mirror images of (i, j) with
// j = trunc(√(r² − i²) + 0.5) while j ≥ i. Points on a diagonal come twice, as the
// eight-way mirror gives them.
template <class F>
void ForEachRingPoint(int cx, int cy, int r, F&& plot) {
  plot(cx + r, cy);
  plot(cx - r, cy);
  plot(cx, cy + r);
  plot(cx, cy - r);
  const long long rr = (long long)r * r;
  for (int i = 1;; ++i) {
    const long long d = rr - (long long)i * i;
    if (d < 0) break;
    const int j = int(std::sqrt(double(d)) + 0.5);
    if (j < i) break;
    plot(cx + i, cy + j);
    plot(cx - i, cy + j);
    plot(cx + i, cy - j);
    plot(cx - i, cy - j);
    plot(cx + j, cy + i);
    plot(cx - j, cy + i);
    plot(cx + j, cy - i);
    plot(cx - j, cy - i);
  }
}

}  // namespace velmira
