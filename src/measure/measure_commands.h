// What the measuring commands do to a document: registering objects (with their
// marks drawn into the active layer), removal, vector undo and redo, redrawing,
// the pending polyline or polygon, measurement files and exports. The tools, the
// dialogs and velmira-cli all come through here.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "image/doc.h"
#include "measure/objects.h"

namespace velmira::measure {

// Command ids.
namespace cmd {
constexpr int kPointTool = 3409;
constexpr int kSelectTool = 3416;
constexpr int kAddPointTool = 3419;
constexpr int kRemovePointTool = 3427;
constexpr int kSegmentTool = 3455;
constexpr int kRectangleTool = 3457;
constexpr int kPolygonTool = 3462;
constexpr int kPolylineTool = 3463;
constexpr int kParallelTool = 3466;
constexpr int kAngleTool = 3467;
constexpr int kDistanceTool = 3470;
constexpr int kCircleTool = 3471;
constexpr int kCurveTool = 3475;
constexpr int kVectorUndo = 3165;
constexpr int kVectorRedo = 3166;
constexpr int kEndContinuous = 3306;
constexpr int kCalibration = 3436;
constexpr int kExport = 3445;
constexpr int kEnvironment = 3453;
constexpr int kMeasurementLayer = 3198;
}  // namespace cmd

// Messages.
extern const char* const kMsgSelectFirst;      // "[선택/수정] 버튼으로 대상을 정하고 실행하십시요"
extern const char* const kMsgRemoveSelect;     // "제거할 개체를 먼저 선택하십시요"
extern const char* const kMsgDragReference;    // reference line by a click instead of a drag
extern const char* const kMsgCurvePrompt;      // shown while a curve is open
extern const char* const kMsgCalibrationFull;  // a 31st calibration

// The measurement state of one document.
struct DocMeasure {
  MeasureList list;
  // The active layer's pixels and transparency before the first mark, so that
  // removal can redraw what is left from a clean layer.
  int copySlot = -1;
  int copyX = 0, copyY = 0, copyW = 0, copyH = 0;
  std::vector<uint8_t> keptPixels, keptAlpha;
  // The polyline or polygon being drawn and its running value.
  int figureTool = -1;
  std::vector<MPoint> figure;
  float figureValue = 0;
  // Tool interaction between events.
  bool haveReference = false;  // distance tool
  MPoint ref1, ref2;
  bool haveFirstSegment = false;  // parallel segments
  MPoint seg1, seg2;
  std::vector<MPoint> angleClicks;
  std::vector<MPoint> curveNodes;  // an open curve
  int reshapeCurve = -1;           // the curve whose node a drag moves
  int reshapeNode = -1;
  std::string lastLabel;           // what the last measurement showed
};

DocMeasure& MeasureOf(CMirvDoc& doc);
Calib CalibOf(const FrameState& f);

// Registering (each draws the mark; false when refused, after saying why).
bool MeasurePoint(CMirvDoc& doc, MPoint p);
bool MeasureSegment(CMirvDoc& doc, MPoint a, MPoint b);
bool MeasureRectangle(CMirvDoc& doc, MPoint a, MPoint b);
bool MeasureCircle(CMirvDoc& doc, MPoint centre, MPoint rim);
bool MeasureAngle(CMirvDoc& doc, MPoint a, MPoint vertex, MPoint b);
bool MeasurePolyline(CMirvDoc& doc, const std::vector<MPoint>& pts);
bool MeasurePolygon(CMirvDoc& doc, const std::vector<MPoint>& pts);
// The perpendicular from p onto the reference line r1–r2, registered as a segment.
bool MeasureDistance(CMirvDoc& doc, MPoint r1, MPoint r2, MPoint p);
// Segment s1–s2 shifted by the drag from → to.
bool MeasureParallel(CMirvDoc& doc, MPoint s1, MPoint s2, MPoint from, MPoint to);
bool MeasureCurve(CMirvDoc& doc, const std::vector<MPoint>& nodes, bool closed);
// Registers an object as given (values already computed), drawing it.
bool RegisterObject(CMirvDoc& doc, MeasureObject o);

// The figure of the polygon or polyline tool: a point, the running display, and the
// registration when another tool is chosen (dropped below its minimum).
void AddFigurePoint(CMirvDoc& doc, int tool, MPoint p);
bool FinishFigure(CMirvDoc& doc);
// 3306: the layer back to its last committed state, no tool, no pending figure.
void EndContinuous(CMirvDoc& doc);

bool SelectObjectAt(CMirvDoc& doc, MPoint p);
bool InsertPointAt(CMirvDoc& doc, MPoint p);
bool RemovePointAt(CMirvDoc& doc, MPoint p);
bool RemoveSelected(CMirvDoc& doc);
bool RemoveObject(CMirvDoc& doc, int index);
bool VectorUndo(CMirvDoc& doc);
bool VectorRedo(CMirvDoc& doc);
void RedrawAll(CMirvDoc& doc);
bool IsMeasureCommandEnabled(CMirvDoc* doc, int id);

// "벡터측정레이어추가": a vector measurement layer above the active one.
bool AddMeasurementLayer(CMirvDoc& doc);

// Files. Loading needs the file's picture to match the document's canvas and depth;
// anything else is refused with a message and changes nothing.
bool SaveMeasurements(CMirvDoc& doc, const std::filesystem::path& path);
bool LoadMeasurements(CMirvDoc& doc, const std::filesystem::path& path);

// Exports of the objects below the count. The workbook's picture is the composed
// document written as a JPEG beside it; the document itself is not saved or changed.
bool ExportText(CMirvDoc& doc, const std::filesystem::path& path, bool tell);
bool ExportCsv(CMirvDoc& doc, const std::filesystem::path& path);
bool ExportWorkbook(CMirvDoc& doc, FormatDispatch& formats, const std::filesystem::path& path, int sheet);
// Dispatch by extension (.txt, .csv, .xlsx).
bool ExportMeasurements(CMirvDoc& doc, FormatDispatch& formats, const std::filesystem::path& path, int sheet = 1);

}  // namespace velmira::measure
