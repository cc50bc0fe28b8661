// The selection menu: the selection tools, moving a layer, the colour range,
// inversion and clearing; and velmira-cli's selection commands.
#include <array>

#include "commands/tool_args.h"
#include "image/ui_text.h"
#include "tools/selection.h"
#include "tools/tool_ids.h"

namespace velmira {

namespace {

using args::Fail;

bool SelectRectCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 2> p;
  if (!ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  SelectRect(c.Doc().Layers(), p[0].x, p[0].y, p[1].x, p[1].y);
  return true;
}

bool SelectColourRangeCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  LayerStack& L = c.Doc().Layers();
  const Rgbq ref = L.ReadLayerColor(L.active, p[0].x, p[0].y, c.Doc().ViewImage());
  ColourRange(L, ref, tol, false);
  return true;
}

bool MagicWandCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  MagicWand(c.Doc().Layers(), p[0].x, p[0].y, tol, false);
  return true;
}

bool InvertSelectionCmd(CommandContext& c, const CommandArgs&, std::string& e) {
  if (!c.Doc().Layers().selectionExists) return Fail(e, "there is no selection to invert");
  InvertSelection(c.Doc().Layers());
  return true;
}

bool ClearSelectionCmd(CommandContext& c, const CommandArgs&, std::string& e) {
  if (!c.Doc().Layers().Active()) return Fail(e, "the document has no active layer");
  ClearSelectionMask(c.Doc().Layers());
  return true;
}

}  // namespace

void RegisterSelectionCommands(CommandRegistry& r) {
  auto tool = [&r](int id, const char* label, std::vector<Placement> places) {
    r.Add({.id = id, .label = label, .needs = kNeedDocument, .places = std::move(places), .tool = true,
           .checkable = true});
  };
  auto menu = [](int order) { return Placement{"select", order}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };

  tool(tool::kMove, QT_TR_NOOP("이동"), {menu(10), bar(120, QT_TR_NOOP("이동(레스터형식)"))});
  tool(tool::kRectSelect, QT_TR_NOOP("사각선택"), {menu(20), bar(70, QT_TR_NOOP("마우스드래깅으로 사각영역을 지정함")), Placement{"quick/edit", 10}});
  tool(tool::kPolygonSelect, QT_TR_NOOP("다각형선택"), {menu(30), bar(80, QT_TR_NOOP("다각형 형태의 영역 지정"))});
  tool(tool::kFreeSelect, QT_TR_NOOP("자유선택"), {menu(40), bar(90, QT_TR_NOOP("마우스 이동 경로가 만드는 영역을 선택함"))});
  tool(tool::kAutoSelect, QT_TR_NOOP("자동선택"), {menu(50), bar(100, QT_TR_NOOP("클릭지점과 같은 색상의 영역을 자동으로 선택"))});
  // These three work on the view's selection state (the editor's fronts run them).
  r.Add({.id = 3327, .label = QT_TR_NOOP("색상범위지정 선택"), .needs = kNeedDocument | kNeedIdle | kNeedLayer | kNeedView,
         .places = {menu(60)}});
  r.Add({.id = 2055, .label = QT_TR_NOOP("선택반전"), .needs = kNeedDocument | kNeedIdle | kNeedLayer | kNeedView,
         .places = {menu(70)}});
  r.Add({.id = tool::kClearSelection, .label = QT_TR_NOOP("선택/명령 해제\tCtrl+D"), .keys = {"Ctrl+D"}, .needs = kNeedView,
         .places = {menu(80), bar(110, QT_TR_NOOP("영역/명령 선택을 해제함")), Placement{"quick/edit", 20, false, QT_TR_NOOP("선택/명령 해제")},
                    Placement{"context/view", 30}}});

  r.Add({.name = "select-rect", .needs = kNeedDocument, .params = {{"L"}, {"T"}, {"R"}, {"B"}},
         .help = "select the rectangle between two corners (both included)", .run = &SelectRectCmd});
  r.Add({.name = "select-colour-range", .needs = kNeedDocument, .params = {{"X"}, {"Y"}, {"TOL"}},
         .help = "select every pixel whose colour differs from the one at X, Y by at most TOL (sum over R, G, B)",
         .run = &SelectColourRangeCmd});
  r.Add({.name = "magic-wand", .needs = kNeedDocument, .params = {{"X"}, {"Y"}, {"TOL"}},
         .help = "select the 4-connected region around X, Y of colours closer than TOL to it", .run = &MagicWandCmd});
  r.Add({.name = "invert-selection", .needs = kNeedDocument, .help = "select what is not selected and the reverse",
         .run = &InvertSelectionCmd});
  r.Add({.name = "clear-selection", .needs = kNeedDocument,
         .help = "drop the selection (everything counts as selected)", .run = &ClearSelectionCmd});
}

}  // namespace velmira
