// A 2,000-character text (20 lines of 100, Korean and Latin mixed) drawn into a
// text layer through the Qt rasterizer, at a size drawn directly and at one that goes
// through the reduction; and each frame style around a 6000 × 4000 canvas at the
// panel's starting thickness and at ten times that.
#include <benchmark/benchmark.h>

#include <cstring>

#include "app/qt_text_rasterizer.h"
#include "decorations/photo_frame.h"
#include "image/layers.h"
#include "tools/text_layer.h"

namespace velmira {
namespace {

LayerStack& Canvas(int w, int h, int kind) {
  static LayerStack s;
  s.Clear();
  s.header.canvasWidth = w;
  s.header.canvasHeight = h;
  s.header.bitsPerPixel = 24;
  int slot = -1;
  s.InsertLayer(-1, 0, &slot);
  LayerAlloc a;
  a.width = w;
  a.height = h;
  a.canvasWidth = w;
  a.canvasHeight = h;
  a.kind = kind;
  a.resetSelection = true;
  s.AllocateLayer(slot, a);
  s.slots[slot].kind = uint8_t(kind);
  s.active = slot;
  return s;
}

std::u16string LongText() {
  const std::u16string unit = u"Velmira 글자 레이어 1234 ";  // 22 characters
  std::u16string text;
  for (int line = 0; line < 20; ++line) {
    std::u16string l;
    while (l.size() < 100) l += unit;
    l.resize(100);
    text += l;
    if (line < 19) text += u"\n";
  }
  return text;
}

void BM_Text2000(benchmark::State& st) {
  TextRasterizer& r = QtTextRasterizer::Instance();
  TextParams p;
  p.text = LongText();
  p.face = QtTextRasterizer::DefaultFace();
  p.size = int(st.range(0));
  p.colour = MakeRgbq(200, 30, 30);
  LayerStack& s = Canvas(6000, 4000, kLayerText);
  for (auto _ : st) {
    TextLayout lay;
    r.Measure(p.text, MakeTextFont(p), &lay.width, &lay.height);
    LayoutText(r, p, lay);
    std::memset(s.slots[s.active].alpha.data(), 0, s.slots[s.active].alpha.size());
    DrawTextLines(s, s.active, r, p, 0, 3999, lay.step);
    benchmark::DoNotOptimize(s.slots[s.active].alpha.data());
  }
  st.SetItemsProcessed(int64_t(st.iterations()) * 2000);
}
// Size value 40 (dialog 20) is drawn directly; 20 (dialog 10) is built at 34 and reduced.
BENCHMARK(BM_Text2000)->Arg(40)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_Frame(benchmark::State& st) {
  LayerStack& s = Canvas(6000, 4000, kLayerRaster);
  FrameParams p;
  p.style = int(st.range(0));
  p.thickness = int(st.range(1));
  p.first = MakeRgbq(180, 140, 90);
  p.second = MakeRgbq(250, 230, 180);
  for (auto _ : st) {
    DrawFrame(s, s.active, p);
    benchmark::DoNotOptimize(s.slots[s.active].pixels.data());
  }
}
BENCHMARK(BM_Frame)->ArgsProduct({{0, 1, 2, 3}, {30, 300}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmira

BENCHMARK_MAIN();
