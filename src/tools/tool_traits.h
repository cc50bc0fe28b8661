// What a tool carries about itself: how the router wraps its pixel work around a
// gesture (stroke model, reverting and committing the layer, the history step), the
// cursor and overlay the view shows for it, how the option bar and status line are
// set up when it is chosen, and which mode panels it may follow. A tool states all
// of it once where it is registered, so that neither the router nor the frame grows
// a case for each new tool.
#pragma once

#include <functional>
#include <memory>

#include "tools/tool_ids.h"
#include "tools/view_geometry.h"

namespace velmira {

// Cursor shapes of the view; the view draws each one.
enum class CursorShape {
  Arrow,
  UpArrow,
  Cross,      // the configured cross style
  IBeam,
  DragCross,  // painting tools while they draw during a drag
  Wait,
  Dot,        // dot tool, measurement click, cursor style 3
  Drop,       // water drop and transform handles
  Eraser,
  Text,
  Rotate,
  Zoom,
  Move,
  Picker,
  Touch,
  Transform,
  DotPen,     // the dot tool: a pen nib over the dot it will set
};

// What the router draws as a rubber band while a drag is under way.
struct ToolPreview {
  enum Kind { None, Rectangle, Line, Ellipse } kind = None;
  Point a, b;
};

namespace tool {

// How the router drives a tool through press, drag and release.
enum class StrokeModel {
  // The press does the tool's work and is its step (dot, fill, picker, text).
  Click,
  // Press, drag and release all reach the tool, which keeps its own handles
  // (measurement, guide paths, free transforms, free rotation, touch warp).
  Handles,
  // Press and every move paint from the previous point; the release records the
  // stroke when something was painted (brush, spray, water drop, eraser).
  Paint,
  // Every move reverts the layer and draws from the press point; the release draws
  // for good (line, circle, gradient).
  RubberBand,
  // Every press draws an edge from the previous vertex (polyline).
  Vertex,
  // The tool keeps the router's shared state itself (selections, move, zoom).
  Own,
};

// Around the tool's own work on a press or a drag.
struct LayerPolicy {
  bool revert = false;  // back to the committed layer first (drops the previous preview)
  bool commit = false;  // the result becomes the committed layer
};

enum class CursorRule {
  Style,       // the cursor style the user configured
  Fixed,       // `cursor`
  NearHandle,  // the drop cursor near one of the tool's handles, else left as it is
};

enum class Overlay {
  None,
  Preview,          // the tool's preview (band, outline in progress, handles)
  PreviewOnDrag,    // the preview once a drag has begun
  Measurement,      // the continuous measurement read-out
};

// One slider of the tool option bar when the tool is chosen.
struct OptionSlider {
  enum Use { Keep, Hide, Value, BorderSpread } use = Keep;
  const char* label = nullptr;  // for Value
  int value = 0, min = 0, max = 0;
};

// Mode panels that restrict the next tool while they are shown.
enum class ModePanel : unsigned { GuidePath = 1, Rotation = 2 };

struct ToolTraits {
  StrokeModel stroke = StrokeModel::Click;
  LayerPolicy onPress{}, onDrag{};
  // The step the router records for the tool's gesture; null when the tool records
  // its own steps or changes nothing undoable.
  const char* label = nullptr;
  ToolPreview::Kind band = ToolPreview::None;  // rubber band drawn while dragging
  Overlay overlay = Overlay::None;
  CursorRule cursorRule = CursorRule::Style;
  CursorShape cursor = CursorShape::Cross;
  bool dragCross = false;         // the drag cross while the tool draws during a drag
  bool dotOnPress = false;        // the dot cursor while the click is handled
  const char* dragStatus = nullptr;  // the status line while dragging
  // When chosen: the status line (null leaves it, "" clears it) and the option bar.
  const char* status = nullptr;
  OptionSlider slider1{}, slider2{};
  unsigned follows = 0;  // ModePanel bits: the panels it may follow while shown
};

constexpr unsigned Follows(ModePanel p) { return unsigned(p); }

// Traits of a tool id; a default (a click tool with the configured cursor) for an
// id that registered none.
const ToolTraits& TraitsOf(int id);
// Traits of an id that has no pointer work of its own (a command such as zooming
// out that a mode panel lets through).
void RegisterToolTraits(int id, const ToolTraits& traits);

// True when `next` may become current while `panel` is shown.
inline bool MayFollow(ModePanel panel, int next) { return (TraitsOf(next).follows & unsigned(panel)) != 0; }

}  // namespace tool
}  // namespace velmira
