// Choosing the painting, fill and selection tools from the frame, their dialogs, and
// the tools at work with the mouse in a real view.
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "tools/tool_router.h"
#include "ui/main_frame.h"
#include "test_frame.h"
#include "ui/mirv_view.h"
#include "ui/tool_menu.h"
#include "ui/tool_options.h"
#include "ui/view_cursors.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {


// Left half dark red, right half a ramp of blues, as the user sees it.
void Paint(CMirvDoc& d) {
  LayerStack& L = d.Layers();
  const Layer* a = L.Active();
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x)
      L.WriteLayerColor(L.active, x, y, x < a->width / 2 ? MakeRgbq(120, 0, 0) : MakeRgbq(0, 0, 100 + 4 * x));
  d.CommitLayer(L.active);
}

}  // namespace

class ToolMenuTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;

  CMirvDoc& NewDoc() {
    CMirvDoc* d = frame_->NewDocument(40, 20, 24, "t");
    Q_ASSERT(d);
    Paint(*d);
    return *d;
  }
  CMirvView& View() { return *frame_->ActiveView(); }
  FrameState& F() { return frame_->Frame(); }
  // The viewport point over a picture pixel (zoom 1).
  QPoint Client(QPoint p) { return View().PictureOrigin() + p; }
  // A click on the view's viewport at a picture pixel.
  void ClickAt(int x, int y) {
    QWidget* vp = View().viewport();
    const QPoint at = Client(QPoint(x, y));
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
  }
  void DragAt(QPoint a, QPoint b) {
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client(a));
    QMouseEvent move(QEvent::MouseMove, Client(b), vp->mapToGlobal(Client(b)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client(b));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, &messages_);
    frame_->SetColourPicker([](const QColor&, const QString&) { return std::optional<QColor>(QColor(1, 2, 3)); });
    frame_->resize(900, 600);
    frame_->show();
  }
  void cleanupTestCase() { frame_.reset(); }

  void slidersAndStatusFollowTheTool() {
    NewDoc();
    ToolOptionBar* bar = frame_->ToolOptions();
    F().borderSpread = 7;
    QVERIFY(frame_->OnCommand(tool::kAutoSelect));
    QCOMPARE(F().currentTool, tool::kAutoSelect);
    QCOMPARE(F().selectionKind, 2);
    QCOMPARE(bar->Label(1)->text(), QString("포함한계치"));
    QCOMPARE(bar->Slider(1)->value(), 25);
    QCOMPARE(bar->Slider(1)->maximum(), 60);
    QCOMPARE(F().option1, 25);
    QCOMPARE(bar->Label(2)->text(), QString("경계퍼짐"));
    QVERIFY(bar->Slider(2)->isEnabled());
    QCOMPARE(bar->Slider(2)->value(), 7);
    QCOMPARE(frame_->StatusLabel()->text(), QString("인접한 유사영역 탐색지정"));
    // The second slider drives the border spread the selection tools share.
    bar->Slider(2)->setValue(12);
    QCOMPARE(F().borderSpread, 12);

    QVERIFY(frame_->OnCommand(tool::kFill));
    QCOMPARE(bar->Slider(1)->value(), 10);
    QCOMPARE(F().option1, 10);
    QCOMPARE(bar->Slider(2)->value(), 12);
    QCOMPARE(frame_->StatusLabel()->text(), QString("빈영역채우기"));

    QVERIFY(frame_->OnCommand(tool::kDrop));
    QCOMPARE(bar->Label(1)->text(), QString("퍼짐정도"));
    QCOMPARE(bar->Slider(1)->minimum(), 5);
    QCOMPARE(bar->Slider(1)->maximum(), 30);
    QCOMPARE(frame_->StatusLabel()->text(), QString("물방울 효과"));

    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    QCOMPARE(bar->Label(1)->text(), QString("경계퍼짐"));
    QCOMPARE(bar->Slider(1)->value(), 12);
    QVERIFY(!bar->Slider(2)->isEnabled());
    QCOMPARE(F().selectionKind, 0);
    QCOMPARE(F().previousTool, tool::kDrop);

    QVERIFY(frame_->OnCommand(tool::kBrush));
    QVERIFY(!bar->Slider(1)->isEnabled());
    QVERIFY(!bar->Slider(2)->isEnabled());
  }

  void selectionToolsRefuseATextLayer() {
    CMirvDoc& d = NewDoc();
    QVERIFY(frame_->OnCommand(tool::kBrush));
    messages_.clear();
    d.Layers().Active()->kind = kLayerText;
    QVERIFY(!frame_->OnCommand(tool::kFreeSelect));
    QCOMPARE(F().currentTool, tool::kBrush);
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].startsWith("현재는 [Text:글] 레이어."));
    d.Layers().Active()->kind = kLayerRaster;
  }

  void rectangleSelectionWithTheMouseEnablesInversionAndStretching() {
    CMirvDoc& d = NewDoc();
    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    frame_->UpdateCommandUI();
    QVERIFY(!frame_->MenuAction(selcmd::kInvertSelection)->isEnabled());
    DragAt(QPoint(30, 15), QPoint(5, 2));
    QVERIFY(View().Router().State().selectionActive);
    const LayerStack& L = d.Layers();
    // Rows count from the bottom: picture rows 2…15 are layer rows 4…17.
    QCOMPARE(L.InSelection(5, 17), 1);
    QCOMPARE(L.InSelection(30, 4), 1);
    QCOMPARE(L.InSelection(31, 4), 0);
    QCOMPARE(L.InSelection(5, 3), 0);
    QVERIFY(frame_->MenuAction(selcmd::kInvertSelection)->isEnabled());
    QVERIFY(frame_->MenuAction(cmd::kStretchSqueeze)->isEnabled());
    QVERIFY(frame_->OnCommand(selcmd::kInvertSelection));
    QCOMPARE(L.InSelection(5, 17), 0);
    QCOMPARE(L.InSelection(31, 4), 1);
  }

  void gradientDialogSetsKindAndModeAndCloses() {
    NewDoc();
    QVERIFY(frame_->OnCommand(tool::kGradient));
    auto* g = frame_->findChild<GradientDialog*>();
    QVERIFY(g && g->isVisible());
    QCOMPARE(g->objectName(), QString("CDlg_GradientBucket"));
    g->KindButton(2)->click();
    g->ModeButton(1)->click();
    QCOMPARE(F().gradientKind, 2);
    QCOMPARE(F().gradientColourMode, 1);
    QVERIFY(g->KindButton(2)->isChecked() && !g->KindButton(1)->isChecked());
    g->CloseButton()->click();
    QVERIFY(!g->isVisible());
    QCOMPARE(F().currentTool, tool::kNone);
    // Another tool puts the dialog away too.
    QVERIFY(frame_->OnCommand(tool::kGradient));
    QVERIFY(g->isVisible());
    QVERIFY(frame_->OnCommand(tool::kBrush));
    QVERIFY(!g->isVisible());
  }

  void colourRangeDialogCountsAndFollowsTheSlider() {
    CMirvDoc& d = NewDoc();
    QVERIFY(frame_->OnCommand(selcmd::kColourRange));
    QCOMPARE(F().currentTool, tool::kColourRange);
    auto* r = frame_->findChild<ColourRangeDialog*>();
    QVERIFY(r && r->isVisible());
    QCOMPARE(r->windowTitle(), QString(" 색상범위 영역지정"));
    QCOMPARE(r->ToleranceSlider()->value(), 10);
    QVERIFY(r->NewButton()->isChecked());

    // The dark red half: 20 × 20 of 800 pixels.
    ClickAt(3, 3);
    QCOMPARE(F().rangeColour, MakeRgbq(120, 0, 0));
    QCOMPARE(F().rangeCount, 400);
    QCOMPARE(r->CountText()->text(), QString("픽셀수 400   (50.00)%           "));
    QVERIFY(View().Router().State().selectionActive);

    // A blue of the ramp: each column differs by 4 from the next, so tolerance 10
    // takes the column and two on either side.
    ClickAt(30, 3);
    QCOMPARE(F().rangeCount, 5 * 20);
    r->ToleranceSlider()->setValue(3);
    QCOMPARE(r->ValueText()->text(), QString("3"));
    QCOMPARE(F().rangeCount, 20);
    QCOMPARE(d.Layers().InSelection(30, 0), 1);
    QCOMPARE(d.Layers().InSelection(31, 0), 0);

    // Add mode keeps what was selected.
    r->AddButton()->click();
    QVERIFY(F().rangeAdd);
    ClickAt(3, 3);
    QCOMPARE(d.Layers().InSelection(30, 0), 1);
    QCOMPARE(d.Layers().InSelection(3, 0), 1);

    r->ClearButton()->click();
    QVERIFY(!View().Router().State().selectionActive);
    QVERIFY(!d.Layers().selectionExists);
    r->CancelButton()->click();
    QVERIFY(!r->isVisible());
  }

  // Clear leaves nothing selected (an empty mask, not a full one) and leaving the
  // dialog gives the whole layer back to later commands; every opening starts at
  // tolerance 10 with the layer as it then stands kept as the second copy.
  void colourRangeClearReopenAndSecondCopy() {
    CMirvDoc& d = NewDoc();
    LayerStack& L = d.Layers();
    QVERIFY(frame_->OnCommand(selcmd::kColourRange));
    auto* r = frame_->findChild<ColourRangeDialog*>();
    QVERIFY(r);
    ClickAt(3, 3);
    QCOMPARE(F().rangeCount, 400);
    r->ToleranceSlider()->setValue(40);

    r->ClearButton()->click();
    QVERIFY(!L.selectionExists);
    QVERIFY(!View().Router().State().selectionActive);
    QCOMPARE(L.mask.size(), size_t(L.Active()->pixelCount));
    QCOMPARE(std::count(L.mask.begin(), L.mask.end(), uint8_t(0)), std::ptrdiff_t(L.mask.size()));
    QVERIFY(r->CountText()->text().isEmpty());
    // An add-mode pick after the clear takes only what matches.
    r->AddButton()->click();
    ClickAt(3, 3);
    QCOMPARE(F().rangeCount, 400);
    QCOMPARE(L.InSelection(30, 0), 0);
    r->ClearButton()->click();
    r->NewButton()->click();

    // Leaving: no selection, so every pixel counts as selected again.
    r->CancelButton()->click();
    QVERIFY(!r->isVisible());
    QCOMPARE(std::count(L.mask.begin(), L.mask.end(), uint8_t(1)), std::ptrdiff_t(L.mask.size()));

    // The picture changes between two openings; the second opening keeps it.
    L.WriteLayerColor(L.active, 5, 5, MakeRgbq(1, 2, 3));
    d.CommitLayer(L.active);
    const std::vector<uint8_t> opened = L.Active()->pixels;
    QVERIFY(frame_->OnCommand(selcmd::kColourRange));
    QVERIFY(r->isVisible());
    QCOMPARE(r->ToleranceSlider()->value(), 10);
    QCOMPARE(r->ValueText()->text(), QString("10"));
    QCOMPARE(F().rangeTolerance, 10);
    L.WriteLayerColor(L.active, 6, 6, MakeRgbq(9, 9, 9));  // an uncommitted scribble
    d.History().RestoreBackup(1, L.active);
    QVERIFY(L.Active()->pixels == opened);
    r->CancelButton()->click();
  }

  // With the move tool a drag inside the selection moves the selected pixels; Enter
  // puts them down, and so does choosing another tool.
  void moveToolMovesTheSelectionWithTheMouse() {
    CMirvDoc& d = NewDoc();
    LayerStack& L = d.Layers();
    const int step = d.History().Step();
    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    DragAt(QPoint(2, 2), QPoint(6, 6));
    QVERIFY(View().Router().State().selectionActive);
    QVERIFY(frame_->OnCommand(tool::kMove));
    DragAt(QPoint(4, 4), QPoint(24, 4));
    QVERIFY(d.SelectionMove());
    QCOMPARE(L.Active()->kind, uint8_t(kLayerFloating));
    QTest::keyClick(View().viewport(), Qt::Key_Return);
    QVERIFY(!d.SelectionMove());
    QCOMPARE(L.LayerCount(), 1);
    QCOMPARE(QString::fromStdString(d.History().Label(step + 1)), QString("선택영역 위치이동"));
    QCOMPARE(QString::fromStdString(d.History().Label(step + 2)), QString("레이어병합"));
    // The dark red of columns 2…6 now lies over the blues at 22…26; where it was is empty.
    const int row = 20 - 1 - 4;
    QCOMPARE(L.ReadLayerColor(L.active, 24, row, nullptr), MakeRgbq(120, 0, 0));
    QCOMPARE(L.ReadLayerColor(L.active, 27, row, nullptr), MakeRgbq(0, 0, 100 + 4 * 27));
    QCOMPARE(L.LayerAlpha(L.active, 4, row), 0);

    // Another tool chosen while afloat: put down at once.
    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    DragAt(QPoint(12, 12), QPoint(15, 15));
    QVERIFY(frame_->OnCommand(tool::kMove));
    DragAt(QPoint(13, 13), QPoint(13, 16));
    QVERIFY(d.SelectionMove());
    QVERIFY(frame_->OnCommand(tool::kBrush));
    QVERIFY(!d.SelectionMove());
    QCOMPARE(L.LayerCount(), 1);
    QCOMPARE(QString::fromStdString(d.History().Label(d.History().Step())), QString("레이어병합"));
  }

  // While a rectangle is dragged out the status line says so.
  void rectangleDragShowsItsStatus() {
    NewDoc();
    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    QCOMPARE(frame_->StatusLabel()->text(), QString("사각선택"));
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client(QPoint(2, 2)));
    QMouseEvent move(QEvent::MouseMove, Client(QPoint(9, 7)), vp->mapToGlobal(Client(QPoint(9, 7))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QCOMPARE(frame_->StatusLabel()->text(), QString("영역지정"));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client(QPoint(9, 7)));
    QVERIFY(View().Router().State().selectionActive);
  }

  // The dot tool has a cursor of its own, whatever the cursor style, unlike any other.
  void dotToolHasItsOwnCursor() {
    NewDoc();
    F().currentTool = tool::kDot;  // chosen from the brush palette, which has no menu id
    QWidget* vp = View().viewport();
    for (int style : {0, 1, 3}) {
      F().cursorStyle = style;
      QMouseEvent move(QEvent::MouseMove, Client(QPoint(4 + style, 4)), vp->mapToGlobal(Client(QPoint(4 + style, 4))),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(vp, &move);
      QCOMPARE(View().Router().CursorFor(false, false), std::optional<CursorShape>(CursorShape::DotPen));
      const QPixmap mine = vp->cursor().pixmap();
      QVERIFY(!mine.isNull());
      const QImage img = mine.toImage();
      // The dot is drawn where the tool sets it: two left of and one below the hot spot.
      const QPoint hot = vp->cursor().hotSpot();
      QCOMPARE(img.pixelColor(hot.x() - 2, hot.y() + 1).alpha(), 255);
      QVERIFY(img.pixelColor(hot.x() - 2, hot.y() + 1).lightness() < 64);
      for (CursorShape other : {CursorShape::Dot, CursorShape::Drop, CursorShape::Eraser, CursorShape::Picker,
                                CursorShape::Move, CursorShape::Touch, CursorShape::Transform})
        QVERIFY(ViewCursor(other).pixmap().toImage() != img);
    }
    F().cursorStyle = 0;
  }

  void colourPickerSetsTheForeground() {
    NewDoc();
    QVERIFY(frame_->OnCommand(tool::kColourPicker));
    QCOMPARE(frame_->StatusLabel()->text(), QString("색상추출"));
    ClickAt(2, 2);
    QCOMPARE(F().foreground, MakeRgbq(120, 0, 0));
  }

  void brushAndFillWithTheMouse() {
    CMirvDoc& d = NewDoc();
    F().foreground = MakeRgbq(0, 200, 0);
    F().brushSize = 1;
    QVERIFY(frame_->OnCommand(tool::kBrush));
    DragAt(QPoint(2, 10), QPoint(12, 10));
    const LayerStack& L = d.Layers();
    for (int x = 2; x <= 12; ++x) QCOMPARE(L.ReadLayerColor(L.active, x, 9, nullptr), MakeRgbq(0, 200, 0));
    QCOMPARE(QString::fromStdString(d.History().Label(d.History().Step())), QString("붓그리기"));

    QVERIFY(frame_->OnCommand(tool::kFill));
    F().foreground = MakeRgbq(9, 9, 9);
    ClickAt(15, 2);
    QCOMPARE(QString::fromStdString(d.History().Label(d.History().Step())), QString("채우기"));
    // The green line splits nothing (it is one row), so the whole red half but the
    // line is filled.
    QCOMPARE(L.ReadLayerColor(L.active, 0, 0, nullptr), MakeRgbq(9, 9, 9));
    QCOMPARE(L.ReadLayerColor(L.active, 5, 9, nullptr), MakeRgbq(0, 200, 0));
    QCOMPARE(L.ReadLayerColor(L.active, 25, 0, nullptr), MakeRgbq(0, 0, 200));
  }
};

QTEST_MAIN(ToolMenuTest)
#include "tool_menu_test.moc"
