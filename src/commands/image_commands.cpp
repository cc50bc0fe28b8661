// The picture menu: tone and colour adjustments, colour depth, the channel split.
#include <filesystem>

#include "commands/registry.h"
#include "image/ui_text.h"
#include "processing/channels.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"

namespace velmira {

namespace {

using args::Fail;
using args::IntIn;
using args::Refused;

bool BrightnessContrastCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int b, k;
  if (!IntIn(a[0], -255, 255, b) || !IntIn(a[1], -255, 255, k))
    return Fail(e, "brightness and contrast must be -255…255");
  return BrightnessContrast(c.Doc(), b, k) || Refused(c, e, "nothing changed");
}

bool RgbOffsetCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int r, g, b;
  if (!IntIn(a[0], -99, 99, r) || !IntIn(a[1], -99, 99, g) || !IntIn(a[2], -99, 99, b))
    return Fail(e, "the offsets must be -99…99");
  return ChannelOffsets(c.Doc(), r, g, b) || Refused(c, e, "nothing changed");
}

bool LevelsCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  static const char* names[4] = {"all", "red", "green", "blue"};
  int ch = -1, lo, hi;
  for (int i = 0; i < 4; ++i)
    if (a[0] == names[i]) ch = i;
  if (ch < 0 && !IntIn(a[0], 0, 3, ch)) return Fail(e, "the channel must be 0…3 (all, red, green, blue)");
  const bool automatic = a[1] == "-1" && a[2] == "-1";
  if (!automatic && (!IntIn(a[1], 0, 255, lo) || !IntIn(a[2], 0, 255, hi) || lo >= hi))
    return Fail(e, "LO and HI must be 0…255 with LO below HI (or -1 -1 for each channel's own range)");
  if (automatic) lo = hi = -1;
  return Levels(c.Doc(), ch, lo, hi) || Refused(c, e, "the channel holds a single level; nothing changed");
}

bool ThresholdCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
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
  return TwoTone(c.Doc(), TwoToneMethod(m), t) || Refused(c, e, "nothing changed");
}

// The channel documents are written beside OUTPUT (else beside INPUT) with the
// channel's letter: out-Y.bmp, out-U.bmp, out-V.bmp.
bool SplitToFiles(CommandContext& c, ChannelSet set, std::string& e) {
  const std::filesystem::path base =
      !c.outputPath.empty() ? std::filesystem::path(c.outputPath) : c.Doc().Path();
  if (base.empty()) return Fail(e, "no file name to put the channel pictures beside");
  std::vector<CMirvDoc*> made;
  if (!SplitToDocuments(c.Doc(), set, &made)) return Refused(c, e, "the split failed");
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

RunFunction Simple(bool (*fn)(CMirvDoc&), const char* refused) {
  return [fn, refused](CommandContext& c, const CommandArgs&, std::string& e) {
    return fn(c.Doc()) || Refused(c, e, refused);
  };
}

}  // namespace

void RegisterImageCommands(CommandRegistry& r) {
  const unsigned editable = kNeedDocument | kNeedIdle | kNeedLayer;
  auto menu = [](int order, bool sep = false) { return Placement{"image", order, sep}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };
  auto quick = [](int order) { return Placement{"quick/colour", order}; };

  // The dialogs of these collect the values and run the same routines.
  r.Add({.id = cmd::kBrightnessContrast, .name = "brightness-contrast", .label = QT_TR_NOOP("명도·대비"), .needs = editable,
         .params = {{"B", false, -255, 255}, {"C", false, -255, 255}},
         .help = "brightness and contrast, each -255…255", .run = &BrightnessContrastCmd,
         .places = {menu(10), bar(410, QT_TR_NOOP("명도·대비")), quick(20)}});
  r.Add({.id = cmd::kColourOffsets, .name = "rgb-offset", .label = QT_TR_NOOP("RGB색상조정"), .needs = editable,
         .params = {{"R", false, -99, 99}, {"G", false, -99, 99}, {"B", false, -99, 99}},
         .help = "add -99…99 to red, green and blue inside the selection", .run = &RgbOffsetCmd,
         .places = {menu(20), bar(400, QT_TR_NOOP("색조정")), quick(30)}});
  r.Add({.id = cmd::kLevels, .name = "levels", .label = QT_TR_NOOP("픽셀분포조정"), .needs = editable,
         .params = {{"CH"}, {"LO"}, {"HI"}},
         .help = "stretch LO…HI to 0…255 (CH 0 all, 1 red, 2 green, 3 blue; -1 -1: each channel's own range)",
         .run = &LevelsCmd, .places = {menu(30), quick(40)}});
  r.Add({.id = cmd::kAutoColour, .name = "auto-colour", .label = QT_TR_NOOP("자동색상조정"), .needs = editable,
         .help = "stretch red, green and blue over their own 1% clipped ranges",
         .run = Simple(&AutoColour, "the picture holds a single level"), .places = {menu(40), quick(10)}});
  r.Add({.id = cmd::kInvert, .name = "invert", .label = QT_TR_NOOP("반전변환"), .needs = editable,
         .help = "invert the active layer", .run = Simple(&Invert, "nothing changed"), .places = {menu(50)}});
  r.Add({.id = cmd::kDesaturateLayer, .name = "desaturate-layer", .label = QT_TR_NOOP("레이어 채도 감소"), .needs = editable,
         .help = "desaturate the active layer", .run = Simple(&DesaturateActiveLayer, "nothing changed"),
         .places = {menu(60)}});
  r.Add({.id = cmd::kGreyscale, .name = "greyscale", .label = QT_TR_NOOP("그레이스케일 표현"), .needs = editable,
         .help = "desaturate every layer", .run = Simple(&GreyscaleAllLayers, "nothing changed"),
         .places = {menu(70, true), quick(50)}});
  r.Add({.id = cmd::kToTrueColour, .name = "to-24bit", .label = QT_TR_NOOP("RGB컬러 표현"), .needs = editable,
         .help = "a palette picture back to 24-bit colour", .run = Simple(&ToTrueColour, "conversion failed"),
         .places = {menu(80)}});
  r.Add({.id = cmd::kTwoTone, .name = "threshold", .label = QT_TR_NOOP("이진영상 으로"), .needs = editable,
         .params = {{"fs|ordered|absolute"}, {"T", true, 0, 255}},
         .help = "two-tone conversion of every layer with threshold T (0…255)", .run = &ThresholdCmd,
         .places = {menu(90)}});
  r.Add({.id = cmd::kColour8Bit, .name = "to-8bit", .label = QT_TR_NOOP("8 비트 컬러 표현"), .needs = editable,
         .help = "8-bit colour with an optimal palette (octree)",
         .run = [](CommandContext& c, const CommandArgs&, std::string& e) {
           if (c.Doc().Layers().header.bitsPerPixel <= 8) return true;  // already a palette picture
           return c.Doc().ColourTo8Bit() || Fail(e, "the conversion to 8 bits failed");
         },
         .places = {menu(100)}});
  // Reduction to 4 bits has no routine yet; the ids are kept so that nothing else takes them.
  r.Add({.id = cmd::kFourBitOptimal, .label = "", .needs = editable});
  r.Add({.id = cmd::kFourBitStandard, .label = "", .needs = editable});

  // The channel split: the editor shows the channels in windows of their own, the
  // command line writes them as files.
  // RGB needs the editor's channel dialog, so it has no run function of its own here.
  r.Add({.id = cmd::kSplitRgb, .label = QT_TR_NOOP("RGB구분"), .needs = editable, .places = {menu(110, true)}});
  r.Add({.id = cmd::kSplitYuv, .label = QT_TR_NOOP("YUV구분"), .needs = editable,
         .run = [](CommandContext& c, const CommandArgs&,
                   std::string&) { return SplitToDocuments(c.Doc(), ChannelSet::Yuv); },
         .places = {menu(120)}});
  r.Add({.id = cmd::kSplitHsl, .label = QT_TR_NOOP("HSL구분"), .needs = editable,
         .run = [](CommandContext& c, const CommandArgs&,
                   std::string&) { return SplitToDocuments(c.Doc(), ChannelSet::Hsl); },
         .places = {menu(130)}});
  // Pseudo colours do nothing in this editor; the id stays but cannot be chosen.
  r.Add({.id = cmd::kPseudoColours, .label = "", .needs = editable});
  r.Add({.name = "split-yuv", .needs = editable,
         .help = "write Y, U and V planes beside OUTPUT as NAME-Y, NAME-U, NAME-V",
         .run = [](CommandContext& c, const CommandArgs&, std::string& e) {
           return SplitToFiles(c, ChannelSet::Yuv, e);
         }});
  r.Add({.name = "split-hsl", .needs = editable,
         .help = "write hue, saturation and lightness planes beside OUTPUT as NAME-H, NAME-S, NAME-L",
         .run = [](CommandContext& c, const CommandArgs&, std::string& e) {
           return SplitToFiles(c, ChannelSet::Hsl, e);
         }});
}

}  // namespace velmira
