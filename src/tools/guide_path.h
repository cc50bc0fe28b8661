// Guide paths: the four tools that place, move, insert and remove guide points, the
// path drawn into the selection mask as boundary marks, and the two things a path
// becomes — a polygon selection or a brush stroke along it. Everything here works in
// layer pixels of the active layer (y counting stored rows) on the document's
// GuidePath; the panel and velmira-cli call the same functions.
#pragma once

#include <vector>

#include "image/doc.h"
#include "image/guide_path.h"
#include "tools/tool_router.h"
#include "image/ui_text.h"

namespace velmira {

namespace guide {
// Commands of the guide-path panel.
constexpr int kPanel = 1509;        // "경로설정"
constexpr int kMake = 5615;         // "경로 만들기"
constexpr int kEdit = 5616;         // "안내점 수정"
constexpr int kInsert = 5620;       // "안내점 추가"
constexpr int kRemove = 5621;       // "안내점 제거"
constexpr int kToSelection = 5623;  // "영역선택"
constexpr int kStroke = 5625;       // "선긋기"

constexpr const char* kAskRemovePath = QT_TR_NOOP("현재 완성된 경로를 제거하시겠습니까?");
constexpr const char* kTooManyPoints = QT_TR_NOOP("경로 설정에 사용된 안내점이 너무 많습니다.");
constexpr const char* kNeedMorePoints = QT_TR_NOOP("안내 점이 더 필요합니다.");
constexpr const char* kNotClosed = QT_TR_NOOP("경로가 닫혀 있지 않습니다.");
constexpr const char* kTextLayer = QT_TR_NOOP("Text레이어가 아닌 다른 레이어를 선택하시고 진행하십시요");
constexpr const char* kStrokeLabel = QT_TR_NOOP("경로따라 선긋기");

// Squared distances: a click closes the path below kCloseDistance from the first
// point; the move and remove tools show their cursor below kHandleDistance.
constexpr long long kCloseDistance = 10;
constexpr long long kHandleDistance = 2500;
// A click inserts a point when it lies within this many pixels of a segment.
constexpr int kInsertReach = 3;
}  // namespace guide

// The first point with the smallest squared distance to (x, y); −1 for an empty path.
int NearestGuidePoint(const GuidePath& path, int x, int y, long long* distance2 = nullptr);

// What a click of the path tool did.
enum class GuideClick { Ignored, Added, Closed, Full, Removed, Kept, Refused };

// A click of the path tool at layer pixel (x, y): closes the path near its first
// point, asks whether to remove a finished path, appends up to 300 points; then the
// path is drawn again.
GuideClick AddGuidePoint(CMirvDoc& doc, int x, int y);

// Draws the path into the selection mask as boundary marks (after clearing the
// selection), the closing segment included when closed, a lone point as itself.
// Refused with its message on a text layer.
bool DrawGuidePath(CMirvDoc& doc);

// Moves point `index` to (x, y); a first point lying on the last moves with it.
bool MoveGuidePoint(CMirvDoc& doc, int index, int x, int y);

// Inserts a point into the segment nearest to (x, y) when the click lies within
// three pixels of it (measured along the column for segments flatter than 45°, along
// the row for steeper ones, so that a vertical segment takes points too).
bool InsertGuidePoint(CMirvDoc& doc, int x, int y);

// Removes the point nearest to (x, y); a path left with two points or fewer is
// cleared. False for an empty path.
bool RemoveGuidePoint(CMirvDoc& doc, int x, int y);

// The closed path becomes a polygon selection (kind 3) and the path is cleared.
// Fewer than three points or an open path: its message, nothing else.
bool GuidePathToSelection(CMirvDoc& doc);

// A piece of the path to stroke.
struct GuideSegment {
  GuidePoint a, b;
};
// The segments a stroke of `percent` of the path's length draws: whole segments while
// the running length stays within the limit T = trunc(percent × 0.01 × length), then
// the part of the next one up to T. 0 % and 100 % (and more) draw the whole path.
std::vector<GuideSegment> GuideStrokeSegments(const GuidePath& path, int percent);

// Strokes the path with the brush (foreground colour, brush size, soft flag) as one
// step "경로따라 선긋기", then clears the path and the selection. False when the path has
// no segment or the layer is refused.
bool StrokeGuidePath(CMirvDoc& doc, int percent);

// Registers the four tools (5615, 5616, 5620, 5621) with the router.
void RegisterGuidePathTools();

}  // namespace velmira
