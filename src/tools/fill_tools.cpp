#include "tools/fill_tools.h"

#include <memory>

#include "image/ui_text.h"
#include "tools/fill.h"
#include "tools/tool_router.h"

namespace velmira {

namespace {

constexpr const char* kGradientLabel = QT_TR_NOOP("그라디언트");
constexpr const char* kDragNotClick = QT_TR_NOOP("클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요");

// Flood fill on a click. The router records "채우기" when Press reports a change.
class FillTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    CMirvDoc& doc = c.doc;
    LayerStack& L = doc.Layers();
    if (!L.Active() || doc.RefuseText(TextRule::Active)) return false;
    // With a selection the layer may still show a preview; start from what is kept.
    if (c.state.selectionActive) doc.RevertLayer(L.active, false);
    int x = 0, y = 0;
    const Point p = c.Picture(to);
    if (!doc.MapToLayer(p.x, p.y, true, &x, &y)) return false;
    return FloodFill(L, L.active, x, y, c.frame.foreground, c.frame.option1, c.frame.borderSpread);
  }
};

class GradientTool final : public Tool {
 public:
  // The router has reverted the layer and stored the start; nothing to draw yet.
  bool Press(ToolContext&, Point, Point) override { return false; }

  // The rubber band: a one-pixel line in the foreground colour from the start to
  // the pointer, drawn into the layer (the router reverted the previous one).
  bool Drag(ToolContext& c, Point from, Point to) override {
    CMirvDoc& doc = c.doc;
    const Layer* a = doc.Layers().Active();
    if (!from.Set() || !a || a->kind == kLayerText || c.Zoom() <= 0) return false;
    const Point pf = c.Picture(from), pt = c.Picture(to);
    int sx, sy, ex, ey;
    if (!doc.MapSegmentToLayer(pf.x, pf.y, pt.x, pt.y, true, &sx, &sy, &ex, &ey)) return false;
    if (!DrawPixelLine(doc.Layers(), doc.Layers().active, sx, sy, ex, ey, c.frame.foreground)) return false;
    doc.SetCompositionStale(true);
    return true;
  }

  bool Release(ToolContext& c, Point from, Point to) override {
    CMirvDoc& doc = c.doc;
    LayerStack& L = doc.Layers();
    if (!from.Set() || !L.Active() || c.Zoom() <= 0) return false;
    // Two view points on the same picture pixel make a click, not a drag.
    const Point pf = c.Picture(from), pt = c.Picture(to);
    const int slot = L.active;
    doc.RevertLayer(slot, false);  // away with the rubber band
    if (pf == pt) {
      doc.ShowMessage(kDragNotClick);
      return false;
    }
    if (doc.RefuseText(TextRule::Active)) return false;
    int sx, sy, ex, ey;
    if (!doc.MapSegmentToLayer(pf.x, pf.y, pt.x, pt.y, true, &sx, &sy, &ex, &ey)) return false;
    const FrameState& f = c.frame;
    if (ApplyGradient(L, slot, sx, sy, ex, ey, f.gradientKind, f.gradientColourMode, f.foreground,
                      f.background) == GradientResult::Click)
      return false;
    // Every gradient, straight drags included, is kept and can be undone: left
    // uncommitted, the next preview's revert would silently throw it away.
    doc.CommitLayer(slot);
    doc.RecordStep(kGradientLabel, kStepPixels, slot);
    doc.SetCompositionStale(true);
    return true;
  }
};

}  // namespace

void RegisterFillTools() {
  using namespace tool;
  RegisterTool(kFill,
               {.label = QT_TR_NOOP("채우기"), .status = QT_TR_NOOP("빈영역채우기"), .slider1 = {OptionSlider::Value, QT_TR_NOOP("포함한계치"), 10, 0, 60},
                .slider2 = {OptionSlider::BorderSpread, nullptr, 0, 0, 30}},
               [] { return std::make_unique<FillTool>(); });
  // The gradient records its own step (a straight drag too).
  RegisterTool(kGradient,
               {.stroke = StrokeModel::RubberBand, .onPress = {true, false}, .band = ToolPreview::Line,
                .dragCross = true},
               [] { return std::make_unique<GradientTool>(); });
}

}  // namespace velmira
