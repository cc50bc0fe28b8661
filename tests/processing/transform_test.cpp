#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <numeric>
#include <set>

#include "image/compose.h"
#include "image/doc.h"
#include "processing/effects.h"
#include "processing/transform_commands.h"
#include "../support/recording_host.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

using Host = testing_support::RecordingHost;

// Every pixel a different colour, so any dropped or repeated pixel shows.
Rgbq Distinct(int x, int y) { return MakeRgbq(x * 7 + 1, y * 11 + 2, (x * 13 + y * 5) % 251); }

class TransformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-transform-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
  }
  void TearDown() override {
    doc.reset();
    fs::remove_all(tmp);
  }
  void Make(int w, int h, Rgbq (*paint)(int, int) = Distinct) {
    frame.newWidth = w;
    frame.newHeight = h;
    frame.newBitsPerPixel = 24;
    frame.newTitle = "그림";
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    Layer& l = *L().Active();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(l, x, y, paint(x, y));
    doc->RecordStep("Opening....", kStepPixels);  // the painted picture is the initial state
  }
  LayerStack& L() { return doc->Layers(); }
  static void Set(Layer& l, int x, int y, Rgbq c) {
    uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
    p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c));
  }
  static Rgbq Get(const Layer& l, int x, int y) {
    const uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
    return MakeRgbq(p[2], p[1], p[0]);
  }
  // The composed picture, bottom-up B, G, R, A rows.
  std::vector<uint8_t> Picture() {
    std::vector<uint8_t> out;
    EXPECT_TRUE(ComposeCanvas(L(), ComposeRange{}, out));
    return out;
  }
  bool Said(const std::string& m) const {
    return std::find(host.messages.begin(), host.messages.end(), m) != host.messages.end();
  }
  struct Snapshot {
    int cw, ch;
    std::vector<int> chain;
    std::vector<std::vector<uint8_t>> pixels, alpha;
    std::vector<int> geometry;
    bool operator==(const Snapshot&) const = default;
  };
  friend void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << s.cw << "x" << s.ch << " layers";
    for (size_t k = 0; k < s.chain.size(); ++k)
      *os << " [" << s.chain[k] << ": " << s.geometry[4 * k] << "," << s.geometry[4 * k + 1] << " "
          << s.geometry[4 * k + 2] << "x" << s.geometry[4 * k + 3] << " covered "
          << std::count(s.alpha[k].begin(), s.alpha[k].end(), 255) << " sum " << std::accumulate(s.pixels[k].begin(), s.pixels[k].end(), 0) << "]";
  }
  Snapshot Snap() {
    Snapshot s{L().header.canvasWidth, L().header.canvasHeight, L().Chain(), {}, {}, {}};
    for (int k : s.chain) {
      const Layer& l = L().slots[k];
      s.pixels.push_back(l.pixels);
      s.alpha.push_back(l.alpha);
      s.geometry.insert(s.geometry.end(), {l.x, l.y, l.width, l.height});
    }
    return s;
  }

  fs::path tmp;
  FrameState frame;
  Host host;
  std::unique_ptr<CMirvDoc> doc;
};

TEST_F(TransformTest, QuarterTurnMovesEveryPixelClockwise) {
  Make(3, 2);
  const Layer before = L().slots[L().active];
  ASSERT_TRUE(RotateCanvas(*doc, 90));
  const Layer& l = *L().Active();
  EXPECT_EQ(L().header.canvasWidth, 2);
  EXPECT_EQ(L().header.canvasHeight, 3);
  ASSERT_EQ(l.width, 2);
  ASSERT_EQ(l.height, 3);
  // Clockwise as shown (rows bottom-up): the shown top row becomes the right column.
  std::set<Rgbq> seen;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) {
      EXPECT_EQ(Get(l, x, y), Get(before, 2 - y, x)) << x << "," << y;
      seen.insert(Get(l, x, y));
    }
  EXPECT_EQ(seen.size(), 6u);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "캔버스 90 우회전");
}

TEST_F(TransformTest, TurnsThatAddUpToNothingAreTheIdentity) {
  Make(5, 3);
  // A selection travels with its pixels.
  std::fill(L().mask.begin(), L().mask.end(), uint8_t(0));
  L().mask[1 + 2 * 5] = 1;
  L().selectionExists = true;
  const Snapshot start = Snap();
  const std::vector<uint8_t> mask = L().mask;

  ASSERT_TRUE(RotateCanvas(*doc, 90));
  EXPECT_EQ(L().maskWidth, 3);
  EXPECT_EQ(std::count(L().mask.begin(), L().mask.end(), 1), 1);
  EXPECT_EQ(L().mask[2 + 3 * 3], 1);  // stored (1, 2) of 5 × 3 turns to (2, 3) of 3 × 5
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(RotateCanvas(*doc, 90));
  EXPECT_EQ(Snap(), start);
  EXPECT_EQ(L().mask, mask);

  ASSERT_TRUE(RotateCanvas(*doc, 90));
  ASSERT_TRUE(RotateCanvas(*doc, -90));
  EXPECT_EQ(Snap(), start);
  ASSERT_TRUE(RotateCanvas(*doc, 180));
  EXPECT_NE(Snap(), start);
  ASSERT_TRUE(RotateCanvas(*doc, 180));
  EXPECT_EQ(Snap(), start);
  EXPECT_EQ(L().mask, mask);

  // The same for one layer; a square layer keeps the canvas.
  Make(4, 4);
  const Snapshot square = Snap();
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(RotateLayer(*doc, -90));
  EXPECT_EQ(Snap(), square);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "레이어 90 좌회전");
}

TEST_F(TransformTest, RotatedBoxTruncatesTheTurnedCorners) {
  const RotatedBox b = RotatedBoxOf(3, 2, RotationAngle(90.0f));
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Height(), 3);
  const RotatedBox h = RotatedBoxOf(7, 4, RotationAngle(180.0f));
  EXPECT_EQ(h.Width(), 7);
  EXPECT_EQ(h.Height(), 4);
}

TEST_F(TransformTest, DoubleFlipsRestoreLayersAndMask) {
  Make(6, 4);
  L().mask.assign(L().mask.size(), 0);
  L().mask[0] = 1;
  L().selectionExists = true;
  const Snapshot start = Snap();
  ASSERT_TRUE(FlipCanvas(*doc, true));
  EXPECT_EQ(Get(*L().Active(), 0, 0), Distinct(5, 0));
  EXPECT_EQ(L().mask[5], 1);
  EXPECT_EQ(L().mask[0], 0);
  ASSERT_TRUE(FlipCanvas(*doc, true));
  EXPECT_EQ(Snap(), start);
  ASSERT_TRUE(FlipLayer(*doc, false));
  EXPECT_EQ(Get(*L().Active(), 2, 0), Distinct(2, 3));
  EXPECT_EQ(L().mask[size_t(3 * 6)], 1);
  ASSERT_TRUE(FlipLayer(*doc, false));
  EXPECT_EQ(Snap(), start);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "레이어 수직제비회전");
}

TEST_F(TransformTest, CanvasTakesTheLargestRotatedLayer) {
  Make(100, 50);
  ASSERT_TRUE(doc->AddLayer());
  // A second layer narrower than the canvas, as older files may hold.
  Layer& l = *L().Active();
  l.width = 40, l.height = 80, l.stride = StrideFor(40, 24);
  l.imageSize = l.stride * 80, l.pixelCount = 40 * 80;
  l.pixels.assign(size_t(l.imageSize), 200);
  l.alpha.assign(size_t(l.pixelCount), 255);
  l.effect.assign(size_t(l.pixelCount), 0);
  L().ResetSelection(L().active);
  doc->CommitLayer(L().active);
  ASSERT_TRUE(RotateCanvas(*doc, 90));
  EXPECT_EQ(L().header.canvasWidth, 80);
  EXPECT_EQ(L().header.canvasHeight, 100);
  // Every layer covers the new canvas.
  for (int s : L().Chain()) {
    EXPECT_GE(L().slots[s].width, 80);
    EXPECT_GE(L().slots[s].height, 100);
  }
}

TEST_F(TransformTest, TextLayersAreRefusedByRotations) {
  Make(4, 4);
  L().Active()->kind = kLayerText;
  EXPECT_FALSE(RotateCanvas(*doc, 90));
  EXPECT_TRUE(Said(kMsgTextInAllRotate));
  EXPECT_FALSE(RotateLayer(*doc, 180));
  EXPECT_TRUE(Said(kMsgTextLayerRotate));
  EXPECT_EQ(L().header.canvasWidth, 4);
}

TEST_F(TransformTest, ResizeChoosesBilinearOnlyWhenNothingShrinks) {
  EXPECT_TRUE(ResizeUsesBilinear(200.0f / 100.0f, 200.0f / 100.0f));
  EXPECT_FALSE(ResizeUsesBilinear(50.0f / 100.0f, 1.0f));
  EXPECT_FALSE(ResizeUsesBilinear(2.0f, 0.5f));

  // Enlarging a two-pixel ramp: the fixed-point bilinear weights of each position.
  Make(2, 1, [](int x, int) { return x ? MakeRgbq(255, 255, 255) : MakeRgbq(0, 0, 0); });
  ASSERT_TRUE(ResizePicture(*doc, 4, 2));
  const int want[4] = {0, 63, 191, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(RgbqR(Get(*L().Active(), x, 1)), want[x]) << x;
  EXPECT_EQ(L().Active()->alpha[3], 255);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "이미지크기");

  // Reducing: the overlap-weighted mean of the source footprint.
  Make(3, 1, [](int x, int) { return MakeRgbq(x * 90, 0, 0); });
  ASSERT_TRUE(ResizePicture(*doc, 2, 1));
  // (1 × 0 + ½ × 90) / 1.5 with the thirds as 2731 and 1365 of 4096: 29.99, truncated.
  EXPECT_EQ(RgbqR(Get(*L().Active(), 0, 0)), 29);
  EXPECT_EQ(RgbqR(Get(*L().Active(), 1, 0)), 150);  // (½ × 90 + 1 × 180) / 1.5
  // Halving one direction averages pairs and keeps the other direction.
  Make(4, 2, [](int x, int y) { return MakeRgbq(x * 10 + y * 100, 0, 0); });
  ASSERT_TRUE(ResizePicture(*doc, 2, 2));
  EXPECT_EQ(RgbqR(Get(*L().Active(), 0, 0)), 5);
  EXPECT_EQ(RgbqR(Get(*L().Active(), 1, 1)), 125);
  // The same size does nothing and records nothing.
  const int step = doc->History().Step();
  EXPECT_FALSE(ResizePicture(*doc, 2, 2));
  EXPECT_EQ(doc->History().Step(), step);
}

TEST_F(TransformTest, CanvasAnchorsPlaceTheOldPicture) {
  int dx, dy;
  AnchorOffset(4, 120, 120, 100, 100, &dx, &dy);
  EXPECT_EQ(dx, 10);
  EXPECT_EQ(dy, 10);
  AnchorOffset(0, 120, 110, 100, 100, &dx, &dy);  // top-left as shown: rows count from the bottom
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 10);
  AnchorOffset(8, 120, 110, 100, 100, &dx, &dy);
  EXPECT_EQ(dx, 20);
  EXPECT_EQ(dy, 0);

  Make(100, 100);
  L().mask.assign(L().mask.size(), 0);
  L().mask[3 + 4 * 100] = 1;
  L().selectionExists = true;
  ASSERT_TRUE(CanvasSize(*doc, 120, 120, 4));
  const Layer& l = *L().Active();
  // The selection moves with the picture; the new border is not selected.
  ASSERT_EQ(L().maskWidth, 120);
  EXPECT_EQ(L().mask[13 + 14 * 120], 1);
  EXPECT_EQ(std::count(L().mask.begin(), L().mask.end(), 1), 1);
  EXPECT_EQ(l.width, 120);
  EXPECT_EQ(Get(l, 10, 10), Distinct(0, 0));
  EXPECT_EQ(Get(l, 109, 109), Distinct(99, 99));
  EXPECT_EQ(l.alpha[0], 0);  // the new area is uncovered
  EXPECT_EQ(l.alpha[10 + 10 * 120], 255);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "캔버스크기조정");
}

TEST_F(TransformTest, UndoOfCanvasStepsRestoresEveryLayer) {
  Make(6, 4);
  ASSERT_TRUE(doc->AddLayer());
  Layer& top = *L().Active();
  for (int x = 0; x < 3; ++x) {
    Set(top, x, 1, MakeRgbq(9, 9, 9));
    top.alpha[size_t(x + 6)] = 255;
  }
  doc->RecordStep("그리기", kStepPixels);
  const Snapshot start = Snap();

  ASSERT_TRUE(RotateCanvas(*doc, 90));
  const Snapshot turned = Snap();
  ASSERT_TRUE(ResizePicture(*doc, 8, 12));
  ASSERT_TRUE(CanvasSize(*doc, 10, 13, 2));
  const Snapshot last = Snap();
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Snap(), turned);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Snap(), start);
  ASSERT_TRUE(doc->Redo());
  ASSERT_TRUE(doc->Redo());
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(Snap(), last);
}

TEST_F(TransformTest, FreeTransformsMapOntoTheCorners) {
  Make(4, 4);
  const Snapshot start = Snap();
  // The picture's own corners (pixel edges) give it back unchanged.
  const QuadPoint same[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  ASSERT_TRUE(FreeTransform(*doc, FreeMode::Size, same));
  EXPECT_EQ(Snap(), start);
  // A free rotation by a right angle moves whole pixels like the fixed turn.
  ASSERT_TRUE(FreeRotate(*doc, 90.0f));
  const Snapshot free = Snap();
  Make(4, 4);
  ASSERT_TRUE(RotateLayer(*doc, 90));
  EXPECT_EQ(Snap(), free);

  // Doubling the width: every source pixel covers two whole pixels.
  const QuadPoint wide[4] = {{0, 0}, {8, 0}, {8, 4}, {0, 4}};
  ASSERT_TRUE(FreeTransform(*doc, FreeMode::Size, wide));
  const Layer& l = *L().Active();
  EXPECT_EQ(l.width, 8);
  EXPECT_EQ(Get(l, 6, 0), Get(l, 7, 0));
  EXPECT_NE(Get(l, 5, 0), Get(l, 6, 0));

  // Corners on one line give parallel edge lines: the layer stays.
  const Snapshot before = Snap();
  const QuadPoint flat[4] = {{0, 0}, {4, 0}, {8, 0}, {12, 0}};
  EXPECT_FALSE(FreeTransform(*doc, FreeMode::Perspective, flat));
  EXPECT_EQ(Snap(), before);
  // A folded (crossed) quadrilateral paints both halves without running off its box.
  Make(6, 6);
  const QuadPoint folded[4] = {{0, 0}, {6, 6}, {6, 0}, {0, 6}};
  if (FreeTransform(*doc, FreeMode::Perspective, folded)) {
    EXPECT_EQ(L().Active()->width, 6);
    EXPECT_GT(std::count(L().Active()->alpha.begin(), L().Active()->alpha.end(), 0), 0);
  }
}

TEST_F(TransformTest, FreeRotationKeepsContentAndCoverage) {
  Make(20, 20, [](int, int) { return MakeRgbq(200, 100, 50); });
  ASSERT_TRUE(FreeRotate(*doc, 30.0f));
  const Layer& l = *L().Active();
  EXPECT_GT(l.width, 20);
  // The centre stays fully covered in the picture's colour; a corner of the new box
  // is outside the turned square.
  const int cx = l.width / 2, cy = l.height / 2;
  EXPECT_EQ(l.alpha[size_t(cx + cy * l.width)], 255);
  EXPECT_EQ(Get(l, cx, cy), MakeRgbq(200, 100, 50));
  EXPECT_EQ(l.alpha[0], 0);
  EXPECT_EQ(doc->History().Label(doc->History().Step()), "자유회전");
}

TEST_F(TransformTest, TouchWarpChangesOnlyTheDisc) {
  Make(40, 40);
  const Layer before = L().slots[L().active];
  TouchSettings t;
  t.boxWidth = 20, t.boxHeight = 20, t.mode = 0;
  ASSERT_TRUE(TouchTransform(*doc, 20, 20, t, true));
  const Layer& l = *L().Active();
  EXPECT_EQ(Get(l, 10, 10), Get(before, 10, 10));  // a box corner, outside the disc
  EXPECT_EQ(Get(l, 5, 20), Get(before, 5, 20));    // outside the box
  int changed = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) changed += Get(l, x, y) != Get(before, x, y);
  EXPECT_GT(changed, 100);
}

TEST_F(TransformTest, MirrorOfTheComposedPictureLeavesLayers) {
  Make(5, 2);
  ASSERT_TRUE(doc->ViewImage()->IsValid());
  doc->ViewImage()->WriteColor(0, 0, MakeRgbq(250, 1, 2));
  const Rgbq first = doc->ViewImage()->ReadColor(0, 0);
  const Snapshot start = Snap();
  ASSERT_TRUE(MirrorComposed(*doc));
  EXPECT_EQ(doc->ViewImage()->ReadColor(4, 0), first);
  EXPECT_NE(doc->ViewImage()->ReadColor(0, 0), first);
  EXPECT_EQ(Snap(), start);
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// Paletted planes interpolate in colour and map back to the nearest entry.
TEST(TransformKernels, PalettedPlanesResampleThroughThePalette) {
  const std::vector<uint8_t> palette = {0, 0, 0, 0, 255, 255, 255, 0};  // black, white
  Planes src;
  ASSERT_TRUE(MakePlanes(src, 2, 1, 8, 255, false, 1));
  src.pixels[0] = 0, src.pixels[1] = 1;
  Planes dst;
  ASSERT_TRUE(MakePlanes(dst, 4, 1, 8, 0, false, 1));
  ResizePlanes(src, 2.0f, 1.0f, dst, palette);
  // 0, 63, 191, 255 grey: nearer black, black, white, white.
  EXPECT_EQ(std::vector<uint8_t>(dst.pixels.begin(), dst.pixels.begin() + 4), (std::vector<uint8_t>{0, 0, 1, 1}));
  EXPECT_EQ(dst.alpha[1], 255);

  // Four bits a pixel: a flip swaps nibbles across bytes.
  Planes nib;
  ASSERT_TRUE(MakePlanes(nib, 3, 1, 4, 255, false, 1));
  nib.pixels[0] = 0x12, nib.pixels[1] = 0x30;
  FlipPlanes(nib, true);
  EXPECT_EQ(nib.pixels[0], 0x32);
  EXPECT_EQ(nib.pixels[1] & 0xF0, 0x10);
}

// The area average truncates like every other integer conversion in the program: a
// 50 % reduction gives the floor of each 2 × 2 block's mean, never one level above it,
// and the exact integer weights keep a flat area at its value at any scale.
TEST(TransformKernels, AreaAverageTruncatesAndKeepsFlatAreas) {
  Planes src;
  ASSERT_TRUE(MakePlanes(src, 10, 6, 24, 255, false, 1));
  const auto value = [](int x, int y, int ch) { return (x * 37 + y * 91 + ch * 53 + x * y * 7) % 256; };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) {
      for (int ch = 0; ch < 3; ++ch)
        src.pixels[size_t(y) * size_t(src.stride) + size_t(x) * 3 + size_t(ch)] = uint8_t(value(x, y, ch));
      src.alpha[size_t(y) * 10 + size_t(x)] = uint8_t(value(x, y, 3));
    }
  Planes half;
  ASSERT_TRUE(MakePlanes(half, 5, 3, 24, 0, false, 1));
  ResizePlanes(src, 0.5f, 0.5f, half, {});
  int roundedUpWouldDiffer = 0;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int ch = 0; ch < 4; ++ch) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx) sum += value(2 * x + dx, 2 * y + dy, ch);
        roundedUpWouldDiffer += sum % 4 >= 2;
        const int got = ch < 3 ? half.pixels[size_t(y) * size_t(half.stride) + size_t(x) * 3 + size_t(ch)]
                               : half.alpha[size_t(y) * 5 + size_t(x)];
        ASSERT_EQ(got, sum / 4) << x << "," << y << " channel " << ch;
      }
  // The picture really has blocks where rounding and truncation part ways.
  EXPECT_GT(roundedUpWouldDiffer, 10);

  for (const float scale : {1.0f / 3.0f, 0.7f, 3.0f / 7.0f}) {
    Planes flat;
    ASSERT_TRUE(MakePlanes(flat, 21, 9, 24, 200, false, 1));
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 21 * 3; ++x) flat.pixels[size_t(y) * size_t(flat.stride) + size_t(x)] = uint8_t(77 + x % 3);
    const int ow = std::max(1, int(21 * scale)), oh = std::max(1, int(9 * scale));
    Planes out;
    ASSERT_TRUE(MakePlanes(out, ow, oh, 24, 0, false, 1));
    ResizePlanes(flat, scale, scale, out, {});
    for (int y = 0; y < oh; ++y)
      for (int x = 0; x < ow; ++x) {
        const uint8_t* p = out.pixels.data() + size_t(y) * size_t(out.stride) + size_t(x) * 3;
        ASSERT_EQ(p[0], 77) << scale;
        ASSERT_EQ(p[1], 78) << scale;
        ASSERT_EQ(p[2], 79) << scale;
        ASSERT_EQ(out.alpha[size_t(y) * size_t(ow) + size_t(x)], 200) << scale;
      }
  }
}

TEST(TransformKernels, TextLayerBytePlanesKeepTheirStride) {
  Planes t;
  t.text = true;
  ASSERT_TRUE(MakePlanes(t, 5, 3, 8, 255, false, 1));
  EXPECT_EQ(t.stride, 5);  // one byte a pixel, no row padding
  for (size_t k = 0; k < t.pixels.size(); ++k) t.pixels[k] = uint8_t(k);
  Planes big;
  big.text = true;
  ASSERT_TRUE(MakePlanes(big, 7, 4, 8, 0, false, 1));
  PlacePlanes(t, big, 1, 1);
  EXPECT_EQ(big.pixels[1 + 1 * 7], 0);
  EXPECT_EQ(big.pixels[5 + 3 * 7], 14);
  EXPECT_EQ(big.alpha[0], 0);
  Planes half;
  half.text = true;
  ASSERT_TRUE(MakePlanes(half, 3, 2, 8, 0, false, 1));
  ResizePlanes(big, 3.0f / 7.0f, 0.5f, half, {});
  EXPECT_GT(half.alpha[size_t(1 + 1 * 3)], 0);
}

}  // namespace
}  // namespace velmira

namespace velmira {
namespace {

// The rotation panel previews with RotateLayerFreely and records with FreeRotate:
// the same layer and the same selection must come out of both.
TEST_F(TransformTest, ThePanelsTurnIsTheCommandsTurn) {
  Make(10, 8);
  for (float degrees : {30.0f, -75.5f, 180.0f}) {
    LayerStack preview = L();
    ASSERT_TRUE(RotateLayerFreely(preview, preview.active, degrees));
    ASSERT_TRUE(FreeRotate(*doc, degrees));
    const Layer& shown = preview.slots[preview.active];
    const Layer& recorded = *L().Active();
    EXPECT_EQ(shown.pixels, recorded.pixels) << degrees;
    EXPECT_EQ(shown.alpha, recorded.alpha) << degrees;
    EXPECT_EQ(std::vector<int>({shown.width, shown.height, shown.x, shown.y}),
              std::vector<int>({recorded.width, recorded.height, recorded.x, recorded.y}))
        << degrees;
    EXPECT_EQ(preview.mask, L().mask) << degrees;
    ASSERT_TRUE(doc->Undo());
  }
}

}  // namespace
}  // namespace velmira
