// velmira-cli's measuring options: --calibration X,Y,LENGTH,UNIT and --decimals 1|2.
// The measure-… commands themselves are the registry's (commands/measure_area.cpp).
#pragma once

#include <string>

#include "image/frame_state.h"

namespace velmira::cli {

// True for the options this file owns.
bool IsMeasureOption(const std::string& option);
// Applies one option's value; false with `error` set when the value is not valid.
bool ApplyMeasureOption(const std::string& option, const std::string& value, FrameState& frame, std::string& error);
// Lines for --help.
const char* MeasureOptionsHelp();

}  // namespace velmira::cli
