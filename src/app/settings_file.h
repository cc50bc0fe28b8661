// The user settings file PardelCon_368.ini, the first-run marker FirstShow.ini, and
// how their values reach the program-wide tool state.
//
// The settings file is a Windows text file: each line break is CR LF, numbers are
// decimal text, and the two font names of the text tool close the file as raw
// UTF-16LE code units whose lengths are given on the "FontSize" line. Files written
// by the Windows editor read back unchanged, and ours read back there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/frame_state.h"

namespace velmira {

inline constexpr const char* kSettingsFileName = "PardelCon_368.ini";
inline constexpr const char* kFirstShowFileName = "FirstShow.ini";

// Longest font name kept, in UTF-16 code units.
inline constexpr int kMaxFontName = 100;

// Every value the settings file holds, in the file's own terms (colours are
// COLORREF: red in the low byte).
struct SettingsRecord {
  uint32_t foreground = 0x000000;
  uint32_t background = 0xFFFFFF;
  uint32_t text = 0x000000;
  uint32_t previousForeground = 0x000000;
  uint32_t previousBackground = 0xFFFFFF;
  // Palette cell last picked for the foreground, background and text colour.
  struct Cell {
    int32_t index = 0, x = 0, y = 0;
    bool operator==(const Cell&) const = default;
  } cells[3];
  int32_t fontSize = 20;
  int32_t fontStrikeOut = 0;
  int32_t fontUnderline = 0;
  int32_t brushSize = 8;  // 1…8
  int32_t soft = 0;       // 1 = soft edge
  int32_t gridGap = 16;   // written as its absolute value
  uint32_t gridColour = 0xFF0000;
  int32_t cursorKind = 0;
  int32_t pointSize = 3;
  uint32_t colour2 = 0xFFFFFF;
  uint32_t colour3 = 0x0000FF;
  int32_t fog = 10;
  int32_t transparencyDisplay = 3;
  int32_t folder = 0;  // written as 0; replaced by the first-run marker on reading
  int32_t updateCheck = 1;
  int32_t selectionTone = 0;
  int32_t windowState = 0;
  int32_t openAtStart = 0;
  std::u16string font1 = u"Noto Sans CJK KR";
  std::u16string font2 = u"Noto Sans CJK KR";

  bool operator==(const SettingsRecord&) const = default;
};

// What a read found. Steps are the file's lines in order, the two names last.
struct SettingsReadReport {
  bool opened = false;       // there was a file
  int stepsRead = 0;         // steps read completely
  int stepsFailed = 0;       // steps that were damaged or missing
  bool complete() const { return opened && stepsFailed == 0; }
};

// The file's bytes for `s` (CR LF line breaks, names as UTF-16LE). Names longer
// than kMaxFontName units are cut so that the file always reads back.
std::vector<uint8_t> SerializeSettings(const SettingsRecord& s);

// Reads the file's bytes into `s`. Values the bytes do not give (a damaged or
// missing line, a truncated file) keep what `s` held, except the transparency
// display, which falls back to 3. Corrections: a font size below 2 becomes 2, a
// brush size outside 1…8 is brought into it, a name length above 100 keeps the
// first 100 units, a negative one counts as 0, a grid gap below 4 becomes 4.
SettingsReadReport ParseSettings(std::span<const uint8_t> bytes, SettingsRecord& s);

// File forms: a missing or unreadable file leaves `s` as it was (but for the
// transparency display); a file that cannot be written is skipped.
SettingsReadReport LoadSettingsFile(const std::filesystem::path& file, SettingsRecord& s);
bool SaveSettingsFile(const std::filesystem::path& file, const SettingsRecord& s);

// First-run marker: one integer in text. Missing or unreadable counts as 0.
int ParseFirstShow(std::span<const uint8_t> bytes);
int ReadFirstShowFile(const std::filesystem::path& file);
// The marker value of this user: the data folder's marker, else the one shipped
// with the program (which holds 1, so that a user's first start shows the samples).
int ReadFirstShow(const std::filesystem::path& dataFolder, const std::filesystem::path& sharedFolder);
bool WriteFirstShowFile(const std::filesystem::path& file, int value);

// The interface language, kept in a file of its own (Language.ini: "system", "ko",
// "en" or "ja") beside the settings file, whose layout is fixed. It is read once at
// start-up, so a change takes effect at the next start.
inline constexpr const char* kLanguageFileName = "Language.ini";
enum class LanguageChoice { System, Korean, English, Japanese };
// Unknown or damaged text counts as System.
LanguageChoice ParseLanguageChoice(std::string_view text);
const char* LanguageChoiceText(LanguageChoice choice);
LanguageChoice ReadLanguageFile(const std::filesystem::path& file);
bool WriteLanguageFile(const std::filesystem::path& file, LanguageChoice choice);
// The language code to speak ("ko", "en" or "ja") for a choice. System follows the
// locale the way the C library picks the messages' one: LC_ALL, else LC_MESSAGES,
// else LANG (null or empty: not set). No locale, "C" or "POSIX" keep Korean, the
// source language; a language Velmira has no translation for gets English.
std::string ResolveLanguage(LanguageChoice choice, const char* lcAll, const char* lcMessages, const char* lang);
// Same, from this process's environment.
std::string ResolveLanguage(LanguageChoice choice);

// Between the record and the program-wide tool state.
void ApplySettings(const SettingsRecord& s, FrameState& frame);
void CaptureSettings(const FrameState& frame, SettingsRecord& s);

// Whole-file reading with a size limit (settings files are small; anything
// bigger is not one of ours). False when the file cannot be read.
bool ReadSmallFile(const std::filesystem::path& file, std::vector<uint8_t>& out, size_t limit = 1 << 20);

}  // namespace velmira
