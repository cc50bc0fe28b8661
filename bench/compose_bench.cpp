// Composition of a 4000 × 3000 canvas of 10 visible layers in mixed blend modes and
// transparencies: the whole canvas at 1:1 (merge, flatten, previews) and a
// 1920 × 1080 viewport at several zooms (every repaint of the view). Beside each, a
// memcpy of the bytes the composition reads and writes gives the memory-bandwidth
// floor the kernel is measured against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/compose.h"
#include "image/layer_effect.h"
#include "image/layers.h"
#include "image/view_mips.h"

using namespace velmira;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 10;

LayerStack& Stack() {
  static LayerStack st = [] {
    LayerStack s;
    s.header.canvasWidth = kW;
    s.header.canvasHeight = kH;
    s.header.bitsPerPixel = 24;
    std::mt19937 rng(1);
    const uint8_t modes[] = {0, 0, 2, 3, 0, 9, 5, 0, 8, 6};
    for (int i = 0; i < kLayers; ++i) {
      int slot = -1;
      s.InsertLayer(s.TopLayer(), -1, &slot);
      Layer& l = s.slots[slot];
      for (size_t k = 0; k < l.pixels.size(); k += 97) l.pixels[k] = uint8_t(rng());
      // Layers cover most of the canvas with soft edges; a third are fully opaque.
      for (int y = 0; y < l.height; ++y)
        for (int x = 0; x < l.width; ++x)
          l.alpha[size_t(y) * l.width + x] = (x + y * 3 + i * 101) % 37 == 0 ? 0 : (i % 3 == 0 ? 255 : 180);
      l.blend = modes[i];
      l.transparency = uint8_t(i % 4 == 1 ? 64 : 0);
    }
    return s;
  }();
  return st;
}

// Bytes a composition touches: per layer 3 colour + 1 coverage read, 4 target bytes
// read and written.
size_t TouchedBytes(size_t pixels) { return pixels * kLayers * (4 + 8); }

void BM_ComposeCanvas(benchmark::State& state) {
  LayerStack& st = Stack();
  std::vector<uint8_t> out;
  for (auto _ : state) {
    ComposeCanvas(st, {}, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TouchedBytes(size_t(kW) * kH)));
}
BENCHMARK(BM_ComposeCanvas)->Unit(benchmark::kMillisecond);

void BM_MemcpyCanvasEquivalent(benchmark::State& state) {
  const size_t n = TouchedBytes(size_t(kW) * kH);
  // Copy in 64 MiB pieces so the buffers stay of a sane size.
  const size_t piece = size_t(64) << 20;
  std::vector<uint8_t> a(piece, 1), b(piece, 2);
  for (auto _ : state) {
    for (size_t done = 0; done < n; done += piece) {
      std::memcpy(b.data(), a.data(), std::min(piece, n - done));
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n));
}
BENCHMARK(BM_MemcpyCanvasEquivalent)->Unit(benchmark::kMillisecond);

// The view's reduced copies of the layers, kept across iterations as the view keeps
// them across repaints.
ViewMips& Mips() {
  static ViewMips m;
  return m;
}

// Zoom in thousandths: 125 is 1:8, 16000 is 16:1. What the view does on a repaint
// that composes everything: reduced zooms read the layers' levels, here warm (built
// by the first iteration, as after the view's first frame at that zoom).
void ViewportBench(benchmark::State& state, int levels) {
  LayerStack& st = Stack();
  SetComposeThreads(int(state.range(1)));
  const float zoom = float(state.range(0)) / 1000.0f;
  // The window, or the whole picture where it is smaller at that zoom: the view
  // composes only the picture's part of its window.
  const int w = std::min(1920, int(kW * zoom)), h = std::min(1080, int(kH * zoom));
  std::vector<uint8_t> out(size_t(w) * h * 4);
  // The middle of the picture at that zoom.
  const int left = std::max(0, int(kW * zoom) / 2 - w / 2), top = std::max(0, int(kH * zoom) / 2 - h / 2);
  ViewMips* mips = levels ? &Mips() : nullptr;
  if (mips) {
    mips->Clear();
    // Warm: the view's first frame at this zoom built what it shows.
    ComposeViewport(st, {}, left, top, w, h, zoom, zoom, out.data(), size_t(w) * 4, mips);
  }
  for (auto _ : state) {
    // Cold: every level forgotten, as after an edit without a rectangle.
    if (levels == 2) mips->InvalidateAll();
    ComposeViewport(st, {}, left, top, w, h, zoom, zoom, out.data(), size_t(w) * 4, mips);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("zoom " + std::to_string(zoom) + (state.range(1) == 1 ? ", one thread" : "") +
                 (levels == 2 ? ", levels rebuilt" : levels == 0 ? ", no levels" : ""));
  if (mips) state.counters["level MB"] = double(mips->BuiltBytes()) / 1e6;
  SetComposeThreads(0);
}
void BM_ComposeViewport(benchmark::State& state) { ViewportBench(state, 1); }
void BM_ComposeViewportColdLevels(benchmark::State& state) { ViewportBench(state, 2); }
void BM_ComposeViewportNoLevels(benchmark::State& state) { ViewportBench(state, 0); }
BENCHMARK(BM_ComposeViewport)
    ->ArgNames({"zoom", "threads"})
    ->Args({125, 0})
    ->Args({250, 0})
    ->Args({300, 0})
    ->Args({500, 0})
    ->Args({1000, 0})
    ->Args({4000, 0})
    ->Args({16000, 0})
    ->Args({1000, 1})
    ->Args({250, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeViewportColdLevels)
    ->ArgNames({"zoom", "threads"})
    ->Args({125, 0})
    ->Args({250, 0})
    ->Args({500, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeViewportNoLevels)
    ->ArgNames({"zoom", "threads"})
    ->Args({125, 0})
    ->Args({250, 0})
    ->Args({500, 0})
    ->Unit(benchmark::kMillisecond);

// What one brush dab repaints, the way the view does it: a 256 × 256 canvas
// rectangle at 1:1 widens to the 259 × 259 output pixels that can show it, composed
// in place into the window's 1920 × 1080 buffer.
void BM_ComposeDirtyRect(benchmark::State& state) {
  LayerStack& st = Stack();
  const int W = 1920, H = 1080, w = 259, h = 259;
  std::vector<uint8_t> out(size_t(W) * H * 4);
  const int left = kW / 2 - W / 2, top = kH / 2 - H / 2, i0 = 700, j0 = 400;
  for (auto _ : state) {
    ComposeViewport(st, {}, left + i0, top + j0, w, h, 1.0f, 1.0f, out.data() + (size_t(j0) * W + i0) * 4,
                    size_t(W) * 4, &Mips());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ComposeDirtyRect)->Unit(benchmark::kMillisecond);

// The same dab at zoom ¼: the levels forget the rectangle and rebuild their tiles
// over it (one layer changed), then the output pixels over it are composed.
void BM_ComposeDirtyRectQuarter(benchmark::State& state) {
  LayerStack& st = Stack();
  const int W = 1000, H = 750;
  std::vector<uint8_t> out(size_t(W) * H * 4);
  ViewMips& mips = Mips();
  mips.Clear();
  ComposeViewport(st, {}, 0, 0, W, H, 0.25f, 0.25f, out.data(), size_t(W) * 4, &mips);
  const CanvasRect dab{kW / 2, kH / 2, 256, 256};
  const int i0 = dab.x / 4 - 1, j0 = (kH - dab.y - dab.h) / 4 - 1, w = 256 / 4 + 4, h = 256 / 4 + 4;
  for (auto _ : state) {
    mips.Invalidate(dab, st.TopLayer());
    ComposeViewport(st, {}, i0, j0, w, h, 0.25f, 0.25f, out.data() + (size_t(j0) * W + i0) * 4, size_t(W) * 4,
                    &mips);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ComposeDirtyRectQuarter)->Unit(benchmark::kMillisecond);

void BM_MemcpyViewportEquivalent(benchmark::State& state) {
  const size_t n = TouchedBytes(size_t(1920) * 1080);
  std::vector<uint8_t> a(n, 1), b(n, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n));
}
BENCHMARK(BM_MemcpyViewportEquivalent)->Unit(benchmark::kMillisecond);

// The display's first step with three of the ten layers shadowed: while their content
// is unchanged it only checks their fingerprints (arg 0); after an edit of one of
// them (arg 1) that layer's shadow is recomputed; arg 2 skips the step and gives the
// floor. Each is followed by the 100 % viewport composition, as in the view.
void BM_ShadowRefreshThenViewport(benchmark::State& state) {
  // The shared stack, with the shadows switched on for this benchmark only (a copy
  // would need another 600 MB).
  LayerStack& st = Stack();
  int k = 0;
  for (int slot : st.Chain())
    if (k++ % 3 == 1) {
      Layer& l = st.slots[slot];
      l.effectOn = 1;
      l.effectSize = 4;
    }
  RefreshLayerEffects(st);
  const bool edit = state.range(0) == 1, refresh = state.range(0) != 2;
  const int w = 1920, h = 1080;
  std::vector<uint8_t> out(size_t(w) * h * 4);
  Layer* edited = nullptr;
  for (int slot : st.Chain())
    if (st.slots[slot].effectOn) edited = &st.slots[slot];
  int recomputed = 0;
  uint8_t v = 0;
  for (auto _ : state) {
    if (edit) edited->alpha[12345] = ++v;  // what one brush dab does
    if (refresh) recomputed += RefreshLayerEffects(st);
    ComposeViewport(st, {}, kW / 2 - w / 2, kH / 2 - h / 2, w, h, 1.0f, 1.0f, out.data(), size_t(w) * 4);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["recomputed/iter"] = double(recomputed) / double(state.iterations());
  for (int slot : st.Chain()) st.slots[slot].effectOn = 0;
  state.SetLabel(edit ? "one shadowed layer edited each time" : refresh ? "unchanged" : "no refresh (the floor)");
}
BENCHMARK(BM_ShadowRefreshThenViewport)->Arg(2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
