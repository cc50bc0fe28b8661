// velmira-cli's text, edit-text, calendar and frame commands, run with no display:
// text drawn through Qt's offscreen platform, kept editable through a VLM file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli_run.h"
#include "formats/format_dispatch.h"
#include "image/image_buffer.h"

namespace velmira {
namespace {

const Rgbq kGrey = MakeRgbq(128, 128, 128), kRed = MakeRgbq(255, 0, 0);

class DecorationsCli : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    // The command-line tool must not need a display or a platform chosen for it.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
  }
  void Write(int w, int h) {
    CImageBuffer in;
    ASSERT_TRUE(in.Allocate(w, h, 24, kFormatBmp));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) in.WriteColor(x, y, kGrey);
    ASSERT_TRUE(SaveFile(in, dir / "in.bmp", kFormatBmp));
  }
  bool Run(const std::string& args, const std::string& in = "in.bmp", const std::string& out = "out.bmp") {
    last = Cli("convert " + args + " " + P(in) + " " + P(out));
    return last.status == 0;
  }
  bool Load(CImageBuffer& b, const std::string& name = "out.bmp") { return LoadFile(b, dir / name, kFormatBmp); }
  static Rgbq At(const CImageBuffer& b, int x, int y) { return b.ReadColor(x, b.Height() - 1 - y); }
  static std::vector<uint8_t> Bits(const CImageBuffer& b) {
    return std::vector<uint8_t>(b.Pixels(), b.Pixels() + size_t(b.Ext().stride) * size_t(b.Height()));
  }
  static int CountNot(const CImageBuffer& b, Rgbq c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(b, x, y) != c;
    return n;
  }
  CliRun last;
};

TEST_F(DecorationsCli, TextIsDrawnHeadlessAndTheSameEveryTime) {
  Write(300, 120);
  ASSERT_TRUE(Run("--fg '#ff0000' --do 'text 10 10 20 \"한글 100%\\nline\"'")) << last.out;
  EXPECT_EQ(last.out, "") << "the tool printed something on a good run";
  CImageBuffer a, b;
  ASSERT_TRUE(Load(a));
  EXPECT_GT(CountNot(a, kGrey, 10, 10, 300, 60), 100);  // the first line
  EXPECT_GT(CountNot(a, kGrey, 10, 60, 300, 110), 50);  // "line" one step lower
  EXPECT_EQ(CountNot(a, kGrey, 0, 0, 300, 9), 0);       // nothing above the point
  int red = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x) red += At(a, x, y) == kRed;
  EXPECT_GT(red, 20) << "no pixel in the full text colour";
  ASSERT_TRUE(Run("--fg '#ff0000' --do 'text 10 10 20 \"한글 100%\\nline\"'", "in.bmp", "again.bmp"));
  ASSERT_TRUE(Load(b, "again.bmp"));
  EXPECT_EQ(Bits(a), Bits(b));
  // A face the machine lacks falls back to the default face, not to empty boxes.
  ASSERT_TRUE(Run("--font 'No Such Face 123' --fg '#ff0000' --do 'text 10 10 20 \"한글 100%\\nline\"'", "in.bmp",
                  "fallback.bmp"))
      << last.out;
  ASSERT_TRUE(Load(b, "fallback.bmp"));
  EXPECT_EQ(Bits(a), Bits(b));
  // Bold draws more ink than regular.
  ASSERT_TRUE(Run("--font-style Bold --fg '#ff0000' --do 'text 10 10 20 \"한글 100%\\nline\"'", "in.bmp", "bold.bmp"));
  ASSERT_TRUE(Load(b, "bold.bmp"));
  EXPECT_GT(CountNot(b, kGrey, 0, 0, 300, 120), CountNot(a, kGrey, 0, 0, 300, 120));
}

TEST_F(DecorationsCli, ATextLayerStaysEditableThroughAVlmFile) {
  Write(200, 100);
  ASSERT_TRUE(Run("--fg '#0000ff' --font-style Italic --do 'text 5 5 12 \"첫째 줄\"'", "in.bmp", "t.vlm")) << last.out;
  CliRun info = Cli("info --json " + P("t.vlm"));
  ASSERT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find("\"kind\": \"text\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"text\": \"첫째 줄\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"size\": 12"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"face\": \"Noto Sans CJK KR\""), std::string::npos) << info.out;
  ASSERT_TRUE(Run("--do 'set-active 1' --do 'edit-text 둘째\\n셋째'", "t.vlm", "e.vlm")) << last.out;
  info = Cli("info --json " + P("e.vlm"));
  EXPECT_NE(info.out.find("\"text\": \"둘째\\n셋째\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"size\": 12"), std::string::npos) << info.out;
  // The edit keeps the place: both versions start at the same top-left.
  ASSERT_TRUE(Run("", "t.vlm", "t.bmp"));
  ASSERT_TRUE(Run("", "e.vlm", "e.bmp"));
  CImageBuffer t, e;
  ASSERT_TRUE(Load(t, "t.bmp"));
  ASSERT_TRUE(Load(e, "e.bmp"));
  auto left = [](const CImageBuffer& b) {
    for (int x = 0; x < 200; ++x)
      if (CountNot(b, kGrey, x, 0, x + 1, 100) > 0) return x;
    return -1;
  };
  EXPECT_GE(left(t), 5);
  EXPECT_LE(std::abs(left(t) - left(e)), 2);
  EXPECT_NE(Bits(t), Bits(e));
  // Editing a layer that is not text is refused by name.
  EXPECT_FALSE(Run("--do 'edit-text x'", "t.vlm", "no.vlm"));
  EXPECT_NE(last.out.find("not a text layer"), std::string::npos) << last.out;
}

TEST_F(DecorationsCli, BadArgumentsAreRefusedBeforeAnythingIsWritten) {
  Write(50, 40);
  const char* bad[] = {"calendar 2026 0 10", "calendar 2026 13 10", "calendar 0 5 10",  "calendar 2026 5 0",
                       "frame 4 30",         "frame -1 30",         "frame 0 4",         "text 5 5 0 a",
                       "text 5 5 10 ''",     "text 60 5 10 a",      "text 5 5 10 \\n\\n", "text x 5 10 a"};
  for (const char* b : bad) {
    EXPECT_FALSE(Run(std::string("--do '") + b + "'", "in.bmp", "bad.bmp")) << b;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.bmp")) << b;
    EXPECT_NE(last.out.find("velmira-cli: "), std::string::npos) << b << ": " << last.out;
  }
  EXPECT_FALSE(Run("--font-style Heavy --do 'text 1 1 10 a'", "in.bmp", "bad.bmp"));
  EXPECT_NE(last.out.find("Bold Italic"), std::string::npos) << last.out;
}

TEST_F(DecorationsCli, ACalendarWiderThanThePictureGrowsIt) {
  Write(60, 40);
  ASSERT_TRUE(Run("--fg '#000000' --do 'calendar 2007 1 20'", "in.bmp", "cal.vlm")) << last.out;
  const CliRun info = Cli("info --json " + P("cal.vlm"));
  EXPECT_NE(info.out.find("\" [달력] 1월\""), std::string::npos) << info.out;
  EXPECT_EQ(info.out.find("\"width\": 60,"), std::string::npos) << info.out;
  ASSERT_TRUE(Run("", "cal.vlm", "cal.bmp"));
  CImageBuffer c;
  ASSERT_TRUE(Load(c, "cal.bmp"));
  // Point size 28, cells of 35: seven columns from x = 30 and eight rows from y = 20.
  EXPECT_GE(c.Width(), 30 + 7 * 35);
  EXPECT_GE(c.Height(), 20 + 7 * 35);
  EXPECT_EQ(At(c, 5, 5), kGrey);  // the picture keeps its top-left corner
  EXPECT_EQ(CountNot(c, kGrey, 0, 0, 60, 20), 0);
  EXPECT_GT(CountNot(c, kGrey, 30, 20, c.Width(), c.Height()), 100);
}

TEST_F(DecorationsCli, FramesReplaceEachOtherInOneLayer) {
  Write(40, 30);
  ASSERT_TRUE(Run("--fg '#ffffff' --do 'frame 0 5'", "in.bmp", "f.vlm")) << last.out;
  ASSERT_TRUE(Run("--fg '#ffffff' --do 'frame 0 5'", "in.bmp", "f.bmp"));
  CImageBuffer f;
  ASSERT_TRUE(Load(f, "f.bmp"));
  for (int i = 0; i < 5; ++i) {
    const int v = int(255 * (i * 0.2));
    EXPECT_EQ(At(f, i, 15), MakeRgbq(v, v, v)) << i;
    EXPECT_EQ(At(f, 20, 29 - i), MakeRgbq(v, v, v)) << i;
  }
  EXPECT_EQ(At(f, 5, 15), kGrey);
  ASSERT_TRUE(Run("--fg '#ff0000' --bg '#00ff00' --do 'frame 2 8'", "f.vlm", "g.vlm")) << last.out;
  const CliRun info = Cli("info --json " + P("g.vlm"));
  size_t count = 0;
  for (size_t at = info.out.find("[ImgFrame]"); at != std::string::npos; at = info.out.find("[ImgFrame]", at + 1))
    ++count;
  EXPECT_EQ(count, 1u) << info.out;
  ASSERT_TRUE(Run("", "g.vlm", "g.bmp"));
  ASSERT_TRUE(Load(f, "g.bmp"));
  EXPECT_EQ(At(f, 8, 15), kGrey);
  EXPECT_NE(At(f, 7, 15), kGrey);
}

}  // namespace
}  // namespace velmira
