#include "cli/tool_commands.h"

#include <array>

#include "tools/fill.h"
#include "tools/paint.h"
#include "tools/selection.h"
#include "tools/view_geometry.h"

namespace velmira::cli {

namespace {

using Args = std::vector<std::string>;

constexpr const char* kDragNotClick = "클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요";

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

// Picture points (x from the left, y from the top) to pixels of the active layer.
// A point beyond the layer grows it, as a click there does in the editor.
template <size_t N>
bool MapPoints(Context& c, const Args& a, size_t first, std::array<Point, N>& out, std::string& e) {
  static_assert(N == 1 || N == 2);
  std::array<Point, N> pic;
  for (size_t i = 0; i < N; ++i)
    if (!ParseInt(a[first + 2 * i], pic[i].x) || !ParseInt(a[first + 2 * i + 1], pic[i].y))
      return Fail(e, "coordinates must be whole numbers");
  if (!c.doc.Layers().Active()) return Fail(e, "the document has no active layer");
  bool ok;
  if constexpr (N == 1)
    ok = c.doc.MapToLayer(pic[0].x, pic[0].y, true, &out[0].x, &out[0].y);
  else
    ok = c.doc.MapSegmentToLayer(pic[0].x, pic[0].y, pic[1].x, pic[1].y, true, &out[0].x, &out[0].y, &out[1].x,
                                 &out[1].y);
  return ok || Fail(e, "the point lies beyond what the layer can grow to");
}

bool ParseTolerance(const std::string& s, int& t, std::string& e) {
  return (ParseInt(s, t) && t >= 0) || Fail(e, "the tolerance must be a number of 0 or more");
}

// Selection tools refuse text layers, as their buttons do.
bool SelectionAllowed(Context& c, std::string& e) {
  if (!c.doc.Layers().Active()) return Fail(e, "the document has no active layer");
  return !c.doc.RefuseText(TextRule::Active);
}

// A painting command through the document's edit frame with its history label;
// `refused` says why when the change did nothing and no message said so already.
bool Paint(Context& c, const char* label, const std::function<bool(LayerStack&, Layer&)>& change, std::string& e,
           const char* refused = "nothing was painted") {
  return c.doc.RunEdit(TextRule::Active, false, label, kStepPixels, change) ||
         (c.host.anyMessage ? false : Fail(e, refused));
}

}  // namespace

bool SelectRectCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 2> p;
  if (!SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  SelectRect(c.doc.Layers(), p[0].x, p[0].y, p[1].x, p[1].y);
  return true;
}

bool SelectColourRangeCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  LayerStack& L = c.doc.Layers();
  const Rgbq ref = L.ReadLayerColor(L.active, p[0].x, p[0].y, c.doc.ViewImage());
  ColourRange(L, ref, tol, false);
  return true;
}

bool MagicWandCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  MagicWand(c.doc.Layers(), p[0].x, p[0].y, tol, false);
  return true;
}

bool InvertSelectionCmd(Context& c, const Args&, std::string& e) {
  if (!c.doc.Layers().selectionExists) return Fail(e, "there is no selection to invert");
  InvertSelection(c.doc.Layers());
  return true;
}

bool ClearSelectionCmd(Context& c, const Args&, std::string& e) {
  if (!c.doc.Layers().Active()) return Fail(e, "the document has no active layer");
  ClearSelectionMask(c.doc.Layers());
  return true;
}

bool FillCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 1> p;
  int tol;
  if (!ParseTolerance(a[2], tol, e) || !SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  return Paint(c, "채우기", [&](LayerStack& L, Layer&) {
    return FloodFill(L, L.active, p[0].x, p[0].y, c.frame.foreground, tol, c.frame.borderSpread);
  }, e, "the point lies outside the selection: nothing was filled");
}

bool GradientCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 2> p;
  int kind, mode;
  if (!ParseInt(a[4], kind) || (kind != 1 && kind != 2)) return Fail(e, "KIND must be 1 (one-way) or 2 (two-way)");
  if (!ParseInt(a[5], mode) || (mode != 1 && mode != 2)) return Fail(e, "MODE must be 1 (fade) or 2 (blend)");
  if (!SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  if (p[0] == p[1]) {
    c.host.ShowMessage(kDragNotClick);
    return false;
  }
  return Paint(c, "그라디언트", [&](LayerStack& L, Layer&) {
    return ApplyGradient(L, L.active, p[0].x, p[0].y, p[1].x, p[1].y, kind, mode, c.frame.foreground,
                         c.frame.background) != GradientResult::Click;
  }, e);
}

bool StrokeCmd(Context& c, const Args& a, std::string& e) {
  std::array<Point, 2> p;
  if (!SelectionAllowed(c, e) || !MapPoints(c, a, 0, p, e)) return false;
  return Paint(c, "붓그리기", [&](LayerStack& L, Layer&) {
    PaintStroke(L, L.active, p[0].x, p[0].y, p[1].x, p[1].y, c.frame.brushSize, c.frame.softEdge,
                c.frame.foreground, false);
    return true;
  }, e);
}

}  // namespace velmira::cli
