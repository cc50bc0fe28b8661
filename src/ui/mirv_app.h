// CMirvApp: the editor's start-up. It makes the main frame (which reads the
// settings), sets up the instance's temporary folder, opens the pictures named on
// the command line, shows the splash window and sets the window titles, in a fixed
// order that the tests check through the step log.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/temp_folders.h"
#include "online/update_version.h"
#include "ui/update_check.h"
#include "app/language.h"

namespace velmira {

class CMainFrame;

// The borderless start-up window; it closes itself after `ms` milliseconds.
class CSplashWindow : public QDialog {
  Q_OBJECT

 public:
  explicit CSplashWindow(int ms, QWidget* parent = nullptr);
  static QPixmap Picture();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  int ms_;
};

class CMirvApp {
 public:
  struct Options {
    int splashMs = 700;
    bool maximize = true;
    // Runs on the new frame before any picture opens (tests answer its questions).
    std::function<void(CMainFrame&)> configure;
    // How long the update check may wait for the network.
    int updateTimeoutMs = online::kUpdateTimeoutMs;
    // Look for scanners and cameras in the background after start-up.
    bool probeDevices = true;
    // The interface language ("ko", "en", "ja"); the editor passes the one the
    // settings and the locale choose.
    std::string language = "ko";
  };

  explicit CMirvApp(QStringList files);
  CMirvApp(QStringList files, Options options);
  ~CMirvApp();

  // Runs the start-up steps; false when the program cannot start.
  bool InitInstance();

  CMainFrame* MainFrame() const { return frame_.get(); }
  const InstanceTempFolder& TempFolder() const { return temp_; }
  // The start-up steps in the order they ran.
  const std::vector<std::string>& Log() const { return log_; }
  // The update check under way (null when none was started or it has ended).
  CUpdateAgent* UpdateAgent() const { return updateAgent_.data(); }

  static constexpr const char* kCheckingTitle = QT_TR_NOOP("[인터넷] 연결하여 업데이트 여부 확인...");
  static constexpr const char* kTitle = "Velmira 3.68";

 private:
  QStringList files_;
  Options options_;
  InstanceTempFolder temp_;
  std::filesystem::path fallbackTemp_;  // used when temp_ could not be made
  // Folders of gone editors holding documents to offer; kept locked until then.
  std::vector<std::unique_ptr<ClaimedFolder>> leftovers_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<LanguagePack> language_;
  std::vector<std::string> log_;
  QPointer<CUpdateAgent> updateAgent_;
};

}  // namespace velmira
