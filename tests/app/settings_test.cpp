// The settings file, the first-run marker, the string table and the shared folder.
// The seed files under tests/data/settings feed the fuzzers; with
// VELMIRA_WRITE_SEEDS=1 they are (re)written, and every run checks that each still
// reads as its name says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "app/settings_file.h"
#include "app/shared_folder.h"
#include "app/string_table.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
std::string S(const Bytes& b) { return std::string(b.begin(), b.end()); }

std::string Utf16Le(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    out.push_back(char(c & 0xFF));
    out.push_back(char(c >> 8));
  }
  return out;
}

SettingsRecord Sample() {
  SettingsRecord s;
  s.foreground = 0x0000FF;
  s.background = 0x00FF00;
  s.text = 0x123456;
  s.previousForeground = 0xFFFFFFFF;  // CLR_NONE: written as a negative long
  s.previousBackground = 7;
  s.cells[0] = {3, 10, 20};
  s.cells[1] = {-1, 0, 5};
  s.cells[2] = {47, 300, 2};
  s.fontSize = 36;
  s.fontStrikeOut = 1;
  s.fontUnderline = 0;
  s.brushSize = 5;
  s.soft = 1;
  s.gridGap = -24;  // a hidden grid: the file keeps the size only
  s.gridColour = 0xC0C0C0;
  s.cursorKind = 3;
  s.pointSize = 4;
  s.colour2 = 0x00FFFF;
  s.colour3 = 0xFF00FF;
  s.fog = 12;
  s.transparencyDisplay = 1;
  s.updateCheck = 0;
  s.selectionTone = 1;
  s.windowState = 2;
  s.openAtStart = 1;
  s.font1 = u"맑은 고딕";
  // U+0A0D and U+AC0A hold the bytes of a line break; they must survive the
  // text-mode translation of the file.
  s.font2 = u"A\u0A0D\uAC0A";
  return s;
}

std::string SampleFile() {
  return "FG255 BG65280 TX1193046 pFG-1 pBG7\r\n"
         "FG: 3 X10 Y20\r\n"
         "BG: -1 X0 Y5\r\n"
         "TX: 47 X300 Y2\r\n"
         "FontSize 36 5 3\r\n\r\n"
         "FontStrikeOut 1\r\n"
         "FontUnderLine 0\r\n"
         "5 1\r\n"
         "GGap24 GClr12632256 Cur3 Pnt4 65535 16711935\r\n"
         "Fog 12\r\n"
         "TranspRep 1\r\n"
         "Folder: 0\r\n"
         "UD 0\r\n"
         "RS 1\r\n"
         "WS 2 1\r\n" +
         Utf16Le(u"맑은 고딕") + "\r\n" + std::string("A\0\x0D\x0D\x0A\x0D\x0A\xAC", 8);
}

TEST(SettingsFile, WritesTheLayoutByteForByteAndReadsItBack) {
  const SettingsRecord s = Sample();
  EXPECT_EQ(S(SerializeSettings(s)), SampleFile());

  SettingsRecord back;
  const SettingsReadReport r = ParseSettings(B(SampleFile()), back);
  EXPECT_TRUE(r.complete());
  SettingsRecord expected = s;
  expected.gridGap = 24;
  EXPECT_EQ(back, expected);
  EXPECT_EQ(S(SerializeSettings(back)), SampleFile());
}

TEST(SettingsFile, AcceptsBareLineFeeds) {
  std::string lf;
  for (char c : std::string(SampleFile().substr(0, SampleFile().find("WS 2 1") + 8)))
    if (c != '\r') lf.push_back(c);
  lf += Utf16Le(u"맑은 고딕") + "\n" + Utf16Le(u"굴림체");
  SettingsRecord back;
  EXPECT_TRUE(ParseSettings(B(lf), back).complete());
  EXPECT_EQ(back.windowState, 2);
  EXPECT_EQ(back.openAtStart, 1);
  EXPECT_EQ(back.font1, u"맑은 고딕");
  EXPECT_EQ(back.font2, u"굴림체");
}

// Builds a file from the layout with some lines replaced.
std::string FileWith(std::map<std::string, std::string> lines, std::u16string n1 = u"AB",
                     std::u16string n2 = u"CDE") {
  const char* order[] = {"colours", "FG:", "BG:", "TX:", "FontSize", "FontStrikeOut", "FontUnderLine", "brush",
                         "GGap",    "Fog", "TranspRep", "Folder:", "UD", "RS", "WS"};
  std::map<std::string, std::string> def = {
      {"colours", "FG1 BG2 TX3 pFG4 pBG5"},
      {"FG:", "FG: 1 X2 Y3"},
      {"BG:", "BG: 4 X5 Y6"},
      {"TX:", "TX: 7 X8 Y9"},
      {"FontSize", "FontSize 30 " + std::to_string(n1.size()) + " " + std::to_string(n2.size()) + "\r\n"},
      {"FontStrikeOut", "FontStrikeOut 1"},
      {"FontUnderLine", "FontUnderLine 1"},
      {"brush", "6 0"},
      {"GGap", "GGap10 GClr11 Cur2 Pnt5 13 14"},
      {"Fog", "Fog 15"},
      {"TranspRep", "TranspRep 2"},
      {"Folder:", "Folder: 0"},
      {"UD", "UD 0"},
      {"RS", "RS 1"},
      {"WS", "WS 1 1"}};
  std::string out;
  bool first = true;
  for (const char* k : order) {
    auto it = lines.find(k);
    const std::string line = it != lines.end() ? it->second : def[k];
    if (it != lines.end() && line.empty()) continue;  // the line is missing
    if (!first) out += "\r\n";
    first = false;
    out += line;
  }
  return out + "\r\n" + Utf16Le(n1) + "\r\n" + Utf16Le(n2);
}

TEST(SettingsFile, CorrectsOutOfRangeValues) {
  {
    SettingsRecord s;
    // Name length 300: the first 100 units are kept, and the second name is still
    // found after the 300 the file holds.
    std::u16string longName(300, u'가');
    const std::string file = FileWith({}, longName, u"Z");
    SettingsRecord r;
    ParseSettings(B(file), r);
    EXPECT_EQ(r.font1, std::u16string(100, u'가'));
    EXPECT_EQ(r.font2, u"Z");
  }
  {
    SettingsRecord r;
    ParseSettings(B(FileWith({{"brush", "0 1"}, {"FontSize", "FontSize 1 2 3\r\n"}})), r);
    EXPECT_EQ(r.brushSize, 1);
    EXPECT_EQ(r.soft, 1);
    EXPECT_EQ(r.fontSize, 2);
    EXPECT_EQ(r.font1, u"AB");
  }
  {
    SettingsRecord r;
    ParseSettings(B(FileWith({{"brush", "-5 7"}, {"GGap", "GGap0 GClr11 Cur2 Pnt5 13 14"}})), r);
    EXPECT_EQ(r.brushSize, 1);
    EXPECT_EQ(r.soft, 1);
    EXPECT_EQ(r.gridGap, 4);
    ParseSettings(B(FileWith({{"brush", "99 0"}, {"GGap", "GGap-2147483648 GClr1 Cur2 Pnt5 13 14"}})), r);
    EXPECT_EQ(r.brushSize, 8);
    EXPECT_GE(r.gridGap, 4);
  }
  {
    // A negative name length reads as an empty name rather than the rest of the file.
    SettingsRecord r;
    ParseSettings(B(FileWith({{"FontSize", "FontSize 20 -7 0\r\n"}}, u"", u"")), r);
    EXPECT_EQ(r.font1, u"");
    EXPECT_EQ(r.font2, u"");
  }
}

TEST(SettingsFile, DamagedLinesCostOnlyTheirOwnValues) {
  const SettingsRecord defaults;
  {
    SettingsRecord r;
    const SettingsReadReport rep = ParseSettings(B(FileWith({{"BG:", "BG: x X5 Y6"}})), r);
    EXPECT_EQ(rep.stepsFailed, 1);
    EXPECT_EQ(r.cells[1], defaults.cells[1]);
    EXPECT_EQ(r.cells[2], (SettingsRecord::Cell{7, 8, 9}));
    EXPECT_EQ(r.fog, 15);
    EXPECT_EQ(r.font2, u"CDE");
  }
  {
    // A file from before the "RS" line: the "WS" flags and the names still read.
    SettingsRecord r;
    const SettingsReadReport rep = ParseSettings(B(FileWith({{"RS", ""}})), r);
    EXPECT_EQ(rep.stepsFailed, 1);
    EXPECT_EQ(r.selectionTone, defaults.selectionTone);
    EXPECT_EQ(r.windowState, 1);
    EXPECT_EQ(r.openAtStart, 1);
    EXPECT_EQ(r.font1, u"AB");
    EXPECT_EQ(r.font2, u"CDE");
  }
  {
    // A damaged last line: the names after it are still found.
    SettingsRecord r;
    ParseSettings(B(FileWith({{"WS", "WS ?"}})), r);
    EXPECT_EQ(r.windowState, defaults.windowState);
    EXPECT_EQ(r.font1, u"AB");
    EXPECT_EQ(r.font2, u"CDE");
  }
  {
    // Without the name lengths the names keep their values.
    SettingsRecord r;
    ParseSettings(B(FileWith({{"FontSize", "FontSize"}})), r);
    EXPECT_EQ(r.font1, defaults.font1);
    EXPECT_EQ(r.fog, 15);
  }
}

TEST(SettingsFile, TruncatedFilesKeepDefaultsForWhatIsMissing) {
  const std::string full = SampleFile();
  const SettingsRecord whole = [&] {
    SettingsRecord r;
    ParseSettings(B(full), r);
    return r;
  }();
  const SettingsRecord defaults;
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    SettingsRecord r;
    ParseSettings(B(full.substr(0, cut)), r);
    // Every value is either the file's or the default, never something else.
    auto oneOf = [&](auto got, auto a, auto b) { return got == a || got == b; };
    ASSERT_TRUE(oneOf(r.foreground, whole.foreground, defaults.foreground)) << cut;
    ASSERT_TRUE(oneOf(r.cells[2].x, whole.cells[2].x, defaults.cells[2].x)) << cut;
    ASSERT_TRUE(oneOf(r.fontSize, whole.fontSize, defaults.fontSize)) << cut;
    ASSERT_TRUE(oneOf(r.font1, whole.font1, defaults.font1)) << cut;
    ASSERT_TRUE(oneOf(r.font2, whole.font2, defaults.font2)) << cut;
    ASSERT_TRUE(oneOf(r.openAtStart, whole.openAtStart, defaults.openAtStart)) << cut;
    ASSERT_TRUE(oneOf(r.transparencyDisplay, whole.transparencyDisplay, 3)) << cut;
  }
}

TEST(SettingsFile, MissingFileKeepsEverythingButTheTransparencyDisplay) {
  SettingsRecord r = Sample();
  const SettingsReadReport rep = LoadSettingsFile("/nonexistent/velmira/PardelCon_368.ini", r);
  EXPECT_FALSE(rep.opened);
  SettingsRecord expected = Sample();
  expected.transparencyDisplay = 3;
  EXPECT_EQ(r, expected);
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velmira-settings-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const fs::path& p, std::string_view s) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << s;
  }
  fs::path dir_;
};

TEST_F(TempDir, SettingsFileRoundTripOnDisk) {
  const fs::path file = dir_ / "data" / kSettingsFileName;
  ASSERT_TRUE(SaveSettingsFile(file, Sample()));
  Bytes bytes;
  ASSERT_TRUE(ReadSmallFile(file, bytes));
  EXPECT_EQ(S(bytes), SampleFile());
  SettingsRecord r;
  EXPECT_TRUE(LoadSettingsFile(file, r).complete());
  EXPECT_EQ(r.windowState, 2);
  EXPECT_EQ(r.openAtStart, 1);
  EXPECT_FALSE(fs::exists(dir_ / "data" / (std::string(kSettingsFileName) + ".new")));
}

TEST_F(TempDir, FirstRunMarker) {
  EXPECT_EQ(ParseFirstShow(B("1")), 1);
  EXPECT_EQ(ParseFirstShow(B("  1\r\n")), 1);
  EXPECT_EQ(ParseFirstShow(B("0")), 0);
  EXPECT_EQ(ParseFirstShow(B("")), 0);
  EXPECT_EQ(ParseFirstShow(B("yes")), 0);
  const fs::path data = dir_ / "data", share = dir_ / "share";
  EXPECT_EQ(ReadFirstShow(data, share), 0);
  // Nobody has run the editor yet: the marker shipped with the program counts.
  Write(share / kFirstShowFileName, "1\r\n");
  EXPECT_EQ(ReadFirstShow(data, share), 1);
  // After the first close the user's own marker says 0.
  ASSERT_TRUE(WriteFirstShowFile(data / kFirstShowFileName, 0));
  Bytes bytes;
  ASSERT_TRUE(ReadSmallFile(data / kFirstShowFileName, bytes));
  EXPECT_EQ(S(bytes), "0");
  EXPECT_EQ(ReadFirstShow(data, share), 0);
}

TEST_F(TempDir, SharedFolderInBuildAndInstalledTrees) {
  ::unsetenv("VELMIRA_SHARE");
  Write(dir_ / "src" / "share" / "velmira" / "Samples" / "a.bmp", "x");
  fs::create_directories(dir_ / "src" / "build" / "src" / "ui");
  EXPECT_EQ(SharedFolderFor(dir_ / "src" / "build" / "src" / "ui"), (dir_ / "src" / "share" / "velmira"));
  Write(dir_ / "prefix" / "share" / "velmira" / "FirstShow.ini", "1");
  fs::create_directories(dir_ / "prefix" / "bin");
  EXPECT_EQ(SharedFolderFor(dir_ / "prefix" / "bin"), (dir_ / "prefix" / "share" / "velmira"));
  fs::create_directories(dir_ / "lonely" / "bin");
  EXPECT_TRUE(SharedFolderFor(dir_ / "lonely" / "bin").empty() ||
              !SharedFolderFor(dir_ / "lonely" / "bin").string().starts_with((dir_ / "lonely").string()));
}

TEST(SettingsFile, ApplyAndCaptureKeepColoursAndTheGrid) {
  SettingsRecord s = Sample();
  FrameState f;
  ApplySettings(s, f);
  EXPECT_EQ(f.foreground, MakeRgbq(255, 0, 0));   // COLORREF 0x0000FF is red
  EXPECT_EQ(f.background, MakeRgbq(0, 255, 0));
  EXPECT_EQ(f.gridSpacing, -24);  // starts hidden at the stored gap
  EXPECT_FALSE(f.gridOn);
  EXPECT_TRUE(f.softEdge);
  EXPECT_EQ(f.brushSize, 5);
  EXPECT_EQ(f.textFont1, u"맑은 고딕");
  f.gridSpacing = 24;  // shown at close
  SettingsRecord back = s;
  CaptureSettings(f, back);
  EXPECT_EQ(back.foreground, s.foreground);
  EXPECT_EQ(back.text, s.text);
  EXPECT_EQ(back.gridGap, 24);
  EXPECT_EQ(back.gridColour, s.gridColour);
  EXPECT_EQ(back.colour3, s.colour3);
  EXPECT_EQ(back.windowState, s.windowState);
}

// ---------------------------------------------------------------- string table

Bytes Cp949(std::string_view utf8ish) { return B(utf8ish); }

TEST(StringTable, ReadsKoreanCodePageLines) {
  // "열기~開く|x", "파일(&F)~ファイル|" in CP949, then a line without "~".
  const Bytes file = Cp949(
      "\xBF\xAD\xB1\xE2~\xCB\xD2\xAA\xAF|x\r\n"
      "\xC6\xC4\xC0\xCF(&F)~\xAB\xD5\xAB\xA1\xAB\xA4\xAB\xEB|\r\n"
      "no tilde here\r\n"
      "~empty key\r\n"
      "open~\xFF\x41 bad|");
  StringTable t;
  t.Parse(file);
  ASSERT_EQ(t.Entries().size(), 3u);
  EXPECT_EQ(t.Entries()[0].key, "열기");
  EXPECT_EQ(t.Entries()[0].value, "開く");
  EXPECT_EQ(t.Entries()[1].value, "ファイル");
  EXPECT_EQ(t.Entries()[2].value, "\xEF\xBF\xBD" "A bad");
  EXPECT_EQ(t.Translate("열기"), "開く");
  EXPECT_EQ(t.Translate("열기\tCtrl+O"), "開く\tCtrl+O");
  EXPECT_EQ(t.Translate("닫기(&C)"), "닫기(&C)");
}

TEST(StringTable, Utf8FilesAndLimits) {
  std::string file = "\xEF\xBB\xBF" "저장하기(&S)~保存|\n";
  // 50 Hangul syllables are 100 bytes in the code page: 39 fit in 79.
  std::string longKey;
  for (int i = 0; i < 50; ++i) longKey += "가";
  file += longKey + "~v|\n";
  for (int i = 0; i < 300; ++i) file += "k" + std::to_string(i) + "~v\n";
  StringTable t;
  t.Parse(B(file));
  ASSERT_EQ(t.Entries().size(), 200u);
  EXPECT_EQ(t.Entries()[0].value, "保存");
  std::string cut;
  for (int i = 0; i < 39; ++i) cut += "가";
  EXPECT_EQ(t.Entries()[1].key, cut);
  EXPECT_EQ(t.Entries()[1].value, "v");
  EXPECT_EQ(t.Entries().back().key, "k197");

  // The same long key in CP949 is cut at the same character.
  std::string cp;
  for (int i = 0; i < 50; ++i) cp += "\xB0\xA1";
  t.Parse(B(cp + "~x|"));
  ASSERT_EQ(t.Entries().size(), 1u);
  EXPECT_EQ(t.Entries()[0].key, cut);
}

TEST_F(TempDir, MissingStringTableIsEmpty) {
  StringTable t;
  t.Parse(B("a~b|"));
  EXPECT_FALSE(t.Load(dir_ / kStringTableFileName));
  EXPECT_TRUE(t.Empty());
}

// ---------------------------------------------------------------- seeds

using SeedSet = std::map<std::string, std::string>;

SeedSet SettingsSeeds() {
  SeedSet s;
  s["good_sample.ini"] = SampleFile();
  s["good_defaults.ini"] = S(SerializeSettings(SettingsRecord{}));
  s["good_lf_only.ini"] = FileWith({});
  std::string lf;
  for (char c : s["good_lf_only.ini"])
    if (c != '\r') lf.push_back(c);
  s["good_lf_only.ini"] = lf;
  s["odd_long_name.ini"] = FileWith({}, std::u16string(300, u'가'), u"Z");
  s["bad_missing_line.ini"] = FileWith({{"RS", ""}});
  s["bad_damaged_line.ini"] = FileWith({{"BG:", "BG: x X5 Y6"}, {"WS", "WS ?"}});
  s["bad_truncated.ini"] = SampleFile().substr(0, SampleFile().size() / 2);
  s["bad_negative_length.ini"] = FileWith({{"FontSize", "FontSize 1 -7 999999\r\n"}});
  return s;
}

SeedSet FirstShowSeeds() { return {{"firstshow_1.ini", "1\r\n"}, {"firstshow_0.ini", "0"}, {"firstshow_bad.ini", "-"}}; }

SeedSet StringTableSeeds() {
  return {{"strings_cp949.txt", "\xBF\xAD\xB1\xE2~\xCB\xD2\xAA\xAF|x\r\n\xC6\xC4\xC0\xCF(&F)~\xAB\xD5\xAB\xA1|\r\n"},
          {"strings_utf8.txt", "\xEF\xBB\xBF저장하기(&S)~保存|\n닫기~閉じる|\n"},
          {"strings_bad.txt", "no tilde\r\n~\r\n\xFF\xFE~\x81|\n"}};
}

TEST(SettingsSeeds, FilesReadAsTheirNamesSay) {
  const fs::path dir = fs::path(VELMIRA_TEST_DATA) / "settings";
  const bool write = std::getenv("VELMIRA_WRITE_SEEDS") != nullptr;
  SeedSet all = SettingsSeeds();
  all.merge(FirstShowSeeds());
  all.merge(StringTableSeeds());
  for (const auto& [name, bytes] : all) {
    const fs::path p = dir / name;
    if (write) {
      fs::create_directories(dir);
      std::ofstream(p, std::ios::binary) << bytes;
    }
    Bytes onDisk;
    ASSERT_TRUE(ReadSmallFile(p, onDisk)) << name;
    EXPECT_EQ(S(onDisk), bytes) << name;
  }
  for (const auto& [name, bytes] : SettingsSeeds()) {
    SettingsRecord r;
    const SettingsReadReport rep = ParseSettings(B(bytes), r);
    EXPECT_EQ(rep.complete(), !name.starts_with("bad_")) << name;
  }
  EXPECT_EQ(ParseFirstShow(B(FirstShowSeeds()["firstshow_1.ini"])), 1);
  StringTable t;
  t.Parse(B(StringTableSeeds()["strings_utf8.txt"]));
  EXPECT_EQ(t.Translate("닫기"), "閉じる");
}

}  // namespace
}  // namespace velmira
