#include "ui/measure_menu.h"
#include "app/language.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <set>

#include "measure/calibration.h"
#include "measure/export.h"
#include "measure/measure_commands.h"
#include "measure/measure_tools.h"
#include "ui/command_fronts.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"
#include "ui/qt_colour.h"

namespace velmira {

namespace mc = measure::cmd;

namespace {

constexpr const char* kMsgBadCalibration = QT_TR_NOOP("기준 x, y는 0 이상의 정수, 실제 길이는 0보다 큰 수로 입력하십시요.");
constexpr const char* kMsgCalibrationNotSaved = QT_TR_NOOP("측정 기준 파일을 저장할 수 없습니다.");
constexpr const char* kMsgWorkbookSaved = QT_TR_NOOP("파일(Micro.xlsx)이 저장되었습니다.");

MeasureDialogRunner& Runner() {
  static MeasureDialogRunner r;
  return r;
}
MeasureFileChooser& Chooser() {
  static MeasureFileChooser c;
  return c;
}
std::filesystem::path& WorkingFolderOverride() {
  static std::filesystem::path p;
  return p;
}
std::filesystem::path& CalibrationFile() {
  static std::filesystem::path p;
  return p;
}

int RunDialog(QDialog& d) { return Runner() ? Runner()(d) : d.exec(); }

QString ChooseFile(CMainFrame& frame, bool save, const QString& caption) {
  const QString filter = Tr("측정 파일 (*.sco)");
  if (Chooser()) return Chooser()(save, caption, filter);
  return save ? QFileDialog::getSaveFileName(&frame, caption, frame.InitialFolder(), filter)
              : QFileDialog::getOpenFileName(&frame, caption, frame.InitialFolder(), filter);
}

const std::set<int>& ToolIds() {
  static const std::set<int> ids = {mc::kPointTool,    mc::kSelectTool,   mc::kAddPointTool, mc::kRemovePointTool,
                                    mc::kSegmentTool,  mc::kRectangleTool, mc::kPolygonTool, mc::kPolylineTool,
                                    mc::kParallelTool, mc::kAngleTool,    mc::kDistanceTool, mc::kCircleTool,
                                    mc::kCurveTool};
  return ids;
}

void Repaint(CMainFrame& frame) {
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
  if (auto* p = MicroToolsPanel::Find(frame)) p->Refresh();
}

QString Utf16(const std::u16string& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
std::u16string ToU16(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

bool WriteCalibrations(CMainFrame& frame) {
  const MeasureSettings& s = frame.Frame().measure;
  if (CalibrationFile().empty()) return true;
  return measure::WriteCalibrationFile(CalibrationFile(), s.calibrations, s.selectedCalibration);
}

}  // namespace

void SetMeasureDialogRunner(MeasureDialogRunner r) { Runner() = std::move(r); }
void SetMeasureFileChooser(MeasureFileChooser c) { Chooser() = std::move(c); }
void SetMeasureWorkingFolder(const std::filesystem::path& folder) { WorkingFolderOverride() = folder; }

std::filesystem::path MeasureWorkingFolder(const CMainFrame& frame) {
  if (!WorkingFolderOverride().empty()) return WorkingFolderOverride();
  const QString f = frame.InitialFolder();
  return (f.isEmpty() ? QDir::homePath() : f).toStdString();
}

void InstallMeasurement(CMainFrame& frame, const std::filesystem::path& dataFolder,
                        const std::filesystem::path& sharedFolder) {
  measure::RegisterMeasureTools();
  CalibrationFile() = measure::CalibrationPath(dataFolder, sharedFolder);
  if (!CalibrationFile().empty()) measure::LoadCalibrations(frame.Frame().measure, CalibrationFile());
}

void MeasureToolChanging(CMainFrame& frame) {
  if (CMirvDoc* d = frame.ActiveDocument()) measure::ToolChanging(*d);
}

void MeasureAfterToolStep(CMainFrame& frame) {
  MeasureSettings& s = frame.Frame().measure;
  if (auto* p = MicroToolsPanel::Find(frame)) p->Refresh();
  if (s.referenceDelivered) {
    CalibrationDialog d(frame);
    if (RunDialog(d) == QDialog::Accepted) Repaint(frame);
  }
}

void RegisterMeasureFronts(CommandFronts& f) {
  auto front = [&f](int id, std::function<bool(CMainFrame&)> fn) {
    f.Add(id, CommandFront{{}, [fn](CMainFrame& frame) {
            const bool done = fn(frame);
            Repaint(frame);
            return done;
          }});
  };
  front(measurecmd::kToolsPanel, [](CMainFrame& frame) {
    MicroToolsPanel* p = MicroToolsPanel::Find(frame);
    if (!p) p = new MicroToolsPanel(frame);
    p->setVisible(!p->isVisible());
    return true;
  });
  front(mc::kCalibration, [](CMainFrame& frame) {
    CalibrationDialog d(frame);
    return RunDialog(d) == QDialog::Accepted;
  });
  front(mc::kEnvironment, [](CMainFrame& frame) {
    AnalysisDialog d(frame);
    return RunDialog(d) == QDialog::Accepted;
  });
  front(mc::kExport, [](CMainFrame& frame) {
    ExportDialog d(frame);
    RunDialog(d);
    return true;
  });
  front(measurecmd::kSaveFile, [](CMainFrame& frame) {
    QString path = ChooseFile(frame, true, Tr("측정 파일 저장"));
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".sco"), Qt::CaseInsensitive)) path += QStringLiteral(".sco");
    return measure::SaveMeasurements(*frame.ActiveDocument(), path.toStdString());
  });
  front(measurecmd::kLoadFile, [](CMainFrame& frame) {
    const QString path = ChooseFile(frame, false, Tr("측정 파일 열기"));
    if (path.isEmpty()) return false;
    return measure::LoadMeasurements(*frame.ActiveDocument(), path.toStdString());
  });
}

// ---------------------------------------------------------------- panel

MicroToolsPanel::MicroToolsPanel(CMainFrame& frame) : QDialog(&frame, Qt::Tool), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_MicroTools"));
  setWindowTitle(Tr("측정 도구"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* grid = new QGridLayout;
  struct B {
    int id;
    const char* text;
  };
  const B buttons[] = {{mc::kPointTool, QT_TR_NOOP("점표시")},        {mc::kSelectTool, QT_TR_NOOP("선택/수정")},
                       {mc::kSegmentTool, QT_TR_NOOP("선분")},        {mc::kParallelTool, QT_TR_NOOP("평행선분")},
                       {mc::kRectangleTool, QT_TR_NOOP("사각형")},    {mc::kCircleTool, QT_TR_NOOP("원")},
                       {mc::kAngleTool, QT_TR_NOOP("사이각")},        {mc::kDistanceTool, QT_TR_NOOP("기준선 거리")},
                       {mc::kPolylineTool, QT_TR_NOOP("다각선")},     {mc::kPolygonTool, QT_TR_NOOP("다각형")},
                       {mc::kAddPointTool, QT_TR_NOOP("다각형 점추가")}, {mc::kRemovePointTool, QT_TR_NOOP("다각형 점제거")},
                       {mc::kCurveTool, QT_TR_NOOP("곡선")},          {measurecmd::kFinishCurve, QT_TR_NOOP("곡선 등록")},
                       {mc::kVectorUndo, QT_TR_NOOP("벡터 편집 취소")}, {mc::kVectorRedo, QT_TR_NOOP("벡터 편집 반복")},
                       {measurecmd::kRemoveObject, QT_TR_NOOP("개체 제거")}, {mc::kEndContinuous, QT_TR_NOOP("벡터 연속 측정 해제")},
                       {mc::kCalibration, QT_TR_NOOP("측정 기준")},   {mc::kEnvironment, QT_TR_NOOP("분석 환경 설정")},
                       {mc::kExport, QT_TR_NOOP("엑셀로 변환")},      {measurecmd::kRedrawAll, QT_TR_NOOP("다시그리기")}};
  int i = 0;
  for (const B& b : buttons) {
    auto* btn = new QPushButton(Tr(b.text), this);
    btn->setObjectName(QStringLiteral("measure_%1").arg(b.id));
    btn->setProperty("commandId", b.id);
    btn->setCheckable(ToolIds().count(b.id) != 0);
    connect(btn, &QPushButton::clicked, this, [this, id = b.id] {
      frame_.OnCommand(id);
      Refresh();
    });
    grid->addWidget(btn, i / 2, i % 2);
    ++i;
  }
  calibration_ = new QLabel(this);
  decimals_ = new QComboBox(this);
  decimals_->addItems({QStringLiteral("1"), QStringLiteral("2")});
  labels_ = new QCheckBox(Tr("값 표시"), this);
  readout_ = new QLabel(this);
  readout_->setObjectName(QStringLiteral("readout"));
  readout_->setMinimumWidth(200);
  connect(decimals_, &QComboBox::currentIndexChanged, this, [this](int k) { frame_.Frame().measure.decimals = k + 1; });
  connect(labels_, &QCheckBox::toggled, this, [this](bool on) { frame_.Frame().measure.labels = on; });
  auto* form = new QFormLayout;
  form->addRow(Tr("기준"), calibration_);
  form->addRow(Tr("소수점"), decimals_);
  form->addRow(labels_);
  auto* v = new QVBoxLayout(this);
  v->addLayout(grid);
  v->addLayout(form);
  v->addWidget(readout_);
  Refresh();
}

MicroToolsPanel* MicroToolsPanel::Find(CMainFrame& frame) {
  return frame.findChild<MicroToolsPanel*>(QStringLiteral("CDlg_MicroTools"), Qt::FindDirectChildrenOnly);
}

void MicroToolsPanel::Refresh() {
  const MeasureSettings& s = frame_.Frame().measure;
  for (auto* b : findChildren<QPushButton*>()) {
    const int id = b->property("commandId").toInt();
    b->setEnabled(frame_.IsCommandEnabled(id));
    if (b->isCheckable()) b->setChecked(frame_.Frame().currentTool == id);
  }
  calibration_->setText(QStringLiteral("%1 (%2, %3 = %4 %5)")
                            .arg(Utf16(s.calibrationName))
                            .arg(s.refX)
                            .arg(s.refY)
                            .arg(double(s.realLength), 0, 'f', 2)
                            .arg(QString::fromStdString(s.unit)));
  QSignalBlocker b1(decimals_), b2(labels_);
  decimals_->setCurrentIndex(s.decimals == 1 ? 0 : 1);
  labels_->setChecked(s.labels);
  if (CMirvDoc* d = frame_.ActiveDocument()) {
    const auto& m = measure::MeasureOf(*d);
    readout_->setText(!m.curveNodes.empty() && frame_.Frame().currentTool == mc::kCurveTool
                          ? Tr(measure::kMsgCurvePrompt)
                          : Tr(m.lastLabel));
  }
}

// ---------------------------------------------------------------- calibration

CalibrationDialog::CalibrationDialog(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("Dlg_Calibration"));
  setWindowTitle(Tr("측정 기준"));
  name_ = new QComboBox(this);
  name_->setEditable(true);
  unit_ = new QComboBox(this);
  unit_->setEditable(true);
  for (const std::string& u : measure::UnitChoices()) unit_->addItem(QString::fromStdString(u));
  refX_ = new QLineEdit(this);
  refY_ = new QLineEdit(this);
  pixels_ = new QLineEdit(this);
  pixels_->setReadOnly(true);
  real_ = new QLineEdit(this);
  auto* form = new QFormLayout;
  form->addRow(Tr("이름"), name_);
  form->addRow(Tr("단위"), unit_);
  form->addRow(Tr("기준 x"), refX_);
  form->addRow(Tr("기준 y"), refY_);
  form->addRow(Tr("픽셀 길이"), pixels_);
  form->addRow(Tr("실제 길이"), real_);
  auto* add = new QPushButton(Tr("추가"), this);
  auto* del = new QPushButton(Tr("삭제"), this);
  auto* ref = new QPushButton(Tr("기준설정"), this);
  add->setObjectName(QStringLiteral("add"));
  del->setObjectName(QStringLiteral("delete"));
  ref->setObjectName(QStringLiteral("reference"));
  auto* row = new QHBoxLayout;
  row->addWidget(add);
  row->addWidget(del);
  row->addWidget(ref);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* v = new QVBoxLayout(this);
  v->addLayout(form);
  v->addLayout(row);
  v->addWidget(box);
  connect(add, &QPushButton::clicked, this, &CalibrationDialog::AddEntry);
  connect(del, &QPushButton::clicked, this, &CalibrationDialog::DeleteEntry);
  connect(ref, &QPushButton::clicked, this, &CalibrationDialog::RequestReference);
  connect(box, &QDialogButtonBox::accepted, this, [this] {
    if (Store()) accept();
  });
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(refX_, &QLineEdit::textChanged, this, &CalibrationDialog::UpdatePixels);
  connect(refY_, &QLineEdit::textChanged, this, &CalibrationDialog::UpdatePixels);

  // The list as the file has it now.
  MeasureSettings& s = frame_.Frame().measure;
  if (!CalibrationFile().empty()) {
    const measure::CalibrationData d = measure::ReadCalibrationFile(CalibrationFile());
    if (!d.entries.empty() || !std::filesystem::exists(CalibrationFile())) {
      s.calibrations = d.entries;
      if (d.selected < int(d.entries.size())) s.selectedCalibration = d.selected;
    }
  }
  Refill();
  connect(name_, &QComboBox::activated, this, [this](int i) { Fill(i); });
  if (s.referenceDelivered) {
    // Back from a reference measurement: a new entry with what was measured.
    s.referenceDelivered = false;
    name_->setEditText(Tr("새기준"));
    unit_->setEditText(QStringLiteral("um"));
    real_->setText(QStringLiteral("1.0"));
    refX_->setText(QString::number(s.deliveredX));
    refY_->setText(QString::number(s.deliveredY));
  } else {
    Fill(s.selectedCalibration);
    refX_->setText(QString::number(s.refX));
    refY_->setText(QString::number(s.refY));
  }
  UpdatePixels();
}

void CalibrationDialog::Refill() {
  const MeasureSettings& s = frame_.Frame().measure;
  QSignalBlocker b(name_);
  name_->clear();
  for (const CalibrationEntry& e : s.calibrations)
    if (e.valid) name_->addItem(Utf16(e.name), int(&e - s.calibrations.data()));
}

void CalibrationDialog::Fill(int index) {
  const MeasureSettings& s = frame_.Frame().measure;
  int entry = index;
  if (index >= 0 && index < name_->count() && name_->itemData(index).isValid()) entry = name_->itemData(index).toInt();
  if (entry < 0 || size_t(entry) >= s.calibrations.size()) {
    name_->setEditText(Utf16(s.calibrationName));
    unit_->setEditText(QString::fromStdString(s.unit));
    real_->setText(QString::number(double(s.realLength), 'f', 2));
    return;
  }
  const CalibrationEntry& e = s.calibrations[size_t(entry)];
  const int row = name_->findData(entry);
  if (row >= 0) name_->setCurrentIndex(row);
  name_->setEditText(Utf16(e.name));
  unit_->setEditText(QString::fromStdString(e.unit));
  refX_->setText(QString::number(e.refX));
  refY_->setText(QString::number(e.refY));
  real_->setText(QString::number(double(e.realLength), 'f', 2));
  UpdatePixels();
}

void CalibrationDialog::UpdatePixels() {
  bool okX, okY;
  const long long x = refX_->text().toLongLong(&okX), y = refY_->text().toLongLong(&okY);
  if (!okX || !okY) {
    pixels_->clear();
    return;
  }
  pixels_->setText(QString::number(std::trunc(std::sqrt(double(x) * x + double(y) * y)), 'f', 2));
}

void CalibrationDialog::AddEntry() {
  name_->setEditText(QStringLiteral("New Unit"));
  refX_->setText(QStringLiteral("0"));
  refY_->setText(QStringLiteral("0"));
  unit_->setEditText(QStringLiteral("um"));
  real_->setText(QStringLiteral("1.0"));
}

void CalibrationDialog::DeleteEntry() {
  MeasureSettings& s = frame_.Frame().measure;
  if (!measure::DeleteCalibration(s, ToU16(name_->currentText()))) return;
  if (!WriteCalibrations(frame_)) frame_.Host().ShowMessage(kMsgCalibrationNotSaved);
  if (!CalibrationFile().empty()) {
    const measure::CalibrationData d = measure::ReadCalibrationFile(CalibrationFile());
    s.calibrations = d.entries;
    s.selectedCalibration = d.entries.empty() ? -1 : d.selected;
  } else {
    std::erase_if(s.calibrations, [](auto& e) { return !e.valid; });
    s.selectedCalibration = s.calibrations.empty() ? -1 : 0;
  }
  Refill();
  Fill(s.selectedCalibration);
}

void CalibrationDialog::RequestReference() {
  frame_.Frame().measure.referenceRequested = true;
  frame_.OnCommand(mc::kSegmentTool);
  reject();
}

bool CalibrationDialog::Store() {
  bool okX, okY, okL;
  const int x = refX_->text().trimmed().toInt(&okX), y = refY_->text().trimmed().toInt(&okY);
  const double len = real_->text().trimmed().toDouble(&okL);
  const QString unit = unit_->currentText().trimmed();
  const QString name = name_->currentText().trimmed();
  if (!okX || !okY || !okL || x < 0 || y < 0 || !(len > 0) || !std::isfinite(len) || len > 1e30 || unit.isEmpty() ||
      unit.contains(QLatin1Char(' ')) || name.isEmpty()) {
    frame_.Host().ShowMessage(kMsgBadCalibration);
    return false;
  }
  MeasureSettings& s = frame_.Frame().measure;
  CalibrationEntry e{ToU16(name.left(measure::kMaxCalibrationName)), unit.toStdString(), x, y, float(len), true};
  const MeasureSettings before = s;
  int index = -1;
  if (measure::StoreCalibration(s, e, &index) == measure::StoreResult::Full) {
    frame_.Host().ShowMessage(measure::kMsgCalibrationFull);
    return false;
  }
  if (!WriteCalibrations(frame_)) {
    s = before;  // the list in memory stays as the file has it
    frame_.Host().ShowMessage(kMsgCalibrationNotSaved);
    return false;
  }
  measure::ActivateCalibration(s, index);
  Repaint(frame_);
  return true;
}

// ---------------------------------------------------------------- analysis environment

AnalysisDialog::AnalysisDialog(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_AnalysisEnv"));
  setWindowTitle(Tr("분석 환경 설정"));
  const MeasureSettings& s = frame_.Frame().measure;
  unit_ = new QComboBox(this);
  unit_->setEditable(true);
  for (const std::string& u : measure::UnitChoices()) unit_->addItem(QString::fromStdString(u));
  unit_->setEditText(QString::fromStdString(s.unit));
  decimals_ = new QComboBox(this);
  decimals_->addItems({QStringLiteral("1"), QStringLiteral("2")});
  decimals_->setCurrentIndex(s.decimals == 1 ? 0 : 1);
  labels_ = new QCheckBox(Tr("측정값 표시"), this);
  labels_->setChecked(s.labels);
  font_ = new QFontComboBox(this);
  font_->setCurrentFont(QFont(QString::fromStdString(s.labelFont)));
  size_ = new QSpinBox(this);
  size_->setRange(4, 200);
  size_->setValue(s.labelSize);
  width_ = new QSpinBox(this);
  width_->setRange(1, 20);
  width_->setValue(s.lineWidth);
  colours_[0] = ToQColor(s.labelColour);
  colours_[1] = ToQColor(s.lineColour);
  colours_[2] = ToQColor(s.highlightColour);
  auto* form = new QFormLayout;
  form->addRow(Tr("단위"), unit_);
  form->addRow(Tr("소수점 자리"), decimals_);
  form->addRow(labels_);
  form->addRow(Tr("글꼴"), font_);
  form->addRow(Tr("글자 크기"), size_);
  const char* names[3] = {QT_TR_NOOP("글자색"), QT_TR_NOOP("선 색"), QT_TR_NOOP("강조 선 색")};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QPushButton(this);
    b->setObjectName(QStringLiteral("colour%1").arg(i));
    auto paint = [b, this, i] { b->setStyleSheet(QStringLiteral("background:%1").arg(colours_[i].name())); };
    paint();
    connect(b, &QPushButton::clicked, this, [this, i, paint] {
      if (auto c = frame_.AskColour(colours_[i], QString())) colours_[i] = *c, paint();
    });
    form->addRow(Tr(names[i]), b);
  }
  form->addRow(Tr("선 굵기"), width_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    accept();
  });
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* v = new QVBoxLayout(this);
  v->addLayout(form);
  v->addWidget(box);
}

void AnalysisDialog::Apply() {
  MeasureSettings& s = frame_.Frame().measure;
  const QString unit = unit_->currentText().trimmed();
  if (!unit.isEmpty() && !unit.contains(QLatin1Char(' '))) s.unit = unit.toStdString();
  s.decimals = decimals_->currentIndex() + 1;
  s.labels = labels_->isChecked();
  s.labelFont = font_->currentFont().family().toStdString();
  s.labelSize = size_->value();
  s.lineWidth = width_->value();
  s.labelColour = ToRgbq(colours_[0]);
  s.lineColour = ToRgbq(colours_[1]);
  s.highlightColour = ToRgbq(colours_[2]);
  // Marks already drawn take the new look.
  if (CMirvDoc* d = frame_.ActiveDocument(); d && measure::MeasureOf(*d).list.Count() > 0) measure::RedrawAll(*d);
  Repaint(frame_);
}

// ---------------------------------------------------------------- export

ExportDialog::ExportDialog(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("DlgExcel"));
  setWindowTitle(Tr("엑셀로 변환"));
  sheet_ = new QSpinBox(this);
  sheet_->setRange(1, 255);
  sheet_->setValue(1);
  auto* book = new QPushButton(Tr("엑셀 파일로 저장"), this);
  auto* text = new QPushButton(Tr("텍스트 파일로 저장"), this);
  auto* close = new QPushButton(Tr("닫기"), this);
  book->setObjectName(QStringLiteral("workbook"));
  text->setObjectName(QStringLiteral("text"));
  auto* form = new QFormLayout;
  form->addRow(Tr("시트"), sheet_);
  auto* v = new QVBoxLayout(this);
  v->addLayout(form);
  v->addWidget(book);
  v->addWidget(text);
  v->addWidget(close);
  connect(book, &QPushButton::clicked, this, [this] { ExportWorkbook(); });
  connect(text, &QPushButton::clicked, this, [this] { ExportText(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool ExportDialog::ExportWorkbook() {
  CMirvDoc* d = frame_.ActiveDocument();
  if (!d) return false;
  const auto folder = MeasureWorkingFolder(frame_);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = measure::ExportWorkbook(*d, frame_.Services(), folder / measure::kWorkbookName, sheet_->value()) &&
                  measure::ExportCsv(*d, folder / measure::kCsvName);
  QApplication::restoreOverrideCursor();
  if (ok) frame_.Host().ShowMessage(kMsgWorkbookSaved);
  return ok;
}

bool ExportDialog::ExportText() {
  CMirvDoc* d = frame_.ActiveDocument();
  if (!d) return false;
  return measure::ExportText(*d, MeasureWorkingFolder(frame_) / measure::kTextExportName, true);
}

}  // namespace velmira
