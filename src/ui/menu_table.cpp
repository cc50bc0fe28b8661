#include "ui/menu_table.h"

#include "commands/registry.h"

namespace velmira {

namespace {

std::vector<MenuEntry> ToEntries(const std::vector<SurfaceNode>& nodes) {
  std::vector<MenuEntry> out;
  for (const SurfaceNode& n : nodes) {
    switch (n.kind) {
      case SurfaceNode::Separator: out.push_back(MenuEntry{0, "", {}}); break;
      case SurfaceNode::Submenu: out.push_back(MenuEntry{-1, n.label, ToEntries(n.items)}); break;
      case SurfaceNode::Command: out.push_back(MenuEntry{n.id, n.label, {}}); break;
    }
  }
  return out;
}

}  // namespace

const std::vector<MenuEntry>& MainMenu() {
  static const std::vector<MenuEntry> menu = ToEntries(Commands().Surface("menu"));
  return menu;
}

std::vector<MenuEntry> SurfaceEntries(const std::string& key) { return ToEntries(Commands().Surface(key)); }

const std::vector<BarButton>& CommandBar() {
  static const std::vector<BarButton> bar = [] {
    std::vector<BarButton> out;
    for (const SurfaceNode& n : Commands().Surface("bar"))
      if (n.kind == SurfaceNode::Command) out.push_back({n.id, n.label});
    return out;
  }();
  return bar;
}

const std::vector<Accelerator>& Accelerators() {
  static const std::vector<Accelerator> keys = [] {
    std::vector<Accelerator> out;
    for (const auto& c : Commands().All())
      for (const std::string& k : c->keys) out.push_back({c->id, k});
    return out;
  }();
  return keys;
}

}  // namespace velmira
