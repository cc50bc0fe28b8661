#include "tools/view_geometry.h"

#include <algorithm>
#include <cmath>

#include "image/layers.h"
#include "image/text.h"

namespace velmira {

AxisPlacement PlaceAxis(int zoomedSize, int clientSize) {
  AxisPlacement a;
  zoomedSize = std::max(0, zoomedSize);
  clientSize = std::max(0, clientSize);
  if (clientSize >= zoomedSize) {
    a.offset = (clientSize - zoomedSize) / 2;
    a.extent = zoomedSize;
    a.centred = true;
  } else {
    a.offset = 0;
    a.extent = clientSize;
  }
  return a;
}

PictureRect PictureRectOf(const ViewGeometry& g) {
  const AxisPlacement x = PlaceAxis(g.zoomedWidth, g.clientWidth);
  const AxisPlacement y = PlaceAxis(g.zoomedHeight, g.clientHeight);
  return {x.offset, y.offset, x.extent, y.extent, x.centred, y.centred};
}

MappedPoint MapClientPoint(const ViewGeometry& g, int clientX, int clientY) {
  const PictureRect r = PictureRectOf(g);
  MappedPoint m;
  auto axis = [&](int c, int offset, int extent, int scroll, bool centred, double scale, int& clampedOut,
                  int& rawOut) {
    int k = c;
    if (extent <= 0) {
      k = offset;
    } else if (k < offset) {
      k = offset;
    } else if (k > offset + extent - 1) {
      k = offset + extent - 1;
    }
    if (k != c) m.clamped = true;
    const int s = centred ? 0 : scroll;
    // Truncation toward zero, as the document's own mapping truncates.
    clampedOut = int(double(k + s - offset) * scale);
    rawOut = int(double(c + s - offset) * scale);
  };
  axis(clientX, r.left, r.width, g.scrollX, r.centredX, g.toZoomX, m.view.x, m.raw.x);
  axis(clientY, r.top, r.height, g.scrollY, r.centredY, g.toZoomY, m.view.y, m.raw.y);
  return m;
}

int ScrollAfterZoom(int position, int oldExtent, int newExtent, int client, int anchor) {
  const int maxPos = std::max(0, newExtent - client);
  if (oldExtent <= 0) return std::clamp(position, 0, maxPos);
  double rel = double(anchor >= 0 ? anchor : position) / double(oldExtent);
  if (rel < 0) rel = 0;
  int pos = int(double(newExtent) * rel);
  bool atFarEnd = false;
  if (pos > maxPos) {
    pos = maxPos;
    atFarEnd = true;
  }
  if (anchor >= 0 && !atFarEnd) pos -= client / 2;
  return std::clamp(pos, 0, maxPos);
}

int FrameClientExtent(int zoomedSize, int frameNearEdge, int mdiFarEdge, int decoration) {
  return std::max(1, std::min(zoomedSize, mdiFarEdge - frameNearEdge - decoration));
}

FrameSpan FitFrameSpan(int nearEdge, int extent, int areaExtent) {
  if (areaExtent <= 0) return {nearEdge, extent};
  FrameSpan s;
  s.extent = std::clamp(extent, 1, areaExtent);
  s.nearEdge = std::clamp(nearEdge, 0, areaExtent - s.extent);
  return s;
}

std::string ViewStatusLine(const LayerStack& layers) {
  return Format("  %dx%dx%d ", layers.header.canvasWidth, layers.header.canvasHeight,
                layers.header.bitsPerPixel);
}

}  // namespace velmira
