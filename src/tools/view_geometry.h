// Geometry of the image view, kept free of any toolkit so that the mapping from a
// client point to a picture point, the centring and the scroll positions after a
// zoom step are tested without a display.
//
// Three spaces meet here: the client area of the view (pixels of the widget), the
// zoomed picture (the picture scaled by the zoom factor, origin at its top-left
// corner) and the active layer's pixels (CMirvDoc::MapToLayer).
#pragma once

#include <string>

namespace velmira {

class LayerStack;

struct Point {
  int x = -1;
  int y = -1;
  bool Set() const { return x != -1; }
  bool operator==(const Point&) const = default;
};

// Where the picture sits along one axis of the client area: a picture smaller than
// the window is centred, a larger one fills it and scrolls.
struct AxisPlacement {
  int offset = 0;  // client coordinate of the first shown picture pixel
  int extent = 0;  // client pixels the picture covers
  bool centred = false;
};
AxisPlacement PlaceAxis(int zoomedSize, int clientSize);

struct ViewGeometry {
  int clientWidth = 0, clientHeight = 0;
  int zoomedWidth = 0, zoomedHeight = 0;  // picture × zoom; in stretch mode the client size
  int scrollX = 0, scrollY = 0;           // ignored on a centred axis
  // Factor from the displayed picture to zoomed-picture space: 1 normally; in
  // stretch mode zoom × picture size ÷ client size, so that the document maps
  // stretched points with its own zoom factor.
  double toZoomX = 1.0, toZoomY = 1.0;
};

struct PictureRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool centredX = false, centredY = false;
};
PictureRect PictureRectOf(const ViewGeometry& g);

struct MappedPoint {
  Point view;     // clamped onto the picture, in zoomed-picture space
  Point raw;      // the same without the clamp (may lie outside the picture)
  bool clamped = false;
};
// A client point clamped into the picture rectangle and converted to zoomed-picture
// space: x' = x + scroll x − offset x (scroll 0 on a centred axis).
MappedPoint MapClientPoint(const ViewGeometry& g, int clientX, int clientY);

// Scroll position of one axis after the zoom changed from an extent of oldExtent to
// newExtent. The relative position is kept; with an anchor (the clicked point in
// zoomed space before the step) the anchor is brought to the middle of the window,
// unless that would scroll past the far end.
int ScrollAfterZoom(int position, int oldExtent, int newExtent, int client, int anchor);

// Client extent the child frame takes along one axis after a zoom: the zoomed
// picture, but with the frame's own decoration (borders, title) no further than the
// MDI area's far edge; never below one pixel.
int FrameClientExtent(int zoomedSize, int frameNearEdge, int mdiFarEdge, int decoration);

// One axis of a child frame kept inside the MDI area: its outer extent no larger than
// the area, and its near edge moved back (never before 0) so that its far edge, with
// the scroll bar and the sizing border, stays in reach. An area not laid out yet
// (extent 0 or less) leaves the frame as it is.
struct FrameSpan {
  int nearEdge = 0;
  int extent = 0;
};
FrameSpan FitFrameSpan(int nearEdge, int extent, int areaExtent);

// "  width x height x bits " of the status line.
std::string ViewStatusLine(const LayerStack& layers);

}  // namespace velmira
