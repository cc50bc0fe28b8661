// The measuring commands: the tools, vector undo and redo, ending continuous
// measurement, the vector measurement layer, and velmira-cli's measure-… commands,
// export-measurements, save-measurements and load-measurements. Points are picture
// pixels from the top-left. The calibration, environment, export and file commands
// of the menu open dialogs in the editor (src/ui/measure_menu.cpp).
#include <cctype>
#include <cstdio>

#include "commands/registry.h"
#include "image/ui_text.h"
#include "measure/marks.h"
#include "measure/measure_commands.h"
#include "measure/objects.h"

namespace velmira {

namespace {

namespace mc = measure::cmd;
using measure::MPoint;

bool Points(const CommandArgs& a, size_t count, std::vector<MPoint>& out, std::string& e) {
  out.clear();
  for (size_t i = 0; i < count; ++i) {
    MPoint p;
    if (!args::ParseInt(a[2 * i], p.x) || !args::ParseInt(a[2 * i + 1], p.y))
      return args::Fail(e, "coordinates must be whole numbers");
    if (p.x < 0 || p.y < 0) return args::Fail(e, "coordinates must not be negative");
    out.push_back(p);
  }
  return true;
}

// Prints what the editor's label shows: the object's index, kind and value.
bool Report(CommandContext& c, bool ok, std::string& e) {
  if (!ok) return args::Refused(c, e, "nothing was measured");
  const auto& m = measure::MeasureOf(c.Doc());
  const int i = m.list.Count() - 1;
  const auto& o = m.list.Objects()[size_t(i)];
  std::printf("%d %s %s\n", i, o.kind.c_str(),
              measure::ObjectLabel(o, measure::StyleFrom(c.frame.measure, false, nullptr)).c_str());
  return true;
}

std::vector<CommandParam> XY(std::initializer_list<const char*> names) {
  std::vector<CommandParam> p;
  for (const char* n : names) p.push_back({n});
  return p;
}

// A figure of `least` to 300 points.
std::vector<CommandParam> Figure(int least) {
  std::vector<CommandParam> p;
  for (int i = 0; i < measure::kMaxFigurePoints; ++i) {
    p.push_back({"X", i >= least});
    p.push_back({"Y", i >= least});
  }
  return p;
}

template <size_t N, class F>
RunFunction Measure(F f) {
  return [f](CommandContext& c, const CommandArgs& a, std::string& e) {
    std::vector<MPoint> p;
    if (!Points(a, N, p, e)) return false;
    return Report(c, f(c.Doc(), p), e);
  };
}

RunFunction FigureRun(bool polygon) {
  return [polygon](CommandContext& c, const CommandArgs& a, std::string& e) {
    if (a.size() % 2) return args::Fail(e, "points come in X Y pairs");
    std::vector<MPoint> p;
    if (!Points(a, a.size() / 2, p, e)) return false;
    return Report(c, polygon ? measure::MeasurePolygon(c.Doc(), p) : measure::MeasurePolyline(c.Doc(), p), e);
  };
}

}  // namespace

void RegisterMeasureCommands(CommandRegistry& r) {
  r.AddSurface({"measure", QT_TR_NOOP("측정"), "menu", 95});
  const unsigned doc = kNeedDocument | kNeedIdle;
  const unsigned layer = doc | kNeedLayer;
  auto place = [](int order, bool sep = false) { return std::vector<Placement>{{"measure", order, sep}}; };

  // Panel, dialogs and files: their fronts are in the editor.
  r.Add({.id = 3480, .label = QT_TR_NOOP("측정 도구창"), .places = place(10)});
  auto tool = [&](int id, const char* label, int order, bool sep = false) {
    r.Add({.id = id, .label = label, .needs = kNeedDocument, .places = place(order, sep), .tool = true,
           .checkable = true, .asksToolChange = true});
  };
  tool(mc::kPointTool, QT_TR_NOOP("점표시"), 20, true);
  tool(mc::kSelectTool, QT_TR_NOOP("선택/수정"), 30);
  tool(mc::kSegmentTool, QT_TR_NOOP("선분"), 40);
  tool(mc::kParallelTool, QT_TR_NOOP("평행선분"), 50);
  tool(mc::kRectangleTool, QT_TR_NOOP("사각형"), 60);
  tool(mc::kCircleTool, QT_TR_NOOP("원"), 70);
  tool(mc::kAngleTool, QT_TR_NOOP("사이각"), 80);
  tool(mc::kDistanceTool, QT_TR_NOOP("기준선 거리"), 90);
  tool(mc::kPolylineTool, QT_TR_NOOP("다각선"), 100);
  tool(mc::kPolygonTool, QT_TR_NOOP("다각형"), 110);
  tool(mc::kAddPointTool, QT_TR_NOOP("다각형 점추가"), 120);
  tool(mc::kRemovePointTool, QT_TR_NOOP("다각형 점제거"), 130);
  tool(mc::kCurveTool, QT_TR_NOOP("곡선"), 140);
  r.Add({.id = 3485, .label = QT_TR_NOOP("곡선 등록"), .needs = layer,
         .enabled = [](const CMirvDoc& d) {
           return measure::MeasureOf(const_cast<CMirvDoc&>(d)).curveNodes.size() >= 2;
         },
         .places = place(150)});

  r.Add({.id = mc::kVectorUndo, .name = "measure-undo", .label = QT_TR_NOOP("벡터 편집 취소"), .needs = doc,
         .enabled = [](const CMirvDoc& d) { return measure::MeasureOf(const_cast<CMirvDoc&>(d)).list.CanUndo(); },
         .help = "undo the last measurement object",
         .run = [](CommandContext& c, const CommandArgs&, std::string& e) {
           return measure::VectorUndo(c.Doc()) || args::Fail(e, "there is no measurement to undo");
         },
         .places = place(160, true)});
  r.Add({.id = mc::kVectorRedo, .name = "measure-redo", .label = QT_TR_NOOP("벡터 편집 반복"), .needs = doc,
         .enabled = [](const CMirvDoc& d) { return measure::MeasureOf(const_cast<CMirvDoc&>(d)).list.CanRedo(); },
         .help = "redo the next measurement object",
         .run = [](CommandContext& c, const CommandArgs&, std::string& e) {
           return measure::VectorRedo(c.Doc()) || args::Fail(e, "there is no measurement to redo");
         },
         .places = place(170)});
  r.Add({.id = 3481, .label = QT_TR_NOOP("개체 제거"), .needs = doc,
         .enabled = [](const CMirvDoc& d) { return measure::MeasureOf(const_cast<CMirvDoc&>(d)).list.Selected() >= 0; },
         .run = [](CommandContext& c, const CommandArgs&, std::string&) { return measure::RemoveSelected(c.Doc()); },
         .places = place(180)});
  r.Add({.id = 3482, .label = QT_TR_NOOP("측정벡터 다시그리기"), .needs = layer,
         .run = [](CommandContext& c, const CommandArgs&, std::string&) {
           measure::RedrawAll(c.Doc());
           return true;
         },
         .places = place(190)});
  r.Add({.id = mc::kEndContinuous, .label = QT_TR_NOOP("벡터 연속 측정 해제"), .needs = doc,
         .run = [](CommandContext& c, const CommandArgs&, std::string&) {
           measure::EndContinuous(c.Doc());
           return true;
         },
         .places = place(200)});
  r.Add({.id = mc::kCalibration, .label = QT_TR_NOOP("측정 기준..."), .places = place(210, true)});
  r.Add({.id = mc::kEnvironment, .label = QT_TR_NOOP("분석 환경 설정"), .places = place(220)});
  r.Add({.id = mc::kExport, .label = QT_TR_NOOP("엑셀로 변환..."), .needs = layer, .places = place(230)});
  r.Add({.id = 3483, .label = QT_TR_NOOP("측정 파일 저장..."), .needs = layer, .places = place(240, true)});
  r.Add({.id = 3484, .label = QT_TR_NOOP("측정 파일 열기..."), .needs = layer, .places = place(250)});
  // The layer panel's button.
  r.Add({.id = mc::kMeasurementLayer, .label = QT_TR_NOOP("벡터측정레이어추가"), .needs = layer,
         .run = [](CommandContext& c, const CommandArgs&, std::string&) { return measure::AddMeasurementLayer(c.Doc()); }});

  // velmira-cli.
  r.Add({.name = "measure-point", .needs = layer, .params = XY({"X", "Y"}), .help = "numbered point marker",
         .run = Measure<1>([](CMirvDoc& d, auto& p) { return measure::MeasurePoint(d, p[0]); })});
  r.Add({.name = "measure-segment", .needs = layer, .params = XY({"X1", "Y1", "X2", "Y2"}),
         .help = "segment length in the calibrated unit",
         .run = Measure<2>([](CMirvDoc& d, auto& p) { return measure::MeasureSegment(d, p[0], p[1]); })});
  r.Add({.name = "measure-rect", .needs = layer, .params = XY({"X1", "Y1", "X2", "Y2"}), .help = "rectangle area",
         .run = Measure<2>([](CMirvDoc& d, auto& p) { return measure::MeasureRectangle(d, p[0], p[1]); })});
  r.Add({.name = "measure-circle", .needs = layer, .params = XY({"CX", "CY", "RX", "RY"}),
         .help = "circle through the rim point: radius and diameter",
         .run = Measure<2>([](CMirvDoc& d, auto& p) { return measure::MeasureCircle(d, p[0], p[1]); })});
  r.Add({.name = "measure-angle", .needs = layer, .params = XY({"X1", "Y1", "XV", "YV", "X2", "Y2"}),
         .help = "angle at the vertex between the two arms",
         .run = Measure<3>([](CMirvDoc& d, auto& p) { return measure::MeasureAngle(d, p[0], p[1], p[2]); })});
  r.Add({.name = "measure-polyline", .needs = layer, .params = Figure(2), .usage = "X Y X Y...",
         .help = "polyline length (2 to 300 points)", .run = FigureRun(false)});
  r.Add({.name = "measure-polygon", .needs = layer, .params = Figure(3), .usage = "X Y X Y X Y...",
         .help = "polygon area by its pixels (3 to 300 points)", .run = FigureRun(true)});
  r.Add({.name = "measure-distance", .needs = layer, .params = XY({"X1", "Y1", "X2", "Y2", "PX", "PY"}),
         .help = "distance from P to the reference line 1-2",
         .run = Measure<3>([](CMirvDoc& d, auto& p) { return measure::MeasureDistance(d, p[0], p[1], p[2]); })});
  r.Add({.name = "measure-remove", .needs = doc, .params = XY({"INDEX"}), .help = "remove a measurement object (from 0)",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           int i;
           if (!args::ParseInt(a[0], i)) return args::Fail(e, "INDEX must be a whole number");
           const auto& list = measure::MeasureOf(c.Doc()).list;
           if (i < 0 || i >= list.Count()) return args::Fail(e, "there is no object " + a[0]);
           if (!list.Objects()[size_t(i)].valid) return args::Fail(e, "object " + a[0] + " is already removed");
           return measure::RemoveObject(c.Doc(), i) || args::Fail(e, "the object could not be removed");
         }});
  r.Add({.name = "export-measurements", .needs = layer, .params = XY({"FILE"}),
         .help = "measured values as .txt, .csv or .xlsx (with the picture)",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           std::string ext = std::filesystem::path(a[0]).extension().string();
           for (auto& ch : ext) ch = char(std::tolower(static_cast<unsigned char>(ch)));
           if (ext != ".txt" && ext != ".csv" && ext != ".xlsx")
             return args::Fail(e, "FILE must end in .txt, .csv or .xlsx");
           if (!c.formats) return args::Fail(e, "no picture writer");
           return measure::ExportMeasurements(c.Doc(), *c.formats, a[0]) || args::Refused(c, e, "cannot write the file");
         }});
  r.Add({.name = "save-measurements", .needs = layer, .params = XY({"FILE"}),
         .help = "save the layers and measurement objects as a .sco file",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           return measure::SaveMeasurements(c.Doc(), a[0]) || args::Refused(c, e, "cannot write the file");
         }});
  r.Add({.name = "load-measurements", .needs = layer, .params = XY({"FILE"}),
         .help = "load a .sco file of the same picture",
         .run = [](CommandContext& c, const CommandArgs& a, std::string& e) {
           return measure::LoadMeasurements(c.Doc(), a[0]) || args::Refused(c, e, "cannot read the file");
         }});
}

}  // namespace velmira
