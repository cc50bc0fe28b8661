// The drawing tools, the fill and the gradient, and velmira-cli's painting commands
// that drive the same pixel routines.
#include <array>

#include "commands/tool_args.h"
#include "image/ui_text.h"
#include "tools/fill.h"
#include "tools/paint.h"
#include "tools/tool_ids.h"
#include "tools/view_geometry.h"

namespace velmira {

namespace {

using args::Fail;
using args::ParseInt;

constexpr const char* kDragNotClick = QT_TR_NOOP("클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요");

}  // namespace

// Picture points (x from the left, y from the top) to pixels of the active layer.
// A point beyond the layer grows it, as a click there does in the editor.
template <size_t N>
bool MapPicturePoints(CommandContext& c, const CommandArgs& a, size_t first, std::array<Point, N>& out,
                      std::string& e) {
  static_assert(N == 1 || N == 2);
  std::array<Point, N> pic;
  for (size_t i = 0; i < N; ++i)
    if (!ParseInt(a[first + 2 * i], pic[i].x) || !ParseInt(a[first + 2 * i + 1], pic[i].y))
      return Fail(e, "coordinates must be whole numbers");
  if (!c.Doc().Layers().Active()) return Fail(e, "the document has no active layer");
  bool ok;
  if constexpr (N == 1)
    ok = c.Doc().MapToLayer(pic[0].x, pic[0].y, true, &out[0].x, &out[0].y);
  else
    ok = c.Doc().MapSegmentToLayer(pic[0].x, pic[0].y, pic[1].x, pic[1].y, true, &out[0].x, &out[0].y, &out[1].x,
                                   &out[1].y);
  return ok || Fail(e, "the point lies beyond what the layer can grow to");
}
template bool MapPicturePoints<1>(CommandContext&, const CommandArgs&, size_t, std::array<Point, 1>&, std::string&);
template bool MapPicturePoints<2>(CommandContext&, const CommandArgs&, size_t, std::array<Point, 2>&, std::string&);

bool ParseTolerance(const std::string& s, int& t, std::string& e) {
  return (ParseInt(s, t) && t >= 0) || Fail(e, "the tolerance must be a number of 0 or more");
}

// Selection and painting refuse text layers, as their tools do.
bool ToolMayWork(CommandContext& c, std::string& e) {
  if (!c.Doc().Layers().Active()) return Fail(e, "the document has no active layer");
  return !c.Doc().RefuseText(TextRule::Active);
}

namespace {

// A painting command through the document's edit frame with its history label;
// `refused` says why when the change did nothing and no message said so already.
bool Paint(CommandContext& c, const char* label, const std::function<bool(LayerStack&, Layer&)>& change,
           std::string& e, const char* refused = "nothing was painted") {
  return c.Doc().RunEdit(TextRule::Active, false, label, kStepPixels, change) || args::Refused(c, e, refused);
}

bool FillCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  return Paint(
      c, QT_TR_NOOP("채우기"),
      [&](LayerStack& L, Layer&) {
        return FloodFill(L, L.active, p[0].x, p[0].y, c.frame.foreground, tol, c.frame.borderSpread);
      },
      e, "the point lies outside the selection: nothing was filled");
}

bool GradientCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 2> p;
  int kind, mode;
  if (!ParseInt(a[4], kind) || (kind != 1 && kind != 2)) return Fail(e, "KIND must be 1 (one-way) or 2 (two-way)");
  if (!ParseInt(a[5], mode) || (mode != 1 && mode != 2)) return Fail(e, "MODE must be 1 (fade) or 2 (blend)");
  if (!ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  if (p[0] == p[1]) {
    c.host.ShowMessage(kDragNotClick);
    return false;
  }
  return Paint(
      c, QT_TR_NOOP("그라디언트"),
      [&](LayerStack& L, Layer&) {
        return ApplyGradient(L, L.active, p[0].x, p[0].y, p[1].x, p[1].y, kind, mode, c.frame.foreground,
                             c.frame.background) != GradientResult::Click;
      },
      e);
}

bool StrokeCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  std::array<Point, 2> p;
  if (!ToolMayWork(c, e) || !MapPicturePoints(c, a, 0, p, e)) return false;
  return Paint(
      c, QT_TR_NOOP("붓그리기"),
      [&](LayerStack& L, Layer&) {
        PaintStroke(L, L.active, p[0].x, p[0].y, p[1].x, p[1].y, c.frame.brushSize, c.frame.softEdge,
                    c.frame.foreground, false);
        return true;
      },
      e);
}

}  // namespace

void RegisterPaintCommands(CommandRegistry& r) {
  auto tool = [&r](int id, const char* label, std::vector<Placement> places) {
    r.Add({.id = id, .label = label, .needs = kNeedDocument, .places = std::move(places), .tool = true,
           .checkable = true});
  };
  auto draw = [](int order) { return Placement{"draw", order}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };

  tool(tool::kDrop, QT_TR_NOOP("물방울"), {draw(10), bar(280, QT_TR_NOOP("물방울 효과"))});
  tool(tool::kBrush, QT_TR_NOOP("붓 그리기"), {draw(20), bar(250, QT_TR_NOOP("붓으로 그리기"))});
  tool(tool::kLine, QT_TR_NOOP("선분"), {draw(30), bar(240, QT_TR_NOOP("선그리기"))});
  tool(tool::kCircle, QT_TR_NOOP("원 그리기"), {draw(40)});
  tool(tool::kPolyline, QT_TR_NOOP("다각선"), {draw(50)});
  tool(tool::kSpray, QT_TR_NOOP("스프레이"), {draw(60)});
  tool(tool::kEraser, QT_TR_NOOP("지우개"), {draw(70), bar(290, QT_TR_NOOP("지우개"))});
  tool(tool::kFill, QT_TR_NOOP("채우기"), {draw(80), bar(260, QT_TR_NOOP("채우기"))});
  tool(tool::kGradient, QT_TR_NOOP("그라디언트"), {Placement{"transform", 70}, bar(270, QT_TR_NOOP("그라디언트"))});
  tool(tool::kText, QT_TR_NOOP("글자입력"), {bar(300, QT_TR_NOOP("글자입력")), Placement{"quick/edit", 40}});
  tool(tool::kColourPicker, QT_TR_NOOP("픽셀값 추출"), {bar(370, QT_TR_NOOP("픽셀값 추출"))});

  r.Add({.name = "fill", .needs = kNeedDocument, .params = {{"X"}, {"Y"}, {"TOL"}},
         .help = "flood the 8-connected region from X, Y with the --fg colour; neighbours closer than TOL "
                 "(R+G+B+alpha) join",
         .run = &FillCmd});
  r.Add({.name = "gradient", .needs = kNeedDocument,
         .params = {{"X1"}, {"Y1"}, {"X2"}, {"Y2"}, {"KIND"}, {"MODE"}},
         .help = "gradient across the selection along the drag; KIND 1 one-way, 2 two-way; MODE 1 --fg fading to "
                 "black, 2 --bg to --fg",
         .run = &GradientCmd});
  r.Add({.name = "stroke", .needs = kNeedDocument, .params = {{"X1"}, {"Y1"}, {"X2"}, {"Y2"}},
         .help = "brush stroke in the --fg colour with the --brush size", .run = &StrokeCmd});
}

}  // namespace velmira
