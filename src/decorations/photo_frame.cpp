#include "decorations/photo_frame.h"

#include <algorithm>
#include <cmath>

#include "image/ui_text.h"
#include "image/text.h"

namespace velmira {

const char* const kFrameLayerName = "[ImgFrame]";
const char* const kLabelFrame = QT_TR_NOOP("사진틀 넣기");

int ClampFrameThickness(int thickness) { return std::max(thickness, kFrameMinThickness); }

Rgbq ScaleColour(Rgbq c, double f) {
  const auto s = [f](int v) { return std::clamp(int(v * f), 0, 255); };
  return MakeRgbq(s(RgbqR(c)), s(RgbqG(c)), s(RgbqB(c)));
}

namespace {

// Style 2's second-colour band: the inner half of the thickness.
bool InBand(int T, int i, double* factor) {
  const int start = T / 2;
  if (i < start) return false;
  const double c = (T - start) / 2.0;
  const double d = i - start + 0.5;
  *factor = std::max(0.0, 1.0 - std::abs(d - c) / c);
  return true;
}

double BevelFactor(int T, int W, int i, int side, int n) {
  switch (side) {
    case 0:
    case 1: {
      const int x = i + n;
      return std::min(1.0, double(x) / (W - i) + 0.2);
    }
    case 2: return std::max(0.0, double(i) / T - 0.2);
    default: return std::min(1.3, double(T - i) / T + 0.8);
  }
}

}  // namespace

double FrameFactor(const FrameParams& p, int W, int H, int i, int side, int n, bool* inBand) {
  const int T = ClampFrameThickness(p.thickness);
  if (inBand) *inBand = false;
  switch (p.style) {
    case 0: return double(i) / T;
    case 1: return BevelFactor(T, W, i, side, n);
    case 2: {
      double f;
      if (InBand(T, i, &f)) {
        if (inBand) *inBand = true;
        return f;
      }
      return BevelFactor(T, W, i, side, n);
    }
    default: {
      const int L = side < 2 ? W : H;
      const int h = (L - 2 * i) / 2;
      // A side one pixel long has no middle to fade from.
      if (h <= 0) return 1.0;
      return std::min(1.0, 1.5 - std::abs(double(h - n)) / h);
    }
  }
}

void DrawFrame(LayerStack& st, int slot, const FrameParams& p) {
  Layer* l = st.Get(slot);
  if (!l || l->alpha.size() != size_t(l->pixelCount)) return;
  std::fill(l->alpha.begin(), l->alpha.end(), 0);
  const int W = st.header.canvasWidth, H = st.header.canvasHeight;
  const int T = ClampFrameThickness(p.thickness);
  const int bpp = st.LayerBpp(*l);
  // A ring past the middle of the shorter side is inside out: its first row would
  // lie below its last. Drawn anyway, its sides would paint over the outer rings on
  // the far half, so the rings stop where the canvas is used up.
  const int rings = std::min(T, (std::min(W, H) + 1) / 2);
  const auto put = [&](int cx, int cyTop, Rgbq colour) {
    if (cx < 0 || cx >= W || cyTop < 0 || cyTop >= H) return;
    const int lx = cx - l->x, ly = (H - 1 - cyTop) + l->y;
    if (lx < 0 || ly < 0 || lx >= l->width || ly >= l->height) return;
    uint8_t* row = l->pixels.data() + size_t(ly) * size_t(l->stride);
    if (bpp >= 24) {
      uint8_t* px = row + size_t(lx) * size_t(bpp / 8);
      px[0] = uint8_t(RgbqB(colour));
      px[1] = uint8_t(RgbqG(colour));
      px[2] = uint8_t(RgbqR(colour));
    } else if (l->kind != kLayerText) {
      PutRowIndex(row, bpp, lx, st.NearestPaletteIndex(colour));
    }
    l->alpha[size_t(ly) * size_t(l->width) + size_t(lx)] = 255;
  };
  for (int i = 0; i < rings; ++i) {
    for (int side = 0; side < 4; ++side) {
      const bool horizontal = side < 2;
      const int from = i, to = horizontal ? W - i - 1 : H - i - 1;
      for (int k = from; k <= to; ++k) {
        bool band = false;
        const double f = FrameFactor(p, W, H, i, side, k - from, &band);
        const Rgbq colour = ScaleColour(band ? p.second : p.first, f);
        switch (side) {
          case 0: put(k, i, colour); break;
          case 1: put(k, H - 1 - i, colour); break;
          case 2: put(i, k, colour); break;
          default: put(W - 1 - i, k, colour); break;
        }
      }
    }
  }
  l->dirty = 1;
}

namespace {

int FindOrAddFrameLayer(CMirvDoc& doc, bool* added) {
  LayerStack& st = doc.Layers();
  *added = false;
  const std::u16string name = Utf8ToUtf16(kFrameLayerName);
  for (int s : st.Chain())
    if (st.slots[s].name.Get() == name) return s;
  if (!doc.InsertLayer(st.active)) return -1;
  doc.RenameLayer(st.active, kFrameLayerName);  // also shows the name in the title and the layer panel
  *added = true;
  return st.active;
}

}  // namespace

bool PhotoFrameSession::Begin() {
  LayerStack& st = doc_.Layers();
  if (doc_.IsBusy() || !st.Active()) return false;
  doc_.RevertLayer(st.active, false);
  startSlot_ = st.active;
  if (doc_.HistoryEnabled()) {
    doc_.History().SaveBackup(0, startSlot_);
    doc_.History().SaveBackup(1, startSlot_);
  }
  active_ = true;
  drawn_ = added_ = false;
  frameSlot_ = -1;
  return true;
}

bool PhotoFrameSession::Apply(const FrameParams& p) {
  if (!active_ || doc_.IsBusy()) return false;
  LayerStack& st = doc_.Layers();
  if (doc_.HistoryEnabled() && st.Used(startSlot_)) doc_.History().RestoreBackup(1, startSlot_);
  bool added = false;
  const int slot = FindOrAddFrameLayer(doc_, &added);
  if (slot < 0) return false;
  added_ = added_ || added;
  frameSlot_ = slot;
  if (st.active != slot) doc_.SetActiveLayer(slot);
  DrawFrame(st, slot, p);
  // Committed so that the next redraw's revert of another layer keeps this frame.
  doc_.CommitLayer(slot);
  drawn_ = true;
  doc_.LayersChanged();
  return true;
}

void PhotoFrameSession::End() {
  if (!active_) return;
  active_ = false;
  if (drawn_ && doc_.Layers().Used(frameSlot_))
    doc_.RecordStep(kLabelFrame, added_ ? kStepPaste : kStepPixels, frameSlot_);
  drawn_ = false;
}

bool ApplyPhotoFrame(CMirvDoc& doc, const FrameParams& p) {
  PhotoFrameSession s(doc);
  if (!s.Begin() || !s.Apply(p)) return false;
  s.End();
  return true;
}

}  // namespace velmira
