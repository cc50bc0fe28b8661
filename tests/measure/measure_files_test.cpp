// The calibration file and measurement-object files: exact bytes, round trips, and
// damaged files refused without touching anything. With VELMIRA_WRITE_SEEDS=1 the
// seed files under tests/data/measure are (re)written; every run checks that each
// one still reads, or is refused, as its name says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "../support/tool_fixture.h"
#include "measure/calibration.h"
#include "measure/measure_commands.h"
#include "measure/sco_file.h"

namespace velmira::measure {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

std::string Str(const Bytes& b) { return {b.begin(), b.end()}; }
Bytes FromStr(const std::string& s) { return {s.begin(), s.end()}; }

CalibrationEntry Entry(std::u16string name, std::string unit, int x, int y, float len, bool valid = true) {
  return CalibrationEntry{std::move(name), std::move(unit), x, y, len, valid};
}

TEST(CalibrationFile, BytesAsLaidOut) {
  const Bytes b = EncodeCalibration({Entry(u"ab", "mm", 3, 4, 1.0f)}, 0);
  EXPECT_EQ(Str(b), std::string("\r\n 1 0\r\n mm 2 3 4 1.00a\0b\0", 26));
}

TEST(CalibrationFile, CountsAndSelectionAmongValidEntriesOnly) {
  std::vector<CalibrationEntry> list = {Entry(u"gone", "um", 1, 1, 1, false), Entry(u"kept", "um", 5, 0, 2.5f),
                                        Entry(u"third", "mm", 7, 7, 3)};
  const CalibrationData d = [&] {
    const Bytes b = EncodeCalibration(list, 2);
    return DecodeCalibration(b.data(), b.size());
  }();
  EXPECT_EQ(Str(EncodeCalibration(list, 2)).substr(0, 7), "\r\n 2 1\r");
  ASSERT_EQ(d.entries.size(), 2u);
  EXPECT_EQ(d.selected, 1);
  EXPECT_EQ(d.entries[0].name, u"kept");
  EXPECT_FLOAT_EQ(d.entries[0].realLength, 2.5f);
  EXPECT_EQ(d.entries[1].refX, 7);
}

TEST(CalibrationFile, NamesWithSpacesDigitsAndLineFeedsRoundTrip) {
  // A unit 0x0A0A holds two LF bytes; a name starting with a digit follows the
  // length with no separator; spaces are part of the counted name.
  const std::u16string odd = {u'\x0A0A', u'x'};
  std::vector<CalibrationEntry> list = {Entry(u"my 10 mm scale", "mm", 10, 0, 10.0f), Entry(u"12 um", "um", 3, 4, 1.25f),
                                        Entry(odd, "ums", 1, 2, 0.5f), Entry(u"측정 기준", "meter", 100, 0, 1.0f)};
  const Bytes b = EncodeCalibration(list, 3);
  const CalibrationData d = DecodeCalibration(b.data(), b.size());
  ASSERT_EQ(d.entries.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(d.entries[i].name, list[i].name) << i;
    EXPECT_EQ(d.entries[i].unit, list[i].unit) << i;
    EXPECT_EQ(d.entries[i].refX, list[i].refX) << i;
    EXPECT_FLOAT_EQ(d.entries[i].realLength, list[i].realLength) << i;
  }
  EXPECT_EQ(d.selected, 3);
  // Names are cut to 50 characters; a unit with a space stays one word.
  const Bytes c = EncodeCalibration({Entry(std::u16string(60, u'n'), "two words", 1, 1, 1)}, 0);
  const CalibrationData e = DecodeCalibration(c.data(), c.size());
  ASSERT_EQ(e.entries.size(), 1u);
  EXPECT_EQ(e.entries[0].name.size(), 50u);
  EXPECT_EQ(e.entries[0].unit, "two_words");
}

TEST(CalibrationFile, DamageKeepsWhatWasReadAndStartUpRaisesAnEmptyReference) {
  EXPECT_TRUE(DecodeCalibration(nullptr, 0).entries.empty());
  const char raw[] = "\n 3 -4\n mm 2 3 4 1.00a\0b\0\n um 9 1 1 1.00ab";
  const std::string cut(raw, sizeof raw - 1);
  const CalibrationData d = DecodeCalibration(reinterpret_cast<const uint8_t*>(cut.data()), cut.size());
  ASSERT_EQ(d.entries.size(), 1u);  // the second entry's name is cut short
  EXPECT_EQ(d.selected, 0);         // negative becomes 0

  const fs::path dir = fs::temp_directory_path() / ("velmira-calib-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / kCalibrationFileName;
  ASSERT_TRUE(WriteCalibrationFile(file, {Entry(u"zero", "um", 0, 0, 1)}, 0));
  MeasureSettings s;
  LoadCalibrations(s, file);
  EXPECT_EQ(s.refX, 1);  // (0, 0) as stored becomes (1, 1) when it becomes active
  EXPECT_EQ(s.refY, 1);
  EXPECT_EQ(s.calibrations[0].refX, 0);
  EXPECT_EQ(s.unit, "um");
  // A missing file leaves the list empty and the defaults.
  MeasureSettings none;
  LoadCalibrations(none, dir / "absent.ini");
  EXPECT_TRUE(none.calibrations.empty());
  EXPECT_EQ(none.refX, 1);
  // An unwritable place leaves the old file alone.
  EXPECT_FALSE(WriteCalibrationFile(dir / "no" / "such" / "dir.ini", {Entry(u"a", "um", 1, 1, 1)}, 0));
  // First run: a shipped default is copied into the data folder.
  const fs::path share = dir / "share", data = dir / "data";
  fs::create_directories(share);
  ASSERT_TRUE(WriteCalibrationFile(share / kCalibrationFileName, {Entry(u"shipped", "mm", 2, 0, 1)}, 0));
  const fs::path p = CalibrationPath(data, share);
  EXPECT_EQ(ReadCalibrationFile(p).entries.at(0).name, u"shipped");
  fs::remove_all(dir);
}

TEST(CalibrationList, StoreDeleteAndTheThirtyFirst) {
  MeasureSettings s;
  int index = -1;
  EXPECT_EQ(StoreCalibration(s, Entry(u"a", "mm", 3, 4, 1), &index), StoreResult::Added);
  EXPECT_EQ(StoreCalibration(s, Entry(u"a", "um", 6, 8, 2), &index), StoreResult::Updated);
  EXPECT_EQ(s.calibrations.size(), 1u);
  EXPECT_EQ(s.calibrations[0].unit, "um");
  for (int i = 1; i < kMaxCalibrations; ++i)
    ASSERT_EQ(StoreCalibration(s, Entry(u"n" + std::u16string(1, char16_t('A' + i)), "mm", 1, 1, 1), &index),
              StoreResult::Added);
  EXPECT_EQ(StoreCalibration(s, Entry(u"31st", "mm", 1, 1, 1), &index), StoreResult::Full);
  EXPECT_EQ(ValidCalibrations(s), 30);
  // Replacing an existing one still works when full; deleting makes room.
  EXPECT_EQ(StoreCalibration(s, Entry(u"a", "mm", 1, 1, 1), &index), StoreResult::Updated);
  EXPECT_EQ(DeleteCalibration(s, u"a"), 1);
  EXPECT_EQ(s.selectedCalibration, 0);
  EXPECT_EQ(StoreCalibration(s, Entry(u"31st", "mm", 1, 1, 1), &index), StoreResult::Added);
  EXPECT_EQ(ValidCalibrations(s), 30);
  // Deleted entries written out: the count and the position skip them.
  const Bytes b = EncodeCalibration(s.calibrations, s.selectedCalibration);
  const CalibrationData d = DecodeCalibration(b.data(), b.size());
  EXPECT_EQ(d.entries.size(), 30u);
  EXPECT_EQ(d.entries.back().name, u"31st");
  EXPECT_EQ(d.selected, 29);
}

// ---------------------------------------------------------------- sco files

class ScoFiles : public testing_support::ToolFixture {
 protected:
  ScoFiles() { width = 64, height = 48; }
  void SetUp() override {
    ToolFixture::SetUp();
    frame.measure.labels = false;
  }
  // One object of every kind.
  void MeasureEverything() {
    ASSERT_TRUE(MeasurePoint(*doc, {3, 4}));
    ASSERT_TRUE(MeasureSegment(*doc, {1, 1}, {30, 40}));
    ASSERT_TRUE(MeasureCircle(*doc, {20, 20}, {25, 20}));
    ASSERT_TRUE(MeasureAngle(*doc, {10, 0}, {0, 0}, {0, 10}));
    ASSERT_TRUE(MeasureRectangle(*doc, {2, 2}, {12, 22}));
    ASSERT_TRUE(MeasurePolyline(*doc, {{0, 0}, {5, 5}, {9, 1}}));
    ASSERT_TRUE(MeasurePolygon(*doc, {{0, 0}, {20, 0}, {20, 20}}));
    ASSERT_TRUE(MeasureCurve(*doc, {{1, 1}, {30, 10}, {50, 40}}, false));
    ASSERT_TRUE(MeasureCurve(*doc, {{10, 10}, {40, 10}, {40, 40}}, true));
    MeasureObject note;
    note.kind = kind::kText;
    note.text = u"메모 with spaces";
    note.points = {{5, 5}, {40, 5}, {40, 20}};
    note.textAttr2 = 0x00FF00;
    ASSERT_TRUE(RegisterObject(*doc, note));
  }
};

TEST_F(ScoFiles, EveryKindRoundTrips) {
  MeasureEverything();
  const fs::path file = tmp / "all.sco";
  ASSERT_TRUE(SaveMeasurements(*doc, file));
  ScoContents back;
  std::string why;
  ASSERT_TRUE(ReadScoFile(file, back, &why)) << why;
  const std::vector<MeasureObject> mine = MeasureOf(*doc).list.Objects();
  ASSERT_EQ(back.objects.size(), mine.size());
  for (size_t i = 0; i < mine.size(); ++i) {
    EXPECT_EQ(back.objects[i].kind, mine[i].kind) << i;
    EXPECT_EQ(back.objects[i].points, mine[i].points) << i;
    EXPECT_EQ(back.objects[i].curve.nodes, mine[i].curve.nodes) << i;
    EXPECT_EQ(back.objects[i].curve.first, mine[i].curve.first) << i;
    EXPECT_EQ(back.objects[i].curve.second, mine[i].curve.second) << i;
    EXPECT_EQ(back.objects[i].text, mine[i].text) << i;
    EXPECT_EQ(back.objects[i].textAttr2, mine[i].textAttr2) << i;
  }
  EXPECT_EQ(back.objects[0].marker, 1);
  EXPECT_EQ(back.layers.header.canvasWidth, 64);
  EXPECT_EQ(back.layers.slots[back.layers.bottom].pixels, L().slots[L().bottom].pixels);
  // The kind is right-aligned in 15 characters.
  std::ifstream f(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\n NumOf_MicObjs 10\n            점표시 1 0 0 3 4\n             선분 2 0 0 1 1 30 40"),
            std::string::npos);

  // Loading into the document replaces the list and measures every object again.
  ASSERT_TRUE(VectorUndo(*doc));
  ASSERT_TRUE(LoadMeasurements(*doc, file));
  const auto& loaded = MeasureOf(*doc).list;
  ASSERT_EQ(loaded.Count(), 10);
  for (size_t i = 0; i < mine.size(); ++i) {
    EXPECT_FLOAT_EQ(loaded.Objects()[i].length, mine[i].length) << i;
    EXPECT_FLOAT_EQ(loaded.Objects()[i].area, mine[i].area) << i;
    EXPECT_FLOAT_EQ(loaded.Objects()[i].angle, mine[i].angle) << i;
    EXPECT_FLOAT_EQ(loaded.Objects()[i].diameter, mine[i].diameter) << i;
  }
  // A removed object is not written, so it cannot come back by loading.
  ASSERT_TRUE(RemoveObject(*doc, 1));
  ASSERT_TRUE(SaveMeasurements(*doc, file));
  ASSERT_TRUE(LoadMeasurements(*doc, file));
  EXPECT_EQ(MeasureOf(*doc).list.Count(), 9);
  EXPECT_EQ(MeasureOf(*doc).list.Objects()[1].kind, kind::kCircle);
}

TEST_F(ScoFiles, DamagedCutOrForeignFilesChangeNothing) {
  MeasureEverything();
  const fs::path file = tmp / "good.sco";
  ASSERT_TRUE(SaveMeasurements(*doc, file));
  std::ifstream f(file, std::ios::binary);
  const Bytes good((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const std::vector<uint8_t> pixelsBefore = Active().pixels;
  ASSERT_TRUE(VectorUndo(*doc));
  const int countBefore = MeasureOf(*doc).list.Count();

  auto tryLoad = [&](const Bytes& bytes) {
    const fs::path p = tmp / "bad.sco";
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    host.messages.clear();
    const bool ok = LoadMeasurements(*doc, p);
    EXPECT_EQ(MeasureOf(*doc).list.Count(), countBefore);
    return ok;
  };
  for (size_t cut : {size_t(0), size_t(3), size_t(300), good.size() / 2, good.size() - 1}) {
    EXPECT_FALSE(tryLoad(Bytes(good.begin(), good.begin() + std::ptrdiff_t(cut)))) << cut;
    EXPECT_EQ(host.messages.back(), kMsgScoDamaged);
  }
  std::string s = Str(good);
  const size_t at = s.find("NumOf_MicObjs 10");
  EXPECT_FALSE(tryLoad(FromStr(s.substr(0, at) + "NumOf_MicObjs 701" + s.substr(at + 16))));
  const size_t seg = s.find("선분 2");
  EXPECT_FALSE(tryLoad(FromStr(s.substr(0, seg) + "선분 9" + s.substr(seg + 8))));
  // A picture of another size is refused with its own message.
  LayerStack other;
  LayerAlloc a;
  a.width = 10, a.height = 10, a.canvasWidth = 10, a.canvasHeight = 10;
  ASSERT_TRUE(other.AllocateLayer(0, a));
  other.slots[0].inUse = 1;
  other.bottom = other.active = 0;
  other.header.canvasWidth = other.header.canvasHeight = 10;
  other.header.bitsPerPixel = 24;
  Bytes foreign;
  ASSERT_TRUE(EncodeSco(other, {}, foreign));
  EXPECT_FALSE(tryLoad(foreign));
  EXPECT_NE(host.messages.back(), kMsgScoDamaged);
  EXPECT_EQ(L().header.canvasWidth, 64);
  (void)pixelsBefore;
}

TEST_F(ScoFiles, SeedFilesReadAsTheirNamesSay) {
  MeasureEverything();
  const fs::path dir = fs::path(VELMIRA_TEST_DATA) / "measure";
  std::map<std::string, Bytes> seeds;
  Bytes good;
  const auto& objs = MeasureOf(*doc).list.Objects();
  ASSERT_TRUE(EncodeSco(L(), objs, good));
  seeds["good_every_kind.sco"] = good;
  seeds["bad_cut.sco"] = Bytes(good.begin(), good.begin() + std::ptrdiff_t(good.size() - 7));
  std::string s = Str(good);
  s.replace(s.find("NumOf_MicObjs"), 13, "NumOf_Objects");
  seeds["bad_count_word.sco"] = FromStr(s);
  seeds["good_calibration.ini"] =
      EncodeCalibration({Entry(u"my scale", "mm", 3, 4, 1), Entry(u"10 um", "um", 10, 0, 10)}, 1);
  const char cut[] = "\r\n 2 0\r\n mm 8 3 4 1.00a\0";
  seeds["bad_calibration_cut.ini"] = FromStr(std::string(cut, sizeof cut - 1));
  if (std::getenv("VELMIRA_WRITE_SEEDS")) {
    fs::create_directories(dir);
    for (auto& [name, bytes] : seeds)
      std::ofstream(dir / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  if (!fs::exists(dir)) GTEST_SKIP() << "no seeds under " << dir;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::ifstream f(e.path(), std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const std::string name = e.path().filename().string();
    const bool good = name.rfind("good_", 0) == 0;
    if (e.path().extension() == ".sco") {
      ScoContents c;
      EXPECT_EQ(DecodeSco(b.data(), b.size(), c), good) << name;
    } else {
      const CalibrationData d = DecodeCalibration(b.data(), b.size());
      EXPECT_EQ(d.entries.size() == 2, good) << name;
    }
  }
}

}  // namespace
}  // namespace velmira::measure
