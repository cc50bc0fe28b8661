// The main menu, the command bar and the other command surfaces as the frame builds
// them, read from the command registry; and the ids of the frame's own commands.
#pragma once

#include <string>
#include <vector>

#include "commands/brushes.h"

namespace velmira {

// Command ids the frame handles itself (the document's are in image/doc.h, the
// view's in tools/tool_ids.h).
namespace framecmd {
constexpr int kNew = 57600;
constexpr int kOpen = 57601;
constexpr int kClose = 57602;
constexpr int kSave = 57603;
constexpr int kSaveAs = 57604;
constexpr int kPrintSetup = 57606;
constexpr int kPrint = 57607;
constexpr int kRecentFirst = 57616;  // up to nine entries
constexpr int kRecentLast = 57624;
constexpr int kNewWindow = 57648;
constexpr int kCascade = 57650;
constexpr int kTile = 57651;
constexpr int kAbout = 57664;
constexpr int kExit = 57665;
constexpr int kCloseAll = 1426;
constexpr int kDeviceSelect = 1474;
constexpr int kDeviceInput = 1475;
constexpr int kSettingsDialog = 1571;
constexpr int kLayerPanel = 1554;
constexpr int kQuickEdit = 1511;
constexpr int kWebSite = 2074;
constexpr int kForeground = 1384;
constexpr int kBackground = 1385;
constexpr int kSwapColours = 1386;
constexpr int kBrushPalette = 1510;
}  // namespace framecmd

// One menu entry: an item (id > 0), a separator (id 0) or a submenu (id −1, with
// its own items).
struct MenuEntry {
  int id = 0;
  std::string label;
  std::vector<MenuEntry> items;

  bool IsSeparator() const { return id == 0; }
  bool IsSubmenu() const { return id == -1; }
};

// The surfaces below are read from the command registry (commands/registry.h), where
// each command places itself; these give the frame and the panels the shapes they
// build widgets from.

// The twelve popups of the menu bar, in order.
const std::vector<MenuEntry>& MainMenu();
// Any other surface of the registry ("quick", "context/view", "context/layer"):
// its items, submenus for tabs.
std::vector<MenuEntry> SurfaceEntries(const std::string& key);

struct BarButton {
  int id;
  std::string tooltip;
};
// The command bar's buttons, in the order they stand on the bar.
const std::vector<BarButton>& CommandBar();

// Accelerators beyond the text after "\t" (that text is for showing only).
struct Accelerator {
  int id;
  std::string keys;  // QKeySequence portable text
};
const std::vector<Accelerator>& Accelerators();

}  // namespace velmira
