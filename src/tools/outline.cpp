#include "tools/outline.h"

#include <cstddef>

namespace velmira {

SelectionOutline TraceOutline(const uint8_t* mask, int width, int height) {
  SelectionOutline out;
  if (!mask || width <= 0 || height <= 0) return out;
  auto at = [&](int c, int r) -> bool { return mask[size_t(r) * size_t(width) + size_t(c)] != 0; };

  // Horizontal edges: corner row r separates mask row r − 1 (below) from row r.
  for (int r = 0; r <= height; ++r) {
    int start = -1;
    for (int c = 0; c <= width; ++c) {
      bool edge = false;
      if (c < width) {
        const bool below = r > 0 && at(c, r - 1);
        const bool above = r < height && at(c, r);
        edge = below != above;
      }
      if (edge && start < 0) start = c;
      if (!edge && start >= 0) {
        out.edges.push_back({start, r, c, r});
        start = -1;
      }
    }
  }
  // Vertical edges: corner column c separates mask column c − 1 from column c; runs
  // stay open per column while consecutive rows continue them.
  std::vector<int> open(size_t(width) + 1, -1);
  for (int r = 0; r <= height; ++r) {
    for (int c = 0; c <= width; ++c) {
      bool edge = false;
      if (r < height) {
        const bool left = c > 0 && at(c - 1, r);
        const bool right = c < width && at(c, r);
        edge = left != right;
      }
      int& s = open[size_t(c)];
      if (edge && s < 0) s = r;
      if (!edge && s >= 0) {
        out.edges.push_back({c, s, c, r});
        s = -1;
      }
    }
  }
  return out;
}

OutlineEdge EdgeOnCanvas(const OutlineEdge& e, int maskX, int maskY, int canvasHeight) {
  // Mask row k shows on canvas row k − maskY from the bottom, so its lower corner
  // row k lies canvasHeight − k + maskY corners from the top.
  return {e.x0 + maskX, canvasHeight - e.y0 + maskY, e.x1 + maskX, canvasHeight - e.y1 + maskY};
}

}  // namespace velmira
