// Measuring in the editor: the fronts of the "측정" menu's commands that need the
// editor — the measuring-tools panel (CDlg_MicroTools), the calibration dialog
// "측정 기준", the analysis-environment dialog, the export dialog "엑셀로 변환" and the
// measurement files through the file dialogs. The commands themselves are registered
// in commands/measure_area.cpp.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace velmira {

class CMainFrame;
class CMirvDoc;

// Commands of the menu beyond the measuring ones with their own ids.
namespace measurecmd {
constexpr int kToolsPanel = 3480;
constexpr int kRemoveObject = 3481;
constexpr int kRedrawAll = 3482;
constexpr int kSaveFile = 3483;
constexpr int kLoadFile = 3484;
constexpr int kFinishCurve = 3485;
}  // namespace measurecmd

class CommandFronts;
void RegisterMeasureFronts(CommandFronts& f);

// Start-up: the tools registered and the calibration file read from the data folder
// (a shipped default copied there the first time).
void InstallMeasurement(CMainFrame& frame, const std::filesystem::path& dataFolder,
                        const std::filesystem::path& sharedFolder);
// Any tool chosen: a pending polyline or polygon is registered.
void MeasureToolChanging(CMainFrame& frame);
// After a click or release in a view: the readout, and the calibration dialog again
// when the segment tool has just delivered a reference.
void MeasureAfterToolStep(CMainFrame& frame);

// Tests replace the modal dialogs and the file choosers.
using MeasureDialogRunner = std::function<int(QDialog&)>;
void SetMeasureDialogRunner(MeasureDialogRunner runner);
using MeasureFileChooser = std::function<QString(bool save, const QString& caption, const QString& filter)>;
void SetMeasureFileChooser(MeasureFileChooser chooser);
// Where exports go; the frame's last folder unless set.
void SetMeasureWorkingFolder(const std::filesystem::path& folder);
std::filesystem::path MeasureWorkingFolder(const CMainFrame& frame);

// The measuring-tools panel.
class MicroToolsPanel : public QDialog {
  Q_OBJECT

 public:
  explicit MicroToolsPanel(CMainFrame& frame);
  static MicroToolsPanel* Find(CMainFrame& frame);
  void Refresh();
  QLabel* Readout() const { return readout_; }

 private:
  CMainFrame& frame_;
  QLabel* readout_ = nullptr;
  QLabel* calibration_ = nullptr;
  QComboBox* decimals_ = nullptr;
  QCheckBox* labels_ = nullptr;
};

// "측정 기준".
class CalibrationDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CalibrationDialog(CMainFrame& frame);
  QComboBox* NameBox() const { return name_; }
  QComboBox* UnitBox() const { return unit_; }
  QLineEdit* RefX() const { return refX_; }
  QLineEdit* RefY() const { return refY_; }
  QLineEdit* PixelLength() const { return pixels_; }
  QLineEdit* RealLength() const { return real_; }
  void AddEntry();
  void DeleteEntry();
  void RequestReference();
  // OK: false (with a message) when a field is not valid or the list is full.
  bool Store();

 private:
  void Fill(int index);
  void Refill();
  void UpdatePixels();
  CMainFrame& frame_;
  QComboBox* name_ = nullptr;
  QComboBox* unit_ = nullptr;
  QLineEdit *refX_ = nullptr, *refY_ = nullptr, *pixels_ = nullptr, *real_ = nullptr;
};

// "분석 환경 설정".
class AnalysisDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AnalysisDialog(CMainFrame& frame);
  void Apply();
  QComboBox* Decimals() const { return decimals_; }
  QCheckBox* Labels() const { return labels_; }
  QSpinBox* LineWidth() const { return width_; }
  QSpinBox* LabelSize() const { return size_; }

 private:
  CMainFrame& frame_;
  QComboBox* unit_ = nullptr;
  QComboBox* decimals_ = nullptr;
  QCheckBox* labels_ = nullptr;
  QFontComboBox* font_ = nullptr;
  QSpinBox* size_ = nullptr;
  QSpinBox* width_ = nullptr;
  QColor colours_[3];
};

// "엑셀로 변환".
class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ExportDialog(CMainFrame& frame);
  bool ExportWorkbook();
  bool ExportText();
  QSpinBox* Sheet() const { return sheet_; }

 private:
  CMainFrame& frame_;
  QSpinBox* sheet_ = nullptr;
};

}  // namespace velmira
