#include "decorations/calendar.h"
#include "image/ui_text.h"

#include <algorithm>
#include <cstring>

#include "image/text.h"
#include "tools/text_layer.h"

namespace velmira {

const char* const kLabelCalendar = QT_TR_NOOP("[달력]");

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const char16_t* const kWeekdays[7] = {u"일", u"월", u"화", u"수", u"목", u"금", u"토"};

std::u16string U(const std::string& s) { return Utf8ToUtf16(s); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kMonthDays[month - 1];
}

int FirstColumn(int year, int month) {
  int offset = 0;
  if (year >= 1995) {
    // Whole years move the weekday by one, leap years by two; reduced as it goes so
    // that far years cannot overflow.
    for (int y = 1995; y < year; ++y) offset = (offset + 1 + (IsLeapYear(y) ? 1 : 0)) % 7;
  } else {
    for (int y = 1994; y >= year; --y) {
      offset -= 1;
      if (IsLeapYear(y)) offset -= 1;
      while (offset < 0) offset += 7;
    }
  }
  for (int m = 1; m < month && m <= 12; ++m) offset += DaysInMonth(year, m);
  return offset % 7;
}

std::u16string CalendarPreview(int year, int month) {
  std::string s = Format("\r\n        %4d년 %2d월 \r\n", year, month);
  s += "\r\n    일 월 화 수 목 금 토\r\n";
  s += "  ";
  const int first = FirstColumn(year, month);
  for (int i = 0; i < first; ++i) s += "   ";
  int column = first;
  const int days = DaysInMonth(year, month);
  for (int d = 1; d <= days; ++d) {
    s += Format("%3d", d);
    if (column == 6) {
      s += "\r\n  ";
      column = 0;
    } else {
      ++column;
    }
  }
  return U(s);
}

int CalendarPointSize(int sizeListValue) { return sizeListValue >= 2 ? sizeListValue + 8 : 10; }

std::vector<CalendarCell> CalendarCells(int year, int month, int t) {
  std::vector<CalendarCell> cells;
  const int B = t + t / 4;
  cells.push_back({U(Format("%d년 %d월", year, month)), 0, 0});
  for (int k = 0; k < 7; ++k) cells.push_back({kWeekdays[k], k * B, B});
  int column = FirstColumn(year, month), row = 2;
  const int days = DaysInMonth(year, month);
  for (int d = 1; d <= days; ++d) {
    cells.push_back({U(Format("%d", d)), column * B + (d < 10 ? B / 4 : 0), row * B});
    if (column == 6) {
      column = 0;
      ++row;
    } else {
      ++column;
    }
  }
  return cells;
}

bool GrowCanvas(LayerStack& st, int W, int H) {
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  W = std::max(W, cw);
  H = std::max(H, ch);
  if (W == cw && H == ch) return true;
  const int dh = H - ch;
  for (int slot : st.Chain()) {
    Layer& l = st.slots[slot];
    const int bpp = st.LayerBpp(l);
    const int y1 = l.y - dh;  // the rows added at the bottom push the old ones up
    const int addBottom = std::max(0, -y1), addLeft = std::max(0, l.x);
    const int nx = l.x - addLeft, ny = y1 + addBottom;
    const int nw = std::max(l.width + addLeft, W - nx);
    const int nh = std::max(l.height + addBottom, ny + H);
    const int64_t stride = l.kind == kLayerText ? nw : StrideFor(nw, bpp);
    if (int64_t(nw) * nh > (int64_t(1) << 31) / 4 || stride * nh > (int64_t(1) << 31)) return false;
    std::vector<uint8_t> px(size_t(stride) * size_t(nh), 255), alpha(size_t(nw) * size_t(nh), 0),
        effect(size_t(nw) * size_t(nh), 0);
    for (int r = 0; r < l.height; ++r) {
      const uint8_t* src = l.pixels.data() + size_t(r) * size_t(l.stride);
      uint8_t* dst = px.data() + size_t(r + addBottom) * size_t(stride);
      if (bpp >= 8) {
        std::memcpy(dst + size_t(addLeft) * size_t(bpp / 8), src, size_t(l.width) * size_t(bpp / 8));
      } else {
        for (int c = 0; c < l.width; ++c) PutRowIndex(dst, bpp, c + addLeft, RowIndex(src, bpp, c));
      }
      const size_t from = size_t(r) * size_t(l.width), to = size_t(r + addBottom) * size_t(nw) + size_t(addLeft);
      if (l.alpha.size() >= from + size_t(l.width)) std::memcpy(&alpha[to], &l.alpha[from], size_t(l.width));
      if (l.effect.size() >= from + size_t(l.width)) std::memcpy(&effect[to], &l.effect[from], size_t(l.width));
    }
    l.pixels = std::move(px);
    l.alpha = std::move(alpha);
    l.effect = std::move(effect);
    l.width = nw;
    l.height = nh;
    l.stride = int32_t(stride);
    l.imageSize = int32_t(stride * nh);
    l.pixelCount = nw * nh;
    l.x = nx;
    l.y = ny;
    if (l.kind == kLayerText) l.text.x += addLeft, l.text.y += addBottom;
    l.dirty = 1;
  }
  st.header.canvasWidth = W;
  st.header.canvasHeight = H;
  st.header.imageSize = StrideFor(W, st.header.bitsPerPixel) * H;
  st.header.pixelCount = W * H;
  st.selectionExists = false;
  st.ResetSelection(st.active);
  return true;
}

bool InsertCalendar(CMirvDoc& doc, TextRasterizer& r, const CalendarRequest& req) {
  LayerStack& st = doc.Layers();
  if (doc.IsBusy() || !st.Active() || req.month < 1 || req.month > 12 || req.year < 1 || req.pointSize <= 0)
    return false;
  const int t = req.pointSize;
  const int x0 = st.header.canvasWidth / 2, y0 = st.header.canvasHeight / 2;

  TextParams p;
  p.face = req.face;
  p.style = req.style;
  p.size = t;
  p.colour = req.colour;
  // The extent is the larger of the preview text in the chosen font and the cells
  // as drawn, so no day falls off a canvas that has just been grown for it.
  int w = 0, h = 0;
  if (!r.Measure(CalendarPreview(req.year, req.month), MakeTextFont(p), &w, &h)) return false;
  if (t < 34) w = w * t / 34, h = h * t / 34;
  const std::vector<CalendarCell> cells = CalendarCells(req.year, req.month, t);
  const int B = t + t / 4;
  for (const CalendarCell& c : cells) {
    int cw = 0, chh = 0;
    if (!r.Measure(c.text, MakeTextFont(p), &cw, &chh)) return false;
    if (t < 34) cw = cw * t / 34, chh = chh * t / 34;
    w = std::max(w, c.x + std::max(cw, B));
    h = std::max(h, c.y + std::max(chh, B));
  }

  for (int s : st.Chain()) doc.RevertLayer(s, false);
  const int oldW = st.header.canvasWidth, oldH = st.header.canvasHeight;
  const bool grows = x0 + w > oldW || y0 + h > oldH;
  if (!doc.InsertLayer(st.active)) return false;
  const int slot = st.active;
  if (grows && !GrowCanvas(st, x0 + w, y0 + h)) {
    doc.DeleteLayer(slot, false);
    return false;
  }
  Layer& l = st.slots[slot];
  doc.RenameLayer(slot, Format(UiText(" [달력]%2d월"), req.month));
  for (const CalendarCell& c : cells) {
    p.text = c.text;
    const int lx = x0 + c.x - l.x;
    const int ly = l.y + st.header.canvasHeight - 1 - (y0 + c.y);
    if (!DrawTextLines(st, slot, r, p, lx, ly, 0)) break;
  }
  doc.RecordStep(kLabelCalendar, grows ? kStepCanvas : kStepPaste, slot);
  if (grows) doc.Host().UpdateViews(doc, 1025);
  doc.LayersChanged();
  return true;
}

}  // namespace velmira
