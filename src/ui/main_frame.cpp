#include "ui/main_frame.h"
#include "app/language.h"

#include "ui/measure_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <set>

#include "app/shared_folder.h"
#include "commands/registry.h"
#include "formats/format_dispatch.h"
#include "tools/standard_tools.h"
#include "tools/tool_ids.h"
#include "tools/view_geometry.h"
#include "ui/decoration_menu.h"
#include "ui/dlg_adjust.h"
#include "tools/tool_traits.h"
#include "ui/child_frame.h"
#include "ui/command_fronts.h"
#include "ui/icons.h"
#include "ui/mirv_view.h"
#include "ui/panels_menu.h"
#include "ui/qt_colour.h"
#include "ui/processing_menu.h"
#include "ui/tool_menu.h"
#include "ui/free_transform_tool.h"
#include "ui/tool_options.h"
#include "ui/transform_menu.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// A picture window's own size (its picture, within reason) while the program, not
// the user, decides its size, and the geometry it was last given.
constexpr const char* kWantedSize = "velmiraWantedSize";
constexpr const char* kFittedGeometry = "velmiraFittedGeometry";
constexpr const char* kSavePrompt = QT_TR_NOOP("[%1] 파일을 저장하시겠습니까?");
constexpr const char* kReplacePrompt = QT_TR_NOOP("[%1] 파일이 이미 있습니다.\n바꾸시겠습니까?");
constexpr const char* kCannotOpen = QT_TR_NOOP("해당 파일을 열 수 없습니다.");
constexpr const char* kOpenTitle = QT_TR_NOOP("이미지 열기");
constexpr const char* kSaveTitle = QT_TR_NOOP("이미지 저장");
constexpr const char* kForegroundCaption = QT_TR_NOOP("  전경색의 지정");
constexpr const char* kBackgroundCaption = QT_TR_NOOP("  배경색의 지정");
constexpr const char* kLabelProperty = "velmiraLabel";

bool IsCheckable(int id) {
  const CommandDef* d = Commands().Find(id);
  return d && d->checkable;
}

QColor FromColorref(uint32_t c) { return ToQColor(RgbqFromColorref(c)); }
uint32_t ToColorref(const QColor& c) { return ColorrefFromRgbq(ToRgbq(c)) & 0xFFFFFF; }

QString PathText(const fs::path& p) { return QString::fromStdString(p.string()); }
fs::path FsPath(const QString& s) { return fs::path(s.toStdString()); }

bool NeedsSave(CMirvDoc& doc) { return doc.IsModified() || doc.History().CanUndo(); }

QString Joined(const std::vector<std::string>& filters) {
  QStringList list;
  for (const std::string& f : filters) list << QString::fromStdString(f);
  return list.join(QStringLiteral(";;"));
}

}  // namespace

CMainFrame::CMainFrame(fs::path dataFolder, fs::path sharedFolder, QWidget* parent)
    : QMainWindow(parent), dataFolder_(std::move(dataFolder)), sharedFolder_(std::move(sharedFolder)) {
  setObjectName(QStringLiteral("CMainFrame"));
  // Every document's router is made with the tools registered by then.
  RegisterStandardTools();
  RegisterTextTool(*this);
  // The transforms say which panels they may follow even before first use.
  RegisterFreeRotateTool();
  RegisterFreeTransformTools();
  InstallMeasurement(*this, dataFolder_, sharedFolder_);
  host_ = std::make_unique<QtDocHost>(*this, frame_);
  profile_ = std::make_unique<QSettings>(PathText(dataFolder_ / "profile.ini"), QSettings::IniFormat);

  mdi_ = new QMdiArea(this);
  mdi_->viewport()->installEventFilter(this);
  mdi_->setBackground(QColor(96, 96, 96));
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
    if (CMirvView* v = ActiveView()) v->EmitStatus();
    RefreshTitle();
    UpdateCommandUI();
  });

  BuildMenus();
  BuildCommandBar();
  BuildBrushPalette();
  InstallFilterBar(*this);
  setAcceptDrops(true);

  colourPicker_ = [this](const QColor& initial, const QString& caption) -> std::optional<QColor> {
    QColorDialog dialog(initial, this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(caption);
    dialog.resize(330, 370);
    // At the left of the window, level with the middle of the command bar.
    const QPoint barMiddle = commandBar_->mapToGlobal(QPoint(0, commandBar_->height() / 2));
    dialog.move(frameGeometry().left(), barMiddle.y() + 6);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedColor();
  };
  openPicker_ = [this](const QString& title, const QString& folder, const QString& filters,
                       const QString& selected) {
    QString chosen = selected;
    return QFileDialog::getOpenFileNames(this, title, folder, filters, &chosen);
  };
  savePicker_ = [this](const QString& title, const QString& proposed, const QString& filters, QString* selected) {
    return QFileDialog::getSaveFileName(this, title, proposed, filters, selected, QFileDialog::DontConfirmOverwrite);
  };

  recent_ = profile_->value(QStringLiteral("Recent File List/Files")).toStringList();
  while (recent_.size() > kMaxRecent) recent_.removeLast();
  lastFolder_ = profile_->value(QStringLiteral("Settings/LastFolder")).toString();
  RebuildRecentMenu();

  LoadSettings();
  RefreshSwatches();

  restoreGeometry(profile_->value(QStringLiteral("General/Geometry")).toByteArray());
  restoreState(profile_->value(QStringLiteral("General/State")).toByteArray());

  // The clipboard is asked once per change, not at every enabling pass.
  QClipboard* clipboard = QApplication::clipboard();
  clipboardHasPicture_ = QtDocHost::MimeHasPicture(clipboard->mimeData());
  connect(clipboard, &QClipboard::dataChanged, this, [this] {
    clipboardHasPicture_ = QtDocHost::MimeHasPicture(QApplication::clipboard()->mimeData());
    UpdateCommandUI();
  });
  // Menu and button states follow the documents as the framework's idle pass
  // would: after every command, on activation, and on a slow timer for the rest.
  auto* idle = new QTimer(this);
  idle->setInterval(300);
  connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
  idle->start();
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
  // Windows first: every view refers to its document.
  closing_ = true;
  for (QMdiSubWindow* w : mdi_->subWindowList()) delete w;
  // So are the dialogs and panels that hold a document's preview: they end (and
  // put their layer back) while the document still exists.
  for (QDialog* d : findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly)) delete d;
  documents_.clear();
}

// ---------------------------------------------------------------- building

QAction* CMainFrame::MakeAction(int id, const QString& text, QObject* owner) {
  auto* a = new QAction(text, owner);
  a->setData(id);
  a->setProperty(kLabelProperty, text);
  connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
  actions_.emplace(id, a);
  return a;
}

void CMainFrame::BuildMenu(QMenu* menu, const std::vector<MenuEntry>& items) {
  for (const MenuEntry& e : items) {
    if (e.IsSeparator()) {
      menu->addSeparator();
    } else if (e.IsSubmenu()) {
      QMenu* sub = menu->addMenu(QString::fromStdString(e.label));
      sub->setProperty(kLabelProperty, QString::fromStdString(e.label));
      BuildMenu(sub, e.items);
    } else if (e.id == framecmd::kRecentFirst) {
      recentPlaceholder_ = MakeAction(e.id, QString::fromStdString(e.label), menu);
      menu->addAction(recentPlaceholder_);
    } else {
      QAction* a = MakeAction(e.id, QString::fromStdString(e.label), menu);
      a->setIcon(CommandIcon(e.id));
      a->setIconVisibleInMenu(true);
      menu->addAction(a);
      menuActions_.emplace(e.id, a);
    }
  }
}

void CMainFrame::BuildMenus() {
  for (const MenuEntry& popup : MainMenu()) {
    QMenu* m = menuBar()->addMenu(QString::fromStdString(popup.label));
    m->setProperty(kLabelProperty, QString::fromStdString(popup.label));
    BuildMenu(m, popup.items);
    connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    popups_ << m;
  }
  fileMenu_ = popups_.value(0);
  for (const Accelerator& k : Accelerators()) {
    auto it = menuActions_.find(k.id);
    if (it == menuActions_.end()) continue;
    QList<QKeySequence> keys = it->second->shortcuts();
    keys << QKeySequence(QString::fromStdString(k.keys));
    it->second->setShortcuts(keys);
  }
}

void CMainFrame::BuildCommandBar() {
  commandBar_ = addToolBar(QStringLiteral("commandBar"));
  commandBar_->setObjectName(QStringLiteral("commandBar"));
  commandBar_->setIconSize(QSize(24, 24));
  commandBar_->setMovable(false);
  for (const BarButton& b : CommandBar()) {
    // A button shares the menu item's action where there is one, so that both
    // enable, and show the current tool, together.
    QAction* a = nullptr;
    if (auto it = menuActions_.find(b.id); it != menuActions_.end()) {
      a = it->second;
    } else {
      a = MakeAction(b.id, QString::fromStdString(b.tooltip), this);
      a->setIcon(CommandIcon(b.id));
    }
    a->setToolTip(Tr(b.tooltip));
    if (IsCheckable(b.id)) a->setCheckable(true);
    commandBar_->addAction(a);
    barActions_.emplace(b.id, a);
  }

  addToolBarBreak();
  optionBar_ = addToolBar(QStringLiteral("optionBar"));
  optionBar_->setObjectName(QStringLiteral("optionBar"));
  optionBar_->setMovable(false);
  toolOptions_ = new ToolOptionBar(frame_, optionBar_);
  optionBar_->addWidget(toolOptions_);
  status_ = new QLabel(optionBar_);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setMinimumWidth(160);
  optionBar_->addWidget(status_);
  progress_ = new QProgressBar(optionBar_);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setFixedWidth(160);
  optionBar_->addWidget(progress_);
}

void CMainFrame::BuildBrushPalette() {
  brushPalette_ = new QWidget(this, Qt::Popup);
  brushPalette_->setObjectName(QStringLiteral("brushPalette"));
  auto* grid = new QGridLayout(brushPalette_);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(2);
  int i = 0;
  for (const BrushButton& b : BrushPalette()) {
    QAction* a = MakeAction(b.id, QString::number(b.size), brushPalette_);
    a->setIcon(BrushIcon(b.size, b.soft));
    a->setToolTip(QStringLiteral("%1 %2").arg(b.soft ? Tr("부드러운 붓") : Tr("붓"))
                      .arg(b.size));
    auto* button = new QToolButton(brushPalette_);
    button->setDefaultAction(a);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    grid->addWidget(button, i / 8, i % 8);
    ++i;
  }
}

// The string table is keyed by the Korean label and is the user's own choice, so it
// wins; a label it does not know gets the interface language's translation.
QString CMainFrame::Translate(const QString& label) const {
  const std::string korean = label.toStdString();
  const std::string replaced = strings_.Translate(korean);
  if (replaced != korean) return QString::fromStdString(replaced);
  return Tr(label);
}

// ---------------------------------------------------------------- settings

void CMainFrame::LoadSettings() {
  LoadSettingsFile(dataFolder_ / kSettingsFileName, settings_);
  ApplySettings(settings_, frame_);
  rememberedFg_ = FromColorref(settings_.previousForeground);
  rememberedBg_ = FromColorref(settings_.previousBackground);
  firstShow_ = ReadFirstShow(dataFolder_, sharedFolder_);
  settings_.folder = firstShow_;

  if (!strings_.Load(dataFolder_ / kStringTableFileName) && !sharedFolder_.empty())
    strings_.Load(sharedFolder_ / kStringTableFileName);
  for (auto& [id, a] : actions_) {
    const QVariant label = a->property(kLabelProperty);
    if (label.isValid()) a->setText(Translate(label.toString()));
  }
  for (QMenu* m : findChildren<QMenu*>()) {
    const QVariant label = m->property(kLabelProperty);
    if (label.isValid()) m->setTitle(Translate(label.toString()));
  }
  if (toolOptions_) toolOptions_->Heading()->setText(Translate(QStringLiteral("값지정")));
  RefreshSwatches();
}

void CMainFrame::RefreshAfterSettings() {
  RefreshSwatches();
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* child = qobject_cast<CChildFrame*>(w); child && child->View()) child->View()->viewport()->update();
}

void CMainFrame::SaveSettings() {
  CaptureSettings(frame_, settings_);
  settings_.previousForeground = ToColorref(rememberedFg_);
  settings_.previousBackground = ToColorref(rememberedBg_);
  SaveSettingsFile(dataFolder_ / kSettingsFileName, settings_);
  WriteFirstShowFile(dataFolder_ / kFirstShowFileName, 0);
  profile_->setValue(QStringLiteral("General/State"), saveState());
  profile_->setValue(QStringLiteral("General/Geometry"), saveGeometry());
  profile_->setValue(QStringLiteral("Recent File List/Files"), recent_);
  profile_->setValue(QStringLiteral("Settings/LastFolder"), lastFolder_);
  profile_->sync();
}

// ---------------------------------------------------------------- documents

CMirvDoc* CMainFrame::OpenDocumentFile(const QString& pathText) {
  const fs::path path = fs::absolute(FsPath(pathText)).lexically_normal();
  for (CMirvDoc* d : Documents()) {
    if (!d->Path().empty() && d->Path() == path) {
      const QList<CChildFrame*> frames = FramesOf(*d);
      if (!frames.isEmpty()) mdi_->setActiveSubWindow(frames.first());
      return d;
    }
  }
  // The document refuses an unknown extension without a word; the user who named
  // the file still deserves one.
  if (ExtensionCode(path) < 0) {
    host_->ShowFailure(kCannotOpen, path, "Unknown picture format");
    return nullptr;
  }
  auto doc = std::make_unique<CMirvDoc>(frame_, *host_, &services_);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = doc->OnOpenDocument(path);
  QApplication::restoreOverrideCursor();
  if (!ok) return nullptr;
  CMirvDoc* d = doc.get();
  documents_.push_back(std::move(doc));
  OpenWindow(*d);
  AddRecentFile(PathText(path));
  return d;
}

CMirvDoc* CMainFrame::NewDocument(int width, int height, int bitsPerPixel, const std::string& name) {
  frame_.newWidth = width;
  frame_.newHeight = height;
  frame_.newBitsPerPixel = bitsPerPixel;
  frame_.newTitle = name;
  auto doc = std::make_unique<CMirvDoc>(frame_, *host_, &services_);
  if (!doc->NewDocument()) return nullptr;
  CMirvDoc* d = doc.get();
  documents_.push_back(std::move(doc));
  OpenWindow(*d);
  return d;
}

CMirvDoc* CMainFrame::NewDocumentWith(const std::function<bool(CMirvDoc&)>& build) {
  auto doc = std::make_unique<CMirvDoc>(frame_, *host_, &services_);
  if (!build(*doc)) return nullptr;
  CMirvDoc* d = doc.get();
  documents_.push_back(std::move(doc));
  OpenWindow(*d);
  return d;
}

CChildFrame* CMainFrame::OpenWindow(CMirvDoc& doc) {
  auto* child = new CChildFrame(doc, frame_);
  child->setProperty(kWantedSize, child->size());
  mdi_->addSubWindow(child);
  WatchChild(child);
  if (CMirvView* v = child->View()) {
    // Every view reports its picture's size when it changes; only the active
    // window's belongs in the status line.
    connect(v, &CMirvView::statusText, this, [this, v](const QString& t) {
      if (v == ActiveView() || v->hasFocus()) SetStatusText(t);
    });
    connect(v, &CMirvView::progressChanged, this, &CMainFrame::SetProgress);
    connect(v, &CMirvView::contextCommand, this, [this](int id) { OnCommand(id); });
    connect(v, &CMirvView::toolStep, this, &CMainFrame::ToolStepDone);
  }
  child->show();
  if (child->View()) child->View()->OnUpdate(0);
  // Before the main window is shown (pictures named on the command line) the work
  // area has no real size yet: the window follows each size it takes until the user
  // sizes or moves the window (see FitFrameInArea).
  FitFrameInArea(child);
  mdi_->setActiveSubWindow(child);
  RefreshTitle();
  UpdateCommandUI();
  return child;
}

void CMainFrame::WatchChild(CChildFrame* child) {
  child->installEventFilter(this);
  connect(child, &QObject::destroyed, this, [this] {
    QTimer::singleShot(0, this, &CMainFrame::ReleaseUnusedDocuments);
  });
}

// A document lives as long as one of its windows does.
// Closed windows are deleted a moment after they close; until then their views
// still refer to the document, so only windows that are gone count.
void CMainFrame::ReleaseUnusedDocuments() {
  std::set<const CMirvDoc*> held;
  for (CChildFrame* c : mdi_->findChildren<CChildFrame*>()) held.insert(&c->Document());
  std::vector<std::unique_ptr<CMirvDoc>> keep;
  std::vector<std::unique_ptr<CMirvDoc>> release;
  for (auto& d : documents_) (held.count(d.get()) ? keep : release).push_back(std::move(d));
  // A preview left open on a picture being closed (the free-rotation panel stays open
  // beside the view) ends now and puts its layer back while the document exists;
  // later it would write into a freed document.
  for (const auto& d : release)
    for (PreviewDialog* p : findChildren<PreviewDialog*>())
      if (&p->Doc() == d.get() && p->Started() && !p->Recorded()) p->reject();
  documents_ = std::move(keep);
  release.clear();
  RefreshTitle();
  UpdateCommandUI();
}

QList<CChildFrame*> CMainFrame::FramesOf(const CMirvDoc& doc) const {
  QList<CChildFrame*> out;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* c = qobject_cast<CChildFrame*>(w);
    if (c && &c->Document() == &doc && !c->isHidden()) out << c;
  }
  return out;
}

std::vector<CMirvDoc*> CMainFrame::Documents() const {
  std::vector<CMirvDoc*> out;
  for (const auto& d : documents_) out.push_back(d.get());
  return out;
}

CChildFrame* CMainFrame::ActiveChild() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (!w) w = mdi_->currentSubWindow();
  return qobject_cast<CChildFrame*>(w);
}

CMirvDoc* CMainFrame::ActiveDocument() const {
  CChildFrame* c = ActiveChild();
  return c ? &c->Document() : nullptr;
}

CMirvView* CMainFrame::ActiveView() const {
  CChildFrame* c = ActiveChild();
  return c ? c->View() : nullptr;
}

void CMainFrame::AddRecentFile(const QString& path) {
  recent_.removeAll(path);
  recent_.prepend(path);
  while (recent_.size() > kMaxRecent) recent_.removeLast();
  RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
  if (!fileMenu_ || !recentPlaceholder_) return;
  for (QAction* a : recentActions_) {
    for (auto it = actions_.begin(); it != actions_.end();)
      it = it->second == a ? actions_.erase(it) : std::next(it);
    fileMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  // The placeholder stands for the list while it is empty, as it always has.
  recentPlaceholder_->setVisible(recent_.isEmpty());
  for (int i = 0; i < recent_.size(); ++i) {
    const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recent_[i]).fileName());
    QAction* a = MakeAction(framecmd::kRecentFirst + i, text, fileMenu_);
    a->setProperty(kLabelProperty, QVariant());
    a->setToolTip(recent_[i]);
    a->setStatusTip(recent_[i]);
    fileMenu_->insertAction(recentPlaceholder_, a);
    recentActions_.push_back(a);
  }
}

QString CMainFrame::InitialFolder() const {
  if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) return lastFolder_;
  if (firstShow_ == 1 && !sharedFolder_.empty()) {
    const fs::path samples = sharedFolder_ / "Samples";
    std::error_code ec;
    if (fs::is_directory(samples, ec)) return PathText(samples);
  }
  return QString();
}

void CMainFrame::OpenWithDialog() {
  const std::vector<std::string> filters = BuildQtFilters(true);
  QString selected;
  int row = 0;
  for (const FileFormatEntry& e : FileFormatTable()) {
    if (!e.open) continue;
    if (e.type == kAllPictureFormats && size_t(row) < filters.size())
      selected = QString::fromStdString(filters[size_t(row)]);
    ++row;
  }
  const QStringList files = openPicker_(Tr(kOpenTitle), InitialFolder(), Joined(filters), selected);
  for (const QString& f : files) {
    lastFolder_ = QFileInfo(f).absolutePath();
    OpenDocumentFile(f);
  }
}

bool CMainFrame::SaveDocument(CMirvDoc& doc, bool askName) {
  fs::path path = doc.Path();
  const int code = ExtensionCode(path);
  const bool savable = (code >= 0 && code <= 3) || code == 5;
  if (askName || path.empty() || !savable) {
    // The list starts on the document's own format, and the proposal is the
    // document's name up to its first "." with that format's extension.
    int own = (code >= 0 && code <= 3) || code == 5 ? code : doc.ViewImage()->FormatType();
    if (!((own >= 0 && own <= 3) || own == 5)) own = kFormatJpeg;
    std::string base = doc.Name();
    if (const size_t dot = base.find('.'); dot != std::string::npos) base.resize(dot);
    if (base.empty()) base = "UntitledImage";
    const fs::path folder = path.empty() ? FsPath(lastFolder_) : path.parent_path();
    const fs::path named = ResolveSaveName(base, own);
    const fs::path proposed = folder.empty() ? named : folder / named;
    const std::vector<std::string> filters = BuildQtFilters(false);
    QString selected = QString::fromStdString(filters.at(size_t(SaveFilterIndex(own))));
    const QString chosen =
        savePicker_(Tr(kSaveTitle), PathText(proposed), Joined(filters), &selected);
    if (chosen.isEmpty()) return false;
    int index = -1;
    for (size_t i = 0; i < filters.size(); ++i)
      if (QString::fromStdString(filters[i]) == selected) index = int(i);
    path = ResolveSaveName(FsPath(chosen), FormatFromFilterIndex(index, false));
    // The dialog does not ask about replacing: only now is the real name known.
    if (fs::exists(path) &&
        Host().AskQ(Tr(kReplacePrompt).arg(PathText(path.filename())), AskButtons::YesNo) !=
            Answer::Yes)
      return false;
    lastFolder_ = PathText(path.parent_path());
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = doc.OnSaveDocument(path);
  QApplication::restoreOverrideCursor();
  if (ok) AddRecentFile(PathText(fs::absolute(path)));
  UpdateCommandUI();
  return ok;
}

// Asks about one document; false when the user chose to keep it (Cancel, or a
// save that did not happen).
static bool AskToSave(CMainFrame& f, CMirvDoc& doc) {
  if (!NeedsSave(doc)) return true;
  const QString title = QString::fromStdString(doc.Name());
  switch (f.Host().AskQ(Tr(kSavePrompt).arg(title), AskButtons::YesNoCancel)) {
    case Answer::Yes: return f.SaveDocument(doc, false);
    case Answer::No: return true;
    default: return false;
  }
}

bool CMainFrame::CloseDocument(CMirvDoc& doc) {
  if (!AskToSave(*this, doc)) return false;
  const bool wasClosing = closing_;
  closing_ = true;
  for (CChildFrame* c : FramesOf(doc)) c->close();
  closing_ = wasClosing;
  ReleaseUnusedDocuments();
  return true;
}

bool CMainFrame::CloseAllDocuments() {
  for (CMirvDoc* d : Documents())
    if (!AskToSave(*this, *d)) return false;
  const bool wasClosing = closing_;
  closing_ = true;
  mdi_->closeAllSubWindows();
  closing_ = wasClosing;
  ReleaseUnusedDocuments();
  return true;
}

void CMainFrame::FitFrameInArea(QMdiSubWindow* w) {
  if (!w || w->isMinimized() || w->isMaximized()) return;
  const QSize area = mdi_->viewport()->size();
  const QRect g = w->geometry();
  QSize wanted = w->property(kWantedSize).toSize();
  const QVariant fittedBefore = w->property(kFittedGeometry);
  if (wanted.isValid() && fittedBefore.isValid() && fittedBefore.toRect() != g) {
    // Sized or moved since (by the user or a zoom): from now on only kept inside.
    wanted = QSize();
    w->setProperty(kWantedSize, QVariant());
  }
  const QSize want = wanted.isValid() ? wanted : g.size();
  const FrameSpan x = FitFrameSpan(g.left(), want.width(), area.width());
  const FrameSpan y = FitFrameSpan(g.top(), want.height(), area.height());
  const QRect fitted(x.nearEdge, y.nearEdge, x.extent, y.extent);
  if (fitted != g) w->setGeometry(fitted);
  if (wanted.isValid()) w->setProperty(kFittedGeometry, w->geometry());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
  if ((e->type() == QEvent::Resize || e->type() == QEvent::Show) && watched == mdi_->viewport()) {
    // The work area changed (the main window shown, maximized or made smaller):
    // every picture window stays reachable inside it.
    for (QMdiSubWindow* w : mdi_->subWindowList()) FitFrameInArea(w);
  }
  if (e->type() == QEvent::Close && !closing_) {
    if (auto* child = qobject_cast<CChildFrame*>(watched)) {
      // Closing the last window of a document closes the document.
      if (FramesOf(child->Document()).size() == 1 && !AskToSave(*this, child->Document())) {
        e->ignore();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
  SaveSettings();
  if (!CloseAllDocuments()) {
    e->ignore();
    return;
  }
  e->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e) {
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) OpenDocumentFile(u.toLocalFile());
  e->acceptProposedAction();
}

// ---------------------------------------------------------------- commands

bool CMainFrame::IsToolBuilt(int id) const {
  if (id == tool::kMove) return true;
  CMirvView* v = ActiveView();
  return v && v->Router().ToolFor(id) != nullptr;
}

bool CMainFrame::ClipboardHasPicture() const { return clipboardHasPicture_; }

QString CMainFrame::WebSite() const {
  const QByteArray env = qgetenv("VELMIRA_WEBSITE");
  if (!env.isEmpty()) return QString::fromUtf8(env);
  return profile_->value(QStringLiteral("Online/WebSite")).toString();
}

bool CMainFrame::IsCommandEnabled(int id) const {
  const CommandDef* def = Commands().Find(id);
  if (!def) return false;
  const CommandFront* front = Fronts().Find(id);
  // A command with neither a run function nor a front is not built yet.
  if (!def->run && !(front && front->run)) return false;
  if (!CommandState{ActiveDocument(), ActiveView() != nullptr}.Allows(*def)) return false;
  return !(front && front->enabled) || front->enabled(*this);
}

bool CMainFrame::OnCommand(int id) {
  if (!IsCommandEnabled(id)) return false;
  EndDecorationModes(*this, id);
  const CommandDef& def = *Commands().Find(id);
  if (def.asksToolChange && !ConsentToolChange(id)) return false;
  bool done = false;
  if (const CommandFront* front = Fronts().Find(id); front && front->run) {
    done = front->run(*this);
  } else {
    CommandContext ctx{ActiveDocument(), frame_, *host_, &services_};
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    done = def.run(ctx, {}, error);
    QApplication::restoreOverrideCursor();
    if (CMirvView* v = ActiveView()) v->viewport()->update();
  }
  SyncToolButtons();
  UpdateCommandUI();
  return done;
}

void RegisterFrameFronts(CommandFronts& f) {
  using namespace framecmd;
  auto run = [&f](int id, std::function<bool(CMainFrame&)> fn, std::function<bool(const CMainFrame&)> enabled = {}) {
    f.Add(id, CommandFront{std::move(enabled), std::move(fn)});
  };
  auto act = [&run](int id, void (CMainFrame::*fn)()) {
    run(id, [fn](CMainFrame& m) {
      (m.*fn)();
      return true;
    });
  };
  auto hasWindows = [](const CMainFrame& m) { return !m.mdi_->subWindowList().isEmpty(); };
  run(kNew, [](CMainFrame& m) {
    return m.NewDocument(m.frame_.newWidth, m.frame_.newHeight, m.frame_.newBitsPerPixel, m.frame_.newTitle) != nullptr;
  });
  act(kOpen, &CMainFrame::OpenWithDialog);
  run(kClose, [](CMainFrame& m) { return m.CloseDocument(*m.ActiveDocument()); });
  run(kSave, [](CMainFrame& m) { return m.SaveDocument(*m.ActiveDocument(), false); });
  run(kSaveAs, [](CMainFrame& m) { return m.SaveDocument(*m.ActiveDocument(), true); });
  act(kPrint, &CMainFrame::Print);
  act(kPrintSetup, &CMainFrame::PrintSetup);
  run(kExit, [](CMainFrame& m) {
    m.close();
    return true;
  });
  run(kNewWindow, [](CMainFrame& m) { return m.OpenWindow(*m.ActiveDocument()) != nullptr; });
  run(kCascade, [](CMainFrame& m) {
    m.mdi_->cascadeSubWindows();
    return true;
  }, hasWindows);
  run(kTile, [](CMainFrame& m) {
    m.mdi_->tileSubWindows();
    return true;
  }, hasWindows);
  run(kCloseAll, [](CMainFrame& m) { return m.CloseAllDocuments(); }, hasWindows);
  act(kAbout, &CMainFrame::About);
  run(kWebSite, [](CMainFrame& m) {
    m.OpenWebSite();
    return true;
  }, [](const CMainFrame& m) { return !m.WebSite().isEmpty(); });
  run(kForeground, [](CMainFrame& m) {
    m.PickColour(true);
    return true;
  });
  run(kBackground, [](CMainFrame& m) {
    m.PickColour(false);
    return true;
  });
  act(kSwapColours, &CMainFrame::SwapColours);
  run(kBrushPalette, [](CMainFrame& m) {
    QWidget* anchor = m.commandBar_->widgetForAction(m.barActions_.at(kBrushPalette));
    m.brushPalette_->adjustSize();
    m.brushPalette_->move(anchor ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos());
    m.brushPalette_->show();
    return true;
  });
  for (const BrushButton& b : BrushPalette()) {
    const int id = b.id;
    run(id, [id](CMainFrame& m) {
      m.ChooseBrush(id);
      return true;
    });
  }
  for (int id = kRecentFirst; id <= kRecentLast; ++id) {
    run(id, [id](CMainFrame& m) {
      const QString path = m.recent_.value(id - kRecentFirst);
      if (!m.OpenDocumentFile(path) && !QFileInfo::exists(path)) {
        m.recent_.removeAll(path);
        m.RebuildRecentMenu();
      }
      return true;
    }, [id](const CMainFrame& m) { return id - kRecentFirst < m.recent_.size(); });
  }
  // Paste also needs a picture on the clipboard; the document's paste does the rest.
  f.Add(cmd::kPaste, CommandFront{[](const CMainFrame& m) { return m.ClipboardHasPicture(); }, {}});
  for (int id : {tool::kZoomIn, tool::kZoomOut, tool::kZoomActual, tool::kStretch})
    run(id, [id](CMainFrame& m) { return m.ActiveView()->OnZoomCommand(id); },
        [id](const CMainFrame& m) { return m.ActiveView()->IsZoomCommandEnabled(id); });
  for (int id : {tool::kGrid, tool::kClearSelection})
    run(id, [id](CMainFrame& m) {
      CMirvView* v = m.ActiveView();
      const bool done = v->Router().OnCommand(id, v);
      v->viewport()->update();
      return done;
    }, [id](const CMainFrame& m) { return m.ActiveView()->Router().IsCommandEnabled(id); });
  // Every tool: chosen once the view's router has it.
  for (const auto& c : Commands().All()) {
    if (!c->tool) continue;
    const int id = c->id;
    run(id, [id](CMainFrame& m) { return m.ChooseTool(id); },
        [id](const CMainFrame& m) { return m.IsToolBuilt(id); });
  }
}

bool CMainFrame::ChooseTool(int id) {
  // Choosing the current tool again keeps its settings and whatever it has under way.
  if (id == frame_.currentTool) return true;
  if (!MayChooseTool(*this, id) || !ConsentToolChange(id)) return false;
  MeasureToolChanging(*this);
  // Leaving the move tool puts a lifted selection down where the user left it.
  if (CMirvView* v = ActiveView()) {
    v->Router().PutDownSelection(v);
    v->viewport()->update();
  }
  // An emptied colour-range mask without a selection must not block the next tool.
  if (CMirvDoc* doc = ActiveDocument(); doc && !doc->Layers().selectionExists && doc->Layers().Active())
    doc->Layers().ResetSelection(doc->Layers().active);
  if (tool::IsSelectionTool(id)) {
    if (!tool::IsSelectionTool(frame_.currentTool)) frame_.previousTool = frame_.currentTool;
    frame_.selectionKind = id == tool::kRectSelect ? 0 : id == tool::kFreeSelect ? 1 : id == tool::kAutoSelect ? 2 : 3;
  }
  frame_.currentTool = id;
  SetUpChosenTool(*this, id);
  return true;
}

std::optional<QColor> CMainFrame::AskColour(const QColor& initial, const QString& caption) {
  return colourPicker_(initial, caption);
}

void CMainFrame::ToolStepDone() {
  // The colour picker changes the foreground; a selection enables its commands.
  RefreshSwatches();
  AfterToolStep(*this);
  MeasureAfterToolStep(*this);
  UpdateCommandUI();
}

void CMainFrame::ChooseBrush(int id) {
  for (const BrushButton& b : BrushPalette()) {
    if (b.id != id) continue;
    frame_.brushSize = b.size;
    frame_.softEdge = b.soft;
    if (auto it = barActions_.find(framecmd::kBrushPalette); it != barActions_.end())
      it->second->setIcon(BrushIcon(b.size, b.soft));
  }
  brushPalette_->hide();
}

bool CMainFrame::ConsentToolChange(int newTool) {
  auto shown = [](QWidget* w) { return w && w->isVisible(); };
  if (shown(guidePathPanel_) && !tool::MayFollow(tool::ModePanel::GuidePath, newTool)) return false;
  if (shown(rotationPanel_) && !tool::MayFollow(tool::ModePanel::Rotation, newTool)) return false;
  if (newTool != cmd::kFlatten) {
    // The gradient's options belong to the gradient tool alone.
    if (newTool != tool::kGradient)
      if (auto* g = findChild<GradientDialog*>(QString(), Qt::FindDirectChildrenOnly); g && g->isVisible()) g->hide();
    PressToolButton(newTool);
    // A free transform takes over from free rotation: the rotation mode ends (its
    // panel puts the layer back), not only its panel; a hidden panel would keep the
    // mode alive and free rotation could never be entered again.
    if (shown(rotationPanel_)) {
      if (auto* d = qobject_cast<QDialog*>(rotationPanel_))
        d->reject();
      else
        rotationPanel_->hide();
    }
    if (CMirvView* v = ActiveView()) v->setFocus(Qt::OtherFocusReason);
  }
  return true;
}

void CMainFrame::PressToolButton(int id) {
  for (auto& [bid, a] : barActions_)
    if (a->isCheckable()) a->setChecked(bid == id);
}

// The pressed button always names the current tool, whoever changed it.
void CMainFrame::SyncToolButtons() { PressToolButton(frame_.currentTool); }

void CMainFrame::UpdateCommandUI() {
  for (auto& [id, a] : actions_) a->setEnabled(IsCommandEnabled(id));
  if (auto it = menuActions_.find(tool::kGrid); it != menuActions_.end()) {
    it->second->setCheckable(true);
    it->second->setChecked(frame_.gridSpacing > 0);
  }
  SyncToolButtons();
}

// ---------------------------------------------------------------- colours

void CMainFrame::RefreshSwatches() {
  if (auto it = barActions_.find(framecmd::kForeground); it != barActions_.end())
    it->second->setIcon(SwatchIcon(ToQColor(frame_.foreground)));
  if (auto it = barActions_.find(framecmd::kBackground); it != barActions_.end())
    it->second->setIcon(SwatchIcon(ToQColor(frame_.background)));
  if (auto it = barActions_.find(framecmd::kBrushPalette); it != barActions_.end())
    it->second->setIcon(BrushIcon(frame_.brushSize, frame_.softEdge));
}

void CMainFrame::PickColour(bool foreground) {
  const QColor current = ToQColor(foreground ? frame_.foreground : frame_.background);
  const std::optional<QColor> chosen =
      colourPicker_(current, Tr(foreground ? kForegroundCaption : kBackgroundCaption));
  if (!chosen || !chosen->isValid()) return;
  if (foreground) {
    frame_.foreground = ToRgbq(*chosen);
    rememberedFg_ = *chosen;
  } else {
    frame_.background = ToRgbq(*chosen);
    rememberedBg_ = *chosen;
  }
  RefreshSwatches();
}

void CMainFrame::SwapColours() {
  std::swap(frame_.foreground, frame_.background);
  std::swap(rememberedFg_, rememberedBg_);
  RefreshSwatches();
}

// ---------------------------------------------------------------- the rest

void CMainFrame::SetProgress(int percent) { progress_->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent); }

void CMainFrame::SetStatusText(const QString& text) { status_->setText(text); }

void CMainFrame::SetBaseTitle(const QString& title) {
  baseTitle_ = title;
  RefreshTitle();
}

void CMainFrame::RefreshTitle() {
  QString t = baseTitle_;
  if (CMirvView* v = ActiveView())
    t += QStringLiteral(" - [%1]").arg(QString::fromStdString(v->Router().Title()).trimmed());
  setWindowTitle(t);
}

void CMainFrame::Print() {
  CMirvView* v = ActiveView();
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), this);
  if (dialog.exec() == QDialog::Accepted) v->PrintTo(printer_.get());
}

void CMainFrame::PrintSetup() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPageSetupDialog dialog(printer_.get(), this);
  dialog.exec();
}

void CMainFrame::About() {
  QMessageBox::about(this, Tr("'Velmira'에 관하여"),
                     Tr("<b>Velmira 3.68</b><br>레이어 사진 편집기<br>Linux, Qt %1")
                         .arg(QString::fromLatin1(qVersion())));
}

void CMainFrame::OpenWebSite() { QDesktopServices::openUrl(QUrl::fromUserInput(WebSite())); }

QMenu* CMainFrame::Popup(int index) const { return popups_.value(index); }

QAction* CMainFrame::MenuAction(int id) const {
  auto it = menuActions_.find(id);
  return it == menuActions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::BarAction(int id) const {
  auto it = barActions_.find(id);
  return it == barActions_.end() ? nullptr : it->second;
}

}  // namespace velmira
