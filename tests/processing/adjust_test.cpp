#include <gtest/gtest.h>

#include "processing/doc_commands.h"
#include "processing_fixture.h"

namespace velmira {
namespace {

using testing_support::DocFixture;
using testing_support::Grey;

class Adjust : public DocFixture {
 protected:
  std::string LastLabel() { return doc->History().Label(doc->History().Step()); }
  // Adds a transparent layer on top, paints a few covered pixels into it and makes
  // it active.
  void AddTransparentLayer() {
    ASSERT_TRUE(doc->AddLayer());
    Layer& top = *L().Active();
    std::fill(top.alpha.begin(), top.alpha.end(), uint8_t(0));
    for (int x = 0; x < 3; ++x) {
      Set(top, x, 0, MakeRgbq(200, 40, 90));
      top.alpha[size_t(x)] = 128;
    }
    doc->CommitLayer(L().active);
  }
};

TEST_F(Adjust, BrightnessAndContrastExtremes) {
  Make(4, 3, [](int x, int) { return MakeRgbq(200, 100, x == 0 ? 0 : 255); });
  Select(0, 0, 2, 3);
  ASSERT_TRUE(BrightnessContrast(*doc, 0, -255));
  EXPECT_EQ(LastLabel(), "명도·대비 조절");
  EXPECT_EQ(At(0, 1), Grey(128));  // factor 0: every channel 128 inside the selection
  EXPECT_EQ(At(1, 1), Grey(128));
  EXPECT_EQ(At(3, 1), MakeRgbq(200, 100, 255));  // outside untouched
  ASSERT_TRUE(doc->Undo());

  L().ResetSelection(L().active);
  ASSERT_TRUE(BrightnessContrast(*doc, 0, 255));  // factor 2
  EXPECT_EQ(At(0, 0), MakeRgbq(255, 72, 0));
  ASSERT_TRUE(doc->Undo());
  // 355 / 255 in single precision: 200 → 72 × 1.392157 − 30 + 128 = 198.2 → 198;
  // 0 → −128 × 1.392157 + 98 = −80.2 → 0; 100 → −28 × 1.392157 + 98 = 59.02 → 59.
  ASSERT_TRUE(BrightnessContrast(*doc, -30, 100));
  EXPECT_EQ(At(0, 0), MakeRgbq(198, 59, 0));
  // Brightness alone shifts and clamps.
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(BrightnessContrast(*doc, 60, 0));
  EXPECT_EQ(At(1, 0), MakeRgbq(255, 160, 255));
}

TEST_F(Adjust, ChannelOffsetsClampPerChannel) {
  Make(3, 2, [](int, int) { return MakeRgbq(200, 50, 128); });
  Select(1, 0, 3, 2);
  ASSERT_TRUE(ChannelOffsets(*doc, 99, -99, 5));
  EXPECT_EQ(LastLabel(), "색상조정");
  EXPECT_EQ(At(1, 0), MakeRgbq(255, 0, 133));
  EXPECT_EQ(At(0, 0), MakeRgbq(200, 50, 128));
  L().ResetSelection(L().active);
  ASSERT_TRUE(ChannelOffsets(*doc, -56, 49, 0));
  EXPECT_EQ(At(0, 1), MakeRgbq(144, 99, 128));
}

// Wide rows take the vector paths (saturating offsets, table lookups by vector);
// every byte must match the per-value formula, tails and clamps included.
TEST_F(Adjust, WideRowsGiveTheFormulasBytes) {
  auto paint = [](int x, int y) { return MakeRgbq((x * 7 + y) % 256, (x * 13 + 3 * y) % 256, (255 - x * 5) & 0xFF); };
  Make(257, 5, paint);
  ASSERT_TRUE(ChannelOffsets(*doc, 77, -99, 30));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 257; ++x) {
      const Rgbq c = paint(x, y);
      ASSERT_EQ(At(x, y), MakeRgbq(std::min(255, RgbqR(c) + 77), std::max(0, RgbqG(c) - 99),
                                   std::min(255, RgbqB(c) + 30)))
          << x << "," << y;
    }
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(BrightnessContrast(*doc, -20, 140));
  const float f = 395.0f / 255.0f;
  auto bc = [f](int v) { return std::clamp(int(float(v - 128) * f + -20.0f + 128.0f), 0, 255); };
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 257; ++x) {
      const Rgbq c = paint(x, y);
      ASSERT_EQ(At(x, y), MakeRgbq(bc(RgbqR(c)), bc(RgbqG(c)), bc(RgbqB(c)))) << x << "," << y;
    }
}

TEST_F(Adjust, HistogramWeightsAndIgnoresTheSelection) {
  Make(4, 2, [](int x, int) { return x < 2 ? MakeRgbq(100, 50, 10) : MakeRgbq(0, 0, 255); });
  Select(0, 0, 1, 1);
  HistogramTables h;
  ASSERT_TRUE(ComputeHistogram(L(), L().active, h));
  // (11 × 10 + 59 × 50 + 30 × 100) / 100 = 60; (11 × 255) / 100 = 28.
  EXPECT_EQ(h[0][60], 4);
  EXPECT_EQ(h[0][28], 4);
  EXPECT_EQ(h[1][100], 4);
  EXPECT_EQ(h[1][0], 4);
  EXPECT_EQ(h[3][255], 4);
  EXPECT_EQ(h[2][50], 4);
}

TEST_F(Adjust, LevelsStretchAndRefuseASingleLevel) {
  Make(10, 10, [](int, int) { return MakeRgbq(90, 90, 90); });
  const int before = doc->History().Step();
  EXPECT_FALSE(AutoColour(*doc));
  EXPECT_FALSE(Levels(*doc, 0, 10, 200));
  EXPECT_EQ(doc->History().Step(), before);
  EXPECT_EQ(At(5, 5), Grey(90));

  // Levels 0, 40, 50, 75, 100, 110 in rows; manual low 50 high 100.
  const int lv[10] = {0, 40, 50, 60, 75, 80, 90, 100, 110, 255};
  Make(10, 10, [&](int x, int) { return MakeRgbq(lv[x], lv[x], 7); });
  ASSERT_TRUE(Levels(*doc, 0, 50, 100));
  EXPECT_EQ(LastLabel(), "색상조정");
  EXPECT_EQ(At(0, 0), MakeRgbq(0, 0, 0));
  EXPECT_EQ(At(2, 0), MakeRgbq(0, 0, 0));
  EXPECT_EQ(At(4, 0), MakeRgbq(127, 127, 0));  // 25 × 255 / 50
  EXPECT_EQ(At(7, 0), MakeRgbq(255, 255, 0));
  EXPECT_EQ(At(8, 0), MakeRgbq(255, 255, 0));
  ASSERT_TRUE(doc->Undo());
  // One channel maps only its colour.
  ASSERT_TRUE(Levels(*doc, 1, 50, 100));
  EXPECT_EQ(At(4, 0), MakeRgbq(127, 75, 7));

  // Already spanning 0…255 beyond the 1 % clip: automatic colour changes nothing.
  auto ramp = [](int i) { return i < 2 ? 0 : i > 97 ? 255 : i * 255 / 99; };
  Make(10, 10, [&](int x, int y) { return Grey(ramp(x + 10 * y)); });
  ASSERT_TRUE(AutoColour(*doc));
  EXPECT_EQ(LastLabel(), "자동 색상 조정");
  for (int x = 0; x < 10; ++x) EXPECT_EQ(At(x, 3), Grey(ramp(x + 30)));
  // One pixel at each end is within the 1 % clip: the rest is stretched.
  Make(10, 10, [&](int x, int y) { return Grey((x + 10 * y) * 255 / 99); });
  ASSERT_TRUE(AutoColour(*doc));
  EXPECT_EQ(At(1, 0), Grey(0));                        // level 2 is the new black
  EXPECT_EQ(At(5, 5), Grey((141 - 2) * 255 / 250));  // level 141 over the range 2…252
}

TEST_F(Adjust, AutomaticRangesClipOnePercent) {
  // 100 pixels: clip count 1. Two dark outliers at 0 and one at 10 make the low end
  // the first level whose running count passes 1.
  HistogramTables h = {};
  h[1][0] = 1;
  h[1][10] = 1;
  h[1][50] = 97;
  h[1][250] = 1;
  for (int v = 0; v < 256; ++v) h[0][v] = h[2][v] = h[3][v] = h[1][v];
  LevelRanges r = FindLevelRanges(h, 10, 10);
  EXPECT_EQ(r.low[1], 10);
  EXPECT_EQ(r.high[1], 50);
  // A collapsed range is searched again without clipping.
  HistogramTables g = {};
  g[2][5] = 1;
  g[2][100] = 98;
  g[2][200] = 1;
  r = FindLevelRanges(g, 10, 10);
  EXPECT_EQ(r.low[2], 5);
  EXPECT_EQ(r.high[2], 200);
}

TEST_F(Adjust, InvertTwiceRestoresEverything) {
  Make(5, 4, [](int x, int y) { return MakeRgbq(x * 50, y * 60, 17); });
  L().Active()->alpha[3] = 77;
  doc->CommitLayer(L().active);
  doc->ViewImage()->Ext().transparentColour = MakeRgbq(10, 20, 30, 5);
  const std::vector<uint8_t> pixels = L().Active()->pixels, alpha = L().Active()->alpha;
  Select(0, 0, 1, 1);  // the selection does not limit inversion
  ASSERT_TRUE(Invert(*doc));
  EXPECT_EQ(LastLabel(), "반전변환");
  EXPECT_EQ(At(4, 3), MakeRgbq(55, 75, 238));
  EXPECT_EQ(doc->ViewImage()->Ext().transparentColour, MakeRgbq(245, 235, 225, 5));
  EXPECT_EQ(L().Active()->alpha, alpha);
  ASSERT_TRUE(Invert(*doc));
  EXPECT_EQ(L().Active()->pixels, pixels);
  EXPECT_EQ(doc->ViewImage()->Ext().transparentColour, MakeRgbq(10, 20, 30, 5));
}

TEST_F(Adjust, DesaturationKeepsCoverage) {
  Make(4, 2, [](int, int) { return MakeRgbq(30, 60, 91); });
  AddTransparentLayer();
  const std::vector<uint8_t> coverage = L().Active()->alpha;
  const int top = L().active, bottom = L().bottom;
  ASSERT_TRUE(DesaturateActiveLayer(*doc));
  EXPECT_EQ(LastLabel(), "레이어 채도 감소");
  EXPECT_EQ(At(0, 0), Grey(110));  // (90 + 40 + 200) / 3
  EXPECT_EQ(L().Active()->alpha, coverage);
  EXPECT_EQ(Get(L().slots[bottom], 0, 0), MakeRgbq(30, 60, 91));

  ASSERT_TRUE(GreyscaleAllLayers(*doc));
  EXPECT_EQ(LastLabel(), "그레이스케일 변환");
  EXPECT_EQ(Get(L().slots[bottom], 1, 1), Grey(60));
  EXPECT_EQ(L().slots[top].alpha, coverage);  // the upper layer stays see-through
  EXPECT_EQ(L().slots[top].alpha[5], 0);
  // Undo brings every layer back, not only the active one.
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Get(L().slots[bottom], 1, 1), MakeRgbq(30, 60, 91));

  // A text layer only has its colour changed.
  L().Active()->kind = kLayerText;
  L().Active()->textColour = int32_t(MakeRgbq(10, 20, 60));
  doc->CommitLayer(L().active);
  ASSERT_TRUE(DesaturateActiveLayer(*doc));
  EXPECT_EQ(Rgbq(L().Active()->textColour), Grey(30));
}

TEST_F(Adjust, TwoToneMethodsAndCoverage) {
  // Means 129 and 128 against threshold 128: absolute conversion is inverted.
  Make(4, 2, [](int x, int) { return x == 0 ? MakeRgbq(130, 129, 128) : MakeRgbq(128, 128, 128); });
  AddTransparentLayer();
  Select(0, 0, 2, 2);
  const int top = L().active, bottom = L().bottom;
  const int steps = doc->History().Step();
  ASSERT_TRUE(TwoTone(*doc, TwoToneMethod::Absolute, 128 + 256));  // the low byte counts
  EXPECT_EQ(doc->History().Step(), steps + 2);  // one step per layer
  EXPECT_EQ(LastLabel(), "임계치변환");
  EXPECT_EQ(Get(L().slots[bottom], 0, 0), Grey(0));
  EXPECT_EQ(Get(L().slots[bottom], 1, 0), Grey(255));
  // Coverage: full inside the selection, none outside, never the mask's 1.
  const Layer& t = L().slots[top];
  EXPECT_EQ(t.alpha[0], 255);
  EXPECT_EQ(t.alpha[1], 255);
  EXPECT_EQ(t.alpha[2], 0);
  EXPECT_EQ(L().slots[bottom].alpha[3], 0);

  // Error diffusion along one row of grey 100 with threshold 127:
  // 100 → black (e 100), 143 → white (e −112), 51 → black, 122 → black, 153 → white.
  Make(5, 1, [](int, int) { return Grey(100); });
  ASSERT_TRUE(TwoTone(*doc, TwoToneMethod::Diffusion, 127));
  const Rgbq want[5] = {Grey(0), Grey(255), Grey(0), Grey(0), Grey(255)};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(At(x, 0), want[x]) << x;

  // Ordered: threshold 78 scales 255 to 15, white except where the matrix holds 15;
  // threshold 0 scales 100 to 16, past the matrix: white.
  Make(4, 4, [](int, int) { return Grey(255); });
  ASSERT_TRUE(TwoTone(*doc, TwoToneMethod::Ordered, 78));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(x, y), Grey(x == 0 && y == 3 ? 0 : 255)) << x << "," << y;
  Make(4, 4, [](int, int) { return Grey(100); });
  ASSERT_TRUE(TwoTone(*doc, TwoToneMethod::Ordered, 0));
  EXPECT_EQ(At(0, 3), Grey(255));
  // Threshold 128: s = 100 × 16 / 356 = 4, white where the matrix is below 4.
  Make(4, 4, [](int, int) { return Grey(100); });
  ASSERT_TRUE(TwoTone(*doc, TwoToneMethod::Ordered, 128));
  EXPECT_EQ(At(0, 0), Grey(255));  // 0
  EXPECT_EQ(At(2, 2), Grey(255));  // 1
  EXPECT_EQ(At(0, 2), Grey(255));  // 3
  EXPECT_EQ(At(1, 1), Grey(0));    // 4
}

TEST_F(Adjust, TextLayersAreRefused) {
  Make(3, 3, [](int, int) { return Grey(50); });
  L().Active()->kind = kLayerText;
  EXPECT_FALSE(BrightnessContrast(*doc, 10, 10));
  EXPECT_FALSE(ChannelOffsets(*doc, 1, 1, 1));
  EXPECT_FALSE(Levels(*doc, 0, 1, 9));
  EXPECT_FALSE(AutoColour(*doc));
  EXPECT_TRUE(Said("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택"));
  EXPECT_FALSE(TwoTone(*doc, TwoToneMethod::Absolute, 9));
  EXPECT_TRUE(Said("[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요."));
}

TEST_F(Adjust, PaletteDocumentBackToTrueColour) {
  Make(4, 2, [](int x, int) { return Grey(x * 60); });
  const int steps = doc->History().Step();
  EXPECT_TRUE(ToTrueColour(*doc));  // already 24 bits: nothing to do, no step
  EXPECT_EQ(doc->History().Step(), steps);
  // Make it a palette picture by hand: indices into a four-entry palette.
  LayerStack& S = L();
  Layer& l = *S.Active();
  S.palette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 9, 9, 9, 0};
  S.header.bitsPerPixel = 8;
  S.header.paletteColours = 4;
  l.stride = StrideFor(l.width, 8);
  l.imageSize = l.stride * l.height;
  l.pixels.assign(size_t(l.imageSize), 0);
  for (int x = 0; x < 4; ++x) l.pixels[size_t(x)] = uint8_t(x), l.pixels[size_t(l.stride + x)] = uint8_t(3 - x);
  doc->CommitLayer(S.active);
  ASSERT_TRUE(ToTrueColour(*doc));
  EXPECT_EQ(S.header.bitsPerPixel, 24);
  EXPECT_TRUE(S.palette.empty());
  EXPECT_EQ(At(0, 0), MakeRgbq(255, 0, 0));
  EXPECT_EQ(At(1, 0), MakeRgbq(0, 255, 0));
  EXPECT_EQ(At(3, 0), Grey(9));
  EXPECT_EQ(At(0, 1), Grey(9));
  EXPECT_EQ(LastLabel(), "RGB 컬러영상으로 변환");
  EXPECT_EQ(doc->ViewImage()->Bpp(), 24);
}

}  // namespace
}  // namespace velmira
