#include "image/plane.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "image/compose.h"
#include "image/doc.h"
#include "image/layer_effect.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

TEST(PlaneTest, ReadsGiveTheUniformValueUntilAWriteAndCopiesShareUntilOneSideWrites) {
  Plane a(1000, 7);
  EXPECT_EQ(a.size(), 1000u);
  EXPECT_EQ(std::as_const(a)[999], 7);
  EXPECT_FALSE(a.Allocated());
  EXPECT_TRUE(a.AllEqual(7));

  Plane b = a;
  b[3] = 9;
  EXPECT_TRUE(b.Allocated());
  EXPECT_EQ(std::as_const(b)[0], 7);
  EXPECT_EQ(std::as_const(b)[3], 9);
  EXPECT_EQ(std::as_const(a)[3], 7);
  EXPECT_FALSE(a.Allocated());

  Plane c = b;
  EXPECT_TRUE(c.SharesBlockWith(b));
  c[4] = 1;
  EXPECT_FALSE(c.SharesBlockWith(b));
  EXPECT_EQ(std::as_const(b)[4], 7);
  EXPECT_EQ(std::as_const(c)[4], 1);
  EXPECT_EQ(std::as_const(c)[3], 9);

  // Growing with the uniform value keeps it uniform; anything else builds the block.
  a.resize(1200, 7);
  EXPECT_FALSE(a.Allocated());
  a.resize(1300, 2);
  ASSERT_TRUE(a.Allocated());
  EXPECT_EQ(std::as_const(a)[1199], 7);
  EXPECT_EQ(std::as_const(a)[1200], 2);

  EXPECT_TRUE(Plane(5, 1) == std::vector<uint8_t>(5, 1));
  EXPECT_FALSE(Plane(5, 1) == std::vector<uint8_t>({1, 1, 0, 1, 1}));
  EXPECT_TRUE(Plane(4, 0) == Plane(std::vector<uint8_t>(4, 0)));
  EXPECT_EQ(Plane(3, 6).ToVector(), std::vector<uint8_t>(3, 6));
}

TEST(PlaneTest, ReusedLargeBlocksAreFilledAfresh) {
  ReleaseCachedBlocks();
  const size_t n = size_t(3) << 20;  // large enough to be mapped with huge pages
  {
    Plane p(n, 0);
    p[5] = 9;
    p[n - 1] = 9;
  }
  const uint64_t reusedBefore = GetPlaneStats().reused;
  Plane q(n, 0);
  const uint8_t* d = q.data();
  EXPECT_EQ(GetPlaneStats().reused, reusedBefore + 1) << "the released block was not kept";
  EXPECT_EQ(d[5], 0);
  EXPECT_EQ(d[n - 1], 0);
  Plane w(n, 255);
  EXPECT_EQ(w.data()[n / 2], 255);
  ReleaseCachedBlocks();
}

// Decodes every picture to one fixed gradient.
struct GradientFormats : FormatDispatch {
  int width = 640, height = 480;
  std::vector<uint8_t> saved;
  bool LoadPicture(const fs::path&, int code, CImageBuffer& out) override {
    out.Allocate(width, height, 24, code);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.WriteColor(x, y, MakeRgbq(x & 255, y & 255, (x + y) & 255));
    return true;
  }
  bool SavePicture(const fs::path&, int, CImageBuffer& image) override {
    const CImageBuffer& ro = image;
    saved.assign(ro.Pixels(), ro.Pixels() + ro.ImageSize());
    return true;
  }
  bool ImportPsd(const fs::path&, CImageBuffer&) override { return false; }
  bool ReadNative(CMirvDoc&, const fs::path&, std::string&) override { return false; }
  bool WriteNative(CMirvDoc&, const fs::path&, std::string&, std::string&) override { return false; }
  bool ReduceTo8Bit(CMirvDoc&) override { return false; }
};

class LeanDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-plane-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    host.frame = &frame;
    host.formats = &formats;
    doc = std::make_unique<CMirvDoc>(frame, host, &formats);
  }
  void TearDown() override {
    doc.reset();
    fs::remove_all(tmp);
  }
  LayerStack& L() { return doc->Layers(); }

  fs::path tmp;
  FrameState frame;
  testing_support::RecordingHost host;
  GradientFormats formats;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(LeanDocumentTest, ADocumentWhosePlanesWereNeverWrittenAllocatesNone) {
  const uint64_t before = GetPlaneStats().blocksMade;
  ASSERT_TRUE(doc->OnOpenDocument(tmp / "a.bmp"));
  // The decoded rows are the only block: the layer shares them, and its
  // transparency, effect and the selection mask exist only as uniform values.
  EXPECT_EQ(GetPlaneStats().blocksMade - before, 1u);
  const Layer& b = L().slots[L().bottom];
  EXPECT_EQ(b.pixels.Block(), doc->ViewImage()->PixelBlock());
  EXPECT_FALSE(b.alpha.Allocated());
  EXPECT_FALSE(b.effect.Allocated());
  EXPECT_FALSE(L().mask.Allocated());
  EXPECT_EQ(L().LayerAlpha(L().bottom, 639, 479), 255);
  EXPECT_EQ(L().InSelection(10, 10), 1);

  // Showing and saving the lone opaque layer builds nothing either.
  std::vector<uint8_t> view(size_t(200) * 100 * 4);
  ComposeViewport(L(), {}, 0, 0, 200, 100, 0.5f, 0.5f, view.data(), 200 * 4);
  ASSERT_TRUE(doc->OnSaveDocument(tmp / "b.bmp"));
  EXPECT_EQ(GetPlaneStats().blocksMade - before, 1u);
  ASSERT_EQ(formats.saved.size(), doc->ViewImage()->ImageSize());
  const CImageBuffer& pic = *doc->ViewImage();
  EXPECT_EQ(pic.ReadColor(300, 200), MakeRgbq(300 & 255, 200, 500 & 255));

  // A new layer costs nothing until painted.
  ASSERT_TRUE(doc->AddLayer());
  const Layer& added = L().slots[L().active];
  EXPECT_FALSE(added.pixels.Allocated());
  EXPECT_FALSE(added.alpha.Allocated());
  EXPECT_FALSE(added.effect.Allocated());
  EXPECT_EQ(L().LayerAlpha(L().active, 3, 3), 0);
}

TEST_F(LeanDocumentTest, WritingTheLayerLeavesThePictureItWasDecodedFromAlone) {
  ASSERT_TRUE(doc->OnOpenDocument(tmp / "a.bmp"));
  const int slot = L().bottom;
  const Rgbq was = doc->ViewImage()->ReadColor(7, 9);
  L().WriteLayerColor(slot, 7, 9, MakeRgbq(1, 2, 3));
  EXPECT_EQ(L().ReadLayerColor(slot, 7, 9, nullptr), MakeRgbq(1, 2, 3));
  EXPECT_EQ(doc->ViewImage()->ReadColor(7, 9), was);
  EXPECT_EQ(L().LayerAlpha(slot, 7, 9), 255);
  EXPECT_EQ(L().LayerAlpha(slot, 8, 9), 255);

  // And the other way round: the picture's own writes do not reach the layer.
  doc->LayersChanged();
  ASSERT_TRUE(doc->Flatten());
  EXPECT_EQ(L().slots[L().bottom].pixels.Block(), doc->ViewImage()->PixelBlock());
  doc->ViewImage()->WriteColor(20, 20, MakeRgbq(9, 9, 9));
  EXPECT_NE(L().ReadLayerColor(L().bottom, 20, 20, nullptr), MakeRgbq(9, 9, 9));
}

// A stack of three layers: an opaque bottom, a half-covered layer in a blend mode,
// and a shadowed layer whose transparency was never written.
LayerStack MixedStack() {
  LayerStack st;
  st.header.canvasWidth = 600;
  st.header.canvasHeight = 400;
  st.header.bitsPerPixel = 24;
  for (int i = 0; i < 3; ++i) {
    int slot = -1;
    st.InsertLayer(st.TopLayer(), -1, &slot);
    Layer& l = st.slots[slot];
    if (i == 0) {
      l.alpha.assign(l.alpha.size(), 255);
      for (size_t k = 0; k < l.pixels.size(); ++k) l.pixels[k] = uint8_t(k * 7);
    } else if (i == 1) {
      for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width / 2; ++x) l.alpha[size_t(y) * l.width + x] = uint8_t(100 + (x & 63));
      l.blend = kBlendScreen;
    } else {
      l.alpha.assign(l.alpha.size(), 255);
      l.transparency = 90;
      l.effectOn = 1;
      l.effectSize = 6;
      l.effectColour = int32_t(MakeRgbq(0, 0, 200));
    }
  }
  RefreshLayerEffects(st);
  return st;
}

TEST(LazyCompose, UnwrittenPlanesComposeLikeWrittenOnesOnAnyNumberOfThreads) {
  const LayerStack lazy = MixedStack();
  const int top = lazy.TopLayer();
  ASSERT_FALSE(lazy.slots[top].pixels.Allocated());
  ASSERT_FALSE(lazy.slots[top].alpha.Allocated());
  LayerStack written = lazy;
  for (int s : written.Chain()) {
    written.slots[s].pixels.data();
    written.slots[s].alpha.data();
    written.slots[s].effect.data();
  }
  ASSERT_TRUE(written.slots[top].alpha.Allocated());

  std::vector<uint8_t> a, b;
  SetComposeThreads(1);
  ASSERT_TRUE(ComposeCanvas(written, {}, a));
  SetComposeThreads(2);
  ASSERT_TRUE(ComposeCanvas(lazy, {}, b));
  EXPECT_TRUE(a == b);
  for (const float zoom : {0.25f, 0.5f, 1.0f, 3.0f}) {
    const int w = 500, h = 300;
    std::vector<uint8_t> va(size_t(w) * h * 4), vb(va.size());
    SetComposeThreads(1);
    ComposeViewport(written, {}, 7, 5, w, h, zoom, zoom, va.data(), size_t(w) * 4);
    SetComposeThreads(2);
    ComposeViewport(lazy, {}, 7, 5, w, h, zoom, zoom, vb.data(), size_t(w) * 4);
    EXPECT_TRUE(va == vb) << "zoom " << zoom;
  }
  SetComposeThreads(0);
  EXPECT_FALSE(lazy.slots[top].alpha.Allocated());
}

}  // namespace
}  // namespace velmira
