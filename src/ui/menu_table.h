// The main menu, the command bar and the brush palette as data: labels, command ids
// and tooltips. The frame builds its widgets from these tables, and the tests read
// the widgets back against them.
#pragma once

#include <string>
#include <vector>

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

// The twelve popups of the menu bar, in order.
const std::vector<MenuEntry>& MainMenu();

struct BarButton {
  int id;
  const char* tooltip;
};
// The command bar's buttons, in the order they stand on the bar.
const std::vector<BarButton>& CommandBar();

// The brush palette: sixteen buttons, soft brushes of sizes 8 down to 1, then hard
// ones of sizes 8 down to 1.
struct BrushButton {
  int id;
  int size;
  bool soft;
};
const std::vector<BrushButton>& BrushPalette();

// Accelerators beyond the text after "\t" (that text is for showing only).
struct Accelerator {
  int id;
  const char* keys;  // QKeySequence portable text
};
const std::vector<Accelerator>& Accelerators();

}  // namespace velmira
