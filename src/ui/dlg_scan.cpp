#include "ui/dlg_scan.h"
#include "app/language.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velmira {

namespace {

// Korean names for the usual SANE modes and sources; anything else shows as the
// device names it.
QString ModeText(const std::string& m) {
  if (m == "Color") return Tr("컬러");
  if (m == "Gray") return Tr("회색조");
  if (m == "Lineart") return Tr("흑백");
  return QString::fromStdString(m);
}

QString SourceText(const std::string& s) {
  if (s == "Flatbed") return Tr("평판");
  if (s == "Automatic Document Feeder" || s == "ADF") return Tr("자동 급지(ADF)");
  return QString::fromStdString(s);
}

QComboBox* Choices(QWidget* parent, const std::vector<std::string>& values, const std::string& current,
                   QString (*text)(const std::string&)) {
  auto* box = new QComboBox(parent);
  for (const std::string& v : values) box->addItem(text(v), QString::fromStdString(v));
  const int at = box->findData(QString::fromStdString(current));
  if (at >= 0) box->setCurrentIndex(at);
  return box;
}

// A scanned grey or colour picture as a QImage (the preview only).
QImage ToQImage(const CImageBuffer& image) {
  QImage out(image.Width(), image.Height(), QImage::Format_RGB32);
  for (int y = 0; y < image.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(image.Height() - 1 - y));
    for (int x = 0; x < image.Width(); ++x) {
      const Rgbq c = image.ReadColor(x, y);
      line[x] = qRgb(RgbqR(c), RgbqG(c), RgbqB(c));
    }
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------- the device list

CDlg_ScanSource::CDlg_ScanSource(const std::vector<online::ScanDevice>& devices, const std::string& proposal,
                                 QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("CDlg_ScanSource"));
  setWindowTitle(Tr("외부장치 선택"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(Tr("영상을 읽어들일 스캐너나 카메라를 고르십시오."), this));
  list_ = new QListWidget(this);
  for (const online::ScanDevice& d : devices) {
    auto* item = new QListWidgetItem(
        QStringLiteral("%1  —  %2").arg(QString::fromStdString(d.Describe()), QString::fromStdString(d.name)), list_);
    item->setData(Qt::UserRole, QString::fromStdString(d.name));
    if (d.name == proposal) list_->setCurrentItem(item);
  }
  if (!list_->currentItem() && list_->count() > 0) list_->setCurrentRow(0);
  column->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("선택"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("취소"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  column->addWidget(buttons);
  resize(420, 260);
}

std::string CDlg_ScanSource::Chosen() const {
  const QListWidgetItem* item = list_->currentItem();
  return item ? item->data(Qt::UserRole).toString().toStdString() : std::string();
}

// ---------------------------------------------------------------- the scan settings

CDlg_Acquire::CDlg_Acquire(const std::string& deviceName, const online::ScanCapabilities& caps, PreviewScan preview,
                           QWidget* parent)
    : QDialog(parent), caps_(caps), previewScan_(std::move(preview)) {
  setObjectName(QStringLiteral("CDlg_Acquire"));
  setWindowTitle(Tr("외부영상 입력 - %1").arg(QString::fromStdString(deviceName)));
  auto* row = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  row->addLayout(left);

  auto* form = new QFormLayout;
  left->addLayout(form);
  if (!caps.sources.empty()) {
    source_ = Choices(this, caps.sources, caps.source, SourceText);
    form->addRow(Tr("급지"), source_);
  }
  if (!caps.modes.empty()) {
    mode_ = Choices(this, caps.modes, caps.mode, ModeText);
    form->addRow(Tr("색상"), mode_);
  }
  if (!caps.resolutions.empty()) {
    resolutionList_ = new QComboBox(this);
    for (int r : caps.resolutions) resolutionList_->addItem(QString::number(r), r);
    const int at = resolutionList_->findData(caps.resolution);
    if (at >= 0) resolutionList_->setCurrentIndex(at);
    form->addRow(Tr("해상도(dpi)"), resolutionList_);
  } else if (caps.resolution > 0 && caps.resolutionMax >= caps.resolutionMin) {
    resolutionBox_ = new QSpinBox(this);
    resolutionBox_->setRange(std::max(1, caps.resolutionMin), std::max(1, caps.resolutionMax));
    resolutionBox_->setSingleStep(std::max(1, caps.resolutionStep));
    resolutionBox_->setValue(caps.resolution);
    form->addRow(Tr("해상도(dpi)"), resolutionBox_);
  }

  if (caps.hasArea) {
    auto* box = new QGroupBox(caps.areaInPixels ? Tr("읽을 영역(픽셀)")
                                                : Tr("읽을 영역(mm)"),
                              this);
    auto* grid = new QGridLayout(box);
    const char* const names[4] = {QT_TR_NOOP("왼쪽"), QT_TR_NOOP("위"), QT_TR_NOOP("오른쪽"), QT_TR_NOOP("아래")};
    for (int k = 0; k < 4; ++k) {
      area_[k] = new QDoubleSpinBox(box);
      area_[k]->setDecimals(1);
      area_[k]->setRange(caps.areaMin[k], caps.areaMax[k]);
      area_[k]->setValue(caps.area[k]);
      grid->addWidget(new QLabel(Tr(names[k]), box), k / 2, (k % 2) * 2);
      grid->addWidget(area_[k], k / 2, (k % 2) * 2 + 1);
    }
    auto* whole = new QPushButton(Tr("전체 영역"), box);
    connect(whole, &QPushButton::clicked, this, [this] {
      area_[0]->setValue(caps_.areaMin[0]);
      area_[1]->setValue(caps_.areaMin[1]);
      area_[2]->setValue(caps_.areaMax[2]);
      area_[3]->setValue(caps_.areaMax[3]);
    });
    grid->addWidget(whole, 2, 0, 1, 4);
    left->addWidget(box);
  }
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  row->addLayout(right);
  preview_ = new QLabel(this);
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setFixedSize(220, 280);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setFrameShape(QFrame::StyledPanel);
  preview_->setText(caps.hasPreview ? QString() : Tr("미리보기 없음"));
  right->addWidget(preview_);
  previewButton_ = new QPushButton(Tr("미리보기"), this);
  previewButton_->setEnabled(caps.hasPreview && previewScan_ != nullptr);
  connect(previewButton_, &QPushButton::clicked, this, &CDlg_Acquire::RunPreview);
  right->addWidget(previewButton_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("읽어들이기"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("취소"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  right->addWidget(buttons);
}

online::ScanSettings CDlg_Acquire::Settings() const {
  online::ScanSettings s;
  if (source_) s.source = source_->currentData().toString().toStdString();
  if (mode_) s.mode = mode_->currentData().toString().toStdString();
  if (resolutionList_) s.resolution = resolutionList_->currentData().toInt();
  if (resolutionBox_) s.resolution = resolutionBox_->value();
  if (area_[0]) {
    s.setArea = true;
    for (int k = 0; k < 4; ++k) s.area[k] = area_[k]->value();
  }
  return s;
}

void CDlg_Acquire::RunPreview() {
  if (!previewScan_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  online::ScanSettings s = Settings();
  // The preview covers the whole bed so that the area can be chosen on it.
  s.setArea = false;
  std::unique_ptr<CImageBuffer> image = previewScan_(s);
  QApplication::restoreOverrideCursor();
  if (!image) {
    preview_->setText(Tr("미리보기를 읽을 수 없습니다."));
    return;
  }
  preview_->setPixmap(QPixmap::fromImage(ToQImage(*image).scaled(preview_->size(), Qt::KeepAspectRatio,
                                                                   Qt::SmoothTransformation)));
}

}  // namespace velmira
