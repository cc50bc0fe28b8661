#include "ui/dlg_adjust.h"
#include "app/language.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "image/doc.h"
#include "processing/doc_commands.h"
#include "ui/child_frame.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

// The preview session refuses a text layer with the document's own message; the
// dialogs' tests name it by this.
const char* const kMsgTextLayer = QT_TR_NOOP("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");

// ---------------------------------------------------------------- the pattern

PreviewDialog::PreviewDialog(CMirvDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc), session_(doc) {
  setModal(true);
}

bool PreviewDialog::Start() { return session_.Begin(); }

void PreviewDialog::Preview(const std::function<bool(LayerStack&, int)>& apply) {
  if (!Started()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The selection outline would be drawn over a half-made layer; it waits for
  // the preview and then runs again.
  QList<CMirvView*> paused;
  if (auto* frame = qobject_cast<CMainFrame*>(parentWidget()))
    for (CChildFrame* c : frame->FramesOf(doc_))
      if (CMirvView* v = c->View(); v && v->SelectionTimerRunning()) {
        v->StopSelectionTimer();
        paused << v;
      }
  session_.Apply(apply);
  for (CMirvView* v : paused) v->StartSelectionTimer();
  QApplication::restoreOverrideCursor();
}

void PreviewDialog::accept() {
  if (Started() && !Recorded()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    session_.CommitWith([this](CMirvDoc&) { return Commit(); });
    QApplication::restoreOverrideCursor();
  }
  QDialog::accept();
}

void PreviewDialog::reject() {
  if (Started() && !Recorded()) session_.Cancel();
  QDialog::reject();
}

namespace {

SliderRow MakeRow(QWidget* parent, int min, int max, int page, int tick, int line) {
  SliderRow r;
  r.slider = new QSlider(Qt::Horizontal, parent);
  r.slider->setRange(min, max);
  r.slider->setValue(0);
  r.slider->setPageStep(page);
  r.slider->setSingleStep(line);
  r.slider->setTickInterval(tick);
  r.slider->setTickPosition(QSlider::TicksBelow);
  r.edit = new QLineEdit(QStringLiteral("0"), parent);
  r.edit->setValidator(new QIntValidator(min, max, r.edit));
  r.edit->setMaximumWidth(48);
  QObject::connect(r.slider, &QSlider::valueChanged, r.edit, [e = r.edit](int v) {
    if (e->text() != QString::number(v)) e->setText(QString::number(v));
  });
  QObject::connect(r.edit, &QLineEdit::textEdited, r.slider, [s = r.slider](const QString& t) {
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok) s->setValue(std::clamp(v, s->minimum(), s->maximum()));
  });
  return r;
}

QDialogButtonBox* OkCancel(QDialog* d) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return box;
}

}  // namespace

// ---------------------------------------------------------------- brightness and contrast

BrightnessContrastDialog::BrightnessContrastDialog(CMirvDoc& doc, QWidget* parent) : PreviewDialog(doc, parent) {
  setWindowTitle(Tr("명도·대비 조정"));
  auto* grid = new QGridLayout(this);
  const QString scale = QStringLiteral("-255           0         +255");
  const char* names[2] = {QT_TR_NOOP("명도"), QT_TR_NOOP("대비")};
  SliderRow* rows[2] = {&brightness_, &contrast_};
  for (int i = 0; i < 2; ++i) {
    *rows[i] = MakeRow(this, -255, 255, 10, 20, 4);
    rows[i]->caption = new QLabel(scale, this);
    grid->addWidget(new QLabel(Tr(names[i]), this), i * 2, 0);
    grid->addWidget(rows[i]->caption, i * 2, 1);
    grid->addWidget(rows[i]->slider, i * 2 + 1, 0, 1, 2);
    grid->addWidget(rows[i]->edit, i * 2 + 1, 2);
    connect(rows[i]->slider, &QSlider::valueChanged, this, [this] { Apply(); });
  }
  grid->addWidget(OkCancel(this), 4, 0, 1, 3);
}

void BrightnessContrastDialog::Apply() {
  const int b = brightness_.slider->value(), c = contrast_.slider->value();
  Preview([b, c](LayerStack& L, int slot) { return AdjustBrightnessContrast(L, slot, b, c, 255); });
}

bool BrightnessContrastDialog::Commit() {
  return BrightnessContrast(Doc(), brightness_.slider->value(), contrast_.slider->value());
}

// ---------------------------------------------------------------- colour offsets

ColourDialog::ColourDialog(CMirvDoc& doc, QWidget* parent) : PreviewDialog(doc, parent) {
  setWindowTitle(Tr("RGB색상조정"));
  auto* top = new QVBoxLayout(this);
  auto* modes = new QHBoxLayout;
  rgbMode_ = new QRadioButton(QStringLiteral("RGB"), this);
  hsMode_ = new QRadioButton(QStringLiteral("HS"), this);
  rgbMode_->setChecked(true);
  modes->addWidget(rgbMode_);
  modes->addWidget(hsMode_);
  top->addLayout(modes);
  top->addWidget(new QLabel(QStringLiteral("-99          0         +99"), this));
  auto* grid = new QGridLayout;
  const char* captions[3] = {QT_TR_NOOP("빨강(R)"), QT_TR_NOOP("녹색(G)"), QT_TR_NOOP("청색(B)")};
  for (int i = 0; i < 3; ++i) {
    rows_[i] = MakeRow(this, -99, 99, 5, 10, 4);
    rows_[i].caption = new QLabel(Tr(captions[i]), this);
    grid->addWidget(rows_[i].caption, i, 0);
    grid->addWidget(rows_[i].slider, i, 1);
    grid->addWidget(rows_[i].edit, i, 2);
    connect(rows_[i].slider, &QSlider::valueChanged, this, [this] {
      if (!switching_) Apply();
    });
  }
  top->addLayout(grid);
  top->addWidget(OkCancel(this));
  connect(rgbMode_, &QRadioButton::toggled, this, [this] { SwitchMode(); });
}

void ColourDialog::SwitchMode() {
  const bool rgb = rgbMode_->isChecked();
  switching_ = true;
  for (SliderRow& r : rows_) r.slider->setValue(0);
  switching_ = false;
  rows_[0].caption->setText(Tr(rgb ? QT_TR_NOOP("빨강(R)") : QT_TR_NOOP("색상(H)")));
  rows_[1].caption->setText(Tr(rgb ? QT_TR_NOOP("녹색(G)") : QT_TR_NOOP("채도(S)")));
  rows_[2].caption->setText(Tr("파랑(B)"));
  for (QWidget* w : {static_cast<QWidget*>(rows_[2].caption), static_cast<QWidget*>(rows_[2].slider),
                     static_cast<QWidget*>(rows_[2].edit)})
    w->setVisible(rgb);
  Apply();
}

void ColourDialog::Offsets(int out[3]) const {
  // The second mode drives the same offsets: its first slider the red, its second
  // the green, blue staying put.
  const bool rgb = rgbMode_->isChecked();
  out[0] = rows_[0].slider->value();
  out[1] = rows_[1].slider->value();
  out[2] = rgb ? rows_[2].slider->value() : 0;
}

void ColourDialog::Apply() {
  int o[3];
  Offsets(o);
  Preview([o](LayerStack& L, int slot) { return OffsetChannels(L, slot, o[0], o[1], o[2]); });
}

bool ColourDialog::Commit() {
  int o[3];
  Offsets(o);
  return ChannelOffsets(Doc(), o[0], o[1], o[2]);
}

// ---------------------------------------------------------------- levels

namespace {
constexpr int kBoxLeft = 10, kBoxTop = 10, kBoxRight = 266, kBoxBottom = 130;
constexpr int kStripTop = 145, kStripBottom = 157;
}  // namespace

HistogramBox::HistogramBox(QWidget* parent) : QWidget(parent) {
  setMinimumSize(276, 175);
  setMouseTracking(false);
}

void HistogramBox::SetCounts(const int32_t* counts) {
  std::copy(counts, counts + 256, counts_);
  largest_ = *std::max_element(counts_, counts_ + 256);
  update();
}

bool HistogramBox::InStrip(const QPoint& p) {
  return p.y() >= kStripTop && p.y() <= kStripBottom && p.x() >= kBoxLeft - 4 && p.x() <= kBoxRight + 4;
}

void HistogramBox::MoveNearer(int level) {
  level = std::clamp(level, 0, 255);
  const int oldLow = low_, oldHigh = high_;
  if (std::abs(level - low_) <= std::abs(level - high_))
    low_ = level;
  else
    high_ = level;
  if (low_ >= high_) {
    low_ = oldLow;
    high_ = oldHigh;
  }
  update();
}

void HistogramBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.fillRect(QRect(QPoint(kBoxLeft, kBoxTop), QPoint(kBoxRight, kBoxBottom)), Qt::white);
  p.setPen(Qt::black);
  p.drawRect(QRect(QPoint(kBoxLeft, kBoxTop), QPoint(kBoxRight, kBoxBottom)));
  p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
  for (int x : {73, 137, 201}) p.drawLine(x, kBoxTop, x, kBoxBottom);
  // Tall channels are scaled to the box; short ones are drawn at their counts.
  const double scale = largest_ > 0 ? std::min(1.0, 119.0 / double(largest_)) : 0.0;
  p.setPen(Qt::black);
  for (int level = 0; level < 256; ++level) {
    const int h = int(double(counts_[level]) * scale);
    if (h > 0) p.drawLine(level + kBoxLeft, kBoxBottom, level + kBoxLeft, kBoxBottom - h);
  }
  p.fillRect(QRect(QPoint(kBoxLeft, kStripTop), QPoint(kBoxRight, kStripBottom)), QColor(230, 230, 230));
  for (int m : {low_, high_}) {
    const int x = m + kBoxLeft;
    const QPoint tri[3] = {{x, kStripTop}, {x - 5, kStripBottom}, {x + 5, kStripBottom}};
    p.setBrush(m == low_ ? Qt::black : Qt::white);
    p.setPen(Qt::black);
    p.drawPolygon(tri, 3);
  }
  p.setPen(Qt::black);
  p.drawText(QRect(kBoxLeft - 10, kStripBottom + 2, 20, 14), Qt::AlignCenter, QStringLiteral("0"));
  p.drawText(QRect(kBoxLeft + 127 - 15, kStripBottom + 2, 30, 14), Qt::AlignCenter, QStringLiteral("127"));
  p.drawText(QRect(kBoxLeft + 255 - 15, kStripBottom + 2, 30, 14), Qt::AlignCenter, QStringLiteral("255"));
}

void HistogramBox::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (e->button() != Qt::LeftButton || !InStrip(pos)) return;
  dragging_ = true;
  MoveNearer(pos.x() - kBoxLeft);
}

void HistogramBox::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (dragging_ && InStrip(pos)) MoveNearer(pos.x() - kBoxLeft);
}

void HistogramBox::mouseReleaseEvent(QMouseEvent* e) {
  const bool was = dragging_;
  dragging_ = false;
  if (was && e->button() == Qt::LeftButton && InStrip(e->position().toPoint())) Q_EMIT Released();
}

LevelsDialog::LevelsDialog(CMirvDoc& doc, QWidget* parent) : PreviewDialog(doc, parent) {
  setWindowTitle(Tr("픽셀분포조정"));
  const LayerStack& L = doc.Layers();
  // The histogram is that of the layer as the dialog found it; previews do not
  // move it.
  if (ComputeHistogram(L, L.active, counts_)) {
    const Layer* a = L.Active();
    ranges_ = FindLevelRanges(counts_, a ? a->width : 0, a ? a->height : 0);
  }
  auto* top = new QVBoxLayout(this);
  auto* modes = new QHBoxLayout;
  const char* names[4] = {"RGB", "R", "G", "B"};
  for (int i = 0; i < 4; ++i) {
    channels_[i] = new QRadioButton(Tr(names[i]), this);
    modes->addWidget(channels_[i]);
    connect(channels_[i], &QRadioButton::toggled, this, [this](bool on) {
      if (!on || !range_) return;  // the first check comes before the box exists
      ShowChannel();
      if (applied_) ApplyMarkers();
    });
  }
  channels_[0]->setChecked(true);
  top->addLayout(modes);
  box_ = new HistogramBox(this);
  top->addWidget(box_);
  auto* info = new QGridLayout;
  largest_ = new QLabel(this);
  range_ = new QLabel(QStringLiteral("120 ~ 255"), this);
  info->addWidget(new QLabel(Tr("최대도수"), this), 0, 0);
  info->addWidget(largest_, 0, 1);
  info->addWidget(new QLabel(Tr("명암범위"), this), 1, 0);
  info->addWidget(range_, 1, 1);
  top->addLayout(info);
  top->addWidget(OkCancel(this));
  connect(box_, &HistogramBox::Released, this, [this] { ApplyMarkers(); });
  ShowChannel();
}

int LevelsDialog::SelectedChannel() const {
  for (int i = 0; i < 4; ++i)
    if (channels_[i]->isChecked()) return i;
  return 0;
}

void LevelsDialog::ShowChannel() {
  const int ch = SelectedChannel();
  box_->SetCounts(counts_[ch]);
  largest_->setText(QString::number(*std::max_element(counts_[ch], counts_[ch] + 256)));
  range_->setText(QStringLiteral("%1 ~ %2").arg(ranges_.low[ch]).arg(ranges_.high[ch]));
}

void LevelsDialog::ApplyMarkers() {
  const int ch = SelectedChannel(), lo = box_->Low(), hi = box_->High();
  applied_ = true;
  Preview([ch, lo, hi](LayerStack& L, int slot) { return StretchLevels(L, slot, ch, lo, hi); });
}

bool LevelsDialog::Commit() { return Levels(Doc(), SelectedChannel(), box_->Low(), box_->High()); }

}  // namespace velmira
