// The text tool, "달력 넣기" and "사진틀 넣기" in the editor. The text tool opens the
// input dialog at a click (or edits the active text layer when the click falls on
// its text); the calendar runs its dialog; the photo frame is a mode with its panel
// that lasts until another command is chosen.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "decorations/photo_frame.h"

class QPushButton;
class QSpinBox;

namespace velmira {

class CMainFrame;
class CMirvView;

class CommandFronts;
// The calendar's dialog and the photo frame's mode.
void RegisterDecorationFronts(CommandFronts& f);
// Called before any command runs: a command other than the frame's own ends the
// frame mode, recording its step.
void EndDecorationModes(CMainFrame& frame, int nextCommand);
// Registers the text tool; the frame's colour dialog serves its colour button.
void RegisterTextTool(CMainFrame& frame);

// How the text and calendar dialogs are shown: modally unless a test puts a
// function here that works the controls and returns the result.
using DecorationDialogRunner = std::function<int(QDialog&)>;
void SetDecorationDialogRunner(DecorationDialogRunner runner);

// The frame panel below the view: four style buttons, "틀의 두께" and two colour
// swatches; every change redraws the frame.
class CDlg_PhotoFrame : public QWidget {
  Q_OBJECT

 public:
  CDlg_PhotoFrame(CMainFrame& frame, QWidget* parent = nullptr);
  ~CDlg_PhotoFrame() override;
  // Enters the mode on a view's document; false when it cannot start.
  bool Begin(CMirvView& view);
  // Ends the mode (recording the step when a frame was drawn) and hides the panel.
  void End();
  bool InMode() const;
  FrameParams Params() const { return params_; }

  QPushButton* StyleButton(int style) const { return styles_[style]; }
  QSpinBox* Thickness() const { return thickness_; }
  QPushButton* FirstColour() const { return first_; }
  QPushButton* SecondColour() const { return second_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Redraw();
  void PickColour(bool first);
  CMainFrame& frame_;
  QPointer<CMirvView> view_;
  std::unique_ptr<PhotoFrameSession> session_;
  FrameParams params_;
  QPushButton* styles_[4];
  QSpinBox* thickness_;
  QPushButton *first_, *second_;
};

// The frame's panel, made on first use.
CDlg_PhotoFrame& PhotoFramePanel(CMainFrame& frame);

}  // namespace velmira
