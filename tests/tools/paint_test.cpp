#include "tools/paint.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../support/tool_fixture.h"
#include "image/rand.h"
#include "tools/paint_tools.h"

namespace velmira {
namespace {

constexpr Rgbq kBlack = MakeRgbq(0, 0, 0);
constexpr Rgbq kRed = MakeRgbq(255, 0, 0);
constexpr Rgbq kWhite = MakeRgbq(255, 255, 255);

class PaintTest : public testing_support::ToolFixture {
 protected:
  void SetUp() override {
    RegisterPaintingTools();
    ToolFixture::SetUp();
    SeedProgramRand(1);
    frame.foreground = kRed;
    frame.brushSize = 1;
    frame.softEdge = false;
  }
  int Slot() { return L().active; }
  int Steps() { return doc->History().Step(); }
  Rgbq At(int x, int y) { return L().ReadLayerColor(Slot(), x, y, nullptr); }  // layer pixels
  void Fill(Rgbq c, uint8_t alpha) {
    for (int y = 0; y < Active().height; ++y)
      for (int x = 0; x < Active().width; ++x) L().WriteLayerColor(Slot(), x, y, c);
    std::fill(Active().alpha.begin(), Active().alpha.end(), alpha);
    doc->CommitLayer(Slot());
  }
  // Selects only canvas columns x0 … x1 − 1 (all rows).
  void SelectColumns(int x0, int x1) {
    for (int y = 0; y < L().maskHeight; ++y)
      for (int x = 0; x < L().maskWidth; ++x) L().mask[size_t(y * L().maskWidth + x)] = x >= x0 && x < x1;
    L().selectionExists = true;
  }
};

class BigPaintTest : public PaintTest {
 protected:
  BigPaintTest() { width = height = 80; }
};

TEST_F(PaintTest, SizeOneStrokeIsExactlyTheBresenhamLineInFullColour) {
  Fill(kWhite, 255);
  // Shallow and steep segments without ties: y = round(0.4 x), x = 3 + round(0.2 (y − 2)).
  PaintStroke(L(), Slot(), 0, 0, 10, 4, 1, true, kRed, false);
  PaintStroke(L(), Slot(), 3, 2, 5, 12, 1, true, kRed, false);
  int painted = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool shallow = x <= 10 && y == int(std::lround(0.4 * x));
      const bool steep = y >= 2 && y <= 12 && x == 3 + int(std::lround(0.2 * (y - 2)));
      painted += At(x, y) == kRed;
      EXPECT_EQ(At(x, y), shallow || steep ? kRed : kWhite) << x << "," << y;
    }
  EXPECT_EQ(painted, 22);

  // The line tool with a size-1 soft brush draws the same pixels in full colour.
  frame.softEdge = true;
  Fill(kWhite, 255);
  Use(tool::kLine);
  Drag({{0, 29}, {10, 25}});
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(At(x, int(std::lround(0.4 * x))), kRed) << x;
}

TEST_F(BigPaintTest, HardDabIsPureColourOverTheWholeDisc) {
  for (int s = 2; s <= kMaxDabSize; ++s) {
    Fill(kWhite, 255);
    PaintDab(L(), Slot(), 40, 40, s, false, kRed, false);
    for (int y = 40 - s - 1; y <= 40 + s + 1; ++y)
      for (int x = 40 - s - 1; x <= 40 + s + 1; ++x) {
        const int d2 = (x - 40) * (x - 40) + (y - 40) * (y - 40);
        const Rgbq c = At(x, y);
        ASSERT_TRUE(c == kRed || c == kWhite) << "s=" << s;
        if (d2 > (s - 1) * (s - 1) && d2 < s * s) continue;  // the rim may go either way
        ASSERT_EQ(c, d2 < s * s ? kRed : kWhite) << x << "," << y << " s=" << s;
      }
  }
  // Larger sizes draw as the largest one, random weights included.
  auto soft = [&](int size) {
    Fill(kWhite, 255);
    SeedProgramRand(1);
    PaintDab(L(), Slot(), 40, 40, size, true, kBlack, false);
    return Active().pixels;
  };
  EXPECT_EQ(soft(40), soft(kMaxDabSize));
  EXPECT_NE(soft(24), soft(kMaxDabSize));
}

TEST_F(PaintTest, SoftDabShadesTowardTheRimButIsPureOnTransparentPixels) {
  Fill(kWhite, 255);
  PaintDab(L(), Slot(), 20, 15, 8, true, kBlack, false);
  // Black toward white: the inner ring stays near black, the outer ring is lighter.
  EXPECT_LT(RgbqR(At(21, 15)), 30);
  EXPECT_GT(RgbqR(At(27, 15)), 150);
  EXPECT_LT(RgbqR(At(27, 15)), 255);

  Fill(kWhite, 0);
  PaintDab(L(), Slot(), 20, 15, 8, true, kRed, false);
  for (int y = 8; y <= 22; ++y)
    for (int x = 13; x <= 27; ++x)
      if ((x - 20) * (x - 20) + (y - 15) * (y - 15) <= 49) {
        ASSERT_EQ(At(x, y), kRed) << x << "," << y;
        ASSERT_EQ(L().LayerAlpha(Slot(), x, y), 255);
      }
}

TEST_F(PaintTest, BrushAndEraserStrokesRecordAndUndo) {
  frame.brushSize = 3;
  Use(tool::kBrush);
  Drag({{5, 5}, {15, 5}, {15, 20}});
  EXPECT_EQ(LastLabel(), "붓그리기");
  EXPECT_EQ(Colour(10, 5), kRed);
  EXPECT_EQ(Colour(15, 12), kRed);
  EXPECT_EQ(Colour(10, 12), kWhite);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(10, 5), kWhite);
  EXPECT_EQ(Colour(15, 12), kWhite);

  frame.brushSize = 1;
  Use(tool::kEraser);
  Drag({{5, 8}, {10, 8}, {10, 12}});
  EXPECT_EQ(LastLabel(), "영역지우기");
  for (int x = 5; x <= 10; ++x) EXPECT_EQ(Alpha(x, 8), 0) << x;
  EXPECT_EQ(Alpha(10, 11), 0);
  EXPECT_EQ(Alpha(9, 11), 255);
  EXPECT_EQ(Colour(7, 8), kWhite);  // erasing keeps the colour
}

TEST_F(PaintTest, NothingOutsideTheSelectionChanges) {
  SelectColumns(10, 20);
  frame.brushSize = 4;
  struct Case {
    int tool;
    Point at;
  };
  for (Case c : {Case{tool::kBrush, {18, 10}}, Case{tool::kEraser, {18, 10}}, Case{tool::kSpray, {15, 10}},
                 Case{tool::kDrop, {15, 10}}, Case{tool::kDot, {19, 10}}}) {
    Fill(kWhite, 255);
    if (c.tool == tool::kDrop) SetColour(15, 10, kBlack);
    const std::vector<uint8_t> px = Active().pixels, alpha = Active().alpha;
    Use(c.tool);
    Drag({c.at, {c.at.x + 1, c.at.y + 3}});
    bool changedInside = false;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const size_t i = size_t(y) * size_t(Active().stride) + size_t(x) * 3;
        const bool same = std::equal(px.begin() + long(i), px.begin() + long(i) + 3, Active().pixels.begin() + long(i)) &&
                          alpha[size_t(y * 40 + x)] == Active().alpha[size_t(y * 40 + x)];
        if (x < 10 || x >= 20)
          ASSERT_TRUE(same) << "tool " << c.tool << " at " << x << "," << y;
        else
          changedInside |= !same;
      }
    EXPECT_TRUE(changedInside) << "tool " << c.tool;
  }
}

TEST_F(PaintTest, SprayIsAFixedSoftDabAndKeepsThePressDab) {
  Use(tool::kSpray);
  Press(10, 10);
  MoveTo(28, 15);
  Release(28, 15);
  EXPECT_EQ(LastLabel(), "스프레이");
  // Size 20 whatever the brush (1 here): pixels 15 away change, 21 away do not.
  EXPECT_NE(Colour(10, 25), kWhite);
  EXPECT_NE(Colour(28, 0), kWhite);
  EXPECT_EQ(Colour(0, 29), kWhite);
  // The press's dab survived the move's revert.
  EXPECT_NE(Colour(10, 10), kWhite);
  EXPECT_NE(Colour(3, 10), kWhite);
}

TEST_F(PaintTest, WaterDropSpreadsTheCoveredCentreOnly) {
  Use(tool::kDrop);
  frame.brushSize = 4;  // reach 2 × 4 × 0.943 ≈ 7.5 pixels
  Fill(kWhite, 0);
  const std::vector<uint8_t> before = Active().alpha;
  Click(20, 15);
  EXPECT_EQ(Active().alpha, before);  // no coverage: nothing happens

  Fill(kWhite, 255);
  for (int y = 0; y < 30; ++y) L().SetLayerAlpha(Slot(), 27, y, 0);
  SetColour(20, 15, kRed);
  Click(20, 15);
  EXPECT_EQ(LastLabel(), "물방울");
  EXPECT_EQ(Colour(20, 15), kRed);
  const Rgbq near = Colour(21, 15), far = Colour(26, 15);
  EXPECT_EQ(RgbqR(near), 255);
  EXPECT_LT(RgbqG(near), RgbqG(far));
  EXPECT_LT(RgbqG(far), 255);
  EXPECT_EQ(Colour(28, 15), kWhite);  // beyond the reach
  EXPECT_EQ(Alpha(28, 15), 255);
  // Within reach a transparent pixel takes the centre colour; out of reach it stays so.
  EXPECT_EQ(Colour(27, 15), kRed);
  EXPECT_EQ(Alpha(27, 15), 255);
  EXPECT_EQ(Alpha(27, 22), 0);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(21, 15), kWhite);
}

TEST_F(PaintTest, ColourPickerReadsTheStoredChannels) {
  Active().pixels[0] = 10;  // blue, green, red of layer pixel (0, 0)
  Active().pixels[1] = 20;
  Active().pixels[2] = 30;
  doc->CommitLayer(Slot());
  Use(tool::kColourPicker);
  Click(0, 29);
  EXPECT_EQ(RgbqR(frame.foreground), 30);
  EXPECT_EQ(RgbqG(frame.foreground), 20);
  EXPECT_EQ(RgbqB(frame.foreground), 10);
  // Off the layer there is nothing to pick, and the layer does not grow for it.
  Click(-6, 40);
  EXPECT_EQ(frame.foreground, MakeRgbq(30, 20, 10));
  EXPECT_EQ(Active().width, 40);
}

TEST_F(PaintTest, LinePolylineAndCircleKeepOnlyTheFinalShape) {
  Use(tool::kLine);
  const int before = Steps();
  Press(5, 5);
  MoveTo(30, 5);
  MoveTo(30, 25);
  EXPECT_EQ(Colour(20, 5), kWhite);  // the first preview was reverted
  EXPECT_EQ(Colour(30, 25), kRed);
  Release(5, 20);
  EXPECT_EQ(Steps(), before + 1);
  EXPECT_EQ(LastLabel(), "선그리기");
  EXPECT_EQ(Colour(30, 25), kWhite);
  for (int y = 5; y <= 20; ++y) EXPECT_EQ(Colour(5, y), kRed) << y;
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(5, 12), kWhite);

  Use(tool::kPolyline);
  Click(2, 2);
  const int vertex = Steps();
  Click(12, 2);
  Click(12, 12);
  EXPECT_EQ(Steps(), vertex + 2);
  EXPECT_EQ(LastLabel(), "다각형그리기");
  EXPECT_EQ(Colour(7, 2), kRed);
  EXPECT_EQ(Colour(12, 7), kRed);
  EXPECT_EQ(Colour(7, 7), kWhite);  // no closing edge

  frame.brushSize = 2;
  Use(tool::kCircle);
  Press(25, 5);
  MoveTo(35, 25);
  Release(25, 15);  // centre at the release point, through the press point
  EXPECT_EQ(LastLabel(), "원 그리기");
  EXPECT_NE(Colour(35, 15), kWhite);
  EXPECT_NE(Colour(25, 25), kWhite);
  EXPECT_EQ(Colour(25, 15), kWhite);
  EXPECT_EQ(Colour(13, 25), kWhite);  // on the reverted preview around (35, 25)
}

TEST_F(PaintTest, DotWritesAShiftedBlockAndRecordsAtOnce) {
  frame.brushSize = 3;
  Use(tool::kDot);
  Press(10, 10);  // hot spot: (8, 11) as shown, the block grows up and right from it
  EXPECT_EQ(LastLabel(), "점찍기");
  Release(10, 10);
  for (int y = 7; y <= 13; ++y)
    for (int x = 6; x <= 12; ++x)
      EXPECT_EQ(Colour(x, y), x >= 8 && x <= 10 && y >= 9 && y <= 11 ? kRed : kWhite) << x << "," << y;
}

TEST_F(PaintTest, StrokeOffTheLayerGrowsIt) {
  Use(tool::kBrush);
  Drag({{-5, 10}, {3, 10}});
  EXPECT_LE(Active().x, -5);
  EXPECT_GE(Active().width, 45);
  EXPECT_EQ(Colour(-5, 10), kRed);
  EXPECT_EQ(Alpha(-5, 10), 255);
  EXPECT_EQ(Colour(3, 10), kRed);
  EXPECT_EQ(Alpha(-5, 11), 0);  // the new area is transparent
  // A line whose end grows the layer leftward still starts where it was pressed.
  Use(tool::kLine);
  Press(10, 20);
  Release(-8, 20);
  EXPECT_LE(Active().x, -8);
  EXPECT_EQ(Colour(10, 20), kRed);
  EXPECT_EQ(Colour(11, 20), kWhite);
  EXPECT_EQ(Colour(-8, 20), kRed);
}

TEST_F(PaintTest, TextLayerRefusesEveryDrawingTool) {
  Active().kind = kLayerText;
  const std::vector<uint8_t> px = Active().pixels, alpha = Active().alpha;
  for (int t : {tool::kBrush, tool::kSpray, tool::kDrop, tool::kDot, tool::kEraser, tool::kLine, tool::kPolyline,
                tool::kCircle}) {
    host.messages.clear();
    Use(t);
    Drag({{10, 10}, {20, 12}, {25, 20}});
    Click(5, 5);
    ASSERT_FALSE(host.messages.empty()) << t;
    EXPECT_EQ(host.messages.front(), "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
    EXPECT_EQ(Active().pixels, px) << t;
    EXPECT_EQ(Active().alpha, alpha) << t;
  }
}

TEST_F(PaintTest, PalettedLayersGetTheNearestIndex) {
  for (int bpp : {1, 4, 8}) {
    LayerAlloc a;
    a.bitsPerPixel = bpp;
    a.paletteColours = 1 << bpp;
    a.paletteMode = 1;
    a.width = a.canvasWidth = 40;
    a.height = a.canvasHeight = 30;
    a.initialAlpha = 255;
    ASSERT_TRUE(L().AllocateLayer(Slot(), a));
    const Rgbq colours[] = {kBlack, kWhite, kRed, MakeRgbq(0, 255, 0)};
    for (int i = 0; i < std::min(4, a.paletteColours); ++i)
      for (int ch = 0; ch < 3; ++ch) L().palette[size_t(4 * i + ch)] = uint8_t(colours[i] >> (8 * ch));
    std::fill(Active().pixels.begin(), Active().pixels.end(), uint8_t(bpp == 8 ? 1 : bpp == 4 ? 0x11 : 0xFF));
    const Rgbq paint = bpp == 1 ? kBlack : MakeRgbq(240, 10, 10);  // nearest: red
    const int index = bpp == 1 ? 0 : 2;
    PaintDab(L(), Slot(), 20, 15, 3, false, paint, false);
    for (int y = 12; y <= 18; ++y)
      for (int x = 17; x <= 23; ++x) {
        const int d2 = (x - 20) * (x - 20) + (y - 15) * (y - 15);
        if (d2 > 4 && d2 < 9) continue;
        EXPECT_EQ(L().LayerIndex(Active(), x, y), d2 <= 4 ? index : 1) << bpp << ": " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace velmira
