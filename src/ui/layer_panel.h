// The layer and history panel: the active document's layer stack, top first, with
// visibility, transparency and blend controls and the layer commands; and the
// history steps, newest first, with undo and redo. Every command goes through the
// main frame's command path, so the panel does nothing a menu item could not.
#pragma once

#include <QDockWidget>
#include <QRect>
#include <string>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace velmira {

class CMainFrame;
class CMirvDoc;

// Blend byte from the combo's text and back; unknown texts are the normal mode.
int BlendFromLabel(const QString& label);
QString LabelOfBlend(int blend);

class LayerPanel : public QDockWidget {
  Q_OBJECT

 public:
  static constexpr int kResource = 1081;
  static constexpr int kTransparencySlider = 1224;
  static constexpr int kTransparencyBox = 1230;
  static constexpr int kContextMenu = 4004;
  static constexpr int kMeasurementLayer = 3198;

  explicit LayerPanel(CMainFrame& frame);

  // Shows the panel where it was last closed, or closes it and remembers where.
  void Toggle();
  QRect RememberedRect() const { return remembered_; }

  // Re-reads the active document's layers and history.
  void Refresh();
  void RefreshLayers();
  void RefreshHistory();

  // Walks the history to a step by undoing or redoing through the frame.
  void GoToStep(int step);
  // Moves the active layer one place up or down the stack.
  bool MoveActive(bool up);
  // Moves a layer `count` places up or down (as a row dragged in the list does).
  bool MoveSlot(int slot, bool up, int count);

  // The widgets tests reach.
  QTabWidget* Tabs() const { return tabs_; }
  QListWidget* LayerList() const { return layers_; }
  QListWidget* HistoryList() const { return history_; }
  QSlider* TransparencySlider() const { return slider_; }
  QSpinBox* TransparencyBox() const { return box_; }
  QComboBox* BlendCombo() const { return blend_; }
  QToolButton* UndoButton() const { return undo_; }
  QToolButton* RedoButton() const { return redo_; }
  QMenu* ContextMenu() const { return menu_; }
  QToolButton* Button(int id) const;

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  QToolButton* AddButton(QWidget* parent, int id, const QString& text, const QString& tip);
  void SetTransparency(int value);
  void SetBlend(const QString& label);
  void OnLayerClicked(QListWidgetItem* item);
  void OnLayerChanged(QListWidgetItem* item);
  void OnHistoryClicked(QListWidgetItem* item);
  void UpdateButtons();
  void Repaint(CMirvDoc& doc);

  CMainFrame& frame_;
  QTabWidget* tabs_ = nullptr;
  QListWidget* layers_ = nullptr;
  QListWidget* history_ = nullptr;
  QSlider* slider_ = nullptr;
  QSpinBox* box_ = nullptr;
  QComboBox* blend_ = nullptr;
  QToolButton* undo_ = nullptr;
  QToolButton* redo_ = nullptr;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  QMenu* menu_ = nullptr;
  QRect remembered_;
  bool rememberedFloating_ = true;
  bool hasRemembered_ = false;
  bool filling_ = false;  // the controls are being filled from the document
};

}  // namespace velmira
