// The geometric kernels on their own, without file reading and writing: a quarter
// turn and a flip of a 24-megapixel layer, resizing it to 50 %, enlarging a
// 1920 × 1080 layer to 200 %, and a free rotation of a 12-megapixel layer by 30°
// through the quadrilateral painter. A memcpy of the 24-megapixel planes gives the
// memory-bandwidth floor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "processing/transform.h"

using namespace velmira;

namespace {

Planes Make(int w, int h) {
  Planes p;
  MakePlanes(p, w, h, 24, 255, false, 1);
  std::mt19937 rng(3);
  for (size_t k = 0; k < p.pixels.size(); k += 7) p.pixels[k] = uint8_t(rng());
  return p;
}

const Planes& Big() {
  static const Planes p = Make(6000, 4000);
  return p;
}

void BM_Memcpy24MP(benchmark::State& st) {
  const Planes& s = Big();
  std::vector<uint8_t> d(s.pixels.size() + s.alpha.size());
  for (auto _ : st) {
    std::memcpy(d.data(), s.pixels.data(), s.pixels.size());
    std::memcpy(d.data() + s.pixels.size(), s.alpha.data(), s.alpha.size());
    benchmark::DoNotOptimize(d.data());
  }
}

void BM_Rotate90(benchmark::State& st) {
  const Planes& s = Big();
  const float theta = RotationAngle(90.0f);
  const RotatedBox box = RotatedBoxOf(s.width, s.height, theta);
  Planes d;
  MakePlanes(d, box.Width(), box.Height(), 24, 0, false, 1);
  for (auto _ : st) {
    RotatePlanes(s, theta, box, d, 0, 0);
    benchmark::DoNotOptimize(d.pixels.data());
  }
}

void BM_FlipH(benchmark::State& st) {
  Planes p = Big();
  for (auto _ : st) {
    FlipPlanes(p, true);
    benchmark::DoNotOptimize(p.pixels.data());
  }
}

void BM_Resize50(benchmark::State& st) {
  const Planes& s = Big();
  Planes d;
  MakePlanes(d, 3000, 2000, 24, 0, false, 1);
  for (auto _ : st) {
    ResizePlanes(s, 0.5f, 0.5f, d, {});
    benchmark::DoNotOptimize(d.pixels.data());
  }
}

void BM_Resize200(benchmark::State& st) {
  const Planes s = Make(1920, 1080);
  Planes d;
  MakePlanes(d, 3840, 2160, 24, 0, false, 1);
  for (auto _ : st) {
    ResizePlanes(s, 2.0f, 2.0f, d, {});
    benchmark::DoNotOptimize(d.pixels.data());
  }
}

void BM_FreeRotate12MP(benchmark::State& st) {
  const Planes s = Make(4000, 3000);
  QuadPoint q[4];
  // The corners of a 30° turn about the centre, as the free rotation sets them.
  const double a = 30.0 * 3.14159265358979323846 / 180.0, c = std::cos(a), n = std::sin(a);
  const double xs[4] = {0, 4000, 4000, 0}, ys[4] = {0, 0, 3000, 3000};
  double mx = 1e9, my = 1e9;
  for (int k = 0; k < 4; ++k) {
    const double dx = xs[k] - 2000, dy = ys[k] - 1500;
    q[k] = {std::round(2000 + dx * c - dy * n), std::round(1500 + dx * n + dy * c)};
    mx = std::min(mx, q[k].x), my = std::min(my, q[k].y);
  }
  for (auto& p : q) p.x -= mx, p.y -= my;
  int bw, bh;
  QuadBoxSize(q, &bw, &bh);
  Planes d;
  MakePlanes(d, bw, bh, 24, 0, false, 1);
  for (auto _ : st) {
    QuadPlanes(s, q, bh, d, {});
    benchmark::DoNotOptimize(d.pixels.data());
  }
}

}  // namespace

BENCHMARK(BM_Memcpy24MP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipH)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeRotate12MP)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
