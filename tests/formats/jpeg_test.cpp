#include "formats/jpeg_codec.h"

#include <gtest/gtest.h>

#include "codec_test_support.h"

namespace velmira {
namespace {

using namespace velmira::testing;

bool Decode(const Bytes& bytes, CImageBuffer& img) {
  CImageMemoryStream s(bytes.data(), bytes.size());
  return JpegDecode(img, s);
}

Bytes Encode(CImageBuffer& img) {
  CImageMemoryStream out;
  EXPECT_TRUE(JpegEncode(img, out)) << img.LastError();
  return out.Bytes();
}

// Smooth content survives JPEG coding closely; the bound catches swapped channels,
// flipped rows and shifted pixels, which all move values by far more.
void ExpectClose(const CImageBuffer& a, const CImageBuffer& b, int tolerance) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) worst = std::max(worst, MaxChannelDiff(ScreenColor(a, x, y), ScreenColor(b, x, y)));
  EXPECT_LE(worst, tolerance);
}

void SmoothPicture(CImageBuffer& img, int w, int h, int bpp = 24) {
  img.Allocate(w, h, bpp, kFormatBmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.WriteColor(x, h - 1 - y, MakeRgbq(x * 255 / (w - 1), y * 255 / (h - 1), 128 + (x - y) / 4));
}

TEST(JpegRoundTrip, ColourPictureKeepsOrientationAndChannels) {
  CImageBuffer src;
  SmoothPicture(src, 67, 45);
  const Bytes file = Encode(src);
  const JpegFacts facts = InspectJpeg(file);
  EXPECT_EQ(facts.components, 3);
  EXPECT_FALSE(facts.progressive);
  CImageBuffer back;
  ASSERT_TRUE(Decode(file, back)) << back.LastError();
  EXPECT_EQ(back.Bpp(), 24);
  EXPECT_EQ(back.FormatType(), kFormatJpeg);
  ExpectClose(src, back, 6);
}

TEST(JpegRoundTrip, ThirtyTwoBitPicturesDropTheirFourthByte) {
  CImageBuffer src;
  SmoothPicture(src, 64, 48, 32);
  CImageBuffer back;
  ASSERT_TRUE(Decode(Encode(src), back)) << back.LastError();
  ExpectClose(src, back, 6);
}

TEST(JpegQuality, ByteAbove100IsWrittenAs100AndBaselineIsForced) {
  CImageBuffer src;
  SmoothPicture(src, 16, 16);
  ASSERT_EQ(src.Ext().jpegQuality, 150);
  JpegFacts f = InspectJpeg(Encode(src));
  EXPECT_EQ(f.maxLumaQuant, 1);  // quality 100: every quantiser is 1

  src.Ext().jpegQuality = 50;
  f = InspectJpeg(Encode(src));
  EXPECT_EQ(f.firstLumaQuant, 16);  // the standard table at 50

  // At quality 1 unconstrained tables would exceed 255; baseline caps them.
  src.Ext().jpegQuality = 1;
  f = InspectJpeg(Encode(src));
  EXPECT_EQ(f.maxLumaQuant, 255);
}

TEST(JpegGrey, GreyRampPaletteWritesOneComponent) {
  CImageBuffer src;
  src.Allocate(32, 8, 8, kFormatBmp);
  src.MakeGreyPalette();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 32; ++x) src.WriteIndex(x, y, x * 8);
  const Bytes file = Encode(src);
  EXPECT_EQ(InspectJpeg(file).components, 1);
  CImageBuffer back;
  ASSERT_TRUE(Decode(file, back)) << back.LastError();
  EXPECT_EQ(back.Bpp(), 8);
  EXPECT_TRUE(back.IsGreyPalette());
  ExpectClose(src, back, 3);
}

TEST(JpegGrey, OtherPalettesAreRefusedWithoutWriting) {
  CImageBuffer src;
  src.Allocate(4, 4, 8, kFormatBmp);
  src.MakeGreyPalette();
  src.SetPaletteEntry(7, 255, 0, 0);
  CImageMemoryStream out;
  EXPECT_FALSE(JpegEncode(src, out));
  EXPECT_EQ(src.LastError(), "JPEG can save only RGB or GreyScale images");
  EXPECT_TRUE(out.Bytes().empty());
}

TEST(JpegGrey, BilevelGreyTestPaletteIsExpandedToBytes) {
  CImageBuffer src;
  src.Allocate(9, 2, 1, kFormatBmp);
  src.SetPaletteEntry(0, 0, 0, 0);
  src.SetPaletteEntry(1, 1, 1, 1);  // the grey-ramp test passes for index = level
  CImageBuffer back;
  ASSERT_TRUE(Decode(Encode(src), back)) << back.LastError();
  EXPECT_EQ(back.Width(), 9);
  EXPECT_LE(RgbqR(back.ReadColor(3, 1)), 2);
}

TEST(JpegDecodeVariants, FilesWrittenByLibjpegInEveryCommonShape) {
  struct Case {
    const char* name;
    bool progressive;
    int restartRows;
    bool fullChroma;
    int w, h;
  } cases[] = {
      {"baseline 4:2:0", false, 0, false, 40, 24},
      {"progressive", true, 0, false, 33, 17},
      {"restart markers", false, 1, true, 48, 32},
      {"one pixel", false, 0, false, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JpegSpec s;
    s.width = c.w;
    s.height = c.h;
    s.quality = 98;
    s.progressive = c.progressive;
    s.restartRows = c.restartRows;
    s.fullChroma = c.fullChroma;
    // Flat quadrants: red, green, blue, white from the top-left.
    const auto quadrant = [&](int x, int y) {
      const bool right = x >= c.w / 2, bottom = y >= c.h / 2;
      return !right && !bottom ? MakeRgbq(255, 0, 0) : right && !bottom ? MakeRgbq(0, 255, 0)
                                                      : !right ? MakeRgbq(0, 0, 255) : MakeRgbq(255, 255, 255);
    };
    s.pixel = [&](int x, int y, uint8_t* px) {
      const Rgbq q = quadrant(x, y);
      px[0] = uint8_t(RgbqR(q));
      px[1] = uint8_t(RgbqG(q));
      px[2] = uint8_t(RgbqB(q));
    };
    CImageBuffer img;
    ASSERT_TRUE(Decode(WriteJpeg(s), img)) << img.LastError();
    ASSERT_EQ(img.Width(), c.w);
    ASSERT_EQ(img.Height(), c.h);
    // Away from the edges between quadrants the colours are close to exact.
    for (int y : {0, c.h - 1})
      for (int x : {0, c.w - 1}) EXPECT_LE(MaxChannelDiff(ScreenColor(img, x, y), quadrant(x, y)), 40) << x << "," << y;
  }
}

TEST(JpegDecodeVariants, GreyscaleFileBecomesGreyPaletteImage) {
  JpegSpec s;
  s.width = 16;
  s.height = 16;
  s.components = 1;
  s.inSpace = JCS_GRAYSCALE;
  s.pixel = [](int x, int, uint8_t* px) { px[0] = x < 8 ? 30 : 220; };
  CImageBuffer img;
  ASSERT_TRUE(Decode(WriteJpeg(s), img)) << img.LastError();
  EXPECT_EQ(img.Bpp(), 8);
  EXPECT_NEAR(img.ReadIndex(2, 5), 30, 3);
  EXPECT_NEAR(img.ReadIndex(13, 5), 220, 3);
}

TEST(JpegDecodeVariants, AdobeCmykAndYcckBecomeRgb) {
  // Adobe's convention: inks stored inverted (255 = no ink), marked by the Adobe
  // segment libjpeg writes for four-component files.
  for (J_COLOR_SPACE fileSpace : {JCS_CMYK, JCS_YCCK}) {
    SCOPED_TRACE(fileSpace == JCS_CMYK ? "CMYK" : "YCCK");
    JpegSpec s;
    s.width = 16;
    s.height = 8;
    s.components = 4;
    s.inSpace = JCS_CMYK;
    s.fileSpace = fileSpace;
    s.quality = 100;
    s.pixel = [](int x, int, uint8_t* px) {
      // Left: red (magenta and yellow ink). Right: 50 % grey (black ink only).
      const bool left = x < 8;
      px[0] = 255;
      px[1] = left ? 0 : 255;
      px[2] = left ? 0 : 255;
      px[3] = left ? 255 : 128;
    };
    CImageBuffer img;
    ASSERT_TRUE(Decode(WriteJpeg(s), img)) << img.LastError();
    EXPECT_EQ(img.Bpp(), 24);
    EXPECT_LE(MaxChannelDiff(ScreenColor(img, 2, 3), MakeRgbq(255, 0, 0)), 4);
    EXPECT_LE(MaxChannelDiff(ScreenColor(img, 13, 3), MakeRgbq(128, 128, 128)), 4);
  }
}

TEST(JpegDecodeVariants, ResolutionFromTheJfifHeader) {
  JpegSpec s;
  s.width = 8;
  s.height = 8;
  s.densityUnit = 1;
  s.xDensity = 300;
  s.yDensity = 200;
  s.pixel = [](int, int, uint8_t* px) { px[0] = px[1] = px[2] = 9; };
  CImageBuffer img;
  ASSERT_TRUE(Decode(WriteJpeg(s), img));
  EXPECT_EQ(img.Ext().xDpi, 300);
  EXPECT_EQ(img.Ext().yDpi, 200);
  s.densityUnit = 2;  // per centimetre
  s.xDensity = s.yDensity = 118;
  ASSERT_TRUE(Decode(WriteJpeg(s), img));
  EXPECT_EQ(img.Ext().xDpi, 300);

  CImageBuffer src;
  SmoothPicture(src, 8, 8);
  src.SetResolution(254, 254);
  const JpegFacts f = InspectJpeg(Encode(src));
  EXPECT_EQ(f.densityUnit, 1);
  EXPECT_EQ(f.xDensity, 254);
}

TEST(JpegDecodeVariants, CutOffFileStillShowsTheRowsItHolds) {
  CImageBuffer src;
  SmoothPicture(src, 64, 64);
  Bytes file = Encode(src);
  file.resize(file.size() * 2 / 3);
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(img.Height(), 64);
  EXPECT_LE(MaxChannelDiff(ScreenColor(img, 10, 2), ScreenColor(src, 10, 2)), 6);
}

TEST(JpegDecodeFailures, LibraryMessagesComeBackAndThePictureStays) {
  CImageBuffer img;
  Fill24(img, 4, 4);
  const Rgbq before = img.ReadColor(1, 1);

  EXPECT_FALSE(Decode(Bytes{'B', 'M', 0, 0, 0, 0}, img));
  EXPECT_NE(img.LastError().find("Not a JPEG file"), std::string::npos) << img.LastError();

  EXPECT_FALSE(Decode(Bytes{}, img));
  EXPECT_FALSE(img.LastError().empty());

  // A header claiming 30000 × 30000 with nothing behind it.
  JpegSpec s;
  s.width = 8;
  s.height = 8;
  s.pixel = [](int, int, uint8_t* px) { px[0] = px[1] = px[2] = 0; };
  Bytes file = WriteJpeg(s);
  for (size_t i = 0; i + 8 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {  // start of frame: height, width
      file[i + 5] = 0x75;
      file[i + 6] = 0x30;
      file[i + 7] = 0x75;
      file[i + 8] = 0x30;
      break;
    }
  EXPECT_FALSE(Decode(file, img));

  EXPECT_EQ(img.Width(), 4);
  EXPECT_EQ(img.ReadColor(1, 1), before);
}

TEST(JpegEncode, WriteFailureIsReported) {
  struct FullDisk : CImageMemoryStream {
    size_t Write(const void*, size_t, size_t) override { return 0; }
  } full;
  CImageBuffer img;
  SmoothPicture(img, 300, 300);
  EXPECT_FALSE(JpegEncode(img, full));
  EXPECT_FALSE(img.LastError().empty());
}

}  // namespace
}  // namespace velmira
