#include "image/view_mips.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "image/compose.h"

namespace velmira {
namespace {

// A canvas with an opaque random bottom layer and random layers above it, some
// moved off the canvas's corner, one blended by a mode, one with a drop shadow.
struct Stack {
  LayerStack st;
  std::mt19937 rng{5};
  int W, H;
  Stack(int w, int h) : W(w), H(h) {
    st.header.canvasWidth = w;
    st.header.canvasHeight = h;
    st.header.bitsPerPixel = 24;
    int slot = -1;
    EXPECT_EQ(st.InsertLayer(-1, -1, &slot), InsertResult::Ok);
    Randomise(slot, true);
  }
  int Add(int x, int y, int width, int height, int blend = kBlendNormal) {
    int slot = -1;
    EXPECT_EQ(st.InsertLayer(st.TopLayer(), -1, &slot), InsertResult::Ok);
    LayerAlloc a;
    a.x = x, a.y = y, a.width = width, a.height = height;
    a.canvasWidth = W, a.canvasHeight = H;
    EXPECT_TRUE(st.AllocateLayer(slot, a));
    st.slots[slot].blend = uint8_t(blend);
    Randomise(slot, false);
    return slot;
  }
  void Randomise(int slot, bool opaque) {
    Layer& l = st.slots[slot];
    for (auto& b : l.pixels) b = uint8_t(rng());
    for (auto& a : l.alpha) a = opaque ? 255 : uint8_t(rng() % 3 == 0 ? 0 : rng());
  }
  std::vector<uint8_t> View(float zoom, int left, int top, int w, int h, ViewMips* mips) {
    std::vector<uint8_t> out(size_t(w) * h * 4, 0xEE);
    ComposeViewport(st, {}, left, top, w, h, zoom, zoom, out.data(), size_t(w) * 4, mips);
    return out;
  }
};

TEST(ViewMips, LevelsHoldTheLayerPixelAtEachCellsCanvasPoint) {
  Stack s(101, 67);
  const int slots[] = {s.st.bottom, s.Add(-7, 5, 60, 50), s.Add(33, -9, 90, 40)};
  ViewMips mips;
  for (int slot : slots) {
    const Layer& l = s.st.slots[slot];
    for (int k = 1; k <= 4; ++k) {
      const MipLevelView* v = mips.Level(s.st, slot, k, 0, 0, 1000, 1000);
      ASSERT_NE(v, nullptr);
      const int gh = ((s.H - 1) >> k) + 1;
      int cells = 0;
      for (int row = 0; row < v->height; ++row)
        for (int col = 0; col < v->width; ++col) {
          // Level canvas row (bottom-up) → row from the top → canvas point.
          const int top = gh - 1 - (row - v->y);
          const int X = (v->x + col) << k, R = s.H - 1 - (top << k);
          const int lc = X - l.x, lr = R + l.y;
          ASSERT_TRUE(X < s.W && R >= 0 && lc >= 0 && lc < l.width && lr >= 0 && lr < l.height)
              << "cell outside the layer, level " << k;
          const uint8_t* want = l.pixels.Peek() + size_t(lr) * l.stride + 3 * size_t(lc);
          const uint8_t* got = v->pixels + size_t(row) * v->pixStride + 3 * size_t(col);
          ASSERT_EQ(0, std::memcmp(want, got, 3)) << "slot " << slot << " level " << k;
          ASSERT_EQ(v->alpha[size_t(row) * v->alphaStride + col], l.alpha[size_t(lr) * l.width + lc]);
          ++cells;
        }
      // Every canvas point of the grid that lies on the layer has its cell.
      int expected = 0;
      for (int X = 0; X < s.W; X += 1 << k)
        for (int T = 0; T < s.H; T += 1 << k) {
          const int lc = X - l.x, lr = s.H - 1 - T + l.y;
          expected += lc >= 0 && lc < l.width && lr >= 0 && lr < l.height;
        }
      EXPECT_EQ(cells, expected) << "slot " << slot << " level " << k;
    }
  }
  // A paletted picture has no levels: its layers are sampled at full resolution.
  s.st.header.bitsPerPixel = 8;
  EXPECT_EQ(mips.Level(s.st, s.st.bottom, 1, 0, 0, 10, 10), nullptr);
}

TEST(ViewMips, ReducedViewsMatchTheFullResolutionGrid) {
  Stack s(203, 151);
  s.Add(-11, 7, 120, 90);
  s.Add(50, -20, 140, 100, kBlendMultiply);
  const int shadowed = s.Add(20, 30, 60, 60);
  Layer& sh = s.st.slots[shadowed];
  sh.effectOn = 1;
  sh.effectSize = 6;
  sh.effect.assign(size_t(sh.pixelCount), 90);
  s.st.slots[s.Add(0, 0, 203, 151)].transparency = 120;
  std::vector<uint8_t> full;
  ASSERT_TRUE(ComposeCanvas(s.st, {}, full));
  ViewMips mips;
  // Powers of two: the very bytes of the view without levels, whether the first
  // view fills the levels, the second reads them, or a scrolled one mixes both.
  for (float zoom : {0.5f, 0.25f, 0.125f, 1.0f / 64}) {
    const int w = 90, h = 70;
    const std::vector<uint8_t> plain = s.View(zoom, 0, 2, w, h, nullptr);
    EXPECT_EQ(s.View(zoom, 0, 2, w, h, &mips), plain) << zoom;
    EXPECT_EQ(s.View(zoom, 0, 2, w, h, &mips), plain) << zoom;
    EXPECT_EQ(s.View(zoom, 3, 1, w, h, &mips), s.View(zoom, 3, 1, w, h, nullptr)) << zoom;
  }
  {
    // A view showing a whole level one to one fills every tile on its first frame
    // and reads them on the next.
    Stack t(256, 192);
    t.Add(-30, 10, 200, 150);
    ViewMips m;
    const std::vector<uint8_t> plain = t.View(0.5f, 0, 0, 128, 96, nullptr);
    EXPECT_EQ(t.View(0.5f, 0, 0, 128, 96, &m), plain);
    const uint64_t filled = m.TilesBuilt();
    EXPECT_GT(filled, 0u);
    EXPECT_EQ(t.View(0.5f, 0, 0, 128, 96, &m), plain);
    EXPECT_EQ(m.TilesBuilt(), filled);
    // Had the fill left anything out, the levels read now would show it.
    for (int slot : t.st.Chain())
      EXPECT_NE(m.Level(t.st, slot, 1, 0, 0, 128, 96, false), nullptr);
  }
  // Between them: output pixel p shows the canvas pixel of level cell
  // trunc(p / (zoom × 2^k)), k the largest with 2^−k ≥ zoom.
  for (float zoom : {0.3f, 0.7f, 0.2f, 0.45f}) {
    int k = 0;
    while (zoom * float(2 << k) <= 1.0f) ++k;
    const float zk = zoom * float(1 << k);
    const int left = 4, top = 1, w = 80, h = 60;
    const std::vector<uint8_t> got = s.View(zoom, left, top, w, h, &mips);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int X = int(float(left + i) / zk) << k, T = int(float(top + j) / zk) << k;
        const uint8_t* o = got.data() + (size_t(j) * w + i) * 4;
        if (X >= s.W || T >= s.H) {
          ASSERT_EQ(o[3], 0);
          continue;
        }
        const uint8_t* f = full.data() + (size_t(s.H - 1 - T) * s.W + X) * 4;
        ASSERT_EQ(0, std::memcmp(o, f, 4)) << "zoom " << zoom << " at " << i << "," << j;
      }
  }
}

TEST(ViewMips, ChangesShowOnceTheCacheIsToldOfThem) {
  Stack s(300, 200);
  const int top = s.Add(10, 10, 200, 150);
  ViewMips mips;
  const int w = 75, h = 50;
  s.View(0.25f, 0, 0, w, h, &mips);
  const uint64_t built = mips.TilesBuilt();
  ASSERT_GT(built, 0u);
  // A warm cache builds nothing more.
  s.View(0.25f, 0, 0, w, h, &mips);
  EXPECT_EQ(mips.TilesBuilt(), built);

  // Paint a block of the top layer (layer columns 40…79, rows 20…59).
  Layer& l = s.st.slots[top];
  for (int y = 20; y < 60; ++y)
    for (int x = 40; x < 80; ++x) {
      l.alpha[size_t(y) * l.width + x] = 255;
      std::memset(l.pixels.data() + size_t(y) * l.stride + 3 * size_t(x), 0x5A, 3);
    }
  const std::vector<uint8_t> fresh = s.View(0.25f, 0, 0, w, h, nullptr);
  // The cache never looks at the pixels itself: untold, it still shows the old ones.
  EXPECT_NE(s.View(0.25f, 0, 0, w, h, &mips), fresh);
  // Told of the rectangle (canvas column = layer column + x, row = layer row − y),
  // it rebuilds only the tiles over it.
  mips.Invalidate(CanvasRect{40 + l.x, 20 - l.y, 40, 40}, top);
  const uint64_t before = mips.TilesBuilt();
  EXPECT_EQ(s.View(0.25f, 0, 0, w, h, &mips), fresh);
  EXPECT_GE(mips.TilesBuilt() - before, 1u);
  EXPECT_LE(mips.TilesBuilt() - before, 4u);

  // Moved, resized, hidden or deleted layers need no telling: the geometry is
  // checked on every use and hidden or free slots are never read.
  l.x += 3;
  EXPECT_EQ(s.View(0.25f, 0, 0, w, h, &mips), s.View(0.25f, 0, 0, w, h, nullptr));
  LayerAlloc a;
  a.x = -5, a.y = 2, a.width = 90, a.height = 80;
  a.canvasWidth = s.W, a.canvasHeight = s.H;
  ASSERT_TRUE(s.st.AllocateLayer(top, a));
  s.Randomise(top, false);
  EXPECT_EQ(s.View(0.5f, 0, 0, w, h, &mips), s.View(0.5f, 0, 0, w, h, nullptr));
  s.st.slots[top].visible = 0;
  EXPECT_EQ(s.View(0.5f, 0, 0, w, h, &mips), s.View(0.5f, 0, 0, w, h, nullptr));
  s.st.UnlinkLayer(top);
  EXPECT_EQ(s.View(0.5f, 0, 0, w, h, &mips), s.View(0.5f, 0, 0, w, h, nullptr));

  // Everything forgotten: the next view rebuilds what it shows.
  s.Randomise(s.st.bottom, true);
  mips.InvalidateAll();
  EXPECT_EQ(s.View(0.5f, 0, 0, w, h, &mips), s.View(0.5f, 0, 0, w, h, nullptr));
}

// After an edit described by no rectangle, the levels of the layers it touched go
// and those of the others stay: whatever replaced or wrote a layer's planes.
TEST(ViewMips, SyncDropsTheLevelsOfChangedLayersOnly) {
  Stack s(300, 200);
  const int a = s.Add(10, 10, 200, 150), b = s.Add(-20, 30, 250, 120);
  ViewMips mips;
  const int w = 75, h = 50;
  s.View(0.25f, 0, 0, w, h, &mips);
  const uint64_t all = mips.TilesBuilt();
  mips.Sync(s.st);
  s.View(0.25f, 0, 0, w, h, &mips);
  EXPECT_EQ(mips.TilesBuilt(), all) << "nothing changed";

  auto rebuiltAfterSync = [&] {
    const uint64_t before = mips.TilesBuilt();
    mips.Sync(s.st);
    EXPECT_EQ(s.View(0.25f, 0, 0, w, h, &mips), s.View(0.25f, 0, 0, w, h, nullptr));
    return mips.TilesBuilt() - before;
  };
  // Written in place (the block is the layer's own, so it is not replaced).
  Layer& la = s.st.slots[a];
  for (int y = 0; y < la.height; y += 4)
    for (int x = 0; x < la.width; x += 4) la.pixels[size_t(y) * la.stride + 3 * size_t(x)] ^= 0xFF;
  const uint64_t one = rebuiltAfterSync();
  EXPECT_GT(one, 0u);
  EXPECT_LT(one, all);
  // Replaced by another block, as undo and the end of an edit do.
  Layer& lb = s.st.slots[b];
  std::vector<uint8_t> other(lb.alpha.size());
  for (auto& v : other) v = uint8_t(s.rng());
  lb.alpha = Plane(other);
  EXPECT_GT(rebuiltAfterSync(), 0u);
  // Made uniform, then uniform with another value.
  lb.alpha.assign(lb.alpha.size(), 200);
  EXPECT_GT(rebuiltAfterSync(), 0u);
  lb.alpha.assign(lb.alpha.size(), 90);
  EXPECT_GT(rebuiltAfterSync(), 0u);
  // A copy that shares the block (a history snapshot) changes nothing; the next
  // write then goes to a block of the layer's own.
  const Plane snapshot = la.pixels;
  EXPECT_EQ(rebuiltAfterSync(), 0u);
  la.pixels[7] ^= 0x55;
  EXPECT_GT(rebuiltAfterSync(), 0u);
  EXPECT_NE(snapshot, la.pixels);
  // A deleted layer's slot reused by another layer of the same geometry.
  s.st.UnlinkLayer(a);
  rebuiltAfterSync();
  const int again = s.Add(10, 10, 200, 150);
  EXPECT_EQ(again, a);
  EXPECT_GT(rebuiltAfterSync(), 0u);
}

TEST(ViewMips, LevelsAreBuiltOnlyWhereViewed) {
  Stack s(2000, 1500);
  ViewMips mips;
  // A 100 × 80 window at zoom ½ shows a twentieth of the picture's width.
  s.View(0.5f, 0, 0, 100, 80, &mips);
  const size_t part = mips.BuiltBytes();
  EXPECT_GT(part, 0u);
  EXPECT_LT(part, size_t(2000) * 1500 * 4 / 4 / 10);
  // The whole picture at every level stays within a third of the layer's bytes
  // (plus the tiles' rounding at the edges).
  for (int k = 1; k <= 10; ++k) {
    const float zoom = 1.0f / float(1 << k);
    s.View(zoom, 0, 0, int(2000 * zoom) + 1, int(1500 * zoom) + 1, &mips);
  }
  EXPECT_LT(mips.BuiltBytes(), size_t(2000) * 1500 * 4 / 3 + size_t(64) * 64 * 4 * 40);
}

TEST(CanvasRect, UnionAndIntersection) {
  const CanvasRect a{0, 0, 10, 5}, b{5, 3, 10, 10}, none{};
  EXPECT_EQ(a.United(b), (CanvasRect{0, 0, 15, 13}));
  EXPECT_EQ(a.Intersected(b), (CanvasRect{5, 3, 5, 2}));
  EXPECT_TRUE(a.Intersected(CanvasRect{20, 20, 1, 1}).Empty());
  EXPECT_EQ(none.United(b), b);
  EXPECT_EQ(a.United(none), a);
}

}  // namespace
}  // namespace velmira
