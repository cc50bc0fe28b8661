#include "tools/tool_router.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "image/ui_text.h"
#include "image/text.h"
#include "tools/selection.h"

namespace velmira {

namespace {

constexpr const char* kMoveLayerLabel = QT_TR_NOOP("전체영상 위치이동");

// The move tool: drags the active layer, or the selected pixels lifted off it when
// the press falls inside the selection; the arrow keys nudge it by a pixel.
class MoveTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point p) override {
    CMirvDoc& doc = c.doc;
    ViewInput& in = c.view.Input();
    const Point pic = c.Picture(p);
    if (doc.SelectionMove() && (!doc.Layers().Active() || doc.Layers().Active()->kind != kLayerFloating ||
                                !doc.PointSelected(pic.x, pic.y))) {
      // A click outside the lifted pixels (or with another layer made active) puts
      // them down where they are.
      c.router.ClearSelection(&c.view);
      return false;
    }
    // Pressing inside a selection lifts the selected pixels, which the drag moves.
    if (!doc.SelectionMove() && c.state.selectionActive && doc.PointSelected(pic.x, pic.y)) {
      c.view.StopSelectionTimer();
      const bool lifted = doc.LiftSelection();
      c.view.StartSelectionTimer();
      if (!lifted) return false;  // refused (text layer, nothing covered, no free slot): nothing moves
    }
    const Layer* l = doc.Layers().Active();
    if (!l) return false;
    in.moveAnchor = c.event ? c.event->raw : p;
    in.moving = true;
    in.moved = false;
    in.moveStartX = l->x;
    in.moveStartY = l->y;
    c.state.selectionMoving = doc.SelectionMove();
    return false;
  }
  bool Drag(ToolContext& c, Point, Point p) override {
    const ViewInput& in = c.view.Input();
    const float z = c.Zoom();
    if (!in.moving || z <= 0) return false;
    const Point raw = c.event ? c.event->raw : p;
    return MoveBy(c, int(float(raw.x - in.moveAnchor.x) / z), int(float(raw.y - in.moveAnchor.y) / z), true);
  }
  bool Release(ToolContext& c, Point, Point) override {
    ViewInput& in = c.view.Input();
    if (!in.moving) return false;
    in.moving = false;
    CMirvDoc& doc = c.doc;
    if (in.moved && doc.Layers().Active()) {
      doc.CommitLayer(doc.Layers().active);
      if (!c.state.selectionMoving) c.router.Record(kMoveLayerLabel);
      doc.Host().UpdateViews(doc, 0);
    }
    in.moved = false;
    doc.Host().RefreshLayerPanel(doc);
    return false;
  }
  bool KeyDown(ToolContext& c, Key key) override {
    if (!c.doc.Layers().Active()) return false;
    int dx = 0, dy = 0;
    switch (key) {
      case Key::Left: dx = -1; break;
      case Key::Up: dy = -1; break;
      case Key::Right: dx = 1; break;
      case Key::Down: dy = 1; break;
      default: return false;
    }
    MoveBy(c, dx, dy, false);
    c.doc.CommitLayer(c.doc.Layers().active);
    c.view.Invalidate(false);
    return false;  // repainted without erasing already
  }

 private:
  // Moves the active layer (and the selection mask that lies over it). With
  // absoluteFromStart the offset counts from the layer's position when the drag
  // began, so that fractions of a picture pixel at high zoom are not lost step by step.
  static bool MoveBy(ToolContext& c, int dx, int dy, bool absoluteFromStart) {
    LayerStack& L = c.doc.Layers();
    Layer* l = L.Active();
    if (!l) return false;
    ViewInput& in = c.view.Input();
    const bool maskFollows =
        L.maskX == l->x && L.maskY == l->y && L.maskWidth == l->width && L.maskHeight == l->height;
    const int nx = absoluteFromStart ? in.moveStartX + dx : l->x + dx;
    const int ny = absoluteFromStart ? in.moveStartY + dy : l->y + dy;
    if (nx == l->x && ny == l->y) return false;
    l->x = nx;
    l->y = ny;
    if (maskFollows) {
      L.maskX = nx;
      L.maskY = ny;
    }
    l->dirty = 1;
    in.moved = true;
    c.doc.SetCompositionStale(true);
    c.doc.SetModified(true);
    return true;
  }
};

class ZoomTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point p) override { return c.router.ZoomIn(p); }
};

struct Registry {
  std::map<int, ToolFactory> factories;
  std::map<int, tool::ToolTraits> traits;
};

Registry& Tools() {
  static Registry r = [] {
    using namespace tool;
    Registry reg;
    ToolTraits move{.stroke = StrokeModel::Own, .cursorRule = CursorRule::Fixed, .cursor = CursorShape::Move};
    reg.factories[kMove] = [] { return std::make_unique<MoveTool>(); };
    reg.traits[kMove] = move;
    // Zooming may follow any panel's tools: it changes no pixel.
    ToolTraits zoom{.stroke = StrokeModel::Own, .cursorRule = CursorRule::Fixed, .cursor = CursorShape::Zoom,
                    .follows = Follows(ModePanel::GuidePath)};
    reg.factories[kZoomIn] = [] { return std::make_unique<ZoomTool>(); };
    reg.traits[kZoomIn] = zoom;
    reg.traits[kZoomOut] = ToolTraits{.follows = Follows(ModePanel::GuidePath)};
    return reg;
  }();
  return r;
}

std::map<const CMirvDoc*, std::weak_ptr<ToolRouter>>& Routers() {
  static std::map<const CMirvDoc*, std::weak_ptr<ToolRouter>> r;
  return r;
}

class NullView final : public ToolView {
 public:
  void StartSelectionTimer() override {}
  void StopSelectionTimer() override {}
  bool SelectionTimerRunning() const override { return false; }
  void Invalidate(bool) override {}
  void SetCursorShape(CursorShape) override {}
  void SetWaitCursor(bool) override {}
  void TakeFocus() override {}
  ViewInput& Input() override { return input; }
  ViewInput input;
};

Point Scaled(Point p, int num, int den) {
  if (!p.Set()) return p;
  return {p.x * num / den, p.y * num / den};
}

}  // namespace

void RegisterTool(int toolId, const tool::ToolTraits& traits, ToolFactory factory) {
  Tools().traits[toolId] = traits;
  Tools().factories[toolId] = std::move(factory);
}

void UnregisterTool(int toolId) {
  Tools().traits.erase(toolId);
  Tools().factories.erase(toolId);
}

namespace tool {

const ToolTraits& TraitsOf(int id) {
  static const ToolTraits none;
  const auto& t = Tools().traits;
  auto it = t.find(id);
  return it == t.end() ? none : it->second;
}

void RegisterToolTraits(int id, const ToolTraits& traits) { Tools().traits[id] = traits; }

}  // namespace tool

ToolView& NullToolView() {
  static NullView v;
  v.input = ViewInput{};
  return v;
}

ToolRouter::ToolRouter(CMirvDoc& doc, FrameState& frame) : doc_(doc), frame_(frame) {
  for (auto& [id, make] : Tools().factories)
    if (make) tools_[id] = make();
}

std::shared_ptr<ToolRouter> ToolRouter::For(CMirvDoc& doc) {
  auto& routers = Routers();
  for (auto it = routers.begin(); it != routers.end();)
    it = it->second.expired() ? routers.erase(it) : std::next(it);
  if (auto r = routers[&doc].lock()) return r;
  auto r = std::make_shared<ToolRouter>(doc, doc.Frame());
  routers[&doc] = r;
  return r;
}

void ToolRouter::SetTool(int toolId, std::shared_ptr<Tool> t) {
  if (t)
    tools_[toolId] = std::move(t);
  else
    tools_.erase(toolId);
}

Tool* ToolRouter::ToolFor(int toolId) const {
  auto it = tools_.find(toolId);
  return it == tools_.end() ? nullptr : it->second.get();
}

bool ViewToLayerPixel(const CMirvDoc& doc, float zoom, Point view, int* x, int* y) {
  const LayerStack& L = doc.Layers();
  const Layer* l = L.Active();
  if (!l || zoom <= 0 || !view.Set()) return false;
  *x = int(float(view.x) / zoom) - l->x;
  *y = l->y + L.header.canvasHeight - int(float(view.y) / zoom) - 1;
  return true;
}

void ToolRouter::Record(const char* lbl) {
  if (doc_.Layers().Active()) doc_.RecordStep(lbl, kStepPixels, doc_.Layers().active);
}

// ---------------------------------------------------------------- pointer

void ToolRouter::Press(ToolView& v, const PointerEvent& e) {
  const Point p = e.view;
  const int t = frame_.currentTool;
  // Whatever route changed the tool, the lifted pixels go down before another tool works.
  if (t != tool::kMove) PutDownSelection(&v);
  DropStaleMoveOutline(v);
  const int active = doc_.Layers().active;
  ViewInput& in = v.Input();
  in.pressed = true;
  in.painted = false;
  state_.buttonDown = p;
  Tool* tl = ToolFor(t);
  if (!tl) return v.Invalidate();
  const tool::ToolTraits& tr = tool::TraitsOf(t);
  ToolContext c = Context(v, &e);
  auto around = [&](const tool::LayerPolicy& policy, auto&& work) {
    if (policy.revert) doc_.RevertLayer(active, false);
    work();
    if (policy.commit) doc_.CommitLayer(active);
  };
  if (tr.dotOnPress) v.SetCursorShape(CursorShape::Dot);

  switch (tr.stroke) {
    case tool::StrokeModel::Own: tl->Press(c, Point{}, p); break;
    case tool::StrokeModel::Click:
    case tool::StrokeModel::Handles:
      DrawStep(v, [&] {
        bool done = false;
        around(tr.onPress, [&] { done = tl->Press(c, state_.stroke, p); });
        // A click tool's press is its whole step.
        if (done && tr.stroke == tool::StrokeModel::Click && tr.label) Record(tr.label);
      });
      break;
    case tool::StrokeModel::Paint:
      DrawStep(v, [&] {
        around(tr.onPress, [&] { in.painted |= tl->Press(c, Point{}, p); });
      });
      state_.stroke = p;
      break;
    case tool::StrokeModel::RubberBand:
      around(tr.onPress, [&] { tl->Press(c, Point{}, p); });
      state_.stroke = p;
      break;
    case tool::StrokeModel::Vertex:
      DrawStep(v, [&] {
        if (tl->Press(c, state_.stroke, p) && tr.label) Record(tr.label);
      });
      state_.stroke = p;
      break;
  }
  v.Invalidate();
}

void ToolRouter::Move(ToolView& v, const PointerEvent& e) {
  ViewInput& in = v.Input();
  in.leftHeld = e.leftOnly;
  const int t = frame_.currentTool;
  Tool* tl = ToolFor(t);
  const tool::ToolTraits& tr = tool::TraitsOf(t);
  ToolContext c = Context(v, &e);

  const bool nearHandle = !e.leftOnly && tl && tr.cursorRule == tool::CursorRule::NearHandle && tl->Hover(c, e.view);
  if (auto shape = CursorFor(e.leftOnly && in.pressed, nearHandle)) v.SetCursorShape(*shape);

  // A move to the point seen last does nothing beyond the cursor.
  if (e.client == in.lastClient) return;
  in.lastClient = e.client;
  if (!e.leftOnly || !in.pressed || !tl) return;

  const Point p = e.view;
  const int active = doc_.Layers().active;
  switch (tr.stroke) {
    case tool::StrokeModel::Own:
      tl->Drag(c, Point{}, p);
      break;
    case tool::StrokeModel::Click:
    case tool::StrokeModel::Vertex: return;
    case tool::StrokeModel::Handles:
      if (tl->Drag(c, state_.stroke, p)) doc_.SetCompositionStale(true);
      break;
    case tool::StrokeModel::Paint:
      DrawStep(v, [&] {
        if (tr.onDrag.revert) doc_.RevertLayer(active, false);
        in.painted |= tl->Drag(c, state_.stroke, p);
        if (tr.onDrag.commit) doc_.CommitLayer(active);
      });
      state_.stroke = p;
      break;
    case tool::StrokeModel::RubberBand:
      if (!state_.stroke.Set()) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        tl->Drag(c, state_.stroke, p);
      });
      state_.preview = {tr.band, state_.stroke, p};
      break;
  }
  if (tr.dragStatus) v.SetStatusText(tr.dragStatus);
  v.Invalidate();
}

void ToolRouter::Release(ToolView& v, const PointerEvent& e) {
  ViewInput& in = v.Input();
  if (!in.pressed) return;
  in.pressed = false;
  const Point p = e.view;
  const int t = frame_.currentTool;
  const int active = doc_.Layers().active;
  Tool* tl = ToolFor(t);
  const tool::ToolTraits& tr = tool::TraitsOf(t);
  ToolContext c = Context(v, &e);
  state_.preview = ToolPreview{};
  if (!tl) return v.Invalidate();

  switch (tr.stroke) {
    case tool::StrokeModel::Own: tl->Release(c, Point{}, p); break;
    case tool::StrokeModel::Click:
    case tool::StrokeModel::Vertex: break;
    case tool::StrokeModel::Handles:
      DrawStep(v, [&] {
        if (tl->Release(c, state_.stroke, p) && tr.label) Record(tr.label);
      });
      break;
    case tool::StrokeModel::Paint:
      if (in.painted && tr.label) Record(tr.label);
      state_.stroke = Point{};
      break;
    case tool::StrokeModel::RubberBand:
      if (!state_.stroke.Set()) break;
      v.SetWaitCursor(true);
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        if (tl->Release(c, state_.stroke, p) && tr.label) Record(tr.label);
      });
      v.SetWaitCursor(false);
      state_.stroke = Point{};
      break;
  }
  v.Invalidate();
}

void ToolRouter::DoubleClick(ToolView& v, const PointerEvent& e) {
  if (Tool* tl = ToolFor(frame_.currentTool)) {
    ToolContext c = Context(v, &e);
    tl->DoubleClick(c, state_.stroke, e.view);
  }
  v.Invalidate();
}

// ---------------------------------------------------------------- keys

void ToolRouter::KeyDown(ToolView& v, Key key, bool autoRepeat) {
  // Only a held Shift (its auto-repeat) counts, so that a quick tap of Shift
  // before a wand click does not add to the selection by accident.
  state_.shiftHeld = key == Key::Shift && autoRepeat;
  if (key == Key::Enter && doc_.SelectionMove()) {
    ClearSelection(&v);
    return;
  }
  if (Tool* tl = ToolFor(frame_.currentTool)) {
    ToolContext c = Context(v);
    if (tl->KeyDown(c, key)) v.Invalidate();
  }
}

void ToolRouter::KeyUp(ToolView&, Key, int repeatCount) {
  if (repeatCount == 1) state_.shiftHeld = false;
}

// ---------------------------------------------------------------- selection

void ToolRouter::ClearSelection(ToolView* v) {
  ToolView& view = v ? *v : NullToolView();
  view.StopSelectionTimer();
  state_.selectionActive = false;
  state_.outlineBuilt = false;
  state_.polygonClosed = false;
  state_.polygonVertices = 0;
  state_.outline.Clear();
  state_.preview = ToolPreview{};
  state_.previewPath.clear();
  state_.buttonDown = state_.stroke = state_.polygonFirst = state_.rectCorner = Point{};
  state_.lassoLast = Point{};
  state_.polygonOneShot = true;
  LayerStack& L = doc_.Layers();
  if (!(frame_.currentTool == tool::kAutoSelect && state_.shiftHeld)) {
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(1));
    L.selectionExists = false;
  }
  // A floating selection is put down where it is: merged into the layer it came from.
  if (doc_.SelectionMove()) {
    doc_.PutDownSelection();
    doc_.SetSelectionMove(false);
  }
  state_.selectionMoving = false;
  state_.selectionInverted = false;
  state_.timerSuspended = false;
  doc_.SetCompositionStale(true);
  view.Invalidate();
}

void ToolRouter::ToolChosen(ToolView* v, int toolId) {
  using tool::StrokeModel;
  const StrokeModel model = tool::TraitsOf(toolId).stroke;
  // A drawing tool starts its first stroke afresh, not from a point another tool left.
  if (model == StrokeModel::Paint || model == StrokeModel::RubberBand || model == StrokeModel::Vertex) {
    state_.stroke = Point{};
    state_.preview = ToolPreview{};
  }
  if (!tool::IsSelectionTool(toolId)) return;
  ClearSelection(v);
  if (toolId == tool::kPolygonSelect) state_.polygonOneShot = false;
}

void ToolRouter::PutDownSelection(ToolView* v) {
  if (doc_.SelectionMove()) ClearSelection(v);
}

void ToolRouter::SelectionMade(ToolView& v) {
  state_.selectionActive = true;
  doc_.Layers().selectionExists = true;
  BuildOutline(v);
  v.StartSelectionTimer();
}

void ToolRouter::BuildOutline(ToolView& v) {
  const int kind = frame_.selectionKind;
  if (kind == 1 || kind == 3) {
    if (Tool* tl = ToolFor(kind == 1 ? tool::kFreeSelect : tool::kPolygonSelect)) {
      ToolContext c = Context(v);
      tl->FillRegion(c);
    }
  }
  const LayerStack& L = doc_.Layers();
  if (L.mask.size() >= size_t(std::max(0, L.maskWidth)) * size_t(std::max(0, L.maskHeight)))
    state_.outline = TraceOutline(L.mask.data(), L.maskWidth, L.maskHeight);
  else
    state_.outline.Clear();
  state_.outlineBuilt = true;
  state_.previewPath.clear();
}

void ToolRouter::DropStaleMoveOutline(ToolView& v) {
  // The document put the lifted pixels down itself (undo, paste, another layer made
  // active): the selection they carried is gone, and so is its outline.
  if (state_.selectionMoving && !doc_.SelectionMove()) ClearSelection(&v);
}

void ToolRouter::TimerTick(ToolView& v) {
  if (state_.historyBusy || doc_.IsBusy()) return;
  DropStaleMoveOutline(v);
  bool stopped = false;
  if (!state_.outlineBuilt && state_.polygonClosed) {
    // Filling a large region can outlast the period; no tick may pile up meanwhile.
    v.StopSelectionTimer();
    stopped = true;
  }
  if (state_.selectionActive) {
    switch (frame_.selectionKind) {
      case 0:
        state_.showOutline = true;
        if (!state_.outlineBuilt) BuildOutline(v);
        break;
      case 3:
        if (!state_.outlineBuilt) BuildOutline(v);
        break;
      default:
        if (!state_.outlineBuilt && state_.polygonClosed) BuildOutline(v);
        break;
    }
  }
  state_.outlinePhase = !state_.outlinePhase;
  // Only the overlay changed: the cached composition stays valid.
  v.Invalidate(false);
  if (stopped) v.StartSelectionTimer();
}

void ToolRouter::FocusIn(ToolView& v) {
  if (state_.timerSuspended) {
    state_.timerSuspended = false;
    state_.selectionActive = true;
    v.StartSelectionTimer();
  }
}

void ToolRouter::FocusOut(ToolView& v) {
  if (v.SelectionTimerRunning()) {
    v.StopSelectionTimer();
    state_.timerSuspended = true;
  }
}

// ---------------------------------------------------------------- zoom

void ToolRouter::ScaleStoredPoints(int num, int den) {
  for (Point* p : {&state_.buttonDown, &state_.stroke, &state_.polygonFirst, &state_.rectCorner, &state_.lassoLast})
    *p = Scaled(*p, num, den);
  state_.preview.a = Scaled(state_.preview.a, num, den);
  state_.preview.b = Scaled(state_.preview.b, num, den);
  for (Point& p : state_.previewPath) p = Scaled(p, num, den);
}

void ToolRouter::SetZoom(float z) {
  state_.zoom = z;
  doc_.Host().TitleChanged(doc_);
}

std::string ToolRouter::Title() const {
  return Format("%s %d %s ", doc_.Name().c_str(), int(state_.zoom * 100), "%") + doc_.TitleText();
}

void ToolRouter::AfterZoom() {
  doc_.SetCompositionStale(true);
  doc_.Host().UpdateViews(doc_, 1025);
  // The anchor serves the one update that follows the step.
  state_.zoomAnchor = Point{};
}

bool ToolRouter::ZoomIn(Point at) {
  if (state_.stretch || Zoom() >= kMaxZoom) return false;
  SetZoom(Zoom() * 2);
  ScaleStoredPoints(2, 1);
  state_.zoomAnchor = at;
  AfterZoom();
  return true;
}

bool ToolRouter::ZoomOut(ToolView* v) {
  if (state_.stretch || Zoom() <= kMinZoom) return false;
  SetZoom(Zoom() / 2);
  ScaleStoredPoints(1, 2);
  state_.zoomAnchor = Point{};
  AfterZoom();
  if (v) v->TakeFocus();
  return true;
}

bool ToolRouter::ZoomActual() {
  const float z = Zoom();
  if (state_.stretch || z == 1.0f || z <= 0) return false;
  // Keep the stored points on the same picture pixels.
  if (z > 1)
    ScaleStoredPoints(1, int(z));
  else
    ScaleStoredPoints(int(std::lround(1 / z)), 1);
  SetZoom(1.0f);
  state_.zoomAnchor = Point{};
  AfterZoom();
  return true;
}

void ToolRouter::ToggleStretch() {
  state_.stretch = !state_.stretch;
  doc_.SetCompositionStale(true);
  doc_.Host().UpdateViews(doc_, 0);
}

void ToolRouter::ToggleGrid(ToolView* v) {
  frame_.gridOn = !frame_.gridOn;
  frame_.gridSpacing = -frame_.gridSpacing;
  if (v) v->Invalidate(false);
}

bool ToolRouter::OnCommand(int id, ToolView* v) {
  if (!IsCommandEnabled(id)) return false;
  switch (id) {
    case tool::kZoomIn: {
      const int t = frame_.currentTool;
      const bool drawing = (t == tool::kFreeSelect && state_.stroke.Set()) ||
                           (t == tool::kPolygonSelect && state_.polygonFirst.Set());
      if (drawing && !state_.selectionActive) {
        // An outline still being drawn is abandoned rather than left half-made.
        ClearSelection(v);
        return true;
      }
      frame_.currentTool = tool::kZoomIn;
      return true;
    }
    case tool::kZoomOut: return ZoomOut(v);
    case tool::kZoomActual: return ZoomActual();
    case tool::kStretch: ToggleStretch(); return true;
    case tool::kGrid: ToggleGrid(v); return true;
    case tool::kInvertSelection: {
      if (!doc_.Layers().Active()) return false;
      ToolView& view = v ? *v : NullToolView();
      // A lasso or polygon waiting for its region fill gets it first; inverting the
      // bare outline would leave nothing for the fill to work from.
      if (!state_.outlineBuilt) BuildOutline(view);
      InvertSelection(doc_.Layers());
      state_.selectionInverted = !state_.selectionInverted;
      LayerStack& L = doc_.Layers();
      state_.outline = TraceOutline(L.mask.data(), L.maskWidth, L.maskHeight);
      doc_.SetCompositionStale(true);
      view.Invalidate();
      return true;
    }
    case tool::kClearSelection:
      if (!doc_.Layers().Active()) return false;
      ClearSelection(v);
      frame_.currentTool = tool::kNone;
      state_.revertOnPaint = true;
      doc_.Host().RefreshLayerPanel(doc_);
      return true;
    default: return false;
  }
}

bool ToolRouter::IsCommandEnabled(int id) const {
  const float z = Zoom();
  switch (id) {
    case tool::kZoomIn: return !state_.stretch && z < kMaxZoom;
    case tool::kZoomOut: return !state_.stretch && z > kMinZoom;
    case tool::kZoomActual: return !state_.stretch && z != 1.0f;
    case tool::kStretch:
    case tool::kGrid:
    case tool::kClearSelection: return true;
    case tool::kInvertSelection: return state_.selectionActive;
    default: return false;
  }
}

// ---------------------------------------------------------------- display

int ToolRouter::OverlayMode(bool guidePoints) const {
  using tool::Overlay;
  const Overlay overlay = tool::TraitsOf(frame_.currentTool).overlay;
  int mode = state_.selectionActive ? 1 : 0;
  if (overlay == Overlay::Preview || (overlay == Overlay::PreviewOnDrag && state_.stroke.Set())) mode = 2;
  if (guidePoints) mode = 5;
  if (overlay == Overlay::Measurement) mode = 3;
  const Layer* a = doc_.Layers().Active();
  if (a && a->kind == kLayerText && mode != 3) mode = 0;
  return mode;
}

std::optional<CursorShape> ToolRouter::CursorFor(bool dragging, bool nearHandle) const {
  const tool::ToolTraits& tr = tool::TraitsOf(frame_.currentTool);
  if (dragging && tr.dragCross) return CursorShape::DragCross;
  switch (tr.cursorRule) {
    case tool::CursorRule::Fixed: return tr.cursor;
    case tool::CursorRule::NearHandle:
      if (nearHandle) return CursorShape::Drop;
      return std::nullopt;
    case tool::CursorRule::Style: break;
  }
  switch (frame_.cursorStyle) {
    case 1: return CursorShape::Arrow;
    case 2: return CursorShape::UpArrow;
    case 3: return CursorShape::Dot;
    case 4: return CursorShape::IBeam;
    default: return CursorShape::Cross;
  }
}

}  // namespace velmira
