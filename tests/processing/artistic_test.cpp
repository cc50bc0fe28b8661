#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "image/rand.h"
#include "processing/artistic.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"
#include "processing_fixture.h"

namespace velmira {
namespace {

using testing_support::DocFixture;
using testing_support::Grey;
using testing_support::Picture;

// A picture of large flat blocks in four colours, with a gentle texture so that the
// direction field is not flat.
void Blocks(Picture& p) {
  const Rgbq c[4] = {MakeRgbq(200, 40, 40), MakeRgbq(40, 180, 60), MakeRgbq(30, 50, 220), MakeRgbq(240, 230, 20)};
  p.Fill([&](int x, int y) { return c[(x * 2 / p.w) + 2 * (y * 2 / p.h)]; });
}

// The value the sequence gives after `skip` further draws from the current place.
int ValueAfter(uint32_t seed, int64_t skip) {
  SeedProgramRand(seed);
  for (int64_t i = 0; i < skip; ++i) ProgramRand();
  return ProgramRand();
}

TEST(ArtisticHelpers, RandomPositionsIntensityAndEdgeMask) {
  // n is reached only by the largest value: 32767 × (1 / 32767) × n.
  SeedProgramRand(1);
  for (int i = 0; i < 2000; ++i) {
    const int v = RandomPosition(10);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 10);
  }
  EXPECT_EQ(Intensity(255, 255, 255), 255);
  EXPECT_EQ(Intensity(100, 0, 0), 11);
  EXPECT_EQ(Intensity(0, 100, 0), 59);
  EXPECT_EQ(Intensity(0, 0, 100), 30);

  Picture p(8, 6);
  p.Fill([](int x, int) { return x < 4 ? Grey(20) : Grey(200); });
  FilterTarget t = p.Target();
  const std::vector<uint8_t> m = EdgeMask(t, 8);
  EXPECT_EQ(p.dst, p.src);  // the mask never writes the layer
  for (int x = 1; x < 7; ++x) EXPECT_EQ(m[size_t(2 * 8 + x)], x == 4 ? 1 : 0) << x;
  // Border pixels are black in the convolution, so never edges; unselected ones neither.
  EXPECT_EQ(m[size_t(0 * 8 + 4)], 0);
  p.SelectOnly(0, 0, 4, 6);
  t = p.Target();
  EXPECT_EQ(EdgeMask(t, 8)[size_t(2 * 8 + 4)], 0);
}

TEST(WatercolourFilter, DominantToneKeepsEdgesAndTiesGoToTheDarker) {
  // Two colours meeting along a straight line: every pixel's 7 × 7 window is dominated
  // by its own side, so the picture comes back unchanged, edges as sharp as they were.
  Picture p(24, 16);
  const Rgbq a = MakeRgbq(30, 60, 200), b = MakeRgbq(250, 240, 10);
  p.Fill([&](int x, int) { return x < 12 ? a : b; });
  SeedProgramRand(5);
  FilterTarget t = p.Target();
  Watercolour(t);
  EXPECT_EQ(p.dst, p.src);
  // One value per row is drawn and thrown away.
  {
    const int next = ProgramRand();
    EXPECT_EQ(next, ValueAfter(5, 16));
  }

  // A 6 × 1 picture, three dark and three bright: the middle windows hold three of
  // each, and the lower level wins whichever side the pixel is on.
  Picture q(6, 1);
  q.Fill([&](int x, int) { return x < 3 ? Grey(40) : Grey(220); });
  t = q.Target();
  Watercolour(t);
  EXPECT_EQ(q.Out(2, 0), Grey(40));
  EXPECT_EQ(q.Out(3, 0), Grey(40));
  EXPECT_EQ(q.Out(5, 0), Grey(220));  // four bright against three dark

  // Colours of one level are averaged: 95 and 99 share a level, 0 is another.
  Picture r(3, 1);
  r.Set(0, 0, Grey(95));
  r.Set(1, 0, Grey(99));
  r.Set(2, 0, Grey(0));
  t = r.Target();
  Watercolour(t);
  EXPECT_EQ(r.Out(2, 0), Grey(97));

  // Unselected pixels keep their value even where the window would change them.
  q.SelectOnly(0, 0, 3, 1);
  t = q.Target();
  Watercolour(t);
  EXPECT_EQ(q.Out(3, 0), Grey(220));
  EXPECT_EQ(q.Out(2, 0), Grey(40));
}

TEST(FrostedGlassFilter, RadiusZeroKeepsThePictureAndColoursComeFromTheWindow) {
  Picture p(20, 14);
  p.Fill([](int x, int y) { return (x / 3 + y / 2) % 2 ? MakeRgbq(200, 10, 10) : MakeRgbq(10, 10, 200); });
  SeedProgramRand(9);
  FilterTarget t = p.Target();
  FrostedGlass(t, 0);
  EXPECT_EQ(p.dst, p.src);
  {
    const int next = ProgramRand();
    EXPECT_EQ(next, ValueAfter(9, 14));
  }

  // Each output is the mean of one level: with two colours of different levels only
  // those two colours can come out, and both do.
  t = p.Target();
  FrostedGlass(t, 3);
  std::set<Rgbq> seen;
  int changed = 0;
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      seen.insert(p.Out(x, y));
      changed += p.Out(x, y) != p.In(x, y);
    }
  EXPECT_EQ(seen, p.InputColours());
  EXPECT_GT(changed, 20);

  // A black picture: level 0 is never empty, the draw always lands on black.
  Picture k(9, 9);
  t = k.Target();
  FrostedGlass(t, 15);
  EXPECT_EQ(k.dst, k.src);
}

// Frosted glass as its rule reads, one pixel at a time in scan order: the window's
// histogram of intensities counted afresh, e = trunc((rand + 1) × N / 32768), the first
// level whose running count reaches e, drawn again while that level is empty, and
// the mean colour of the level. Rows from `rowsDone` on are left as they are.
std::vector<uint8_t> FrostedByTheRule(const Picture& p, int r, int rowsDone) {
  std::vector<uint8_t> out = p.src;
  for (int y = 0; y < rowsDone; ++y) {
    ProgramRand();
    for (int x = 0; x < p.w; ++x) {
      if (!p.sel[size_t(y) * size_t(p.w) + size_t(x)]) continue;
      int count[256] = {}, sum[256][3] = {}, total = 0;
      for (int yy = std::max(0, y - r); yy <= std::min(p.h - 1, y + r); ++yy)
        for (int xx = std::max(0, x - r); xx <= std::min(p.w - 1, x + r); ++xx) {
          const uint8_t* s = &p.src[size_t(yy) * size_t(p.stride) + 3 * size_t(xx)];
          const int lv = Intensity(s[0], s[1], s[2]);
          ++count[lv], ++total;
          for (int c = 0; c < 3; ++c) sum[lv][c] += s[c];
        }
      int pick = -1;
      for (int tries = 0; tries <= 10000 && pick < 0; ++tries) {
        const int e = std::clamp(int(int64_t(ProgramRand() + 1) * total / 32768), 0, 10000);
        int b = 0, acc = 0;
        while (b < 255 && acc + count[b] < e) acc += count[b++];
        if (count[b]) pick = b;
      }
      if (pick < 0) continue;
      for (int c = 0; c < 3; ++c) out[size_t(y) * size_t(p.stride) + 3 * size_t(x) + size_t(c)] = uint8_t(sum[pick][c] / count[pick]);
    }
  }
  return out;
}

TEST(FrostedGlassFilter, EveryPixelAndEveryDrawFollowTheRule) {
  // Bright noise with a few black pixels: windows with and without level 0, so an
  // e of 0 is sometimes taken and sometimes drawn again.
  auto paint = [](Picture& p) {
    p.Fill([](int x, int y) {
      const uint32_t v = uint32_t(x * 7919 + y * 104729) * 2654435761u;
      if ((v >> 24) < 6) return MakeRgbq(0, 0, 0);
      return MakeRgbq(40 + int((v >> 8) % 200), 30 + int((v >> 16) % 220), 20 + int(v % 230));
    });
  };
  struct Case {
    int w, h, r;
    bool partial;
  };
  for (const Case& c : {Case{40, 30, 1, false}, Case{40, 30, 5, true}, Case{7, 5, 15, false}, Case{33, 21, 2, true},
                        Case{1100, 1000, 2, false}}) {
    Picture p(c.w, c.h);
    paint(p);
    if (c.partial) p.SelectOnly(3, 2, c.w - 4, c.h - 3);
    SeedProgramRand(41);
    const std::vector<uint8_t> want = FrostedByTheRule(p, c.r, c.h);
    const int next = ProgramRand();
    SeedProgramRand(41);
    FilterTarget t = p.Target();
    FrostedGlass(t, c.r);
    EXPECT_TRUE(p.dst == want) << c.w << "x" << c.h << " radius " << c.r;
    EXPECT_EQ(ProgramRand(), next) << c.w << "x" << c.h << " radius " << c.r;
  }
  // A cancel before row 12: the rows above are filtered, and the sequence has moved
  // on by exactly their draws.
  Picture p(40, 30);
  paint(p);
  SeedProgramRand(43);
  const std::vector<uint8_t> want = FrostedByTheRule(p, 4, 12);
  const int next = ProgramRand();
  int asked = 0;
  FilterControl stop;
  stop.cancelled = [&] { return ++asked > 12; };
  SeedProgramRand(43);
  FilterTarget t = p.Target(&stop);
  FrostedGlass(t, 4);
  EXPECT_TRUE(p.dst == want);
  EXPECT_EQ(ProgramRand(), next);
}

TEST(DalmatianFilter, NoSpotsOnlyLightensAndSpotsIgnoreTheSelection) {
  Picture p(16, 10);
  p.Fill([](int x, int y) { return MakeRgbq(x * 16, y * 25, 40); });
  p.SelectOnly(0, 0, 2, 2);  // the whole hide changes whatever is selected
  SeedProgramRand(3);
  FilterTarget t = p.Target();
  Dalmatian(t, 40, 0);
  {
    const int next = ProgramRand();
    EXPECT_EQ(next, ValueAfter(3, 0));
  }  // no spot, no draw
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const Rgbq c = p.In(x, y);
      auto lit = [](int v) { return v < 136 ? v + 70 : 205; };
      const bool light = RgbqR(c) + RgbqG(c) + RgbqB(c) > 120;
      const Rgbq want = light ? MakeRgbq(lit(RgbqR(c)), lit(RgbqG(c)), lit(RgbqB(c))) : c;
      ASSERT_EQ(p.Out(x, y), want) << x << "," << y;
    }

  // One spot of size 40 (radius 20 × 1.1) on a 30 × 30 picture: its centre, drawn after
  // the size (row first, then column), is black, and so is everything within reach.
  Picture q(30, 30);
  q.Fill([](int, int) { return Grey(150); });
  SeedProgramRand(11);
  ProgramRand();  // the spot's size, 5 … 40
  const int cy = RandomPosition(29), cx = RandomPosition(29);
  SeedProgramRand(11);
  t = q.Target();
  Dalmatian(t, 40, 1);
  EXPECT_EQ(q.Out(cx, cy), Grey(0));
  int black = 0;
  for (int y = 0; y < q.h; ++y)
    for (int x = 0; x < q.w; ++x) {
      const Rgbq c = q.Out(x, y);
      EXPECT_TRUE(c == Grey(0) || c == Grey(205)) << x << "," << y;
      black += c == Grey(0);
    }
  EXPECT_GT(black, 3);  // radius at least 2, perhaps cut by a corner
}

TEST(StampFilters, ColourFactorOneOnlySmearsAndSelectionHolds) {
  Picture p(40, 30);
  Blocks(p);
  const std::set<Rgbq> palette = p.InputColours();
  SeedProgramRand(21);
  FilterTarget t = p.Target();
  const int stamp[3] = {8, 10, 1};
  ASSERT_TRUE(RunFilterKernel(kFilterStamp, t, stamp));
  int moved = 0;
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      ASSERT_TRUE(palette.count(p.Out(x, y))) << x << "," << y;
      moved += p.Out(x, y) != p.In(x, y);
    }
  EXPECT_GT(moved, 0);

  // A colour factor above 1 brings in new colours ((k × channel) mod 256).
  t = p.Target();
  const int confetti[3] = {10, 10, 3};
  ASSERT_TRUE(RunFilterKernel(kFilterConfetti, t, confetti));
  bool fresh = false;
  for (int y = 0; y < p.h && !fresh; ++y)
    for (int x = 0; x < p.w && !fresh; ++x) fresh = !palette.count(p.Out(x, y));
  EXPECT_TRUE(fresh);

  // Strokes reach into unselected pixels only in thought.
  p.SelectOnly(5, 5, 15, 15);
  t = p.Target();
  ASSERT_TRUE(RunFilterKernel(kFilterConfetti, t, confetti));
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x)
      if (x < 5 || y < 5 || x >= 15 || y >= 15) {
        ASSERT_EQ(p.Out(x, y), p.In(x, y)) << x << "," << y;
      }
}

TEST(StrokeFilters, LinesCopyColoursAndDabsStayInTheSelection) {
  Picture p(32, 24);
  p.Fill([](int x, int y) { return MakeRgbq((x * 37) % 256, (x * 11 + y * 23) % 256, (y * 41) % 256); });
  const std::set<Rgbq> palette = p.InputColours();
  FilterTarget t = p.Target();
  LineColouring(t, 7, 2);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) ASSERT_TRUE(palette.count(p.Out(x, y))) << x << "," << y;
  EXPECT_NE(p.dst, p.src);

  p.SelectOnly(8, 8, 20, 16);
  t = p.Target();
  OilPainting(t, 10);
  int changed = 0;
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) {
      const bool in = x >= 8 && y >= 8 && x < 20 && y < 16;
      if (!in) {
        ASSERT_EQ(p.Out(x, y), p.In(x, y)) << x << "," << y;
      }
      changed += in && p.Out(x, y) != p.In(x, y);
    }
  EXPECT_GT(changed, 0);
}

TEST(DropFilters, SingleDropsKeepColoursAndEveryDrawIsCounted) {
  // Size 1: each drop sets its pixel to the pixel's own colour, so the picture stays,
  // and each of the height × 20 drops draws a row and then a column.
  Picture p(13, 7);
  p.Fill([](int x, int y) { return MakeRgbq(x * 19, y * 30, 77); });
  SeedProgramRand(4);
  FilterTarget t = p.Target();
  Drops(t, 1);
  EXPECT_EQ(p.dst, p.src);
  {
    const int next = ProgramRand();
    EXPECT_EQ(next, ValueAfter(4, 2 * 20 * 7));
  }

  // Larger drops on a uniform picture leave it uniform (the colour mixed with itself).
  Picture u(30, 20);
  u.Fill([](int, int) { return MakeRgbq(90, 120, 30); });
  t = u.Target();
  Drops(t, 7);
  EXPECT_EQ(u.dst, u.src);

  // Korean paper on a uniform picture finds no difference anywhere and draws only its
  // width × height positions.
  SeedProgramRand(8);
  t = u.Target();
  KoreanPaper(t);
  EXPECT_EQ(u.dst, u.src);
  {
    const int next = ProgramRand();
    EXPECT_EQ(next, ValueAfter(8, 30 * 20));
  }

  // Fibres carry a starting colour darkened by at most (255 − channel) / 7.
  Blocks(u);
  const std::set<Rgbq> palette = u.InputColours();
  t = u.Target();
  KoreanPaper(t);
  int fibres = 0;
  for (int y = 0; y < u.h; ++y)
    for (int x = 0; x < u.w; ++x) {
      const Rgbq b = u.Out(x, y);
      if (b == u.In(x, y)) continue;
      ++fibres;
      bool fits = false;
      for (Rgbq c : palette) {
        auto ok = [](int from, int to) { return to <= from && from - to <= (255 - from) / 7; };
        fits = fits || (ok(RgbqR(c), RgbqR(b)) && ok(RgbqG(c), RgbqG(b)) && ok(RgbqB(c), RgbqB(b)));
      }
      EXPECT_TRUE(fits) << x << "," << y;
    }
  EXPECT_GT(fibres, 0);

  // Rain drops stay inside the selection.
  u.SelectOnly(10, 5, 20, 15);
  t = u.Target();
  RainDrops(t, 30, 150);
  int inside = 0;
  for (int y = 0; y < u.h; ++y)
    for (int x = 0; x < u.w; ++x) {
      const bool in = x >= 10 && y >= 5 && x < 20 && y < 15;
      if (!in) {
        ASSERT_EQ(u.Out(x, y), u.In(x, y));
      }
      inside += in && u.Out(x, y) != u.In(x, y);
    }
  EXPECT_GT(inside, 0);
}

// The mappings evaluated as written, with atan2, cos and sin.
void LensSource(int w, int h, int x, int y, bool bath, int& sx, int& sy) {
  const int cx = w / 2, cy = h / 2;
  const int R = int(std::sqrt(double(cx * cx + cy * cy)));
  const double dx = cx - x, dy = cy - y;
  const double D = std::sqrt(dx * dx + dy * dy);
  const double th = std::atan2(dy, dx);
  if (D < R) {
    if (bath) {
      sx = x + (x % 32) - 16;
      sy = y;
    } else {
      sx = cx - int(0.1 * 1.5 * std::cos(th) * D * D / R);
      sy = cy - int(2 * std::sin(th) * D * D / R);
    }
  } else {
    sx = sy = 0;
  }
  sx = std::clamp(sx, 0, w);
  sy = std::clamp(sy, 0, h);
}

// A whole-layer target as the document hands it out: the selection is one row of ones
// read for every row and, when `fresh`, dst holds no copy of src (here: garbage).
FilterTarget WholeLayer(Picture& p, std::vector<uint8_t>& ones, bool fresh, const FilterControl* c = nullptr) {
  FilterTarget t = p.Target(c);
  ones.assign(size_t(p.w), 1);
  t.sel = ones.data();
  t.selAll = true;
  if (fresh) {
    std::fill(p.dst.begin(), p.dst.end(), uint8_t(0xCD));
    t.dstFresh = true;
  }
  return t;
}

// The pixel bytes of every row (a fresh target leaves the row padding to its caller).
std::vector<uint8_t> PixelBytes(const Picture& p) {
  std::vector<uint8_t> out;
  for (int y = 0; y < p.h; ++y) {
    const auto row = p.dst.begin() + ptrdiff_t(y) * p.stride;
    out.insert(out.end(), row, row + 3 * p.w);
  }
  return out;
}

TEST(InverseMappings, LensAndBathGlassMatchTheirFormulas) {
  // The last size is large enough to be shared out in bands between threads, which
  // must not share any scratch.
  // Whole-layer runs copy four bytes a pixel: rows without padding (64 × 3 bytes)
  // and pictures of one or two columns check that no copy reaches past a row's end.
  std::vector<uint8_t> ones;
  struct WidestAgain {
    ~WidestAgain() { SetLensVectorWidth(2); }
  } widest;
  for (const auto& [w, h] : {std::pair{37, 23}, std::pair{64, 40}, std::pair{101, 7}, std::pair{200, 150},
                             std::pair{1, 1}, std::pair{2, 3}, std::pair{1, 5}, std::pair{4, 4},
                             std::pair{1100, 1000}}) {
    Picture p(w, h);
    p.Fill([](int x, int y) { return MakeRgbq(x % 256, y % 256, (x / 256) * 16 + 5); });
    // Lens runs also with narrower vector code (the last three runs): the same bytes.
    for (const int run : {0, 1, 2, 3, 4, 5, 6}) {
      const bool bath = run & 1 && run < 4, whole = run & 2 || run >= 4;
      SetLensVectorWidth(run < 4 ? 2 : run - 4);
      FilterTarget t = whole ? WholeLayer(p, ones, true) : p.Target();
      if (bath)
        BathGlass(t);
      else
        Lens(t);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          int sx, sy;
          LensSource(w, h, x, y, bath, sx, sy);
          const Rgbq want = sx < w && sy < h ? p.In(sx, sy) : p.outside;
          ASSERT_EQ(p.Out(x, y), want) << (bath ? "bath " : "lens ") << (whole ? "whole " : "") << w << "x" << h
                                       << " vector width " << (run < 4 ? 2 : run - 4) << " at " << x << "," << y;
        }
    }
  }
}

TEST(RandomisedFilters, SamePlaceInTheSequenceGivesTheSameBytes) {
  Picture p(48, 36);
  p.Fill([](int x, int y) { return MakeRgbq((x * 29 + y * 7) % 256, (x * y) % 256, (y * 53) % 256); });
  for (int index : {kFilterStamp, kFilterConfetti, kFilterLineColour, kFilterHanji, kFilterRaindrops,
                    kFilterFrostedGlass, kFilterBubbles, kFilterOilPaint, kFilterDalmatian}) {
    const FilterParams& row = ParametersFor(FilterList()[size_t(index)].name);
    int params[3] = {row.p[0].def, row.p[1].def, row.p[2].def};
    if (index == kFilterFrostedGlass) params[0] = 4;
    if (index == kFilterDalmatian) params[0] = 12, params[1] = 6;  // the defaults blacken this small picture
    SeedProgramRand(77);
    FilterTarget t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    const std::vector<uint8_t> first = p.dst;
    const int next = ProgramRand();
    SeedProgramRand(77);
    t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_EQ(p.dst, first) << index;
    EXPECT_EQ(ProgramRand(), next) << index;  // the same number of draws
    EXPECT_NE(first, p.src) << index;
    // Another place in the sequence gives another picture.
    t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_NE(p.dst, first) << "filter " << index;
  }
}

TEST(RandomisedFilters, CancelKeepsTheCopyAndProgressEndsAtHundred) {
  Picture p(40, 30);
  Blocks(p);
  for (int index : {kFilterStamp, kFilterWatercolour, kFilterFrostedGlass, kFilterBubbles, kFilterLens}) {
    FilterControl stop;
    stop.cancelled = [] { return true; };
    const int params[3] = {8, 5, 1};
    FilterTarget t = p.Target(&stop);
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_EQ(p.dst, p.src) << index;

    int last = -1;
    bool rising = true;
    FilterControl watch;
    watch.progress = [&](int v) {
      rising = rising && v >= last;
      last = v;
    };
    t = p.Target(&watch);
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_EQ(last, 100) << index;
    EXPECT_TRUE(rising) << index;
  }
}

void DefaultParams(int index, int params[3]) {
  const FilterParams& row = ParametersFor(FilterList()[size_t(index)].name);
  for (int k = 0; k < 3; ++k) params[k] = row.p[k].def;
  if (index == kFilterFrostedGlass) params[0] = 4;
  if (index == kFilterDalmatian) params[0] = 12, params[1] = 6;
}

TEST(WholeLayerRuns, OneRowOfOnesAndAFreshTargetGiveTheBytesOfAFullSelection) {
  Picture p(37, 29);  // 111 pixel bytes in rows of 112
  p.Fill([](int x, int y) { return MakeRgbq((x * 29 + y * 7) % 256, (x * y) % 256, (y * 53 + x) % 256); });
  std::vector<uint8_t> ones;
  int fresh = 0;
  for (int index = 0; index < kFilterCount; ++index) {
    if (!FilterList()[size_t(index)].available) continue;
    int params[3];
    DefaultParams(index, params);
    SeedProgramRand(5);
    FilterTarget t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    const std::vector<uint8_t> want = PixelBytes(p);
    const int next = ProgramRand();
    for (const bool unfilled : {false, true}) {
      if (unfilled && !FilterWritesEveryPixel(index, params)) continue;
      fresh += unfilled;
      SeedProgramRand(5);
      t = WholeLayer(p, ones, unfilled);
      ASSERT_TRUE(RunFilterKernel(index, t, params));
      EXPECT_EQ(PixelBytes(p), want) << "filter " << index << (unfilled ? " fresh" : "");
      EXPECT_EQ(ProgramRand(), next) << "filter " << index;
    }
  }
  EXPECT_EQ(fresh, 4);  // watercolour, frosted glass, lens, bath glass
  // Radius 0 keeps the picture, so it is no whole-layer writer.
  const int still[3] = {0, 0, 0};
  EXPECT_FALSE(FilterWritesEveryPixel(kFilterFrostedGlass, still));
}

TEST(WholeLayerRuns, BandsOverAFreshTargetMatchTheCopy) {
  // Large enough to be shared out in row bands when the machine has several cores.
  Picture p(1100, 1000);
  p.Fill([](int x, int y) { return MakeRgbq((x * 7) % 256, (y * 3) % 256, (x ^ y) % 256); });
  std::vector<uint8_t> ones;
  for (int index : {kFilterWatercolour, kFilterLens, kFilterBathroom}) {
    const int params[3] = {-1, -1, -1};
    SeedProgramRand(8);
    FilterTarget t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    const std::vector<uint8_t> want = p.dst;
    SeedProgramRand(8);
    t = WholeLayer(p, ones, true);
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_TRUE(p.dst == want) << "filter " << index;  // no padding at 3300 bytes a row
  }
}

TEST(WholeLayerRuns, ACancelOverAFreshTargetKeepsThePictureWhereNoRowWasFiltered) {
  Picture p(40, 30);
  p.Fill([](int x, int y) { return MakeRgbq((x * 29 + y * 7) % 256, (x * y) % 256, (y * 53 + x) % 256); });
  std::vector<uint8_t> ones;
  for (int index : {kFilterWatercolour, kFilterFrostedGlass, kFilterLens, kFilterBathroom}) {
    int asked = 0;
    FilterControl stop;
    stop.cancelled = [&] { return ++asked > 12; };  // rows 0 … 11 are filtered
    const int params[3] = {5, -1, -1};
    SeedProgramRand(9);
    FilterTarget t = p.Target(&stop);
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    const std::vector<uint8_t> want = PixelBytes(p);
    asked = 0;
    SeedProgramRand(9);
    t = WholeLayer(p, ones, true, &stop);
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    EXPECT_EQ(PixelBytes(p), want) << "filter " << index;
    for (int y = 12; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) ASSERT_EQ(p.Out(x, y), p.In(x, y)) << index << " at " << x << "," << y;
    int changed = 0;  // the rows before the cancel were filtered
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < p.w; ++x) changed += p.Out(x, y) != p.In(x, y);
    EXPECT_GT(changed, 0) << "filter " << index;
  }
}

class ArtisticCommands : public DocFixture {};

TEST_F(ArtisticCommands, StepsAreNamedAndTheDocumentMatchesTheKernel) {
  Make(20, 16, [](int x, int y) { return MakeRgbq(x * 12, y * 15, (x + y) * 5); });
  Picture p(20, 16);
  p.Fill([&](int x, int y) { return At(x, y); });
  SeedProgramRand(123);
  const int params[3] = {3, -1, -1};
  ASSERT_TRUE(ApplyFilter(*doc, kFilterFrostedGlass, params));
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "유리성에");
  SeedProgramRand(123);
  FilterTarget t = p.Target();
  FrostedGlass(t, 3);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(x, y), p.Out(x, y)) << x << "," << y;

  const int none[3] = {-1, -1, -1};
  ASSERT_TRUE(ApplyFilter(*doc, kFilterLens, none));
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "렌즈효과");
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(x, y), p.In(x, y));
}


TEST_F(ArtisticCommands, WholeLayerFiltersKeepTheRowPaddingAndUndoBringsThePictureBack) {
  // 23 pixels make rows of 69 bytes padded to 72.
  Make(23, 17, [](int x, int y) { return MakeRgbq(x * 11, y * 13, (x * y) % 256); });
  Layer& l = *L().Active();
  ASSERT_GT(l.stride, 3 * l.width);
  for (int y = 0; y < l.height; ++y)
    for (int k = 3 * l.width; k < l.stride; ++k) l.pixels[size_t(y) * size_t(l.stride) + size_t(k)] = uint8_t(y + k);
  doc->RecordStep("Opening....", kStepPixels, L().active);
  const std::vector<uint8_t> before = l.pixels.ToVector();
  Picture p(23, 17);
  p.Fill([&](int x, int y) { return At(x, y); });
  p.outside = L().ReadLayerColor(L().active, -1, -1, doc->ViewImage());
  for (int index : {kFilterWatercolour, kFilterFrostedGlass, kFilterLens, kFilterBathroom}) {
    const int params[3] = {3, -1, -1};
    SeedProgramRand(31);
    ASSERT_TRUE(ApplyFilter(*doc, index, params));
    SeedProgramRand(31);
    FilterTarget t = p.Target();
    ASSERT_TRUE(RunFilterKernel(index, t, params));
    const Layer& now = *L().Active();
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 23; ++x) ASSERT_EQ(At(x, y), p.Out(x, y)) << index << " at " << x << "," << y;
      for (int k = 3 * now.width; k < now.stride; ++k) {
        const size_t i = size_t(y) * size_t(now.stride) + size_t(k);
        ASSERT_EQ(now.pixels[i], before[i]) << index << " padding of row " << y;
      }
    }
    // No plane of ones was built for a run over everything.
    EXPECT_FALSE(L().mask.Allocated()) << index;
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(L().Active()->pixels == before) << index;
  }
  // Within a selection only the selected pixels change, from a copy of the layer.
  Select(4, 3, 15, 12);
  p.SelectOnly(4, 3, 15, 12);
  const int none[3] = {-1, -1, -1};
  ASSERT_TRUE(ApplyFilter(*doc, kFilterLens, none));
  FilterTarget t = p.Target();
  Lens(t);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) ASSERT_EQ(At(x, y), p.Out(x, y)) << x << "," << y;
  ASSERT_TRUE(doc->Undo());
  EXPECT_TRUE(L().Active()->pixels == before);
}

}  // namespace
}  // namespace velmira
