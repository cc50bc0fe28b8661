#include "measure/measure_commands.h"
#include "image/ui_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <map>
#include <memory>

#include "image/compose.h"
#include "measure/export.h"
#include "measure/marks.h"
#include "measure/sco_file.h"

namespace velmira::measure {

const char* const kMsgSelectFirst = QT_TR_NOOP("[선택/수정] 버튼으로 대상을 정하고 실행하십시요");
const char* const kMsgRemoveSelect = QT_TR_NOOP("제거할 개체를 먼저 선택하십시요");
const char* const kMsgDragReference = "クリックではないＤｒａｇで先ず基準線を決めます。";
const char* const kMsgCurvePrompt = QT_TR_NOOP("등록하려면 위 버튼을 클릭. 취소는 Esc.");
const char* const kMsgCalibrationFull = QT_TR_NOOP("측정 기준은 30개까지 저장할 수 있습니다. 쓰지 않는 기준을 삭제하십시요.");
const char* const kMsgScoCanvas = QT_TR_NOOP("측정 파일의 그림 크기나 색상 수가 현재 그림과 다릅니다.");

namespace {

constexpr const char* kLabelMeasureLayer = QT_TR_NOOP("벡터측정레이어추가");

uint64_t LayerHash(const Layer& l) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&](const Plane& v) {
    for (uint8_t b : v) h = (h ^ b) * 1099511628211ull;
  };
  mix(l.pixels);
  mix(l.alpha);
  return h;
}

struct Base {
  uint64_t hash = 0;
  bool haveHash = false;
};

std::map<const DocMeasure*, Base>& Bases() {
  static std::map<const DocMeasure*, Base> b;
  return b;
}

void Changed(CMirvDoc& doc) {
  doc.SetCompositionStale(true);
  doc.SetModified(true);
  doc.Host().UpdateViews(doc, 0);
}

// Makes the kept copy belong to the active layer as it is now, unless the copy
// already does and the layer shows nothing but our own marks since then. A layer
// painted by other tools meanwhile becomes the new base (its marks stay baked in):
// restoring the old copy would throw that painting away.
void EnsureBase(CMirvDoc& doc, DocMeasure& m) {
  LayerStack& L = doc.Layers();
  const Layer* l = L.Active();
  if (!l) return;
  Base& b = Bases()[&m];
  const bool same = m.copySlot == L.active && m.copyX == l->x && m.copyY == l->y && m.copyW == l->width &&
                    m.copyH == l->height && m.keptPixels.size() == l->pixels.size() &&
                    m.keptAlpha.size() == l->alpha.size();
  if (same && b.haveHash && b.hash == LayerHash(*l)) return;
  m.copySlot = L.active;
  m.copyX = l->x, m.copyY = l->y, m.copyW = l->width, m.copyH = l->height;
  m.keptPixels = l->pixels;
  m.keptAlpha = l->alpha;
}

void Settle(CMirvDoc& doc, DocMeasure& m) {
  LayerStack& L = doc.Layers();
  if (const Layer* l = L.Active()) {
    Bases()[&m] = Base{LayerHash(*l), true};
    doc.CommitLayer(L.active);
  }
  Changed(doc);
}

MarkStyle Style(CMirvDoc& doc, bool highlighted) {
  return StyleFrom(doc.Frame().measure, highlighted, doc.Host().Rasterizer());
}

// Picture point to the active layer's own frame (x from its left, y from its top).
MPoint InLayerTop(const LayerStack& L, MPoint p) {
  const Layer* l = L.Active();
  if (!l) return p;
  const int top = l->y + L.header.canvasHeight - l->height;
  return {p.x - l->x, p.y - top};
}

float FigureArea(CMirvDoc& doc, const std::vector<MPoint>& pts) {
  const LayerStack& L = doc.Layers();
  const Layer* l = L.Active();
  if (!l) return 0;
  std::vector<MPoint> local;
  for (auto& p : pts) local.push_back(InLayerTop(L, p));
  return PolygonArea(local, l->width, l->height, CalibOf(doc.Frame()));
}

bool MayMark(CMirvDoc& doc) {
  if (!doc.Layers().Active()) return false;
  return !doc.RefuseText(TextRule::Active);
}

void Show(CMirvDoc& doc, DocMeasure& m, const MeasureObject& o) {
  m.lastLabel = ObjectLabel(o, Style(doc, false));
}

void Remeasure(CMirvDoc& doc, MeasureObject& o) {
  const Calib c = CalibOf(doc.Frame());
  const auto& p = o.points;
  if (o.kind == kind::kSegment && p.size() == 2) o.length = SegmentLength(p[0], p[1], c);
  else if (o.kind == kind::kPolyline) o.length = PolylineLength(p, c);
  else if (o.kind == kind::kRectangle && p.size() == 4) o.area = RectangleArea(p[0], p[1], c);
  else if (o.kind == kind::kPolygon) o.area = FigureArea(doc, p);
  else if (o.kind == kind::kAngle && p.size() == 3) o.angle = AngleValue(p[0], p[1], p[2]);
  else if (o.kind == kind::kCircle && p.size() == 2) o.radius = SegmentLength(p[0], p[1], c), o.diameter = 2 * o.radius;
  else if (o.kind == kind::kCurve) o.length = CurveLength(o.curve, c);
  else if (o.kind == kind::kCurveArea) {
    const Layer* l = doc.Layers().Active();
    Curve local = o.curve;
    for (auto* v : {&local.nodes, &local.first, &local.second})
      for (auto& q : *v) q = InLayerTop(doc.Layers(), q);
    o.area = l ? CurveArea(local, l->width, l->height, c) : 0;
  }
}

}  // namespace

DocMeasure& MeasureOf(CMirvDoc& doc) {
  if (!doc.measureData) {
    auto m = std::shared_ptr<DocMeasure>(new DocMeasure, [](DocMeasure* p) {
      Bases().erase(p);
      delete p;
    });
    doc.measureData = m;
  }
  return *static_cast<DocMeasure*>(doc.measureData.get());
}

Calib CalibOf(const FrameState& f) { return Calib{f.measure.refX, f.measure.refY, f.measure.realLength}; }

bool RegisterObject(CMirvDoc& doc, MeasureObject o) {
  if (!MayMark(doc)) return false;
  DocMeasure& m = MeasureOf(doc);
  if (o.kind == kind::kPoint) o.marker = m.list.NextMarker();
  switch (m.list.Add(o)) {
    case AddResult::Ok: break;
    case AddResult::Full: doc.Host().ShowMessage(FullMessage()); return false;
    default: return false;
  }
  LayerStack& L = doc.Layers();
  doc.RevertLayer(L.active, false);  // drops a running display, keeps earlier marks
  EnsureBase(doc, m);
  const MeasureObject& added = m.list.Objects()[size_t(m.list.Count() - 1)];
  DrawObject(L, L.active, added, Style(doc, false));
  Show(doc, m, added);
  Settle(doc, m);
  return true;
}

bool MeasurePoint(CMirvDoc& doc, MPoint p) {
  MeasureObject o;
  o.kind = kind::kPoint;
  o.points = {p};
  return RegisterObject(doc, o);
}

bool MeasureSegment(CMirvDoc& doc, MPoint a, MPoint b) {
  MeasureSettings& s = doc.Frame().measure;
  if (s.referenceRequested) {
    // A reference measurement for the calibration dialog: nothing is registered.
    const int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    char text[96];
    std::snprintf(text, sizeof text, UiText("(기준설정중) %d pixels"), int(std::sqrt(double(dx) * dx + double(dy) * dy)));
    MeasureOf(doc).lastLabel = text;
    s.referenceRequested = false;
    s.referenceDelivered = true;
    s.deliveredX = dx;
    s.deliveredY = dy;
    doc.Host().ShowMessage(text);
    return true;
  }
  MeasureObject o;
  o.kind = kind::kSegment;
  o.points = {a, b};
  o.length = SegmentLength(a, b, CalibOf(doc.Frame()));
  return RegisterObject(doc, o);
}

bool MeasureRectangle(CMirvDoc& doc, MPoint a, MPoint b) {
  MeasureObject o;
  o.kind = kind::kRectangle;
  o.points = {a, b, {a.x, b.y}, {b.x, a.y}};
  o.area = RectangleArea(a, b, CalibOf(doc.Frame()));
  return RegisterObject(doc, o);
}

bool MeasureCircle(CMirvDoc& doc, MPoint centre, MPoint rim) {
  MeasureObject o;
  o.kind = kind::kCircle;
  o.points = {centre, rim};
  o.radius = SegmentLength(centre, rim, CalibOf(doc.Frame()));
  o.diameter = o.radius * 2;
  return RegisterObject(doc, o);
}

bool MeasureAngle(CMirvDoc& doc, MPoint a, MPoint vertex, MPoint b) {
  MeasureObject o;
  o.kind = kind::kAngle;
  o.points = {a, vertex, b};
  o.angle = AngleValue(a, vertex, b);
  return RegisterObject(doc, o);
}

bool MeasurePolyline(CMirvDoc& doc, const std::vector<MPoint>& pts) {
  MeasureObject o;
  o.kind = kind::kPolyline;
  o.points = pts;
  o.length = PolylineLength(pts, CalibOf(doc.Frame()));
  return RegisterObject(doc, o);
}

bool MeasurePolygon(CMirvDoc& doc, const std::vector<MPoint>& pts) {
  MeasureObject o;
  o.kind = kind::kPolygon;
  o.points = pts;
  o.area = pts.size() >= 3 ? FigureArea(doc, pts) : 0;
  return RegisterObject(doc, o);
}

bool MeasureDistance(CMirvDoc& doc, MPoint r1, MPoint r2, MPoint p) {
  if (r1 == r2) {
    doc.Host().ShowMessage(kMsgDragReference);
    return false;
  }
  const MPoint foot = PerpendicularFoot(r1, r2, p);
  return MeasureSegment(doc, p, foot);
}

bool MeasureParallel(CMirvDoc& doc, MPoint s1, MPoint s2, MPoint from, MPoint to) {
  const int dx = to.x - from.x, dy = to.y - from.y;
  return MeasureSegment(doc, {s1.x + dx, s1.y + dy}, {s2.x + dx, s2.y + dy});
}

bool MeasureCurve(CMirvDoc& doc, const std::vector<MPoint>& nodes, bool closed) {
  MeasureObject o;
  o.kind = closed ? kind::kCurveArea : kind::kCurve;
  o.curve = SmoothCurve(nodes, closed);
  const Calib c = CalibOf(doc.Frame());
  if (closed) {
    const Layer* l = doc.Layers().Active();
    Curve local = o.curve;
    for (auto* v : {&local.nodes, &local.first, &local.second})
      for (auto& p : *v) p = InLayerTop(doc.Layers(), p);
    o.area = (l && nodes.size() >= 3) ? CurveArea(local, l->width, l->height, c) : 0;
  } else {
    o.length = CurveLength(o.curve, c);
  }
  return RegisterObject(doc, o);
}

void AddFigurePoint(CMirvDoc& doc, int tool, MPoint p) {
  DocMeasure& m = MeasureOf(doc);
  if (m.figureTool != tool) {
    m.figure.clear();
    m.figureTool = tool;
  }
  if (!MayMark(doc)) return;
  if (int(m.figure.size()) >= kMaxFigurePoints) return;
  m.figure.push_back(p);
  const bool polygon = tool == cmd::kPolygonTool;
  const Calib c = CalibOf(doc.Frame());
  m.figureValue = polygon ? (m.figure.size() >= 3 ? FigureArea(doc, m.figure) : 0) : PolylineLength(m.figure, c);
  // The running display: the figure so far over the committed layer.
  LayerStack& L = doc.Layers();
  doc.RevertLayer(L.active, false);
  MeasureObject preview;
  preview.kind = polygon ? kind::kPolygon : kind::kPolyline;
  preview.points = m.figure;
  (polygon ? preview.area : preview.length) = m.figureValue;
  if (m.figure.size() >= 2) {
    MarkStyle st = Style(doc, false);
    if (polygon && m.figure.size() < 3) st.labels = false;
    DrawObject(L, L.active, preview, st);
    m.lastLabel = ObjectLabel(preview, st);
  } else {
    MarkPainter(L, L.active, Style(doc, false)).Pixel(p.x, p.y);
  }
  doc.SetCompositionStale(true);
}

bool FinishFigure(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  if (m.figureTool < 0) return false;
  const std::vector<MPoint> pts = std::move(m.figure);
  const int tool = m.figureTool;
  m.figure.clear();
  m.figureTool = -1;
  if (tool == cmd::kPolygonTool ? pts.size() < 3 : pts.size() < 2) {
    // Too few points: not registered, and the running display goes away.
    if (doc.Layers().Active()) doc.RevertLayer(doc.Layers().active, false);
    doc.SetCompositionStale(true);
    return false;
  }
  return tool == cmd::kPolygonTool ? MeasurePolygon(doc, pts) : MeasurePolyline(doc, pts);
}

void EndContinuous(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  if (doc.Layers().Active()) doc.RevertLayer(doc.Layers().active, false);
  m.figure.clear();
  m.figureTool = -1;
  m.angleClicks.clear();
  m.curveNodes.clear();
  m.haveReference = m.haveFirstSegment = false;
  doc.Frame().currentTool = -1;
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 0);
}

void RedrawAll(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  LayerStack& L = doc.Layers();
  Layer* l = L.Active();
  if (!l || l->kind == kLayerText) return;
  doc.RevertLayer(L.active, false);
  EnsureBase(doc, m);
  l->pixels = m.keptPixels;
  l->alpha = m.keptAlpha;
  const auto& objs = m.list.Objects();
  for (int i = 0; i < m.list.Count(); ++i)
    DrawObject(L, L.active, objs[size_t(i)], Style(doc, i == m.list.Selected()));
  Settle(doc, m);
}

bool SelectObjectAt(CMirvDoc& doc, MPoint p) {
  DocMeasure& m = MeasureOf(doc);
  const int before = m.list.Selected();
  m.list.Select(m.list.HitTest(p));
  if (m.list.Selected() != before) RedrawAll(doc);
  return m.list.Selected() >= 0;
}

bool InsertPointAt(CMirvDoc& doc, MPoint p) {
  DocMeasure& m = MeasureOf(doc);
  if (m.list.Selected() < 0) {
    doc.Host().ShowMessage(kMsgSelectFirst);
    return false;
  }
  if (!m.list.InsertPoint(m.list.Selected(), p)) return false;
  MeasureObject& o = m.list.Objects()[size_t(m.list.Selected())];
  if (o.kind == kind::kPolygon) o.area = FigureArea(doc, o.points);
  else o.length = PolylineLength(o.points, CalibOf(doc.Frame()));
  RedrawAll(doc);
  return true;
}

bool RemovePointAt(CMirvDoc& doc, MPoint p) {
  DocMeasure& m = MeasureOf(doc);
  if (m.list.Selected() < 0) {
    doc.Host().ShowMessage(kMsgSelectFirst);
    return false;
  }
  if (!m.list.RemovePoint(m.list.Selected(), p)) return false;
  MeasureObject& o = m.list.Objects()[size_t(m.list.Selected())];
  if (o.kind == kind::kPolygon) o.area = FigureArea(doc, o.points);
  else o.length = PolylineLength(o.points, CalibOf(doc.Frame()));
  RedrawAll(doc);
  return true;
}

bool RemoveObject(CMirvDoc& doc, int index) {
  DocMeasure& m = MeasureOf(doc);
  if (!m.list.Remove(index)) return false;
  RedrawAll(doc);
  return true;
}

bool RemoveSelected(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  if (m.list.Selected() < 0) {
    doc.Host().ShowMessage(kMsgRemoveSelect);
    return false;
  }
  return RemoveObject(doc, m.list.Selected());
}

bool VectorUndo(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  if (!m.list.Undo()) return false;
  RedrawAll(doc);
  return true;
}

bool VectorRedo(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  const int i = m.list.Redo();
  if (i < 0) return false;
  RedrawAll(doc);
  return true;
}

bool IsMeasureCommandEnabled(CMirvDoc* doc, int id) {
  if (!doc) return false;
  DocMeasure& m = MeasureOf(*doc);
  switch (id) {
    case cmd::kVectorUndo: return m.list.CanUndo();
    case cmd::kVectorRedo: return m.list.CanRedo();
    case cmd::kMeasurementLayer: return doc->Layers().Active() != nullptr && !doc->IsBusy();
    default: return true;
  }
}

bool AddMeasurementLayer(CMirvDoc& doc) {
  LayerStack& L = doc.Layers();
  if (doc.IsBusy() || !L.Active()) return false;
  doc.RevertLayer(L.active, false);
  if (!doc.InsertLayer(L.active)) return false;
  Layer& l = L.slots[L.active];
  l.kind = kLayerMeasure;
  for (auto& plane : L.measure) plane.assign(size_t(std::max(0, l.pixelCount)), 0);
  doc.RecordStep(kLabelMeasureLayer, kStepAdd, L.active);
  Changed(doc);
  doc.Host().RefreshLayerPanel(doc);
  return true;
}

bool SaveMeasurements(CMirvDoc& doc, const std::filesystem::path& path) {
  DocMeasure& m = MeasureOf(doc);
  if (doc.Layers().Active()) doc.RevertLayer(doc.Layers().active, false);
  // The file has no valid byte: a removed object written there would come back to
  // life on loading, so only the objects in use are written.
  std::vector<MeasureObject> objs;
  for (int i = 0; i < m.list.Count(); ++i)
    if (m.list.Objects()[size_t(i)].valid) objs.push_back(m.list.Objects()[size_t(i)]);
  std::string why;
  if (!WriteScoFile(path, doc.Layers(), objs, &why)) {
    doc.Host().ShowMessage(kMsgScoSaveFailed);
    return false;
  }
  return true;
}

bool LoadMeasurements(CMirvDoc& doc, const std::filesystem::path& path) {
  auto contents = std::make_unique<ScoContents>();
  std::string why;
  if (!ReadScoFile(path, *contents, &why)) {
    doc.Host().ShowMessage(kMsgScoDamaged);
    return false;
  }
  LayerStack& L = doc.Layers();
  const PictureHeader& h = contents->layers.header;
  if (h.canvasWidth != L.header.canvasWidth || h.canvasHeight != L.header.canvasHeight ||
      h.bitsPerPixel != L.header.bitsPerPixel) {
    doc.Host().ShowMessage(kMsgScoCanvas);
    return false;
  }
  // Keep the picture's own palette: the file's header does not carry one.
  std::vector<uint8_t> palette = L.palette;
  L = std::move(contents->layers);
  L.palette = std::move(palette);
  for (int s : L.Chain()) doc.CommitLayer(s);
  DocMeasure& m = MeasureOf(doc);
  // The file keeps points, not values: they are measured again with the calibration
  // in use now.
  for (MeasureObject& o : contents->objects) Remeasure(doc, o);
  m.list.Assign(std::move(contents->objects));
  m.copySlot = -1;
  m.figure.clear();
  m.figureTool = -1;
  doc.LayersChanged();
  RedrawAll(doc);
  doc.Host().RefreshLayerPanel(doc);
  return true;
}

namespace {

std::vector<MeasureObject> InUse(CMirvDoc& doc) {
  DocMeasure& m = MeasureOf(doc);
  return {m.list.Objects().begin(), m.list.Objects().begin() + m.list.Count()};
}

}  // namespace

bool ExportText(CMirvDoc& doc, const std::filesystem::path& path, bool tell) {
  // A file that cannot be written ends the export without a message.
  if (!WriteTextExport(path, InUse(doc))) return false;
  if (tell) doc.Host().ShowMessage(kMsgTextSaved);
  return true;
}

bool ExportCsv(CMirvDoc& doc, const std::filesystem::path& path) {
  if (!WriteCsvExport(path, InUse(doc))) {
    doc.Host().ShowMessage(kMsgWorkbookFailed);
    return false;
  }
  return true;
}

bool ExportWorkbook(CMirvDoc& doc, FormatDispatch& formats, const std::filesystem::path& path, int sheet) {
  const std::filesystem::path picture = path.parent_path() / kWorkbookPictureName;
  // The picture as shown, composed and written as a JPEG; the document is untouched.
  std::vector<uint8_t> bgra;
  bool havePicture = false;
  if (ComposeCanvas(doc.Layers(), ComposeRange{}, bgra)) {
    const int w = doc.Layers().header.canvasWidth, h = doc.Layers().header.canvasHeight;
    CImageBuffer img(kFormatJpeg);
    if (img.Allocate(w, h, 24, kFormatJpeg)) {
      for (int y = 0; y < h; ++y) {
        uint8_t* row = img.Row(y);
        const uint8_t* src = bgra.data() + size_t(y) * size_t(w) * 4;
        for (int x = 0; x < w; ++x) row[3 * x] = src[4 * x], row[3 * x + 1] = src[4 * x + 1], row[3 * x + 2] = src[4 * x + 2];
      }
      havePicture = formats.SavePicture(picture, 0, img);
    }
  }
  std::string why;
  if (!WriteWorkbook(path, InUse(doc), sheet, havePicture ? picture : std::filesystem::path(), &why)) {
    doc.Host().ShowMessage(kMsgWorkbookFailed);
    return false;
  }
  return true;
}

bool ExportMeasurements(CMirvDoc& doc, FormatDispatch& formats, const std::filesystem::path& path, int sheet) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == ".txt") return ExportText(doc, path, false);
  if (ext == ".csv") return ExportCsv(doc, path);
  if (ext == ".xlsx") return ExportWorkbook(doc, formats, path, sheet);
  return false;
}

}  // namespace velmira::measure
