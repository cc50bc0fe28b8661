#include "formats/gif_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace velmira {
namespace {

using Bytes = std::vector<uint8_t>;

// A paletted picture whose index at (x, y) (y from the top) is f(x, y).
template <class F>
void MakeIndexed(CImageBuffer& img, int w, int h, int bpp, F f) {
  ASSERT_TRUE(img.Allocate(w, h, bpp, kFormatGif));
  for (int i = 0; i < img.ColoursUsed(); ++i) img.SetPaletteEntry(i, i * 7 % 256, i * 13 % 256, i * 29 % 256);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.WriteIndex(x, h - 1 - y, f(x, y));
}

Bytes Encode(const CImageBuffer& img) {
  CImageMemoryStream out;
  CImageBuffer errors;
  EXPECT_TRUE(GifEncode(img, out, errors));
  return out.Bytes();
}

bool Decode(const Bytes& b, CImageBuffer& img) {
  CImageMemoryStream in(b.data(), b.size());
  return GifDecode(img, in);
}

void ExpectSameIndices(const CImageBuffer& a, const CImageBuffer& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) ASSERT_EQ(a.ReadIndex(x, y), b.ReadIndex(x, y)) << x << "," << y;
}

// Offsets of the blocks of a single-frame file written by the encoder.
struct Layout {
  size_t gce, descriptor, data, end;  // end: the byte after the data terminator
};
Layout Parse(const Bytes& b) {
  Layout l{};
  size_t p = 13 + ((b[10] & 0x80) ? 3u * (2u << (b[10] & 7)) : 0u);
  l.gce = p;
  p += 8;
  l.descriptor = p;
  p += 10;
  l.data = p;
  ++p;  // code size
  while (b[p] != 0) p += b[p] + 1u;
  l.end = p + 1;
  return l;
}

// Reads the LZW codes of one frame the way a decoder must size them and returns
// the positions (in codes) of every clear code.
std::vector<size_t> ClearCodePositions(const Bytes& b, size_t dataPos) {
  const int s = b[dataPos];
  Bytes data;
  for (size_t p = dataPos + 1; b[p] != 0; p += b[p] + 1u) data.insert(data.end(), b.begin() + p + 1, b.begin() + p + 1 + b[p]);
  const int clear = 1 << s, end = clear + 1;
  int width = s + 1, next = clear + 2;
  bool afterClear = true;
  size_t bit = 0, index = 0;
  std::vector<size_t> clears;
  while (bit + width <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    if (code == clear) {
      clears.push_back(index);
      width = s + 1;
      next = clear + 2;
      afterClear = true;
    } else if (code == end) {
      break;
    } else if (afterClear) {
      afterClear = false;
    } else if (next < 4096) {
      ++next;
      if (next >= (1 << width) && width < 12) ++width;
    }
    ++index;
  }
  return clears;
}

TEST(GifEncode, WritesGif87aWithControlExtensionAndTheImagesPalette) {
  CImageBuffer img;
  MakeIndexed(img, 5, 3, 4, [](int x, int y) { return (x + y) % 16; });
  const Bytes b = Encode(img);
  ASSERT_GT(b.size(), 13u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF87a");
  EXPECT_EQ(b[6] | b[7] << 8, 5);
  EXPECT_EQ(b[8] | b[9] << 8, 3);
  EXPECT_EQ(b[10], 0xE3);
  // Table entry 2 in red, green, blue order.
  EXPECT_EQ(b[13 + 6], 14);
  EXPECT_EQ(b[13 + 7], 26);
  EXPECT_EQ(b[13 + 8], 58);
  const Layout l = Parse(b);
  const Bytes gce(b.begin() + l.gce, b.begin() + l.gce + 8);
  EXPECT_EQ(gce, (Bytes{0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(b[l.descriptor], 0x2C);
  EXPECT_EQ(b[l.descriptor + 9], 0);  // no local table, not interlaced
  EXPECT_EQ(b[l.data], 4);
  EXPECT_EQ(b.back(), 0x3B);
  EXPECT_EQ(l.end + 1, b.size());
}

TEST(GifEncode, ScreenByteAndCodeSizeFollowTheDepth) {
  CImageBuffer one, eight;
  MakeIndexed(one, 9, 2, 1, [](int x, int) { return x & 1; });
  MakeIndexed(eight, 3, 2, 8, [](int x, int) { return x * 80; });
  const Bytes b1 = Encode(one), b8 = Encode(eight);
  EXPECT_EQ(b1[10], 0x80);
  EXPECT_EQ(b1[Parse(b1).data], 2);
  EXPECT_EQ(b8[10], 0xE7);
  EXPECT_EQ(b8[Parse(b8).data], 8);
}

TEST(GifEncode, RefusesDeepImagesAndReportsWriteErrors) {
  CImageBuffer rgb;
  ASSERT_TRUE(rgb.Allocate(4, 4, 24, kFormatBmp));
  CImageMemoryStream out;
  CImageBuffer errors;
  EXPECT_FALSE(GifEncode(rgb, out, errors));
  EXPECT_TRUE(out.Bytes().empty());

  CImageBuffer img;
  MakeIndexed(img, 4, 4, 8, [](int x, int y) { return x + y; });
  FILE* f = std::fopen("/dev/full", "wb");
  ASSERT_NE(f, nullptr);
  CImageFileStream full(f);
  EXPECT_FALSE(GifEncode(img, full, errors));
  EXPECT_EQ(errors.LastError(), "Write Error in GIF file");
  std::fclose(f);
}

TEST(GifEncode, RestartsTheTableWithAClearCodeWhenItIsFull) {
  CImageBuffer noise;
  std::mt19937 rng(7);
  MakeIndexed(noise, 200, 100, 8, [&](int, int) { return int(rng() & 0xFF); });
  const Bytes b = Encode(noise);
  const std::vector<size_t> clears = ClearCodePositions(b, Parse(b).data);
  ASSERT_GE(clears.size(), 2u);
  EXPECT_EQ(clears[0], 0u);
  // 4096 − 258 entries are added, one per code after the first.
  EXPECT_EQ(clears[1], 4096u - 258u + 1u + 1u);
  CImageBuffer back;
  ASSERT_TRUE(Decode(b, back));
  ExpectSameIndices(noise, back);
}

TEST(GifRoundTrip, KeepsPixelsPaletteAndExtrasAtEveryDepth) {
  std::mt19937 rng(3);
  for (int bpp : {1, 4, 8}) {
    for (int w : {1, 7, 33}) {
      CImageBuffer img;
      const int mask = (1 << bpp) - 1;
      MakeIndexed(img, w, 11, bpp, [&](int x, int y) { return (x * y + int(rng() % 3)) & mask; });
      img.Ext().gifDelay = 25;
      img.Ext().gifDisposal = 2;
      img.Ext().gifOffsetX = 3;
      img.Ext().gifOffsetY = 4;
      img.Ext().comment = "made by Velmira";
      const Bytes b = Encode(img);
      CImageBuffer back(kFormatBmp);
      ASSERT_TRUE(Decode(b, back)) << bpp << " " << w;
      EXPECT_EQ(back.Bpp(), bpp);
      EXPECT_EQ(back.FormatType(), kFormatGif);
      ExpectSameIndices(img, back);
      for (int i = 0; i < img.ColoursUsed(); ++i) EXPECT_EQ(back.PaletteEntry(i), img.PaletteEntry(i));
      EXPECT_EQ(back.Ext().gifDelay, 25);
      EXPECT_EQ(back.Ext().gifDisposal, 2);
      EXPECT_EQ(back.Ext().gifOffsetX, 3);
      EXPECT_EQ(back.Ext().gifOffsetY, 4);
      EXPECT_EQ(back.Ext().comment, "made by Velmira");
      EXPECT_EQ(back.Ext().transparentIndex, -1);
      EXPECT_EQ(back.Ext().frameCount, 1);
    }
  }
}

TEST(GifRoundTrip, LargeFlatPictureCompressesAndDecodes) {
  CImageBuffer img;
  MakeIndexed(img, 1000, 700, 8, [](int x, int y) { return (x / 100 + y / 100) & 1; });
  const Bytes b = Encode(img);
  EXPECT_LT(b.size(), 40000u);
  CImageBuffer back;
  ASSERT_TRUE(Decode(b, back));
  ExpectSameIndices(img, back);
}

TEST(GifDecode, TransparentIndexAndWhiteEntryRules) {
  // A full table without white: entry 255 becomes white.
  CImageBuffer img;
  MakeIndexed(img, 4, 4, 8, [](int x, int y) { return x + 4 * y; });
  for (int i = 0; i < 256; ++i) img.SetPaletteEntry(i, i / 2, 10, 20);
  img.Ext().transparentIndex = 3;
  Bytes b = Encode(img);
  EXPECT_EQ(b[Parse(b).gce + 3] & 1, 1);
  EXPECT_EQ(b[Parse(b).gce + 6], 3);
  CImageBuffer back;
  ASSERT_TRUE(Decode(b, back));
  EXPECT_EQ(back.Ext().transparentIndex, 3);
  EXPECT_EQ(back.PaletteEntry(255), MakeRgbq(255, 255, 255));
  EXPECT_EQ(back.PaletteEntry(254), MakeRgbq(127, 10, 20));

  // With a white entry somewhere, the last entry keeps its colour.
  img.SetPaletteEntry(9, 255, 255, 255);
  b = Encode(img);
  ASSERT_TRUE(Decode(b, back));
  EXPECT_EQ(back.PaletteEntry(255), MakeRgbq(127, 10, 20));

  // Without transparency nothing is whitened.
  img.SetPaletteEntry(9, 1, 2, 3);
  img.Ext().transparentIndex = -1;
  b = Encode(img);
  ASSERT_TRUE(Decode(b, back));
  EXPECT_EQ(back.Ext().transparentIndex, -1);
  EXPECT_EQ(back.PaletteEntry(255), MakeRgbq(127, 10, 20));
}

// Writes `img` with its rows stored in interlace order and the interlace flag set.
Bytes EncodeInterlaced(const CImageBuffer& img) {
  const int h = img.Height();
  std::vector<int> order;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int p = 0; p < 4; ++p)
    for (int r = start[p]; r < h; r += step[p]) order.push_back(r);
  CImageBuffer shuffled;
  shuffled.CopyFrom(img);
  for (int i = 0; i < h; ++i)
    std::memcpy(shuffled.Row(h - 1 - i), img.Row(h - 1 - order[size_t(i)]), size_t(img.Stride()));
  Bytes b = Encode(shuffled);
  b[Parse(b).descriptor + 9] |= 0x40;
  return b;
}

TEST(GifDecode, InterlacedRowsLandInTheirPasses) {
  for (int h : {1, 2, 3, 5, 8, 19, 64}) {
    CImageBuffer img;
    MakeIndexed(img, 6, h, 8, [](int x, int y) { return (y * 5 + x) & 0xFF; });
    CImageBuffer back;
    ASSERT_TRUE(Decode(EncodeInterlaced(img), back)) << h;
    ExpectSameIndices(img, back);
  }
}

// Appends the frame blocks (control extension to data terminator) of `frame`,
// after an optional edit, before the trailer of `file`.
void AppendFrame(Bytes& file, const Bytes& frame, uint8_t gcePacked) {
  const Layout l = Parse(frame);
  Bytes blocks(frame.begin() + l.gce, frame.begin() + l.end);
  blocks[3] = gcePacked;
  file.insert(file.end() - 1, blocks.begin(), blocks.end());
}

TEST(GifDecode, ChoosesTheRequestedFrameAndCountsThemAll) {
  CImageBuffer a, b;
  MakeIndexed(a, 8, 8, 8, [](int, int) { return 1; });
  MakeIndexed(b, 4, 4, 8, [](int x, int) { return x == 0 ? 9 : 2; });
  b.Ext().transparentIndex = 9;
  b.Ext().gifOffsetX = 2;
  b.Ext().gifOffsetY = 3;
  Bytes file = Encode(a);
  // Frame 1 is left in place over frame 0 (disposal 1) and uses index 9 as transparent.
  AppendFrame(file, Encode(b), uint8_t((1 << 2) | 1));
  AppendFrame(file, Encode(b), 0);

  CImageBuffer first;
  ASSERT_TRUE(Decode(file, first));
  EXPECT_EQ(first.Ext().frameCount, 3);
  EXPECT_EQ(first.Width(), 8);
  EXPECT_EQ(first.ReadIndex(3, 0), 1);

  CImageBuffer second;
  second.Ext().frameIndex = 1;
  ASSERT_TRUE(Decode(file, second));
  EXPECT_EQ(second.Ext().frameCount, 3);
  EXPECT_EQ(second.Width(), 8);  // drawn over the previous frame
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
      const int expected = inside && x != 2 ? 2 : 1;  // column 2 is transparent
      EXPECT_EQ(second.ReadIndex(x, 7 - y), expected) << x << "," << y;
    }

  CImageBuffer third;
  third.Ext().frameIndex = 2;
  ASSERT_TRUE(Decode(file, third));
  EXPECT_EQ(third.Width(), 4);  // disposal 0: the frame on its own
  EXPECT_EQ(third.Ext().transparentIndex, -1);

  CImageBuffer missing;
  ASSERT_TRUE(missing.Allocate(2, 2, 24, kFormatBmp));
  missing.Ext().frameIndex = 3;
  EXPECT_FALSE(Decode(file, missing));
  EXPECT_EQ(missing.Width(), 2);
  EXPECT_EQ(missing.Bpp(), 24);
}

Bytes WithBlocksBeforeImage(const Bytes& gif, const Bytes& blocks) {
  Bytes b = gif;
  const size_t at = Parse(gif).gce;
  b.insert(b.begin() + std::ptrdiff_t(at), blocks.begin(), blocks.end());
  return b;
}

TEST(GifDecode, ReadsLoopCountAndPassesOverOtherApplications) {
  CImageBuffer img;
  MakeIndexed(img, 3, 3, 4, [](int x, int y) { return x + y; });
  const Bytes base = Encode(img);
  Bytes netscape = {0x21, 0xFF, 11};
  for (char c : std::string("NETSCAPE2.0")) netscape.push_back(uint8_t(c));
  netscape.insert(netscape.end(), {3, 1, 0x34, 0x12, 0});
  Bytes xmp = {0x21, 0xFF, 11};
  for (char c : std::string("XMP DataXMP")) xmp.push_back(uint8_t(c));
  xmp.insert(xmp.end(), {5, '<', 'x', '/', '>', ' ', 2, 'a', 'b', 0});
  const Bytes unknown = {0x21, 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

  CImageBuffer back;
  ASSERT_TRUE(Decode(WithBlocksBeforeImage(base, netscape), back));
  EXPECT_EQ(back.Ext().gifLoops, 0x1234);
  ExpectSameIndices(img, back);
  ASSERT_TRUE(Decode(WithBlocksBeforeImage(base, xmp), back));
  ExpectSameIndices(img, back);
  ASSERT_TRUE(Decode(WithBlocksBeforeImage(base, unknown), back));
  ExpectSameIndices(img, back);
}

TEST(GifDecode, LeavesTheStreamAfterTheFrameData) {
  CImageBuffer img;
  MakeIndexed(img, 10, 10, 8, [](int x, int y) { return x ^ y; });
  const Bytes b = Encode(img);
  CImageMemoryStream in(b.data(), b.size());
  CImageBuffer back;
  ASSERT_TRUE(GifDecode(back, in));
  EXPECT_EQ(in.Tell(), int64_t(Parse(b).end));
}

TEST(GifDecode, FrameWithoutAnyTableShowsGreyLevels) {
  CImageBuffer img;
  MakeIndexed(img, 4, 2, 8, [](int x, int) { return x * 60; });
  Bytes b = Encode(img);
  // Drop the global table.
  b.erase(b.begin() + 13, b.begin() + 13 + 768);
  b[10] = 0;
  CImageBuffer back;
  ASSERT_TRUE(Decode(b, back));
  EXPECT_EQ(back.Bpp(), 8);
  EXPECT_EQ(back.ReadColor(2, 0), MakeRgbq(120, 120, 120));
}

TEST(GifDecode, TruncatedDataKeepsTheRowsItReached) {
  CImageBuffer img;
  std::mt19937 rng(11);
  MakeIndexed(img, 50, 40, 8, [&](int, int) { return int(rng() % 200) + 1; });
  const Bytes b = Encode(img);
  const Layout l = Parse(b);
  const Bytes cut(b.begin(), b.begin() + std::ptrdiff_t(l.data + (l.end - l.data) / 2));
  CImageBuffer back;
  ASSERT_TRUE(Decode(cut, back));
  EXPECT_EQ(back.ReadIndex(0, 39), img.ReadIndex(0, 39));  // the top row arrived
  EXPECT_EQ(back.ReadIndex(0, 0), 0);                      // the bottom row never did
}

TEST(GifDecode, RefusesWhatIsNotAGifOrCannotBe) {
  CImageBuffer img;
  MakeIndexed(img, 6, 6, 8, [](int x, int y) { return x * y; });
  const Bytes good = Encode(img);
  CImageBuffer target;
  ASSERT_TRUE(target.Allocate(3, 3, 24, kFormatBmp));

  Bytes notGif = good;
  notGif[3] = '9';
  EXPECT_FALSE(Decode(notGif, target));
  Bytes badCodeSize = good;
  badCodeSize[Parse(good).data] = 12;
  EXPECT_FALSE(Decode(badCodeSize, target));
  Bytes noFrames(good.begin(), good.begin() + 13 + 768);
  noFrames.push_back(0x3B);
  EXPECT_FALSE(Decode(noFrames, target));
  // A 65535 × 65535 frame announced in a few bytes.
  Bytes huge = good;
  const size_t d = Parse(good).descriptor;
  huge[d + 5] = huge[d + 6] = huge[d + 7] = huge[d + 8] = 0xFF;
  EXPECT_FALSE(Decode(huge, target));
  EXPECT_FALSE(target.LastError().empty());
  Bytes empty = good;
  empty[d + 5] = empty[d + 6] = 0;
  EXPECT_FALSE(Decode(empty, target));
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Bpp(), 24);

  // Every prefix of a good file decodes or fails cleanly.
  for (size_t n = 0; n < good.size(); ++n) {
    CImageBuffer out;
    Decode(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)), out);
  }
}

TEST(GifDecode, ReadsFromFiles) {
  CImageBuffer img;
  MakeIndexed(img, 16, 16, 4, [](int x, int y) { return (x + y) & 15; });
  const auto path = std::filesystem::temp_directory_path() / "velmira_gif_test.gif";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    CImageFileStream s(f);
    CImageBuffer errors;
    ASSERT_TRUE(GifEncode(img, s, errors));
    std::fclose(f);
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  CImageFileStream s(f);
  CImageBuffer back;
  EXPECT_TRUE(GifDecode(back, s));
  std::fclose(f);
  std::filesystem::remove(path);
  ExpectSameIndices(img, back);
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// Small files under tests/data/gif: regression inputs for the decoder and the seed
// corpus of fuzz_gif. Run with --gtest_also_run_disabled_tests
// --gtest_filter='*WriteSeedFiles*' to write them again.
const std::filesystem::path kGifData = std::filesystem::path(VELMIRA_TEST_DATA) / "gif";

void WriteFile(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

TEST(GifSeeds, DISABLED_WriteSeedFiles) {
  std::filesystem::create_directories(kGifData);
  CImageBuffer eight, four, one, noise;
  MakeIndexed(eight, 24, 16, 8, [](int x, int y) { return (x * 9 + y * 3) & 0xFF; });
  MakeIndexed(four, 13, 9, 4, [](int x, int y) { return (x + y) & 15; });
  four.Ext().transparentIndex = 5;
  MakeIndexed(one, 17, 5, 1, [](int x, int y) { return (x ^ y) & 1; });
  std::mt19937 rng(1);
  MakeIndexed(noise, 90, 60, 8, [&](int, int) { return int(rng() & 0xFF); });
  const Bytes good8 = Encode(eight);
  WriteFile(kGifData / "good_8bit.gif", good8);
  WriteFile(kGifData / "good_4bit_transparent.gif", Encode(four));
  WriteFile(kGifData / "good_1bit.gif", Encode(one));
  WriteFile(kGifData / "good_noise_clear_codes.gif", Encode(noise));
  WriteFile(kGifData / "good_interlaced.gif", EncodeInterlaced(eight));
  Bytes multi = Encode(eight);
  CImageBuffer small;
  MakeIndexed(small, 6, 5, 8, [](int x, int) { return x == 0 ? 9 : 2; });
  small.Ext().gifOffsetX = 3;
  small.Ext().gifOffsetY = 2;
  small.Ext().comment = "frame";
  AppendFrame(multi, Encode(small), uint8_t((1 << 2) | 1));
  Bytes netscape = {0x21, 0xFF, 11};
  for (char c : std::string("NETSCAPE2.0")) netscape.push_back(uint8_t(c));
  netscape.insert(netscape.end(), {3, 1, 0, 0, 0});
  WriteFile(kGifData / "good_two_frames_loop.gif", WithBlocksBeforeImage(multi, netscape));
  const Layout l = Parse(good8);
  WriteFile(kGifData / "partial_truncated_data.gif", Bytes(good8.begin(), good8.begin() + std::ptrdiff_t(l.data + 40)));
  Bytes bad = good8;
  bad[3] = '7';
  bad[4] = '0';
  WriteFile(kGifData / "bad_signature.gif", bad);
  bad = good8;
  bad[l.data] = 11;
  WriteFile(kGifData / "bad_code_size.gif", bad);
  bad = good8;
  bad[l.descriptor + 5] = bad[l.descriptor + 6] = bad[l.descriptor + 7] = bad[l.descriptor + 8] = 0xFF;
  WriteFile(kGifData / "bad_huge_frame.gif", bad);
  bad.assign(good8.begin(), good8.begin() + 13 + 768);
  bad.push_back(0x3B);
  WriteFile(kGifData / "bad_no_frames.gif", bad);
  WriteFile(kGifData / "bad_header_only.gif", Bytes(good8.begin(), good8.begin() + 10));
}

TEST(GifSeeds, StoredFilesDecodeAsTheirNamesSay) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kGifData)) {
    const std::string name = entry.path().filename().string();
    std::ifstream f(entry.path(), std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    CImageBuffer img;
    const bool ok = Decode(b, img);
    EXPECT_EQ(ok, name.rfind("bad_", 0) != 0) << name;
    if (ok) {
      EXPECT_GT(img.Width(), 0) << name;
      EXPECT_GE(img.Ext().frameCount, 1) << name;
    }
    ++files;
  }
  EXPECT_GE(files, 10);
}

}  // namespace
}  // namespace velmira
