#include "ui/free_transform_tool.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "ui/dlg_transform.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

FreeMode ModeOf(int toolId) {
  return toolId == tool::kTransformSize ? FreeMode::Size
         : toolId == tool::kTransformSkew ? FreeMode::Skew
                                          : FreeMode::Perspective;
}

}  // namespace

bool LayerBox(const CMirvDoc& doc, QuadPoint out[4]) {
  const LayerStack& st = doc.Layers();
  const Layer* l = st.Active();
  if (!l) return false;
  // Pixel edges of the layer as shown: rows count down from the canvas top.
  const double left = l->x, top = st.header.canvasHeight - l->height + l->y;
  out[0] = {left, top};
  out[1] = {left + l->width, top};
  out[2] = {left + l->width, top + l->height};
  out[3] = {left, top + l->height};
  return true;
}

void FreeTransformTool::Reset(const CMirvDoc& doc) {
  grabbed_ = -1;
  ready_ = LayerBox(doc, corners_);
}

bool FreeTransformTool::Press(ToolContext& c, Point, Point to) {
  // Undo, redo or another command may have moved the layer since the last drag.
  Reset(c.doc);
  const double z = c.Zoom();
  double best = kReach + 1;
  for (int k = 0; k < 4; ++k) {
    const double d = std::hypot(corners_[k].x * z - to.x, corners_[k].y * z - to.y);
    if (d <= kReach && d < best) best = d, grabbed_ = k;
  }
  return grabbed_ >= 0;
}

void FreeTransformTool::MoveCorner(int k, double x, double y) {
  QuadPoint& p = corners_[k];
  switch (ModeOf(toolId_)) {
    case FreeMode::Size: {
      // Corners 0–1 share the top, 2–3 the bottom, 0–3 the left and 1–2 the right.
      const int sameRow = k ^ 1, sameColumn = 3 - k;
      p = {x, y};
      corners_[sameRow].y = y;
      corners_[sameColumn].x = x;
      break;
    }
    case FreeMode::Skew: p = {x, y}; break;
    case FreeMode::Perspective: {
      const int sameRow = k ^ 1;
      const double dx = x - p.x, dy = y - p.y;
      p = {x, y};
      corners_[sameRow].x -= dx;
      corners_[sameRow].y += dy;
      break;
    }
  }
}

bool FreeTransformTool::Drag(ToolContext& c, Point, Point to) {
  if (grabbed_ < 0) return false;
  const double z = c.Zoom();
  MoveCorner(grabbed_, to.x / z, to.y / z);
  return true;
}

bool FreeTransformTool::Release(ToolContext& c, Point, Point) {
  if (grabbed_ < 0) return false;
  grabbed_ = -1;
  // The corners are picture pixels; a zoom changed during the mode would leave the
  // handles where the user cannot see them, so the mode ends with its message.
  if (c.Zoom() != 1.0f) {
    c.doc.Host().ShowMessage(kMsgFreeTransformZoom);
    c.frame.currentTool = tool::kNone;
    Reset(c.doc);
    return false;
  }
  const bool done = FreeTransform(c.doc, ModeOf(toolId_), corners_);
  // Success or not, the handles go back onto the layer as it now is.
  Reset(c.doc);
  if (done) c.doc.Host().UpdateViews(c.doc, 0);
  return done;
}

// ---------------------------------------------------------------- free rotation

namespace {

// Turning by dragging: the angle the pointer has swept about the layer's centre
// since the press is added to the panel's angle, whose change previews the turn;
// the release records it. Clockwise on screen is positive, as on the panel (view y
// grows downward, so a growing atan2 turns clockwise).
class FreeRotateTool final : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    FreeRotateDialog* panel = FreeRotateDialog::Active();
    QuadPoint box[4];
    if (!panel || !LayerBox(c.doc, box)) return false;
    const double z = c.Zoom();
    cx_ = (box[0].x + box[2].x) / 2 * z;
    cy_ = (box[0].y + box[2].y) / 2 * z;
    from_ = Direction(to);
    start_ = panel->Angle()->value();
    dragging_ = true;
    return true;
  }
  bool Drag(ToolContext&, Point, Point to) override {
    FreeRotateDialog* panel = FreeRotateDialog::Active();
    if (!dragging_ || !panel) return false;
    double a = start_ + (Direction(to) - from_) * 180.0 / M_PI;
    a = std::remainder(a, 360.0);  // −180 … 180: the shortest way round
    panel->Angle()->setValue(std::round(a * 10) / 10);  // the panel's own precision
    return true;
  }
  bool Release(ToolContext& c, Point from, Point to) override {
    if (!Drag(c, from, to)) return false;
    dragging_ = false;
    FreeRotateDialog* panel = FreeRotateDialog::Active();
    // A click that turned nothing leaves the mode open for a drag or a typed angle.
    if (panel->Angle()->value() == 0.0) return false;
    panel->accept();
    return panel->Recorded();
  }

 private:
  double Direction(Point p) const { return std::atan2(p.y - cy_, p.x - cx_); }
  double cx_ = 0, cy_ = 0, from_ = 0, start_ = 0;
  bool dragging_ = false;
};

}  // namespace

std::shared_ptr<Tool> MakeFreeRotateTool() { return std::make_shared<FreeRotateTool>(); }

void RegisterFreeRotateTool() {
  static const bool once = [] {
    RegisterTool(tool::kFreeRotate,
                 {.stroke = tool::StrokeModel::Handles, .overlay = tool::Overlay::Preview,
                  .cursorRule = tool::CursorRule::Fixed, .cursor = CursorShape::Rotate},
                 [] { return std::make_unique<FreeRotateTool>(); });
    return true;
  }();
  (void)once;
}

void RegisterFreeTransformTools() {
  static const bool once = [] {
    // The free transforms may follow the rotation panel: they end the rotation mode.
    for (int id : {tool::kTransformSize, tool::kTransformSkew, tool::kTransformPerspective})
      RegisterTool(id,
                   {.stroke = tool::StrokeModel::Handles, .overlay = tool::Overlay::Preview,
                    .cursorRule = tool::CursorRule::Fixed,
                    .cursor = id == tool::kTransformSize ? CursorShape::Transform : CursorShape::Drop,
                    .follows = tool::Follows(tool::ModePanel::Rotation)},
                   [id] { return std::make_unique<FreeTransformTool>(id); });
    return true;
  }();
  (void)once;
}

bool EnterFreeTransform(CMainFrame& frame, int toolId) {
  RegisterFreeTransformTools();
  CMirvDoc* doc = frame.ActiveDocument();
  CMirvView* view = frame.ActiveView();
  if (!doc || !view || doc->IsBusy() || !doc->Layers().Active()) return false;
  if (view->Router().Zoom() != 1.0f) {
    doc->Host().ShowMessage(kMsgFreeTransformZoom);
    return false;
  }
  if (!frame.ConsentToolChange(toolId)) return false;
  // A router made before the registration has no instance yet.
  if (!view->Router().ToolFor(toolId)) view->Router().SetTool(toolId, std::make_shared<FreeTransformTool>(toolId));
  auto* t = static_cast<FreeTransformTool*>(view->Router().ToolFor(toolId));
  const int slot = doc->Layers().active;
  doc->RevertLayer(slot, false);
  if (doc->HistoryEnabled()) {
    doc->History().SaveBackup(0, slot);
    doc->History().SaveBackup(1, slot);
  }
  t->Reset(*doc);
  frame.Frame().currentTool = toolId;
  if (!view->viewport()->findChild<TransformHandles*>()) new TransformHandles(*view, frame.Frame());
  view->viewport()->update();
  return true;
}

// ---------------------------------------------------------------- handles

TransformHandles::TransformHandles(CMirvView& view, FrameState& frame)
    : QWidget(view.viewport()), view_(view), frame_(frame) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(view.viewport()->rect());
  view.viewport()->installEventFilter(this);
  show();
}

bool TransformHandles::eventFilter(QObject* watched, QEvent* e) {
  if (watched == view_.viewport() && e->type() == QEvent::Resize) setGeometry(view_.viewport()->rect());
  return QWidget::eventFilter(watched, e);
}

const FreeTransformTool* TransformHandles::Current() const {
  if (!tool::IsFreeTransform(frame_.currentTool)) return nullptr;
  const auto* t = dynamic_cast<const FreeTransformTool*>(view_.Router().ToolFor(frame_.currentTool));
  return t && t->HasCorners() ? t : nullptr;
}

QList<QRect> TransformHandles::HandleRects() const {
  QList<QRect> rects;
  const FreeTransformTool* t = Current();
  if (!t) return rects;
  // While no handle is held the handles follow the layer as it is now.
  QuadPoint box[4];
  const QuadPoint* q = t->Corners();
  if (t->Grabbed() < 0 && LayerBox(view_.Document(), box)) q = box;
  const QPoint origin = view_.PictureOrigin();
  const double z = view_.Router().Zoom();
  for (int k = 0; k < 4; ++k) {
    const QPoint c = origin + QPoint(int(std::lround(q[k].x * z)), int(std::lround(q[k].y * z)));
    rects << QRect(c - QPoint(4, 4), QSize(9, 9));
  }
  return rects;
}

void TransformHandles::paintEvent(QPaintEvent*) {
  const QList<QRect> r = HandleRects();
  if (r.isEmpty()) return;
  QPainter p(this);
  // The quadrilateral in a dashed line, the handles as small filled squares.
  p.setPen(QPen(Qt::black, 1, Qt::DashLine));
  QPolygon quad;
  for (const QRect& h : r) quad << h.center();
  p.drawPolygon(quad);
  p.setPen(Qt::black);
  for (const QRect& h : r) p.fillRect(h, Qt::white), p.drawRect(h.adjusted(0, 0, -1, -1));
}

}  // namespace velmira
