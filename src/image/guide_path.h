// The guide path a document keeps: a polyline of guide points on the active layer
// that becomes a polygon selection or a brush stroke. Plain data; the tools that edit
// it live in tools/guide_path.h.
#pragma once

#include <vector>

namespace velmira {

struct GuidePoint {
  int x = 0, y = 0;  // layer pixels, y counting stored rows
  bool operator==(const GuidePoint&) const = default;
};

struct GuidePath {
  static constexpr int kMaxPoints = 300;
  std::vector<GuidePoint> points;  // in order, at most kMaxPoints
  bool closed = false;             // closed on its first point
  int Count() const { return int(points.size()); }
  bool Empty() const { return points.empty(); }
  void Clear() {
    points.clear();
    closed = false;
  }
};

}  // namespace velmira
