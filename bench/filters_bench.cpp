// Filter kernels: the fast routines against their per-window forms, window sizes
// side by side (blur and shrink should cost the same for 2 and 9), and the point
// operations against one plain read-modify-write pass over the same layer.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "filters_reference.h"
#include "image/layers.h"
#include "processing/adjust.h"
#include "processing/filters.h"

namespace velmira {
namespace {

struct Pic {
  int w, h, stride;
  std::vector<uint8_t> src, dst, sel;
  Pic(int w_, int h_, bool selection) : w(w_), h(h_), stride(StrideFor(w_, 24)) {
    std::mt19937 rng(7);
    src.resize(size_t(stride) * size_t(h));
    for (auto& b : src) b = uint8_t(rng());
    dst = src;
    sel.assign(size_t(w) * size_t(h), 1);
    if (selection)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) sel[size_t(y) * size_t(w) + size_t(x)] = (x / 64 + y / 64) % 2 == 0;
  }
  FilterTarget T() {
    FilterTarget t;
    t.width = w, t.height = h, t.stride = stride;
    t.src = src.data(), t.dst = dst.data(), t.sel = sel.data();
    return t;
  }
};

// Arguments: window size, selection (0/1). Fast forms on 24 megapixels.
template <void (*F)(const FilterTarget&, int)>
void Fast24M(benchmark::State& st) {
  static Pic p(6000, 4000, false);
  static Pic ps(6000, 4000, true);
  Pic& q = st.range(1) ? ps : p;
  for (auto _ : st) {
    F(q.T(), int(st.range(0)));
    benchmark::DoNotOptimize(q.dst.data());
  }
  st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(q.src.size()));
}

void Blur(const FilterTarget& t, int n) { WindowBlur(t, n, false); }
void Soften(const FilterTarget& t, int n) { WindowBlur(t, n, true); }
void ShrinkN(const FilterTarget& t, int n) { Shrink(t, n); }
void GrowN(const FilterTarget& t, int n) { Grow(t, n); }
void Sharpen(const FilterTarget& t, int) { GreyConvolve(t, SharpenKernel(), true); }
void Edge(const FilterTarget& t, int a) { EdgeEmphasis(t, a, 1); }
void Noise(const FilterTarget& t, int s) { Denoise(t, s, 4); }
void Region(const FilterTarget& t, int tol) { RegionFill(t, tol); }

BENCHMARK(Fast24M<Blur>)->Args({2, 0})->Args({4, 0})->Args({9, 0})->Args({4, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<Soften>)->Args({4, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<ShrinkN>)->Args({2, 0})->Args({9, 0})->Args({20, 0})->Args({4, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<GrowN>)->Args({2, 0})->Args({9, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<Sharpen>)->Args({0, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<Edge>)->Args({10, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<Noise>)->Args({3, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(Fast24M<Region>)->Args({30, 0})->Unit(benchmark::kMillisecond);

// The per-window forms, on one megapixel (they are the slow yardstick).
template <void (*F)(const FilterTarget&, int)>
void Reference1M(benchmark::State& st) {
  static Pic p(1000, 1000, false);
  for (auto _ : st) {
    F(p.T(), int(st.range(0)));
    benchmark::DoNotOptimize(p.dst.data());
  }
}
template <void (*F)(const FilterTarget&, int)>
void Fast1M(benchmark::State& st) {
  static Pic p(1000, 1000, false);
  for (auto _ : st) {
    F(p.T(), int(st.range(0)));
    benchmark::DoNotOptimize(p.dst.data());
  }
}
void RefBlur(const FilterTarget& t, int n) { reference::WindowBlur(t, n, false); }
void RefShrink(const FilterTarget& t, int n) { reference::Shrink(t, n); }
void RefSharpen(const FilterTarget& t, int) { reference::GreyConvolve(t, SharpenKernel(), true); }
void RefNoise(const FilterTarget& t, int s) { reference::Denoise(t, s, 4); }
BENCHMARK(Reference1M<RefBlur>)->Arg(4)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast1M<Blur>)->Arg(4)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference1M<RefShrink>)->Arg(4)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast1M<ShrinkN>)->Arg(4)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference1M<RefSharpen>)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast1M<Sharpen>)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference1M<RefNoise>)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast1M<Noise>)->Arg(3)->Unit(benchmark::kMillisecond);

// Point operations on a 24-megapixel layer against one read-modify-write pass.
struct Stack {
  LayerStack L;
  Stack() {
    LayerAlloc a;
    a.width = a.canvasWidth = 6000;
    a.height = a.canvasHeight = 4000;
    a.initialAlpha = 255;
    L.AllocateLayer(0, a);
    L.slots[0].inUse = 1;
    L.bottom = L.active = 0;
    std::mt19937 rng(3);
    for (auto& b : L.slots[0].pixels) b = uint8_t(rng());
  }
};
Stack& Shared() {
  static Stack s;
  return s;
}

void ReadModifyWrite(benchmark::State& st) {
  Layer& l = Shared().L.slots[0];
  const int h = l.height, n = 3 * l.width;
  const size_t stride = size_t(l.stride);
  for (auto _ : st) {
    uint8_t* base = l.pixels.data();
    for (int y = 0; y < h; ++y) {
      uint8_t* p = base + size_t(y) * stride;
      for (int i = 0; i < n; ++i) p[i] = uint8_t(p[i] + 1);
    }
    benchmark::DoNotOptimize(l.pixels.data());
  }
}
void BrightnessContrast(benchmark::State& st) {
  for (auto _ : st) AdjustBrightnessContrast(Shared().L, 0, 5, 3);
}
void Offsets(benchmark::State& st) {
  for (auto _ : st) OffsetChannels(Shared().L, 0, 3, -2, 1);
}
void Levels(benchmark::State& st) {
  for (auto _ : st) StretchLevels(Shared().L, 0, 0, 10, 240);
}
void Invert(benchmark::State& st) {
  for (auto _ : st) InvertLayer(Shared().L, 0, nullptr);
}
BENCHMARK(ReadModifyWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BrightnessContrast)->Unit(benchmark::kMillisecond);
BENCHMARK(Offsets)->Unit(benchmark::kMillisecond);
BENCHMARK(Levels)->Unit(benchmark::kMillisecond);
BENCHMARK(Invert)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmira

BENCHMARK_MAIN();
