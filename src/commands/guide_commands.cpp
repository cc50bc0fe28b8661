// Guide paths: the panel's command 1509, its four tools and the two things a path
// becomes. The editor adds the panel and the view's outline through its fronts;
// velmira-cli reaches the same document functions through the run functions.
#include "commands/registry.h"
#include "image/ui_text.h"
#include "tools/guide_path.h"

namespace velmira {

namespace {

// path X Y [X Y]…: every pair is a click of the path tool (picture pixels), checked
// before the first click so that a bad point changes nothing.
bool PathCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  if (a.size() % 2 != 0) return args::Fail(e, "path: give the points as X Y pairs");
  const Layer* l = c.Doc().Layers().Active();
  if (!l) return args::Fail(e, "the document has no active layer");
  std::vector<GuidePoint> points;
  for (size_t i = 0; i < a.size(); i += 2) {
    int x, y, lx, ly;
    if (!args::ParseInt(a[i], x) || !args::ParseInt(a[i + 1], y))
      return args::Fail(e, "coordinates must be whole numbers");
    if (!PictureToLayer(c.Doc(), x, y, lx, ly) || lx < 0 || ly < 0 || lx >= l->width || ly >= l->height)
      return args::Fail(e, "the point " + a[i] + " " + a[i + 1] + " lies outside the active layer");
    points.push_back({lx, ly});
  }
  for (const GuidePoint& p : points) {
    const GuideClick r = AddGuidePoint(c.Doc(), p.x, p.y);
    // The refusals (too many points, a text layer) have shown their message.
    if (r == GuideClick::Full || r == GuideClick::Refused) return false;
  }
  return true;
}

bool PathToSelectionCmd(CommandContext& c, const CommandArgs&, std::string& e) {
  return GuidePathToSelection(c.Doc()) || args::Refused(c, e, "no selection was made");
}

bool PathStrokeCmd(CommandContext& c, const CommandArgs& a, std::string& e) {
  int percent = 100;
  if (!a.empty() && !args::IntIn(a[0], 0, 100, percent))
    return args::Fail(e, "the length must be 0…100 (percent of the path)");
  return StrokeGuidePath(c.Doc(), percent) || args::Refused(c, e, "the path has no segment to stroke");
}

}  // namespace

void RegisterGuideCommands(CommandRegistry& r) {
  constexpr unsigned kNeeds = kNeedDocument | kNeedIdle | kNeedLayer;
  // The panel (shown from the command bar) and its tools are the editor's fronts.
  r.Add({.id = guide::kPanel, .label = QT_TR_NOOP("경로설정"), .needs = kNeedDocument | kNeedView,
         .places = {Placement{"bar", 390, false, QT_TR_NOOP("경로설정")}}});
  r.Add({.id = guide::kMake, .label = QT_TR_NOOP("경로 만들기"), .needs = kNeeds | kNeedView, .asksToolChange = true});
  r.Add({.id = guide::kEdit, .label = QT_TR_NOOP("안내점 수정"), .needs = kNeeds | kNeedView, .asksToolChange = true});
  r.Add({.id = guide::kInsert, .label = QT_TR_NOOP("안내점 추가"), .needs = kNeeds | kNeedView, .asksToolChange = true});
  r.Add({.id = guide::kRemove, .label = QT_TR_NOOP("안내점 제거"), .needs = kNeeds | kNeedView, .asksToolChange = true});
  // With no point at all there is nothing to turn into anything; a short or open
  // path still runs, to say what it lacks.
  r.Add({.id = guide::kToSelection, .name = "path-to-selection", .label = QT_TR_NOOP("영역선택"), .needs = kNeeds,
         .enabled = [](const CMirvDoc& d) { return !d.guidePath.Empty(); },
         .help = "turn the closed guide path into a polygon selection", .run = &PathToSelectionCmd});
  r.Add({.id = guide::kStroke, .name = "path-stroke", .label = QT_TR_NOOP("선긋기"), .needs = kNeeds,
         .enabled = [](const CMirvDoc& d) { return d.guidePath.Count() >= 2; },
         .params = {{"PERCENT", true, 0, 100, 100}},
         .help = "brush stroke (--fg, --brush) along the guide path, the first PERCENT (default 100) of its length",
         .run = &PathStrokeCmd});
  // Clicks of the path tool; as many points as a path holds.
  CommandDef path{.name = "path", .needs = kNeeds, .usage = "X Y [X Y]...",
                  .help = "clicks of the guide-path tool: each point is added, one close to the first point closes "
                          "the path",
                  .run = &PathCmd};
  path.params = {{"X"}, {"Y"}};
  for (int i = 1; i < GuidePath::kMaxPoints + 1; ++i) {
    path.params.push_back({"X", true});
    path.params.push_back({"Y", true});
  }
  r.Add(std::move(path));
}

}  // namespace velmira
