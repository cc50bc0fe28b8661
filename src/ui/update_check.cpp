#include "ui/update_check.h"
#include "app/language.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

#include "online/update_version.h"
#include "ui/main_frame.h"

namespace velmira {

namespace {
constexpr const char* kUpdateKey = "Online/UpdateUrl";
}

// ---------------------------------------------------------------- agent

CUpdateAgent::CUpdateAgent(QObject* parent) : QObject(parent) {
  limit_.setSingleShot(true);
  // A coarse timer may fire a little early; the limit is the limit.
  limit_.setTimerType(Qt::PreciseTimer);
  connect(&limit_, &QTimer::timeout, this, [this] { Finish(false); });
}

CUpdateAgent::~CUpdateAgent() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
  }
}

bool CUpdateAgent::Start(const QString& url, int timeoutMs) {
  if (reply_) return false;
  const QUrl address(url, QUrl::StrictMode);
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || address.host().isEmpty() || (scheme != "http" && scheme != "https")) return false;
  if (!net_) net_ = new QNetworkAccessManager(this);
  QNetworkRequest request(address);
  request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(online::kUpdateAgent));
  // Always the file as it is now, never a cached copy.
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setRawHeader("Cache-Control", "no-cache");
  data_.clear();
  reply_ = net_->get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &CUpdateAgent::ReadSome);
  connect(reply_, &QNetworkReply::finished, this, [this] {
    ReadSome();
    Finish(true);
  });
  limit_.start(timeoutMs);
  return true;
}

void CUpdateAgent::ReadSome() {
  if (!reply_) return;
  const qint64 room = qint64(online::kUpdateReadLimit) - data_.size();
  if (room > 0) data_ += reply_->read(room);
  // The rest of a long reply is not wanted: stop the transfer.
  if (data_.size() >= qint64(online::kUpdateReadLimit) && !reply_->isFinished()) Finish(true);
}

void CUpdateAgent::Finish(bool usable) {
  if (!reply_) return;
  limit_.stop();
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  reply->disconnect(this);
  // Only a successful HTTP reply is the update file: an error page ("404 Not Found")
  // would otherwise read as version 404.
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const bool complete = reply->isFinished() ? reply->error() == QNetworkReply::NoError
                                            : data_.size() >= qint64(online::kUpdateReadLimit);
  const bool ok = usable && complete && status >= 200 && status < 300 && !data_.isEmpty();
  if (!reply->isFinished()) reply->abort();
  reply->deleteLater();
  std::optional<int> version;
  if (ok) version = online::OnlineVersion(std::string_view(data_.constData(), size_t(data_.size())));
  Q_EMIT finished(version);
}

// ---------------------------------------------------------------- dialog

CDlg_UpdateCheck::CDlg_UpdateCheck(int ownVersion, int onlineVersion, const QString& webSite, QWidget* parent)
    : QDialog(parent) {
  Q_UNUSED(ownVersion);
  setObjectName(QStringLiteral("CDlg_UpdateCheck"));
  setWindowTitle(QStringLiteral("Velmira"));
  auto* column = new QVBoxLayout(this);
  for (const char* text : {QT_TR_NOOP("Velmira 업데이트 메시지가 도착하였습니다."), QT_TR_NOOP("현재 프로그램은 구버전입니다."),
                           QT_TR_NOOP("프로그램 종료 후, Velmira 사이트에서 신버전을 설치하십시요.")})
    column->addWidget(new QLabel(Tr(text), this));
  if (!webSite.isEmpty()) {
    auto* site = new QLabel(webSite, this);
    site->setObjectName(QStringLiteral("webSite"));
    site->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(site);
  }
  version_ = new QLabel(QString::fromStdString(online::NewVersionText(onlineVersion)), this);
  version_->setObjectName(QStringLiteral("newVersion"));
  QFont bold = version_->font();
  bold.setBold(true);
  version_->setFont(bold);
  column->addWidget(version_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(Tr("확 인"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  column->addWidget(buttons);
  // About 285 × 110 dialog units.
  setMinimumSize(430, 180);
}

// ---------------------------------------------------------------- start-up

QString UpdateBaseSetting(const CMainFrame& frame) {
  return const_cast<CMainFrame&>(frame).Profile().value(QString::fromLatin1(kUpdateKey)).toString();
}

void SetUpdateBaseSetting(CMainFrame& frame, const QString& base) {
  frame.Profile().setValue(QString::fromLatin1(kUpdateKey), base.trimmed());
}

QString UpdateFileAddress(const CMainFrame& frame) {
  const QByteArray env = qgetenv(online::kUpdateUrlVariable);
  return QString::fromStdString(
      online::UpdateFileUrl(env.isEmpty() ? nullptr : env.constData(), UpdateBaseSetting(frame).toStdString()));
}

CUpdateAgent* StartUpdateCheck(CMainFrame& frame, int timeoutMs) {
  if (frame.Settings().updateCheck != 1) return nullptr;
  const QString address = UpdateFileAddress(frame);
  if (address.isEmpty()) return nullptr;
  auto* agent = new CUpdateAgent(&frame);
  agent->setObjectName(QStringLiteral("updateAgent"));
  QObject::connect(agent, &CUpdateAgent::finished, &frame, [&frame, agent](std::optional<int> version) {
    agent->deleteLater();
    if (!online::IsNewer(online::kOwnVersion, version)) return;
    auto* dialog = new CDlg_UpdateCheck(online::kOwnVersion, *version, frame.WebSite(), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
  });
  if (!agent->Start(address, timeoutMs)) {
    delete agent;
    return nullptr;
  }
  return agent;
}

}  // namespace velmira
