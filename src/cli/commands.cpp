#include "cli/commands.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "formats/format_dispatch.h"
#include "image/text.h"

namespace velmira::cli {

bool ParseInt(const std::string& s, int& out) {
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (b != e && *b == '+') ++b;
  auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e && b != e;
}

bool ParseDouble(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end && *end == '\0';
}

bool ParseColour(const std::string& s, Rgbq& out) {
  if (s.size() != 7 || s[0] != '#') return false;
  unsigned v = 0;
  auto r = std::from_chars(s.data() + 1, s.data() + 7, v, 16);
  if (r.ec != std::errc() || r.ptr != s.data() + 7) return false;
  out = MakeRgbq(int(v >> 16), int((v >> 8) & 0xFF), int(v & 0xFF));
  return true;
}

bool PictureToLayer(const CMirvDoc& doc, int x, int y, int& lx, int& ly) {
  const Layer* l = doc.Layers().Active();
  if (!l) return false;
  lx = x - l->x;
  ly = l->y + doc.Layers().header.canvasHeight - 1 - y;
  return true;
}

namespace {

using Args = std::vector<std::string>;

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

// Commands whose document method shows its own message when it refuses.
#define DOC_COMMAND(fn)                                                    \
  [](Context& c, const Args&, std::string& e) {                            \
    return c.doc.fn() || (c.host.anyMessage ? false : Fail(e, "nothing to do")); \
  }

bool Undo(Context& c, const Args&, std::string& e) {
  if (!c.doc.History().CanUndo()) return Fail(e, "nothing to undo");
  return c.doc.Undo() || Fail(e, "undo failed");
}

bool Redo(Context& c, const Args&, std::string& e) {
  if (!c.doc.History().CanRedo()) return Fail(e, "nothing to redo");
  return c.doc.Redo() || Fail(e, "redo failed");
}

bool MergeDown(Context& c, const Args&, std::string& e) {
  const Layer* a = c.doc.Layers().Active();
  if (!a || a->above == -1) return Fail(e, "no layer above the active layer");
  return c.doc.MergeDown();
}

bool MergeUp(Context& c, const Args&, std::string& e) {
  const Layer* a = c.doc.Layers().Active();
  if (!a || a->below == -1) return Fail(e, "no layer below the active layer");
  return c.doc.MergeUp();
}

bool SetActive(Context& c, const Args& a, std::string& e) {
  int slot;
  if (!ParseInt(a[0], slot)) return Fail(e, "slot must be a number");
  if (!c.doc.Layers().Used(slot)) return Fail(e, "no layer in slot " + a[0]);
  return c.doc.SetActiveLayer(slot);
}

bool ActiveLayer(Context& c, std::string& e, Layer*& l) {
  l = c.doc.Layers().Active();
  return l || Fail(e, "the document has no active layer");
}

bool LayerTransparency(Context& c, const Args& a, std::string& e) {
  int t;
  Layer* l;
  if (!ParseInt(a[0], t) || t < 0 || t > 255) return Fail(e, "transparency must be 0…255");
  if (!ActiveLayer(c, e, l)) return false;
  l->transparency = uint8_t(t);
  c.doc.SetModified(true);
  c.doc.LayersChanged();
  return true;
}

int BlendFromName(const std::string& s) {
  static const struct {
    const char* name;
    int mode;
  } names[] = {{"normal", 0},       {"multiply", 2},   {"screen", 3},
               {"darken", 4},       {"lighten", 5},    {"difference", 6},
               {"inverse-difference", 7}, {"exclusion", 8}, {"overlay", 9}};
  for (auto& n : names)
    if (s == n.name) return n.mode;
  int v;
  if (ParseInt(s, v) && (v == 0 || (v >= 2 && v <= 9))) return v;
  return -1;
}

bool LayerBlend(Context& c, const Args& a, std::string& e) {
  const int mode = BlendFromName(a[0]);
  Layer* l;
  if (mode < 0) return Fail(e, "unknown blend mode: " + a[0]);
  if (!ActiveLayer(c, e, l)) return false;
  l->blend = uint8_t(mode);
  c.doc.SetModified(true);
  c.doc.LayersChanged();
  return true;
}

bool LayerVisible(Context& c, const Args& a, std::string& e) {
  Layer* l;
  if (a[0] != "0" && a[0] != "1") return Fail(e, "visibility must be 0 or 1");
  if (!ActiveLayer(c, e, l)) return false;
  l->visible = a[0] == "1" ? 1 : 0;
  c.doc.SetModified(true);
  c.doc.LayersChanged();
  return true;
}

bool LayerOffset(Context& c, const Args& a, std::string& e) {
  int dx, dy;
  Layer* l;
  if (!ParseInt(a[0], dx) || !ParseInt(a[1], dy)) return Fail(e, "offsets must be numbers");
  if (!ActiveLayer(c, e, l)) return false;
  // Right and down as the user sees them: canvas column c shows layer column c − x,
  // canvas row r (from the bottom) shows layer row r + y.
  c.doc.RevertLayer(c.doc.Layers().active, false);
  l->x += dx;
  l->y += dy;
  c.doc.RecordStep("전체영상 위치이동", kStepPixels, -1);
  c.doc.LayersChanged();
  return true;
}

bool RenameLayer(Context& c, const Args& a, std::string& e) {
  if (a[0].empty()) return Fail(e, "the name must not be empty");
  c.host.pendingText = a[0];
  return c.doc.RenameLayer() || Fail(e, "rename failed");
}

bool ToRaster(Context& c, const Args&, std::string& e) {
  const Layer* l = c.doc.Layers().Active();
  if (!l || l->kind != kLayerText) return Fail(e, "the active layer is not a text layer");
  return c.doc.ConvertToRaster();
}

bool To8Bit(Context& c, const Args&, std::string& e) {
  if (c.doc.Layers().header.bitsPerPixel <= 8) return true;  // already a palette picture
  return c.doc.ColourTo8Bit() || Fail(e, "the conversion to 8 bits failed");
}

bool PasteFile(Context& c, const Args& a, std::string& e) {
  // The picture arrives as another program's copy would: a plain packed DIB.
  CImageBuffer img;
  if (!LoadFile(img, a[0], FormatFromPath(a[0]))) return Fail(e, a[0] + ": " + img.LastError());
  if (!c.host.PutClipboard(img.ToGlobalMemory())) return Fail(e, "clipboard unavailable");
  return c.doc.PasteFromClipboard() || Fail(e, "paste failed");
}

const Command kCommands[] = {
    {"to-8bit", 0, 0, "", "8-bit colour with an optimal palette (octree)", &To8Bit},
    {"flatten", 0, 0, "", "compose every layer into the bottom layer", DOC_COMMAND(Flatten)},
    {"undo", 0, 0, "", "undo the last step", &Undo},
    {"redo", 0, 0, "", "redo the next step", &Redo},
    {"add-layer", 0, 0, "", "add a transparent layer above the active layer", DOC_COMMAND(AddLayer)},
    {"delete-layer", 0, 0, "", "delete the active layer",
     [](Context& c, const Args&, std::string&) { return c.doc.DeleteLayer(c.doc.Layers().active, true); }},
    {"duplicate-layer", 0, 0, "", "copy the active layer onto the top of the stack", DOC_COMMAND(DuplicateLayer)},
    {"merge-down", 0, 0, "", "merge the layer above into the active layer", &MergeDown},
    {"merge-up", 0, 0, "", "merge the active layer into the layer below", &MergeUp},
    {"set-active", 1, 1, "SLOT", "make the layer in SLOT (0…39) active", &SetActive},
    {"layer-transparency", 1, 1, "T", "set the active layer's transparency (0 opaque … 255)", &LayerTransparency},
    {"layer-blend", 1, 1, "MODE",
     "set the active layer's blend mode (normal, multiply, screen, darken, lighten, difference, "
     "inverse-difference, exclusion, overlay, or 0, 2…9)",
     &LayerBlend},
    {"layer-visible", 1, 1, "0|1", "hide or show the active layer", &LayerVisible},
    {"layer-offset", 2, 2, "DX DY", "move the active layer right and down by DX, DY pixels", &LayerOffset},
    {"rename-layer", 1, 1, "NAME", "rename the active layer", &RenameLayer},
    {"to-raster", 0, 0, "", "convert the active text layer to a raster layer", &ToRaster},
    {"paste-file", 1, 1, "FILE", "paste the picture of FILE as a new top layer", &PasteFile},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(std::string_view name) {
  for (const Command& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

std::string Validate(const std::vector<std::string>& words) {
  if (words.empty()) return "empty command";
  const Command* c = FindCommand(words[0]);
  if (!c) return "unknown command: " + words[0];
  const int n = int(words.size()) - 1;
  if (n < c->minArgs || n > c->maxArgs) {
    const std::string want = c->minArgs == c->maxArgs ? std::to_string(c->minArgs)
                                                      : Format("%d to %d", c->minArgs, c->maxArgs);
    std::string text = std::string(c->name) + ": expects " + want + (c->maxArgs == 1 ? " argument" : " arguments");
    if (*c->usage) text += std::string(" (") + c->usage + ")";
    return text + ", got " + std::to_string(n);
  }
  return {};
}

}  // namespace velmira::cli
