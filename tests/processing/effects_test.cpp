#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "image/compose.h"
#include "image/doc.h"
#include "processing/effects.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

// A 40 × 40 coverage plane whose left half (x < 20) is covered.
std::vector<uint8_t> HalfCovered() {
  std::vector<uint8_t> c(40 * 40, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 20; ++x) c[size_t(y * 40 + x)] = 255;
  return c;
}

TEST(EffectPlane, IntensityFadesWithTheDistanceFromContent) {
  const std::vector<uint8_t> cov = HalfCovered();
  std::vector<uint8_t> e(cov.size(), 7);
  ComputeEffectPlane(cov, 40, 40, 2, e);
  // Next to the content half of the 4 × 4 window is covered: S = 8, 8 / 6 × 255 clamps.
  EXPECT_EQ(e[20 + 20 * 40], 255);
  // One column further only the column x = 19 is in the window: 4 / 6 × 255.
  EXPECT_EQ(e[21 + 20 * 40], 170);
  // Two columns away the window (x 20…23) misses the content.
  EXPECT_EQ(e[22 + 20 * 40], 0);
  EXPECT_EQ(e[39 + 20 * 40], 0);
  // Covered pixels keep what they had.
  EXPECT_EQ(e[5 + 20 * 40], 7);
  // At the layer's edge the missing rows count as uncovered.
  EXPECT_EQ(e[20 + 0 * 40], 170);

  // Size 0: no shadow anywhere.
  ComputeEffectPlane(cov, 40, 40, 0, e);
  EXPECT_EQ(e[20 + 20 * 40], 0);
  // A bigger size reaches further and is weaker per covered pixel.
  ComputeEffectPlane(cov, 40, 40, 10, e);
  EXPECT_GT(e[25 + 20 * 40], 0);
  EXPECT_LT(e[29 + 20 * 40], e[21 + 20 * 40]);
}

// A picture larger than 16.8 million pixels sums more coverage than 32 bits hold; the
// windows near its far corner must still come out exactly as counted by hand.
TEST(EffectPlane, LargePlanesKeepExactWindowSums) {
  const int n = 4200, hole = 12, s = 4;
  std::vector<uint8_t> cov(size_t(n) * size_t(n), 255);
  for (int y = n - hole; y < n; ++y)
    for (int x = n - hole; x < n; ++x) cov[size_t(y) * size_t(n) + size_t(x)] = 0;
  cov[size_t(n - 3) * size_t(n) + size_t(n - 5)] = 100;  // a partly covered pixel in the hole
  std::vector<uint8_t> e;
  ComputeEffectPlane(cov, n, n, s, e);
  ASSERT_EQ(e.size(), cov.size());
  for (int y = n - hole; y < n; ++y)
    for (int x = n - hole; x < n; ++x) {
      const size_t i = size_t(y) * size_t(n) + size_t(x);
      if (cov[i] != 0) continue;
      long sum = 0;
      for (int dy = -s; dy < s; ++dy)
        for (int dx = -s; dx < s; ++dx) {
          const int px = x + dx, py = y + dy;
          if (px >= 0 && py >= 0 && px < n && py < n) sum += cov[size_t(py) * size_t(n) + size_t(px)];
        }
      const double v = double(sum) * 0.00392156862745098 / (1.5 * s * s) * 255.0;
      ASSERT_EQ(e[i], v >= 255.0 ? 255 : int(v)) << x << "," << y;
    }
  EXPECT_EQ(e[size_t(n - 8) * size_t(n) + size_t(n - 8)], 0);  // its window misses every covered pixel
  EXPECT_GT(e[size_t(n - 1) * size_t(n) + size_t(n - hole)], 0);
}

using QuietHost = testing_support::RecordingHost;

class EffectDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = std::filesystem::temp_directory_path() / ("velmira-effects-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(tmp);
    frame.tempFolder = tmp;
    frame.newWidth = 40;
    frame.newHeight = 40;
    frame.newTitle = "그림";
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    // A white background and, above it, a layer whose left half is red content.
    ASSERT_TRUE(doc->AddLayer());
    Layer& l = *doc->Layers().Active();
    l.alpha = HalfCovered();
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 20; ++x) {
        uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
        p[0] = 0, p[1] = 0, p[2] = 255;
      }
    doc->RecordStep("그리기", kStepPixels);
  }
  void TearDown() override {
    doc.reset();
    std::filesystem::remove_all(tmp);
  }
  std::vector<uint8_t> Picture() {
    std::vector<uint8_t> out;
    EXPECT_TRUE(ComposeCanvas(doc->Layers(), ComposeRange{}, out));
    return out;
  }
  const uint8_t* Px(const std::vector<uint8_t>& p, int x, int y) { return p.data() + 4 * size_t(y * 40 + x); }

  std::filesystem::path tmp;
  FrameState frame;
  QuietHost host;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(EffectDocTest, ShadowIsDrawnUnderTheContentInTheShadowColour) {
  const std::vector<uint8_t> plain = Picture();
  // The effect plane alone changes nothing while the effect is off.
  doc->Layers().Active()->effect.assign(40 * 40, 200);
  EXPECT_EQ(Picture(), plain);

  ASSERT_TRUE(ApplyLayerEffect(*doc, false, 4, MakeRgbq(0, 0, 0), false));
  const Layer& l = *doc->Layers().Active();
  EXPECT_EQ(l.effectOn, 1);
  EXPECT_EQ(l.effectSize, 4);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "레이어효과(그림자)");
  const std::vector<uint8_t> shadowed = Picture();
  // The content itself is untouched; the white beside it darkens, less further out;
  // far away the picture is as it was.
  EXPECT_EQ(Px(shadowed, 10, 20)[2], 255);
  EXPECT_EQ(Px(shadowed, 10, 20)[0], 0);
  // Beside the content the shadow is at full strength; it fades to nothing about
  // one size away.
  EXPECT_EQ(Px(shadowed, 21, 20)[0], 0);
  const int fading = Px(shadowed, 25, 20)[0];
  EXPECT_GT(fading, 0);
  EXPECT_LT(fading, 255);
  EXPECT_LT(fading, Px(shadowed, 26, 20)[0]);
  EXPECT_EQ(Px(shadowed, 35, 20)[0], 255);
  EXPECT_EQ(Px(shadowed, 35, 20)[1], 255);

  // A transparent shadow darkens by multiplying: over white in black it is the same
  // darkness, but in a colour it tints rather than covers.
  ASSERT_TRUE(ApplyLayerEffect(*doc, false, 4, MakeRgbq(0, 0, 255), true));
  const std::vector<uint8_t> tinted = Picture();
  EXPECT_EQ(Px(tinted, 21, 20)[0], 255);  // blue kept: white × blue
  EXPECT_LT(Px(tinted, 21, 20)[2], 255);  // red darkened

  // Removing the effect clears the plane and gives the plain picture back.
  ASSERT_TRUE(ApplyLayerEffect(*doc, true, 0, 0, false));
  EXPECT_EQ(l.effectOn, 0);
  EXPECT_EQ(std::count(l.effect.begin(), l.effect.end(), 0), 40 * 40);
  EXPECT_EQ(Picture(), plain);
  // Undo brings the shadow back.
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(doc->Layers().Active()->effectOn, 1);
  EXPECT_EQ(Picture(), tinted);
}

// Painting, filling, erasing, pasting and filters all change the layer's coverage
// without knowing about its shadow; the composition must bring the shadow along.
TEST_F(EffectDocTest, ShadowFollowsEditsOfTheShadowedLayer) {
  ASSERT_TRUE(ApplyLayerEffect(*doc, false, 4, MakeRgbq(0, 0, 0), false));
  const std::vector<uint8_t> before = Picture();
  // Freshly computed by the command: the display finds nothing to redo.
  EXPECT_EQ(RefreshLayerEffects(doc->Layers()), 0);

  // An edit as a painting tool makes it: new content in columns 28…31.
  ASSERT_TRUE(doc->RunEdit(TextRule::Active, false, "그리기", kStepPixels, [](LayerStack&, Layer& l) {
    for (int y = 0; y < 40; ++y)
      for (int x = 28; x < 32; ++x) {
        l.alpha[size_t(y * 40 + x)] = 255;
        uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
        p[0] = 0, p[1] = 0, p[2] = 255;
      }
    return true;
  }));

  // Saving flattens: the written picture carries the shadow of the new content, as the
  // view shows it. Right of the new stripe the white background is darkened.
  CMirvDoc& d = *doc;
  std::vector<uint8_t> shown;
  {
    EXPECT_EQ(RefreshLayerEffects(d.Layers()), 1);
    EXPECT_EQ(RefreshLayerEffects(d.Layers()), 0);  // nothing changed since
    shown = Picture();
    EXPECT_LT(Px(shown, 34, 20)[0], 128);
    EXPECT_EQ(Px(shown, 39, 20)[0], 255);
  }
  ASSERT_TRUE(doc->Undo());
  // The undo put the old coverage back: the shadow goes back with it.
  EXPECT_EQ(RefreshLayerEffects(d.Layers()), 1);
  EXPECT_EQ(Picture(), before);
  ASSERT_TRUE(doc->Redo());
  ASSERT_TRUE(doc->Flatten());
  EXPECT_EQ(Picture(), shown);

  // A hidden layer is not drawn, so its shadow waits until it is shown again.
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  Layer& l = *doc->Layers().Active();
  ASSERT_EQ(l.effectOn, 1);
  l.alpha[size_t(20 * 40 + 36)] = 255;
  l.visible = 0;
  EXPECT_EQ(RefreshLayerEffects(d.Layers()), 0);
  l.visible = 1;
  EXPECT_EQ(RefreshLayerEffects(d.Layers()), 1);
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// The dialog previews with SetLayerEffect and records with ApplyLayerEffect: both
// must store the same record, the colour's fourth byte dropped.
TEST_F(EffectDocTest, PreviewAndCommandStoreTheSameShadow) {
  LayerStack preview = doc->Layers();
  const Rgbq colour = MakeRgbq(10, 20, 30, 255);
  ASSERT_TRUE(SetLayerEffect(preview, preview.active, false, 5, colour, true));
  ASSERT_TRUE(ApplyLayerEffect(*doc, false, 5, colour, true));
  const Layer& shown = preview.slots[preview.active];
  const Layer& recorded = *doc->Layers().Active();
  EXPECT_EQ(shown.effectColour, recorded.effectColour);
  EXPECT_EQ(uint32_t(recorded.effectColour) >> 24, 0u);
  EXPECT_EQ(shown.effect, recorded.effect);
  EXPECT_EQ(shown.effectSize, recorded.effectSize);
  EXPECT_EQ(shown.transparentShadow, recorded.transparentShadow);
  EXPECT_FALSE(SetLayerEffect(preview, 39, false, 5, colour, true)) << "an empty slot";
}

}  // namespace
}  // namespace velmira
