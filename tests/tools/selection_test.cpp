#include "tools/selection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "../support/tool_fixture.h"
#include "image/border_spread.h"
#include "tools/selection_tools.h"

namespace velmira {
namespace {

using testing_support::PointerAt;
using testing_support::ToolFixture;

constexpr const char* kTextRefusal = "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택";
constexpr int kSelectionTools[] = {tool::kRectSelect, tool::kFreeSelect, tool::kAutoSelect, tool::kPolygonSelect,
                                   tool::kColourRange};

class SelectionTest : public ToolFixture {
 protected:
  void SetUp() override {
    RegisterSelectionTools();
    ToolFixture::SetUp();
  }
  // Routers of other test suites are made without these tools, as they expect.
  void TearDown() override {
    ToolFixture::TearDown();
    for (int id : kSelectionTools) UnregisterTool(id);
  }

  // Chooses a tool as the main frame does (the selection kind goes with it). The
  // polygon hears of its choice through the router as in the editor; the tests of
  // the other tools build on selections made before their tool was chosen.
  void Choose(int id) {
    Use(id);
    if (id == tool::kRectSelect) frame.selectionKind = 0;
    if (id == tool::kFreeSelect) frame.selectionKind = 1;
    if (id == tool::kAutoSelect) frame.selectionKind = 2;
    if (id == tool::kPolygonSelect) {
      frame.selectionKind = 3;
      router->ToolChosen(&view, id);
    }
  }
  void Tick() { router->TimerTick(view); }
  void HoldShift(bool on) {
    if (on)
      router->KeyDown(view, Key::Shift, true);
    else
      router->KeyUp(view, Key::Shift, 1);
  }
  // Paints a block of canvas pixels (corners inclusive) and commits it.
  void Paint(int x0, int y0, int x1, int y1, Rgbq c) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) L().WriteLayerColor(L().active, LayerX(x), LayerY(y), c);
    doc->CommitLayer(L().active);
  }
  int CountMask(uint8_t value) { return int(std::count(L().mask.begin(), L().mask.end(), value)); }
  // Every canvas pixel of the original 40 × 30 picture satisfies `expect` about its mask byte.
  void ExpectMask(const std::function<int(int, int)>& expect) {
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_EQ(Mask(x, y), expect(x, y)) << "at " << x << "," << y;
  }
};

TEST_F(SelectionTest, RectangleShowsItsBandWhileDraggedAndSelectsBothCornersEitherWay) {
  Choose(tool::kRectSelect);
  Press(5, 4);
  MoveTo(12, 9);
  // The band: nothing selected yet (all 1), the four sides marked.
  EXPECT_FALSE(L().selectionExists);
  for (Point p : {Point{5, 4}, Point{12, 9}, Point{8, 4}, Point{12, 6}, Point{5, 9}}) EXPECT_EQ(Mask(p.x, p.y), 2);
  EXPECT_EQ(Mask(8, 6), 1);
  EXPECT_EQ(Mask(30, 20), 1);
  Release(12, 9);
  const auto inside = [](int x, int y) { return x >= 5 && x <= 12 && y >= 4 && y <= 9 ? 1 : 0; };
  ExpectMask(inside);
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_TRUE(view.timer);
  EXPECT_FALSE(router->State().outline.Empty());

  Drag({{12, 9}, {7, 7}, {5, 4}});
  ExpectMask(inside);

  // A click without a drag takes the selection away.
  Click(20, 20);
  EXPECT_FALSE(L().selectionExists);
  EXPECT_EQ(CountMask(1), 40 * 30);
}

TEST_F(SelectionTest, LassoMarksAsItGoesAndFillsItsInsideOnTheNextTick) {
  Choose(tool::kFreeSelect);
  Drag({{5, 5}, {25, 5}, {25, 20}, {5, 20}});
  // Closed from the last point back to the first; the fill waits for the timer.
  EXPECT_TRUE(router->State().polygonClosed);
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_TRUE(view.timer);
  EXPECT_EQ(Mask(5, 12), 2);  // the closing segment
  EXPECT_EQ(Mask(30, 12), 1);
  Tick();
  EXPECT_TRUE(router->State().outlineBuilt);
  ExpectMask([](int x, int y) {
    const bool rim = (x == 5 || x == 25) ? y >= 5 && y <= 20 : (y == 5 || y == 20) && x >= 5 && x <= 25;
    return rim ? 2 : (x > 5 && x < 25 && y > 5 && y < 20 ? 1 : 0);
  });
}

TEST_F(SelectionTest, PolygonClosesOnDoubleClickAndItsTriangleIsFilled) {
  Choose(tool::kPolygonSelect);
  Click(5, 25);
  Click(35, 25);
  Click(20, 3);
  router->DoubleClick(view, PointerAt(20, 3));
  Release(20, 3);
  EXPECT_EQ(router->State().polygonVertices, 3);
  EXPECT_EQ(Mask(20, 25), 2);  // first edge
  EXPECT_EQ(Mask(5, 25), 2);
  Tick();
  EXPECT_EQ(Mask(20, 20), 1);
  EXPECT_EQ(Mask(20, 8), 1);
  EXPECT_EQ(Mask(5, 10), 0);
  EXPECT_EQ(Mask(35, 10), 0);
  EXPECT_EQ(Mask(20, 28), 0);
  EXPECT_GT(CountMask(1), 250);  // about half of 30 × 22, less the rim

  // A click on a closed polygon starts a new one there.
  Click(2, 2);
  EXPECT_EQ(router->State().polygonFirst, (Point{2, 2}));
  EXPECT_FALSE(router->State().selectionActive);
  EXPECT_EQ(Mask(20, 20), 1);  // nothing selected again: all 1
  EXPECT_EQ(Mask(5, 10), 1);
}

// Every click the user makes after choosing the polygon tool places a vertex, whatever
// was selected before; only a clear while the polygon tool is in use swallows the
// next click.
TEST_F(SelectionTest, PolygonTakesItsFirstClickAfterBeingChosen) {
  // From another tool with no selection.
  Choose(tool::kBrush);
  Choose(tool::kPolygonSelect);
  Click(5, 25);
  EXPECT_EQ(router->State().polygonVertices, 1);
  EXPECT_EQ(router->State().polygonFirst, (Point{5, 25}));

  // From a rectangle selection: choosing the polygon clears it and still takes the click.
  Choose(tool::kRectSelect);
  Press(5, 4);
  MoveTo(12, 9);
  Release(12, 9);
  ASSERT_TRUE(router->State().selectionActive);
  Choose(tool::kPolygonSelect);
  EXPECT_FALSE(L().selectionExists);
  Click(6, 20);
  Click(30, 20);
  Click(18, 5);
  router->DoubleClick(view, PointerAt(18, 5));
  Release(18, 5);
  EXPECT_EQ(router->State().polygonVertices, 3);
  Tick();
  EXPECT_TRUE(L().selectionExists);
  EXPECT_EQ(Mask(18, 15), 1);
  EXPECT_EQ(Mask(3, 3), 0);

  // A clear while the polygon is in use (as a double-click on a selection does)
  // still swallows exactly one click.
  router->ClearSelection(&view);
  Click(8, 8);
  EXPECT_EQ(router->State().polygonVertices, 0);
  Click(9, 9);
  EXPECT_EQ(router->State().polygonVertices, 1);
  EXPECT_EQ(router->State().polygonFirst, (Point{9, 9}));
}

// A C-shaped outline whose back and lower arm are all rim and with a spur into its
// mouth: the first seed candidate, midway between the back and the spur, lies in
// the mouth, which is outside. The fill must find the upper arm instead.
TEST_F(SelectionTest, RegionFillDoesNotTakeTheOutsideOfAConcaveOutline) {
  SelectRect(L(), -9, -9, -5, -5);  // nothing selected: all 0
  const Point path[] = {{2, 2},  {30, 2},  {30, 3}, {21, 3},  {21, 12}, {20, 12},
                        {20, 3}, {3, 3},   {3, 20}, {30, 20}, {30, 27}, {2, 27}};
  for (size_t i = 0; i < std::size(path); ++i) {
    const Point a = path[i], b = path[(i + 1) % std::size(path)];
    MarkSegment(L(), a.x, a.y, b.x, b.y, kMaskBoundary);
  }
  EXPECT_TRUE(FillMarkedRegion(L()));
  EXPECT_EQ(L().InSelection(12, 24), 1);  // upper arm
  EXPECT_EQ(L().InSelection(12, 8), 0);   // the mouth
  EXPECT_EQ(L().InSelection(35, 10), 0);  // outside
  EXPECT_EQ(L().InSelection(30, 20), 2);
  EXPECT_EQ(CountMask(1), 27 * 6);
  EXPECT_EQ(CountMask(4), 0);

  // Without marks (a rectangle made while the lasso was the last kind) nothing changes.
  SelectRect(L(), 3, 3, 8, 8);
  const auto before = L().mask;
  EXPECT_FALSE(FillMarkedRegion(L()));
  EXPECT_EQ(L().mask, before);
}

TEST_F(SelectionTest, SegmentsAreBresenhamWalksClippedToTheMask) {
  SelectRect(L(), -9, -9, -5, -5);
  MarkSegment(L(), 0, 0, 6, 2, kMaskBoundary);
  EXPECT_EQ(CountMask(2), 7);  // one byte per step, both ends
  for (int x = 0; x <= 6; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 30; ++y) inColumn += L().InSelection(x, y) == 2;
    EXPECT_EQ(inColumn, 1) << x;
  }
  EXPECT_EQ(L().InSelection(6, 2), 2);

  // Far-off ends finish at once and mark only what lies on the mask.
  MarkSegment(L(), -1000000000, 20, 1000000000, 20, kMaskBoundary);
  EXPECT_EQ(CountMask(2), 7 + 40);

  // The end-point variant marks the four neighbours of each end too.
  MarkSegment(L(), 10, 10, 10, 10, kMaskEndPoint);
  EXPECT_EQ(CountMask(5), 5);
  EXPECT_EQ(L().InSelection(11, 10), 5);
  EXPECT_EQ(L().InSelection(10, 9), 5);
}

TEST_F(SelectionTest, WandIsFourWayStrictAndSkipsUncoveredPixels) {
  const Rgbq red = MakeRgbq(200, 0, 0);
  Paint(2, 2, 9, 9, red);
  Paint(10, 10, 17, 17, red);         // touches the first block at one corner only
  Paint(3, 3, 3, 3, MakeRgbq(200, 10, 15));  // 25 away: not below 25
  Paint(4, 4, 4, 4, MakeRgbq(200, 10, 14));  // 24 away
  L().SetLayerAlpha(L().active, LayerX(6), LayerY(5), 0);
  doc->CommitLayer(L().active);
  Choose(tool::kAutoSelect);
  frame.option1 = 25;
  Click(5, 5);
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_TRUE(view.timer);
  EXPECT_EQ(Mask(9, 9), 1);
  EXPECT_EQ(Mask(4, 4), 1);
  EXPECT_EQ(Mask(3, 3), 0);
  EXPECT_EQ(Mask(6, 5), 0);
  EXPECT_EQ(Mask(10, 10), 0);
  EXPECT_EQ(Mask(1, 1), 0);
  EXPECT_EQ(CountMask(1), 64 - 2);

  // Tolerance 0: the seed alone, however alike its neighbours are.
  frame.option1 = 0;
  Click(5, 5);
  EXPECT_EQ(CountMask(1), 1);
  EXPECT_EQ(MagicWand(L(), LayerX(7), LayerY(7), 0, false), 1);
}

TEST_F(SelectionTest, HeldShiftAddsWandRegionsAndANewClickReplacesThem) {
  const Rgbq red = MakeRgbq(200, 0, 0), blue = MakeRgbq(0, 0, 200);
  Paint(2, 2, 9, 9, red);
  Paint(20, 10, 27, 17, blue);
  Choose(tool::kAutoSelect);
  frame.option1 = 25;

  // Shift with nothing selected starts a new selection instead of adding to "all".
  HoldShift(true);
  Click(5, 5);
  EXPECT_EQ(CountMask(1), 64);
  EXPECT_EQ(Mask(30, 25), 0);
  Click(22, 12);
  EXPECT_EQ(CountMask(1), 128);
  HoldShift(false);
  Click(22, 12);
  EXPECT_EQ(CountMask(1), 64);
  EXPECT_EQ(Mask(5, 5), 0);

  // Adding keeps an earlier lasso and makes its marks plain selected pixels.
  Choose(tool::kFreeSelect);
  Drag({{30, 20}, {38, 20}, {38, 28}, {30, 28}});
  Tick();
  const int lassoMarks = CountMask(2), lassoInside = CountMask(1);
  ASSERT_GT(lassoMarks, 0);
  Choose(tool::kAutoSelect);
  HoldShift(true);
  Click(5, 5);
  EXPECT_EQ(CountMask(2), 0);
  EXPECT_EQ(CountMask(1), lassoMarks + lassoInside + 64);
}

TEST_F(SelectionTest, ColourRangeTakesEveryCloseEnoughPixelAndTheSliderReruns) {
  const Rgbq grey = MakeRgbq(100, 100, 100);
  Paint(1, 1, 1, 1, grey);
  Paint(30, 20, 30, 20, MakeRgbq(100, 100, 110));  // 10 away, not connected
  Paint(31, 22, 31, 22, MakeRgbq(100, 100, 111));  // 11 away
  Paint(33, 24, 33, 24, grey);
  L().SetLayerAlpha(L().active, LayerX(33), LayerY(24), 0);
  doc->CommitLayer(L().active);
  frame.selectionKind = 1;  // the lasso chose last: its region fill must leave this alone
  Choose(tool::kColourRange);
  frame.rangeTolerance = 10;
  Click(1, 1);
  EXPECT_EQ(frame.rangeColour, grey);
  EXPECT_EQ(Mask(30, 20), 1);
  EXPECT_EQ(Mask(31, 22), 0);
  EXPECT_EQ(Mask(33, 24), 0);
  EXPECT_EQ(frame.rangeCount, 2);
  EXPECT_DOUBLE_EQ(frame.rangePercent, 2 * 100.0 / 1200);
  EXPECT_TRUE(router->State().selectionActive);
  EXPECT_TRUE(view.timer);
  EXPECT_EQ(frame.currentTool, tool::kColourRange);

  frame.rangeTolerance = 0;
  EXPECT_EQ(ReapplyColourRange(*doc, *router, view), 1);
  EXPECT_EQ(Mask(30, 20), 0);
  EXPECT_EQ(CountMask(1), 1);

  // Add mode: a red click joins the grey; moving the slider up and back down again
  // re-runs that pass instead of piling passes up.
  Paint(20, 2, 20, 2, MakeRgbq(250, 0, 0));
  Paint(21, 2, 21, 2, MakeRgbq(245, 0, 0));
  frame.rangeAdd = true;
  Click(20, 2);
  EXPECT_EQ(CountMask(1), 2);
  frame.rangeTolerance = 5;
  EXPECT_EQ(ReapplyColourRange(*doc, *router, view), 2);
  EXPECT_EQ(Mask(21, 2), 1);
  frame.rangeTolerance = 0;
  ReapplyColourRange(*doc, *router, view);
  EXPECT_EQ(Mask(21, 2), 0);
  EXPECT_EQ(Mask(1, 1), 1);
  EXPECT_EQ(Mask(20, 2), 1);

  // A set cancel flag stops the scan before it starts.
  std::atomic<bool> cancel{true};
  EXPECT_EQ(ColourRange(L(), grey, 10, false, &cancel), 0);
}

TEST_F(SelectionTest, InversionTogglesTheMaskAndTurnsMarksToNothing) {
  EXPECT_FALSE(router->IsCommandEnabled(tool::kInvertSelection));
  Choose(tool::kRectSelect);
  Drag({{5, 4}, {12, 9}});
  ASSERT_TRUE(router->IsCommandEnabled(tool::kInvertSelection));
  const auto before = L().mask;
  doc->SetCompositionStale(false);
  EXPECT_TRUE(router->OnCommand(tool::kInvertSelection, &view));
  EXPECT_EQ(Mask(6, 6), 0);
  EXPECT_EQ(Mask(20, 20), 1);
  EXPECT_TRUE(router->State().selectionInverted);
  EXPECT_TRUE(doc->CompositionStale());
  EXPECT_TRUE(router->State().selectionActive);
  router->OnCommand(tool::kInvertSelection, &view);
  EXPECT_EQ(L().mask, before);
  EXPECT_FALSE(router->State().selectionInverted);
  router->OnCommand(tool::kInvertSelection, &view);

  // A lasso inverted before its fill ran: the fill comes first, the rim goes.
  Choose(tool::kFreeSelect);
  Drag({{5, 5}, {25, 5}, {25, 20}, {5, 20}});
  EXPECT_FALSE(router->State().selectionInverted);  // a new selection starts uninverted
  router->OnCommand(tool::kInvertSelection, &view);
  EXPECT_EQ(Mask(15, 12), 0);
  EXPECT_EQ(Mask(30, 12), 1);
  EXPECT_EQ(Mask(5, 5), 0);
  router->OnCommand(tool::kInvertSelection, &view);
  EXPECT_EQ(Mask(15, 12), 1);
  EXPECT_EQ(Mask(5, 5), 1);  // 2 → 0 → 1
  EXPECT_EQ(CountMask(2), 0);
}

TEST_F(SelectionTest, TextLayersRefuseEverySelectionTool) {
  Active().kind = kLayerText;
  for (int id : kSelectionTools) {
    host.messages.clear();
    Choose(id);
    Drag({{5, 5}, {20, 5}, {20, 20}});
    router->DoubleClick(view, PointerAt(20, 20));
    ASSERT_FALSE(host.messages.empty()) << id;
    EXPECT_EQ(host.messages.front(), kTextRefusal) << id;
    EXPECT_FALSE(router->State().selectionActive) << id;
    EXPECT_FALSE(L().selectionExists) << id;
    EXPECT_EQ(CountMask(1), 40 * 30) << id;
    EXPECT_FALSE(router->State().polygonFirst.Set()) << id;
  }
  EXPECT_EQ(frame.rangeCount, -1);
  EXPECT_EQ(ReapplyColourRange(*doc, *router, view), -1);
}

TEST_F(SelectionTest, PointsOutsideGrowTheLayerAndKeepTheSelectionInPlace) {
  Choose(tool::kRectSelect);
  Drag({{30, 10}, {45, 20}});
  ASSERT_GE(Active().width, 46);
  EXPECT_EQ(L().maskWidth, Active().width);
  EXPECT_EQ(Mask(45, 20), 1);
  EXPECT_EQ(Mask(44, 15), 1);
  EXPECT_EQ(Mask(29, 10), 0);
  EXPECT_EQ(Mask(46, 15), 0);

  // A wand click left of the layer grows it there; the selection stays where it was
  // and the new margin is not selected. The new pixels have no coverage: the seed alone.
  Choose(tool::kAutoSelect);
  frame.option1 = 25;
  HoldShift(true);
  Click(-3, 5);
  EXPECT_EQ(Active().x, -3);
  EXPECT_EQ(L().maskX, -3);
  EXPECT_EQ(Mask(-3, 5), 1);
  EXPECT_EQ(Mask(-2, 5), 0);
  EXPECT_EQ(Mask(35, 15), 1);
  EXPECT_EQ(Mask(29, 15), 0);
  EXPECT_EQ(CountMask(1), 16 * 11 + 1);
}

TEST_F(SelectionTest, BorderSpreadCutLeavesAFadingRimAndTheCopyTakesTheRest) {
  SelectRect(L(), LayerX(5), LayerY(26), LayerX(34), LayerY(3));
  BorderSpreadMap depth(L(), 4);
  // From the left side inward: window counts 8(k + 4) of 64 give 64 k.
  for (int k = 0; k <= 5; ++k) EXPECT_EQ(depth.Depth(LayerX(5 + k), LayerY(15)), std::min(255, 64 * k)) << k;

  // Spread 0 clears every selected pixel and nothing else.
  CutWithBorderSpread(L(), L().active, 0);
  EXPECT_EQ(Alpha(5, 3), 0);
  EXPECT_EQ(Alpha(20, 15), 0);
  EXPECT_EQ(Alpha(4, 3), 255);
  std::fill(Active().alpha.begin(), Active().alpha.end(), uint8_t(255));
  doc->CommitLayer(L().active);

  frame.borderSpread = 4;
  ASSERT_TRUE(doc->Cut());
  EXPECT_EQ(Alpha(20, 15), 0);    // deep inside
  EXPECT_EQ(Alpha(5, 15), 255);   // on the rim
  EXPECT_EQ(Alpha(7, 15), 127);   // 255 − 128
  EXPECT_EQ(Alpha(2, 2), 255);    // outside
  // The copy holds exactly what the cut took away.
  ASSERT_EQ(frame.copiedWidth, 30);
  ASSERT_EQ(frame.copiedHeight, 24);
  ASSERT_EQ(frame.copiedAlpha.size(), size_t(30 * 24));
  const int x0 = LayerX(5), y0 = LayerY(26);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(frame.copiedAlpha[size_t(y * 30 + x)] + L().LayerAlpha(L().active, x0 + x, y0 + y), 255)
          << x << "," << y;
}

// Paletted layers: the wand and the colour range compare palette colours, read from
// packed 1-, 4- and 8-bit rows.
TEST(SelectionPaletteTest, WandAndRangeReadPackedIndices) {
  for (int bpp : {1, 4, 8}) {
    SCOPED_TRACE(bpp);
    LayerStack L;
    L.header.bitsPerPixel = bpp;
    L.header.paletteColours = 2;
    L.header.canvasWidth = 20;
    L.header.canvasHeight = 6;
    L.palette = {0, 0, 0, 0, 255, 255, 255, 0};  // black, white
    int slot = -1;
    ASSERT_EQ(L.InsertLayer(-1, -1, &slot), InsertResult::Ok);
    L.active = slot;
    Layer& l = L.slots[slot];
    std::fill(l.pixels.begin(), l.pixels.end(), uint8_t(0));
    std::fill(l.alpha.begin(), l.alpha.end(), uint8_t(255));
    auto white = [&](int x, int y) {
      uint8_t* row = l.pixels.data() + size_t(y) * size_t(l.stride);
      if (bpp == 1) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
      if (bpp == 4) row[x >> 1] |= uint8_t((x & 1) ? 0x01 : 0x10);
      if (bpp == 8) row[x] = 1;
    };
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 7; ++x) white(x, y);
    white(15, 3);
    EXPECT_EQ(MagicWand(L, 2, 2, 1, false), 42);
    EXPECT_EQ(L.InSelection(6, 5), 1);
    EXPECT_EQ(L.InSelection(7, 5), 0);
    EXPECT_EQ(L.InSelection(15, 3), 0);
    EXPECT_EQ(ColourRange(L, MakeRgbq(255, 255, 255), 0, false), 43);
    EXPECT_EQ(L.InSelection(15, 3), 1);
    EXPECT_EQ(ColourRange(L, MakeRgbq(0, 0, 0), 3, false), 120 - 43);
  }
}

}  // namespace
}  // namespace velmira
