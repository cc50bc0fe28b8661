// The fill and gradient tools, driven through the router as the view drives them,
// and their pixel work called directly on paletted and text layers.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "../support/tool_fixture.h"
#include "image/border_spread.h"
#include "tools/fill.h"
#include "tools/fill_tools.h"

namespace velmira {
namespace {

using testing_support::ToolFixture;

constexpr Rgbq kWhite = MakeRgbq(255, 255, 255);
constexpr Rgbq kBlack = MakeRgbq(0, 0, 0);
constexpr Rgbq kRed = MakeRgbq(255, 0, 0);
constexpr Rgbq kBlue = MakeRgbq(0, 0, 255);

class AreaToolTest : public ToolFixture {
 protected:
  void SetUp() override {
    RegisterFillTools();
    ToolFixture::SetUp();
  }

  // Canvas rectangle (inclusive, y from the top) painted and committed, as if an
  // earlier step had left it so.
  void Paint(int x0, int y0, int x1, int y1, Rgbq c) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) L().WriteLayerColor(L().active, LayerX(x), LayerY(y), c);
    doc->CommitLayer(L().active);
  }
  void Clear(int x, int y) {
    L().SetLayerAlpha(L().active, LayerX(x), LayerY(y), 0);
    doc->CommitLayer(L().active);
  }
  // A selection made of canvas rectangles, as the selection tools leave it.
  void Select(std::initializer_list<std::array<int, 4>> rects) {
    std::fill(L().mask.begin(), L().mask.end(), uint8_t(0));
    for (const auto& r : rects)
      for (int y = r[1]; y <= r[3]; ++y)
        for (int x = r[0]; x <= r[2]; ++x)
          L().mask[size_t(LayerY(y)) * size_t(L().maskWidth) + size_t(LayerX(x))] = 1;
    L().selectionExists = true;
    router->State().selectionActive = true;
  }
  void FillAt(int x, int y, int tolerance, Rgbq c = kRed) {
    Use(tool::kFill);
    frame.option1 = tolerance;
    frame.foreground = c;
    Click(x, y);
  }
  int CountColour(Rgbq c) {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += Colour(x, y) == c;
    return n;
  }
  int Steps() { return doc->History().Step(); }
};

// ---------------------------------------------------------------- fill

TEST_F(AreaToolTest, ToleranceIsAStrictBoundAndTransparentPixelsAlwaysJoin) {
  // Tolerance 0: the start pixel, and the transparent pixels reached through one
  // another (diagonally here), but no white neighbour.
  Clear(6, 6);
  Clear(7, 7);
  Clear(20, 20);  // transparent but not connected
  FillAt(5, 5, 0);
  EXPECT_EQ(Colour(5, 5), kRed);
  EXPECT_EQ(Colour(6, 6), kRed);
  EXPECT_EQ(Colour(7, 7), kRed);
  EXPECT_EQ(Alpha(7, 7), 255);
  EXPECT_EQ(CountColour(kRed), 3);
  EXPECT_EQ(Alpha(20, 20), 0);
  EXPECT_EQ(LastLabel(), "채우기");

  // The right half differs from white by exactly 10: tolerance 10 stops at the
  // border, 11 crosses it.
  Paint(0, 0, 39, 29, kWhite);
  Paint(20, 0, 39, 29, MakeRgbq(245, 255, 255));
  FillAt(0, 0, 10);
  EXPECT_EQ(CountColour(kRed), 20 * 30);
  EXPECT_EQ(Colour(20, 15), MakeRgbq(245, 255, 255));
  Paint(0, 0, 19, 29, kWhite);
  FillAt(0, 0, 11);
  EXPECT_EQ(CountColour(kRed), 40 * 30);
}

TEST_F(AreaToolTest, FillIsEightConnectedAndFollowsItsPredecessor) {
  // A one-pixel diagonal wall from the top-left corner to the bottom edge leaks
  // through its diagonal gaps.
  for (int i = 0; i < 30; ++i) Paint(i, i, i, i, kBlack);
  FillAt(0, 29, 10);
  EXPECT_EQ(Colour(39, 0), kRed);
  EXPECT_EQ(Colour(0, 0), kBlack);
  EXPECT_EQ(CountColour(kBlack), 30);

  // A ramp whose columns step by 5 is followed end to end with tolerance 6; a
  // comparison with the seed would stop after two columns.
  for (int x = 0; x < 40; ++x) Paint(x, 0, x, 29, MakeRgbq(255 - 5 * x, 100, 100));
  FillAt(0, 15, 6, kBlue);
  EXPECT_EQ(CountColour(kBlue), 40 * 30);
  // A tolerance of 1000 takes everything connected, whatever its colour.
  Paint(10, 0, 10, 29, kBlack);
  FillAt(0, 0, 1000);
  EXPECT_EQ(CountColour(kRed), 40 * 30);
}

TEST_F(AreaToolTest, FillPassesThroughUnselectedPixelsWithoutPaintingThem) {
  // Two selected boxes joined only by unselected white pixels.
  Select({{2, 2, 8, 8}, {30, 20, 35, 25}});
  const int before = Steps();
  FillAt(20, 15, 10);  // outside the selection: nothing at all
  EXPECT_EQ(CountColour(kRed), 0);
  EXPECT_EQ(Steps(), before);

  Clear(15, 15);  // unselected and transparent: stays so
  FillAt(5, 5, 10);
  EXPECT_EQ(CountColour(kRed), 7 * 7 + 6 * 6);
  EXPECT_EQ(Colour(32, 22), kRed);
  EXPECT_EQ(Alpha(15, 15), 0);
  EXPECT_EQ(Mask(15, 15), 0);

  // Undo brings the white back and keeps the selection.
  EXPECT_EQ(LastLabel(), "채우기");
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(CountColour(kRed), 0);
  EXPECT_EQ(Mask(5, 5), 1);
}

TEST_F(AreaToolTest, BorderSpreadFadesTheFillTowardTheSelectionsEdge) {
  Select({{5, 5, 34, 24}});
  frame.borderSpread = 3;
  FillAt(20, 15, 10);
  EXPECT_EQ(Colour(5, 15), kRed);
  EXPECT_EQ(Alpha(20, 15), 255);  // deep inside
  EXPECT_EQ(Alpha(5, 15), 0);     // on the edge
  // The coverage rises from the edge inward, exactly as the cut's rim does.
  const BorderSpreadMap depth(L(), 3);
  for (int x = 5; x <= 9; ++x) {
    EXPECT_EQ(Alpha(x, 15), depth.Depth(LayerX(x), LayerY(15))) << x;
    if (x > 5) {
      EXPECT_GE(Alpha(x, 15), Alpha(x - 1, 15));
    }
  }
  EXPECT_EQ(Alpha(4, 15), 255);  // outside: untouched

  // Without a selection the spread does not apply.
  router->ClearSelection(&view);
  Paint(0, 0, 39, 29, kWhite);
  FillAt(0, 0, 10);
  EXPECT_EQ(Alpha(0, 0), 255);
  EXPECT_EQ(Alpha(20, 15), 255);
}

// ---------------------------------------------------------------- gradient

class GradientTest : public AreaToolTest {
 protected:
  void SetUp() override {
    AreaToolTest::SetUp();
    Use(tool::kGradient);
    frame.gradientKind = 1;
    frame.gradientColourMode = 1;
  }
};

TEST_F(GradientTest, AClickIsRefusedAndTheRubberBandNeverStays) {
  frame.foreground = kRed;
  const int before = Steps();
  Press(5, 5);
  MoveTo(15, 5);
  EXPECT_EQ(Colour(10, 5), kRed);
  EXPECT_EQ(CountColour(kRed), 11);
  MoveTo(5, 15);  // the first line is reverted before the next is drawn
  EXPECT_EQ(Colour(10, 5), kWhite);
  EXPECT_EQ(Colour(5, 12), kRed);
  EXPECT_EQ(CountColour(kRed), 11);
  Release(5, 5);  // back at the start: a click
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요");
  EXPECT_EQ(CountColour(kWhite), 40 * 30);
  EXPECT_EQ(Steps(), before);
}

TEST_F(GradientTest, OneWayKeepsTheForegroundOnTheStartsSide) {
  frame.foreground = MakeRgbq(200, 100, 50);
  // Dragged up and to the left at 45°: each pixel's perpendicular meets the drag at
  // x = (x + y_from_bottom + 6) ÷ 2, so the start (30, 5) reads 30 of the 39-pixel
  // box and the end (10, 25) reads 10, both counted from the left, turned round
  // because the drag runs leftward.
  Drag({{30, 5}, {20, 15}, {10, 25}});
  EXPECT_EQ(Colour(30, 5), MakeRgbq(200 * 30 / 39, 100 * 30 / 39, 50 * 30 / 39));
  EXPECT_EQ(Colour(10, 25), MakeRgbq(200 * 10 / 39, 100 * 10 / 39, 50 * 10 / 39));
  EXPECT_EQ(Colour(0, 29), MakeRgbq(200 * 3 / 39, 100 * 3 / 39, 50 * 3 / 39));  // the far corner
  EXPECT_EQ(LastLabel(), "그라디언트");
  EXPECT_EQ(Alpha(0, 29), 255);

  // The same line dragged the other way puts the foreground at the other end.
  Drag({{10, 25}, {30, 5}});
  EXPECT_EQ(Colour(10, 25), MakeRgbq(200 * 29 / 39, 100 * 29 / 39, 50 * 29 / 39));
  EXPECT_GT(RgbqR(Colour(10, 25)), RgbqR(Colour(30, 5)));
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(30, 5), MakeRgbq(200 * 30 / 39, 100 * 30 / 39, 50 * 30 / 39));
}

TEST_F(GradientTest, TwoWayIsSymmetricAndOnlySelectedPixelsChange) {
  // Box 5 … 33: 28 wide, its middle at x = 19, where the drag's middle lies too.
  Select({{5, 3, 33, 27}});
  frame.gradientKind = 2;
  frame.gradientColourMode = 2;
  frame.foreground = MakeRgbq(140, 70, 28);
  frame.background = MakeRgbq(14, 28, 42);
  Drag({{9, 5}, {29, 25}});
  for (int a = 0; a <= 14; ++a)
    for (int b = 0; b <= 12; ++b) ASSERT_EQ(Colour(19 - a, 15 - b), Colour(19 + a, 15 + b)) << a << "," << b;
  EXPECT_EQ(Colour(19, 15), frame.background);  // the middle is all second colour
  // The top-left corner meets the drag at x = 6: 13 of 14 steps toward the
  // foreground.
  EXPECT_EQ(Colour(5, 3), MakeRgbq(1 + 130, 2 + 65, 3 + 26));
  // Outside the box nothing changed, and no rubber band was left behind.
  EXPECT_EQ(Colour(4, 15), kWhite);
  EXPECT_EQ(Colour(34, 28), kWhite);
  EXPECT_EQ(CountColour(kWhite), 40 * 30 - 29 * 25);

  // Fading instead of blending: black in the middle.
  frame.gradientColourMode = 1;
  Drag({{9, 5}, {29, 25}});
  EXPECT_EQ(Colour(19, 15), kBlack);
  EXPECT_EQ(Colour(5, 3), MakeRgbq(130, 65, 26));
}

TEST_F(GradientTest, StraightDragsAreRecordedAndSurviveTheNextPreview) {
  frame.foreground = MakeRgbq(255, 120, 30);
  frame.gradientColourMode = 2;  // not used by straight drags
  const int before = Steps();
  Drag({{10, 5}, {10, 20}});  // down the screen: the foreground at the top
  EXPECT_EQ(Colour(3, 0), MakeRgbq(255 * 29 / 30, 120 * 29 / 30, 30 * 29 / 30));
  EXPECT_EQ(Colour(3, 29), kBlack);
  EXPECT_EQ(Steps(), before + 1);
  EXPECT_EQ(LastLabel(), "그라디언트");
  // A new drag's rubber band reverts to what was kept: the gradient.
  Press(1, 1);
  MoveTo(2, 1);
  EXPECT_EQ(Colour(3, 29), kBlack);
  Release(1, 1);

  Drag({{30, 10}, {5, 10}});  // leftward: the foreground on the right
  EXPECT_EQ(Colour(39, 7), MakeRgbq(255 * 39 / 40, 120 * 39 / 40, 30 * 39 / 40));
  EXPECT_EQ(Colour(0, 7), kBlack);
  EXPECT_EQ(Steps(), before + 2);
  Drag({{5, 10}, {30, 10}});  // rightward: on the left
  EXPECT_EQ(Colour(0, 7), frame.foreground);
  EXPECT_EQ(Colour(39, 7), MakeRgbq(255 / 40, 120 / 40, 30 / 40));

  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(3, 29), kBlack);
  EXPECT_EQ(Colour(3, 0), MakeRgbq(255 * 29 / 30, 120 * 29 / 30, 30 * 29 / 30));
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(CountColour(kWhite), 40 * 30);
}

TEST_F(GradientTest, TextLayersAreRefused) {
  Active().kind = kLayerText;
  doc->CommitLayer(L().active);
  const std::vector<uint8_t> before = Active().pixels;
  Drag({{5, 5}, {20, 20}});
  Use(tool::kFill);
  Click(5, 5);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0], "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
  EXPECT_EQ(host.messages[1], host.messages[0]);
  EXPECT_EQ(Active().pixels, before);
}

// ---------------------------------------------------------------- direct calls

// A 10 × 6 paletted layer: black, white, red, blue.
LayerStack PalettedStack(int bpp) {
  LayerStack st;
  st.header.canvasWidth = 10;
  st.header.canvasHeight = 6;
  st.header.bitsPerPixel = bpp;
  int s = -1;
  EXPECT_EQ(st.InsertLayer(-1, -1, &s), InsertResult::Ok);
  LayerAlloc a;
  a.bitsPerPixel = bpp;
  a.paletteColours = 4;
  a.canvasWidth = 10;
  a.canvasHeight = 6;
  a.initialAlpha = 255;
  a.resetSelection = true;
  EXPECT_TRUE(st.AllocateLayer(s, a));
  st.palette = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  st.active = s;
  for (auto& b : st.slots[s].pixels) b = bpp == 8 ? 1 : 0x11;  // white
  return st;
}

TEST(AreaToolPixels, PalettedLayersTakeTheNearestIndex) {
  for (int bpp : {4, 8}) {
    LayerStack st = PalettedStack(bpp);
    const Layer& l = st.slots[st.active];
    // A black wall in column 4, written as index 0.
    for (int y = 0; y < 6; ++y) {
      uint8_t* row = st.slots[st.active].pixels.data() + size_t(y) * size_t(l.stride);
      if (bpp == 8)
        row[4] = 0;
      else
        row[2] &= 0x0F;
    }
    ASSERT_TRUE(FloodFill(st, st.active, 0, 0, MakeRgbq(250, 10, 5), 10, 0));
    for (int y = 0; y < 6; ++y) {
      EXPECT_EQ(st.LayerIndex(l, 3, y), 2) << bpp;
      EXPECT_EQ(st.LayerIndex(l, 4, y), 0) << bpp;
      EXPECT_EQ(st.LayerIndex(l, 5, y), 1) << bpp;
    }
    // Straight drag upwards: the top row is nearest white-ish, the bottom black.
    EXPECT_EQ(ApplyGradient(st, st.active, 2, 0, 2, 5, 1, 1, kWhite, kBlack), GradientResult::Vertical);
    EXPECT_EQ(st.ReadLayerColor(st.active, 7, 0, nullptr), kWhite);
    EXPECT_EQ(st.ReadLayerColor(st.active, 7, 5, nullptr), kBlack);
  }
}

TEST(AreaToolPixels, OtherDepthsKeepTheirLayout) {
  // 1 bit with a four-colour palette: blue is nearest to black among the two
  // entries a pixel can hold, not to whatever its index's low bit names.
  LayerStack one = PalettedStack(1);
  for (auto& b : one.slots[one.active].pixels) b = 0xFF;
  ASSERT_TRUE(DrawPixelLine(one, one.active, 0, 1, 9, 1, kBlue));
  EXPECT_EQ(one.LayerIndex(one.slots[one.active], 9, 1), 0);
  EXPECT_EQ(one.LayerIndex(one.slots[one.active], 9, 2), 1);

  // 32 bits: three colour bytes written, the fourth left alone.
  LayerStack st;
  st.header.canvasWidth = 5;
  st.header.canvasHeight = 3;
  st.header.bitsPerPixel = 32;
  int s = -1;
  ASSERT_EQ(st.InsertLayer(-1, -1, &s), InsertResult::Ok);
  Layer& l = st.slots[s];
  for (auto& a : l.alpha) a = 255;
  l.pixels[4 * 2 + 0] = 0;  // one blue-less pixel at (2, 0) walls nothing off: 255 < 300
  ASSERT_TRUE(FloodFill(st, s, 0, 0, MakeRgbq(1, 2, 3), 300, 0));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(st.ReadLayerColor(s, x, 2, nullptr), MakeRgbq(1, 2, 3));
  EXPECT_EQ(l.pixels[3], 255);
  EXPECT_EQ(l.pixels[size_t(l.stride) + 4 * 4 + 3], 255);
}

TEST(AreaToolPixels, NothingIsPaintedOutsideTheLayerOrOnTextLayers) {
  LayerStack st = PalettedStack(8);
  const std::vector<uint8_t> before = st.slots[st.active].pixels;
  EXPECT_FALSE(FloodFill(st, st.active, 10, 0, kRed, 10, 0));
  EXPECT_FALSE(FloodFill(st, st.active, 0, -1, kRed, 10, 0));
  EXPECT_EQ(ApplyGradient(st, st.active, 3, 3, 3, 3, 1, 1, kRed, kBlack), GradientResult::Click);
  // A line running off the layer draws the part inside it.
  EXPECT_TRUE(DrawPixelLine(st, st.active, -5, 2, 3, 2, kRed));
  EXPECT_EQ(st.LayerIndex(st.slots[st.active], 0, 2), 2);
  EXPECT_EQ(st.LayerIndex(st.slots[st.active], 3, 2), 2);
  EXPECT_EQ(st.LayerIndex(st.slots[st.active], 4, 2), 1);

  st.slots[st.active].pixels = before;
  st.slots[st.active].kind = kLayerText;
  EXPECT_FALSE(FloodFill(st, st.active, 0, 0, kRed, 10, 0));
  EXPECT_EQ(ApplyGradient(st, st.active, 0, 0, 5, 3, 1, 1, kRed, kBlack), GradientResult::Click);
  EXPECT_FALSE(DrawPixelLine(st, st.active, 0, 0, 5, 3, kRed));
  EXPECT_EQ(st.slots[st.active].pixels, before);
}

}  // namespace
}  // namespace velmira
