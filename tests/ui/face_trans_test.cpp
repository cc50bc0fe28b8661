// The stretch-and-squeeze mode from the menu: entering keeps the layer, Convert warps
// the rectangle selection's box, touches in the view warp again and record their
// step, Reset goes back to the layer as it was, Close records the mode's step only
// after a change.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QAbstractButton>
#include <QRegularExpression>
#include <QtTest>
#include <filesystem>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "tools/tool_router.h"
#include "ui/face_trans.h"
#include "ui/main_frame.h"
#include "test_frame.h"
#include "ui/mirv_view.h"
#include "ui/transform_menu.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {


std::vector<uint8_t> Pixels(CMirvDoc& d) { return d.Layers().Active()->pixels; }

// Every pixel a different colour, so any move of a pixel shows.
void Paint(CMirvDoc& d) {
  LayerStack& L = d.Layers();
  const Layer* a = L.Active();
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x)
      L.WriteLayerColor(L.active, x, y, MakeRgbq(uint8_t(x * 6), uint8_t(y * 8), uint8_t((x * 37 + y * 11) % 256)));
  d.RecordStep("paint", kStepPixels, L.active);
}

QString Label(CMirvDoc& d, int step) { return QString::fromStdString(d.History().Label(step)); }

PointerEvent At(int x, int y) {
  PointerEvent e;
  e.view = e.raw = e.client = Point{x, y};
  return e;
}

}  // namespace

class FaceTransTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;

  CMirvDoc& NewDoc(int w, int h) {
    CMirvDoc* d = frame_->NewDocument(w, h, 24, "t");
    Q_ASSERT(d);
    Paint(*d);
    return *d;
  }

  // A rectangle selection dragged in the view from (ax, ay) to (bx, by).
  void Select(CMirvView& v, int ax, int ay, int bx, int by) {
    frame_->Frame().currentTool = tool::kRectSelect;
    v.Router().Press(v, At(ax, ay));
    v.Router().Move(v, At(bx, by));
    v.Router().Release(v, At(bx, by));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, nullptr);
  }
  void cleanupTestCase() { frame_.reset(); }

  void stretchAndSqueezeMode() {
    // The same picture worked on by the command alone, to compare with.
    CMirvDoc& ref = NewDoc(40, 30);
    CMirvDoc& d = NewDoc(40, 30);
    CMirvView* v = frame_->ActiveView();
    QVERIFY(v && &v->Document() == &d);
    const Layer before = *d.Layers().Active();
    const int slot = d.Layers().active;
    const int step = d.History().Step();

    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(cmd::kStretchSqueeze)->isEnabled());
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    FaceTransPanel* p = FaceTransPanel::Active();
    QVERIFY(p);
    QCOMPARE(p->objectName(), QString("CDlg_FaceTrans"));
    QVERIFY(p->isVisible());
    // A second entry only raises the panel under way.
    QVERIFY(!frame_->OnCommand(cmd::kStretchSqueeze));
    QCOMPARE(FaceTransPanel::Active(), p);

    // Both backups hold the layer as it was: spoil it and bring each back.
    d.Layers().WriteLayerColor(slot, 3, 3, MakeRgbq(1, 2, 3));
    QVERIFY(Pixels(d) != before.pixels);
    d.History().RestoreBackup(1, slot);
    QVERIFY(Pixels(d) == before.pixels);
    d.Layers().WriteLayerColor(slot, 3, 3, MakeRgbq(1, 2, 3));
    d.RevertLayer(slot, false);
    QVERIFY(Pixels(d) == before.pixels);

    // Values typed in the panel and the second mode.
    p->StrengthEdit()->clear();
    QTest::keyClicks(p->StrengthEdit(), "1.5");
    p->ModeButton(1)->click();
    QVERIFY(p->ModeButton(1)->isChecked());
    QVERIFY(!p->ModeButton(0)->isChecked());

    // Convert: the box is the selection dragged from (10, 5) to (30, 25) as shown,
    // layer rows (24 and 4) counted from the bottom.
    Select(*v, 10, 5, 30, 25);
    QVERIFY(v->Router().State().selectionActive);
    p->ConvertButton()->click();
    QVERIFY(p->Changed());
    QVERIFY(!v->Router().State().selectionActive);
    QCOMPARE(frame_->Frame().currentTool, tool::kTouchTransform);
    QCOMPARE(d.History().Step(), step);  // the mode's step waits for Close
    TouchSettings s;
    s.boxWidth = 20;
    s.boxHeight = 20;
    s.strength = 1.5f;
    s.mode = 1;
    const TouchSettings got = p->Settings();
    QCOMPARE(got.boxWidth, 20);
    QCOMPARE(got.boxHeight, 20);
    QCOMPARE(got.strength, 1.5f);
    QCOMPARE(got.mode, 1);
    QVERIFY(TouchTransform(ref, 20, 14, s, false));
    QVERIFY(Pixels(d) != before.pixels);
    QVERIFY(Pixels(d) == Pixels(ref));

    // A touch in the view: the warp at the released point, one step "터치변형".
    v->Router().Press(*v, At(25, 12));
    v->Router().Move(*v, At(25, 12));
    v->Router().Release(*v, At(25, 12));
    QVERIFY(TouchTransform(ref, 25, 17, s, false));
    QVERIFY(Pixels(d) == Pixels(ref));
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(Label(d, step + 1), QString("터치변형"));

    // Reset: the layer as the mode found it, byte for byte; touches stop.
    p->ResetButton()->click();
    QVERIFY(!p->Changed());
    QCOMPARE(frame_->Frame().currentTool, kFaceTransIdleTool);
    QVERIFY(Pixels(d) == before.pixels);
    QVERIFY(d.Layers().Active()->alpha == before.alpha);
    // What the view reverts to before the next touch is that layer too.
    d.RevertLayer(slot, false);
    QVERIFY(Pixels(d) == before.pixels);
    const int afterReset = d.History().Step();
    v->Router().Press(*v, At(25, 12));
    v->Router().Release(*v, At(25, 12));
    QVERIFY(Pixels(d) == before.pixels);
    QCOMPARE(d.History().Step(), afterReset);

    // Convert again and Close: one step with the mode's label, no tool current.
    Select(*v, 10, 5, 30, 25);
    p->ConvertButton()->click();
    const std::vector<uint8_t> converted = Pixels(d);
    QVERIFY(converted != before.pixels);
    p->CloseButton()->click();
    QCOMPARE(d.History().Step(), afterReset + 1);
    QCOMPARE(Label(d, afterReset + 1), QString("늘리고쭈구리기"));
    QCOMPARE(frame_->Frame().currentTool, tool::kNone);
    QVERIFY(!FaceTransPanel::Active());
    QVERIFY(d.History().Undo());
    QVERIFY(d.History().Redo());
    QVERIFY(Pixels(d) == converted);
  }

  void closeWithoutConvertChangesNothing() {
    CMirvDoc& d = NewDoc(30, 20);
    const std::vector<uint8_t> before = Pixels(d);
    const int step = d.History().Step();
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    FaceTransPanel* p = FaceTransPanel::Active();
    QVERIFY(p);
    p->StrengthEdit()->setText("2");
    p->close();
    QVERIFY(!FaceTransPanel::Active());
    QCOMPARE(d.History().Step(), step);
    QVERIFY(Pixels(d) == before);
    QCOMPARE(frame_->Frame().currentTool, tool::kNone);
    // Convert without a selection does nothing either.
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    p = FaceTransPanel::Active();
    QVERIFY(p);
    QVERIFY(!p->Convert());
    QVERIFY(!p->Changed());
    p->CloseMode();
    QCOMPARE(d.History().Step(), step);
    QVERIFY(Pixels(d) == before);
  }

  // The panel speaks the interface's language: no button is left in English.
  void panelButtonsAreKorean() {
    NewDoc(20, 20);
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    FaceTransPanel* p = FaceTransPanel::Active();
    QVERIFY(p);
    const QList<QAbstractButton*> buttons = p->findChildren<QAbstractButton*>();
    QVERIFY(buttons.size() >= 6);
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const QRegularExpression hangul(QStringLiteral("[\\x{AC00}-\\x{D7A3}]"));
    for (QAbstractButton* b : buttons) {
      if (b->text().isEmpty()) continue;  // a swatch or an icon button
      QVERIFY2(!b->text().contains(latin), qPrintable(b->text()));
      QVERIFY2(b->text().contains(hangul), qPrintable(b->text()));
    }
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(p->ModeButton(0)),
                               static_cast<QAbstractButton*>(p->ModeButton(1)), p->ThirdModeButton(),
                               static_cast<QAbstractButton*>(p->ResetButton()),
                               static_cast<QAbstractButton*>(p->CloseButton())})
      QVERIFY(!b->text().isEmpty());
    p->CloseMode();
  }

  void thirdModeUnchecksBoth() {
    NewDoc(20, 20);
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    FaceTransPanel* p = FaceTransPanel::Active();
    QVERIFY(p);
    p->ModeButton(0)->click();
    QCOMPARE(p->Settings().mode, 0);
    p->ThirdModeButton()->click();
    QCOMPARE(p->Settings().mode, 2);
    QVERIFY(!p->ModeButton(0)->isChecked());
    QVERIFY(!p->ModeButton(1)->isChecked());
    p->CloseMode();
    // The frame keeps the mode for the next panel.
    QVERIFY(frame_->OnCommand(cmd::kStretchSqueeze));
    QCOMPARE(FaceTransPanel::Active()->Settings().mode, 2);
    FaceTransPanel::Active()->ModeButton(0)->click();
    FaceTransPanel::Active()->CloseMode();
  }
};

QTEST_MAIN(FaceTransTest)
#include "face_trans_test.moc"
