#include "measure/measure_tools.h"

#include <cmath>
#include <memory>

#include "measure/marks.h"
#include "measure/measure_commands.h"
#include "tools/tool_router.h"

namespace velmira::measure {

namespace {

MPoint Pic(ToolContext& c, Point p) {
  const float z = c.Zoom() > 0 ? c.Zoom() : 1.0f;
  return {int32_t(float(p.x) / z), int32_t(float(p.y) / z)};
}

double Dist2(MPoint a, MPoint b) {
  const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
  return dx * dx + dy * dy;
}

// A rubber band drawn over the committed layer (not registered, not committed).
void Preview(ToolContext& c, const MeasureObject& o) {
  LayerStack& L = c.doc.Layers();
  const Layer* l = L.Active();
  if (!l || l->kind == kLayerText) return;
  c.doc.RevertLayer(L.active, false);
  MarkStyle s = StyleFrom(c.frame.measure, false, c.doc.Host().Rasterizer());
  s.labels = false;
  DrawObject(L, L.active, o, s);
  c.doc.SetCompositionStale(true);
}

MeasureObject Shape(const char* k, std::vector<MPoint> pts) {
  MeasureObject o;
  o.kind = k;
  o.points = std::move(pts);
  return o;
}

class PointTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return MeasurePoint(c.doc, Pic(c, to)); }
};

// Press, drag, release tools: segment, rectangle, circle.
class DragTool : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    start_ = Pic(c, to);
    down_ = !c.doc.RefuseText(TextRule::Active) && c.doc.Layers().Active();
    return false;
  }
  bool Drag(ToolContext& c, Point, Point to) override {
    if (!down_) return false;
    Preview(c, Shape(start_, Pic(c, to)));
    return true;
  }
  bool Release(ToolContext& c, Point, Point to) override {
    if (!down_) return false;
    down_ = false;
    const MPoint end = Pic(c, to);
    if (end == start_) {
      c.doc.RevertLayer(c.doc.Layers().active, false);
      return Clicked(c, end);
    }
    return Finish(c, start_, end);
  }

 protected:
  virtual MeasureObject Shape(MPoint a, MPoint b) const = 0;
  virtual bool Finish(ToolContext& c, MPoint a, MPoint b) = 0;
  virtual bool Clicked(ToolContext&, MPoint) { return false; }
  MPoint start_;
  bool down_ = false;
};

class SegmentTool final : public DragTool {
  MeasureObject Shape(MPoint a, MPoint b) const override { return measure::Shape(kind::kSegment, {a, b}); }
  bool Finish(ToolContext& c, MPoint a, MPoint b) override { return MeasureSegment(c.doc, a, b); }
};

class RectangleTool final : public DragTool {
  MeasureObject Shape(MPoint a, MPoint b) const override {
    return measure::Shape(kind::kRectangle, {a, b, {a.x, b.y}, {b.x, a.y}});
  }
  bool Finish(ToolContext& c, MPoint a, MPoint b) override { return MeasureRectangle(c.doc, a, b); }
};

class CircleTool final : public DragTool {
  MeasureObject Shape(MPoint a, MPoint b) const override { return measure::Shape(kind::kCircle, {a, b}); }
  bool Finish(ToolContext& c, MPoint a, MPoint b) override { return MeasureCircle(c.doc, a, b); }
};

// The first drag is a segment; each later drag measures a copy of it moved by the drag.
class ParallelTool final : public DragTool {
 public:
  bool Press(ToolContext& c, Point from, Point to) override {
    DocMeasure& m = MeasureOf(c.doc);
    have_ = m.haveFirstSegment, s1_ = m.seg1, s2_ = m.seg2;
    return DragTool::Press(c, from, to);
  }

 private:
  MeasureObject Shape(MPoint a, MPoint b) const override {
    if (!have_) return measure::Shape(kind::kSegment, {a, b});
    const int dx = b.x - a.x, dy = b.y - a.y;
    return measure::Shape(kind::kSegment, {{s1_.x + dx, s1_.y + dy}, {s2_.x + dx, s2_.y + dy}});
  }
  bool Finish(ToolContext& c, MPoint a, MPoint b) override {
    DocMeasure& m = MeasureOf(c.doc);
    if (!have_) {
      if (!MeasureSegment(c.doc, a, b)) return false;
      m.seg1 = a, m.seg2 = b, m.haveFirstSegment = true;
      return true;
    }
    return MeasureParallel(c.doc, s1_, s2_, a, b);
  }
  bool have_ = false;
  MPoint s1_, s2_;
};

// The first drag sets the reference line; each later press measures the
// perpendicular distance from the pressed point.
class DistanceTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    const MPoint p = Pic(c, to);
    if (!c.doc.Layers().Active() || c.doc.RefuseText(TextRule::Active)) return false;
    DocMeasure& m = MeasureOf(c.doc);
    if (!m.haveReference) {
      start_ = p;
      down_ = true;
      return false;
    }
    const bool ok = MeasureDistance(c.doc, m.ref1, m.ref2, p);
    ShowReference(c);
    return ok;
  }
  bool Drag(ToolContext& c, Point, Point to) override {
    if (!down_) return false;
    Preview(c, Shape(kind::kSegment, {start_, Pic(c, to)}));
    return true;
  }
  bool Release(ToolContext& c, Point, Point to) override {
    if (!down_) return false;
    down_ = false;
    DocMeasure& m = MeasureOf(c.doc);
    const MPoint end = Pic(c, to);
    if (end == start_) {
      c.doc.RevertLayer(c.doc.Layers().active, false);
      c.doc.Host().ShowMessage(kMsgDragReference);
      return false;
    }
    m.ref1 = start_, m.ref2 = end, m.haveReference = true;
    ShowReference(c);
    return true;
  }

 private:
  static void ShowReference(ToolContext& c) {
    DocMeasure& m = MeasureOf(c.doc);
    if (m.haveReference) Preview(c, Shape(kind::kSegment, {m.ref1, m.ref2}));
  }
  MPoint start_;
  bool down_ = false;
};

class FigureTool final : public Tool {
 public:
  explicit FigureTool(int id) : id_(id) {}
  bool Press(ToolContext& c, Point, Point to) override {
    AddFigurePoint(c.doc, id_, Pic(c, to));
    return true;
  }
  bool DoubleClick(ToolContext& c, Point, Point) override { return FinishFigure(c.doc); }

 private:
  int id_;
};

class AngleTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    if (!c.doc.Layers().Active() || c.doc.RefuseText(TextRule::Active)) return false;
    auto& clicks = MeasureOf(c.doc).angleClicks;
    clicks.push_back(Pic(c, to));
    if (clicks.size() < 3) {
      if (clicks.size() == 2) Preview(c, Shape(kind::kSegment, {clicks[0], clicks[1]}));
      return false;
    }
    const auto pts = clicks;
    clicks.clear();
    return MeasureAngle(c.doc, pts[0], pts[1], pts[2]);
  }
};

class CurveTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    if (!c.doc.Layers().Active() || c.doc.RefuseText(TextRule::Active)) return false;
    DocMeasure& m = MeasureOf(c.doc);
    const MPoint p = Pic(c, to);
    // With no curve open, a press on a node of the last registered curve starts
    // reshaping it.
    if (m.curveNodes.empty() && m.reshapeCurve >= 0 && m.reshapeCurve < m.list.Count()) {
      const MeasureObject& o = m.list.Objects()[size_t(m.reshapeCurve)];
      for (size_t i = 0; o.valid && i < o.curve.nodes.size(); ++i)
        if (Dist2(o.curve.nodes[i], p) <= 49) {
          m.reshapeNode = int(i);
          return false;
        }
    }
    m.reshapeNode = -1;
    // A click on the first node closes the curve into an area.
    if (m.curveNodes.size() >= 3 && Dist2(m.curveNodes.front(), p) <= 49) return Register(c, true);
    m.curveNodes.push_back(p);
    MeasureObject o;
    o.kind = kind::kCurve;
    o.curve = SmoothCurve(m.curveNodes, false);
    if (m.curveNodes.size() >= 2) Preview(c, o);
    else Preview(c, Shape(kind::kPoint, {p}));
    m.lastLabel = kMsgCurvePrompt;
    return true;
  }
  bool Drag(ToolContext& c, Point, Point to) override {
    DocMeasure& m = MeasureOf(c.doc);
    if (m.reshapeNode < 0 || m.reshapeCurve < 0 || m.reshapeCurve >= m.list.Count()) return false;
    MeasureObject& o = m.list.Objects()[size_t(m.reshapeCurve)];
    if (size_t(m.reshapeNode) >= o.curve.nodes.size()) return false;
    o.curve.nodes[size_t(m.reshapeNode)] = Pic(c, to);
    const bool closed = o.kind == kind::kCurveArea;
    o.curve = SmoothCurve(o.curve.nodes, closed);
    MeasureObject shown = o;
    Preview(c, shown);
    return true;
  }
  bool Release(ToolContext& c, Point, Point) override {
    DocMeasure& m = MeasureOf(c.doc);
    if (m.reshapeNode < 0 || m.reshapeCurve < 0 || m.reshapeCurve >= m.list.Count()) return false;
    m.reshapeNode = -1;
    MeasureObject& o = m.list.Objects()[size_t(m.reshapeCurve)];
    const Calib cal = CalibOf(c.frame);
    if (o.kind == kind::kCurve) {
      o.length = CurveLength(o.curve, cal);
    } else if (const Layer* l = c.doc.Layers().Active()) {
      Curve local = o.curve;
      const int top = l->y + c.doc.Layers().header.canvasHeight - l->height;
      for (auto* v : {&local.nodes, &local.first, &local.second})
        for (auto& q : *v) q = {q.x - l->x, q.y - top};
      o.area = CurveArea(local, l->width, l->height, cal);
    }
    RedrawAll(c.doc);
    return true;
  }
  bool DoubleClick(ToolContext& c, Point, Point) override { return FinishCurve(c.doc); }
  bool KeyDown(ToolContext& c, Key k) override {
    if (k != Key::Escape) return false;
    DocMeasure& m = MeasureOf(c.doc);
    if (m.curveNodes.empty()) return false;
    m.curveNodes.clear();
    if (c.doc.Layers().Active()) c.doc.RevertLayer(c.doc.Layers().active, false);
    c.doc.SetCompositionStale(true);
    return true;
  }

  static bool Register(ToolContext& c, bool closed) {
    DocMeasure& m = MeasureOf(c.doc);
    const auto nodes = std::move(m.curveNodes);
    m.curveNodes.clear();
    if (!MeasureCurve(c.doc, nodes, closed)) return false;
    m.reshapeCurve = m.list.Count() - 1;
    return true;
  }
};

class SelectTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    SelectObjectAt(c.doc, Pic(c, to));
    return true;
  }
};

class AddPointTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return InsertPointAt(c.doc, Pic(c, to)); }
};

class RemovePointTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return RemovePointAt(c.doc, Pic(c, to)); }
};

}  // namespace

bool FinishCurve(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  const size_t need = 2;
  if (m.curveNodes.size() < need) return false;
  const auto nodes = std::move(m.curveNodes);
  m.curveNodes.clear();
  if (!MeasureCurve(doc, nodes, false)) return false;
  m.reshapeCurve = m.list.Count() - 1;
  return true;
}

void ToolChanging(CMirvDoc& doc) {
  FinishFigure(doc);
  DocMeasure& m = MeasureOf(doc);
  const bool pending = !m.angleClicks.empty() || !m.curveNodes.empty() || m.haveReference;
  m.haveFirstSegment = false;
  m.angleClicks.clear();
  m.curveNodes.clear();
  m.haveReference = false;
  m.reshapeNode = -1;
  if (pending && doc.Layers().Active()) {
    doc.RevertLayer(doc.Layers().active, false);
    doc.SetCompositionStale(true);
  }
}

void RegisterMeasureTools() {
  using namespace tool;
  // Every measurement tool shows the dot while it takes a click; the select tool
  // shows the drop near a handle it can drag.
  const ToolTraits measure{.stroke = StrokeModel::Handles, .dotOnPress = true};
  ToolTraits select = measure;
  select.cursorRule = CursorRule::NearHandle;
  auto reg = [&](int id, ToolFactory make) { RegisterTool(id, id == cmd::kSelectTool ? select : measure, std::move(make)); };
  RegisterToolTraits(kContinuousMeasure, {.stroke = StrokeModel::Handles, .overlay = Overlay::Measurement});
  reg(cmd::kPointTool, [] { return std::make_unique<PointTool>(); });
  reg(cmd::kSelectTool, [] { return std::make_unique<SelectTool>(); });
  reg(cmd::kAddPointTool, [] { return std::make_unique<AddPointTool>(); });
  reg(cmd::kRemovePointTool, [] { return std::make_unique<RemovePointTool>(); });
  reg(cmd::kSegmentTool, [] { return std::make_unique<SegmentTool>(); });
  reg(cmd::kRectangleTool, [] { return std::make_unique<RectangleTool>(); });
  reg(cmd::kPolygonTool, [] { return std::make_unique<FigureTool>(cmd::kPolygonTool); });
  reg(cmd::kPolylineTool, [] { return std::make_unique<FigureTool>(cmd::kPolylineTool); });
  reg(cmd::kParallelTool, [] { return std::make_unique<ParallelTool>(); });
  reg(cmd::kAngleTool, [] { return std::make_unique<AngleTool>(); });
  reg(cmd::kDistanceTool, [] { return std::make_unique<DistanceTool>(); });
  reg(cmd::kCircleTool, [] { return std::make_unique<CircleTool>(); });
  reg(cmd::kCurveTool, [] { return std::make_unique<CurveTool>(); });
}

}  // namespace velmira::measure
