// The acquisition dialogs: the device list ("외부장치 선택") and the scan settings
// with an optional preview, each built from what the device itself offers.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "online/sane_client.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace velmira {

class CDlg_ScanSource : public QDialog {
  Q_OBJECT

 public:
  CDlg_ScanSource(const std::vector<online::ScanDevice>& devices, const std::string& proposal,
                  QWidget* parent = nullptr);
  // The highlighted device's name (empty when none).
  std::string Chosen() const;
  QListWidget* List() const { return list_; }

 private:
  QListWidget* list_ = nullptr;
};

class CDlg_Acquire : public QDialog {
  Q_OBJECT

 public:
  // `preview` scans a preview page with the dialog's settings (null when the device
  // has none).
  using PreviewScan = std::function<std::unique_ptr<CImageBuffer>(const online::ScanSettings&)>;

  CDlg_Acquire(const std::string& deviceName, const online::ScanCapabilities& caps, PreviewScan preview,
               QWidget* parent = nullptr);

  // The settings as the controls show them.
  online::ScanSettings Settings() const;

  QComboBox* ModeBox() const { return mode_; }
  QComboBox* SourceBox() const { return source_; }
  QComboBox* ResolutionList() const { return resolutionList_; }
  QSpinBox* ResolutionBox() const { return resolutionBox_; }
  QDoubleSpinBox* AreaBox(int corner) const { return area_[corner]; }
  QPushButton* PreviewButton() const { return previewButton_; }
  QLabel* PreviewLabel() const { return preview_; }

 private:
  void RunPreview();

  online::ScanCapabilities caps_;
  PreviewScan previewScan_;
  QComboBox* mode_ = nullptr;
  QComboBox* source_ = nullptr;
  QComboBox* resolutionList_ = nullptr;
  QSpinBox* resolutionBox_ = nullptr;
  QDoubleSpinBox* area_[4] = {};
  QPushButton* previewButton_ = nullptr;
  QLabel* preview_ = nullptr;
};

}  // namespace velmira
