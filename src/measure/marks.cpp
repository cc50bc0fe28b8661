#include "measure/marks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmira::measure {

namespace {

std::u16string Utf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int n;
    if (c < 0x80) cp = c, n = 1;
    else if ((c >> 5) == 6) cp = c & 0x1F, n = 2;
    else if ((c >> 4) == 14) cp = c & 0x0F, n = 3;
    else if ((c >> 3) == 30) cp = c & 0x07, n = 4;
    else { ++i; continue; }
    if (i + size_t(n) > s.size()) break;
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + size_t(k)]) & 0x3F);
    i += size_t(n);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
  }
  return out;
}

}  // namespace

MarkStyle StyleFrom(const MeasureSettings& s, bool highlighted, TextRasterizer* text) {
  MarkStyle m;
  m.line = highlighted ? s.highlightColour : s.lineColour;
  m.label = s.labelColour;
  m.width = std::clamp(s.lineWidth, 1, 20);
  m.labels = s.labels;
  m.font = s.labelFont;
  m.fontSize = std::clamp(s.labelSize, 4, 200);
  m.decimals = s.decimals == 1 ? 1 : 2;
  m.unit = s.unit;
  m.text = text;
  return m;
}

void MarkPainter::Pixel(int x, int y) {
  const Layer* l = L_.Get(slot_);
  if (!l) return;
  const int half = (s_.width - 1) / 2;
  for (int dy = 0; dy < s_.width; ++dy)
    for (int dx = 0; dx < s_.width; ++dx) {
      const int px = x - half + dx, py = y - half + dy;
      const int lx = px - l->x, ly = l->y + L_.header.canvasHeight - 1 - py;
      if (!L_.InLayer(slot_, lx, ly)) continue;
      L_.WriteLayerColor(slot_, lx, ly, s_.line);
      L_.SetLayerAlpha(slot_, lx, ly, 255);
    }
}

void MarkPainter::Line(MPoint a, MPoint b) {
  int x0 = a.x, y0 = a.y;
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (int guard = 0; guard < 200000; ++guard) {
    Pixel(x0, y0);
    if (x0 == b.x && y0 == b.y) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void MarkPainter::EndMark(MPoint p) {
  const int r = 3 + s_.width;
  Line({p.x - r, p.y}, {p.x + r, p.y});
  Line({p.x, p.y - r}, {p.x, p.y + r});
}

void MarkPainter::Circle(MPoint c, int radius) {
  if (radius <= 0) return Pixel(c.x, c.y);
  const int steps = std::clamp(int(radius * 8), 16, 100000);
  MPoint prev{c.x + radius, c.y};
  for (int i = 1; i <= steps; ++i) {
    const double t = 2 * M_PI * i / steps;
    const MPoint p{int32_t(std::lround(c.x + radius * std::cos(t))), int32_t(std::lround(c.y - radius * std::sin(t)))};
    Line(prev, p);
    prev = p;
  }
}

void MarkPainter::Arc(MPoint v, int radius, double d1, double d2) {
  double sweep = std::fmod(d2 - d1, 360.0);
  if (sweep < 0) sweep += 360;
  if (sweep > 180) {  // the arc spans the angle between the arms, the short way round
    std::swap(d1, d2);
    sweep = 360 - sweep;
  }
  const int steps = std::max(4, int(sweep / 3));
  MPoint prev{};
  for (int i = 0; i <= steps; ++i) {
    const double t = (d1 + sweep * i / steps) * M_PI / 180;
    const MPoint p{int32_t(std::lround(v.x + radius * std::cos(t))), int32_t(std::lround(v.y - radius * std::sin(t)))};
    if (i) Line(prev, p);
    prev = p;
  }
}

void MarkPainter::Label(MPoint p, const std::string& utf8) {
  const Layer* l = L_.Get(slot_);
  if (!l || !s_.labels || !s_.text || utf8.empty()) return;
  const std::u16string text = Utf16(utf8);
  // The label's size is its letters' pixel size; the rasterizer wants the whole cell.
  TextFont font;
  font.face = Utf16(s_.font);
  font.height = std::max(1, s_.fontSize * 4 / 3);
  int w = 0, h = 0;
  if (!s_.text->Measure(text, font, &w, &h) || w <= 0 || h <= 0 || w > 4000 || h > 1000) return;
  // Kept inside the canvas.
  const int cw = L_.header.canvasWidth, ch = L_.header.canvasHeight;
  p.x = std::clamp(p.x, 0, std::max(0, cw - w));
  p.y = std::clamp(p.y, 0, std::max(0, ch - h));
  const uint32_t key = (s_.label & 0xFFFFFF) == 0x010203 ? 0x030201u : 0x010203u;
  std::vector<uint8_t> bgra(size_t(w) * size_t(h) * 4);
  for (size_t i = 0; i < bgra.size(); i += 4)
    bgra[i] = uint8_t(key), bgra[i + 1] = uint8_t(key >> 8), bgra[i + 2] = uint8_t(key >> 16), bgra[i + 3] = 0;
  if (!s_.text->Draw(text, font, s_.label, key, bgra.data(), w, h)) return;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* q = &bgra[(size_t(y) * size_t(w) + size_t(x)) * 4];
      const uint32_t c = uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16;
      if (c == (key & 0xFFFFFF)) continue;
      const int lx = p.x + x - l->x, ly = l->y + ch - 1 - (p.y + y);
      if (!L_.InLayer(slot_, lx, ly)) continue;
      L_.WriteLayerColor(slot_, lx, ly, MakeRgbq(q[2], q[1], q[0]));
      L_.SetLayerAlpha(slot_, lx, ly, 255);
    }
}

std::string ObjectLabel(const MeasureObject& o, const MarkStyle& s) {
  const std::string& k = o.kind;
  if (k == kind::kPoint) return std::to_string(o.marker);
  if (k == kind::kSegment || k == kind::kPolyline || k == kind::kCurve) return LengthLabel(o.length, s.unit, s.decimals);
  if (k == kind::kRectangle || k == kind::kPolygon || k == kind::kCurveArea)
    return AreaLabel(o.area, s.unit, s.decimals);
  if (k == kind::kCircle) return LengthLabel(o.radius, s.unit, s.decimals);
  if (k == kind::kAngle) return AngleLabel(o.angle, s.decimals);
  return {};
}

void DrawObject(LayerStack& L, int slot, const MeasureObject& o, const MarkStyle& s) {
  if (!o.valid) return;
  MarkPainter p(L, slot, s);
  const auto& pts = o.points;
  const std::string label = ObjectLabel(o, s);
  MPoint at{};
  if (o.kind == kind::kPoint && pts.size() == 1) {
    p.EndMark(pts[0]);
    at = {pts[0].x + 6, pts[0].y + 6};
  } else if ((o.kind == kind::kSegment) && pts.size() == 2) {
    p.Line(pts[0], pts[1]);
    p.EndMark(pts[0]);
    p.EndMark(pts[1]);
    at = {pts[1].x + 6, pts[1].y + 6};
  } else if (o.kind == kind::kCircle && pts.size() == 2) {
    p.Circle(pts[0], CirclePixelRadius(pts[0], pts[1]));
    p.EndMark(pts[0]);
    p.EndMark(pts[1]);
    at = {pts[1].x + 6, pts[1].y + 6};
  } else if (o.kind == kind::kAngle && pts.size() == 3) {
    p.Line(pts[0], pts[1]);
    p.Line(pts[1], pts[2]);
    // Directions of the arms as shown, from the arc's own formula (it points back
    // along the arm, hence the half turn).
    const double d1 = ArmDirection(pts[1], pts[0]) + 180, d2 = ArmDirection(pts[1], pts[2]) + 180;
    p.Arc(pts[1], 20, d1, d2);
    at = {pts[1].x + 24, pts[1].y + 4};
  } else if (o.kind == kind::kRectangle && pts.size() == 4) {
    const MPoint c[4] = {pts[0], pts[3], pts[1], pts[2]};
    for (int i = 0; i < 4; ++i) p.Line(c[i], c[(i + 1) % 4]);
    at = {std::min(pts[0].x, pts[1].x) + 4, std::min(pts[0].y, pts[1].y) + 4};
  } else if ((o.kind == kind::kPolyline || o.kind == kind::kPolygon) && pts.size() >= 2) {
    for (size_t i = 1; i < pts.size(); ++i) p.Line(pts[i - 1], pts[i]);
    if (o.kind == kind::kPolygon) p.Line(pts.back(), pts.front());
    for (auto& q : pts) p.Pixel(q.x, q.y);
    // 10 pixels above or below the last point, on the side the last segment comes from.
    const MPoint last = pts.back(), before = pts[pts.size() - 2];
    at = {last.x, before.y < last.y ? last.y - 10 - s.fontSize : last.y + 10};
  } else if (IsCurveKind(o.kind) && o.curve.nodes.size() >= 2) {
    const auto f = FlattenCurve(o.curve, o.kind == kind::kCurveArea);
    for (size_t i = 1; i < f.size(); ++i)
      p.Line({int32_t(std::lround(f[i - 1].first)), int32_t(std::lround(f[i - 1].second))},
             {int32_t(std::lround(f[i].first)), int32_t(std::lround(f[i].second))});
    for (auto& n : o.curve.nodes) p.EndMark(n);
    at = {o.curve.nodes.back().x + 6, o.curve.nodes.back().y + 6};
  } else if (o.kind == kind::kText && !pts.empty()) {
    MarkStyle t = s;
    t.label = Rgbq(uint32_t(o.textAttr2) & 0xFFFFFF);
    if (o.textAttr1 > 0) t.fontSize = std::clamp(int(o.textAttr1), 4, 200);
    t.labels = true;
    std::string utf8;
    for (char16_t c : o.text) {  // BMP text notes
      if (c < 0x80) utf8.push_back(char(c));
      else if (c < 0x800) utf8 += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
      else utf8 += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    }
    MarkPainter(L, slot, t).Label(pts[0], utf8);
    return;
  }
  p.Label(at, label);
}

}  // namespace velmira::measure
