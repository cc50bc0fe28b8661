// Row bands, progress and cancellation shared by the filter routines.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "processing/filters.h"

namespace velmira {

// Reports progress over rows first…last − 1 when the percentage changes and asks
// about cancellation; the rows already written stay written. With bands on several
// threads only the first band talks to the caller; the others follow its stop flag.
class Rows {
 public:
  Rows(const FilterControl* c, int total) : Rows(c, 0, total, nullptr) {}
  Rows(const FilterControl* c, int first, int last, std::atomic<bool>* stop)
      : c_(c), first_(first), total_(last - first), stop_(stop) {}
  bool Next(int row) {
    if (stop_ && stop_->load(std::memory_order_relaxed)) return Stop(row);
    if (!c_) return true;
    if (c_->cancelled && c_->cancelled()) {
      if (stop_) stop_->store(true);
      return Stop(row);
    }
    if (c_->progress && total_ > 0) {
      const int p = int(int64_t(row - first_) * 100 / total_);
      if (p != last_) c_->progress(last_ = p);
    }
    return true;
  }
  void Done() {
    if (c_ && c_->progress) c_->progress(100);
  }
  // The row at which a cancel stopped the work, or −1.
  int StoppedAt() const { return stopped_; }

 private:
  bool Stop(int row) {
    if (stopped_ < 0) stopped_ = row;
    return false;
  }
  const FilterControl* c_;
  int first_;
  int total_;
  std::atomic<bool>* stop_;
  int last_ = -1;
  int stopped_ = -1;
};

// Worker threads for the filters: the cores, at most 8; VELMIRA_FILTER_THREADS
// overrides (benchmarks compare single-threaded runs with it).
inline int FilterThreads() {
  static const int n = [] {
    if (const char* e = std::getenv("VELMIRA_FILTER_THREADS")) {
      const int v = std::atoi(e);
      if (v >= 1) return std::min(v, 64);
    }
    return int(std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
  }();
  return n;
}

// Splits the rows into bands worked on by several threads when the picture is large
// enough to pay for them. Each band computes exactly what the serial loop computes
// for its rows (every output pixel depends only on the unfiltered input), so the
// result is the same byte for byte whatever the thread count.
template <class Body>
void ForBands(const FilterTarget& t, Body&& body) {
  const int h = t.height;
  int threads = FilterThreads();
  if (int64_t(t.width) * h < (int64_t(1) << 20)) threads = 1;
  threads = std::min(threads, std::max(1, h / 64));
  std::atomic<bool> stop{false};
  // A band that stops early leaves its remaining rows unfiltered; over a fresh dst
  // they still need the picture's bytes.
  auto band = [&](int y0, int y1, Rows& rows) {
    const bool finished = body(y0, y1, rows);
    if (!finished && t.dstFresh) KeepRows(t, rows.StoppedAt() < 0 ? y0 : rows.StoppedAt(), y1);
    return finished;
  };
  if (threads == 1) {
    Rows rows(t.control, 0, h, &stop);
    if (band(0, h, rows)) rows.Done();
    return;
  }
  std::vector<std::thread> pool;
  for (int k = 1; k < threads; ++k)
    pool.emplace_back([&, k] {
      Rows rows(nullptr, 0, 0, &stop);
      band(int(int64_t(h) * k / threads), int(int64_t(h) * (k + 1) / threads), rows);
    });
  Rows rows(t.control, 0, int(int64_t(h) / threads), &stop);
  const bool finished = band(0, int(int64_t(h) / threads), rows);
  for (auto& th : pool) th.join();
  if (finished && !stop.load()) rows.Done();
}

}  // namespace velmira
