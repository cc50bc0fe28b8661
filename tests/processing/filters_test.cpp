#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "../../bench/filters_reference.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"
#include "processing/filters.h"
#include "processing_fixture.h"

namespace velmira {
namespace {

using testing_support::DocFixture;
using testing_support::Grey;
using testing_support::Picture;

// Runs the fast routine and the per-window reference on the same picture and
// returns both edit copies.
template <class Fast, class Ref>
std::pair<std::vector<uint8_t>, std::vector<uint8_t>> Both(Picture& p, Fast&& fast, Ref&& ref) {
  fast(p.Target());
  std::vector<uint8_t> a = p.dst;
  ref(p.Target());
  return {a, p.dst};
}

TEST(FilterTable, ListOrderMenusAndParameterRows) {
  ASSERT_EQ(FilterList().size(), size_t(kFilterCount));
  EXPECT_STREQ(FilterList()[0].name, "경계강조");
  EXPECT_STREQ(FilterList()[14].name, "잡영제거");
  EXPECT_STREQ(FilterList()[18].name, "엠보스");
  EXPECT_STREQ(FilterList()[21].name, "욕실효과");
  // The menu item labelled "강조" selects edge emphasis; the list's "강조" has its own id.
  EXPECT_EQ(FilterIndexForCommand(1455), kFilterEdgeEmphasis);
  EXPECT_EQ(FilterIndexForCommand(1470), kFilterEdgeEmphasis);
  EXPECT_EQ(FilterIndexForCommand(1447), kFilterSharpen);
  EXPECT_EQ(FilterIndexForCommand(3477), kFilterBathroom);
  EXPECT_EQ(FilterIndexForCommand(9999), -1);
  EXPECT_EQ(FilterIndexByName("영역확장"), kFilterRegionFill);

  // Two defaults below their minimum, kept as the stored value.
  for (const char* n : {"찍어붙이기", "색종이뿌리기"}) {
    const FilterParams& r = ParametersFor(n);
    EXPECT_STREQ(r.p[1].label, "선분길이");
    EXPECT_EQ(r.p[1].min, 3);
    EXPECT_EQ(r.p[1].def, 1);
  }
  const FilterParams& outline = ParametersFor("윤곽선");
  EXPECT_EQ(outline.count, 2);
  EXPECT_EQ(outline.p[0].min, 5);
  EXPECT_EQ(outline.p[0].def, 8);
  EXPECT_STREQ(outline.p[2].label, "미지정");
  EXPECT_EQ(outline.p[2].def, -1);
  EXPECT_EQ(ParametersFor("렌즈효과").count, 0);
  // Any name without a row gets the generic adjustments.
  const FilterParams& other = ParametersFor("욕실효과");
  EXPECT_STREQ(other.p[0].label, "조정 1");
  EXPECT_EQ(other.p[0].min, -49);
  EXPECT_EQ(ParametersFor("없는 이름").count, 2);
  EXPECT_EQ(ThresholdParameters(TwoToneMethod::Ordered).p[0].def, 75);
  EXPECT_STREQ(ThresholdParameters(TwoToneMethod::Absolute).p[0].label, "이진임계치");
  EXPECT_EQ(FilterDialogWidth(0), 150);
  EXPECT_EQ(FilterDialogWidth(3), 610);
  // Every entry has a parameter row of its own or the generic one.
  for (const FilterEntry& e : FilterList()) EXPECT_LE(ParametersFor(e.name).count, 3);
}

TEST(GreyConvolution, SharpenOutlineAndEmbossOnSimplePictures) {
  Picture p(6, 5);
  p.Fill([](int, int) { return MakeRgbq(90, 60, 30); });  // mean 60
  FilterTarget t = p.Target();
  GreyConvolve(t, SharpenKernel(), true);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool edge = x == 0 || y == 0 || x == 5 || y == 4;
      EXPECT_EQ(p.Out(x, y), edge ? Grey(0) : Grey(60)) << x << "," << y;
    }
  t = p.Target();
  GreyConvolve(t, OutlineKernel(8), true);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(p.Out(x, y), Grey(0));

  // Vertical step 0 → 255 between columns 2 and 3.
  p.Fill([](int x, int) { return x >= 3 ? Grey(255) : Grey(0); });
  t = p.Target();
  GreyConvolve(t, EmbossKernel(1), true);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(p.Out(x, 2), x == 2 || x == 3 ? Grey(255) : Grey(0)) << x;
  // The dark-to-bright tap order matters: the mirrored step gives nothing.
  p.Fill([](int x, int) { return x >= 3 ? Grey(0) : Grey(255); });
  t = p.Target();
  GreyConvolve(t, EmbossKernel(1), true);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(p.Out(x, 2), Grey(0)) << x;

  // The output array receives the colours and the layer stays as it was.
  p.Fill([](int, int) { return Grey(40); });
  std::vector<uint32_t> out(30, 7);
  t = p.Target();
  GreyConvolve(t, SharpenKernel(), true, out.data());
  EXPECT_EQ(p.dst, p.src);
  EXPECT_EQ(out[2 * 6 + 2], Grey(40));
  EXPECT_EQ(out[0], Grey(0));
}

TEST(WindowFilters, SizesWindowsAndSelection) {
  Picture p(7, 6);
  std::mt19937 rng(3);
  p.Fill([&](int, int) { return MakeRgbq(int(rng() % 256), int(rng() % 256), int(rng() % 256)); });
  FilterTarget t = p.Target();
  WindowBlur(t, 1, false);
  EXPECT_EQ(p.dst, p.src);  // size 1 is the pixel itself

  // Size 2: the pixel, its left neighbour and the row before (storage order).
  p.Fill([](int x, int y) { return Grey(x == 3 && y == 2 ? 200 : 0); });
  t = p.Target();
  WindowBlur(t, 2, false);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool reached = (x == 3 || x == 4) && (y == 2 || y == 3);
      EXPECT_EQ(p.Out(x, y), Grey(reached ? 50 : 0)) << x << "," << y;
    }

  // Soften weighs the centre n × n: a uniform v with n = 2 gives 7v / 4, clamped.
  p.Fill([](int, int) { return Grey(100); });
  t = p.Target();
  WindowBlur(t, 2, true);
  EXPECT_EQ(p.Out(3, 3), Grey(175));
  EXPECT_EQ(p.Out(0, 0), Grey(255));  // a corner: only the centre, weighed 4, over a count of 1
  p.Fill([](int, int) { return Grey(200); });
  t = p.Target();
  WindowBlur(t, 2, true);
  EXPECT_EQ(p.Out(3, 3), Grey(255));

  // Unselected taps do not count, and unselected pixels keep their value.
  p.Fill([](int x, int) { return Grey(x < 3 ? 0 : 240); });
  std::fill(p.sel.begin(), p.sel.end(), uint8_t(0));
  for (int y = 0; y < 6; ++y)
    for (int x = 3; x < 7; ++x) p.sel[size_t(y) * 7 + size_t(x)] = 1;
  t = p.Target();
  WindowBlur(t, 3, false);
  EXPECT_EQ(p.Out(3, 3), Grey(240));  // the dark columns are outside the selection
  EXPECT_EQ(p.Out(2, 3), Grey(0));
  std::fill(p.sel.begin(), p.sel.end(), uint8_t(1));

  // Shrink removes a lone white pixel; grow turns it into a 2 × 2 block right and on.
  p.Fill([](int x, int y) { return Grey(x == 2 && y == 2 ? 255 : 0); });
  t = p.Target();
  Shrink(t, 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(p.Out(x, y), Grey(0));
  p.outside = 0;
  t = p.Target();
  Grow(t, 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool white = (x == 2 || x == 3) && (y == 2 || y == 3);
      EXPECT_EQ(p.Out(x, y), Grey(white ? 255 : 0)) << x << "," << y;
    }
  // Grow reads the outside colour past the edge; shrink ignores what is outside.
  p.Fill([](int, int) { return Grey(50); });
  p.outside = MakeRgbq(90, 10, 10);
  t = p.Target();
  Grow(t, 3);
  EXPECT_EQ(p.Out(0, 3), MakeRgbq(90, 50, 50));
  EXPECT_EQ(p.Out(3, 3), Grey(50));
  p.outside = Grey(0);
  t = p.Target();
  Shrink(t, 3);
  EXPECT_EQ(p.Out(0, 0), Grey(50));
}

TEST(EdgeEmphasisFilter, ThresholdBoundaryAndStrength) {
  // Centre 100 with four neighbours at 120 (grey): d = (4 × 60) / 4 = 60.
  Picture p(5, 5);
  p.Fill([](int x, int y) { return Grey(x == 2 && y == 2 ? 100 : 120); });
  FilterTarget t = p.Target();
  EdgeEmphasis(t, 60, 0);
  EXPECT_EQ(p.Out(2, 2), Grey(40));  // d ≥ a: 100 − 60
  t = p.Target();
  EdgeEmphasis(t, 61, 0);
  EXPECT_EQ(p.Out(2, 2), Grey(100));  // d < a: unchanged
  t = p.Target();
  EdgeEmphasis(t, 60, 5);  // d − trunc(5 × 0.1 × 60) = 30
  EXPECT_EQ(p.Out(2, 2), Grey(70));
  // A neighbour outside the selection stops the test; the edge rows have one missing.
  p.sel[2 * 5 + 1] = 0;
  t = p.Target();
  EdgeEmphasis(t, 0, 0);
  EXPECT_EQ(p.Out(2, 2), Grey(100));
  EXPECT_EQ(p.Out(0, 0), Grey(120));
}

TEST(RegionFillFilter, BandsTakeTheFirstColourInColumnOrder) {
  // A soft horizontal gradient 0, 10, 20 … grey: |Δ| per step is 30.
  Picture p(10, 3);
  p.Fill([](int x, int) { return Grey(10 * x); });
  FilterTarget t = p.Target();
  RegionFill(t, 70);
  // 0 reaches 10 and 20 (Δ 60 ≤ 70) but not 30 (Δ 90); 30 starts the next band.
  for (int x = 0; x < 10; ++x)
    for (int y = 0; y < 3; ++y) EXPECT_EQ(p.Out(x, y), Grey(30 * (x / 3))) << x;
  // Tolerance exactly at the colour distance still joins.
  p.Fill([](int x, int) { return Grey(x < 5 ? 0 : 10); });
  t = p.Target();
  RegionFill(t, 30);
  EXPECT_EQ(p.Out(9, 0), Grey(0));
  t = p.Target();
  RegionFill(t, 29);
  EXPECT_EQ(p.Out(9, 0), Grey(10));
}

TEST(DenoiseFilter, SpecksAreAbsorbedAndStepsSmoothed) {
  Picture p(8, 8);
  p.Fill([](int x, int y) { return Grey(x == 4 && y == 4 ? 250 : 80); });
  FilterTarget t = p.Target();
  Denoise(t, 3, 4);
  EXPECT_EQ(p.Out(4, 4), Grey(80));
  p.Fill([](int, int) { return Grey(80); });
  t = p.Target();
  Denoise(t, 3, 4);
  EXPECT_EQ(p.dst, p.src);

  // A single-pixel step: the row before and both sides differ, the row after
  // matches (D D D D D S S S), so the pixel takes n1's colour.
  const Rgbq a = MakeRgbq(200, 10, 10), b = MakeRgbq(10, 10, 200);
  Picture q(3, 3);
  q.Fill([&](int x, int y) { return y == 0 || (y == 1 && x != 1) ? a : b; });
  t = q.Target();
  Denoise(t, 2, 4);
  EXPECT_EQ(q.Out(1, 1), a);
  // Without n1 in the selection the pattern breaks and the pixel stays.
  q.sel[0] = 0;
  t = q.Target();
  Denoise(t, 2, 4);
  EXPECT_EQ(q.Out(1, 1), b);
}

TEST(FilterKernels, FastFormsMatchThePerWindowReference) {
  std::mt19937 rng(12345);
  struct Size {
    int w, h;
  };
  for (Size s : {Size{1, 1}, Size{2, 3}, Size{5, 1}, Size{17, 13}, Size{40, 31}}) {
    for (int selMode = 0; selMode < 3; ++selMode) {
      Picture p(s.w, s.h);
      // Blocky content so that region fill and noise removal meet real regions.
      const int block = 1 + int(rng() % 4);
      std::vector<Rgbq> palette(6);
      for (Rgbq& c : palette) c = MakeRgbq(int(rng() % 256), int(rng() % 256), int(rng() % 256));
      p.Fill([&](int x, int y) {
        const Rgbq c = palette[size_t((x / block + 3 * (y / block)) % 6)];
        const int jitter = int(rng() % 9) - 4;
        return MakeRgbq(std::clamp(RgbqR(c) + jitter, 0, 255), RgbqG(c), std::clamp(RgbqB(c) - jitter, 0, 255));
      });
      for (size_t i = 0; i < p.sel.size(); ++i) {
        const int x = int(i % size_t(s.w)), y = int(i / size_t(s.w));
        p.sel[i] = selMode == 0 ? 1 : selMode == 1 ? uint8_t(x >= s.w / 3 && y < 2 * s.h / 3) : uint8_t(rng() % 3 != 0);
      }
      const std::string where = std::to_string(s.w) + "x" + std::to_string(s.h) + " sel " + std::to_string(selMode);
      for (int n = 1; n <= 9; ++n) {
        auto blur = Both(p, [&](const FilterTarget& t) { WindowBlur(t, n, false); },
                         [&](const FilterTarget& t) { reference::WindowBlur(t, n, false); });
        EXPECT_EQ(blur.first, blur.second) << "blur " << n << " " << where;
        auto soft = Both(p, [&](const FilterTarget& t) { WindowBlur(t, n, true); },
                         [&](const FilterTarget& t) { reference::WindowBlur(t, n, true); });
        EXPECT_EQ(soft.first, soft.second) << "soften " << n << " " << where;
      }
      for (int n : {1, 2, 3, 4, 7, 9, 20}) {
        auto sh = Both(p, [&](const FilterTarget& t) { Shrink(t, n); },
                       [&](const FilterTarget& t) { reference::Shrink(t, n); });
        EXPECT_EQ(sh.first, sh.second) << "shrink " << n << " " << where;
        auto gr = Both(p, [&](const FilterTarget& t) { Grow(t, n); },
                       [&](const FilterTarget& t) { reference::Grow(t, n); });
        EXPECT_EQ(gr.first, gr.second) << "grow " << n << " " << where;
      }
      for (const Kernel3& k : {SharpenKernel(), OutlineKernel(5), OutlineKernel(8), OutlineKernel(20),
                               EmbossKernel(1), EmbossKernel(10)}) {
        for (bool border : {true, false}) {
          auto g = Both(p, [&](const FilterTarget& t) { GreyConvolve(t, k, border); },
                        [&](const FilterTarget& t) { reference::GreyConvolve(t, k, border); });
          EXPECT_EQ(g.first, g.second) << "convolution " << k.k[4] << " " << where;
        }
      }
      for (int a : {0, 5, 40}) {
        auto e = Both(p, [&](const FilterTarget& t) { EdgeEmphasis(t, a, 7); },
                      [&](const FilterTarget& t) { reference::EdgeEmphasis(t, a, 7); });
        EXPECT_EQ(e.first, e.second) << "edge " << a << " " << where;
      }
      for (int sz = 1; sz <= 5; ++sz)
        for (int q = 1; q <= 4; ++q) {
          auto d = Both(p, [&](const FilterTarget& t) { Denoise(t, sz, q); },
                        [&](const FilterTarget& t) { reference::Denoise(t, sz, q); });
          EXPECT_EQ(d.first, d.second) << "denoise " << sz << "/" << q << " " << where;
        }
      for (int tol : {0, 20, 70}) {
        auto r = Both(p, [&](const FilterTarget& t) { RegionFill(t, tol); },
                      [&](const FilterTarget& t) { reference::RegionFill(t, tol); });
        EXPECT_EQ(r.first, r.second) << "region " << tol << " " << where;
      }
    }
  }
}

// Large pictures are split into bands on several threads; the bands must give the
// serial bytes, seams included.
TEST(FilterKernels, BandsOnLargePicturesMatchTheReference) {
  Picture p(1030, 1100);
  std::mt19937 rng(99);
  p.Fill([&](int x, int y) { return MakeRgbq(int(rng() % 256), (x * 7 + y) % 256, (y / 3) % 256); });
  for (size_t i = 0; i < p.sel.size(); ++i) p.sel[i] = uint8_t((i / 1030 + i % 1030) % 7 != 0);
  auto blur = Both(p, [](const FilterTarget& t) { WindowBlur(t, 5, false); },
                   [](const FilterTarget& t) { reference::WindowBlur(t, 5, false); });
  EXPECT_TRUE(blur.first == blur.second);
  auto soft = Both(p, [](const FilterTarget& t) { WindowBlur(t, 2, true); },
                   [](const FilterTarget& t) { reference::WindowBlur(t, 2, true); });
  EXPECT_TRUE(soft.first == soft.second);
  auto sh = Both(p, [](const FilterTarget& t) { Shrink(t, 9); }, [](const FilterTarget& t) { reference::Shrink(t, 9); });
  EXPECT_TRUE(sh.first == sh.second);
  auto gr = Both(p, [](const FilterTarget& t) { Grow(t, 4); }, [](const FilterTarget& t) { reference::Grow(t, 4); });
  EXPECT_TRUE(gr.first == gr.second);
  auto cv = Both(p, [](const FilterTarget& t) { GreyConvolve(t, OutlineKernel(9), false); },
                 [](const FilterTarget& t) { reference::GreyConvolve(t, OutlineKernel(9), false); });
  EXPECT_TRUE(cv.first == cv.second);
  auto ee = Both(p, [](const FilterTarget& t) { EdgeEmphasis(t, 30, 3); },
                 [](const FilterTarget& t) { reference::EdgeEmphasis(t, 30, 3); });
  EXPECT_TRUE(ee.first == ee.second);
}

TEST(FilterKernels, CancelStopsBetweenRowsAndProgressEnds) {
  Picture p(9, 20);
  p.Fill([](int x, int y) { return Grey((x * 31 + y * 17) % 256); });
  std::vector<int> seen;
  int rows = 0;
  FilterControl c;
  c.progress = [&](int v) { seen.push_back(v); };
  c.cancelled = [&]() { return ++rows > 5; };
  FilterTarget t = p.Target(&c);
  GreyConvolve(t, SharpenKernel(), true);
  // Rows 0…4 were written, the rest left as they were.
  EXPECT_EQ(p.Out(0, 4), Grey(0));  // written: the border turns black
  EXPECT_EQ(p.Out(0, 10), Grey(10 * 17));
  ASSERT_FALSE(seen.empty());
  EXPECT_LT(seen.back(), 100);

  seen.clear();
  c.cancelled = nullptr;
  t = p.Target(&c);
  WindowBlur(t, 3, false);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

class FilterCommands : public DocFixture {};

TEST_F(FilterCommands, StepNamedAfterTheFilterAndSelectionHonoured) {
  Make(12, 10, [](int x, int) { return Grey(x * 20); });
  Select(0, 0, 6, 10);
  const int p[3] = {4, -1, -1};
  ASSERT_TRUE(ApplyFilter(*doc, kFilterBlur, p));
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "흐리게");
  EXPECT_EQ(At(9, 5), Grey(180));  // outside the selection
  EXPECT_NE(At(3, 5), Grey(60));
  EXPECT_EQ(host.progress.back(), 100);
  // Coverage is a layer's own business: filters leave it alone.
  EXPECT_TRUE(std::all_of(L().Active()->alpha.begin(), L().Active()->alpha.end(), [](uint8_t a) { return a == 255; }));

  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(At(3, 5), Grey(60));

  // An index past the list is refused without a step.
  const int q[3] = {8, 1, 1};
  const int steps = doc->History().Step();
  EXPECT_FALSE(ApplyFilter(*doc, 22, q));
  EXPECT_FALSE(ApplyFilter(*doc, -1, q));
  EXPECT_EQ(doc->History().Step(), steps);
}

// Palette pictures are filtered as colours and take the nearest palette entry.
TEST_F(FilterCommands, PalettePicturesMapBackToTheirPalette) {
  Make(4, 1, [](int, int) { return Grey(0); });
  LayerStack& S = L();
  Layer& l = *S.Active();
  S.palette = {0, 0, 0, 0, 255, 255, 255, 0, 128, 128, 128, 0};  // black, white, grey
  S.header.bitsPerPixel = 8;
  S.header.paletteColours = 3;
  l.stride = StrideFor(l.width, 8);
  l.imageSize = l.stride * l.height;
  l.pixels.assign(size_t(l.imageSize), 0);
  l.pixels[1] = l.pixels[3] = 1;  // black, white, black, white
  doc->CommitLayer(S.active);
  const int p[3] = {2, -1, -1};
  ASSERT_TRUE(ApplyFilter(*doc, kFilterBlur, p));
  EXPECT_EQ(l.pixels[0], 0);  // alone in its window
  EXPECT_EQ(l.pixels[1], 2);  // (0 + 255) / 2 = 127: nearest is the grey entry
  EXPECT_EQ(l.pixels[2], 2);
  EXPECT_EQ(S.header.bitsPerPixel, 8);
}

TEST_F(FilterCommands, TextLayersAreRefused) {
  Make(8, 8, [](int, int) { return Grey(9); });
  L().Active()->kind = kLayerText;
  const int p[3] = {3, -1, -1};
  EXPECT_FALSE(ApplyFilter(*doc, kFilterBlur, p));
  EXPECT_TRUE(Said("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택"));
}

}  // namespace
}  // namespace velmira
