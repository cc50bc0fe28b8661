#include "processing/colour_depth.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace velmira {

// ---------------------------------------------------------------------------
// Octree

OctreeQuantizer::OctreeQuantizer(int maxColours) : maxColours_(std::clamp(maxColours, 1, 256)) {
  nodes_.reserve(1024);
}

int32_t OctreeQuantizer::NewNode(int level) {
  int32_t n;
  if (!free_.empty()) {
    n = free_.back();
    free_.pop_back();
    nodes_[size_t(n)] = Node{};
  } else {
    n = int32_t(nodes_.size());
    nodes_.emplace_back();
  }
  Node& node = nodes_[size_t(n)];
  if (level == 8) {
    node.leaf = true;
    ++leaves_;
  } else {
    node.nextReducible = reducible_[level];
    reducible_[level] = n;
  }
  return n;
}

void OctreeQuantizer::AddRun(uint8_t red, uint8_t green, uint8_t blue, uint32_t count) {
  if (count == 0) return;
  if (root_ < 0) root_ = NewNode(0);
  int32_t n = root_;
  bool created = false;
  for (int level = 0; !nodes_[size_t(n)].leaf; ++level) {
    const int shift = 7 - level;
    const int index = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
    int32_t c = nodes_[size_t(n)].child[index];
    if (c < 0) {
      c = NewNode(level + 1);  // may move nodes_, so index again below
      nodes_[size_t(n)].child[index] = c;
      created = true;
    }
    n = c;
  }
  Node& leaf = nodes_[size_t(n)];
  leaf.count += count;
  leaf.red += uint64_t(red) * count;
  leaf.green += uint64_t(green) * count;
  leaf.blue += uint64_t(blue) * count;
  if (created)
    while (leaves_ > maxColours_) Reduce();
}

void OctreeQuantizer::Reduce() {
  int level = 7;
  while (level > 0 && reducible_[level] < 0) --level;
  const int32_t n = reducible_[level];
  if (n < 0) return;
  Node& node = nodes_[size_t(n)];
  reducible_[level] = node.nextReducible;
  int children = 0;
  for (int32_t& c : node.child) {
    if (c < 0) continue;
    const Node& child = nodes_[size_t(c)];
    node.count += child.count;
    node.red += child.red;
    node.green += child.green;
    node.blue += child.blue;
    free_.push_back(c);
    c = -1;
    ++children;
  }
  node.leaf = true;
  leaves_ -= children - 1;
}

void OctreeQuantizer::AddPixels(const uint8_t* rows, int width, int height, size_t stride, int bitsPerPixel,
                                const uint8_t* palette, int paletteCount) {
  if (!rows || width <= 0 || height <= 0) return;
  // Runs of one colour go down the tree once; they cannot create a node after
  // their first pixel, so the tree is the same as adding them one at a time.
  uint32_t run = 0;
  uint8_t pr = 0, pg = 0, pb = 0;
  auto add = [&](uint8_t r, uint8_t g, uint8_t b) {
    if (run > 0 && r == pr && g == pg && b == pb && run < UINT32_MAX) {
      ++run;
      return;
    }
    AddRun(pr, pg, pb, run);
    pr = r;
    pg = g;
    pb = b;
    run = 1;
  };
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rows + size_t(y) * stride;
    if (bitsPerPixel == 24 || bitsPerPixel == 32) {
      const int step = bitsPerPixel / 8;
      for (int x = 0; x < width; ++x, row += step) add(row[2], row[1], row[0]);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      int index = 0;
      switch (bitsPerPixel) {
        case 1: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F; break;
        default: index = row[x]; break;
      }
      if (palette && index < paletteCount) {
        const uint8_t* p = palette + 4 * index;
        add(p[2], p[1], p[0]);
      } else {
        add(0, 0, 0);
      }
    }
  }
  AddRun(pr, pg, pb, run);
}

void OctreeQuantizer::AddImage(const CImageBuffer& image) {
  if (!image.IsValid()) return;
  AddPixels(image.Pixels(), image.Width(), image.Height(), size_t(image.Stride()), image.Bpp(), image.Palette(),
            image.ColoursUsed());
}

int OctreeQuantizer::Palette(uint8_t out[1024]) const {
  std::memset(out, 0, 1024);
  if (root_ < 0) return 0;
  int count = 0;
  // Depth first, children in index order.
  int32_t stack[8 * 9];
  int sp = 0;
  stack[sp++] = root_;
  while (sp > 0) {
    const Node& node = nodes_[size_t(stack[--sp])];
    if (node.leaf) {
      if (count < 256 && node.count > 0) {
        out[4 * count] = uint8_t(node.blue / node.count);
        out[4 * count + 1] = uint8_t(node.green / node.count);
        out[4 * count + 2] = uint8_t(node.red / node.count);
        ++count;
      }
      continue;
    }
    for (int i = 7; i >= 0; --i)
      if (node.child[i] >= 0) stack[sp++] = node.child[i];
  }
  return count;
}

// ---------------------------------------------------------------------------
// Nearest palette entry

NearestColourMap::NearestColourMap(const uint8_t* palette, int count)
    : count_(std::clamp(count, 0, 256)), cellStart_(32768, -1), cellSize_(32768, 0) {
  if (palette) pal_.assign(palette, palette + 4 * size_t(count_));
  else count_ = 0;
}

void NearestColourMap::BuildCell(int cell) {
  const int lo[3] = {(cell & 31) << 3, ((cell >> 5) & 31) << 3, ((cell >> 10) & 31) << 3};  // B, G, R
  int minDist[256];
  int bound = INT_MAX;
  for (int i = 0; i < count_; ++i) {
    int dmin = 0, dmax = 0;
    for (int c = 0; c < 3; ++c) {
      const int v = pal_[4 * size_t(i) + size_t(c)];
      const int l = lo[c], h = lo[c] + 7;
      const int near = v < l ? l - v : v > h ? v - h : 0;
      const int far = std::max(std::abs(v - l), std::abs(v - h));
      dmin += near * near;
      dmax += far * far;
    }
    minDist[i] = dmin;
    bound = std::min(bound, dmax);
  }
  // An entry whose nearest point of the cell is farther than some entry's
  // farthest point can never win anywhere in the cell.
  cellStart_[size_t(cell)] = int32_t(candidates_.size());
  for (int i = 0; i < count_; ++i)
    if (minDist[i] <= bound) candidates_.push_back(uint8_t(i));
  cellSize_[size_t(cell)] = uint16_t(candidates_.size() - size_t(cellStart_[size_t(cell)]));
}

int NearestColourMap::Find(uint8_t red, uint8_t green, uint8_t blue) {
  if (count_ == 0) return 0;
  const int cell = ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
  if (cellStart_[size_t(cell)] < 0) BuildCell(cell);
  const uint8_t* c = candidates_.data() + cellStart_[size_t(cell)];
  const int n = cellSize_[size_t(cell)];
  int best = INT_MAX, found = 0;
  for (int k = 0; k < n; ++k) {
    const uint8_t* p = pal_.data() + 4 * size_t(c[k]);
    const int db = p[0] - blue, dg = p[1] - green, dr = p[2] - red;
    const int d = db * db + dg * dg + dr * dr;
    if (d < best) {
      best = d;
      found = c[k];
      if (d == 0) break;
    }
  }
  return found;
}

// ---------------------------------------------------------------------------
// Picture reductions

namespace {

// Maps every pixel of a 24/32-bit picture to `bits` (4 or 8) through `pal`.
bool MapPicture(const CImageBuffer& in, CImageBuffer& out, const uint8_t* pal, int colours, int bits) {
  CImageBuffer tmp(in.FormatType());
  if (!tmp.Allocate(in.Width(), in.Height(), bits, in.FormatType())) {
    out.SetLastError("Out of memory");
    return false;
  }
  tmp.LoadPalette(pal, colours);
  NearestColourMap map(tmp.Palette(), tmp.ColoursUsed());
  const int step = in.Bpp() / 8;
  const int w = in.Width();
  for (int y = 0; y < in.Height(); ++y) {
    const uint8_t* s = in.Row(y);
    uint8_t* d = tmp.Row(y);
    uint32_t prev = 0xFFFFFFFFu;
    int index = 0;
    for (int x = 0; x < w; ++x, s += step) {
      const uint32_t key = uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16;
      if (key != prev) {
        index = map.Find(s[2], s[1], s[0]);
        prev = key;
      }
      if (bits == 8) d[x] = uint8_t(index);
      else if (x & 1) d[x >> 1] = uint8_t((d[x >> 1] & 0xF0) | index);
      else d[x >> 1] = uint8_t(index << 4);
    }
  }
  ExtendedInfo e = in.Ext();
  e.stride = tmp.Ext().stride;
  e.colourType = 1;
  e.borrowed = false;
  e.transparentIndex = -1;
  tmp.Ext() = e;
  tmp.SetResolution(e.xDpi, e.yDpi);
  out.TakeOver(tmp);
  return true;
}

bool CheckDepth(const CImageBuffer& in, CImageBuffer& out) {
  if (in.IsValid() && (in.Bpp() == 24 || in.Bpp() == 32)) return true;
  out.SetLastError("Only 24- and 32-bit pictures can be reduced");
  return false;
}

}  // namespace

bool ReduceTo8Bit(const CImageBuffer& in, CImageBuffer& out8) {
  if (!CheckDepth(in, out8)) return false;
  OctreeQuantizer q(256);
  q.AddImage(in);
  uint8_t pal[1024];
  q.Palette(pal);
  return MapPicture(in, out8, pal, 256, 8);
}

const std::array<uint8_t, 64>& StandardPalette16() {
  // Black, the eight dark colours, light grey, grey and the bright colours, in the
  // order of the system palette of 4-bit pictures.
  static const std::array<uint8_t, 64> kPalette = [] {
    const uint8_t rgb[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    std::array<uint8_t, 64> p{};
    for (int i = 0; i < 16; ++i) {
      p[size_t(4 * i)] = rgb[i][2];
      p[size_t(4 * i + 1)] = rgb[i][1];
      p[size_t(4 * i + 2)] = rgb[i][0];
    }
    return p;
  }();
  return kPalette;
}

bool ReduceTo4Bit(const CImageBuffer& in, CImageBuffer& out4, bool optimal) {
  if (!CheckDepth(in, out4)) return false;
  if (!optimal) return MapPicture(in, out4, StandardPalette16().data(), 16, 4);
  OctreeQuantizer q(16);
  q.AddImage(in);
  uint8_t pal[1024];
  q.Palette(pal);
  return MapPicture(in, out4, pal, 16, 4);
}

// ---------------------------------------------------------------------------
// Layer stack

bool ConvertLayersTo8Bit(LayerStack& stack) {
  const int bpp = stack.header.bitsPerPixel;
  if (bpp != 24 && bpp != 32) return false;
  const int step = bpp / 8;
  int source = stack.Used(0) && stack.slots[0].kind != kLayerText ? 0 : stack.bottom;
  if (!stack.Used(source) || stack.slots[source].kind == kLayerText) return false;

  OctreeQuantizer q(256);
  const Layer& src = stack.slots[source];
  if (src.pixels.size() < size_t(src.stride) * size_t(src.height)) return false;
  q.AddPixels(src.pixels.data(), src.width, src.height, size_t(src.stride), bpp);
  std::vector<uint8_t> pal(1024);
  q.Palette(pal.data());
  NearestColourMap map(pal.data(), 256);

  // Every new pixel plane is built before any layer changes, so running out of
  // memory leaves the stack as it was.
  const std::vector<int> chain = stack.Chain();
  std::vector<std::vector<uint8_t>> planes(chain.size());
  try {
    for (size_t k = 0; k < chain.size(); ++k) {
      const Layer& l = stack.slots[chain[k]];
      if (l.kind == kLayerText) continue;
      const size_t stride = size_t(StrideFor(l.width, 8));
      if (l.pixels.size() < size_t(l.stride) * size_t(l.height)) return false;
      planes[k].assign(stride * size_t(l.height), 0);
      for (int y = 0; y < l.height; ++y) {
        const uint8_t* s = l.pixels.data() + size_t(y) * size_t(l.stride);
        uint8_t* d = planes[k].data() + size_t(y) * stride;
        uint32_t prev = 0xFFFFFFFFu;
        uint8_t index = 0;
        for (int x = 0; x < l.width; ++x, s += step) {
          const uint32_t key = uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16;
          if (key != prev) {
            index = uint8_t(map.Find(s[2], s[1], s[0]));
            prev = key;
          }
          d[x] = index;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }

  for (size_t k = 0; k < chain.size(); ++k) {
    Layer& l = stack.slots[chain[k]];
    if (l.kind == kLayerText) continue;
    l.pixels = std::move(planes[k]);
    l.stride = StrideFor(l.width, 8);
    l.imageSize = l.stride * l.height;
    l.dirty = 1;
  }
  stack.palette = std::move(pal);
  stack.header.bitsPerPixel = 8;
  stack.header.paletteColours = 256;
  stack.header.imageSize = StrideFor(stack.header.canvasWidth, 8) * stack.header.canvasHeight;
  // The edit copy belongs to the old depth.
  stack.editPixels.clear();
  stack.editAlpha.clear();
  return true;
}

}  // namespace velmira
