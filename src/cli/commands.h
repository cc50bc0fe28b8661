// The `--do` commands of velmira-cli. Each drives CMirvDoc exactly as the editor's
// menu item does. Names are short English kebab-case; arguments follow the
// operation's own parameters in their order. Coordinates are picture pixels as the
// user sees them (x from the left, y from the top); colours are #RRGGBB.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_host.h"
#include "image/doc.h"

namespace velmira::cli {

struct Context {
  CMirvDoc& doc;
  CliHost& host;
  FrameState& frame;
  FormatDispatch& formats;
  // The OUTPUT of convert: commands that write extra files (the channel splits) put
  // them beside it. Empty: beside the opened file.
  std::string outputPath = {};
};

struct Command {
  const char* name;
  int minArgs;
  int maxArgs;
  const char* usage;  // argument names, e.g. "DX DY"
  const char* help;
  // Returns false with `error` set (or a message already shown) on failure.
  bool (*run)(Context& ctx, const std::vector<std::string>& args, std::string& error);
};

std::span<const Command> Commands();
const Command* FindCommand(std::string_view name);

// Checks a whole command list before anything runs: the name is known and the
// argument count fits. Returns the error text, empty when fine.
std::string Validate(const std::vector<std::string>& words);

// Argument parsing shared by the commands.
bool ParseInt(const std::string& s, int& out);
bool ParseDouble(const std::string& s, double& out);
bool ParseColour(const std::string& s, Rgbq& out);  // #RRGGBB
// A picture point as the user sees it, in the active layer's storage coordinates.
bool PictureToLayer(const CMirvDoc& doc, int x, int y, int& lx, int& ly);

}  // namespace velmira::cli
