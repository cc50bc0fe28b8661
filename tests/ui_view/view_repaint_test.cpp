// The view's partial repaints: a dab recomposes only its rectangle in every view of
// the document, and reduced views read levels that follow painting, undo and layer
// changes. Each picture is checked against a view opened fresh at the same place.
#include <QScrollBar>
#include <QtTest>
#include <memory>
#include <vector>

#include "image/doc.h"
#include "tools/standard_tools.h"
#include "tools/tool_ids.h"
#include "ui/mirv_view.h"
#include "view_host.h"

using namespace velmira;

class ViewRepaintTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp;
  FrameState frame;
  testing_support::ViewHost host;
  std::unique_ptr<CMirvDoc> doc;

  // A 640 × 480 picture of a pattern, with a second, half-covering layer above.
  void MakeDoc() {
    frame = FrameState{};
    frame.tempFolder = tmp.path().toStdString();
    frame.newWidth = 640;
    frame.newHeight = 480;
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    QVERIFY(doc->NewDocument());
    LayerStack& L = doc->Layers();
    for (int y = 0; y < 480; y += 2)
      for (int x = 0; x < 640; x += 3) L.WriteLayerColor(L.active, x, y, MakeRgbq(x & 255, y & 255, (x ^ y) & 255));
    QVERIFY(doc->AddLayer());
    for (int y = 100; y < 300; ++y)
      for (int x = 150; x < 500; ++x) {
        L.WriteLayerColor(L.active, x, y, MakeRgbq(0, 120, 200));
        L.SetLayerAlpha(L.active, x, y, (x + y) % 5 ? 255 : 0);
      }
    doc->RecordStep("setup", kStepPixels, L.active);
    doc->SetCompositionStale(true);
    frame.currentTool = tool::kBrush;
    frame.brushSize = 6;
    frame.foreground = MakeRgbq(250, 250, 0);
  }

  static void Place(CMirvView& v, int w, int h) {
    v.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v.resize(w, h);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
  }

  static QImage Render(CMirvView& v) {
    QImage img(v.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    v.viewport()->render(&img);
    return img;
  }

  // Zooms the view out `steps` times (each halves the zoom).
  static void ZoomOut(CMirvView& v, int steps) {
    for (int i = 0; i < steps; ++i) QVERIFY(v.OnZoomCommand(tool::kZoomOut));
  }

  // What a view opened now at the same zoom and scroll position shows, composed
  // from levels built afresh.
  QImage Fresh(CMirvView& like) {
    doc->Mips().Clear();
    CMirvView fresh(*doc, frame);
    Place(fresh, like.viewport()->width(), like.viewport()->height());
    fresh.Router().State() = like.Router().State();
    fresh.OnUpdate(viewcmd::kUpdateHint);
    fresh.horizontalScrollBar()->setValue(like.horizontalScrollBar()->value());
    fresh.verticalScrollBar()->setValue(like.verticalScrollBar()->value());
    return Render(fresh);
  }

  // The view is painted before the fresh one is opened: opening it rebuilds the
  // document's levels.
  bool ShowsWhatAFreshViewShows(CMirvView& v) {
    const QImage got = Render(v);
    return got == Fresh(v);
  }

  // A drag through the points; every move's repaint is checked against a fresh view.
  void DragThrough(CMirvView& v, const std::vector<QPointF>& points) {
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, points.front().toPoint());
    Render(v);
    for (size_t i = 1; i < points.size(); ++i) {
      const QPointF p = points[i];
      QMouseEvent move(QEvent::MouseMove, p, v.viewport()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
      QApplication::sendEvent(v.viewport(), &move);
      QVERIFY(ShowsWhatAFreshViewShows(v));
    }
    QTest::mouseRelease(v.viewport(), Qt::LeftButton, Qt::NoModifier, points.back().toPoint());
  }
  // A drag in four moves.
  void Drag(CMirvView& v, QPoint from, QPoint to) {
    std::vector<QPointF> points;
    for (int i = 0; i <= 4; ++i) points.push_back(QPointF(from) + (QPointF(to - from) * i) / 4.0);
    DragThrough(v, points);
  }

 private Q_SLOTS:
  void initTestCase() {
    frame.tempFolder = tmp.path().toStdString();
    RegisterStandardTools();
  }

  // The dab is described by its rectangle: the view recomposes that and nothing else
  // (a change nobody reported stays unseen outside it), and the result is what a
  // fresh view shows.
  void aDabRecomposesOnlyItsRectangle() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 300, 200);
    v.OnUpdate(viewcmd::kUpdateHint);
    Render(v);
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    // A pixel of the bottom layer far from the dab changed behind the view's back.
    LayerStack& L = doc->Layers();
    const QColor before = Render(v).pixelColor(250, 150);
    L.WriteLayerColor(L.bottom, 250, 479 - 150, MakeRgbq(1, 2, 3));
    const int count = v.CompositionCount();
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 50), v.viewport()->mapToGlobal(QPointF(60, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &move);
    QVERIFY(!doc->CompositionStale());
    QVERIFY(!doc->DirtyRects().empty());
    const QImage painted = Render(v);
    QCOMPARE(v.CompositionCount(), count + 1);
    QCOMPARE(painted.pixelColor(250, 150), before);
    QCOMPARE(painted.pixelColor(60, 50), QColor(250, 250, 0));
    QTest::mouseRelease(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
    // Once the whole picture is recomposed the unreported change shows too.
    doc->SetCompositionStale(true);
    QCOMPARE(Render(v).pixelColor(250, 150), QColor(1, 2, 3));
    QVERIFY(ShowsWhatAFreshViewShows(v));
  }

  void paintingShowsWhatAFreshViewShowsAtEveryZoom() {
    for (int steps : {0, 1, 2, 3}) {
      MakeDoc();
      CMirvView v(*doc, frame);
      Place(v, 260, 190);
      v.OnUpdate(viewcmd::kUpdateHint);
      ZoomOut(v, steps);
      Render(v);
      Drag(v, QPoint(30, 20), QPoint(120, 90));
      QVERIFY(ShowsWhatAFreshViewShows(v));
      // An eraser stroke and a water drop: the drop replaces its own previous drop
      // at every move, which the revert reports.
      frame.currentTool = tool::kEraser;
      Drag(v, QPoint(100, 30), QPoint(40, 100));
      QVERIFY(ShowsWhatAFreshViewShows(v));
      frame.currentTool = tool::kDrop;
      Drag(v, QPoint(70, 70), QPoint(110, 60));
      QVERIFY(ShowsWhatAFreshViewShows(v));
      // The line's preview goes out and comes back: each move's revert takes away
      // a longer line than the one it draws.
      frame.currentTool = tool::kLine;
      DragThrough(v, {{10, 100}, {150, 20}, {120, 60}, {40, 90}, {30, 30}});
      QVERIFY(ShowsWhatAFreshViewShows(v));
    }
  }

  // Undo puts back the picture the reduced view showed before the stroke: its
  // levels must not keep the stroke.
  void undoAfterPaintingShowsThePreviousPictureWhenReduced() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.OnUpdate(viewcmd::kUpdateHint);
    ZoomOut(v, 2);
    const QImage before = Render(v);
    Drag(v, QPoint(20, 20), QPoint(100, 80));
    const QImage painted = Render(v);
    QVERIFY(painted != before);
    QVERIFY(doc->Undo());
    host.onUpdate(*doc, 0);
    QCOMPARE(Render(v), before);
    QVERIFY(doc->Redo());
    QCOMPARE(Render(v), painted);
  }

  void layerChangesShowWhenReduced() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 320, 240);
    v.OnUpdate(viewcmd::kUpdateHint);
    ZoomOut(v, 1);
    Render(v);
    // Moved with the move tool.
    frame.currentTool = tool::kMove;
    Drag(v, QPoint(100, 100), QPoint(117, 91));
    QVERIFY(ShowsWhatAFreshViewShows(v));
    LayerStack& L = doc->Layers();
    const int top = L.active;
    QVERIFY(doc->SetLayerVisible(top, false));
    QVERIFY(ShowsWhatAFreshViewShows(v));
    QVERIFY(doc->SetLayerVisible(top, true));
    QVERIFY(ShowsWhatAFreshViewShows(v));
    QVERIFY(doc->DeleteLayer(top, true));
    QVERIFY(ShowsWhatAFreshViewShows(v));
    QVERIFY(doc->Undo());
    QVERIFY(ShowsWhatAFreshViewShows(v));
  }

  // Every view of the document sees a dab made in one of them.
  void everyViewSeesADab() {
    MakeDoc();
    CMirvView v1(*doc, frame), v2(*doc, frame), v3(*doc, frame);
    Place(v1, 240, 180);
    Place(v2, 240, 180);
    Place(v3, 240, 180);
    for (CMirvView* v : {&v1, &v2, &v3}) v->OnUpdate(viewcmd::kUpdateHint);
    ZoomOut(v3, 1);
    Render(v1);
    Render(v2);
    Render(v3);
    Drag(v1, QPoint(30, 30), QPoint(90, 60));
    // The second view is painted first this time: whichever view composes first
    // hands the rectangles on to the others.
    QVERIFY(ShowsWhatAFreshViewShows(v2));
    QVERIFY(ShowsWhatAFreshViewShows(v1));
    QVERIFY(ShowsWhatAFreshViewShows(v3));
    QCOMPARE(Render(v2).pixelColor(60, 45), QColor(250, 250, 0));
  }
};

QTEST_MAIN(ViewRepaintTest)
#include "view_repaint_test.moc"
