// velmira-cli's `--do` commands are the registry's scriptable commands (see
// commands/registry.h); this is the command line's side of running them.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "commands/registry.h"

namespace velmira::cli {

using args::ParseColour;
using args::ParseDouble;
using args::ParseInt;

// Checks a whole command before anything runs: the name is known and the argument
// count fits. Returns the error text, empty when fine.
inline std::string Validate(const std::vector<std::string>& words) { return Commands().Validate(words); }

// Runs one checked command on the document. `error` gets the text to print when
// the document has not already said why it refused.
bool Run(const std::vector<std::string>& words, CMirvDoc& doc, CliHost& host, FrameState& frame,
         FormatDispatch& formats, const std::string& outputPath, std::string& error);

}  // namespace velmira::cli
