#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "formats/format_dispatch.h"
#include "image/text.h"
#include "processing/doc_commands.h"
#include "processing/effects.h"
#include "processing/transform_commands.h"
#include "cli/tool_commands.h"
#include "cli/decoration_commands.h"

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

// ------------------------------------------------------------ geometric transforms

bool ParseTurn(const std::string& s, int& degrees, std::string& e) {
  if (!ParseInt(s, degrees) || (degrees != 90 && degrees != -90 && degrees != 180))
    return Fail(e, "the angle must be 90, -90 or 180");
  return true;
}

bool RotateCanvasCmd(Context& c, const Args& a, std::string& e) {
  int d;
  if (!ParseTurn(a[0], d, e)) return false;
  return RotateCanvas(c.doc, d) || (c.host.anyMessage ? false : Fail(e, "rotation failed"));
}

bool RotateLayerCmd(Context& c, const Args& a, std::string& e) {
  int d;
  if (!ParseTurn(a[0], d, e)) return false;
  return RotateLayer(c.doc, d) || (c.host.anyMessage ? false : Fail(e, "rotation failed"));
}

bool ResizeCmd(Context& c, const Args& a, std::string& e) {
  int w, h;
  if (!ParseInt(a[0], w) || !ParseInt(a[1], h) || w < 1 || h < 1 || w > 65535 || h > 65535)
    return Fail(e, "width and height must be 1…65535");
  const auto& hd = c.doc.Layers().header;
  if (w == hd.canvasWidth && h == hd.canvasHeight) return true;  // the same size: nothing to do
  return ResizePicture(c.doc, w, h) || Fail(e, "resize failed (out of memory?)");
}

bool CanvasCmd(Context& c, const Args& a, std::string& e) {
  int w, h, anchor;
  if (!ParseInt(a[0], w) || !ParseInt(a[1], h) || w < 1 || h < 1 || w > 65535 || h > 65535)
    return Fail(e, "width and height must be 1…65535");
  if (!ParseInt(a[2], anchor) || anchor < 0 || anchor > 8)
    return Fail(e, "the anchor must be 0…8 (0 top-left, 4 centre, 8 bottom-right)");
  const auto& hd = c.doc.Layers().header;
  if (w == hd.canvasWidth && h == hd.canvasHeight) return true;
  return CanvasSize(c.doc, w, h, anchor) || Fail(e, "canvas size failed (out of memory?)");
}

bool FreeRotateCmd(Context& c, const Args& a, std::string& e) {
  double d;
  if (!ParseDouble(a[0], d) || !(d > -3600.0 && d < 3600.0)) return Fail(e, "the angle must be a number of degrees");
  return FreeRotate(c.doc, float(d)) || (c.host.anyMessage ? false : Fail(e, "free rotation failed"));
}

bool QuadCmd(Context& c, const Args& a, std::string& e) {
  QuadPoint q[4];
  for (int k = 0; k < 4; ++k) {
    int x, y;
    if (!ParseInt(a[size_t(2 * k)], x) || !ParseInt(a[size_t(2 * k + 1)], y) || std::abs(x) > 100000 ||
        std::abs(y) > 100000)
      return Fail(e, "corners must be whole picture coordinates");
    q[k] = {double(x), double(y)};
  }
  int bw, bh;
  {
    QuadPoint s[4];
    double mx = q[0].x, my = q[0].y;
    for (int k = 1; k < 4; ++k) mx = std::min(mx, q[k].x), my = std::min(my, q[k].y);
    for (int k = 0; k < 4; ++k) s[k] = {q[k].x - mx, q[k].y - my};
    QuadBoxSize(s, &bw, &bh);
  }
  if (bw < 1 || bh < 1) return Fail(e, "the corners enclose no area");
  if (int64_t(bw) * bh > (int64_t(1) << 28)) return Fail(e, "the quadrilateral is too large");
  c.doc.SetZoom(1.0f);
  return FreeTransform(c.doc, FreeMode::Perspective, q) ||
         (c.host.anyMessage ? false : Fail(e, "the corners give parallel edges; nothing changed"));
}

bool ShadowCmd(Context& c, const Args& a, std::string& e) {
  int size;
  Rgbq colour;
  if (!ParseInt(a[0], size) || size < 0 || size > kMaxEffectSize) return Fail(e, "the size must be 0…17");
  if (!ParseColour(a[1], colour)) return Fail(e, "the colour must be #RRGGBB");
  if (a.size() == 3 && a[2] != "transparent") return Fail(e, "the third word may only be 'transparent'");
  return ApplyLayerEffect(c.doc, false, size, colour, a.size() == 3) ||
         (c.host.anyMessage ? false : Fail(e, "the layer effect failed"));
}

bool FlipCmd(Context& c, bool layer, bool horizontal, std::string& e) {
  const bool ok = layer ? FlipLayer(c.doc, horizontal) : FlipCanvas(c.doc, horizontal);
  return ok || (c.host.anyMessage ? false : Fail(e, "flip failed"));
}

// ------------------------------------------------------------ adjustments and filters

bool IntIn(const std::string& s, int lo, int hi, int& out) { return ParseInt(s, out) && out >= lo && out <= hi; }

// Refusals the document shows itself (text layers) end the run without a second line.
bool Refused(Context& c, std::string& e, const char* why) {
  return c.host.anyMessage ? false : Fail(e, why);
}

bool BrightnessContrastCmd(Context& c, const Args& a, std::string& e) {
  int b, k;
  if (!IntIn(a[0], -255, 255, b) || !IntIn(a[1], -255, 255, k)) return Fail(e, "brightness and contrast must be -255…255");
  return BrightnessContrast(c.doc, b, k) || Refused(c, e, "nothing changed");
}

bool RgbOffsetCmd(Context& c, const Args& a, std::string& e) {
  int r, g, b;
  if (!IntIn(a[0], -99, 99, r) || !IntIn(a[1], -99, 99, g) || !IntIn(a[2], -99, 99, b))
    return Fail(e, "the offsets must be -99…99");
  return ChannelOffsets(c.doc, r, g, b) || Refused(c, e, "nothing changed");
}

bool LevelsCmd(Context& c, const Args& a, std::string& e) {
  static const char* names[4] = {"all", "red", "green", "blue"};
  int ch = -1, lo, hi;
  for (int i = 0; i < 4; ++i)
    if (a[0] == names[i]) ch = i;
  if (ch < 0 && !IntIn(a[0], 0, 3, ch)) return Fail(e, "the channel must be 0…3 (all, red, green, blue)");
  const bool automatic = a[1] == "-1" && a[2] == "-1";
  if (!automatic && (!IntIn(a[1], 0, 255, lo) || !IntIn(a[2], 0, 255, hi) || lo >= hi))
    return Fail(e, "LO and HI must be 0…255 with LO below HI (or -1 -1 for each channel's own range)");
  if (automatic) lo = hi = -1;
  return Levels(c.doc, ch, lo, hi) || Refused(c, e, "the channel holds a single level; nothing changed");
}

bool ThresholdCmd(Context& c, const Args& a, std::string& e) {
  static const char* names[3] = {"fs", "ordered", "absolute"};
  int m = -1, t;
  for (int i = 0; i < 3; ++i)
    if (a[0] == names[i]) m = i;
  if (m < 0) return Fail(e, "the method must be fs, ordered or absolute");
  const FilterParam& p = ThresholdParameters(TwoToneMethod(m)).p[0];
  if (a.size() < 2)
    t = p.def;
  else if (!IntIn(a[1], p.min, p.max, t))
    return Fail(e, "the threshold must be 0…255");
  return TwoTone(c.doc, TwoToneMethod(m), t) || Refused(c, e, "nothing changed");
}

// A filter of the list with its parameters in the table's order; missing ones take
// the table's defaults, given ones must lie in the slider's range.
bool FilterCmd(Context& c, int index, const Args& a, std::string& e) {
  const char* name = FilterList()[size_t(index)].name;
  const FilterParams& row = ParametersFor(name);
  int params[3];
  for (int i = 0; i < 3; ++i) params[i] = row.p[i].def;
  for (size_t i = 0; i < a.size() && i < 3; ++i) {
    const FilterParam& p = row.p[i];
    if (!IntIn(a[i], p.min, p.max, params[i]))
      return Fail(e, Format("parameter %d (%s) must be %d…%d", int(i) + 1, p.label, p.min, p.max));
  }
  return ApplyFilter(c.doc, index, params) || Refused(c, e, "nothing changed");
}

#define FILTER_COMMAND(index) \
  [](Context& c, const Args& a, std::string& e) { return FilterCmd(c, index, a, e); }

// The channel documents are written beside OUTPUT (else beside INPUT) with the
// channel's letter: out-Y.bmp, out-U.bmp, out-V.bmp.
bool SplitCmd(Context& c, ChannelSet set, std::string& e) {
  const std::filesystem::path base = !c.outputPath.empty() ? std::filesystem::path(c.outputPath) : c.doc.Path();
  if (base.empty()) return Fail(e, "no file name to put the channel pictures beside");
  std::vector<CMirvDoc*> made;
  if (!SplitToDocuments(c.doc, set, &made)) return Refused(c, e, "the split failed");
  static const char* yuv[3] = {"Y", "U", "V"};
  static const char* hsl[3] = {"H", "S", "L"};
  std::string ext = base.extension().string();
  if (ExtensionCode(base) < 0 || ExtensionCode(base) > 3) ext = ".bmp";
  for (size_t i = 0; i < made.size() && i < 3; ++i) {
    std::filesystem::path p = base;
    p.replace_filename(base.stem().string() + "-" + (set == ChannelSet::Yuv ? yuv[i] : hsl[i]) + ext);
    if (!made[i]->OnSaveDocument(p)) return Fail(e, "cannot write " + p.string());
  }
  return true;
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
    {"flip-h", 0, 0, "", "mirror every layer left to right",
     [](Context& c, const Args&, std::string& e) { return FlipCmd(c, false, true, e); }},
    {"flip-v", 0, 0, "", "mirror every layer top to bottom",
     [](Context& c, const Args&, std::string& e) { return FlipCmd(c, false, false, e); }},
    {"flip-layer-h", 0, 0, "", "mirror the active layer left to right",
     [](Context& c, const Args&, std::string& e) { return FlipCmd(c, true, true, e); }},
    {"flip-layer-v", 0, 0, "", "mirror the active layer top to bottom",
     [](Context& c, const Args&, std::string& e) { return FlipCmd(c, true, false, e); }},
    {"rotate", 1, 1, "90|-90|180", "turn the whole canvas clockwise by the angle", &RotateCanvasCmd},
    {"rotate-layer", 1, 1, "90|-90|180", "turn the active layer clockwise by the angle", &RotateLayerCmd},
    {"resize", 2, 2, "W H", "resample the picture to W x H pixels", &ResizeCmd},
    {"canvas", 3, 3, "W H ANCHOR",
     "new canvas of W x H with the picture placed by ANCHOR 0-8 (0 top-left, 4 centre, 8 bottom-right)", &CanvasCmd},
    {"free-rotate", 1, 1, "DEGREES", "rotate the active layer freely about its centre (clockwise)", &FreeRotateCmd},
    {"quad", 8, 8, "X0 Y0 ... X3 Y3",
     "map the active layer onto the corners top-left, top-right, bottom-right, bottom-left "
     "(pixel edges: 0 0 W 0 W H 0 H is the picture itself)",
     &QuadCmd},
    {"shadow", 2, 3, "SIZE COLOUR [transparent]", "soft shadow (size 0-17) under the active layer's content",
     &ShadowCmd},
    {"select-rect", 4, 4, "L T R B", "select the rectangle between two corners (both included)", &SelectRectCmd},
    {"select-colour-range", 3, 3, "X Y TOL",
     "select every pixel whose colour differs from the one at X, Y by at most TOL (sum over R, G, B)",
     &SelectColourRangeCmd},
    {"magic-wand", 3, 3, "X Y TOL",
     "select the 4-connected region around X, Y of colours closer than TOL to it", &MagicWandCmd},
    {"invert-selection", 0, 0, "", "select what is not selected and the reverse", &InvertSelectionCmd},
    {"clear-selection", 0, 0, "", "drop the selection (everything counts as selected)", &ClearSelectionCmd},
    {"fill", 3, 3, "X Y TOL",
     "flood the 8-connected region from X, Y with the --fg colour; neighbours closer than TOL (R+G+B+alpha) join",
     &FillCmd},
    {"gradient", 6, 6, "X1 Y1 X2 Y2 KIND MODE",
     "gradient across the selection along the drag; KIND 1 one-way, 2 two-way; MODE 1 --fg fading to black, 2 --bg to --fg",
     &GradientCmd},
    {"stroke", 4, 4, "X1 Y1 X2 Y2", "brush stroke in the --fg colour with the --brush size", &StrokeCmd},
    {"text", 4, 200, "X Y SIZE TEXT",
     "new text layer, first line's top-left at X, Y; SIZE as the text dialog's (1-500); --fg colour, "
     "--font and --font-style; \\n in TEXT starts a new line", &TextCmd},
    {"edit-text", 1, 200, "TEXT", "replace the active text layer's text, keeping its place and font", &EditTextCmd},
    {"calendar", 3, 3, "YEAR MONTH SIZE",
     "month calendar in a new layer at the canvas centre (the canvas grows to hold it); SIZE as the size list's "
     "(drawn at SIZE + 8); --fg colour", &CalendarCmd},
    {"frame", 2, 2, "STYLE THICKNESS",
     "photo frame in the layer \"[ImgFrame]\" (replacing an earlier one): STYLE 0 shaded, 1 bevel, 2 two-colour "
     "bevel, 3 lit sides; THICKNESS at least 5; colours --fg and --bg", &FrameCmd},
    {"brightness-contrast", 2, 2, "B C", "brightness and contrast, each -255…255", &BrightnessContrastCmd},
    {"rgb-offset", 3, 3, "R G B", "add -99…99 to red, green and blue inside the selection", &RgbOffsetCmd},
    {"levels", 3, 3, "CH LO HI",
     "stretch LO…HI to 0…255 (CH 0 all, 1 red, 2 green, 3 blue; -1 -1: each channel's own range)", &LevelsCmd},
    {"auto-colour", 0, 0, "", "stretch red, green and blue over their own 1% clipped ranges",
     [](Context& c, const Args&, std::string& e) { return AutoColour(c.doc) || Refused(c, e, "the picture holds a single level"); }},
    {"invert", 0, 0, "", "invert the active layer",
     [](Context& c, const Args&, std::string& e) { return Invert(c.doc) || Refused(c, e, "nothing changed"); }},
    {"greyscale", 0, 0, "", "desaturate every layer",
     [](Context& c, const Args&, std::string& e) { return GreyscaleAllLayers(c.doc) || Refused(c, e, "nothing changed"); }},
    {"desaturate-layer", 0, 0, "", "desaturate the active layer",
     [](Context& c, const Args&, std::string& e) { return DesaturateActiveLayer(c.doc) || Refused(c, e, "nothing changed"); }},
    {"threshold", 1, 2, "fs|ordered|absolute [T]", "two-tone conversion of every layer with threshold T (0…255)",
     &ThresholdCmd},
    {"to-24bit", 0, 0, "", "a palette picture back to 24-bit colour",
     [](Context& c, const Args&, std::string& e) { return ToTrueColour(c.doc) || Refused(c, e, "conversion failed"); }},
    {"sharpen", 0, 0, "", "grey sharpening convolution", FILTER_COMMAND(kFilterSharpen)},
    {"outline", 0, 1, "[C]", "grey outline, centre weight C (5…20)", FILTER_COMMAND(kFilterOutline)},
    {"emboss", 0, 1, "[A]", "grey emboss of strength A (1…10)", FILTER_COMMAND(kFilterEmboss)},
    {"blur", 0, 1, "[N]", "mean over an N x N window (1…9)", FILTER_COMMAND(kFilterBlur)},
    {"soften", 0, 1, "[N]", "N x N window weighing the centre N x N (1…9)", FILTER_COMMAND(kFilterSoften)},
    {"erode", 0, 1, "[N]", "shrink bright areas: minimum over N x N (2…20)", FILTER_COMMAND(kFilterShrink)},
    {"dilate", 0, 1, "[N]", "grow bright areas: maximum over N x N (2…20)", FILTER_COMMAND(kFilterGrow)},
    {"edge-emphasis", 0, 2, "[A [B]]", "darken edges of at least A (0…99) by strength B (0…10)",
     FILTER_COMMAND(kFilterEdgeEmphasis)},
    {"denoise", 0, 2, "[S [Q]]", "absorb specks up to S (2…5) with absorption Q (1…4)", FILTER_COMMAND(kFilterDenoise)},
    {"region-fill", 0, 1, "[T]", "flat regions within colour tolerance T (20…70)", FILTER_COMMAND(kFilterRegionFill)},
    {"split-yuv", 0, 0, "", "write Y, U and V planes beside OUTPUT as NAME-Y, NAME-U, NAME-V",
     [](Context& c, const Args&, std::string& e) { return SplitCmd(c, ChannelSet::Yuv, e); }},
    {"split-hsl", 0, 0, "", "write hue, saturation and lightness planes beside OUTPUT as NAME-H, NAME-S, NAME-L",
     [](Context& c, const Args&, std::string& e) { return SplitCmd(c, ChannelSet::Hsl, e); }},
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
