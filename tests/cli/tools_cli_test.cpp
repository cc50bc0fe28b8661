// The selection, fill, gradient and brush commands of velmira-cli, on small pictures
// whose every pixel the tests can predict.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "formats/format_dispatch.h"
#include "image/image_buffer.h"

namespace velmira {
namespace {

constexpr int kW = 20, kH = 10;
const Rgbq kGrey = MakeRgbq(128, 128, 128), kBlack = MakeRgbq(0, 0, 0), kRed = MakeRgbq(255, 0, 0);

class ToolsCli : public CliFixture {
 protected:
  // Grey with a black line across row 5 and, when asked, black dots at the corners.
  void Write(bool dots) {
    CImageBuffer in;
    ASSERT_TRUE(in.Allocate(kW, kH, 24, kFormatBmp));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) Set(in, x, y, y == 5 ? kBlack : kGrey);
    if (dots)
      for (auto [x, y] : {std::pair{0, 0}, {19, 0}, {0, 9}, {19, 9}}) Set(in, x, y, kBlack);
    ASSERT_TRUE(SaveFile(in, dir / "in.bmp", kFormatBmp));
  }
  // Pixels as the user sees them: y from the top.
  static void Set(CImageBuffer& b, int x, int y, Rgbq c) { b.WriteColor(x, b.Height() - 1 - y, c); }
  Rgbq At(int x, int y) const { return out.ReadColor(x, out.Height() - 1 - y); }
  bool Convert(const std::string& args) {
    last = Cli("convert " + args + " " + P("in.bmp") + " " + P("out.bmp"));
    return last.status == 0 && LoadFile(out, dir / "out.bmp", kFormatBmp);
  }
  int Count(Rgbq c) const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) == c;
    return n;
  }

  CImageBuffer out;
  CliRun last;
};

TEST_F(ToolsCli, FillFollowsTheRegionAndTheToleranceIsTakenAsGiven) {
  Write(false);
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'fill 3 2 10'")) << last.out;
  EXPECT_EQ(Count(kRed), kW * 5);  // rows 0…4 only: the black line stops it
  EXPECT_EQ(At(3, 5), kBlack);
  EXPECT_EQ(At(3, 8), kGrey);
  // A tolerance far above the slider's 60 floods every connected pixel.
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'fill 3 2 1000'")) << last.out;
  EXPECT_EQ(Count(kRed), kW * kH);
  // A negative tolerance is no tolerance at all: refused before anything is written.
  EXPECT_FALSE(Convert("--do 'fill 3 2 -1'"));
  EXPECT_NE(last.out.find("tolerance"), std::string::npos) << last.out;
}

TEST_F(ToolsCli, SelectionsLimitTheFill) {
  Write(false);
  // Corners given bottom-right first: both included all the same.
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'select-rect 6 8 2 1' --do 'fill 3 2 1000'")) << last.out;
  EXPECT_EQ(Count(kRed), 5 * 8);
  EXPECT_EQ(At(2, 1), kRed);
  EXPECT_EQ(At(6, 8), kRed);
  EXPECT_EQ(At(7, 8), kGrey);
  EXPECT_EQ(At(2, 0), kGrey);

  // The wand takes the upper grey band; inverted, the fill reaches the rest only.
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'magic-wand 3 2 5' --do invert-selection --do 'fill 3 8 1000'"))
      << last.out;
  EXPECT_EQ(Count(kRed), kW * 5);
  EXPECT_EQ(At(3, 2), kGrey);
  EXPECT_EQ(At(3, 5), kRed);

  // Cleared, the selection limits nothing.
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'select-rect 0 0 1 1' --do clear-selection --do 'fill 3 2 1000'"));
  EXPECT_EQ(Count(kRed), kW * kH);
  EXPECT_FALSE(Convert("--do invert-selection"));
  EXPECT_NE(last.out.find("no selection"), std::string::npos) << last.out;
}

TEST_F(ToolsCli, ColourRangeSelectsUnconnectedPixelsOfTheColour) {
  Write(true);
  // Black everywhere it lies: the line and the four corners, none of them touching.
  ASSERT_TRUE(Convert("--fg '#ff0000' --do 'select-colour-range 0 0 0' --do 'fill 0 0 1000'")) << last.out;
  // The fill starts in the corner and, within the selection, paints what it reaches:
  // the whole picture is connected, so every black pixel and nothing else.
  EXPECT_EQ(Count(kRed), kW + 4);
  EXPECT_EQ(Count(kBlack), 0);
  EXPECT_EQ(At(19, 9), kRed);
}

TEST_F(ToolsCli, StrokeAndGradient) {
  Write(false);
  ASSERT_TRUE(Convert("--fg '#ff0000' --brush 1 --do 'stroke 2 1 15 1'")) << last.out;
  EXPECT_EQ(Count(kRed), 14);
  for (int x = 2; x <= 15; ++x) EXPECT_EQ(At(x, 1), kRed) << x;

  // One-way blend, dragged right to left (slanting a little): the foreground sits at
  // the start, the background at the far side of the picture.
  ASSERT_TRUE(Convert("--fg '#ffffff' --bg '#000000' --do 'gradient 19 2 0 3 1 2'")) << last.out;
  EXPECT_GE(RgbqR(At(19, 2)), 250);
  EXPECT_LE(RgbqR(At(0, 3)), 5);
  for (int x = 1; x < kW; ++x) EXPECT_GE(RgbqR(At(x, 3)), RgbqR(At(x - 1, 3))) << x;
  // A level drag the same way round: the same direction of the ramp.
  ASSERT_TRUE(Convert("--fg '#ffffff' --bg '#000000' --do 'gradient 19 2 0 2 1 2'")) << last.out;
  EXPECT_GT(RgbqR(At(19, 7)), RgbqR(At(0, 7)));

  // A click is not a drag: the message, a failure and no file.
  std::filesystem::remove(dir / "out.bmp");
  EXPECT_FALSE(Convert("--do 'gradient 4 4 4 4 1 1'"));
  EXPECT_NE(last.out.find("클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요"), std::string::npos) << last.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.bmp"));
  EXPECT_FALSE(Convert("--do 'gradient 0 0 9 9 3 1'"));
  EXPECT_NE(last.out.find("KIND"), std::string::npos) << last.out;
}

// Guide paths from the command line: clicks, the closed path as a selection (seen
// through a colour offset, which touches only selected pixels), the stroke and
// refusals.
TEST_F(ToolsCli, GuidePathsSelectAndStroke) {
  Write(false);
  // A rectangle 2…12 × 1…8 closed by a point beside its first corner.
  ASSERT_TRUE(Convert("--do 'path 2 1 12 1 12 8 2 8 3 1' --do path-to-selection --do 'rgb-offset 99 0 0'"))
      << last.out;
  const Rgbq redder = MakeRgbq(227, 128, 128);
  EXPECT_EQ(At(7, 3), redder);
  EXPECT_EQ(At(2, 1), redder);  // the outline itself belongs to the selection
  EXPECT_EQ(At(7, 5), MakeRgbq(99, 0, 0));
  EXPECT_EQ(At(15, 3), kGrey);
  EXPECT_EQ(At(1, 1), kGrey);
  EXPECT_EQ(At(7, 9), kGrey);

  // The stroke along an open path in the foreground colour.
  ASSERT_TRUE(Convert("--fg '#ff0000' --brush 1 --do 'path 1 2 18 2' --do path-stroke")) << last.out;
  EXPECT_EQ(Count(kRed), 18);
  ASSERT_TRUE(Convert("--fg '#ff0000' --brush 1 --do 'path 1 2 18 2' --do 'path-stroke 50'")) << last.out;
  EXPECT_EQ(Count(kRed), 9);  // half of 17 pixels' length: 1…9
  EXPECT_EQ(At(9, 2), kRed);
  EXPECT_EQ(At(10, 2), kGrey);

  // Refusals: each with its message and no picture written.
  const struct {
    const char* args;
    const char* says;
  } refused[] = {
      {"--do 'path 2 1 12 1 12 8' --do path-to-selection", "경로가 닫혀 있지 않습니다."},
      {"--do 'path 2 1 12 1' --do path-to-selection", "안내 점이 더 필요합니다."},
      {"--do 'path 2 1 12'", "X Y pairs"},
      {"--do 'path 2 1 40 1'", "outside the active layer"},
      {"--do 'path 2 1 12 1' --do 'path-stroke 101'", "0…100"},
      {"--do path-stroke", "no segment"},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(Convert(r.args)) << r.args;
    EXPECT_NE(last.out.find(r.says), std::string::npos) << r.args << ": " << last.out;
  }
  // A click after the path closed asks about removing it; without a user the answer
  // is Cancel and the closed path stays usable.
  ASSERT_TRUE(Convert("--do 'path 2 1 12 1 12 8 2 8 3 1 5 5' --do path-to-selection --do 'rgb-offset 99 0 0'"))
      << last.out;
  EXPECT_NE(last.out.find("현재 완성된 경로를 제거하시겠습니까?"), std::string::npos) << last.out;
  EXPECT_EQ(At(7, 3), redder);
  EXPECT_EQ(At(15, 3), kGrey);
}

}  // namespace
}  // namespace velmira
