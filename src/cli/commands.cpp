#include "cli/commands.h"

namespace velmira::cli {

bool Run(const std::vector<std::string>& words, CMirvDoc& doc, CliHost& host, FrameState& frame,
         FormatDispatch& formats, const std::string& outputPath, std::string& error) {
  const CommandDef* c = Commands().FindByName(words.at(0));
  if (!c) return args::Fail(error, "unknown command: " + words[0]);
  CommandContext ctx{&doc, frame, host, &formats, outputPath, [&host] { return host.anyMessage; }};
  const CommandArgs cargs(words.begin() + 1, words.end());
  host.anyMessage = false;
  return RunCommand(*c, ctx, cargs, error);
}

}  // namespace velmira::cli
