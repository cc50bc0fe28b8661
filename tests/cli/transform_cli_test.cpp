#include <gtest/gtest.h>

#include "cli_run.h"
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/format_dispatch.h"
#include "image/image_buffer.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

class TransformCli : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    ASSERT_TRUE(in.Allocate(3, 2, 24, kFormatBmp));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) in.WriteColor(x, y, MakeRgbq(40 + 60 * x, 30 + 100 * y, 7 * x + y));
    ASSERT_TRUE(SaveFile(in, dir / "in.bmp", kFormatBmp));
  }
  // Runs the commands on in.bmp and loads out.bmp.
  bool Convert(const std::string& dos, CImageBuffer& out) {
    last = Cli("convert " + dos + " " + P("in.bmp") + " " + P("out.bmp"));
    if (last.status != 0) return false;
    return LoadFile(out, dir / "out.bmp", kFormatBmp);
  }
  static bool Same(const CImageBuffer& a, const CImageBuffer& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.ReadColor(x, y) != b.ReadColor(x, y)) return false;
    return true;
  }

  CImageBuffer in;
  CliRun last;
};

TEST_F(TransformCli, TurnsAndFlipsMoveEveryPixel) {
  CImageBuffer out;
  ASSERT_TRUE(Convert("--do 'rotate 90'", out)) << last.out;
  ASSERT_EQ(out.Width(), 2);
  ASSERT_EQ(out.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(out.ReadColor(x, y), in.ReadColor(2 - y, x)) << x << "," << y;

  ASSERT_TRUE(Convert("--do 'rotate 90' --do 'rotate 90' --do 'rotate 90' --do 'rotate 90'", out));
  EXPECT_TRUE(Same(out, in));
  ASSERT_TRUE(Convert("--do 'rotate -90' --do 'rotate 90' --do 'rotate 180' --do 'rotate 180'", out));
  EXPECT_TRUE(Same(out, in));
  ASSERT_TRUE(Convert("--do 'rotate-layer 180' --do 'rotate-layer 180'", out));
  EXPECT_TRUE(Same(out, in));

  ASSERT_TRUE(Convert("--do flip-h", out));
  EXPECT_EQ(out.ReadColor(0, 0), in.ReadColor(2, 0));
  ASSERT_TRUE(Convert("--do flip-v", out));
  EXPECT_EQ(out.ReadColor(1, 0), in.ReadColor(1, 1));
  ASSERT_TRUE(Convert("--do flip-layer-h --do flip-layer-h --do flip-layer-v --do flip-layer-v", out));
  EXPECT_TRUE(Same(out, in));
  // Undo of a whole-canvas turn brings the old canvas back.
  ASSERT_TRUE(Convert("--do 'rotate 90' --do undo", out));
  EXPECT_TRUE(Same(out, in));
}

TEST_F(TransformCli, SizeCommands) {
  CImageBuffer out;
  ASSERT_TRUE(Convert("--do 'resize 6 4'", out)) << last.out;
  EXPECT_EQ(out.Width(), 6);
  EXPECT_EQ(out.Height(), 4);
  EXPECT_EQ(out.ReadColor(0, 0), in.ReadColor(0, 0));  // the corner of an enlargement is its source pixel
  ASSERT_TRUE(Convert("--do 'resize 3 2'", out));  // the same size: nothing to do, no error
  EXPECT_TRUE(Same(out, in));

  ASSERT_TRUE(Convert("--do 'canvas 5 4 4'", out)) << last.out;
  EXPECT_EQ(out.Width(), 5);
  EXPECT_EQ(out.Height(), 4);
  EXPECT_EQ(out.ReadColor(1, 1), in.ReadColor(0, 0));
  ASSERT_TRUE(Convert("--do 'canvas 5 4 6'", out));  // bottom-left as shown
  EXPECT_EQ(out.ReadColor(0, 0), in.ReadColor(0, 0));

  // The picture's own corners and a zero-degree turn change nothing.
  ASSERT_TRUE(Convert("--do 'quad 0 0 3 0 3 2 0 2'", out)) << last.out;
  EXPECT_TRUE(Same(out, in));
  ASSERT_TRUE(Convert("--do 'free-rotate 0'", out)) << last.out;
  EXPECT_TRUE(Same(out, in));
  ASSERT_TRUE(Convert("--do 'shadow 3 #202020' --do 'shadow 0 #000000 transparent'", out)) << last.out;
  EXPECT_TRUE(Same(out, in));  // a fully covering layer casts no visible shadow
}

TEST_F(TransformCli, BadArgumentsFailBeforeWriting) {
  const struct {
    const char* dos;
    const char* says;
  } cases[] = {
      {"--do 'rotate 45'", "90, -90 or 180"},
      {"--do 'rotate-layer x'", "90, -90 or 180"},
      {"--do 'resize 0 4'", "width and height"},
      {"--do 'canvas 5 4 9'", "anchor"},
      {"--do 'quad 0 0 3 0 3 0 0 0'", "no area"},
      {"--do 'shadow 18 #000000'", "0…17"},
      {"--do 'shadow 3 000000'", "#RRGGBB"},
      {"--do 'shadow 3 #000000 opaque'", "transparent"},
      {"--do 'free-rotate ten'", "degrees"},
  };
  for (const auto& c : cases) {
    fs::remove(dir / "out.bmp");
    const CliRun r = Cli("convert " + std::string(c.dos) + " " + P("in.bmp") + " " + P("out.bmp"));
    EXPECT_NE(r.status, 0) << c.dos;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.dos << ": " << r.out;
    EXPECT_FALSE(fs::exists(dir / "out.bmp")) << c.dos;
  }
}

}  // namespace
}  // namespace velmira
