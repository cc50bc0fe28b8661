// velmira-cli's measuring: the global options --calibration and --decimals and the
// measure-…, export-measurements, save-measurements and load-measurements commands.
#pragma once

#include <span>
#include <string>

#include "cli/commands.h"

namespace velmira::cli {

std::span<const Command> MeasureCommands();

// True for the options this file owns.
bool IsMeasureOption(const std::string& option);
// Applies one option's value; false with `error` set when the value is not valid.
bool ApplyMeasureOption(const std::string& option, const std::string& value, FrameState& frame, std::string& error);
// Lines for --help.
const char* MeasureOptionsHelp();

}  // namespace velmira::cli
