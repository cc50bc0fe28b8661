// The view menu: the panels, zoom, grid; and the movie menu. The view's own state
// (zoom, grid) and the panels are the editor's: their fronts run them.
#include "commands/registry.h"
#include "image/ui_text.h"
#include "tools/tool_ids.h"

namespace velmira {

void RegisterViewCommands(CommandRegistry& r) {
  auto menu = [](int order, bool sep = false) { return Placement{"view", order, sep}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };

  r.Add({.id = 1554, .label = QT_TR_NOOP("레이어.작업내역보기(&L)"), .places = {menu(10), bar(440, QT_TR_NOOP("레이어보기창"))}});
  r.Add({.id = 1511, .label = QT_TR_NOOP("포토 간편 편집 창"), .places = {menu(20), bar(210, QT_TR_NOOP("디카편집창"))}});
  r.Add({.id = tool::kStretch, .label = QT_TR_NOOP("늘여보기(&e)"), .needs = kNeedView, .places = {menu(30, true)}});
  r.Add({.id = tool::kZoomIn, .label = QT_TR_NOOP("확대\t Ctrl + + "), .keys = {"Ctrl++", "Ctrl+="}, .needs = kNeedView,
         .places = {menu(40, true), bar(310, QT_TR_NOOP("화면 확대")), Placement{"context/view", 10, false, QT_TR_NOOP("확대\tCtrl++")}},
         .checkable = true, .asksToolChange = true});
  r.Add({.id = tool::kZoomOut, .label = QT_TR_NOOP("축소\tCtrl + -"), .keys = {"Ctrl+-"}, .needs = kNeedView,
         .places = {menu(50), bar(320, QT_TR_NOOP("화면 축소")), Placement{"context/view", 20, false, QT_TR_NOOP("축소\tCtrl--")}},
         .asksToolChange = true});
  r.Add({.id = tool::kZoomActual, .label = QT_TR_NOOP("(1:1)보기 \tCtrl + 1"), .keys = {"Ctrl+1"}, .needs = kNeedView,
         .places = {menu(60), bar(330, QT_TR_NOOP("화면 보기를 1:1 로"))}});
  r.Add({.id = tool::kGrid, .label = QT_TR_NOOP("격자보기"), .needs = kNeedView, .places = {menu(70)}});

  // Movies arrive with their own feature: present, disabled.
  r.Add({.id = 4201, .label = QT_TR_NOOP("무비만들기 "), .places = {Placement{"movie", 10}, bar(180, QT_TR_NOOP("동영상 만들기"))}});
}

}  // namespace velmira
