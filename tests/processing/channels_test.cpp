#include <gtest/gtest.h>

#include "image/text.h"
#include "processing/doc_commands.h"
#include "processing_fixture.h"

namespace velmira {
namespace {

using testing_support::DocFixture;

TEST(ChannelValues, PureAndGreyColours) {
  const YuvValue red = RgbToYuv(255, 0, 0);
  EXPECT_EQ(red.y, 76);
  EXPECT_EQ(red.u, 85);
  EXPECT_EQ(red.v, 255);
  const YuvValue grey = RgbToYuv(100, 100, 100);
  EXPECT_EQ(grey.y, 100);
  EXPECT_EQ(grey.u, 128);
  EXPECT_EQ(grey.v, 128);
  const YuvValue blue = RgbToYuv(0, 0, 255);
  EXPECT_EQ(blue.y, 29);   // 0.114 × 255 = 29.07
  EXPECT_EQ(blue.u, 255);  // 226 × 0.565 + 128 clamps
  EXPECT_EQ(blue.v, 107);  // −29 × 0.713 + 128 = 107.3

  const HslValue r = RgbToHsl(255, 0, 0);
  EXPECT_EQ(r.h, 0);
  EXPECT_EQ(r.s, 255);
  EXPECT_EQ(r.l, 128);
  const HslValue g = RgbToHsl(100, 100, 100);
  EXPECT_EQ(g.h, 170);
  EXPECT_EQ(g.s, 0);
  EXPECT_EQ(g.l, 100);
  const HslValue b = RgbToHsl(0, 0, 255);
  EXPECT_EQ(b.h, 170);
  EXPECT_EQ(b.l, 128);
  EXPECT_EQ(RgbToHsl(0, 255, 0).h, 85);
  // Red is the largest first, so magenta's hue is 0 − 42, stored as a byte.
  EXPECT_EQ(RgbToHsl(255, 0, 255).h, 214);
  EXPECT_EQ(RgbToHsl(255, 0, 128).h, uint8_t(-21));
  // Dark and light saturation formulas: (d × 255 + sum / 2) / sum below the middle.
  const HslValue dark = RgbToHsl(60, 20, 20);
  EXPECT_EQ(dark.l, 40);
  EXPECT_EQ(dark.s, (40 * 255 + 40) / 80);
  const HslValue light = RgbToHsl(250, 200, 200);
  EXPECT_EQ(light.l, 225);
  EXPECT_EQ(light.s, (50 * 255 + 30) / 60);
}

class Channels : public DocFixture {};

TEST_F(Channels, PlanesFollowTheLayerAndItsOutsideColour) {
  Make(3, 2, [](int x, int y) { return MakeRgbq(10 * x, 100 + y, 255 - x); });
  CImageBuffer planes[3];
  ASSERT_TRUE(SplitPlanes(L(), L().active, doc->ViewImage(), ChannelSet::Rgb, planes));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(planes[i].Bpp(), 8);
    EXPECT_TRUE(planes[i].IsGreyPalette());
  }
  EXPECT_EQ(planes[0].ReadIndex(2, 1), 20);
  EXPECT_EQ(planes[1].ReadIndex(2, 1), 101);
  EXPECT_EQ(planes[2].ReadIndex(2, 1), 253);
  // A layer moved right leaves canvas positions past its edge to the outside colour.
  doc->ViewImage()->Ext().transparentColour = MakeRgbq(7, 8, 9);
  L().Active()->width = 2;
  L().Active()->pixelCount = 4;
  L().Active()->alpha.resize(4);
  ASSERT_TRUE(SplitPlanes(L(), L().active, doc->ViewImage(), ChannelSet::Rgb, planes));
  EXPECT_EQ(planes[0].ReadIndex(2, 0), 7);
  EXPECT_EQ(planes[2].ReadIndex(2, 0), 9);
}

TEST_F(Channels, DocumentsTitledWithTheSharedCounter) {
  Make(4, 3, [](int, int) { return MakeRgbq(255, 0, 0); });
  std::vector<CMirvDoc*> made;
  const int start = doc->Frame().channelCounter;
  ASSERT_TRUE(SplitToDocuments(*doc, ChannelSet::Yuv, &made));
  ASSERT_TRUE(SplitToDocuments(*doc, ChannelSet::Hsl, &made));
  ASSERT_EQ(made.size(), 6u);
  EXPECT_EQ(made[0]->Name(), Format("Y Channel %d from %s", start + 1, doc->Name().c_str()));
  EXPECT_EQ(made[2]->Name(), Format("V Channel %d from %s", start + 3, doc->Name().c_str()));
  EXPECT_EQ(made[3]->Name(), Format("Hue Channel %d from %s", start + 4, doc->Name().c_str()));
  EXPECT_EQ(made[5]->Name(), Format("Lightness Channel %d from %s", start + 6, doc->Name().c_str()));
  EXPECT_EQ(Utf16ToUtf8(made[4]->Layers().header.title.Get()), made[4]->Name());
  auto pixel = [](CMirvDoc* d) { return Get(*d->Layers().Get(d->Layers().bottom), 1, 1); };
  EXPECT_EQ(pixel(made[0]), MakeRgbq(76, 76, 76));
  EXPECT_EQ(pixel(made[1]), MakeRgbq(85, 85, 85));
  EXPECT_EQ(pixel(made[2]), MakeRgbq(255, 255, 255));
  EXPECT_EQ(pixel(made[3]), MakeRgbq(0, 0, 0));
  EXPECT_EQ(pixel(made[4]), MakeRgbq(255, 255, 255));
  EXPECT_EQ(pixel(made[5]), MakeRgbq(128, 128, 128));
  // The plane is the new document's starting picture: nothing to undo.
  EXPECT_FALSE(made[0]->History().CanUndo());
  // The source document is unchanged.
  EXPECT_EQ(At(1, 1), MakeRgbq(255, 0, 0));
}

}  // namespace
}  // namespace velmira
