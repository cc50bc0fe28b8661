// The tool router: turns the view's pointer and key events, already converted to
// zoomed-picture space, into calls on the document according to the current tool.
//
// The router keeps the per-document interaction state that every view of the
// document shares (stored tool points, selection flags, the zoom anchor, the
// outline) and applies the steps common to a tool family — revert before a preview,
// commit after a finished step, the history label, the outline timer — around the
// tool's own pixel work. That work is a Tool registered by command id; a tool id
// with nothing registered is routed to nothing. Zoom and move are built in.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/doc.h"
#include "image/frame_state.h"
#include "tools/outline.h"
#include "tools/tool_ids.h"
#include "tools/tool_traits.h"
#include "tools/view_geometry.h"

namespace velmira {

namespace tool {
constexpr int kInvertSelection = 2055;
}  // namespace tool

// State of a document that all its views share.
struct DocViewState {
  // 0.125 … 16 in powers of two: view pixels per picture pixel.
  float zoom = 1.0f;
  bool stretch = false;
  int scrollX = 0, scrollY = 0;
  Point zoomAnchor;  // zoomed space before the step; x = −1: none
  // Stored tool points in zoomed-picture space; −1: none. `stroke` is the point the
  // current gesture works from (the press point, the previous point of a stroke,
  // the previous vertex).
  Point buttonDown, stroke, polygonFirst, rectCorner, lassoLast;
  bool selectionActive = false;
  bool outlineBuilt = false;
  bool outlinePhase = false;
  bool showOutline = true;
  bool timerSuspended = false;
  bool historyBusy = false;
  bool polygonClosed = false;
  bool shiftHeld = false;
  bool selectionMoving = false;
  // Toggled by the inversion command; a new selection starts uninverted.
  bool selectionInverted = false;
  // After a clear the next polygon click only disarms this.
  bool polygonOneShot = false;
  int polygonVertices = 0;
  // While set, a zoom step leaves the child frame's size alone (once).
  bool keepFrameSize = false;
  // Set by the clear command: the next paint reverts the active layer, dropping an
  // unfinished preview.
  bool revertOnPaint = false;
  ToolPreview preview;
  std::vector<Point> previewPath;  // lasso and polygon vertices drawn so far
  SelectionOutline outline;        // in mask space; see EdgeOnCanvas
};

// State a single view keeps about its own input.
struct ViewInput {
  bool leftHeld = false;
  bool pressed = false;  // a left press in this view has not been released yet
  Point lastClient{-100000, -100000};
  bool moving = false;
  Point moveAnchor;  // unclamped zoomed-space point where a move drag began
  int moveStartX = 0, moveStartY = 0;
  bool moved = false;
  // The tool changed pixels during the press and drag under way: only then does the
  // release record a step.
  bool painted = false;
};

// The view as the router sees it; the Qt view implements it, tests record calls.
class ToolView {
 public:
  virtual ~ToolView() = default;
  // Timer 1: (re)start at 400 ms, stop, query.
  virtual void StartSelectionTimer() = 0;
  virtual void StopSelectionTimer() = 0;
  virtual bool SelectionTimerRunning() const = 0;
  virtual void Invalidate(bool erase = true) = 0;
  virtual void SetCursorShape(CursorShape shape) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void TakeFocus() = 0;
  virtual ViewInput& Input() = 0;
  // The status line while a gesture is under way (the rectangle drag's "영역지정").
  virtual void SetStatusText(const std::string& /*text*/) {}
};

// A pointer event: the clamped point, the same point unclamped, the client point.
struct PointerEvent {
  Point view;
  Point raw;
  Point client;
  bool leftOnly = true;  // a move with exactly the left button and no modifier
};

enum class Key { Other, Left, Up, Right, Down, Escape, Shift, Enter };

class ToolRouter;

// The active layer's pixel (rows from the bottom) under a zoomed view point, without
// growing the layer the way CMirvDoc::MapToLayer does; false without a layer, a zoom
// or a point. The pixel may lie outside the layer.
bool ViewToLayerPixel(const CMirvDoc& doc, float zoom, Point view, int* x, int* y);

struct ToolContext {
  CMirvDoc& doc;
  FrameState& frame;
  DocViewState& state;
  ToolView& view;
  ToolRouter& router;
  const PointerEvent* event = nullptr;  // the pointer event being handled, if any

  float Zoom() const { return state.zoom; }
  // The canvas pixel (column, row from the top) under a zoomed view point; an unset
  // point stays unset.
  Point Picture(Point view) const {
    if (!view.Set() || state.zoom <= 0) return view;
    return {int(float(view.x) / state.zoom), int(float(view.y) / state.zoom)};
  }
};

// The pixel work of one tool. `from` is the stored point the tool's stroke model
// works from (stroke start, previous point, previous vertex; unset when there is
// none), `to` the event's point. Press/Drag/Release return true when they changed
// something that the router should record or show. A tool of the Own model gets an
// unset `from` and keeps the router's state itself.
class Tool {
 public:
  virtual ~Tool() = default;
  virtual bool Press(ToolContext&, Point /*from*/, Point /*to*/) { return false; }
  virtual bool Drag(ToolContext&, Point /*from*/, Point /*to*/) { return false; }
  virtual bool Release(ToolContext&, Point /*from*/, Point /*to*/) { return false; }
  virtual bool DoubleClick(ToolContext&, Point /*from*/, Point /*to*/) { return false; }
  // A move with no button: true when the pointer is near one of the tool's handles.
  virtual bool Hover(ToolContext&, Point /*to*/) { return false; }
  virtual bool KeyDown(ToolContext&, Key) { return false; }
  // Turns the marks a free or polygon selection drew into a filled mask.
  virtual void FillRegion(ToolContext&) {}
};

using ToolFactory = std::function<std::unique_ptr<Tool>()>;
// Program-wide registry of tools by command id, with the traits they carry; every
// router made after a registration gets an instance.
void RegisterTool(int toolId, const tool::ToolTraits& traits, ToolFactory factory);
// Forgets a tool: routers made afterwards route its id to nothing.
void UnregisterTool(int toolId);

class ToolRouter {
 public:
  ToolRouter(CMirvDoc& doc, FrameState& frame);
  ToolRouter(const ToolRouter&) = delete;
  ToolRouter& operator=(const ToolRouter&) = delete;

  // The router of a document, shared by its views (made on first use, gone with
  // the last holder).
  static std::shared_ptr<ToolRouter> For(CMirvDoc& doc);

  CMirvDoc& Document() { return doc_; }
  FrameState& Frame() { return frame_; }
  DocViewState& State() { return state_; }
  const DocViewState& State() const { return state_; }

  void SetTool(int toolId, std::shared_ptr<Tool> tool);
  Tool* ToolFor(int toolId) const;

  // Pointer and keys.
  void Press(ToolView& v, const PointerEvent& e);
  void Move(ToolView& v, const PointerEvent& e);
  void Release(ToolView& v, const PointerEvent& e);
  void DoubleClick(ToolView& v, const PointerEvent& e);
  void KeyDown(ToolView& v, Key key, bool autoRepeat);
  void KeyUp(ToolView& v, Key key, int repeatCount);

  // Timer 1 and focus.
  void TimerTick(ToolView& v);
  void FocusIn(ToolView& v);
  void FocusOut(ToolView& v);

  // Zoom: 0.125 … 16 in powers of two.
  static constexpr float kMinZoom = 0.125f;
  static constexpr float kMaxZoom = 16.0f;
  float Zoom() const { return state_.zoom; }
  // Sets the zoom of every view of the document; the title, which shows it, follows.
  void SetZoom(float z);
  // The document's title as its windows show it: name, zoom, active layer.
  std::string Title() const;
  bool ZoomIn(Point at);
  bool ZoomOut(ToolView* v);
  bool ZoomActual();
  void ToggleStretch();
  void ToggleGrid(ToolView* v);

  // The view's commands: 1420 (choose the zoom tool), 1421, 1422, 1405, 1572, 2058,
  // and 2055 (invert the selection).
  bool OnCommand(int id, ToolView* v);
  bool IsCommandEnabled(int id) const;

  // Clears the selection and every stored tool point (tools, double-click, 2058).
  void ClearSelection(ToolView* v);
  // A tool has just been chosen: a selection tool starts from no selection, and the
  // polygon's first click then places its first vertex (the clear arms the one-shot
  // click that is meant only for clears while a polygon is being used).
  void ToolChosen(ToolView* v, int toolId);
  // Puts a lifted selection down (merged into its layer) and clears the selection;
  // nothing happens when no selection is afloat. Called when the user moves on.
  void PutDownSelection(ToolView* v);
  // Selection made: active, outline traced, timer running.
  void SelectionMade(ToolView& v);
  // Traces the current mask into the outline (after a free or polygon selection,
  // the region is filled first).
  void BuildOutline(ToolView& v);

  // What the paint overlays on the composition: 0 none, 1 selection outline, 2 tool
  // preview, 3 continuous measurement, 5 guide path.
  int OverlayMode(bool guidePoints) const;
  // The cursor for a pointer move; nullopt leaves the cursor as it is.
  std::optional<CursorShape> CursorFor(bool dragging, bool nearHandle) const;

  // Multiplies (factor 2) or divides (factor ½) every stored view-space point.
  void ScaleStoredPoints(int num, int den);

  // A drawing step while the outline runs stops the timer around it, so that no
  // tick draws the outline over a half-finished step.
  template <class F>
  void DrawStep(ToolView& v, F&& f) {
    const bool pause = state_.selectionActive && v.SelectionTimerRunning();
    if (pause) v.StopSelectionTimer();
    const uint64_t marks = doc_.DirtyMarks();
    f();
    // A step that described its change by rectangles repaints only those.
    if (doc_.DirtyMarks() == marks) doc_.SetCompositionStale(true);
    if (pause) v.StartSelectionTimer();
  }
  // Records a pixel step of the active layer.
  void Record(const char* label);

 private:
  ToolContext Context(ToolView& v, const PointerEvent* e = nullptr) {
    return ToolContext{doc_, frame_, state_, v, *this, e};
  }
  void DropStaleMoveOutline(ToolView& v);
  void AfterZoom();

  CMirvDoc& doc_;
  FrameState& frame_;
  DocViewState state_;
  std::map<int, std::shared_ptr<Tool>> tools_;
};

// A ToolView that does nothing: commands reached without a view.
ToolView& NullToolView();

}  // namespace velmira
