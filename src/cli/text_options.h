// velmira-cli's options for text and calendars (--font, --font-style) and the text
// members `info --json` adds for a text layer.
#pragma once

#include <string>

#include "image/frame_state.h"
#include "image/layers.h"

namespace velmira::cli {

// Returns 1 when `option` was one of them and `value` was taken into `frame`, 0 when
// it is not one of them, -1 (with `error`) on a bad value.
int ParseTextOption(const std::string& option, const std::string& value, FrameState& frame, std::string& error);
bool IsTextOption(const std::string& option);
const char* TextOptionsHelp();
// `, "text": …, "face": …, "size": …` for a text layer (size as the dialog's), else "".
std::string TextLayerJson(const Layer& l);

}  // namespace velmira::cli
