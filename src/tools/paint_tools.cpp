#include "tools/paint_tools.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "image/ui_text.h"
#include "tools/paint.h"
#include "tools/tool_router.h"

namespace velmira {

namespace {

// A text layer holds glyph coverage, not pixels to paint. The user is told on the
// press that starts a gesture; the moves and the release of that gesture refuse
// quietly rather than raising the same message at every mouse event.
bool MayPaint(ToolContext& c, bool tell) {
  const Layer* a = c.doc.Layers().Active();
  if (!a) return false;
  if (tell) return !c.doc.RefuseText(TextRule::Active);
  return a->kind != kLayerText;
}

bool Map(ToolContext& c, Point p, int* x, int* y) {
  // Committing a grown layer keeps the revert before the next preview from
  // shrinking it again under the selection mask, which grew with it.
  const Point px = c.Picture(p);
  return c.doc.MapToLayer(px.x, px.y, true, x, y);
}

bool MapSegment(ToolContext& c, Point a, Point b, int* x0, int* y0, int* x1, int* y1) {
  const Point pa = c.Picture(a), pb = c.Picture(b);
  return c.doc.MapSegmentToLayer(pa.x, pa.y, pb.x, pb.y, true, x0, y0, x1, y1);
}

int BrushSize(const FrameState& f) { return std::max(1, f.brushSize); }

// The painted pixels lie within `margin` of the box of layer points (x0, y0)–(x1, y1):
// the views recompose only that canvas rectangle.
bool Painted(ToolContext& c, int x0, int y0, int x1, int y1, int margin) {
  const LayerStack& L = c.doc.Layers();
  const Layer* l = L.Active();
  if (!l) {
    c.doc.SetCompositionStale(true);
    return true;
  }
  const int xa = std::min(x0, x1) - margin, xb = std::max(x0, x1) + margin;
  const int ya = std::min(y0, y1) - margin, yb = std::max(y0, y1) + margin;
  // Canvas column = layer column + x; canvas row = layer row − y.
  c.doc.MarkDirty(CanvasRect{xa + l->x, ya - l->y, xb - xa + 1, yb - ya + 1}, L.active);
  return true;
}

bool Stroke(ToolContext& c, Point from, Point to, bool erase, bool tell) {
  if (!MayPaint(c, tell)) return false;
  if (!from.Set()) from = to;
  int x0, y0, x1, y1;
  if (!MapSegment(c, from, to, &x0, &y0, &x1, &y1)) return false;
  const FrameState& f = c.frame;
  PaintStroke(c.doc.Layers(), c.doc.Layers().active, x0, y0, x1, y1, BrushSize(f), f.softEdge, f.foreground, erase);
  // A dab covers the disc of radius size − 1 around each point.
  return Painted(c, x0, y0, x1, y1, BrushSize(f) + 1);
}

class BrushTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return Stroke(c, to, to, false, true); }
  bool Drag(ToolContext& c, Point from, Point to) override { return Stroke(c, from, to, false, false); }
};

class EraserTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return Stroke(c, to, to, true, true); }
  bool Drag(ToolContext& c, Point from, Point to) override { return Stroke(c, from, to, true, false); }
};

class SprayTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    if (!Spray(c, to, true)) return false;
    // Every move reverts the layer before its own dab; without this commit the
    // dab of the press would vanish at the first move.
    c.doc.CommitLayer(c.doc.Layers().active);
    return true;
  }
  bool Drag(ToolContext& c, Point, Point to) override { return Spray(c, to, false); }

 private:
  static bool Spray(ToolContext& c, Point p, bool tell) {
    int x, y;
    if (!MayPaint(c, tell) || !Map(c, p, &x, &y)) return false;
    SprayDab(c.doc.Layers(), c.doc.Layers().active, x, y, c.frame.foreground);
    return Painted(c, x, y, x, y, kSprayDabSize + 1);
  }
};

class DropTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override { return Drop(c, to, true); }
  bool Drag(ToolContext& c, Point, Point to) override { return Drop(c, to, false); }

 private:
  static bool Drop(ToolContext& c, Point p, bool tell) {
    int x, y;
    if (!MayPaint(c, tell) || !Map(c, p, &x, &y)) return false;
    if (!WaterDrop(c.doc.Layers(), c.doc.Layers().active, x, y, BrushSize(c.frame))) return false;
    // The drop reaches twice its spread: the brush size, or 2 × kMaxDabSize above that.
    const int spread = BrushSize(c.frame) > kMaxDabSize ? 2 * kMaxDabSize : BrushSize(c.frame);
    return Painted(c, x, y, x, y, 2 * spread + 1);
  }
};

class DotTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    int x, y;
    // The dot cursor's hot spot lies two pixels left of and one below the point the
    // pointer reports.
    if (!MayPaint(c, true) || !Map(c, Point{to.x - 2, to.y + 1}, &x, &y)) return false;
    PaintBlock(c.doc.Layers(), c.doc.Layers().active, x, y, BrushSize(c.frame), c.frame.foreground);
    return Painted(c, x, y, x + BrushSize(c.frame) - 1, y + BrushSize(c.frame) - 1, 0);
  }
};

class LineTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point) override {
    MayPaint(c, true);
    return false;
  }
  bool Drag(ToolContext& c, Point from, Point to) override { return from.Set() && Stroke(c, from, to, false, false); }
  bool Release(ToolContext& c, Point from, Point to) override {
    return from.Set() && Stroke(c, from, to, false, false);
  }
};

class PolylineTool final : public Tool {
 public:
  // The first click only places a vertex; each later one draws the edge to it.
  bool Press(ToolContext& c, Point from, Point to) override {
    if (!MayPaint(c, true) || !from.Set()) return false;
    return Stroke(c, from, to, false, false);
  }
};

class CircleTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point) override {
    MayPaint(c, true);
    return false;
  }
  bool Drag(ToolContext& c, Point from, Point to) override { return Circle(c, from, to); }
  bool Release(ToolContext& c, Point from, Point to) override { return Circle(c, from, to); }

 private:
  // The circle is centred on the pointer and passes through the point where the
  // button went down.
  static bool Circle(ToolContext& c, Point down, Point centre) {
    if (!down.Set() || !MayPaint(c, false)) return false;
    int ex, ey, cx, cy;
    if (!MapSegment(c, down, centre, &ex, &ey, &cx, &cy)) return false;
    const double dx = double(ex - cx), dy = double(ey - cy);
    const int radius = int(std::sqrt(dx * dx + dy * dy));
    PaintCircle(c.doc.Layers(), c.doc.Layers().active, cx, cy, radius, BrushSize(c.frame), c.frame.foreground);
    return Painted(c, cx - radius, cy - radius, cx + radius, cy + radius, BrushSize(c.frame) + 1);
  }
};

class ColourPickerTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    LayerStack& L = c.doc.Layers();
    const Layer* a = L.Active();
    // Reading a colour must not change the document, so a point off the layer picks
    // nothing instead of growing the layer the way painting does.
    int x, y;
    if (!a || !ViewToLayerPixel(c.doc, c.Zoom(), to, &x, &y) || !L.InLayer(L.active, x, y)) return false;
    c.frame.foreground = L.ReadLayerColor(L.active, x, y, nullptr) & 0xFFFFFF;
    return true;
  }
};

template <class T>
void Register(int id, const tool::ToolTraits& traits) {
  RegisterTool(id, traits, [] { return std::make_unique<T>(); });
}

}  // namespace

void RegisterPaintingTools() {
  using namespace tool;
  const OptionSlider hide{OptionSlider::Hide};
  constexpr LayerPolicy kRevertCommit{true, true};
  // The spray's press dab is committed at once; every move then reverts to it and
  // adds its own dab, so a held spray does not pile dabs on one point.
  Register<SprayTool>(kSpray, {.stroke = StrokeModel::Paint, .onPress = {false, true}, .onDrag = kRevertCommit,
                               .label = QT_TR_NOOP("스프레이"), .dragCross = true, .slider1 = hide, .slider2 = hide});
  Register<BrushTool>(kBrush, {.stroke = StrokeModel::Paint, .onPress = kRevertCommit, .onDrag = kRevertCommit,
                               .label = QT_TR_NOOP("붓그리기"), .dragCross = true, .slider1 = hide, .slider2 = hide});
  Register<DotTool>(kDot, {.label = QT_TR_NOOP("점찍기"), .cursorRule = CursorRule::Fixed, .cursor = CursorShape::DotPen,
                           .dotOnPress = true});
  // Each move of the water drop replaces the previous drop; the last one stays.
  Register<DropTool>(kDrop, {.stroke = StrokeModel::Paint, .onPress = kRevertCommit, .onDrag = {true, false},
                             .label = QT_TR_NOOP("물방울"), .cursorRule = CursorRule::Fixed, .cursor = CursorShape::Drop,
                             .status = QT_TR_NOOP("물방울 효과"), .slider1 = {OptionSlider::Value, QT_TR_NOOP("퍼짐정도"), 10, 5, 30}});
  Register<EraserTool>(kEraser, {.stroke = StrokeModel::Paint, .onPress = kRevertCommit, .onDrag = {false, true},
                                 .label = QT_TR_NOOP("영역지우기"), .cursorRule = CursorRule::Fixed,
                                 .cursor = CursorShape::Eraser, .dragCross = true, .slider1 = hide,
                                 .slider2 = hide});
  Register<LineTool>(kLine, {.stroke = StrokeModel::RubberBand, .label = QT_TR_NOOP("선그리기"), .band = ToolPreview::Line,
                             .dragCross = true, .slider1 = hide, .slider2 = hide});
  Register<PolylineTool>(kPolyline, {.stroke = StrokeModel::Vertex, .label = QT_TR_NOOP("다각형그리기"), .dragCross = true});
  Register<CircleTool>(kCircle, {.stroke = StrokeModel::RubberBand, .label = QT_TR_NOOP("원 그리기"), .band = ToolPreview::Ellipse});
  Register<ColourPickerTool>(kColourPicker, {.cursorRule = CursorRule::Fixed, .cursor = CursorShape::Picker,
                                             .status = QT_TR_NOOP("색상추출")});
}

}  // namespace velmira
