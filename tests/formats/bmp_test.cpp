#include "formats/bmp_codec.h"

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "image/le_bytes.h"

namespace velmira {
namespace {

using namespace velmira::testing;

bool Decode(const Bytes& bytes, CImageBuffer& img) {
  CImageMemoryStream s(bytes.data(), bytes.size());
  return BmpDecode(img, s);
}

Bytes Encode(CImageBuffer& img) {
  CImageMemoryStream out;
  EXPECT_TRUE(BmpEncode(img, out));
  return out.Bytes();
}

// Stored rows of `rowBytes` bytes padded to four, bottom row first.
Bytes PadRows(const std::vector<Bytes>& rowsBottomUp) {
  Bytes out;
  for (const Bytes& r : rowsBottomUp) {
    out.insert(out.end(), r.begin(), r.end());
    while (out.size() % 4) out.push_back(0);
  }
  return out;
}

TEST(BmpRoundTrip, EveryDepthComesBackUnchanged) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE(bpp);
    CImageBuffer src;
    src.Allocate(13, 7, bpp, kFormatBmp);
    for (int i = 0; i < src.ColoursUsed(); ++i) src.SetPaletteEntry(i, i * 3 & 255, 255 - i, i * 7 & 255);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) {
        if (bpp <= 8) src.WriteIndex(x, y, (x * 3 + y) % src.ColoursUsed());
        else src.WriteColor(x, y, MakeRgbq(x * 19, y * 31, x * y));
      }
    src.SetResolution(300, 150);
    const Bytes file = Encode(src);
    // File header: "BM", total size, data offset after header and palette.
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(GetU32(file.data() + 2), file.size());
    EXPECT_EQ(GetU32(file.data() + 10), 54u + 4u * uint32_t(src.ColoursUsed()));

    CImageBuffer back;
    ASSERT_TRUE(Decode(file, back)) << back.LastError();
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 7);
    EXPECT_EQ(back.Bpp(), bpp);
    EXPECT_EQ(back.FormatType(), 0);
    EXPECT_EQ(back.Ext().xDpi, 300);
    EXPECT_EQ(back.Ext().yDpi, 150);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(back.ReadColor(x, y), src.ReadColor(x, y)) << x << "," << y;
  }
}

TEST(BmpDecodeVariants, BareDibWithShortPaletteReadsPixelsAfterIt) {
  BmpSpec s;
  s.fileHeader = false;
  s.width = 3;
  s.height = 2;
  s.bitCount = 8;
  s.coloursUsed = 3;
  s.palette = {MakeRgbq(255, 0, 0), MakeRgbq(0, 255, 0), MakeRgbq(0, 0, 255)};
  s.pixels = PadRows({{0, 1, 2}, {2, 2, 1}});
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.ReadColor(0, 0) & 0xFFFFFF, MakeRgbq(255, 0, 0));
  EXPECT_EQ(img.ReadColor(2, 0) & 0xFFFFFF, MakeRgbq(0, 0, 255));
  EXPECT_EQ(img.ReadColor(2, 1) & 0xFFFFFF, MakeRgbq(0, 255, 0));
}

TEST(BmpDecodeVariants, CoreHeaderWithThreeBytePalette) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = 2;
  s.height = 2;
  s.bitCount = 1;
  s.palette = {MakeRgbq(10, 20, 30), MakeRgbq(200, 150, 100)};
  s.pixels = PadRows({{0x40}, {0x80}});  // bottom row: 0 1; top row: 1 0
  for (bool withFileHeader : {true, false}) {
    s.fileHeader = withFileHeader;
    CImageBuffer img;
    ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
    EXPECT_EQ(img.Bpp(), 1);
    EXPECT_EQ(ScreenColor(img, 0, 1), MakeRgbq(10, 20, 30));
    EXPECT_EQ(ScreenColor(img, 1, 1), MakeRgbq(200, 150, 100));
    EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(200, 150, 100));
    EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(10, 20, 30));
  }
}

TEST(BmpDecodeVariants, CoreHeader24Bit) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = 1;
  s.height = 1;
  s.bitCount = 24;
  s.pixels = {0x11, 0x22, 0x33, 0};
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(0x33, 0x22, 0x11));
}

TEST(BmpDecodeVariants, Rle8RunsLiteralsMovesAndLineEnds) {
  BmpSpec s;
  s.width = 6;
  s.height = 3;
  s.bitCount = 8;
  s.compression = 1;
  s.pixels = {
      3, 7,                 // row 0: three 7s
      0, 3, 1, 2, 3, 0,     // literal 1 2 3 plus pad byte
      0, 0,                 // end of line
      0, 2, 2, 1,           // move 2 right, 1 up: row 2, x = 2
      2, 9,                 // two 9s at x = 2, 3
      0, 1,                 // end of bitmap
  };
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  const int row0[6] = {7, 7, 7, 1, 2, 3};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(img.ReadIndex(x, 0), row0[x]) << x;
  EXPECT_EQ(img.ReadIndex(2, 2), 9);
  EXPECT_EQ(img.ReadIndex(3, 2), 9);
  // Pixels no run reached keep the new image's fill.
  EXPECT_EQ(img.ReadIndex(0, 1), 255);
  EXPECT_EQ(img.ReadIndex(4, 2), 255);
}

TEST(BmpDecodeVariants, Rle4AlternatesNibblesAndPadsLiterals) {
  BmpSpec s;
  s.width = 8;
  s.height = 2;
  s.bitCount = 4;
  s.compression = 2;
  s.pixels = {
      5, 0x1A,           // 1 A 1 A 1
      0, 3, 0x23, 0x40,  // literal 2 3 4 (two bytes, already even)
      0, 0,              // end of line
      0, 5, 0x56, 0x78, 0x90, 0,  // literal 5 6 7 8 9: three bytes plus pad
      0, 1,
  };
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  const int row0[8] = {1, 10, 1, 10, 1, 2, 3, 4};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(img.ReadIndex(x, 0), row0[x]) << x;
  const int row1[5] = {5, 6, 7, 8, 9};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(img.ReadIndex(x, 1), row1[x]) << x;
}

TEST(BmpDecodeVariants, RunsPastTheEdgeAreClipped) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 8;
  s.compression = 1;
  s.pixels = {255, 4, 0, 255, 255, 255, 255, 0, 2, 255, 255, 0, 1};
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.ReadIndex(0, 0), 4);
  EXPECT_EQ(img.ReadIndex(1, 0), 4);
}

TEST(BmpDecodeVariants, SixteenBitDefaultMasksAre555) {
  BmpSpec s;
  s.width = 4;
  s.height = 1;
  s.bitCount = 16;
  Bytes px;
  for (uint32_t v : {0x7C00u, 0x03E0u, 0x001Fu, 0x7FFFu}) Put16(px, v);
  s.pixels = px;
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.Bpp(), 24);
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(248, 0, 0));
  EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(0, 248, 0));
  EXPECT_EQ(ScreenColor(img, 2, 0), MakeRgbq(0, 0, 248));
  EXPECT_EQ(ScreenColor(img, 3, 0), MakeRgbq(248, 248, 248));
}

TEST(BmpDecodeVariants, SixteenBitFields565InEveryHeaderSize) {
  for (uint32_t headerSize : {40u, 56u, 108u, 124u}) {
    SCOPED_TRACE(headerSize);
    BmpSpec s;
    s.headerSize = headerSize;
    s.width = 3;
    s.height = 1;
    s.bitCount = 16;
    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    Bytes px;
    for (uint32_t v : {0xF800u, 0x07E0u, 0x0821u}) Put16(px, v);
    s.pixels = px;
    CImageBuffer img;
    ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
    EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(248, 0, 0));
    EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(0, 252, 0));
    EXPECT_EQ(ScreenColor(img, 2, 0), MakeRgbq(8, 4, 8));
  }
}

TEST(BmpDecodeVariants, ThirtyTwoBitFieldsInAnyOrder) {
  // Red in the low byte and alpha on top, as some programs write with a V5 header.
  BmpSpec s;
  s.headerSize = 124;
  s.width = 2;
  s.height = 1;
  s.bitCount = 32;
  s.compression = 3;
  s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  Bytes px;
  Put32(px, 0x80332211);
  Put32(px, 0xFF0000FF);
  s.pixels = px;
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.Bpp(), 32);
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(0x11, 0x22, 0x33));
  EXPECT_EQ(RgbqX(img.ReadColor(0, 0)), 0x80);
  EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(0xFF, 0, 0));

  // Ten bits per channel keep their top eight.
  BmpSpec t;
  t.width = 1;
  t.height = 1;
  t.bitCount = 32;
  t.compression = 3;
  t.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  Bytes p2;
  Put32(p2, (1023u << 20) | (512u << 10) | 4u);
  t.pixels = p2;
  ASSERT_TRUE(Decode(BuildBmp(t), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(255, 128, 1));
}

TEST(BmpDecodeVariants, ThirtyTwoBitWithoutBitFieldsAsOtherProgramsWriteIt) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 32;
  s.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(3, 2, 1));
  EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(7, 6, 5));
}

TEST(BmpDecodeVariants, TopDownRowsEndUpTheRightWayRound) {
  // 24-bit: first stored row is the top.
  BmpSpec s;
  s.width = 1;
  s.height = -3;
  s.bitCount = 24;
  s.pixels = PadRows({{0, 0, 255}, {0, 255, 0}, {255, 0, 0}});
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.Height(), 3);
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(255, 0, 0));
  EXPECT_EQ(ScreenColor(img, 0, 2), MakeRgbq(0, 0, 255));

  // 8-bit and 16-bit too.
  s.bitCount = 8;
  s.palette.resize(256);
  s.pixels = PadRows({{1}, {2}, {3}});
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(img.ReadIndex(0, 2), 1);
  EXPECT_EQ(img.ReadIndex(0, 0), 3);

  s.bitCount = 16;
  s.palette.clear();
  Bytes a, b, c;
  Put16(a, 0x7C00);
  Put16(b, 0x03E0);
  Put16(c, 0x001F);
  s.pixels = PadRows({a, b, c});
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(248, 0, 0));
  EXPECT_EQ(ScreenColor(img, 0, 2), MakeRgbq(0, 0, 248));

  // A top-down run-length file as well.
  BmpSpec r;
  r.width = 2;
  r.height = -2;
  r.bitCount = 8;
  r.compression = 1;
  r.pixels = {2, 5, 0, 0, 2, 6, 0, 1};
  ASSERT_TRUE(Decode(BuildBmp(r), img)) << img.LastError();
  EXPECT_EQ(img.ReadIndex(0, 1), 5);  // first coded row is the top
  EXPECT_EQ(img.ReadIndex(0, 0), 6);
}

TEST(BmpDecodeVariants, MissingPaddingOfTheLastRowIsTolerated) {
  BmpSpec s;
  s.width = 1;
  s.height = 2;
  s.bitCount = 24;
  s.pixels = {1, 2, 3, 0, 4, 5, 6};  // the last row lacks its pad byte
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(6, 5, 4));
}

TEST(BmpDecodeVariants, ResolutionComesFromPixelsPerMetre) {
  BmpSpec s;
  s.width = 1;
  s.height = 1;
  s.bitCount = 24;
  s.xPels = 3780;
  s.yPels = 11811;
  s.pixels = {0, 0, 0, 0};
  CImageBuffer img;
  ASSERT_TRUE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.Ext().xDpi, 96);
  EXPECT_EQ(img.Ext().yDpi, 300);
}

TEST(BmpDecodeFailures, CompressionThatDoesNotFitTheDepth) {
  BmpSpec s;
  s.width = 1;
  s.height = 1;
  s.bitCount = 24;
  s.compression = 1;
  s.pixels = {0, 0, 0, 0};
  CImageBuffer img;
  EXPECT_FALSE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.LastError(), "unknown compression");

  s.bitCount = 8;
  s.compression = 3;
  EXPECT_FALSE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.LastError(), "compression type not supported");

  s.bitCount = 32;
  s.compression = 4;  // JPEG inside a BMP
  EXPECT_FALSE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.LastError(), "unknown compression");
}

TEST(BmpDecodeFailures, BrokenFilesFailAndLeaveThePictureAlone) {
  CImageBuffer img;
  Fill24(img, 5, 4);
  const Rgbq before = img.ReadColor(2, 2);

  BmpSpec s;
  s.width = 100;
  s.height = 100;
  s.bitCount = 24;
  s.pixels = Bytes(300, 0);  // a cut-off file
  EXPECT_FALSE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.LastError(), "BMP file is truncated");

  s.width = 30000;  // a huge picture claimed by a few bytes
  s.height = 30000;
  EXPECT_FALSE(Decode(BuildBmp(s), img));

  s.width = 40000;
  s.height = 1;
  EXPECT_FALSE(Decode(BuildBmp(s), img));
  EXPECT_EQ(img.LastError(), "invalid BMP header");

  s.width = 1;
  s.bitCount = 7;
  EXPECT_FALSE(Decode(BuildBmp(s), img));

  s.bitCount = 24;
  s.headerSize = 13;
  EXPECT_FALSE(Decode(BuildBmp(s), img));

  BmpSpec rle;  // run-length data claiming a big picture from two bytes
  rle.width = 20000;
  rle.height = 20000;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.pixels = {0, 1};
  EXPECT_FALSE(Decode(BuildBmp(rle), img));

  EXPECT_FALSE(Decode(Bytes{'B', 'M', 1, 2}, img));
  EXPECT_FALSE(Decode(Bytes{}, img));

  EXPECT_EQ(img.Width(), 5);
  EXPECT_EQ(img.Height(), 4);
  EXPECT_EQ(img.ReadColor(2, 2), before);
}

TEST(BmpEncode, WriteFailureIsReported) {
  struct FullDisk : CImageMemoryStream {
    size_t Write(const void*, size_t, size_t) override { return 0; }
  } full;
  CImageBuffer img;
  Fill24(img, 3, 3);
  EXPECT_FALSE(BmpEncode(img, full));
  EXPECT_FALSE(img.LastError().empty());
}

}  // namespace
}  // namespace velmira
