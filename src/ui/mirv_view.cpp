#include "ui/mirv_view.h"

#include "app/language.h"

#include "commands/registry.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMetaMethod>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cmath>

#include "image/compose.h"
#include "image/layer_effect.h"
#include "ui/qt_colour.h"
#include "ui/view_cursors.h"

namespace velmira {

namespace {

QList<CMirvView*>& AllViews() {
  static QList<CMirvView*> views;
  return views;
}


Qt::BrushStyle HatchPattern(int style) {
  switch (style) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
  }
}

Key ToKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Shift: return Key::Shift;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    default: return Key::Other;
  }
}

// Until the platform repeats a held Shift the view repeats it itself: X servers do
// not auto-repeat modifier keys, and the wand adds to a selection only while Shift
// is held down, not after a quick tap.
constexpr int kShiftHoldMs = 500;

}  // namespace

CMirvView::CMirvView(CMirvDoc& doc, FrameState& frame, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), frame_(frame), router_(ToolRouter::For(doc)) {
  AllViews().append(this);
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  timer_.setInterval(400);
  connect(&timer_, &QTimer::timeout, this, [this] { router_->TimerTick(*this); });
  shiftTimer_.setSingleShot(true);
  shiftTimer_.setInterval(kShiftHoldMs);
  connect(&shiftTimer_, &QTimer::timeout, this, [this] {
    if (shiftDown_ && (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier))
      router_->KeyDown(*this, Key::Shift, true);
  });
  OnUpdate(viewcmd::kUpdateHint);
}

CMirvView::~CMirvView() {
  timer_.stop();
  AllViews().removeAll(this);
}

QList<CMirvView*> CMirvView::ViewsOf(const CMirvDoc& doc) {
  QList<CMirvView*> out;
  for (CMirvView* v : AllViews())
    if (&v->doc_ == &doc) out.append(v);
  return out;
}

void CMirvView::UpdateAllViews(CMirvDoc& doc, int hint) {
  for (CMirvView* v : ViewsOf(doc)) v->OnUpdate(hint);
}

bool CMirvView::HasPicture() const {
  const LayerStack& L = doc_.Layers();
  return L.Used(L.bottom) && L.header.canvasWidth > 0 && L.header.canvasHeight > 0;
}

QSize CMirvView::ZoomedSize() const {
  if (!HasPicture()) return {0, 0};
  const float z = router_->Zoom();
  return {int(float(doc_.Layers().header.canvasWidth) * z), int(float(doc_.Layers().header.canvasHeight) * z)};
}

ViewGeometry CMirvView::Geometry() const {
  ViewGeometry g;
  g.clientWidth = viewport()->width();
  g.clientHeight = viewport()->height();
  if (router_->State().stretch && HasPicture() && g.clientWidth > 0 && g.clientHeight > 0) {
    g.zoomedWidth = g.clientWidth;
    g.zoomedHeight = g.clientHeight;
    const double z = router_->Zoom();
    g.toZoomX = z * doc_.Layers().header.canvasWidth / g.clientWidth;
    g.toZoomY = z * doc_.Layers().header.canvasHeight / g.clientHeight;
  } else {
    const QSize s = ZoomedSize();
    g.zoomedWidth = s.width();
    g.zoomedHeight = s.height();
  }
  g.scrollX = horizontalScrollBar()->value();
  g.scrollY = verticalScrollBar()->value();
  return g;
}

QSize CMirvView::sizeHint() const {
  QSize limit(1024, 768);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) limit = screen->availableSize() * 3 / 4;
  return ZoomedSize().boundedTo(limit).expandedTo(QSize(160, 120));
}

QPoint CMirvView::PictureOrigin() const {
  const ViewGeometry g = Geometry();
  const PictureRect r = PictureRectOf(g);
  return {r.left - (r.centredX ? 0 : g.scrollX), r.top - (r.centredY ? 0 : g.scrollY)};
}

// The viewport size a picture of width × height leaves: scroll bars appear only
// when needed, and each one takes room from the other axis.
QSize CMirvView::ViewportFor(int width, int height) const {
  const QSize full = maximumViewportSize();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const bool hPolicy = horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
  const bool vPolicy = verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
  bool needH = hPolicy && width > full.width();
  bool needV = vPolicy && height > full.height();
  if (needH && !needV) needV = vPolicy && height > full.height() - bar;
  if (needV && !needH) needH = hPolicy && width > full.width() - bar;
  return {std::max(0, full.width() - (needV ? bar : 0)), std::max(0, full.height() - (needH ? bar : 0))};
}

void CMirvView::SetScrollExtents(int width, int height) {
  extentW_ = width;
  extentH_ = height;
  const QSize vp = ViewportFor(width, height);
  horizontalScrollBar()->setRange(0, std::max(0, width - vp.width()));
  verticalScrollBar()->setRange(0, std::max(0, height - vp.height()));
  horizontalScrollBar()->setPageStep(std::max(1, vp.width()));
  verticalScrollBar()->setPageStep(std::max(1, vp.height()));
  horizontalScrollBar()->setSingleStep(std::max(1, vp.width() / 20));
  verticalScrollBar()->setSingleStep(std::max(1, vp.height() / 20));
}

void CMirvView::StoreScroll() {
  DocViewState& s = router_->State();
  const PictureRect r = PictureRectOf(Geometry());
  // A centred axis does not scroll.
  s.scrollX = r.centredX ? 0 : horizontalScrollBar()->value();
  s.scrollY = r.centredY ? 0 : verticalScrollBar()->value();
}

void CMirvView::OnUpdate(int hint) {
  DocViewState& s = router_->State();
  const QSize zoomed = ZoomedSize();
  if (hint == viewcmd::kUpdateHint && !s.stretch) {
    const int oldW = extentW_, oldH = extentH_;
    const int posX = horizontalScrollBar()->value(), posY = verticalScrollBar()->value();
    const QSize vp = ViewportFor(zoomed.width(), zoomed.height());
    const Point anchor = s.zoomAnchor;
    SetScrollExtents(zoomed.width(), zoomed.height());
    if (oldW > 0 && oldH > 0) {
      horizontalScrollBar()->setValue(ScrollAfterZoom(posX, oldW, zoomed.width(), vp.width(), anchor.x));
      verticalScrollBar()->setValue(ScrollAfterZoom(posY, oldH, zoomed.height(), vp.height(), anchor.y));
    }
    ResizeFrameToPicture();
    s.keepFrameSize = false;
  } else if (s.stretch) {
    SetScrollExtents(0, 0);
  } else {
    SetScrollExtents(zoomed.width(), zoomed.height());
  }
  updatedZoom_ = router_->Zoom();
  updatedStretch_ = s.stretch;
  cacheValid_ = false;
  StoreScroll();
  // Undo, resize and new pictures all arrive here: the status line follows.
  EmitStatus();
  viewport()->update();
}

void CMirvView::ResizeFrameToPicture() {
  if (router_->State().keepFrameSize) return;
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!sub || sub->isMinimized() || sub->isMaximized() || !sub->mdiArea()) return;
  const QSize zoomed = ZoomedSize();
  const QWidget* area = sub->mdiArea()->viewport();
  const QRect fg = sub->geometry();
  // The frame's client is the whole view, scroll bars included.
  const QSize decoration = sub->size() - size();
  const int w = FrameClientExtent(zoomed.width(), fg.left(), area->width(), decoration.width());
  const int h = FrameClientExtent(zoomed.height(), fg.top(), area->height(), decoration.height());
  sub->resize(w + decoration.width(), h + decoration.height());
  // A frame that started low in the area may still reach past it: move it back in.
  const FrameSpan x = FitFrameSpan(sub->x(), sub->width(), area->width());
  const FrameSpan y = FitFrameSpan(sub->y(), sub->height(), area->height());
  sub->setGeometry(x.nearEdge, y.nearEdge, x.extent, y.extent);
}

void CMirvView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  if (router_->State().stretch)
    SetScrollExtents(0, 0);
  else
    SetScrollExtents(extentW_, extentH_);
  cacheValid_ = false;
  StoreScroll();
}

void CMirvView::scrollContentsBy(int, int) {
  StoreScroll();
  viewport()->update();
}

// ---------------------------------------------------------------- painting

CMirvView::CacheKey CMirvView::KeyFor(const ViewGeometry& g, const PictureRect& r) const {
  CacheKey k;
  const LayerStack& L = doc_.Layers();
  if (router_->State().stretch) {
    k.zoomX = float(r.width) / float(L.header.canvasWidth);
    k.zoomY = float(r.height) / float(L.header.canvasHeight);
  } else {
    k.zoomX = k.zoomY = router_->Zoom();
  }
  k.left = r.centredX ? 0 : g.scrollX;
  k.top = r.centredY ? 0 : g.scrollY;
  k.width = r.width;
  k.height = r.height;
  return k;
}

QRect CMirvView::OutputRectOf(const CanvasRect& r, const CacheKey& key) const {
  // Output pixel p shows canvas column trunc(p / zoom), or with the view's levels
  // the first column of the level cell it samples (at most 2^k − 1 less), so the
  // pixels showing columns [a, b) lie within [a × zoom − 1, (b + 2^k) × zoom + 1).
  const LayerStack& L = doc_.Layers();
  const int ch = L.header.canvasHeight;
  const float z = std::max(key.zoomX, key.zoomY);
  int cell = 1;
  while (cell < 4096 && z * float(2 * cell) <= 1.0f) cell *= 2;
  const auto span = [&](int a, int b, float zoom, int origin, int count, int* p0, int* p1) {
    *p0 = std::max(0, int(std::floor(double(a) * zoom)) - 1 - origin);
    *p1 = std::min(count, int(std::ceil(double(b + cell) * zoom)) + 1 - origin);
  };
  int x0, x1, y0, y1;
  span(r.x, r.x + r.w, key.zoomX, key.left, key.width, &x0, &x1);
  span(ch - r.y - r.h, ch - r.y, key.zoomY, key.top, key.height, &y0, &y1);
  if (x1 <= x0 || y1 <= y0) return {};
  return QRect(x0, y0, x1 - x0, y1 - y0);
}

void CMirvView::EnsureComposition(const CacheKey& key) {
  // Rectangles the document collected since a view last composed: the levels forget
  // them once, and every view of the document recomposes them.
  if (!doc_.DirtyRects().empty()) {
    for (const CMirvDoc::DirtyRect& d : doc_.DirtyRects()) doc_.Mips().Invalidate(d.rect, d.slot);
    for (CMirvView* v : ViewsOf(doc_)) {
      v->pendingDirty_.insert(v->pendingDirty_.end(), doc_.DirtyRects().begin(), doc_.DirtyRects().end());
      // A view that has not painted for a long time simply composes everything.
      if (v->pendingDirty_.size() > 64) {
        v->pendingDirty_.clear();
        v->cacheValid_ = false;
      }
    }
    doc_.ClearDirty();
  }
  const bool stale = doc_.CompositionStale();
  // An edit without a rectangle: the levels of the layers it touched are dropped.
  if (stale) doc_.Mips().Sync(doc_.Layers());
  if (cacheValid_ && key == key_ && !stale && pendingDirty_.empty()) return;
  ViewMips* mips = &doc_.Mips();
  const size_t stride = size_t(key.width) * 4;
  const size_t bytes = stride * size_t(key.height);
  const uint8_t* before = buffer_.data();
  if (buffer_.size() < bytes) buffer_.resize(bytes);
  const bool sameImage = !image_.isNull() && buffer_.data() == before && image_.width() == key.width &&
                         image_.height() == key.height && image_.constBits() == buffer_.data();
  if (!sameImage)
    image_ = QImage(buffer_.data(), key.width, key.height, qsizetype(stride), QImage::Format_ARGB32_Premultiplied);
  // Shadows follow whatever painted, filled, erased or pasted since they were computed.
  RefreshLayerEffects(doc_.Layers());
  uint8_t* b = buffer_.data();
  const auto compose = [&](int i0, int j0, int w, int h) {
    if (w <= 0 || h <= 0) return;
    ComposeViewport(doc_.Layers(), ComposeRange{}, key.left + i0, key.top + j0, w, h, key.zoomX, key.zoomY,
                    b + size_t(j0) * stride + size_t(i0) * 4, stride, mips);
  };
  // Scrolling at the same zoom: what stays in view moves, and only the strips that
  // scrolled in are composed; then the changed rectangles are recomposed. Every
  // output pixel depends on its own position alone, so the bytes are those of a
  // whole composition.
  const int dx = key.left - key_.left, dy = key.top - key_.top;
  if (cacheValid_ && !stale && sameImage && key.zoomX == key_.zoomX && key.zoomY == key_.zoomY &&
      key.width == key_.width && key.height == key_.height && std::abs(dx) < key.width &&
      std::abs(dy) < key.height) {
    if (dx != 0 || dy != 0) {
      const size_t keep = size_t(key.width - std::abs(dx)) * 4;
      const size_t from = dx > 0 ? size_t(dx) * 4 : 0, to = dx < 0 ? size_t(-dx) * 4 : 0;
      // Output row j takes old row j + dy; rows are walked so that none is read after
      // it was overwritten.
      if (dy >= 0) {
        for (int j = 0; j + dy < key.height; ++j)
          std::memmove(b + size_t(j) * stride + to, b + size_t(j + dy) * stride + from, keep);
      } else {
        for (int j = key.height - 1; j + dy >= 0; --j)
          std::memmove(b + size_t(j) * stride + to, b + size_t(j + dy) * stride + from, keep);
      }
      const int rowsIn = std::abs(dy), colsIn = std::abs(dx);
      const int j0 = dy > 0 ? key.height - rowsIn : 0;
      compose(0, j0, key.width, rowsIn);
      const int restTop = dy > 0 ? 0 : rowsIn, restRows = key.height - rowsIn;
      compose(dx > 0 ? key.width - colsIn : 0, restTop, colsIn, restRows);
    }
    for (const CMirvDoc::DirtyRect& d : pendingDirty_) {
      const QRect o = OutputRectOf(d.rect, key);
      compose(o.x(), o.y(), o.width(), o.height());
    }
  } else {
    ComposeViewport(doc_.Layers(), ComposeRange{}, key.left, key.top, key.width, key.height, key.zoomX, key.zoomY,
                    buffer_.data(), stride, mips);
  }
  pendingDirty_.clear();
  ++compositions_;
  key_ = key;
  cacheValid_ = true;
  if (stale) {
    // The flag is the document's; the other views must not miss the edit it marked.
    doc_.SetCompositionStale(false);
    for (CMirvView* v : ViewsOf(doc_))
      if (v != this) {
        v->cacheValid_ = false;
        v->viewport()->update();
      }
  }
}

void CMirvView::DrawBackground(QPainter& p, const PictureRect& r, const QPoint& origin, bool hatch) {
  const QRect client = viewport()->rect();
  const QRect pic(r.left, r.top, r.width, r.height);
  const QColor grey(120, 120, 120);
  // Only the margins around the picture: the picture area is filled below.
  p.fillRect(QRect(0, 0, client.width(), pic.top()), grey);
  p.fillRect(QRect(0, pic.bottom() + 1, client.width(), client.height() - pic.bottom() - 1), grey);
  p.fillRect(QRect(0, pic.top(), pic.left(), pic.height()), grey);
  p.fillRect(QRect(pic.right() + 1, pic.top(), client.width() - pic.right() - 1, pic.height()), grey);
  if (pic.isEmpty() || !hatch) return;
  // Transparent parts of the picture show a hatch that moves with the picture.
  p.fillRect(pic, Qt::white);
  p.setBrushOrigin(QPoint(origin.x() / 8 * 8, origin.y() / 8 * 8));
  p.fillRect(pic, QBrush(QColor(191, 191, 191), HatchPattern(frame_.hatchStyle)));
  p.setBrushOrigin(0, 0);
}

QPointF CMirvView::ToClient(Point zoomed, const PictureRect& r, const CacheKey& k) const {
  return {double(r.left + zoomed.x - k.left), double(r.top + zoomed.y - k.top)};
}

void CMirvView::DrawGrid(QPainter& p, const PictureRect& r, const CacheKey& k) {
  const int spacing = frame_.gridSpacing;
  if (spacing <= 0) return;
  const double stepX = spacing * double(k.zoomX), stepY = spacing * double(k.zoomY);
  if (stepX < 2 || stepY < 2) return;  // a grid denser than the pixels hides the picture
  p.setPen(QPen(ToQColor(frame_.displayColours[0]), 0));
  const QRect clip(r.left, r.top, r.width, r.height);
  p.save();
  p.setClipRect(clip);
  QVector<QLineF> lines;
  for (double x = std::ceil(k.left / stepX) * stepX; x < k.left + k.width; x += stepX) {
    const double cx = r.left + x - k.left;
    lines.append(QLineF(cx, r.top, cx, r.top + r.height));
  }
  for (double y = std::ceil(k.top / stepY) * stepY; y < k.top + k.height; y += stepY) {
    const double cy = r.top + y - k.top;
    lines.append(QLineF(r.left, cy, r.left + r.width, cy));
  }
  p.drawLines(lines);
  p.restore();
}

void CMirvView::DrawOutline(QPainter& p, const PictureRect& r, const CacheKey& k) {
  const DocViewState& s = router_->State();
  if (!s.selectionActive || !s.showOutline || s.outline.Empty()) return;
  const LayerStack& L = doc_.Layers();
  const int ch = L.header.canvasHeight;
  QVector<QLineF> lines;
  const QRectF visible(r.left - 1, r.top - 1, r.width + 2, r.height + 2);
  for (const OutlineEdge& e : s.outline.edges) {
    const OutlineEdge c = EdgeOnCanvas(e, L.maskX, L.maskY, ch);
    const QPointF a(r.left + c.x0 * double(k.zoomX) - k.left, r.top + c.y0 * double(k.zoomY) - k.top);
    const QPointF b(r.left + c.x1 * double(k.zoomX) - k.left, r.top + c.y1 * double(k.zoomY) - k.top);
    if (std::max(a.x(), b.x()) < visible.left() || std::min(a.x(), b.x()) > visible.right() ||
        std::max(a.y(), b.y()) < visible.top() || std::min(a.y(), b.y()) > visible.bottom())
      continue;
    lines.append(QLineF(a, b));
  }
  if (lines.isEmpty()) return;
  // Marching ants: a light line under a dark dash whose phase flips on every tick.
  p.setPen(QPen(ToQColor(frame_.displayColours[1]), 1));
  p.drawLines(lines);
  QPen dash(ToQColor(frame_.displayColours[0]), 1, Qt::CustomDashLine);
  dash.setDashPattern({4, 4});
  dash.setDashOffset(s.outlinePhase ? 4 : 0);
  p.setPen(dash);
  p.drawLines(lines);
}

// The guide path: its segments (the closing one when closed) and a small square on
// every point, at the centres of the layer pixels the points stand on.
void CMirvView::DrawGuidePath(QPainter& p, const PictureRect& r, const CacheKey& k) {
  const GuidePath& path = doc_.guidePath;
  const LayerStack& L = doc_.Layers();
  const Layer* l = L.Active();
  if (!l || path.Empty()) return;
  const int ch = L.header.canvasHeight;
  auto at = [&](const GuidePoint& g) {
    const double cx = g.x + l->x + 0.5, cy = l->y + ch - 1 - g.y + 0.5;
    return QPointF(r.left + cx * double(k.zoomX) - k.left, r.top + cy * double(k.zoomY) - k.top);
  };
  p.save();
  p.setClipRect(QRect(r.left, r.top, r.width, r.height));
  p.setRenderHint(QPainter::Antialiasing, false);
  QPolygonF line;
  for (const GuidePoint& g : path.points) line << at(g);
  if (path.closed && path.Count() > 1) line << at(path.points.front());
  p.setPen(QPen(ToQColor(frame_.displayColours[2]), 1));
  p.drawPolyline(line);
  p.setBrush(ToQColor(frame_.displayColours[1]));
  for (const GuidePoint& g : path.points) p.drawRect(QRectF(at(g) - QPointF(2, 2), QSizeF(4, 4)));
  p.restore();
}

// With "선택영역을 다른 톤으로 구별하여 나타내기" on, the selected pixels are tinted
// with the colour of the outline's dashes, so a selection stays visible between the
// flashes of its outline and where the outline is too thin to see (a magic-wand
// selection of scattered pixels). The light colour under the dashes would vanish on
// white paper, hence the dash colour. Only the view shows it; the picture is untouched.
void CMirvView::DrawSelectionTone(QPainter& p, const PictureRect& r, const CacheKey& k) {
  const LayerStack& L = doc_.Layers();
  if (!frame_.showSelectionTone || !L.selectionExists || L.maskWidth <= 0 || L.maskHeight <= 0 ||
      L.mask.size() < size_t(L.maskWidth) * size_t(L.maskHeight) || k.zoomX <= 0 || k.zoomY <= 0)
    return;
  const int cw = L.header.canvasWidth, ch = L.header.canvasHeight;
  // Each output pixel shows the canvas pixel the composition put there.
  std::vector<int> maskCol(size_t(k.width)), maskRow(size_t(k.height));
  for (int i = 0; i < k.width; ++i) {
    const int c = int(float(k.left + i) / k.zoomX);
    maskCol[size_t(i)] = c >= 0 && c < cw ? c - L.maskX : -1;
  }
  for (int j = 0; j < k.height; ++j) {
    const int fromTop = int(float(k.top + j) / k.zoomY);
    maskRow[size_t(j)] = fromTop >= 0 && fromTop < ch ? ch - 1 - fromTop + L.maskY : -1;
  }
  if (tone_.width() != k.width || tone_.height() != k.height)
    tone_ = QImage(k.width, k.height, QImage::Format_ARGB32_Premultiplied);
  // About two fifths of the display colour over the picture: clearly different,
  // still showing what is selected.
  const Rgbq c = frame_.displayColours[0];
  const uint32_t a = 100;
  const uint32_t tint = a << 24 | (RgbqR(c) * a / 255) << 16 | (RgbqG(c) * a / 255) << 8 | (RgbqB(c) * a / 255);
  bool any = false;
  for (int j = 0; j < k.height; ++j) {
    auto* out = reinterpret_cast<uint32_t*>(tone_.scanLine(j));
    const int my = maskRow[size_t(j)];
    if (my < 0 || my >= L.maskHeight) {
      std::fill(out, out + k.width, 0u);
      continue;
    }
    const uint8_t* m = L.mask.data() + size_t(my) * size_t(L.maskWidth);
    for (int i = 0; i < k.width; ++i) {
      const int mx = maskCol[size_t(i)];
      const bool selected = mx >= 0 && mx < L.maskWidth && m[mx] == 1;
      out[i] = selected ? tint : 0u;
      any |= selected;
    }
  }
  if (any) p.drawImage(QPoint(r.left, r.top), tone_);
}

void CMirvView::DrawPreview(QPainter& p, const PictureRect& r, const CacheKey& k) {
  const DocViewState& s = router_->State();
  QPen pen(Qt::black, 1, Qt::DashLine);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.save();
  p.setClipRect(QRect(r.left, r.top, r.width, r.height));
  // Stored points are in zoomed-picture space of the document's zoom; in stretch
  // mode they are scaled to the displayed picture.
  const double sx = k.zoomX / router_->Zoom(), sy = k.zoomY / router_->Zoom();
  auto at = [&](Point q) { return ToClient(Point{int(q.x * sx), int(q.y * sy)}, r, k); };
  switch (s.preview.kind) {
    case ToolPreview::Rectangle: p.drawRect(QRectF(at(s.preview.a), at(s.preview.b)).normalized()); break;
    case ToolPreview::Line: p.drawLine(at(s.preview.a), at(s.preview.b)); break;
    case ToolPreview::Ellipse: {
      const QPointF c = at(s.preview.a), e = at(s.preview.b);
      const double rad = std::hypot(e.x() - c.x(), e.y() - c.y());
      p.drawEllipse(c, rad, rad);
      break;
    }
    case ToolPreview::None: break;
  }
  if (s.previewPath.size() > 1) {
    QPolygonF poly;
    for (Point q : s.previewPath) poly << at(q);
    p.drawPolyline(poly);
  }
  p.restore();
}

void CMirvView::paintEvent(QPaintEvent*) {
  DocViewState& s = router_->State();
  // A zoom that reached the document without an update of this view (a host that
  // does not forward updates) still lays the view out before it is drawn.
  if (updatedZoom_ != router_->Zoom() || updatedStretch_ != s.stretch) OnUpdate(s.stretch ? 0 : viewcmd::kUpdateHint);
  if (s.revertOnPaint) {
    // The clear command asked to drop an unfinished preview from the active layer.
    s.revertOnPaint = false;
    const Layer* a = doc_.Layers().Active();
    if (a && a->visible == 1) {
      doc_.RevertLayer(doc_.Layers().active, false);
      doc_.SetCompositionStale(true);
    }
  }
  QPainter p(viewport());
  const ViewGeometry g = Geometry();
  const PictureRect r = PictureRectOf(g);
  if (!HasPicture() || r.width <= 0 || r.height <= 0) {
    p.fillRect(viewport()->rect(), QColor(120, 120, 120));
    return;
  }
  const CacheKey k = KeyFor(g, r);

  // An opaque picture hides the hatch entirely: it is neither drawn nor blended
  // over, which spares three passes over the window on every repaint.
  const bool opaque = ComposesOpaque(doc_.Layers());
  DrawBackground(p, r, QPoint(r.left - k.left, r.top - k.top), !opaque);
  EnsureComposition(k);
  if (opaque) p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QPoint(r.left, r.top), image_);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);

  DrawSelectionTone(p, r, k);
  const int overlay = router_->OverlayMode(!doc_.guidePath.Empty());
  DrawGrid(p, r, k);
  if (overlay == 1 || overlay == 2) DrawOutline(p, r, k);
  if (overlay == 2) DrawPreview(p, r, k);
  if (overlay == 5) DrawGuidePath(p, r, k);
}

void CMirvView::Invalidate(bool) {
  // A change the document described by rectangles repaints just those in every view
  // of it, unless a preview drawn over the picture moves too.
  const bool rectsOnly = !doc_.CompositionStale() && !doc_.DirtyRects().empty();
  if (rectsOnly && router_->OverlayMode(!doc_.guidePath.Empty()) <= 1) {
    for (CMirvView* v : ViewsOf(doc_)) v->UpdateRects(doc_.DirtyRects());
    return;
  }
  viewport()->update();
  if (doc_.CompositionStale() || rectsOnly)
    for (CMirvView* v : ViewsOf(doc_))
      if (v != this) v->viewport()->update();
}

void CMirvView::UpdateRects(const std::vector<CMirvDoc::DirtyRect>& rects) {
  const ViewGeometry g = Geometry();
  const PictureRect r = PictureRectOf(g);
  if (!HasPicture() || r.width <= 0 || r.height <= 0) return viewport()->update();
  const CacheKey k = KeyFor(g, r);
  for (const CMirvDoc::DirtyRect& d : rects) {
    const QRect o = OutputRectOf(d.rect, k);
    if (!o.isEmpty()) viewport()->update(o.translated(r.left, r.top));
  }
}

// ---------------------------------------------------------------- input

PointerEvent CMirvView::MapEvent(const QPoint& client, bool leftOnly) const {
  const MappedPoint m = MapClientPoint(Geometry(), client.x(), client.y());
  PointerEvent e;
  e.view = m.view;
  e.raw = m.raw;
  e.client = {client.x(), client.y()};
  e.leftOnly = leftOnly;
  return e;
}

void CMirvView::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !HasPicture()) {
    QAbstractScrollArea::mousePressEvent(e);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  router_->Press(*this, MapEvent(e->position().toPoint(), true));
  Q_EMIT toolStep();
}

void CMirvView::mouseMoveEvent(QMouseEvent* e) {
  if (!HasPicture()) return;
  const bool leftOnly = e->buttons() == Qt::LeftButton && e->modifiers() == Qt::NoModifier;
  router_->Move(*this, MapEvent(e->position().toPoint(), leftOnly));
}

void CMirvView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !HasPicture()) {
    QAbstractScrollArea::mouseReleaseEvent(e);
    return;
  }
  router_->Release(*this, MapEvent(e->position().toPoint(), true));
  Q_EMIT toolStep();
}

void CMirvView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (!HasPicture() || (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)) return;
  // The release that follows a double-click finds no press of its own and is ignored,
  // so that it records no painting step.
  router_->DoubleClick(*this, MapEvent(e->position().toPoint(), e->button() == Qt::LeftButton));
  Q_EMIT toolStep();
}

void CMirvView::keyPressEvent(QKeyEvent* e) {
  const Key k = ToKey(e->key());
  if (k == Key::Shift && !e->isAutoRepeat()) {
    shiftDown_ = true;
    shiftTimer_.start();
  } else if (k != Key::Shift) {
    shiftTimer_.stop();
  }
  router_->KeyDown(*this, k, e->isAutoRepeat());
  if (k == Key::Other) QAbstractScrollArea::keyPressEvent(e);
}

void CMirvView::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;
  if (e->key() == Qt::Key_Shift) {
    shiftDown_ = false;
    shiftTimer_.stop();
  }
  router_->KeyUp(*this, ToKey(e->key()), 1);
}

void CMirvView::SetStatusText(const std::string& text) { Q_EMIT statusText(Tr(text)); }

void CMirvView::EmitStatus() {
  if (HasPicture()) Q_EMIT statusText(QString::fromStdString(ViewStatusLine(doc_.Layers())));
}

void CMirvView::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  EmitStatus();
  Q_EMIT progressChanged(0);
  doc_.Host().RefreshLayerPanel(doc_);
  router_->FocusIn(*this);
}

void CMirvView::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  router_->FocusOut(*this);
}

void CMirvView::OnProgress(int percent) {
  Q_EMIT statusText(QString::asprintf("%d %%", percent));
  Q_EMIT progressChanged(percent);
}

void CMirvView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu(this);
  // The registry's "context/view" surface: zoom, clearing, the clipboard and history.
  for (const SurfaceNode& item : Commands().Surface("context/view")) {
    QAction* a = menu.addAction(Tr(item.label));
    a->setData(item.id);
    if (item.id == tool::kZoomIn || item.id == tool::kZoomOut) {
      a->setEnabled(IsZoomCommandEnabled(item.id));
    } else if (item.id != tool::kClearSelection) {
      const CommandDef* def = Commands().Find(item.id);
      a->setEnabled(def && CommandState{&doc_, true}.Allows(*def));
    }
  }
  QAction* chosen = menu.exec(e->globalPos());
  if (chosen) RunMenuCommand(chosen->data().toInt());
}

void CMirvView::RunMenuCommand(int id) {
  // The main frame owns the menu's commands when it listens (tool consent, buttons).
  if (isSignalConnected(QMetaMethod::fromSignal(&CMirvView::contextCommand))) {
    Q_EMIT contextCommand(id);
    return;
  }
  if (id == tool::kZoomIn || id == tool::kZoomOut)
    OnZoomCommand(id);
  else if (id == tool::kClearSelection)
    router_->OnCommand(id, this);
  else if (const CommandDef* def = Commands().Find(id); def && def->run) {
    // Without a frame (a view on its own) the document's commands run from the registry.
    CommandContext ctx{&doc_, doc_.Frame(), doc_.Host()};
    std::string error;
    def->run(ctx, {}, error);
  }
  viewport()->update();
}

// ---------------------------------------------------------------- commands

bool CMirvView::OnZoomCommand(int id) {
  if (id != tool::kZoomIn && id != tool::kZoomOut && id != tool::kZoomActual && id != tool::kStretch) return false;
  const bool done = router_->OnCommand(id, this);
  if (done) viewport()->update();
  return done;
}

bool CMirvView::IsZoomCommandEnabled(int id) const { return router_->IsCommandEnabled(id); }

void CMirvView::StartSelectionTimer() { timer_.start(); }
void CMirvView::StopSelectionTimer() { timer_.stop(); }

void CMirvView::SetCursorShape(CursorShape shape) { viewport()->setCursor(ViewCursor(shape)); }

void CMirvView::SetWaitCursor(bool on) {
  if (on) {
    ++waitDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (waitDepth_ > 0) {
    --waitDepth_;
    QApplication::restoreOverrideCursor();
  }
}

void CMirvView::TakeFocus() { setFocus(Qt::OtherFocusReason); }

// ---------------------------------------------------------------- printing

void CMirvView::PrintTo(QPrinter* printer) {
  if (!printer || !HasPicture()) return;
  RefreshLayerEffects(doc_.Layers());
  const LayerStack& L = doc_.Layers();
  const int w = L.header.canvasWidth, h = L.header.canvasHeight;
  std::vector<uint8_t> pixels;
  try {
    pixels.resize(size_t(w) * size_t(h) * 4);
  } catch (const std::bad_alloc&) {
    return;
  }
  ComposeViewport(L, ComposeRange{}, 0, 0, w, h, 1.0f, 1.0f, pixels.data(), size_t(w) * 4);
  const QImage picture(pixels.data(), w, h, qsizetype(w) * 4, QImage::Format_ARGB32_Premultiplied);

  QPainter p;
  if (!p.begin(printer)) return;
  const CImageBuffer* view = doc_.ViewImage();
  const double picDpiX = view && view->Ext().xDpi > 0 ? view->Ext().xDpi : 72.0;
  const double picDpiY = view && view->Ext().yDpi > 0 ? view->Ext().yDpi : 72.0;
  double dw = w * printer->logicalDpiX() / picDpiX;
  double dh = h * printer->logicalDpiY() / picDpiY;
  // A picture larger than the page is scaled down to fit rather than cut off.
  const QRect page = p.viewport();
  const double room = std::min((page.width() - 100) / dw, (page.height() - 100) / dh);
  if (room > 0 && room < 1) {
    dw *= room;
    dh *= room;
  }
  const QRectF target(100, 100, dw, dh);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.fillRect(target, Qt::white);
  p.drawImage(target, picture);
  p.end();
}

bool CMirvView::OnPrintCommand(int id) {
  if (!HasPicture()) return false;
  switch (id) {
    case viewcmd::kPrint: {
      QPrinter printer(QPrinter::HighResolution);
      QPrintDialog dialog(&printer, this);
      if (dialog.exec() != QDialog::Accepted) return false;
      PrintTo(&printer);
      return true;
    }
    case viewcmd::kPrintDirect: {
      QPrinter printer(QPrinter::HighResolution);
      PrintTo(&printer);
      return true;
    }
    case viewcmd::kPrintPreview: {
      QPrinter printer(QPrinter::HighResolution);
      QPrintPreviewDialog preview(&printer, this);
      connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* pr) { PrintTo(pr); });
      preview.exec();
      return true;
    }
    default: return false;
  }
}

}  // namespace velmira
