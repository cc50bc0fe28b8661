#include "image/layers.h"
#include "image/text.h"
#include "image/ui_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velmira {

void Name100::Set(std::u16string_view s) {
  std::fill(std::begin(units), std::end(units), u'\0');
  const size_t n = std::min(s.size(), size_t(kNameUnits - 1));
  std::copy_n(s.begin(), n, units);
}

std::u16string Name100::Get() const {
  size_t n = 0;
  while (n < size_t(kNameUnits) && units[n]) ++n;
  return std::u16string(units, n);
}

void Layer::CopyRecordFrom(const Layer& o) {
  Plane p = std::move(pixels), a = std::move(alpha), e = std::move(effect);
  std::u16string t = std::move(textBuffer);
  // Copy the plain fields by assigning a buffer-less copy.
  inUse = o.inUse;
  dirty = o.dirty;
  name = o.name;
  kind = o.kind;
  blend = o.blend;
  below = o.below;
  above = o.above;
  partner = o.partner;
  effectOn = o.effectOn;
  effectSize = o.effectSize;
  effectColour = o.effectColour;
  transparentShadow = o.transparentShadow;
  textColour = o.textColour;
  transparency = o.transparency;
  visible = o.visible;
  x = o.x;
  y = o.y;
  height = o.height;
  width = o.width;
  pixelCount = o.pixelCount;
  imageSize = o.imageSize;
  stride = o.stride;
  textLength = o.textLength;
  text = o.text;
  pixels = std::move(p);
  alpha = std::move(a);
  effect = std::move(e);
  textBuffer = std::move(t);
}

void Layer::FreeBuffers() {
  pixels.clear();
  alpha.clear();
  effect.clear();
  std::u16string().swap(textBuffer);
}

bool LayerStack::AllocateLayer(int slot, const LayerAlloc& a) {
  if (!ValidSlot(slot) || a.canvasWidth <= 0 || a.canvasHeight <= 0) return false;
  Layer& l = slots[slot];
  const int bpp = a.kind == kLayerText ? 8 : RoundBitsPerPixel(a.bitsPerPixel);
  const int lw = std::max(a.width, a.canvasWidth);
  const int lh = std::max(a.height, a.canvasHeight);
  const int64_t stride = a.kind == kLayerText ? lw : StrideFor(lw, bpp);
  const int64_t imageSize = stride * lh;
  const int64_t pixelCount = int64_t(lw) * lh;
  const int64_t canvasImage = int64_t(StrideFor(a.canvasWidth, a.kind == kLayerText ? 24 : bpp)) * a.canvasHeight;
  if (imageSize > INT32_MAX || pixelCount > INT32_MAX || canvasImage > INT32_MAX) return false;

  int px = a.x, py = a.y;
  if (a.centre) {
    px = (a.canvasWidth - lw) / 2;
    py = (a.canvasHeight - lh) / 2;
  }
  try {
    l.FreeBuffers();
    if (a.initialBlock && a.initialBytes == size_t(imageSize))
      l.pixels = Plane::Sharing(a.initialBlock, size_t(imageSize));
    else if (a.initialPixels && a.initialBytes == size_t(imageSize))
      l.pixels.assign(a.initialPixels, a.initialPixels + imageSize);
    else
      l.pixels.assign(size_t(imageSize), 255);
    l.alpha.assign(size_t(pixelCount), a.initialAlpha);
    l.effect.assign(size_t(pixelCount), 0);
    if (!selectionExists || a.resetSelection) {
      mask.assign(size_t(pixelCount), 1);
      maskWidth = lw;
      maskHeight = lh;
      maskX = px;
      maskY = py;
    }
    if (a.paletteMode == 0 && a.viewImage && a.viewImage->IsValid()) {
      const uint8_t* pal = a.viewImage->Palette();
      palette.assign(pal, pal + 4 * size_t(a.viewImage->ColoursUsed()));
    } else if (a.paletteMode == 1) {
      palette.assign(4 * size_t(std::max(0, a.paletteColours)), 0);
    }
  } catch (const std::bad_alloc&) {
    l.FreeBuffers();
    return false;
  }
  header.canvasWidth = a.canvasWidth;
  header.canvasHeight = a.canvasHeight;
  if (a.kind != kLayerText) header.bitsPerPixel = bpp;
  header.paletteColours = a.paletteColours;
  header.imageSize = int32_t(canvasImage);
  header.pixelCount = a.canvasWidth * a.canvasHeight;
  if (!a.pictureTitle.empty()) header.title.Set(a.pictureTitle);

  l.x = px;
  l.y = py;
  l.width = lw;
  l.height = lh;
  l.stride = int32_t(stride);
  l.imageSize = int32_t(imageSize);
  l.pixelCount = int32_t(pixelCount);
  l.kind = uint8_t(a.kind);
  l.dirty = a.dirty;
  l.partner = int16_t(a.partner);
  l.textLength = 0;
  l.effectOn = 0;
  return true;
}

InsertResult LayerStack::InsertLayer(int after, int slot, int* inserted) {
  if (slot == -1) {
    for (int i = 0; i < kMaxLayers; ++i)
      if (!slots[i].inUse) {
        slot = i;
        break;
      }
    if (slot == -1) return InsertResult::Full;
  }
  if (!ValidSlot(slot) || slots[slot].inUse) return InsertResult::BadSlot;
  LayerAlloc a;
  a.bitsPerPixel = header.bitsPerPixel;
  a.paletteColours = header.paletteColours;
  a.initialAlpha = 0;
  a.width = header.canvasWidth;
  a.height = header.canvasHeight;
  a.canvasWidth = header.canvasWidth;
  a.canvasHeight = header.canvasHeight;
  a.paletteMode = 2;
  if (!AllocateLayer(slot, a)) return InsertResult::NoMemory;

  Layer& l = slots[slot];
  if (bottom == -1 || !Used(after)) after = bottom == -1 ? -1 : TopLayer();
  if (after == -1) {
    bottom = slot;
    l.below = -1;
    l.above = -1;
  } else {
    const int up = slots[after].above;
    l.below = int16_t(after);
    l.above = int16_t(up);
    slots[after].above = int16_t(slot);
    if (Used(up)) slots[up].below = int16_t(slot);
  }
  l.inUse = 1;
  l.kind = kLayerRaster;
  l.blend = kBlendNormal;
  l.transparency = 0;
  l.visible = 1;
  l.partner = -1;
  std::u16string u = Utf8ToUtf16(UiText("레이어 "));
  for (char c : std::to_string(slot)) u.push_back(char16_t(c));
  l.name.Set(u);
  active = slot;
  if (inserted) *inserted = slot;
  return InsertResult::Ok;
}

int LayerStack::UnlinkLayer(int slot) {
  if (!Used(slot)) return active;
  Layer& l = slots[slot];
  const int down = l.below, up = l.above;
  if (Used(down))
    slots[down].above = int16_t(up);
  else
    bottom = up;
  if (Used(up)) slots[up].below = int16_t(down);
  l.inUse = 0;
  return up != -1 ? up : down;
}

void LayerStack::FreeSlot(int slot) {
  if (!ValidSlot(slot)) return;
  slots[slot].FreeBuffers();
  slots[slot] = Layer{};
}

void LayerStack::Clear() {
  for (int i = 0; i < kMaxLayers; ++i) FreeSlot(i);
  bottom = active = -1;
  mergeStart = -1;
  mergeCount = 0;
  editPixels.clear();
  editAlpha.clear();
}

std::vector<int> LayerStack::Chain() const {
  std::vector<int> out;
  bool seen[kMaxLayers] = {};
  for (int s = bottom; Used(s) && !seen[s]; s = slots[s].above) {
    seen[s] = true;
    out.push_back(s);
  }
  return out;
}

int LayerStack::LayerCount() const { return int(Chain().size()); }

int LayerStack::LayerAt(int position) const {
  const auto c = Chain();
  return position >= 0 && position < int(c.size()) ? c[size_t(position)] : -1;
}

int LayerStack::TopLayer() const {
  const auto c = Chain();
  return c.empty() ? -1 : c.back();
}

int LayerStack::TopVisibleLayer() const {
  int top = -1;
  for (int s : Chain())
    if (slots[s].visible == 1) top = s;
  return top;
}

int LayerStack::FindLayerOfKind(int kind) const {
  for (int s : Chain())
    if (slots[s].kind == kind) return s;
  return -1;
}

int LayerStack::FindFrameLayer() const {
  for (int s : Chain())
    if (slots[s].name.Get() == u"[ImgFrame]") return s;
  return -1;
}

int LayerStack::DistanceBetween(int from, int to) const {
  int steps = 0;
  for (int s = from; Used(s) && steps <= kMaxLayers; s = slots[s].above, ++steps)
    if (s == to) return steps;
  return -1;
}

void LayerStack::BackupLayer(int slot) {
  const Layer* l = Get(slot == -1 ? active : slot);
  if (!l) return;
  editPixels = l->pixels;
  editAlpha = l->alpha;
  header.editCopySize = l->imageSize;
}

bool LayerStack::RestoreLayer(int slot) {
  Layer* l = Get(slot == -1 ? active : slot);
  if (!l || editPixels.size() != l->pixels.size() || editAlpha.size() != l->alpha.size()) return false;
  std::copy(editPixels.begin(), editPixels.end(), l->pixels.begin());
  std::copy(editAlpha.begin(), editAlpha.end(), l->alpha.begin());
  l->dirty = 1;
  return true;
}

int LayerStack::LayerIndex(const Layer& l, int x, int y) const {
  return RowIndex(l.pixels.data() + size_t(y) * size_t(l.stride), LayerBpp(l), x);
}

Rgbq LayerStack::PictureColour(int index) const {
  if (index < 0 || size_t(4 * index + 3) >= palette.size()) return 0;
  const uint8_t* p = palette.data() + 4 * index;
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

Rgbq LayerStack::ReadLayerColor(int slot, int x, int y, const CImageBuffer* viewImage) const {
  const Layer* l = Get(slot);
  if (!l) return 0;
  if (!InLayer(slot, x, y)) {
    if (!viewImage) return 0;
    if (viewImage->Bpp() < 24 && viewImage->Ext().transparentIndex != -1)
      return viewImage->PaletteEntry(viewImage->Ext().transparentIndex);
    return viewImage->Ext().transparentColour;
  }
  if (header.bitsPerPixel <= 8 && l->kind != kLayerText) return PictureColour(LayerIndex(*l, x, y));
  const uint8_t* p = l->pixels.data() + size_t(y) * size_t(l->stride) + size_t(x) * (LayerBpp(*l) / 8);
  if (l->kind == kLayerText) return Rgbq(l->textColour) & 0xFFFFFF;
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

int LayerStack::NearestPaletteIndex(Rgbq colour) const {
  // Only the entries the picture's depth can store: a 1-bit picture keeping a longer
  // palette must not get an index whose high bits are cut off into another colour.
  int n = int(palette.size() / 4);
  if (header.bitsPerPixel >= 1 && header.bitsPerPixel <= 8) n = std::min(n, 1 << header.bitsPerPixel);
  int best = 9000, found = 0;
  for (int i = 0; i < n; ++i) {
    const uint8_t* p = palette.data() + 4 * i;
    const int d = std::abs(p[0] - RgbqB(colour)) + std::abs(p[1] - RgbqG(colour)) +
                  std::abs(p[2] - RgbqR(colour));
    if (d == 0) return i;
    if (d < best) {
      best = d;
      found = i;
    }
  }
  return found;
}

void LayerStack::WriteLayerColor(int slot, int x, int y, Rgbq colour) {
  Layer* l = Get(slot);
  if (!l || !InLayer(slot, x, y)) return;
  const size_t i = size_t(x) + size_t(y) * size_t(l->width);
  if (header.bitsPerPixel > 8 && l->kind != kLayerText) {
    uint8_t* p = l->pixels.data() + size_t(y) * size_t(l->stride) + size_t(x) * (header.bitsPerPixel / 8);
    p[0] = uint8_t(RgbqB(colour));
    p[1] = uint8_t(RgbqG(colour));
    p[2] = uint8_t(RgbqR(colour));
    l->alpha[i] = 255;
  } else if (l->kind != kLayerText) {
    // Paletted pictures paint into the edit copy, inside the selection only.
    if (editPixels.size() == l->pixels.size() && editAlpha.size() == l->alpha.size() && InSelection(x, y)) {
      const int index = NearestPaletteIndex(colour);
      PutRowIndex(editPixels.data() + size_t(y) * size_t(l->stride), header.bitsPerPixel, x, index);
      editAlpha[i] = 255;
    }
  }
  l->dirty = 1;
}

int LayerStack::LayerAlpha(int slot, int x, int y) const {
  if (!InLayer(slot, x, y)) return 0;
  const Layer& l = slots[slot];
  return l.alpha[size_t(x) + size_t(y) * size_t(l.width)];
}

void LayerStack::SetLayerAlpha(int slot, int x, int y, int value) {
  if (!InLayer(slot, x, y)) return;
  Layer& l = slots[slot];
  l.alpha[size_t(x) + size_t(y) * size_t(l.width)] = uint8_t(value);
  l.dirty = 1;
}

void LayerStack::SetEditAlpha(int slot, int x, int y, int value, bool selectionOnly) {
  if (!InLayer(slot, x, y)) return;
  if (selectionOnly && !InSelection(x, y)) return;
  Layer& l = slots[slot];
  const size_t i = size_t(x) + size_t(y) * size_t(l.width);
  if (i < editAlpha.size()) editAlpha[i] = uint8_t(value);
  if (l.kind == kLayerBackground) header.backgroundChanged = 1;
  if (l.kind == kLayerMeasure && i < measure[0].size()) measure[0][i] = value != 0;
  l.dirty = 1;
}

bool LayerStack::InLayer(int slot, int x, int y) const {
  const Layer* l = Get(slot);
  return l && x >= 0 && y >= 0 && x < l->width && y < l->height &&
         l->alpha.size() == size_t(l->pixelCount);
}

int LayerStack::InSelection(int x, int y) const {
  if (x < 0 || y < 0 || x >= maskWidth || y >= maskHeight) return 0;
  const size_t i = size_t(x) + size_t(y) * size_t(maskWidth);
  return i < mask.size() ? mask[i] : 0;
}

void LayerStack::ResetSelection(int slot) {
  const Layer* l = Get(slot);
  if (!l) return;
  mask.assign(size_t(l->pixelCount), 1);
  maskWidth = l->width;
  maskHeight = l->height;
  maskX = l->x;
  maskY = l->y;
}

bool LayerStack::ConvertTextToRaster(int slot) {
  Layer* l = Get(slot);
  if (!l || l->kind != kLayerText) return false;
  Plane keep = l->alpha;
  LayerAlloc a;
  a.bitsPerPixel = 24;
  a.x = l->x;
  a.y = l->y;
  a.width = l->width;
  a.height = l->height;
  a.canvasWidth = header.canvasWidth;
  a.canvasHeight = header.canvasHeight;
  a.paletteColours = header.paletteColours;
  a.dirty = l->dirty;
  a.kind = kLayerRaster;
  a.partner = l->partner;
  if (!AllocateLayer(slot, a)) return false;
  const Rgbq c = Rgbq(l->textColour);
  for (int y = 0; y < l->height; ++y) {
    uint8_t* p = l->pixels.data() + size_t(y) * size_t(l->stride);
    for (int x = 0; x < l->width; ++x) {
      p[3 * x] = uint8_t(RgbqB(c));
      p[3 * x + 1] = uint8_t(RgbqG(c));
      p[3 * x + 2] = uint8_t(RgbqR(c));
    }
  }
  if (keep.size() == l->alpha.size()) l->alpha = std::move(keep);
  return true;
}

}  // namespace velmira
