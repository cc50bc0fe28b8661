#include "cli/decoration_commands.h"

#include "app/qt_text_rasterizer.h"
#include "decorations/calendar.h"
#include "decorations/photo_frame.h"
#include "image/text.h"
#include "tools/text_layer.h"

namespace velmira::cli {

namespace {

using Args = std::vector<std::string>;

struct TextOptions {
  std::u16string face;  // empty: the default face
  std::u16string style = u"Regular";
} options;

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

// A word's text with "\n" (backslash, n) starting a new line, as a shell cannot
// easily pass a line feed inside a --do argument.
std::u16string CommandText(const Args& a, size_t from) {
  std::string joined;
  for (size_t i = from; i < a.size(); ++i) joined += (i > from ? " " : "") + a[i];
  std::string out;
  for (size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == '\\' && i + 1 < joined.size() && joined[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += joined[i];
    }
  }
  return Utf8ToUtf16(out);
}

bool CheckText(const std::u16string& text, std::string& e) {
  if (CountTextLines(text) == 0) return Fail(e, "the text is empty");
  if (text.size() > size_t(kTextMaxUnits)) return Fail(e, Format("the text is longer than %d characters", kTextMaxUnits));
  return true;
}

TextParams ParamsFrom(Context& c) {
  TextParams p;
  p.face = options.face.empty() ? QtTextRasterizer::DefaultFace() : options.face;
  p.style = options.style;
  p.colour = c.frame.foreground;
  return p;
}

}  // namespace

bool TextCmd(Context& c, const Args& a, std::string& e) {
  int x, y, size;
  if (!ParseInt(a[0], x) || !ParseInt(a[1], y)) return Fail(e, "X and Y must be whole numbers");
  if (!ParseInt(a[2], size) || size < 1 || size > 500) return Fail(e, "SIZE must be 1-500");
  const LayerStack& st = c.doc.Layers();
  if (x < 0 || y < 0 || x >= st.header.canvasWidth || y >= st.header.canvasHeight)
    return Fail(e, Format("the point %d,%d is outside the %d x %d picture", x, y, st.header.canvasWidth,
                          st.header.canvasHeight));
  TextParams p = ParamsFrom(c);
  p.text = CommandText(a, 3);
  if (!CheckText(p.text, e)) return false;
  p.size = size * 2;
  return PlaceTextAtPicturePoint(c.doc, QtTextRasterizer::Instance(), p, x, y) || Fail(e, "the text could not be drawn");
}

bool EditTextCmd(Context& c, const Args& a, std::string& e) {
  const Layer* l = c.doc.Layers().Active();
  if (!l || l->kind != kLayerText) return Fail(e, "the active layer is not a text layer");
  TextParams p = TextParamsOf(*l);
  p.text = CommandText(a, 0);
  if (!CheckText(p.text, e)) return false;
  return EditText(c.doc, QtTextRasterizer::Instance(), p) || Fail(e, "the text could not be drawn");
}

bool CalendarCmd(Context& c, const Args& a, std::string& e) {
  int year, month, size;
  if (!ParseInt(a[0], year) || year < 1 || year > 9999) return Fail(e, "YEAR must be 1-9999");
  if (!ParseInt(a[1], month) || month < 1 || month > 12) return Fail(e, "MONTH must be 1-12");
  if (!ParseInt(a[2], size) || size < 1 || size > 200) return Fail(e, "SIZE must be 1-200");
  CalendarRequest r;
  r.year = year;
  r.month = month;
  r.pointSize = CalendarPointSize(size);
  r.face = options.face.empty() ? QtTextRasterizer::DefaultFace() : options.face;
  r.style = options.style;
  r.colour = c.frame.foreground;
  return InsertCalendar(c.doc, QtTextRasterizer::Instance(), r) ||
         (c.host.anyMessage ? false : Fail(e, "the calendar could not be drawn"));
}

bool FrameCmd(Context& c, const Args& a, std::string& e) {
  int style, thickness;
  if (!ParseInt(a[0], style) || style < 0 || style > 3) return Fail(e, "STYLE must be 0-3");
  if (!ParseInt(a[1], thickness) || thickness < kFrameMinThickness)
    return Fail(e, Format("THICKNESS must be a whole number of at least %d", kFrameMinThickness));
  FrameParams p;
  p.style = style;
  p.thickness = thickness;
  p.first = c.frame.foreground;
  p.second = c.frame.background;
  return ApplyPhotoFrame(c.doc, p) || (c.host.anyMessage ? false : Fail(e, "the frame could not be drawn"));
}

int ParseTextOption(const std::string& option, const std::string* value, std::string& error) {
  if (option != "--font" && option != "--font-style") return 0;
  if (!value) {
    error = option + " needs a value";
    return -1;
  }
  if (option == "--font") {
    if (value->empty()) {
      error = "--font needs a face name";
      return -1;
    }
    options.face = Utf8ToUtf16(*value);
    return 1;
  }
  for (const char* s : {"Regular", "Bold", "Italic", "Bold Italic"})
    if (*value == s) {
      options.style = Utf8ToUtf16(s);
      return 1;
    }
  error = "--font-style takes Regular, Bold, Italic or \"Bold Italic\"";
  return -1;
}

const char* TextOptionsHelp() {
  return "  --font FACE           face of text and calendars (a missing face falls back to one\n"
         "                        that draws Korean)\n"
         "  --font-style STYLE    Regular, Bold, Italic or \"Bold Italic\"\n";
}

std::string TextLayerJson(const Layer& l) {
  if (l.kind != kLayerText) return {};
  std::u16string text = l.textBuffer.substr(0, size_t(std::max(0, l.textLength)));
  std::erase(text, u'\r');
  auto json = [](const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
      if (ch == '"' || ch == '\\') out += '\\', out += char(ch);
      else if (ch == '\n') out += "\\n";
      else if (ch < 0x20) out += Format("\\u%04x", ch);
      else out += char(ch);
    }
    return out + "\"";
  };
  return Format(", \"text\": %s, \"face\": %s, \"size\": %d", json(Utf16ToUtf8(text)).c_str(),
                json(Utf16ToUtf8(StoredFace(l))).c_str(), l.text.size / 2);
}

}  // namespace velmira::cli
