#include "formats/pcx_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace velmira {
namespace {

using Bytes = std::vector<uint8_t>;

// Run-length coding as PCX writers do it: runs of up to 63, and any byte of 0xC0
// or more written as a run of one.
void PackRle(Bytes& out, const Bytes& line) {
  for (size_t i = 0; i < line.size();) {
    size_t n = 1;
    while (i + n < line.size() && line[i + n] == line[i] && n < 63) ++n;
    if (n > 1 || line[i] >= 0xC0) {
      out.push_back(uint8_t(0xC0 | n));
      out.push_back(line[i]);
    } else {
      out.push_back(line[i]);
    }
    i += n;
  }
}

struct PcxSpec {
  int bitsPerPixel = 8;
  int planes = 1;
  int width = 5, height = 3;
  int bytesPerLine = 0;  // 0: the least that holds a line, rounded to even
  uint8_t manufacturer = 10, encoding = 1;
  // Value of (x, y from the top) in plane p: a byte for 8 bits, else the index bits.
  std::function<int(int x, int y, int p)> value;
  bool palette256 = false;
  uint8_t paletteMarker = 12;
};

uint8_t HeaderRed(int i) { return uint8_t(i * 16); }
uint8_t HeaderGreen(int i) { return uint8_t(255 - i * 16); }
uint8_t HeaderBlue(int i) { return uint8_t(i * 5); }
uint8_t BigRed(int i) { return uint8_t(i); }
uint8_t BigGreen(int i) { return uint8_t(i ^ 0x55); }
uint8_t BigBlue(int i) { return uint8_t(255 - i); }

Bytes MakePcx(const PcxSpec& s) {
  Bytes b(128, 0);
  b[0] = s.manufacturer;
  b[1] = 5;
  b[2] = s.encoding;
  b[3] = uint8_t(s.bitsPerPixel);
  b[4] = 2;  // Xmin = 2, Ymin = 1: the size is the span, not the maxima
  b[6] = 1;
  b[8] = uint8_t((s.width + 1) & 0xFF);
  b[9] = uint8_t((s.width + 1) >> 8);
  b[10] = uint8_t(s.height & 0xFF);
  b[11] = uint8_t(s.height >> 8);
  for (int i = 0; i < 16; ++i) {
    b[16 + 3 * i] = HeaderRed(i);
    b[17 + 3 * i] = HeaderGreen(i);
    b[18 + 3 * i] = HeaderBlue(i);
  }
  b[65] = uint8_t(s.planes);
  int bpl = s.bytesPerLine;
  if (bpl == 0) bpl = ((s.width * s.bitsPerPixel + 7) / 8 + 1) & ~1;
  b[66] = uint8_t(bpl & 0xFF);
  b[67] = uint8_t(bpl >> 8);
  for (int y = 0; y < s.height; ++y) {
    Bytes line;
    for (int p = 0; p < s.planes; ++p) {
      Bytes plane(size_t(bpl), 0);
      for (int x = 0; x < s.width; ++x) {
        const int v = s.value(x, y, p);
        const int bit = x * s.bitsPerPixel;
        if (bit / 8 >= bpl) break;  // a deliberately short line
        if (s.bitsPerPixel == 8) plane[size_t(x)] = uint8_t(v);
        else if (s.bitsPerPixel < 8) plane[size_t(bit / 8)] |= uint8_t(v << (8 - s.bitsPerPixel - bit % 8));
      }
      line.insert(line.end(), plane.begin(), plane.end());
    }
    PackRle(b, line);
  }
  if (s.palette256) {
    b.push_back(s.paletteMarker);
    for (int i = 0; i < 256; ++i) {
      b.push_back(BigRed(i));
      b.push_back(BigGreen(i));
      b.push_back(BigBlue(i));
    }
  }
  return b;
}

bool Decode(const Bytes& b, CImageBuffer& img) {
  CImageMemoryStream in(b.data(), b.size());
  return PcxDecode(img, in);
}

// Colour of (x, y from the top) in the decoded picture.
Rgbq At(const CImageBuffer& img, int x, int y) { return img.ReadColor(x, img.Height() - 1 - y); }

TEST(PcxDecode, EightBitsWithTheTrailingPalette) {
  PcxSpec s;
  s.width = 70;  // runs longer than 63 split in two
  s.height = 4;
  s.palette256 = true;
  s.value = [](int x, int y, int) { return x < 66 ? 200 + y : x; };
  CImageBuffer img(kFormatGif);
  ASSERT_TRUE(Decode(MakePcx(s), img));
  EXPECT_EQ(img.Width(), 70);
  EXPECT_EQ(img.Height(), 4);
  EXPECT_EQ(img.Bpp(), 8);
  EXPECT_EQ(img.FormatType(), 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 70; ++x) ASSERT_EQ(img.ReadIndex(x, 3 - y), x < 66 ? 200 + y : x);
  EXPECT_EQ(img.PaletteEntry(201), MakeRgbq(BigRed(201), BigGreen(201), BigBlue(201)));
}

TEST(PcxDecode, TwentyFourBitsFromThreePlanes) {
  PcxSpec s;
  s.planes = 3;
  s.width = 7;
  s.value = [](int x, int y, int p) { return p == 0 ? x * 30 : p == 1 ? y * 70 : 255 - x; };
  CImageBuffer img;
  ASSERT_TRUE(Decode(MakePcx(s), img));
  EXPECT_EQ(img.Bpp(), 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(At(img, x, y), MakeRgbq(x * 30, y * 70, 255 - x));
}

TEST(PcxDecode, PackedIndicesAtOneTwoAndFourBits) {
  for (int bpp : {1, 2, 4}) {
    PcxSpec s;
    s.bitsPerPixel = bpp;
    s.width = 11;
    s.height = 5;
    const int mask = (1 << bpp) - 1;
    s.value = [mask](int x, int y, int) { return (x * 3 + y) & mask; };
    CImageBuffer img;
    ASSERT_TRUE(Decode(MakePcx(s), img)) << bpp;
    EXPECT_EQ(img.Bpp(), bpp == 2 ? 4 : bpp);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 11; ++x) ASSERT_EQ(img.ReadIndex(x, 4 - y), (x * 3 + y) & mask) << bpp;
    if (bpp == 1) {
      EXPECT_EQ(img.PaletteEntry(0), MakeRgbq(0, 0, 0));
      EXPECT_EQ(img.PaletteEntry(1), MakeRgbq(255, 255, 255));
    } else {
      EXPECT_EQ(img.PaletteEntry(3), MakeRgbq(HeaderRed(3), HeaderGreen(3), HeaderBlue(3)));
    }
  }
}

TEST(PcxDecode, PlanesOfOneBitBuildTheIndex) {
  for (int planes : {2, 4}) {
    PcxSpec s;
    s.bitsPerPixel = 1;
    s.planes = planes;
    s.width = 13;
    s.height = 3;
    const int mask = (1 << planes) - 1;
    s.value = [](int x, int y, int p) { return (((x + y) & 15) >> p) & 1; };
    CImageBuffer img;
    ASSERT_TRUE(Decode(MakePcx(s), img)) << planes;
    EXPECT_EQ(img.Bpp(), 4);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(img.ReadIndex(x, 2 - y), (x + y) & mask);
    EXPECT_EQ(img.PaletteEntry(5), MakeRgbq(HeaderRed(5), HeaderGreen(5), HeaderBlue(5)));
  }
}

TEST(PcxDecode, ThreePlanesOfOneBitShowTheHeaderColours) {
  PcxSpec s;
  s.bitsPerPixel = 1;
  s.planes = 3;
  s.width = 9;
  s.value = [](int x, int, int p) { return ((x & 7) >> p) & 1; };
  CImageBuffer img;
  ASSERT_TRUE(Decode(MakePcx(s), img));
  EXPECT_EQ(img.Bpp(), 24);
  for (int x = 0; x < 9; ++x) {
    const int i = x & 7;
    EXPECT_EQ(At(img, x, 1), MakeRgbq(HeaderRed(i), HeaderGreen(i), HeaderBlue(i)));
  }
}

TEST(PcxDecode, HeaderAndLayoutFailures) {
  struct Case {
    std::function<void(PcxSpec&)> edit;
    const char* text;
  };
  const Case cases[] = {
      {[](PcxSpec& s) { s.manufacturer = 11; }, "Error: Not a PCX file"},
      {[](PcxSpec& s) { s.encoding = 0; }, "PCX file has unknown encoding scheme"},
      {[](PcxSpec& s) { s.bitsPerPixel = 1; s.planes = 5; }, "Can't handle image with more than 4 planes"},
      {[](PcxSpec& s) { s.planes = 2; }, "Can't handle bits per pixel image with planes."},
      {[](PcxSpec& s) { s.bitsPerPixel = 16; }, "Can't handle bits per pixel image with planes."},
      {[](PcxSpec& s) { s.bitsPerPixel = 4; s.planes = 3; }, "Can't handle more than 1 bit per pixel"},
      {[](PcxSpec& s) { s.palette256 = true; s.paletteMarker = 11; }, "bad color map signature"},
      {[](PcxSpec& s) { s.palette256 = false; }, "bad color map signature"},
  };
  for (const Case& c : cases) {
    PcxSpec s;
    s.palette256 = true;
    s.value = [](int x, int, int) { return x & 1; };
    c.edit(s);
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(2, 2, 24, kFormatBmp));
    EXPECT_FALSE(Decode(MakePcx(s), img)) << c.text;
    EXPECT_EQ(img.LastError(), c.text);
    EXPECT_EQ(img.Width(), 2);
    EXPECT_EQ(img.Bpp(), 24);
  }
}

TEST(PcxDecode, ShortOrCorruptDataFails) {
  PcxSpec s;
  s.palette256 = true;
  s.width = 20;
  s.height = 20;
  s.value = [](int x, int y, int) { return (x * y) & 0x3F; };
  const Bytes good = MakePcx(s);
  CImageBuffer img;
  EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + 100), img));
  EXPECT_EQ(img.LastError(), "Can't read PCX image");
  EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + 200), img));
  EXPECT_EQ(img.LastError(), "corrupted PCX");

  // The last run asks for more bytes than the picture has left.
  Bytes overrun(good.begin(), good.begin() + 128);
  const int total = 20 * 20;
  for (int i = 0; i < total - 5; ++i) overrun.push_back(1);
  overrun.insert(overrun.end(), {0xC9, 7});
  EXPECT_FALSE(Decode(overrun, img));
  EXPECT_EQ(img.LastError(), "repeat count spans end of image");

  // A line length too short for the width would read past each line.
  PcxSpec narrow = s;
  narrow.bytesPerLine = 4;
  EXPECT_FALSE(Decode(MakePcx(narrow), img));

  // A huge picture announced by a tiny file is refused before allocating.
  Bytes huge = good;
  huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;
  huge[66] = huge[67] = 0xFF;
  EXPECT_FALSE(Decode(huge, img));
  EXPECT_EQ(img.LastError(), "corrupted PCX");

  for (size_t n = 0; n < good.size(); n += 7) {
    CImageBuffer out;
    Decode(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)), out);
  }
}

}  // namespace
}  // namespace velmira

#include <filesystem>
#include <fstream>

namespace velmira {
namespace {

// Small files under tests/data/pcx: regression inputs and the seed corpus of
// fuzz_pcx. Run with --gtest_also_run_disabled_tests --gtest_filter='*WriteSeedFiles*'
// to write them again.
const std::filesystem::path kPcxData = std::filesystem::path(VELMIRA_TEST_DATA) / "pcx";

void WriteFile(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

TEST(PcxSeeds, DISABLED_WriteSeedFiles) {
  std::filesystem::create_directories(kPcxData);
  auto spec = [](int bpp, int planes, bool pal256) {
    PcxSpec s;
    s.bitsPerPixel = bpp;
    s.planes = planes;
    s.width = 21;
    s.height = 9;
    s.palette256 = pal256;
    const int mask = bpp == 8 ? 0xFF : (1 << bpp) - 1;
    s.value = [mask](int x, int y, int p) { return (x * 5 + y * 3 + p * 7) & mask; };
    return s;
  };
  WriteFile(kPcxData / "good_1bit.pcx", MakePcx(spec(1, 1, false)));
  WriteFile(kPcxData / "good_2bit.pcx", MakePcx(spec(2, 1, false)));
  WriteFile(kPcxData / "good_4bit.pcx", MakePcx(spec(4, 1, false)));
  WriteFile(kPcxData / "good_8bit_palette.pcx", MakePcx(spec(8, 1, true)));
  WriteFile(kPcxData / "good_24bit.pcx", MakePcx(spec(8, 3, false)));
  WriteFile(kPcxData / "good_1bit_2planes.pcx", MakePcx(spec(1, 2, false)));
  WriteFile(kPcxData / "good_1bit_3planes.pcx", MakePcx(spec(1, 3, false)));
  WriteFile(kPcxData / "good_1bit_4planes.pcx", MakePcx(spec(1, 4, false)));
  PcxSpec s = spec(8, 1, true);
  s.paletteMarker = 0;
  WriteFile(kPcxData / "bad_palette_marker.pcx", MakePcx(s));
  WriteFile(kPcxData / "bad_five_planes.pcx", MakePcx(spec(1, 5, false)));
  WriteFile(kPcxData / "bad_4bit_3planes.pcx", MakePcx(spec(4, 3, false)));
  const Bytes good = MakePcx(spec(8, 3, false));
  WriteFile(kPcxData / "bad_truncated.pcx", Bytes(good.begin(), good.begin() + 300));
  Bytes overrun(good.begin(), good.begin() + 128);
  overrun.insert(overrun.end(), {0xFF, 1, 0xFF, 2, 0xFF, 3, 0xFF, 4, 0xFF, 5, 0xFF, 6, 0xFF, 7, 0xFF, 8, 0xFF, 9, 0xFF, 10});
  WriteFile(kPcxData / "bad_run_overrun.pcx", overrun);
  Bytes huge = good;
  huge[8] = huge[9] = huge[10] = huge[11] = huge[66] = huge[67] = 0xFF;
  WriteFile(kPcxData / "bad_huge.pcx", huge);
}

TEST(PcxSeeds, StoredFilesDecodeAsTheirNamesSay) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kPcxData)) {
    const std::string name = entry.path().filename().string();
    std::ifstream f(entry.path(), std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    CImageBuffer img;
    const bool ok = Decode(b, img);
    EXPECT_EQ(ok, name.rfind("good_", 0) == 0) << name;
    if (ok) EXPECT_EQ(img.Width(), 21) << name;
    else EXPECT_FALSE(img.LastError().empty()) << name;
    ++files;
  }
  EXPECT_GE(files, 10);
}

}  // namespace
}  // namespace velmira
