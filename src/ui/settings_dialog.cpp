#include "ui/settings_dialog.h"


#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/language.h"
#include "app/settings_file.h"
#include "ui/main_frame.h"
#include "ui/qt_colour.h"
#include "ui/update_check.h"

namespace velmira {

namespace {

constexpr const char* kTitle = QT_TR_NOOP("환경설정");
constexpr const char* kPickColour = QT_TR_NOOP("컬러지정");
constexpr const char* kRestartNote = QT_TR_NOOP("※프로그램을 재시작하면 적용됩니다.");


// Labels of the cursor styles and hatch patterns in the order of their values.
const char* const kCursorLabels[] = {QT_TR_NOOP("십자형"), QT_TR_NOOP("화살표"), QT_TR_NOOP("위쪽 화살표"), QT_TR_NOOP("점"), QT_TR_NOOP("글자 커서")};
const char* const kHatchLabels[] = {QT_TR_NOOP("가로줄"), QT_TR_NOOP("세로줄"), QT_TR_NOOP("사선(\\)"), QT_TR_NOOP("사선(/)"), QT_TR_NOOP("격자"), QT_TR_NOOP("사선 격자")};

QButtonGroup* RadioColumn(QWidget* parent, QVBoxLayout* into, const char* const* labels, int count, int checked) {
  auto* group = new QButtonGroup(parent);
  for (int i = 0; i < count; ++i) {
    auto* r = new QRadioButton(Tr(labels[i]), parent);
    group->addButton(r, i);
    into->addWidget(r);
  }
  if (QAbstractButton* b = group->button(std::clamp(checked, 0, count - 1))) b->setChecked(true);
  return group;
}

}  // namespace

SettingsDialog::SettingsDialog(CMainFrame& frame, QWidget* parent)
    : QDialog(parent ? parent : &frame), frame_(frame) {
  setWindowTitle(Tr(kTitle));
  const FrameState& fs = frame_.Frame();
  const SettingsRecord& rec = frame_.Settings();
  for (int i = 0; i < 3; ++i) colours_[i] = ToQColor(fs.displayColours[i]);
  picker_ = [this](const QColor& initial) -> std::optional<QColor> {
    const QColor c = QColorDialog::getColor(initial, this, Tr(kPickColour));
    if (!c.isValid()) return std::nullopt;
    return c;
  };

  auto* column = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  column->addWidget(tabs_);

  // Cursor and the hatch behind the picture.
  auto* cursorPage = new QWidget(tabs_);
  auto* cursorRow = new QHBoxLayout(cursorPage);
  auto* cursorBox = new QGroupBox(Tr("커서"), cursorPage);
  auto* cursorColumn = new QVBoxLayout(cursorBox);
  cursor_ = RadioColumn(cursorBox, cursorColumn, kCursorLabels, 5, fs.cursorStyle);
  auto* hatchBox = new QGroupBox(Tr("무늬"), cursorPage);
  auto* hatchColumn = new QVBoxLayout(hatchBox);
  hatch_ = RadioColumn(hatchBox, hatchColumn, kHatchLabels, 6, fs.hatchStyle);
  cursorRow->addWidget(cursorBox);
  cursorRow->addWidget(hatchBox);
  tabs_->addTab(cursorPage, Tr("커서/선택"));

  // Selection and path display.
  auto* selectPage = new QWidget(tabs_);
  auto* selectForm = new QFormLayout(selectPage);
  selectForm->addRow(Tr("선택영역"), MakeColourButton(selectPage, 1));
  selectForm->addRow(Tr("경로"), MakeColourButton(selectPage, 2));
  tone_ = new QCheckBox(Tr("선택영역을 다른 톤으로 구별하여 나타내기"), selectPage);
  tone_->setChecked(fs.showSelectionTone);
  selectForm->addRow(tone_);
  tabs_->addTab(selectPage, Tr("선택/경로"));

  // Grid.
  auto* gridPage = new QWidget(tabs_);
  auto* gridForm = new QFormLayout(gridPage);
  gridOn_ = new QCheckBox(Tr("격자보기"), gridPage);
  gridOn_->setChecked(fs.gridSpacing > 0);
  spacing_ = new QSpinBox(gridPage);
  spacing_->setRange(4, 4096);
  spacing_->setValue(std::clamp(std::abs(fs.gridSpacing), 4, 4096));
  gridForm->addRow(gridOn_);
  gridForm->addRow(Tr("격자간격"), spacing_);
  gridForm->addRow(Tr("격자"), MakeColourButton(gridPage, 0));
  tabs_->addTab(gridPage, Tr("격자표시"));

  // Start-up and the painting parameters.
  auto* otherPage = new QWidget(tabs_);
  auto* otherColumn = new QVBoxLayout(otherPage);
  update_ = new QCheckBox(Tr("업데이트 여부를 시작시에 인터넷으로 점검함"), otherPage);
  update_->setChecked(rec.updateCheck == 1);
  openAtStart_ = new QCheckBox(Tr("프로그램 시작시 이미지 열기 창 보임"), otherPage);
  openAtStart_->setChecked(rec.openAtStart == 1);
  reset_ = new QCheckBox(Tr("파라메터 초기화(전경· 배경색,붓굵기, 안개 ···)"), otherPage);
  otherColumn->addWidget(update_);
  // Where the update file lives; VELMIRA_UPDATE_URL, when set, is used instead.
  auto* addressRow = new QHBoxLayout;
  addressRow->addSpacing(20);
  addressRow->addWidget(new QLabel(Tr("업데이트 주소"), otherPage));
  updateUrl_ = new QLineEdit(UpdateBaseSetting(frame_), otherPage);
  updateUrl_->setPlaceholderText(QStringLiteral("https://…/"));
  updateUrl_->setEnabled(update_->isChecked());
  connect(update_, &QCheckBox::toggled, updateUrl_, &QWidget::setEnabled);
  addressRow->addWidget(updateUrl_, 1);
  otherColumn->addLayout(addressRow);
  otherColumn->addWidget(openAtStart_);
  otherColumn->addWidget(reset_);
  // The language: each one named in its own language, as a user looking for theirs
  // expects to find it.
  auto* languageRow = new QHBoxLayout;
  languageRow->addWidget(new QLabel(Tr("언어 (Language)"), otherPage));
  language_ = new QComboBox(otherPage);
  language_->setObjectName(QStringLiteral("language"));
  language_->addItem(Tr("시스템 설정에 따름"));
  language_->addItem(QStringLiteral("한국어"));
  language_->addItem(QStringLiteral("English"));
  language_->addItem(QStringLiteral("日本語"));
  language_->setCurrentIndex(int(ReadLanguageFile(frame_.DataFolder() / kLanguageFileName)));
  languageRow->addWidget(language_, 1);
  otherColumn->addLayout(languageRow);
  otherColumn->addWidget(new QLabel(Tr("※언어는 프로그램을 다시 시작하면 바뀝니다."), otherPage));
  otherColumn->addWidget(new QLabel(Tr(kRestartNote), otherPage));
  otherColumn->addStretch(1);
  tabs_->addTab(otherPage, Tr("기 타"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QPushButton* SettingsDialog::MakeColourButton(QWidget* parent, int which) {
  auto* b = new QPushButton(Tr(kPickColour), parent);
  colourButtons_[which] = b;
  connect(b, &QPushButton::clicked, this, [this, which] {
    if (std::optional<QColor> c = picker_(colours_[which])) {
      colours_[which] = *c;
      ShowColour(which);
    }
  });
  ShowColour(which);
  return b;
}

void SettingsDialog::ShowColour(int which) {
  QPixmap swatch(16, 16);
  swatch.fill(colours_[which]);
  colourButtons_[which]->setIcon(QIcon(swatch));
}

void SettingsDialog::Apply() {
  FrameState& fs = frame_.Frame();
  SettingsRecord& rec = frame_.Settings();
  fs.cursorStyle = std::max(0, cursor_->checkedId());
  fs.hatchStyle = std::max(0, hatch_->checkedId());
  for (int i = 0; i < 3; ++i) fs.displayColours[i] = ToRgbq(colours_[i]);
  fs.showSelectionTone = tone_->isChecked();
  // A hidden grid keeps its spacing as a negative number.
  const int spacing = std::max(4, spacing_->value());
  fs.gridOn = gridOn_->isChecked();
  fs.gridSpacing = fs.gridOn ? spacing : -spacing;
  rec.updateCheck = update_->isChecked() ? 1 : 0;
  SetUpdateBaseSetting(frame_, updateUrl_->text());
  rec.openAtStart = openAtStart_->isChecked() ? 1 : 0;
  const auto language = LanguageChoice(std::clamp(language_->currentIndex(), 0, 3));
  if (language != ReadLanguageFile(frame_.DataFolder() / kLanguageFileName))
    WriteLanguageFile(frame_.DataFolder() / kLanguageFileName, language);
  if (reset_->isChecked()) {
    const FrameState defaults;
    fs.foreground = defaults.foreground;
    fs.background = defaults.background;
    fs.brushSize = defaults.brushSize;
    fs.softEdge = defaults.softEdge;
    fs.fog = defaults.fog;
    fs.pointSize = defaults.pointSize;
  }
  // The record follows at once (the file is written when the frame closes); the
  // first-run value it carries is the frame's, not the state's.
  const int32_t folder = rec.folder;
  CaptureSettings(fs, rec);
  rec.folder = folder;
  frame_.RefreshAfterSettings();
}

}  // namespace velmira
