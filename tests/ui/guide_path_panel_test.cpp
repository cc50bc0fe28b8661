// The guide-path panel with the mouse: placing, closing, moving, inserting and removing
// points in a real view, the consent rule while the panel shows, path to selection
// and the stroke along the path.
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "image/doc.h"
#include "test_frame.h"
#include "tools/guide_path.h"
#include "tools/tool_router.h"
#include "ui/anchor_line.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

using namespace velmira;

class GuidePathPanelTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;
  QStringList questions_;
  Answer answer_ = Answer::Ok;

  CMirvDoc& NewDoc() {
    CMirvDoc* d = frame_->NewDocument(60, 40, 24, "t");
    Q_ASSERT(d);
    return *d;
  }
  CMirvView& View() { return *frame_->ActiveView(); }
  CMirvDoc& Doc() { return *frame_->ActiveDocument(); }
  FrameState& F() { return frame_->Frame(); }
  QPoint Client(QPoint p) { return View().PictureOrigin() + p; }
  void ClickAt(int x, int y) {
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client(QPoint(x, y)));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client(QPoint(x, y)));
  }
  void DragAt(QPoint a, QPoint b) {
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client(a));
    QMouseEvent move(QEvent::MouseMove, Client(b), vp->mapToGlobal(Client(b)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client(b));
  }
  // A guide point as the user placed it (picture pixels from the top-left).
  GuidePoint Seen(int x, int y) {
    const Layer* l = Doc().Layers().Active();
    return {x - l->x, l->y + Doc().Layers().header.canvasHeight - 1 - y};
  }
  CDlg_AnchorLine* Panel() { return GuidePanel(*frame_, false); }
  void Press(int id) {
    QPushButton* b = Panel()->Button(id);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
  }
  Rgbq ColourAt(int x, int y) {
    LayerStack& L = Doc().Layers();
    const GuidePoint g = Seen(x, y);
    return L.ReadLayerColor(L.active, g.x, g.y, nullptr) & 0xFFFFFF;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, &messages_);
    frame_->Host().SetAsker([this](const QString& q, AskButtons) {
      questions_ << q;
      return answer_;
    });
    frame_->resize(900, 600);
    frame_->show();
  }
  void cleanupTestCase() { frame_.reset(); }

  void panelToolsAndConsent() {
    NewDoc();
    QVERIFY(frame_->IsCommandEnabled(guide::kPanel));
    QVERIFY(!frame_->IsCommandEnabled(guide::kMake));  // only with the panel shown
    QVERIFY(frame_->OnCommand(guide::kPanel));
    QVERIFY(Panel() && Panel()->isVisible());
    QCOMPARE(Panel()->objectName(), QString("CDlg_AnchorLine"));
    QCOMPARE(Panel()->Button(guide::kToSelection)->text(), QString("영역선택"));
    QCOMPARE(Panel()->LengthBox()->value(), 100);

    QVERIFY(frame_->OnCommand(tool::kBrush) == false);  // refused while the panel shows
    QVERIFY(frame_->ConsentToolChange(tool::kZoomIn));
    Press(guide::kMake);
    QCOMPARE(F().currentTool, guide::kMake);
    QCOMPARE(F().selectionKind, 5);
    QVERIFY(Panel()->Button(guide::kMake)->isChecked());

    // Three points and a click beside the first one, which closes the path.
    ClickAt(10, 10);
    ClickAt(50, 10);
    ClickAt(50, 30);
    ClickAt(11, 11);
    const GuidePath& path = Doc().guidePath;
    QCOMPARE(path.Count(), 3);
    QVERIFY(path.closed);
    QCOMPARE(View().Router().OverlayMode(!path.Empty()), 5);
    // Another click asks first; Cancel keeps the path.
    answer_ = Answer::Cancel;
    ClickAt(30, 35);
    QCOMPARE(questions_.size(), 1);
    QCOMPARE(questions_.back(), QString("현재 완성된 경로를 제거하시겠습니까?"));
    QCOMPARE(path.Count(), 3);

    // Moving the second point with the mouse.
    Press(guide::kEdit);
    QCOMPARE(F().currentTool, guide::kEdit);
    QVERIFY(!Panel()->Button(guide::kMake)->isChecked());
    DragAt(QPoint(49, 11), QPoint(45, 15));
    QCOMPARE(path.points[1], Seen(45, 15));

    // Inserting on the top edge, then removing it again.
    Press(guide::kInsert);
    ClickAt(25, 12);  // the top edge runs from (10, 10) to (45, 15): at column 25 it is at 12
    QCOMPARE(path.Count(), 4);
    QCOMPARE(path.points[1], Seen(25, 12));
    Press(guide::kRemove);
    ClickAt(26, 12);
    QCOMPARE(path.Count(), 3);
    QVERIFY(path.closed);

    // Closing the panel hides it and keeps the points; the consent rule ends with it.
    Press(guide::kPanel);
    QVERIFY(!Panel()->isVisible());
    QCOMPARE(path.Count(), 3);
    QVERIFY(frame_->ConsentToolChange(tool::kBrush));
  }

  void pathBecomesSelectionOrStroke() {
    CMirvDoc& d = NewDoc();
    QVERIFY(frame_->OnCommand(guide::kPanel));
    Press(guide::kMake);
    ClickAt(10, 10);
    ClickAt(50, 10);
    messages_.clear();
    Press(guide::kToSelection);
    QVERIFY(messages_.contains(QString("안내 점이 더 필요합니다.")));
    ClickAt(50, 30);
    Press(guide::kToSelection);
    QVERIFY(messages_.contains(QString("경로가 닫혀 있지 않습니다.")));
    QCOMPARE(F().currentTool, guide::kMake);
    QVERIFY(Panel()->isVisible());

    ClickAt(10, 11);
    QVERIFY(d.guidePath.closed);
    Press(guide::kToSelection);
    QCOMPARE(F().currentTool, tool::kPolygonSelect);
    QVERIFY(View().Router().State().selectionActive);
    QVERIFY(d.Layers().selectionExists);
    QVERIFY(d.guidePath.Empty());
    QVERIFY(!Panel()->isVisible());
    const GuidePoint in = Seen(40, 14), out = Seen(15, 28);
    QVERIFY(d.Layers().InSelection(in.x, in.y));
    QVERIFY(!d.Layers().InSelection(out.x, out.y));

    // The stroke: half of a straight path in the foreground colour, one step.
    QVERIFY(frame_->OnCommand(tool::kClearSelection));
    QVERIFY(frame_->OnCommand(guide::kPanel));
    Press(guide::kMake);
    F().foreground = MakeRgbq(200, 0, 0);
    F().brushSize = 1;
    F().softEdge = false;
    ClickAt(10, 20);
    ClickAt(50, 20);
    Panel()->LengthBox()->setValue(50);
    Press(guide::kStroke);
    QCOMPARE(QString::fromStdString(d.History().Label(d.History().Step())), QString("경로따라 선긋기"));
    QCOMPARE(ColourAt(12, 20), MakeRgbq(200, 0, 0));
    QCOMPARE(ColourAt(30, 20), MakeRgbq(200, 0, 0));
    QCOMPARE(ColourAt(40, 20), MakeRgbq(255, 255, 255));
    QVERIFY(d.guidePath.Empty());
    QVERIFY(!Panel()->isVisible());
  }
};

QTEST_MAIN(GuidePathPanelTest)
#include "guide_path_panel_test.moc"
