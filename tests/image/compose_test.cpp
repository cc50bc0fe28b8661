#include "image/compose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "image/layers.h"

namespace velmira {
namespace {

// A canvas of w × h with an opaque bottom layer of one colour.
struct Canvas {
  LayerStack st;
  Canvas(int w, int h, Rgbq bottomColour) {
    int slot = -1;
    st.header.canvasWidth = w;
    st.header.canvasHeight = h;
    st.header.bitsPerPixel = 24;
    EXPECT_EQ(st.InsertLayer(-1, -1, &slot), InsertResult::Ok);
    Fill(slot, bottomColour, 255);
  }
  int Add(Rgbq c, int coverage, int blend = kBlendNormal, int transparency = 0) {
    int slot = -1;
    EXPECT_EQ(st.InsertLayer(st.TopLayer(), -1, &slot), InsertResult::Ok);
    Fill(slot, c, coverage);
    st.slots[slot].blend = uint8_t(blend);
    st.slots[slot].transparency = uint8_t(transparency);
    return slot;
  }
  void Fill(int slot, Rgbq c, int coverage) {
    Layer& l = st.slots[slot];
    for (int y = 0; y < l.height; ++y)
      for (int x = 0; x < l.width; ++x) {
        uint8_t* p = l.pixels.data() + size_t(y) * l.stride + 3 * size_t(x);
        p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c));
      }
    std::fill(l.alpha.begin(), l.alpha.end(), uint8_t(coverage));
  }
  // Composed pixel (B, G, R, A) at canvas column x, row y from the bottom.
  std::array<int, 4> At(int x, int y) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(ComposeCanvas(st, {}, out));
    const uint8_t* p = out.data() + (size_t(y) * st.header.canvasWidth + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

using Px = std::array<int, 4>;

TEST(Compose, BlendModesAgainstWorkedValues) {
  // Bottom (d) is red 200 everywhere; the upper layer's red is s.
  struct Case {
    int mode, s, expected;
  } cases[] = {
      {kBlendMultiply, 100, 78},          // (200 × 100) >> 8
      {kBlendScreen, 100, 222},           // 255 − ((55 × 155) >> 8)
      {kBlendDarken, 100, 100},           {kBlendLighten, 100, 200},
      {kBlendDifference, 100, 100},       {kBlendInverseDifference, 100, 210},
      {kBlendExclusion, 100, 144},        // 200 + 100 − 20000 / 128
      {kBlendOverlay, 150, 210},          // 255 − ((55 × 105) >> 7)
      {kBlendOverlay, 100, 156},          // (200 × 100) >> 7
  };
  for (const Case& c : cases) {
    Canvas cv(2, 2, MakeRgbq(200, 0, 0));
    // Modes other than normal ignore the layer's transparency and partial coverage.
    cv.Add(MakeRgbq(c.s, 0, 0), 7, c.mode, 200);
    EXPECT_EQ(cv.At(1, 1)[2], c.expected) << "mode " << c.mode;
  }
}

TEST(Compose, NormalBlendUsesCoverageAndLayerTransparency) {
  Canvas cv(3, 1, MakeRgbq(100, 100, 100));
  EXPECT_EQ(cv.At(0, 0), (Px{100, 100, 100, 255}));
  // N = 204 × 0.003921569f, a hair above 0.8, so 1 − N is a hair below 0.2 and the
  // sums for blue and green land just under 60 and 20 before truncation.
  cv.Add(MakeRgbq(200, 0, 50), 255, kBlendNormal, 51);
  EXPECT_EQ(cv.At(2, 0), (Px{59, 19, 180, 255}));
  // Coverage 0 leaves the target alone, whatever the colour.
  const int top = cv.Add(MakeRgbq(0, 0, 0), 0);
  EXPECT_EQ(cv.At(2, 0), (Px{59, 19, 180, 255}));
  // A hidden layer counts for nothing.
  cv.Fill(top, MakeRgbq(0, 0, 0), 255);
  cv.st.slots[top].visible = 2;
  EXPECT_EQ(cv.At(2, 0), (Px{59, 19, 180, 255}));
}

TEST(Compose, BottomLayerWritesItsWeightedColourAndAlphaAccumulates) {
  Canvas cv(2, 1, MakeRgbq(200, 100, 0));
  cv.st.slots[cv.st.bottom].transparency = 128;  // N = 127 × 0.003921569
  EXPECT_EQ(cv.At(0, 0), (Px{0, 49, 99, 255}));
  Canvas part(2, 1, MakeRgbq(0, 0, 0));
  part.Fill(part.st.bottom, MakeRgbq(0, 0, 0), 10);
  const int up = part.Add(MakeRgbq(0, 0, 0), 3);
  EXPECT_EQ(part.At(0, 0)[3], 40);  // 10 × (3 + 1)
  part.Fill(up, MakeRgbq(0, 0, 0), 200);
  EXPECT_EQ(part.At(0, 0)[3], 255);  // clamped
}

// The view skips the hatch under a picture it is told is opaque: a wrong "yes"
// would leave holes showing whatever was drawn before.
TEST(Compose, OpaqueOnlyWhenTheFirstVisibleLayerCoversEverything) {
  auto allCovered = [](const LayerStack& st) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(ComposeCanvas(st, {}, out));
    for (size_t i = 3; i < out.size(); i += 4)
      if (out[i] != 255) return false;
    return true;
  };
  Canvas cv(5, 4, MakeRgbq(1, 2, 3));
  Layer& bottom = cv.st.slots[cv.st.bottom];
  EXPECT_FALSE(ComposesOpaque(cv.st));  // a written plane is not scanned
  bottom.alpha.assign(bottom.alpha.size(), 255);
  const int top = cv.Add(MakeRgbq(9, 9, 9), 0);
  EXPECT_TRUE(ComposesOpaque(cv.st));
  EXPECT_TRUE(allCovered(cv.st));
  for (auto [x, y] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
    bottom.x = x, bottom.y = y;
    EXPECT_FALSE(ComposesOpaque(cv.st)) << x << "," << y;
    EXPECT_FALSE(allCovered(cv.st)) << x << "," << y;
  }
  bottom.x = bottom.y = 0;
  bottom.visible = 0;
  EXPECT_FALSE(ComposesOpaque(cv.st));
  cv.st.slots[top].alpha.assign(cv.st.slots[top].alpha.size(), 255);
  EXPECT_TRUE(ComposesOpaque(cv.st));
  EXPECT_TRUE(allCovered(cv.st));
}

TEST(Compose, LayerOffsetsAndSizesMapRowsAndColumns) {
  Canvas cv(4, 3, MakeRgbq(0, 0, 0));
  const int s = cv.Add(MakeRgbq(0, 0, 0), 0);
  Layer& l = cv.st.slots[s];
  // Mark layer column 0, row 1 only.
  l.alpha[size_t(1) * l.width + 0] = 255;
  l.pixels[size_t(1) * l.stride + 2] = 250;
  l.x = 2;   // canvas column c shows layer column c − 2
  l.y = 1;   // canvas row r shows layer row r + 1
  EXPECT_EQ(cv.At(2, 0)[2], 250);
  EXPECT_EQ(cv.At(2, 1)[2], 0);
  EXPECT_EQ(cv.At(0, 0)[2], 0);
}

TEST(Compose, ViewportMatchesCanvasAtEveryZoom) {
  std::mt19937 rng(7);
  Canvas cv(37, 23, MakeRgbq(10, 20, 30));
  for (int i = 0; i < 5; ++i) {
    const int s = cv.Add(MakeRgbq(0, 0, 0), 0, i == 0 ? kBlendNormal : 2 + i, i * 40);
    Layer& l = cv.st.slots[s];
    for (auto& b : l.pixels) b = uint8_t(rng());
    for (auto& a : l.alpha) a = uint8_t(rng() % 3 == 0 ? 0 : rng());
  }
  std::vector<uint8_t> full;
  ASSERT_TRUE(ComposeCanvas(cv.st, {}, full));
  const int W = 37, H = 23;
  for (float zoom : {0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
    const int left = 3, top = 2, w = 20, h = 11;
    std::vector<uint8_t> out(size_t(w) * h * 4, 0xEE);
    ComposeViewport(cv.st, {}, left, top, w, h, zoom, zoom, out.data(), size_t(w) * 4);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int c = int((left + i) / zoom), t = int((top + j) / zoom);
        const uint8_t* o = out.data() + (size_t(j) * w + i) * 4;
        if (c >= W || t >= H) {
          ASSERT_EQ(o[3], 0) << zoom;
          continue;
        }
        const uint8_t* f = full.data() + (size_t(H - 1 - t) * W + c) * 4;
        ASSERT_EQ(0, std::memcmp(o, f, 4)) << "zoom " << zoom << " at " << i << "," << j;
      }
  }
}

// A per-pixel reference written straight from the blend rules, against which the
// row kernels (vectorised or not) must agree byte for byte.
std::vector<uint8_t> ReferenceCompose(const LayerStack& st) {
  const int W = st.header.canvasWidth, H = st.header.canvasHeight;
  std::vector<uint8_t> out(size_t(W) * H * 4, 0);
  for (int s : st.Chain()) {
    const Layer& l = st.slots[s];
    if (l.visible != 1) continue;
    for (int r = 0; r < H; ++r)
      for (int c = 0; c < W; ++c) {
        const int lr = r + l.y, lc = c - l.x;
        if (lr < 0 || lr >= l.height || lc < 0 || lc >= l.width) continue;
        const int a = l.alpha[size_t(lr) * l.width + lc];
        if (a == 0) continue;
        const uint8_t* sp = l.pixels.data() + size_t(lr) * l.stride + 3 * size_t(lc);
        uint8_t* d = out.data() + (size_t(r) * W + c) * 4;
        const float n = BlendFactor(a, l.transparency);
        for (int k = 0; k < 3; ++k)
          d[k] = uint8_t(s == st.bottom ? int(n * float(sp[k])) : BlendChannel(l.blend, n, sp[k], d[k]));
        d[3] = uint8_t(d[3] == 0 ? a : std::min(255, d[3] * (a + 1)));
      }
  }
  return out;
}

TEST(Compose, KernelsMatchTheReferenceInEveryMode) {
  std::mt19937 rng(11);
  // Every kernel the processor can run; odd widths leave a tail after every group.
  for (int level = 0; level <= BestComposeKernel(); ++level)
  for (int w : {1, 4, 7, 9, 37, 70}) {
    SetComposeKernel(level);
    Canvas cv(w, 5, MakeRgbq(0, 0, 0));
    Layer& b = cv.st.slots[cv.st.bottom];
    for (auto& p : b.pixels) p = uint8_t(rng());
    for (auto& a : b.alpha) a = uint8_t(rng() % 4 == 0 ? 0 : rng());
    b.transparency = 30;
    for (int mode : {0, 2, 3, 4, 5, 6, 7, 8, 9, 1}) {
      const int s = cv.Add(MakeRgbq(0, 0, 0), 0, mode, int(rng() % 256));
      Layer& l = cv.st.slots[s];
      for (auto& p : l.pixels) p = uint8_t(rng());
      for (auto& a : l.alpha) a = uint8_t(rng() % 3 == 0 ? 0 : rng() % 2 ? 255 : rng());
      // Uniform coverage takes the kernels' shortcut for runs of equal values.
      if (mode == 0) std::fill(l.alpha.begin(), l.alpha.end(), uint8_t(200));
    }
    std::vector<uint8_t> got;
    ASSERT_TRUE(ComposeCanvas(cv.st, {}, got));
    const std::vector<uint8_t> want = ReferenceCompose(cv.st);
    for (size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(int(got[i]), int(want[i])) << "kernel " << level << " width " << w << " byte " << i;
  }
  SetComposeKernel(-1);
}

// Rows where a normal layer at full opacity covers everything are composed from it
// upwards only; the bytes must be those of blending every layer.
TEST(Compose, OpaqueRowsHideTheLayersBelowWithoutChangingABit) {
  std::mt19937 rng(17);
  for (int level = 0; level <= BestComposeKernel(); ++level) {
    SetComposeKernel(level);
    Canvas cv(41, 12, MakeRgbq(0, 0, 0));
    Layer& b = cv.st.slots[cv.st.bottom];
    for (auto& p : b.pixels) p = uint8_t(rng());
    int s = cv.Add(MakeRgbq(0, 0, 0), 0, kBlendScreen, 40);
    for (auto& p : cv.st.slots[s].pixels) p = uint8_t(rng());
    for (auto& a : cv.st.slots[s].alpha) a = uint8_t(rng());
    // The opaque layer: rows 2…8 fully covered, row 5 with one hole, row 7 with 254.
    s = cv.Add(MakeRgbq(0, 0, 0), 0);
    Layer& o = cv.st.slots[s];
    for (auto& p : o.pixels) p = uint8_t(rng());
    for (int y = 2; y <= 8; ++y) std::fill_n(&o.alpha[size_t(y) * o.width], o.width, uint8_t(255));
    o.alpha[size_t(5) * o.width + 40] = 0;
    o.alpha[size_t(7) * o.width + 3] = 254;
    // And a multiplying layer above it.
    s = cv.Add(MakeRgbq(0, 0, 0), 0, kBlendMultiply);
    for (auto& p : cv.st.slots[s].pixels) p = uint8_t(rng());
    for (auto& a : cv.st.slots[s].alpha) a = uint8_t(rng() % 2 ? 0 : rng());
    std::vector<uint8_t> got;
    ASSERT_TRUE(ComposeCanvas(cv.st, {}, got));
    EXPECT_EQ(got, ReferenceCompose(cv.st)) << "kernel " << level;
    // The same over part of the width (the viewport) and with the layer moved.
    o.x = 2;
    std::vector<uint8_t> view(size_t(30) * 12 * 4);
    ComposeViewport(cv.st, {}, 5, 0, 30, 12, 1.0f, 1.0f, view.data(), 30 * 4);
    const std::vector<uint8_t> ref = ReferenceCompose(cv.st);
    for (int j = 0; j < 12; ++j)
      ASSERT_EQ(0, std::memcmp(view.data() + size_t(j) * 30 * 4, ref.data() + (size_t(11 - j) * 41 + 5) * 4, 30 * 4))
          << "row " << j;
  }
  SetComposeKernel(-1);
}

TEST(Compose, PalettedAndTextLayersTakeTheirColours) {
  LayerStack st;
  st.header.canvasWidth = 2;
  st.header.canvasHeight = 1;
  st.header.bitsPerPixel = 8;
  st.header.paletteColours = 256;
  st.palette.assign(256 * 4, 0);
  st.palette[4 * 7 + 2] = 99;  // entry 7 is red 99
  int s = -1;
  ASSERT_EQ(st.InsertLayer(-1, -1, &s), InsertResult::Ok);
  st.slots[s].pixels[0] = 7;
  std::fill(st.slots[s].alpha.begin(), st.slots[s].alpha.end(), 255);
  int t = -1;
  ASSERT_EQ(st.InsertLayer(s, -1, &t), InsertResult::Ok);
  LayerAlloc a;
  a.kind = kLayerText;
  a.canvasWidth = 2;
  a.canvasHeight = 1;
  a.bitsPerPixel = 8;
  a.paletteColours = 256;
  ASSERT_TRUE(st.AllocateLayer(t, a));
  st.slots[t].textColour = int32_t(MakeRgbq(0, 77, 0));
  st.slots[t].alpha[1] = 255;
  std::vector<uint8_t> out;
  ASSERT_TRUE(ComposeCanvas(st, {}, out));
  EXPECT_EQ(out[2], 99);
  EXPECT_EQ(out[4 + 1], 77);
  EXPECT_EQ(out[4 + 2], 0);
}

}  // namespace
}  // namespace velmira
