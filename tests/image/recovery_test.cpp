// Crash recovery: the manifest a document keeps beside its history files must
// rebuild exactly the layers of the last recorded step, and a damaged manifest or
// history file must be refused with a reason, never read into garbage.
#include "image/recovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "image/doc.h"
#include "image/text.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing_support::RecordingHost;

struct PlainFormats : FormatDispatch {
  bool LoadPicture(const fs::path&, int code, CImageBuffer& out) override {
    out.Allocate(13, 7, 24, code);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) out.WriteColor(x, y, MakeRgbq(x * 19, y * 31, 90));
    return true;
  }
  bool SavePicture(const fs::path&, int, CImageBuffer&) override { return false; }
  bool ImportPsd(const fs::path&, CImageBuffer&) override { return false; }
  bool ReadNative(CMirvDoc&, const fs::path&, std::string&) override { return false; }
  bool WriteNative(CMirvDoc&, const fs::path&, std::string&, std::string&) override { return false; }
  bool ReduceTo8Bit(CMirvDoc&) override { return false; }
};

// Everything of a layer the user can see or that a later save would write.
struct Snapshot {
  int slot;
  std::u16string name, text;
  int kind, blend, transparency, visible, x, y, width, height;
  std::vector<uint8_t> pixels, alpha, effect;
  bool operator==(const Snapshot&) const = default;
};
std::vector<Snapshot> Snap(const LayerStack& s) {
  std::vector<Snapshot> out;
  for (int slot : s.Chain()) {
    const Layer& l = s.slots[slot];
    out.push_back({slot, l.name.Get(), l.textBuffer, l.kind, l.blend, l.transparency, l.visible, l.x, l.y, l.width,
                   l.height, l.pixels, l.alpha, l.effect});
  }
  return out;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() /
          ("velmira-recovery-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(tmp);
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    host.frame = &frame;
    host.formats = &formats;
    doc = std::make_unique<CMirvDoc>(frame, host, &formats);
    ASSERT_TRUE(doc->OnOpenDocument(tmp / "바다.jpg"));
  }
  void TearDown() override {
    doc.reset();
    fs::remove_all(tmp);
  }
  LayerStack& L() { return doc->Layers(); }

  // Three layers, each changed differently, over several steps.
  void EditSeveralLayers() {
    ASSERT_TRUE(doc->AddLayer());
    const int a = L().active;
    L().SetLayerAlpha(a, 3, 2, 200);
    L().WriteLayerColor(a, 3, 2, MakeRgbq(1, 2, 3));
    doc->RecordStep("paint", kStepPixels, a);
    ASSERT_TRUE(doc->AddLayer());
    const int b = L().active;
    L().SetLayerAlpha(b, 0, 0, 17);
    doc->RecordStep("paint", kStepPixels, b);
    ASSERT_TRUE(doc->SetLayerBlend(a, kBlendScreen));
    ASSERT_TRUE(doc->SetLayerTransparency(b, 120));
    ASSERT_TRUE(doc->RenameLayer(b, "구름 layer"));
    ASSERT_TRUE(doc->SetLayerVisible(a, false));
    L().slots[b].x = -4;
    L().slots[b].y = 3;
    L().WriteLayerColor(L().bottom, 0, 0, MakeRgbq(9, 9, 9));
    doc->RecordStep("move", kStepMove, b);
    doc->RecordStep("bottom", kStepPixels, L().bottom);
  }

  bool Recover(LayerStack& out, RecoveryManifest& m, std::string* why) {
    if (!ParseRecoveryManifest(ReadText(doc->History().ManifestFile()), m, why)) return false;
    return ReadRecoveredLayers(tmp, m, out, why);
  }

  fs::path tmp;
  FrameState frame;
  RecordingHost host;
  PlainFormats formats;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(RecoveryTest, EveryStepUndoAndRedoLeavesAManifestOfThatState) {
  EditSeveralLayers();
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    auto back = std::make_unique<LayerStack>();
    RecoveryManifest m;
    std::string why;
    ASSERT_TRUE(Recover(*back, m, &why)) << why;
    EXPECT_EQ(Snap(*back), Snap(L()));
    EXPECT_EQ(m.step, doc->History().Step());
    EXPECT_EQ(m.name, "바다.jpg");
    EXPECT_EQ(m.path, (tmp / "바다.jpg").string());
    EXPECT_EQ(back->active, L().active);
  };
  check("after the steps");
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  check("after undo");
  ASSERT_TRUE(doc->Redo());
  check("after redo");
  while (doc->History().CanUndo()) ASSERT_TRUE(doc->Undo());
  ASSERT_EQ(doc->History().Step(), 0);
  check("back at the opened picture");
  // Past the window of 19 steps the oldest step files are folded and renamed.
  ASSERT_TRUE(doc->AddLayer());
  ASSERT_EQ(L().Chain().size(), 2u);
  for (int i = 0; i < 30; ++i) {
    const int slot = L().Chain()[size_t(i % 2)];
    L().SetLayerAlpha(slot, i % 13, i % 7, i * 7 + 1);
    doc->RecordStep("brush", kStepPixels, slot);
  }
  check("after the window moved");
}

TEST_F(RecoveryTest, RecoveredDocumentOpensModifiedUnderItsOldName) {
  EditSeveralLayers();
  const std::vector<Snapshot> want = Snap(L());
  auto back = std::make_unique<LayerStack>();
  RecoveryManifest m;
  std::string why;
  ASSERT_TRUE(Recover(*back, m, &why)) << why;
  CMirvDoc again(frame, host, &formats);
  ASSERT_TRUE(again.OpenRecovered(std::move(*back), m.name, m.path, m.viewFormat));
  EXPECT_EQ(Snap(again.Layers()), want);
  EXPECT_TRUE(again.IsModified());
  EXPECT_EQ(again.Name(), "바다.jpg");
  EXPECT_EQ(again.Path(), tmp / "바다.jpg");
  EXPECT_EQ(again.History().Step(), 0);
  EXPECT_NE(again.Serial(), doc->Serial());
}

TEST_F(RecoveryTest, DamagedManifestsAndFilesAreRefusedWithAReason) {
  EditSeveralLayers();
  const fs::path manifest = doc->History().ManifestFile();
  const std::string good = ReadText(manifest);
  RecoveryManifest m;
  std::string why;
  ASSERT_TRUE(ParseRecoveryManifest(good, m, &why)) << why;

  // Every cut short of the whole text is refused (a manifest is only replaced
  // whole, so a cut one is never to be half read).
  for (size_t n = 0; n + 1 < good.size(); n += 7) {
    RecoveryManifest cut;
    EXPECT_FALSE(ParseRecoveryManifest(good.substr(0, n), cut, &why)) << n;
  }
  auto edited = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    const size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) t.replace(at, from.size(), to);
    return t;
  };
  const std::string firstData = good.substr(good.find("\ndata ") + 6, good.find(' ', good.find("\ndata ") + 6) - good.find("\ndata ") - 6);
  for (const std::string& bad :
       {edited("canvas 13 7", "canvas 13 -7"), edited("canvas 13 7", "canvas 99999999 7"),
        edited("\nactive ", "\nactive 3"), edited("data " + firstData, "data ../" + firstData),
        edited("\nrecord ", "\nrecord 00"), edited("\nend\n", "\nend\nend\n"),
        edited("velmira-recovery 1", "velmira-recovery 2")}) {
    RecoveryManifest broken;
    why.clear();
    EXPECT_FALSE(ParseRecoveryManifest(bad, broken, &why));
    EXPECT_FALSE(why.empty());
  }

  // A history file that is gone, shorter than recorded, or another file under the
  // same name.
  const fs::path data = tmp / m.layers.back().data.file;
  const std::string bytes = ReadText(data);
  auto back = std::make_unique<LayerStack>();
  fs::remove(data);
  EXPECT_FALSE(ReadRecoveredLayers(tmp, m, *back, &why));
  EXPECT_NE(why.find("missing"), std::string::npos) << why;
  std::ofstream(data, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  EXPECT_FALSE(ReadRecoveredLayers(tmp, m, *back, &why));
  fs::remove(data);
  std::ofstream(data, std::ios::binary) << bytes;
  EXPECT_FALSE(ReadRecoveredLayers(tmp, m, *back, &why));
  EXPECT_NE(why.find("replaced"), std::string::npos) << why;
  EXPECT_FALSE(back->Used(back->bottom));
  RecoveryReadOptions trusting;
  trusting.checkIdentity = false;
  EXPECT_TRUE(ReadRecoveredLayers(tmp, m, *back, &why, trusting)) << why;

  // A folder with one good and one damaged manifest lists the good one only.
  std::ofstream(tmp / "Recovery_7.vlmrec", std::ios::binary) << good.substr(0, good.size() / 2);
  std::ofstream(tmp / "Recovery_x.vlmrec", std::ios::binary) << "not considered";
  std::vector<std::string> problems;
  const auto found = FindRecoverableDocuments(tmp, &problems);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].manifest, manifest);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("Recovery_7.vlmrec"), std::string::npos);
}

TEST_F(RecoveryTest, ClosingTheDocumentOrDiscardingRemovesItsManifestAndFiles) {
  EditSeveralLayers();
  CMirvDoc other(frame, host, &formats);
  ASSERT_TRUE(other.OnOpenDocument(tmp / "other.bmp"));
  const fs::path otherManifest = other.History().ManifestFile();
  ASSERT_TRUE(fs::exists(otherManifest));
  const fs::path manifest = doc->History().ManifestFile();
  ASSERT_TRUE(fs::exists(manifest));
  doc.reset();
  EXPECT_FALSE(fs::exists(manifest));
  int left = 0;
  for (const auto& e : fs::directory_iterator(tmp)) {
    const std::string n = e.path().filename().string();
    left += n.find("_101") != std::string::npos;
  }
  EXPECT_EQ(left, 0);
  // The other document's files are its own business.
  EXPECT_TRUE(fs::exists(otherManifest));
  EXPECT_TRUE(fs::exists(other.History().InitialFile()));
  DiscardRecoverableDocument(otherManifest);
  EXPECT_FALSE(fs::exists(otherManifest));
  EXPECT_FALSE(fs::exists(other.History().InitialFile()));
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// The fuzzer's input: a manifest whose layers all name "blob", a NUL, the blob.
// With VELMIRA_WRITE_SEEDS=1 the seeds under tests/data/recovery are (re)written;
// every run checks that each one reads, or is refused, as its name says.
TEST_F(RecoveryTest, SeedFilesReadAsTheirNamesSay) {
  ASSERT_TRUE(doc->AddLayer());
  L().SetLayerAlpha(L().active, 1, 1, 77);
  doc->RecordStep("Opening....", kStepPixels, L().active);  // every layer in one file
  RecoveryManifest m;
  std::string why;
  ASSERT_TRUE(ParseRecoveryManifest(ReadText(doc->History().ManifestFile()), m, &why)) << why;
  const std::string blob = ReadText(tmp / m.layers[0].data.file);
  const std::string initial = m.layers[0].data.file;
  for (auto& l : m.layers) {
    ASSERT_EQ(l.data.file, initial);
    l.data.file = "blob";
  }
  const std::string good = FormatRecoveryManifest(m) + std::string(1, '\0') + blob;
  std::map<std::string, std::string> seeds;
  seeds["good_two_layers.bin"] = good;
  seeds["bad_short_blob.bin"] = good.substr(0, good.size() - 5);
  std::string huge = good;
  huge.replace(huge.find("canvas 13 7"), 11, "canvas 1048576 1048576");
  seeds["bad_huge_canvas.bin"] = huge;
  const fs::path dir = fs::path(VELMIRA_TEST_DATA) / "recovery";
  if (std::getenv("VELMIRA_WRITE_SEEDS")) {
    fs::create_directories(dir);
    for (auto& [name, bytes] : seeds) std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  if (!fs::exists(dir)) GTEST_SKIP() << "no seeds under " << dir;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    const std::string in = ReadText(e.path());
    const size_t nul = in.find('\0');
    ASSERT_NE(nul, std::string::npos) << name;
    std::ofstream(tmp / "blob", std::ios::binary) << in.substr(nul + 1);
    RecoveryManifest parsed;
    auto stack = std::make_unique<LayerStack>();
    RecoveryReadOptions trusting;
    trusting.checkIdentity = false;
    const bool read =
        ParseRecoveryManifest(in.substr(0, nul), parsed, &why) && ReadRecoveredLayers(tmp, parsed, *stack, &why, trusting);
    EXPECT_EQ(read, name.rfind("good_", 0) == 0) << name << ": " << why;
    if (read) {
      EXPECT_EQ(Snap(*stack), Snap(L())) << name;
    }
  }
}

}  // namespace
}  // namespace velmira
