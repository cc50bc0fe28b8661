// The preview session every live-preview dialog runs on: previews start from the
// kept layer, Cancel gives it back byte for byte, Commit records exactly the change
// of the kept layer, and text layers are refused with the document's message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "image/preview_session.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

class PreviewSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-preview-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    frame.newWidth = 12;
    frame.newHeight = 9;
    frame.newBitsPerPixel = 24;
    frame.newTitle = "그림";
    host.frame = &frame;
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    Layer& l = *doc->Layers().Active();
    for (size_t i = 0; i < l.pixels.size(); ++i) l.pixels[i] = uint8_t(i * 5);
    doc->RecordStep("Opening....", kStepPixels, doc->Layers().active);
    // A selection of the left half.
    LayerStack& L = doc->Layers();
    L.mask.assign(size_t(l.width) * size_t(l.height), 0);
    for (int y = 0; y < l.height; ++y)
      for (int x = 0; x < l.width / 2; ++x) L.mask[size_t(y) * size_t(l.width) + size_t(x)] = 1;
    L.maskWidth = l.width;
    L.maskHeight = l.height;
    L.selectionExists = true;
  }
  void TearDown() override {
    doc.reset();
    fs::remove_all(tmp);
  }
  Layer& Active() { return *doc->Layers().Active(); }

  // Adds 1 to every byte of the layer and grows it by a column: a change that
  // shows whether a preview started from the kept state or from the last preview.
  static bool Bump(LayerStack& st, int slot) {
    Layer& l = st.slots[slot];
    for (uint8_t& b : l.pixels) ++b;
    l.x += 1;
    st.mask.assign(st.mask.size(), 1);
    return true;
  }

  fs::path tmp;
  FrameState frame;
  testing_support::RecordingHost host;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(PreviewSessionTest, PreviewsStartFromTheKeptLayerAndCancelGivesItBack) {
  const Layer before = Active();
  const std::vector<uint8_t> mask = doc->Layers().mask;
  const int step = doc->History().Step();
  PreviewSession s(*doc);
  ASSERT_TRUE(s.Begin());
  EXPECT_FALSE(s.Begin()) << "one session begins once";
  ASSERT_TRUE(s.Apply(&Bump));
  ASSERT_TRUE(s.Apply(&Bump));
  EXPECT_EQ(Active().pixels[0], uint8_t(before.pixels[0] + 1)) << "the second preview ran on the first";
  EXPECT_EQ(Active().x, before.x + 1);
  EXPECT_TRUE(doc->CompositionStale());
  s.Cancel();
  EXPECT_EQ(Active().pixels, before.pixels);
  EXPECT_EQ(Active().x, before.x);
  EXPECT_EQ(doc->Layers().mask, mask);
  EXPECT_TRUE(doc->Layers().selectionExists);
  EXPECT_EQ(doc->History().Step(), step);
  EXPECT_FALSE(s.Begun());
}

TEST_F(PreviewSessionTest, CommitRecordsTheChangeOfTheKeptLayerOnce) {
  const Layer before = Active();
  const int step = doc->History().Step();
  {
    PreviewSession s(*doc);
    ASSERT_TRUE(s.Begin());
    s.Apply(&Bump);
    s.Apply(&Bump);
    ASSERT_TRUE(s.Commit("미리보기 시험", &Bump));
    EXPECT_TRUE(s.Committed());
  }  // a committed session leaves the result alone when it ends
  EXPECT_EQ(doc->History().Step(), step + 1);
  EXPECT_EQ(doc->History().Label(step + 1), "미리보기 시험");
  EXPECT_EQ(Active().pixels[0], uint8_t(before.pixels[0] + 1));
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Active().pixels, before.pixels);
}

TEST_F(PreviewSessionTest, ARefusedChangeOrAnAbandonedSessionLeavesTheKeptLayer) {
  const Layer before = Active();
  const int step = doc->History().Step();
  {
    PreviewSession s(*doc);
    ASSERT_TRUE(s.Begin());
    s.Apply(&Bump);
    // A change that fails half-way must not leave its half behind.
    EXPECT_FALSE(s.Commit("실패", [](LayerStack& st, int slot) {
      st.slots[slot].pixels[0] ^= 0xFF;
      return false;
    }));
    EXPECT_EQ(Active().pixels, before.pixels);
    EXPECT_EQ(doc->History().Step(), step);
    EXPECT_FALSE(s.Apply([](LayerStack& st, int slot) {
      st.slots[slot].pixels[1] ^= 0xFF;
      return false;
    }));
    EXPECT_EQ(Active().pixels, before.pixels);
    s.Apply(&Bump);
  }  // ended without Commit or Cancel: cancelled
  EXPECT_EQ(Active().pixels, before.pixels);
  EXPECT_EQ(Active().x, before.x);
}

TEST_F(PreviewSessionTest, TextLayersAndBusyDocumentsAreRefused) {
  Active().kind = kLayerText;
  PreviewSession s(*doc);
  EXPECT_FALSE(s.Begin());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
  EXPECT_FALSE(s.Apply(&Bump));
  EXPECT_FALSE(s.Commit("x", &Bump));
  Active().kind = kLayerRaster;
  doc->SetBusy(true);
  EXPECT_FALSE(s.Begin());
  doc->SetBusy(false);
  EXPECT_TRUE(s.Begin());
  s.Cancel();
}

}  // namespace
}  // namespace velmira
