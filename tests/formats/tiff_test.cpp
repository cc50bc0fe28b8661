#include "formats/tiff_codec.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <set>

#include "codec_test_support.h"

// The largest single request made through operator new while a test watches: the
// codec's buffers are std::vectors, so a buffer sized from a hostile header shows up
// here long before it would show as a slow test.
namespace {
std::atomic<bool> gWatchAllocations{false};
std::atomic<size_t> gLargestAllocation{0};
void* Allocate(size_t n) {
  if (gWatchAllocations.load(std::memory_order_relaxed)) {
    size_t seen = gLargestAllocation.load(std::memory_order_relaxed);
    while (n > seen && !gLargestAllocation.compare_exchange_weak(seen, n)) {
    }
  }
  return std::malloc(n ? n : 1);
}
}  // namespace

// The replacements pair malloc with free throughout; GCC cannot see that once the
// code is inlined into the callers of new and delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace velmira {
namespace {

using namespace velmira::testing;

bool Decode(const Bytes& bytes, CImageBuffer& img) {
  CImageMemoryStream s(bytes.data(), bytes.size());
  return TiffDecode(img, s);
}

Bytes Encode(CImageBuffer& img) {
  CImageMemoryStream out;
  EXPECT_TRUE(TiffEncode(img, out)) << img.LastError();
  return out.Bytes();
}

void SetBasics(TIFF* t, uint32_t w, uint32_t h, uint16_t spp, uint16_t bps, uint16_t photometric,
               uint16_t compression = COMPRESSION_NONE) {
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bps);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2u);
}

// ---- what the program writes ----

TEST(TiffEncode, ColourPicturesUseJpegInStripsOfEightRows) {
  CImageBuffer src;
  src.Allocate(40, 30, 24, kFormatBmp);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) src.WriteColor(x, 29 - y, MakeRgbq(x * 6, y * 8, 100));
  src.SetResolution(300, 300);
  const Bytes file = Encode(src);
  const TiffFacts f = InspectTiff(file);
  EXPECT_EQ(f.compression, COMPRESSION_JPEG);
  EXPECT_EQ(f.rowsPerStrip, 8u);
  EXPECT_EQ(f.photometric, PHOTOMETRIC_RGB);
  EXPECT_EQ(f.spp, 3);
  EXPECT_EQ(f.orientation, ORIENTATION_TOPLEFT);
  EXPECT_FLOAT_EQ(f.xres, 300.0f);

  CImageBuffer back;
  ASSERT_TRUE(Decode(file, back)) << back.LastError();
  EXPECT_EQ(back.Bpp(), 24);
  EXPECT_EQ(back.FormatType(), kFormatTiff);
  EXPECT_EQ(back.Ext().xDpi, 300);
  EXPECT_EQ(back.Ext().frameCount, 1);
  for (int y = 0; y < 30; y += 7)
    for (int x = 0; x < 40; x += 9) EXPECT_LE(MaxChannelDiff(ScreenColor(back, x, y), ScreenColor(src, x, y)), 6);
}

TEST(TiffEncode, PaletteDepthsPickTheirCompressionAndComeBackExactly) {
  struct Case {
    int bpp;
    bool greyRamp;
    uint16_t compression, photometric;
  } cases[] = {
      {1, false, COMPRESSION_CCITTFAX3, PHOTOMETRIC_MINISBLACK},
      {4, false, COMPRESSION_NONE, PHOTOMETRIC_PALETTE},
      {4, true, COMPRESSION_NONE, PHOTOMETRIC_MINISBLACK},
      {8, false, COMPRESSION_PACKBITS, PHOTOMETRIC_PALETTE},
      {8, true, COMPRESSION_PACKBITS, PHOTOMETRIC_MINISBLACK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bpp << (c.greyRamp ? " grey" : " colour"));
    CImageBuffer src;
    src.Allocate(37, 11, c.bpp, kFormatBmp);
    const int n = src.ColoursUsed();
    if (c.greyRamp) src.MakeGreyPalette();
    else if (c.bpp == 1) {
      src.SetPaletteEntry(0, 0, 0, 0);
      src.SetPaletteEntry(1, 255, 255, 255);
    } else {
      for (int i = 0; i < n; ++i) src.SetPaletteEntry(i, i * 7 & 255, 255 - i, i * 3 & 255);
    }
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 37; ++x) src.WriteIndex(x, y, (x * 5 + y * 3) % n);
    const Bytes file = Encode(src);
    const TiffFacts f = InspectTiff(file);
    EXPECT_EQ(f.compression, c.compression);
    EXPECT_EQ(f.photometric, c.photometric);
    EXPECT_EQ(f.bps, c.bpp);
    CImageBuffer back;
    ASSERT_TRUE(Decode(file, back)) << back.LastError();
    ASSERT_EQ(back.Bpp(), c.bpp);
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 37; ++x) ASSERT_EQ(back.ReadColor(x, y), src.ReadColor(x, y)) << x << "," << y;
  }
}

TEST(TiffEncode, WhiteOnIndexZeroIsWrittenWhiteIsZero) {
  CImageBuffer src;
  src.Allocate(8, 2, 1, kFormatBmp);
  src.SetPaletteEntry(0, 255, 255, 255);
  src.SetPaletteEntry(1, 0, 0, 0);
  std::memset(src.Pixels(), 0, src.ImageSize());
  src.WriteIndex(3, 1, 1);
  const Bytes file = Encode(src);
  EXPECT_EQ(InspectTiff(file).photometric, PHOTOMETRIC_MINISWHITE);
  CImageBuffer back;
  ASSERT_TRUE(Decode(file, back));
  EXPECT_EQ(back.ReadColor(3, 1) & 0xFFFFFF, 0u);
  EXPECT_EQ(back.ReadColor(4, 1) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(TiffEncode, WriteFailureIsReported) {
  struct FullDisk : CImageMemoryStream {
    size_t Write(const void*, size_t, size_t) override { return 0; }
  } full;
  CImageBuffer img;
  Fill24(img, 30, 30);
  EXPECT_FALSE(TiffEncode(img, full));
  EXPECT_FALSE(img.LastError().empty());
}

// ---- files written by other programs ----

TEST(TiffDecodeVariants, SixteenBitGreyKeepsTheHighBytes) {
  const Bytes file = WriteTiff([](TIFF* t) { SetBasics(t, 3, 2, 1, 16, PHOTOMETRIC_MINISBLACK); }, 2, 6,
                               [](int y, int, uint8_t* line) {
                                 uint16_t* s = reinterpret_cast<uint16_t*>(line);
                                 s[0] = 0x12FF;
                                 s[1] = 0xAB00;
                                 s[2] = uint16_t(y == 0 ? 0xFFFF : 0x0001);
                               });
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(img.Bpp(), 8);
  EXPECT_EQ(img.ReadIndex(0, 1), 0x12);  // top row
  EXPECT_EQ(img.ReadIndex(1, 1), 0xAB);
  EXPECT_EQ(img.ReadIndex(2, 1), 0xFF);
  EXPECT_EQ(img.ReadIndex(2, 0), 0x00);
  EXPECT_EQ(img.PaletteEntry(0x12) & 0xFFFFFF, MakeRgbq(0x12, 0x12, 0x12));
}

TEST(TiffDecodeVariants, WhiteIsZeroGreyRampDescends) {
  const Bytes file = WriteTiff([](TIFF* t) { SetBasics(t, 2, 1, 1, 8, PHOTOMETRIC_MINISWHITE); }, 1, 2,
                               [](int, int, uint8_t* line) { line[0] = 0, line[1] = 200; });
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(255, 255, 255));
  EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(55, 55, 55));
}

TEST(TiffDecodeVariants, TwoBitGreyAndGreyWithAlpha) {
  Bytes file = WriteTiff([](TIFF* t) { SetBasics(t, 4, 1, 1, 2, PHOTOMETRIC_MINISBLACK); }, 1, 1,
                         [](int, int, uint8_t* line) { line[0] = 0x1B; });  // 0 1 2 3
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  for (int x = 0; x < 4; ++x) EXPECT_EQ(ScreenColor(img, x, 0), MakeRgbq(85 * x, 85 * x, 85 * x));

  file = WriteTiff(
      [](TIFF* t) {
        SetBasics(t, 2, 1, 2, 8, PHOTOMETRIC_MINISBLACK);
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
      },
      1, 4, [](int, int, uint8_t* line) { line[0] = 40, line[1] = 255, line[2] = 90, line[3] = 0; });
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(img.Width(), 2);
  EXPECT_EQ(img.ReadIndex(0, 0), 40);
  EXPECT_EQ(img.ReadIndex(1, 0), 90);
}

TEST(TiffDecodeVariants, PaletteWithSixteenBitColourMap) {
  const Bytes file = WriteTiff(
      [](TIFF* t) {
        SetBasics(t, 2, 1, 1, 8, PHOTOMETRIC_PALETTE);
        std::vector<uint16_t> r(256, 0), g(256, 0), b(256, 0);
        r[1] = 65535;
        g[2] = 32896;  // 128 × 257
        TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
      },
      1, 2, [](int, int, uint8_t* line) { line[0] = 1, line[1] = 2; });
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 0, 0), MakeRgbq(255, 0, 0));
  EXPECT_EQ(ScreenColor(img, 1, 0), MakeRgbq(0, 128, 0));
}

TEST(TiffDecodeVariants, ColourFilesInTheCommonCodings) {
  struct Case {
    const char* name;
    uint16_t compression;
    uint16_t bps;
    uint16_t spp;
    bool separate;
  } cases[] = {
      {"RGB none", COMPRESSION_NONE, 8, 3, false}, {"RGB LZW", COMPRESSION_LZW, 8, 3, false},
      {"RGB deflate", COMPRESSION_ADOBE_DEFLATE, 8, 3, false}, {"RGBA", COMPRESSION_NONE, 8, 4, false},
      {"RGB 16-bit", COMPRESSION_NONE, 16, 3, false}, {"RGB planes", COMPRESSION_LZW, 8, 3, true},
  };
  const int w = 5, h = 7;
  const auto colour = [](int x, int y) { return MakeRgbq(x * 50, y * 30, 200 - x * 10); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int bytesPerSample = c.bps / 8;
    const int planes = c.separate ? c.spp : 1;
    const tmsize_t lineBytes = tmsize_t(w) * bytesPerSample * (c.separate ? 1 : c.spp);
    const Bytes file = WriteTiff(
        [&](TIFF* t) {
          SetBasics(t, w, h, c.spp, c.bps, PHOTOMETRIC_RGB, c.compression);
          if (c.separate) TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
          if (c.spp == 4) {
            uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
          }
        },
        h, lineBytes,
        [&](int y, int plane, uint8_t* line) {
          for (int x = 0; x < w; ++x) {
            const Rgbq q = colour(x, y);
            const int v[4] = {RgbqR(q), RgbqG(q), RgbqB(q), 255};
            for (int s = 0; s < (c.separate ? 1 : c.spp); ++s) {
              const int value = v[c.separate ? plane : s];
              const size_t at = (size_t(x) * (c.separate ? 1 : c.spp) + size_t(s)) * size_t(bytesPerSample);
              if (c.bps == 16) reinterpret_cast<uint16_t*>(line)[at / 2] = uint16_t(value * 257);
              else line[at] = uint8_t(value);
            }
          }
        },
        planes);
    CImageBuffer img;
    ASSERT_TRUE(Decode(file, img)) << img.LastError();
    ASSERT_EQ(img.Bpp(), 24);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(ScreenColor(img, x, y), colour(x, y)) << x << "," << y;
  }
}

TEST(TiffDecodeVariants, YCbCrJpegAsCamerasAndScannersWriteIt) {
  const int w = 32, h = 32;
  const Bytes file = WriteTiff(
      [](TIFF* t) {
        SetBasics(t, w, h, 3, 8, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 16u);
        TIFFSetField(t, TIFFTAG_JPEGQUALITY, 95);
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      },
      h, w * 3,
      [](int y, int, uint8_t* line) {
        for (int x = 0; x < w; ++x) {
          line[3 * x] = y < 16 ? 230 : 20;
          line[3 * x + 1] = x < 16 ? 40 : 200;
          line[3 * x + 2] = 90;
        }
      });
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_LE(MaxChannelDiff(ScreenColor(img, 3, 3), MakeRgbq(230, 40, 90)), 8);
  EXPECT_LE(MaxChannelDiff(ScreenColor(img, 28, 28), MakeRgbq(20, 200, 90)), 8);
}

TEST(TiffDecodeVariants, TiledColourAndTiledGrey) {
  const int w = 40, h = 20;
  TempDir dir;
  for (bool grey : {false, true}) {
    SCOPED_TRACE(grey ? "grey" : "colour");
    const std::filesystem::path p = dir / "tiled.tif";
    TIFF* t = TIFFOpen(p.c_str(), "w");
    SetBasics(t, w, h, grey ? 1 : 3, 8, grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16u);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16u);
    const int spp = grey ? 1 : 3;
    std::vector<uint8_t> tile(size_t(16 * 16 * spp));
    for (int ty = 0; ty < h; ty += 16)
      for (int tx = 0; tx < w; tx += 16) {
        for (int y = 0; y < 16; ++y)
          for (int x = 0; x < 16; ++x)
            for (int s = 0; s < spp; ++s) tile[size_t((y * 16 + x) * spp + s)] = uint8_t((tx + x) * 5 + (ty + y) + s * 60);
        TIFFWriteTile(t, tile.data(), uint32_t(tx), uint32_t(ty), 0, 0);
      }
    TIFFClose(t);
    CImageBuffer img;
    ASSERT_TRUE(Decode(ReadFileBytes(p), img)) << img.LastError();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int v = x * 5 + y;
        const Rgbq want = grey ? MakeRgbq(v, v, v) : MakeRgbq(v, v + 60, v + 120);
        ASSERT_EQ(ScreenColor(img, x, y), want) << x << "," << y;
      }
  }
}

// Every layout the strip reader opens opens in 16 × 16 tiles too, with partial tiles
// on the right and bottom edges (37 × 29), compressed or not: the tiled file gives
// exactly the picture of the same samples in strips.
TEST(TiffDecodeVariants, TiledFilesOfEveryLayoutMatchTheirStrippedTwins) {
  struct Layout {
    const char* name;
    uint16_t spp, bps, photometric, planar;
  } layouts[] = {
      {"bilevel", 1, 1, PHOTOMETRIC_MINISWHITE, PLANARCONFIG_CONTIG},
      {"grey2", 1, 2, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG},
      {"grey4", 1, 4, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG},
      {"grey8", 1, 8, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG},
      {"grey16", 1, 16, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG},
      {"palette4", 1, 4, PHOTOMETRIC_PALETTE, PLANARCONFIG_CONTIG},
      {"palette8", 1, 8, PHOTOMETRIC_PALETTE, PLANARCONFIG_CONTIG},
      {"grey+alpha", 2, 8, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG},
      {"grey+alpha planes", 2, 8, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_SEPARATE},
      {"rgb8", 3, 8, PHOTOMETRIC_RGB, PLANARCONFIG_CONTIG},
      {"rgb16", 3, 16, PHOTOMETRIC_RGB, PLANARCONFIG_CONTIG},
      {"rgba8", 4, 8, PHOTOMETRIC_RGB, PLANARCONFIG_CONTIG},
      {"rgb8 planes", 3, 8, PHOTOMETRIC_RGB, PLANARCONFIG_SEPARATE},
      {"cmyk8", 4, 8, PHOTOMETRIC_SEPARATED, PLANARCONFIG_CONTIG},
  };
  const uint32_t w = 37, h = 29, tw = 16, th = 16;
  TempDir dir;
  for (const Layout& l : layouts)
    for (uint16_t compression : {COMPRESSION_NONE, COMPRESSION_ADOBE_DEFLATE}) {
      SCOPED_TRACE(std::string(l.name) + (compression == COMPRESSION_NONE ? ", uncompressed" : ", deflate"));
      const bool separate = l.planar == PLANARCONFIG_SEPARATE;
      const int planes = separate ? l.spp : 1;
      const uint32_t pixelBits = uint32_t(l.bps) * (separate ? 1u : l.spp);
      const size_t lineBytes = (size_t(w) * pixelBits + 7) / 8;
      // Stored bytes of row y of a plane; 16-bit samples in the machine's order.
      const auto line = [&](int y, int plane, uint8_t* out) {
        for (size_t i = 0; i < lineBytes; ++i) out[i] = uint8_t(i * 29 + size_t(y) * 53 + size_t(plane) * 101 + (i >> 3));
      };
      const auto tags = [&](TIFF* t) {
        SetBasics(t, w, h, l.spp, l.bps, l.photometric, compression);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, l.planar);
        if (l.photometric == PHOTOMETRIC_PALETTE) {
          const int n = 1 << l.bps;
          std::vector<uint16_t> r(static_cast<size_t>(n)), g(r), b(r);
          for (int i = 0; i < n; ++i)
            r[size_t(i)] = uint16_t(i * 257), g[size_t(i)] = uint16_t((255 - i) * 257), b[size_t(i)] = uint16_t((i * 7 & 255) * 257);
          TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        }
        if ((l.spp == 4 && l.photometric == PHOTOMETRIC_RGB) || l.spp == 2) {
          uint16_t extra = EXTRASAMPLE_UNASSALPHA;
          TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
      };
      const Bytes stripped = WriteTiff(tags, int(h), tmsize_t(lineBytes), line, planes);

      const std::filesystem::path p = dir / "tiled.tif";
      TIFF* t = TIFFOpen(p.c_str(), "w");
      tags(t);
      TIFFSetField(t, TIFFTAG_TILEWIDTH, tw);
      TIFFSetField(t, TIFFTAG_TILELENGTH, th);
      const size_t tileRow = (size_t(tw) * pixelBits + 7) / 8;
      std::vector<uint8_t> row(lineBytes), tile(tileRow * th);
      for (int plane = 0; plane < planes; ++plane)
        for (uint32_t ty = 0; ty < h; ty += th)
          for (uint32_t tx = 0; tx < w; tx += tw) {
            std::fill(tile.begin(), tile.end(), uint8_t(0));
            const size_t from = size_t(tx) * pixelBits / 8;
            for (uint32_t r = 0; r < th && ty + r < h; ++r) {
              line(int(ty + r), plane, row.data());
              std::memcpy(tile.data() + r * tileRow, row.data() + from, std::min(tileRow, lineBytes - from));
            }
            ASSERT_GE(TIFFWriteTile(t, tile.data(), tx, ty, 0, uint16_t(plane)), 0);
          }
      TIFFClose(t);

      CImageBuffer fromStrips, fromTiles;
      ASSERT_TRUE(Decode(stripped, fromStrips)) << fromStrips.LastError();
      ASSERT_TRUE(Decode(ReadFileBytes(p), fromTiles)) << fromTiles.LastError();
      ASSERT_EQ(fromTiles.Width(), int(w));
      ASSERT_EQ(fromTiles.Height(), int(h));
      ASSERT_EQ(fromTiles.Bpp(), fromStrips.Bpp());
      std::set<Rgbq> colours;
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
          const Rgbq c = ScreenColor(fromStrips, int(x), int(y));
          colours.insert(c);
          ASSERT_EQ(ScreenColor(fromTiles, int(x), int(y)), c) << x << "," << y;
        }
      // The samples really vary, also across the tile seams.
      EXPECT_GT(colours.size(), 1u);
    }
}

TEST(TiffDecodeVariants, PagesAreCountedAndTheChosenOneIsRead) {
  int page = 0;
  const Bytes file = WriteTiff(
      [&](TIFF* t) {
        SetBasics(t, 1, 1, 1, 8, PHOTOMETRIC_MINISBLACK);
        ++page;
      },
      1, 1, [&](int, int, uint8_t* line) { line[0] = uint8_t(page * 10); }, 1, 3);
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img)) << img.LastError();
  EXPECT_EQ(img.Ext().frameCount, 3);
  EXPECT_EQ(img.ReadIndex(0, 0), 10);

  CImageBuffer second;
  second.Ext().frameIndex = 1;
  ASSERT_TRUE(Decode(file, second)) << second.LastError();
  EXPECT_EQ(second.ReadIndex(0, 0), 20);

  CImageBuffer missing;
  missing.Ext().frameIndex = 3;
  EXPECT_FALSE(Decode(file, missing));
  EXPECT_EQ(missing.LastError(), "Error: page not present in TIFF file");
}

TEST(TiffDecodeVariants, ResolutionInCentimetresBecomesDpi) {
  const Bytes file = WriteTiff(
      [](TIFF* t) {
        SetBasics(t, 1, 1, 1, 8, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, 118.11f);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, 39.37f);
      },
      1, 1, [](int, int, uint8_t* line) { line[0] = 0; });
  CImageBuffer img;
  ASSERT_TRUE(Decode(file, img));
  EXPECT_EQ(img.Ext().xDpi, 299);  // whole dots per inch, truncated
  EXPECT_EQ(img.Ext().yDpi, 99);
}

TEST(TiffDecodeVariants, TiffInsideALargerStream) {
  CImageBuffer src;
  Fill24(src, 9, 9);
  Bytes file = {1, 2, 3, 4, 5};
  const Bytes tiff = Encode(src);
  file.insert(file.end(), tiff.begin(), tiff.end());
  CImageMemoryStream s(file.data(), file.size());
  s.Seek(5, CImageStream::kSet);
  CImageBuffer img;
  ASSERT_TRUE(TiffDecode(img, s)) << img.LastError();
  EXPECT_EQ(img.Width(), 9);
}

// ---- orientation ----

// Where the stored row 0 and column 0 belong on screen, as the tag defines it.
struct Edges {
  char row0, col0;  // 't'op, 'b'ottom, 'l'eft, 'r'ight
};
constexpr Edges kOrientation[9] = {{}, {'t', 'l'}, {'t', 'r'}, {'b', 'r'}, {'b', 'l'},
                                   {'l', 't'}, {'r', 't'}, {'r', 'b'}, {'l', 'b'}};

// The screen position (x, y from the top) of stored pixel (row r, column c) on a
// screen W × H.
void StoredToScreen(int o, int r, int c, int W, int H, int& x, int& y) {
  const Edges e = kOrientation[o];
  if (e.row0 == 't' || e.row0 == 'b') {
    y = e.row0 == 't' ? r : H - 1 - r;
    x = e.col0 == 'l' ? c : W - 1 - c;
  } else {
    x = e.row0 == 'l' ? r : W - 1 - r;
    y = e.col0 == 't' ? c : H - 1 - c;
  }
}

TEST(TiffOrientation, EveryTagValueOpensUpright) {
  // The upright picture: 4 wide, 3 high, every pixel different.
  const int W = 4, H = 3;
  const auto upright = [](int x, int y) { return MakeRgbq(x * 60, y * 100, 7 * x + 40 * y); };
  const auto greyUpright = [](int x, int y) { return x * 16 + y * 64; };
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE(::testing::Message() << "orientation " << o);
    const bool turned = o >= 5;
    const int w = turned ? H : W, h = turned ? W : H;  // stored size
    for (int kind = 0; kind < 3; ++kind) {  // colour, grey, bilevel
      SCOPED_TRACE(kind == 0 ? "colour" : kind == 1 ? "grey" : "bilevel");
      const int spp = kind == 0 ? 3 : 1;
      const int bps = kind == 2 ? 1 : 8;
      const Bytes file = WriteTiff(
          [&](TIFF* t) {
            SetBasics(t, uint32_t(w), uint32_t(h), uint16_t(spp), uint16_t(bps),
                      kind == 0 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
            TIFFSetField(t, TIFFTAG_ORIENTATION, uint16_t(o));
          },
          h, kind == 2 ? 1 : w * spp,
          [&](int r, int, uint8_t* line) {
            if (kind == 2) line[0] = 0;
            for (int c = 0; c < w; ++c) {
              int x, y;
              StoredToScreen(o, r, c, W, H, x, y);
              if (kind == 0) {
                const Rgbq q = upright(x, y);
                line[3 * c] = uint8_t(RgbqR(q));
                line[3 * c + 1] = uint8_t(RgbqG(q));
                line[3 * c + 2] = uint8_t(RgbqB(q));
              } else if (kind == 1) {
                line[c] = uint8_t(greyUpright(x, y));
              } else if ((x + 2 * y) % 3 == 0) {
                line[0] |= uint8_t(0x80 >> c);
              }
            }
          });
      CImageBuffer img;
      ASSERT_TRUE(Decode(file, img)) << img.LastError();
      ASSERT_EQ(img.Width(), W);
      ASSERT_EQ(img.Height(), H);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
          Rgbq want;
          if (kind == 0) want = upright(x, y);
          else if (kind == 1) want = MakeRgbq(greyUpright(x, y), greyUpright(x, y), greyUpright(x, y));
          else want = (x + 2 * y) % 3 == 0 ? 0xFFFFFFu : 0u;
          ASSERT_EQ(ScreenColor(img, x, y), want) << x << "," << y;
        }
    }
  }
}

// ---- broken files ----

// A 190-byte file whose directory claims 65535 samples a pixel and 6145-row strips:
// its strip buffer would have been 2.8 GB, allocated and cleared before the read
// failed. Every buffer is now bounded by what the file can hold, so it is refused
// before anything large is asked for.
TEST(TiffDecodeFailures, HeadersClaimingMoreThanTheFileHoldsAllocateNothingLarge) {
  const Bytes repro = ReadFileBytes(std::filesystem::path(VELMIRA_TEST_DATA) / "tiff" / "bad_palette_2800mb.tif");
  ASSERT_EQ(repro.size(), 190u);
  const auto largest = [](const Bytes& file, bool* decoded) {
    CImageBuffer img;
    gLargestAllocation = 0;
    gWatchAllocations = true;
    *decoded = Decode(file, img);
    gWatchAllocations = false;
    return size_t(gLargestAllocation);
  };
  bool ok = true;
  EXPECT_LT(largest(repro, &ok), size_t(16) << 20);
  EXPECT_FALSE(ok);

  // The same kind of lie in a tiled file: 4096 × 4096 tiles of 8-bit grey on a
  // 20 × 20 picture in a few hundred bytes (a 16 MB tile buffer).
  TempDir dir;
  const std::filesystem::path p = dir / "bigtile.tif";
  TIFF* t = TIFFOpen(p.c_str(), "w");
  SetBasics(t, 20, 20, 1, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE);
  TIFFSetField(t, TIFFTAG_TILEWIDTH, 4096u);
  TIFFSetField(t, TIFFTAG_TILELENGTH, 4096u);
  std::vector<uint8_t> tile(size_t(4096) * 4096, 0);
  TIFFWriteTile(t, tile.data(), 0, 0, 0, 0);
  TIFFClose(t);
  const Bytes bigTile = ReadFileBytes(p);
  ASSERT_LT(bigTile.size(), 40000u);
  EXPECT_LT(largest(bigTile, &ok), size_t(8) << 20);
  EXPECT_FALSE(ok);

  // A large tile on a small picture is fine while the file could really hold it.
  t = TIFFOpen(p.c_str(), "w");
  SetBasics(t, 20, 20, 1, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
  TIFFSetField(t, TIFFTAG_TILEWIDTH, 256u);
  TIFFSetField(t, TIFFTAG_TILELENGTH, 256u);
  tile.assign(256 * 256, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) tile[size_t(y * 256 + x)] = uint8_t(x * 10 + y);
  TIFFWriteTile(t, tile.data(), 0, 0, 0, 0);
  TIFFClose(t);
  CImageBuffer img;
  ASSERT_TRUE(Decode(ReadFileBytes(p), img)) << img.LastError();
  EXPECT_EQ(ScreenColor(img, 7, 3), MakeRgbq(73, 73, 73));
}

TEST(TiffDecodeFailures, BrokenFilesFailWithTheirTextAndLeaveThePicture) {
  CImageBuffer img;
  Fill24(img, 6, 6);
  const Rgbq before = img.ReadColor(3, 3);

  EXPECT_FALSE(Decode(Bytes{'I', 'I', 42, 0, 200, 0, 0, 0}, img));
  EXPECT_EQ(img.LastError(), "Error encountered while opening TIFF file");
  EXPECT_FALSE(Decode(Bytes{'B', 'M', 1, 2, 3}, img));
  EXPECT_EQ(img.LastError(), "Error encountered while opening TIFF file");

  // Strip data cut off in the middle of an LZW strip.
  Bytes file = WriteTiff([](TIFF* t) { SetBasics(t, 64, 64, 3, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW); }, 64, 192,
                         [](int y, int, uint8_t* line) {
                           for (int i = 0; i < 192; ++i) line[i] = uint8_t(i * y * 7 + (i >> 2));
                         });
  CImageBuffer whole;
  ASSERT_TRUE(Decode(file, whole));
  // libtiff writes the directory last; blank the strip data instead of cutting it.
  for (size_t i = 8; i < file.size() / 2; ++i) file[i] = 0xFF;
  EXPECT_FALSE(Decode(file, img));
  EXPECT_EQ(img.LastError(), "Corrupted TIFF file!");

  // A page claiming 30000 × 30000 pixels over a few bytes of data.
  file = WriteTiff([](TIFF* t) { SetBasics(t, 30000, 30000, 3, 8, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE); }, 1,
                   90000, [](int, int, uint8_t* line) { std::memset(line, 0, 90000); });
  EXPECT_FALSE(Decode(file, img));

  EXPECT_EQ(img.Width(), 6);
  EXPECT_EQ(img.ReadColor(3, 3), before);
}

}  // namespace
}  // namespace velmira
