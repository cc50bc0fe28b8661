#include "ui/qt_text_rasterizer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

namespace velmira {

namespace {

QFont FontFor(const std::string& name, int size) {
  QFont f(QString::fromStdString(name));
  f.setPixelSize(std::max(1, size));
  // Labels sit on arbitrary picture colours over a key colour: smoothing would blend
  // edge pixels with the key and leave fringes of it in the picture.
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

QString Text(const std::u16string& t) { return QString::fromUtf16(t.data(), qsizetype(t.size())); }

}  // namespace

QtTextRasterizer& QtTextRasterizer::Instance() {
  static QtTextRasterizer r;
  return r;
}

bool QtTextRasterizer::Measure(const std::u16string& text, const std::string& font, int size, int* width,
                               int* height) {
  const QFontMetrics m(FontFor(font, size));
  const QString s = Text(text);
  *width = std::max(1, m.horizontalAdvance(s) + 2);
  *height = std::max(1, m.height());
  return !s.isEmpty();
}

bool QtTextRasterizer::Draw(const std::u16string& text, const std::string& font, int size, uint32_t colour,
                            uint32_t key, uint8_t* bgra, int width, int height) {
  if (!bgra || width <= 0 || height <= 0) return false;
  QImage img(bgra, width, height, width * 4, QImage::Format_RGB32);
  (void)key;  // the caller filled the buffer with it
  QPainter p(&img);
  p.setFont(FontFor(font, size));
  p.setPen(QColor(int((colour >> 16) & 0xFF), int((colour >> 8) & 0xFF), int(colour & 0xFF)));
  p.drawText(QRect(1, 0, width - 1, height), Qt::AlignLeft | Qt::AlignTop, Text(text));
  return true;
}

}  // namespace velmira
