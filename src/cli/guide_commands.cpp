#include "cli/guide_commands.h"

#include "tools/guide_path.h"

namespace velmira::cli {

namespace {

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

}  // namespace

bool PathCmd(Context& c, const std::vector<std::string>& a, std::string& e) {
  if (a.size() % 2 != 0) return Fail(e, "path: give the points as X Y pairs");
  const Layer* l = c.doc.Layers().Active();
  if (!l) return Fail(e, "the document has no active layer");
  // Every pair is checked before the first click, so a bad point changes nothing.
  std::vector<GuidePoint> points;
  for (size_t i = 0; i < a.size(); i += 2) {
    int x, y, lx, ly;
    if (!ParseInt(a[i], x) || !ParseInt(a[i + 1], y)) return Fail(e, "coordinates must be whole numbers");
    if (!PictureToLayer(c.doc, x, y, lx, ly) || lx < 0 || ly < 0 || lx >= l->width || ly >= l->height)
      return Fail(e, "the point " + a[i] + " " + a[i + 1] + " lies outside the active layer");
    points.push_back({lx, ly});
  }
  for (const GuidePoint& p : points) {
    const GuideClick r = AddGuidePoint(c.doc, p.x, p.y);
    // The refusals (too many points, a text layer) have shown their message.
    if (r == GuideClick::Full || r == GuideClick::Refused) return false;
  }
  return true;
}

bool PathToSelectionCmd(Context& c, const std::vector<std::string>&, std::string& e) {
  return GuidePathToSelection(c.doc) || (c.host.anyMessage ? false : Fail(e, "no selection was made"));
}

bool PathStrokeCmd(Context& c, const std::vector<std::string>& a, std::string& e) {
  int percent = 100;
  if (!a.empty() && (!ParseInt(a[0], percent) || percent < 0 || percent > 100))
    return Fail(e, "the length must be 0…100 (percent of the path)");
  return StrokeGuidePath(c.doc, percent) ||
         (c.host.anyMessage ? false : Fail(e, "the path has no segment to stroke"));
}

}  // namespace velmira::cli
