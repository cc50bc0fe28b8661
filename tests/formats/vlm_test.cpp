#include "formats/vlm.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "image/history.h"
#include "image/le_bytes.h"
#include "image/records.h"
#include "image/text.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr int kW = 7, kH = 5;

// Three layers: an opaque bottom (slot 0), a larger hidden "multiply" layer with
// an effect (slot 3) and a text layer on top (slot 1); slot 3 is active.
LayerStack MakeDoc(const std::u16string& title = u"풍경 사진", int topSlot = 1, int textUnits = 10,
                   int activeSlot = 3) {
  LayerStack s;
  s.header.canvasWidth = kW;
  s.header.canvasHeight = kH;
  s.header.bitsPerPixel = 24;
  s.header.formatType = 5;
  int slot = -1;
  s.InsertLayer(-1, 0, &slot);
  s.header.title.Set(title);
  s.header.backgroundX = 0;
  s.header.backgroundY = 0;
  Layer& b = s.slots[0];
  b.kind = kLayerBackground;
  for (size_t i = 0; i < b.pixels.size(); ++i) b.pixels[i] = uint8_t(i * 7 + 1);
  std::fill(b.alpha.begin(), b.alpha.end(), 255);
  b.alpha[size_t(kW * kH - 1)] = 0;  // one pixel nothing covers

  s.InsertLayer(0, 3, &slot);
  LayerAlloc a;
  a.x = -1, a.y = -1, a.width = kW + 2, a.height = kH + 1, a.canvasWidth = kW, a.canvasHeight = kH;
  s.AllocateLayer(3, a);
  Layer& m = s.slots[3];
  m.name.Set(u"구름 레이어");
  m.blend = kBlendMultiply;
  m.transparency = 200;
  m.visible = 0;
  m.effectOn = 1;
  m.effectSize = 5;
  m.effectColour = 0x112233;
  m.transparentShadow = 1;
  m.partner = 0;
  m.dirty = 1;
  for (size_t i = 0; i < m.pixels.size(); ++i) m.pixels[i] = uint8_t(i * 3);
  for (size_t i = 0; i < m.alpha.size(); ++i) m.alpha[i] = uint8_t(i * 5), m.effect[i] = uint8_t(i);

  s.InsertLayer(3, topSlot, &slot);
  a = LayerAlloc{};
  a.width = kW, a.height = kH, a.canvasWidth = kW, a.canvasHeight = kH, a.kind = kLayerText;
  s.AllocateLayer(topSlot, a);
  Layer& t = s.slots[topSlot];
  for (int i = 0; i < textUnits; ++i) t.textBuffer.push_back(i % 3 == 0 ? u'가' + char16_t(i % 50) : u'a' + char16_t(i % 26));
  t.textLength = textUnits;
  t.textColour = 0x0000FF;
  t.text.x = 2, t.text.y = 3, t.text.size = 55;
  for (int i = 0; i < 48; ++i) t.text.font[i] = uint8_t('A' + i % 26);
  t.text.style = 7;
  for (int i = 0; i < 50; ++i) t.text.more[i] = uint8_t(200 + i % 50);
  t.text.tail[0] = 11, t.text.tail[1] = 101, t.text.tail[2] = 1;
  std::fill(t.alpha.begin(), t.alpha.end(), 0);
  s.active = activeSlot;
  return s;
}

Bytes Write(const LayerStack& s) {
  CImageMemoryStream out;
  std::string detail;
  EXPECT_TRUE(WriteVlm(s, out, &detail)) << detail;
  return out.Bytes();
}

bool Read(const Bytes& b, LayerStack& into, std::string* message = nullptr, std::string* detail = nullptr) {
  CImageMemoryStream in(b.data(), b.size());
  std::string m, d;
  const bool ok = ReadVlm(into, nullptr, in, &m, &d);
  if (message) *message = m;
  if (detail) *detail = d;
  return ok;
}

// Where each layer's line begins in a written file of `s`.
std::map<int, size_t> LineOffsets(const Bytes& file, const LayerStack& s) {
  std::map<int, size_t> at;
  size_t p = 1;
  while (p < file.size() && file[p] != 0 && (file[p] == ' ' || (file[p] >= '0' && file[p] <= '9'))) ++p;
  // The written title never starts with a digit here, so the first line ends at p.
  p += kPictureHeaderBytes + size_t(StrideFor(s.header.canvasWidth, 24) * s.header.canvasHeight);
  for (int slot : s.Chain()) {
    at[slot] = p;
    const Layer& l = s.slots[slot];
    p += Format("\n %d %d", slot, l.textLength).size() + kLayerRecordBytes + size_t(l.imageSize) +
         2 * size_t(l.pixelCount) + (l.kind == kLayerText ? 2 * size_t(l.textLength) : 0);
  }
  return at;
}
size_t RecordOffset(const Bytes& file, const LayerStack& s, int slot) {
  const Layer& l = s.slots[slot];
  return LineOffsets(file, s).at(slot) + Format("\n %d %d", slot, l.textLength).size();
}

// The same document as an older version: other version number in the first line,
// records of 397 (31) or 384 (36) bytes.
Bytes AsVersion(const Bytes& file, const LayerStack& s, int version) {
  const std::string first = Format("\n362 %d %d", s.bottom, s.active);
  Bytes out;
  const std::string v = Format("\n%d %d %d", version, s.bottom, s.active);
  out.insert(out.end(), v.begin(), v.end());
  size_t p = first.size();
  for (int slot : s.Chain()) {
    const size_t rec = RecordOffset(file, s, slot);
    out.insert(out.end(), file.begin() + long(p), file.begin() + long(rec));
    if (version == 36) {
      out.insert(out.end(), file.begin() + long(rec), file.begin() + long(rec + 384));
    } else {
      out.insert(out.end(), file.begin() + long(rec), file.begin() + long(rec + kLayerRecordBytes));
      out.push_back(0xEE);  // the 397th byte, ignored
    }
    p = rec + kLayerRecordBytes;
  }
  out.insert(out.end(), file.begin() + long(p), file.end());
  return out;
}

void ExpectSameLayer(const Layer& got, const Layer& want, int slot) {
  SCOPED_TRACE(slot);
  EXPECT_EQ(got.inUse, 1);
  EXPECT_EQ(got.name.Get(), want.name.Get());
  EXPECT_EQ(got.kind, want.kind);
  EXPECT_EQ(got.blend, want.blend);
  EXPECT_EQ(got.transparency, want.transparency);
  EXPECT_EQ(got.visible, want.visible);
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
  EXPECT_EQ(got.width, want.width);
  EXPECT_EQ(got.height, want.height);
  EXPECT_EQ(got.pixelCount, want.pixelCount);
  EXPECT_EQ(got.imageSize, want.imageSize);
  EXPECT_EQ(got.stride, want.stride);
  EXPECT_EQ(got.textLength, want.textLength);
  EXPECT_EQ(got.textColour, want.textColour);
  EXPECT_EQ(got.effectSize, want.effectSize);
  EXPECT_EQ(got.effectColour, want.effectColour);
  EXPECT_EQ(got.transparentShadow, want.transparentShadow);
  EXPECT_EQ(got.text.x, want.text.x);
  EXPECT_EQ(got.text.y, want.text.y);
  EXPECT_EQ(got.text.size, want.text.size);
  EXPECT_EQ(0, std::memcmp(got.text.font, want.text.font, 48));
  EXPECT_EQ(got.text.style, want.text.style);
  EXPECT_EQ(0, std::memcmp(got.text.more, want.text.more, 50));
  EXPECT_EQ(got.text.tail[0], want.text.tail[0]);
  EXPECT_EQ(got.text.tail[1], want.text.tail[1]);
  EXPECT_EQ(got.text.tail[2], want.text.tail[2]);
  EXPECT_EQ(got.pixels, want.pixels);
  EXPECT_EQ(got.alpha, want.alpha);
  EXPECT_EQ(got.effect, want.effect);
  EXPECT_EQ(got.textBuffer, want.textBuffer);
  // What a freshly opened document always has.
  EXPECT_EQ(got.effectOn, 0);
  EXPECT_EQ(got.partner, -1);
  EXPECT_EQ(got.dirty, 0);
}

TEST(Vlm, SeveralLayersComeBackFieldByField) {
  const LayerStack doc = MakeDoc();
  const Bytes file = Write(doc);

  // The opening line, then the header at once with every field where it belongs.
  const std::string first = "\n362 0 3";
  ASSERT_GT(file.size(), first.size() + kPictureHeaderBytes);
  EXPECT_EQ(std::string(file.begin(), file.begin() + long(first.size())), first);
  const uint8_t* h = file.data() + first.size();
  EXPECT_EQ(GetU16(h), u'풍');
  EXPECT_EQ(GetU16(h + 2), u'경');
  EXPECT_EQ(GetI32(h + 200), kH);
  EXPECT_EQ(GetI32(h + 204), kW);
  EXPECT_EQ(h[216], 5);
  EXPECT_EQ(GetI32(h + 220), 0);
  EXPECT_EQ(GetI32(h + 224), 24);
  EXPECT_EQ(GetI32(h + 228), 24 * kH);
  EXPECT_EQ(GetI32(h + 232), kW * kH);
  EXPECT_EQ(GetI32(h + 240), 0);
  EXPECT_EQ(GetI32(h + 244), 0);

  // The preview: the visible layers composed, white where nothing is.
  const uint8_t* preview = h + kPictureHeaderBytes;
  const Layer& bottom = doc.slots[0];
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t i = size_t(y) * 24 + size_t(x) * 3 + size_t(c);
        const int want = (x == kW - 1 && y == kH - 1) ? 255 : bottom.pixels[size_t(y) * size_t(bottom.stride) + size_t(x) * 3 + size_t(c)];
        ASSERT_EQ(preview[i], want) << x << "," << y;
      }

  // The hidden layer's record, byte by byte.
  const size_t line3 = LineOffsets(file, doc).at(3);
  EXPECT_EQ(std::string(file.begin() + long(line3), file.begin() + long(line3) + 5), "\n 3 0");
  const uint8_t* r = file.data() + RecordOffset(file, doc, 3);
  EXPECT_EQ(GetI32(r + 0), 1);
  EXPECT_EQ(GetI32(r + 4), 1);
  EXPECT_EQ(GetU16(r + 8), u'구');
  EXPECT_EQ(r[208], kLayerRaster);
  EXPECT_EQ(r[209], kBlendMultiply);
  EXPECT_EQ(GetI16(r + 210), 0);
  EXPECT_EQ(GetI16(r + 212), 1);
  EXPECT_EQ(GetI16(r + 214), 0);
  EXPECT_EQ(r[216], 1);
  EXPECT_EQ(r[217], 5);
  EXPECT_EQ(GetI32(r + 218), 0x112233);
  EXPECT_EQ(GetI32(r + 224), 1);
  EXPECT_EQ(r[232], 200);
  EXPECT_EQ(GetI32(r + 236), 0);
  EXPECT_EQ(GetI32(r + 240), -1);
  EXPECT_EQ(GetI32(r + 244), -1);
  EXPECT_EQ(GetI32(r + 248), kH + 1);
  EXPECT_EQ(GetI32(r + 252), kW + 2);
  EXPECT_EQ(GetI32(r + 256), (kW + 2) * (kH + 1));
  EXPECT_EQ(GetI32(r + 260), 28 * (kH + 1));
  EXPECT_EQ(GetI32(r + 264), 28);
  // The text layer's text fields.
  const uint8_t* t = file.data() + RecordOffset(file, doc, 1);
  EXPECT_EQ(t[208], kLayerText);
  EXPECT_EQ(GetI16(t + 212), -1);
  EXPECT_EQ(GetI32(t + 228), 0x0000FF);
  EXPECT_EQ(GetI32(t + 264), kW);  // one byte per pixel
  EXPECT_EQ(GetI32(t + 268), 10);
  EXPECT_EQ(GetI32(t + 272), 2);
  EXPECT_EQ(GetI32(t + 276), 3);
  EXPECT_EQ(GetI32(t + 280), 55);
  EXPECT_EQ(t[284], 'A');
  EXPECT_EQ(t[331], uint8_t('A' + 47 % 26));
  EXPECT_EQ(GetI16(t + 332), 7);
  EXPECT_EQ(t[334], 200);
  EXPECT_EQ(GetI32(t + 384), 11);
  EXPECT_EQ(GetI32(t + 388), 101);
  EXPECT_EQ(GetI32(t + 392), 1);
  // The text closes the file, UTF-16LE without a terminator.
  EXPECT_EQ(GetU16(file.data() + file.size() - 20), u'가');

  LayerStack back;
  ASSERT_TRUE(Read(file, back));
  EXPECT_EQ(back.Chain(), (std::vector<int>{0, 3, 1}));
  EXPECT_EQ(back.bottom, 0);
  EXPECT_EQ(back.active, 3);
  EXPECT_EQ(back.header.title.Get(), u"풍경 사진");
  EXPECT_EQ(back.header.canvasWidth, kW);
  EXPECT_EQ(back.header.canvasHeight, kH);
  EXPECT_EQ(back.header.bitsPerPixel, 24);
  EXPECT_EQ(back.header.imageSize, 24 * kH);
  EXPECT_EQ(back.header.pixelCount, kW * kH);
  EXPECT_EQ(back.header.formatType, 5);
  for (int slot : {0, 3, 1}) ExpectSameLayer(back.slots[slot], doc.slots[slot], slot);
  EXPECT_EQ(back.slots[0].below, -1);
  EXPECT_EQ(back.slots[3].below, 0);
  EXPECT_EQ(back.slots[1].below, 3);
  EXPECT_FALSE(back.selectionExists);
  // Written again, the file is the same.
  EXPECT_EQ(Write(back).size(), file.size());
}

TEST(Vlm, ReadingCommitsEveryLayerToTheHistory) {
  struct Host : HistoryHost {
    LayerStack stack;
    LayerStack& Layers() override { return stack; }
    CImageBuffer* ViewImage() override { return nullptr; }
    int Serial() const override { return 101; }
    fs::path TempFolder() const override { return fs::temp_directory_path(); }
    int CurrentToolId() const override { return -1; }
    void SetModified(bool) override {}
    void SetBusy(bool) override {}
    void HistoryChanged() override {}
    void LayersChanged() override {}
    void SetTitleText(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
  } host;
  CHistory history(host);
  const LayerStack doc = MakeDoc();
  const Bytes file = Write(doc);
  CImageMemoryStream in(file.data(), file.size());
  ASSERT_TRUE(ReadVlm(host.stack, &history, in, nullptr));
  // A preview left in a layer is dropped back to what the file held.
  std::fill(host.stack.slots[3].pixels.begin(), host.stack.slots[3].pixels.end(), 9);
  host.stack.slots[1].textBuffer.assign(3, u'x');
  history.RevertLayer(3, false);
  history.RevertLayer(1, false);
  EXPECT_EQ(host.stack.slots[3].pixels, doc.slots[3].pixels);
  EXPECT_EQ(host.stack.slots[1].textBuffer, doc.slots[1].textBuffer);
}

TEST(Vlm, FirstLineForBottomZeroActiveTwo) {
  const Bytes file = Write(MakeDoc(u"그림", 2, 0, 2));
  EXPECT_EQ(std::string(file.begin(), file.begin() + 8), std::string("\n362 0 2"));
}

TEST(Vlm, TitleBeginningWithADigitStillReads) {
  for (auto [title, active, top] : {std::tuple{u"2024 여름", 3, 1}, std::tuple{u"7", 12, 12}, std::tuple{u"39", 1, 1}}) {
    const LayerStack doc = MakeDoc(title, top, 4, active);
    const Bytes file = Write(doc);
    LayerStack back;
    std::string detail;
    ASSERT_TRUE(Read(file, back, nullptr, &detail)) << detail;
    EXPECT_EQ(back.header.title.Get(), title);
    EXPECT_EQ(back.active, active);
    EXPECT_EQ(back.Chain(), doc.Chain());
  }
}

TEST(Vlm, OlderVersions) {
  const LayerStack doc = MakeDoc();
  const Bytes file = Write(doc);

  LayerStack v36;
  ASSERT_TRUE(Read(AsVersion(file, doc, 36), v36));
  EXPECT_EQ(v36.Chain(), doc.Chain());
  for (int slot : doc.Chain()) {
    const TextSettings& ts = v36.slots[slot].text;
    EXPECT_EQ(ts.tail[0], 10);
    EXPECT_EQ(ts.tail[1], 100);
    EXPECT_EQ(ts.tail[2], 0);
    EXPECT_EQ(v36.slots[slot].pixels, doc.slots[slot].pixels);
  }
  EXPECT_EQ(v36.slots[1].textBuffer, doc.slots[1].textBuffer);

  LayerStack v31;
  ASSERT_TRUE(Read(AsVersion(file, doc, 31), v31));
  const Layer& t = v31.slots[1];
  EXPECT_EQ(t.text.size, 40);  // 55 clamped to 20…40
  EXPECT_EQ(t.text.x, t.x);
  EXPECT_EQ(t.text.y, t.y);
  EXPECT_EQ(t.text.tail[0], 10);
  EXPECT_EQ(t.text.tail[1], 100);
  EXPECT_EQ(t.text.tail[2], 0);
  EXPECT_EQ(t.textBuffer, doc.slots[1].textBuffer);
  // Only text layers are corrected in version 31.
  EXPECT_EQ(v31.slots[3].text.tail[0], doc.slots[3].text.tail[0]);
  EXPECT_EQ(v31.slots[3].effect, doc.slots[3].effect);
}

TEST(Vlm, LongTexts) {
  // 700 characters survive whole; a stored 800 reads as 700, and the layer after it
  // is still found.
  LayerStack doc = MakeDoc(u"글", 1, 700);
  LayerStack back;
  ASSERT_TRUE(Read(Write(doc), back));
  EXPECT_EQ(back.slots[1].textBuffer, doc.slots[1].textBuffer);

  doc = MakeDoc(u"글", 1, 800);
  int slot = -1;
  ASSERT_EQ(doc.InsertLayer(1, 5, &slot), InsertResult::Ok);
  std::fill(doc.slots[5].alpha.begin(), doc.slots[5].alpha.end(), 77);
  ASSERT_TRUE(Read(Write(doc), back));
  EXPECT_EQ(back.slots[1].textLength, 700);
  EXPECT_EQ(back.slots[1].textBuffer, doc.slots[1].textBuffer.substr(0, 700));
  EXPECT_EQ(back.Chain(), (std::vector<int>{0, 3, 1, 5}));
  EXPECT_EQ(back.slots[5].alpha, doc.slots[5].alpha);
}

class VlmBadFile : public ::testing::Test {
 protected:
  void SetUp() override {
    doc = MakeDoc();
    file = Write(doc);
    held = MakeDoc(u"열려 있는 그림", 2, 3, 0);
  }
  // Fails with the damaged-file message and leaves the open document as it was.
  void ExpectRefused(const Bytes& bad, const char* message = kMsgVlmDamaged) {
    LayerStack target = MakeDoc(u"열려 있는 그림", 2, 3, 0);
    std::string m, d;
    EXPECT_FALSE(Read(bad, target, &m, &d));
    EXPECT_EQ(m, message);
    EXPECT_FALSE(d.empty());
    EXPECT_EQ(target.Chain(), held.Chain());
    EXPECT_EQ(target.header.title.Get(), held.header.title.Get());
    EXPECT_EQ(target.slots[0].pixels, held.slots[0].pixels);
    EXPECT_EQ(target.active, 0);
  }
  void PutRecordI32(Bytes& b, int slot, int offset, int32_t v) { PutI32(b.data() + RecordOffset(file, doc, slot) + size_t(offset), v); }
  void PutRecordI16(Bytes& b, int slot, int offset, int v) { PutI16(b.data() + RecordOffset(file, doc, slot) + size_t(offset), v); }

  LayerStack doc, held;
  Bytes file;
};

TEST_F(VlmBadFile, OtherVersion) {
  Bytes b = file;
  b[3] = '5';  // "\n365 …"
  ExpectRefused(b, kMsgVlmOtherVersion);
  b = file;
  b.erase(b.begin() + 3);  // "\n36 …" is a version of its own and reads differently
  ExpectRefused(b);
}

TEST_F(VlmBadFile, EveryEarlyEnd) {
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    ExpectRefused(Bytes(file.begin(), file.begin() + long(n)), n < 5 ? kMsgVlmDamaged : kMsgVlmDamaged);
  }
}

TEST_F(VlmBadFile, SlotsOutsideTheTableOrChainGoingBack) {
  Bytes b = file;
  PutRecordI16(b, 3, 212, 45);  // "above" outside 0…39
  ExpectRefused(b);

  b = file;
  const size_t line1 = LineOffsets(file, doc).at(1);
  ASSERT_EQ(b[line1 + 2], '1');
  b[line1 + 2] = '9';  // the layer line names another slot than the chain
  ExpectRefused(b);

  // The top layer's "above" goes back to the bottom layer, whose data follows again.
  b = file;
  PutRecordI16(b, 1, 212, 0);
  const size_t line3 = LineOffsets(file, doc).at(3);
  b.insert(b.end(), file.begin() + long(LineOffsets(file, doc).at(0)), file.begin() + long(line3));
  ExpectRefused(b);
}

TEST_F(VlmBadFile, SizesThatDisagreeOrCannotFit) {
  Bytes b = file;
  PutRecordI32(b, 3, 260, 28 * (kH + 1) + 1);  // image size
  ExpectRefused(b);
  b = file;
  PutRecordI32(b, 3, 252, kW - 1);  // narrower than the canvas
  ExpectRefused(b);
  // Sizes that agree with each other but would need 1.2 GB from a file of 2 KB.
  b = file;
  PutRecordI32(b, 3, 248, 20000);
  PutRecordI32(b, 3, 252, 20000);
  PutRecordI32(b, 3, 256, 20000 * 20000);
  PutRecordI32(b, 3, 264, 60000);
  PutRecordI32(b, 3, 260, 60000 * 20000);
  ExpectRefused(b);
  // A header whose canvas does not match its own image size.
  b = file;
  PutI32(b.data() + 8 + 204, kW + 1);
  ExpectRefused(b);
}

TEST(VlmSave, FailedSaveKeepsTheOldFile) {
  const fs::path dir = fs::temp_directory_path() / ("velmira-vlm-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path path = dir / "그림.vlm";
  std::ofstream(path) << "the old picture";
  ::chmod(path.c_str(), 0640);

  LayerStack broken = MakeDoc();
  broken.slots[1].alpha.resize(3);  // found only after the first layers are written
  std::string message, detail;
  EXPECT_FALSE(WriteVlm(broken, path, &message, &detail));
  EXPECT_EQ(message, kMsgVlmSaveFailed);
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the old picture");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  const LayerStack doc = MakeDoc();
  ASSERT_TRUE(WriteVlm(doc, path, &message, &detail)) << detail;
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  LayerStack back;
  ASSERT_TRUE(ReadVlm(back, nullptr, path, &message));
  EXPECT_EQ(back.Chain(), doc.Chain());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  EXPECT_FALSE(WriteVlm(doc, dir / "no such folder" / "a.vlm", &message, &detail));
  EXPECT_EQ(message, kMsgVlmSaveFailed);
  fs::remove_all(dir);
}

// Small files for the fuzzer's seed corpus: written by the editor's own writer,
// some of them broken on purpose. VELMIRA_WRITE_SEEDS=1 refreshes them.
std::vector<std::pair<std::string, Bytes>> Seeds() {
  const LayerStack doc = MakeDoc();
  const Bytes file = Write(doc);
  std::vector<std::pair<std::string, Bytes>> s;
  s.push_back({"good_three_layers.vlm", file});
  s.push_back({"good_v36.vlm", AsVersion(file, doc, 36)});
  s.push_back({"good_v31.vlm", AsVersion(file, doc, 31)});
  s.push_back({"good_digit_title.vlm", Write(MakeDoc(u"2024", 12, 2, 12))});
  s.push_back({"good_long_text.vlm", Write(MakeDoc(u"글", 1, 720))});
  Bytes v = file;
  v[3] = '5';
  s.push_back({"bad_version.vlm", v});
  s.push_back({"bad_truncated.vlm", Bytes(file.begin(), file.begin() + long(file.size() / 2))});
  Bytes c = file;
  PutI16(c.data() + RecordOffset(file, doc, 1) + 212, 0);
  c.insert(c.end(), file.begin() + long(LineOffsets(file, doc).at(0)), file.begin() + long(LineOffsets(file, doc).at(3)));
  s.push_back({"bad_cycle.vlm", c});
  return s;
}

TEST(VlmSeeds, CommittedSeedsReadAsNamedAndMatchTheWriter) {
  const fs::path dir = fs::path(VELMIRA_TEST_DATA) / "vlm";
  if (std::getenv("VELMIRA_WRITE_SEEDS")) {
    fs::create_directories(dir);
    for (const auto& [name, bytes] : Seeds()) {
      std::ofstream out(dir / name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
  }
  ASSERT_TRUE(fs::is_directory(dir)) << "run once with VELMIRA_WRITE_SEEDS=1";
  for (const auto& [name, bytes] : Seeds()) {
    SCOPED_TRACE(name);
    std::ifstream in(dir / name, std::ios::binary);
    const Bytes stored{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(stored, bytes);
    LayerStack s;
    EXPECT_EQ(Read(stored, s), name.rfind("good_", 0) == 0);
  }
}

}  // namespace
}  // namespace velmira
