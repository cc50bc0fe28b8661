// The geometric commands from the menus and their dialogs: every item without
// values is enabled with a document and runs its command with its label; the
// dialogs hand their values to the commands, and Cancel leaves the layer as it was.
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "ui/main_frame.h"
#include "ui/transform_menu.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

const fs::path kShare = fs::path(VELMIRA_SOURCE_DIR) / "share" / "velmira";

std::vector<uint8_t> Pixels(CMirvDoc& d) { return d.Layers().Active()->pixels; }

Rgbq At(CMirvDoc& d, int x, int y) {
  LayerStack& L = d.Layers();
  return L.ReadLayerColor(L.active, x, y, d.ViewImage()) & 0xFFFFFF;
}

// Every pixel a different colour, so any move of a pixel shows.
void Paint(CMirvDoc& d) {
  LayerStack& L = d.Layers();
  const Layer* a = L.Active();
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x)
      L.WriteLayerColor(L.active, x, y, MakeRgbq(uint8_t(20 + x * 20), uint8_t(30 + y * 25), uint8_t((x * 37 + y * 11) % 256)));
  d.RecordStep("paint", kStepPixels, L.active);
}

QString Label(CMirvDoc& d, int step) { return QString::fromStdString(d.History().Label(step)); }

const int kDirect[] = {1410, 1411, 4220, 4219, 1491, 1492, 4222, 4210, 4214, 4221};

}  // namespace

class TransformDialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;

  CMirvDoc& NewDoc(int w = 10, int h = 8) {
    CMirvDoc* d = frame_->NewDocument(w, h, 24, "t");
    Q_ASSERT(d);
    Paint(*d);
    return *d;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    const fs::path home = home_.path().toStdString();
    frame_ = std::make_unique<CMainFrame>(home, kShare);
    frame_->Frame().tempFolder = home / "tmp";
    fs::create_directories(frame_->Frame().tempFolder);
    frame_->Host().SetInformer([this](const QString& t) { messages_ << t; });
  }
  void cleanup() { SetTransformDialogRunner({}); }
  void cleanupTestCase() { frame_.reset(); }

  void menuCommandsAreEnabledAndRoute() {
    {
      QTemporaryDir other;
      CMainFrame empty(fs::path(other.path().toStdString()), kShare);
      empty.UpdateCommandUI();
      for (int id : kDirect) {
        QVERIFY2(empty.MenuAction(id), qPrintable(QString::number(id)));
        QVERIFY2(!empty.MenuAction(id)->isEnabled(), qPrintable(QString::number(id)));
      }
      QVERIFY(!empty.OnCommand(1410));
    }

    CMirvDoc& d = NewDoc();
    frame_->UpdateCommandUI();
    for (int id : kDirect) QVERIFY2(frame_->MenuAction(id)->isEnabled(), qPrintable(QString::number(id)));

    const std::vector<uint8_t> before = Pixels(d);
    const Rgbq left = At(d, 0, 3), right = At(d, 9, 3);
    int step = d.History().Step();
    // The canvas flip through the menu: the row reversed, one step with its label.
    QVERIFY(frame_->OnCommand(1410));
    QCOMPARE(Label(d, ++step), QString("수평제비회전"));
    QCOMPARE(At(d, 0, 3), right);
    QCOMPARE(At(d, 9, 3), left);
    QVERIFY(frame_->OnCommand(1410));
    QCOMPARE(Label(d, ++step), QString("수평제비회전"));
    QVERIFY(Pixels(d) == before);

    // The layer flips have their own labels.
    const Rgbq bottom = At(d, 2, 0), top = At(d, 2, 7);
    QVERIFY(frame_->OnCommand(4219));
    QCOMPARE(Label(d, ++step), QString("레이어 수직제비회전"));
    QCOMPARE(At(d, 2, 0), top);
    QCOMPARE(At(d, 2, 7), bottom);
    QVERIFY(frame_->OnCommand(4220));
    QCOMPARE(Label(d, ++step), QString("레이어 수평제비회전"));

    // A quarter turn of the canvas swaps its sides; undo through the menu brings
    // the picture back.
    QVERIFY(frame_->OnCommand(1491));
    QCOMPARE(Label(d, ++step), QString("캔버스 90 우회전"));
    QCOMPARE(d.Layers().header.canvasWidth, 8);
    QCOMPARE(d.Layers().header.canvasHeight, 10);
    QVERIFY(frame_->OnCommand(1492));
    QCOMPARE(Label(d, ++step), QString("캔버스 90 좌회전"));
    QCOMPARE(d.Layers().header.canvasWidth, 10);
    QVERIFY(frame_->OnCommand(4221));
    QCOMPARE(Label(d, ++step), QString("레이어 180 회전"));
    // Both flips make a half turn, which the second half turn undoes.
    QVERIFY(Pixels(d) == before);
    QCOMPARE(d.History().Step(), step);
    QVERIFY(frame_->OnCommand(4222));
    QCOMPARE(Label(d, ++step), QString("캔버스 180 회전"));
    QCOMPARE(At(d, 9, 7), MakeRgbq(20, 30, 0) & 0xFFFFFF);
    QVERIFY(frame_->OnCommand(4210));
    QCOMPARE(Label(d, ++step), QString("레이어 90 우회전"));
    QVERIFY(frame_->OnCommand(4214));
    QCOMPARE(Label(d, ++step), QString("레이어 90 좌회전"));

    // The mirror and the ellipse have no menu item; the frame still routes them.
    QVERIFY(frame_->IsCommandEnabled(cmd::kMirror));
    QVERIFY(frame_->OnCommand(cmd::kMirror));
    QVERIFY(frame_->OnCommand(cmd::kEllipse));
  }
};

QTEST_MAIN(TransformDialogsTest)
#include "transform_dialogs_test.moc"
