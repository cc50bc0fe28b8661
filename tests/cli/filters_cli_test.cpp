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

class FilterCli : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    ASSERT_TRUE(in.Allocate(16, 12, 24, kFormatBmp));
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) in.WriteColor(x, y, MakeRgbq(x * 16, y * 20, (x * y) % 256));
    ASSERT_TRUE(SaveFile(in, dir / "in.bmp", kFormatBmp));
  }
  CliRun Do(const std::string& command) {
    fs::remove(dir / "out.bmp");
    return Cli("convert --do '" + command + "' " + P("in.bmp") + " " + P("out.bmp"));
  }
  bool Load(CImageBuffer& img, const std::string& n = "out.bmp") {
    return LoadFile(img, dir / n, kFormatBmp);
  }
  CImageBuffer in;
};

TEST_F(FilterCli, PointOperationsReachThePixels) {
  CImageBuffer out;
  ASSERT_EQ(Do("invert").status, 0);
  ASSERT_TRUE(Load(out));
  for (int y = 0; y < 12; y += 5)
    for (int x = 0; x < 16; x += 3) {
      const Rgbq a = in.ReadColor(x, y), b = out.ReadColor(x, y);
      EXPECT_EQ(RgbqR(b), 255 - RgbqR(a));
      EXPECT_EQ(RgbqB(b), 255 - RgbqB(a));
    }
  ASSERT_EQ(Do("rgb-offset 99 0 -99").status, 0);
  ASSERT_TRUE(Load(out));
  EXPECT_EQ(RgbqR(out.ReadColor(15, 0)), 255);
  EXPECT_EQ(RgbqR(out.ReadColor(1, 0)), 16 + 99);
  EXPECT_EQ(RgbqB(out.ReadColor(3, 3)), 0);
  ASSERT_EQ(Do("brightness-contrast 0 -255").status, 0);
  ASSERT_TRUE(Load(out));
  EXPECT_EQ(out.ReadColor(7, 5), MakeRgbq(128, 128, 128));
  ASSERT_EQ(Do("threshold absolute 128").status, 0);
  ASSERT_TRUE(Load(out));
  for (int x = 0; x < 16; ++x) {
    const Rgbq c = out.ReadColor(x, 6);
    EXPECT_TRUE(c == MakeRgbq(0, 0, 0) || c == MakeRgbq(255, 255, 255)) << x;
  }
  ASSERT_EQ(Do("greyscale").status, 0);
  ASSERT_TRUE(Load(out));
  const Rgbq g = out.ReadColor(5, 5);
  EXPECT_EQ(RgbqR(g), (80 + 100 + 25) / 3);
  EXPECT_EQ(RgbqG(g), RgbqR(g));
}

TEST_F(FilterCli, FiltersTakeTheTablesRangesAndDefaults) {
  CImageBuffer out;
  ASSERT_EQ(Do("blur 1").status, 0);
  ASSERT_TRUE(Load(out));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Pixels()), out.ImageSize()),
            std::string(reinterpret_cast<const char*>(in.Pixels()), in.ImageSize()));
  ASSERT_EQ(Do("sharpen").status, 0);
  ASSERT_TRUE(Load(out));
  EXPECT_EQ(out.ReadColor(0, 0), MakeRgbq(0, 0, 0));  // the border turns black
  for (const char* c : {"outline 8", "emboss 3", "blur", "soften 2", "erode 2", "dilate 9", "edge-emphasis 10 2",
                        "denoise 3 4", "region-fill 30", "auto-colour", "desaturate-layer", "levels 1 20 200",
                        "threshold fs", "threshold ordered 75", "to-24bit"}) {
    const CliRun r = Do(c);
    EXPECT_EQ(r.status, 0) << c << ": " << r.out;
    EXPECT_TRUE(fs::exists(dir / "out.bmp")) << c;
  }

  CliRun r = Do("blur 10");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("parameter 1 (흐림) must be 1…9"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(dir / "out.bmp"));
  r = Do("erode 1");
  EXPECT_EQ(r.status, 1);
  r = Do("levels 0 100 100");
  EXPECT_EQ(r.status, 1);
  r = Do("threshold median 5");
  EXPECT_EQ(r.status, 1);
  r = Do("brightness-contrast 256 0");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(Do("outline 1 2 3").status, 0);  // more words than the command takes
}

// The painterly filters: every one runs headless with its defaults; a randomised one
// repeated from a fresh start (the sequence's first value) gives the same bytes.
TEST_F(FilterCli, PainterlyFiltersRunRepeatablyAndCheckTheirRanges) {
  auto bytes = [&](const std::string& c) {
    CImageBuffer out;
    const CliRun r = Do(c);
    EXPECT_EQ(r.status, 0) << c << ": " << r.out;
    if (r.status != 0 || !Load(out)) return std::string();
    return std::string(reinterpret_cast<const char*>(out.Pixels()), out.ImageSize());
  };
  const std::string original(reinterpret_cast<const char*>(in.Pixels()), in.ImageSize());
  for (const char* c : {"stamp", "confetti 10 30 20", "line-colouring 7 3", "watercolour", "korean-paper",
                        "rain-drops 30 150", "frosted-glass 5", "drops", "oil-painting 10", "dalmatian 20 10", "lens",
                        "bath-glass", "drops 30 20"}) {
    const std::string a = bytes(c);
    EXPECT_EQ(a.size(), original.size()) << c;
    EXPECT_NE(a, original) << c;
    EXPECT_EQ(bytes(c), a) << c;
  }
  // A sequence that has moved on draws differently.
  EXPECT_NE(bytes("frosted-glass 3"), bytes("korean-paper 5' --do 'frosted-glass 3"));

  const struct {
    const char* command;
    const char* message;
  } refused[] = {
      {"frosted-glass 16", "parameter 1 (흐림정도) must be 0…15"},
      {"stamp 8 2", "parameter 2 (선분길이) must be 3…30"},
      {"confetti 10 3 21", "parameter 3 (색상표현) must be 1…20"},
      {"rain-drops 40 49", "parameter 2 (빈도) must be 50…150"},
      {"dalmatian -1", "parameter 1 (무뉘) must be 0…99"},
      {"bath-glass 50", "parameter 1 (조정 1) must be -49…49"},
      {"lens 1", "lens: expects 0 arguments"},
      {"line-colouring 1 1 1", "line-colouring: expects 0 to 2 arguments"},
  };
  for (const auto& r : refused) {
    const CliRun run = Do(r.command);
    EXPECT_NE(run.status, 0) << r.command;
    EXPECT_NE(run.out.find(r.message), std::string::npos) << r.command << ": " << run.out;
    EXPECT_FALSE(fs::exists(dir / "out.bmp")) << r.command;
  }
}

TEST_F(FilterCli, ChannelSplitWritesThreePicturesBesideTheOutput) {
  // Converting a file onto itself puts OUTPUT and INPUT in the same place.
  fs::copy_file(dir / "in.bmp", dir / "pic.bmp");
  // Run inside the folder so that stray history files would land where we look.
  const fs::path was = fs::current_path();
  fs::current_path(dir);
  const CliRun r = Cli("convert --do split-yuv --do split-hsl " + P("pic.bmp") + " " + P("pic.bmp"));
  fs::current_path(was);
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* s : {"Y", "U", "V", "H", "S", "L"}) EXPECT_TRUE(fs::exists(dir / ("pic-" + std::string(s) + ".bmp"))) << s;
  CImageBuffer y, l;
  ASSERT_TRUE(Load(y, "pic-Y.bmp"));
  ASSERT_TRUE(Load(l, "pic-L.bmp"));
  EXPECT_EQ(y.Width(), 16);
  // Pixel (0, 0) is (0, 0, 0): Y 0, lightness 0; (15, 0) is (240, 0, 0).
  EXPECT_EQ(RgbqR(y.ReadColor(0, 0)), 0);
  EXPECT_EQ(RgbqR(y.ReadColor(15, 0)), int(0.299f * 240.0f));
  EXPECT_EQ(RgbqG(l.ReadColor(15, 0)), (240 * 255 + 255) / 510);
  // No history files are left in the working folder of a batch run.
  for (const auto& e : fs::directory_iterator(dir)) EXPECT_NE(e.path().extension(), ".vlmtmp") << e.path();
}

}  // namespace
}  // namespace velmira
