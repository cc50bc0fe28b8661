#include "tools/guide_path.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "tools/paint.h"
#include "tools/selection.h"

namespace velmira {

namespace {

bool ActiveIsText(CMirvDoc& doc) {
  const Layer* a = doc.Layers().Active();
  return a && a->kind == kLayerText;
}

// Refuses a text layer with the guide path's own message.
bool RefuseText(CMirvDoc& doc) {
  if (!doc.Layers().Active()) return true;
  if (!ActiveIsText(doc)) return false;
  doc.Host().ShowMessage(guide::kTextLayer);
  return true;
}

long long Distance2(const GuidePoint& p, int x, int y) {
  const long long dx = (long long)p.x - x, dy = (long long)p.y - y;
  return dx * dx + dy * dy;
}

double Length(const GuidePoint& a, const GuidePoint& b) {
  return std::hypot(double(b.x) - double(a.x), double(b.y) - double(a.y));
}

// The segments of the path in order, the closing one last when the path is closed.
std::vector<GuideSegment> Segments(const GuidePath& path) {
  std::vector<GuideSegment> s;
  const int n = path.Count();
  for (int i = 0; i + 1 < n; ++i) s.push_back({path.points[size_t(i)], path.points[size_t(i + 1)]});
  if (path.closed && n >= 2) s.push_back({path.points.back(), path.points.front()});
  return s;
}

// Euclidean distance from (x, y) to the segment a–b.
double SegmentDistance(const GuideSegment& s, int x, int y) {
  const double ax = s.a.x, ay = s.a.y, bx = s.b.x, by = s.b.y;
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(ax + t * dx - x, ay + t * dy - y);
}

// How far the click lies from the segment's line along the column (flat segments)
// or along the row (steep ones); −1 when the click lies beyond the segment's ends.
double ReachDistance(const GuideSegment& s, int x, int y) {
  const int dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  if (std::abs(dx) >= std::abs(dy)) {
    if (dx == 0) return std::hypot(double(x - s.a.x), double(y - s.a.y));  // a single point
    if (x < std::min(s.a.x, s.b.x) || x > std::max(s.a.x, s.b.x)) return -1;
    const double lineY = s.a.y + double(dy) * double(x - s.a.x) / double(dx);
    return std::fabs(double(y) - lineY);
  }
  if (y < std::min(s.a.y, s.b.y) || y > std::max(s.a.y, s.b.y)) return -1;
  const double lineX = s.a.x + double(dx) * double(y - s.a.y) / double(dy);
  return std::fabs(double(x) - lineX);
}

}  // namespace

int NearestGuidePoint(const GuidePath& path, int x, int y, long long* distance2) {
  int best = -1;
  long long bestD = 0;
  for (int i = 0; i < path.Count(); ++i) {
    const long long d = Distance2(path.points[size_t(i)], x, y);
    if (best < 0 || d < bestD) best = i, bestD = d;
  }
  if (distance2) *distance2 = best < 0 ? -1 : bestD;
  return best;
}

bool DrawGuidePath(CMirvDoc& doc) {
  if (RefuseText(doc)) return false;
  LayerStack& L = doc.Layers();
  if (!EnsureSelectionMask(L)) return false;
  ClearSelectionMask(L);
  const GuidePath& path = doc.guidePath;
  if (path.Count() == 1) {
    MarkSegment(L, path.points[0].x, path.points[0].y, path.points[0].x, path.points[0].y, kMaskBoundary);
  } else {
    for (const GuideSegment& s : Segments(path)) MarkSegment(L, s.a.x, s.a.y, s.b.x, s.b.y, kMaskBoundary);
  }
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 0);
  return true;
}

GuideClick AddGuidePoint(CMirvDoc& doc, int x, int y) {
  GuidePath& path = doc.guidePath;
  if (!doc.Layers().Active()) return GuideClick::Ignored;
  if (path.Count() >= 4 && path.points.back() == path.points.front()) return GuideClick::Ignored;
  GuideClick result;
  if (path.closed) {
    if (doc.Host().Ask(guide::kAskRemovePath, AskButtons::OkCancel) != Answer::Ok) return GuideClick::Kept;
    ClearSelectionMask(doc.Layers());
    path.Clear();
    doc.RevertLayer(doc.Layers().active, false);
    result = GuideClick::Removed;
  } else {
    long long d = -1;
    if (NearestGuidePoint(path, x, y, &d) == 0 && d < guide::kCloseDistance) {
      path.closed = true;
      result = GuideClick::Closed;
    } else if (path.Count() < GuidePath::kMaxPoints) {
      path.points.push_back({x, y});
      result = GuideClick::Added;
    } else {
      doc.Host().ShowMessage(guide::kTooManyPoints);
      result = GuideClick::Full;
    }
  }
  if (!DrawGuidePath(doc)) return GuideClick::Refused;
  return result;
}

bool MoveGuidePoint(CMirvDoc& doc, int index, int x, int y) {
  GuidePath& path = doc.guidePath;
  if (index < 0 || index >= path.Count()) return false;
  const int last = path.Count() - 1;
  if (index == 0 && last > 0 && path.points[size_t(last)] == path.points[0]) path.points[size_t(last)] = {x, y};
  path.points[size_t(index)] = {x, y};
  return DrawGuidePath(doc);
}

bool InsertGuidePoint(CMirvDoc& doc, int x, int y) {
  GuidePath& path = doc.guidePath;
  const std::vector<GuideSegment> segs = Segments(path);
  if (segs.empty()) return false;
  size_t best = 0;
  double bestD = SegmentDistance(segs[0], x, y);
  for (size_t i = 1; i < segs.size(); ++i) {
    const double d = SegmentDistance(segs[i], x, y);
    if (d < bestD) best = i, bestD = d;
  }
  const double reach = ReachDistance(segs[best], x, y);
  if (reach < 0 || reach > guide::kInsertReach) return false;
  if (path.Count() >= GuidePath::kMaxPoints) {
    doc.Host().ShowMessage(guide::kTooManyPoints);
    return false;
  }
  // Segment i runs from point i to point i + 1 (the closing one back to point 0), so
  // the new point goes after point i.
  path.points.insert(path.points.begin() + std::ptrdiff_t(best + 1), GuidePoint{x, y});
  return DrawGuidePath(doc);
}

bool RemoveGuidePoint(CMirvDoc& doc, int x, int y) {
  GuidePath& path = doc.guidePath;
  const int i = NearestGuidePoint(path, x, y);
  if (i < 0) return false;
  path.points.erase(path.points.begin() + i);
  if (path.Count() <= 2) path.Clear();
  DrawGuidePath(doc);
  return true;
}

bool GuidePathToSelection(CMirvDoc& doc) {
  GuidePath& path = doc.guidePath;
  if (path.Count() < 3) {
    doc.Host().ShowMessage(guide::kNeedMorePoints);
    return false;
  }
  if (!path.closed) {
    doc.Host().ShowMessage(guide::kNotClosed);
    return false;
  }
  if (!DrawGuidePath(doc)) return false;
  LayerStack& L = doc.Layers();
  FillMarkedRegion(L);
  path.Clear();
  L.selectionExists = true;
  doc.Frame().currentTool = tool::kPolygonSelect;
  doc.Frame().selectionKind = 3;
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 0);
  return true;
}

std::vector<GuideSegment> GuideStrokeSegments(const GuidePath& path, int percent) {
  std::vector<GuideSegment> segs = Segments(path);
  double total = 0;
  for (const GuideSegment& s : segs) total += Length(s.a, s.b);
  const long long limit = (long long)(double(percent) * 0.01 * total);
  if (percent >= 100 || limit <= 0) return segs;
  std::vector<GuideSegment> out;
  double run = 0;
  for (const GuideSegment& s : segs) {
    const double len = Length(s.a, s.b);
    if (run + len <= double(limit)) {
      out.push_back(s);
      run += len;
      continue;
    }
    // The part of this segment up to the limit, measured from its start.
    const double f = len > 0 ? (double(limit) - run) / len : 0.0;
    GuideSegment part = s;
    part.b.x = s.a.x + int(double(s.b.x - s.a.x) * f);
    part.b.y = s.a.y + int(double(s.b.y - s.a.y) * f);
    out.push_back(part);
    break;
  }
  return out;
}

bool StrokeGuidePath(CMirvDoc& doc, int percent) {
  GuidePath& path = doc.guidePath;
  const std::vector<GuideSegment> segs = GuideStrokeSegments(path, percent);
  if (segs.empty() || RefuseText(doc)) return false;
  LayerStack& L = doc.Layers();
  // The path's marks are not a selection: the whole layer may take the stroke.
  if (EnsureSelectionMask(L)) ClearSelectionMask(L);
  const FrameState& f = doc.Frame();
  const bool done = doc.RunEdit(TextRule::Active, false, guide::kStrokeLabel, kStepPixels, [&](LayerStack& S, Layer&) {
    for (const GuideSegment& s : segs)
      PaintStroke(S, S.active, s.a.x, s.a.y, s.b.x, s.b.y, f.brushSize, f.softEdge, f.foreground, false);
    return true;
  });
  if (!done) return false;
  path.Clear();
  ClearSelectionMask(L);
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 0);
  return true;
}

// ---------------------------------------------------------------- tools

namespace {

// A zoomed-picture point to a pixel of the active layer; false outside the layer (a
// guide point off the layer could neither be marked nor selected).
bool LayerPoint(ToolContext& c, Point view, int* x, int* y) {
  const LayerStack& L = c.doc.Layers();
  return ViewToLayerPixel(c.doc, c.Zoom(), view, x, y) && L.InLayer(L.active, *x, *y);
}

class GuideTool : public Tool {
 public:
  explicit GuideTool(long long near) : near_(near) {}
  bool Hover(ToolContext& c, Point to) override {
    int x, y;
    long long d;
    if (!LayerPoint(c, to, &x, &y) || NearestGuidePoint(c.doc.guidePath, x, y, &d) < 0) return false;
    return d < near_;
  }

 private:
  long long near_;
};

class GuideMakeTool final : public GuideTool {
 public:
  GuideMakeTool() : GuideTool(guide::kCloseDistance) {}
  bool Press(ToolContext& c, Point, Point to) override {
    int x, y;
    if (!LayerPoint(c, to, &x, &y)) return false;
    const bool closed = c.doc.guidePath.closed;
    const GuideClick r = AddGuidePoint(c.doc, x, y);
    // Removing a finished path clears the selection and the stored points too.
    if (closed && r == GuideClick::Removed) c.router.ClearSelection(&c.view);
    return r != GuideClick::Ignored && r != GuideClick::Refused;
  }
};

class GuideEditTool final : public GuideTool {
 public:
  GuideEditTool() : GuideTool(guide::kHandleDistance) {}
  bool Press(ToolContext& c, Point, Point to) override {
    index_ = -1;
    int x, y;
    long long d;
    if (!LayerPoint(c, to, &x, &y)) return false;
    const int i = NearestGuidePoint(c.doc.guidePath, x, y, &d);
    if (i >= 0 && d < guide::kHandleDistance) index_ = i;
    return index_ >= 0;
  }
  bool Drag(ToolContext& c, Point, Point to) override {
    int x, y;
    if (index_ < 0 || !LayerPoint(c, to, &x, &y)) return false;
    return MoveGuidePoint(c.doc, index_, x, y);
  }
  bool Release(ToolContext& c, Point from, Point to) override {
    const bool moved = Drag(c, from, to);
    index_ = -1;
    return moved;
  }

 private:
  int index_ = -1;
};

class GuideInsertTool final : public GuideTool {
 public:
  GuideInsertTool() : GuideTool(0) {}
  bool Press(ToolContext& c, Point, Point to) override {
    int x, y;
    return LayerPoint(c, to, &x, &y) && InsertGuidePoint(c.doc, x, y);
  }
};

class GuideRemoveTool final : public GuideTool {
 public:
  GuideRemoveTool() : GuideTool(guide::kHandleDistance) {}
  bool Press(ToolContext& c, Point, Point to) override {
    int x, y;
    return LayerPoint(c, to, &x, &y) && RemoveGuidePoint(c.doc, x, y);
  }
};

}  // namespace

void RegisterGuidePathTools() {
  using namespace tool;
  const unsigned panel = Follows(ModePanel::GuidePath);
  const ToolTraits nearPoint{.stroke = StrokeModel::Handles, .cursorRule = CursorRule::NearHandle, .follows = panel};
  ToolTraits make = nearPoint;
  make.overlay = Overlay::Preview;
  RegisterTool(guide::kMake, make, [] { return std::make_unique<GuideMakeTool>(); });
  RegisterTool(guide::kEdit, nearPoint, [] { return std::make_unique<GuideEditTool>(); });
  RegisterTool(guide::kInsert, {.stroke = StrokeModel::Handles, .follows = panel},
               [] { return std::make_unique<GuideInsertTool>(); });
  RegisterTool(guide::kRemove, nearPoint, [] { return std::make_unique<GuideRemoveTool>(); });
  RegisterToolTraits(kGuideLast, {.stroke = StrokeModel::Handles, .follows = panel});
}

}  // namespace velmira
