// Crash recovery from the user's side: an editor process is killed with SIGKILL in
// the middle of editing, and the next start offers what it left. "복구" must bring
// back every layer byte for byte with its name, blend mode, transparency and place;
// "버림" must delete the document; a damaged manifest or a lost history file costs
// a message and nothing else; the normal end removes the instance's own folder.
//
// The killed editor is this executable started again with
// VELMIRA_RECOVERY_CHILD=<folder>: it runs the editor's start-up offscreen, edits
// three documents, writes what every layer should be into that folder, says
// "ready" and waits to be killed.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/doc.h"
#include "image/history.h"
#include "ui/main_frame.h"
#include "ui/mirv_app.h"
#include "ui/qt_doc_host.h"
#include "ui/recovery_offer.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

// Every layer as a save would see it, in stack order.
std::string Describe(const LayerStack& s) {
  std::ostringstream o;
  auto bytes = [&](const std::vector<uint8_t>& v) {
    o << v.size() << ':';
    o.write(reinterpret_cast<const char*>(v.data()), std::streamsize(v.size()));
  };
  for (int slot : s.Chain()) {
    const Layer& l = s.slots[slot];
    o << "slot " << slot << " name " << QString::fromStdU16String(l.name.Get()).toStdString() << " kind "
      << int(l.kind) << " blend " << int(l.blend) << " transparency " << int(l.transparency) << " visible "
      << l.visible << " at " << l.x << ',' << l.y << " size " << l.width << 'x' << l.height << '\n';
    bytes(l.pixels);
    bytes(l.alpha);
    bytes(l.effect);
    o << '\n';
  }
  return o.str();
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

fs::path Sample() { return fs::path(VELMIRA_SOURCE_DIR) / "share/velmira/Samples/velmira-sample.bmp"; }

CMirvApp::Options Quiet() {
  CMirvApp::Options o;
  o.splashMs = 0;
  o.maximize = false;
  o.probeDevices = false;
  return o;
}

void Paint(CMirvDoc& doc, int slot, int seed) {
  LayerStack& L = doc.Layers();
  const Layer& l = L.slots[slot];
  for (int y = 0; y < l.height; y += 3)
    for (int x = (seed + y) % 5; x < l.width; x += 7) {
      L.WriteLayerColor(slot, x, y, MakeRgbq(x * seed, y + seed, 200 - seed));
      L.SetLayerAlpha(slot, x, y, (x + y + seed) % 256);
    }
  doc.RecordStep("붓", kStepPixels, slot);
}

int RunKilledEditor(int argc, char** argv, const fs::path& out) {
  QApplication qt(argc, argv);
  fs::copy_file(Sample(), out / "구름.bmp", fs::copy_options::overwrite_existing);
  fs::copy_file(Sample(), out / "버릴것.bmp", fs::copy_options::overwrite_existing);
  fs::copy_file(Sample(), out / "잃은것.bmp", fs::copy_options::overwrite_existing);
  const QString dir = QString::fromStdString(out.string());
  CMirvApp app({dir + "/구름.bmp", dir + "/버릴것.bmp", dir + "/잃은것.bmp"}, Quiet());
  if (!app.InitInstance()) return 2;
  const std::vector<CMirvDoc*> docs = app.MainFrame()->Documents();
  if (docs.size() != 3) return 3;
  CMirvDoc& a = *docs[0];
  // Several layers, each with its own pixels and properties.
  Paint(a, a.Layers().bottom, 3);
  if (!a.AddLayer()) return 4;
  const int one = a.Layers().active;
  Paint(a, one, 11);
  if (!a.AddLayer()) return 4;
  const int two = a.Layers().active;
  Paint(a, two, 29);
  a.SetLayerBlend(one, kBlendMultiply);
  a.SetLayerTransparency(two, 77);
  a.RenameLayer(two, "하늘 2");
  a.SetLayerVisible(one, false);
  a.Layers().slots[two].x = 5;
  a.Layers().slots[two].y = -2;
  a.RecordStep("이동", kStepMove, two);
  Paint(a, one, 41);
  a.Undo();  // the last recorded state is the one after the move
  for (CMirvDoc* d : {docs[1], docs[2]}) {
    if (!d->AddLayer()) return 4;
    Paint(*d, d->Layers().active, 5);
  }
  for (size_t i = 0; i < docs.size(); ++i) std::ofstream(out / ("expect" + std::to_string(i)), std::ios::binary)
      << Describe(docs[i]->Layers());
  std::ofstream(out / "manifest2") << docs[2]->History().ManifestFile().string();
  std::printf("ready\n");
  std::fflush(stdout);
  return qt.exec();  // until killed
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void killedEditorIsOfferedAndRecoveredLayerForLayer() {
    QTemporaryDir home, out;
    QVERIFY(home.isValid() && out.isValid());
    const fs::path root = fs::path(home.path().toStdString()) / "tmp";
    const fs::path dump = out.path().toStdString();

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELMIRA_HOME", home.path());
    env.insert("VELMIRA_RECOVERY_CHILD", out.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    for (int i = 0; i < 600 && !said.contains("ready\n"); ++i) {
      if (child.state() == QProcess::NotRunning) break;
      child.waitForReadyRead(200);
      said += child.readAllStandardOutput();
    }
    QVERIFY2(said.contains("ready\n"), said.constData());
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    // The dead editor's folder holds three manifests; damage the history of the
    // third document and add a manifest cut short.
    std::vector<fs::path> folders;
    for (const auto& e : fs::directory_iterator(root)) folders.push_back(e.path());
    QCOMPARE(folders.size(), size_t(1));
    const fs::path dead = folders[0];
    const fs::path thirdManifest = ReadAll(dump / "manifest2");
    QCOMPARE(thirdManifest.parent_path(), dead);
    RecoveryManifest third;
    std::string why;
    QVERIFY2(ParseRecoveryManifest(ReadAll(thirdManifest), third, &why), why.c_str());
    fs::remove(dead / third.layers.back().data.file);
    std::ofstream(dead / "Recovery_999.vlmrec") << "velmira-recovery 1\ncanvas 3 3 24 0 0\n";

    qputenv("VELMIRA_HOME", home.path().toUtf8());
    QStringList prompts, messages;
    const std::vector<const char*> answers = {"recover", "discard", "recover"};
    size_t next = 0;
    QTimer answer;
    answer.setInterval(20);
    connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<CDlg_Recover*>(QApplication::activeModalWidget());
      if (!box || box->property("answered").toBool() || next >= answers.size()) return;
      box->setProperty("answered", true);
      prompts << box->windowTitle() + "|" + box->text();
      if (auto* b = box->findChild<QPushButton*>(answers[next++])) b->click();
    });
    answer.start();
    CMirvApp::Options o = Quiet();
    o.configure = [&](CMainFrame& f) { f.Host().SetInformer([&](const QString& t) { messages << t; }); };
    {
      CMirvApp app({}, o);
      QVERIFY(app.InitInstance());
      answer.stop();
      QVERIFY(std::find(app.Log().begin(), app.Log().end(), "recover:3") != app.Log().end());
      QCOMPARE(prompts.size(), 3);
      QVERIFY(prompts[0].startsWith("작업 복구|"));
      QVERIFY2(prompts[0].contains("구름.bmp") && prompts[0].contains("레이어 3개"), qPrintable(prompts[0]));
      QVERIFY(prompts[1].contains("버릴것.bmp"));
      // The manifest cut short and the lost history file: a message each.
      QCOMPARE(messages.count(QString::fromUtf8(kMsgRecoveryFailed)), 2);

      const std::vector<CMirvDoc*> docs = app.MainFrame()->Documents();
      QCOMPARE(docs.size(), size_t(1));
      CMirvDoc& back = *docs[0];
      QCOMPARE(back.Name(), std::string("구름.bmp"));
      QCOMPARE(back.Path(), dump / "구름.bmp");
      QVERIFY(back.IsModified());
      const std::string want = ReadAll(dump / "expect0");
      QVERIFY(!want.empty());
      QVERIFY(Describe(back.Layers()) == want);
      QCOMPARE(back.Layers().LayerCount(), 3);
      // The dead editor's folder is gone once every document was decided.
      QVERIFY(!fs::exists(dead));
      QVERIFY(fs::exists(app.TempFolder().Path()));
    }
    // The normal end leaves no history folder behind.
    QVERIFY(fs::is_empty(root));
    qunsetenv("VELMIRA_HOME");
  }

  void nothingLeftMeansNoPrompt() {
    QTemporaryDir home;
    qputenv("VELMIRA_HOME", home.path().toUtf8());
    const fs::path root = fs::path(home.path().toStdString()) / "tmp";
    // A gone editor that left no manifest is cleaned away without a question.
    fs::create_directories(root / "run-999999-0");
    std::ofstream(root / "run-999999-0" / "instance.lock") << "999999";
    std::ofstream(root / "run-999999-0" / "UD_101_1_0.vlmtmp") << "x";
    bool asked = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<CDlg_Recover*>(QApplication::activeModalWidget())) {
        asked = true;
        box->reject();
      }
    });
    watch.start(20);
    {
      CMirvApp app({}, Quiet());
      QVERIFY(app.InitInstance());
      QVERIFY(std::none_of(app.Log().begin(), app.Log().end(),
                           [](const std::string& s) { return s.rfind("recover", 0) == 0; }));
      QVERIFY(!fs::exists(root / "run-999999-0"));
    }
    QVERIFY(!asked);
    QVERIFY(fs::is_empty(root));
    qunsetenv("VELMIRA_HOME");
  }
};

int main(int argc, char** argv) {
  if (const char* out = std::getenv("VELMIRA_RECOVERY_CHILD"); out && *out) return RunKilledEditor(argc, argv, out);
  QApplication app(argc, argv);
  RecoveryTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "recovery_test.moc"
