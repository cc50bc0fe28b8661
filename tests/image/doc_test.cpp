#include "image/doc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "image/compose.h"
#include "image/le_bytes.h"
#include "image/text.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

using testing_support::RecordingHost;

// Decodes any picture to a fixed image and remembers the codes it was asked for.
struct FakeFormats : FormatDispatch {
  int width = 6, height = 4;
  std::vector<int> loadCodes;
  std::vector<int> savedCodes;
  std::vector<uint8_t> savedPixels;
  bool failSaves = false;
  bool LoadPicture(const fs::path&, int code, CImageBuffer& out) override {
    loadCodes.push_back(code);
    out.Allocate(width, height, 24, code);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.WriteColor(x, y, MakeRgbq(x * 40, y * 60, 7));
    return true;
  }
  bool SavePicture(const fs::path&, int code, CImageBuffer& image) override {
    savedCodes.push_back(code);
    if (failSaves) {
      image.SetLastError("disk full");
      return false;
    }
    savedPixels.assign(image.Pixels(), image.Pixels() + image.ImageSize());
    return true;
  }
  bool ImportPsd(const fs::path&, CImageBuffer&) override { return false; }
  bool ReadNative(CMirvDoc&, const fs::path&, std::string& m) override {
    m = "VLM 형식의 버전이 상이함";
    return false;
  }
  bool WriteNative(CMirvDoc&, const fs::path&, std::string&, std::string&) override { return false; }
  bool ReduceTo8Bit(CMirvDoc&) override { return false; }
};

class DocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-doc-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    host.frame = &frame;
    host.formats = &formats;
    host.renameTo = "새 이름";
    doc = std::make_unique<CMirvDoc>(frame, host, &formats);
  }
  void TearDown() override {
    doc.reset();
    host.created.clear();
    fs::remove_all(tmp);
  }
  bool Open(const std::string& name = "a.jpg") { return doc->OnOpenDocument(tmp / name); }
  LayerStack& L() { return doc->Layers(); }
  bool Said(const std::string& m) const {
    return std::find(host.messages.begin(), host.messages.end(), m) != host.messages.end();
  }

  fs::path tmp;
  FrameState frame;
  RecordingHost host;
  FakeFormats formats;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(DocTest, OpenBuildsTheBackgroundLayerAndStartsTheHistory) {
  ASSERT_TRUE(Open("a.JPEG"));
  EXPECT_EQ(formats.loadCodes, std::vector<int>{0});
  EXPECT_EQ(doc->Name(), "a.JPEG");
  EXPECT_EQ(doc->Serial(), 101);
  EXPECT_EQ(L().LayerCount(), 1);
  const Layer& b = L().slots[L().bottom];
  EXPECT_EQ(b.name.Get(), u"배경영상");
  EXPECT_EQ(b.kind, kLayerBackground);
  EXPECT_EQ(b.alpha[5], 255);
  EXPECT_EQ(L().ReadLayerColor(L().bottom, 5, 3, nullptr), MakeRgbq(200, 180, 7));
  EXPECT_EQ(doc->History().Step(), 0);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->Name(), "a.JPEG");
  EXPECT_EQ(doc->TitleText(), "a.JPEG");  // the active layer: the views add the zoom between

  CMirvDoc other(frame, host, &formats);
  EXPECT_FALSE(other.OnOpenDocument(tmp / "a.jpe"));  // unknown extension: silently refused
  EXPECT_FALSE(other.OnOpenDocument(tmp / "noextension"));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(other.OnOpenDocument(tmp / (std::string(96, 'n') + ".bmp")));
  EXPECT_TRUE(Said("그림파일명이 너무 깁니다."));
  EXPECT_FALSE(other.OnOpenDocument(tmp / "x.vlm"));
  EXPECT_TRUE(Said("VLM 형식의 버전이 상이함"));
}

TEST_F(DocTest, LayerCountLimitsAndMessages) {
  ASSERT_TRUE(Open());
  EXPECT_FALSE(doc->DeleteLayer(L().active, true));
  EXPECT_TRUE(Said("레이어가 1개 밖에 없습니다"));
  for (int i = 1; i < kMaxLayers; ++i) ASSERT_TRUE(doc->AddLayer()) << i;
  EXPECT_EQ(L().LayerCount(), kMaxLayers);
  EXPECT_FALSE(doc->AddLayer());
  EXPECT_TRUE(Said("레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도."));
  EXPECT_EQ(L().LayerCount(), kMaxLayers);
}

TEST_F(DocTest, DeleteMakesTheLayerAboveActiveAndUndoBringsItBack) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(doc->AddLayer());
  const int middle = L().active;
  ASSERT_TRUE(doc->AddLayer());
  const int top = L().active;
  L().SetLayerAlpha(middle, 1, 1, 99);
  doc->RecordStep("edit", kStepPixels, middle);
  ASSERT_TRUE(doc->SetActiveLayer(middle));
  ASSERT_TRUE(doc->DeleteLayer(middle, true));
  EXPECT_EQ(L().active, top);
  EXPECT_EQ(L().LayerCount(), 2);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().Chain(), (std::vector<int>{L().bottom, middle, top}));
  EXPECT_EQ(L().LayerAlpha(middle, 1, 1), 99);
}

TEST_F(DocTest, MergeRulesAndResult) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(doc->AddLayer());
  const int up = L().active;
  EXPECT_FALSE(doc->MergeDown());  // the top layer has nothing above it
  EXPECT_EQ(L().LayerCount(), 2);
  // A multiply layer over the background, merged up into the background slot.
  Layer& l = L().slots[up];
  l.blend = kBlendMultiply;
  l.transparency = 200;  // ignored by multiply
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) L().WriteLayerColor(up, x, y, MakeRgbq(128, 128, 128));
  doc->RecordStep("paint", kStepPixels, up);
  ASSERT_TRUE(doc->MergeUp());
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(L().active, L().bottom);
  // Background red at (5, 3) is 200 → (200 × 128) >> 8 = 100.
  EXPECT_EQ(RgbqR(L().ReadLayerColor(L().bottom, 5, 3, nullptr)), 100);
  EXPECT_EQ(doc->History().ListLines().front().find("레이어병합") != std::string::npos, true);

  ASSERT_TRUE(doc->AddLayer());
  L().slots[L().active].kind = kLayerText;
  ASSERT_TRUE(doc->SetActiveLayer(L().bottom));
  EXPECT_FALSE(doc->MergeDown());
  EXPECT_TRUE(Said("두 레이어 중 적어도 하나가 글자레이어입니다.\r\n레스터 변환 후에 병합하십시요."));
}

TEST_F(DocTest, SavingAsJpegFlattensAndUndoRestoresTheLayers) {
  ASSERT_TRUE(Open("pic.bmp"));
  ASSERT_TRUE(doc->AddLayer());
  const int a = L().active;
  ASSERT_TRUE(doc->AddLayer());
  const int hidden = L().active;
  L().WriteLayerColor(a, 0, 0, MakeRgbq(1, 2, 3));
  L().WriteLayerColor(hidden, 0, 0, MakeRgbq(9, 9, 9));
  L().slots[hidden].visible = 0;
  doc->RecordStep("paint", kStepPixels, a);
  doc->RecordStep("paint", kStepPixels, hidden);
  ASSERT_TRUE(doc->OnSaveDocument(tmp / "out.jpg"));
  EXPECT_EQ(formats.savedCodes, std::vector<int>{0});
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_FALSE(doc->IsModified());
  // The written pixel is the visible layer's, not the hidden one's.
  EXPECT_EQ(formats.savedPixels[0], 3);
  EXPECT_EQ(formats.savedPixels[2], 1);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().LayerCount(), 3);
  EXPECT_EQ(L().LayerAlpha(hidden, 0, 0), 255);

  EXPECT_FALSE(doc->OnSaveDocument(tmp / "out.pcx"));
  EXPECT_EQ(formats.savedCodes.size(), 1u);
}

// A write that fails must not cost the user the layers: nothing is merged, no step
// is recorded, the redo chain and the selection survive.
TEST_F(DocTest, AFailedSaveLeavesTheDocumentAsItWas) {
  ASSERT_TRUE(Open("pic.bmp"));
  ASSERT_TRUE(doc->AddLayer());
  const int top = L().active;
  L().WriteLayerColor(top, 1, 1, MakeRgbq(200, 100, 50));
  doc->RecordStep("paint", kStepPixels, top);
  ASSERT_TRUE(doc->AddLayer());
  ASSERT_TRUE(doc->Undo());  // leaves a step to redo
  const LayerStack before = L();
  const int step = doc->History().Step();
  L().selectionExists = true;
  L().mask[3] = 0;
  const std::vector<uint8_t> mask = L().mask;
  formats.failSaves = true;
  const bool wasModified = doc->IsModified();

  for (const char* name : {"out.jpg", "out.bmp", "out.gif", "out.tif"}) {
    SCOPED_TRACE(name);
    host.messages.clear();
    host.failureDetails.clear();
    EXPECT_FALSE(doc->OnSaveDocument(tmp / name));
    EXPECT_EQ(L().LayerCount(), 2);
    EXPECT_EQ(L().active, before.active);
    for (int s : before.Chain()) {
      EXPECT_EQ(L().slots[s].pixels, before.slots[s].pixels);
      EXPECT_EQ(L().slots[s].alpha, before.slots[s].alpha);
    }
    EXPECT_EQ(L().header.bitsPerPixel, before.header.bitsPerPixel);
    EXPECT_EQ(doc->History().Step(), step);
    EXPECT_TRUE(doc->History().CanRedo());
    EXPECT_TRUE(L().selectionExists);
    EXPECT_EQ(L().mask, mask);
    EXPECT_EQ(doc->IsModified(), wasModified);
    EXPECT_EQ(doc->Path().filename(), "pic.bmp");
    ASSERT_EQ(host.messages.size(), 1u);
    // The fake cannot reduce colours, so the GIF stops before writing.
    if (std::string(name) == "out.gif") {
      EXPECT_EQ(host.messages[0], "변환을 성공하지 못했습니다.");
    } else {
      // The fixed text names the file; the file and the reason follow below it.
      EXPECT_EQ(host.messages[0], "[" + std::string(name) + "] 파일을 저장하지 못했습니다.");
      ASSERT_EQ(host.failureDetails.size(), 1u);
      EXPECT_EQ(host.failureDetails[0], (tmp / name).string() + "\ndisk full");
    }
  }

  // The same save once the disk has room merges and can be undone.
  formats.failSaves = false;
  ASSERT_TRUE(doc->OnSaveDocument(tmp / "out.bmp"));
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "떡그림");
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().LayerCount(), 2);
}

// A lone opaque layer is written straight from the picture; a failure there still
// keeps the selection it had.
TEST_F(DocTest, AFailedSaveOfASingleLayerKeepsTheSelection) {
  ASSERT_TRUE(Open("one.bmp"));
  L().selectionExists = true;
  L().mask[0] = 0;
  const std::vector<uint8_t> mask = L().mask;
  const int step = doc->History().Step();
  formats.failSaves = true;
  EXPECT_FALSE(doc->OnSaveDocument(tmp / "x.jpg"));
  EXPECT_EQ(L().mask, mask);
  EXPECT_EQ(doc->History().Step(), step);
  EXPECT_EQ(doc->ViewImage()->FormatType(), kFormatBmp);
}

TEST_F(DocTest, SavingAnEditedSingleLayerWritesTheEdit) {
  ASSERT_TRUE(Open("one.bmp"));
  ASSERT_TRUE(doc->OnSaveDocument(tmp / "first.bmp"));
  EXPECT_EQ(formats.savedPixels[0], 7);  // the picture as opened
  ASSERT_TRUE(doc->RunEdit(TextRule::Active, false, "edit", kStepPixels, [](LayerStack& st, Layer&) {
    st.WriteLayerColor(st.active, 0, 0, MakeRgbq(9, 8, 1));
    return true;
  }));
  ASSERT_TRUE(doc->OnSaveDocument(tmp / "second.bmp"));
  EXPECT_EQ(formats.savedPixels[0], 1);
  EXPECT_EQ(formats.savedPixels[2], 9);
}

TEST_F(DocTest, CopyWithoutSelectionGivesA32BitDibWithItsMarker) {
  ASSERT_TRUE(Open());
  L().SetLayerAlpha(L().bottom, 2, 1, 77);
  ASSERT_TRUE(doc->CopyToClipboard());
  ASSERT_GE(host.clipboard.size(), 40u);
  EXPECT_EQ(GetU16(host.clipboard.data() + 14), 32);
  EXPECT_EQ(GetI32(host.clipboard.data() + 24), -2);
  CImageBuffer clip;
  ASSERT_TRUE(clip.FromGlobalMemory(host.clipboard.data(), host.clipboard.size()));
  EXPECT_EQ(clip.Row(1)[4 * 2 + 3], 77);
  EXPECT_EQ(clip.ReadColor(5, 3) & 0xFFFFFF, MakeRgbq(200, 180, 7));

  // Pasting it back makes a new top layer with the same pixels and coverage.
  ASSERT_TRUE(doc->PasteFromClipboard());
  EXPECT_EQ(L().LayerCount(), 2);
  const int p = L().active;
  EXPECT_EQ(p, L().TopLayer());
  EXPECT_EQ(L().LayerAlpha(p, 2, 1), 77);
  EXPECT_EQ(L().ReadLayerColor(p, 5, 3, nullptr), MakeRgbq(200, 180, 7));
  EXPECT_EQ(doc->History().Step(), 1);

  L().slots[L().active].kind = kLayerMeasure;
  EXPECT_FALSE(doc->CopyToClipboard());
  EXPECT_TRUE(Said("벡터형식이 아닌 레이어만 복사할 수 있습니다."));
}

TEST_F(DocTest, CopyOfASelectionKeepsDepthAndHandsOverItsCoverage) {
  ASSERT_TRUE(Open());
  L().selectionExists = true;
  std::fill(L().mask.begin(), L().mask.end(), 0);
  for (int x = 1; x <= 3; ++x) L().mask[x + 2 * size_t(L().maskWidth)] = 1;  // three pixels of row 2
  L().SetLayerAlpha(L().bottom, 2, 2, 60);
  ASSERT_TRUE(doc->CopyToClipboard());
  EXPECT_EQ(GetU16(host.clipboard.data() + 14), 24);
  EXPECT_EQ(GetI32(host.clipboard.data() + 24), -3);
  EXPECT_EQ(GetI32(host.clipboard.data() + 4), 3);
  EXPECT_EQ(GetI32(host.clipboard.data() + 8), 1);
  EXPECT_EQ(frame.copiedAlpha, (std::vector<uint8_t>{255, 60, 255}));
  // Pasting takes the coverage back from the frame.
  L().selectionExists = false;
  ASSERT_TRUE(doc->PasteFromClipboard());
  const int top = L().Chain().back();
  EXPECT_EQ(L().LayerAlpha(top, 1, 3), 60);  // top-left as the user sees it: the top row
  EXPECT_EQ(L().ReadLayerColor(top, 0, 3, nullptr), MakeRgbq(40, 120, 7));
}

TEST_F(DocTest, FlattenOfALoneLayerStillAppliesPartialCoverage) {
  ASSERT_TRUE(Open());
  L().SetLayerAlpha(L().bottom, 5, 3, 128);
  doc->RecordStep("edit", kStepPixels, L().bottom);
  ASSERT_TRUE(doc->Flatten());
  // N = 128/255 of red 200 → 100, and the coverage stays 128.
  EXPECT_EQ(RgbqR(L().ReadLayerColor(L().bottom, 5, 3, nullptr)), 100);
  EXPECT_EQ(L().LayerAlpha(L().bottom, 5, 3), 128);
  EXPECT_EQ(RgbqR(L().ReadLayerColor(L().bottom, 4, 3, nullptr)), 160);
}

TEST_F(DocTest, AlphaCommandsChangeTheRecordAndRecordSteps) {
  ASSERT_TRUE(Open());
  doc->ViewImage()->Ext().transparentIndex = 4;
  ASSERT_TRUE(doc->AlphaCommand(cmd::kRemoveTransparency));
  EXPECT_EQ(doc->ViewImage()->Ext().transparentIndex, -1);
  ASSERT_TRUE(doc->AlphaCommand(cmd::kToggleAlphaPalette));
  EXPECT_EQ(doc->ViewImage()->Ext().alphaPaletteEnabled, 1);
  ASSERT_TRUE(doc->AlphaCommand(cmd::kStripAlpha));
  EXPECT_EQ(doc->ViewImage()->Ext().transparentColour, MakeRgbq(255, 255, 255, 0));
  EXPECT_EQ(doc->History().Step(), 3);
  ASSERT_TRUE(doc->AlphaCommand(cmd::kSetTransparency));  // a display switch, not a step
  EXPECT_TRUE(doc->ShowTransparency());
  EXPECT_EQ(doc->History().Step(), 3);
}

TEST_F(DocTest, CutToNewNeedsASelectionAndASaneSize) {
  ASSERT_TRUE(Open());
  EXPECT_FALSE(doc->CutToNew());
  EXPECT_TRUE(Said("영역선택 후에 시도하십시요"));
  L().selectionExists = true;
  std::fill(L().mask.begin(), L().mask.end(), 0);
  L().mask[1 + 1 * size_t(L().maskWidth)] = 1;
  L().mask[2 + 1 * size_t(L().maskWidth)] = 1;
  ASSERT_TRUE(doc->CutToNew());
  ASSERT_EQ(host.created.size(), 1u);
  CMirvDoc& made = *host.created[0];
  EXPECT_EQ(made.Layers().header.canvasWidth, 2);
  EXPECT_EQ(made.Layers().header.canvasHeight, 1);
  EXPECT_EQ(made.Layers().Active()->kind, kLayerBackground);
  EXPECT_EQ(made.Layers().ReadLayerColor(made.Layers().active, 1, 0, nullptr), MakeRgbq(80, 60, 7));

  // A clipboard picture wider than 4000 pixels is refused before a document opens.
  formats.width = 4001;
  formats.height = 1;
  CMirvDoc wide(frame, host, &formats);
  ASSERT_TRUE(wide.OnOpenDocument(tmp / "w.bmp"));
  wide.Layers().selectionExists = true;
  EXPECT_FALSE(wide.CutToNew());
  EXPECT_EQ(host.created.size(), 1u);
}

TEST_F(DocTest, TextLayersAreRefusedByRasterCommands) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(doc->AddLayer());
  L().slots[L().active].kind = kLayerText;
  bool ran = false;
  EXPECT_FALSE(doc->RunEdit(TextRule::Active, true, "x", kStepPixels, [&](LayerStack&, Layer&) {
    ran = true;
    return true;
  }));
  EXPECT_FALSE(ran);
  EXPECT_TRUE(Said("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택"));
  EXPECT_FALSE(doc->RunEdit(TextRule::AllLayers, false, "x", kStepPixels, [&](LayerStack&, Layer&) { return true; }));
  EXPECT_TRUE(Said("[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요."));
}

TEST_F(DocTest, RunEditChangesTheEditCopyAndRecordsOneStep) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(doc->RunEdit(TextRule::Active, true, "흐리게", kStepPixels, [](LayerStack& st, Layer&) {
    st.editAlpha[0] = 10;
    return true;
  }));
  EXPECT_EQ(L().LayerAlpha(L().active, 0, 0), 10);
  EXPECT_EQ(doc->History().Step(), 1);
  EXPECT_TRUE(doc->IsModified());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().LayerAlpha(L().active, 0, 0), 255);
}

TEST_F(DocTest, MapToLayerGrowsTheLayerAndKeepsItsPixels) {
  ASSERT_TRUE(Open());  // 6 × 4
  int x = 0, y = 0;
  ASSERT_TRUE(doc->MapToLayer(2, 0, false, &x, &y));  // top row, third column
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 3);
  const Rgbq before = L().ReadLayerColor(L().active, 0, 0, nullptr);
  // Three pixels left of the picture.
  ASSERT_TRUE(doc->MapToLayer(-3, 0, false, &x, &y));
  const Layer& l = *L().Active();
  EXPECT_EQ(l.width, 6 + 3 + 15);
  EXPECT_EQ(l.x, -3);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(L().ReadLayerColor(L().active, 3, 0, nullptr), before);
  EXPECT_EQ(L().LayerAlpha(L().active, 0, 0), 0);
  EXPECT_EQ(L().LayerAlpha(L().active, 3, 0), 255);
  // The composed canvas is unchanged by the growth.
  std::vector<uint8_t> out;
  ASSERT_TRUE(ComposeCanvas(L(), {}, out));
  EXPECT_EQ(out[0], RgbqB(before));
}

TEST_F(DocTest, DuplicateLayerAndDocumentAndRename) {
  ASSERT_TRUE(Open("dup.bmp"));
  L().slots[L().active].transparency = 30;
  ASSERT_TRUE(doc->DuplicateLayer());
  EXPECT_EQ(L().LayerCount(), 2);
  EXPECT_EQ(L().Active()->transparency, 30);
  EXPECT_EQ(L().Active()->kind, kLayerBackground);
  ASSERT_TRUE(doc->DuplicateDocument());
  ASSERT_EQ(host.created.size(), 1u);
  EXPECT_EQ(host.created[0]->Name(), "복사1_dup.bmp");
  ASSERT_TRUE(doc->RenameLayer());
  EXPECT_EQ(L().Active()->name.Get(), u"새 이름");
}

TEST_F(DocTest, LayerPropertiesAreCheckedAndSurviveLeavingTheLayer) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(doc->AddLayer());
  const int top = L().active;
  // Values the composition does not know change nothing.
  EXPECT_FALSE(doc->SetLayerBlend(top, 1));
  EXPECT_FALSE(doc->SetLayerBlend(top, 10));
  EXPECT_FALSE(doc->SetLayerTransparency(top, 256));
  EXPECT_FALSE(doc->SetLayerTransparency(top, -1));
  EXPECT_FALSE(doc->SetLayerVisible(39, false));  // an empty slot
  EXPECT_EQ(L().slots[top].blend, kBlendNormal);
  EXPECT_EQ(L().slots[top].transparency, 0);

  ASSERT_TRUE(doc->SetLayerBlend(top, kBlendScreen));
  ASSERT_TRUE(doc->SetLayerTransparency(top, 70));
  ASSERT_TRUE(doc->SetLayerVisible(top, false));
  ASSERT_TRUE(doc->RenameLayer(top, "위"));
  EXPECT_TRUE(doc->IsModified());
  // Leaving the layer reverts it to its committed copy: the properties are in it.
  ASSERT_TRUE(doc->SetActiveLayer(L().bottom));
  ASSERT_TRUE(doc->SetActiveLayer(top));
  EXPECT_EQ(L().slots[top].blend, kBlendScreen);
  EXPECT_EQ(L().slots[top].transparency, 70);
  EXPECT_EQ(L().slots[top].visible, 0);
  EXPECT_EQ(Utf16ToUtf8(L().slots[top].name.Get()), "위");

  doc->SetBusy(true);
  EXPECT_FALSE(doc->SetLayerBlend(top, kBlendNormal));
  doc->SetBusy(false);
  EXPECT_EQ(L().slots[top].blend, kBlendScreen);
}

}  // namespace
}  // namespace velmira
