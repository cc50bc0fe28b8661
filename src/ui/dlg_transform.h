// The dialogs of the geometric commands and the layer shadow: resize (pixels or
// percent, with the sides kept in proportion), canvas size with its 3 × 3 choice of
// direction, free rotation by a typed angle and the layer effect. Free rotation and
// the shadow are preview dialogs: every change starts again from the layer kept in
// the first backup, OK records the command's one step, Cancel puts the layer back.
#pragma once

#include <QDialog>
#include <vector>

#include "image/image_buffer.h"
#include "ui/dlg_adjust.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

namespace velmira {

class CMirvDoc;

// "그림크기조정": new canvas width and height, in pixels or in percent of the present
// size. The two kinds of field follow each other; with the proportion kept a change
// of one side changes the other by the same factor.
class ResizeDialog : public QDialog {
  Q_OBJECT

 public:
  ResizeDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  QSpinBox* PixelWidth() const { return pixelW_; }
  QSpinBox* PixelHeight() const { return pixelH_; }
  QSpinBox* PercentWidth() const { return percentW_; }
  QSpinBox* PercentHeight() const { return percentH_; }
  QCheckBox* KeepRatio() const { return keepRatio_; }
  // True once OK changed the picture.
  bool Recorded() const { return recorded_; }
  void accept() override;

 private:
  void PixelsChanged(bool width);
  void PercentChanged(bool width);
  CMirvDoc& doc_;
  int oldW_, oldH_;
  QSpinBox *pixelW_, *pixelH_, *percentW_, *percentH_;
  QCheckBox* keepRatio_;
  bool syncing_ = false;
  bool recorded_ = false;
};

// "캔버스 크기 늘리기": the present size, the new size and the direction the
// canvas grows in (anchor 0 top-left … 4 centre … 8 bottom-right).
class CanvasSizeDialog : public QDialog {
  Q_OBJECT

 public:
  CanvasSizeDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  QSpinBox* NewWidth() const { return width_; }
  QSpinBox* NewHeight() const { return height_; }
  QLabel* CurrentSize() const { return current_; }
  QAbstractButton* AnchorButton(int anchor) const;
  int Anchor() const;
  bool Recorded() const { return recorded_; }
  void accept() override;

 private:
  CMirvDoc& doc_;
  QSpinBox *width_, *height_;
  QLabel* current_;
  QButtonGroup* anchors_;
  bool recorded_ = false;
};

// "자유회전": the rotation-angle panel "회전각지정". The angle in degrees, clockwise
// positive, typed here or set by dragging in the view, is previewed on the layer;
// OK records the step.
class FreeRotateDialog : public PreviewDialog {
  Q_OBJECT

 public:
  FreeRotateDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  ~FreeRotateDialog() override;
  // The panel of the free rotation under way, if any.
  static FreeRotateDialog* Active();
  void SetActive(bool on);
  QDoubleSpinBox* Angle() const { return angle_; }
  // Start(): the session keeps the selection mask too, which the preview reshapes
  // with the layer.
  bool Begin();
  void reject() override;

 protected:
  bool Commit() override;

 private:
  void Apply();
  QDoubleSpinBox* angle_;
};

// "레이어효과": the shadow's size, colour, the transparent shadow and removal.
class LayerEffectDialog : public PreviewDialog {
  Q_OBJECT

 public:
  // `colour`: the swatch's starting colour (the frame remembers the last one).
  LayerEffectDialog(CMirvDoc& doc, Rgbq colour, QWidget* parent = nullptr);
  QSlider* SizeSlider() const { return size_.slider; }
  QLineEdit* SizeEdit() const { return size_.edit; }
  QPushButton* Swatch() const { return swatch_; }
  QCheckBox* Transparent() const { return transparent_; }
  QCheckBox* Remove() const { return remove_; }
  Rgbq Colour() const { return colour_; }
  void SetColour(Rgbq colour);

 protected:
  bool Commit() override;

 private:
  void Apply();
  void PickColour();
  SliderRow size_;
  QPushButton* swatch_;
  QCheckBox *transparent_, *remove_;
  Rgbq colour_;
};

}  // namespace velmira
