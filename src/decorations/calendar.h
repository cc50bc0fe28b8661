// The month calendar: which weekday column a month starts in, the dialog's preview
// text, and the calendar drawn as text into a new layer at the canvas centre.
#pragma once

#include <string>

#include "image/doc.h"
#include "image/doc_host.h"

namespace velmira {

extern const char* const kLabelCalendar;  // "[달력]"

namespace cmd {
constexpr int kCalendar = 3379;
}

bool IsLeapYear(int year);
// 28…31; 0 for a month outside 1…12.
int DaysInMonth(int year, int month);
// Weekday column of the 1st (0 Sunday … 6 Saturday), counted from 1 January 1995,
// a Sunday.
int FirstColumn(int year, int month);
// The dialog's monospaced preview, lines ending with CR LF.
std::u16string CalendarPreview(int year, int month);
// The dialog's size list value to the point size drawn.
int CalendarPointSize(int sizeListValue);

struct CalendarRequest {
  int year = 2026;
  int month = 1;
  std::u16string face;
  std::u16string style = u"Regular";
  int pointSize = 18;  // t
  Rgbq colour = 0;
};

// Where each piece of the calendar goes, relative to the anchor (picture pixels,
// y down): the title, the seven weekday names, then the days.
struct CalendarCell {
  std::u16string text;
  int x = 0, y = 0;
};
std::vector<CalendarCell> CalendarCells(int year, int month, int pointSize);

// Adds the layer " [달력]%2d월" at the canvas centre, grows the canvas right and
// down when the calendar (measured as its preview text) does not fit, draws it and
// records "[달력]". False with nothing changed on a month outside 1…12 or a year
// below 1.
bool InsertCalendar(CMirvDoc& doc, TextRasterizer& r, const CalendarRequest& req);

// Grows the canvas to at least width × height, adding room to the right and at the
// bottom; every layer keeps its place as the user sees it.
bool GrowCanvas(LayerStack& st, int width, int height);

}  // namespace velmira
