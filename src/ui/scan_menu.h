// The acquisition commands "외부장치 선택..." (1474) and "외부영상 입력 " (1475).
// A ScanController, a child of the frame, owns the SANE client. Its devices are
// looked for in the background after start-up (some SANE backends take seconds);
// until a device is found both commands stay disabled, and on a machine without
// libsane or without devices they stay so, without a word.
// The transfers run on a worker thread behind a progress dialog with a cancel
// button; each delivered page opens as a new document "스캔영상_%d".
#pragma once

#include <QDialog>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "online/sane_client.h"

class QProgressDialog;

namespace velmira {

class CMainFrame;
class CMirvDoc;

class CommandFronts;

// The editor fronts of 1474 and 1475: enabled once a device was found, run through
// the frame's ScanController.
void RegisterScanFronts(CommandFronts& f);

class ScanController : public QObject {
  Q_OBJECT

 public:
  explicit ScanController(CMainFrame& frame);
  ~ScanController() override;

  // Looks for SANE and its devices on a worker thread; probeFinished follows.
  void StartProbe();
  bool Probing() const { return probe_.joinable() && !probeDone_; }
  // SANE is there and has at least one device, and nothing is under way.
  bool Ready() const;
  const std::vector<online::ScanDevice>& Devices() const { return devices_; }

  // 1474: the device list; the choice is kept for this run and the next.
  bool SelectSource();
  // 1475: selects first when nothing is chosen, then the settings dialog, then the
  // transfers. True when at least one page became a document.
  bool Acquire();

  // How the dialogs are shown: modally by default. Tests work the dialog's controls
  // and return the result in place of a user.
  using DialogRunner = std::function<int(QDialog&)>;
  void SetDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }

  online::CSaneClient& Client() { return *client_; }
  // The progress dialog while pages are read (null otherwise).
  QProgressDialog* ProgressDialog() const { return progress_; }
  bool Transferring() const { return transferring_; }

 Q_SIGNALS:
  void probeFinished(bool ready);
  void pageOpened(velmira::CMirvDoc* doc);
  void acquisitionFinished(int delivered, bool cancelled, bool failed);

 private:
  int RunDialog(QDialog& d) { return runner_ ? runner_(d) : d.exec(); }
  void OpenPage(std::unique_ptr<CImageBuffer> image);

  CMainFrame& frame_;
  // Shared with the probe thread, which may outlive the controller (see the
  // destructor) and then ends SANE itself when it lets go.
  std::shared_ptr<online::CSaneClient> client_ = std::make_shared<online::CSaneClient>();
  // Who the probe reports to; cleared under the lock when the controller goes.
  struct ProbeOwner {
    std::mutex m;
    ScanController* owner = nullptr;
    std::atomic<bool> finished{false};
  };
  std::shared_ptr<ProbeOwner> probeOwner_;
  std::vector<online::ScanDevice> devices_;
  std::thread probe_;
  std::thread transfer_;
  std::atomic<bool> probeDone_{false};
  bool transferring_ = false;
  DialogRunner runner_;
  QProgressDialog* progress_ = nullptr;
};

// The frame's controller, made on first use.
ScanController& Scanner(CMainFrame& frame);
ScanController* FindScanner(const CMainFrame& frame);
// The start-up step: looks for devices in the background.
void StartDeviceProbe(CMainFrame& frame);

}  // namespace velmira
