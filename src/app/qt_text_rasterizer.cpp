#include "app/qt_text_rasterizer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <tuple>

namespace velmira {

namespace {

QString ToQ(const std::u16string& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
std::u16string FromQ(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

// velmira-cli's own application says nothing about the session it does not use
// (no runtime folder, no display); real problems still reach stderr.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::fprintf(stderr, "velmira-cli: %s\n", qPrintable(text));
}

void EnsureApplication() {
  if (QCoreApplication::instance()) return;
  // velmira-cli: no display at all. Fonts come from fontconfig as in the editor.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietHandler);
  static int argc = 1;
  static char name[] = "velmira-cli";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}

// Preferred faces that draw Korean, in order.
const char16_t* const kKoreanFaces[] = {u"Noto Sans CJK KR", u"Noto Sans KR", u"NanumGothic", u"UnDotum"};
const char16_t* const kKoreanMonoFaces[] = {u"Noto Sans Mono CJK KR", u"NanumGothicCoding", u"D2Coding"};

bool Installed(const QString& family) { return QFontDatabase::hasFamily(family); }

// Pixel size whose ascent plus descent is `height`, the cell height the text tool
// asks for; cached because measuring a font is not free.
int PixelSizeFor(const QFont& base, int height) {
  static std::map<std::tuple<QString, int, int, bool>, int> cache;
  const auto key = std::make_tuple(base.family(), base.weight(), height, base.italic());
  const auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  QFont f(base);
  f.setPixelSize(std::max(1, height));
  const int cell = QFontMetrics(f).height();
  int px = cell > 0 ? int(double(height) * height / cell + 0.5) : height;
  px = std::max(1, px);
  cache.emplace(key, px);
  return px;
}

QFont MakeFont(const TextFont& t) {
  QFont f(ToQ(QtTextRasterizer::Instance().ResolvedFace(t.face)));
  f.setWeight(t.weight >= 700 ? QFont::Bold : QFont::Normal);
  f.setItalic(t.italic);
  f.setUnderline(t.underline);
  f.setStrikeOut(t.strikeOut);
  // Grey-level edges without hinting: the offscreen and the X11 platform then agree
  // to the pixel, and the coverage read back from the colours stays meaningful.
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  f.setPixelSize(PixelSizeFor(f, t.height));
  return f;
}

QColor ToColor(uint32_t c) { return QColor(int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)); }

QStringList Lines(const std::u16string& text) {
  QString s = ToQ(text);
  s.remove(QChar(u'\r'));
  return s.split(QChar(u'\n'));
}

}  // namespace

QtTextRasterizer& QtTextRasterizer::Instance() {
  EnsureApplication();
  static QtTextRasterizer instance;
  return instance;
}

std::u16string QtTextRasterizer::DefaultFace() {
  EnsureApplication();
  for (const char16_t* f : kKoreanFaces)
    if (Installed(QString::fromUtf16(f))) return f;
  return FromQ(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

std::u16string QtTextRasterizer::MonospacedFace() {
  EnsureApplication();
  for (const char16_t* f : kKoreanMonoFaces)
    if (Installed(QString::fromUtf16(f))) return f;
  return FromQ(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
}

std::vector<std::u16string> QtTextRasterizer::InstalledFaces() {
  EnsureApplication();
  std::vector<std::u16string> out;
  for (const QString& f : QFontDatabase::families())
    if (QFontDatabase::isScalable(f) && !QFontDatabase::isPrivateFamily(f)) out.push_back(FromQ(f));
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::u16string QtTextRasterizer::ResolvedFace(const std::u16string& face) {
  if (!face.empty() && Installed(ToQ(face))) return face;
  return DefaultFace();
}

bool QtTextRasterizer::Measure(const std::u16string& text, const TextFont& font, int* width, int* height) {
  const QFont f = MakeFont(font);
  const QFontMetrics fm(f);
  int w = 0, lines = 0;
  for (const QString& line : Lines(text)) {
    w = std::max(w, fm.horizontalAdvance(line));
    ++lines;
  }
  if (text.empty()) lines = 0;
  // Slanted glyphs lean past their advance; without the room their right edges
  // would be cut off in the line's bitmap.
  if (font.italic && w > 0) w += fm.height() / 4;
  *width = w;
  *height = lines * fm.height();
  return true;
}

bool QtTextRasterizer::Draw(const std::u16string& line, const TextFont& font, uint32_t colour, uint32_t key,
                            uint8_t* bgra, int width, int height) {
  if (!bgra || width <= 0 || height <= 0) return false;
  QImage image(bgra, width, height, width * 4, QImage::Format_RGB32);
  image.fill(ToColor(key));
  QPainter painter(&image);
  if (!painter.isActive()) return false;
  const QFont f = MakeFont(font);
  painter.setFont(f);
  painter.setPen(ToColor(colour));
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  QString s = ToQ(line);
  s.remove(QChar(u'\r'));
  s.remove(QChar(u'\n'));
  painter.drawText(QPointF(0, QFontMetrics(f).ascent()), s);
  painter.end();
  return true;
}

}  // namespace velmira
