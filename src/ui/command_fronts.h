// The editor's side of commands that need more than their run function: a dialog
// that collects the arguments, a window, a mode of the view, or state only the
// frame knows (the clipboard, the open windows). Each feature's menu file registers
// its fronts; the frame runs a command through its front when it has one, else
// through the registry's run function.
#pragma once

#include <functional>
#include <map>

namespace velmira {

class CMainFrame;

struct CommandFront {
  // Beyond the registry's needs; empty: nothing more.
  std::function<bool(const CMainFrame&)> enabled;
  // Empty: the registry's run function does the work (the front only adds to when
  // it is enabled).
  std::function<bool(CMainFrame&)> run;
};

class CommandFronts {
 public:
  void Add(int id, CommandFront front) { fronts_[id] = std::move(front); }
  const CommandFront* Find(int id) const {
    auto it = fronts_.find(id);
    return it == fronts_.end() ? nullptr : &it->second;
  }
  const std::map<int, CommandFront>& All() const { return fronts_; }

 private:
  std::map<int, CommandFront> fronts_;
};

// Every front, registered on first use.
const CommandFronts& Fronts();

// The feature files' registrations.
void RegisterFrameFronts(CommandFronts& f);
void RegisterPanelFronts(CommandFronts& f);
void RegisterProcessingFronts(CommandFronts& f);
void RegisterTransformFronts(CommandFronts& f);
void RegisterToolFronts(CommandFronts& f);
void RegisterGuideFronts(CommandFronts& f);
void RegisterDecorationFronts(CommandFronts& f);
void RegisterScanFronts(CommandFronts& f);
void RegisterMeasureFronts(CommandFronts& f);
void RegisterMovieFronts(CommandFronts& f);

}  // namespace velmira
