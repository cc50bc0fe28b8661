// Repaints of the image view over a 4000 × 3000 document of 10 layers in a
// 1920 × 1080 viewport: repaints that reuse the composition (outline ticks), scrolling
// by one screen, zooming in and out (the layers' levels warm) and edits at reduced
// zooms (levels rebuilt), with the composition's own share measured beside each, and
// a brush dab's repaint (--dab: the view's own path for a 256 × 256 changed
// rectangle). Runs offscreen: QT_QPA_PLATFORM=offscreen build/bench/view_bench
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>
#include <filesystem>
#include <string>

#include "app/doc_services.h"
#include "formats/format_dispatch.h"
#include "image/compose.h"
#include "image/doc.h"
#include "ui/mirv_view.h"

using namespace velmira;

namespace {

constexpr int kW = 4000, kH = 3000, kLayers = 10;

struct Host : DocHost {
  void ShowMessage(const std::string&) override {}
  Answer Ask(const std::string&, AskButtons) override { return Answer::Ok; }
  bool AskText(const std::string&, std::string&) override { return false; }
  void Progress(int) override {}
  void UpdateViews(CMirvDoc& doc, int hint) override { CMirvView::UpdateAllViews(doc, hint); }
  void RefreshLayerPanel(CMirvDoc&) override {}
  void RefreshHistoryPanel(CMirvDoc&) override {}
  void TitleChanged(CMirvDoc&) override {}
  bool PutClipboard(const std::vector<uint8_t>&) override { return false; }
  bool GetClipboard(std::vector<uint8_t>&) override { return false; }
  CMirvDoc* NewDocument(int, int, int, const std::string&) override { return nullptr; }
};

// The same stack as the composition benchmark: mixed blend modes and opacities,
// soft-edged coverage, a third of the layers opaque.
void FillLayers(LayerStack& s) {
  std::mt19937 rng(1);
  const uint8_t modes[] = {0, 0, 2, 3, 0, 9, 5, 0, 8, 6};
  while (s.LayerCount() < kLayers) {
    int slot = -1;
    s.InsertLayer(s.TopLayer(), -1, &slot);
  }
  int i = 0;
  for (int slot : s.Chain()) {
    Layer& l = s.slots[slot];
    for (size_t k = 0; k < l.pixels.size(); k += 97) l.pixels[k] = uint8_t(rng());
    for (int y = 0; y < l.height; ++y)
      for (int x = 0; x < l.width; ++x)
        l.alpha[size_t(y) * l.width + x] = (x + y * 3 + i * 101) % 37 == 0 ? 0 : (i % 3 == 0 ? 255 : 180);
    l.blend = modes[i];
    l.transparency = uint8_t(i % 4 == 1 ? 64 : 0);
    ++i;
  }
}

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Stats {
  std::vector<double> ms;
  void Add(double v) { ms.push_back(v); }
  void Print(const char* what) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("%-44s n=%3zu  median %7.2f ms  mean %7.2f ms  max %7.2f ms  (%5.0f fps at the max)\n", what,
                ms.size(), ms[ms.size() / 2], sum / double(ms.size()), ms.back(), 1000.0 / ms.back());
  }
};

// Opening a picture in the editor until its first frame is painted, beside decoding
// it alone; medians of five. Prints "ratio open_ms decode_ms" as its last line.
int OpenToFirstFrame(QApplication& app, const char* file) {
  const std::filesystem::path path(file);
  Stats decode, open;
  for (int round = 0; round < 5; ++round) {
    {
      CImageBuffer img;
      const auto t0 = Clock::now();
      if (!LoadFile(img, path, FormatFromExtension(path.extension().string()))) {
        std::fprintf(stderr, "cannot decode %s\n", file);
        return 1;
      }
      decode.Add(Ms(Clock::now() - t0));
    }
    QTemporaryDir tmp;
    FrameState frame;
    frame.tempFolder = tmp.path().toStdString();
    Host host;
    DocServices services;
    const auto t0 = Clock::now();
    CMirvDoc doc(frame, host, &services);
    if (!doc.OnOpenDocument(path)) {
      std::fprintf(stderr, "cannot open %s\n", file);
      return 1;
    }
    CMirvView view(doc, frame);
    view.resize(1920, 1080);
    view.show();
    view.OnUpdate(viewcmd::kUpdateHint);
    QImage target(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    view.viewport()->render(&target);
    open.Add(Ms(Clock::now() - t0));
    app.processEvents();
  }
  decode.Print("decode alone");
  open.Print("open to the first painted frame");
  std::sort(decode.ms.begin(), decode.ms.end());
  std::sort(open.ms.begin(), open.ms.end());
  const double d = decode.ms[decode.ms.size() / 2], o = open.ms[open.ms.size() / 2];
  std::printf("%.3f %.1f %.1f\n", o / d, o, d);
  return 0;
}

// A brush dab as the view repaints it: 256 × 256 canvas pixels of the top layer
// change, the document is told the rectangle, and the view paints the part of the
// viewport that shows it (recomposing only that). Medians of 40 at zoom 1 and ¼;
// prints "zoom1_ms quarter_ms" as its last line.
int Dab(CMirvDoc& doc, CMirvView& view, QApplication& app) {
  LayerStack& L = doc.Layers();
  const int slot = L.TopLayer();
  QImage target(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  double medians[2] = {0, 0};
  int which = 0;
  for (int zoomOuts : {0, 2}) {
    view.OnZoomCommand(tool::kZoomActual);
    for (int i = 0; i < zoomOuts; ++i) view.OnZoomCommand(tool::kZoomOut);
    app.processEvents();
    view.viewport()->render(&target);  // the frame before the strokes (levels built)
    Stats s;
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i) {
      // A dab somewhere in the middle of what is shown.
      const ViewGeometry g = view.Geometry();
      const PictureRect r = PictureRectOf(g);
      const float z = view.Router().Zoom();
      const int left = r.centredX ? 0 : g.scrollX, top = r.centredY ? 0 : g.scrollY;
      const int cx = int(float(left + 200 + int(rng() % 1200)) / z), ct = int(float(top + 200 + int(rng() % 500)) / z);
      const CanvasRect dab{cx, kH - ct - 256, 256, 256};
      Layer& l = L.slots[slot];
      for (int y = dab.y; y < dab.y + dab.h; ++y)
        for (int x = dab.x; x < dab.x + dab.w; ++x) {
          const size_t lr = size_t(y + l.y), lc = size_t(x - l.x);
          uint8_t* p = l.pixels.data() + lr * size_t(l.stride) + 3 * lc;
          p[0] = uint8_t(i * 7), p[1] = uint8_t(i * 13), p[2] = 200;
          l.alpha.data()[lr * size_t(l.width) + lc] = 255;
        }
      doc.MarkDirty(dab, slot);
      // The viewport pixels that show the rectangle, as the view asks for them.
      const QRect client(r.left + int(float(dab.x) * z) - left - 1, r.top + int(float(ct) * z) - top - 1,
                         int(256 * z) + 2 + int(z < 1 ? 4 : 1), int(256 * z) + 2 + int(z < 1 ? 4 : 1));
      const auto t0 = Clock::now();
      view.viewport()->render(&target, client.topLeft(), QRegion(client));
      s.Add(Ms(Clock::now() - t0));
    }
    s.Print(zoomOuts ? "dab 256 x 256 repainted, zoom 0.25" : "dab 256 x 256 repainted, zoom 1");
    std::sort(s.ms.begin(), s.ms.end());
    medians[which++] = s.ms[s.ms.size() / 2];
  }
  std::printf("%.3f %.3f\n", medians[0], medians[1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  if (argc >= 3 && std::string(argv[1]) == "--open-first-frame") return OpenToFirstFrame(app, argv[2]);
  QTemporaryDir tmp;
  FrameState frame;
  frame.tempFolder = tmp.path().toStdString();
  frame.newWidth = kW;
  frame.newHeight = kH;
  Host host;
  CMirvDoc doc(frame, host, nullptr);
  doc.SetHistoryEnabled(false);
  if (!doc.NewDocument()) {
    std::fprintf(stderr, "cannot make the document\n");
    return 1;
  }
  FillLayers(doc.Layers());
  doc.SetCompositionStale(true);

  CMirvView view(doc, frame);
  view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view.resize(1920, 1080);
  view.show();
  app.processEvents();
  view.OnUpdate(viewcmd::kUpdateHint);
  std::printf("viewport %dx%d, document %dx%d, %d layers\n", view.viewport()->width(), view.viewport()->height(), kW,
              kH, doc.Layers().LayerCount());

  if (argc >= 2 && std::string(argv[1]) == "--dab") return Dab(doc, view, app);
  QImage target(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  auto repaint = [&] {
    const auto t0 = Clock::now();
    view.viewport()->render(&target);
    return Ms(Clock::now() - t0);
  };
  // The composition alone for the view's current viewport, for comparison.
  std::vector<uint8_t> buf(size_t(1920) * 1080 * 4);
  auto composeOnly = [&] {
    const ViewGeometry g = view.Geometry();
    const PictureRect r = PictureRectOf(g);
    const auto t0 = Clock::now();
    ComposeViewport(doc.Layers(), ComposeRange{}, r.centredX ? 0 : g.scrollX, r.centredY ? 0 : g.scrollY, r.width,
                    r.height, view.Router().Zoom(), view.Router().Zoom(), buf.data(), size_t(r.width) * 4,
                    &doc.Mips());
    return Ms(Clock::now() - t0);
  };
  repaint();  // warm up

  {
    Stats s;
    frame.gridSpacing = 32;
    for (int i = 0; i < 60; ++i) {
      view.Router().TimerTick(view);
      s.Add(repaint());
    }
    frame.gridSpacing = -32;
    s.Print("overlay only (cached composition, grid)");
  }
  {
    Stats total, compose;
    // Right, down, left, up by one page each: every step shows a new screen.
    QScrollBar* h = view.horizontalScrollBar();
    QScrollBar* v = view.verticalScrollBar();
    h->setValue(0);
    v->setValue(0);
    repaint();
    for (int step = 0; step < 24; ++step) {
      QScrollBar* bar = step % 2 ? v : h;
      const int dir = (step / 2) % 2 ? -1 : 1;
      bar->setValue(bar->value() + dir * bar->pageStep());
      total.Add(repaint());
      compose.Add(composeOnly());
    }
    total.Print("scroll by one screen, zoom 1 (repaint)");
    compose.Print("  of which ComposeViewport alone");
  }
  {
    Stats edit;
    for (int i = 0; i < 20; ++i) {
      doc.SetCompositionStale(true);
      edit.Add(repaint());
    }
    edit.Print("edit at zoom 1 (stale composition)");
  }
  {
    // From 1:1 down to 0.125 and up to 16 and back, one repaint per step, at the
    // centre of the picture.
    struct Step {
      float zoom;
      double repaint, compose;
    };
    std::vector<Step> steps;
    Stats total;
    const QPoint centre(view.viewport()->width() / 2, view.viewport()->height() / 2);
    for (int round = 0; round < 3; ++round) {
      view.OnZoomCommand(tool::kZoomActual);
      repaint();
      auto one = [&] {
        const double ms = repaint();
        total.Add(ms);
        if (round == 2) steps.push_back({view.Router().Zoom(), ms, composeOnly()});
      };
      while (view.IsZoomCommandEnabled(tool::kZoomOut)) {
        view.OnZoomCommand(tool::kZoomOut);
        one();
      }
      while (view.IsZoomCommandEnabled(tool::kZoomIn)) {
        const MappedPoint m = MapClientPoint(view.Geometry(), centre.x(), centre.y());
        view.Router().ZoomIn(m.view);
        one();
      }
    }
    total.Print("zoom in and out, 0.125 ... 16 (repaint, levels warm)");
    for (const Step& st : steps)
      std::printf("    zoom %7.3f: repaint %7.2f ms, ComposeViewport alone %7.2f ms\n", st.zoom, st.repaint, st.compose);
  }
  {
    // An edit without a rectangle at reduced zooms: the edited layer's levels are
    // rebuilt where the view shows them; and every layer's, the cold case (the
    // first frame after opening, or an edit of every layer).
    LayerStack& L = doc.Layers();
    for (int zoomOuts : {1, 2, 3}) {
      view.OnZoomCommand(tool::kZoomActual);
      for (int i = 0; i < zoomOuts; ++i) view.OnZoomCommand(tool::kZoomOut);
      repaint();
      Stats one, all;
      for (int i = 0; i < 10; ++i) {
        L.slots[L.TopLayer()].alpha[size_t(i)] ^= 1;
        doc.SetCompositionStale(true);
        one.Add(repaint());
        doc.Mips().InvalidateAll();
        doc.SetCompositionStale(true);
        all.Add(repaint());
      }
      char what[80];
      std::snprintf(what, sizeof what, "edit of one layer at zoom %g (repaint)", view.Router().Zoom());
      one.Print(what);
      std::snprintf(what, sizeof what, "every level rebuilt at zoom %g (repaint)", view.Router().Zoom());
      all.Print(what);
    }
  }
  return 0;
}
