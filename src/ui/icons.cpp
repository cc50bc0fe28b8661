#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <cmath>
#include <functional>

namespace velmira {

namespace {

// Drawn on a 24-unit grid and rendered at two sizes for sharp high-density screens.
constexpr int kGrid = 24;
const QColor kInk(43, 58, 85);
const QColor kAccent(224, 122, 47);
const QColor kPaper(250, 250, 246);
const QColor kSky(86, 150, 214);

class Canvas {
 public:
  explicit Canvas(int px) : pm_(px, px) {
    pm_.fill(Qt::transparent);
    p_.begin(&pm_);
    p_.setRenderHint(QPainter::Antialiasing);
    p_.scale(px / double(kGrid), px / double(kGrid));
    Ink();
  }
  QPainter& P() { return p_; }
  void Ink(double w = 1.6) { p_.setPen(QPen(kInk, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); }
  void Accent(double w = 1.6) { p_.setPen(QPen(kAccent, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); }
  void Dashed() { p_.setPen(QPen(kInk, 1.4, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin)); }
  QPixmap Done() {
    p_.end();
    return pm_;
  }

 private:
  QPixmap pm_;
  QPainter p_;
};

void Page(QPainter& p) {
  QPainterPath path;
  path.moveTo(6, 3);
  path.lineTo(15, 3);
  path.lineTo(19, 7);
  path.lineTo(19, 21);
  path.lineTo(6, 21);
  path.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(15, 3), QPointF(15, 7));
  p.drawLine(QPointF(15, 7), QPointF(19, 7));
}

void Picture(QPainter& p, QRectF r) {
  p.setBrush(kPaper);
  p.drawRoundedRect(r, 1.5, 1.5);
  QPainterPath hill;
  hill.moveTo(r.left() + 1, r.bottom() - 1);
  hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
  hill.lineTo(r.left() + r.width() * 0.65, r.top() + r.height() * 0.7);
  hill.lineTo(r.right() - 1, r.top() + r.height() * 0.35);
  hill.lineTo(r.right() - 1, r.bottom() - 1);
  hill.closeSubpath();
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kSky);
  p.drawPath(hill);
  p.setBrush(kAccent);
  p.drawEllipse(QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.3), 1.6, 1.6);
  p.restore();
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const double a = std::atan2(to.y() - from.y(), to.x() - from.x());
  for (double s : {-0.5, 0.5}) {
    const double b = a + M_PI + s * 1.2;
    p.drawLine(to, to + QPointF(std::cos(b) * 4, std::sin(b) * 4));
  }
}

void Magnifier(Canvas& c, int sign) {
  QPainter& p = c.P();
  p.setBrush(kPaper);
  p.drawEllipse(QPointF(10, 10), 6, 6);
  c.Ink(2.6);
  p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
  c.Ink(1.6);
  p.drawLine(QPointF(7, 10), QPointF(13, 10));
  if (sign > 0) p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void Layers(QPainter& p) {
  for (int i = 2; i >= 0; --i) {
    QPolygonF d;
    const double y = 6 + i * 5;
    d << QPointF(12, y - 3) << QPointF(21, y + 1) << QPointF(12, y + 5) << QPointF(3, y + 1);
    p.setBrush(i == 0 ? kSky : kPaper);
    p.drawPolygon(d);
  }
}

// False for a command that has no picture of its own.
bool Draw(Canvas& c, int id) {
  QPainter& p = c.P();
  switch (id) {
    case 57600:  // new
      Page(p);
      c.Accent(2);
      p.drawLine(QPointF(12.5, 11), QPointF(12.5, 17));
      p.drawLine(QPointF(9.5, 14), QPointF(15.5, 14));
      break;
    case 57601:  // open
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(9, 7), QPointF(11, 9), QPointF(20, 9), QPointF(20, 19),
                               QPointF(3, 19)}));
      p.setBrush(kSky);
      p.drawPolygon(QPolygonF({QPointF(5, 12), QPointF(22, 12), QPointF(19, 19), QPointF(3, 19)}));
      break;
    case 57603:  // save
      p.setBrush(kSky);
      p.drawRoundedRect(QRectF(4, 4, 16, 16), 2, 2);
      p.setBrush(kPaper);
      p.drawRect(QRectF(7, 4, 10, 6));
      p.drawRect(QRectF(7, 13, 10, 7));
      break;
    case 1475:  // acquire from a device
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(3, 12, 18, 7), 1.5, 1.5);
      c.Accent(2);
      Arrow(p, QPointF(12, 2), QPointF(12, 10));
      break;
    case 57643:  // undo
    case 57644: {  // redo
      const bool undo = id == 57643;
      QPainterPath arc;
      arc.moveTo(undo ? 18 : 6, 18);
      arc.cubicTo(undo ? 20 : 4, 10, undo ? 12 : 12, 6, undo ? 6 : 18, 10);
      p.setBrush(Qt::NoBrush);
      c.Ink(2);
      p.drawPath(arc);
      c.Accent(2);
      Arrow(p, QPointF(undo ? 8 : 16, 9), QPointF(undo ? 5 : 19, 11));
      break;
    }
    case 1342:  // rectangle selection
      c.Dashed();
      p.drawRect(QRectF(4, 5, 16, 14));
      break;
    case 1345:  // polygon selection
      c.Dashed();
      p.drawPolygon(QPolygonF({QPointF(4, 18), QPointF(7, 5), QPointF(15, 8), QPointF(20, 4), QPointF(19, 19)}));
      break;
    case 1343: {  // free selection
      c.Dashed();
      QPainterPath lasso;
      lasso.moveTo(6, 16);
      lasso.cubicTo(1, 8, 10, 2, 17, 5);
      lasso.cubicTo(23, 8, 20, 17, 12, 17);
      lasso.cubicTo(9, 17, 8, 19, 9, 21);
      p.drawPath(lasso);
      break;
    }
    case 1344:  // automatic selection (wand)
      c.Ink(2.4);
      p.drawLine(QPointF(5, 20), QPointF(15, 10));
      c.Accent(1.6);
      for (int k = 0; k < 4; ++k) {
        const double a = k * M_PI / 2 + M_PI / 4;
        p.drawLine(QPointF(17, 7) + QPointF(std::cos(a), std::sin(a)) * 1.5,
                   QPointF(17, 7) + QPointF(std::cos(a), std::sin(a)) * 4);
      }
      break;
    case 2058:  // clear selection
      c.Dashed();
      p.drawRect(QRectF(4, 4, 16, 16));
      c.Accent(2.2);
      p.drawLine(QPointF(8, 8), QPointF(16, 16));
      p.drawLine(QPointF(16, 8), QPointF(8, 16));
      break;
    case 1570:  // move
      c.Ink(1.8);
      Arrow(p, QPointF(12, 12), QPointF(12, 3));
      Arrow(p, QPointF(12, 12), QPointF(12, 21));
      Arrow(p, QPointF(12, 12), QPointF(3, 12));
      Arrow(p, QPointF(12, 12), QPointF(21, 12));
      break;
    case 1482:  // copy to a new picture
      c.Dashed();
      p.drawRect(QRectF(3, 3, 10, 10));
      c.Ink();
      Page(p);
      break;
    case 1415: {  // free rotation
      Picture(p, QRectF(7, 7, 10, 10));
      c.Accent(2);
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(3, 3, 18, 18), 30 * 16, 240 * 16);
      Arrow(p, QPointF(7, 19), QPointF(5, 17));
      break;
    }
    case 4250:  // free transform: size
    case 4251:  // skew
    case 4252: {  // perspective
      QPolygonF q;
      if (id == 4250) q << QPointF(4, 6) << QPointF(20, 6) << QPointF(20, 18) << QPointF(4, 18);
      if (id == 4251) q << QPointF(8, 5) << QPointF(21, 5) << QPointF(16, 19) << QPointF(3, 19);
      if (id == 4252) q << QPointF(8, 5) << QPointF(16, 5) << QPointF(21, 19) << QPointF(3, 19);
      p.setBrush(kPaper);
      p.drawPolygon(q);
      p.setBrush(kAccent);
      p.setPen(Qt::NoPen);
      for (const QPointF& pt : q) p.drawRect(QRectF(pt.x() - 1.5, pt.y() - 1.5, 3, 3));
      break;
    }
    case 3392:  // photo frame
      p.setBrush(kAccent);
      p.drawRect(QRectF(2, 3, 20, 18));
      Picture(p, QRectF(5, 6, 14, 12));
      break;
    case 3339: {  // stretch and squeeze
      QPainterPath w;
      w.moveTo(4, 6);
      w.cubicTo(10, 10, 14, 2, 20, 6);
      w.lineTo(20, 18);
      w.cubicTo(14, 22, 10, 14, 4, 18);
      w.closeSubpath();
      p.setBrush(kSky);
      p.drawPath(w);
      break;
    }
    case 4201:  // movie
      p.setBrush(kInk);
      p.drawRoundedRect(QRectF(3, 5, 18, 14), 1.5, 1.5);
      p.setBrush(kPaper);
      p.setPen(Qt::NoPen);
      for (int k = 0; k < 4; ++k) {
        p.drawRect(QRectF(5 + k * 4, 6, 2, 2));
        p.drawRect(QRectF(5 + k * 4, 16, 2, 2));
      }
      p.setBrush(kAccent);
      p.drawPolygon(QPolygonF({QPointF(10, 9.5), QPointF(15, 12), QPointF(10, 14.5)}));
      break;
    case 1431:  // picture size
      Picture(p, QRectF(3, 7, 12, 12));
      c.Accent(1.8);
      Arrow(p, QPointF(13, 11), QPointF(21, 3));
      break;
    case 1432:  // canvas size
      c.Dashed();
      p.drawRect(QRectF(2, 2, 20, 20));
      c.Ink();
      Picture(p, QRectF(6, 6, 12, 12));
      break;
    case 1511:  // quick-edit window
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(3, 4, 18, 16), 2, 2);
      p.setBrush(kSky);
      p.drawRect(QRectF(3, 4, 18, 4));
      p.setBrush(kAccent);
      p.drawEllipse(QPointF(12, 14), 3.5, 3.5);
      break;
    case 1500:  // flatten
      Layers(p);
      c.Accent(2);
      Arrow(p, QPointF(21, 3), QPointF(21, 12));
      break;
    case 1571: {  // settings
      p.setBrush(kPaper);
      QPainterPath gear;
      for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4;
        gear.addRect(QRectF(12 + std::cos(a) * 7 - 1.8, 12 + std::sin(a) * 7 - 1.8, 3.6, 3.6));
      }
      p.drawPath(gear);
      p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
      p.setBrush(kAccent);
      p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
      break;
    }
    case 1356:  // line
      c.Ink(2.4);
      p.drawLine(QPointF(4, 20), QPointF(20, 4));
      break;
    case 1347:  // brush
      c.Ink(1.4);
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(20, 3), QPointF(22, 5), QPointF(12, 15), QPointF(10, 13)}));
      p.setBrush(kAccent);
      p.drawEllipse(QPointF(8, 17), 3.2, 3.2);
      break;
    case 1352: {  // fill
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(9, 3), QPointF(18, 12), QPointF(11, 19), QPointF(2, 10)}));
      p.setBrush(kAccent);
      p.setPen(Qt::NoPen);
      QPainterPath drop;
      drop.moveTo(20, 13);
      drop.cubicTo(23, 18, 22, 21, 20, 21);
      drop.cubicTo(18, 21, 17, 18, 20, 13);
      p.drawPath(drop);
      break;
    }
    case 1353: {  // gradient
      QLinearGradient g(3, 0, 21, 0);
      g.setColorAt(0, kInk);
      g.setColorAt(1, kPaper);
      p.setBrush(g);
      p.drawRoundedRect(QRectF(3, 5, 18, 14), 1.5, 1.5);
      break;
    }
    case 1354: {  // water drop
      QPainterPath drop;
      drop.moveTo(12, 3);
      drop.cubicTo(19, 12, 19, 20, 12, 20);
      drop.cubicTo(5, 20, 5, 12, 12, 3);
      p.setBrush(kSky);
      p.drawPath(drop);
      break;
    }
    case 1355:  // eraser
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(13, 4), QPointF(21, 12), QPointF(13, 20), QPointF(5, 12)}));
      p.setBrush(kAccent);
      p.drawPolygon(QPolygonF({QPointF(5, 12), QPointF(9, 16), QPointF(5, 20), QPointF(1, 16)}));
      c.Ink();
      p.drawLine(QPointF(3, 21), QPointF(21, 21));
      break;
    case 1382: {  // text
      QFont f = p.font();
      f.setPixelSize(18);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
      break;
    }
    case 1420: Magnifier(c, 1); break;
    case 1421: Magnifier(c, -1); break;
    case 1422: {  // 1:1
      QFont f = p.font();
      f.setPixelSize(10);
      f.setBold(true);
      p.setFont(f);
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(2, 5, 20, 14), 2, 2);
      p.drawText(QRectF(2, 5, 20, 14), Qt::AlignCenter, QStringLiteral("1:1"));
      break;
    }
    case 1386:  // swap colours
      c.Ink(1.8);
      Arrow(p, QPointF(4, 8), QPointF(20, 8));
      c.Accent(1.8);
      Arrow(p, QPointF(20, 16), QPointF(4, 16));
      break;
    case 2097:  // colour picker
      c.Ink(2.2);
      p.drawLine(QPointF(4, 20), QPointF(13, 11));
      p.setBrush(kAccent);
      p.drawRoundedRect(QRectF(13, 4, 7, 7), 2, 2);
      break;
    case 1509: {  // guide path
      QPainterPath path;
      path.moveTo(3, 19);
      path.cubicTo(8, 2, 14, 22, 21, 5);
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      p.setBrush(kAccent);
      p.drawRect(QRectF(1.5, 17.5, 3, 3));
      p.drawRect(QRectF(19.5, 3.5, 3, 3));
      break;
    }
    case 1503:  // colour adjustment
      p.setBrush(QColor(220, 60, 60, 200));
      p.drawEllipse(QPointF(9, 9), 5.5, 5.5);
      p.setBrush(QColor(60, 170, 80, 200));
      p.drawEllipse(QPointF(15, 9), 5.5, 5.5);
      p.setBrush(QColor(60, 100, 220, 200));
      p.drawEllipse(QPointF(12, 15), 5.5, 5.5);
      break;
    case 1450: {  // brightness and contrast
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(12, 12), 8, 8);
      p.setBrush(kInk);
      QPainterPath half;
      half.moveTo(12, 4);
      half.arcTo(QRectF(4, 4, 16, 16), 90, 180);
      half.closeSubpath();
      p.drawPath(half);
      break;
    }
    case 1505:  // filter settings
      for (int k = 0; k < 3; ++k) {
        const double y = 6 + k * 6;
        p.drawLine(QPointF(3, y), QPointF(21, y));
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(6 + k * 5, y), 2.2, 2.2);
      }
      break;
    case 1554: Layers(p); break;  // layer panel
    case 1558:  // layer effect
      p.setBrush(QColor(0, 0, 0, 60));
      p.setPen(Qt::NoPen);
      p.drawRoundedRect(QRectF(7, 7, 14, 14), 2, 2);
      c.Ink();
      p.setBrush(kSky);
      p.drawRoundedRect(QRectF(3, 3, 14, 14), 2, 2);
      break;
    case 2074:  // web site
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(12, 12), 9, 9);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(8, 3, 8, 18));
      p.drawLine(QPointF(3, 12), QPointF(21, 12));
      break;
    default: return false;
  }
  return true;
}

QIcon Render(const std::function<void(Canvas&)>& draw) {
  QIcon icon;
  for (int px : {24, 48}) {
    Canvas c(px);
    draw(c);
    icon.addPixmap(c.Done());
  }
  return icon;
}

}  // namespace

QIcon CommandIcon(int id) {
  // A menu item without a picture shows none rather than an empty square.
  if (Canvas probe(24); !Draw(probe, id)) return QIcon();
  return Render([id](Canvas& c) { Draw(c, id); });
}

QIcon SwatchIcon(const QColor& colour) {
  return Render([&colour](Canvas& c) {
    c.Ink(1.2);
    c.P().setBrush(colour);
    c.P().drawRoundedRect(QRectF(3, 3, 18, 18), 2.5, 2.5);
  });
}

QIcon BrushIcon(int size, bool soft) {
  return Render([size, soft](Canvas& c) {
    const double r = 1.5 + size * 1.1;
    QPainter& p = c.P();
    p.setPen(Qt::NoPen);
    if (soft) {
      QRadialGradient g(QPointF(12, 12), r);
      g.setColorAt(0, kInk);
      g.setColorAt(0.45, kInk);
      g.setColorAt(1, QColor(kInk.red(), kInk.green(), kInk.blue(), 0));
      p.setBrush(g);
    } else {
      p.setBrush(kInk);
    }
    p.drawEllipse(QPointF(12, 12), r, r);
  });
}

}  // namespace velmira
