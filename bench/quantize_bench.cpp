// Octree colour reduction of a full-HD picture, and its parts: building the tree,
// mapping pixels to the palette, and LZW-coding the result as GIF.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "formats/gif_codec.h"
#include "processing/colour_depth.h"

namespace {

using velmira::CImageBuffer;

// A photo-like 1920 × 1080 picture: smooth gradients with fine texture, so that
// the tree folds often and most neighbouring pixels differ.
const CImageBuffer& Picture() {
  static CImageBuffer p;
  if (!p.IsValid()) {
    p.Allocate(1920, 1080, 24, velmira::kFormatBmp);
    uint32_t seed = 1;
    for (int y = 0; y < 1080; ++y) {
      uint8_t* row = p.Row(y);
      for (int x = 0; x < 1920; ++x) {
        seed = seed * 214013u + 2531011u;
        const int noise = int((seed >> 16) & 15) - 8;
        const double u = x / 1920.0, v = y / 1080.0;
        const int r = int(128 + 100 * std::sin(6.0 * u + 2.0 * v)) + noise;
        const int g = int(128 + 100 * std::sin(4.0 * v - 3.0 * u + 1.0)) + noise;
        const int b = int(128 + 90 * std::cos(5.0 * (u + v))) + noise;
        row[3 * x] = uint8_t(std::clamp(b, 0, 255));
        row[3 * x + 1] = uint8_t(std::clamp(g, 0, 255));
        row[3 * x + 2] = uint8_t(std::clamp(r, 0, 255));
      }
    }
  }
  return p;
}

void BM_ReduceTo8Bit(benchmark::State& state) {
  const CImageBuffer& in = Picture();
  for (auto _ : state) {
    CImageBuffer out;
    benchmark::DoNotOptimize(velmira::ReduceTo8Bit(in, out));
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_ReduceTo8Bit)->Unit(benchmark::kMillisecond);

void BM_OctreeBuild(benchmark::State& state) {
  const CImageBuffer& in = Picture();
  for (auto _ : state) {
    velmira::OctreeQuantizer q;
    q.AddImage(in);
    uint8_t pal[1024];
    benchmark::DoNotOptimize(q.Palette(pal));
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_OctreeBuild)->Unit(benchmark::kMillisecond);

void BM_NearestColourMap(benchmark::State& state) {
  const CImageBuffer& in = Picture();
  velmira::OctreeQuantizer q;
  q.AddImage(in);
  uint8_t pal[1024];
  q.Palette(pal);
  for (auto _ : state) {
    velmira::NearestColourMap map(pal, 256);
    uint32_t sum = 0;
    for (int y = 0; y < in.Height(); ++y) {
      const uint8_t* p = in.Row(y);
      for (int x = 0; x < in.Width(); ++x, p += 3) sum += uint32_t(map.Find(p[2], p[1], p[0]));
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_NearestColourMap)->Unit(benchmark::kMillisecond);

void BM_GifEncode(benchmark::State& state) {
  CImageBuffer eight;
  velmira::ReduceTo8Bit(Picture(), eight);
  for (auto _ : state) {
    velmira::CImageMemoryStream out;
    benchmark::DoNotOptimize(velmira::GifEncode(eight, out, eight));
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_GifEncode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
