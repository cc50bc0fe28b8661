#include "ui/mirv_app.h"
#include "app/language.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <unistd.h>

#include "app/shared_folder.h"
#include "ui/main_frame.h"
#include "ui/recovery_offer.h"
#include "ui/scan_menu.h"
#include "ui/update_check.h"

namespace velmira {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- splash

CSplashWindow::CSplashWindow(int ms, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), ms_(ms) {
  setObjectName(QStringLiteral("splash"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(this);
  label->setPixmap(Picture());
  layout->addWidget(label);
  setModal(true);
}

QPixmap CSplashWindow::Picture() {
  QPixmap pm(420, 240);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 240);
  sky.setColorAt(0, QColor(43, 58, 85));
  sky.setColorAt(1, QColor(86, 150, 214));
  p.fillRect(pm.rect(), sky);
  // Three stacked layers, the editor's emblem.
  for (int i = 2; i >= 0; --i) {
    QPolygonF d;
    const double y = 70 + i * 28;
    d << QPointF(90, y - 18) << QPointF(150, y + 6) << QPointF(90, y + 30) << QPointF(30, y + 6);
    p.setPen(QPen(QColor(250, 250, 246), 2));
    p.setBrush(i == 0 ? QColor(224, 122, 47) : QColor(250, 250, 246, 90));
    p.drawPolygon(d);
  }
  p.setPen(QColor(250, 250, 246));
  QFont f = p.font();
  f.setPixelSize(40);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(170, 70, 240, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmira"));
  f.setPixelSize(18);
  f.setBold(false);
  p.setFont(f);
  p.drawText(QRect(172, 120, 240, 30), Qt::AlignLeft | Qt::AlignVCenter, Tr("3.68  사진 편집기"));
  p.end();
  return pm;
}

void CSplashWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  QTimer::singleShot(ms_, this, &QDialog::accept);
}

// ---------------------------------------------------------------- start-up

CMirvApp::CMirvApp(QStringList files) : CMirvApp(std::move(files), Options{}) {}

CMirvApp::CMirvApp(QStringList files, Options options) : files_(std::move(files)), options_(options) {}

CMirvApp::~CMirvApp() {
  // Documents first (each removes its own history files), then the instance's
  // folder: a normal end leaves nothing in the temporary folder.
  frame_.reset();
  temp_.RemoveAndClose();
  std::error_code ec;
  if (!fallbackTemp_.empty()) fs::remove_all(fallbackTemp_, ec);
}

bool CMirvApp::InitInstance() {
  // The profile (recent files, bar state) is kept under the maker's name.
  QCoreApplication::setOrganizationName(QStringLiteral("Velmira Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Velmira"));
  log_.push_back("profile");

  // Before the frame builds its menus. Qt's own buttons and dialogs (file dialogs,
  // Yes/No, the colour dialog) speak the interface's language too; without Debian's
  // translations they stay English.
  language_ = std::make_unique<LanguagePack>();
  if (!language_->Load(options_.language, TranslationsFolder()))
    std::fprintf(stderr, "velmira: no %s translation found; the interface stays Korean\n", options_.language.c_str());
  language_->Install();

  // The frame reads the settings file, the first-run marker and the string table.
  frame_ = std::make_unique<CMainFrame>(DataFolder(), SharedFolder());
  log_.push_back("frame");
  if (options_.configure) options_.configure(*frame_);

  // The history folder comes before any document: every opened picture writes its
  // first history step at once, and a clean-up after the opening would take it.
  // What gone editors left that can be recovered is claimed before the clean-up
  // below, which would otherwise take it, and offered once the window is up.
  leftovers_ = ClaimLeftoverFolders(TempRoot());
  std::string error;
  fs::path tempPath;
  if (temp_.Open(TempRoot(), &error)) {
    tempPath = temp_.Path();
  } else {
    // Undo still works from the system's temporary folder.
    std::error_code ec;
    tempPath = fs::temp_directory_path(ec) / ("velmira-" + std::to_string(::getpid()));
    fs::create_directories(tempPath, ec);
    fallbackTemp_ = tempPath;
  }
  frame_->Frame().tempFolder = tempPath;
  log_.push_back("temp");

  frame_->SetBaseTitle(Tr(kCheckingTitle));
  log_.push_back(std::string("title:") + kCheckingTitle);

  for (const QString& f : files_) {
    frame_->OpenDocumentFile(f);
    log_.push_back("open:" + f.toStdString());
  }

  if (options_.maximize)
    frame_->showMaximized();
  else
    frame_->show();
  log_.push_back("show");

  if (options_.splashMs > 0) {
    CSplashWindow splash(options_.splashMs, frame_.get());
    splash.exec();
  }
  log_.push_back("splash");

  if (!leftovers_.empty()) {
    const int offered = OfferRecovery(*frame_, leftovers_);
    log_.push_back("recover:" + std::to_string(offered));
  }

  // The check runs in the background: a slow or dead network never holds up the
  // start, and the dialog appears whenever a newer version is reported.
  updateAgent_ = StartUpdateCheck(*frame_, options_.updateTimeoutMs);
  log_.push_back(frame_->Settings().updateCheck == 1 ? "update-check:on" : "update-check:off");
  if (options_.probeDevices) StartDeviceProbe(*frame_);
  frame_->SetBaseTitle(Tr(kTitle));
  log_.push_back(std::string("title:") + kTitle);

  // "Show the open dialog at start" from the settings, when nothing was named.
  if (files_.isEmpty() && frame_->Settings().openAtStart == 1) {
    frame_->OnCommand(57601);
    log_.push_back("open-dialog");
  }
  return true;
}

}  // namespace velmira
