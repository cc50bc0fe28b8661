#include "processing/layer_access.h"

#include <cstring>

namespace velmira {

const uint8_t* SelectionPlane(const LayerStack& L, const Layer& l, std::vector<uint8_t>& scratch) {
  const size_t n = size_t(l.width) * size_t(l.height);
  if (L.maskWidth == l.width && L.maskHeight == l.height && L.mask.size() == n) return L.mask.data();
  scratch.resize(n);
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) scratch[size_t(y) * size_t(l.width) + size_t(x)] = uint8_t(L.InSelection(x, y));
  return scratch.data();
}

bool WholeLayerSelected(const LayerStack& L, const Layer& l) {
  const size_t n = size_t(l.width) * size_t(l.height);
  if (L.maskWidth != l.width || L.maskHeight != l.height || L.mask.size() != n || n == 0) return false;
  if (const uint8_t* m = L.mask.Peek()) return std::memchr(m, 0, n) == nullptr;
  return L.mask.Fill() != 0;
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
  PutRowIndex(rows + size_t(y) * size_t(stride), bpp, x, index);
}

}  // namespace velmira
