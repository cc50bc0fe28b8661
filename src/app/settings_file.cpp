#include "app/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <climits>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace velmira {

namespace fs = std::filesystem;

namespace {

// ------------------------------------------------------------------ text mode
// The Windows runtime writes every LF byte as CR LF and reads CR LF back as LF,
// over the whole file, the UTF-16 font names included. Doing the same keeps a
// name whose code units contain a 0x0A byte intact both ways.

std::vector<uint8_t> ToTextMode(const std::vector<uint8_t>& logical) {
  std::vector<uint8_t> out;
  out.reserve(logical.size() + 32);
  for (uint8_t b : logical) {
    if (b == '\n') out.push_back('\r');
    out.push_back(b);
  }
  return out;
}

std::vector<uint8_t> FromTextMode(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    out.push_back(bytes[i]);
  }
  return out;
}

// ------------------------------------------------------------------ writing

void Put(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

std::string Num(int32_t v) { return std::to_string(v); }
// COLORREF values are written as a 32-bit Windows long.
std::string Clr(uint32_t v) { return std::to_string(int32_t(v)); }

std::u16string Capped(const std::u16string& name) {
  return name.size() > size_t(kMaxFontName) ? name.substr(0, kMaxFontName) : name;
}

void PutName(std::vector<uint8_t>& out, const std::u16string& name) {
  for (char16_t c : name) {
    out.push_back(uint8_t(c & 0xFF));
    out.push_back(uint8_t(c >> 8));
  }
}

// ------------------------------------------------------------------ reading
// A scanner with the rules of the C runtime's fscanf for the few directives the
// file uses: white space in the format skips any white space (none included),
// "%d" and "%ld" skip white space and read an optionally signed decimal number,
// any other character must match exactly.

bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

class Scanner {
 public:
  explicit Scanner(const std::vector<uint8_t>& b) : b_(b) {}

  size_t pos = 0;

  bool AtEnd() const { return pos >= b_.size(); }
  uint8_t Peek(size_t ahead = 0) const { return pos + ahead < b_.size() ? b_[pos + ahead] : 0; }
  size_t Remaining() const { return b_.size() - pos; }

  void SkipSpace() {
    while (pos < b_.size() && IsSpace(b_[pos])) ++pos;
  }

  // With `toEnd` false a number that runs into the end of the data is refused:
  // in a file that was cut short, "255" may have been "25500".
  bool Number(int32_t& out, bool toEnd = false) {
    SkipSpace();
    size_t p = pos;
    bool negative = false;
    if (p < b_.size() && (b_[p] == '+' || b_[p] == '-')) negative = b_[p++] == '-';
    if (p >= b_.size() || !IsDigit(b_[p])) return false;
    // Out-of-range numbers saturate, as the runtime's conversion does.
    int64_t v = 0;
    while (p < b_.size() && IsDigit(b_[p])) {
      if (v <= int64_t(INT32_MAX) + 1) v = v * 10 + (b_[p] - '0');
      ++p;
    }
    if (p >= b_.size() && !toEnd) return false;
    if (negative) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    out = int32_t(v);
    pos = p;
    return true;
  }

  // Runs one format; values are stored as they are read, like fscanf. True when
  // the whole format matched.
  bool Scan(const char* fmt, int32_t* const* args, size_t count) {
    size_t arg = 0;
    for (const char* f = fmt; *f;) {
      const uint8_t c = uint8_t(*f);
      if (IsSpace(c)) {
        SkipSpace();
        ++f;
      } else if (c == '%') {
        ++f;
        if (*f == 'l') ++f;
        if (*f != 'd' || arg == count || !args[arg]) return false;
        ++f;
        int32_t v;
        if (!Number(v)) return false;
        *args[arg++] = v;
      } else {
        if (AtEnd() || b_[pos] != c) return false;
        ++pos;
        ++f;
      }
    }
    return true;
  }

  // Past the next line break (or to the end).
  void SkipLine() {
    while (pos < b_.size() && b_[pos] != '\n') ++pos;
    if (pos < b_.size()) ++pos;
  }

  // Does the text at the current position (after white space) begin with `key`?
  bool LineStartsWith(const char* key) const {
    size_t p = pos;
    while (p < b_.size() && IsSpace(b_[p])) ++p;
    if (!*key) return p < b_.size() && (IsDigit(b_[p]) || b_[p] == '-' || b_[p] == '+');
    for (const char* k = key; *k; ++k, ++p)
      if (p >= b_.size() || b_[p] != uint8_t(*k)) return false;
    return true;
  }

  bool Name(size_t units, std::u16string& out) {
    if (Remaining() / 2 < units) return false;
    out.clear();
    out.reserve(units);
    for (size_t i = 0; i < units; ++i, pos += 2) out.push_back(char16_t(b_[pos] | (b_[pos + 1] << 8)));
    return true;
  }

  void Skip(size_t n) { pos = n > Remaining() ? b_.size() : pos + n; }

 private:
  const std::vector<uint8_t>& b_;
};

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

std::vector<uint8_t> SerializeSettings(const SettingsRecord& s) {
  const std::u16string n1 = Capped(s.font1), n2 = Capped(s.font2);
  // The grid gap is kept negative in memory while the grid is hidden; the file
  // holds its size only.
  const int64_t gap = s.gridGap < 0 ? -int64_t(s.gridGap) : int64_t(s.gridGap);
  std::vector<uint8_t> out;
  Put(out, "FG" + Clr(s.foreground) + " BG" + Clr(s.background) + " TX" + Clr(s.text) + " pFG" +
               Clr(s.previousForeground) + " pBG" + Clr(s.previousBackground));
  static const char* kCellKeys[3] = {"FG", "BG", "TX"};
  for (int i = 0; i < 3; ++i)
    Put(out, std::string("\n") + kCellKeys[i] + ": " + Num(s.cells[i].index) + " X" + Num(s.cells[i].x) + " Y" +
                 Num(s.cells[i].y));
  Put(out, "\nFontSize " + Num(s.fontSize) + " " + Num(int32_t(n1.size())) + " " + Num(int32_t(n2.size())) + "\n");
  Put(out, "\nFontStrikeOut " + Num(s.fontStrikeOut));
  Put(out, "\nFontUnderLine " + Num(s.fontUnderline));
  Put(out, "\n" + Num(s.brushSize) + " " + Num(s.soft));
  Put(out, "\nGGap" + std::to_string(gap > INT32_MAX ? INT32_MAX : gap) + " GClr" + Clr(s.gridColour) + " Cur" +
               Num(s.cursorKind) + " Pnt" + Num(s.pointSize) + " " + Clr(s.colour2) + " " + Clr(s.colour3));
  Put(out, "\nFog " + Num(s.fog));
  Put(out, "\nTranspRep " + Num(s.transparencyDisplay));
  Put(out, "\nFolder: 0");
  Put(out, "\nUD " + Num(s.updateCheck));
  Put(out, "\nRS " + Num(s.selectionTone));
  Put(out, "\nWS " + Num(s.windowState) + " " + Num(s.openAtStart));
  Put(out, "\n");
  PutName(out, n1);
  Put(out, "\n");
  PutName(out, n2);
  return ToTextMode(out);
}

SettingsReadReport ParseSettings(std::span<const uint8_t> bytes, SettingsRecord& s) {
  SettingsReadReport report;
  report.opened = true;
  s.transparencyDisplay = 3;
  const std::vector<uint8_t> text = FromTextMode(bytes);
  Scanner in(text);

  int32_t c[5] = {int32_t(s.foreground), int32_t(s.background), int32_t(s.text), int32_t(s.previousForeground),
                  int32_t(s.previousBackground)};
  int32_t len1 = -1, len2 = -1;
  int32_t gridColour = int32_t(s.gridColour), colour2 = int32_t(s.colour2), colour3 = int32_t(s.colour3);

  struct Step {
    const char* key;  // how its line begins ("" for the line of two bare numbers)
    const char* format;
    int32_t* args[6];
  };
  const Step steps[] = {
      {"FG", "FG%ld BG%ld TX%ld pFG%ld pBG%ld", {&c[0], &c[1], &c[2], &c[3], &c[4]}},
      {"FG:", "\nFG: %d X%d Y%d", {&s.cells[0].index, &s.cells[0].x, &s.cells[0].y}},
      {"BG:", "\nBG: %d X%d Y%d", {&s.cells[1].index, &s.cells[1].x, &s.cells[1].y}},
      {"TX:", "\nTX: %d X%d Y%d", {&s.cells[2].index, &s.cells[2].x, &s.cells[2].y}},
      {"FontSize", "\nFontSize %d %d %d\n", {&s.fontSize, &len1, &len2}},
      {"FontStrikeOut", "\nFontStrikeOut %d", {&s.fontStrikeOut}},
      {"FontUnderLine", "\nFontUnderLine %d", {&s.fontUnderline}},
      {"", "\n%d %d", {&s.brushSize, &s.soft}},
      {"GGap", "\nGGap%d GClr%ld Cur%d Pnt%d %ld %ld",
       {&s.gridGap, &gridColour, &s.cursorKind, &s.pointSize, &colour2, &colour3}},
      {"Fog", "\nFog %d", {&s.fog}},
      {"TranspRep", "\nTranspRep %d", {&s.transparencyDisplay}},
      {"Folder:", "\nFolder: %d", {&s.folder}},
      {"UD", "\nUD %d", {&s.updateCheck}},
      {"RS", "\nRS %d", {&s.selectionTone}},
      {"WS", "\nWS %d %d", {&s.windowState, &s.openAtStart}},
  };
  constexpr size_t kSteps = std::size(steps);
  constexpr size_t kFontStep = 4;

  bool lengthsKnown = false;
  bool atLineStart = false;  // the line break before the first name is consumed
  for (size_t i = 0; i < kSteps; ++i) {
    if (in.Scan(steps[i].format, steps[i].args, std::size(steps[i].args))) {
      ++report.stepsRead;
      if (i == kFontStep) lengthsKnown = true;
      atLineStart = false;
      continue;
    }
    ++report.stepsFailed;
    // A damaged line costs only its own values. When the line at hand is the
    // start of a later step (this one's line is missing), leave it for that step;
    // otherwise skip past the damaged line.
    bool laterKey = false;
    for (size_t j = i + 1; j < kSteps && !laterKey; ++j) laterKey = in.LineStartsWith(steps[j].key);
    if (laterKey) {
      in.SkipSpace();
      atLineStart = false;
    } else {
      in.SkipLine();
      atLineStart = true;
    }
  }
  s.foreground = uint32_t(c[0]);
  s.background = uint32_t(c[1]);
  s.text = uint32_t(c[2]);
  s.previousForeground = uint32_t(c[3]);
  s.previousBackground = uint32_t(c[4]);
  s.gridColour = uint32_t(gridColour);
  s.colour2 = uint32_t(colour2);
  s.colour3 = uint32_t(colour3);

  // The names: each after exactly one line break, raw UTF-16LE. Without their
  // lengths their place in the file is unknown and the names stay as they were.
  if (lengthsKnown) {
    auto readName = [&](int32_t stated, std::u16string& name) {
      if (!atLineStart) {
        if (in.Peek() != '\n') return false;
        in.Skip(1);
      }
      atLineStart = false;
      const size_t units = stated < 0 ? 0 : size_t(stated);
      const size_t kept = units > size_t(kMaxFontName) ? size_t(kMaxFontName) : units;
      std::u16string value;
      if (!in.Name(kept, value)) {
        in.Skip(in.Remaining());
        return false;
      }
      // A stated length above the limit still tells where the next name starts.
      in.Skip((units - kept) * 2);
      name = std::move(value);
      return true;
    };
    if (readName(len1, s.font1)) ++report.stepsRead; else ++report.stepsFailed;
    if (readName(len2, s.font2)) ++report.stepsRead; else ++report.stepsFailed;
  } else {
    report.stepsFailed += 2;
  }

  if (s.fontSize < 2) s.fontSize = 2;
  s.brushSize = Clamp(s.brushSize, 1, 8);
  s.soft = s.soft != 0 ? 1 : 0;
  if (s.gridGap < 0) s.gridGap = s.gridGap == INT32_MIN ? INT32_MAX : -s.gridGap;
  if (s.gridGap < 4) s.gridGap = 4;
  return report;
}

bool ReadSmallFile(const fs::path& file, std::vector<uint8_t>& out, size_t limit) {
  std::ifstream f(file, std::ios::binary);
  if (!f) return false;
  out.clear();
  char buf[4096];
  while (f) {
    f.read(buf, sizeof buf);
    const std::streamsize n = f.gcount();
    if (n <= 0) break;
    if (out.size() + size_t(n) > limit) return false;
    out.insert(out.end(), buf, buf + n);
  }
  return !f.bad();
}

SettingsReadReport LoadSettingsFile(const fs::path& file, SettingsRecord& s) {
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(file, bytes)) {
    s.transparencyDisplay = 3;
    return {};
  }
  return ParseSettings(bytes, s);
}

namespace {

// Writes beside the target and renames over it, so that a full disk or a crash
// mid-write never leaves half a settings file behind.
bool WriteWhole(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  fs::path tmp = file;
  tmp += ".new";
  {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
      fs::remove(tmp, ec);
      return false;
    }
  }
  fs::rename(tmp, file, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

}  // namespace

bool SaveSettingsFile(const fs::path& file, const SettingsRecord& s) { return WriteWhole(file, SerializeSettings(s)); }

int ParseFirstShow(std::span<const uint8_t> bytes) {
  const std::vector<uint8_t> text(bytes.begin(), bytes.end());
  Scanner in(text);
  int32_t v = 0;
  return in.Number(v, true) ? v : 0;
}

int ReadFirstShowFile(const fs::path& file) {
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(file, bytes, 4096)) return 0;
  return ParseFirstShow(bytes);
}

int ReadFirstShow(const fs::path& dataFolder, const fs::path& sharedFolder) {
  std::error_code ec;
  const fs::path mine = dataFolder / kFirstShowFileName;
  if (fs::exists(mine, ec)) return ReadFirstShowFile(mine);
  if (!sharedFolder.empty()) return ReadFirstShowFile(sharedFolder / kFirstShowFileName);
  return 0;
}

bool WriteFirstShowFile(const fs::path& file, int value) {
  const std::string s = std::to_string(value);
  return WriteWhole(file, std::vector<uint8_t>(s.begin(), s.end()));
}

void ApplySettings(const SettingsRecord& s, FrameState& frame) {
  frame.foreground = RgbqFromColorref(s.foreground);
  frame.background = RgbqFromColorref(s.background);
  frame.textColour = RgbqFromColorref(s.text);
  frame.textFontSize = s.fontSize;
  frame.textStrikeOut = s.fontStrikeOut != 0;
  frame.textUnderline = s.fontUnderline != 0;
  frame.textFont1 = s.font1;
  frame.textFont2 = s.font2;
  frame.brushSize = Clamp(s.brushSize, 1, 8);
  frame.softEdge = s.soft != 0;
  // The grid starts hidden each run; its toggle shows it at the stored gap.
  const int32_t gap = s.gridGap == INT32_MIN ? INT32_MAX : std::max(4, s.gridGap < 0 ? -s.gridGap : s.gridGap);
  frame.gridSpacing = -gap;
  frame.gridOn = false;
  frame.displayColours[0] = RgbqFromColorref(s.gridColour);
  frame.displayColours[1] = RgbqFromColorref(s.colour2);
  frame.displayColours[2] = RgbqFromColorref(s.colour3);
  frame.cursorStyle = s.cursorKind;
  frame.pointSize = s.pointSize;
  frame.fog = s.fog;
  frame.transparencyDisplay = s.transparencyDisplay;
  frame.showSelectionTone = s.selectionTone != 0;
}

void CaptureSettings(const FrameState& frame, SettingsRecord& s) {
  s.foreground = ColorrefFromRgbq(frame.foreground) & 0xFFFFFF;
  s.background = ColorrefFromRgbq(frame.background) & 0xFFFFFF;
  s.text = ColorrefFromRgbq(frame.textColour) & 0xFFFFFF;
  s.fontSize = frame.textFontSize;
  s.fontStrikeOut = frame.textStrikeOut ? 1 : 0;
  s.fontUnderline = frame.textUnderline ? 1 : 0;
  s.font1 = Capped(frame.textFont1);
  s.font2 = Capped(frame.textFont2);
  s.brushSize = frame.brushSize;
  s.soft = frame.softEdge ? 1 : 0;
  s.gridGap = frame.gridSpacing < 0 ? -frame.gridSpacing : frame.gridSpacing;
  s.gridColour = ColorrefFromRgbq(frame.displayColours[0]) & 0xFFFFFF;
  s.colour2 = ColorrefFromRgbq(frame.displayColours[1]) & 0xFFFFFF;
  s.colour3 = ColorrefFromRgbq(frame.displayColours[2]) & 0xFFFFFF;
  s.cursorKind = frame.cursorStyle;
  s.pointSize = frame.pointSize;
  s.fog = frame.fog;
  s.transparencyDisplay = frame.transparencyDisplay;
  s.selectionTone = frame.showSelectionTone ? 1 : 0;
  s.folder = 0;
}

// ---------------------------------------------------------------- language

LanguageChoice ParseLanguageChoice(std::string_view text) {
  while (!text.empty() && IsSpace(uint8_t(text.back()))) text.remove_suffix(1);
  while (!text.empty() && IsSpace(uint8_t(text.front()))) text.remove_prefix(1);
  if (text == "ko") return LanguageChoice::Korean;
  if (text == "en") return LanguageChoice::English;
  if (text == "ja") return LanguageChoice::Japanese;
  return LanguageChoice::System;
}

const char* LanguageChoiceText(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::Korean: return "ko";
    case LanguageChoice::English: return "en";
    case LanguageChoice::Japanese: return "ja";
    case LanguageChoice::System: break;
  }
  return "system";
}

LanguageChoice ReadLanguageFile(const fs::path& file) {
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(file, bytes, 256)) return LanguageChoice::System;
  return ParseLanguageChoice(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool WriteLanguageFile(const fs::path& file, LanguageChoice choice) {
  std::string text = std::string(LanguageChoiceText(choice)) + "\r\n";
  return WriteWhole(file, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ResolveLanguage(LanguageChoice choice, const char* lcAll, const char* lcMessages, const char* lang) {
  switch (choice) {
    case LanguageChoice::Korean: return "ko";
    case LanguageChoice::English: return "en";
    case LanguageChoice::Japanese: return "ja";
    case LanguageChoice::System: break;
  }
  const char* locale = nullptr;
  for (const char* v : {lcAll, lcMessages, lang})
    if (v && *v) {
      locale = v;
      break;
    }
  if (!locale) return "ko";
  std::string_view name(locale);
  // "ja_JP.UTF-8", "en_GB@euro", "ko": the language is the part before the region.
  name = name.substr(0, name.find_first_of("_.@"));
  if (name.empty() || name == "C" || name == "POSIX") return "ko";
  if (name == "ko" || name == "ja") return std::string(name);
  return "en";
}

std::string ResolveLanguage(LanguageChoice choice) {
  return ResolveLanguage(choice, std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace velmira
