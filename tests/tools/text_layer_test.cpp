// Text layers: font heights, line counting and steps, coverage from the key colour,
// the character-width squeeze, the small-size reduction, and the layer the text
// tool makes or edits.
#include "tools/text_layer.h"

#include <gtest/gtest.h>

#include "../support/fake_rasterizer.h"
#include "../support/tool_fixture.h"

namespace velmira {
namespace {

using testing_support::FakeRasterizer;

TEST(TextRules, FontHeightClampsSmallAndHugeSizes) {
  EXPECT_EQ(TextFontHeight(2 * 2), 34);
  EXPECT_EQ(TextFontHeight(16 * 2), 34);  // a dialog size of 16 or less
  EXPECT_EQ(TextFontHeight(17 * 2), 34);
  EXPECT_EQ(TextFontHeight(20 * 2), 40);
  EXPECT_EQ(TextFontHeight(499 * 2), 998);
  EXPECT_EQ(TextFontHeight(500 * 2), 1000);  // sizes from 500 on
  EXPECT_EQ(TextFontHeight(999), 1000);
  EXPECT_EQ(TextFontHeight(2400), 1000);
  TextParams p;
  p.style = u"Bold Italic";
  p.size = 24;
  const TextFont f = MakeTextFont(p);
  EXPECT_EQ(f.weight, 700);
  EXPECT_TRUE(f.italic);
  p.style = u"Italic";
  EXPECT_EQ(MakeTextFont(p).weight, 400);
}

TEST(TextRules, LinesCountUpToTheLastNonEmptyOne) {
  EXPECT_EQ(CountTextLines(u""), 0);
  EXPECT_EQ(CountTextLines(u"\n\n"), 0);
  EXPECT_EQ(CountTextLines(u"abc"), 1);
  EXPECT_EQ(CountTextLines(u"a\n\nb"), 3);    // the empty line between counts
  EXPECT_EQ(CountTextLines(u"a\n\n\n"), 1);   // trailing line feeds do not
  EXPECT_EQ(CountTextLines(u"a\r\nb\r\n"), 2);
  const auto lines = SplitTextLines(u"a\r\n\r\nb%d");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], u"");
  EXPECT_EQ(lines[2], u"b%d");
}

TEST(TextRules, LineHeightShrinksBelowSize35AndStepHasAFloor) {
  EXPECT_EQ(TextLineHeight(40, 50), 50);
  EXPECT_EQ(TextLineHeight(35, 50), 50);
  EXPECT_EQ(TextLineHeight(34, 50), 50);
  // hA × size ÷ 34 through the single-step factor, truncated.
  EXPECT_EQ(TextLineHeight(24, 68), 47);
  EXPECT_EQ(TextLineHeight(4, 34), 3);
  EXPECT_EQ(TextLineStep(1.0, 40), 40);
  EXPECT_EQ(TextLineStep(1.5, 40), 60);
  EXPECT_EQ(TextLineStep(0.2, 40), 20);  // never below half a line
}

TEST(TextCoverage, DistanceFromTheTextColourGivesAlpha) {
  const Rgbq black = MakeRgbq(0, 0, 0);
  const int limit = TextKeyDistanceLimit(black, kTextKeyColour);
  EXPECT_EQ(limit, 160);
  EXPECT_EQ(TextAlphaOf(black, black, limit), 255);
  EXPECT_EQ(TextAlphaOf(kTextKeyColour, black, limit), 0);
  EXPECT_EQ(TextAlphaOf(MakeRgbq(25, 27, 28), black, limit), 127);
  // Bright colours measure against a shorter distance: near-key pixels drop out.
  const Rgbq white = MakeRgbq(255, 255, 255);
  const int wl = TextKeyDistanceLimit(white, kTextKeyColour);
  EXPECT_EQ(wl, int(145.0 / 255.0 * 605));
  EXPECT_EQ(TextAlphaOf(MakeRgbq(60, 60, 60), white, wl), 0);
  EXPECT_EQ(TextAlphaOf(white, white, 0), 255);
}

TEST(TextCoverage, ATextInTheKeyColourStillDrawsOnlyItsGlyphs) {
  FakeRasterizer r;
  TextFont f;
  f.height = 40;
  AlphaMap m;
  ASSERT_TRUE(RenderTextLine(r, u"X", f, kTextKeyColour, 40, 100, m));
  ASSERT_EQ(m.width, 20);
  EXPECT_EQ(m.a[0], 0) << "the background became part of the text";
  EXPECT_EQ(m.a[size_t(5) * 20 + 5], 255);
}

// A w × h bitmap in the key colour with text-coloured columns [from, to).
std::vector<uint8_t> Columns(int w, int h, int from, int to, Rgbq colour) {
  std::vector<uint8_t> b(size_t(w) * size_t(h) * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgbq c = x >= from && x < to ? colour : kTextKeyColour;
      uint8_t* p = &b[(size_t(y) * size_t(w) + size_t(x)) * 4];
      p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c)), p[3] = 255;
    }
  return b;
}

TEST(TextCoverage, CharacterWidthSqueezesColumnsLeftward) {
  const Rgbq black = 0;
  const auto b = Columns(40, 34, 30, 40, black);
  AlphaMap m;
  KeyBitmapToAlpha(b.data(), 40, 34, black, kTextKeyColour, 40, 50, m);
  ASSERT_EQ(m.width, 40);
  ASSERT_EQ(m.height, 34);
  // Columns 30…39 land on 15…19; everything right of them stays empty.
  for (int x = 0; x < 40; ++x) EXPECT_EQ(m.a[size_t(x)], x >= 15 && x < 20 ? 255 : 0) << x;
  KeyBitmapToAlpha(b.data(), 40, 34, black, kTextKeyColour, 40, 100, m);
  EXPECT_EQ(m.a[35], 255);
  EXPECT_EQ(m.a[29], 0);
  // A wider value than 100 does not stretch.
  KeyBitmapToAlpha(b.data(), 40, 34, black, kTextKeyColour, 40, 180, m);
  EXPECT_EQ(m.a[35], 255);
}

TEST(TextCoverage, SmallSizesAreReducedAndFaintSamplesDropped) {
  const Rgbq black = 0;
  const auto b = Columns(68, 34, 0, 33, black);
  AlphaMap m;
  KeyBitmapToAlpha(b.data(), 68, 34, black, kTextKeyColour, 17, 100, m);
  ASSERT_EQ(m.width, 34);
  ASSERT_EQ(m.height, 17);
  EXPECT_EQ(m.a[0], 255);
  EXPECT_EQ(m.a[15], 255);
  EXPECT_EQ(m.a[16], 127);  // samples column 32.5, half on the glyph's edge
  EXPECT_EQ(m.a[17], 0);
  // A single faint column fades under 20 after interpolation and is dropped.
  std::vector<uint8_t> faint = Columns(68, 34, 0, 0, black);
  for (int y = 0; y < 34; ++y) {
    uint8_t* p = &faint[(size_t(y) * 68 + 10) * 4];
    p[0] = p[1] = p[2] = 44;  // alpha about 50 before sampling
  }
  KeyBitmapToAlpha(faint.data(), 68, 34, black, kTextKeyColour, 10, 100, m);
  ASSERT_EQ(m.width, 20);
  for (uint8_t a : m.a) EXPECT_TRUE(a == 0 || a >= 20);
  // A size value of 0 reduces as size 1 instead of dividing by zero.
  KeyBitmapToAlpha(faint.data(), 68, 34, black, kTextKeyColour, 0, 100, m);
  EXPECT_EQ(m.width, 2);
  EXPECT_EQ(m.height, 1);
}

class TextLayerTest : public testing_support::ToolFixture {
 protected:
  TextLayerTest() { width = 200, height = 120; }
  FakeRasterizer r;
  TextParams Params(std::u16string text, int size = 40) {
    TextParams p;
    p.text = std::move(text);
    p.face = u"Noto Sans CJK KR";
    p.size = size;
    p.colour = MakeRgbq(200, 0, 0);
    return p;
  }
  // Coverage of the active layer at a canvas point (y from the top).
  int Cover(int x, int yTop) { return Alpha(x, yTop); }
};

TEST_F(TextLayerTest, NewTextMakesATextLayerAboveTheActiveOne) {
  const int below = L().active;
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, Params(u"AB"), 10, 5));
  Layer& l = Active();
  EXPECT_NE(L().active, below);
  EXPECT_EQ(l.below, below);
  EXPECT_EQ(l.kind, kLayerText);
  EXPECT_EQ(LastLabel(), kLabelTextNew);
  EXPECT_EQ(l.textBuffer, u"AB");
  EXPECT_EQ(l.text.size, 40);
  EXPECT_EQ(l.textColour, int32_t(MakeRgbq(200, 0, 0)));
  // The first glyph's block starts one pixel right and down of the point.
  EXPECT_EQ(Cover(10, 5), 0);
  EXPECT_EQ(Cover(12, 7), 255);
  EXPECT_EQ(Cover(10 + 20 + 2, 7), 255);  // second character
  EXPECT_EQ(Cover(12, 5 + 40), 0);
  EXPECT_EQ(Colour(12, 7), MakeRgbq(200, 0, 0));
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().active, below);
  EXPECT_EQ(L().LayerCount(), 1);
}

TEST_F(TextLayerTest, EmptyLinesAdvanceAndLineSpacingScalesTheStep) {
  TextParams p = Params(u"A\n\nB\n\n");
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, p, 0, 0));
  EXPECT_EQ(Cover(5, 5), 255);
  EXPECT_EQ(Cover(5, 40 + 5), 0);       // the empty line
  EXPECT_EQ(Cover(5, 2 * 40 + 5), 255);  // B two steps down
  EXPECT_EQ(Active().textBuffer, u"A\r\n\r\nB\r\n\r\n");
  p.lineSpacing = 1.5;
  TextLayout lay;
  ASSERT_TRUE(LayoutText(r, p, lay));
  EXPECT_EQ(lay.lines, 3);
  EXPECT_EQ(lay.step, 60);
  EXPECT_EQ(lay.width, 30);  // 1.5 × the widest line
}

TEST_F(TextLayerTest, PercentSignsAreTextNotFormats) {
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, Params(u"%d%s%"), 0, 0));
  EXPECT_EQ(Active().textBuffer, u"%d%s%");
  EXPECT_EQ(Cover(4 * 20 + 5, 5), 255);  // five characters drawn
}

TEST_F(TextLayerTest, TextNearTheBottomIsLiftedToFit) {
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, Params(u"A\nB"), 50, 110));
  const Layer& l = Active();
  EXPECT_EQ(l.text.y, 2 * 40 - 1);
  EXPECT_EQ(Cover(55, height - 1 - 3), 255);  // the second line ends at the bottom
}

TEST_F(TextLayerTest, TextWiderThanTheCanvasGrowsTheLayer) {
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, Params(std::u16string(12, u'W')), 150, 0));
  EXPECT_GE(Active().width, 150 + 12 * 20);
  EXPECT_EQ(L().header.canvasWidth, 200);
}

TEST_F(TextLayerTest, SmallSizesStepByTheReducedLineHeight) {
  const TextParams p = Params(u"A\nB", 17);  // built at 34, drawn at half
  TextLayout lay;
  ASSERT_TRUE(LayoutText(r, p, lay));
  EXPECT_EQ(r.lastFont.height, 34);
  EXPECT_EQ(lay.lineHeight, 16);
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, p, 0, 0));
  EXPECT_GT(Cover(3, 3), 0);
  EXPECT_GT(Cover(3, 16 + 3), 0);
  EXPECT_EQ(Cover(3, 40), 0);
}

TEST_F(TextLayerTest, EditKeepsThePlaceAndRecordsItsOwnStep) {
  TextParams p = Params(u"AAAA");
  ASSERT_TRUE(PlaceTextAtPicturePoint(*doc, r, p, 30, 20));
  const int x = Active().text.x, y = Active().text.y;
  p.text = u"B";
  p.style = u"Bold";
  p.charWidth = 80;
  ASSERT_TRUE(EditText(*doc, r, p));
  EXPECT_EQ(LastLabel(), kLabelTextEdit);
  EXPECT_EQ(Active().text.x, x);
  EXPECT_EQ(Active().text.y, y);
  EXPECT_EQ(Cover(33, 23), 255);
  EXPECT_EQ(Cover(30 + 3 * 20 + 5, 25), 0) << "the old text is still there";
  const TextParams back = TextParamsOf(Active());
  EXPECT_EQ(back.text, u"B");
  EXPECT_EQ(back.style, u"Bold");
  EXPECT_EQ(back.charWidth, 80);
  EXPECT_EQ(back.face, u"Noto Sans CJK KR");
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Active().textBuffer, u"AAAA");
  EXPECT_EQ(Cover(30 + 3 * 20 + 5, 25), 255);
}

TEST_F(TextLayerTest, EmptyTextAndNonTextLayersChangeNothing) {
  const int step = doc->History().Step();
  EXPECT_FALSE(PlaceTextAtPicturePoint(*doc, r, Params(u"\n\n"), 5, 5));
  EXPECT_FALSE(EditText(*doc, r, Params(u"A")));  // the background is not text
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(doc->History().Step(), step);
}

TEST_F(TextLayerTest, LongFaceNamesAndSettingsSurviveTheRecord) {
  TextParams p = Params(u"x");
  p.face = u"A Face Name Longer Than Twenty-Four Units";
  p.lineSpacing = 1.7;
  p.underline = true;
  p.style = u"Italic";
  Layer l;
  StoreTextSettings(l, p);
  const TextParams back = TextParamsOf(l);
  EXPECT_EQ(back.face, p.face);
  EXPECT_DOUBLE_EQ(back.lineSpacing, 1.7);
  EXPECT_TRUE(back.underline);
  EXPECT_FALSE(back.strikeOut);
  EXPECT_EQ(back.style, u"Italic");
}

}  // namespace
}  // namespace velmira
