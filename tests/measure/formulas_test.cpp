// The measuring formulas against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>

#include "measure/formulas.h"

namespace velmira::measure {
namespace {

TEST(SegmentLength, DividesByTheTruncatedReference) {
  // (3, 4) is 5 pixels: 100 pixels are 20 units.
  EXPECT_FLOAT_EQ(SegmentLength({0, 0}, {100, 0}, {3, 4, 1.0f}), 20.0f);
  EXPECT_EQ(LengthLabel(SegmentLength({0, 0}, {60, 80}, {3, 4, 1.0f}), "mm", 2), "20.00 mm");
  EXPECT_EQ(LengthLabel(20.0f, "mm", 1), "20.0 mm");
  // (1, 1) is sqrt 2 pixels, truncated to 1: a length divides by 1, not 1.414.
  EXPECT_FLOAT_EQ(SegmentLength({10, 10}, {10, 110}, {1, 1, 1.0f}), 100.0f);
  // Real length scales.
  EXPECT_FLOAT_EQ(SegmentLength({0, 0}, {30, 40}, {10, 0, 2.5f}), 12.5f);
  // Negative coordinates give −1.
  EXPECT_FLOAT_EQ(SegmentLength({-1, 0}, {10, 0}, {1, 1, 1.0f}), -1.0f);
  // An empty reference typed in divides by one pixel instead of giving infinity.
  EXPECT_FLOAT_EQ(SegmentLength({0, 0}, {7, 0}, {0, 0, 1.0f}), 7.0f);
}

TEST(Areas, RectangleUsesTheExactReferencePolygonCountsPixels) {
  const Calib c{1, 1, 1.0f};
  EXPECT_NEAR(RectangleArea({0, 0}, {10, 20}, c), (10 / std::sqrt(2.0)) * (20 / std::sqrt(2.0)), 1e-4);
  EXPECT_NEAR(RectangleArea({10, 20}, {0, 0}, {3, 4, 2.0f}), (10 / 5.0 * 2) * (20 / 5.0 * 2), 1e-4);
  EXPECT_EQ(AreaLabel(100.0f, "um", 2), "100.00 um²");

  // A 10 × 10 square from (0, 0) to (9, 9): the outline and its inside are 100 pixels.
  const std::vector<MPoint> square = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
  EXPECT_EQ(PolygonPixelCount(square, 50, 40), 100);
  // Each pixel counts (L / R)²: with (3, 4) and L = 1 that is 1/25.
  EXPECT_NEAR(PolygonArea(square, 50, 40, {3, 4, 1.0f}), 100 / 25.0, 1e-4);
  // Parts outside the layer do not count; too few points count nothing.
  EXPECT_EQ(PolygonPixelCount({{-5, -5}, {4, -5}, {4, 4}, {-5, 4}}, 50, 40), 25);
  EXPECT_EQ(PolygonPixelCount({{0, 0}, {9, 9}}, 50, 40), 0);
  // A triangle covers about half its box plus the outline.
  const int64_t tri = PolygonPixelCount({{0, 0}, {20, 0}, {0, 20}}, 50, 40);
  EXPECT_GT(tri, 200);
  EXPECT_LT(tri, 260);
}

TEST(Angle, ValuesFlatArmsStraightAnglesAndLongArms) {
  EXPECT_NEAR(AngleValue({0, 10}, {0, 0}, {10, 0}), 90.0f, 1e-3);
  EXPECT_NEAR(AngleValue({10, 10}, {0, 0}, {10, 0}), 45.0f, 1e-3);
  // A straight angle is 180, not NaN from a cosine a rounding pushed past −1.
  EXPECT_FLOAT_EQ(AngleValue({0, 0}, {7, 3}, {14, 6}), 180.0f);
  EXPECT_FLOAT_EQ(AngleValue({-300, 0}, {0, 0}, {300, 0}), 180.0f);
  // Arms of 30,000 pixels: the squared lengths multiply far past 32 bits.
  EXPECT_NEAR(AngleValue({30000, 0}, {0, 0}, {0, 30000}), 90.0f, 1e-3);
  EXPECT_NEAR(AngleValue({30000, 30000}, {0, 0}, {30000, 0}), 45.0f, 1e-3);
  EXPECT_NEAR(AngleValue({0, 0}, {20000, 5}, {0, 10}), 2 * std::atan(5.0 / 20000) * 180 / M_PI, 1e-3);
  // A zero-length arm has no angle.
  EXPECT_FLOAT_EQ(AngleValue({5, 5}, {5, 5}, {10, 0}), 0.0f);
  // A flat arm's direction uses Δy = 0.1.
  EXPECT_DOUBLE_EQ(ArmDirection({100, 50}, {0, 50}), -std::atan2(0.1, 100.0) * 57.29582790879778);
  EXPECT_DOUBLE_EQ(ArmDirection({0, 50}, {100, 50}), -std::atan2(0.1, -100.0) * 57.29582790879778);
  EXPECT_DOUBLE_EQ(ArmDirection({0, 0}, {0, 10}), -std::atan2(-10.0, 0.0) * 57.29582790879778);
}

TEST(CircleAndDistance, RadiusAndPerpendicularFoot) {
  EXPECT_EQ(CirclePixelRadius({10, 10}, {13, 14}), 5);
  EXPECT_EQ(CirclePixelRadius({0, 0}, {1, 1}), 1);
  // Horizontal reference: the foot is straight above or below.
  EXPECT_EQ(PerpendicularFoot({0, 10}, {100, 10}, {40, 70}), (MPoint{40, 10}));
  // Vertical reference.
  EXPECT_EQ(PerpendicularFoot({20, 0}, {20, 100}, {70, 33}), (MPoint{20, 33}));
  // Diagonal y = x: the foot of (10, 0) is (5, 5).
  EXPECT_EQ(PerpendicularFoot({0, 0}, {100, 100}, {10, 0}), (MPoint{5, 5}));
  EXPECT_EQ(PerpendicularFoot({0, 100}, {100, 0}, {0, 0}), (MPoint{50, 50}));
}

TEST(Curves, LengthWithinTheToleranceAndAreaOfAClosedCurve) {
  // Nodes on a straight line with handles on it: the length is the chord.
  Curve line{{{0, 0}, {100, 0}}, {{0, 0}, {66, 0}}, {{33, 0}, {100, 0}}};
  EXPECT_NEAR(CurvePixelLength(line), 100.0, 0.01);
  // A quarter circle of radius 100 by the usual cubic (k = 0.5523): length 157.08
  // within the cubic's own error (under 0.03 %).
  const int k = 55;  // handles 55.23 rounded to whole pixels
  Curve arc{{{100, 0}, {0, 100}}, {{100, 0}, {k, 100}}, {{100, k}, {0, 100}}};
  EXPECT_NEAR(CurvePixelLength(arc), M_PI * 50, 0.5);
  // Smooth handles of clicked nodes, and a closed curve's area close to its polygon.
  const Curve sq = SmoothCurve({{10, 10}, {30, 10}, {30, 30}, {10, 30}}, true);
  ASSERT_EQ(sq.first.size(), 4u);
  const float a = CurveArea(sq, 60, 60, {1, 0, 1.0f});
  EXPECT_GT(a, 400);
  EXPECT_LT(a, 600);
  EXPECT_FLOAT_EQ(CurveLength(line, {3, 4, 1.0f}), 20.0f);
}

}  // namespace
}  // namespace velmira::measure
