// Measuring on a document: the object list's limits, removal, vector undo and redo,
// and the tools driven by pointer events as the editor's view sends them.
#include <gtest/gtest.h>

#include <cmath>

#include "../support/tool_fixture.h"
#include "measure/measure_commands.h"
#include "measure/measure_tools.h"

namespace velmira::measure {
namespace {

using testing_support::ToolFixture;

class MeasureDoc : public ToolFixture {
 protected:
  MeasureDoc() { width = 200, height = 150; }
  void SetUp() override {
    RegisterMeasureTools();
    ToolFixture::SetUp();
    frame.measure.labels = false;  // no text rasteriser here
    frame.measure.lineColour = MakeRgbq(255, 0, 0);
  }
  MeasureList& List() { return MeasureOf(*doc).list; }
  bool Red(int x, int y) { return Colour(x, y) == MakeRgbq(255, 0, 0); }
};

TEST_F(MeasureDoc, SegmentReadsCalibratedLengthAndDrawsIntoTheLayer) {
  frame.measure.refX = 3, frame.measure.refY = 4, frame.measure.realLength = 1, frame.measure.unit = "mm";
  Use(cmd::kSegmentTool);
  Drag({{10, 20}, {60, 20}, {110, 20}});
  ASSERT_EQ(List().Count(), 1);
  const MeasureObject& o = List().Objects()[0];
  EXPECT_EQ(o.kind, kind::kSegment);
  EXPECT_FLOAT_EQ(o.length, 20.0f);
  EXPECT_EQ(MeasureOf(*doc).lastLabel, "20.00 mm");
  EXPECT_TRUE(Red(50, 20));
  EXPECT_FALSE(Red(50, 40));
  // Picture points are kept, not view points: at zoom 2 the same picture segment.
  router->SetZoom(2.0f);
  Drag({{20, 100}, {220, 100}});
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Objects()[1].points[0], (MPoint{10, 50}));
  EXPECT_FLOAT_EQ(List().Objects()[1].length, 20.0f);
}

TEST_F(MeasureDoc, ListRefusesThe701stObjectAndShortFigures) {
  for (int i = 0; i < kMaxObjects; ++i) ASSERT_TRUE(MeasurePoint(*doc, {i % 200, i % 150}));
  host.messages.clear();
  EXPECT_FALSE(MeasureSegment(*doc, {0, 0}, {5, 5}));
  EXPECT_EQ(List().Count(), 700);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("700"), std::string::npos);
  EXPECT_EQ(List().Objects()[699].marker, 700);
}

TEST_F(MeasureDoc, PolygonOfTwoPointsIsDroppedWhenTheToolChanges) {
  Use(cmd::kPolygonTool);
  Click(10, 10);
  Click(50, 10);
  ToolChanging(*doc);
  EXPECT_EQ(List().Count(), 0);
  // The running display is gone too.
  EXPECT_FALSE(Red(30, 10));
  // Three points register with the pixel-counted area.
  Use(cmd::kPolygonTool);
  Click(10, 10);
  Click(19, 10);
  Click(19, 19);
  Click(10, 19);
  ToolChanging(*doc);
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Objects()[0].kind, kind::kPolygon);
  // 100 pixels, each (1 / sqrt 2)² with the (1, 1) reference: the area uses the
  // untruncated reference length as the rectangle does.
  EXPECT_FLOAT_EQ(List().Objects()[0].area, 50.0f);
  // A polyline of one point is not registered; of three it is, with its length.
  Use(cmd::kPolylineTool);
  Click(0, 100);
  ToolChanging(*doc);
  EXPECT_EQ(List().Count(), 1);
  Click(0, 100);
  Click(30, 100);
  Click(30, 140);
  ToolChanging(*doc);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_FLOAT_EQ(List().Objects()[1].length, 70.0f);
}

TEST_F(MeasureDoc, RemoveUndoAndRedoRedrawWhatIsLeft) {
  ASSERT_TRUE(MeasureSegment(*doc, {10, 10}, {100, 10}));
  ASSERT_TRUE(MeasureSegment(*doc, {10, 50}, {100, 50}));
  ASSERT_TRUE(MeasureSegment(*doc, {10, 90}, {100, 90}));
  // Removing needs a selection.
  EXPECT_FALSE(RemoveSelected(*doc));
  EXPECT_EQ(host.messages.back(), kMsgRemoveSelect);
  Use(cmd::kSelectTool);
  Click(55, 92);  // near the third segment
  ASSERT_EQ(List().Selected(), 2);
  EXPECT_TRUE(RemoveSelected(*doc));
  EXPECT_FALSE(Red(55, 90));
  EXPECT_TRUE(Red(55, 50));
  // Undo skips the removed last object and takes the one before.
  EXPECT_TRUE(VectorUndo(*doc));
  EXPECT_EQ(List().Count(), 1);
  EXPECT_FALSE(List().Objects()[1].valid);
  EXPECT_FALSE(Red(55, 50));
  EXPECT_TRUE(Red(55, 10));
  // Redo brings back what undo took, but not what the user removed.
  EXPECT_TRUE(IsMeasureCommandEnabled(doc.get(), cmd::kVectorRedo));
  EXPECT_TRUE(VectorRedo(*doc));
  EXPECT_TRUE(Red(55, 50));
  EXPECT_TRUE(VectorRedo(*doc));
  EXPECT_EQ(List().Count(), 3);
  EXPECT_FALSE(List().Objects()[2].valid);
  EXPECT_FALSE(Red(55, 90));
  EXPECT_FALSE(VectorRedo(*doc));
  // A new object after an undo ends the redo.
  EXPECT_TRUE(VectorUndo(*doc));
  ASSERT_TRUE(MeasurePoint(*doc, {5, 5}));
  EXPECT_FALSE(IsMeasureCommandEnabled(doc.get(), cmd::kVectorRedo));
}

TEST_F(MeasureDoc, PaintingAfterAMarkSurvivesARemoval) {
  ASSERT_TRUE(MeasureSegment(*doc, {10, 10}, {100, 10}));
  SetColour(150, 120, MakeRgbq(0, 0, 255));  // another tool's work
  ASSERT_TRUE(RemoveObject(*doc, 0));
  EXPECT_EQ(Colour(150, 120), MakeRgbq(0, 0, 255));
}

TEST_F(MeasureDoc, RectangleCircleAngleAndDistanceTools) {
  frame.measure.refX = 1, frame.measure.refY = 1;
  Use(cmd::kRectangleTool);
  Drag({{10, 10}, {30, 50}});
  ASSERT_EQ(List().Count(), 1);
  const auto& r = List().Objects()[0];
  EXPECT_EQ(r.points, (std::vector<MPoint>{{10, 10}, {30, 50}, {10, 50}, {30, 10}}));
  EXPECT_NEAR(r.area, 20 / std::sqrt(2.0) * 40 / std::sqrt(2.0), 1e-3);

  Use(cmd::kCircleTool);
  Drag({{100, 70}, {103, 74}});
  ASSERT_EQ(List().Count(), 2);
  EXPECT_FLOAT_EQ(List().Objects()[1].radius, 5.0f);
  EXPECT_FLOAT_EQ(List().Objects()[1].diameter, 10.0f);
  EXPECT_TRUE(Red(103, 74));

  Use(cmd::kAngleTool);
  Click(150, 20);
  Click(120, 20);
  EXPECT_EQ(List().Count(), 2);
  Click(120, 50);
  ASSERT_EQ(List().Count(), 3);
  EXPECT_NEAR(List().Objects()[2].angle, 90.0f, 1e-3);

  Use(cmd::kDistanceTool);
  Click(5, 140);  // a click is no reference line
  EXPECT_EQ(host.messages.back(), kMsgDragReference);
  Drag({{0, 120}, {190, 120}});
  Click(60, 100);
  ASSERT_EQ(List().Count(), 4);
  EXPECT_EQ(List().Objects()[3].points, (std::vector<MPoint>{{60, 100}, {60, 120}}));
  EXPECT_FLOAT_EQ(List().Objects()[3].length, 20.0f);
}

TEST_F(MeasureDoc, CalibrationRequestTakesTheNextSegment) {
  frame.measure.referenceRequested = true;
  Use(cmd::kSegmentTool);
  Drag({{10, 10}, {40, 50}});
  EXPECT_EQ(List().Count(), 0);
  EXPECT_TRUE(frame.measure.referenceDelivered);
  EXPECT_FALSE(frame.measure.referenceRequested);
  EXPECT_EQ(frame.measure.deliveredX, 30);
  EXPECT_EQ(frame.measure.deliveredY, 40);
  EXPECT_EQ(host.messages.back(), "(기준설정중) 50 pixels");
}

TEST_F(MeasureDoc, PolygonPointsAddedAndRemovedNeedASelection) {
  Use(cmd::kAddPointTool);
  Click(5, 5);
  EXPECT_EQ(host.messages.back(), kMsgSelectFirst);
  ASSERT_TRUE(MeasurePolygon(*doc, {{10, 10}, {50, 10}, {50, 50}}));
  Use(cmd::kSelectTool);
  Click(30, 12);
  ASSERT_EQ(List().Selected(), 0);
  Use(cmd::kAddPointTool);
  Click(30, 5);  // nearest edge: the first, so after point 0
  EXPECT_EQ(List().Objects()[0].points, (std::vector<MPoint>{{10, 10}, {30, 5}, {50, 10}, {50, 50}}));
  Use(cmd::kRemovePointTool);
  Click(53, 52);  // squared distance 13: within 20
  EXPECT_EQ(List().Objects()[0].points.size(), 3u);
  Click(36, 5);  // 36: too far
  EXPECT_EQ(List().Objects()[0].points.size(), 3u);
  // Never below the three points a polygon needs.
  Click(30, 5);
  EXPECT_EQ(List().Objects()[0].points.size(), 3u);
}

TEST_F(MeasureDoc, TextLayerIsRefusedAndEndingContinuousMeasurementDropsTheFigure) {
  Use(cmd::kPolylineTool);
  Click(10, 10);
  Click(60, 10);
  EXPECT_TRUE(Red(30, 10));
  EndContinuous(*doc);
  EXPECT_EQ(frame.currentTool, -1);
  EXPECT_FALSE(Red(30, 10));
  ToolChanging(*doc);
  EXPECT_EQ(List().Count(), 0);

  Active().kind = kLayerText;
  EXPECT_FALSE(MeasurePoint(*doc, {5, 5}));
  EXPECT_NE(host.messages.back().find("[Text:글]"), std::string::npos);
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(MeasureDoc, CurveToolRegistersAndReshapes) {
  Use(cmd::kCurveTool);
  Click(10, 10);
  Click(60, 10);
  Click(110, 10);
  ASSERT_TRUE(FinishCurve(*doc));
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(List().Objects()[0].kind, kind::kCurve);
  EXPECT_NEAR(List().Objects()[0].length, 100.0f, 0.05);
  // Dragging the middle node bends it: longer now.
  Drag({{60, 10}, {60, 40}, {60, 60}});
  EXPECT_EQ(List().Objects()[0].curve.nodes[1], (MPoint{60, 60}));
  EXPECT_GT(List().Objects()[0].length, 130.0f);
  // A click on the first node closes a new curve into an area.
  Click(20, 100);
  Click(60, 100);
  Click(60, 140);
  Click(20, 100);
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(List().Objects()[1].kind, kind::kCurveArea);
  EXPECT_GT(List().Objects()[1].area, 500.0f);
}

}  // namespace
}  // namespace velmira::measure
