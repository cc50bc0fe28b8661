#include "ui/dlg_transform.h"
#include "app/language.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "image/doc.h"
#include "processing/effects.h"
#include "processing/transform.h"
#include "processing/transform_commands.h"
#include "ui/qt_colour.h"

namespace velmira {

namespace {

constexpr int kMaxSide = 30000;
constexpr int kMaxPercent = 1000;

QDialogButtonBox* OkCancel(QDialog* d) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return box;
}

QSpinBox* Spin(QWidget* parent, int min, int max, int value) {
  auto* s = new QSpinBox(parent);
  s->setRange(min, max);
  s->setValue(value);
  return s;
}

int Percent(int pixels, int old) { return std::max(1, int(std::lround(double(pixels) * 100.0 / double(old)))); }
// The same rounding the percent command uses, so both ways give one picture size.
int FromPercent(int percent, int old) { return std::max(1, int(int64_t(old) * percent / 100)); }

}  // namespace

// ---------------------------------------------------------------- resize

ResizeDialog::ResizeDialog(CMirvDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(Tr("그림크기조정"));
  oldW_ = std::max(1, doc.Layers().header.canvasWidth);
  oldH_ = std::max(1, doc.Layers().header.canvasHeight);
  pixelW_ = Spin(this, 1, kMaxSide, oldW_);
  pixelH_ = Spin(this, 1, kMaxSide, oldH_);
  percentW_ = Spin(this, 1, kMaxPercent, 100);
  percentH_ = Spin(this, 1, kMaxPercent, 100);
  keepRatio_ = new QCheckBox(Tr("비율 유지"), this);
  keepRatio_->setChecked(true);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Tr("픽셀"), this), 0, 1);
  grid->addWidget(new QLabel(Tr("퍼센트"), this), 0, 2);
  grid->addWidget(new QLabel(Tr("너비"), this), 1, 0);
  grid->addWidget(pixelW_, 1, 1);
  grid->addWidget(percentW_, 1, 2);
  grid->addWidget(new QLabel(Tr("높이"), this), 2, 0);
  grid->addWidget(pixelH_, 2, 1);
  grid->addWidget(percentH_, 2, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(keepRatio_);
  layout->addWidget(OkCancel(this));
  connect(pixelW_, &QSpinBox::valueChanged, this, [this] { PixelsChanged(true); });
  connect(pixelH_, &QSpinBox::valueChanged, this, [this] { PixelsChanged(false); });
  connect(percentW_, &QSpinBox::valueChanged, this, [this] { PercentChanged(true); });
  connect(percentH_, &QSpinBox::valueChanged, this, [this] { PercentChanged(false); });
}

void ResizeDialog::PixelsChanged(bool width) {
  if (syncing_) return;
  syncing_ = true;
  QSpinBox* px = width ? pixelW_ : pixelH_;
  const int old = width ? oldW_ : oldH_;
  (width ? percentW_ : percentH_)->setValue(Percent(px->value(), old));
  if (keepRatio_->isChecked()) {
    QSpinBox* other = width ? pixelH_ : pixelW_;
    const int otherOld = width ? oldH_ : oldW_;
    const int v = std::clamp(int(std::lround(double(px->value()) * otherOld / old)), 1, kMaxSide);
    other->setValue(v);
    (width ? percentH_ : percentW_)->setValue(Percent(v, otherOld));
  }
  syncing_ = false;
}

void ResizeDialog::PercentChanged(bool width) {
  if (syncing_) return;
  syncing_ = true;
  const int p = (width ? percentW_ : percentH_)->value();
  (width ? pixelW_ : pixelH_)->setValue(std::min(kMaxSide, FromPercent(p, width ? oldW_ : oldH_)));
  if (keepRatio_->isChecked()) {
    (width ? percentH_ : percentW_)->setValue(p);
    (width ? pixelH_ : pixelW_)->setValue(std::min(kMaxSide, FromPercent(p, width ? oldH_ : oldW_)));
  }
  syncing_ = false;
}

void ResizeDialog::accept() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // An unchanged size records nothing; the dialog still closes.
  recorded_ = ResizePicture(doc_, pixelW_->value(), pixelH_->value());
  QApplication::restoreOverrideCursor();
  QDialog::accept();
}

// ---------------------------------------------------------------- canvas size

CanvasSizeDialog::CanvasSizeDialog(CMirvDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(Tr("캔버스 크기 늘리기"));
  const int w = doc.Layers().header.canvasWidth, h = doc.Layers().header.canvasHeight;
  current_ = new QLabel(QStringLiteral("%1 × %2").arg(w).arg(h), this);
  width_ = Spin(this, 1, kMaxSide, w);
  height_ = Spin(this, 1, kMaxSide, h);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Tr("현재크기"), this), 0, 0);
  grid->addWidget(current_, 0, 1);
  grid->addWidget(new QLabel(Tr("너비"), this), 1, 0);
  grid->addWidget(width_, 1, 1);
  grid->addWidget(new QLabel(Tr("픽셀"), this), 1, 2);
  grid->addWidget(new QLabel(Tr("높이"), this), 2, 0);
  grid->addWidget(height_, 2, 1);
  grid->addWidget(new QLabel(Tr("픽셀"), this), 2, 2);
  auto* box = new QGroupBox(Tr("확장방향"), this);
  auto* cells = new QGridLayout(box);
  anchors_ = new QButtonGroup(this);
  anchors_->setExclusive(true);
  // The arrows point where the canvas grows; the centre keeps the picture in the middle.
  static const char* const kArrows[9] = {"↖", "↑", "↗", "←", "●", "→", "↙", "↓", "↘"};
  for (int a = 0; a < 9; ++a) {
    auto* b = new QToolButton(box);
    b->setCheckable(true);
    b->setText(Tr(kArrows[a]));
    b->setFixedSize(28, 28);
    anchors_->addButton(b, a);
    cells->addWidget(b, a / 3, a % 3);
  }
  anchors_->button(4)->setChecked(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(box);
  layout->addWidget(OkCancel(this));
}

QAbstractButton* CanvasSizeDialog::AnchorButton(int anchor) const { return anchors_->button(anchor); }
int CanvasSizeDialog::Anchor() const { return std::max(0, anchors_->checkedId()); }

void CanvasSizeDialog::accept() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  recorded_ = CanvasSize(doc_, width_->value(), height_->value(), Anchor());
  QApplication::restoreOverrideCursor();
  QDialog::accept();
}

// ---------------------------------------------------------------- free rotation

namespace {
FreeRotateDialog*& ActiveRotation() {
  static FreeRotateDialog* d = nullptr;
  return d;
}
}  // namespace

FreeRotateDialog* FreeRotateDialog::Active() { return ActiveRotation(); }
void FreeRotateDialog::SetActive(bool on) {
  if (on)
    ActiveRotation() = this;
  else if (ActiveRotation() == this)
    ActiveRotation() = nullptr;
}

FreeRotateDialog::~FreeRotateDialog() {
  if (ActiveRotation() == this) ActiveRotation() = nullptr;
}

FreeRotateDialog::FreeRotateDialog(CMirvDoc& doc, QWidget* parent) : PreviewDialog(doc, parent) {
  setWindowTitle(Tr("회전각지정"));
  angle_ = new QDoubleSpinBox(this);
  angle_->setRange(-360.0, 360.0);
  angle_->setDecimals(1);
  angle_->setSingleStep(1.0);
  angle_->setValue(0.0);
  auto* row = new QHBoxLayout;
  row->addWidget(angle_);
  row->addWidget(new QLabel(QStringLiteral("°"), this));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(OkCancel(this));
  connect(angle_, &QDoubleSpinBox::valueChanged, this, [this] { Apply(); });
}

// The preview session keeps the selection mask with the layer, so a cancelled turn
// puts the selection back as well.
bool FreeRotateDialog::Begin() { return Start(); }

void FreeRotateDialog::Apply() {
  const float degrees = float(angle_->value());
  if (degrees == 0.0f) {
    Preview({});
    return;
  }
  // The preview runs the command's own turn of the layer, so the two cannot drift.
  Preview([degrees](LayerStack& st, int slot) { return RotateLayerFreely(st, slot, degrees); });
}

bool FreeRotateDialog::Commit() {
  const float degrees = float(angle_->value());
  return degrees != 0.0f && FreeRotate(Doc(), degrees);
}

void FreeRotateDialog::reject() { PreviewDialog::reject(); }

// ---------------------------------------------------------------- layer effect

LayerEffectDialog::LayerEffectDialog(CMirvDoc& doc, Rgbq colour, QWidget* parent)
    : PreviewDialog(doc, parent), colour_(colour & 0xFFFFFF) {
  setWindowTitle(Tr("레이어효과"));
  resize(245, 175);
  const Layer* a = doc.Layers().Active();
  // A layer without a shadow starts from a size that shows one.
  int start = a && a->effectOn ? a->effectSize : 3;
  if (start == 0) start = 1;
  if (a && a->effectOn) colour_ = Rgbq(a->effectColour) & 0xFFFFFF;

  size_.slider = new QSlider(Qt::Horizontal, this);
  size_.slider->setRange(0, kMaxEffectSize);
  size_.slider->setPageStep(5);
  size_.slider->setSingleStep(4);
  size_.slider->setTickInterval(1);
  size_.slider->setTickPosition(QSlider::TicksBelow);
  size_.slider->setValue(start);
  size_.edit = new QLineEdit(QString::number(start), this);
  size_.edit->setValidator(new QIntValidator(0, kMaxEffectSize, size_.edit));
  size_.edit->setMaximumWidth(48);
  auto* scale = new QLabel(QStringLiteral("0 2 4 6 8 10"), this);
  swatch_ = new QPushButton(this);
  swatch_->setFixedSize(40, 22);
  transparent_ = new QCheckBox(Tr("투명그림자 효과"), this);
  transparent_->setChecked(a && a->effectOn && a->transparentShadow);
  remove_ = new QCheckBox(Tr("레이어 효과 제거"), this);
  SetColour(colour_);

  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(size_.edit);
  sizeRow->addWidget(size_.slider);
  sizeRow->addWidget(swatch_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(sizeRow);
  layout->addWidget(scale);
  layout->addWidget(transparent_);
  layout->addWidget(remove_);
  layout->addWidget(OkCancel(this));

  connect(size_.slider, &QSlider::valueChanged, this, [this](int v) {
    if (size_.edit->text() != QString::number(v)) size_.edit->setText(QString::number(v));
    Apply();
  });
  connect(size_.edit, &QLineEdit::textEdited, this, [this](const QString& t) {
    bool ok = false;
    const int v = t.toInt(&ok);
    if (ok) size_.slider->setValue(std::clamp(v, 0, kMaxEffectSize));
  });
  connect(transparent_, &QCheckBox::toggled, this, [this] { Apply(); });
  connect(remove_, &QCheckBox::toggled, this, [this] { Apply(); });
  connect(swatch_, &QPushButton::clicked, this, [this] { PickColour(); });
}

void LayerEffectDialog::SetColour(Rgbq colour) {
  colour_ = colour & 0xFFFFFF;
  swatch_->setStyleSheet(QStringLiteral("background-color: #%1;").arg(uint(colour_), 6, 16, QLatin1Char('0')));
  Apply();
}

void LayerEffectDialog::PickColour() {
  const QColor c = QColorDialog::getColor(ToQColor(colour_), this,
                                          Tr("레이어 효과색"));
  if (c.isValid()) SetColour(MakeRgbq(c.red(), c.green(), c.blue()));
}

void LayerEffectDialog::Apply() {
  if (!Started()) return;
  const bool remove = remove_->isChecked();
  const int size = std::clamp(size_.slider->value(), 0, kMaxEffectSize);
  const Rgbq colour = colour_;
  const bool transparent = transparent_->isChecked();
  // The command's own change: the colour is masked the same way in both.
  Preview([=](LayerStack& st, int slot) { return SetLayerEffect(st, slot, remove, size, colour, transparent); });
}

bool LayerEffectDialog::Commit() {
  return ApplyLayerEffect(Doc(), remove_->isChecked(), size_.slider->value(), colour_, transparent_->isChecked());
}

}  // namespace velmira
