#include "ui/view_cursors.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmira {

namespace {

constexpr int kSize = 32;

// Black strokes with a white halo, so that every cursor stays visible on any picture.
void Stroke(QPainter& p, const QPainterPath& path, qreal width = 1.5) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

void Fill(QPainter& p, const QPainterPath& path, const QColor& colour) {
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(colour);
  p.drawPath(path);
}

QCursor Draw(CursorShape shape) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPoint hot(kSize / 2, kSize / 2);
  QPainterPath path;
  switch (shape) {
    case CursorShape::Dot: {
      path.addEllipse(QPointF(16, 16), 5, 5);
      path.moveTo(16, 4);
      path.lineTo(16, 10);
      path.moveTo(16, 22);
      path.lineTo(16, 28);
      path.moveTo(4, 16);
      path.lineTo(10, 16);
      path.moveTo(22, 16);
      path.lineTo(28, 16);
      Stroke(p, path, 1.2);
      break;
    }
    case CursorShape::DotPen: {
      // A pen nib pointing at the dot it sets. The tool paints two pixels left of and
      // one below the hot spot, so the drawn dot sits exactly there.
      QPainterPath nib;
      nib.moveTo(9, 23);
      nib.lineTo(24, 8);
      nib.lineTo(28, 12);
      nib.lineTo(13, 27);
      nib.closeSubpath();
      Fill(p, nib, QColor(255, 255, 255));
      QPainterPath tip;
      tip.moveTo(9, 23);
      tip.lineTo(13, 27);
      tip.lineTo(6, 30);
      tip.closeSubpath();
      Fill(p, tip, Qt::black);
      QPainterPath dot;
      dot.addEllipse(QPointF(4.5, 28.5), 2.0, 2.0);
      Fill(p, dot, Qt::black);
      hot = QPoint(6, 27);
      break;
    }
    case CursorShape::Drop: {
      // A droplet whose tip is the hot spot.
      path.moveTo(6, 4);
      path.cubicTo(10, 12, 22, 14, 22, 22);
      path.arcTo(QRectF(10, 16, 12, 12), 0, -180);
      path.cubicTo(10, 16, 8, 10, 6, 4);
      Fill(p, path, QColor(90, 160, 230));
      hot = QPoint(6, 4);
      break;
    }
    case CursorShape::Eraser: {
      QPolygonF body;
      body << QPointF(4, 22) << QPointF(16, 8) << QPointF(26, 16) << QPointF(14, 30) << QPointF(4, 22);
      path.addPolygon(body);
      Fill(p, path, QColor(240, 200, 210));
      QPainterPath band;
      band.moveTo(9, 16);
      band.lineTo(20, 25);
      Stroke(p, band, 1.0);
      hot = QPoint(4, 22);
      break;
    }
    case CursorShape::Text: {
      path.moveTo(10, 6);
      path.lineTo(22, 6);
      path.moveTo(16, 6);
      path.lineTo(16, 26);
      path.moveTo(12, 26);
      path.lineTo(20, 26);
      Stroke(p, path, 1.6);
      QPainterPath cross;
      cross.moveTo(2, 2);
      cross.lineTo(8, 2);
      cross.moveTo(2, 2);
      cross.lineTo(2, 8);
      Stroke(p, cross, 1.2);
      hot = QPoint(2, 2);
      break;
    }
    case CursorShape::Rotate: {
      path.arcMoveTo(QRectF(6, 6, 20, 20), 30);
      path.arcTo(QRectF(6, 6, 20, 20), 30, 300);
      Stroke(p, path, 1.6);
      QPainterPath head;
      head.moveTo(24, 5);
      head.lineTo(25, 12);
      head.lineTo(18, 11);
      Stroke(p, head, 1.6);
      break;
    }
    case CursorShape::Zoom: {
      path.addEllipse(QRectF(3, 3, 17, 17));
      path.moveTo(18, 18);
      path.lineTo(28, 28);
      path.moveTo(7, 11.5);
      path.lineTo(16, 11.5);
      path.moveTo(11.5, 7);
      path.lineTo(11.5, 16);
      Stroke(p, path, 1.8);
      hot = QPoint(11, 11);
      break;
    }
    case CursorShape::Move: {
      path.moveTo(16, 3);
      path.lineTo(16, 29);
      path.moveTo(3, 16);
      path.lineTo(29, 16);
      for (auto [a, b, c] : {std::tuple{QPointF(12, 7), QPointF(16, 3), QPointF(20, 7)},
                             std::tuple{QPointF(12, 25), QPointF(16, 29), QPointF(20, 25)},
                             std::tuple{QPointF(7, 12), QPointF(3, 16), QPointF(7, 20)},
                             std::tuple{QPointF(25, 12), QPointF(29, 16), QPointF(25, 20)}}) {
        path.moveTo(a);
        path.lineTo(b);
        path.lineTo(c);
      }
      Stroke(p, path, 1.6);
      break;
    }
    case CursorShape::Picker: {
      // A pipette with its tip at the bottom left.
      path.moveTo(3, 29);
      path.lineTo(6, 22);
      path.lineTo(19, 9);
      path.lineTo(23, 13);
      path.lineTo(10, 26);
      path.closeSubpath();
      Fill(p, path, QColor(230, 230, 230));
      QPainterPath bulb;
      bulb.addEllipse(QRectF(19, 3, 10, 10));
      Fill(p, bulb, QColor(60, 60, 60));
      hot = QPoint(3, 29);
      break;
    }
    case CursorShape::Touch: {
      path.addEllipse(QPointF(16, 16), 11, 11);
      path.addEllipse(QPointF(16, 16), 2, 2);
      Stroke(p, path, 1.4);
      break;
    }
    case CursorShape::Transform: {
      path.addRect(QRectF(7, 7, 18, 18));
      Stroke(p, path, 1.2);
      for (QPointF c : {QPointF(7, 7), QPointF(25, 7), QPointF(7, 25), QPointF(25, 25)}) {
        QPainterPath h;
        h.addRect(QRectF(c.x() - 2.5, c.y() - 2.5, 5, 5));
        Fill(p, h, Qt::white);
      }
      hot = QPoint(7, 7);
      break;
    }
    default: break;
  }
  p.end();
  return QCursor(pm, hot.x(), hot.y());
}

}  // namespace

QCursor ViewCursor(CursorShape shape) {
  switch (shape) {
    case CursorShape::Arrow: return QCursor(Qt::ArrowCursor);
    case CursorShape::UpArrow: return QCursor(Qt::UpArrowCursor);
    case CursorShape::Cross:
    case CursorShape::DragCross: return QCursor(Qt::CrossCursor);
    case CursorShape::IBeam: return QCursor(Qt::IBeamCursor);
    case CursorShape::Wait: return QCursor(Qt::WaitCursor);
    default: break;
  }
  static QHash<int, QCursor> cache;
  auto it = cache.find(int(shape));
  if (it == cache.end()) it = cache.insert(int(shape), Draw(shape));
  return *it;
}

}  // namespace velmira
