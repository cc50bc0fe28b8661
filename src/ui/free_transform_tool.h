// The free transforms "크기", "뒤틀림" and "원근감" as a tool of the view: four corner
// handles on the active layer's box, dragged with the left button; releasing a
// handle maps the layer onto the new quadrilateral (one step) and the handles go
// back onto the transformed layer's box, ready for the next drag.
//
// How a drag moves the corners:
// - size: the opposite corner stays, the box stays a rectangle;
// - skew: only the dragged corner moves;
// - perspective: the corner on the same top or bottom edge moves the mirror way
//   across, so that edge widens or narrows about its middle.
#pragma once

#include <QWidget>

#include "processing/transform.h"
#include "tools/tool_router.h"

namespace velmira {

class CMainFrame;
class CMirvView;

class FreeTransformTool : public Tool {
 public:
  explicit FreeTransformTool(int toolId) : toolId_(toolId) {}
  bool Press(ToolContext& c, Point from, Point to) override;
  bool Drag(ToolContext& c, Point from, Point to) override;
  bool Release(ToolContext& c, Point from, Point to) override;

  // Puts the handles on the active layer's box as shown.
  void Reset(const CMirvDoc& doc);
  bool HasCorners() const { return ready_; }
  const QuadPoint* Corners() const { return corners_; }
  int Grabbed() const { return grabbed_; }
  // Handles within this many zoomed pixels of the pointer are caught.
  static constexpr int kReach = 8;

 private:
  void MoveCorner(int k, double x, double y);
  int toolId_;
  QuadPoint corners_[4];
  bool ready_ = false;
  int grabbed_ = -1;
};

// The active layer's box as shown, in pixel edges; false without an active layer.
bool LayerBox(const CMirvDoc& doc, QuadPoint out[4]);

// Registers the tool for 4250, 4251 and 4252 (once).
void RegisterFreeTransformTools();

// Free rotation by dragging in the view (tool 1415): works with the open
// rotation-angle panel, whose angle it sets; the release applies it.
std::shared_ptr<Tool> MakeFreeRotateTool();
void RegisterFreeRotateTool();

// Entering a mode from the menu: refuses when the view is not at 100 % (with the
// message), makes the tool current, keeps the layer in both backups and shows the
// handles on the active view.
bool EnterFreeTransform(CMainFrame& frame, int toolId);

// Draws the handles of the current free transform over a view; it lets every
// pointer event through to the view.
class TransformHandles : public QWidget {
  Q_OBJECT

 public:
  TransformHandles(CMirvView& view, FrameState& frame);
  // The client rectangles of the four handles (empty when none are shown).
  QList<QRect> HandleRects() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  const FreeTransformTool* Current() const;
  CMirvView& view_;
  FrameState& frame_;
};

}  // namespace velmira
