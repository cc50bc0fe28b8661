#include "tools/selection_tools.h"

#include <cstring>
#include <memory>
#include <vector>

#include "image/ui_text.h"
#include "tools/selection.h"

namespace velmira {

namespace {

bool ActiveIsText(CMirvDoc& doc) {
  const Layer* a = doc.Layers().Active();
  return !a || a->kind == kLayerText;
}

// Maps a view point to the active layer, growing the layer (and its mask) when the
// point lies outside it. The grown mask's new margin comes back selected; when a
// selection exists that would select pixels nobody chose, so the margin is cleared.
bool MapPoint(ToolContext& c, Point p, int* x, int* y) {
  CMirvDoc& doc = c.doc;
  LayerStack& L = doc.Layers();
  const Layer* l = L.Active();
  if (!l || !p.Set()) return false;
  const int ox = l->x, oy = l->y, ow = l->width, oh = l->height;
  const bool keepSelection = L.selectionExists && L.maskWidth == ow && L.maskHeight == oh;
  const Point px = c.Picture(p);
  if (!doc.MapToLayer(px.x, px.y, true, x, y)) return false;
  l = L.Active();
  if (!EnsureSelectionMask(L)) return false;
  if (keepSelection && (l->width != ow || l->height != oh) && L.selectionExists) {
    // Where the old layer lies inside the grown one.
    const int col = ox - l->x, row = l->y - oy;
    const int w = l->width, h = l->height;
    for (int yy = 0; yy < h; ++yy) {
      uint8_t* m = L.mask.data() + size_t(yy) * size_t(w);
      if (yy < row || yy >= row + oh) {
        std::memset(m, 0, size_t(w));
        continue;
      }
      for (int xx = 0; xx < w; ++xx)
        if (xx < col || xx >= col + ow) m[xx] = 0;
    }
  }
  return true;
}

// Both points of a segment in the layer's final geometry: mapping the second may
// grow the layer and move its origin, so the first is mapped again afterwards.
bool MapSegment(ToolContext& c, Point a, Point b, int* x0, int* y0, int* x1, int* y1) {
  return MapPoint(c, a, x0, y0) && MapPoint(c, b, x1, y1) && MapPoint(c, a, x0, y0);
}

bool MarkEdge(ToolContext& c, Point a, Point b) {
  if (ActiveIsText(c.doc)) return false;
  int x0, y0, x1, y1;
  if (!MapSegment(c, a, b, &x0, &y0, &x1, &y1)) return false;
  MarkSegment(c.doc.Layers(), x0, y0, x1, y1, kMaskBoundary);
  return true;
}

// A double click on a selection made with the tool takes it away.
bool ClearIfSelected(ToolContext& c) {
  if (!c.state.selectionActive) return false;
  c.router.ClearSelection(&c.view);
  return true;
}

// ---------------------------------------------------------------- rectangle

class RectSelectTool final : public Tool {
 public:
  // A press starts a new rectangle: whatever was selected goes.
  bool Press(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    c.router.ClearSelection(&c.view);
    st.polygonOneShot = false;
    st.stroke = st.rectCorner = p;
    if (c.doc.RefuseText(TextRule::Active)) return false;
    int x, y;
    return MapPoint(c, p, &x, &y);
  }
  // The rubber band: nothing selected yet, the four sides marked.
  bool Drag(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    st.rectCorner = p;
    st.outlineBuilt = false;
    if (!st.stroke.Set()) return false;
    st.preview = {ToolPreview::Rectangle, st.stroke, p};
    if (ActiveIsText(c.doc)) return false;
    int x0, y0, x1, y1;
    if (!MapSegment(c, st.stroke, p, &x0, &y0, &x1, &y1)) return false;
    LayerStack& L = c.doc.Layers();
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(1));
    const int left = std::min(x0, x1), right = std::max(x0, x1);
    const int bottom = std::min(y0, y1), top = std::max(y0, y1);
    MarkSegment(L, left, bottom, right, bottom, kMaskBoundary);
    MarkSegment(L, left, top, right, top, kMaskBoundary);
    MarkSegment(L, left, bottom, left, top, kMaskBoundary);
    MarkSegment(L, right, bottom, right, top, kMaskBoundary);
    // The view draws the band from the router's preview; the picture is unchanged.
    return true;
  }
  bool Release(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    if (!st.stroke.Set()) return false;
    // A click without a drag takes the selection away; so does a refused rectangle,
    // rather than leaving an empty selection.
    if (p == st.stroke || (!st.outlineBuilt && !Select(c, st.stroke, st.rectCorner))) {
      c.router.ClearSelection(&c.view);
      return false;
    }
    c.router.SelectionMade(c.view);
    return true;
  }
  bool DoubleClick(ToolContext& c, Point, Point) override { return ClearIfSelected(c); }

 private:
  static bool Select(ToolContext& c, Point from, Point to) {
    if (ActiveIsText(c.doc)) return false;
    int x0, y0, x1, y1;
    if (!MapSegment(c, from, to, &x0, &y0, &x1, &y1)) return false;
    SelectRect(c.doc.Layers(), x0, y0, x1, y1);
    c.doc.SetCompositionStale(true);
    return true;
  }
};

// ---------------------------------------------------------------- free and polygon

// Shared by the lasso and the polygon: the region inside the marked outline is
// filled when the outline is built.
class OutlineTool : public Tool {
 public:
  void FillRegion(ToolContext& c) override {
    if (ActiveIsText(c.doc)) return;
    FillMarkedRegion(c.doc.Layers());
    c.doc.SetCompositionStale(true);
  }

 protected:
  // The outline is closed: the selection stands, its region filled on the next tick.
  static void Closed(ToolContext& c) {
    c.state.polygonClosed = true;
    c.state.selectionActive = true;
    c.doc.Layers().selectionExists = true;
    c.view.StartSelectionTimer();
  }
};

class FreeSelectTool final : public OutlineTool {
 public:
  bool Press(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    c.router.ClearSelection(&c.view);
    st.polygonOneShot = false;
    st.lassoLast = st.stroke = p;
    st.previewPath = {p};
    if (c.doc.RefuseText(TextRule::Active)) return false;
    return MarkEdge(c, p, p);
  }
  bool Drag(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    const bool marked = MarkEdge(c, st.lassoLast, p);
    st.lassoLast = p;
    st.previewPath.push_back(p);
    return marked;
  }
  // The closing edge runs from the last point back to the first.
  bool Release(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    if (!st.stroke.Set()) return false;
    if ((p == st.stroke && st.previewPath.size() <= 1) || !MarkEdge(c, st.lassoLast, st.stroke)) {
      c.router.ClearSelection(&c.view);
      return false;
    }
    Closed(c);
    return true;
  }
  bool DoubleClick(ToolContext& c, Point, Point) override { return ClearIfSelected(c); }
};

class PolygonSelectTool final : public OutlineTool {
 public:
  // The first click places the first vertex; every further one draws the edge from
  // the previous vertex.
  bool Press(ToolContext& c, Point, Point p) override {
    DocViewState& st = c.state;
    if (st.polygonOneShot) {
      // The click that follows a clear only re-arms the tool.
      st.polygonOneShot = false;
      return false;
    }
    if (st.polygonClosed) {
      c.router.ClearSelection(&c.view);
      st.polygonOneShot = false;
    }
    const Point from = st.polygonFirst.Set() ? st.stroke : Point{};
    bool taken = false;
    c.router.DrawStep(c.view, [&] { taken = Vertex(c, from, p); });
    if (!taken) return false;  // refused (a text layer): no vertex
    if (!st.polygonFirst.Set()) st.polygonFirst = p;
    ++st.polygonVertices;
    st.stroke = p;
    st.previewPath.push_back(p);
    return true;
  }
  // A double click on a drawn selection clears it; while the polygon is being drawn
  // it closes the polygon with its last edge back to the first vertex.
  bool DoubleClick(ToolContext& c, Point, Point) override {
    DocViewState& st = c.state;
    if (ClearIfSelected(c)) return true;
    if (!st.polygonFirst.Set()) return false;
    MarkEdge(c, st.stroke, st.polygonFirst);
    Closed(c);
    return true;
  }

 private:
  static bool Vertex(ToolContext& c, Point from, Point to) {
    if (c.doc.RefuseText(TextRule::Active)) return false;
    if (!from.Set()) {
      int x, y;
      return MapPoint(c, to, &x, &y);
    }
    return MarkEdge(c, from, to);
  }
};

// ---------------------------------------------------------------- magic wand

class MagicWandTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point p) override {
    c.view.StopSelectionTimer();
    if (Select(c, p)) {
      c.router.SelectionMade(c.view);
      return true;
    }
    if (c.state.selectionActive) c.view.StartSelectionTimer();  // refused: the selection there was keeps running
    return false;
  }
  // A double click starts afresh, unless Shift is held to add to the selection.
  bool DoubleClick(ToolContext& c, Point, Point) override {
    return !c.state.shiftHeld && ClearIfSelected(c);
  }

 private:
  static bool Select(ToolContext& c, Point to) {
    if (c.doc.RefuseText(TextRule::Active)) return false;
    int x, y;
    if (!MapPoint(c, to, &x, &y)) return false;
    LayerStack& L = c.doc.Layers();
    // A held Shift adds to the selection there is; without one the click starts anew.
    const bool add = c.state.shiftHeld && L.selectionExists;
    if (!add) c.router.ClearSelection(&c.view);
    const int n = MagicWand(L, x, y, c.frame.option1, add);
    c.doc.SetCompositionStale(true);
    return n >= 0;
  }
};

// ---------------------------------------------------------------- colour range

uint64_t MaskHash(const Plane& m) {
  uint64_t h = 1469598103934665603ull;
  size_t i = 0;
  for (; i + 8 <= m.size(); i += 8) {
    uint64_t v;
    std::memcpy(&v, m.data() + i, 8);
    h = (h ^ v) * 1099511628211ull;
  }
  for (; i < m.size(); ++i) h = (h ^ m[i]) * 1099511628211ull;
  return h ^ m.size();
}

class ColourRangeTool final : public Tool {
 public:
  // The colour under the point becomes the reference colour.
  bool Press(ToolContext& c, Point, Point to) override {
    if (c.doc.RefuseText(TextRule::Active)) return false;
    int x, y;
    if (!MapPoint(c, to, &x, &y)) return false;
    LayerStack& L = c.doc.Layers();
    c.frame.rangeColour = L.ReadLayerColor(L.active, x, y, nullptr);
    return Run(c.doc, c.router, c.view, false) >= 0;
  }

  // One pass with the frame's colour, tolerance and mode. `again`: the slider moved,
  // so an add-mode pass starts from the selection as it was before the last pass.
  int Run(CMirvDoc& doc, ToolRouter& router, ToolView& view, bool again) {
    LayerStack& L = doc.Layers();
    FrameState& f = router.Frame();
    if (!EnsureSelectionMask(L)) return -1;
    view.StopSelectionTimer();
    const bool add = f.rangeAdd && L.selectionExists;
    if (add) {
      const bool sameSelection = again && baseWidth_ == L.maskWidth && baseHeight_ == L.maskHeight &&
                                 base_.size() == L.mask.size() && MaskHash(L.mask) == resultHash_;
      if (sameSelection)
        L.mask = base_;
      else
        base_ = L.mask, baseWidth_ = L.maskWidth, baseHeight_ = L.maskHeight;
    } else {
      router.ClearSelection(&view);
      base_.clear();
      base_.shrink_to_fit();
    }
    const int count = ColourRange(L, f.rangeColour, f.rangeTolerance, add);
    if (count < 0) return -1;
    if (add) resultHash_ = MaskHash(L.mask);
    f.rangeCount = count;
    const double area = double(L.maskWidth) * double(L.maskHeight);
    f.rangePercent = area > 0 ? count * 100.0 / area : 0.0;
    // The layer as it stands is what the dialog's cancel and clear go back to.
    if (doc.HistoryEnabled() && L.Active()) doc.History().SaveBackup(1, L.active);
    router.SelectionMade(view);
    doc.SetCompositionStale(true);
    view.Invalidate();
    return count;
  }

 private:
  std::vector<uint8_t> base_;  // the mask before the last add-mode pass
  int baseWidth_ = 0, baseHeight_ = 0;
  uint64_t resultHash_ = 0;  // the mask that pass left
};

}  // namespace

void RegisterSelectionTools() {
  using namespace tool;
  constexpr const char* kSimilarArea = QT_TR_NOOP("인접한 유사영역 탐색지정");
  const OptionSlider spread{OptionSlider::BorderSpread, nullptr, 0, 0, 30};
  const OptionSlider hide{OptionSlider::Hide};
  RegisterTool(kRectSelect,
               {.stroke = StrokeModel::Own, .overlay = Overlay::PreviewOnDrag, .dragStatus = QT_TR_NOOP("영역지정"),
                .status = QT_TR_NOOP("사각선택"), .slider1 = spread, .slider2 = hide},
               [] { return std::make_unique<RectSelectTool>(); });
  RegisterTool(kFreeSelect,
               {.stroke = StrokeModel::Own, .overlay = Overlay::Preview, .status = "", .slider1 = spread,
                .slider2 = hide},
               [] { return std::make_unique<FreeSelectTool>(); });
  RegisterTool(kAutoSelect,
               {.stroke = StrokeModel::Own, .status = kSimilarArea,
                .slider1 = {OptionSlider::Value, QT_TR_NOOP("포함한계치"), 25, 0, 60}, .slider2 = spread},
               [] { return std::make_unique<MagicWandTool>(); });
  // The polygon may follow the guide-path panel: a path becomes a polygon selection.
  RegisterTool(kPolygonSelect,
               {.stroke = StrokeModel::Own, .overlay = Overlay::Preview, .status = kSimilarArea, .slider1 = spread,
                .slider2 = hide, .follows = Follows(ModePanel::GuidePath)},
               [] { return std::make_unique<PolygonSelectTool>(); });
  RegisterTool(kColourRange, {.cursorRule = CursorRule::Fixed, .cursor = CursorShape::Picker},
               [] { return std::make_unique<ColourRangeTool>(); });
}

int ReapplyColourRange(CMirvDoc& doc, ToolRouter& router, ToolView& view) {
  if (!doc.Layers().Active() || doc.RefuseText(TextRule::Active)) return -1;
  if (auto* t = dynamic_cast<ColourRangeTool*>(router.ToolFor(tool::kColourRange)))
    return t->Run(doc, router, view, true);
  ColourRangeTool once;
  return once.Run(doc, router, view, true);
}

}  // namespace velmira
