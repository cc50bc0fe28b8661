// Area tools over a 24-megapixel layer that is one region (every pixel the same
// colour, so each tool visits the whole picture), and a brush stroke of 1,000 dabs.
// `Baseline/OnePass` reads every pixel once and writes a byte per pixel: the least
// any whole-picture tool must do, to read the others' times against.
#include <benchmark/benchmark.h>

#include <cstring>

#include "image/layers.h"
#include "image/rand.h"
#include "tools/fill.h"
#include "tools/paint.h"
#include "tools/selection.h"

namespace velmira {
namespace {

constexpr int kW = 6000, kH = 4000;

LayerStack& Picture() {
  static LayerStack L = [] {
    LayerStack s;
    s.header.canvasWidth = kW;
    s.header.canvasHeight = kH;
    s.header.bitsPerPixel = 24;
    int slot = -1;
    s.InsertLayer(-1, 0, &slot);
    LayerAlloc a;
    a.width = kW;
    a.height = kH;
    a.canvasWidth = kW;
    a.canvasHeight = kH;
    a.initialAlpha = 255;
    a.resetSelection = true;
    s.AllocateLayer(slot, a);
    s.active = slot;
    std::memset(s.slots[slot].pixels.data(), 0x80, s.slots[slot].pixels.size());
    std::memset(s.slots[slot].alpha.data(), 255, s.slots[slot].alpha.size());
    return s;
  }();
  return L;
}

void Baseline_OnePass(benchmark::State& st) {
  LayerStack& L = Picture();
  const Layer& l = *L.Active();
  std::vector<uint8_t> out(size_t(kW) * kH);
  for (auto _ : st) {
    for (int y = 0; y < kH; ++y) {
      const uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride);
      uint8_t* o = out.data() + size_t(y) * kW;
      for (int x = 0; x < kW; ++x) o[x] = uint8_t(p[3 * x] + p[3 * x + 1] + p[3 * x + 2] < 300);
    }
    benchmark::DoNotOptimize(out.data());
  }
}

void FloodFill_WholePicture(benchmark::State& st) {
  LayerStack& L = Picture();
  bool flip = false;
  for (auto _ : st) {
    // Alternate colours so that each run repaints the whole region.
    flip = !flip;
    benchmark::DoNotOptimize(FloodFill(L, L.active, kW / 2, kH / 2, flip ? MakeRgbq(10, 20, 30) : MakeRgbq(128, 128, 128), 10, 0));
  }
}

void MagicWand_WholePicture(benchmark::State& st) {
  LayerStack& L = Picture();
  for (auto _ : st) benchmark::DoNotOptimize(MagicWand(L, kW / 2, kH / 2, 25, false));
  ClearSelectionMask(L);
}

void ColourRange_WholePicture(benchmark::State& st) {
  LayerStack& L = Picture();
  const Rgbq ref = L.ReadLayerColor(L.active, 0, 0, nullptr);
  for (auto _ : st) benchmark::DoNotOptimize(ColourRange(L, ref, 10, false));
  ClearSelectionMask(L);
}

// 1,000 dabs of size 8 along a diagonal, one stroke segment per simulated mouse event
// of ten pixels, as a fast drag delivers them.
void BrushStroke_1000Dabs(benchmark::State& st) {
  LayerStack& L = Picture();
  SeedProgramRand(1);
  for (auto _ : st) {
    for (int i = 0; i < 100; ++i)
      PaintStroke(L, L.active, 100 + 10 * i, 100, 100 + 10 * (i + 1) - 1, 100, 8, true, MakeRgbq(200, 0, 0), false);
  }
  st.counters["dabs"] = 1000;
}

BENCHMARK(Baseline_OnePass)->Unit(benchmark::kMillisecond);
BENCHMARK(FloodFill_WholePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(MagicWand_WholePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(ColourRange_WholePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BrushStroke_1000Dabs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmira

BENCHMARK_MAIN();
