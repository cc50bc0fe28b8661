#include "formats/psd_import.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace velmira {
namespace {

using Bytes = std::vector<uint8_t>;

void Be16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
void Be32(Bytes& b, uint32_t v) {
  Be16(b, v >> 16);
  Be16(b, v & 0xFFFF);
}

// PackBits as Photoshop writes it, one row at a time.
Bytes PackBits(const Bytes& row) {
  Bytes out;
  size_t i = 0;
  while (i < row.size()) {
    size_t run = 1;
    while (i + run < row.size() && row[i + run] == row[i] && run < 128) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(int8_t(1 - int(run))));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    size_t lit = 1;
    while (i + lit < row.size() && lit < 128 && !(i + lit + 1 < row.size() && row[i + lit] == row[i + lit + 1])) ++lit;
    out.push_back(uint8_t(lit - 1));
    out.insert(out.end(), row.begin() + std::ptrdiff_t(i), row.begin() + std::ptrdiff_t(i + lit));
    i += lit;
  }
  return out;
}

struct PsdSpec {
  int channels = 3, depth = 8, mode = kPsdRgb, compression = 0, version = 1;
  uint32_t width = 6, height = 4;
  Bytes colourData, resources, layers;
  // Sample of channel c at (x, y from the top); for bitmap mode the bit.
  std::function<uint32_t(int c, int x, int y)> value = [](int c, int x, int y) { return uint32_t(c * 60 + x * 10 + y); };
};

Bytes MakePsd(const PsdSpec& s) {
  Bytes b = {'8', 'B', 'P', 'S'};
  Be16(b, uint32_t(s.version));
  b.insert(b.end(), 6, 0);
  Be16(b, uint32_t(s.channels));
  Be32(b, s.height);
  Be32(b, s.width);
  Be16(b, uint32_t(s.depth));
  Be16(b, uint32_t(s.mode));
  Be32(b, uint32_t(s.colourData.size()));
  b.insert(b.end(), s.colourData.begin(), s.colourData.end());
  Be32(b, uint32_t(s.resources.size()));
  b.insert(b.end(), s.resources.begin(), s.resources.end());
  Be32(b, uint32_t(s.layers.size()));
  b.insert(b.end(), s.layers.begin(), s.layers.end());
  Be16(b, uint32_t(s.compression));
  std::vector<Bytes> rows;
  for (int c = 0; c < s.channels; ++c)
    for (uint32_t y = 0; y < s.height; ++y) {
      Bytes row;
      if (s.depth == 1) {
        row.assign((s.width + 7) / 8, 0);
        for (uint32_t x = 0; x < s.width; ++x)
          if (s.value(c, int(x), int(y))) row[x / 8] |= uint8_t(0x80 >> (x % 8));
      } else {
        for (uint32_t x = 0; x < s.width; ++x) {
          const uint32_t v = s.value(c, int(x), int(y));
          if (s.depth == 16) Be16(row, v);
          else row.push_back(uint8_t(v));
        }
      }
      rows.push_back(s.compression == 1 ? PackBits(row) : row);
    }
  if (s.compression == 1)
    for (const Bytes& r : rows) Be16(b, uint32_t(r.size()));
  for (const Bytes& r : rows) b.insert(b.end(), r.begin(), r.end());
  return b;
}

PsdResult Import(const Bytes& b, CImageBuffer& img) {
  CImageMemoryStream in(b.data(), b.size());
  return PsdImport(in, img);
}

// Colour at (x, y from the top).
Rgbq At(const CImageBuffer& img, int x, int y) { return img.ReadColor(x, img.Height() - 1 - y) & 0xFFFFFF; }

void ExpectNear(Rgbq c, int r, int g, int b, int tolerance) {
  EXPECT_LE(std::abs(RgbqR(c) - r), tolerance) << "red " << RgbqR(c);
  EXPECT_LE(std::abs(RgbqG(c) - g), tolerance) << "green " << RgbqG(c);
  EXPECT_LE(std::abs(RgbqB(c) - b), tolerance) << "blue " << RgbqB(c);
}

TEST(PsdImport, RgbRawAndRunLengthGiveTheSamePixels) {
  for (int compression : {0, 1}) {
    PsdSpec s;
    s.compression = compression;
    s.channels = 4;  // an alpha channel after the colours is not part of the colour
    s.width = 300;   // long rows: runs and literals longer than 128
    s.height = 5;
    s.value = [](int c, int x, int y) { return uint32_t(c == 3 ? 0 : x < 150 ? c * 50 + y : (x * 7 + c) & 0xFF); };
    CImageBuffer img;
    ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok) << compression;
    EXPECT_EQ(img.Bpp(), 32);
    EXPECT_EQ(img.Width(), 300);
    EXPECT_EQ(img.Height(), 5);
    EXPECT_EQ(img.FormatType(), kFormatPsd);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 300; ++x)
        ASSERT_EQ(At(img, x, y), MakeRgbq(int(s.value(0, x, y)), int(s.value(1, x, y)), int(s.value(2, x, y))));
    EXPECT_EQ(img.Row(0)[3], 255);
  }
}

TEST(PsdImport, SixteenBitChannelsKeepTheirHighBytes) {
  PsdSpec grey;
  grey.mode = kPsdGreyscale;
  grey.channels = 1;
  grey.depth = 16;
  grey.compression = 1;
  grey.value = [](int, int x, int y) { return uint32_t((x * 40 + y) << 8 | 0xFF); };
  CImageBuffer img;
  ASSERT_EQ(Import(MakePsd(grey), img), PsdResult::Ok);
  EXPECT_EQ(At(img, 3, 2), MakeRgbq(122, 122, 122));

  PsdSpec rgb;
  rgb.depth = 16;
  rgb.value = [](int c, int x, int) { return uint32_t((c * 70 + x) << 8 | 0x80); };
  ASSERT_EQ(Import(MakePsd(rgb), img), PsdResult::Ok);
  EXPECT_EQ(At(img, 5, 0), MakeRgbq(5, 75, 145));
}

TEST(PsdImport, GreyDuotoneAndMultichannelOfFewChannelsShowTheFirstChannel) {
  for (int mode : {kPsdGreyscale, kPsdDuotone, kPsdMultichannel}) {
    PsdSpec s;
    s.mode = mode;
    s.channels = mode == kPsdMultichannel ? 2 : 1;
    s.value = [](int c, int x, int y) { return uint32_t(c ? 7 : x * 30 + y); };
    CImageBuffer img;
    ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok) << mode;
    EXPECT_EQ(At(img, 4, 3), MakeRgbq(123, 123, 123));
  }
}

TEST(PsdImport, CmykIsStoredInvertedAndUsesTheBlackChannel) {
  PsdSpec s;
  s.mode = kPsdCmyk;
  s.channels = 4;
  s.width = 4;
  s.height = 1;
  // Columns: no ink; full cyan; full black; half cyan with half black.
  const uint32_t c[4] = {255, 0, 255, 128}, m[4] = {255, 255, 255, 255}, y[4] = {255, 255, 255, 255},
                 k[4] = {255, 255, 0, 128};
  s.value = [&](int ch, int x, int) { return (ch == 0 ? c : ch == 1 ? m : ch == 2 ? y : k)[x]; };
  CImageBuffer img;
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  EXPECT_EQ(At(img, 0, 0), MakeRgbq(255, 255, 255));
  EXPECT_EQ(At(img, 1, 0), MakeRgbq(0, 255, 255));
  EXPECT_EQ(At(img, 2, 0), MakeRgbq(0, 0, 0));
  EXPECT_EQ(At(img, 3, 0), MakeRgbq(64, 128, 128));

  // Multichannel with three channels reads them as cyan, magenta, yellow.
  s.mode = kPsdMultichannel;
  s.channels = 3;
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  EXPECT_EQ(At(img, 1, 0), MakeRgbq(0, 255, 255));
  EXPECT_EQ(At(img, 2, 0), MakeRgbq(255, 255, 255));
}

TEST(PsdImport, LabConvertsThroughD50ToSrgb) {
  PsdSpec s;
  s.mode = kPsdLab;
  s.width = 4;
  s.height = 1;
  // White, black, sRGB red (L 54.29, a 80.80, b 69.89 under D50) and mid grey.
  const uint32_t L[4] = {256 * 100 / 100 - 1, 0, 139, 128}, a[4] = {128, 128, 209, 128}, b[4] = {128, 128, 198, 128};
  s.value = [&](int ch, int x, int) { return (ch == 0 ? L : ch == 1 ? a : b)[x]; };
  CImageBuffer img;
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  ExpectNear(At(img, 0, 0), 254, 254, 254, 1);
  EXPECT_EQ(At(img, 1, 0), MakeRgbq(0, 0, 0));
  ExpectNear(At(img, 2, 0), 255, 0, 0, 6);
  ExpectNear(At(img, 3, 0), 119, 119, 119, 1);

  // Sixteen bits: L 50 and neutral a, b.
  s.depth = 16;
  s.value = [](int ch, int, int) { return ch == 0 ? 32768u : 32768u; };
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  ExpectNear(At(img, 0, 0), 119, 119, 119, 1);
}

TEST(PsdImport, IndexedUsesTheColourTable) {
  PsdSpec s;
  s.mode = kPsdIndexed;
  s.channels = 1;
  for (int part = 0; part < 3; ++part)
    for (int i = 0; i < 256; ++i) s.colourData.push_back(uint8_t(part == 0 ? i : part == 1 ? 255 - i : i / 2));
  s.value = [](int, int x, int y) { return uint32_t(x * 40 + y); };
  CImageBuffer img;
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  EXPECT_EQ(At(img, 2, 1), MakeRgbq(81, 174, 40));

  s.colourData.resize(100);
  CImageBuffer refused;
  EXPECT_EQ(Import(MakePsd(s), refused), PsdResult::UnsupportedMode);
}

TEST(PsdImport, BitmapModeSetBitsAreBlack) {
  for (int compression : {0, 1}) {
    PsdSpec s;
    s.mode = kPsdBitmap;
    s.channels = 1;
    s.depth = 1;
    s.width = 10;
    s.height = 3;
    s.compression = compression;
    s.value = [](int, int x, int y) { return uint32_t((x + y) % 3 == 0); };
    CImageBuffer img;
    ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 10; ++x)
        EXPECT_EQ(At(img, x, y), (x + y) % 3 == 0 ? MakeRgbq(0, 0, 0) : MakeRgbq(255, 255, 255));
  }
}

Bytes Resource(uint16_t id, const std::string& name, const Bytes& data) {
  Bytes r = {'8', 'B', 'I', 'M'};
  Be16(r, id);
  r.push_back(uint8_t(name.size()));
  r.insert(r.end(), name.begin(), name.end());
  if (r.size() % 2) r.push_back(0);
  Be32(r, uint32_t(data.size()));
  r.insert(r.end(), data.begin(), data.end());
  if (r.size() % 2) r.push_back(0);
  return r;
}

TEST(PsdImport, ReadsTheResolutionAndPassesOverOtherResources) {
  PsdSpec s;
  Bytes res = Resource(1036, "ab", Bytes(33, 0x11));
  Bytes dpi;
  Be32(dpi, 300u << 16);
  Be16(dpi, 1);
  Be16(dpi, 1);
  Be32(dpi, 150u << 16);
  Be16(dpi, 1);
  Be16(dpi, 1);
  const Bytes r1005 = Resource(1005, "", dpi);
  res.insert(res.end(), r1005.begin(), r1005.end());
  const Bytes odd = Resource(1034, "x", Bytes{1, 0});
  res.insert(res.end(), odd.begin(), odd.end());
  s.resources = res;
  s.layers = Bytes(40, 0x77);
  CImageBuffer img;
  ASSERT_EQ(Import(MakePsd(s), img), PsdResult::Ok);
  EXPECT_EQ(img.Ext().xDpi, 300);
  EXPECT_EQ(img.Ext().yDpi, 150);
  EXPECT_EQ(At(img, 1, 2), MakeRgbq(12, 72, 132));
}

TEST(PsdImport, ResultCodesForFilesItCannotOpen) {
  using SpecEdit = std::function<void(PsdSpec&)>;
  using ByteEdit = std::function<void(Bytes&)>;
  struct Case {
    SpecEdit spec;
    ByteEdit bytes;
    PsdResult result;
  };
  const Case cases[] = {
      {[](PsdSpec& s) { s.version = 2; }, nullptr, PsdResult::BadHeader},
      {nullptr, [](Bytes& b) { b[8] = 1; }, PsdResult::BadHeader},
      {nullptr, [](Bytes& b) { b[0] = 'x'; }, PsdResult::BadHeader},
      {[](PsdSpec& s) { s.width = 0; }, nullptr, PsdResult::BadHeader},
      {[](PsdSpec& s) { s.compression = 2; }, nullptr, PsdResult::ZipCompression},
      {[](PsdSpec& s) { s.compression = 3; }, nullptr, PsdResult::ZipPredictionCompression},
      {[](PsdSpec& s) { s.compression = 9; }, nullptr, PsdResult::UnknownCompression},
      {[](PsdSpec& s) { s.depth = 32; }, nullptr, PsdResult::UnsupportedDepth},
      {[](PsdSpec& s) { s.channels = 2; }, nullptr, PsdResult::UnsupportedMode},
      {[](PsdSpec& s) { s.mode = 5; }, nullptr, PsdResult::UnsupportedMode},
      {nullptr, [](Bytes& b) { b[26] = 0x7F; }, PsdResult::BadColourModeData},
      {nullptr, [](Bytes& b) { b[30] = 0x7F; }, PsdResult::BadResources},
      {nullptr, [](Bytes& b) { b[34] = 0x7F; }, PsdResult::BadLayerSection},
      {nullptr, [](Bytes& b) { b.resize(b.size() - 1); }, PsdResult::BadImageData},
  };
  for (const Case& c : cases) {
    PsdSpec s;
    if (c.spec) c.spec(s);
    Bytes b = MakePsd(s);
    if (c.bytes) c.bytes(b);
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(2, 2, 24, kFormatBmp));
    EXPECT_EQ(Import(b, img), c.result) << int(c.result);
    EXPECT_FALSE(img.LastError().empty());
    EXPECT_EQ(img.Width(), 2);
    EXPECT_EQ(img.Bpp(), 24);
  }
}

TEST(PsdImport, HugeHeaderOverLittleDataIsRefusedBeforeAllocating) {
  Bytes b = MakePsd(PsdSpec{});
  // 20000 × 20000 pixels.
  b[14] = b[15] = b[18] = b[19] = 0;
  b[16] = b[20] = 0x4E;
  b[17] = b[21] = 0x20;
  CImageBuffer img;
  EXPECT_EQ(Import(b, img), PsdResult::BadImageData);
  b[39] = 1;  // run-length: the row table alone is longer than the file
  EXPECT_EQ(Import(b, img), PsdResult::BadImageData);
}

TEST(PsdImport, TruncatedRunLengthDataAndEveryPrefixFailCleanly) {
  PsdSpec s;
  s.compression = 1;
  s.width = 40;
  s.height = 9;
  const Bytes good = MakePsd(s);
  CImageBuffer img;
  ASSERT_EQ(Import(good, img), PsdResult::Ok);
  for (size_t n = 0; n < good.size(); ++n) {
    CImageBuffer out;
    EXPECT_NE(Import(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)), out), PsdResult::Ok) << n;
  }
}

TEST(PsdImport, HeaderReaderAndFileOpening) {
  const Bytes b = MakePsd(PsdSpec{});
  CImageMemoryStream in(b.data(), b.size());
  PsdHeader h;
  ASSERT_TRUE(PsdReadHeader(in, h));
  EXPECT_EQ(h.channels, 3);
  EXPECT_EQ(h.width, 6u);
  EXPECT_EQ(h.height, 4u);
  EXPECT_EQ(h.depth, 8);
  EXPECT_EQ(h.mode, kPsdRgb);
  CImageBuffer img;
  EXPECT_EQ(PsdImportFile("/nonexistent/velmira.psd", img), PsdResult::CannotOpen);
}

}  // namespace
}  // namespace velmira

#include <filesystem>
#include <fstream>

namespace velmira {
namespace {

// Small files under tests/data/psd: regression inputs and the seed corpus of
// fuzz_psd. Run with --gtest_also_run_disabled_tests --gtest_filter='*WriteSeedFiles*'
// to write them again.
const std::filesystem::path kPsdData = std::filesystem::path(VELMIRA_TEST_DATA) / "psd";

void WriteFile(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

TEST(PsdSeeds, DISABLED_WriteSeedFiles) {
  std::filesystem::create_directories(kPsdData);
  auto spec = [](int mode, int channels, int depth, int compression) {
    PsdSpec s;
    s.mode = mode;
    s.channels = channels;
    s.depth = depth;
    s.compression = compression;
    s.width = 19;
    s.height = 7;
    const uint32_t mask = depth == 16 ? 0xFFFF : depth == 1 ? 1 : 0xFF;
    s.value = [mask](int c, int x, int y) { return uint32_t(x < 9 ? 40 * c + y : (x * 977 + y * 131 + c)) & mask; };
    if (mode == kPsdIndexed)
      for (int i = 0; i < 768; ++i) s.colourData.push_back(uint8_t(i * 5));
    Bytes dpi;
    Be32(dpi, 72u << 16);
    Be32(dpi, 0x00010001);
    Be32(dpi, 72u << 16);
    Be32(dpi, 0x00010001);
    s.resources = Resource(1005, "", dpi);
    return s;
  };
  WriteFile(kPsdData / "good_rgb_raw.psd", MakePsd(spec(kPsdRgb, 3, 8, 0)));
  WriteFile(kPsdData / "good_rgba_rle.psd", MakePsd(spec(kPsdRgb, 4, 8, 1)));
  WriteFile(kPsdData / "good_rgb16_rle.psd", MakePsd(spec(kPsdRgb, 3, 16, 1)));
  WriteFile(kPsdData / "good_grey16_raw.psd", MakePsd(spec(kPsdGreyscale, 1, 16, 0)));
  WriteFile(kPsdData / "good_cmyk_rle.psd", MakePsd(spec(kPsdCmyk, 4, 8, 1)));
  WriteFile(kPsdData / "good_lab_raw.psd", MakePsd(spec(kPsdLab, 3, 8, 0)));
  WriteFile(kPsdData / "good_lab16_rle.psd", MakePsd(spec(kPsdLab, 3, 16, 1)));
  WriteFile(kPsdData / "good_indexed_rle.psd", MakePsd(spec(kPsdIndexed, 1, 8, 1)));
  WriteFile(kPsdData / "good_bitmap_raw.psd", MakePsd(spec(kPsdBitmap, 1, 1, 0)));
  WriteFile(kPsdData / "good_multichannel_rle.psd", MakePsd(spec(kPsdMultichannel, 3, 8, 1)));
  WriteFile(kPsdData / "good_duotone_raw.psd", MakePsd(spec(kPsdDuotone, 1, 8, 0)));
  PsdSpec s = spec(kPsdRgb, 3, 8, 0);
  s.version = 2;
  WriteFile(kPsdData / "bad_large_document.psd", MakePsd(s));
  WriteFile(kPsdData / "bad_zip.psd", MakePsd(spec(kPsdRgb, 3, 8, 2)));
  WriteFile(kPsdData / "bad_depth32.psd", MakePsd(spec(kPsdRgb, 3, 32, 0)));
  const Bytes good = MakePsd(spec(kPsdRgb, 3, 8, 1));
  WriteFile(kPsdData / "bad_truncated_rle.psd", Bytes(good.begin(), good.end() - 30));
}

TEST(PsdSeeds, StoredFilesDecodeAsTheirNamesSay) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kPsdData)) {
    const std::string name = entry.path().filename().string();
    std::ifstream f(entry.path(), std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    CImageBuffer img;
    const PsdResult r = Import(b, img);
    EXPECT_EQ(r == PsdResult::Ok, name.rfind("good_", 0) == 0) << name;
    if (r == PsdResult::Ok) {
      EXPECT_EQ(img.Width(), 19) << name;
    }
    ++files;
  }
  EXPECT_GE(files, 10);
}

}  // namespace
}  // namespace velmira
