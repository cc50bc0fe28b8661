// The month calendar: weekday of the 1st, month lengths, the preview text, the
// cells as drawn and the layer the command adds (growing the canvas when needed).
#include "decorations/calendar.h"

#include <gtest/gtest.h>

#include "../support/fake_rasterizer.h"
#include "../support/tool_fixture.h"
#include "image/text.h"

namespace velmira {
namespace {

TEST(CalendarRules, FirstColumnCountsFrom1995BothWays) {
  EXPECT_EQ(FirstColumn(1995, 1), 0);  // Sunday
  EXPECT_EQ(FirstColumn(2007, 1), 1);  // Monday
  EXPECT_EQ(FirstColumn(2000, 1), 6);
  EXPECT_EQ(FirstColumn(2025, 3), 6);  // after a leap-free February
  EXPECT_EQ(FirstColumn(2026, 12), 2);
  EXPECT_EQ(FirstColumn(1994, 12), 4);
  EXPECT_EQ(FirstColumn(1990, 1), 1);
  EXPECT_EQ(FirstColumn(1970, 2), 0);
  EXPECT_EQ(FirstColumn(1900, 1), 1);
  EXPECT_EQ(FirstColumn(1600, 3), 3);  // a leap year divisible by 400
  EXPECT_EQ(FirstColumn(1, 1), 1);
  EXPECT_EQ(FirstColumn(9999, 12), 3);
}

TEST(CalendarRules, MonthLengthsFollowTheLeapRule) {
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_EQ(DaysInMonth(2023, 0), 0);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  EXPECT_EQ(CalendarPointSize(0), 10);
  EXPECT_EQ(CalendarPointSize(1), 10);
  EXPECT_EQ(CalendarPointSize(2), 10);
  EXPECT_EQ(CalendarPointSize(12), 20);
}

TEST(CalendarRules, PreviewTextIsExact) {
  EXPECT_EQ(CalendarPreview(2026, 2),
            u"\r\n        2026년  2월 \r\n"
            u"\r\n    일 월 화 수 목 금 토\r\n"
            u"    1  2  3  4  5  6  7\r\n"
            u"    8  9 10 11 12 13 14\r\n"
            u"   15 16 17 18 19 20 21\r\n"
            u"   22 23 24 25 26 27 28\r\n  ");
  // Starting on Saturday: six empty columns, then the 2nd opens the next row.
  EXPECT_EQ(CalendarPreview(2025, 3),
            u"\r\n        2025년  3월 \r\n"
            u"\r\n    일 월 화 수 목 금 토\r\n"
            u"                      1\r\n"
            u"    2  3  4  5  6  7  8\r\n"
            u"    9 10 11 12 13 14 15\r\n"
            u"   16 17 18 19 20 21 22\r\n"
            u"   23 24 25 26 27 28 29\r\n"
            u"   30 31");
}

TEST(CalendarRules, CellsSitOnTheGridWithOneDigitDaysShifted) {
  const int t = 20, B = 25;
  const auto cells = CalendarCells(2025, 3, t);
  ASSERT_EQ(cells.size(), 1u + 7u + 31u);
  EXPECT_EQ(cells[0].text, u"2025년 3월");
  EXPECT_EQ(cells[0].x, 0);
  EXPECT_EQ(cells[1].text, u"일");
  EXPECT_EQ(cells[7].text, u"토");
  EXPECT_EQ(cells[7].x, 6 * B);
  EXPECT_EQ(cells[7].y, B);
  const CalendarCell& first = cells[8];
  EXPECT_EQ(first.text, u"1");
  EXPECT_EQ(first.x, 6 * B + B / 4);
  EXPECT_EQ(first.y, 2 * B);
  const CalendarCell& second = cells[9];
  EXPECT_EQ(second.x, B / 4);
  EXPECT_EQ(second.y, 3 * B);
  const CalendarCell& tenth = cells[17];
  EXPECT_EQ(tenth.text, u"10");
  EXPECT_EQ(tenth.x, 1 * B);  // two digits: no shift
  EXPECT_EQ(cells.back().text, u"31");
  EXPECT_EQ(cells.back().y, 7 * B);
}

class CalendarDoc : public testing_support::ToolFixture {
 protected:
  CalendarDoc() { width = 600, height = 400; }
  testing_support::FakeRasterizer r;
  CalendarRequest Request(int year, int month, int t) {
    CalendarRequest q;
    q.year = year;
    q.month = month;
    q.pointSize = t;
    q.colour = MakeRgbq(0, 0, 200);
    q.face = u"Noto Sans Mono CJK KR";
    return q;
  }
};

TEST_F(CalendarDoc, FitsInTheCanvasAsANamedLayerAtTheCentre) {
  const int below = L().active;
  ASSERT_TRUE(InsertCalendar(*doc, r, Request(2025, 3, 20)));
  EXPECT_EQ(L().header.canvasWidth, 600);
  EXPECT_EQ(L().header.canvasHeight, 400);
  EXPECT_NE(L().active, below);
  EXPECT_EQ(Utf16ToUtf8(Active().name.Get()), " [달력] 3월");
  EXPECT_EQ(Active().kind, kLayerRaster);
  EXPECT_EQ(LastLabel(), kLabelCalendar);
  // The title starts at the centre; nothing lies above or left of it.
  EXPECT_GT(Alpha(302, 202), 0);
  EXPECT_EQ(Colour(302, 202), MakeRgbq(0, 0, 200));
  EXPECT_EQ(Alpha(298, 202), 0);
  EXPECT_EQ(Alpha(302, 198), 0);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().LayerCount(), 1);
}

TEST_F(CalendarDoc, ALargeCalendarGrowsTheCanvasRightAndDown) {
  SetColour(10, 10, MakeRgbq(255, 0, 0));  // a mark near the top-left
  ASSERT_TRUE(InsertCalendar(*doc, r, Request(2025, 3, 60)));
  const int B = 60 + 15;
  EXPECT_GE(L().header.canvasWidth, 300 + 7 * B);
  EXPECT_GE(L().header.canvasHeight, 200 + 8 * B);
  // Every layer still covers the canvas, and the old picture stays at the top-left.
  for (int s : L().Chain()) {
    EXPECT_GE(L().slots[s].width, L().header.canvasWidth);
    EXPECT_GE(L().slots[s].height, L().header.canvasHeight);
  }
  const int bottom = L().bottom;
  const Layer& b = L().slots[bottom];
  const int ly = b.y + L().header.canvasHeight - 1 - 10;
  EXPECT_EQ(L().ReadLayerColor(bottom, 10 - b.x, ly, nullptr), MakeRgbq(255, 0, 0));
  // The 31st (Monday column, last row) lies inside the grown canvas.
  EXPECT_GT(Alpha(300 + B + 5, 200 + 7 * B + 5), 0);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(L().header.canvasWidth, 600);
  EXPECT_EQ(L().header.canvasHeight, 400);
  EXPECT_EQ(L().LayerCount(), 1);
}

TEST_F(CalendarDoc, BadMonthsChangeNothing) {
  const int step = doc->History().Step();
  EXPECT_FALSE(InsertCalendar(*doc, r, Request(2025, 0, 20)));
  EXPECT_FALSE(InsertCalendar(*doc, r, Request(2025, 13, 20)));
  EXPECT_FALSE(InsertCalendar(*doc, r, Request(0, 5, 20)));
  EXPECT_EQ(L().LayerCount(), 1);
  EXPECT_EQ(doc->History().Step(), step);
}

}  // namespace
}  // namespace velmira
