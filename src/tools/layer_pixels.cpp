#include "tools/layer_pixels.h"

#include "tools/selection.h"

namespace velmira {

Layer* PaintableLayer(LayerStack& L, int slot) {
  Layer* l = L.Get(slot);
  if (!l || l->kind == kLayerText || l->width <= 0 || l->height <= 0) return nullptr;
  const int bpp = L.LayerBpp(*l);
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
  const size_t w = size_t(l->width), h = size_t(l->height);
  const size_t rowBytes = (w * size_t(bpp) + 7) / 8;
  if (l->stride <= 0 || size_t(l->stride) < rowBytes || l->pixels.size() < size_t(l->stride) * h ||
      l->alpha.size() < w * h)
    return nullptr;
  return l;
}

const uint8_t* SelectionFor(LayerStack& L, int slot) {
  if (slot != L.active || !L.selectionExists || !EnsureSelectionMask(L)) return nullptr;
  return L.selectionExists ? L.mask.data() : nullptr;
}

}  // namespace velmira
