// The recorded scanner pages and update replies under tests/data that seed the
// fuzzers. With VELMIRA_WRITE_SEEDS=1 they are (re)written; every run checks that
// each file still gives what its name says: good_* pages make a picture, bad_* none;
// update replies named version_N give N × 100, none_* give no version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "online/scan_replay.h"
#include "online/update_version.h"

using namespace velmira;
using namespace velmira::online;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

FrameParams Frame(FrameKind kind, int ppl, int lines, int depth = 8, bool last = true, int pad = 0) {
  FrameParams p;
  p.format = int(kind);
  p.pixelsPerLine = ppl;
  p.lines = lines;
  p.depth = depth;
  p.lastFrame = last;
  p.bytesPerLine = (ppl * (kind == FrameKind::Rgb ? 3 : 1) * depth + 7) / 8 + pad;
  return p;
}

Bytes Ramp(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + 3);
  return b;
}

Bytes Page(std::initializer_list<std::pair<FrameParams, size_t>> frames) {
  Bytes out;
  for (const auto& [p, n] : frames) RecordFrame(out, p, Ramp(n));
  return out;
}

std::map<std::string, Bytes> ScanSeeds() {
  std::map<std::string, Bytes> s;
  s["good_grey8.scan"] = Page({{Frame(FrameKind::Gray, 9, 5), 45}});
  s["good_rgb8.scan"] = Page({{Frame(FrameKind::Rgb, 7, 4), 84}});
  s["good_rgb16.scan"] = Page({{Frame(FrameKind::Rgb, 3, 3, 16), 54}});
  s["good_lineart.scan"] = Page({{Frame(FrameKind::Gray, 13, 4, 1), 8}});
  s["good_padded.scan"] = Page({{Frame(FrameKind::Gray, 5, 3, 8, true, 3), 24}});
  s["good_three_pass.scan"] = Page({{Frame(FrameKind::Red, 6, 2, 8, false), 12},
                                    {Frame(FrameKind::Green, 6, 2, 8, false), 12},
                                    {Frame(FrameKind::Blue, 6, 2, 8, true), 12}});
  s["good_hand_scanner.scan"] = Page({{Frame(FrameKind::Gray, 4, -1), 30}});
  s["good_short.scan"] = Page({{Frame(FrameKind::Rgb, 4, 10), 30}});
  s["bad_depth.scan"] = Page({{Frame(FrameKind::Gray, 4, 4, 4), 8}});
  s["bad_line_bytes.scan"] = Page({{FrameParams{int(FrameKind::Rgb), true, 5, 4, 4, 8}, 20}});
  s["bad_zero_width.scan"] = Page({{Frame(FrameKind::Gray, 0, 4), 0}});
  s["bad_no_lines.scan"] = Page({{Frame(FrameKind::Gray, 4, 0), 0}});
  s["bad_missing_plane.scan"] =
      Page({{Frame(FrameKind::Red, 6, 2, 8, false), 12}, {Frame(FrameKind::Blue, 6, 2, 8, true), 12}});
  s["bad_mixed_widths.scan"] =
      Page({{Frame(FrameKind::Red, 6, 2, 8, false), 12}, {Frame(FrameKind::Green, 7, 2, 8, true), 14}});
  Bytes cut = Page({{Frame(FrameKind::Gray, 9, 5), 45}});
  cut.resize(10);
  s["bad_truncated_header.scan"] = cut;
  return s;
}

std::map<std::string, std::string> UpdateSeeds() {
  return {
      {"version_368.txt", "368\r\n"},
      {"version_369.txt", "369"},
      {"version_0_html.txt", "<html><body>369</body></html>"},
      {"version_-12.txt", "  -12 beta"},
      {"version_369_long.txt", std::string(4093, ' ') + "369" + std::string(8000, '9')},
      {"none_overflow.txt", "99999999999"},
  };
}

fs::path Dir(const char* name) { return fs::path(VELMIRA_TEST_DATA) / name; }

bool Writing() {
  const char* w = std::getenv("VELMIRA_WRITE_SEEDS");
  return w && std::string(w) == "1";
}

Bytes Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(OnlineSeeds, RecordedPagesReplayAsNamed) {
  const auto seeds = ScanSeeds();
  if (Writing()) {
    fs::create_directories(Dir("scan"));
    for (const auto& [name, bytes] : seeds)
      std::ofstream(Dir("scan") / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                std::streamsize(bytes.size()));
  }
  // The generated recordings and the files on disk agree and replay as named.
  for (const auto& [name, bytes] : seeds) {
    std::string why;
    const auto image = ReplayPage(bytes.data(), bytes.size(), &why);
    EXPECT_EQ(image != nullptr, name.rfind("good_", 0) == 0) << name << ": " << why;
    const fs::path file = Dir("scan") / name;
    ASSERT_TRUE(fs::exists(file)) << file << " (run with VELMIRA_WRITE_SEEDS=1)";
    EXPECT_EQ(Read(file), bytes) << name;
  }
  const auto three = ReplayPage(seeds.at("good_three_pass.scan").data(), seeds.at("good_three_pass.scan").size());
  ASSERT_TRUE(three);
  EXPECT_EQ(three->Bpp(), 24);
  const auto hand = ReplayPage(seeds.at("good_hand_scanner.scan").data(), seeds.at("good_hand_scanner.scan").size());
  ASSERT_TRUE(hand);
  EXPECT_EQ(hand->Height(), 7);  // 30 bytes of 4-byte lines
  const auto cut = ReplayPage(seeds.at("good_short.scan").data(), seeds.at("good_short.scan").size());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Height(), 2);  // 30 bytes of 12-byte lines
}

TEST(OnlineSeeds, UpdateRepliesReadAsNamed) {
  const auto seeds = UpdateSeeds();
  if (Writing()) {
    fs::create_directories(Dir("update"));
    for (const auto& [name, text] : seeds) std::ofstream(Dir("update") / name, std::ios::binary) << text;
  }
  for (const auto& [name, text] : seeds) {
    const fs::path file = Dir("update") / name;
    ASSERT_TRUE(fs::exists(file)) << file << " (run with VELMIRA_WRITE_SEEDS=1)";
    const Bytes bytes = Read(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text) << name;
    const std::optional<int> v = OnlineVersion(text);
    if (name.rfind("none_", 0) == 0) {
      EXPECT_FALSE(v) << name;
    } else {
      const std::string number = name.substr(8, name.find_first_of("_.", 8) - 8);
      ASSERT_TRUE(v) << name;
      EXPECT_EQ(*v, std::stoi(number) * 100) << name;
    }
  }
}
