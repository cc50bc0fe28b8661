// The geometric commands from the menus and their dialogs: every item without
// values is enabled with a document and runs its command with its label; the
// dialogs hand their values to the commands, and Cancel leaves the layer as it was.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <set>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "processing/effects.h"
#include "ui/dlg_transform.h"
#include "tools/tool_router.h"
#include "ui/free_transform_tool.h"
#include "ui/main_frame.h"
#include "test_frame.h"
#include "ui/mirv_view.h"
#include "ui/transform_menu.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

const fs::path& kShare = testing_support::ShippedFiles();

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
    frame_ = testing_support::StartTestFrame(home_, &messages_);
  }
  void cleanup() { SetTransformDialogRunner({}); }
  void cleanupTestCase() { frame_.reset(); }

  // Exactly the listed tools may follow while a mode's panel is open, so that a
  // trait given to the wrong tool cannot let a painting tool slip past a mode.
  void onlyTheModesOwnToolsFollowAnOpenPanel() {
    auto allowed = [](tool::ModePanel panel) {
      std::set<int> out;
      for (int id = 1000; id < 7000; ++id)
        if (tool::MayFollow(panel, id)) out.insert(id);
      return out;
    };
    QCOMPARE(allowed(tool::ModePanel::Rotation), (std::set<int>{4250, 4251, 4252}));
    QCOMPARE(allowed(tool::ModePanel::GuidePath), (std::set<int>{1345, 1420, 1421, 5615, 5616, 5620, 5621, 5622}));
  }

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

  void resizeFieldsAgree() {
    CMirvDoc& d = NewDoc(10, 8);
    const int step = d.History().Step();
    {
      ResizeDialog dlg(d);
      QCOMPARE(dlg.PixelWidth()->value(), 10);
      QCOMPARE(dlg.PercentHeight()->value(), 100);
      QVERIFY(dlg.KeepRatio()->isChecked());
      // Pixels give the percent, and the kept proportion carries the other side.
      dlg.PixelWidth()->setValue(20);
      QCOMPARE(dlg.PercentWidth()->value(), 200);
      QCOMPARE(dlg.PixelHeight()->value(), 16);
      QCOMPARE(dlg.PercentHeight()->value(), 200);
      // Without the proportion each side is its own.
      dlg.KeepRatio()->setChecked(false);
      dlg.PercentHeight()->setValue(50);
      QCOMPARE(dlg.PixelHeight()->value(), 4);
      QCOMPARE(dlg.PixelWidth()->value(), 20);
      QCOMPARE(dlg.PercentWidth()->value(), 200);
      dlg.PixelHeight()->setValue(6);
      QCOMPARE(dlg.PercentHeight()->value(), 75);
      dlg.reject();
    }
    QCOMPARE(d.History().Step(), step);
    QCOMPARE(d.Layers().header.canvasWidth, 10);

    // Through the menu: percent typed, the picture takes the size, one step.
    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(1431)->isEnabled());
    SetTransformDialogRunner([](QDialog& dlg) {
      auto* r = qobject_cast<ResizeDialog*>(&dlg);
      if (!r) return int(QDialog::Rejected);
      r->PercentWidth()->setValue(50);
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1431));
    QCOMPARE(d.Layers().header.canvasWidth, 5);
    QCOMPARE(d.Layers().header.canvasHeight, 4);
    QCOMPARE(Label(d, step + 1), QString("이미지크기"));
    QCOMPARE(d.History().Step(), step + 1);
    // An unchanged size records nothing.
    SetTransformDialogRunner([](QDialog& dlg) {
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(!frame_->OnCommand(1431));
    QCOMPARE(d.History().Step(), step + 1);
  }

  void canvasAnchorReachesTheCommand() {
    CMirvDoc& d = NewDoc(10, 8);
    const Rgbq corner = At(d, 0, 0);  // bottom-left as shown
    const int step = d.History().Step();
    {
      CanvasSizeDialog dlg(d);
      QCOMPARE(dlg.CurrentSize()->text(), QString("10 × 8"));
      QCOMPARE(dlg.Anchor(), 4);
      dlg.NewWidth()->setValue(14);
      dlg.NewHeight()->setValue(12);
      dlg.AnchorButton(0)->click();
      QCOMPARE(dlg.Anchor(), 0);
      dlg.accept();
      QVERIFY(dlg.Recorded());
    }
    QCOMPARE(Label(d, step + 1), QString("캔버스크기조정"));
    QCOMPARE(d.Layers().header.canvasWidth, 14);
    QCOMPARE(d.Layers().header.canvasHeight, 12);
    // Growing from the top-left: the old bottom row sits 4 rows above the new one.
    QCOMPARE(At(d, 0, 4), corner);

    // The bottom-right choice through the menu.
    SetTransformDialogRunner([](QDialog& dlg) {
      auto* c = qobject_cast<CanvasSizeDialog*>(&dlg);
      if (!c) return int(QDialog::Rejected);
      c->NewWidth()->setValue(18);
      c->NewHeight()->setValue(12);
      c->AnchorButton(8)->click();
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1432));
    QCOMPARE(d.Layers().header.canvasWidth, 18);
    QCOMPARE(At(d, 4, 4), corner);
    QCOMPARE(d.History().Step(), step + 2);
  }

  void freeRotationPreviewsAndCancelRestores() {
    CMirvDoc& d = NewDoc(10, 8);
    const Layer before = *d.Layers().Active();
    const int step = d.History().Step();
    bool previewChanged = false;
    SetTransformDialogRunner([&](QDialog& dlg) {
      auto* r = qobject_cast<FreeRotateDialog*>(&dlg);
      if (!r) return int(QDialog::Rejected);
      r->Angle()->setValue(30.0);
      const Layer* a = d.Layers().Active();
      previewChanged = a->pixels != before.pixels && a->width > 10;
      r->Angle()->setValue(-45.0);
      dlg.reject();
      return int(QDialog::Rejected);
    });
    QVERIFY(!frame_->OnCommand(1415));
    QVERIFY(previewChanged);
    const Layer* a = d.Layers().Active();
    QVERIFY(a->pixels == before.pixels);
    QVERIFY(a->alpha == before.alpha);
    QCOMPARE(a->width, before.width);
    QCOMPARE(a->height, before.height);
    QCOMPARE(a->x, before.x);
    QCOMPARE(a->y, before.y);
    QCOMPARE(int(d.Layers().mask.size()), before.width * before.height);
    QCOMPARE(d.History().Step(), step);

    // OK: one step, the same layer the command makes from the kept one.
    SetTransformDialogRunner([](QDialog& dlg) {
      auto* r = qobject_cast<FreeRotateDialog*>(&dlg);
      if (!r) return int(QDialog::Rejected);
      r->Angle()->setValue(20.0);
      r->Angle()->setValue(30.0);
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1415));
    QCOMPARE(Label(d, step + 1), QString("자유회전"));
    QCOMPARE(d.History().Step(), step + 1);
    const Layer viaDialog = *d.Layers().Active();
    QVERIFY(d.History().Undo());
    QVERIFY(d.Layers().Active()->pixels == before.pixels);
    QVERIFY(FreeRotate(d, 30.0f));
    QVERIFY(d.Layers().Active()->pixels == viaDialog.pixels);
    QCOMPARE(d.Layers().Active()->width, viaDialog.width);
  }

  // The rotation panel stays open beside the view; closing the picture under it
  // ends the mode instead of leaving the panel to restore into a freed document.
  void closingThePictureEndsTheOpenRotationPanel() {
    QStringList messages;
    QTemporaryDir home;
    auto f = testing_support::StartTestFrame(home, &messages);
    CMirvDoc* d = f->NewDocument(10, 8, 24, "t");
    QVERIFY(d);
    Paint(*d);
    QVERIFY(f->OnCommand(1415));  // no runner: the panel is shown and left open
    QPointer<FreeRotateDialog> panel = f->findChild<FreeRotateDialog*>();
    QVERIFY(panel && panel->isVisible());
    panel->Angle()->setValue(30.0);
    f->Host().SetAsker([](const QString&, AskButtons) { return Answer::No; });
    QVERIFY(f->CloseAllDocuments());
    QTRY_VERIFY(f->Documents().empty());
    QTRY_VERIFY(panel.isNull() || !panel->isVisible());
    QVERIFY(f->Frame().currentTool != 1415);
    f.reset();  // deleting the frame deletes the panel; nothing may touch the document
  }

  void freeRotationModeTurnsByDraggingInTheView() {
    CMirvDoc& d = NewDoc(10, 8);
    const Layer before = *d.Layers().Active();
    const int step = d.History().Step();
    QVERIFY(frame_->OnCommand(1415));
    FreeRotateDialog* p = FreeRotateDialog::Active();
    QVERIFY(p && p->isVisible());
    QCOMPARE(p->windowTitle(), QString("회전각지정"));
    QCOMPARE(frame_->Frame().currentTool, tool::kFreeRotate);
    // Entering again only raises the panel; other tools wait until it is closed.
    QVERIFY(!frame_->OnCommand(1415));
    QCOMPARE(FreeRotateDialog::Active(), p);
    QVERIFY(!frame_->OnCommand(tool::kBrush));
    QCOMPARE(frame_->Frame().currentTool, tool::kFreeRotate);

    // About the layer's centre (5, 4): from its right to below it is a quarter turn
    // clockwise, previewed on the way and recorded on release.
    CMirvView* v = frame_->ActiveView();
    ToolRouter& r = v->Router();
    auto at = [](int x, int y) {
      PointerEvent e;
      e.view = e.raw = e.client = Point{x, y};
      return e;
    };
    r.Press(*v, at(9, 4));
    r.Move(*v, at(7, 6));
    QCOMPARE(p->Angle()->value(), 45.0);
    QVERIFY(d.Layers().Active()->width > 10);
    QCOMPARE(d.History().Step(), step);
    r.Move(*v, at(5, 9));
    r.Release(*v, at(5, 9));
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(Label(d, step + 1), QString("자유회전"));
    QCOMPARE(frame_->Frame().currentTool, tool::kNone);
    QVERIFY(!FreeRotateDialog::Active());
    const Layer viaDrag = *d.Layers().Active();
    QVERIFY(d.History().Undo());
    QVERIFY(d.Layers().Active()->pixels == before.pixels);
    QVERIFY(FreeRotate(d, 90.0f));
    QVERIFY(d.Layers().Active()->pixels == viaDrag.pixels);
    QVERIFY(d.History().Undo());

    // A click turns nothing and keeps the mode; closing the panel puts the layer back.
    QVERIFY(frame_->OnCommand(1415));
    p = FreeRotateDialog::Active();
    QVERIFY(p);
    r.Press(*v, at(9, 4));
    r.Release(*v, at(9, 4));
    QCOMPARE(FreeRotateDialog::Active(), p);
    p->Angle()->setValue(30.0);
    QVERIFY(d.Layers().Active()->pixels != before.pixels);
    p->close();
    QVERIFY(!FreeRotateDialog::Active());
    QCOMPARE(frame_->Frame().currentTool, tool::kNone);
    QVERIFY(d.Layers().Active()->pixels == before.pixels);
    QCOMPARE(d.Layers().Active()->width, before.width);
    QCOMPARE(d.History().Step(), step);
  }

  // A free transform chosen while the rotation panel is open ends the rotation mode
  // (putting the layer back) rather than only hiding the panel: free rotation must
  // still be available afterwards.
  void freeTransformEndsTheRotationMode() {
    CMirvDoc& d = NewDoc(10, 8);
    const Layer before = *d.Layers().Active();
    const int step = d.History().Step();
    for (int transform : {4250, 4251, 4252}) {
      QVERIFY(frame_->OnCommand(1415));
      FreeRotateDialog* p = FreeRotateDialog::Active();
      QVERIFY(p && p->isVisible());
      p->Angle()->setValue(30.0);
      QVERIFY(frame_->OnCommand(transform));
      QCOMPARE(frame_->Frame().currentTool, transform);
      QVERIFY2(!FreeRotateDialog::Active(), "the rotation mode outlived its panel");
      QVERIFY(d.Layers().Active()->pixels == before.pixels);
      QCOMPARE(d.Layers().Active()->width, before.width);
      QCOMPARE(d.History().Step(), step);
    }
    QVERIFY(frame_->OnCommand(1415));
    QVERIFY(FreeRotateDialog::Active());
    QCOMPARE(frame_->Frame().currentTool, tool::kFreeRotate);
    FreeRotateDialog::Active()->close();
  }

  void layerEffectDialog() {
    CMirvDoc& d = NewDoc(10, 8);
    const int step = d.History().Step();
    const Rgbq red = MakeRgbq(200, 10, 10);
    int previewOn = -1, maximum = 0;
    QString startText;
    SetTransformDialogRunner([&](QDialog& dlg) {
      auto* e = qobject_cast<LayerEffectDialog*>(&dlg);
      if (!e) return int(QDialog::Rejected);
      maximum = e->SizeSlider()->maximum();
      startText = e->SizeEdit()->text();
      e->SizeSlider()->setValue(5);
      previewOn = d.Layers().Active()->effectOn;
      dlg.reject();
      return int(QDialog::Rejected);
    });
    QVERIFY(!frame_->OnCommand(1558));
    QCOMPARE(previewOn, 1);
    QCOMPARE(maximum, kMaxEffectSize);
    QCOMPARE(startText, QString("3"));
    QCOMPARE(int(d.Layers().Active()->effectOn), 0);
    QCOMPARE(d.History().Step(), step);

    SetTransformDialogRunner([&](QDialog& dlg) {
      auto* e = qobject_cast<LayerEffectDialog*>(&dlg);
      if (!e) return int(QDialog::Rejected);
      e->SizeEdit()->clear();
      QTest::keyClicks(e->SizeEdit(), "7");
      e->SetColour(red);
      e->Transparent()->setChecked(true);
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1558));
    QCOMPARE(Label(d, step + 1), QString("레이어효과(그림자)"));
    const Layer* a = d.Layers().Active();
    QCOMPARE(int(a->effectOn), 1);
    QCOMPARE(int(a->effectSize), 7);
    QCOMPARE(Rgbq(a->effectColour), red);
    QCOMPARE(int(a->transparentShadow), 1);

    // The next dialog starts from the layer's values; removal clears the plane.
    Rgbq seen = 0;
    SetTransformDialogRunner([&](QDialog& dlg) {
      auto* e = qobject_cast<LayerEffectDialog*>(&dlg);
      if (!e) return int(QDialog::Rejected);
      seen = e->Colour();
      e->Remove()->setChecked(true);
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1558));
    QCOMPARE(seen, red);
    QCOMPARE(int(d.Layers().Active()->effectOn), 0);
    for (uint8_t v : d.Layers().Active()->effect) QCOMPARE(int(v), 0);
  }
  void freeTransformHandlesInTheView() {
    CMirvDoc& d = NewDoc(40, 30);
    const int step = d.History().Step();
    CMirvView* v = frame_->ActiveView();
    QVERIFY(v && &v->Document() == &d);
    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(4250)->isEnabled());
    QVERIFY(frame_->OnCommand(4250));
    QCOMPARE(frame_->Frame().currentTool, 4250);
    auto* handles = v->viewport()->findChild<TransformHandles*>();
    QVERIFY(handles);
    const QList<QRect> r = handles->HandleRects();
    QCOMPARE(r.size(), 4);
    QCOMPARE(r[2].center() - r[0].center(), QPoint(40, 30));

    auto event = [](int x, int y) {
      PointerEvent e;
      e.view = e.raw = e.client = Point{x, y};
      return e;
    };
    // A press away from every handle grabs nothing and records nothing.
    v->Router().Press(*v, event(20, 15));
    v->Router().Move(*v, event(22, 17));
    v->Router().Release(*v, event(22, 17));
    QCOMPARE(d.History().Step(), step);
    QCOMPARE(d.Layers().Active()->width, 40);

    // Size: the bottom-right handle dragged to (80, 60) doubles the layer.
    const Rgbq corner = At(d, 0, 0);
    v->Router().Press(*v, event(40, 30));
    v->Router().Move(*v, event(80, 60));
    v->Router().Release(*v, event(80, 60));
    QCOMPARE(Label(d, step + 1), QString("크기"));
    QCOMPARE(d.Layers().Active()->width, 80);
    QCOMPARE(d.Layers().Active()->height, 60);
    QCOMPARE(At(d, 0, 0), corner);
    // The handles now sit on the transformed layer.
    QCOMPARE(handles->HandleRects()[2].center() - handles->HandleRects()[0].center(), QPoint(80, 60));

    // Skew moves one corner only.
    QVERIFY(frame_->OnCommand(4251));
    v->Router().Press(*v, event(80, 0));
    v->Router().Move(*v, event(96, 0));
    v->Router().Release(*v, event(96, 0));
    QCOMPARE(Label(d, step + 2), QString("뒤틀림"));
    QCOMPARE(d.Layers().Active()->width, 96);
    QCOMPARE(d.Layers().Active()->height, 60);
    // After an undo the handles are back on the layer as it was.
    QVERIFY(d.History().Undo());
    QCOMPARE(handles->HandleRects()[1].center() - handles->HandleRects()[0].center(), QPoint(80, 0));
    QVERIFY(d.History().Redo());

    // A zoom changed while the mode is on: the release ends the mode with its message
    // and transforms nothing (the handles' corners are picture pixels).
    const int done = d.History().Step();
    QVERIFY(v->Router().ZoomIn(Point{0, 0}));
    messages_.clear();
    v->Router().Press(*v, event(192, 0));
    v->Router().Move(*v, event(220, 0));
    v->Router().Release(*v, event(220, 0));
    QCOMPARE(messages_, QStringList{QString::fromUtf8(kMsgFreeTransformZoom)});
    QCOMPARE(d.History().Step(), done);
    QCOMPARE(d.Layers().Active()->width, 96);
    QCOMPARE(frame_->Frame().currentTool, -1);
    QVERIFY(v->Router().ZoomActual());

    // Away from 100 % the mode is refused with its message.
    frame_->Frame().currentTool = -1;
    QVERIFY(v->Router().ZoomIn(Point{0, 0}));
    QVERIFY(v->Router().Zoom() != 1.0f);
    messages_.clear();
    QVERIFY(!frame_->OnCommand(4252));
    QCOMPARE(messages_, QStringList{QString::fromUtf8(kMsgFreeTransformZoom)});
    QCOMPARE(frame_->Frame().currentTool, -1);
    QVERIFY(handles->HandleRects().isEmpty());
  }
};

QTEST_MAIN(TransformDialogsTest)
#include "transform_dialogs_test.moc"
