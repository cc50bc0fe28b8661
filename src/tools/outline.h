// The outline of a selection: the border between selected and unselected mask
// pixels as horizontal and vertical edges, traced once when a selection is made and
// drawn by the view on every paint with a moving dash.
#pragma once

#include <cstdint>
#include <vector>

namespace velmira {

// An edge between pixel corners. In mask space x counts mask columns and y counts
// mask rows from the bottom (the layers' storage order), so corner row r lies
// between mask rows r − 1 and r.
struct OutlineEdge {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool operator==(const OutlineEdge&) const = default;
};

struct SelectionOutline {
  std::vector<OutlineEdge> edges;
  void Clear() { edges.clear(); }
  bool Empty() const { return edges.empty(); }
};

// Every border of the pixels whose mask byte is non-zero (boundary marks count as
// selected). Runs along a row or a column are merged into one edge.
SelectionOutline TraceOutline(const uint8_t* mask, int width, int height);

// An edge in canvas corners counted from the top-left, for a mask placed at
// (maskX, maskY) on a canvas canvasHeight rows high.
OutlineEdge EdgeOnCanvas(const OutlineEdge& e, int maskX, int maskY, int canvasHeight);

}  // namespace velmira
