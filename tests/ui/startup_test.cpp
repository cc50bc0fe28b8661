// Start-up: the steps in their order, the titles, the instance's history folder and
// the clean-up of what a crashed editor left, the pictures named on the command line.
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "image/doc.h"
#include "ui/main_frame.h"
#include "ui/mirv_app.h"

using namespace velmira;
namespace fs = std::filesystem;

class StartupTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void stepsInOrder() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("VELMIRA_HOME", home.path().toUtf8());
    const fs::path root = fs::path(home.path().toStdString()) / "tmp";
    // What a crashed editor left behind.
    fs::create_directories(root / "run-999999-gone");
    std::ofstream(root / "run-999999-gone" / "UD_101_1_0.vlmtmp") << "x";
    std::ofstream(root / "run-999999-gone" / "instance.lock") << "999999";
    std::ofstream(root / "WrIniLrList_Head_101.vlmtmp") << "x";

    const QString sample =
        QString::fromStdString((fs::path(VELMIRA_SOURCE_DIR) / "share/velmira/Samples/velmira-sample.bmp").string());
    CMirvApp::Options options;
    options.splashMs = 20;
    options.maximize = false;
    QStringList messages;
    options.configure = [&](CMainFrame& f) {
      f.Host().SetInformer([&](const QString& text) { messages << text; });
    };
    CMirvApp app({sample, sample + ".missing.bmp"}, options);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(app.InitInstance());
    QVERIFY(clock.elapsed() >= 20);  // the splash stayed up for its time

    const std::vector<std::string> want = {"profile",
                                           "frame",
                                           "temp",
                                           std::string("title:") + CMirvApp::kCheckingTitle,
                                           "open:" + sample.toStdString(),
                                           "open:" + sample.toStdString() + ".missing.bmp",
                                           "show",
                                           "splash",
                                           "update-check:on",
                                           std::string("title:") + CMirvApp::kTitle};
    QCOMPARE(app.Log(), want);

    CMainFrame* f = app.MainFrame();
    QVERIFY(f->windowTitle().startsWith("Velmira 3.68"));
    // Qt's own buttons speak Korean with the rest of the interface.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("취소"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Save As"), QString("다른 이름으로 저장"));
    // The named picture is open; the missing one cost a message and nothing else.
    QCOMPARE(f->Documents().size(), size_t(1));
    QCOMPARE(messages, QStringList{"해당 파일을 열 수 없습니다."});
    QCOMPARE(f->Documents()[0]->Serial(), 101);
    // Its history lives in this instance's own folder; the leftovers are gone.
    QVERIFY(app.TempFolder().IsOpen());
    QCOMPARE(f->Frame().tempFolder, app.TempFolder().Path());
    QCOMPARE(app.TempFolder().Path().parent_path(), root);
    QVERIFY(!fs::exists(root / "run-999999-gone"));
    QVERIFY(!fs::exists(root / "WrIniLrList_Head_101.vlmtmp"));
    bool historyWritten = false;
    for (const auto& e : fs::directory_iterator(app.TempFolder().Path()))
      historyWritten |= e.path().extension() == ".vlmtmp";
    QVERIFY(historyWritten);
    qunsetenv("VELMIRA_HOME");
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
