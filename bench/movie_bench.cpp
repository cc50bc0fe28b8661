// Writing a 30-second 800 × 600 slide show (750 frames at 25 per second) from
// 1600 × 1200 photo-like pictures, every kind of frame in the mix: slides in four
// directions, stills, pans and the zoom sequence.
//
// Cases:
//   Movie30s/avi   — the whole conversion into MPEG-4 in AVI (what the dialog does)
//   Movie30s/mp4   — the same into H.264 in MP4
//   Movie30s/frames — composing the frames only (no encoder), the share that is ours
// Each case makes exactly 750 frames: the conversion is stopped at that count.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "movie/movie_composer.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 750;

// Smooth gradients with grain, so that the encoder sees something like a photograph
// rather than flat colour.
bool PhotoLike(const fs::path& p, CImageBuffer& img) {
  const int seed = std::stoi(p.filename().string());
  if (!img.Allocate(1600, 1200, 24, kFormatBmp)) return false;
  std::mt19937 rng{static_cast<uint32_t>(seed)};
  std::uniform_int_distribution<int> grain(-12, 12);
  for (int y = 0; y < 1200; ++y) {
    uint8_t* row = img.Row(y);
    for (int x = 0; x < 1600; ++x) {
      const double u = x / 1600.0, v = y / 1200.0;
      row[3 * x] = uint8_t(std::clamp(int(128 + 100 * std::sin(6 * u + seed)) + grain(rng), 0, 255));
      row[3 * x + 1] = uint8_t(std::clamp(int(128 + 100 * std::cos(5 * v - seed)) + grain(rng), 0, 255));
      row[3 * x + 2] = uint8_t(std::clamp(int(255 * u * v) + grain(rng), 0, 255));
    }
  }
  return true;
}

MovieSettings Show() {
  MovieSettings s;
  s.size = {800, 600};
  s.frameSpeed = 50;       // pans 2 pixels a frame, stills of 5 frames
  s.transitionSpeed = 50;  // slides 12 rows or columns a frame
  const FrameMode modes[] = {FrameMode::kStill, FrameMode::kZoom, FrameMode::kPanLeft, FrameMode::kStill,
                             FrameMode::kPanUp};
  const LinkKind links[] = {LinkKind::kUp, LinkKind::kLeft, LinkKind::kDown, LinkKind::kRight};
  for (int i = 0; i < 40; ++i) {
    MovieEntry e;
    e.picture = std::to_string(i + 1);
    e.mode = modes[i % 5];
    e.link = links[i % 4];
    s.entries.push_back(e);
  }
  return s;
}

struct NullSink : FrameSink {
  HResult AddFrame(const Frame32&) override { return kSOk; }
};

void Movie30s(benchmark::State& state, int kind) {
  QuietCodecMessages();
  MovieSettings s = Show();
  s.output = fs::temp_directory_path() / ("velmira-bench-" + std::to_string(::getpid()) + (kind == 1 ? ".mp4" : ".avi"));
  for (auto _ : state) {
    int frames = 0;
    ComposerCallbacks cb;
    cb.load = PhotoLike;
    cb.cancelled = [&] { return frames >= kFrames; };
    ComposeStats st;
    if (kind == 2) {
      struct Counting : NullSink {
        int* n;
        HResult AddFrame(const Frame32&) override { return ++*n, kSOk; }
      } sink;
      sink.n = &frames;
      ComposeFrames(s, sink, cb, &st);
    } else {
      // The writer's frame count is the composer's: count through the progress of stats.
      cb.cancelled = [&] { return st.framesWritten >= kFrames; };
      MakeMovie(s, cb, &st);
      frames = st.framesWritten;
    }
    if (frames != kFrames) state.SkipWithError("the show made fewer than 750 frames");
    state.counters["frames"] = frames;
  }
  std::error_code ec;
  if (kind != 2) state.counters["MB"] = double(fs::file_size(s.output, ec)) / 1e6;
  fs::remove(s.output, ec);
}

}  // namespace

BENCHMARK_CAPTURE(Movie30s, avi, 0)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->MeasureProcessCPUTime();
// libx264 encodes on threads of its own: count the whole process.
BENCHMARK_CAPTURE(Movie30s, mp4, 1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Movie30s, frames, 2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK_MAIN();
