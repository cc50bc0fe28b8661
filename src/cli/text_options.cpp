#include "cli/text_options.h"

#include <algorithm>

#include "image/text.h"
#include "tools/text_layer.h"

namespace velmira::cli {

bool IsTextOption(const std::string& option) { return option == "--font" || option == "--font-style"; }

int ParseTextOption(const std::string& option, const std::string& value, FrameState& frame, std::string& error) {
  if (!IsTextOption(option)) return 0;
  if (option == "--font") {
    if (value.empty()) {
      error = "--font needs a face name";
      return -1;
    }
    frame.textFont1 = Utf8ToUtf16(value);
    return 1;
  }
  for (const char* s : {"Regular", "Bold", "Italic", "Bold Italic"})
    if (value == s) {
      frame.textStyle = Utf8ToUtf16(s);
      return 1;
    }
  error = "--font-style takes Regular, Bold, Italic or \"Bold Italic\"";
  return -1;
}

const char* TextOptionsHelp() {
  return "  --font FACE           face of text and calendars (a face the machine lacks falls back\n"
         "                        to one that draws Korean)\n"
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
