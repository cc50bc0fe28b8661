#include <gtest/gtest.h>

#include "../support/tool_fixture.h"
#include "tools/guide_path.h"
#include "tools/selection.h"

namespace velmira {
namespace {

using testing_support::ToolFixture;

// The guide tools driven through the router with clicks, on a 40 × 30 white canvas;
// points are canvas pixels seen from the top.
class GuidePathTools : public ToolFixture {
 protected:
  GuidePathTools() { RegisterGuidePathTools(); }
  const GuidePath& Path() { return doc->guidePath; }
  GuidePoint At(int x, int yTop) { return {LayerX(x), LayerY(yTop)}; }
  uint8_t MaskByte(int x, int yTop) {
    return L().mask[size_t(LayerY(yTop)) * size_t(L().maskWidth) + size_t(LayerX(x))];
  }
  bool Said(const std::string& m) const {
    return std::find(host.messages.begin(), host.messages.end(), m) != host.messages.end();
  }
  // A triangle closed by a click beside its first point.
  void Triangle() {
    Use(guide::kMake);
    Click(5, 5);
    Click(35, 5);
    Click(35, 25);
    Click(6, 6);
  }
};

TEST_F(GuidePathTools, ClosingOnTheFirstPointThenAskingBeforeRemoval) {
  Triangle();
  ASSERT_EQ(Path().Count(), 3);  // the closing click adds no point
  EXPECT_TRUE(Path().closed);
  EXPECT_EQ(Path().points[0], At(5, 5));
  // The segments, the closing one included, are boundary marks in the mask.
  EXPECT_EQ(MaskByte(20, 5), kMaskBoundary);
  EXPECT_EQ(MaskByte(35, 15), kMaskBoundary);
  EXPECT_EQ(MaskByte(20, 15), kMaskBoundary);  // on the diagonal back to the first point
  EXPECT_EQ(MaskByte(12, 20), 1);
  EXPECT_FALSE(L().selectionExists);

  // A later click asks; Cancel keeps the path, OK removes it without adding a point.
  host.answer = Answer::Cancel;
  Click(20, 20);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], guide::kAskRemovePath);
  EXPECT_EQ(Path().Count(), 3);
  host.answer = Answer::Ok;
  Click(20, 20);
  EXPECT_EQ(Path().Count(), 0);
  EXPECT_FALSE(Path().closed);
  EXPECT_EQ(MaskByte(20, 5), 1);
  // The next click starts a new path.
  Click(20, 20);
  EXPECT_EQ(Path().Count(), 1);
  EXPECT_EQ(MaskByte(20, 20), kMaskBoundary);

  // Four pixels from the first point (16) adds a point; three (9 < 10) closes.
  doc->guidePath.Clear();
  Click(10, 10);
  Click(20, 10);
  Click(10, 14);
  EXPECT_EQ(Path().Count(), 3);
  EXPECT_FALSE(Path().closed);
  Click(13, 10);
  EXPECT_TRUE(Path().closed);
  EXPECT_EQ(Path().Count(), 3);
}

TEST_F(GuidePathTools, SelectionNeedsThreePointsAndAClosedPath) {
  Use(guide::kMake);
  Click(5, 5);
  Click(35, 5);
  EXPECT_FALSE(GuidePathToSelection(*doc));
  EXPECT_TRUE(Said(guide::kNeedMorePoints));
  Click(35, 25);
  EXPECT_FALSE(GuidePathToSelection(*doc));
  EXPECT_TRUE(Said(guide::kNotClosed));
  EXPECT_EQ(Path().Count(), 3);
  EXPECT_FALSE(L().selectionExists);
  EXPECT_EQ(frame.currentTool, guide::kMake);

  Click(5, 6);
  ASSERT_TRUE(Path().closed);
  ASSERT_TRUE(GuidePathToSelection(*doc));
  EXPECT_TRUE(L().selectionExists);
  EXPECT_EQ(Path().Count(), 0);
  EXPECT_EQ(frame.currentTool, tool::kPolygonSelect);
  EXPECT_EQ(frame.selectionKind, 3);
  EXPECT_NE(MaskByte(30, 8), 0);  // inside the triangle
  EXPECT_EQ(MaskByte(8, 22), 0);  // beside it
}

TEST_F(GuidePathTools, RemovingDownToTwoPointsClearsAndInsertionNeedsThreePixels) {
  Triangle();
  Use(guide::kRemove);
  Click(30, 24);  // nearest: (35, 25)
  EXPECT_EQ(Path().Count(), 0);
  EXPECT_FALSE(Path().closed);
  EXPECT_EQ(MaskByte(20, 5), 1);

  Triangle();
  Use(guide::kInsert);
  const int before = Path().Count();
  Click(20, 10);  // five rows from the diagonal's line: nothing
  EXPECT_EQ(Path().Count(), before);
  Click(20, 8);  // three rows under the top edge: inserted after the first point
  ASSERT_EQ(Path().Count(), before + 1);
  EXPECT_EQ(Path().points[1], At(20, 8));
  Click(20, 0);  // five rows away: nothing
  EXPECT_EQ(Path().Count(), before + 1);
  // A vertical segment takes points along its rows.
  Click(33, 15);
  ASSERT_EQ(Path().Count(), before + 2);
  EXPECT_EQ(Path().points[3], At(33, 15));
  EXPECT_TRUE(Path().closed);

  // With four points, removing one keeps a closed triangle.
  Use(guide::kRemove);
  Click(20, 8);
  Click(33, 15);
  ASSERT_EQ(Path().Count(), 3);
  EXPECT_TRUE(Path().closed);
}

TEST_F(GuidePathTools, ThreeHundredPointsAtMostAndMovingFollowsThePointer) {
  Use(guide::kMake);
  Click(1, 1);
  // Points may repeat; they only must stay away from the first one.
  for (int i = 1; i < GuidePath::kMaxPoints; ++i) AddGuidePoint(*doc, 10 + i % 20, 10 + i % 7);
  ASSERT_EQ(Path().Count(), 300);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(AddGuidePoint(*doc, 30, 20), GuideClick::Full);
  EXPECT_TRUE(Said(guide::kTooManyPoints));
  EXPECT_EQ(Path().Count(), 300);

  doc->guidePath.Clear();
  Click(5, 5);
  Click(35, 5);
  Use(guide::kEdit);
  // The cursor changes near a point (squared distance below 2500) and not far away.
  view.cursors.clear();
  router->Move(view, testing_support::PointerAt(30, 9, false));
  ASSERT_FALSE(view.cursors.empty());
  EXPECT_EQ(view.cursors.back(), CursorShape::Drop);
  Drag({{34, 6}, {30, 15}, {25, 20}});
  EXPECT_EQ(Path().points[1], At(25, 20));
  EXPECT_EQ(Path().points[0], At(5, 5));
  EXPECT_EQ(MaskByte(15, 5), 1);  // the old segment is gone
}

TEST_F(GuidePathTools, TextLayersAreRefusedWithTheGuideMessage) {
  Use(guide::kMake);
  Click(5, 5);
  Click(35, 5);
  const std::vector<uint8_t> before = L().mask;
  Active().kind = kLayerText;  // as if a text layer were active
  EXPECT_EQ(AddGuidePoint(*doc, 20, 20), GuideClick::Refused);
  EXPECT_TRUE(Said(guide::kTextLayer));
  EXPECT_EQ(L().mask, before);  // nothing redrawn into the mask
  EXPECT_FALSE(StrokeGuidePath(*doc, 100));
  EXPECT_NE(LastLabel(), guide::kStrokeLabel);
}

TEST_F(GuidePathTools, StrokeFollowsThePathUpToItsLimit) {
  frame.brushSize = 1;
  frame.foreground = MakeRgbq(0, 0, 0);
  Use(guide::kMake);
  Click(5, 15);
  Click(15, 15);
  Click(25, 15);
  Click(35, 15);
  // 40 % of 30 pixels is 12: the first segment and two pixels of the second, measured
  // from its start.
  const std::vector<GuideSegment> part = GuideStrokeSegments(Path(), 40);
  ASSERT_EQ(part.size(), 2u);
  EXPECT_EQ(part[1].a, At(15, 15));
  EXPECT_EQ(part[1].b, At(17, 15));
  EXPECT_EQ(GuideStrokeSegments(Path(), 0).size(), 3u);
  EXPECT_EQ(GuideStrokeSegments(Path(), 100).size(), 3u);
  EXPECT_EQ(GuideStrokeSegments(Path(), 100).back().b, At(35, 15));

  ASSERT_TRUE(StrokeGuidePath(*doc, 40));
  EXPECT_EQ(LastLabel(), guide::kStrokeLabel);
  EXPECT_EQ(Colour(5, 15) & 0xFFFFFF, MakeRgbq(0, 0, 0));
  EXPECT_EQ(Colour(17, 15) & 0xFFFFFF, MakeRgbq(0, 0, 0));
  EXPECT_EQ(Colour(18, 15) & 0xFFFFFF, MakeRgbq(255, 255, 255));
  EXPECT_EQ(Colour(5, 16) & 0xFFFFFF, MakeRgbq(255, 255, 255));
  EXPECT_EQ(Path().Count(), 0);
  EXPECT_FALSE(StrokeGuidePath(*doc, 100));  // nothing left to stroke

  // A closed path strokes its closing segment too, undone in one step.
  Triangle();
  ASSERT_TRUE(StrokeGuidePath(*doc, 100));
  EXPECT_EQ(Colour(20, 15) & 0xFFFFFF, MakeRgbq(0, 0, 0));
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Colour(20, 15) & 0xFFFFFF, MakeRgbq(255, 255, 255));
  EXPECT_EQ(Colour(5, 15) & 0xFFFFFF, MakeRgbq(0, 0, 0));
}

}  // namespace
}  // namespace velmira
