#include "processing/layer_access.h"

namespace velmira {

const uint8_t* SelectionPlane(const LayerStack& L, const Layer& l, std::vector<uint8_t>& scratch) {
  const size_t n = size_t(l.width) * size_t(l.height);
  if (L.maskWidth == l.width && L.maskHeight == l.height && L.mask.size() == n) return L.mask.data();
  scratch.resize(n);
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) scratch[size_t(y) * size_t(l.width) + size_t(x)] = uint8_t(L.InSelection(x, y));
  return scratch.data();
}

std::vector<uint8_t> ExpandTo24(const LayerStack& L, const Layer& l) {
  const int32_t stride = StrideFor(l.width, 24);
  std::vector<uint8_t> out(size_t(stride) * size_t(l.height), 0);
  for (int y = 0; y < l.height; ++y) {
    uint8_t* d = out.data() + size_t(y) * size_t(stride);
    for (int x = 0; x < l.width; ++x) {
      const Rgbq c = L.PictureColour(L.LayerIndex(l, x, y));
      d[3 * x] = uint8_t(RgbqB(c));
      d[3 * x + 1] = uint8_t(RgbqG(c));
      d[3 * x + 2] = uint8_t(RgbqR(c));
    }
  }
  return out;
}

void PutIndex(uint8_t* rows, int stride, int bpp, int x, int y, int index) {
  uint8_t* row = rows + size_t(y) * size_t(stride);
  switch (bpp) {
    case 1: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | ((index & 0x0F) << 4));
      break;
    }
    default: row[x] = uint8_t(index);
  }
}

}  // namespace velmira
