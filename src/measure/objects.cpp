#include "measure/objects.h"
#include "image/ui_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmira::measure {

bool IsKnownKind(const std::string& k) {
  for (const char* n : {kind::kPoint, kind::kSegment, kind::kCircle, kind::kAngle, kind::kRectangle, kind::kPolyline,
                        kind::kPolygon, kind::kCurve, kind::kCurveArea, kind::kText})
    if (k == n) return true;
  return false;
}

bool IsCurveKind(const std::string& k) { return k == kind::kCurve || k == kind::kCurveArea; }

void KindPointRange(const std::string& k, int* lo, int* hi) {
  *lo = *hi = 0;
  if (k == kind::kPoint) *lo = *hi = 1;
  else if (k == kind::kSegment || k == kind::kCircle) *lo = *hi = 2;
  else if (k == kind::kAngle || k == kind::kText) *lo = *hi = 3;
  else if (k == kind::kRectangle) *lo = *hi = 4;
  else if (k == kind::kPolyline) *lo = 2, *hi = kMaxFigurePoints;
  else if (k == kind::kPolygon) *lo = 3, *hi = kMaxFigurePoints;
  else if (k == kind::kCurve) *lo = 2, *hi = kMaxFigurePoints;
  else if (k == kind::kCurveArea) *lo = 3, *hi = kMaxFigurePoints;
}

std::string FullMessage() {
  char buf[160];
  std::snprintf(buf, sizeof buf, UiText("항목의 최대 갯수는 %d 입니다. 더이상 추가가 어렵습니다."), kMaxObjects);
  return buf;
}

int MeasureList::NextMarker() const {
  int n = 0;
  for (int i = 0; i < count_; ++i)
    if (objects_[size_t(i)].kind == kind::kPoint) n = std::max(n, objects_[size_t(i)].marker);
  return n + 1;
}

AddResult MeasureList::Add(MeasureObject o) {
  if (!IsKnownKind(o.kind)) return AddResult::UnknownKind;
  if (count_ >= kMaxObjects) return AddResult::Full;
  int lo, hi;
  KindPointRange(o.kind, &lo, &hi);
  const int n = o.PointCount();
  if (IsCurveKind(o.kind) && (o.curve.first.size() != o.curve.nodes.size() ||
                              o.curve.second.size() != o.curve.nodes.size()))
    return AddResult::TooFewPoints;
  if (n < lo) return AddResult::TooFewPoints;
  if (n > hi) return AddResult::TooManyPoints;
  o.valid = true;
  o.undone = false;
  objects_.resize(size_t(count_));
  objects_.push_back(std::move(o));
  ++count_;
  redoLimit_ = count_;
  selected_ = -1;
  return AddResult::Ok;
}

bool MeasureList::Remove(int index) {
  if (index < 0 || index >= count_ || !objects_[size_t(index)].valid) return false;
  objects_[size_t(index)].valid = false;
  if (selected_ == index) selected_ = -1;
  return true;
}

bool MeasureList::Undo() {
  for (int i = count_ - 1; i >= 0; --i) {
    MeasureObject& o = objects_[size_t(i)];
    if (!o.valid) continue;
    o.valid = false;
    o.undone = true;
    count_ = i;
    if (selected_ >= count_) selected_ = -1;
    return true;
  }
  return false;
}

int MeasureList::Redo() {
  if (redoLimit_ <= count_) return -1;
  const int i = count_++;
  MeasureObject& o = objects_[size_t(i)];
  if (o.undone) {
    o.valid = true;
    o.undone = false;
  }
  return i;
}

double SegmentDistance2(MPoint p, MPoint a, MPoint b) {
  const double vx = double(b.x) - a.x, vy = double(b.y) - a.y;
  const double wx = double(p.x) - a.x, wy = double(p.y) - a.y;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? (wx * vx + wy * vy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = wx - t * vx, dy = wy - t * vy;
  return dx * dx + dy * dy;
}

namespace {

double Point2(MPoint p, MPoint q) {
  const double dx = double(p.x) - q.x, dy = double(p.y) - q.y;
  return dx * dx + dy * dy;
}

double ObjectDistance2(const MeasureObject& o, MPoint p) {
  double best = 1e300;
  for (const MPoint& q : o.HitPoints()) best = std::min(best, Point2(p, q));
  const auto& pts = o.points;
  if (o.kind == kind::kCircle && pts.size() == 2) {
    const double r = std::sqrt(Point2(pts[0], pts[1]));
    const double d = std::abs(std::sqrt(Point2(p, pts[0])) - r);
    best = std::min(best, d * d);
  } else if (o.kind == kind::kRectangle && pts.size() == 4) {
    const MPoint c[4] = {pts[0], {pts[1].x, pts[0].y}, pts[1], {pts[0].x, pts[1].y}};
    for (int i = 0; i < 4; ++i) best = std::min(best, SegmentDistance2(p, c[i], c[(i + 1) % 4]));
  } else if (IsCurveKind(o.kind)) {
    const auto f = FlattenCurve(o.curve, o.kind == kind::kCurveArea);
    for (size_t i = 1; i < f.size(); ++i)
      best = std::min(best, SegmentDistance2(p, {int32_t(f[i - 1].first), int32_t(f[i - 1].second)},
                                             {int32_t(f[i].first), int32_t(f[i].second)}));
  } else if (pts.size() >= 2 && o.kind != kind::kText && o.kind != kind::kPoint) {
    for (size_t i = 1; i < pts.size(); ++i) best = std::min(best, SegmentDistance2(p, pts[i - 1], pts[i]));
    if (o.kind == kind::kPolygon) best = std::min(best, SegmentDistance2(p, pts.back(), pts.front()));
  }
  return best;
}

}  // namespace

int MeasureList::HitTest(MPoint p, double limit2) const {
  int best = -1;
  double bestD = limit2;
  for (int i = 0; i < count_; ++i) {
    const MeasureObject& o = objects_[size_t(i)];
    if (!o.valid) continue;
    const double d = ObjectDistance2(o, p);
    if (d < bestD) bestD = d, best = i;
  }
  return best;
}

bool MeasureList::InsertPoint(int index, MPoint p) {
  if (index < 0 || index >= count_) return false;
  MeasureObject& o = objects_[size_t(index)];
  if (!o.valid || (o.kind != kind::kPolyline && o.kind != kind::kPolygon)) return false;
  if (int(o.points.size()) >= kMaxFigurePoints || o.points.size() < 2) return false;
  // After the first point of the nearest edge.
  size_t at = 0;
  double best = 1e300;
  const size_t edges = o.kind == kind::kPolygon ? o.points.size() : o.points.size() - 1;
  for (size_t i = 0; i < edges; ++i) {
    const double d = SegmentDistance2(p, o.points[i], o.points[(i + 1) % o.points.size()]);
    if (d < best) best = d, at = i;
  }
  o.points.insert(o.points.begin() + std::ptrdiff_t(at + 1), p);
  return true;
}

bool MeasureList::RemovePoint(int index, MPoint p, double limit2) {
  if (index < 0 || index >= count_) return false;
  MeasureObject& o = objects_[size_t(index)];
  if (!o.valid || (o.kind != kind::kPolyline && o.kind != kind::kPolygon)) return false;
  int lo, hi;
  KindPointRange(o.kind, &lo, &hi);
  // A figure never shrinks below what it needs to be registered.
  if (int(o.points.size()) <= lo) return false;
  for (size_t i = 0; i < o.points.size(); ++i)
    if (Point2(p, o.points[i]) <= limit2) {
      o.points.erase(o.points.begin() + std::ptrdiff_t(i));
      return true;
    }
  return false;
}

void MeasureList::Assign(std::vector<MeasureObject> objects) {
  if (objects.size() > size_t(kMaxObjects)) objects.resize(size_t(kMaxObjects));
  objects_ = std::move(objects);
  count_ = redoLimit_ = int(objects_.size());
  selected_ = -1;
}

void MeasureList::Clear() { Assign({}); }

}  // namespace velmira::measure
