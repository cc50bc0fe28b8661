// The geometric commands of the layer and picture menus and the layer effect. The
// flips and turns run at once; resize, canvas size, free rotation, the free
// transforms and the shadow are the editor's dialogs and modes, which collect the
// values and run the same routines the command line reaches here.
#include <algorithm>
#include <cstdlib>

#include "commands/registry.h"
#include "image/ui_text.h"
#include "processing/effects.h"
#include "processing/transform_commands.h"
#include "tools/tool_ids.h"

namespace velmira {

namespace {

using args::Fail;
using args::ParseInt;
using args::Refused;

bool ParseTurn(const std::string& s, int& degrees, std::string& e) {
  if (!ParseInt(s, degrees) || (degrees != 90 && degrees != -90 && degrees != 180))
    return Fail(e, "the angle must be 90, -90 or 180");
  return true;
}

bool ResizeCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int w, h;
  if (!ParseInt(a[0], w) || !ParseInt(a[1], h) || w < 1 || h < 1 || w > 65535 || h > 65535)
    return Fail(e, "width and height must be 1…65535");
  const auto& hd = c.Doc().Layers().header;
  if (w == hd.canvasWidth && h == hd.canvasHeight) return true;  // the same size: nothing to do
  return ResizePicture(c.Doc(), w, h) || Fail(e, "resize failed (out of memory?)");
}

bool CanvasCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int w, h, anchor;
  if (!ParseInt(a[0], w) || !ParseInt(a[1], h) || w < 1 || h < 1 || w > 65535 || h > 65535)
    return Fail(e, "width and height must be 1…65535");
  if (!ParseInt(a[2], anchor) || anchor < 0 || anchor > 8)
    return Fail(e, "the anchor must be 0…8 (0 top-left, 4 centre, 8 bottom-right)");
  const auto& hd = c.Doc().Layers().header;
  if (w == hd.canvasWidth && h == hd.canvasHeight) return true;
  return CanvasSize(c.Doc(), w, h, anchor) || Fail(e, "canvas size failed (out of memory?)");
}

bool FreeRotateCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  double d;
  if (!args::ParseDouble(a[0], d) || !(d > -3600.0 && d < 3600.0))
    return Fail(e, "the angle must be a number of degrees");
  return FreeRotate(c.Doc(), float(d)) || Refused(c, e, "free rotation failed");
}

bool QuadCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
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
  return FreeTransform(c.Doc(), FreeMode::Perspective, q) ||
         Refused(c, e, "the corners give parallel edges; nothing changed");
}

bool ShadowCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int size;
  Rgbq colour;
  if (!ParseInt(a[0], size) || size < 0 || size > kMaxEffectSize) return Fail(e, "the size must be 0…17");
  if (!args::ParseColour(a[1], colour)) return Fail(e, "the colour must be #RRGGBB");
  if (a.size() == 3 && a[2] != "transparent") return Fail(e, "the third word may only be 'transparent'");
  return ApplyLayerEffect(c.Doc(), false, size, colour, a.size() == 3) ||
         Refused(c, e, "the layer effect failed");
}

// A command with nothing to ask: the routine and the text when it changed nothing.
RunFunction Direct(std::function<bool(CMirvDoc&)> fn, const char* refused) {
  return [fn = std::move(fn), refused](CommandContext& c, const CommandArgs&, std::string& e) {
    return fn(c.Doc()) || Refused(c, e, refused);
  };
}

}  // namespace

void RegisterTransformCommands(CommandRegistry& r) {
  const unsigned editable = kNeedDocument | kNeedIdle | kNeedLayer;
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };
  auto layerTurn = [](int order) { return Placement{"transform/rotate-layer", order}; };
  auto canvasTurn = [](int order) { return Placement{"transform/rotate-canvas", order}; };
  auto quickEdit = [](int order) { return Placement{"quick/edit", order}; };
  auto decorate = [](int order) { return Placement{"quick/decorate", order}; };

  r.Add({.id = cmd::kResize, .name = "resize", .label = QT_TR_NOOP("그림크기조정"), .needs = editable,
         .params = {{"W", false, 1, 65535}, {"H", false, 1, 65535}},
         .help = "resample the picture to W x H pixels", .run = &ResizeCmd,
         .places = {Placement{"transform", 10}, bar(190, QT_TR_NOOP("이미지크기")), quickEdit(50)}});
  r.Add({.id = cmd::kFreeRotate, .name = "free-rotate", .label = QT_TR_NOOP("자유회전"), .needs = editable,
         .params = {{"DEGREES"}}, .help = "rotate the active layer freely about its centre (clockwise)",
         .run = &FreeRotateCmd, .places = {layerTurn(10), bar(140, QT_TR_NOOP("자유회전")), decorate(10)}, .checkable = true});
  const struct {
    int id;
    const char* label;
    Placement place;
    std::function<bool(CMirvDoc&)> fn;
  } turns[] = {
      {cmd::kRotateLayerCw, QT_TR_NOOP("90   시계방향"), layerTurn(20), [](CMirvDoc& d) { return RotateLayer(d, 90); }},
      {cmd::kRotateLayerCcw, QT_TR_NOOP("90   반시계방향"), layerTurn(30), [](CMirvDoc& d) { return RotateLayer(d, -90); }},
      {cmd::kRotateLayer180, QT_TR_NOOP("180  회전"), layerTurn(40), [](CMirvDoc& d) { return RotateLayer(d, 180); }},
      {cmd::kRotateCanvasCw, QT_TR_NOOP(" 90  시계방향"), canvasTurn(10), [](CMirvDoc& d) { return RotateCanvas(d, 90); }},
      {cmd::kRotateCanvasCcw, QT_TR_NOOP(" 90  반시계방향"), canvasTurn(20), [](CMirvDoc& d) { return RotateCanvas(d, -90); }},
      {cmd::kRotateCanvas180, QT_TR_NOOP("180  회전"), canvasTurn(30), [](CMirvDoc& d) { return RotateCanvas(d, 180); }},
  };
  for (const auto& t : turns) {
    CommandDef d{.id = t.id, .label = t.label, .needs = editable, .run = Direct(t.fn, "rotation failed"),
                 .places = {t.place}};
    if (t.id == cmd::kRotateCanvasCw) d.places.push_back(decorate(20));
    if (t.id == cmd::kRotateCanvasCcw) d.places.push_back(decorate(30));
    r.Add(std::move(d));
  }
  r.Add({.id = cmd::kFlipLayerV, .name = "flip-layer-v", .label = QT_TR_NOOP("수직제비회전"), .needs = editable,
         .help = "mirror the active layer top to bottom",
         .run = Direct([](CMirvDoc& d) { return FlipLayer(d, false); }, "flip failed"), .places = {layerTurn(50)}});
  r.Add({.id = cmd::kFlipLayerH, .name = "flip-layer-h", .label = QT_TR_NOOP("수평제비회전"), .needs = editable,
         .help = "mirror the active layer left to right",
         .run = Direct([](CMirvDoc& d) { return FlipLayer(d, true); }, "flip failed"), .places = {layerTurn(60)}});
  r.Add({.id = cmd::kFlipCanvasV, .name = "flip-v", .label = QT_TR_NOOP("수직제비회전"), .needs = editable,
         .help = "mirror every layer top to bottom",
         .run = Direct([](CMirvDoc& d) { return FlipCanvas(d, false); }, "flip failed"),
         .places = {canvasTurn(40)}});
  r.Add({.id = cmd::kFlipCanvasH, .name = "flip-h", .label = QT_TR_NOOP("수평제비회전"), .needs = editable,
         .help = "mirror every layer left to right",
         .run = Direct([](CMirvDoc& d) { return FlipCanvas(d, true); }, "flip failed"), .places = {canvasTurn(50)}});
  r.Add({.id = cmd::kMirror, .label = "", .needs = editable, .run = Direct(&MirrorComposed, "nothing changed")});
  r.Add({.id = cmd::kEllipse, .label = "", .needs = editable, .run = Direct(&EllipseTransform, "nothing changed")});
  r.Add({.name = "rotate", .needs = kNeedDocument, .params = {{"90|-90|180"}},
         .help = "turn the whole canvas clockwise by the angle",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           int d;
           return ParseTurn(a[0], d, e) && (RotateCanvas(c.Doc(), d) || Refused(c, e, "rotation failed"));
         }});
  r.Add({.name = "rotate-layer", .needs = kNeedDocument, .params = {{"90|-90|180"}},
         .help = "turn the active layer clockwise by the angle",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           int d;
           return ParseTurn(a[0], d, e) && (RotateLayer(c.Doc(), d) || Refused(c, e, "rotation failed"));
         }});

  // The free transforms are modes of the view: corners dragged with the mouse.
  r.Add({.id = tool::kTransformSize, .label = QT_TR_NOOP("크기"), .needs = editable,
         .places = {Placement{"transform/free", 10}, bar(420, QT_TR_NOOP("자유변형 크기"))}, .checkable = true});
  r.Add({.id = tool::kTransformSkew, .label = QT_TR_NOOP("뒤틀림"), .needs = editable,
         .places = {Placement{"transform/free", 20}, bar(150, QT_TR_NOOP("자유변형"))}, .checkable = true});
  r.Add({.id = tool::kTransformPerspective, .label = QT_TR_NOOP("원근감"), .needs = editable,
         .places = {Placement{"transform/free", 30}}, .checkable = true});
  r.Add({.name = "quad", .needs = kNeedDocument,
         .params = {{"X0"}, {"Y0"}, {"X1"}, {"Y1"}, {"X2"}, {"Y2"}, {"X3"}, {"Y3"}}, .usage = "X0 Y0 ... X3 Y3",
         .help = "map the active layer onto the corners top-left, top-right, bottom-right, bottom-left "
                 "(pixel edges: 0 0 W 0 W H 0 H is the picture itself)",
         .run = &QuadCmd});
  r.Add({.id = tool::kTouchTransform, .label = "", .needs = editable});

  r.Add({.id = cmd::kCanvasSize, .name = "canvas", .label = QT_TR_NOOP("캔버스 크기 늘리기"), .needs = editable,
         .params = {{"W", false, 1, 65535}, {"H", false, 1, 65535}, {"ANCHOR", false, 0, 8}},
         .help = "new canvas of W x H with the picture placed by ANCHOR 0-8 (0 top-left, 4 centre, 8 bottom-right)",
         .run = &CanvasCmd, .places = {Placement{"transform", 80}, bar(200, QT_TR_NOOP("캔버스 크기 조정"))}});
  r.Add({.id = cmd::kStretchSqueeze, .label = QT_TR_NOOP("늘리고쭈구리기"), .needs = editable,
         .places = {Placement{"transform", 90}, bar(170, QT_TR_NOOP("늘리고쭈구리기"))}});
  r.Add({.id = cmd::kLayerEffect, .name = "shadow", .label = QT_TR_NOOP("레이어효과"), .needs = editable,
         .params = {{"SIZE", false, 0, kMaxEffectSize}, {"COLOUR"}, {"transparent", true}},
         .help = "soft shadow (size 0-17) under the active layer's content", .run = &ShadowCmd,
         .places = {Placement{"layer", 70}, bar(450, QT_TR_NOOP("레이어 효과"))}});

  r.Add({.id = 1565, .label = "…", .needs = editable, .places = {quickEdit(60)}});
}

}  // namespace velmira
