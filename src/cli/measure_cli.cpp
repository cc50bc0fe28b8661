#include "cli/measure_cli.h"

#include <cmath>
#include <cstdio>

#include "measure/marks.h"
#include "measure/measure_commands.h"

namespace velmira::cli {

namespace {

using Args = std::vector<std::string>;
using measure::MPoint;

bool Fail(std::string& e, std::string text) {
  e = std::move(text);
  return false;
}

bool Points(const Args& a, size_t first, size_t count, std::vector<MPoint>& out, std::string& e) {
  out.clear();
  for (size_t i = 0; i < count; ++i) {
    MPoint p;
    if (!ParseInt(a[first + 2 * i], p.x) || !ParseInt(a[first + 2 * i + 1], p.y))
      return Fail(e, "coordinates must be whole numbers");
    if (p.x < 0 || p.y < 0) return Fail(e, "coordinates must not be negative");
    out.push_back(p);
  }
  return true;
}

// Prints what the editor's label would show: the object's index, kind and value.
bool Report(Context& c, bool ok, std::string& e) {
  if (!ok) return c.host.anyMessage ? false : Fail(e, "nothing was measured");
  const auto& m = measure::MeasureOf(c.doc);
  const int i = m.list.Count() - 1;
  const auto& o = m.list.Objects()[size_t(i)];
  const auto style = measure::StyleFrom(c.frame.measure, false, nullptr);
  std::printf("%d %s %s\n", i, o.kind.c_str(), measure::ObjectLabel(o, style).c_str());
  return true;
}

bool NeedLayer(Context& c, std::string& e) {
  return c.doc.Layers().Active() != nullptr || Fail(e, "the document has no active layer");
}

bool PointCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 1, p, e) && Report(c, measure::MeasurePoint(c.doc, p[0]), e);
}

bool SegmentCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 2, p, e) && Report(c, measure::MeasureSegment(c.doc, p[0], p[1]), e);
}

bool RectCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 2, p, e) && Report(c, measure::MeasureRectangle(c.doc, p[0], p[1]), e);
}

bool CircleCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 2, p, e) && Report(c, measure::MeasureCircle(c.doc, p[0], p[1]), e);
}

bool AngleCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 3, p, e) && Report(c, measure::MeasureAngle(c.doc, p[0], p[1], p[2]), e);
}

bool FigureCmd(Context& c, const Args& a, std::string& e, bool polygon) {
  if (a.size() % 2) return Fail(e, "points come in X Y pairs");
  std::vector<MPoint> p;
  if (!NeedLayer(c, e) || !Points(a, 0, a.size() / 2, p, e)) return false;
  return Report(c, polygon ? measure::MeasurePolygon(c.doc, p) : measure::MeasurePolyline(c.doc, p), e);
}

bool PolylineCmd(Context& c, const Args& a, std::string& e) { return FigureCmd(c, a, e, false); }
bool PolygonCmd(Context& c, const Args& a, std::string& e) { return FigureCmd(c, a, e, true); }

bool DistanceCmd(Context& c, const Args& a, std::string& e) {
  std::vector<MPoint> p;
  return NeedLayer(c, e) && Points(a, 0, 3, p, e) && Report(c, measure::MeasureDistance(c.doc, p[0], p[1], p[2]), e);
}

bool RemoveCmd(Context& c, const Args& a, std::string& e) {
  int i;
  if (!ParseInt(a[0], i)) return Fail(e, "INDEX must be a whole number");
  const auto& list = measure::MeasureOf(c.doc).list;
  if (i < 0 || i >= list.Count()) return Fail(e, "there is no object " + a[0]);
  if (!list.Objects()[size_t(i)].valid) return Fail(e, "object " + a[0] + " is already removed");
  return measure::RemoveObject(c.doc, i) || Fail(e, "the object could not be removed");
}

bool UndoCmd(Context& c, const Args&, std::string& e) {
  return measure::VectorUndo(c.doc) || Fail(e, "there is no measurement to undo");
}

bool RedoCmd(Context& c, const Args&, std::string& e) {
  return measure::VectorRedo(c.doc) || Fail(e, "there is no measurement to redo");
}

bool ExportCmd(Context& c, const Args& a, std::string& e) {
  const std::filesystem::path p = a[0];
  std::string ext = p.extension().string();
  for (auto& ch : ext) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  if (ext != ".txt" && ext != ".csv" && ext != ".xlsx") return Fail(e, "FILE must end in .txt, .csv or .xlsx");
  return measure::ExportMeasurements(c.doc, c.formats, p) || (c.host.anyMessage ? false : Fail(e, "cannot write " + a[0]));
}

bool SaveCmd(Context& c, const Args& a, std::string& e) {
  (void)e;
  return measure::SaveMeasurements(c.doc, a[0]);
}

bool LoadCmd(Context& c, const Args& a, std::string& e) {
  (void)e;
  return measure::LoadMeasurements(c.doc, a[0]);
}

const Command kMeasureCommands[] = {
    {"measure-point", 2, 2, "X Y", "numbered point marker", &PointCmd},
    {"measure-segment", 4, 4, "X1 Y1 X2 Y2", "segment length in the calibrated unit", &SegmentCmd},
    {"measure-rect", 4, 4, "X1 Y1 X2 Y2", "rectangle area", &RectCmd},
    {"measure-circle", 4, 4, "CX CY RX RY", "circle through the rim point: radius and diameter", &CircleCmd},
    {"measure-angle", 6, 6, "X1 Y1 XV YV X2 Y2", "angle at the vertex between the two arms", &AngleCmd},
    {"measure-polyline", 4, 600, "X Y X Y...", "polyline length (2 to 300 points)", &PolylineCmd},
    {"measure-polygon", 6, 600, "X Y X Y X Y...", "polygon area by its pixels (3 to 300 points)", &PolygonCmd},
    {"measure-distance", 6, 6, "X1 Y1 X2 Y2 PX PY", "distance from P to the reference line 1-2", &DistanceCmd},
    {"measure-remove", 1, 1, "INDEX", "remove a measurement object (from 0)", &RemoveCmd},
    {"measure-undo", 0, 0, "", "undo the last measurement object", &UndoCmd},
    {"measure-redo", 0, 0, "", "redo the next measurement object", &RedoCmd},
    {"export-measurements", 1, 1, "FILE", "measured values as .txt, .csv or .xlsx (with the picture)", &ExportCmd},
    {"save-measurements", 1, 1, "FILE", "save the layers and objects as a .sco file", &SaveCmd},
    {"load-measurements", 1, 1, "FILE", "load a .sco file of the same picture", &LoadCmd},
};

}  // namespace

std::span<const Command> MeasureCommands() { return kMeasureCommands; }

bool IsMeasureOption(const std::string& o) { return o == "--calibration" || o == "--decimals"; }

bool ApplyMeasureOption(const std::string& o, const std::string& v, FrameState& f, std::string& e) {
  if (o == "--decimals") {
    int d;
    if (!ParseInt(v, d) || (d != 1 && d != 2)) return Fail(e, "--decimals takes 1 or 2");
    f.measure.decimals = d;
    return true;
  }
  // X,Y,LENGTH,UNIT
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= v.size(); ++i)
    if (i == v.size() || v[i] == ',') parts.push_back(v.substr(start, i - start)), start = i + 1;
  int x, y;
  double len;
  if (parts.size() != 4 || !ParseInt(parts[0], x) || !ParseInt(parts[1], y) || !ParseDouble(parts[2], len) ||
      parts[3].empty() || parts[3].find_first_of(" \t") != std::string::npos)
    return Fail(e, "--calibration takes X,Y,LENGTH,UNIT (whole X and Y, a unit of one word)");
  if (x < 0 || y < 0 || (x == 0 && y == 0)) return Fail(e, "--calibration: the reference must be at least one pixel");
  if (!(len > 0) || !std::isfinite(len) || len > 1e30) return Fail(e, "--calibration: LENGTH must be above 0");
  f.measure.refX = x, f.measure.refY = y;
  f.measure.realLength = float(len);
  f.measure.unit = parts[3];
  return true;
}

const char* MeasureOptionsHelp() {
  return "  --calibration X,Y,LENGTH,UNIT  a reference segment of (X, Y) pixels is LENGTH UNIT long\n"
         "  --decimals 1|2        decimals of measured values\n";
}

}  // namespace velmira::cli
