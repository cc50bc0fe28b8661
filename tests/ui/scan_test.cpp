// "외부장치 선택..." and "외부영상 입력 " in the editor, with SANE's test backend as
// the scanner: enabling, the device list and its memory, the order of the dialogs,
// one page and a feeder's pages as numbered documents, cancel, a failing device.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "image/doc.h"
#include "online/online_commands.h"
#include "support/sane_test_backend.h"
#include "test_frame.h"
#include "ui/dlg_scan.h"
#include "ui/main_frame.h"
#include "ui/scan_menu.h"

using namespace velmira;
using velmira::testing_support::SaneTestBackend;

namespace {

constexpr int kSelect = online::kCmdSelectSource;
constexpr int kAcquire = online::kCmdAcquire;

// Answers the dialogs in place of a user and remembers which ones came.
struct Answers {
  QStringList seen;
  int device = 0;           // row chosen in the device list
  QString source;           // feeder or flatbed in the settings dialog (empty: leave)
  QString mode;             // colour mode (empty: leave)
  bool acceptSettings = true;
  QStringList listed;

  ScanController::DialogRunner Runner() {
    return [this](QDialog& d) {
      seen << d.objectName();
      if (auto* s = qobject_cast<CDlg_ScanSource*>(&d)) {
        for (int i = 0; i < s->List()->count(); ++i) listed << s->List()->item(i)->data(Qt::UserRole).toString();
        s->List()->setCurrentRow(device);
        return int(QDialog::Accepted);
      }
      if (auto* a = qobject_cast<CDlg_Acquire*>(&d)) {
        if (!source.isEmpty()) a->SourceBox()->setCurrentIndex(a->SourceBox()->findData(source));
        if (!mode.isEmpty()) a->ModeBox()->setCurrentIndex(a->ModeBox()->findData(mode));
        return int(acceptSettings ? QDialog::Accepted : QDialog::Rejected);
      }
      return int(QDialog::Rejected);
    };
  }
};

bool Probe(CMainFrame& f) {
  ScanController& c = Scanner(f);
  QSignalSpy spy(&c, &ScanController::probeFinished);
  c.StartProbe();
  if (!spy.wait(15000)) return false;
  f.UpdateCommandUI();
  return spy.first().first().toBool();
}

QStringList DocumentNames(CMainFrame& f) {
  QStringList names;
  for (CMirvDoc* d : f.Documents()) names << QString::fromStdString(d->Name());
  return names;
}

}  // namespace

class ScanTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  QStringList messages_;
  std::unique_ptr<CMainFrame> Frame() {
    messages_.clear();
    return testing_support::StartTestFrame(home_, &messages_);
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(home_.isValid()); }
  void init() {
    QSettings(home_.filePath("profile.ini"), QSettings::IniFormat).remove(QStringLiteral("Online"));
  }

  void commandsFollowTheDevices() {
    SaneTestBackend backend;
    auto f = Frame();
    QCOMPARE(f->MenuAction(kSelect)->text(), QString::fromUtf8("외부장치 선택..."));
    QCOMPARE(f->MenuAction(kAcquire)->text(), QString::fromUtf8("외부영상 입력 "));
    // Nothing is known before the devices have been looked for.
    f->UpdateCommandUI();
    QVERIFY(!f->MenuAction(kSelect)->isEnabled());
    QVERIFY(!f->MenuAction(kAcquire)->isEnabled());
    QVERIFY(!f->OnCommand(kAcquire));
    QVERIFY(Probe(*f));
    QVERIFY(f->MenuAction(kSelect)->isEnabled());
    QVERIFY(f->MenuAction(kAcquire)->isEnabled());
  }

  void noSaneOrNoDeviceStaysDisabledSilently() {
    {
      qputenv("VELMIRA_SANE_LIBRARY", "/nonexistent/libsane.so.1");
      auto f = Frame();
      QVERIFY(!Probe(*f));
      qunsetenv("VELMIRA_SANE_LIBRARY");
      QVERIFY(!f->MenuAction(kSelect)->isEnabled());
      QVERIFY(!f->MenuAction(kAcquire)->isEnabled());
      QVERIFY(!f->OnCommand(kSelect));
      QVERIFY(messages_.isEmpty());
    }
    {
      SaneTestBackend backend;
      std::ofstream(backend.Dir() / "dll.conf") << "\n";  // SANE without any backend
      auto f = Frame();
      QVERIFY(!Probe(*f));
      QVERIFY(!f->MenuAction(kAcquire)->isEnabled());
      QVERIFY(messages_.isEmpty());
    }
  }

  void selectionListsAndRemembersTheDevice() {
    SaneTestBackend backend;
    Answers answers;
    answers.device = 1;
    {
      auto f = Frame();
      QVERIFY(Probe(*f));
      Scanner(*f).SetDialogRunner(answers.Runner());
      QVERIFY(f->OnCommand(kSelect));
      QCOMPARE(answers.seen, QStringList{"CDlg_ScanSource"});
      QCOMPARE(answers.listed, (QStringList{"test:0", "test:1"}));
      QCOMPARE(Scanner(*f).Client().SelectedSource(), std::string("test:1"));
      f->Profile().sync();
    }
    // The next run proposes the device chosen last.
    auto f = Frame();
    QVERIFY(Probe(*f));
    QString proposed;
    Scanner(*f).SetDialogRunner([&](QDialog& d) {
      auto* s = qobject_cast<CDlg_ScanSource*>(&d);
      if (s && s->List()->currentItem()) proposed = s->List()->currentItem()->data(Qt::UserRole).toString();
      return int(QDialog::Rejected);
    });
    QVERIFY(!f->OnCommand(kSelect));
    QCOMPARE(proposed, QString("test:1"));
    QVERIFY(!Scanner(*f).Client().SourceSelected());  // cancelled: nothing chosen
  }

  void acquireSelectsFirstThenOpensEachPage() {
    SaneTestBackend backend;
    auto f = Frame();
    QVERIFY(Probe(*f));
    Answers answers;
    Scanner(*f).SetDialogRunner(answers.Runner());
    const int counter = f->Frame().scanCounter;
    QVERIFY(f->OnCommand(kAcquire));
    QCOMPARE(answers.seen, (QStringList{"CDlg_ScanSource", "CDlg_Acquire"}));
    QCOMPARE(DocumentNames(*f), QStringList{QString::fromStdString(online::ScanDocumentName(counter))});
    CMirvDoc* doc = f->Documents().front();
    QCOMPARE(doc->Layers().header.canvasWidth, SaneTestBackend::kPageWidth);
    QCOMPARE(doc->Layers().header.canvasHeight, SaneTestBackend::kPageHeight);
    QVERIFY(doc->IsModified());
    QCOMPARE(f->ActiveDocument(), doc);

    // Chosen once, the device is not asked for again; the counter goes on.
    answers.seen.clear();
    answers.mode = "Gray";
    QVERIFY(f->OnCommand(kAcquire));
    QCOMPARE(answers.seen, QStringList{"CDlg_Acquire"});
    QCOMPARE(DocumentNames(*f).last(), QString::fromStdString(online::ScanDocumentName(counter + 1)));
    QVERIFY(f->MenuAction(kAcquire)->isEnabled());
    QVERIFY(messages_.isEmpty());
  }

  void feederPagesBecomeConsecutiveDocuments() {
    SaneTestBackend backend;
    auto f = Frame();
    QVERIFY(Probe(*f));
    Answers answers;
    answers.source = SaneTestBackend::kFeeder;
    Scanner(*f).SetDialogRunner(answers.Runner());
    QSignalSpy finished(&Scanner(*f), &ScanController::acquisitionFinished);
    const int counter = f->Frame().scanCounter;
    QVERIFY(f->OnCommand(kAcquire));
    QStringList want;
    for (int i = 0; i < SaneTestBackend::kFeederPages; ++i)
      want << QString::fromStdString(online::ScanDocumentName(counter + i));
    QCOMPARE(DocumentNames(*f), want);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).toInt(), SaneTestBackend::kFeederPages);
    QVERIFY(!finished.first().at(1).toBool());
  }

  void cancelKeepsThePagesDelivered() {
    // Slow pages, so that cancel arrives while the feeder still holds some.
    SaneTestBackend backend(
        SaneTestBackend::Options{{"read-delay", "true"}, {"read-delay-duration", "100000"}});
    auto f = Frame();
    QVERIFY(Probe(*f));
    Answers answers;
    answers.source = SaneTestBackend::kFeeder;
    ScanController& c = Scanner(*f);
    c.SetDialogRunner(answers.Runner());
    int opened = 0;
    bool progressShown = false;
    connect(&c, &ScanController::pageOpened, this, [&] {
      QProgressDialog* p = c.ProgressDialog();
      progressShown = p && p->isVisible();
      // The user presses cancel once the second page is open.
      if (++opened == 2 && p)
        if (auto* button = p->findChild<QPushButton*>()) button->click();
    });
    QSignalSpy finished(&c, &ScanController::acquisitionFinished);
    QVERIFY(f->OnCommand(kAcquire));
    QVERIFY(progressShown);
    QCOMPARE(finished.size(), 1);
    const int delivered = finished.first().at(0).toInt();
    QVERIFY(finished.first().at(1).toBool());  // cancelled
    QVERIFY(delivered >= 2);
    QVERIFY(delivered < SaneTestBackend::kFeederPages);
    QCOMPARE(int(f->Documents().size()), delivered);
    QVERIFY(!c.Client().SourceEnabled());
    QVERIFY(!c.ProgressDialog());
    QVERIFY(f->MenuAction(kAcquire)->isEnabled());
  }

  void failingDeviceOrCancelledSettingsOpenNothing() {
    SaneTestBackend backend(SaneTestBackend::Options{{"read-status-code", "\"SANE_STATUS_IO_ERROR\""}});
    auto f = Frame();
    QVERIFY(Probe(*f));
    Answers answers;
    answers.source = SaneTestBackend::kFeeder;
    ScanController& c = Scanner(*f);
    c.SetDialogRunner(answers.Runner());
    QSignalSpy finished(&c, &ScanController::acquisitionFinished);
    QVERIFY(!f->OnCommand(kAcquire));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).toInt(), 0);
    QVERIFY(finished.first().at(2).toBool());  // failed: the loop ended by itself
    QVERIFY(f->Documents().empty());
    QVERIFY(f->StatusLabel()->text().startsWith(QString::fromUtf8("외부장치 오류")));
    QVERIFY(f->MenuAction(kAcquire)->isEnabled());

    // Cancel in the settings dialog: the device stays open and nothing is read.
    answers.acceptSettings = false;
    QVERIFY(!f->OnCommand(kAcquire));
    QCOMPARE(finished.size(), 1);
    QVERIFY(c.Client().SourceOpen());
    QVERIFY(!c.Client().SourceEnabled());
    QVERIFY(messages_.isEmpty());
  }
};

QTEST_MAIN(ScanTest)
#include "scan_test.moc"
