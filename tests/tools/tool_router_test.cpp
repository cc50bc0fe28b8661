#include "tools/tool_router.h"
#include "../support/recording_host.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../support/tool_fixture.h"
#include "tools/standard_tools.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

// The shared recording host, also noting the zoom anchor as each update saw it.
struct Host : testing_support::RecordingHost {
  std::vector<Point> anchorsSeen;
  DocViewState* state = nullptr;
  Host() {
    onUpdate = [this](CMirvDoc&, int) {
      if (state) anchorsSeen.push_back(state->zoomAnchor);
    };
  }
};

using View = testing_support::RecordingView;

// Paints one black pixel where it is told, so that tests see what reached the layer
// and whether previews were reverted. Logs every call.
struct PixelTool : Tool {
  std::vector<std::string> log;
  bool Put(ToolContext& c, Point p) {
    int x, y;
    const Point q = c.Picture(p);
    if (!c.doc.MapToLayer(q.x, q.y, false, &x, &y)) return false;
    c.doc.Layers().WriteLayerColor(c.doc.Layers().active, x, y, MakeRgbq(0, 0, 0));
    return true;
  }
  bool Press(ToolContext& c, Point, Point to) override {
    log.push_back("press");
    return Put(c, to);
  }
  bool Drag(ToolContext& c, Point, Point to) override {
    log.push_back("drag");
    return Put(c, to);
  }
  bool Release(ToolContext& c, Point, Point to) override {
    log.push_back("release");
    return Put(c, to);
  }
};

PointerEvent At(int x, int y, bool leftOnly = true) { return {{x, y}, {x, y}, {x, y}, leftOnly}; }

class RouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The tools' traits decide how the router drives them; the tests put their own
    // pixel work under the real tools' ids.
    RegisterStandardTools();
    tmp = fs::temp_directory_path() / ("velmira-tools-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    frame.newWidth = 40;
    frame.newHeight = 30;
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    router = std::make_unique<ToolRouter>(*doc, frame);
    host.state = &router->State();
    host.hints.clear();
  }
  void TearDown() override {
    router.reset();
    doc.reset();
    fs::remove_all(tmp);
  }
  LayerStack& L() { return doc->Layers(); }
  std::string LastLabel() { return doc->History().Label(doc->History().Step()); }
  // Colour of canvas pixel (column, row from the top) in the active layer.
  Rgbq PixelAt(int x, int yTop) { return L().ReadLayerColor(L().active, x, 30 - 1 - yTop, nullptr); }
  void Drag(std::initializer_list<Point> pts) {
    auto it = pts.begin();
    router->Press(view, At(it->x, it->y));
    for (++it; it != pts.end(); ++it) router->Move(view, At(it->x, it->y));
    router->Release(view, At((pts.end() - 1)->x, (pts.end() - 1)->y));
  }

  fs::path tmp;
  FrameState frame;
  Host host;
  View view;
  std::unique_ptr<CMirvDoc> doc;
  std::unique_ptr<ToolRouter> router;
};

TEST_F(RouterTest, ZoomToolDoublesAtTheClickAndCentresItOnce) {
  frame.currentTool = tool::kZoomIn;
  router->State().stroke = {7, 9};
  router->Press(view, At(10, 12));
  router->Release(view, At(10, 12));
  EXPECT_EQ(router->Zoom(), 2.0f);
  ASSERT_EQ(host.hints, std::vector<int>{1025});
  // The update saw the click in the zoomed space before the step; afterwards the
  // anchor is gone so that a later update does not jump back to it.
  EXPECT_EQ(host.anchorsSeen[0], (Point{10, 12}));
  EXPECT_FALSE(router->State().zoomAnchor.Set());
  EXPECT_EQ(router->State().stroke, (Point{14, 18}));
  EXPECT_EQ(router->State().buttonDown, (Point{20, 24}));
  EXPECT_TRUE(doc->CompositionStale());

  // Up to 16 and no further; zoom out halves down to 0.125 and no further.
  for (int i = 0; i < 6; ++i) router->Press(view, At(1, 1)), router->Release(view, At(1, 1));
  EXPECT_EQ(router->Zoom(), 16.0f);
  EXPECT_FALSE(router->IsCommandEnabled(tool::kZoomIn));
  EXPECT_FALSE(router->ZoomIn({1, 1}));
  EXPECT_TRUE(router->OnCommand(tool::kZoomOut, &view));
  EXPECT_EQ(router->Zoom(), 8.0f);
  EXPECT_EQ(view.focus, 1);
  EXPECT_EQ(frame.currentTool, tool::kZoomIn);  // zoom out keeps the tool
  while (router->ZoomOut(&view)) {
  }
  EXPECT_EQ(router->Zoom(), 0.125f);
  EXPECT_FALSE(router->IsCommandEnabled(tool::kZoomOut));
  EXPECT_FALSE(router->OnCommand(tool::kZoomOut, &view));
  EXPECT_EQ(router->Zoom(), 0.125f);
}

TEST_F(RouterTest, StoredPointsFollowEveryZoomChange) {
  router->State().stroke = {80, 40};
  router->State().polygonFirst = {9, 3};
  router->ZoomOut(nullptr);
  EXPECT_EQ(router->State().stroke, (Point{40, 20}));
  EXPECT_EQ(router->State().polygonFirst, (Point{4, 1}));  // truncated
  EXPECT_FALSE(router->State().rectCorner.Set());          // unset points stay unset
  router->ZoomOut(nullptr);
  EXPECT_TRUE(router->OnCommand(tool::kZoomActual, nullptr));
  EXPECT_EQ(router->Zoom(), 1.0f);
  EXPECT_EQ(router->State().stroke, (Point{80, 40}));  // back on the same picture pixel
  EXPECT_FALSE(router->IsCommandEnabled(tool::kZoomActual));
}

TEST_F(RouterTest, StretchModeDisablesTheZoomCommands) {
  EXPECT_TRUE(router->OnCommand(tool::kStretch, nullptr));
  EXPECT_EQ(host.hints.back(), 0);
  for (int id : {tool::kZoomIn, tool::kZoomOut, tool::kZoomActual}) EXPECT_FALSE(router->IsCommandEnabled(id));
  frame.currentTool = tool::kZoomIn;
  router->Press(view, At(3, 3));
  EXPECT_EQ(router->Zoom(), 1.0f);
  EXPECT_TRUE(router->IsCommandEnabled(tool::kStretch));
}

TEST_F(RouterTest, MoveToolDragsTheLayerByThePointerDeltaAndRecordsOnce) {
  frame.currentTool = tool::kMove;
  router->ZoomIn({0, 0});  // zoom 2: two view pixels are one picture pixel
  const int steps = doc->History().Step();
  const int refreshes = host.layerPanelRefreshes;
  router->Press(view, At(10, 10));
  router->Move(view, At(13, 10));  // 1.5 pixels: one whole pixel so far
  router->Move(view, At(17, 6));   // 3.5 right, 2 up
  EXPECT_EQ(L().Active()->x, 3);
  EXPECT_EQ(L().Active()->y, -2);  // up on screen is toward the top stored row
  EXPECT_EQ(L().maskX, 3);
  router->Release(view, At(17, 6));
  EXPECT_EQ(doc->History().Step(), steps + 1);
  EXPECT_EQ(LastLabel(), "전체영상 위치이동");
  EXPECT_GT(host.layerPanelRefreshes, refreshes);
  // The move is committed: a later revert keeps the new place.
  doc->RevertLayer(L().active, false);
  EXPECT_EQ(L().Active()->x, 3);

  // A click without movement changes nothing and records nothing.
  router->Press(view, At(5, 5));
  router->Release(view, At(5, 5));
  EXPECT_EQ(doc->History().Step(), steps + 1);

  // The arrow keys move by one picture pixel.
  router->KeyDown(view, Key::Left, false);
  router->KeyDown(view, Key::Down, false);
  EXPECT_EQ(L().Active()->x, 2);
  EXPECT_EQ(L().Active()->y, -1);
}

TEST_F(RouterTest, DragsWithOtherButtonsOrModifiersAreNotDrags) {
  frame.currentTool = tool::kMove;
  router->Press(view, At(10, 10));
  router->Move(view, At(20, 20, false));
  EXPECT_EQ(L().Active()->x, 0);
  EXPECT_FALSE(view.input.leftHeld);
}

TEST_F(RouterTest, ToolsNotBuiltYetLeaveTheDocumentAlone) {
  const int steps = doc->History().Step();
  for (int t : {tool::kBrush, tool::kLine, tool::kRectSelect, tool::kPolygonSelect, tool::kFill, tool::kText}) {
    // Other suites register the real tools program-wide; this router goes without.
    router->SetTool(t, nullptr);
    frame.currentTool = t;
    Drag({{1, 1}, {5, 5}, {9, 2}});
    router->DoubleClick(view, At(9, 2));
  }
  EXPECT_EQ(doc->History().Step(), steps);
  EXPECT_EQ(PixelAt(5, 5), MakeRgbq(255, 255, 255));
  EXPECT_FALSE(router->State().selectionActive);
}

TEST_F(RouterTest, BrushStrokeIsCommittedStepByStepAndRecordedOnRelease) {
  auto brush = std::make_shared<PixelTool>();
  router->SetTool(tool::kBrush, brush);
  frame.currentTool = tool::kBrush;
  Drag({{1, 1}, {2, 1}, {3, 1}});
  EXPECT_EQ(brush->log, (std::vector<std::string>{"press", "drag", "drag"}));
  for (int x = 1; x <= 3; ++x) EXPECT_EQ(PixelAt(x, 1), MakeRgbq(0, 0, 0)) << x;
  EXPECT_EQ(LastLabel(), "붓그리기");
  // The release after a double-click has no press of its own: no second step.
  const int steps = doc->History().Step();
  router->DoubleClick(view, At(3, 1));
  router->Release(view, At(3, 1));
  EXPECT_EQ(doc->History().Step(), steps);
  // A move to the client point seen last does nothing more.
  const size_t calls = brush->log.size();
  router->Press(view, At(4, 4));
  router->Move(view, At(4, 4));
  router->Move(view, At(4, 4));
  EXPECT_EQ(brush->log.size(), calls + 2);
}

TEST_F(RouterTest, LinePreviewsAreRevertedAndOnlyTheFinalLineStays) {
  auto line = std::make_shared<PixelTool>();
  router->SetTool(tool::kLine, line);
  frame.currentTool = tool::kLine;
  Drag({{2, 2}, {6, 6}, {8, 3}});
  EXPECT_EQ(PixelAt(6, 6), MakeRgbq(255, 255, 255));  // preview gone
  EXPECT_EQ(PixelAt(8, 3), MakeRgbq(0, 0, 0));
  EXPECT_EQ(LastLabel(), "선그리기");
  EXPECT_EQ(router->State().preview.kind, ToolPreview::None);
  EXPECT_FALSE(router->State().stroke.Set());
}

TEST_F(RouterTest, RectangleSelectionRunsTheOutlineAndAClickClearsIt) {
  frame.currentTool = tool::kRectSelect;
  frame.selectionKind = 0;
  router->Press(view, At(2, 3));
  router->Move(view, At(5, 7));
  EXPECT_EQ(router->State().preview.kind, ToolPreview::Rectangle);
  EXPECT_EQ(router->OverlayMode(false), 2);
  router->Release(view, At(5, 7));
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_TRUE(L().selectionExists);
  EXPECT_TRUE(view.timer);
  EXPECT_EQ(router->State().outline.edges.size(), 4u);
  EXPECT_EQ(router->OverlayMode(false), 2);  // the stroke point is still set
  EXPECT_EQ(L().InSelection(3, 30 - 1 - 5), 1);
  EXPECT_EQ(L().InSelection(8, 30 - 1 - 5), 0);

  // Each tick flips the phase; while history is written the outline stands still.
  const bool phase = router->State().outlinePhase;
  router->TimerTick(view);
  EXPECT_NE(router->State().outlinePhase, phase);
  router->State().historyBusy = true;
  router->TimerTick(view);
  EXPECT_NE(router->State().outlinePhase, phase);
  router->State().historyBusy = false;

  // Focus loss suspends the timer, focus gain resumes it.
  router->FocusOut(view);
  EXPECT_FALSE(view.timer);
  EXPECT_TRUE(router->State().timerSuspended);
  router->FocusIn(view);
  EXPECT_TRUE(view.timer);

  router->Press(view, At(9, 9));
  router->Release(view, At(9, 9));
  EXPECT_FALSE(router->State().selectionActive);
  EXPECT_FALSE(view.timer);
  EXPECT_FALSE(L().selectionExists);
  EXPECT_EQ(L().InSelection(8, 5), 1);  // all selected again
  EXPECT_EQ(router->OverlayMode(false), 0);
}

TEST_F(RouterTest, PolygonClosesOnDoubleClickAndSwallowsTheClickAfterAClear) {
  frame.currentTool = tool::kPolygonSelect;
  frame.selectionKind = 3;
  for (Point p : {Point{1, 1}, Point{20, 1}, Point{20, 16}}) {
    router->Press(view, At(p.x, p.y));
    router->Release(view, At(p.x, p.y));
  }
  EXPECT_FALSE(router->State().selectionActive);
  router->DoubleClick(view, At(20, 16));
  EXPECT_TRUE(router->State().polygonClosed);
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_EQ(router->State().polygonVertices, 3);
  // The next tick fills the region inside the closing edge back to the first vertex.
  router->TimerTick(view);
  auto selected = [&](int x, int yTop) { return L().InSelection(x, 30 - 1 - yTop) != 0; };
  EXPECT_TRUE(selected(17, 5));   // inside the triangle
  EXPECT_FALSE(selected(5, 12));  // beyond the closing edge
  EXPECT_FALSE(selected(30, 5));

  // A double-click with the selection active clears it; the next click only re-arms.
  router->DoubleClick(view, At(3, 3));
  EXPECT_FALSE(router->State().selectionActive);
  router->Press(view, At(4, 4));
  EXPECT_FALSE(router->State().polygonFirst.Set());
  router->Press(view, At(4, 4));
  EXPECT_EQ(router->State().polygonFirst, (Point{4, 4}));
}

TEST_F(RouterTest, ChoosingZoomAbandonsAnOpenOutline) {
  frame.currentTool = tool::kFreeSelect;
  router->Press(view, At(1, 1));
  router->Move(view, At(4, 4));
  EXPECT_TRUE(router->OnCommand(tool::kZoomIn, &view));
  EXPECT_EQ(frame.currentTool, tool::kFreeSelect);
  EXPECT_FALSE(router->State().stroke.Set());
  EXPECT_TRUE(router->OnCommand(tool::kZoomIn, &view));
  EXPECT_EQ(frame.currentTool, tool::kZoomIn);
}

TEST_F(RouterTest, ADrawingToolStartsFromNoPointAnotherToolLeft) {
  frame.currentTool = tool::kRectSelect;
  Drag({{2, 3}, {8, 9}});
  ASSERT_TRUE(router->State().stroke.Set());
  frame.currentTool = tool::kPolyline;
  router->ToolChosen(&view, tool::kPolyline);
  const int steps = doc->History().Step();
  router->Press(view, At(30, 20));  // the first vertex: no edge from the rectangle's corner
  router->Release(view, At(30, 20));
  EXPECT_EQ(doc->History().Step(), steps);
  router->Press(view, At(30, 5));
  router->Release(view, At(30, 5));
  EXPECT_EQ(doc->History().Step(), steps + 1);
  EXPECT_EQ(LastLabel(), "다각형그리기");
}

TEST_F(RouterTest, OnlyAHeldShiftCounts) {
  router->KeyDown(view, Key::Shift, false);
  EXPECT_FALSE(router->State().shiftHeld);
  router->KeyDown(view, Key::Shift, true);
  EXPECT_TRUE(router->State().shiftHeld);
  router->KeyDown(view, Key::Other, false);
  EXPECT_FALSE(router->State().shiftHeld);
  router->KeyDown(view, Key::Shift, true);
  router->KeyUp(view, Key::Shift, 1);
  EXPECT_FALSE(router->State().shiftHeld);
}

TEST_F(RouterTest, ClearCommandDropsTheToolAndAsksThePaintToRevert) {
  frame.currentTool = tool::kBrush;
  router->State().selectionActive = true;
  view.timer = true;
  const int refreshes = host.layerPanelRefreshes;
  EXPECT_TRUE(router->OnCommand(tool::kClearSelection, &view));
  EXPECT_EQ(frame.currentTool, tool::kNone);
  EXPECT_TRUE(router->State().revertOnPaint);
  EXPECT_FALSE(view.timer);
  EXPECT_GT(host.layerPanelRefreshes, refreshes);
}

TEST_F(RouterTest, GridCommandFlipsFlagAndSpacing) {
  frame.gridSpacing = -16;
  frame.gridOn = false;
  router->OnCommand(tool::kGrid, &view);
  EXPECT_EQ(frame.gridSpacing, 16);
  EXPECT_TRUE(frame.gridOn);
}

TEST_F(RouterTest, CursorFollowsToolAndStyle) {
  frame.currentTool = tool::kZoomIn;
  EXPECT_EQ(router->CursorFor(false, false), CursorShape::Zoom);
  frame.currentTool = tool::kBrush;
  EXPECT_EQ(router->CursorFor(true, false), CursorShape::DragCross);
  frame.cursorStyle = 4;
  EXPECT_EQ(router->CursorFor(false, false), CursorShape::IBeam);
  frame.cursorStyle = 0;
  EXPECT_EQ(router->CursorFor(false, false), CursorShape::Cross);
  // A guide tool leaves the cursor alone away from a point and shows the drop near one.
  frame.currentTool = tool::kGuideEdit;
  EXPECT_FALSE(router->CursorFor(false, false).has_value());
  EXPECT_EQ(router->CursorFor(false, true), CursorShape::Drop);
  frame.currentTool = tool::kDot;
  EXPECT_EQ(router->CursorFor(true, false), CursorShape::DotPen);
}

TEST_F(RouterTest, TextLayerHidesTheSelectionOverlay) {
  router->State().selectionActive = true;
  EXPECT_EQ(router->OverlayMode(false), 1);
  L().Active()->kind = kLayerText;
  EXPECT_EQ(router->OverlayMode(false), 0);
  // A measurement read-out stays over a text layer.
  constexpr int kReadOut = 9001;
  tool::RegisterToolTraits(kReadOut, {.overlay = tool::Overlay::Measurement});
  frame.currentTool = kReadOut;
  EXPECT_EQ(router->OverlayMode(false), 3);
  UnregisterTool(kReadOut);
}

TEST(RouterRegistry, ViewsOfOneDocumentShareOneRouter) {
  FrameState frame;
  Host host;
  CMirvDoc a(frame, host, nullptr), b(frame, host, nullptr);
  auto ra = ToolRouter::For(a);
  EXPECT_EQ(ToolRouter::For(a), ra);
  EXPECT_NE(ToolRouter::For(b), ra);
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// A tool that refuses every event, as the painting tools do over a text layer.
struct Refusing : Tool {
  int calls = 0;
  bool Press(ToolContext&, Point, Point) override { return ++calls, false; }
  bool Drag(ToolContext&, Point, Point) override { return ++calls, false; }
};

TEST_F(RouterTest, AGestureThatPaintedNothingRecordsNoStep) {
  const int steps = doc->History().Step();
  for (int t : {tool::kSpray, tool::kBrush, tool::kDrop, tool::kEraser}) {
    auto refusing = std::make_shared<Refusing>();
    router->SetTool(t, refusing);
    frame.currentTool = t;
    Drag({{1, 1}, {5, 5}, {9, 2}});
    EXPECT_EQ(refusing->calls, 3) << t;
    EXPECT_EQ(doc->History().Step(), steps) << t;
  }
}

}  // namespace
}  // namespace velmira
