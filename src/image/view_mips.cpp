#include "image/view_mips.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace velmira {

CanvasRect CanvasRect::United(const CanvasRect& o) const {
  if (Empty()) return o;
  if (o.Empty()) return *this;
  const int x0 = std::min(x, o.x), y0 = std::min(y, o.y);
  const int x1 = std::max(x + w, o.x + o.w), y1 = std::max(y + h, o.y + o.h);
  return {x0, y0, x1 - x0, y1 - y0};
}

CanvasRect CanvasRect::Intersected(const CanvasRect& o) const {
  const int x0 = std::max(x, o.x), y0 = std::max(y, o.y);
  const int x1 = std::min(x + w, o.x + o.w), y1 = std::min(y + h, o.y + o.h);
  if (x1 <= x0 || y1 <= y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

namespace {

constexpr int kTile = 64;    // cells a tile side
constexpr size_t kPad = 64;  // bytes after each plane, for vector loads

// Smallest m with m × 2^k ≥ v (v may be negative).
int CeilShift(int v, int k) { return v >= 0 ? (v + (1 << k) - 1) >> k : -((-v) >> k); }

// Memory for a level, mapped so that only the pages a built tile writes are ever
// backed: a level asked for over a small part of a large layer stays small.
class LazyBytes {
 public:
  LazyBytes() = default;
  explicit LazyBytes(size_t n) {
    if (n == 0) return;
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    data_ = static_cast<uint8_t*>(p);
    size_ = n;
    // Every layer's level is read row by row at once: huge pages spare the
    // composition a translation miss every few rows per layer.
    if (n >= (size_t(4) << 20)) madvise(p, n, MADV_HUGEPAGE);
  }
  ~LazyBytes() {
    if (data_) munmap(data_, size_);
  }
  LazyBytes(const LazyBytes&) = delete;
  LazyBytes& operator=(const LazyBytes&) = delete;
  uint8_t* data() const { return data_; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace

// The cells of one level: those whose sample point lies on the layer and on the
// canvas, columns [m0, m0 + w) and rows [q0, q0 + h) counted from the top.
struct ViewMips::Grid {
  int m0 = 0, q0 = 0, w = 0, h = 0;
  int tilesX = 0, tilesY = 0;
  size_t pixStride = 0;
  std::vector<uint8_t> valid;  // per tile
  size_t validCount = 0;
  std::unique_ptr<LazyBytes> mem;
  uint8_t* pix = nullptr;
  uint8_t* alpha = nullptr;
  MipLevelView view;
};

// What a slot's levels were built from; any difference drops them.
struct ViewMips::Slot {
  int canvasW = 0, canvasH = 0, x = 0, y = 0, width = 0, height = 0, stride = 0;
  // The planes' blocks (weak: the cache must not make a writer copy them) or, for
  // a plane without one, its uniform value.
  std::weak_ptr<PlaneBlock> pixBlock, alphaBlock;
  bool pixHeld = false, alphaHeld = false;
  uint8_t pixFill = 0, alphaFill = 0;
  std::array<std::unique_ptr<Grid>, kMaxMipLevel + 1> levels;

  bool Matches(const LayerStack& st, const Layer& l) const {
    return canvasW == st.header.canvasWidth && canvasH == st.header.canvasHeight && x == l.x && y == l.y &&
           width == l.width && height == l.height && stride == l.stride;
  }
  static bool Same(const Plane& p, const std::weak_ptr<PlaneBlock>& w, bool held, uint8_t fill) {
    if (!p.Allocated()) return !held && p.Fill() == fill;
    // Owner comparison: a block freed and another made at the same address differ.
    return held && !w.expired() && !w.owner_before(p.Block()) && !p.Block().owner_before(w);
  }
  // Whether the planes are the ones the levels were built from, unwritten since.
  bool Unchanged(const Layer& l) const {
    const bool same = Same(l.pixels, pixBlock, pixHeld, pixFill) && Same(l.alpha, alphaBlock, alphaHeld, alphaFill);
    // Both notes are taken either way, so that they count from now on.
    const bool wp = l.pixels.Allocated() && l.pixels.Block()->TakeWritten();
    const bool wa = l.alpha.Allocated() && l.alpha.Block()->TakeWritten();
    return same && !wp && !wa;
  }
  void NotePlanes(const Layer& l) {
    pixHeld = l.pixels.Allocated(), alphaHeld = l.alpha.Allocated();
    pixBlock = l.pixels.Block(), alphaBlock = l.alpha.Block();
    pixFill = l.pixels.Fill(), alphaFill = l.alpha.Fill();
    if (pixHeld) l.pixels.Block()->TakeWritten();
    if (alphaHeld) l.alpha.Block()->TakeWritten();
  }
  void Take(const LayerStack& st, const Layer& l) {
    canvasW = st.header.canvasWidth, canvasH = st.header.canvasHeight;
    x = l.x, y = l.y, width = l.width, height = l.height, stride = l.stride;
    NotePlanes(l);
    for (auto& lv : levels) lv.reset();
  }
};

ViewMips::ViewMips() = default;
ViewMips::~ViewMips() = default;

bool ViewMips::Represents(const LayerStack& st, const Layer& l) {
  if (l.kind == kLayerText || st.LayerBpp(l) != 24) return false;
  if (l.effectOn && l.effect.size() == size_t(l.pixelCount)) return false;
  return l.width > 0 && l.height > 0 && l.alpha.size() == size_t(l.pixelCount) &&
         l.pixels.size() >= size_t(l.imageSize) && size_t(l.stride) * size_t(l.height) <= l.pixels.size() &&
         size_t(l.stride) >= size_t(l.width) * 3;
}

ViewMips::Grid* ViewMips::Prepare(const LayerStack& st, int slot, int k) {
  if (!st.Used(slot) || k < 1 || k > kMaxMipLevel) return nullptr;
  const Layer& l = st.slots[slot];
  if (!Represents(st, l)) return nullptr;
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (cw <= 0 || ch <= 0) return nullptr;
  auto& sp = slots_[size_t(slot)];
  if (!sp) sp = std::make_unique<Slot>();
  if (!sp->Matches(st, l)) sp->Take(st, l);
  auto& lp = sp->levels[size_t(k)];
  if (!lp) {
    // Canvas columns [l.x, l.x + width) ∩ [0, cw); rows from the top
    // [ch − height + l.y, ch + l.y) ∩ [0, ch).
    const int xa = std::max(0, l.x), xb = std::min(cw, l.x + l.width);
    const int ya = std::max(0, ch - l.height + l.y), yb = std::min(ch, ch + l.y);
    auto lv = std::make_unique<ViewMips::Grid>();
    lv->m0 = CeilShift(xa, k);
    lv->q0 = CeilShift(ya, k);
    lv->w = std::max(0, CeilShift(xb, k) - lv->m0);
    lv->h = std::max(0, CeilShift(yb, k) - lv->q0);
    if (lv->w > 0 && lv->h > 0) {
      lv->tilesX = (lv->w + kTile - 1) / kTile;
      lv->tilesY = (lv->h + kTile - 1) / kTile;
      lv->valid.assign(size_t(lv->tilesX) * size_t(lv->tilesY), 0);
      lv->pixStride = (size_t(lv->w) * 3 + 3) & ~size_t(3);
      const size_t pixBytes = lv->pixStride * size_t(lv->h) + kPad;
      const size_t alphaBytes = size_t(lv->w) * size_t(lv->h) + kPad;
      lv->mem = std::make_unique<LazyBytes>(pixBytes + alphaBytes);
      if (!lv->mem->data()) return nullptr;  // no memory: the layer is read directly
      lv->pix = lv->mem->data();
      lv->alpha = lv->pix + pixBytes;
      const int chk = CeilShift(ch, k);
      MipLevelView& v = lv->view;
      v.pixels = lv->pix;
      v.alpha = lv->alpha;
      v.pixStride = lv->pixStride;
      v.alphaStride = size_t(lv->w);
      v.width = lv->w;
      v.height = lv->h;
      v.x = lv->m0;
      // Stored row s shows top row q0 + h − 1 − s, which is level canvas row
      // chk − 1 − (q0 + h − 1 − s) counted from the bottom; the offset makes the two agree.
      v.y = lv->q0 + lv->h - chk;
      v.pixEnd = lv->pix + lv->pixStride * size_t(lv->h);
      v.fillPixels = lv->pix;
      v.fillAlpha = lv->alpha;
    }
    lp = std::move(lv);
  }
  if (lp->w <= 0 || lp->h <= 0) return nullptr;
  return lp.get();
}

MipLevelView* ViewMips::Target(const LayerStack& st, int slot, int k) {
  ViewMips::Grid* g = Prepare(st, slot, k);
  return g ? &g->view : nullptr;
}

void ViewMips::MarkBuilt(int slot, int k, int c0, int r0, int c1, int r1) {
  if (slot < 0 || slot >= kMaxLayers || k < 1 || k > kMaxMipLevel || !slots_[size_t(slot)]) return;
  ViewMips::Grid* lv = slots_[size_t(slot)]->levels[size_t(k)].get();
  if (!lv || lv->w <= 0 || lv->h <= 0) return;
  // Tiles whose cells (within the level) all lie in the written cells.
  for (int u = 0; u < lv->tilesY; ++u) {
    const int qa = lv->q0 + u * kTile, qb = lv->q0 + std::min(lv->h, (u + 1) * kTile);
    if (qa < r0 || qb > r1) continue;
    for (int t = 0; t < lv->tilesX; ++t) {
      const int ma = lv->m0 + t * kTile, mb = lv->m0 + std::min(lv->w, (t + 1) * kTile);
      if (ma < c0 || mb > c1) continue;
      uint8_t& ok = lv->valid[size_t(u) * size_t(lv->tilesX) + size_t(t)];
      if (!ok) {
        ok = 1;
        ++lv->validCount;
        ++tilesBuilt_;
      }
    }
  }
}

const MipLevelView* ViewMips::Level(const LayerStack& st, int slot, int k, int c0, int r0, int c1, int r1,
                                    bool build) {
  ViewMips::Grid* g = Prepare(st, slot, k);
  if (!g) return nullptr;
  ViewMips::Grid& lv = *g;
  const Layer& l = st.slots[slot];
  const int ch = st.header.canvasHeight;
  // Tiles over the asked cells.
  const int ta = std::clamp((c0 - lv.m0) / kTile, 0, lv.tilesX - 1);
  const int tb = std::clamp((c1 - 1 - lv.m0) / kTile, 0, lv.tilesX - 1);
  const int ua = std::clamp((r0 - lv.q0) / kTile, 0, lv.tilesY - 1);
  const int ub = std::clamp((r1 - 1 - lv.q0) / kTile, 0, lv.tilesY - 1);
  if (c1 <= lv.m0 || c0 >= lv.m0 + lv.w || r1 <= lv.q0 || r0 >= lv.q0 + lv.h) return &lv.view;
  const uint8_t* pixBase = l.pixels.Peek();
  const uint8_t* alphaBase = l.alpha.Peek();
  const uint8_t pixFill = l.pixels.Fill(), alphaFill = l.alpha.Fill();
  const size_t stride = size_t(l.stride), lw = size_t(l.width);
  std::vector<std::pair<int, int>> todo;
  for (int u = ua; u <= ub; ++u)
    for (int t = ta; t <= tb; ++t)
      if (!lv.valid[size_t(u) * size_t(lv.tilesX) + size_t(t)]) todo.emplace_back(t, u);
  if (todo.empty()) return &lv.view;
  // Without `build` the caller can fill the level itself while composing; that is
  // worth it when most of the asked tiles are missing. A few (the tiles along the
  // edges of a view, which a fill never covers whole) are built here.
  const size_t asked = size_t(tb - ta + 1) * size_t(ub - ua + 1);
  if (!build && todo.size() * 2 > asked) return nullptr;
  const auto buildTile = [&](int t, int u) {
    const int mA = t * kTile, mB = std::min(lv.w, mA + kTile);
    const int qA = u * kTile, qB = std::min(lv.h, qA + kTile);
    const int n = mB - mA;
    const size_t lc0 = size_t(((lv.m0 + mA) << k) - l.x);
    const size_t step = size_t(1) << k;
    for (int qi = qA; qi < qB; ++qi) {
      const int top = (lv.q0 + qi) << k;  // canvas row from the top
      const size_t lr = size_t(ch - 1 - top + l.y);
      const size_t s = size_t(lv.h - 1 - qi);
      uint8_t* dp = lv.pix + s * lv.pixStride + 3 * size_t(mA);
      uint8_t* da = lv.alpha + s * size_t(lv.w) + size_t(mA);
      if (pixBase) {
        const uint8_t* sp = pixBase + lr * stride + 3 * lc0;
        // Four bytes at a time: the fourth lands on the next cell, written next.
        int i = 0;
        for (; i + 1 < n; ++i, sp += 3 * step) {
          uint32_t v;
          std::memcpy(&v, sp, 4);
          std::memcpy(dp + 3 * size_t(i), &v, 4);
        }
        std::memcpy(dp + 3 * size_t(i), sp, 3);
      } else {
        std::memset(dp, pixFill, 3 * size_t(n));
      }
      if (alphaBase) {
        const uint8_t* sa = alphaBase + lr * lw + lc0;
        for (int i = 0; i < n; ++i, sa += step) da[i] = *sa;
      } else {
        std::memset(da, alphaFill, size_t(n));
      }
    }
  };
  // Tiles are independent: a large build (a first frame, an edit of a large area)
  // is shared with a second thread, tiles taken in turn.
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i = next.fetch_add(1); i < todo.size(); i = next.fetch_add(1)) buildTile(todo[i].first, todo[i].second);
  };
  std::thread helper;
  if (todo.size() >= 8 && std::thread::hardware_concurrency() > 1) {
    try {
      helper = std::thread(work);
    } catch (const std::system_error&) {
      // No thread to be had: all tiles are built here.
    }
  }
  work();
  if (helper.joinable()) helper.join();
  for (const auto& [t, u] : todo) lv.valid[size_t(u) * size_t(lv.tilesX) + size_t(t)] = 1;
  lv.validCount += todo.size();
  tilesBuilt_ += todo.size();
  return &lv.view;
}

void ViewMips::Invalidate(const CanvasRect& r, int slot) {
  if (r.Empty()) return;
  for (int s = 0; s < kMaxLayers; ++s) {
    if (slot >= 0 && s != slot) continue;
    Slot* sp = slots_[size_t(s)].get();
    if (!sp) continue;
    // Rows from the top: storage rows [y, y + h) are top rows [ch − y − h, ch − y).
    const int xa = r.x, xb = r.x + r.w;
    const int ya = sp->canvasH - r.y - r.h, yb = sp->canvasH - r.y;
    for (int k = 1; k <= kMaxMipLevel; ++k) {
      ViewMips::Grid* lv = sp->levels[size_t(k)].get();
      if (!lv || lv->validCount == 0) continue;
      // Cells whose sample point m × 2^k lies in [xa, xb).
      const int ma = CeilShift(xa, k) - lv->m0, mb = CeilShift(xb, k) - lv->m0;
      const int qa = CeilShift(ya, k) - lv->q0, qb = CeilShift(yb, k) - lv->q0;
      if (mb <= 0 || qb <= 0 || ma >= lv->w || qa >= lv->h || ma >= mb || qa >= qb) continue;
      const int ta = std::max(0, ma) / kTile, tb = (std::min(lv->w, mb) - 1) / kTile;
      const int ua = std::max(0, qa) / kTile, ub = (std::min(lv->h, qb) - 1) / kTile;
      for (int u = ua; u <= ub; ++u)
        for (int t = ta; t <= tb; ++t) {
          uint8_t& ok = lv->valid[size_t(u) * size_t(lv->tilesX) + size_t(t)];
          if (ok) --lv->validCount;
          ok = 0;
        }
    }
  }
}

void ViewMips::Sync(const LayerStack& st) {
  for (int s = 0; s < kMaxLayers; ++s) {
    auto& sp = slots_[size_t(s)];
    if (!sp) continue;
    if (!st.Used(s)) {
      sp.reset();
      continue;
    }
    const Layer& l = st.slots[s];
    if (sp->Unchanged(l)) continue;
    sp->NotePlanes(l);
    for (auto& lv : sp->levels) {
      if (!lv) continue;
      std::fill(lv->valid.begin(), lv->valid.end(), uint8_t(0));
      lv->validCount = 0;
    }
  }
}

void ViewMips::InvalidateAll() {
  for (auto& sp : slots_) {
    if (!sp) continue;
    for (auto& lv : sp->levels) {
      if (!lv) continue;
      std::fill(lv->valid.begin(), lv->valid.end(), uint8_t(0));
      lv->validCount = 0;
    }
  }
}

void ViewMips::Clear() {
  for (auto& sp : slots_) sp.reset();
}

size_t ViewMips::BuiltBytes() const {
  size_t n = 0;
  for (const auto& sp : slots_) {
    if (!sp) continue;
    for (const auto& lv : sp->levels)
      if (lv) n += lv->validCount * size_t(kTile) * size_t(kTile) * 4;
  }
  return n;
}

}  // namespace velmira
