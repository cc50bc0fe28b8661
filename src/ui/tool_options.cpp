#include "ui/tool_options.h"
#include "app/language.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace velmira {

ToolOptionBar::ToolOptionBar(FrameState& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 0, 4, 0);
  heading_ = new QLabel(Tr("값지정"), this);
  row->addWidget(heading_);
  for (int i = 0; i < 2; ++i) {
    labels_[i] = new QLabel(this);
    labels_[i]->setMinimumWidth(48);
    sliders_[i] = new QSlider(Qt::Horizontal, this);
    sliders_[i]->setRange(0, 100);
    sliders_[i]->setFixedWidth(110);
    sliders_[i]->setEnabled(false);
    boxes_[i] = new QLineEdit(this);
    boxes_[i]->setFixedWidth(44);
    boxes_[i]->setEnabled(false);
    boxes_[i]->setText(QStringLiteral("0"));
    row->addWidget(labels_[i]);
    row->addWidget(sliders_[i]);
    row->addWidget(boxes_[i]);
    connect(sliders_[i], &QSlider::valueChanged, this, [this, i](int v) { OnSlider(i, v); });
    connect(boxes_[i], &QLineEdit::editingFinished, this, [this, i] { OnTyped(i); });
  }
  sliders_[0]->setObjectName(QStringLiteral("toolSlider1"));
  sliders_[1]->setObjectName(QStringLiteral("toolSlider2"));
  boxes_[0]->setObjectName(QStringLiteral("toolValue1"));
  boxes_[1]->setObjectName(QStringLiteral("toolValue2"));
}

QString ToolOptionBar::BorderSpreadLabel() { return Tr("경계퍼짐"); }

QSlider* ToolOptionBar::Slider(int which) const { return sliders_[which == 2 ? 1 : 0]; }
QLineEdit* ToolOptionBar::ValueBox(int which) const { return boxes_[which == 2 ? 1 : 0]; }
QLabel* ToolOptionBar::Label(int which) const { return labels_[which == 2 ? 1 : 0]; }

void ToolOptionBar::SetupSlider1(bool enabled, const QString& label, int value, int minimum, int maximum) {
  labels_[0]->setText(label);
  sliders_[0]->setEnabled(enabled);
  boxes_[0]->setEnabled(enabled);
  {
    const QSignalBlocker block(sliders_[0]);
    sliders_[0]->setRange(minimum, maximum < minimum ? minimum : maximum);
    sliders_[0]->setValue(value);
  }
  OnSlider(0, sliders_[0]->value());
}

void ToolOptionBar::SetupSlider2(bool enabled, const QString& label, int value, int minimum, int maximum) {
  labels_[1]->setText(label);
  sliders_[1]->setEnabled(enabled);
  boxes_[1]->setEnabled(enabled);
  {
    const QSignalBlocker block(sliders_[1]);
    sliders_[1]->setRange(minimum, maximum < minimum ? minimum : maximum);
    sliders_[1]->setValue(value);
  }
  OnSlider(1, sliders_[1]->value());
}

void ToolOptionBar::OnSlider(int which, int value) {
  boxes_[which]->setText(QString::number(value));
  if (which == 0) {
    frame_.option1 = value;
    if (labels_[0]->text() == BorderSpreadLabel()) frame_.borderSpread = value;
  } else {
    frame_.option2 = value;
    if (labels_[1]->text() == BorderSpreadLabel()) frame_.borderSpread = value;
  }
}

// A typed value above the maximum becomes the maximum, and the box says so; text
// that is not a number changes nothing and the box shows the slider's value again.
void ToolOptionBar::OnTyped(int which) {
  bool ok = false;
  int v = boxes_[which]->text().trimmed().toInt(&ok);
  QSlider* s = sliders_[which];
  if (!ok) {
    boxes_[which]->setText(QString::number(s->value()));
    return;
  }
  if (v > s->maximum()) v = s->maximum();
  if (v < s->minimum()) v = s->minimum();
  if (v == s->value())
    OnSlider(which, v);
  else
    s->setValue(v);
}

}  // namespace velmira
