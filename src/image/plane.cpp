#include "image/plane.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>

namespace velmira {

namespace {

constexpr size_t kHuge = size_t(2) << 20;

std::atomic<uint64_t> g_made{0}, g_bytes{0}, g_reused{0};

// Mappings released by planes, kept for the next plane of the same mapped size: a
// step that frees a layer's plane and builds one of the same size right after (undo,
// filters, flatten) then faults in nothing. Two entries bound what is held back.
struct Spare {
  void* p = nullptr;
  size_t mapped = 0;
};
std::mutex g_spareLock;
Spare g_spares[2];

void* TakeSpare(size_t mapped) {
  std::lock_guard<std::mutex> lock(g_spareLock);
  for (Spare& s : g_spares)
    if (s.p && s.mapped == mapped) {
      void* p = s.p;
      s = Spare{};
      return p;
    }
  return nullptr;
}

bool KeepSpare(void* p, size_t mapped) {
  std::lock_guard<std::mutex> lock(g_spareLock);
  for (Spare& s : g_spares)
    if (!s.p) {
      s = Spare{p, mapped};
      return true;
    }
  return false;
}

}  // namespace

PlaneStats GetPlaneStats() { return PlaneStats{g_made.load(), g_bytes.load(), g_reused.load()}; }

void ReleaseCachedBlocks() {
  std::lock_guard<std::mutex> lock(g_spareLock);
  for (Spare& s : g_spares)
    if (s.p) {
      munmap(s.p, s.mapped);
      s = Spare{};
    }
}

std::shared_ptr<PlaneBlock> PlaneBlock::Make(size_t size) {
  std::shared_ptr<PlaneBlock> b(new (std::nothrow) PlaneBlock());
  if (!b) return nullptr;
  b->size_ = size;
  if (size >= kHuge) {
    const size_t mapped = (size + kHuge - 1) / kHuge * kHuge;
    if (void* p = TakeSpare(mapped)) {
      g_reused.fetch_add(1);
      b->data_ = static_cast<uint8_t*>(p);
      b->mapped_ = mapped;
    } else {
      // Over-map by one huge page and trim, so the block starts on a 2 MiB boundary
      // and the kernel can back all of it with huge pages.
      void* raw = mmap(nullptr, mapped + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (raw == MAP_FAILED) return nullptr;
      const uintptr_t start = (reinterpret_cast<uintptr_t>(raw) + kHuge - 1) & ~uintptr_t(kHuge - 1);
      const size_t head = start - reinterpret_cast<uintptr_t>(raw);
      if (head) munmap(raw, head);
      if (kHuge - head) munmap(reinterpret_cast<void*>(start + mapped), kHuge - head);
#ifdef MADV_HUGEPAGE
      madvise(reinterpret_cast<void*>(start), mapped, MADV_HUGEPAGE);
#endif
      b->data_ = reinterpret_cast<uint8_t*>(start);
      b->mapped_ = mapped;
      b->zeroed_ = true;
    }
  } else {
    b->data_ = static_cast<uint8_t*>(std::malloc(std::max<size_t>(size, 1)));
    if (!b->data_) return nullptr;
  }
  g_made.fetch_add(1);
  g_bytes.fetch_add(size);
  return b;
}

PlaneBlock::~PlaneBlock() {
  if (!data_) return;
  if (mapped_) {
    if (!KeepSpare(data_, mapped_)) munmap(data_, mapped_);
  } else {
    std::free(data_);
  }
}

Plane& Plane::operator=(Plane&& o) noexcept {
  if (this != &o) {
    block_ = std::move(o.block_);
    size_ = o.size_;
    fill_ = o.fill_;
    o.block_.reset();
    o.size_ = 0;
    o.fill_ = 0;
  }
  return *this;
}

bool Plane::AllEqual(uint8_t v) const {
  if (!block_) return size_ == 0 || fill_ == v;
  const uint8_t* p = block_->data();
  return std::all_of(p, p + size_, [v](uint8_t b) { return b == v; });
}

uint8_t Plane::at(size_t i) const {
  if (i >= size_) throw std::out_of_range("Plane::at");
  return (*this)[i];
}

void Plane::Reset(size_t n, uint8_t fill) {
  block_.reset();
  size_ = n;
  fill_ = fill;
}

void Plane::assign(size_t n, uint8_t v) { Reset(n, v); }

void Plane::assign(const uint8_t* first, const uint8_t* last) {
  const size_t n = size_t(last - first);
  Reset(n, 0);
  if (n) std::memcpy(MakeBlock(false), first, n);
}

uint8_t* Plane::MakeBlock(bool fill) {
  auto b = PlaneBlock::Make(size_);
  if (!b) throw std::bad_alloc();
  if (fill && !(fill_ == 0 && b->Zeroed())) std::memset(b->data(), fill_, size_);
  block_ = std::move(b);
  return block_->data();
}

uint8_t* Plane::Overwrite() {
  if (size_ == 0) return nullptr;
  if (!block_ || block_.use_count() > 1) return MakeBlock(false);
  block_->NoteWritten();
  return block_->data();
}

uint8_t* Plane::Materialise() {
  if (!block_) MakeBlock(true);
  return block_->data();
}

uint8_t* Plane::MutableSlow() {
  if (!block_) return MakeBlock(true);
  if (block_.use_count() > 1) {
    // Another plane (a history snapshot, an edit copy, the decoded picture) reads
    // these bytes: this writer takes its own.
    std::shared_ptr<PlaneBlock> shared = std::move(block_);
    std::memcpy(MakeBlock(false), shared->data(), size_);
  }
  return block_->data();
}

void Plane::resize(size_t n, uint8_t v) {
  if (n == size_) return;
  if (!block_ && (v == fill_ || n < size_)) {
    size_ = n;
    return;
  }
  const std::shared_ptr<PlaneBlock> old = block_;
  const size_t keep = std::min(n, size_);
  const uint8_t oldFill = fill_;
  Reset(n, 0);
  if (n == 0) return;
  uint8_t* d = MakeBlock(false);
  if (old)
    std::memcpy(d, old->data(), keep);
  else
    std::memset(d, oldFill, keep);
  if (n > keep) std::memset(d + keep, v, n - keep);
}

void Plane::swap(Plane& o) noexcept {
  block_.swap(o.block_);
  std::swap(size_, o.size_);
  std::swap(fill_, o.fill_);
}

std::vector<uint8_t> Plane::ToVector() const {
  if (!block_) return std::vector<uint8_t>(size_, fill_);
  return std::vector<uint8_t>(block_->data(), block_->data() + size_);
}

bool operator==(const Plane& a, const Plane& b) {
  if (a.size_ != b.size_) return false;
  if (a.block_ == b.block_) return a.block_ || a.fill_ == b.fill_;
  if (!a.block_) return b.AllEqual(a.fill_);
  if (!b.block_) return a.AllEqual(b.fill_);
  return std::memcmp(a.block_->data(), b.block_->data(), a.size_) == 0;
}

bool operator==(const Plane& a, const std::vector<uint8_t>& b) {
  if (a.size_ != b.size()) return false;
  if (!a.block_) return std::all_of(b.begin(), b.end(), [&](uint8_t v) { return v == a.fill_; });
  return a.size_ == 0 || std::memcmp(a.block_->data(), b.data(), a.size_) == 0;
}

}  // namespace velmira
