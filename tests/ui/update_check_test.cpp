// The start-up update check against a loopback HTTP server: what the reply makes
// the editor show, how much of it is read, that a silent server never holds up the
// start, and that with the setting off no connection is made at all.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include "online/update_version.h"
#include "ui/main_frame.h"
#include "ui/mirv_app.h"
#include "ui/settings_dialog.h"
#include "ui/update_check.h"

using namespace velmira;

namespace {

// Answers every request with one fixed reply, or keeps the connection open and
// silent when `silent` is set.
class LoopbackServer : public QObject {
 public:
  QByteArray body;
  QByteArray statusLine = "HTTP/1.0 200 OK";
  bool silent = false;
  int connections = 0;
  QByteArray lastRequest;

  LoopbackServer() {
    QVERIFY(server_.listen(QHostAddress::LocalHost));
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        ++connections;
        s->setParent(this);
        QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] {
          lastRequest += s->readAll();
          if (silent || !lastRequest.contains("\r\n\r\n")) return;
          s->write(statusLine + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body);
          s->disconnectFromHost();
        });
      }
    });
  }
  QByteArray Base() const { return "http://127.0.0.1:" + QByteArray::number(server_.serverPort()) + "/updates/"; }

 private:
  QTcpServer server_;
};

}  // namespace

class UpdateCheckTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;

  std::unique_ptr<CMirvApp> Start(bool settingOn) {
    CMirvApp::Options options;
    options.splashMs = 0;
    options.maximize = false;
    options.probeDevices = false;
    options.configure = [settingOn](CMainFrame& f) { f.Settings().updateCheck = settingOn ? 1 : 0; };
    auto app = std::make_unique<CMirvApp>(QStringList{}, options);
    if (!app->InitInstance()) return nullptr;
    return app;
  }
  static CDlg_UpdateCheck* Dialog(CMirvApp& app) { return app.MainFrame()->findChild<CDlg_UpdateCheck*>(); }
  // Starts with the server's reply and waits until the check has ended.
  CDlg_UpdateCheck* CheckWith(LoopbackServer& server, std::unique_ptr<CMirvApp>& app) {
    qputenv(online::kUpdateUrlVariable, server.Base());
    app = Start(true);
    if (!app || !app->UpdateAgent()) return nullptr;
    QPointer<CUpdateAgent> agent = app->UpdateAgent();
    if (!QTest::qWaitFor([&] { return agent.isNull(); }, 8000)) return nullptr;
    QCoreApplication::processEvents();
    return Dialog(*app);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("VELMIRA_HOME", home_.path().toUtf8());
  }
  void cleanup() { qunsetenv(online::kUpdateUrlVariable); }

  void sameVersionShowsNothing() {
    LoopbackServer server;
    server.body = "368\r\n";
    std::unique_ptr<CMirvApp> app;
    QVERIFY(!CheckWith(server, app));
    QVERIFY(app);
    QCOMPARE(server.connections, 1);
    QVERIFY(!Dialog(*app));
  }

  void newerVersionShowsTheDialog() {
    LoopbackServer server;
    server.body = "369";
    std::unique_ptr<CMirvApp> app;
    CDlg_UpdateCheck* d = CheckWith(server, app);
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QCOMPARE(d->VersionLabel()->text(), QString::fromUtf8(" 신버전  3.69"));
    QStringList texts;
    for (QLabel* l : d->findChildren<QLabel*>()) texts << l->text();
    QVERIFY(texts.contains(QString::fromUtf8("현재 프로그램은 구버전입니다.")));
    QVERIFY(texts.contains(QString::fromUtf8("Velmira 업데이트 메시지가 도착하였습니다.")));
    // The request: the update file under the base, as the update agent, never cached.
    QVERIFY(server.lastRequest.startsWith("GET /updates/velmira_update.txt "));
    QVERIFY(server.lastRequest.contains("User-Agent: AutoUpdateAgent"));
    QVERIFY(server.lastRequest.contains("Cache-Control: no-cache"));
    // The start-up titles ran as always.
    QVERIFY(app->MainFrame()->windowTitle().startsWith(CMirvApp::kTitle));
  }

  void textAndErrorPagesShowNothing() {
    for (const QByteArray& body : {QByteArray("<html>369</html>"), QByteArray("version: 369"), QByteArray()}) {
      LoopbackServer server;
      server.body = body;
      std::unique_ptr<CMirvApp> app;
      QVERIFY2(!CheckWith(server, app), body.constData());
      QCOMPARE(server.connections, 1);
    }
    // A plain-text error page starts with its status number; it is not a version.
    LoopbackServer missing;
    missing.statusLine = "HTTP/1.0 404 Not Found";
    missing.body = "404 Not Found";
    std::unique_ptr<CMirvApp> app;
    QVERIFY(!CheckWith(missing, app));
    QCOMPARE(missing.connections, 1);
  }

  void onlyTheFirstBlockIsRead() {
    // "369" ends exactly at byte 4096 and 100 KB of nines follow: read further, the
    // number would not even fit.
    LoopbackServer server;
    server.body = QByteArray(int(online::kUpdateReadLimit) - 3, ' ') + "369" + QByteArray(100 * 1024, '9');
    std::unique_ptr<CMirvApp> app;
    CDlg_UpdateCheck* d = CheckWith(server, app);
    QVERIFY(d);
    QCOMPARE(d->VersionLabel()->text(), QString::fromUtf8(" 신버전  3.69"));
  }

  void silentServerNeverHoldsUpTheStart() {
    LoopbackServer server;
    server.silent = true;
    qputenv(online::kUpdateUrlVariable, server.Base());
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<CMirvApp> app = Start(true);
    QVERIFY(app);
    // Start-up is over, the window has its final title, and the request still waits.
    QVERIFY(clock.elapsed() < online::kUpdateTimeoutMs);
    QVERIFY(app->MainFrame()->windowTitle().startsWith(CMirvApp::kTitle));
    QPointer<CUpdateAgent> agent = app->UpdateAgent();
    QVERIFY(agent);
    QVERIFY(agent->IsRunning());
    QTRY_VERIFY_WITH_TIMEOUT(server.connections == 1, 3000);
    // The limit ends it without a word.
    QTRY_VERIFY_WITH_TIMEOUT(agent.isNull(), online::kUpdateTimeoutMs + 3000);
    QVERIFY(clock.elapsed() >= online::kUpdateTimeoutMs);
    QVERIFY(!Dialog(*app));
  }

  void settingOffOrNoAddressMakesNoConnection() {
    LoopbackServer server;
    server.body = "369";
    qputenv(online::kUpdateUrlVariable, server.Base());
    std::unique_ptr<CMirvApp> app = Start(false);
    QVERIFY(app);
    QVERIFY(!app->UpdateAgent());
    QTest::qWait(300);
    QCOMPARE(server.connections, 0);
    QVERIFY(app->MainFrame()->findChildren<QNetworkAccessManager*>().isEmpty());
    QVERIFY(!Dialog(*app));

    // Setting on but no address anywhere: nothing to ask.
    qunsetenv(online::kUpdateUrlVariable);
    std::unique_ptr<CMirvApp> app2 = Start(true);
    QVERIFY(app2);
    QVERIFY(!app2->UpdateAgent());
    QVERIFY(app2->MainFrame()->findChildren<QNetworkAccessManager*>().isEmpty());
  }

  void addressComesFromTheSettingsDialog() {
    LoopbackServer server;
    server.body = "400";
    auto app = Start(false);
    QVERIFY(app);
    CMainFrame& f = *app->MainFrame();
    {
      SettingsDialog d(f);
      QVERIFY(d.UpdateAddress());
      QVERIFY(d.UpdateAddress()->text().isEmpty());  // empty by default
      d.UpdateCheck()->setChecked(true);
      d.UpdateAddress()->setText(QString::fromLatin1(server.Base()));
      d.Apply();
    }
    QCOMPARE(f.Settings().updateCheck, 1);
    QCOMPARE(UpdateFileAddress(f), QString::fromLatin1(server.Base() + "velmira_update.txt"));
    // The environment wins over the setting.
    qputenv(online::kUpdateUrlVariable, "http://127.0.0.1:1/elsewhere");
    QCOMPARE(UpdateFileAddress(f), QString("http://127.0.0.1:1/elsewhere/velmira_update.txt"));
    qunsetenv(online::kUpdateUrlVariable);
    // The next start uses the stored address.
    f.SaveSettings();
    app.reset();
    auto again = Start(true);
    QVERIFY(again && again->UpdateAgent());
    QPointer<CUpdateAgent> agent = again->UpdateAgent();
    QTRY_VERIFY_WITH_TIMEOUT(agent.isNull(), 8000);
    QCoreApplication::processEvents();
    CDlg_UpdateCheck* d = Dialog(*again);
    QVERIFY(d);
    QCOMPARE(d->VersionLabel()->text(), QString::fromUtf8(" 신버전  4.00"));
    SetUpdateBaseSetting(*again->MainFrame(), QString());
  }
};

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
