#include "tools/tool_router.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "image/ui_text.h"
#include "tools/selection.h"

namespace velmira {

namespace {

// History labels of the steps the router records.
namespace label {
constexpr const char* kSpray = QT_TR_NOOP("스프레이");
constexpr const char* kBrush = QT_TR_NOOP("붓그리기");
constexpr const char* kDot = QT_TR_NOOP("점찍기");
constexpr const char* kFill = QT_TR_NOOP("채우기");
constexpr const char* kDrop = QT_TR_NOOP("물방울");
constexpr const char* kErase = QT_TR_NOOP("영역지우기");
constexpr const char* kLine = QT_TR_NOOP("선그리기");
constexpr const char* kPolyline = QT_TR_NOOP("다각형그리기");
constexpr const char* kCircle = QT_TR_NOOP("원 그리기");
constexpr const char* kTouch = QT_TR_NOOP("터치변형");
constexpr const char* kMoveLayer = QT_TR_NOOP("전체영상 위치이동");
// The status line while a rectangle is being dragged out.
constexpr const char* kStatusMarking = QT_TR_NOOP("영역지정");
}  // namespace label

std::map<int, ToolFactory>& Factories() {
  static std::map<int, ToolFactory> f;
  return f;
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

// Tools whose pixel work happens during a drag: they show the drag cross meanwhile.
bool DrawsWhileDragging(int t) {
  return t == tool::kSpray || t == tool::kBrush || t == tool::kLine || t == tool::kPolyline ||
         t == tool::kGradient || t == tool::kEraser;
}

Point Scaled(Point p, int num, int den) {
  if (!p.Set()) return p;
  return {p.x * num / den, p.y * num / den};
}

}  // namespace

void RegisterToolFactory(int toolId, ToolFactory factory) { Factories()[toolId] = std::move(factory); }

ToolView& NullToolView() {
  static NullView v;
  v.input = ViewInput{};
  return v;
}

ToolRouter::ToolRouter(CMirvDoc& doc, FrameState& frame) : doc_(doc), frame_(frame) {
  for (auto& [id, make] : Factories())
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

void ToolRouter::Record(const char* lbl) {
  if (doc_.Layers().Active()) doc_.RecordStep(lbl, kStepPixels, doc_.Layers().active);
}

// A drawing step while the outline runs stops the timer around it, so that no tick
// draws the outline over a half-finished step.
template <class F>
void ToolRouter::DrawStep(ToolView& v, F&& f) {
  const bool pause = state_.selectionActive && v.SelectionTimerRunning();
  if (pause) v.StopSelectionTimer();
  f();
  doc_.SetCompositionStale(true);
  if (pause) v.StartSelectionTimer();
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
  ToolContext c = Context(v);

  switch (t) {
    case tool::kZoomIn:
      ZoomIn(p);
      break;
    case tool::kMove:
      if (doc_.SelectionMove() && (!doc_.Layers().Active() || doc_.Layers().Active()->kind != kLayerFloating ||
                                   !doc_.ViewPointSelected(p.x, p.y))) {
        // A click outside the lifted pixels (or with another layer made active) puts
        // them down where they are.
        ClearSelection(&v);
        break;
      }
      // Pressing inside a selection lifts the selected pixels, which the drag moves.
      if (!doc_.SelectionMove() && state_.selectionActive && doc_.ViewPointSelected(p.x, p.y)) {
        v.StopSelectionTimer();
        const bool lifted = doc_.LiftSelection();
        v.StartSelectionTimer();
        if (!lifted) break;  // refused (text layer, nothing covered, no free slot): nothing moves
      }
      if (const Layer* l = doc_.Layers().Active()) {
        in.moveAnchor = e.raw;
        in.moving = true;
        in.moved = false;
        in.moveStartX = l->x;
        in.moveStartY = l->y;
        state_.selectionMoving = doc_.SelectionMove();
      }
      break;
    case tool::kRectSelect:
      if (!tl) break;
      ClearSelection(&v);
      state_.polygonOneShot = false;
      state_.stroke = p;
      state_.rectCorner = p;
      tl->Press(c, Point{}, p);
      break;
    case tool::kFreeSelect:
      if (!tl) break;
      ClearSelection(&v);
      state_.polygonOneShot = false;
      state_.lassoLast = p;
      state_.stroke = p;
      state_.previewPath = {p};
      tl->Press(c, Point{}, p);
      break;
    case tool::kAutoSelect:
      if (!tl) break;
      v.StopSelectionTimer();
      if (tl->Press(c, Point{}, p))
        SelectionMade(v);
      else if (state_.selectionActive)
        v.StartSelectionTimer();  // refused: the selection there was keeps running
      break;
    case tool::kPolygonSelect: {
      if (!tl) break;
      if (state_.polygonOneShot) {
        // The click that follows a clear only re-arms the tool.
        state_.polygonOneShot = false;
        break;
      }
      if (state_.polygonClosed) {
        ClearSelection(&v);
        state_.polygonOneShot = false;
      }
      const Point from = state_.polygonFirst.Set() ? state_.stroke : Point{};
      bool taken = false;
      DrawStep(v, [&] { taken = tl->Press(c, from, p); });
      if (!taken) break;  // refused (a text layer): no vertex
      if (!state_.polygonFirst.Set()) state_.polygonFirst = p;
      ++state_.polygonVertices;
      state_.stroke = p;
      state_.previewPath.push_back(p);
      break;
    }
    case tool::kSpray:
      if (!tl) break;
      // Committed at once: the next move reverts to the committed state.
      DrawStep(v, [&] {
        in.painted |= tl->Press(c, Point{}, p);
        doc_.CommitLayer(active);
      });
      break;
    case tool::kBrush:
      if (!tl) break;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Press(c, Point{}, p);
        doc_.CommitLayer(active);
      });
      state_.stroke = p;
      break;
    case tool::kDot:
      if (!tl) break;
      v.SetCursorShape(CursorShape::Dot);
      DrawStep(v, [&] {
        if (tl->Press(c, Point{}, p)) Record(label::kDot);
      });
      break;
    case tool::kFill:
      if (!tl) break;
      DrawStep(v, [&] {
        if (tl->Press(c, Point{}, p)) Record(label::kFill);
      });
      break;
    case tool::kGradient:
      if (!tl) break;
      doc_.RevertLayer(active, false);
      if (!state_.stroke.Set()) state_.stroke = p;
      tl->Press(c, state_.stroke, p);
      break;
    case tool::kDrop:
      if (!tl) break;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Press(c, Point{}, p);
        doc_.CommitLayer(active);
      });
      state_.dropLast = p;
      break;
    case tool::kEraser:
      if (!tl) break;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Press(c, Point{}, p);
        doc_.CommitLayer(active);
      });
      state_.eraserLast = p;
      break;
    case tool::kLine:
      if (!tl) break;
      state_.stroke = p;
      tl->Press(c, Point{}, p);
      break;
    case tool::kPolyline:
      if (!tl) break;
      if (state_.stroke.Set())
        DrawStep(v, [&] {
          if (tl->Press(c, state_.stroke, p)) Record(label::kPolyline);
        });
      else
        tl->Press(c, Point{}, p);
      state_.stroke = p;
      break;
    case tool::kCircle:
      if (!tl) break;
      state_.stroke = p;
      tl->Press(c, Point{}, p);
      break;
    case tool::kFreeRotate:
      if (!tl) break;
      state_.stroke = p;
      tl->Press(c, Point{}, p);
      break;
    case tool::kTouchTransform:
      if (!tl) break;
      doc_.RevertLayer(active, false);
      state_.stroke = Point{};
      tl->Press(c, Point{}, p);
      break;
    default:
      // Text, colour picker, colour range, free transforms, measurement and guide
      // paths work on the click alone.
      if (!tl) break;
      if (tool::IsMeasureTool(t)) v.SetCursorShape(CursorShape::Dot);
      DrawStep(v, [&] { tl->Press(c, state_.stroke, p); });
      break;
  }
  v.Invalidate();
}

void ToolRouter::Move(ToolView& v, const PointerEvent& e) {
  ViewInput& in = v.Input();
  in.leftHeld = e.leftOnly;
  const int t = frame_.currentTool;
  Tool* tl = ToolFor(t);
  ToolContext c = Context(v);

  bool nearHandle = false;
  if (!e.leftOnly && tl && (tool::IsMeasureTool(t) || tool::IsGuideTool(t))) nearHandle = tl->Hover(c, e.view);
  if (auto shape = CursorFor(e.leftOnly && in.pressed, nearHandle)) v.SetCursorShape(*shape);

  // A move to the point seen last does nothing beyond the cursor.
  if (e.client == in.lastClient) return;
  in.lastClient = e.client;
  if (!e.leftOnly || !in.pressed) return;

  const Point p = e.view;
  const int active = doc_.Layers().active;
  switch (t) {
    case tool::kMove:
      if (in.moving && doc_.Zoom() > 0) {
        const float z = doc_.Zoom();
        MoveLayerBy(int(float(e.raw.x - in.moveAnchor.x) / z), int(float(e.raw.y - in.moveAnchor.y) / z), true, v);
      }
      break;
    case tool::kRectSelect:
      if (!tl) return;
      state_.rectCorner = p;
      state_.outlineBuilt = false;
      if (state_.stroke.Set()) {
        tl->Drag(c, state_.stroke, p);
        state_.preview = {ToolPreview::Rectangle, state_.stroke, p};
        v.SetStatusText(label::kStatusMarking);
      }
      break;
    case tool::kFreeSelect:
      if (!tl) return;
      tl->Drag(c, state_.lassoLast, p);
      state_.lassoLast = p;
      state_.previewPath.push_back(p);
      break;
    case tool::kSpray:
      if (!tl) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Drag(c, Point{}, p);
        doc_.CommitLayer(active);
      });
      break;
    case tool::kBrush:
      if (!tl) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Drag(c, state_.stroke, p);
        doc_.CommitLayer(active);
      });
      state_.stroke = p;
      break;
    case tool::kGradient:
      if (!tl) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        tl->Drag(c, state_.stroke, p);
      });
      state_.preview = {ToolPreview::Line, state_.stroke, p};
      break;
    case tool::kDrop:
      if (!tl) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        in.painted |= tl->Drag(c, state_.dropLast, p);
      });
      state_.dropLast = p;
      break;
    case tool::kEraser:
      if (!tl) return;
      DrawStep(v, [&] {
        in.painted |= tl->Drag(c, state_.eraserLast, p);
        doc_.CommitLayer(active);
      });
      state_.eraserLast = p;
      break;
    case tool::kLine:
      if (!tl || !state_.stroke.Set()) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        tl->Drag(c, state_.stroke, p);
      });
      state_.preview = {ToolPreview::Line, state_.stroke, p};
      break;
    case tool::kCircle:
      if (!tl || !state_.buttonDown.Set()) return;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        tl->Drag(c, state_.buttonDown, p);
      });
      state_.preview = {ToolPreview::Ellipse, state_.buttonDown, p};
      break;
    case tool::kFreeRotate:
      if (!tl) return;
      tl->Drag(c, state_.stroke, p);
      doc_.SetCompositionStale(true);
      break;
    default:
      if (!tl || !(tool::IsFreeTransform(t) || tool::IsMeasureTool(t) || tool::IsGuideTool(t))) return;
      tl->Drag(c, state_.stroke, p);
      doc_.SetCompositionStale(true);
      break;
  }
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
  ToolContext c = Context(v);
  state_.preview = ToolPreview{};

  switch (t) {
    case tool::kMove:
      if (!in.moving) break;
      in.moving = false;
      if (in.moved && doc_.Layers().Active()) {
        doc_.CommitLayer(active);
        if (!state_.selectionMoving) Record(label::kMoveLayer);
        doc_.Host().UpdateViews(doc_, 0);
      }
      in.moved = false;
      doc_.Host().RefreshLayerPanel(doc_);
      break;
    case tool::kRectSelect:
      if (!tl || !state_.stroke.Set()) break;
      if (p == state_.stroke) {
        // A click without a drag takes the selection away.
        ClearSelection(&v);
        break;
      }
      if (!state_.outlineBuilt && !tl->Release(c, state_.stroke, state_.rectCorner)) {
        ClearSelection(&v);  // refused: no selection rather than an empty one
        break;
      }
      SelectionMade(v);
      break;
    case tool::kFreeSelect:
      if (!tl || !state_.stroke.Set()) break;
      if (p == state_.stroke && state_.previewPath.size() <= 1) {
        ClearSelection(&v);
        break;
      }
      if (!tl->Release(c, state_.lassoLast, state_.stroke)) {
        ClearSelection(&v);
        break;
      }
      state_.polygonClosed = true;
      state_.selectionActive = true;
      doc_.Layers().selectionExists = true;
      v.StartSelectionTimer();
      break;
    case tool::kSpray:
      if (tl && in.painted) Record(label::kSpray);
      break;
    case tool::kBrush:
      if (!tl) break;
      if (in.painted) Record(label::kBrush);
      state_.stroke = Point{};
      break;
    case tool::kGradient:
      if (!tl || !state_.stroke.Set()) break;
      v.SetWaitCursor(true);
      DrawStep(v, [&] { tl->Release(c, state_.stroke, p); });
      v.SetWaitCursor(false);
      state_.stroke = Point{};
      break;
    case tool::kDrop:
      // The last drop stays: it becomes the committed state with the step.
      if (tl && in.painted) Record(label::kDrop);
      break;
    case tool::kEraser:
      if (tl && in.painted) Record(label::kErase);
      break;
    case tool::kLine:
      if (!tl || !state_.stroke.Set()) break;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        if (tl->Release(c, state_.stroke, p)) Record(label::kLine);
      });
      state_.stroke = Point{};
      break;
    case tool::kCircle:
      if (!tl || !state_.buttonDown.Set()) break;
      DrawStep(v, [&] {
        doc_.RevertLayer(active, false);
        if (tl->Release(c, state_.buttonDown, p)) Record(label::kCircle);
      });
      state_.stroke = Point{};
      break;
    case tool::kTouchTransform:
      if (!tl) break;
      DrawStep(v, [&] {
        if (tl->Release(c, state_.stroke, p)) Record(label::kTouch);
      });
      break;
    case tool::kFreeRotate:
      if (!tl) break;
      DrawStep(v, [&] { tl->Release(c, state_.stroke, p); });
      state_.stroke = Point{};
      break;
    default:
      if (!tl || !(tool::IsFreeTransform(t) || tool::IsMeasureTool(t) || tool::IsGuideTool(t))) break;
      DrawStep(v, [&] { tl->Release(c, state_.stroke, p); });
      break;
  }
  v.Invalidate();
}

void ToolRouter::DoubleClick(ToolView& v, const PointerEvent& e) {
  const int t = frame_.currentTool;
  Tool* tl = ToolFor(t);
  ToolContext c = Context(v);
  if (state_.selectionActive && (t == tool::kRectSelect || t == tool::kFreeSelect || t == tool::kPolygonSelect)) {
    ClearSelection(&v);
  } else if (t == tool::kAutoSelect && state_.selectionActive) {
    if (!state_.shiftHeld) ClearSelection(&v);
  } else if (t == tool::kPolygonSelect && !state_.selectionActive && tl && state_.polygonFirst.Set()) {
    // Close the polygon with its last edge back to the first vertex.
    tl->DoubleClick(c, state_.stroke, state_.polygonFirst);
    state_.polygonClosed = true;
    state_.selectionActive = true;
    doc_.Layers().selectionExists = true;
    v.StartSelectionTimer();
  } else if (tl && (tool::IsMeasureTool(t) || tool::IsGuideTool(t))) {
    tl->DoubleClick(c, state_.stroke, e.view);
  }
  v.Invalidate();
}

// ---------------------------------------------------------------- keys

void ToolRouter::KeyDown(ToolView& v, Key key, bool autoRepeat) {
  // Only a held Shift (its auto-repeat) counts, so that a quick tap of Shift
  // before a wand click does not add to the selection by accident.
  state_.shiftHeld = key == Key::Shift && autoRepeat;
  const int t = frame_.currentTool;
  if (key == Key::Enter && doc_.SelectionMove()) {
    ClearSelection(&v);
    return;
  }
  if (t == tool::kMove && doc_.Layers().Active()) {
    int dx = 0, dy = 0;
    switch (key) {
      case Key::Left: dx = -1; break;
      case Key::Up: dy = -1; break;
      case Key::Right: dx = 1; break;
      case Key::Down: dy = 1; break;
      default: break;
    }
    if (dx || dy) {
      MoveLayerBy(dx, dy, false, v);
      doc_.CommitLayer(doc_.Layers().active);
      v.Invalidate(false);
      return;
    }
  }
  if (Tool* tl = ToolFor(t)) {
    ToolContext c = Context(v);
    if (tl->KeyDown(c, key)) v.Invalidate();
  }
}

void ToolRouter::KeyUp(ToolView&, Key, int repeatCount) {
  if (repeatCount == 1) state_.shiftHeld = false;
}

// Moves the active layer (and the selection mask that lies over it). With
// absoluteFromStart the offset counts from the layer's position when the drag began,
// so that fractions of a picture pixel at high zoom are not lost step by step.
void ToolRouter::MoveLayerBy(int dx, int dy, bool absoluteFromStart, ToolView& v) {
  LayerStack& L = doc_.Layers();
  Layer* l = L.Active();
  if (!l) return;
  const bool maskFollows = L.maskX == l->x && L.maskY == l->y && L.maskWidth == l->width && L.maskHeight == l->height;
  const int nx = absoluteFromStart ? v.Input().moveStartX + dx : l->x + dx;
  const int ny = absoluteFromStart ? v.Input().moveStartY + dy : l->y + dy;
  if (nx == l->x && ny == l->y) return;
  l->x = nx;
  l->y = ny;
  if (maskFollows) {
    L.maskX = nx;
    L.maskY = ny;
  }
  l->dirty = 1;
  v.Input().moved = true;
  doc_.SetCompositionStale(true);
  doc_.SetModified(true);
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
  state_.eraserLast = state_.lassoLast = state_.dropLast = Point{};
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
  for (Point* p : {&state_.buttonDown, &state_.stroke, &state_.polygonFirst, &state_.rectCorner,
                   &state_.eraserLast, &state_.lassoLast, &state_.dropLast})
    *p = Scaled(*p, num, den);
  state_.preview.a = Scaled(state_.preview.a, num, den);
  state_.preview.b = Scaled(state_.preview.b, num, den);
  for (Point& p : state_.previewPath) p = Scaled(p, num, den);
}

void ToolRouter::AfterZoom() {
  doc_.SetCompositionStale(true);
  doc_.Host().UpdateViews(doc_, 1025);
  // The anchor serves the one update that follows the step.
  state_.zoomAnchor = Point{};
}

bool ToolRouter::ZoomIn(Point at) {
  if (state_.stretch || doc_.Zoom() >= kMaxZoom) return false;
  doc_.SetZoom(doc_.Zoom() * 2);
  ScaleStoredPoints(2, 1);
  state_.zoomAnchor = at;
  AfterZoom();
  return true;
}

bool ToolRouter::ZoomOut(ToolView* v) {
  if (state_.stretch || doc_.Zoom() <= kMinZoom) return false;
  doc_.SetZoom(doc_.Zoom() / 2);
  ScaleStoredPoints(1, 2);
  state_.zoomAnchor = Point{};
  AfterZoom();
  if (v) v->TakeFocus();
  return true;
}

bool ToolRouter::ZoomActual() {
  const float z = doc_.Zoom();
  if (state_.stretch || z == 1.0f || z <= 0) return false;
  // Keep the stored points on the same picture pixels.
  if (z > 1)
    ScaleStoredPoints(1, int(z));
  else
    ScaleStoredPoints(int(std::lround(1 / z)), 1);
  doc_.SetZoom(1.0f);
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
  const float z = doc_.Zoom();
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
  const int t = frame_.currentTool;
  int mode = 0;
  if (state_.selectionActive) mode = 1;
  if ((t == tool::kRectSelect && state_.stroke.Set()) || t == tool::kFreeSelect || t == tool::kPolygonSelect ||
      t == tool::kFreeRotate || tool::IsFreeTransform(t) || t == tool::kGuideFirst)
    mode = 2;
  if (guidePoints) mode = 5;
  if (t == tool::kContinuousMeasure) mode = 3;
  const Layer* a = doc_.Layers().Active();
  if (a && a->kind == kLayerText && mode != 3) mode = 0;
  return mode;
}

std::optional<CursorShape> ToolRouter::CursorFor(bool dragging, bool nearHandle) const {
  const int t = frame_.currentTool;
  if (dragging && DrawsWhileDragging(t)) return CursorShape::DragCross;
  switch (t) {
    case tool::kDrop: return CursorShape::Drop;
    case tool::kDot: return CursorShape::DotPen;
    case tool::kEraser: return CursorShape::Eraser;
    case tool::kText: return CursorShape::Text;
    case tool::kFreeRotate: return CursorShape::Rotate;
    case tool::kZoomIn: return CursorShape::Zoom;
    case tool::kMove: return CursorShape::Move;
    case tool::kColourPicker:
    case tool::kColourRange: return CursorShape::Picker;
    case tool::kTouchTransform: return CursorShape::Touch;
    case tool::kTransformSize: return CursorShape::Transform;
    case tool::kTransformSkew:
    case tool::kTransformPerspective: return CursorShape::Drop;
    case tool::kMeasure:
    case tool::kGuideFirst:
    case tool::kGuideEdit:
    case tool::kGuideMove:
      if (nearHandle) return CursorShape::Drop;
      return std::nullopt;
    default: break;
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
