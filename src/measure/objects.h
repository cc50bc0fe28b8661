// The document's list of measurement objects: at most 700, with the count, the redo
// limit and the selection that vector undo, redo and removal work on. Plain data and
// rules; drawing the marks is the caller's business.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measure/formulas.h"
#include "image/ui_text.h"

namespace velmira::measure {

constexpr int kMaxObjects = 700;
constexpr int kMaxFigurePoints = 300;
constexpr int kKindChars = 30;

// Kind names as stored, shown and exported (UTF-8).
namespace kind {
constexpr const char* kPoint = QT_TR_NOOP("점표시");
constexpr const char* kSegment = QT_TR_NOOP("선분");
constexpr const char* kCircle = QT_TR_NOOP("원");
constexpr const char* kAngle = QT_TR_NOOP("사이각");
constexpr const char* kRectangle = QT_TR_NOOP("사각형");
constexpr const char* kPolyline = QT_TR_NOOP("다각선");
constexpr const char* kPolygon = QT_TR_NOOP("다각형");
constexpr const char* kCurve = QT_TR_NOOP("곡선");
constexpr const char* kCurveArea = QT_TR_NOOP("곡선영역");
constexpr const char* kText = QT_TR_NOOP("글자");
}  // namespace kind

bool IsKnownKind(const std::string& k);
bool IsCurveKind(const std::string& k);
// Points a kind needs: exact (min == max) or a range.
void KindPointRange(const std::string& k, int* minPoints, int* maxPoints);

struct MeasureObject {
  bool valid = true;
  std::string kind;
  std::u16string text;
  float length = 0, area = 0, angle = 0, diameter = 0, radius = 0;
  std::vector<MPoint> points;
  // Curve kinds: per node its position and two handles (the points list is empty).
  Curve curve;
  int32_t marker = 0;
  int32_t textAttr1 = 0, textAttr2 = 0;
  // Cleared by vector undo (not by removal), so that redo brings back exactly the
  // objects undo took away. Not stored in files.
  bool undone = false;

  int PointCount() const { return int(IsCurveKind(kind) ? curve.nodes.size() : points.size()); }
  // Every point that may be hit: the points, or a curve's nodes.
  const std::vector<MPoint>& HitPoints() const { return IsCurveKind(kind) ? curve.nodes : points; }
};

enum class AddResult { Ok, Full, TooFewPoints, TooManyPoints, UnknownKind };

// Message when the list is full (with 700 formatted in).
std::string FullMessage();

class MeasureList {
 public:
  const std::vector<MeasureObject>& Objects() const { return objects_; }
  std::vector<MeasureObject>& Objects() { return objects_; }
  // Objects in use: the vector holds every object ever registered up to the redo
  // limit; the count is where the next one goes.
  int Count() const { return count_; }
  int RedoLimit() const { return redoLimit_; }
  int Selected() const { return selected_; }
  void Select(int index) { selected_ = (index >= 0 && index < count_) ? index : -1; }
  int NextMarker() const;

  // Registers a copy of `o` at the count; the redo limit follows and the selection
  // is cleared. Refusals leave everything unchanged.
  AddResult Add(MeasureObject o);
  // Clears the valid byte of an object below the count.
  bool Remove(int index);
  // Vector undo: the last valid object below the count is cleared and the count
  // drops to its index. False when nothing valid is left.
  bool Undo();
  // Vector redo: the next object above the count comes back; returns its index or −1.
  int Redo();
  bool CanUndo() const { return count_ > 0; }
  bool CanRedo() const { return redoLimit_ > count_; }

  // The object whose nearest point or edge lies within sqrt(limit2) of p (squared
  // distance below limit2), nearest first; −1 when none.
  int HitTest(MPoint p, double limit2 = 2500) const;
  // Polyline or polygon point editing; false for other kinds or a miss.
  bool InsertPoint(int index, MPoint p);
  bool RemovePoint(int index, MPoint p, double limit2 = 20);

  // Replaces the whole list (loading a file).
  void Assign(std::vector<MeasureObject> objects);
  void Clear();

 private:
  std::vector<MeasureObject> objects_;
  int count_ = 0;
  int redoLimit_ = 0;
  int selected_ = -1;
};

// Squared distance from p to the segment a–b.
double SegmentDistance2(MPoint p, MPoint a, MPoint b);

}  // namespace velmira::measure
