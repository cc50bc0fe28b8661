#include "processing/colour_depth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "formats/gif_codec.h"

namespace velmira {
namespace {

Rgbq Entry(const uint8_t* pal, int i) { return MakeRgbq(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]); }

std::set<Rgbq> Entries(const uint8_t* pal, int n) {
  std::set<Rgbq> s;
  for (int i = 0; i < n; ++i) s.insert(Entry(pal, i));
  return s;
}

// A 24-bit picture whose colour at (x, y) is f(x, y).
template <class F>
void MakeRgb(CImageBuffer& img, int w, int h, F f, int bpp = 24) {
  ASSERT_TRUE(img.Allocate(w, h, bpp, kFormatBmp));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgbq c = f(x, y);
      uint8_t* p = img.Row(y) + size_t(x) * size_t(bpp / 8);
      p[0] = uint8_t(RgbqB(c));
      p[1] = uint8_t(RgbqG(c));
      p[2] = uint8_t(RgbqR(c));
    }
}

TEST(Octree, FewColoursComeBackExactlyInDepthFirstOrder) {
  OctreeQuantizer q;
  q.AddColour(255, 255, 255);
  q.AddColour(0, 0, 0);
  q.AddColour(255, 0, 0);
  q.AddColour(0, 0, 0);
  uint8_t pal[1024];
  ASSERT_EQ(q.Palette(pal), 3);
  EXPECT_EQ(Entry(pal, 0), MakeRgbq(0, 0, 0));
  EXPECT_EQ(Entry(pal, 1), MakeRgbq(255, 0, 0));
  EXPECT_EQ(Entry(pal, 2), MakeRgbq(255, 255, 255));
  for (int i = 12; i < 1024; ++i) ASSERT_EQ(pal[i], 0) << i;
}

TEST(Octree, TheLeafOverTheLimitFoldsTheNewestDeepestNode) {
  // 256 colours that part above the lowest bit, so each has its own level-7 node.
  OctreeQuantizer q;
  for (int i = 0; i < 256; ++i) q.AddColour(uint8_t((2 * i) & 0xFF), uint8_t((i >> 7) * 2), 0);
  EXPECT_EQ(q.LeafCount(), 256);
  // Differs from the last colour only in the lowest green bit: it joins the newest
  // level-7 node, which is the one folded.
  q.AddColour(254, 3, 0);
  EXPECT_EQ(q.LeafCount(), 256);
  uint8_t pal[1024];
  ASSERT_EQ(q.Palette(pal), 256);
  const std::set<Rgbq> s = Entries(pal, 256);
  EXPECT_EQ(s.count(MakeRgbq(254, 3, 0)), 0u);
  EXPECT_EQ(s.count(MakeRgbq(254, 2, 0)), 1u);  // (254, 2) and (254, 3) averaged
  EXPECT_EQ(s.count(MakeRgbq(252, 2, 0)), 1u);  // every other colour untouched
  EXPECT_EQ(s.count(MakeRgbq(0, 0, 0)), 1u);
}

TEST(Octree, FoldingClimbsLevelsAndWeighsByPixelCount) {
  OctreeQuantizer q(1);
  q.AddRun(0, 0, 0, 3);
  q.AddColour(255, 255, 255);
  EXPECT_EQ(q.LeafCount(), 1);
  uint8_t pal[1024];
  ASSERT_EQ(q.Palette(pal), 1);
  EXPECT_EQ(Entry(pal, 0), MakeRgbq(63, 63, 63));
}

TEST(Octree, RunsBuildTheSameTreeAsSinglePixels) {
  std::mt19937 rng(5);
  std::vector<Rgbq> colours;
  for (int i = 0; i < 3000; ++i) {
    const Rgbq c = MakeRgbq(int(rng() & 0xFF), int(rng() & 0xFF), int(rng() & 0xFF));
    for (int k = int(rng() % 4); k >= 0; --k) colours.push_back(c);
  }
  OctreeQuantizer single, runs;
  for (Rgbq c : colours) single.AddColour(uint8_t(RgbqR(c)), uint8_t(RgbqG(c)), uint8_t(RgbqB(c)));
  CImageBuffer img;
  MakeRgb(img, int(colours.size()), 1, [&](int x, int) { return colours[size_t(x)]; });
  runs.AddImage(img);
  uint8_t a[1024], b[1024];
  // A fold can remove several leaves at once, so fewer than 256 may remain.
  const int n = single.Palette(a);
  EXPECT_GT(n, 200);
  ASSERT_EQ(runs.Palette(b), n);
  EXPECT_EQ(0, std::memcmp(a, b, 1024));
}

TEST(NearestColourMap, AgreesWithTheImageRuleEverywhere) {
  std::mt19937 rng(9);
  for (int trial = 0; trial < 4; ++trial) {
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(1, 1, 8, kFormatBmp));
    const int real = trial == 0 ? 256 : trial == 1 ? 40 : trial == 2 ? 3 : 256;
    for (int i = 0; i < real; ++i) {
      // Clustered and duplicated entries make ties likely.
      const int v = int(rng() % 8) * 32;
      if (trial == 3) img.SetPaletteEntry(i, v, v, int(rng() % 2) * 255);
      else img.SetPaletteEntry(i, int(rng() & 0xFF), int(rng() & 0xF0), v);
    }
    NearestColourMap map(img.Palette(), img.ColoursUsed());
    for (int k = 0; k < 200000; ++k) {
      const Rgbq c = MakeRgbq(int(rng() & 0xFF), int(rng() & 0xFF), int(rng() & 0xFF));
      ASSERT_EQ(map.Find(c), img.NearestIndex(c)) << trial << " " << std::hex << c;
    }
  }
}

TEST(ReduceTo8Bit, PictureOfFewColoursKeepsEveryColour) {
  CImageBuffer in, out;
  // 16 × 8 × 2 = 256 colours at most.
  MakeRgb(in, 37, 23, [](int x, int y) { return MakeRgbq(x % 16 * 17, y % 8 * 30, (x + y) % 2 * 200); });
  in.SetResolution(300, 200);
  ASSERT_TRUE(ReduceTo8Bit(in, out));
  EXPECT_EQ(out.Bpp(), 8);
  EXPECT_EQ(out.Width(), 37);
  EXPECT_EQ(out.Height(), 23);
  EXPECT_EQ(out.Ext().xDpi, 300);
  EXPECT_EQ(out.Ext().yDpi, 200);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(out.ReadColor(x, y), in.ReadColor(x, y)) << x << "," << y;
}

TEST(ReduceTo8Bit, ManyColoursStayClose) {
  CImageBuffer in, out;
  MakeRgb(in, 320, 200, [](int x, int y) {
    return MakeRgbq(x * 255 / 319, y * 255 / 199, int(127 + 120 * std::sin(x * 0.05 + y * 0.03)));
  }, 32);
  ASSERT_TRUE(ReduceTo8Bit(in, out));
  double total = 0;
  int worst = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) {
      const Rgbq a = in.ReadColor(x, y), b = out.ReadColor(x, y);
      const int d = std::abs(RgbqR(a) - RgbqR(b)) + std::abs(RgbqG(a) - RgbqG(b)) + std::abs(RgbqB(a) - RgbqB(b));
      total += d;
      worst = std::max(worst, d);
    }
  // The sum of three channel errors; folding the newest nodes first is not the
  // most accurate octree, but it is the program's.
  EXPECT_LT(total / (320 * 200), 30.0);
  EXPECT_LT(worst, 120);
  // Each pixel holds the nearest entry of the palette, as a paletted write would.
  for (int y = 0; y < 200; y += 7)
    for (int x = 0; x < 320; x += 5) ASSERT_EQ(out.ReadIndex(x, y), out.NearestIndex(in.ReadColor(x, y) & 0xFFFFFF));
}

TEST(ReduceTo8Bit, RefusesPalettePicturesAndSavesAsGif) {
  CImageBuffer eight, out;
  ASSERT_TRUE(eight.Allocate(4, 4, 8, kFormatBmp));
  EXPECT_FALSE(ReduceTo8Bit(eight, out));
  EXPECT_FALSE(out.LastError().empty());
  EXPECT_FALSE(out.IsValid());

  CImageBuffer in;
  MakeRgb(in, 64, 48, [](int x, int y) { return MakeRgbq(x * 4, y * 5, (x + y) * 2); });
  ASSERT_TRUE(ReduceTo8Bit(in, out));
  CImageMemoryStream file;
  ASSERT_TRUE(GifEncode(out, file, out));
  CImageMemoryStream back(file.Bytes().data(), file.Bytes().size());
  CImageBuffer gif;
  ASSERT_TRUE(GifDecode(gif, back));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(gif.ReadColor(x, y), out.ReadColor(x, y));
}

TEST(ReduceTo4Bit, StandardAndOptimalPalettes) {
  CImageBuffer in, out;
  const Rgbq pure[4] = {MakeRgbq(255, 0, 0), MakeRgbq(0, 0, 128), MakeRgbq(192, 192, 192), MakeRgbq(250, 250, 5)};
  MakeRgb(in, 5, 4, [&](int x, int y) { return pure[(x + y) % 4]; });
  ASSERT_TRUE(ReduceTo4Bit(in, out, false));
  EXPECT_EQ(out.Bpp(), 4);
  EXPECT_EQ(out.ReadIndex(0, 0), 9);
  EXPECT_EQ(out.ReadIndex(1, 0), 4);
  EXPECT_EQ(out.ReadIndex(2, 0), 7);
  EXPECT_EQ(out.ReadIndex(3, 0), 11);  // nearest: yellow
  EXPECT_EQ(out.ReadIndex(4, 0), 9);

  ASSERT_TRUE(ReduceTo4Bit(in, out, true));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(out.ReadColor(x, y), pure[(x + y) % 4]);

  const ReductionTarget optimal = FourBitTarget(true), standard = FourBitTarget(false);
  EXPECT_EQ(optimal.slots, (std::array<int32_t, 3>{4, 1, 0}));
  EXPECT_EQ(standard.slots, (std::array<int32_t, 3>{4, 0, 0}));
}

// A 24-bit stack of the given canvas size with `count` layers.
void MakeStack(LayerStack& s, int w, int h, int count) {
  s.header.canvasWidth = w;
  s.header.canvasHeight = h;
  s.header.bitsPerPixel = 24;
  for (int i = 0; i < count; ++i) {
    int slot = -1;
    ASSERT_EQ(s.InsertLayer(s.TopLayer(), -1, &slot), InsertResult::Ok);
  }
}

void Paint(Layer& l, Rgbq (*f)(int, int)) {
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) {
      uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
      const Rgbq c = f(x, y);
      p[0] = uint8_t(RgbqB(c));
      p[1] = uint8_t(RgbqG(c));
      p[2] = uint8_t(RgbqR(c));
    }
}

TEST(ConvertLayersTo8Bit, EveryLayerTakesTheFirstLayersPalette) {
  LayerStack s;
  MakeStack(s, 9, 7, 3);
  const std::vector<int> chain = s.Chain();
  ASSERT_EQ(chain.size(), 3u);
  Layer& bottom = s.slots[chain[0]];
  Layer& upper = s.slots[chain[1]];
  Paint(bottom, [](int x, int y) { return MakeRgbq(x * 20, y * 30, 100); });
  Paint(upper, [](int x, int) { return MakeRgbq(x * 20 + 3, 1, 98); });  // not in the palette
  upper.alpha[5] = 77;
  upper.blend = kBlendMultiply;
  upper.x = 2;
  // The top layer holds text: its one-byte glyph plane stays as it is.
  Layer& text = s.slots[chain[2]];
  text.kind = kLayerText;
  text.stride = text.width;
  text.pixels.assign(size_t(text.width * text.height), 0x42);
  s.selectionExists = true;
  s.mask.assign(size_t(9 * 7), 0);
  s.mask[3] = 1;

  ASSERT_TRUE(ConvertLayersTo8Bit(s));
  EXPECT_EQ(s.header.bitsPerPixel, 8);
  EXPECT_EQ(s.header.paletteColours, 256);
  ASSERT_EQ(s.palette.size(), 1024u);
  EXPECT_EQ(bottom.stride, 12);
  EXPECT_EQ(upper.stride, 12);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      ASSERT_EQ(s.ReadLayerColor(chain[0], x, y, nullptr), MakeRgbq(x * 20, y * 30, 100));
      // The nearest colour of the bottom layer's: its own row 0 colour plus 3 red.
      ASSERT_EQ(s.ReadLayerColor(chain[1], x, y, nullptr), MakeRgbq(x * 20, 0, 100));
    }
  EXPECT_EQ(upper.alpha[5], 77);
  EXPECT_EQ(upper.blend, kBlendMultiply);
  EXPECT_EQ(upper.x, 2);
  EXPECT_EQ(text.pixels[0], 0x42);
  EXPECT_EQ(s.mask[3], 1);
  EXPECT_EQ(s.mask[4], 0);

  // Already paletted: nothing happens.
  const std::vector<uint8_t> before = bottom.pixels;
  EXPECT_FALSE(ConvertLayersTo8Bit(s));
  EXPECT_EQ(bottom.pixels, before);
}

}  // namespace
}  // namespace velmira
