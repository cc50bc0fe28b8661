// Choosing the painting, fill and selection tools: the option sliders and status text
// each sets up, the gradient's options dialog, the colour-range dialog, and the two
// selection commands that are not tools (inversion and the colour range).
#pragma once

#include <QDialog>

#include "image/image_buffer.h"

class QLabel;
class QPushButton;
class QSlider;

namespace velmira {

class CMainFrame;

namespace selcmd {
constexpr int kInvertSelection = 2055;
constexpr int kColourRange = 3327;
}  // namespace selcmd

// Before a tool becomes current: false when it must not (a selection tool over a
// text layer says why).
bool MayChooseTool(CMainFrame& frame, int id);
// After it became current: sliders, status text, the selection and stored points,
// the gradient dialog.
void SetUpChosenTool(CMainFrame& frame, int id);

class CommandFronts;
// The colour range and the inversion of the selection: both work on the view's
// selection state.
void RegisterToolFronts(CommandFronts& f);

// After a click in a view: the colour-range dialog shows what the pass found.
void AfterToolStep(CMainFrame& frame);

// The gradient's options: kind (one-way, two-way) and colour mode (fading to black,
// blending the background into the foreground), each a pair of exclusive buttons.
class GradientDialog : public QDialog {
  Q_OBJECT

 public:
  explicit GradientDialog(CMainFrame& frame);
  QPushButton* KindButton(int kind) const { return kind == 1 ? oneWay_ : twoWay_; }
  QPushButton* ModeButton(int mode) const { return mode == 1 ? fade_ : blend_; }
  QPushButton* CloseButton() const { return close_; }
  void SyncFromFrame();

 private:
  CMainFrame& frame_;
  QPushButton *oneWay_, *twoWay_, *fade_, *blend_, *close_;
};

// " 색상범위 영역지정": the tolerance slider and its value, the pixel count, the
// reference colour's swatch, the new/add mode buttons, clear and cancel.
class ColourRangeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ColourRangeDialog(CMainFrame& frame);
  QSlider* ToleranceSlider() const { return slider_; }
  QLabel* ValueText() const { return value_; }
  QLabel* CountText() const { return count_; }
  QPushButton* NewButton() const { return newMode_; }
  QPushButton* AddButton() const { return addMode_; }
  QPushButton* ClearButton() const { return clear_; }
  QPushButton* CancelButton() const { return cancel_; }
  QPushButton* Swatch() const { return swatch_; }
  // Shows the reference colour and the count of the last pass.
  void Refresh();

 private:
  void OnTolerance(int value);
  void Rerun();
  void ChooseMode(bool add);
  void PickReference();

  CMainFrame& frame_;
  QSlider* slider_;
  QLabel *value_, *count_;
  QPushButton *newMode_, *addMode_, *clear_, *cancel_, *swatch_;
};

}  // namespace velmira
