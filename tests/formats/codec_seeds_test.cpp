// The small BMP, JPEG and TIFF files under tests/data that seed the fuzzers: good
// ones in the variants other programs write, broken ones of the usual kinds. With
// VELMIRA_WRITE_SEEDS=1 the files are (re)written; every run checks that each file
// still decodes, or fails, as its name says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "codec_test_support.h"
#include "formats/bmp_codec.h"
#include "formats/format_dispatch.h"
#include "formats/jpeg_codec.h"
#include "formats/tiff_codec.h"

namespace velmira {
namespace {

using namespace velmira::testing;

using SeedSet = std::map<std::string, Bytes>;

Bytes Encoded(CImageBuffer& img, int format) {
  CImageMemoryStream out;
  EncodeStream(img, out, format);
  return out.Bytes();
}

void PaletteImage(CImageBuffer& img, int w, int h, int bpp) {
  img.Allocate(w, h, bpp, kFormatBmp);
  for (int i = 0; i < img.ColoursUsed(); ++i) img.SetPaletteEntry(i, i * 40 & 255, i * 90 & 255, 255 - i);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.WriteIndex(x, y, (x / 3 + y) % img.ColoursUsed());
}

SeedSet BmpSeeds() {
  SeedSet s;
  for (int bpp : {1, 4, 8, 24, 32}) {
    CImageBuffer img;
    if (bpp <= 8) PaletteImage(img, 13, 6, bpp);
    else Fill24(img, 9, 5, bpp);
    s["good_" + std::to_string(bpp) + ".bmp"] = Encoded(img, kFormatBmp);
  }
  BmpSpec core;
  core.headerSize = 12;
  core.width = 4;
  core.height = 2;
  core.bitCount = 4;
  core.palette = std::vector<Rgbq>(16, MakeRgbq(9, 99, 199));
  core.pixels = {0x12, 0x34, 0, 0, 0x56, 0x78, 0, 0};
  s["good_core4.bmp"] = BuildBmp(core);
  core.fileHeader = false;
  s["good_bare_core4.dib"] = BuildBmp(core);

  BmpSpec rle8;
  rle8.width = 8;
  rle8.height = 4;
  rle8.bitCount = 8;
  rle8.compression = 1;
  rle8.palette = std::vector<Rgbq>(4, MakeRgbq(1, 2, 3));
  rle8.coloursUsed = 4;
  rle8.pixels = {4, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 8, 2, 0, 0, 2, 3, 0, 1};
  s["good_rle8.bmp"] = BuildBmp(rle8);
  BmpSpec rle4 = rle8;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.pixels = {6, 0x12, 0, 3, 0x30, 0x10, 0, 0, 8, 0x33, 0, 2, 0, 1, 4, 0x21, 0, 1};
  s["good_rle4.bmp"] = BuildBmp(rle4);

  BmpSpec b16;
  b16.width = 3;
  b16.height = 2;
  b16.bitCount = 16;
  for (int i = 0; i < 12; ++i) Put8(b16.pixels, uint32_t(i * 37));
  // 3 pixels of 2 bytes need a 2-byte pad per row.
  b16.pixels.insert(b16.pixels.begin() + 6, {0, 0});
  b16.pixels.insert(b16.pixels.end(), {0, 0});
  s["good_16_555.bmp"] = BuildBmp(b16);
  b16.compression = 3;
  b16.masks = {0xF800, 0x07E0, 0x001F};
  s["good_16_565.bmp"] = BuildBmp(b16);

  BmpSpec v5;
  v5.headerSize = 124;
  v5.width = 2;
  v5.height = -2;
  v5.bitCount = 32;
  v5.compression = 3;
  v5.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
  for (int i = 0; i < 16; ++i) Put8(v5.pixels, uint32_t(i * 16));
  s["good_32_v5_topdown.bmp"] = BuildBmp(v5);

  BmpSpec top;
  top.width = 3;
  top.height = -3;
  top.bitCount = 24;
  for (int i = 0; i < 36; ++i) Put8(top.pixels, uint32_t(i * 7));
  s["good_topdown24.bmp"] = BuildBmp(top);

  Bytes truncated = s["good_24.bmp"];
  truncated.resize(truncated.size() / 2);
  s["bad_truncated.bmp"] = truncated;
  BmpSpec badComp = top;
  badComp.compression = 1;
  s["bad_compression.bmp"] = BuildBmp(badComp);
  BmpSpec badHeader = top;
  badHeader.headerSize = 13;
  s["bad_header.bmp"] = BuildBmp(badHeader);
  BmpSpec huge = top;
  huge.width = 30000;
  huge.height = 30000;
  s["bad_huge.bmp"] = BuildBmp(huge);
  BmpSpec hugeRle = rle8;
  hugeRle.width = 29000;
  hugeRle.height = 29000;
  s["bad_huge_rle.bmp"] = BuildBmp(hugeRle);
  return s;
}

SeedSet JpegSeeds() {
  SeedSet s;
  const auto rgb = [](int x, int y, uint8_t* p) {
    p[0] = uint8_t(x * 16);
    p[1] = uint8_t(y * 16);
    p[2] = uint8_t((x ^ y) * 8);
  };
  JpegSpec base;
  base.width = 16;
  base.height = 16;
  base.quality = 60;
  base.pixel = rgb;
  s["good_baseline.jpg"] = WriteJpeg(base);
  JpegSpec prog = base;
  prog.progressive = true;
  s["good_progressive.jpg"] = WriteJpeg(prog);
  JpegSpec restart = base;
  restart.restartRows = 1;
  restart.fullChroma = true;
  restart.width = 11;
  restart.height = 9;
  s["good_restart_444.jpg"] = WriteJpeg(restart);
  JpegSpec grey = base;
  grey.components = 1;
  grey.inSpace = JCS_GRAYSCALE;
  grey.pixel = [](int x, int y, uint8_t* p) { p[0] = uint8_t(x * y); };
  s["good_grey.jpg"] = WriteJpeg(grey);
  JpegSpec cmyk = base;
  cmyk.components = 4;
  cmyk.inSpace = JCS_CMYK;
  cmyk.pixel = [](int x, int y, uint8_t* p) {
    p[0] = uint8_t(x * 16), p[1] = uint8_t(y * 16), p[2] = 200, p[3] = 255;
  };
  s["good_cmyk.jpg"] = WriteJpeg(cmyk);
  cmyk.fileSpace = JCS_YCCK;
  s["good_ycck.jpg"] = WriteJpeg(cmyk);
  CImageBuffer ours;
  Fill24(ours, 20, 10);
  ours.Ext().jpegQuality = 75;
  s["good_ours.jpg"] = Encoded(ours, kFormatJpeg);
  Bytes cut = s["good_baseline.jpg"];
  cut.resize(cut.size() - 40);  // inside the entropy-coded data
  s["good_cut_baseline.jpg"] = cut;

  s["bad_notjpeg.jpg"] = Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1};
  Bytes huge = s["good_baseline.jpg"];
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 7] = 0x75;
      huge[i + 6] = huge[i + 8] = 0x30;
      break;
    }
  s["bad_huge.jpg"] = huge;
  return s;
}

void Basics(TIFF* t, uint32_t w, uint32_t h, uint16_t spp, uint16_t bps, uint16_t photometric, uint16_t compression) {
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bps);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 3u);
}

SeedSet TiffSeeds() {
  SeedSet s;
  for (int bpp : {1, 4, 8}) {
    CImageBuffer img;
    PaletteImage(img, 12, 7, bpp);
    s["good_ours_" + std::to_string(bpp) + ".tif"] = Encoded(img, kFormatTiff);
  }
  CImageBuffer grey8;
  grey8.Allocate(10, 4, 8, kFormatBmp);
  grey8.MakeGreyPalette();
  s["good_ours_grey8.tif"] = Encoded(grey8, kFormatTiff);
  CImageBuffer colour;
  Fill24(colour, 12, 9);
  s["good_ours_24_jpeg.tif"] = Encoded(colour, kFormatTiff);

  const auto pattern = [](int y, int, uint8_t* line, size_t n) {
    for (size_t i = 0; i < n; ++i) line[i] = uint8_t(i * 13 + size_t(y) * 31);
  };
  struct Plain {
    const char* name;
    uint16_t spp, bps, photometric, compression;
    int orientation;
  } plain[] = {
      {"good_rgb_lzw.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW, 1},
      {"good_rgb_deflate.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, 1},
      {"good_rgb16.tif", 3, 16, PHOTOMETRIC_RGB, COMPRESSION_NONE, 1},
      {"good_rgba_packbits.tif", 4, 8, PHOTOMETRIC_RGB, COMPRESSION_PACKBITS, 1},
      {"good_grey16.tif", 1, 16, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 1},
      {"good_grey2.tif", 1, 2, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 1},
      {"good_greyalpha.tif", 2, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, 1},
      {"good_rgb_orient6.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_NONE, 6},
      {"good_grey_orient7.tif", 1, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 7},
      {"good_bilevel_orient3.tif", 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, 3},
      {"good_cmyk.tif", 4, 8, PHOTOMETRIC_SEPARATED, COMPRESSION_NONE, 1},
  };
  for (const Plain& p : plain) {
    const uint32_t w = 7, h = 5;
    const size_t line = (size_t(w) * p.spp * p.bps + 7) / 8;
    s[p.name] = WriteTiff(
        [&](TIFF* t) {
          Basics(t, w, h, p.spp, p.bps, p.photometric, p.compression);
          TIFFSetField(t, TIFFTAG_ORIENTATION, uint16_t(p.orientation));
          if ((p.spp == 4 && p.photometric == PHOTOMETRIC_RGB) || p.spp == 2) {
            uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
          }
        },
        int(h), tmsize_t(line), [&](int y, int plane, uint8_t* l) { pattern(y, plane, l, line); });
  }
  s["good_palette.tif"] = WriteTiff(
      [](TIFF* t) {
        Basics(t, 6, 3, 1, 4, PHOTOMETRIC_PALETTE, COMPRESSION_NONE);
        std::vector<uint16_t> r(16), g(16), b(16);
        for (int i = 0; i < 16; ++i) r[size_t(i)] = uint16_t(i * 4000), g[size_t(i)] = uint16_t(65535 - i * 4000);
        TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
      },
      3, 3, [&](int y, int plane, uint8_t* l) { pattern(y, plane, l, 3); });
  s["good_multipage.tif"] = WriteTiff([](TIFF* t) { Basics(t, 3, 2, 1, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE); },
                                      2, 3, [&](int y, int plane, uint8_t* l) { pattern(y, plane, l, 3); }, 1, 3);
  // Tiled colour compressed and not (an uncompressed 768-byte tile is what other
  // programs' 16 × 16 tiles are), and tiled bilevel.
  struct Tiled {
    const char* name;
    uint16_t spp, bps, photometric, compression;
  } tiled[] = {{"good_tiled.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW},
               {"good_tiled_plain.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_NONE},
               {"good_tiled_bilevel.tif", 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE}};
  for (const Tiled& k : tiled) {
    TempDir dir;
    const auto p = dir / "tiled.tif";
    TIFF* t = TIFFOpen(p.c_str(), "w");
    Basics(t, 20, 18, k.spp, k.bps, k.photometric, k.compression);
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16u);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16u);
    std::vector<uint8_t> tile(size_t(16 * 16 * k.spp * k.bps / 8));
    for (uint32_t ty = 0; ty < 18; ty += 16)
      for (uint32_t tx = 0; tx < 20; tx += 16) {
        pattern(int(tx + ty), 0, tile.data(), tile.size());
        TIFFWriteTile(t, tile.data(), tx, ty, 0, 0);
      }
    TIFFClose(t);
    s[k.name] = ReadFileBytes(p);
  }

  s["bad_header.tif"] = Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0, 1, 3, 0, 1, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0, 0};
  Bytes strips = s["good_rgb_lzw.tif"];
  for (size_t i = 8; i < 40 && i < strips.size(); ++i) strips[i] = 0xFF;
  s["bad_strips.tif"] = strips;
  s["bad_huge.tif"] = WriteTiff(
      [](TIFF* t) {
        Basics(t, 30000, 30000, 3, 8, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 30000u);
      },
      1, 90000,
      [](int, int, uint8_t* l) { std::memset(l, 0, 90000); });
  return s;
}

struct Folder {
  const char* name;
  SeedSet (*build)();
  int format;
};
const Folder kFolders[] = {{"bmp", BmpSeeds, kFormatBmp}, {"jpeg", JpegSeeds, kFormatJpeg}, {"tiff", TiffSeeds, kFormatTiff}};

TEST(CodecSeeds, EveryCommittedSeedDecodesAsItsNameSays) {
  const bool write = std::getenv("VELMIRA_WRITE_SEEDS") != nullptr;
  for (const Folder& f : kFolders) {
    SCOPED_TRACE(f.name);
    const std::filesystem::path dir = std::filesystem::path(VELMIRA_TEST_DATA) / f.name;
    if (write) {
      std::filesystem::create_directories(dir);
      for (const auto& [name, bytes] : f.build()) WriteFileBytes(dir / name, bytes);
    }
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << "run once with VELMIRA_WRITE_SEEDS=1";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      SCOPED_TRACE(name);
      const Bytes bytes = ReadFileBytes(entry.path());
      CImageBuffer img;
      CImageMemoryStream s(bytes.data(), bytes.size());
      const bool ok = DecodeStream(img, s, f.format);
      if (name.rfind("good_", 0) == 0) {
        EXPECT_TRUE(ok) << img.LastError();
        EXPECT_GT(img.Width(), 0);
      } else {
        EXPECT_FALSE(ok);
        EXPECT_FALSE(img.LastError().empty());
      }
      ++seen;
    }
    EXPECT_GE(seen, 10);
  }
}

}  // namespace
}  // namespace velmira
