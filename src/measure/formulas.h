// The measuring formulas: pixel geometry to calibrated lengths, areas and angles, and
// the labels shown beside the marks. Points are picture pixels, x from the left and
// y from the top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmira::measure {

struct MPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const MPoint&, const MPoint&) = default;
};

// The active calibration as the formulas need it.
struct Calib {
  int32_t refX = 1;
  int32_t refY = 1;
  float realLength = 1.0f;
};

// Lengths divide by the reference's pixel length truncated to a whole number;
// a reference shorter than one pixel counts as one so that no length is infinite.
double TruncatedReference(const Calib& c);
// Areas divide by the untruncated pixel length; an empty reference counts as one.
double ExactReference(const Calib& c);

// Calibrated length of a segment; −1 when a coordinate is negative.
float SegmentLength(MPoint a, MPoint b, const Calib& c);
// Sum of the calibrated lengths of consecutive segments.
float PolylineLength(const std::vector<MPoint>& pts, const Calib& c);
// Calibrated area of the axis-aligned rectangle with corners a and b.
float RectangleArea(MPoint a, MPoint b, const Calib& c);
// Pixels a filled polygon covers inside a width × height layer: the outline's own
// pixels and every pixel whose centre lies inside (even-odd).
int64_t PolygonPixelCount(const std::vector<MPoint>& pts, int width, int height);
// Calibrated area of a polygon counted in pixels of a width × height layer.
float PolygonArea(const std::vector<MPoint>& pts, int width, int height, const Calib& c);

// Direction of the arm from vertex v to its end a, in degrees, with the factor the
// arc uses; a flat arm (|Δy| < 0.01) uses Δy = 0.1.
double ArmDirection(MPoint v, MPoint a);
// The angle at vertex v between the arms to a and b, 0…180 degrees. Arms up to
// 30,000 pixels long are exact; a straight angle is 180 and a zero-length arm 0.
float AngleValue(MPoint a, MPoint v, MPoint b);

// Radius in pixels the circle is drawn with.
int CirclePixelRadius(MPoint centre, MPoint rim);

// The foot of the perpendicular from p onto the line through r1 and r2 (r1 ≠ r2).
MPoint PerpendicularFoot(MPoint r1, MPoint r2, MPoint p);

// Cubic Bézier curve through nodes[i] with handles: segment i runs from nodes[i]
// with control points second[i] and first[i + 1] to nodes[i + 1]. Closed curves add
// the segment from the last node back to the first.
struct Curve {
  std::vector<MPoint> nodes, first, second;
};
// Handles for nodes placed by clicks: a third of the way along the neighbours' chord.
Curve SmoothCurve(const std::vector<MPoint>& nodes, bool closed);
// Flattened curve, each piece within 0.01 pixel of the true curve.
std::vector<std::pair<double, double>> FlattenCurve(const Curve& c, bool closed);
// Length in pixels of the flattened curve.
double CurvePixelLength(const Curve& c);
float CurveLength(const Curve& c, const Calib& cal);
float CurveArea(const Curve& c, int width, int height, const Calib& cal);

// Labels: the value with one or two decimals, a space and the unit; areas add "²".
std::string LengthLabel(float value, const std::string& unit, int decimals);
std::string AreaLabel(float value, const std::string& unit, int decimals);
std::string AngleLabel(float value, int decimals);

}  // namespace velmira::measure
