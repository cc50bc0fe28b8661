#include "tools/view_geometry.h"

#include <gtest/gtest.h>

#include "image/layers.h"
#include "tools/outline.h"

namespace velmira {
namespace {

TEST(ViewGeometry, SmallPictureIsCentredAndClicksOutsideAreClampedOntoItsBorder) {
  // A 100 × 50 picture in a 300 × 200 window: offsets 100 and 75, no scrolling even
  // when the view still carries a scroll position from a larger zoom.
  ViewGeometry g{300, 200, 100, 50, 40, 40};
  const PictureRect r = PictureRectOf(g);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 75);
  EXPECT_EQ(r.width, 100);
  EXPECT_EQ(r.height, 50);
  EXPECT_TRUE(r.centredX && r.centredY);

  MappedPoint inside = MapClientPoint(g, 150, 80);
  EXPECT_FALSE(inside.clamped);
  EXPECT_EQ(inside.view, (Point{50, 5}));

  MappedPoint left = MapClientPoint(g, 3, 199);
  EXPECT_TRUE(left.clamped);
  EXPECT_EQ(left.view, (Point{0, 49}));
  EXPECT_EQ(left.raw, (Point{-97, 124}));

  MappedPoint right = MapClientPoint(g, 299, 0);
  EXPECT_EQ(right.view, (Point{99, 0}));
}

TEST(ViewGeometry, LargePictureScrollsAndMapsThroughTheScrollPosition) {
  ViewGeometry g{300, 200, 1600, 1200, 500, 700};
  const PictureRect r = PictureRectOf(g);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.width, 300);
  EXPECT_FALSE(r.centredX);
  MappedPoint m = MapClientPoint(g, 10, 20);
  EXPECT_EQ(m.view, (Point{510, 720}));
  // One axis centred, the other scrolled.
  ViewGeometry mixed{300, 200, 100, 1200, 500, 700};
  EXPECT_EQ(MapClientPoint(mixed, 110, 20).view, (Point{10, 720}));
}

TEST(ViewGeometry, StretchedPointsAreScaledIntoZoomSpace) {
  // A 200-wide picture at zoom 1 stretched over 400 client pixels: client 300 is
  // picture column 150.
  ViewGeometry g{400, 100, 400, 100, 0, 0, 0.5, 1.0};
  EXPECT_EQ(MapClientPoint(g, 300, 10).view, (Point{150, 10}));
}

TEST(ViewGeometry, ZoomStepKeepsTheRelativePositionOrCentresTheAnchor) {
  // Without an anchor: a quarter of the way along stays a quarter of the way along.
  EXPECT_EQ(ScrollAfterZoom(250, 1000, 2000, 400, -1), 500);
  // With an anchor: the clicked point (600 in the old zoomed space, 1200 in the new)
  // comes to the middle of a 400-pixel window.
  EXPECT_EQ(ScrollAfterZoom(250, 1000, 2000, 400, 600), 1000);
  // Near the far end the position is clamped and stays at the end.
  EXPECT_EQ(ScrollAfterZoom(0, 1000, 2000, 400, 990), 1600);
  // Near the start never below 0.
  EXPECT_EQ(ScrollAfterZoom(0, 1000, 2000, 400, 50), 0);
  // Zooming out to a picture smaller than the window: position 0.
  EXPECT_EQ(ScrollAfterZoom(300, 1000, 250, 400, -1), 0);
  // No previous extent: nothing to keep.
  EXPECT_EQ(ScrollAfterZoom(0, 0, 2000, 400, 600), 0);
}

TEST(ViewGeometry, ChildFrameFollowsThePictureUpToTheMdiEdge) {
  EXPECT_EQ(FrameClientExtent(300, 10, 1000, 8), 300);
  EXPECT_EQ(FrameClientExtent(3000, 10, 1000, 8), 1000 - 10 - 8);
  EXPECT_EQ(FrameClientExtent(3000, 1200, 1000, 8), 1);  // a frame beyond the edge
}

TEST(ViewGeometry, ChildFrameIsKeptInsideTheMdiArea) {
  // Fits already: unchanged.
  EXPECT_EQ(FitFrameSpan(20, 300, 600).nearEdge, 20);
  EXPECT_EQ(FitFrameSpan(20, 300, 600).extent, 300);
  // Too tall for the area: as tall as the area, from its top.
  EXPECT_EQ(FitFrameSpan(30, 3040, 560).extent, 560);
  EXPECT_EQ(FitFrameSpan(30, 3040, 560).nearEdge, 0);
  // Small enough, but pushed past the far edge (a cascaded frame): moved back in.
  EXPECT_EQ(FitFrameSpan(500, 300, 600).nearEdge, 300);
  EXPECT_EQ(FitFrameSpan(500, 300, 600).extent, 300);
  // Above or left of the area: brought to its edge.
  EXPECT_EQ(FitFrameSpan(-40, 100, 600).nearEdge, 0);
  // An area not laid out yet changes nothing.
  EXPECT_EQ(FitFrameSpan(30, 3040, 0).extent, 3040);
  EXPECT_EQ(FitFrameSpan(30, 3040, 0).nearEdge, 30);
}

TEST(ViewGeometry, StatusLineNamesSizeAndDepth) {
  LayerStack s;
  s.header.canvasWidth = 640;
  s.header.canvasHeight = 480;
  s.header.bitsPerPixel = 24;
  EXPECT_EQ(ViewStatusLine(s), "  640x480x24 ");
}

TEST(Outline, TracesTheBorderOfSelectedPixelsWithMergedRuns) {
  // 5 × 4 mask (rows bottom first) with a 3 × 2 block at columns 1…3, rows 1…2, a
  // boundary mark counting as selected.
  const uint8_t m[] = {
      0, 0, 0, 0, 0,  //
      0, 1, 1, 2, 0,  //
      0, 1, 1, 1, 0,  //
      0, 0, 0, 0, 0,  //
  };
  SelectionOutline o = TraceOutline(m, 5, 4);
  ASSERT_EQ(o.edges.size(), 4u);
  auto has = [&](OutlineEdge e) { return std::find(o.edges.begin(), o.edges.end(), e) != o.edges.end(); };
  EXPECT_TRUE(has({1, 1, 4, 1}));
  EXPECT_TRUE(has({1, 3, 4, 3}));
  EXPECT_TRUE(has({1, 1, 1, 3}));
  EXPECT_TRUE(has({4, 1, 4, 3}));

  // A hole adds its own four edges; an empty mask has none.
  const uint8_t ring[] = {1, 1, 1, 1, 0, 1, 1, 1, 1};
  EXPECT_EQ(TraceOutline(ring, 3, 3).edges.size(), 8u);
  const uint8_t none[] = {0, 0, 0, 0};
  EXPECT_TRUE(TraceOutline(none, 2, 2).Empty());
}

TEST(Outline, CanvasEdgesCountRowsFromTheTop) {
  // Mask row 0 (the bottom row) of a mask at (2, 0) on a 10-row canvas lies between
  // corner rows 9 and 10 from the top.
  EXPECT_EQ(EdgeOnCanvas({0, 0, 3, 0}, 2, 0, 10), (OutlineEdge{2, 10, 5, 10}));
  EXPECT_EQ(EdgeOnCanvas({0, 1, 3, 1}, 2, 0, 10), (OutlineEdge{2, 9, 5, 9}));
  // A mask over a layer at y = 3 (three stored rows in) shows 3 rows lower.
  EXPECT_EQ(EdgeOnCanvas({0, 1, 0, 2}, 0, 3, 10), (OutlineEdge{0, 12, 0, 11}));
}

}  // namespace
}  // namespace velmira
