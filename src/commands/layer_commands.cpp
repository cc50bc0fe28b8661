// The layer menu, the layer panel's right-button menu and the layer properties of
// velmira-cli.
#include "commands/registry.h"
#include "image/ui_text.h"

namespace velmira {

namespace {

using args::Fail;
using args::ParseInt;

bool MergeDown(CommandContext& c, const CommandArgs&, std::string& e) {
  const Layer* a = c.Doc().Layers().Active();
  if (!a || a->above == -1) return Fail(e, "no layer above the active layer");
  return c.Doc().MergeDown();
}

bool MergeUp(CommandContext& c, const CommandArgs&, std::string& e) {
  const Layer* a = c.Doc().Layers().Active();
  if (!a || a->below == -1) return Fail(e, "no layer below the active layer");
  return c.Doc().MergeUp();
}

bool SetActive(CommandContext& c, const CommandArgs& a, std::string& e) {
  int slot;
  if (!ParseInt(a[0], slot)) return Fail(e, "slot must be a number");
  if (!c.Doc().Layers().Used(slot)) return Fail(e, "no layer in slot " + a[0]);
  return c.Doc().SetActiveLayer(slot);
}

bool ActiveLayer(CommandContext& c, std::string& e, Layer*& l) {
  l = c.Doc().Layers().Active();
  return l || Fail(e, "the document has no active layer");
}

bool LayerTransparency(CommandContext& c, const CommandArgs& a, std::string& e) {
  int t;
  Layer* l;
  if (!ParseInt(a[0], t) || t < 0 || t > 255) return Fail(e, "transparency must be 0…255");
  if (!ActiveLayer(c, e, l)) return false;
  return c.Doc().SetLayerTransparency(c.Doc().Layers().active, t) || Fail(e, "the document is busy");
}

int BlendFromName(const std::string& s) {
  static const struct {
    const char* name;
    int mode;
  } names[] = {{"normal", 0},  {"multiply", 2},   {"screen", 3},
               {"darken", 4},  {"lighten", 5},    {"difference", 6},
               {"inverse-difference", 7}, {"exclusion", 8}, {"overlay", 9}};
  for (auto& n : names)
    if (s == n.name) return n.mode;
  int v;
  if (ParseInt(s, v) && (v == 0 || (v >= 2 && v <= 9))) return v;
  return -1;
}

bool LayerBlend(CommandContext& c, const CommandArgs& a, std::string& e) {
  const int mode = BlendFromName(a[0]);
  Layer* l;
  if (mode < 0) return Fail(e, "unknown blend mode: " + a[0]);
  if (!ActiveLayer(c, e, l)) return false;
  return c.Doc().SetLayerBlend(c.Doc().Layers().active, mode) || Fail(e, "the document is busy");
}

bool LayerVisible(CommandContext& c, const CommandArgs& a, std::string& e) {
  Layer* l;
  if (a[0] != "0" && a[0] != "1") return Fail(e, "visibility must be 0 or 1");
  if (!ActiveLayer(c, e, l)) return false;
  return c.Doc().SetLayerVisible(c.Doc().Layers().active, a[0] == "1") || Fail(e, "the document is busy");
}

bool LayerOffset(CommandContext& c, const CommandArgs& a, std::string& e) {
  int dx, dy;
  Layer* l;
  if (!ParseInt(a[0], dx) || !ParseInt(a[1], dy)) return Fail(e, "offsets must be numbers");
  if (!ActiveLayer(c, e, l)) return false;
  // Right and down as the user sees them: canvas column c shows layer column c − x,
  // canvas row r (from the bottom) shows layer row r + y.
  c.Doc().RevertLayer(c.Doc().Layers().active, false);
  l->x += dx;
  l->y += dy;
  c.Doc().RecordStep(QT_TR_NOOP("전체영상 위치이동"), kStepPixels, -1);
  c.Doc().LayersChanged();
  return true;
}

// The editor asks for the name; the command line passes it.
bool RenameLayer(CommandContext& c, const CommandArgs& a, std::string& e) {
  if (a.empty()) return c.Doc().RenameLayer();
  if (a[0].empty()) return Fail(e, "the name must not be empty");
  return c.Doc().RenameLayer(c.Doc().Layers().active, a[0]) || Fail(e, "rename failed");
}

bool ToRaster(CommandContext& c, const CommandArgs&, std::string& e) {
  const Layer* l = c.Doc().Layers().Active();
  if (!l || l->kind != kLayerText) return Fail(e, "the active layer is not a text layer");
  return c.Doc().ConvertToRaster();
}

// Document methods that say themselves why they refuse.
RunFunction Method(bool (CMirvDoc::*fn)()) {
  return [fn](CommandContext& c, const CommandArgs&, std::string& e) {
    return (c.Doc().*fn)() || args::Refused(c, e, "nothing to do");
  };
}

bool ActiveHasAbove(const CMirvDoc& d) {
  const Layer* a = d.Layers().Active();
  return a && a->above != -1;
}
bool ActiveHasBelow(const CMirvDoc& d) {
  const Layer* a = d.Layers().Active();
  return a && a->below != -1;
}
bool ActiveIsText(const CMirvDoc& d) {
  const Layer* a = d.Layers().Active();
  return a && a->kind == kLayerText;
}

}  // namespace

void RegisterLayerCommands(CommandRegistry& r) {
  const unsigned editable = kNeedDocument | kNeedIdle | kNeedLayer;
  auto menu = [](int order) { return Placement{"layer", order}; };
  auto panel = [](int order, const char* label) { return Placement{"context/layer", order, false, label}; };

  r.Add({.id = cmd::kLayerAdd, .name = "add-layer", .label = QT_TR_NOOP("레이어추가"), .needs = editable,
         .help = "add a transparent layer above the active layer", .run = Method(&CMirvDoc::AddLayer),
         .places = {menu(10), panel(50, QT_TR_NOOP("레이어 추가"))}});
  r.Add({.id = cmd::kLayerDelete, .name = "delete-layer", .label = QT_TR_NOOP("레이어삭제"), .needs = editable,
         .enabled = [](const CMirvDoc& d) { return d.Layers().LayerCount() > 1; },
         .help = "delete the active layer",
         .run = [](CommandContext& c, const CommandArgs&,
                   std::string&) { return c.Doc().DeleteLayer(c.Doc().Layers().active, true); },
         .places = {menu(20), panel(40, QT_TR_NOOP("레이어 삭제"))}});
  r.Add({.id = cmd::kLayerDuplicate, .name = "duplicate-layer", .label = QT_TR_NOOP("복제 레이어 만들기"), .needs = editable,
         .help = "copy the active layer onto the top of the stack", .run = Method(&CMirvDoc::DuplicateLayer),
         .places = {menu(30), panel(30, QT_TR_NOOP("레이어 복제"))}});
  r.Add({.id = cmd::kFlatten, .name = "flatten", .label = QT_TR_NOOP("떡그림만들기"), .needs = editable,
         .help = "compose every layer into the bottom layer", .run = Method(&CMirvDoc::Flatten),
         .places = {menu(40), Placement{"bar", 220, false, QT_TR_NOOP("떡영상 만들기")}, panel(70, QT_TR_NOOP("떡 이미지 만들기"))},
         .asksToolChange = true});
  r.Add({.id = cmd::kMergeDown, .name = "merge-down", .label = QT_TR_NOOP("아래쪽 레이어로  합치기"), .needs = editable,
         .enabled = &ActiveHasAbove, .help = "merge the layer above into the active layer", .run = &MergeDown,
         .places = {menu(50)}});
  r.Add({.id = cmd::kMergeUp, .name = "merge-up", .label = QT_TR_NOOP("위쪽 레이어로 합치기"), .needs = editable,
         .enabled = &ActiveHasBelow, .help = "merge the active layer into the layer below", .run = &MergeUp,
         .places = {menu(60)}});
  r.Add({.id = cmd::kToRaster, .name = "to-raster", .label = QT_TR_NOOP("레스터 형식으로 변환"), .needs = editable,
         .enabled = &ActiveIsText, .help = "convert the active text layer to a raster layer", .run = &ToRaster,
         .places = {menu(80), panel(80, QT_TR_NOOP("레스터 만들기"))}});
  r.Add({.id = cmd::kRenameLayer, .name = "rename-layer", .label = QT_TR_NOOP("레이어 이름 변경"), .needs = editable,
         .params = {{"NAME"}}, .help = "rename the active layer", .run = &RenameLayer,
         .places = {panel(60, QT_TR_NOOP("레이어 이름 변경"))}});

  r.Add({.name = "set-active", .needs = kNeedDocument, .params = {{"SLOT"}},
         .help = "make the layer in SLOT (0…39) active", .run = &SetActive});
  r.Add({.name = "layer-transparency", .needs = kNeedDocument, .params = {{"T"}},
         .help = "set the active layer's transparency (0 opaque … 255)", .run = &LayerTransparency});
  r.Add({.name = "layer-blend", .needs = kNeedDocument, .params = {{"MODE"}},
         .help = "set the active layer's blend mode (normal, multiply, screen, darken, lighten, difference, "
                 "inverse-difference, exclusion, overlay, or 0, 2…9)",
         .run = &LayerBlend});
  r.Add({.name = "layer-visible", .needs = kNeedDocument, .params = {{"0|1"}},
         .help = "hide or show the active layer", .run = &LayerVisible});
  r.Add({.name = "layer-offset", .needs = kNeedDocument, .params = {{"DX"}, {"DY"}},
         .help = "move the active layer right and down by DX, DY pixels", .run = &LayerOffset});
}

}  // namespace velmira
