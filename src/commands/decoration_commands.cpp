// Text layers, the month calendar and photo frames. The text tool itself is a tool
// of the view (registered with the painting tools); these are the commands: the
// calendar and the frame from the menus (their dialog and panel are editor fronts),
// and `text` / `edit-text` for velmira-cli. Glyphs come from the host's rasterizer.
#include <algorithm>

#include "commands/registry.h"
#include "image/ui_text.h"
#include "decorations/calendar.h"
#include "decorations/photo_frame.h"
#include "image/text.h"
#include "tools/text_layer.h"

namespace velmira {

namespace {

using args::Fail;
using args::ParseInt;
using args::Refused;

// "\n" (backslash, n) in a command word starts a new line: a shell cannot easily
// pass a line feed inside a --do argument.
std::u16string CommandText(const std::string& word) {
  std::string out;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '\\' && i + 1 < word.size() && word[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += word[i];
    }
  }
  return Utf8ToUtf16(out);
}

bool CheckText(const std::u16string& text, std::string& e) {
  if (CountTextLines(text) == 0) return Fail(e, "the text is empty");
  if (text.size() > size_t(kTextMaxUnits)) return Fail(e, Format("the text is longer than %d characters", kTextMaxUnits));
  return true;
}

TextRasterizer* RasterizerOf(CommandContext& c, std::string& e) {
  TextRasterizer* r = c.host.Rasterizer();
  if (!r) Fail(e, "no text rasterizer is available");
  return r;
}

bool TextCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int x, y, size;
  if (!ParseInt(a[0], x) || !ParseInt(a[1], y)) return Fail(e, "X and Y must be whole numbers");
  if (!ParseInt(a[2], size) || size < 1 || size > 500) return Fail(e, "SIZE must be 1-500");
  const LayerStack& st = c.Doc().Layers();
  if (x < 0 || y < 0 || x >= st.header.canvasWidth || y >= st.header.canvasHeight)
    return Fail(e, Format("the point %d,%d is outside the %d x %d picture", x, y, st.header.canvasWidth,
                          st.header.canvasHeight));
  TextParams p;
  p.text = CommandText(a[3]);
  if (!CheckText(p.text, e)) return false;
  TextRasterizer* r = RasterizerOf(c, e);
  if (!r) return false;
  p.face = c.frame.textFont1;
  p.style = c.frame.textStyle;
  p.size = size * 2;
  p.colour = c.frame.foreground;
  return PlaceTextAtPicturePoint(c.Doc(), *r, p, x, y) || Refused(c, e, "the text could not be drawn");
}

bool EditTextCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  const Layer* l = c.Doc().Layers().Active();
  if (!l || l->kind != kLayerText) return Fail(e, "the active layer is not a text layer");
  TextParams p = TextParamsOf(*l);
  p.text = CommandText(a[0]);
  if (!CheckText(p.text, e)) return false;
  TextRasterizer* r = RasterizerOf(c, e);
  if (!r) return false;
  return EditText(c.Doc(), *r, p) || Refused(c, e, "the text could not be drawn");
}

bool CalendarCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int year, month, size;
  if (!ParseInt(a[0], year) || year < 1 || year > 9999) return Fail(e, "YEAR must be 1-9999");
  if (!ParseInt(a[1], month) || month < 1 || month > 12) return Fail(e, "MONTH must be 1-12");
  if (!ParseInt(a[2], size) || size < 1 || size > 200) return Fail(e, "SIZE must be 1-200");
  TextRasterizer* r = RasterizerOf(c, e);
  if (!r) return false;
  CalendarRequest req;
  req.year = year;
  req.month = month;
  req.pointSize = CalendarPointSize(size);
  req.face = c.frame.textFont1;
  req.style = c.frame.textStyle;
  req.colour = c.frame.foreground;
  return InsertCalendar(c.Doc(), *r, req) || Refused(c, e, "the calendar could not be drawn");
}

bool FrameCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int style, thickness;
  if (!ParseInt(a[0], style) || style < 0 || style > 3) return Fail(e, "STYLE must be 0-3");
  if (!ParseInt(a[1], thickness) || thickness < kFrameMinThickness)
    return Fail(e, Format("THICKNESS must be a whole number of at least %d", kFrameMinThickness));
  FrameParams p;
  p.style = style;
  p.thickness = thickness;
  p.first = c.frame.foreground;
  p.second = c.frame.background;
  return ApplyPhotoFrame(c.Doc(), p) || Refused(c, e, "the frame could not be drawn");
}

}  // namespace

void RegisterDecorationCommands(CommandRegistry& r) {
  const unsigned editable = kNeedDocument | kNeedIdle | kNeedLayer;
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };
  auto decorate = [](int order) { return Placement{"quick/decorate", order}; };

  r.Add({.id = 0, .name = "text", .needs = editable,
         .params = {{"X"}, {"Y"}, {"SIZE", false, 1, 500}, {"TEXT"}},
         .help = "new text layer, first line's top-left at X, Y; SIZE as the text dialog's (1-500); --fg colour, "
                 "--font and --font-style; \\n in TEXT starts a new line (quote TEXT with spaces)",
         .run = &TextCmd});
  r.Add({.id = 0, .name = "edit-text", .needs = editable, .params = {{"TEXT"}},
         .help = "replace the active text layer's text, keeping its place and font", .run = &EditTextCmd});
  r.Add({.id = cmd::kCalendar, .name = "calendar", .label = QT_TR_NOOP("달력 넣기"), .needs = editable,
         .params = {{"YEAR", false, 1, 9999}, {"MONTH", false, 1, 12}, {"SIZE", false, 1, 200}},
         .help = "month calendar in a new layer at the canvas centre (the canvas grows to hold it); SIZE as the "
                 "size list's (drawn at SIZE + 8); --fg colour, --font and --font-style",
         .run = &CalendarCmd,
         .places = {Placement{"transform", 50, true}, bar(165, QT_TR_NOOP("달력 넣기")), decorate(50)}});
  r.Add({.id = cmd::kPhotoFrame, .name = "frame", .label = QT_TR_NOOP("사진틀 넣기"), .needs = editable,
         .params = {{"STYLE", false, 0, 3}, {"THICKNESS", false, kFrameMinThickness, 1000000}},
         .help = "photo frame in the layer \"[ImgFrame]\" (replacing an earlier one): STYLE 0 shaded, 1 bevel, "
                 "2 two-colour bevel, 3 lit sides; THICKNESS at least 5; colours --fg and --bg",
         .run = &FrameCmd,
         .places = {Placement{"transform", 60}, bar(160, QT_TR_NOOP("사진액자만들기")), decorate(40)},
         .asksToolChange = true});
}

}  // namespace velmira
