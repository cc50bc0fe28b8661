// The `--do` commands and global options of text layers, the month calendar and
// photo frames, kept together so they move into a command table as one piece.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace velmira::cli {

bool TextCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool EditTextCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool CalendarCmd(Context& c, const std::vector<std::string>& a, std::string& e);
bool FrameCmd(Context& c, const std::vector<std::string>& a, std::string& e);

// Global options --font FACE and --font-style STYLE. Returns 1 when `option` was one
// of them and its value was taken, 0 when it is not, -1 (with `error`) on a bad value.
int ParseTextOption(const std::string& option, const std::string* value, std::string& error);
// The options' help lines.
const char* TextOptionsHelp();
// Extra JSON members of `info --json` for a text layer (empty for other layers),
// starting with ", ".
std::string TextLayerJson(const Layer& l);

}  // namespace velmira::cli
