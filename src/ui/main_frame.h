// CMainFrame: the editor's main window. It owns the documents and the program-wide
// tool state, builds the menus and the command bar from their tables, routes every
// command (to the active view, its document, or itself), asks for tool-change
// consent, and keeps the settings files between runs.
#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/doc_services.h"
#include "app/settings_file.h"
#include "app/string_table.h"
#include "image/doc.h"
#include "image/frame_state.h"
#include "ui/menu_table.h"
#include "ui/qt_doc_host.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSettings;
class QToolBar;
class QToolButton;

namespace velmira {

class CChildFrame;
class CMirvView;
class CommandFronts;
class ToolOptionBar;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // Chooses a colour: the initial colour and the caption; nothing when cancelled.
  using ColourPicker = std::function<std::optional<QColor>(const QColor& initial, const QString& caption)>;
  // The open dialog: several existing files, or none when cancelled.
  using OpenPicker = std::function<QStringList(const QString& title, const QString& folder, const QString& filters,
                                               const QString& selectedFilter)>;
  // The save dialog: a path (empty when cancelled) and the chosen filter.
  using SavePicker = std::function<QString(const QString& title, const QString& proposed, const QString& filters,
                                           QString* selectedFilter)>;

  // `dataFolder` holds the settings files and the profile; `sharedFolder` the
  // files shipped with the program (either may be empty).
  CMainFrame(std::filesystem::path dataFolder, std::filesystem::path sharedFolder, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Reads the settings file, the first-run marker and the string table (the last
  // one relabels the menus). Called once while the frame is created.
  void LoadSettings();
  // Writes the settings file, the marker (0) and the profile's bar state.
  void SaveSettings();

  FrameState& Frame() { return frame_; }
  QtDocHost& Host() { return *host_; }
  SettingsRecord& Settings() { return settings_; }
  // Where this user's settings files live.
  const std::filesystem::path& DataFolder() const { return dataFolder_; }
  const StringTable& Strings() const { return strings_; }
  int FirstShowValue() const { return firstShow_; }

  // Documents and their windows.
  CMirvDoc* OpenDocumentFile(const QString& path);
  CMirvDoc* NewDocument(int width, int height, int bitsPerPixel, const std::string& name);
  // A document that `build` fills (a scanned page); it gets a window when `build`
  // succeeds and is dropped otherwise.
  CMirvDoc* NewDocumentWith(const std::function<bool(CMirvDoc&)>& build);
  CChildFrame* OpenWindow(CMirvDoc& doc);
  // Keeps a picture window inside the work area: no taller or wider than it, and
  // moved back so that its bottom edge and scroll bars can be reached.
  void FitFrameInArea(QMdiSubWindow* w);
  CMirvDoc* ActiveDocument() const;
  CMirvView* ActiveView() const;
  CChildFrame* ActiveChild() const;
  // The open (not closing) windows of a document.
  QList<CChildFrame*> FramesOf(const CMirvDoc& doc) const;
  std::vector<CMirvDoc*> Documents() const;
  QMdiArea* MdiArea() const { return mdi_; }

  // Commands by id: menus, bar buttons, accelerators and the view's context menu
  // all come here.
  bool OnCommand(int id);
  bool IsCommandEnabled(int id) const;
  // Brings every action's enabled and checked state up to date.
  void UpdateCommandUI();

  // Tool change consent: false leaves everything as it was.
  bool ConsentToolChange(int newTool);
  // The panels that restrict tool changes while they are shown (they arrive with
  // the measurement and transform tools).
  void SetGuidePathPanel(QWidget* panel) { guidePathPanel_ = panel; }
  void SetRotationPanel(QWidget* panel) { rotationPanel_ = panel; }

  // Closing: asks about every modified document; false when the user kept one open.
  bool CloseAllDocuments();
  bool CloseDocument(CMirvDoc& doc);
  bool SaveDocument(CMirvDoc& doc, bool askName);

  // The widgets tests and the host reach.
  QMenu* Popup(int index) const;
  QList<QMenu*> Popups() const { return popups_; }
  QAction* MenuAction(int id) const;
  QAction* BarAction(int id) const;
  QToolBar* CommandBarWidget() const { return commandBar_; }
  ToolOptionBar* ToolOptions() const { return toolOptions_; }
  QLabel* StatusLabel() const { return status_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QWidget* BrushPaletteWidget() const { return brushPalette_; }
  void SetProgress(int percent);
  // After the settings dialog: the colour swatches and every view show the new values.
  void RefreshAfterSettings();
  void SetStatusText(const QString& text);

  // The folder the open dialog starts in: the last folder used, else the samples
  // on a first run, else nothing.
  QString InitialFolder() const;
  QStringList RecentFiles() const { return recent_; }
  void AddRecentFile(const QString& path);
  static constexpr int kMaxRecent = 9;

  // The caption base ("Velmira 3.68" once started) and the window title from it.
  void SetBaseTitle(const QString& title);
  void RefreshTitle();
  QString WebSite() const;

  void SetColourPicker(ColourPicker p) { colourPicker_ = std::move(p); }
  void SetOpenPicker(OpenPicker p) { openPicker_ = std::move(p); }
  void SetSavePicker(SavePicker p) { savePicker_ = std::move(p); }
  // The colour dialog's remembered values for the foreground and background.
  QColor RememberedForeground() const { return rememberedFg_; }
  QColor RememberedBackground() const { return rememberedBg_; }

  QSettings& Profile() { return *profile_; }
  DocServices& Services() { return services_; }
  // The colour dialog (or what a test put in its place).
  std::optional<QColor> AskColour(const QColor& initial, const QString& caption);
  // After a tool's click or release in a view.
  void ToolStepDone();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // The frame's own commands (files, windows, colours, zoom, tools) are its fronts.
  friend void RegisterFrameFronts(CommandFronts& f);

  void BuildMenus();
  void BuildMenu(QMenu* menu, const std::vector<MenuEntry>& items);
  void BuildCommandBar();
  void BuildBrushPalette();
  QAction* MakeAction(int id, const QString& text, QObject* owner);
  void RebuildRecentMenu();
  void RefreshSwatches();
  void PickColour(bool foreground);
  void SwapColours();
  void ChooseBrush(int id);
  bool ChooseTool(int id);
  void PressToolButton(int id);
  void SyncToolButtons();
  bool IsToolBuilt(int id) const;
  void OpenWithDialog();
  void Print();
  void PrintSetup();
  void About();
  void OpenWebSite();
  void ReleaseUnusedDocuments();
  void WatchChild(CChildFrame* child);
  bool ClipboardHasPicture() const;
  QString Translate(const QString& label) const;

  std::filesystem::path dataFolder_;
  std::filesystem::path sharedFolder_;
  FrameState frame_;
  SettingsRecord settings_;
  StringTable strings_;
  int firstShow_ = 0;
  DocServices services_;
  std::unique_ptr<QtDocHost> host_;
  std::unique_ptr<QSettings> profile_;
  std::vector<std::unique_ptr<CMirvDoc>> documents_;

  QMdiArea* mdi_ = nullptr;
  QList<QMenu*> popups_;
  QMenu* fileMenu_ = nullptr;
  std::vector<QAction*> recentActions_;
  QAction* recentPlaceholder_ = nullptr;
  std::multimap<int, QAction*> actions_;  // every action by id (menus, bar, palette)
  std::map<int, QAction*> menuActions_;
  std::map<int, QAction*> barActions_;
  QToolBar* commandBar_ = nullptr;
  QToolBar* optionBar_ = nullptr;
  ToolOptionBar* toolOptions_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QWidget* brushPalette_ = nullptr;
  QWidget* guidePathPanel_ = nullptr;
  QWidget* rotationPanel_ = nullptr;
  QColor rememberedFg_, rememberedBg_;
  QStringList recent_;
  QString lastFolder_;
  QString baseTitle_;
  std::unique_ptr<QPrinter> printer_;
  ColourPicker colourPicker_;
  OpenPicker openPicker_;
  SavePicker savePicker_;
  bool closing_ = false;
  bool clipboardHasPicture_ = false;
};

}  // namespace velmira
