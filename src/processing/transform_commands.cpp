#include "processing/transform_commands.h"

#include <algorithm>
#include <cmath>

#include "image/ui_text.h"
#include "processing/effects.h"

namespace velmira {

const char* const kMsgFreeTransformZoom = QT_TR_NOOP("자유변형은 줌 100% 상태에서 동작함");
const char* const kMsgTextInAllRotate = QT_TR_NOOP("[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.");
const char* const kMsgTextLayerRotate = QT_TR_NOOP("[글]레이어 입니다. [레스터 형식 변환] 후 다시 실행하십시요.");

namespace {

namespace label {
constexpr const char* kFlipCanvasH = QT_TR_NOOP("수평제비회전");
constexpr const char* kFlipCanvasV = QT_TR_NOOP("수직제비회전");
constexpr const char* kFlipLayerH = QT_TR_NOOP("레이어 수평제비회전");
constexpr const char* kFlipLayerV = QT_TR_NOOP("레이어 수직제비회전");
constexpr const char* kMirror = QT_TR_NOOP("거울변환");
constexpr const char* kEllipse = "Ellipse transform";
constexpr const char* kCanvasCw = QT_TR_NOOP("캔버스 90 우회전");
constexpr const char* kCanvasCcw = QT_TR_NOOP("캔버스 90 좌회전");
constexpr const char* kCanvas180 = QT_TR_NOOP("캔버스 180 회전");
constexpr const char* kLayerCw = QT_TR_NOOP("레이어 90 우회전");
constexpr const char* kLayerCcw = QT_TR_NOOP("레이어 90 좌회전");
constexpr const char* kLayer180 = QT_TR_NOOP("레이어 180 회전");
constexpr const char* kFreeRotate = QT_TR_NOOP("자유회전");
constexpr const char* kSize = QT_TR_NOOP("크기");
constexpr const char* kSkew = QT_TR_NOOP("뒤틀림");
constexpr const char* kPerspective = QT_TR_NOOP("원근감");
constexpr const char* kResize = QT_TR_NOOP("이미지크기");
constexpr const char* kCanvasSize = QT_TR_NOOP("캔버스크기조정");
constexpr const char* kTouch = QT_TR_NOOP("터치변형");
}  // namespace label

constexpr const char* kMsgTextActive = QT_TR_NOOP("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");

// Where a layer sits as the user sees it: the top-left corner of its buffer over
// the canvas (canvas row r shows layer row r + y, rows counted from the bottom).
int ShownTop(const LayerStack& st, const Layer& l) { return st.header.canvasHeight - l.height + l.y; }
// The layer y that puts a buffer's bottom `contentHeight` rows with their top at
// `top` as shown, over a canvas `canvasHeight` high.
int StorageY(int top, int contentHeight, int canvasHeight) { return top + contentHeight - canvasHeight; }

bool Busy(CMirvDoc& doc) { return doc.IsBusy() || !doc.Layers().Active(); }

// The selection mask goes with the active layer only.
const Plane* MaskOf(const LayerStack& st, int slot) {
  const Layer& l = st.slots[slot];
  // Without a selection the mask is all 1 and is simply made anew.
  if (!st.selectionExists || slot != st.active || st.maskWidth != l.width || st.maskHeight != l.height)
    return nullptr;
  return &st.mask;
}

// Moves a layer's buffers (and the selection mask, while it is carried) out into
// planes without copying; GiveBack undoes it when a later step fails.
Planes TakePlanes(LayerStack& st, int slot) {
  Layer& l = st.slots[slot];
  Planes p;
  p.width = l.width;
  p.height = l.height;
  p.bpp = st.LayerBpp(l);
  p.stride = l.stride;
  p.text = l.kind == kLayerText;
  const bool mask = MaskOf(st, slot) != nullptr;
  p.pixels.swap(l.pixels);
  p.alpha.swap(l.alpha);
  p.effect.swap(l.effect);
  if (p.effect.size() != p.alpha.size()) p.effect.assign(p.alpha.size(), 0);
  if (mask) p.mask.swap(st.mask);
  return p;
}

void GiveBack(LayerStack& st, int slot, Planes& p) {
  Layer& l = st.slots[slot];
  l.pixels.swap(p.pixels);
  l.alpha.swap(p.alpha);
  l.effect.swap(p.effect);
  if (p.HasMask()) st.mask.swap(p.mask);
}

// Replaces a slot's buffers and geometry with transformed planes at (x, y).
void PutPlanes(LayerStack& st, int slot, Planes& p, int x, int y) {
  Layer& l = st.slots[slot];
  l.pixels.swap(p.pixels);
  l.alpha.swap(p.alpha);
  l.effect.swap(p.effect);
  l.width = p.width;
  l.height = p.height;
  l.stride = p.stride;
  l.imageSize = int32_t(l.pixels.size());
  l.pixelCount = p.width * p.height;
  l.x = x;
  l.y = y;
  l.dirty = 1;
  if (slot == st.active) {
    if (p.HasMask()) {
      st.mask.swap(p.mask);
    } else {
      st.mask.assign(size_t(l.pixelCount), 1);
      st.selectionExists = false;
    }
    st.maskWidth = l.width;
    st.maskHeight = l.height;
    st.maskX = l.x;
    st.maskY = l.y;
  }
}

void SetCanvas(LayerStack& st, int w, int h) {
  st.header.canvasWidth = w;
  st.header.canvasHeight = h;
  st.header.imageSize = StrideFor(w, st.header.bitsPerPixel) * h;
  st.header.pixelCount = w * h;
}

// Planes sized to hold `w` × `h` of content and never smaller than the canvas.
bool Blank(const LayerStack& st, const Layer& like, int w, int h, int cw, int ch, bool withMask, Planes& p,
           Plane* zeroEffect = nullptr) {
  p.text = like.kind == kLayerText;
  const int bpp = st.LayerBpp(like);
  // Uncovered new area is not selected while a selection exists.
  return MakePlanes(p, std::max(w, cw), std::max(h, ch), bpp, 0, withMask, st.selectionExists ? 0 : 1, zeroEffect);
}

bool AllZero(const Plane& v) { return v.AllEqual(0); }

void Refreshed(CMirvDoc& doc, bool geometry) {
  LayerStack& st = doc.Layers();
  RefreshLayerEffects(st);
  if (geometry) {
    doc.Host().UpdateViews(doc, 1025);
  }
  doc.LayersChanged();
}

void RevertAll(CMirvDoc& doc) {
  for (int s : doc.Layers().Chain()) doc.RevertLayer(s, false);
}

Rgbq OutsideColour(CMirvDoc& doc, int* index) {
  const CImageBuffer* v = doc.ViewImage();
  *index = v && v->Ext().transparentIndex >= 0 ? v->Ext().transparentIndex : 0;
  return v ? v->Ext().transparentColour : 0;
}

// The one quarter/half-turn routine: the layer at `slot` rotated into planes whose
// origin holds the rotated box; `w`, `h` receive the box size.
bool RotateSlot(CMirvDoc& doc, int slot, float theta, int cw, int ch, Planes& src, Planes& out, int* w, int* h) {
  LayerStack& st = doc.Layers();
  const Layer& l = st.slots[slot];
  src = TakePlanes(st, slot);
  const RotatedBox box = RotatedBoxOf(l.width, l.height, theta);
  *w = box.Width();
  *h = box.Height();
  // A turn keeps the pixel count, so an empty effect plane serves again as it is.
  if (!Blank(st, l, *w, *h, cw, ch, src.HasMask(), out, AllZero(src.effect) ? &src.effect : nullptr)) {
    GiveBack(st, slot, src);
    return false;
  }
  int index;
  const Rgbq outside = OutsideColour(doc, &index);
  RotatePlanes(src, theta, box, out, outside, index);
  return true;
}

bool ValidTurn(int degrees) { return degrees == 90 || degrees == -90 || degrees == 180; }

}  // namespace

// ---------------------------------------------------------------- flips

bool FlipCanvas(CMirvDoc& doc, bool horizontal) {
  if (Busy(doc)) return false;
  RevertAll(doc);
  LayerStack& st = doc.Layers();
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  for (int s : st.Chain()) {
    Layer& l = st.slots[s];
    Planes p = TakePlanes(st, s);
    FlipPlanes(p, horizontal);
    // A layer off the canvas origin mirrors its place too, so the picture as a
    // whole is mirrored; a canvas-sized layer at (0, 0) stays where it is.
    int x = l.x, y = l.y;
    if (horizontal)
      x = cw - (l.x + l.width);
    else
      y = l.height - ch - l.y;
    const bool hadMask = p.HasMask();
    PutPlanes(st, s, p, x, y);
    if (s == st.active && !hadMask) st.ResetSelection(s);
  }
  doc.RecordStep(horizontal ? label::kFlipCanvasH : label::kFlipCanvasV, kStepFlipAll, st.active);
  Refreshed(doc, false);
  return true;
}

bool FlipLayer(CMirvDoc& doc, bool horizontal) {
  return doc.RunEdit(TextRule::Allow, false, horizontal ? label::kFlipLayerH : label::kFlipLayerV, kStepPixels,
                     [&](LayerStack& st, Layer& l) {
                       const int slot = st.active;
                       Planes p = TakePlanes(st, slot);
                       FlipPlanes(p, horizontal);
                       const bool selection = st.selectionExists;
                       const bool hadMask = p.HasMask();
                       PutPlanes(st, slot, p, l.x, l.y);
                       if (!hadMask) st.ResetSelection(slot);
                       st.selectionExists = selection;
                       return true;
                     });
}

bool MirrorComposed(CMirvDoc& doc) {
  if (Busy(doc) || !doc.ViewImage() || !doc.ViewImage()->IsValid()) return false;
  CImageBuffer out(doc.ViewImage()->FormatType());
  if (!MirrorImage(*doc.ViewImage(), out)) return false;
  doc.ViewImage()->TakeOver(out);
  doc.RecordStep(label::kMirror, kStepPixels, doc.Layers().active);
  doc.Host().UpdateViews(doc, 0);
  return true;
}

bool EllipseTransform(CMirvDoc& doc) {
  if (Busy(doc) || !doc.ViewImage() || !doc.ViewImage()->IsValid()) return false;
  const LayerStack& st = doc.Layers();
  const int slot = st.active;
  const Layer& l = st.slots[slot];
  CImageBuffer out(doc.ViewImage()->FormatType());
  const CImageBuffer* view = doc.ViewImage();
  // Picture pixel (x, y), rows from the bottom, is layer pixel (x − lx, y + ly).
  const bool ok = EllipseImage(*view, out, [&](int x, int y) {
    return st.ReadLayerColor(slot, x - l.x, y + l.y, view);
  });
  if (!ok) return false;
  doc.ViewImage()->TakeOver(out);
  doc.RecordStep(label::kEllipse, kStepPixels, slot);
  doc.Host().UpdateViews(doc, 0);
  return true;
}

// ---------------------------------------------------------------- rotations

bool RotateCanvas(CMirvDoc& doc, int degrees) {
  if (Busy(doc) || !ValidTurn(degrees)) return false;
  LayerStack& st = doc.Layers();
  for (int s : st.Chain())
    if (st.slots[s].kind == kLayerText) {
      doc.Host().ShowMessage(kMsgTextInAllRotate);
      return false;
    }
  RevertAll(doc);
  const float theta = RotationAngle(float(degrees));
  const int W = st.header.canvasWidth, H = st.header.canvasHeight;
  // The new canvas is the largest rotated layer.
  int ncw = 0, nch = 0;
  for (int s : st.Chain()) {
    const RotatedBox b = RotatedBoxOf(st.slots[s].width, st.slots[s].height, theta);
    ncw = std::max(ncw, b.Width());
    nch = std::max(nch, b.Height());
  }
  const std::vector<int> chain = st.Chain();
  std::vector<Planes> out(chain.size()), old(chain.size());
  std::vector<int> xs(chain.size()), ys(chain.size());
  for (size_t k = 0; k < chain.size(); ++k) {
    const Layer& l = st.slots[chain[k]];
    int w, h;
    if (!RotateSlot(doc, chain[k], theta, ncw, nch, old[k], out[k], &w, &h)) {
      for (size_t u = 0; u < k; ++u) GiveBack(st, chain[u], old[u]);
      return false;
    }
    // The layer's rectangle as shown turns with the old canvas, whose turned image
    // starts at the new canvas's top-left corner.
    const int L = l.x, T = ShownTop(st, l);
    int nl, nt;
    if (degrees == 90) {
      nl = H - T - l.height, nt = L;
    } else if (degrees == -90) {
      nl = T, nt = W - L - l.width;
    } else {
      nl = W - L - l.width, nt = H - T - l.height;
    }
    xs[k] = nl;
    ys[k] = StorageY(nt, h, nch);
  }
  // Nothing has failed: the new geometry takes over.
  const bool selection = st.selectionExists;
  for (size_t k = 0; k < chain.size(); ++k) {
    const bool hadMask = out[k].HasMask();
    PutPlanes(st, chain[k], out[k], xs[k], ys[k]);
    if (chain[k] == st.active && !hadMask) st.ResetSelection(chain[k]);
  }
  st.selectionExists = selection;
  SetCanvas(st, ncw, nch);
  doc.RecordStep(degrees == 90 ? label::kCanvasCw : degrees == -90 ? label::kCanvasCcw : label::kCanvas180,
                 kStepFlipAll, st.active);
  Refreshed(doc, true);
  return true;
}

bool RotateLayer(CMirvDoc& doc, int degrees) {
  if (Busy(doc) || !ValidTurn(degrees)) return false;
  LayerStack& st = doc.Layers();
  if (st.Active()->kind == kLayerText) {
    doc.Host().ShowMessage(kMsgTextLayerRotate);
    return false;
  }
  return doc.RunEdit(TextRule::Allow, false,
                     degrees == 90 ? label::kLayerCw : degrees == -90 ? label::kLayerCcw : label::kLayer180,
                     kStepPixels, [&](LayerStack& s, Layer& l) {
                       const int cw = s.header.canvasWidth, ch = s.header.canvasHeight;
                       Planes p, old;
                       int w, h;
                       if (!RotateSlot(doc, s.active, RotationAngle(float(degrees)), cw, ch, old, p, &w, &h))
                         return false;
                       // The turned content keeps its centre where it was.
                       const int L = l.x + (l.width - w) / 2, T = ShownTop(s, l) + (l.height - h) / 2;
                       const bool selection = s.selectionExists;
                       const bool hadMask = p.HasMask();
                       PutPlanes(s, s.active, p, L, StorageY(T, h, ch));
                       if (!hadMask) s.ResetSelection(s.active);
                       s.selectionExists = selection;
                       return true;
                     });
}

// ---------------------------------------------------------------- free transforms

void RotatedCorners(int w, int h, float degrees, QuadPoint out[4]) {
  // Rows grow downwards as shown, so a positive angle turns clockwise.
  const double a = double(degrees) * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  const double cx = w / 2.0, cy = h / 2.0;
  const double xs[4] = {0.0, double(w), double(w), 0.0}, ys[4] = {0.0, 0.0, double(h), double(h)};
  for (int k = 0; k < 4; ++k) {
    const double dx = xs[k] - cx, dy = ys[k] - cy;
    out[k].x = std::round(cx + dx * c - dy * s);
    out[k].y = std::round(cy + dx * s + dy * c);
  }
}

namespace {

// Maps the active layer onto a quadrilateral given in the layer's own coordinates as
// shown; `place` turns the box size into the layer's new top-left as shown.
template <class Place>
// The quadrilateral painted into layer `slot`, placed where `place` says; the
// selection mask follows the layer's new shape.
bool QuadChange(LayerStack& st, int slot, const QuadPoint corners[4], const Place& place) {
  Layer* found = st.Get(slot);
  if (!found) return false;
  Layer& l = *found;
  QuadPoint q[4];
  double mx = corners[0].x, my = corners[0].y;
  for (int k = 1; k < 4; ++k) mx = std::min(mx, corners[k].x), my = std::min(my, corners[k].y);
  for (int k = 0; k < 4; ++k) q[k] = {corners[k].x - mx, corners[k].y - my};
  int bw, bh;
  QuadBoxSize(q, &bw, &bh);
  if (bw <= 0 || bh <= 0) return false;
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  const Planes src = PlanesOf(l, st.LayerBpp(l), MaskOf(st, slot));
  Planes p;
  if (!Blank(st, l, bw, bh, cw, ch, src.HasMask(), p)) return false;
  if (!QuadPlanes(src, q, bh, p, st.palette)) return false;  // parallel edges: the layer stays
  int L, T;
  place(l, mx, my, bw, bh, &L, &T);
  const bool selection = st.selectionExists;
  const bool hadMask = p.HasMask();
  PutPlanes(st, slot, p, L, StorageY(T, bh, ch));
  if (!hadMask) st.ResetSelection(slot);
  st.selectionExists = selection;
  // The shadow follows the new shape.
  if (l.effectOn) ComputeEffectPlane(l.alpha, l.width, l.height, l.effectSize, l.effect);
  return true;
}

template <class Place>
bool QuadEdit(CMirvDoc& doc, const char* labelText, const QuadPoint corners[4], Place place) {
  return doc.RunEdit(TextRule::Active, false, labelText, kStepPixels,
                     [&](LayerStack& st, Layer&) { return QuadChange(st, st.active, corners, place); });
}

}  // namespace

bool RotateLayerFreely(LayerStack& st, int slot, float degrees) {
  const Layer* a = st.Get(slot);
  if (!a) return false;
  QuadPoint q[4];
  RotatedCorners(a->width, a->height, degrees, q);
  const int top = ShownTop(st, *a);
  return QuadChange(st, slot, q, [&](const Layer& l, double, double, int bw, int bh, int* L, int* T) {
    // The centre stays where it was.
    *L = l.x + (l.width - bw) / 2;
    *T = top + (l.height - bh) / 2;
  });
}

bool FreeRotate(CMirvDoc& doc, float degrees) {
  if (Busy(doc)) return false;
  return doc.RunEdit(TextRule::Active, false, label::kFreeRotate, kStepPixels,
                     [&](LayerStack& st, Layer&) { return RotateLayerFreely(st, st.active, degrees); });
}

bool FreeTransform(CMirvDoc& doc, FreeMode mode, const QuadPoint corners[4]) {
  if (Busy(doc)) return false;
  const char* text = mode == FreeMode::Size ? label::kSize : mode == FreeMode::Skew ? label::kSkew : label::kPerspective;
  const bool ok = QuadEdit(doc, text, corners, [&](const Layer&, double mx, double my, int, int, int* L, int* T) {
    // The layer moves to the quadrilateral's minimum corner.
    *L = int(std::floor(mx));
    *T = int(std::floor(my));
  });
  // The handles stay on the new quadrilateral: the result is the base of the next
  // drag.
  if (ok && doc.HistoryEnabled()) doc.History().SaveBackup(1, doc.Layers().active);
  return ok;
}

// ---------------------------------------------------------------- resize and canvas

bool ResizePicture(CMirvDoc& doc, int width, int height) {
  if (Busy(doc) || width <= 0 || height <= 0) return false;
  LayerStack& st = doc.Layers();
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (width == cw && height == ch) return false;
  RevertAll(doc);
  const float sx = float(width) / float(cw), sy = float(height) / float(ch);
  const std::vector<int> chain = st.Chain();
  std::vector<Planes> out(chain.size()), old(chain.size());
  std::vector<int> xs(chain.size()), ys(chain.size());
  auto giveBack = [&](size_t upto) {
    for (size_t u = 0; u <= upto; ++u) GiveBack(st, chain[u], old[u]);
    return false;
  };
  for (size_t k = 0; k < chain.size(); ++k) {
    const Layer& l = st.slots[chain[k]];
    const int nw = std::max(1, int(float(l.width) * sx + 0.5f)), nh = std::max(1, int(float(l.height) * sy + 0.5f));
    old[k] = TakePlanes(st, chain[k]);
    const Planes& src = old[k];
    if (!Blank(st, l, nw, nh, width, height, src.HasMask(), out[k])) return giveBack(k);
    // Sampled at the layer's own scale; a layer the canvas outgrows keeps the
    // new area uncovered.
    Planes content;
    content.text = src.text;
    if (out[k].width == nw && out[k].height == nh) {
      ResizePlanes(src, float(nw) / float(l.width), float(nh) / float(l.height), out[k], st.palette);
    } else {
      if (!MakePlanes(content, nw, nh, out[k].bpp, 0, src.HasMask(), 0)) return giveBack(k);
      ResizePlanes(src, float(nw) / float(l.width), float(nh) / float(l.height), content, st.palette);
      PlacePlanes(content, out[k], 0, 0);
    }
    xs[k] = int(float(l.x) * sx + 0.5f);
    ys[k] = int(float(l.y) * sy + 0.5f);
  }
  const bool selection = st.selectionExists;
  for (size_t k = 0; k < chain.size(); ++k) {
    Layer& l = st.slots[chain[k]];
    if (l.kind == kLayerText) l.text.size = int32_t(float(l.text.size) * std::min(sx, sy));
    const bool hadMask = out[k].HasMask();
    PutPlanes(st, chain[k], out[k], xs[k], ys[k]);
    if (chain[k] == st.active && !hadMask) st.ResetSelection(chain[k]);
  }
  st.selectionExists = selection;
  SetCanvas(st, width, height);
  doc.RecordStep(label::kResize, kStepCanvas, st.active);
  Refreshed(doc, true);
  return true;
}

bool ResizePercent(CMirvDoc& doc, int pw, int ph) {
  const LayerStack& st = doc.Layers();
  if (pw <= 0 || ph <= 0) return false;
  return ResizePicture(doc, std::max(1, int(int64_t(st.header.canvasWidth) * pw / 100)),
                       std::max(1, int(int64_t(st.header.canvasHeight) * ph / 100)));
}

bool CanvasSize(CMirvDoc& doc, int W, int H, int anchor) {
  if (Busy(doc) || W <= 0 || H <= 0 || anchor < 0 || anchor > 8) return false;
  LayerStack& st = doc.Layers();
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (W == cw && H == ch) return false;
  RevertAll(doc);
  int DX, DY;
  AnchorOffset(anchor, W, H, cw, ch, &DX, &DY);
  const std::vector<int> chain = st.Chain();
  std::vector<Planes> out(chain.size());
  std::vector<int> xs(chain.size()), ys(chain.size());
  for (size_t k = 0; k < chain.size(); ++k) {
    const Layer& l = st.slots[chain[k]];
    // The layer moves with the old canvas and grows to cover the new one; nothing
    // of a layer is cut away when the canvas shrinks.
    const int c0 = l.x + DX, r0 = -l.y + DY;
    const int nx0 = std::min(c0, 0), nx1 = std::max(c0 + l.width, W);
    const int ny0 = std::min(r0, 0), ny1 = std::max(r0 + l.height, H);
    const Planes src = PlanesOf(l, st.LayerBpp(l), MaskOf(st, chain[k]));
    out[k].text = src.text;
    if (!MakePlanes(out[k], nx1 - nx0, ny1 - ny0, st.LayerBpp(l), 0, src.HasMask(), st.selectionExists ? 0 : 1))
      return false;
    PlacePlanes(src, out[k], c0 - nx0, r0 - ny0);
    xs[k] = nx0;
    ys[k] = -ny0;
  }
  const bool selection = st.selectionExists;
  for (size_t k = 0; k < chain.size(); ++k) {
    const bool hadMask = out[k].HasMask();
    PutPlanes(st, chain[k], out[k], xs[k], ys[k]);
    if (chain[k] == st.active && !hadMask) st.ResetSelection(chain[k]);
  }
  st.selectionExists = selection;
  SetCanvas(st, W, H);
  doc.RecordStep(label::kCanvasSize, kStepCanvas, st.active);
  Refreshed(doc, true);
  return true;
}

// ---------------------------------------------------------------- touch

bool TouchTransform(CMirvDoc& doc, int x, int y, const TouchSettings& t, bool record) {
  if (Busy(doc)) return false;
  LayerStack& st = doc.Layers();
  if (st.Active()->kind == kLayerText) {
    doc.Host().ShowMessage(kMsgTextActive);
    return false;
  }
  Layer& l = *st.Active();
  const int hw = t.boxWidth / 2, hh = t.boxHeight / 2;
  WarpParams w;
  w.left = x - hw;
  w.right = x + hw;
  w.top = y - hh;
  w.bottom = y + hh;
  w.strength = t.strength;
  w.mode = t.mode;
  const Planes src = PlanesOf(l, st.LayerBpp(l), nullptr);
  Planes dst = src;
  int index;
  const Rgbq outside = OutsideColour(doc, &index);
  WarpPlanes(src, dst, w, st.selectionExists ? MaskOf(st, st.active) : nullptr, st.palette, outside);
  l.pixels.swap(dst.pixels);
  l.alpha.swap(dst.alpha);
  if (l.effectOn) ComputeEffectPlane(l.alpha, l.width, l.height, l.effectSize, l.effect);
  l.dirty = 1;
  if (record) doc.RecordStep(label::kTouch, kStepPixels, st.active);
  doc.LayersChanged();
  return true;
}

}  // namespace velmira
