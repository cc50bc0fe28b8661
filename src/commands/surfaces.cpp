// The menu bar's popups and submenus, the command bar, the quick-edit tabs, the
// context menus and the brush palette. Commands place themselves on these by key.
#include "commands/registry.h"
#include "image/ui_text.h"

namespace velmira {

void RegisterSurfaces(CommandRegistry& r) {
  const struct {
    const char* key;
    const char* label;
  } popups[] = {{"file", QT_TR_NOOP("파일(&F)")},       {"edit", QT_TR_NOOP("편집(&E)")},   {"draw", QT_TR_NOOP("그리기")},
                {"image", QT_TR_NOOP("영상(&I)")},      {"filter", QT_TR_NOOP("필터링(&F)")}, {"layer", QT_TR_NOOP("레이어(&L)")},
                {"select", QT_TR_NOOP("영역선택(&S)")}, {"transform", QT_TR_NOOP("변형 및 꾸미기")}, {"view", QT_TR_NOOP("보기(&V)")},
                {"movie", QT_TR_NOOP("동영상")},        {"window", QT_TR_NOOP("윈도우(&W)")}, {"help", QT_TR_NOOP("도움말(&H)")}};
  int order = 0;
  for (const auto& p : popups) r.AddSurface({p.key, p.label, "menu", order += 10});
  r.AddSurface({"transform/rotate-layer", QT_TR_NOOP("레이어 회전.."), "transform", 20});
  r.AddSurface({"transform/rotate-canvas", QT_TR_NOOP("캔버스 회전"), "transform", 30});
  r.AddSurface({"transform/free", QT_TR_NOOP("자유 변형"), "transform", 40});

  r.AddSurface({"bar", "", "", 0});
  r.AddSurface({"quick", "", "", 0});
  r.AddSurface({"quick/colour", QT_TR_NOOP("색상"), "quick", 10});
  r.AddSurface({"quick/edit", QT_TR_NOOP("편집"), "quick", 20});
  r.AddSurface({"quick/decorate", QT_TR_NOOP("꾸미기"), "quick", 30});
  r.AddSurface({"context/view", "", "", 0});
  r.AddSurface({"context/layer", "", "", 0});
  r.AddSurface({"brushes", "", "", 0});
}

}  // namespace velmira
