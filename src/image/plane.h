// Plane: a byte plane of a document (layer pixels, transparency, effect, selection
// mask, edit copies) that costs no memory until something writes it.
//
// A plane has a logical size and a uniform value. Until a writer asks for its bytes it
// holds no block at all and every read gives the uniform value; the first writable
// access builds the block, filled with that value. Copies share one block and the
// first writer takes its own (copy on write), so history snapshots, edit copies and
// the picture a file was decoded into cost nothing until one side changes.
//
// Large blocks come from the kernel with transparent huge pages asked for, and the
// most recently released ones are kept for the next plane of the same size: a 24
// megapixel document otherwise pays a page fault for every 4 KiB it touches.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

namespace velmira {

// One block of bytes. Blocks of 2 MiB and more are mapped and advised as huge pages.
class PlaneBlock {
 public:
  // nullptr when out of memory.
  static std::shared_ptr<PlaneBlock> Make(size_t size);
  ~PlaneBlock();
  PlaneBlock(const PlaneBlock&) = delete;
  PlaneBlock& operator=(const PlaneBlock&) = delete;
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // True when the bytes are known to be zero (a fresh mapping).
  bool Zeroed() const { return zeroed_; }
  // Every writer that reaches the bytes in place notes it: a reader that keeps
  // something derived from a block (the view's reduced layers) takes the note to
  // learn that its copy is out of date. A shared block is never written in place.
  void NoteWritten() { written_.store(true, std::memory_order_relaxed); }
  bool TakeWritten() { return written_.exchange(false, std::memory_order_relaxed); }

 private:
  PlaneBlock() = default;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // bytes mapped; 0 for a heap block
  bool zeroed_ = false;
  std::atomic<bool> written_{false};
};

// Counters for tests and benchmarks: blocks built since the start of the process.
struct PlaneStats {
  uint64_t blocksMade = 0;
  uint64_t bytesMade = 0;
  uint64_t reused = 0;
};
PlaneStats GetPlaneStats();
// Drops the blocks kept for reuse (tests, and before a measurement).
void ReleaseCachedBlocks();

class Plane {
 public:
  Plane() = default;
  Plane(size_t n, uint8_t fill) : size_(n), fill_(fill) {}
  Plane(const Plane&) = default;
  Plane& operator=(const Plane&) = default;
  Plane(Plane&& o) noexcept { *this = std::move(o); }
  Plane& operator=(Plane&& o) noexcept;
  Plane(const std::vector<uint8_t>& v) { assign(v.begin(), v.end()); }
  Plane& operator=(const std::vector<uint8_t>& v) {
    assign(v.begin(), v.end());
    return *this;
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Whether a block is held; without one every byte reads as Fill().
  bool Allocated() const { return block_ != nullptr; }
  uint8_t Fill() const { return fill_; }
  // Bytes to read without building anything: nullptr when no block is held.
  const uint8_t* Peek() const { return block_ ? block_->data() : nullptr; }
  // Whether two planes share one block.
  bool SharesBlockWith(const Plane& o) const { return block_ && block_ == o.block_; }
  // Every byte equals v (without building a block).
  bool AllEqual(uint8_t v) const;

  // Reads never build a block.
  uint8_t operator[](size_t i) const { return block_ ? block_->data()[i] : fill_; }
  uint8_t at(size_t i) const;
  // Writable access builds (or unshares) the block first.
  uint8_t& operator[](size_t i) { return Mutable()[i]; }
  uint8_t* data() { return size_ ? Mutable() : nullptr; }
  // A private block whose bytes the caller overwrites at once (a file read):
  // neither filled nor copied.
  uint8_t* Overwrite();
  uint8_t* begin() { return data(); }
  uint8_t* end() { return data() + size_; }
  // Const pointers to the bytes build a block when none is held: callers that read
  // a whole plane through a pointer get real bytes. Hot readers use Peek().
  const uint8_t* data() const { return size_ ? const_cast<Plane*>(this)->Materialise() : nullptr; }
  const uint8_t* begin() const { return data(); }
  const uint8_t* end() const { return data() + size_; }

  // n bytes of v, held as a uniform plane.
  void assign(size_t n, uint8_t v);
  template <class It>
    requires(!std::is_integral_v<It>)
  void assign(It first, It last) {
    const size_t n = size_t(std::distance(first, last));
    Reset(n, 0);
    if (n == 0) return;
    uint8_t* d = MakeBlock(false);
    for (size_t i = 0; first != last; ++first, ++i) d[i] = uint8_t(*first);
  }
  void assign(const uint8_t* first, const uint8_t* last);
  // Keeps the first min(n, size) bytes; new bytes are v.
  void resize(size_t n, uint8_t v = 0);
  void clear() { Reset(0, 0); }
  void shrink_to_fit() {}
  void swap(Plane& o) noexcept;
  // Frees the block and sets the uniform value.
  void Reset(size_t n, uint8_t fill);
  // A plane of n bytes reading `block` (shared with whoever else holds it).
  static Plane Sharing(std::shared_ptr<PlaneBlock> block, size_t n) {
    Plane p;
    p.block_ = std::move(block);
    p.size_ = p.block_ ? n : 0;
    return p;
  }
  const std::shared_ptr<PlaneBlock>& Block() const { return block_; }
  // A private copy of the bytes.
  std::vector<uint8_t> ToVector() const;
  // Code that works on plain byte vectors takes a copy.
  operator std::vector<uint8_t>() const { return ToVector(); }

  friend bool operator==(const Plane& a, const Plane& b);
  friend bool operator==(const Plane& a, const std::vector<uint8_t>& b);

 private:
  // Per-pixel writers come through here: the common case stays inline.
  uint8_t* Mutable() {
    if (block_ && block_.use_count() == 1) {
      block_->NoteWritten();
      return block_->data();
    }
    return MutableSlow();
  }
  uint8_t* MutableSlow();
  uint8_t* Materialise();
  // A fresh private block for size_ bytes; filled with fill_ when `fill`.
  uint8_t* MakeBlock(bool fill);

  std::shared_ptr<PlaneBlock> block_;
  size_t size_ = 0;
  uint8_t fill_ = 0;
};

}  // namespace velmira
