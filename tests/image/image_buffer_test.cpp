#include "image/image_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "image/le_bytes.h"

namespace velmira {
namespace {

TEST(ImageBuffer, AllocateRoundsDepthAndPadsRows) {
  CImageBuffer img;
  const struct {
    int asked, got;
  } depths[] = {{0, 1}, {2, 4}, {3, 4}, {5, 8}, {16, 24}, {24, 24}, {25, 32}, {32, 32}, {40, 32}};
  for (auto d : depths) {
    ASSERT_NE(img.Allocate(3, 2, d.asked, kFormatBmp), nullptr) << d.asked;
    EXPECT_EQ(img.Bpp(), d.got) << d.asked;
  }
  img.Allocate(9, 1, 1, kFormatBmp);
  EXPECT_EQ(img.Stride(), 4);
  EXPECT_EQ(img.ColoursUsed(), 2);
  img.Allocate(3, 1, 24, kFormatBmp);
  EXPECT_EQ(img.Stride(), 12);
  img.Allocate(5, 3, 4, kFormatBmp);
  EXPECT_EQ(img.TotalSize(), 40u + 16 * 4 + 4 * 3);
  EXPECT_EQ(img.Allocate(0, 5, 24, kFormatBmp), nullptr);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.Allocate(1 << 20, 1 << 20, 32, kFormatBmp), nullptr);  // overflows int32 sizes
}

TEST(ImageBuffer, NewBufferIsWhiteIncludingPadding) {
  CImageBuffer img;
  img.Allocate(5, 4, 24, kFormatBmp);  // 15 bytes of pixels, 1 of padding per row
  ASSERT_EQ(img.Stride(), 16);
  for (size_t i = 0; i < img.ImageSize(); ++i) ASSERT_EQ(img.Pixels()[i], 255) << i;
  EXPECT_EQ(img.Ext().xDpi, 72);
  EXPECT_EQ(img.Header().xPelsPerMeter, 2835);
  EXPECT_EQ(img.Ext().jpegQuality, 150);
  EXPECT_EQ(img.Ext().transparentIndex, -1);
}

TEST(ImageBuffer, IndexPackingAndOutsideReads) {
  CImageBuffer one;
  one.Allocate(10, 2, 1, kFormatBmp);
  std::memset(one.Pixels(), 0, one.ImageSize());
  one.WriteIndex(0, 0, 1);
  one.WriteIndex(9, 1, 1);
  EXPECT_EQ(one.Row(0)[0], 0x80);       // leftmost pixel in the top bit
  EXPECT_EQ(one.Row(1)[1], 0x40);       // pixel 9 is bit 6 of the second byte
  EXPECT_EQ(one.ReadIndex(9, 1), 1);
  EXPECT_EQ(one.ReadIndex(8, 1), 0);
  EXPECT_EQ(one.ReadIndex(-1, 0), 0);
  one.Ext().transparentIndex = 1;
  EXPECT_EQ(one.ReadIndex(-1, 0), 1);

  CImageBuffer four;
  four.Allocate(3, 1, 4, kFormatBmp);
  std::memset(four.Pixels(), 0, four.ImageSize());
  four.WriteIndex(0, 0, 0xA);
  four.WriteIndex(1, 0, 0x5);
  EXPECT_EQ(four.Row(0)[0], 0xA5);  // left pixel in the high nibble
  four.SetPaletteEntry(5, 10, 20, 30);
  EXPECT_EQ(four.ReadColor(1, 0), MakeRgbq(10, 20, 30));
  four.Ext().transparentIndex = 5;
  EXPECT_EQ(four.ReadColor(7, 7), MakeRgbq(10, 20, 30));  // outside: the transparent entry
  four.SetPaletteEntry(16, 1, 1, 1);  // beyond colours used: ignored
  EXPECT_EQ(four.PaletteEntry(16), 0u);

  CImageBuffer rgb;
  rgb.Allocate(4, 4, 24, kFormatBmp);
  rgb.Ext().transparentColour = MakeRgbq(1, 2, 3);
  EXPECT_EQ(rgb.ReadColor(4, 0), MakeRgbq(1, 2, 3));
}

TEST(ImageBuffer, WriteColorSquareMustFit) {
  CImageBuffer rgb;
  rgb.Allocate(6, 6, 24, kFormatBmp);
  std::vector<uint8_t> before(rgb.Pixels(), rgb.Pixels() + rgb.ImageSize());
  rgb.WriteColor(4, 0, MakeRgbq(0, 0, 0), 3);  // two pixels from the right edge
  EXPECT_TRUE(std::equal(before.begin(), before.end(), rgb.Pixels()));
  rgb.WriteColor(1, 1, MakeRgbq(10, 20, 30), 0);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), rgb.Pixels()));
  rgb.WriteColor(3, 3, MakeRgbq(10, 20, 30), 3);  // 24 bits: only the one pixel
  EXPECT_EQ(rgb.ReadColor(3, 3), MakeRgbq(10, 20, 30));
  EXPECT_EQ(rgb.ReadColor(4, 4), MakeRgbq(255, 255, 255));

  CImageBuffer pal;
  pal.Allocate(4, 4, 8, kFormatBmp);
  pal.MakeGreyPalette();
  pal.WriteColor(1, 1, MakeRgbq(100, 100, 100), 2);  // paletted: the whole square
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 2; ++x) EXPECT_EQ(pal.ReadIndex(x, y), 100);
  EXPECT_EQ(pal.ReadIndex(3, 3), 255);
}

TEST(ImageBuffer, PalettesAndNearestIndex) {
  CImageBuffer img;
  img.Allocate(2, 2, 4, kFormatBmp);
  img.MakeGreyPalette();
  EXPECT_EQ(img.PaletteEntry(15), MakeRgbq(255, 255, 255));
  EXPECT_EQ(img.PaletteEntry(1), MakeRgbq(17, 17, 17));
  EXPECT_FALSE(img.IsGreyPalette());  // steps of 17, not of 1
  CImageBuffer g8;
  g8.Allocate(1, 1, 8, kFormatBmp);
  g8.MakeGreyPalette();
  EXPECT_TRUE(g8.IsGreyPalette());

  img.SetPaletteEntry(3, 9, 9, 9);
  img.SetPaletteEntry(7, 9, 9, 9);
  EXPECT_EQ(img.NearestIndex(MakeRgbq(9, 9, 9)), 3);  // first occurrence wins
  img.SetPaletteEntry(3, 200, 0, 0);
  img.SetPaletteEntry(7, 0, 0, 200);
  EXPECT_EQ(img.NearestIndex(MakeRgbq(190, 0, 0)), 3);
  // Ties keep the lower index.
  img.SetPaletteEntry(2, 50, 0, 0);
  img.SetPaletteEntry(4, 70, 0, 0);
  for (int i : {0, 1, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15}) img.SetPaletteEntry(i, 255, 255, 255);
  img.SetPaletteEntry(7, 255, 255, 255);
  img.SetPaletteEntry(3, 255, 255, 255);
  EXPECT_EQ(img.NearestIndex(MakeRgbq(60, 0, 0)), 2);

  const uint8_t red[3] = {1, 2, 3};
  CImageBuffer ch;
  ch.Allocate(1, 1, 1, kFormatBmp);
  ch.LoadPaletteChannels(3, red);  // only two entries exist; green and blue follow red
  EXPECT_EQ(ch.PaletteEntry(1), MakeRgbq(2, 2, 2));
}

TEST(ImageBuffer, PackedDibRoundTripKeepsMarkerAndResolution) {
  CImageBuffer img;
  img.Allocate(3, 2, 32, kFormatBmp);
  img.SetResolution(300, 150);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = img.Row(y) + 4 * x;
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 7, p[3] = uint8_t(10 * x + y);
    }
  img.SetXPelsPerMeter(-2);
  const std::vector<uint8_t> dib = img.ToGlobalMemory();
  ASSERT_EQ(dib.size(), img.TotalSize());
  EXPECT_EQ(GetI32(dib.data() + 24), -2);
  EXPECT_EQ(GetI32(dib.data() + 28), 5906);  // 150 dpi
  CImageBuffer back;
  ASSERT_TRUE(back.FromGlobalMemory(dib.data(), dib.size()));
  EXPECT_EQ(back.Bpp(), 32);
  EXPECT_EQ(back.Header().xPelsPerMeter, -2);
  EXPECT_EQ(back.Ext().yDpi, 150);
  EXPECT_EQ(0, std::memcmp(back.Pixels(), img.Pixels(), img.ImageSize()));
}

TEST(ImageBuffer, FromGlobalMemoryHandlesTopDownBitfieldsAndRejectsTruncation) {
  // A top-down 2 × 2 16-bit 5-6-5 DIB with bit-field masks after the header.
  std::vector<uint8_t> dib(40 + 12 + 2 * 4, 0);
  PutU32(&dib[0], 40);
  PutI32(&dib[4], 2);
  PutI32(&dib[8], -2);
  PutU16(&dib[12], 1);
  PutU16(&dib[14], 16);
  PutU32(&dib[16], 3);
  PutU32(&dib[40], 0xF800);
  PutU32(&dib[44], 0x07E0);
  PutU32(&dib[48], 0x001F);
  PutU16(&dib[52], 0xF800);  // first stored row = top row: red, blue
  PutU16(&dib[54], 0x001F);
  PutU16(&dib[56], 0x07E0);  // bottom row: green, black
  CImageBuffer img;
  ASSERT_TRUE(img.FromGlobalMemory(dib.data(), dib.size()));
  EXPECT_EQ(img.Bpp(), 24);
  EXPECT_EQ(img.ReadColor(0, 1), MakeRgbq(248, 0, 0));  // top row is stored last
  EXPECT_EQ(img.ReadColor(1, 1), MakeRgbq(0, 0, 248));
  EXPECT_EQ(img.ReadColor(0, 0), MakeRgbq(0, 252, 0));

  dib.resize(dib.size() - 1);
  EXPECT_FALSE(img.FromGlobalMemory(dib.data(), dib.size()));
  const uint8_t tiny[10] = {};
  EXPECT_FALSE(img.FromGlobalMemory(tiny, sizeof tiny));
}

TEST(ImageBuffer, FlipMirrorAndDepthConversions) {
  CImageBuffer img;
  img.Allocate(3, 2, 4, kFormatBmp);
  for (int x = 0; x < 3; ++x) img.WriteIndex(x, 0, x + 1), img.WriteIndex(x, 1, x + 4);
  img.MirrorColumns();
  EXPECT_EQ(img.ReadIndex(0, 0), 3);
  EXPECT_EQ(img.ReadIndex(2, 1), 4);
  img.FlipRows();
  EXPECT_EQ(img.ReadIndex(0, 0), 6);
  EXPECT_EQ(img.ReadIndex(0, 1), 3);

  CImageBuffer rgba;
  rgba.Allocate(2, 1, 32, kFormatBmp);
  const uint8_t px[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::memcpy(rgba.Pixels(), px, 8);
  ASSERT_TRUE(rgba.Convert32To24());
  EXPECT_EQ(rgba.Bpp(), 24);
  EXPECT_EQ(rgba.ReadColor(1, 0), MakeRgbq(7, 6, 5));

  // The composition cache becomes 24-bit rows, white where there is none.
  CImageBuffer c;
  std::vector<uint8_t> out(size_t(StrideFor(2, 24)) * 2, 0);
  EXPECT_EQ(c.CacheTo24(out.data(), 2, 2), -1);
  EXPECT_EQ(out[0], 255);
  c.CompositionCache().assign(2 * 2 * 4, 9);
  c.SetCacheSize(2, 2);
  EXPECT_EQ(c.CacheTo24(out.data(), 2, 2), 0);
  EXPECT_EQ(out[5], 9);
  EXPECT_EQ(out[6], 255);  // row padding stays white
}

TEST(ImageBuffer, TakeOverMovesAndEmptiesSource) {
  CImageBuffer a, b;
  a.Allocate(4, 4, 24, kFormatJpeg);
  a.WriteColor(1, 1, MakeRgbq(1, 2, 3));
  b.TakeOver(a);
  EXPECT_FALSE(a.IsValid());
  EXPECT_EQ(b.ReadColor(1, 1), MakeRgbq(1, 2, 3));
  EXPECT_EQ(b.FormatType(), kFormatJpeg);
  CImageBuffer c;
  ASSERT_TRUE(c.CopyFrom(b, false));
  EXPECT_EQ(c.ReadColor(1, 1), MakeRgbq(1, 2, 3));
  EXPECT_TRUE(b.IsValid());
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

TEST(ImageBuffer, AbsurdResolutionsAreClampedNotOverflowed) {
  CImageBuffer img;
  img.Allocate(1, 1, 24, kFormatBmp);
  img.SetResolution(100000000, -100000000);
  EXPECT_EQ(img.Header().xPelsPerMeter, INT32_MAX);
  EXPECT_EQ(img.Header().yPelsPerMeter, INT32_MIN);
}

}  // namespace
}  // namespace velmira
