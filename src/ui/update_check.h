// The update check at start-up: CUpdateAgent fetches the web site's update file
// without blocking anything, and CDlg_UpdateCheck tells the user when the published
// version is newer. Every failure is silent: the editor simply starts.
#pragma once

#include <QDialog>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;

namespace velmira {

class CMainFrame;

class CUpdateAgent : public QObject {
  Q_OBJECT

 public:
  explicit CUpdateAgent(QObject* parent = nullptr);
  ~CUpdateAgent() override;

  // Asks for `url` and gives up after `timeoutMs`. False when there is nothing to
  // ask (an empty or unusable address): then no connection is made at all.
  bool Start(const QString& url, int timeoutMs);
  bool IsRunning() const { return reply_ != nullptr; }
  // The bytes kept from the reply (at most the read limit).
  const QByteArray& Received() const { return data_; }

 Q_SIGNALS:
  // The online version when the reply held one; nothing after any failure.
  void finished(std::optional<int> onlineVersion);

 private:
  void ReadSome();
  void Finish(bool usable);

  QNetworkAccessManager* net_ = nullptr;  // made only when a request is sent
  QNetworkReply* reply_ = nullptr;
  QByteArray data_;
  QTimer limit_;
};

class CDlg_UpdateCheck : public QDialog {
  Q_OBJECT

 public:
  CDlg_UpdateCheck(int ownVersion, int onlineVersion, const QString& webSite, QWidget* parent = nullptr);
  QLabel* VersionLabel() const { return version_; }

 private:
  QLabel* version_ = nullptr;
};

// The base address of the update file as configured in the settings dialog (the
// profile); VELMIRA_UPDATE_URL overrides it.
QString UpdateBaseSetting(const CMainFrame& frame);
void SetUpdateBaseSetting(CMainFrame& frame, const QString& base);
// The update file's address, empty when no base is known.
QString UpdateFileAddress(const CMainFrame& frame);

// The start-up step: with the setting on and an address known, starts the check
// and returns its agent (a child of the frame), which shows the dialog over the
// frame if a newer version is published. Nothing (and no socket) otherwise.
CUpdateAgent* StartUpdateCheck(CMainFrame& frame, int timeoutMs);

}  // namespace velmira
