#include "movie/movie_player.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "movie/avi_writer.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("velmira-player-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Ten frames whose blue channel counts 0, 20, …, 180 so a shown frame names itself.
    AviWriter w(dir / "ten.avi");
    std::vector<uint8_t> f(size_t(48) * 32 * 4);
    for (int k = 0; k < 10; ++k) {
      for (size_t i = 0; i < f.size(); i += 4) f[i] = uint8_t(20 * k), f[i + 1] = 100, f[i + 2] = 100;
      ASSERT_EQ(w.AddFrame(48, 32, f.data(), 32), kSOk);
    }
    ASSERT_EQ(w.Close(), kSOk);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Polls as the dialog's timer does until `done` holds or five seconds pass; the
  // frames shown meanwhile are counted by their number.
  template <class Pred>
  bool PollUntil(MoviePlayback& p, Pred done) {
    const auto end = MoviePlayback::Clock::now() + 5s;
    while (MoviePlayback::Clock::now() < end) {
      DecodedFrame f;
      if (p.TakeFrame(f)) shown.push_back((f.bgra[0] + 10) / 20);
      if (done()) return true;
      std::this_thread::sleep_for(2ms);
    }
    return false;
  }
  fs::path dir;
  std::vector<int> shown;
};

TEST_F(PlayerTest, LoadsPlaysPausesAndStopsBackToTheStart) {
  MoviePlayback p;
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kEmpty);
  p.Load(dir / "ten.avi");
  ASSERT_TRUE(PollUntil(p, [&] { return !shown.empty(); }));
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kReady);
  EXPECT_EQ(shown, std::vector<int>{0});  // the first frame, before playing
  EXPECT_EQ(p.Width(), 48);
  EXPECT_EQ(p.Height(), 32);

  p.Play();
  ASSERT_TRUE(PollUntil(p, [&] { return shown.back() >= 3; }));
  p.Pause();
  const double at = p.Position();
  const size_t count = shown.size();
  std::this_thread::sleep_for(150ms);
  DecodedFrame f;
  EXPECT_FALSE(p.TakeFrame(f));  // paused: the picture holds
  EXPECT_EQ(p.Position(), at);
  EXPECT_EQ(shown.size(), count);
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kPaused);

  p.Play();  // on from where it paused, to the end
  ASSERT_TRUE(PollUntil(p, [&] { return p.GetState() == MoviePlayback::State::kStopped; }));
  EXPECT_EQ(shown.back(), 9);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GT(shown[i], shown[i - 1]);

  // Stop goes back to the first frame; playing again starts there.
  shown.clear();
  p.Stop();
  ASSERT_TRUE(PollUntil(p, [&] { return !shown.empty(); }));
  EXPECT_EQ(shown, std::vector<int>{0});
  EXPECT_EQ(p.Position(), 0.0);
  p.Play();
  ASSERT_TRUE(PollUntil(p, [&] { return shown.back() >= 2; }));
  p.Stop();
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kStopped);
}

TEST_F(PlayerTest, FilesThatAreNoMovieFailAndClosingEmpties) {
  std::ofstream(dir / "junk.avi") << "RIFF not really a movie";
  MoviePlayback p;
  p.Load(dir / "junk.avi");
  ASSERT_TRUE(PollUntil(p, [&] { return p.GetState() != MoviePlayback::State::kLoading; }));
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kFailed);
  EXPECT_FALSE(p.Error().empty());
  p.Play();  // nothing to play: stays failed
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kFailed);

  p.Load(dir / "ten.avi");
  ASSERT_TRUE(PollUntil(p, [&] { return !shown.empty(); }));
  p.Play();
  p.Close();
  EXPECT_EQ(p.GetState(), MoviePlayback::State::kEmpty);
  DecodedFrame f;
  EXPECT_FALSE(p.TakeFrame(f));
}

}  // namespace
}  // namespace velmira
