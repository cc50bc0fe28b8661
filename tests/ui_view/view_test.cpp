// The image view offscreen: zoom steps and the anchor, point mapping and clamping,
// the status line, the composition cache, and printing to a PDF file.
#include <QFile>
#include <QMdiArea>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <utility>

#include "image/doc.h"
#include "tools/selection.h"
#include "ui/child_frame.h"
#include "ui/mirv_view.h"
#include "view_host.h"

using namespace velmira;

class ViewTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp;
  FrameState frame;
  testing_support::ViewHost host;
  std::unique_ptr<CMirvDoc> doc;

  // A 400 × 300 white picture with one red canvas pixel at (column 10, row 20 from
  // the top) and a transparent block at columns 100…109, rows 0…9.
  void MakeDoc(int w = 400, int h = 300) {
    frame = FrameState{};
    frame.tempFolder = tmp.path().toStdString();
    frame.newWidth = w;
    frame.newHeight = h;
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    QVERIFY(doc->NewDocument());
    LayerStack& L = doc->Layers();
    L.WriteLayerColor(L.active, 10, h - 1 - 20, MakeRgbq(255, 0, 0));
    for (int y = 0; y < 10; ++y)
      for (int x = 100; x < 110; ++x) L.SetLayerAlpha(L.active, x, h - 1 - y, 0);
    doc->SetCompositionStale(true);
  }

  // Shows the view at a client size of exactly w × h (no scroll bars taking room).
  static void Place(CMirvView& v, int w, int h) {
    v.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v.resize(w, h);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QCOMPARE(v.viewport()->size(), QSize(w, h));
  }

  static QImage Render(CMirvView& v) {
    QImage img(v.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    v.viewport()->render(&img);
    return img;
  }

  static void Click(CMirvView& v, QPoint p) {
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(v.viewport(), Qt::LeftButton, Qt::NoModifier, p);
  }

  // The zoomed-picture point shown at a client point.
  static Point Shown(CMirvView& v, QPoint client) {
    return MapClientPoint(v.Geometry(), client.x(), client.y()).view;
  }

 private Q_SLOTS:
  void cleanup() { doc.reset(); }

  void smallPictureIsCentredAndClicksAreClamped() {
    MakeDoc(100, 50);
    CMirvView v(*doc, frame);
    Place(v, 300, 200);
    v.OnUpdate(viewcmd::kUpdateHint);
    QCOMPARE(v.PictureOrigin(), QPoint(100, 75));
    const QImage img = Render(v);
    QCOMPARE(img.pixelColor(5, 5), QColor(120, 120, 120));  // margin
    QCOMPARE(img.pixelColor(100 + 10, 75 + 20), QColor(255, 0, 0));

    // A click left of the picture lands on its left border; nothing scrolls.
    frame.currentTool = tool::kNone;
    Click(v, QPoint(3, 80));
    QCOMPARE(v.Router().State().buttonDown, (Point{0, 5}));
    QCOMPARE(v.Router().State().scrollX, 0);
  }

  void zoomToolCentresTheClickedPointAndStopsAt16() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.OnUpdate(viewcmd::kUpdateHint);
    frame.currentTool = tool::kZoomIn;
    // Click at zoomed point (300, 200): near the bottom-right of the picture.
    v.horizontalScrollBar()->setValue(150);
    v.verticalScrollBar()->setValue(100);
    Click(v, QPoint(150, 100));
    QCOMPARE(v.Router().Zoom(), 2.0f);
    QCOMPARE(v.horizontalScrollBar()->maximum(), 800 - 200);
    // The clicked picture point (600, 400 at zoom 2) is in the middle of the window.
    const Point centre = Shown(v, QPoint(100, 75));
    QVERIFY(std::abs(centre.x - 600) <= 1);
    QVERIFY(std::abs(centre.y - 400) <= 1);

    for (int i = 0; i < 5; ++i) Click(v, QPoint(100, 75));
    QCOMPARE(v.Router().Zoom(), 16.0f);
    QVERIFY(!v.IsZoomCommandEnabled(tool::kZoomIn));
    Click(v, QPoint(100, 75));
    QCOMPARE(v.Router().Zoom(), 16.0f);

    // Zoom out keeps the relative position; 1:1 comes back to the plain picture.
    const double relBefore = double(v.horizontalScrollBar()->value()) / (400 * 16);
    QVERIFY(v.OnZoomCommand(tool::kZoomOut));
    QCOMPARE(v.Router().Zoom(), 8.0f);
    QVERIFY(std::abs(double(v.horizontalScrollBar()->value()) / (400 * 8) - relBefore) < 0.01);
    QVERIFY(v.OnZoomCommand(tool::kZoomActual));
    QCOMPARE(v.Router().Zoom(), 1.0f);
    QCOMPARE(v.horizontalScrollBar()->maximum(), 400 - 200);
    QVERIFY(!v.IsZoomCommandEnabled(tool::kZoomActual));
  }

  void zoomedPixelsLandWhereThePointMappingSays() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.Router().SetZoom(4.0f);
    v.OnUpdate(viewcmd::kUpdateHint);
    v.horizontalScrollBar()->setValue(0);
    v.verticalScrollBar()->setValue(40);
    const QImage img = Render(v);
    // Canvas (10, 20) covers zoomed 40…43, 80…83: client y 40…43 after scrolling 40.
    QCOMPARE(img.pixelColor(41, 41), QColor(255, 0, 0));
    QCOMPARE(img.pixelColor(44, 41), QColor(255, 255, 255));
    QCOMPARE(Shown(v, QPoint(41, 41)), (Point{41, 81}));
    int x, y;
    QVERIFY(doc->MapToLayer(41 / 4, 81 / 4, false, &x, &y));
    QCOMPARE(x, 10);
    QCOMPARE(y, 300 - 1 - 20);
  }

  // The display setting tints exactly the selected canvas pixels, at any zoom, and
  // changes nothing while it is off or nothing is selected.
  void selectedAreaIsShownInADifferentToneWhenAsked() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.Router().SetZoom(2.0f);
    v.OnUpdate(viewcmd::kUpdateHint);
    v.horizontalScrollBar()->setValue(0);
    v.verticalScrollBar()->setValue(0);
    LayerStack& L = doc->Layers();
    // Canvas columns 20…29, rows 5…14 from the top: zoomed 40…59, 10…29.
    SelectRect(L, 20, 300 - 1 - 14, 29, 300 - 1 - 5);
    QVERIFY(L.selectionExists);

    const QImage off = Render(v);
    QCOMPARE(off.pixelColor(45, 15), QColor(255, 255, 255));

    frame.showSelectionTone = true;
    const QImage on = Render(v);
    const QColor inside = on.pixelColor(45, 15);
    QVERIFY(inside != QColor(255, 255, 255));
    // The tone leans towards the outline's colour (blue by default).
    QVERIFY(inside.blue() > inside.red());
    // Both corners of the selection are toned, their outer neighbours are not.
    QCOMPARE(on.pixelColor(40, 10), inside);
    QCOMPARE(on.pixelColor(59, 29), inside);
    QCOMPARE(on.pixelColor(39, 10), QColor(255, 255, 255));
    QCOMPARE(on.pixelColor(40, 9), QColor(255, 255, 255));
    QCOMPARE(on.pixelColor(60, 29), QColor(255, 255, 255));
    QCOMPARE(on.pixelColor(59, 30), QColor(255, 255, 255));

    // Everything "selected" because nothing is: no tone.
    L.ResetSelection(L.active);
    L.selectionExists = false;
    QCOMPARE(Render(v), off);
  }

  void transparentPixelsShowTheHatch() {
    MakeDoc();
    frame.hatchStyle = 4;  // cross
    CMirvView v(*doc, frame);
    Place(v, 300, 200);
    v.OnUpdate(0);
    const QImage img = Render(v);
    bool grey = false, white = false;
    for (int y = 0; y < 8; ++y)
      for (int x = 100; x < 108; ++x) {
        const QColor c = img.pixelColor(x, y);
        grey |= c == QColor(191, 191, 191);
        white |= c == QColor(255, 255, 255);
      }
    QVERIFY(grey && white);
    // Opaque white picture pixels hide it.
    for (int x = 20; x < 28; ++x) QCOMPARE(img.pixelColor(x, 3), QColor(255, 255, 255));
  }

  void compositionIsReusedWhileOnlyTheOverlayChanges() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.OnUpdate(viewcmd::kUpdateHint);
    Render(v);
    const int base = v.CompositionCount();
    QVERIFY(!doc->CompositionStale());
    Render(v);
    QCOMPARE(v.CompositionCount(), base);

    // Outline ticks and the grid are overlay only.
    LayerStack& L = doc->Layers();
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
    for (int y = 100; y < 120; ++y)
      for (int x = 30; x < 60; ++x) L.mask[size_t(y) * L.maskWidth + x] = 1;
    v.Router().SelectionMade(v);
    QVERIFY(v.SelectionTimerActive());
    const QImage a = Render(v);
    v.Router().TimerTick(v);
    frame.gridSpacing = 16;
    frame.gridOn = true;
    const QImage b = Render(v);
    QCOMPARE(v.CompositionCount(), base);
    QVERIFY(a != b);  // the outline phase and the grid did change the picture

    // An edit, a scroll and a zoom each compose again.
    doc->SetCompositionStale(true);
    Render(v);
    QCOMPARE(v.CompositionCount(), base + 1);
    v.horizontalScrollBar()->setValue(30);
    Render(v);
    QCOMPARE(v.CompositionCount(), base + 2);
    v.OnZoomCommand(tool::kZoomOut);
    Render(v);
    QCOMPARE(v.CompositionCount(), base + 3);
  }

  // A scroll moves what stays in view and composes only the strips that came in;
  // the result must be what a view opened at that place shows.
  void scrollingShowsWhatAFreshViewShows() {
    MakeDoc(800, 600);
    LayerStack& L = doc->Layers();
    for (int y = 0; y < 600; y += 3)
      for (int x = 0; x < 800; x += 2) L.WriteLayerColor(L.active, x, y, MakeRgbq(x & 255, y & 255, (x ^ y) & 255));
    doc->SetCompositionStale(true);
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.OnUpdate(viewcmd::kUpdateHint);
    Render(v);
    const std::pair<int, int> steps[] = {{37, 23}, {10, 90}, {10, 89}, {150, 40}, {149, 0}, {0, 0}, {199, 149}};
    for (const auto& [sx, sy] : steps) {
      v.horizontalScrollBar()->setValue(sx);
      v.verticalScrollBar()->setValue(sy);
      const QImage scrolled = Render(v);
      CMirvView fresh(*doc, frame);
      Place(fresh, 200, 150);
      fresh.OnUpdate(viewcmd::kUpdateHint);
      fresh.horizontalScrollBar()->setValue(sx);
      fresh.verticalScrollBar()->setValue(sy);
      QCOMPARE(Render(fresh), scrolled);
    }
  }

  void aSecondViewSeesAnEditTheFirstOneComposed() {
    MakeDoc();
    CMirvView v1(*doc, frame), v2(*doc, frame);
    Place(v1, 200, 150);
    Place(v2, 200, 150);
    Render(v1);
    Render(v2);
    LayerStack& L = doc->Layers();
    L.WriteLayerColor(L.active, 5, 300 - 1 - 5, MakeRgbq(0, 0, 255));
    doc->SetCompositionStale(true);
    Render(v1);
    QCOMPARE(Render(v2).pixelColor(5, 5), QColor(0, 0, 255));
  }

  void moveToolDragsTheLayerThroughTheView() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    v.OnUpdate(viewcmd::kUpdateHint);
    frame.currentTool = tool::kMove;
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(57, 45), v.viewport()->mapToGlobal(QPointF(57, 45)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &move);
    QTest::mouseRelease(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(57, 45));
    QCOMPARE(doc->Layers().Active()->x, 7);
    QCOMPARE(doc->Layers().Active()->y, -5);
    QCOMPARE(QString::fromStdString(doc->History().Label(doc->History().Step())), QString("전체영상 위치이동"));
    QCOMPARE(Render(v).pixelColor(17, 15), QColor(255, 0, 0));
  }

  void statusLineAndProgress() {
    MakeDoc(640, 480);
    CMirvView v(*doc, frame);
    QSignalSpy status(&v, &CMirvView::statusText);
    QSignalSpy progress(&v, &CMirvView::progressChanged);
    v.OnUpdate(viewcmd::kUpdateHint);
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last().at(0).toString(), QString("  640x480x24 "));
    v.OnProgress(42);
    QCOMPARE(status.last().at(0).toString(), QString("42 %"));
    QCOMPARE(progress.last().at(0).toInt(), 42);
  }

  void stretchModeFillsTheWindowAndDisablesZoom() {
    MakeDoc();
    CMirvView v(*doc, frame);
    Place(v, 200, 150);
    QVERIFY(v.OnZoomCommand(tool::kStretch));
    QVERIFY(!v.IsZoomCommandEnabled(tool::kZoomIn));
    QVERIFY(!v.IsZoomCommandEnabled(tool::kZoomOut));
    QCOMPARE(v.horizontalScrollBar()->maximum(), 0);
    QCOMPARE(v.PictureOrigin(), QPoint(0, 0));
    // Client pixel (199, 149) shows picture column 199 × 2 and row 149 × 2 from the
    // top: the point the tools receive maps to that pixel.
    int x, y;
    const Point p = Shown(v, QPoint(199, 149));
    QVERIFY(doc->MapToLayer(p.x, p.y, false, &x, &y));
    QCOMPARE(x, 398);
    QCOMPARE(y, 300 - 1 - 298);
  }

  void childFrameFollowsTheZoomInsideTheMdiArea() {
    MakeDoc(100, 80);
    QMdiArea area;
    area.resize(800, 600);
    auto* child = new CChildFrame(*doc, frame);
    area.addSubWindow(child);
    area.show();
    child->move(0, 0);
    child->View()->OnZoomCommand(tool::kZoomActual);  // no-op at 1:1
    child->View()->Router().SetZoom(2.0f);
    child->View()->OnUpdate(viewcmd::kUpdateHint);
    QTRY_COMPARE(child->View()->viewport()->size(), QSize(200, 160));
    child->View()->Router().SetZoom(16.0f);
    child->View()->OnUpdate(viewcmd::kUpdateHint);
    QCoreApplication::processEvents();
    // No further than the MDI area's edge (less the margin).
    QVERIFY2(child->geometry().right() <= area.viewport()->width(),
             qPrintable(QString("frame %1 area %2").arg(child->geometry().right()).arg(area.viewport()->width())));
  }

  void printingToAPdfFileWritesIt() {
    MakeDoc();
    CMirvView v(*doc, frame);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = tmp.filePath("out.pdf");
    printer.setOutputFileName(path);
    v.PrintTo(&printer);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.size() > 1000);
    QVERIFY(f.read(4) == "%PDF");
  }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
