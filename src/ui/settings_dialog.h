// The settings dialog: cursor and hatch styles, the selection and path display
// colours, the grid, the start-up switches and the interface language. It collects the values; Apply
// writes them into the frame's state and settings record, which the settings
// file keeps when the frame closes.
#pragma once

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace velmira {

class CMainFrame;

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  using ColourPicker = std::function<std::optional<QColor>(const QColor& initial)>;

  explicit SettingsDialog(CMainFrame& frame, QWidget* parent = nullptr);

  // Stores the dialog's values (what OK does).
  void Apply();

  // Replaces the colour dialog (tests answer in its place).
  void SetColourPicker(ColourPicker p) { picker_ = std::move(p); }

  QTabWidget* Tabs() const { return tabs_; }
  QButtonGroup* CursorGroup() const { return cursor_; }
  QButtonGroup* HatchGroup() const { return hatch_; }
  QSpinBox* GridSpacing() const { return spacing_; }
  QCheckBox* GridShown() const { return gridOn_; }
  QCheckBox* SelectionTone() const { return tone_; }
  QCheckBox* UpdateCheck() const { return update_; }
  // The base address the update file is fetched from (empty: no check is made).
  QLineEdit* UpdateAddress() const { return updateUrl_; }
  QCheckBox* OpenAtStart() const { return openAtStart_; }
  QCheckBox* ResetParameters() const { return reset_; }
  // The interface language: system, Korean, English, Japanese (the order of
  // LanguageChoice). It is written at once and takes effect at the next start.
  QComboBox* Language() const { return language_; }
  // The "컬러지정" buttons of display colours 0 (grid), 1 (selection) and 2 (path).
  QPushButton* ColourButton(int which) const { return colourButtons_[which]; }
  QColor DisplayColour(int which) const { return colours_[which]; }

 private:
  QPushButton* MakeColourButton(QWidget* parent, int which);
  void ShowColour(int which);

  CMainFrame& frame_;
  ColourPicker picker_;
  QTabWidget* tabs_ = nullptr;
  QButtonGroup* cursor_ = nullptr;
  QButtonGroup* hatch_ = nullptr;
  QSpinBox* spacing_ = nullptr;
  QCheckBox* gridOn_ = nullptr;
  QCheckBox* tone_ = nullptr;
  QCheckBox* update_ = nullptr;
  QLineEdit* updateUrl_ = nullptr;
  QCheckBox* openAtStart_ = nullptr;
  QCheckBox* reset_ = nullptr;
  QComboBox* language_ = nullptr;
  QPushButton* colourButtons_[3] = {};
  QColor colours_[3];
};

}  // namespace velmira
