// The menu bar's popups and submenus, the command bar, the quick-edit tabs, the
// context menus and the brush palette. Commands place themselves on these by key.
#include "commands/registry.h"

namespace velmira {

void RegisterSurfaces(CommandRegistry& r) {
  const struct {
    const char* key;
    const char* label;
  } popups[] = {{"file", "파일(&F)"},       {"edit", "편집(&E)"},   {"draw", "그리기"},
                {"image", "영상(&I)"},      {"filter", "필터링(&F)"}, {"layer", "레이어(&L)"},
                {"select", "영역선택(&S)"}, {"transform", "변형 및 꾸미기"}, {"view", "보기(&V)"},
                {"movie", "동영상"},        {"window", "윈도우(&W)"}, {"help", "도움말(&H)"}};
  int order = 0;
  for (const auto& p : popups) r.AddSurface({p.key, p.label, "menu", order += 10});
  r.AddSurface({"transform/rotate-layer", "레이어 회전..", "transform", 20});
  r.AddSurface({"transform/rotate-canvas", "캔버스 회전", "transform", 30});
  r.AddSurface({"transform/free", "자유 변형", "transform", 40});

  r.AddSurface({"bar", "", "", 0});
  r.AddSurface({"quick", "", "", 0});
  r.AddSurface({"quick/colour", "색상", "quick", 10});
  r.AddSurface({"quick/edit", "편집", "quick", 20});
  r.AddSurface({"quick/decorate", "꾸미기", "quick", 30});
  r.AddSurface({"context/view", "", "", 0});
  r.AddSurface({"context/layer", "", "", 0});
  r.AddSurface({"brushes", "", "", 0});
}

}  // namespace velmira
