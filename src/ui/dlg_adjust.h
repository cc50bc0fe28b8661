// The tone and colour dialogs: brightness/contrast, colour offsets (RGB and the
// hue/saturation mode) and levels with its histogram box. They share one pattern
// (PreviewDialog): the active layer is kept in the document's first backup when the
// dialog opens, every change restores it from there and applies the current values
// as a live preview, OK hands the values to the document command (one step with its
// label) and Cancel puts the backup back.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

#include "image/layers.h"
#include "image/preview_session.h"
#include "processing/adjust.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace velmira {

class CMirvDoc;

// The refusal every layer-editing dialog shows for a text layer.
extern const char* const kMsgTextLayer;

class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  PreviewDialog(CMirvDoc& doc, QWidget* parent);
  // Begins the document's preview session: refuses a text layer (with its message)
  // and keeps the active layer. False: nothing was kept, the dialog must not be shown.
  bool Start();
  bool Started() const { return session_.Begun(); }
  // True once OK recorded the step.
  bool Recorded() const { return session_.Committed(); }
  CMirvDoc& Doc() { return doc_; }

  void accept() override;
  void reject() override;

 protected:
  // The kept layer with `apply` run on it (none: the kept layer); the views redraw.
  void Preview(const std::function<bool(LayerStack&, int slot)>& apply);
  // The document command with the current values; true when a step was recorded.
  virtual bool Commit() = 0;

 private:
  CMirvDoc& doc_;
  PreviewSession session_;
};

// A slider with its edit box: typing a value moves the slider, moving the slider
// rewrites the box.
struct SliderRow {
  QSlider* slider = nullptr;
  QLineEdit* edit = nullptr;
  QLabel* caption = nullptr;
};

class BrightnessContrastDialog : public PreviewDialog {
  Q_OBJECT

 public:
  BrightnessContrastDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  QSlider* BrightnessSlider() const { return brightness_.slider; }
  QSlider* ContrastSlider() const { return contrast_.slider; }
  QLineEdit* BrightnessEdit() const { return brightness_.edit; }
  QLineEdit* ContrastEdit() const { return contrast_.edit; }

 protected:
  bool Commit() override;

 private:
  void Apply();
  SliderRow brightness_, contrast_;
};

class ColourDialog : public PreviewDialog {
  Q_OBJECT

 public:
  ColourDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  QSlider* Slider(int i) const { return rows_[i].slider; }
  QLineEdit* Edit(int i) const { return rows_[i].edit; }
  QLabel* Caption(int i) const { return rows_[i].caption; }
  QRadioButton* RgbMode() const { return rgbMode_; }
  QRadioButton* HsMode() const { return hsMode_; }
  // The offsets the current values give: red, green, blue.
  void Offsets(int out[3]) const;

 protected:
  bool Commit() override;

 private:
  void Apply();
  void SwitchMode();
  SliderRow rows_[3];
  QRadioButton* rgbMode_ = nullptr;
  QRadioButton* hsMode_ = nullptr;
  bool switching_ = false;
};

// The histogram box with the low and high markers below it.
class HistogramBox : public QWidget {
  Q_OBJECT

 public:
  explicit HistogramBox(QWidget* parent = nullptr);
  void SetCounts(const int32_t* counts);  // 256 counts of the channel shown
  int Low() const { return low_; }
  int High() const { return high_; }
  // Moves the nearer marker to a level; kept only while low stays below high.
  void MoveNearer(int level);
  QSize sizeHint() const override { return {276, 190}; }

 Q_SIGNALS:
  void Released();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  static bool InStrip(const QPoint& p);
  int32_t counts_[256] = {};
  int32_t largest_ = 0;
  int low_ = 0, high_ = 255;
  bool dragging_ = false;
};

class LevelsDialog : public PreviewDialog {
  Q_OBJECT

 public:
  LevelsDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  HistogramBox* Box() const { return box_; }
  QRadioButton* Channel(int i) const { return channels_[i]; }
  int SelectedChannel() const;
  QLabel* LargestLabel() const { return largest_; }
  QLabel* RangeLabel() const { return range_; }
  // Applies the stretch with the selected channel and the markers (what releasing
  // the mouse in the strip does).
  void ApplyMarkers();

 protected:
  bool Commit() override;

 private:
  void ShowChannel();
  HistogramTables counts_ = {};
  LevelRanges ranges_ = {};
  HistogramBox* box_ = nullptr;
  QRadioButton* channels_[4] = {};
  QLabel* largest_ = nullptr;
  QLabel* range_ = nullptr;
  bool applied_ = false;
};

}  // namespace velmira
