// Command identifiers of the tools the view routes pointer input to. A tool is
// "current" when FrameState::currentTool holds its id (−1: none).
#pragma once

namespace velmira::tool {

constexpr int kNone = -1;

// Selection.
constexpr int kRectSelect = 1342;
constexpr int kFreeSelect = 1343;
constexpr int kAutoSelect = 1344;
constexpr int kPolygonSelect = 1345;
constexpr int kColourRange = 3344;

// Painting, fill, text.
constexpr int kSpray = 1346;
constexpr int kBrush = 1347;
constexpr int kDot = 1350;
constexpr int kFill = 1352;
constexpr int kGradient = 1353;
constexpr int kDrop = 1354;
constexpr int kEraser = 1355;
constexpr int kLine = 1356;
constexpr int kPolyline = 1357;
constexpr int kCircle = 1380;
constexpr int kText = 1382;
constexpr int kColourPicker = 2097;

// Transforms.
constexpr int kFreeRotate = 1415;
constexpr int kTouchTransform = 3340;
constexpr int kTransformSize = 4250;
constexpr int kTransformSkew = 4251;
constexpr int kTransformPerspective = 4252;

// View and layer position.
constexpr int kZoomIn = 1420;
constexpr int kZoomOut = 1421;
constexpr int kZoomActual = 1422;
constexpr int kStretch = 1405;
constexpr int kGrid = 1572;
constexpr int kMove = 1570;
constexpr int kClearSelection = 2058;

// Measurement and guide paths (the tools handle every event themselves).
constexpr int kMeasureFirst = 3409;
constexpr int kMeasureLast = 3475;
constexpr int kMeasure = 3416;
constexpr int kContinuousMeasure = 4016;
constexpr int kGuideFirst = 5615;
constexpr int kGuideLast = 5622;
constexpr int kGuideEdit = 5616;
constexpr int kGuideMove = 5621;

inline bool IsSelectionTool(int id) {
  return id == kRectSelect || id == kFreeSelect || id == kAutoSelect || id == kPolygonSelect;
}
inline bool IsMeasureTool(int id) { return (id >= kMeasureFirst && id <= kMeasureLast) || id == kContinuousMeasure; }
inline bool IsGuideTool(int id) { return id >= kGuideFirst && id <= kGuideLast; }
inline bool IsFreeTransform(int id) { return id >= kTransformSize && id <= kTransformPerspective; }

}  // namespace velmira::tool
