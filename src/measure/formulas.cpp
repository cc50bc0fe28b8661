#include "measure/formulas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmira::measure {

namespace {

double PixelLength(MPoint a, MPoint b) {
  const double dx = std::abs(double(a.x) - double(b.x));
  const double dy = std::abs(double(a.y) - double(b.y));
  return std::sqrt(dx * dx + dy * dy);
}

double RefSquared(const Calib& c) { return double(c.refX) * c.refX + double(c.refY) * c.refY; }

std::string Format(const char* fmt, double v, const std::string& unit) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, v);
  return unit.empty() ? std::string(buf) : std::string(buf) + " " + unit;
}

}  // namespace

double TruncatedReference(const Calib& c) {
  const double p = std::trunc(std::sqrt(RefSquared(c)));
  return p < 1 ? 1 : p;
}

double ExactReference(const Calib& c) {
  const double r = std::sqrt(RefSquared(c));
  return r > 0 ? r : 1;
}

float SegmentLength(MPoint a, MPoint b, const Calib& c) {
  if (a.x < 0 || a.y < 0 || b.x < 0 || b.y < 0) return -1.0f;
  return float(PixelLength(a, b) / TruncatedReference(c) * c.realLength);
}

float PolylineLength(const std::vector<MPoint>& pts, const Calib& c) {
  float sum = 0;
  for (size_t i = 1; i < pts.size(); ++i) sum += SegmentLength(pts[i - 1], pts[i], c);
  return sum;
}

float RectangleArea(MPoint a, MPoint b, const Calib& c) {
  const double r = ExactReference(c);
  const double w = std::abs(double(a.x) - b.x) / r * c.realLength;
  const double h = std::abs(double(a.y) - b.y) / r * c.realLength;
  return float(w * h);
}

namespace {

// Per row, the inside spans of a closed outline of double vertices, by pixel centres.
void ScanFill(const std::vector<std::pair<double, double>>& v, int width, int height, std::vector<uint8_t>& mask) {
  if (v.size() < 3) return;
  double minY = v[0].second, maxY = v[0].second;
  for (auto& p : v) minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
  const int y0 = std::max(0, int(std::floor(minY)));
  const int y1 = std::min(height - 1, int(std::ceil(maxY)));
  std::vector<double> xs;
  for (int y = y0; y <= y1; ++y) {
    const double cy = y + 0.5;
    xs.clear();
    for (size_t i = 0; i < v.size(); ++i) {
      auto [ax, ay] = v[i];
      auto [bx, by] = v[(i + 1) % v.size()];
      if ((ay <= cy) == (by <= cy)) continue;
      xs.push_back(ax + (cy - ay) / (by - ay) * (bx - ax));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      // Pixel x is inside when its centre x + 0.5 lies in [xs[i], xs[i+1]).
      const double from = std::ceil(xs[i] - 0.5), to = std::ceil(xs[i + 1] - 0.5) - 1;
      const int a = int(std::max(0.0, from));
      const int b = int(std::min(double(width - 1), to));
      for (int x = a; x <= b; ++x) mask[size_t(y) * size_t(width) + size_t(x)] = 1;
    }
  }
}

void MarkLine(MPoint a, MPoint b, int width, int height, std::vector<uint8_t>& mask) {
  int x0 = a.x, y0 = a.y;
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (x0 >= 0 && y0 >= 0 && x0 < width && y0 < height) mask[size_t(y0) * size_t(width) + size_t(x0)] = 1;
    if (x0 == b.x && y0 == b.y) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

int64_t CountMask(const std::vector<uint8_t>& mask) {
  return std::count(mask.begin(), mask.end(), uint8_t(1));
}

float AreaFromCount(int64_t count, int width, int height, const Calib& c) {
  if (width <= 0 || height <= 0) return 0;
  const double whole = RectangleArea({0, 0}, {width, height}, c);
  return float(double(count) / (double(width) * double(height)) * whole);
}

}  // namespace

int64_t PolygonPixelCount(const std::vector<MPoint>& pts, int width, int height) {
  if (pts.size() < 3 || width <= 0 || height <= 0) return 0;
  std::vector<uint8_t> mask(size_t(width) * size_t(height), 0);
  std::vector<std::pair<double, double>> v;
  for (auto& p : pts) v.emplace_back(p.x, p.y);
  ScanFill(v, width, height, mask);
  for (size_t i = 0; i < pts.size(); ++i) MarkLine(pts[i], pts[(i + 1) % pts.size()], width, height, mask);
  return CountMask(mask);
}

float PolygonArea(const std::vector<MPoint>& pts, int width, int height, const Calib& c) {
  return AreaFromCount(PolygonPixelCount(pts, width, height), width, height, c);
}

double ArmDirection(MPoint v, MPoint a) {
  double dy = double(v.y) - double(a.y);
  if (std::abs(dy) < 0.01) dy = 0.1;
  return -std::atan2(dy, double(v.x) - double(a.x)) * 57.29582790879778;
}

float AngleValue(MPoint a, MPoint v, MPoint b) {
  // 64-bit products: two squared arms of 30,000 pixels multiply to 8.1e17.
  const int64_t ux = int64_t(v.x) - a.x, uy = int64_t(v.y) - a.y;
  const int64_t wx = int64_t(b.x) - v.x, wy = int64_t(b.y) - v.y;
  const int64_t dot = ux * wx + uy * wy;
  const int64_t uu = ux * ux + uy * uy, ww = wx * wx + wy * wy;
  if (uu == 0 || ww == 0) return 0.0f;
  double cosine = double(dot) / std::sqrt(double(uu) * double(ww));
  cosine = std::clamp(cosine, -1.0, 1.0);
  return float(180.0 - std::acos(cosine) * 57.2957795);
}

int CirclePixelRadius(MPoint centre, MPoint rim) { return int(PixelLength(centre, rim)); }

MPoint PerpendicularFoot(MPoint r1, MPoint r2, MPoint p) {
  if (r1.x == r2.x) return {r1.x, p.y};  // vertical reference: a horizontal perpendicular
  const float m = float(r1.y - r2.y) / float(r1.x - r2.x);
  if (m == 0) return {p.x, r1.y};
  const double md = m;
  const double fx = (md * md * r1.x + md * (double(p.y) - r1.y) + p.x) / (md * md + 1);
  const double fy = r1.y + md * (fx - r1.x);
  return {int32_t(fx), int32_t(fy)};
}

Curve SmoothCurve(const std::vector<MPoint>& nodes, bool closed) {
  Curve c;
  c.nodes = nodes;
  const size_t n = nodes.size();
  c.first.resize(n);
  c.second.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const MPoint prev = (i > 0) ? nodes[i - 1] : (closed ? nodes[n - 1] : nodes[i]);
    const MPoint next = (i + 1 < n) ? nodes[i + 1] : (closed ? nodes[0] : nodes[i]);
    const double tx = (double(next.x) - prev.x) / 6.0, ty = (double(next.y) - prev.y) / 6.0;
    c.first[i] = {int32_t(std::lround(nodes[i].x - tx)), int32_t(std::lround(nodes[i].y - ty))};
    c.second[i] = {int32_t(std::lround(nodes[i].x + tx)), int32_t(std::lround(nodes[i].y + ty))};
  }
  return c;
}

namespace {

using P2 = std::pair<double, double>;

double Dist(P2 a, P2 b) { return std::hypot(a.first - b.first, a.second - b.second); }
P2 Mid(P2 a, P2 b) { return {(a.first + b.first) / 2, (a.second + b.second) / 2}; }

// De Casteljau halving until the control polygon is within the tolerance of the
// chord: the flattened length then differs from the curve's by less than that.
void Subdivide(P2 p0, P2 p1, P2 p2, P2 p3, int depth, std::vector<P2>& out) {
  const double poly = Dist(p0, p1) + Dist(p1, p2) + Dist(p2, p3);
  if (depth >= 24 || poly - Dist(p0, p3) < 0.005) {
    out.push_back(p3);
    return;
  }
  const P2 a = Mid(p0, p1), b = Mid(p1, p2), c = Mid(p2, p3);
  const P2 d = Mid(a, b), e = Mid(b, c), m = Mid(d, e);
  Subdivide(p0, a, d, m, depth + 1, out);
  Subdivide(m, e, c, p3, depth + 1, out);
}

P2 D(MPoint p) { return {double(p.x), double(p.y)}; }

}  // namespace

std::vector<P2> FlattenCurve(const Curve& c, bool closed) {
  std::vector<P2> out;
  const size_t n = c.nodes.size();
  if (n == 0 || c.first.size() != n || c.second.size() != n) return out;
  out.push_back(D(c.nodes[0]));
  const size_t segments = closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const size_t j = (i + 1) % n;
    Subdivide(D(c.nodes[i]), D(c.second[i]), D(c.first[j]), D(c.nodes[j]), 0, out);
  }
  return out;
}

double CurvePixelLength(const Curve& c) {
  const auto pts = FlattenCurve(c, false);
  double sum = 0;
  for (size_t i = 1; i < pts.size(); ++i) sum += Dist(pts[i - 1], pts[i]);
  return sum;
}

float CurveLength(const Curve& c, const Calib& cal) {
  return float(CurvePixelLength(c) / TruncatedReference(cal) * cal.realLength);
}

float CurveArea(const Curve& c, int width, int height, const Calib& cal) {
  if (c.nodes.size() < 3 || width <= 0 || height <= 0) return 0;
  auto pts = FlattenCurve(c, true);
  std::vector<uint8_t> mask(size_t(width) * size_t(height), 0);
  ScanFill(pts, width, height, mask);
  for (size_t i = 0; i + 1 < pts.size(); ++i)
    MarkLine({int32_t(pts[i].first), int32_t(pts[i].second)},
             {int32_t(pts[i + 1].first), int32_t(pts[i + 1].second)}, width, height, mask);
  return AreaFromCount(CountMask(mask), width, height, cal);
}

std::string LengthLabel(float value, const std::string& unit, int decimals) {
  return Format(decimals == 1 ? "%.1f" : "%.2f", value, unit);
}

std::string AreaLabel(float value, const std::string& unit, int decimals) {
  return Format(decimals == 1 ? "%.1f" : "%.2f", value, unit) + "²";
}

std::string AngleLabel(float value, int decimals) {
  return Format(decimals == 1 ? "%.1f" : "%.2f", value, "") + "°";
}

}  // namespace velmira::measure
