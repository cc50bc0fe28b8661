// The quick-edit window: the commands a photo is most often touched up with, on
// a few tabs. Each button sends its command through the frame and is usable
// exactly when the frame's own item for it is.
#pragma once

#include <QRect>
#include <vector>
#include <QWidget>

class QTabWidget;
class QPushButton;

namespace velmira {

class CMainFrame;

class QuickEditWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kResource = 1101;

  explicit QuickEditWindow(CMainFrame& frame);

  // Hides the window remembering where it was, or shows it there again.
  void Toggle();
  QRect RememberedRect() const { return remembered_; }
  // Brings every button's enabled state in line with the frame's.
  void UpdateButtons();

  QTabWidget* Tabs() const { return tabs_; }
  QPushButton* Button(int id) const;
  // The command ids of the buttons, in order.
  static const std::vector<int>& Commands();

 protected:
  void hideEvent(QHideEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void PlaceBesidePictures();
  CMainFrame& frame_;
  QTabWidget* tabs_ = nullptr;
  QRect remembered_;
  bool hasRemembered_ = false;
};

}  // namespace velmira
