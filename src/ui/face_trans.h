// The stretch-and-squeeze mode (3339): a modeless panel that warps the part of the
// active layer inside a rectangle selection, and the touch tool (3340) that warps
// again wherever the left button is released in the view.
//
// The layer as it was when the mode began is kept in the second backup, so Reset
// can always go back to it; the first backup follows the last accepted warp, so
// that the router's revert before each touch keeps what was already done.
#pragma once

#include <QDialog>

#include "processing/transform_commands.h"
#include "tools/tool_router.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmira {

class CMainFrame;
class CMirvDoc;

// The tool id Reset hands the view to: nothing is registered for it, so clicks
// stop warping until the next Convert.
constexpr int kFaceTransIdleTool = 1508;

class FaceTransPanel : public QDialog {
  Q_OBJECT

 public:
  FaceTransPanel(CMainFrame& frame, CMirvDoc& doc);
  ~FaceTransPanel() override;

  // Keeps the active layer in both backups; false (and nothing kept) when there is
  // no layer to work on.
  bool Begin();

  // The buttons' work, callable directly.
  bool Convert();
  void Reset();
  void CloseMode();

  // The values a touch uses now: box, strength and the frame's warp mode.
  TouchSettings Settings() const;
  bool Changed() const { return changed_; }
  CMirvDoc& Document() const { return doc_; }

  QLineEdit* StrengthEdit() const { return strength_; }
  QLineEdit* Strength2Edit() const { return strength2_; }
  QRadioButton* ModeButton(int i) const { return i == 0 ? mode0_ : mode1_; }
  QAbstractButton* ThirdModeButton() const;
  QPushButton* ConvertButton() const { return convert_; }
  QPushButton* ResetButton() const { return reset_; }
  QPushButton* CloseButton() const { return close_; }
  QLabel* BoxLabel() const { return box_; }

  // The panel of the mode under way, if any.
  static FaceTransPanel* Active();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void SetMode(int mode);
  int Mode() const;
  void ShowBox();
  void Redraw();

  CMainFrame& frame_;
  CMirvDoc& doc_;
  int slot_ = -1;
  int boxWidth_ = 0, boxHeight_ = 0;
  bool changed_ = false;
  bool closed_ = false;
  QLineEdit* strength_ = nullptr;
  QLineEdit* strength2_ = nullptr;
  QRadioButton* mode0_ = nullptr;
  QRadioButton* mode1_ = nullptr;
  QPushButton* third_ = nullptr;
  QPushButton* convert_ = nullptr;
  QPushButton* reset_ = nullptr;
  QPushButton* close_ = nullptr;
  QLabel* box_ = nullptr;
};

// The touch tool: a left-button release warps the active layer at that point with
// the panel's values (the router records the step).
class TouchTransformTool : public Tool {
 public:
  bool Release(ToolContext& c, Point from, Point to) override;
};

// Registers the touch tool for 3340 (once).
void RegisterTouchTransformTool();

// The mode's box comes from a rectangle selection, so the mode is offered only
// while the active view can make one.
bool FaceTransAvailable(const CMainFrame& frame);

// The menu's entry into the mode: shows the panel (or raises the one already open).
bool EnterFaceTrans(CMainFrame& frame);

}  // namespace velmira
