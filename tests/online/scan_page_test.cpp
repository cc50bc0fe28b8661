#include "online/scan_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace velmira;
using namespace velmira::online;

namespace {

FrameParams Params(FrameKind kind, int ppl, int lines, int depth = 8, int bpl = -1, bool last = true) {
  FrameParams p;
  p.format = int(kind);
  p.pixelsPerLine = ppl;
  p.lines = lines;
  p.depth = depth;
  const int channels = kind == FrameKind::Rgb ? 3 : 1;
  p.bytesPerLine = bpl >= 0 ? bpl : (ppl * channels * depth + 7) / 8;
  p.lastFrame = last;
  return p;
}

std::unique_ptr<CImageBuffer> Assemble(const std::vector<std::pair<FrameParams, std::vector<uint8_t>>>& frames) {
  PageAssembler a;
  for (const auto& [p, bytes] : frames) {
    std::string why;
    EXPECT_TRUE(a.BeginFrame(p, &why)) << why;
    a.Append(bytes.data(), bytes.size());
    a.EndFrame();
  }
  EXPECT_TRUE(a.Complete());
  return a.TakeImage();
}

}  // namespace

TEST(ScanPage, GreyAndColourLinesBecomeBottomUpRows) {
  auto grey = Assemble({{Params(FrameKind::Gray, 3, 2), {1, 2, 3, 4, 5, 6}}});
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->Width(), 3);
  EXPECT_EQ(grey->Height(), 2);
  EXPECT_EQ(grey->Bpp(), 8);
  EXPECT_TRUE(grey->IsGreyPalette());
  // The device's first line is the picture's top row, stored last.
  EXPECT_EQ(grey->Row(1)[0], 1);
  EXPECT_EQ(grey->Row(0)[2], 6);

  auto colour = Assemble({{Params(FrameKind::Rgb, 2, 1), {10, 20, 30, 40, 50, 60}}});
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->Bpp(), 24);
  EXPECT_EQ(colour->ReadColor(0, 0), MakeRgbq(10, 20, 30));
  EXPECT_EQ(colour->ReadColor(1, 0), MakeRgbq(40, 50, 60));
}

TEST(ScanPage, DepthsAndPaddingAreUnpacked) {
  // One-bit grey marks black with a set bit.
  auto lineart = Assemble({{Params(FrameKind::Gray, 10, 1, 1), {0b10100000, 0b01000000}}});
  ASSERT_TRUE(lineart);
  const uint8_t expected[10] = {0, 255, 0, 255, 255, 255, 255, 255, 255, 0};
  EXPECT_EQ(std::memcmp(lineart->Row(0), expected, 10), 0);

  // Sixteen-bit samples keep their high byte (host order).
  std::vector<uint8_t> wide(6);
  const uint16_t samples[3] = {0x1234, 0xABCD, 0x00FF};
  std::memcpy(wide.data(), samples, 6);
  auto deep = Assemble({{Params(FrameKind::Rgb, 1, 1, 16), wide}});
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->ReadColor(0, 0), MakeRgbq(0x12, 0xAB, 0x00));

  // Bytes past the pixels of a line are padding.
  auto padded = Assemble({{Params(FrameKind::Gray, 2, 2, 8, 4), {7, 8, 99, 99, 9, 10, 99, 99}}});
  ASSERT_TRUE(padded);
  EXPECT_EQ(padded->Row(1)[0], 7);
  EXPECT_EQ(padded->Row(1)[1], 8);
  EXPECT_EQ(padded->Row(0)[0], 9);
  EXPECT_EQ(padded->Row(0)[1], 10);
}

TEST(ScanPage, ThreePassPlanesMakeOneColourPicture) {
  auto image = Assemble({{Params(FrameKind::Green, 2, 1, 8, -1, false), {5, 6}},
                         {Params(FrameKind::Red, 2, 1, 8, -1, false), {1, 2}},
                         {Params(FrameKind::Blue, 2, 1, 8, -1, true), {9, 10}}});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Bpp(), 24);
  EXPECT_EQ(image->ReadColor(0, 0), MakeRgbq(1, 5, 9));
  EXPECT_EQ(image->ReadColor(1, 0), MakeRgbq(2, 6, 10));

  // Two planes of a three-pass page are no picture.
  PageAssembler a;
  ASSERT_TRUE(a.BeginFrame(Params(FrameKind::Red, 2, 1, 8, -1, false)));
  a.Append(std::vector<uint8_t>{1, 2}.data(), 2);
  a.EndFrame();
  ASSERT_TRUE(a.BeginFrame(Params(FrameKind::Green, 2, 1, 8, -1, true)));
  a.Append(std::vector<uint8_t>{1, 2}.data(), 2);
  a.EndFrame();
  EXPECT_FALSE(a.TakeImage());
}

TEST(ScanPage, UntrustworthyParametersAreRefused) {
  PageAssembler a;
  std::string why;
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Gray, 4, 4, 4), &why));
  EXPECT_EQ(why, "unsupported bit depth");
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Rgb, 4, 4, 8, 11)));  // needs 12 bytes a line
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Gray, kMaxScanDimension + 1, 4)));
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Gray, 4, kMaxScanDimension + 1)));
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Gray, 4, -2)));
  EXPECT_FALSE(a.BeginFrame(Params(FrameKind::Gray, 4, 4, 8, 4 + 65537)));
  FrameParams bad = Params(FrameKind::Gray, 4, 4);
  bad.format = 7;
  EXPECT_FALSE(a.BeginFrame(bad));

  // A second frame must be another colour plane of the same width.
  PageAssembler b;
  ASSERT_TRUE(b.BeginFrame(Params(FrameKind::Gray, 4, 1, 8, -1, false)));
  b.EndFrame();
  EXPECT_FALSE(b.BeginFrame(Params(FrameKind::Red, 4, 1)));
  PageAssembler c;
  ASSERT_TRUE(c.BeginFrame(Params(FrameKind::Red, 4, 1, 8, -1, false)));
  c.EndFrame();
  EXPECT_FALSE(c.BeginFrame(Params(FrameKind::Green, 5, 1)));
  EXPECT_FALSE(c.BeginFrame(Params(FrameKind::Red, 4, 1)));
}

TEST(ScanPage, HeightFollowsTheLinesThatArrived) {
  // Unknown length (a hand scanner): as many rows as whole lines came.
  auto hand = Assemble({{Params(FrameKind::Gray, 2, -1), {1, 2, 3, 4, 5}}});
  ASSERT_TRUE(hand);
  EXPECT_EQ(hand->Height(), 2);

  // A page that ended early keeps its whole lines; bytes beyond the announced
  // lines are dropped.
  auto shortPage = Assemble({{Params(FrameKind::Gray, 2, 5), {1, 2, 3}}});
  ASSERT_TRUE(shortPage);
  EXPECT_EQ(shortPage->Height(), 1);
  auto longPage = Assemble({{Params(FrameKind::Gray, 2, 1), {1, 2, 3, 4, 5, 6}}});
  ASSERT_TRUE(longPage);
  EXPECT_EQ(longPage->Height(), 1);
  EXPECT_EQ(longPage->Row(0)[1], 2);

  // Width or height 0: no picture, so no document.
  EXPECT_FALSE(Assemble({{Params(FrameKind::Gray, 0, 3), {}}}));
  EXPECT_FALSE(Assemble({{Params(FrameKind::Gray, 3, 0), {1, 2, 3}}}));
  EXPECT_FALSE(Assemble({{Params(FrameKind::Rgb, 3, 2), {1, 2, 3}}}));
}
