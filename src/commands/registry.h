// The command registry: every command of the editor and of velmira-cli, once, with
// its id, labels, keys, what it needs before it may run, its parameters and its run
// function on the document. Menus, the command bar, the quick-edit window, the
// context menus, enabled states and `velmira-cli --do` are all built from it, so a
// new command is one registration in its feature's file (see docs/ARCHITECTURE.md,
// "Adding a command"). Nothing here knows about a toolkit.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/doc.h"

namespace velmira {

// What must hold before a command may run. A command lists the least it needs; the
// caller checks them all the same way (`CommandState::Allows`).
enum Need : unsigned {
  kNeedNothing = 0,
  kNeedDocument = 1u << 0,     // an open document
  kNeedIdle = 1u << 1,         // the document is not in the middle of a command
  kNeedLayer = 1u << 2,        // the document has an active layer
  kNeedRasterLayer = 1u << 3,  // the active layer is not a text layer
  kNeedSelection = 1u << 4,    // something is selected
  kNeedView = 1u << 5,         // a window shows the document (the editor only)
};

using CommandArgs = std::vector<std::string>;

// What a run function works on.
struct CommandContext {
  CMirvDoc* doc = nullptr;  // null for commands that need no document
  FrameState& frame;
  DocHost& host;
  FormatDispatch* formats = nullptr;
  // velmira-cli's OUTPUT: commands that write extra files put them beside it.
  std::string outputPath = {};
  // True when the document already told the user why it refused, so that the
  // caller adds no second line.
  std::function<bool()> messageShown = {};

  CMirvDoc& Doc() const { return *doc; }
  bool MessageShown() const { return messageShown && messageShown(); }
};

// One parameter of a scriptable command. `min < max` gives a whole-number range the
// argument must lie in; `def` is used when an optional argument is left out.
struct CommandParam {
  std::string name = {};
  bool optional = false;
  int min = 0;
  int max = 0;
  int def = 0;
};

// Where a command shows besides its menu item: a surface key (a menu, "bar",
// "quick/…", "context/…", "brushes"), its order there, a separator before it, and the
// text it shows there when that differs from the menu label.
struct Placement {
  std::string surface = {};
  int order = 0;
  bool separatorBefore = false;
  std::string label = {};
};

using RunFunction = std::function<bool(CommandContext&, const CommandArgs&, std::string& error)>;

struct CommandDef {
  int id = 0;             // 0: only for velmira-cli
  std::string name = {};  // velmira-cli's `--do` name; empty: not scriptable
  std::string label = {};  // the menu text ("\t" and after: the keys shown)
  std::vector<std::string> keys = {};  // accelerators, portable key text
  unsigned needs = kNeedNothing;
  // Beyond `needs`: true when the document's state allows the command.
  std::function<bool(const CMirvDoc&)> enabled = {};
  std::vector<CommandParam> params = {};
  std::string usage = {};  // when the parameter names alone do not say it
  std::string help = {};
  // The command's work on the document. Empty: the editor runs it through a front
  // of its own (a dialog, a window) or it is not built yet and stays disabled.
  RunFunction run = {};
  std::vector<Placement> places = {};
  bool tool = false;       // choosing it makes a tool current
  bool checkable = false;  // its bar button stays pressed while current
  // Running it changes what the view's tool may do, so the open panels that hold a
  // mode (guide path, rotation) must agree first.
  bool asksToolChange = false;

  int MinArgs() const;
  int MaxArgs() const;
  std::string Usage() const;
};

// A node of a surface as the user sees it: a command, a separator or a submenu.
struct SurfaceNode {
  enum Kind { Command, Separator, Submenu } kind = Command;
  int id = 0;
  std::string label;
  std::vector<SurfaceNode> items;
};

// A menu, a submenu or another surface the commands place themselves on.
struct SurfaceDef {
  std::string key = {};
  std::string label = {};
  std::string parent = {};  // "" for a top-level surface; "menu" for a popup of the menu bar
  int order = 0;
  bool separatorBefore = false;
};

class CommandRegistry {
 public:
  // Adds a command; a clash of id or name is a programming fault and is kept out
  // (the invariant tests read `Clashes()`).
  CommandDef& Add(CommandDef def);
  void AddSurface(SurfaceDef s);

  const CommandDef* Find(int id) const;
  const CommandDef* FindByName(std::string_view name) const;
  const std::vector<std::unique_ptr<CommandDef>>& All() const { return commands_; }
  const std::vector<SurfaceDef>& Surfaces() const { return surfaces_; }
  const std::vector<std::string>& Clashes() const { return clashes_; }

  // The items of a surface in order, submenus expanded.
  std::vector<SurfaceNode> Surface(const std::string& key) const;
  // The text of a command on a surface (its placement's label, else the menu label).
  std::string LabelOn(int id, const std::string& surface) const;

  // The scriptable commands in registration order.
  std::vector<const CommandDef*> Scriptable() const;
  // Checks one `--do` word list before anything runs: a known name and an argument
  // count that fits. The error text; empty when fine.
  std::string Validate(const CommandArgs& words) const;
  // The command list of `velmira-cli --help`.
  std::string HelpText() const;

 private:
  std::vector<std::unique_ptr<CommandDef>> commands_;
  std::map<int, CommandDef*> byId_;
  std::map<std::string, CommandDef*, std::less<>> byName_;
  std::vector<SurfaceDef> surfaces_;
  std::vector<std::string> clashes_;
};

// Every command of the program, registered once on first use.
const CommandRegistry& Commands();

// What a caller knows about the moment a command would run.
struct CommandState {
  const CMirvDoc* doc = nullptr;
  bool hasView = false;
  // The layer panel refreshes from inside a command, while the document still
  // counts as busy; it asks as if the command had ended.
  bool ignoreBusy = false;

  // True when the needs hold and the command's own predicate agrees.
  bool Allows(const CommandDef& def) const;
};

// Runs a registered command for velmira-cli: the shared needs are checked and
// explained in words, the rest is the run function's. False when it did not run or
// changed nothing; `error` says why unless the document has shown a message.
bool RunCommand(const CommandDef& def, CommandContext& ctx, const CommandArgs& args, std::string& error);

// The feature areas; each registers its commands in its own file.
void RegisterFileCommands(CommandRegistry& r);
void RegisterEditCommands(CommandRegistry& r);
void RegisterPaintCommands(CommandRegistry& r);
void RegisterImageCommands(CommandRegistry& r);
void RegisterFilterCommands(CommandRegistry& r);
void RegisterLayerCommands(CommandRegistry& r);
void RegisterSelectionCommands(CommandRegistry& r);
void RegisterTransformCommands(CommandRegistry& r);
void RegisterViewCommands(CommandRegistry& r);
void RegisterGuideCommands(CommandRegistry& r);
void RegisterDecorationCommands(CommandRegistry& r);
void RegisterMeasureCommands(CommandRegistry& r);
// The menus and other surfaces themselves.
void RegisterSurfaces(CommandRegistry& r);

// Argument parsing shared by the run functions.
namespace args {
bool ParseInt(const std::string& s, int& out);
bool ParseDouble(const std::string& s, double& out);
bool ParseColour(const std::string& s, Rgbq& out);  // #RRGGBB
bool IntIn(const std::string& s, int lo, int hi, int& out);
// Sets `error` and returns false.
bool Fail(std::string& error, std::string text);
// A refusal the document has already explained ends without a second line.
bool Refused(const CommandContext& c, std::string& error, const char* why);
}  // namespace args

// A picture point as the user sees it, in the active layer's storage coordinates.
bool PictureToLayer(const CMirvDoc& doc, int x, int y, int& lx, int& ly);

}  // namespace velmira
