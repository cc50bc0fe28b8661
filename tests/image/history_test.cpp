#include "image/history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/text.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

constexpr int kW = 9, kH = 5;

class FakeHost : public HistoryHost {
 public:
  explicit FakeHost(fs::path folder) : folder(std::move(folder)) {}
  LayerStack& Layers() override { return stack; }
  CImageBuffer* ViewImage() override { return &view; }
  int Serial() const override { return 101; }
  fs::path TempFolder() const override { return folder; }
  int CurrentToolId() const override { return 1500; }
  void SetModified(bool m) override { modified = m; }
  void SetBusy(bool b) override { busy = b; }
  void HistoryChanged() override {}
  void LayersChanged() override {}
  void SetTitleText(const std::string& t) override { title = t; }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }

  LayerStack stack;
  CImageBuffer view;
  fs::path folder;
  bool modified = false;
  bool busy = false;
  std::string title;
  std::vector<std::string> messages;
};

// What a user sees of the document: the stack order and every layer's look.
struct LayerLook {
  int slot;
  std::u16string name, text;
  int kind, blend, x, y, width, height;
  std::vector<uint8_t> pixels, alpha;
  bool operator==(const LayerLook&) const = default;
};
std::vector<LayerLook> Look(const LayerStack& s) {
  std::vector<LayerLook> out;
  for (int slot : s.Chain()) {
    const Layer& l = s.slots[slot];
    out.push_back({slot, l.name.Get(), l.textBuffer, l.kind, l.blend, l.x, l.y, l.width, l.height, l.pixels,
                   l.alpha});
  }
  return out;
}

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("velmira-history-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    host = std::make_unique<FakeHost>(folder);
    history = std::make_unique<CHistory>(*host);
  }
  void TearDown() override {
    history.reset();
    std::error_code ec;
    fs::permissions(folder, fs::perms::owner_all, ec);
    fs::remove_all(folder, ec);
  }

  LayerStack& L() { return host->stack; }

  // A canvas with `layers` layers in slots 0, 1, … bottom first, then "Opening....".
  void Open(int layers) {
    L().header.canvasWidth = kW;
    L().header.canvasHeight = kH;
    L().header.bitsPerPixel = 24;
    for (int i = 0; i < layers; ++i) {
      int slot = -1;
      ASSERT_EQ(L().InsertLayer(i == 0 ? -1 : i - 1, i, &slot), InsertResult::Ok);
      Fill(i, uint8_t(100 + i));
    }
    L().slots[0].kind = kLayerBackground;
    L().active = 0;
    history->RecordStep("Opening....", kStepPixels, 0);
  }
  void Fill(int slot, uint8_t v) {
    Layer& l = L().slots[slot];
    std::fill(l.pixels.begin(), l.pixels.end(), v);
    std::fill(l.alpha.begin(), l.alpha.end(), uint8_t(v ^ 0x5A));
  }
  // One editing command on a layer, as the document runs it.
  void Paint(int slot, uint8_t v, const std::string& label = "칠하기") {
    history->RevertLayer(slot, false);
    L().active = slot;
    Fill(slot, v);
    history->RecordStep(label, kStepPixels, slot);
  }
  uint8_t Value(int slot) const { return host->stack.slots[slot].pixels.at(0); }
  void DeleteLayer(int slot) {
    history->RevertLayer(slot, false);
    L().active = L().UnlinkLayer(slot);
    history->RecordStep("레이어삭제", kStepDelete, slot);
    L().slots[slot].FreeBuffers();
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
  std::unique_ptr<FakeHost> host;
  std::unique_ptr<CHistory> history;
};

TEST_F(HistoryTest, TwentyFiveStepsKeepStepOneAndTheNewestEighteen) {
  Open(2);
  // Step 1 paints the bottom layer, step 2 makes the only change ever made to
  // layer 1, steps 3…24 paint the bottom layer again and step 25 deletes layer 1,
  // so undoing it needs step 2's pixels although step 2 itself was dropped.
  Paint(0, 1, "칠하기 1");
  Paint(1, 2, "칠하기 2");
  for (int k = 3; k <= 24; ++k) Paint(0, uint8_t(k), Format("칠하기 %d", k));
  DeleteLayer(1);
  EXPECT_EQ(history->Step(), 19);
  EXPECT_EQ(history->Top(), 19);
  EXPECT_EQ(history->Label(1), "칠하기 1");
  for (int i = 2; i <= 18; ++i) EXPECT_EQ(history->Label(i), Format("칠하기 %d", i + 6)) << i;
  EXPECT_EQ(history->Label(19), "레이어삭제");
  EXPECT_FALSE(fs::exists(history->StepFile(20, 0)));
  EXPECT_TRUE(fs::exists(history->StepFile(18, 0)));
  EXPECT_TRUE(fs::exists(history->InitialFile()));

  auto expectState = [&](int i) {
    EXPECT_EQ(Value(0), i == 0 ? 100 : i == 1 ? 1 : i == 19 ? 24 : i + 6) << i;
    if (i == 19) {
      EXPECT_FALSE(L().Used(1));
    } else {
      ASSERT_TRUE(L().Used(1)) << i;
      EXPECT_EQ(Value(1), i <= 1 ? 101 : 2) << i;
    }
  };
  for (int i = 18; i >= 0; --i) {
    ASSERT_TRUE(history->Undo()) << i;
    EXPECT_EQ(history->Step(), i);
    expectState(i);
  }
  EXPECT_FALSE(history->CanUndo());
  EXPECT_FALSE(history->Undo());
  for (int i = 1; i <= 19; ++i) {
    ASSERT_TRUE(history->Redo()) << i;
    expectState(i);
  }
  EXPECT_FALSE(history->Redo());
  // Back down to the state before the deletion once more, without the whole-file
  // shortcut that redo to step 2 takes.
  ASSERT_TRUE(history->Undo());
  expectState(18);
  EXPECT_TRUE(host->messages.empty());
  EXPECT_FALSE(host->busy);
}

TEST_F(HistoryTest, UndoAtTheStartAndRedoCutOffByANewStep) {
  Open(1);
  EXPECT_FALSE(history->Undo());
  EXPECT_EQ(history->Step(), 0);
  Paint(0, 1);
  Paint(0, 2);
  Paint(0, 3);
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Value(0), 1);
  ASSERT_TRUE(history->Undo());
  EXPECT_FALSE(history->Undo());  // at 0: nothing, and redo is still there
  EXPECT_EQ(history->Step(), 0);
  EXPECT_EQ(history->Top(), 3);
  EXPECT_TRUE(history->CanRedo());
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(Value(0), 1);
  EXPECT_EQ(host->title, "REDO : 언두리스트(Top 1) (0) Opening.... (1) 칠하기");

  Paint(0, 9, "흐리게");
  EXPECT_EQ(history->Step(), 2);
  EXPECT_EQ(history->Top(), 2);
  EXPECT_FALSE(history->CanRedo());
  EXPECT_FALSE(history->Redo());
  EXPECT_EQ(Value(0), 9);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Value(0), 1);
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(Value(0), 9);
}

TEST_F(HistoryTest, UncommittedPreviewIsDroppedAndBackupsComeBack) {
  Open(1);
  Paint(0, 7);
  Fill(0, 50);  // a tool preview, never recorded
  history->RevertLayer(0, false);
  EXPECT_EQ(Value(0), 7);
  EXPECT_EQ(L().editPixels, L().slots[0].pixels);  // the edit copy is taken too

  history->SaveBackup(1, 0);
  Fill(0, 60);
  history->RestoreBackup(1, 0);
  EXPECT_EQ(Value(0), 7);
}

TEST_F(HistoryTest, LayerStructureComesBackOnUndoAndRedo) {
  Open(3);
  L().slots[1].name.Set(u"구름");
  L().slots[1].blend = kBlendScreen;
  L().slots[1].x = -3;
  Paint(1, 11);
  const auto before = Look(L());

  DeleteLayer(1);
  EXPECT_EQ(L().Chain(), (std::vector<int>{0, 2}));
  EXPECT_TRUE(L().slots[1].pixels.empty());
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Look(L()), before);  // same slot, same place in the stack, same look
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(L().Chain(), (std::vector<int>{0, 2}));
  EXPECT_FALSE(L().Used(1));

  // A layer added over the bottom layer goes away on undo and returns on redo.
  int added = -1;
  ASSERT_EQ(L().InsertLayer(0, -1, &added), InsertResult::Ok);
  EXPECT_EQ(added, 1);  // the freed slot is reused
  Fill(added, 33);
  history->RecordStep("레이어추가", kStepAdd, added);
  const auto withAdded = Look(L());
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(L().Chain(), (std::vector<int>{0, 2}));
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Look(L()), before);
  ASSERT_TRUE(history->Redo());
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(Look(L()), withAdded);

  // Flatten: the bottom takes everything, the others leave; undo brings them all.
  const auto beforeFlatten = Look(L());
  Fill(0, 77);
  for (int s : L().Chain())
    if (s != 0) {
      L().slots[s].inUse = 0;
      L().slots[s].FreeBuffers();
    }
  L().slots[0].above = -1;
  L().active = 0;
  history->RecordStep("떡그림", kStepFlatten, 0);
  EXPECT_EQ(L().LayerCount(), 1);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Look(L()), beforeFlatten);

  // Undo to the very start rebuilds the document whole.
  while (history->CanUndo()) ASSERT_TRUE(history->Undo());
  EXPECT_EQ(L().Chain(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Value(1), 101);
  EXPECT_EQ(L().slots[1].name.Get(), u"레이어 1");
}

TEST_F(HistoryTest, TextSurvivesUndoAndRedo) {
  Open(1);
  int slot = -1;
  ASSERT_EQ(L().InsertLayer(0, -1, &slot), InsertResult::Ok);
  LayerAlloc a;
  a.width = kW, a.height = kH, a.canvasWidth = kW, a.canvasHeight = kH, a.kind = kLayerText;
  ASSERT_TRUE(L().AllocateLayer(slot, a));
  Layer& t = L().slots[slot];
  const std::u16string first = u"안녕하세요 Velmira\n둘째 줄";
  t.textBuffer = first;
  t.textLength = int32_t(first.size());
  t.textColour = 0x123456;
  std::fill(t.alpha.begin(), t.alpha.end(), 200);
  history->RecordStep("글자", kStepAdd, slot);

  const std::u16string second = u"바뀐 글";
  history->RevertLayer(slot, false);
  L().slots[slot].textBuffer = second;
  L().slots[slot].textLength = int32_t(second.size());
  history->RecordStep("글자", kStepPixels, slot);

  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(L().slots[slot].textBuffer, first);
  EXPECT_EQ(L().slots[slot].textLength, int32_t(first.size()));
  EXPECT_EQ(L().slots[slot].textColour, 0x123456);
  EXPECT_EQ(L().slots[slot].alpha.at(3), 200);
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(L().slots[slot].textBuffer, second);
  ASSERT_TRUE(history->Undo());
  ASSERT_TRUE(history->Undo());
  EXPECT_FALSE(L().Used(slot));

  // A text layer that was there at the start comes back from the initial file.
  ASSERT_EQ(L().InsertLayer(0, -1, &slot), InsertResult::Ok);
  ASSERT_TRUE(L().AllocateLayer(slot, a));
  L().slots[slot].textBuffer = first;
  L().slots[slot].textLength = int32_t(first.size());
  history->RecordStep("Opening....", kStepPixels, 0);
  DeleteLayer(slot);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(L().slots[slot].textBuffer, first);
  EXPECT_EQ(L().slots[slot].kind, kLayerText);
}

TEST_F(HistoryTest, PanelListAndFileNames) {
  EXPECT_EQ(history->ListLines(), std::vector<std::string>{"   0  (처음상태)"});
  Open(2);
  DeleteLayer(1);
  EXPECT_EQ(history->ListLines(),
            (std::vector<std::string>{"  1              레이어삭제", "  0             (처음영상)"}));
  L().header.paletteColours = 256;
  L().palette.assign(256 * 4, 0);
  history->CommitLayer(0);
  Paint(0, 5, "Removetransparency");
  EXPECT_EQ(history->ListLines().front(), "  2 256 칼라 Removetransparency");
  // The deleted layer wrote nothing; the painted one did. The crash-recovery
  // manifest sits beside them.
  EXPECT_EQ(Files(), (std::vector<std::string>{"Recovery_101.vlmrec", "UD_101_2_0.vlmtmp",
                                               "WrIniLrList_Head_101.vlmtmp"}));
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Files(), (std::vector<std::string>{"Recovery_101.vlmrec", "RedIniLrList_Head_101.vlmtmp",
                                               "UD_101_2_0.vlmtmp", "WrIniLrList_Head_101.vlmtmp"}));
  // A step file holds pixels, transparency, effect plane and selection mask.
  const Layer& l = L().slots[0];
  EXPECT_EQ(fs::file_size(history->StepFile(2, 0)), size_t(l.imageSize + 3 * l.pixelCount));
}

TEST_F(HistoryTest, LostTemporaryFolderKeepsTheEditAndSaysSo) {
  Open(1);
  Paint(0, 1);
  fs::remove_all(folder);
  Paint(0, 2);
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(host->messages[0], kMsgHistoryWriteFailed);
  EXPECT_EQ(history->Step(), 1);  // the failed step is not offered
  EXPECT_EQ(Value(0), 2);         // the edit stays …
  history->RevertLayer(0, false);
  EXPECT_EQ(Value(0), 2);  // … and is what the next command starts from
  Paint(0, 3);
  EXPECT_EQ(host->messages.size(), 1u);  // told once, not at every stroke

  // Undo needs the lost files: it fails and changes nothing.
  ASSERT_FALSE(history->Undo());
  EXPECT_EQ(host->messages.back(), kMsgHistoryReadFailed);
  EXPECT_EQ(Value(0), 3);
  EXPECT_EQ(history->Step(), 1);
  EXPECT_FALSE(host->busy);
}

TEST_F(HistoryTest, UnwritableStepIsSkippedAndLaterStepsStillUndoCorrectly) {
  Open(2);
  Paint(0, 1);
  Paint(1, 2);
  // A directory with content where step 3's file of layer 0 should go: that one
  // file cannot be written, everything else can.
  fs::create_directories(history->StepFile(3, 0) / "x");
  Paint(0, 3);
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(history->Step(), 2);
  EXPECT_EQ(history->Top(), 2);
  EXPECT_EQ(Value(0), 3);

  // Undo from here reverses the failed edit with step 2.
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Value(0), 1);
  EXPECT_EQ(Value(1), 101);
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(Value(0), 1);  // the failed edit is not replayed
  EXPECT_EQ(Value(1), 2);

  // Fail again, then succeed: the successful step also saves the failed layer.
  Paint(0, 3);
  fs::remove_all(history->StepFile(3, 0));
  Paint(1, 4);
  EXPECT_EQ(history->Step(), 3);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Value(0), 1);
  EXPECT_EQ(Value(1), 2);
  ASSERT_TRUE(history->Redo());
  EXPECT_EQ(Value(0), 3);
  EXPECT_EQ(Value(1), 4);
}

TEST_F(HistoryTest, MissingInitialFileMakesTheNextGoodStateTheStart) {
  // A temporary folder "under" a regular file can never be created, even by root.
  const fs::path blocker = folder / "plain-file";
  std::ofstream(blocker) << "x";
  host->folder = blocker / "tmp";
  Open(1);
  // The opening's file is written in the background; its failure is known once
  // anything asks for it.
  EXPECT_FALSE(fs::exists(history->InitialFile()));
  EXPECT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(history->Step(), 0);
  Paint(0, 1);
  EXPECT_FALSE(history->CanUndo());
  EXPECT_EQ(Value(0), 1);

  host->folder = folder;  // space again
  Paint(0, 2);
  EXPECT_EQ(history->Step(), 0);
  EXPECT_TRUE(fs::exists(history->InitialFile()));
  Paint(0, 3);
  ASSERT_TRUE(history->Undo());
  EXPECT_EQ(Value(0), 2);
}

// The opened picture is written to the history while the user may already be
// painting: the file must hold the picture as it was opened, not the paint.
TEST_F(HistoryTest, TheOpeningWrittenInTheBackgroundKeepsThePictureAsOpened) {
  L().header.canvasWidth = 3000;
  L().header.canvasHeight = 2000;
  L().header.bitsPerPixel = 24;
  int slot = -1;
  ASSERT_EQ(L().InsertLayer(-1, 0, &slot), InsertResult::Ok);
  Layer& l = L().slots[slot];
  std::fill(l.pixels.begin(), l.pixels.end(), uint8_t(7));
  L().active = slot;
  history->RecordStep("Opening....", kStepPixels, slot);
  std::fill(l.pixels.begin(), l.pixels.end(), uint8_t(9));
  history->RecordStep("칠하기", kStepPixels, slot);
  EXPECT_TRUE(host->messages.empty());
  ASSERT_TRUE(history->Undo());
  const Layer& back = L().slots[slot];
  EXPECT_EQ(back.pixels.at(0), 7);
  EXPECT_EQ(back.pixels.at(back.pixels.size() - 1), 7);
  EXPECT_EQ(std::count(back.pixels.begin(), back.pixels.end(), uint8_t(7)), ptrdiff_t(back.pixels.size()));
  EXPECT_EQ(fs::file_size(history->InitialFile()), history->Io().written - fs::file_size(history->StepFile(1, slot)));
}

}  // namespace
}  // namespace velmira
