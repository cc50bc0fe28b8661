// The tool-option area of the command bar: two sliders, each with a label and a
// value box, under the heading "값지정". A tool sets them up when it is chosen; the
// values land in the program-wide tool state.
#pragma once

#include <QWidget>

#include "image/frame_state.h"

class QLabel;
class QLineEdit;
class QSlider;

namespace velmira {

class ToolOptionBar : public QWidget {
  Q_OBJECT

 public:
  ToolOptionBar(FrameState& frame, QWidget* parent = nullptr);

  // Slider 1 takes a range too; slider 2 keeps its own (0…100) unless given one.
  void SetupSlider1(bool enabled, const QString& label, int value, int minimum, int maximum);
  void SetupSlider2(bool enabled, const QString& label, int value, int minimum = 0, int maximum = 100);

  QSlider* Slider(int which) const;
  QLineEdit* ValueBox(int which) const;
  QLabel* Label(int which) const;
  QLabel* Heading() const { return heading_; }

  // The label that makes a slider drive the border spread as well.
  static QString BorderSpreadLabel();

 private:
  void OnSlider(int which, int value);
  void OnTyped(int which);

  FrameState& frame_;
  QLabel* heading_;
  QLabel* labels_[2];
  QSlider* sliders_[2];
  QLineEdit* boxes_[2];
};

}  // namespace velmira
