// velmira: the editor. Everything but the start-up lives in velmira_ui so that the
// tests link the same code.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/language.h"
#include "app/shared_folder.h"
#include "app/temp_folders.h"
#include "ui/mirv_app.h"
#include "ui/mirv_view.h"

namespace {

// VELMIRA_REPORT_FIRST_PAINT=1 prints the shared data folder in use and the time
// from the start of main() to the first paint of a picture view; with
// VELMIRA_EXIT_AFTER_FIRST_PAINT=1 the editor then quits (the start-up benchmark
// and the test of an installed copy).
class FirstPaintProbe : public QObject {
 public:
  explicit FirstPaintProbe(bool quit) : quit_(quit) { clock_.start(); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (!done_ && e->type() == QEvent::Paint && o->parent() && qobject_cast<velmira::CMirvView*>(o->parent())) {
      done_ = true;
      // Report once the paint has been delivered.
      QTimer::singleShot(0, [this] {
        std::printf("first-paint-ms %lld\n", static_cast<long long>(clock_.elapsed()));
        std::fflush(stdout);
        if (quit_) {
          quitting_ = true;
          QApplication::exit(0);
        }
      });
    }
    return false;
  }
  // Exit ends every running loop, the splash window's included; the start-up must
  // not then enter the main loop again.
  bool Quitting() const { return quitting_; }

 private:
  bool quitting_ = false;
  QElapsedTimer clock_;
  bool quit_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Lets the desktop match the windows to the installed entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmira.Velmira"));
  std::unique_ptr<FirstPaintProbe> probe;
  if (qEnvironmentVariableIntValue("VELMIRA_REPORT_FIRST_PAINT") == 1) {
    probe = std::make_unique<FirstPaintProbe>(qEnvironmentVariableIntValue("VELMIRA_EXIT_AFTER_FIRST_PAINT") == 1);
    app.installEventFilter(probe.get());
    std::printf("shared-folder %s\n", velmira::SharedFolder().c_str());
    std::fflush(stdout);
  }
  velmira::CMirvApp::Options options;
  options.language = velmira::StartupLanguage(velmira::DataFolder());
  velmira::CMirvApp mirv(app.arguments().mid(1), options);
  if (!mirv.InitInstance()) return 1;
  if (probe && probe->Quitting()) return 0;
  return app.exec();
}
