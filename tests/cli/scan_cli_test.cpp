// velmira-cli devices and scan, headless, with SANE's test backend as the scanner.
#include <gtest/gtest.h>

#include "cli/scan_command.h"
#include "cli_run.h"
#include "formats/format_dispatch.h"
#include "image/image_buffer.h"
#include "support/sane_test_backend.h"

using namespace velmira;
using velmira::testing_support::SaneTestBackend;

namespace {

class ScanCli : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    // libsane keeps part of what sane_init allocates and unloads its backends before
    // a sanitizer build's leak report could name them; that is not velmira-cli's leak.
    const char* old = getenv("ASAN_OPTIONS");
    hadOptions_ = old != nullptr;
    if (old) oldOptions_ = old;
    setenv("ASAN_OPTIONS", (oldOptions_.empty() ? "" : oldOptions_ + ":") .append("detect_leaks=0").c_str(), 1);
  }
  void TearDown() override {
    if (hadOptions_)
      setenv("ASAN_OPTIONS", oldOptions_.c_str(), 1);
    else
      unsetenv("ASAN_OPTIONS");
    CliFixture::TearDown();
  }

 private:
  bool hadOptions_ = false;
  std::string oldOptions_;
};

int PictureWidth(const std::string& path, int* height = nullptr, int* bpp = nullptr) {
  CImageBuffer image;
  if (!LoadFile(image, path, kFormatDetect)) return -1;
  if (height) *height = image.Height();
  if (bpp) *bpp = image.Bpp();
  return image.Width();
}

}  // namespace

TEST_F(ScanCli, DevicesListsTheBackendsDevices) {
  SaneTestBackend backend;
  const CliRun r = Cli("devices");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("test:0\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("test:1\t"), std::string::npos) << r.out;
  EXPECT_EQ(Cli("devices extra").status, 2);
}

TEST_F(ScanCli, ScanSavesOnePageFromAFlatbed) {
  SaneTestBackend backend;
  const CliRun r = Cli("scan --device test:1 --resolution 100 --mode Gray " + P("page.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  int h = 0, bpp = 0;
  // 20 × 10 mm at 100 dpi.
  EXPECT_EQ(PictureWidth(P("page.bmp"), &h, &bpp), 78);
  EXPECT_EQ(h, 39);
  EXPECT_FALSE(std::filesystem::exists(P("page-2.bmp")));
  // The default device is the first one.
  ASSERT_EQ(Cli("scan " + P("first.jpg")).status, 0);
  EXPECT_EQ(PictureWidth(P("first.jpg")), SaneTestBackend::kPageWidth);
}

TEST_F(ScanCli, FeederPagesGetNumberedNames) {
  SaneTestBackend backend;
  const std::string feeder = std::string("--source '") + SaneTestBackend::kFeeder + "' ";
  CliRun r = Cli("scan " + feeder + P("doc.tif"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(PictureWidth(P("doc.tif")), SaneTestBackend::kPageWidth);
  for (int i = 2; i <= SaneTestBackend::kFeederPages; ++i)
    EXPECT_EQ(PictureWidth(P("doc-" + std::to_string(i) + ".tif")), SaneTestBackend::kPageWidth) << i;
  EXPECT_FALSE(std::filesystem::exists(P("doc-11.tif")));

  r = Cli("scan " + feeder + P("p%d.bmp"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(std::filesystem::exists(P("p1.bmp")));
  EXPECT_TRUE(std::filesystem::exists(P("p10.bmp")));
  EXPECT_FALSE(std::filesystem::exists(P("p%d.bmp")));
}

TEST_F(ScanCli, BadRequestsChangeNothing) {
  SaneTestBackend backend;
  EXPECT_EQ(Cli("scan").status, 2);
  EXPECT_EQ(Cli("scan " + P("a.png")).status, 2);
  EXPECT_EQ(Cli("scan --resolution -3 " + P("a.bmp")).status, 2);
  EXPECT_EQ(Cli("scan --resolution " + P("a.bmp")).status, 2);
  EXPECT_EQ(Cli("scan " + P("a.bmp") + " " + P("b.bmp")).status, 2);
  const CliRun mode = Cli("scan --mode Purple " + P("a.bmp"));
  EXPECT_EQ(mode.status, 2);
  EXPECT_NE(mode.out.find("Color"), std::string::npos) << mode.out;
  EXPECT_EQ(Cli("scan --source Drawer " + P("a.bmp")).status, 2);
  const CliRun device = Cli("scan --device nowhere:0 " + P("a.bmp"));
  EXPECT_EQ(device.status, 1);
  EXPECT_NE(device.out.find("nowhere:0"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(P("a.bmp")));
}

TEST_F(ScanCli, FailuresAreReportedNotSaved) {
  {
    SaneTestBackend backend(SaneTestBackend::Options{{"read-status-code", "\"SANE_STATUS_JAMMED\""}});
    const CliRun r = Cli("scan " + P("jam.bmp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.out.empty());
    EXPECT_FALSE(std::filesystem::exists(P("jam.bmp")));
  }
  {
    // No SANE at all: said plainly.
    setenv("VELMIRA_SANE_LIBRARY", "/nonexistent/libsane.so.1", 1);
    const CliRun r = Cli("devices");
    unsetenv("VELMIRA_SANE_LIBRARY");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("SANE"), std::string::npos);
  }
  {
    // An output folder that does not exist: the first page fails and the scan stops.
    SaneTestBackend backend;
    const CliRun r = Cli("scan " + P("missing/folder/a.bmp"));
    EXPECT_EQ(r.status, 1);
  }
}

TEST(ScanArguments, ParseIntoARequest) {
  cli::ScanRequest req;
  std::string error;
  ASSERT_TRUE(cli::ParseScanArguments({"--device", "test:1", "--resolution", "300", "--mode", "Gray", "--source",
                                       "Flatbed", "out.jpg"},
                                      req, error))
      << error;
  EXPECT_EQ(req.device, "test:1");
  EXPECT_EQ(req.resolution, 300);
  EXPECT_EQ(req.mode, "Gray");
  EXPECT_EQ(req.source, "Flatbed");
  EXPECT_EQ(req.output, "out.jpg");
  EXPECT_FALSE(cli::ParseScanArguments({"--mode"}, req, error));
  EXPECT_EQ(error, "--mode needs a value");
  cli::ScanRequest fresh;
  EXPECT_FALSE(cli::ParseScanArguments({"--bogus", "a.bmp"}, fresh, error));
  EXPECT_FALSE(cli::ParseScanArguments({"--resolution", "12x", "a.bmp"}, fresh, error));
}
