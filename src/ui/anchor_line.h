// The guide-path panel CDlg_AnchorLine: the four guide tools, path to selection,
// the stroke along the path with its length limit, and "닫기". Command 1509 on the
// command bar shows and hides it; while it shows, the frame lets only the zoom, the
// polygon selection and the guide tools be chosen.
#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace velmira {

class CMainFrame;

class CDlg_AnchorLine : public QDialog {
  Q_OBJECT

 public:
  explicit CDlg_AnchorLine(CMainFrame& frame);

  // The button of a command (5615, 5616, 5620, 5621, 5623, 5625, or 1509 for "닫기").
  QPushButton* Button(int id) const;
  // The stroke's length limit: percent of the path, 100 by default.
  QSpinBox* LengthBox() const { return length_; }
  int LengthPercent() const;
  // Shows the current tool's button pressed.
  void Sync();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  CMainFrame& frame_;
  QSpinBox* length_ = nullptr;
};

bool GuideCommandEnabled(const CMainFrame& frame, int id);
bool RunGuideCommand(CMainFrame& frame, int id);
// The panel of the frame, made on first use.
CDlg_AnchorLine* GuidePanel(CMainFrame& frame, bool create);

}  // namespace velmira
