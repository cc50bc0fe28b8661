#include "processing/doc_commands.h"

#include <cstring>
#include <unordered_map>

#include "processing/layer_access.h"

namespace velmira {

namespace {

FilterControl HostProgress(CMirvDoc& doc) {
  FilterControl c;
  c.progress = [&doc](int p) { doc.Host().Progress(p); };
  return c;
}

}  // namespace

bool FilterLayer(LayerStack& L, int slot, const CImageBuffer* viewImage, int index, const int params[3],
                 const FilterControl* control) {
  if (index < 0 || index >= kFilterCount || !FilterList()[size_t(index)].available) return false;
  Layer* l = L.Get(slot);
  if (!l || l->kind == kLayerText || l->pixels.empty() || l->width <= 0 || l->height <= 0) return false;
  // Growing reads the outside colour, which belongs to the picture's pixel block.
  if (index == kFilterGrow && (!viewImage || !viewImage->IsValid())) return false;
  const bool palette = IsPaletteLayer(L, *l);
  std::vector<uint8_t> scratch;
  FilterTarget t;
  t.width = l->width;
  t.height = l->height;
  if (!palette && WholeLayerSelected(L, *l)) {
    // One row of ones read for every row, instead of a plane of ones as large as
    // the layer built (and its pages cleared) for every run.
    scratch.assign(size_t(l->width), 1);
    t.sel = scratch.data();
    t.selAll = true;
  } else {
    t.sel = SelectionPlane(L, *l, scratch);
  }
  t.outside = L.ReadLayerColor(slot, -1, -1, viewImage);
  t.control = control;
  if (!palette) {
    // The result goes into the edit copy, which then trades places with the layer's
    // pixels: the same outcome as copying it back, without a second pass over the
    // layer or touching the coverage plane, which filters never change. The
    // unfiltered pixels are read where they are (shared with the history's copy,
    // never unshared). A filter that writes every pixel gets a fresh block for a
    // whole-layer run; the others start from a copy of the layer, as their
    // unwritten pixels must keep their value.
    const Plane& before = l->pixels;
    t.src = before.data();
    t.stride = l->stride;
    t.dstFresh = t.selAll && FilterWritesEveryPixel(index, params);
    if (t.dstFresh) {
      L.editPixels.Reset(before.size(), 0);
      t.dst = L.editPixels.Overwrite();
    } else {
      L.editPixels = before;
      t.dst = L.editPixels.data();
    }
    L.header.editCopySize = l->imageSize;
    if (!RunFilterKernel(index, t, params)) return false;
    const size_t row = 3 * size_t(l->width);
    if (t.dstFresh && size_t(t.stride) > row)
      for (int y = 0; y < l->height; ++y)
        std::memcpy(t.dst + size_t(y) * size_t(t.stride) + row, t.src + size_t(y) * size_t(t.stride) + row,
                    size_t(t.stride) - row);
    l->pixels.swap(L.editPixels);
    l->dirty = 1;
    return true;
  }
  L.BackupLayer(slot);
  if (L.editPixels.size() != l->pixels.size()) return false;
  {
    // Palette pictures are filtered as colours and written back by nearest index.
    const std::vector<uint8_t> src = ExpandTo24(L, *l);
    std::vector<uint8_t> dst = src;
    t.src = src.data();
    t.dst = dst.data();
    t.stride = StrideFor(l->width, 24);
    if (!RunFilterKernel(index, t, params)) return false;
    std::unordered_map<Rgbq, int> nearest;
    for (int y = 0; y < l->height; ++y)
      for (int x = 0; x < l->width; ++x) {
        if (!t.SelAt(size_t(y) * size_t(l->width) + size_t(x))) continue;
        const uint8_t* p = dst.data() + size_t(y) * size_t(t.stride) + 3 * size_t(x);
        const Rgbq c = MakeRgbq(p[2], p[1], p[0]);
        auto it = nearest.find(c);
        if (it == nearest.end()) it = nearest.emplace(c, L.NearestPaletteIndex(c)).first;
        PutIndex(L.editPixels.data(), l->stride, L.header.bitsPerPixel, x, y, it->second);
      }
  }
  return L.RestoreLayer(slot);
}

bool ApplyFilter(CMirvDoc& doc, int index, const int params[3], const FilterControl* control) {
  if (index < 0 || index >= kFilterCount || !FilterList()[size_t(index)].available) return false;
  const FilterControl local = HostProgress(doc);
  if (!control) control = &local;
  const bool ok = doc.RunEdit(TextRule::Active, false, FilterList()[size_t(index)].name, kStepPixels,
                              [&](LayerStack& L, Layer&) {
                                return FilterLayer(L, L.active, doc.ViewImage(), index, params, control);
                              });
  return ok;
}

bool BrightnessContrast(CMirvDoc& doc, int brightness, int contrast) {
  return doc.RunEdit(TextRule::Active, false, steplabel::kBrightnessContrast, kStepPixels,
                     [&](LayerStack& L, Layer&) {
                       return AdjustBrightnessContrast(L, L.active, brightness, contrast, 255,
                                                       [&doc](int p) { doc.Host().Progress(p); });
                     });
}

bool ChannelOffsets(CMirvDoc& doc, int red, int green, int blue) {
  return doc.RunEdit(TextRule::Active, false, steplabel::kColour, kStepPixels,
                     [&](LayerStack& L, Layer&) { return OffsetChannels(L, L.active, red, green, blue); });
}

bool Levels(CMirvDoc& doc, int channel, int low, int high) {
  return doc.RunEdit(TextRule::Active, false, steplabel::kColour, kStepPixels,
                     [&](LayerStack& L, Layer&) { return StretchLevels(L, L.active, channel, low, high); });
}

bool AutoColour(CMirvDoc& doc) {
  return doc.RunEdit(TextRule::Active, false, steplabel::kAutoColour, kStepPixels,
                     [&](LayerStack& L, Layer&) { return StretchLevels(L, L.active, 0, -1, -1); });
}

bool Invert(CMirvDoc& doc) {
  return doc.RunEdit(TextRule::Active, false, steplabel::kInvert, kStepPixels,
                     [&](LayerStack& L, Layer&) { return InvertLayer(L, L.active, doc.ViewImage()); });
}

bool DesaturateActiveLayer(CMirvDoc& doc) {
  return doc.RunEdit(TextRule::Allow, false, steplabel::kDesaturateLayer, kStepPixels,
                     [&](LayerStack& L, Layer&) { return DesaturateLayer(L, L.active); });
}

bool GreyscaleAllLayers(CMirvDoc& doc) {
  if (!doc.BeginEdit(TextRule::Allow, false)) return false;
  LayerStack& L = doc.Layers();
  for (int s : L.Chain()) DesaturateLayer(L, s);
  // Every layer changed, so the step keeps every layer (as a whole-stack flip does)
  // and undo brings all of them back, not only the active one.
  doc.EndEdit(steplabel::kGreyscale, kStepFlipAll, -1, false);
  return true;
}

bool ToTrueColour(CMirvDoc& doc) {
  LayerStack& L = doc.Layers();
  if (doc.IsBusy() || !L.Active()) return false;
  if (L.header.bitsPerPixel >= 24) return true;
  doc.RevertLayer(L.active, false);
  // Every layer is expanded, not only the active one: the others would otherwise
  // keep palette indices under a 24-bit header.
  for (int s : L.Chain()) {
    Layer& l = L.slots[s];
    if (l.kind == kLayerText) continue;
    std::vector<uint8_t> px = ExpandTo24(L, l);
    l.pixels = std::move(px);
    l.stride = StrideFor(l.width, 24);
    l.imageSize = l.stride * l.height;
    l.dirty = 1;
  }
  L.header.bitsPerPixel = 24;
  L.header.paletteColours = 0;
  L.header.imageSize = StrideFor(L.header.canvasWidth, 24) * L.header.canvasHeight;
  L.palette.clear();
  if (CImageBuffer* v = doc.ViewImage()) {
    const int cw = L.header.canvasWidth, ch = L.header.canvasHeight;
    const Rgbq transparent = v->Ext().transparentColour;
    if (v->Allocate(cw, ch, 24, v->FormatType())) {
      v->Ext().transparentIndex = -1;
      v->Ext().transparentColour = transparent;
      const Layer* b = L.Get(L.bottom);
      if (b && b->kind != kLayerText && b->width == cw && b->height == ch && size_t(b->imageSize) == v->ImageSize())
        std::memcpy(v->Pixels(), b->pixels.data(), v->ImageSize());
    }
  }
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 1025);
  doc.RecordStep(steplabel::kTrueColour, kStepFlipAll, -1);
  doc.LayersChanged();
  return true;
}

bool TwoTone(CMirvDoc& doc, TwoToneMethod method, int threshold) {
  if (!doc.BeginEdit(TextRule::AllLayers, false)) return false;
  const int t = threshold & 0xFF;
  LayerStack& L = doc.Layers();
  for (int s : L.Chain()) {
    if (s != L.active) doc.RevertLayer(s, false);
    switch (method) {
      case TwoToneMethod::Diffusion: BinarizeDiffusion(L, s, t); break;
      case TwoToneMethod::Ordered: BinarizeOrdered(L, s, t); break;
      case TwoToneMethod::Absolute: BinarizeThreshold(L, s, t); break;
    }
    doc.SetCompositionStale(true);
    doc.RecordStep(steplabel::kTwoTone, kStepPixels, s);
  }
  doc.Host().UpdateViews(doc, 0);
  return true;
}

}  // namespace velmira
