// History recording on a 4000 × 3000 picture of three 24-bit layers: 25 steps of
// single-layer edits, then undo and redo across them. Each step is shown with the
// bytes it wrote to (or read from) the temporary folder and its time, beside one
// fwrite (fread) of the same number of bytes in the same folder, the floor any
// history that keeps its steps on disk pays.
//
// The table comes first; the Google Benchmark cases after it repeat the steady
// state (a step inside the 19-step window, undo, redo) for more stable figures.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/history.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 3, kSteps = 25;

class BenchHost : public HistoryHost {
 public:
  explicit BenchHost(fs::path folder) : folder_(std::move(folder)) {}
  LayerStack& Layers() override { return stack; }
  CImageBuffer* ViewImage() override { return nullptr; }
  int Serial() const override { return 101; }
  fs::path TempFolder() const override { return folder_; }
  int CurrentToolId() const override { return -1; }
  void SetModified(bool) override {}
  void SetBusy(bool) override {}
  void HistoryChanged() override {}
  void LayersChanged() override {}
  void SetTitleText(const std::string&) override {}
  void ShowMessage(const std::string& t) override { std::fprintf(stderr, "message: %s\n", t.c_str()); }
  LayerStack stack;

 private:
  fs::path folder_;
};

fs::path g_folder;
fs::path Folder() { return g_folder; }
void UseFolder(const fs::path& base) {
  g_folder = base / ("velmira-history-bench-" + std::to_string(::getpid()));
  fs::create_directories(g_folder);
}

struct Doc {
  std::unique_ptr<BenchHost> host;
  std::unique_ptr<CHistory> history;
};

Doc MakeDoc() {
  Doc d;
  d.host = std::make_unique<BenchHost>(Folder());
  LayerStack& s = d.host->stack;
  s.header.canvasWidth = kW;
  s.header.canvasHeight = kH;
  s.header.bitsPerPixel = 24;
  std::mt19937 rng(7);
  for (int i = 0; i < kLayers; ++i) {
    int slot = -1;
    s.InsertLayer(s.TopLayer(), -1, &slot);
    Layer& l = s.slots[slot];
    for (size_t k = 0; k < l.pixels.size(); k += 61) l.pixels[k] = uint8_t(rng());
    std::fill(l.alpha.begin(), l.alpha.end(), uint8_t(i == 0 ? 255 : 180));
  }
  s.active = 0;
  d.history = std::make_unique<CHistory>(*d.host);
  d.history->RecordStep("Opening....", kStepPixels, 0);
  return d;
}

// A brush-sized change of one layer, done the way every command does it.
void Edit(Doc& d, int step) {
  const int slot = step % kLayers;
  d.history->RevertLayer(slot, false);
  d.host->stack.active = slot;
  Layer& l = d.host->stack.slots[slot];
  for (int y = 1000; y < 1200; ++y)
    std::memset(l.pixels.data() + size_t(y) * size_t(l.stride) + 3000, uint8_t(step), 600);
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One fwrite of `n` bytes into a new file of the folder. The files are kept, as
// the history keeps its own, so both meet the same write-back of dirty pages.
double RawWrite(const std::vector<uint8_t>& buffer, size_t n) {
  static int serial = 0;
  const fs::path p = Folder() / ("raw_" + std::to_string(++serial) + ".bin");
  const auto t0 = std::chrono::steady_clock::now();
  FILE* f = std::fopen(p.c_str(), "wb");
  std::fwrite(buffer.data(), 1, n, f);
  std::fclose(f);
  return Seconds(std::chrono::steady_clock::now() - t0);
}

fs::path RawFile(const std::vector<uint8_t>& buffer, size_t n) {
  const fs::path p = Folder() / "raw_read.bin";
  FILE* f = std::fopen(p.c_str(), "wb");
  std::fwrite(buffer.data(), 1, n, f);
  std::fclose(f);
  return p;
}

// One fread of `n` bytes from a file the page cache holds, into a buffer that was
// used before (no page faults): the floor for reading a step back.
double RawRead(const fs::path& p, std::vector<uint8_t>& buffer, size_t n) {
  const auto t0 = std::chrono::steady_clock::now();
  FILE* f = std::fopen(p.c_str(), "rb");
  const size_t got = std::fread(buffer.data(), 1, n, f);
  std::fclose(f);
  const double s = Seconds(std::chrono::steady_clock::now() - t0);
  return got == n ? s : -1;
}

std::vector<uint8_t>& Scratch() {
  static std::vector<uint8_t> b(size_t(400) << 20, 1);
  return b;
}

void PrintTable() {
  Doc d = MakeDoc();
  std::printf("History on disk, %d x %d, %d layers of 24 bits; folder %s\n", kW, kH, kLayers, Folder().c_str());
  std::printf("%-10s %12s %10s %10s %7s\n", "step", "bytes", "ms", "fwrite ms", "ratio");
  double sum = 0, rawSum = 0;
  for (int k = 1; k <= kSteps; ++k) {
    Edit(d, k);
    const uint64_t before = d.history->Io().written;
    const auto t0 = std::chrono::steady_clock::now();
    d.history->RecordStep("칠하기", kStepPixels, k % kLayers);
    const double s = Seconds(std::chrono::steady_clock::now() - t0);
    const size_t bytes = size_t(d.history->Io().written - before);
    const double raw = RawWrite(Scratch(), bytes);
    sum += s, rawSum += raw;
    std::printf("record %-3d %12zu %10.1f %10.1f %7.2f\n", k, bytes, s * 1e3, raw * 1e3, s / raw);
  }
  std::printf("%-10s %12s %10.1f %10.1f %7.2f\n\n", "all", "", sum * 1e3, rawSum * 1e3, sum / rawSum);

  std::printf("%-10s %12s %10s %10s %7s\n", "step", "bytes read", "ms", "fread ms", "ratio");
  auto one = [&](const char* what, int step, bool undo) {
    const uint64_t readBefore = d.history->Io().read, writtenBefore = d.history->Io().written;
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = undo ? d.history->Undo() : d.history->Redo();
    const double s = Seconds(std::chrono::steady_clock::now() - t0);
    const size_t bytes = size_t(d.history->Io().read - readBefore);
    const size_t written = size_t(d.history->Io().written - writtenBefore);
    const double raw = RawRead(RawFile(Scratch(), bytes), Scratch(), bytes);
    std::printf("%s %-4d %12zu %10.1f %10.1f %7.2f%s%s\n", what, step, bytes, s * 1e3, raw * 1e3, s / raw,
                ok ? "" : "  FAILED", written ? "  (also wrote the redo copy of the document)" : "");
  };
  while (d.history->CanUndo()) one("undo to", d.history->Step() - 1, true);
  while (d.history->CanRedo()) one("redo to", d.history->Step() + 1, false);
  std::printf("\n");
}

// Steady state: a step inside the full window (renames included).
void BM_RecordStep(benchmark::State& state) {
  Doc d = MakeDoc();
  int k = 1;
  for (; k <= 19; ++k) {
    Edit(d, k);
    d.history->RecordStep("칠하기", kStepPixels, k % kLayers);
  }
  uint64_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Edit(d, ++k);
    const uint64_t before = d.history->Io().written;
    state.ResumeTiming();
    d.history->RecordStep("칠하기", kStepPixels, k % kLayers);
    bytes += d.history->Io().written - before;
  }
  state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_RecordStep)->Unit(benchmark::kMillisecond)->Iterations(12)->UseRealTime();

void BM_RawFwrite(benchmark::State& state) {
  const size_t n = size_t(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(RawWrite(Scratch(), n));
  state.SetBytesProcessed(int64_t(n) * int64_t(state.iterations()));
}
// One layer of the picture: pixels, transparency, effect plane and selection mask.
BENCHMARK(BM_RawFwrite)->Arg(int64_t(kW) * kH * 6)->Unit(benchmark::kMillisecond)->Iterations(12)->UseRealTime();

// One iteration is an undo and a redo: two steps, two layer files read.
void BM_UndoRedo(benchmark::State& state) {
  Doc d = MakeDoc();
  for (int k = 1; k <= 10; ++k) {
    Edit(d, k);
    d.history->RecordStep("칠하기", kStepPixels, k % kLayers);
  }
  uint64_t bytes = 0;
  for (auto _ : state) {
    const uint64_t before = d.history->Io().read;
    if (!d.history->Undo() || !d.history->Redo()) state.SkipWithError("undo or redo failed");
    bytes += d.history->Io().read - before;
  }
  state.SetBytesProcessed(int64_t(bytes));
  state.counters["steps"] = benchmark::Counter(2.0 * double(state.iterations()));
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond)->Iterations(12)->UseRealTime();

void BM_RawFread(benchmark::State& state) {
  const size_t n = size_t(state.range(0));
  const fs::path p = RawFile(Scratch(), n);
  for (auto _ : state) benchmark::DoNotOptimize(RawRead(p, Scratch(), n));
  state.SetBytesProcessed(int64_t(n) * int64_t(state.iterations()));
}
BENCHMARK(BM_RawFread)->Arg(int64_t(kW) * kH * 6)->Unit(benchmark::kMillisecond)->Iterations(12)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The temporary folder as the editor has it (a disk), then memory when the
  // system offers a tmpfs: the difference is the disk's write-back.
  const char* dir = std::getenv("VELMIRA_BENCH_DIR");
  const fs::path disk = dir ? fs::path(dir) : fs::temp_directory_path();
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
    UseFolder("/dev/shm");
    PrintTable();
    fs::remove_all(Folder(), ec);
  }
  UseFolder(disk);
  PrintTable();
  for (const auto& e : fs::directory_iterator(Folder(), ec))
    if (e.path().filename().string().rfind("raw_", 0) == 0) fs::remove(e.path(), ec);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(Folder(), ec);
  return 0;
}
