#include "ui/scan_menu.h"
#include "app/language.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QSettings>

#include "online/online_commands.h"
#include "ui/command_fronts.h"
#include "ui/dlg_scan.h"
#include "ui/main_frame.h"

namespace velmira {

namespace {

constexpr const char* kDeviceKey = "Online/ScanDevice";

// Pages from the worker thread go to the frame's thread as queued calls; the
// controller outlives the worker (it joins it), so the calls never dangle.
class PostingSink : public online::PageSink {
 public:
  PostingSink(ScanController& c, std::function<void(std::unique_ptr<CImageBuffer>)> deliver,
              std::function<void(int, int)> progress)
      : controller_(c), deliver_(std::move(deliver)), progress_(std::move(progress)) {}
  void Deliver(std::unique_ptr<CImageBuffer> image) override {
    auto shared = std::make_shared<std::unique_ptr<CImageBuffer>>(std::move(image));
    QMetaObject::invokeMethod(
        &controller_, [d = deliver_, shared] { d(std::move(*shared)); }, Qt::QueuedConnection);
  }
  void Progress(int page, int percent) override {
    QMetaObject::invokeMethod(
        &controller_, [p = progress_, page, percent] { p(page, percent); }, Qt::QueuedConnection);
  }

 private:
  ScanController& controller_;
  std::function<void(std::unique_ptr<CImageBuffer>)> deliver_;
  std::function<void(int, int)> progress_;
};

}  // namespace

void RegisterScanFronts(CommandFronts& f) {
  for (int id : {online::kCmdSelectSource, online::kCmdAcquire}) {
    f.Add(id, CommandFront{[](const CMainFrame& frame) {
                             const ScanController* c = FindScanner(frame);
                             return c && c->Ready();
                           },
                           [id](CMainFrame& frame) {
                             ScanController* c = FindScanner(frame);
                             if (!c || !c->Ready()) return false;
                             return id == online::kCmdSelectSource ? c->SelectSource() : c->Acquire();
                           }});
  }
}

ScanController* FindScanner(const CMainFrame& frame) {
  return frame.findChild<ScanController*>(QString(), Qt::FindDirectChildrenOnly);
}

ScanController& Scanner(CMainFrame& frame) {
  if (ScanController* c = FindScanner(frame)) return *c;
  return *new ScanController(frame);
}

void StartDeviceProbe(CMainFrame& frame) { Scanner(frame).StartProbe(); }

// ---------------------------------------------------------------- controller

ScanController::ScanController(CMainFrame& frame) : QObject(&frame), frame_(frame) {
  setObjectName(QStringLiteral("scanController"));
}

ScanController::~ScanController() {
  client_->RequestCancel();
  if (transfer_.joinable()) transfer_.join();
  bool probing = false;
  if (probeOwner_) {
    std::lock_guard<std::mutex> lock(probeOwner_->m);
    probeOwner_->owner = nullptr;
    probing = !probeOwner_->finished;
  }
  // Asking the backends for devices takes seconds on a machine without a scanner;
  // quitting must not wait for it. The probe finishes on its own, reports to no
  // one, and its hold on the client ends SANE then.
  if (probe_.joinable()) {
    if (probing)
      probe_.detach();
    else
      probe_.join();
  }
  if (!probing) client_->Shutdown();
}

void ScanController::StartProbe() {
  if (probe_.joinable()) return;
  probeDone_ = false;
  probeOwner_ = std::make_shared<ProbeOwner>();
  probeOwner_->owner = this;
  probe_ = std::thread([client = client_, report = probeOwner_] {
    std::vector<online::ScanDevice> found;
    if (client->Initialise()) found = client->Devices();
    std::lock_guard<std::mutex> lock(report->m);
    report->finished = true;
    ScanController* const self = report->owner;
    if (!self) return;
    QMetaObject::invokeMethod(
        self,
        [self, found] {
          self->devices_ = found;
          self->probeDone_ = true;
          if (self->probe_.joinable()) self->probe_.join();
          Q_EMIT self->probeFinished(self->Ready());
        },
        Qt::QueuedConnection);
  });
}

bool ScanController::Ready() const {
  return probeDone_ && !transferring_ && client_->ManagerOpen() && !devices_.empty();
}

bool ScanController::SelectSource() {
  if (!Ready()) return false;
  const std::string remembered = frame_.Profile().value(QString::fromLatin1(kDeviceKey)).toString().toStdString();
  const bool chosen = client_->SelectSource(
      [this](const std::vector<online::ScanDevice>& devices,
             const std::string& proposal) -> std::optional<std::string> {
        CDlg_ScanSource dialog(devices, proposal, &frame_);
        if (RunDialog(dialog) != QDialog::Accepted || dialog.Chosen().empty()) return std::nullopt;
        return dialog.Chosen();
      },
      remembered, &devices_);
  if (chosen) frame_.Profile().setValue(QString::fromLatin1(kDeviceKey), QString::fromStdString(client_->SelectedSource()));
  return chosen;
}

bool ScanController::Acquire() {
  if (!Ready()) return false;
  if (!client_->SourceSelected() && !SelectSource()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool open = client_->OpenSource();
  const online::ScanCapabilities caps = open ? client_->Capabilities() : online::ScanCapabilities();
  QApplication::restoreOverrideCursor();
  if (!open) {
    frame_.SetStatusText(Tr("외부장치를 열 수 없습니다: %1")
                             .arg(QString::fromStdString(client_->LastStatusText())));
    return false;
  }
  CDlg_Acquire::PreviewScan preview;
  if (caps.hasPreview) preview = [this](const online::ScanSettings& s) { return client_->Preview(s); };
  CDlg_Acquire dialog(client_->SelectedSource(), caps, preview, &frame_);
  if (RunDialog(dialog) != QDialog::Accepted) return false;
  if (!client_->EnableSource(dialog.Settings())) {
    frame_.SetStatusText(Tr("외부장치가 설정을 받아들이지 않습니다: %1")
                             .arg(QString::fromStdString(client_->LastStatusText())));
    return false;
  }

  transferring_ = true;
  frame_.UpdateCommandUI();
  QProgressDialog progress(Tr("외부영상을 읽어들이는 중..."), Tr("취소"), 0, 100,
                           &frame_);
  progress.setObjectName(QStringLiteral("scanProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  progress.setValue(0);
  progress_ = &progress;
  connect(&progress, &QProgressDialog::canceled, this, [this] { client_->RequestCancel(); });

  // Shared with the queued page calls, which may outlive this function if the
  // application quits in the middle (their pages still open then: none is lost).
  auto opened = std::make_shared<int>(0);
  PostingSink sink(
      *this,
      [this, opened](std::unique_ptr<CImageBuffer> image) {
        const int before = frame_.Frame().scanCounter;
        OpenPage(std::move(image));
        if (frame_.Frame().scanCounter != before) ++*opened;
      },
      [this](int page, int percent) {
        if (!progress_) return;
        progress_->setLabelText(Tr("외부영상을 읽어들이는 중... (%1쪽)").arg(page + 1));
        progress_->setValue(percent);
        frame_.SetProgress(percent);
      });
  QEventLoop loop;
  online::TransferResult result;
  std::atomic<bool> workerDone{false};
  transfer_ = std::thread([this, &sink, &result, &loop, &workerDone] {
    result = client_->Transfers(sink);
    workerDone = true;
    // Queued after every page the sink posted, so the loop ends once they are open.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The application quitting ends every event loop, this one too: stop the device
  // instead of waiting for the rest of the feeder.
  if (!workerDone) client_->RequestCancel();
  transfer_.join();
  progress_ = nullptr;
  progress.close();
  transferring_ = false;
  frame_.SetProgress(0);
  if (result.failed && !result.cancelled)
    frame_.SetStatusText(Tr("외부장치 오류: %1").arg(QString::fromStdString(result.error)));
  frame_.UpdateCommandUI();
  Q_EMIT acquisitionFinished(*opened, result.cancelled, result.failed);
  return *opened > 0;
}

void ScanController::OpenPage(std::unique_ptr<CImageBuffer> image) {
  int& counter = frame_.Frame().scanCounter;
  CMirvDoc* doc = frame_.NewDocumentWith(
      [&](CMirvDoc& d) { return online::OpenScannedPage(d, std::move(image), counter); });
  if (doc) Q_EMIT pageOpened(doc);
}

}  // namespace velmira
