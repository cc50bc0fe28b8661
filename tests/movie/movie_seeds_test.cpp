// The small movies under tests/data/movie that seed the movie reader's fuzzer: good
// ones as the writer makes them (AVI and MP4, odd sizes too) and broken ones of the
// usual kinds (cut short, damaged in the middle, a header with no data). With
// VELMIRA_WRITE_SEEDS=1 the files are (re)written; every run checks that each file
// still reads as its name says: good ones to their last frame, broken ones without
// crashing and without more frames than were written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "movie/avi_writer.h"
#include "movie/movie_decoder.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

const fs::path kSeeds = fs::path(VELMIRA_TEST_DATA) / "movie";

Bytes Written(const std::string& ext, int w, int h, int frames) {
  const fs::path tmp = fs::temp_directory_path() / ("velmira-seed-" + std::to_string(::getpid()) + ext);
  {
    AviWriter writer(tmp);
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (int k = 0; k < frames; ++k) {
      for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 7 + k * 40);
      writer.AddFrame(w, h, px.data(), 32);
    }
    writer.Close();
  }
  std::ifstream in(tmp, std::ios::binary);
  Bytes b((std::istreambuf_iterator<char>(in)), {});
  fs::remove(tmp);
  return b;
}

std::map<std::string, Bytes> Seeds() {
  std::map<std::string, Bytes> s;
  s["good_32x24_6.avi"] = Written(".avi", 32, 24, 6);
  s["good_17x9_3.avi"] = Written(".avi", 17, 9, 3);
  s["good_32x24_8.mp4"] = Written(".mp4", 32, 24, 8);
  Bytes avi = s["good_32x24_6.avi"];
  s["bad_cut.avi"] = Bytes(avi.begin(), avi.begin() + long(avi.size() / 2));
  Bytes damaged = avi;
  for (size_t i = damaged.size() / 3; i < damaged.size() / 3 + 64 && i < damaged.size(); ++i) damaged[i] ^= 0x5A;
  s["bad_damaged.avi"] = damaged;
  s["bad_header_only.avi"] = Bytes(avi.begin(), avi.begin() + std::min<long>(long(avi.size()), 300));
  Bytes mp4 = s["good_32x24_8.mp4"];
  s["bad_cut.mp4"] = Bytes(mp4.begin(), mp4.begin() + long(mp4.size() * 2 / 3));
  return s;
}

TEST(MovieSeeds, EachSeedReadsAsItsNameSays) {
  const char* write = std::getenv("VELMIRA_WRITE_SEEDS");
  if (write && std::string(write) == "1") {
    fs::create_directories(kSeeds);
    for (const auto& [name, bytes] : Seeds()) {
      std::ofstream out(kSeeds / name, std::ios::binary);
      out.write(bytes.data(), std::streamsize(bytes.size()));
    }
  }
  ASSERT_TRUE(fs::exists(kSeeds)) << "run once with VELMIRA_WRITE_SEEDS=1";
  int checked = 0;
  for (const auto& [name, bytes] : Seeds()) {
    const fs::path p = kSeeds / name;
    ASSERT_TRUE(fs::exists(p)) << name;
    MovieDecoder d;
    const bool opened = d.Open(p);
    int frames = 0;
    DecodedFrame f;
    while (opened && frames < 100 && d.Next(f)) {
      ASSERT_EQ(f.bgra.size(), size_t(f.width) * f.height * 4) << name;
      ++frames;
    }
    if (name.rfind("good_", 0) == 0) {
      ASSERT_TRUE(opened) << name;
      const int expected = std::stoi(name.substr(name.rfind('_') + 1));
      EXPECT_EQ(frames, expected) << name;
      // Back to the start reads the first frame again.
      ASSERT_TRUE(d.Rewind()) << name;
      ASSERT_TRUE(d.Next(f)) << name;
      EXPECT_NEAR(f.seconds, 0.0, 1e-6) << name;
    } else {
      EXPECT_LE(frames, 8) << name;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

}  // namespace
}  // namespace velmira
