// Photo frames: ring factors per style, caps, the one "[ImgFrame]" layer that every
// redraw replaces, and the mode's single history step.
#include "decorations/photo_frame.h"

#include <gtest/gtest.h>

#include "../support/tool_fixture.h"
#include "image/text.h"

namespace velmira {
namespace {

FrameParams Params(int style, int thickness) {
  FrameParams p;
  p.style = style;
  p.thickness = thickness;
  p.first = MakeRgbq(255, 255, 255);
  p.second = MakeRgbq(0, 200, 0);
  return p;
}

TEST(FrameRules, ShadedRingsDarkenOutward) {
  const FrameParams p = Params(0, 5);
  for (int i = 0; i < 5; ++i)
    for (int side = 0; side < 4; ++side) EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, i, side, 7), i * 0.2);
  EXPECT_EQ(ScaleColour(MakeRgbq(255, 100, 10), 0.6), MakeRgbq(153, 60, 6));
  EXPECT_EQ(ClampFrameThickness(2), 5);
  EXPECT_EQ(ClampFrameThickness(-7), 5);
  EXPECT_EQ(ClampFrameThickness(6), 6);
  // A thickness under the minimum draws as the minimum.
  EXPECT_DOUBLE_EQ(FrameFactor(Params(0, 2), 100, 80, 1, 0, 0), 0.2);
}

TEST(FrameRules, BevelRampsAndCaps) {
  const FrameParams p = Params(1, 10);
  // First and second sides: column ÷ (W − i) + 0.2, at most 1.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 0), 0.2);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 40), 0.6);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 1, 99), 1.0);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 2, 0, 0), 2.0 / 98 + 0.2);  // column 2 on ring 2
  // Third side: i ÷ T − 0.2, never negative.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 1, 2, 5), 0.0);
  EXPECT_NEAR(FrameFactor(p, 100, 80, 6, 2, 5), 0.4, 1e-12);
  // Fourth side: (T − i) ÷ T + 0.8, at most 1.3, and components capped at 255.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 3, 5), 1.3);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 8, 3, 5), 1.0);
  EXPECT_EQ(ScaleColour(MakeRgbq(250, 100, 0), 1.3), MakeRgbq(255, 130, 0));
}

TEST(FrameRules, TwoColourBevelHasATentBandInside) {
  const FrameParams p = Params(2, 10);
  bool band = true;
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 0, &band), 0.2);  // outer half: the bevel
  EXPECT_FALSE(band);
  // Inner half (rings 5…9, c = 2.5): 0.2, 0.6, 1, 0.6, 0.2.
  const double expected[5] = {0.2, 0.6, 1.0, 0.6, 0.2};
  for (int k = 0; k < 5; ++k) {
    EXPECT_NEAR(FrameFactor(p, 100, 80, 5 + k, 1, 3, &band), expected[k], 1e-12) << k;
    EXPECT_TRUE(band);
  }
}

TEST(FrameRules, LitSidesFadeTowardTheCorners) {
  const FrameParams p = Params(3, 10);
  // W = 100, ring 0: h = 50. Middle at full colour, the ends at half.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 50), 1.0);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 1, 25), 1.0);
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 0, 0, 10), 0.7);
  // Sides use the height: H = 80, ring 10 → h = 30.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 80, 10, 2, 0), 0.5);
  // A one-pixel side has no middle; it is not a division by zero.
  EXPECT_DOUBLE_EQ(FrameFactor(p, 100, 21, 10, 2, 0), 1.0);
}

class FrameDoc : public testing_support::ToolFixture {
 protected:
  FrameDoc() { width = 40, height = 30; }
  int FrameLayers() {
    int n = 0;
    for (int s : L().Chain()) n += L().slots[s].name.Get() == Utf8ToUtf16(kFrameLayerName);
    return n;
  }
};

TEST_F(FrameDoc, ThicknessFiveStyleZeroGivesFiveRings) {
  ASSERT_TRUE(ApplyPhotoFrame(*doc, Params(0, 5)));
  EXPECT_EQ(FrameLayers(), 1);
  EXPECT_EQ(Utf16ToUtf8(Active().name.Get()), kFrameLayerName);
  EXPECT_EQ(LastLabel(), kLabelFrame);
  for (int i = 0; i < 5; ++i) {
    const int v = int(255 * (i * 0.2));
    EXPECT_EQ(Colour(i, 15), MakeRgbq(v, v, v)) << "left ring " << i;
    EXPECT_EQ(Colour(39 - i, 15), MakeRgbq(v, v, v)) << "right ring " << i;
    EXPECT_EQ(Colour(20, i), MakeRgbq(v, v, v)) << "top ring " << i;
    EXPECT_EQ(Alpha(20, 29 - i), 255);
  }
  EXPECT_EQ(Alpha(5, 15), 0);
  EXPECT_EQ(Alpha(20, 20), 0);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(FrameLayers(), 0);
}

TEST_F(FrameDoc, ASecondFrameReplacesTheFirst) {
  ASSERT_TRUE(ApplyPhotoFrame(*doc, Params(0, 12)));
  ASSERT_TRUE(doc->SetActiveLayer(L().bottom));  // found again by name, not by being active
  ASSERT_TRUE(ApplyPhotoFrame(*doc, Params(3, 5)));
  EXPECT_EQ(FrameLayers(), 1);
  EXPECT_EQ(L().LayerCount(), 2);
  EXPECT_EQ(Alpha(8, 15), 0) << "a ring of the first, thicker frame is left";
  EXPECT_EQ(Alpha(4, 15), 255);
}

TEST_F(FrameDoc, AFrameThickerThanHalfTheCanvasLeavesInnerRingsEmpty) {
  FrameParams p = Params(0, 1000000);
  ASSERT_TRUE(ApplyPhotoFrame(*doc, p));
  // Rings 0…14 fill the 30-row canvas; nothing inside out overwrites the outer rings.
  EXPECT_EQ(Colour(20, 0), MakeRgbq(0, 0, 0));
  EXPECT_EQ(Colour(20, 29), MakeRgbq(0, 0, 0));
  EXPECT_EQ(Colour(0, 29), MakeRgbq(0, 0, 0));
  EXPECT_EQ(Alpha(20, 15), 255);
  EXPECT_EQ(Colour(20, 14), MakeRgbq(0, 0, 0));  // 14 ÷ 1 000 000 of white
}

TEST_F(FrameDoc, TheModeRedrawsFromTheBackupAndRecordsOnceAtTheEnd) {
  const int start = doc->History().Step();
  PhotoFrameSession s(*doc);
  ASSERT_TRUE(s.Begin());
  ASSERT_TRUE(s.Apply(Params(0, 5)));
  ASSERT_TRUE(s.Apply(Params(1, 8)));
  ASSERT_TRUE(s.Apply(Params(2, 6)));
  EXPECT_EQ(doc->History().Step(), start) << "no step while the mode lasts";
  EXPECT_EQ(FrameLayers(), 1);
  s.End();
  EXPECT_EQ(doc->History().Step(), start + 1);
  EXPECT_EQ(LastLabel(), kLabelFrame);
  EXPECT_EQ(Alpha(6, 15), 0);
  EXPECT_EQ(Alpha(5, 15), 255);
  s.End();  // ending twice records nothing more
  EXPECT_EQ(doc->History().Step(), start + 1);
  // A mode left without drawing records nothing.
  PhotoFrameSession idle(*doc);
  ASSERT_TRUE(idle.Begin());
  idle.End();
  EXPECT_EQ(doc->History().Step(), start + 1);
}

}  // namespace
}  // namespace velmira
