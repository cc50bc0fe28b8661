#include <gtest/gtest.h>

#include "cli_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/commands.h"
#include "cli/sample_picture.h"
#include "formats/format_dispatch.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

class CliTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(40, 30, 24, kFormatBmp));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) img.WriteColor(x, y, MakeRgbq(x * 6, y * 8, 100));
    ASSERT_TRUE(SaveFile(img, dir / "in.bmp", kFormatBmp));
  }
};

TEST(CliCommands, ValidationNamesTheCommand) {
  EXPECT_EQ(cli::Validate({"frobnicate"}), "unknown command: frobnicate");
  EXPECT_EQ(cli::Validate({"layer-offset", "1"}), "layer-offset: expects 2 arguments (DX DY), got 1");
  EXPECT_EQ(cli::Validate({"flatten", "x"}), "flatten: expects 0 arguments, got 1");
  EXPECT_EQ(cli::Validate({"set-active", "3"}), "");
  Rgbq c;
  EXPECT_TRUE(cli::ParseColour("#10A0ff", c));
  EXPECT_EQ(c, MakeRgbq(0x10, 0xA0, 0xFF));
  EXPECT_FALSE(cli::ParseColour("10A0ff", c));
  EXPECT_FALSE(cli::ParseColour("#10A0fg", c));
  int n;
  EXPECT_TRUE(cli::ParseInt("-12", n));
  EXPECT_FALSE(cli::ParseInt("12px", n));
}

TEST_F(CliTest, RefusesBadCommandsBeforeWritingAnything) {
  CliRun r = Cli("convert --do 'nope 1' " + P("in.bmp") + " " + P("out.bmp"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("unknown command: nope"), std::string::npos);
  r = Cli("convert --do 'set-active' " + P("in.bmp") + " " + P("out.bmp"));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.out.find("set-active"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out.bmp"));
  r = Cli("convert " + P("missing.bmp") + " " + P("out.bmp"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Cli("--version").out, "velmira-cli 3.68\n");
  EXPECT_EQ(Cli("--help").status, 0);
}

TEST_F(CliTest, BuildsALayeredDocumentAndSavesItFlattened) {
  CliRun r = Cli("convert --do add-layer --do 'paste-file " + P("in.bmp") +
              "' --do 'layer-blend multiply' --do 'layer-transparency 200' --do 'rename-layer 위' "
              "--do 'layer-offset 5 0' " + P("in.bmp") + " " + P("out.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  CImageBuffer in, out;
  ASSERT_TRUE(LoadFile(in, dir / "in.bmp", kFormatBmp));
  ASSERT_TRUE(LoadFile(out, dir / "out.bmp", kFormatBmp));
  ASSERT_EQ(out.Width(), 40);
  // Columns 0…4 are uncovered by the moved copy; further right the copy multiplies
  // what lies below, whatever its transparency.
  EXPECT_EQ(out.ReadColor(2, 10), in.ReadColor(2, 10));
  const Rgbq below = in.ReadColor(20, 10), over = in.ReadColor(15, 10);
  EXPECT_EQ(RgbqB(out.ReadColor(20, 10)), (RgbqB(below) * RgbqB(over)) >> 8);

  r = Cli("info --json " + P("out.bmp"));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"width\": 40, \"height\": 30"), std::string::npos) << r.out;
}

TEST_F(CliTest, UndoAndRedoWorkThroughTheHistory) {
  CliRun r = Cli("convert --do add-layer --do 'paste-file " + P("in.bmp") + "' --do 'layer-blend difference' --do undo " +
              P("in.bmp") + " " + P("same.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  CImageBuffer in, out;
  ASSERT_TRUE(LoadFile(in, dir / "in.bmp", kFormatBmp));
  ASSERT_TRUE(LoadFile(out, dir / "same.bmp", kFormatBmp));
  // The blend change is not a step; undo removed the pasted layer.
  EXPECT_EQ(0, std::memcmp(in.Pixels(), out.Pixels(), in.ImageSize()));
  r = Cli("convert --do redo " + P("in.bmp") + " " + P("x.bmp"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("nothing to redo"), std::string::npos);
  // Even a run that kept a history leaves no history files behind.
  int leftovers = 0;
  if (fs::exists(dir / "home"))
    for (const auto& e : fs::recursive_directory_iterator(dir / "home"))
      leftovers += e.path().extension() == ".vlmtmp";
  EXPECT_EQ(leftovers, 0);
}

TEST_F(CliTest, LayeredDocumentsSurviveTheNativeFormatAndGifGetsAPalette) {
  CliRun r = Cli("convert --do add-layer --do 'rename-layer top' --do 'layer-transparency 40' " + P("in.bmp") + " " +
                 P("doc.vlm"));
  ASSERT_EQ(r.status, 0) << r.out;
  r = Cli("info --json " + P("doc.vlm"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\"name\": \"top\", \"kind\": \"raster\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"transparency\": 40"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"kind\": \"background\""), std::string::npos) << r.out;

  r = Cli("convert " + P("doc.vlm") + " " + P("doc.gif"));
  ASSERT_EQ(r.status, 0) << r.out;
  r = Cli("info " + P("doc.gif"));
  EXPECT_NE(r.out.find("8 bits per pixel, GIF, 1 layer"), std::string::npos) << r.out;
  // 1200 colours squeezed into 256 stay close to the originals.
  CImageBuffer in, back;
  ASSERT_TRUE(LoadFile(in, dir / "in.bmp", kFormatBmp));
  ASSERT_TRUE(LoadFile(back, dir / "doc.gif", kFormatGif));
  ASSERT_EQ(back.Width(), 40);
  long error = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const Rgbq a = in.ReadColor(x, y), b = back.ReadColor(x, y);
      error += std::abs(RgbqR(a) - RgbqR(b)) + std::abs(RgbqG(a) - RgbqG(b)) + std::abs(RgbqB(a) - RgbqB(b));
    }
  EXPECT_LT(error / (40 * 30 * 3), 8);
}

TEST_F(CliTest, LayerPropertiesSurviveSwitchingLayersWithAHistory) {
  // With a history, leaving a layer puts back its committed copy: every property
  // change must be committed, or switching layers silently undoes it.
  CliRun r = Cli("convert --history --do add-layer --do 'layer-blend multiply' --do 'layer-transparency 90' "
                 "--do 'layer-visible 0' --do 'rename-layer upper' --do 'set-active 0' " +
                 P("in.bmp") + " " + P("props.vlm"));
  ASSERT_EQ(r.status, 0) << r.out;
  r = Cli("info --json " + P("props.vlm"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\"name\": \"upper\", \"kind\": \"raster\", \"blend\": \"multiply\", \"visible\": false"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"transparency\": 90"), std::string::npos) << r.out;
}

TEST_F(CliTest, EightBitConversionSurvivesTheNextEdit) {
  // The edit after the conversion starts from the committed layers: they must be the
  // converted ones, or the picture silently returns to 24 bits.
  CliRun r = Cli("convert --history --do to-8bit --do invert " + P("in.bmp") + " " + P("inv8.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  r = Cli("info " + P("inv8.bmp"));
  EXPECT_NE(r.out.find("8 bits per pixel"), std::string::npos) << r.out;
}

TEST_F(CliTest, PalettedDocumentsSaveAsGifWithoutASecondReduction) {
  // The same conversion written once as BMP and once as GIF: the GIF must carry exactly
  // the BMP's colours, which a second reduction (or a refusal) would not give.
  CliRun r = Cli("convert --do to-8bit " + P("in.bmp") + " " + P("eight.gif"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find("변환을 성공하지 못했습니다."), std::string::npos) << r.out;
  r = Cli("convert --do to-8bit " + P("in.bmp") + " " + P("eight.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  CImageBuffer bmp, gif;
  ASSERT_TRUE(LoadFile(bmp, dir / "eight.bmp", kFormatBmp));
  ASSERT_TRUE(LoadFile(gif, dir / "eight.gif", kFormatGif));
  ASSERT_EQ(gif.Width(), 40);
  ASSERT_EQ(gif.Height(), 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(gif.ReadColor(x, y), bmp.ReadColor(x, y)) << x << "," << y;

  // A picture opened paletted (here 4 bits) saves as GIF with its own colours too.
  CImageBuffer four;
  ASSERT_TRUE(four.Allocate(9, 5, 4, kFormatBmp));
  for (int i = 0; i < 16; ++i) four.SetPaletteEntry(i, i * 16, 255 - i * 16, i * 7, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) four.WriteIndex(x, y, uint8_t((x + y) % 16));
  ASSERT_TRUE(SaveFile(four, dir / "four.bmp", kFormatBmp));
  r = Cli("convert " + P("four.bmp") + " " + P("four.gif"));
  ASSERT_EQ(r.status, 0) << r.out;
  ASSERT_TRUE(LoadFile(gif, dir / "four.gif", kFormatGif));
  ASSERT_EQ(gif.Width(), 9);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(gif.ReadColor(x, y), four.ReadColor(x, y)) << x << "," << y;
}

TEST(SamplePicture, TheBundledFileIsWhatTheCodeDraws) {
  CImageBuffer drawn, bundled;
  ASSERT_TRUE(DrawSamplePicture(drawn));
  ASSERT_TRUE(LoadFile(bundled, fs::path(VELMIRA_SOURCE_DIR) / "share/velmira/Samples/velmira-sample.bmp", kFormatBmp));
  ASSERT_EQ(bundled.ImageSize(), drawn.ImageSize());
  EXPECT_EQ(0, std::memcmp(bundled.Pixels(), drawn.Pixels(), drawn.ImageSize()));
}

}  // namespace
}  // namespace velmira
