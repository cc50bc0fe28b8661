// The SANE client against SANE's own test backend (see support/sane_test_backend.h).
#include "online/sane_client.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/sane_test_backend.h"

using namespace velmira;
using namespace velmira::online;
using velmira::testing_support::SaneTestBackend;

namespace {

struct CollectingSink : PageSink {
  std::vector<std::unique_ptr<CImageBuffer>> pages;
  std::vector<int> asked;
  std::function<Decision(int)> decide;
  std::function<void(CSaneClient&)> afterDelivery;
  CSaneClient* client = nullptr;
  int lastPercent = -1;

  Decision BeforePage(int page) override {
    asked.push_back(page);
    return decide ? decide(page) : Decision::Transfer;
  }
  void Deliver(std::unique_ptr<CImageBuffer> image) override {
    pages.push_back(std::move(image));
    if (afterDelivery) afterDelivery(*client);
  }
  void Progress(int, int percent) override { lastPercent = percent; }
};

CSaneClient::SourceChooser Choose(const std::string& name, std::string* proposal = nullptr,
                                  std::vector<ScanDevice>* listed = nullptr) {
  return [=](const std::vector<ScanDevice>& devices, const std::string& p) -> std::optional<std::string> {
    if (proposal) *proposal = p;
    if (listed) *listed = devices;
    if (name.empty()) return std::nullopt;
    return name;
  };
}

// Initialise, select, open and enable with `settings`.
void Ready(CSaneClient& c, const ScanSettings& settings, const std::string& device = "test:0") {
  ASSERT_TRUE(c.Initialise());
  ASSERT_TRUE(c.SelectSource(Choose(device)));
  ASSERT_TRUE(c.OpenSource());
  ASSERT_TRUE(c.EnableSource(settings)) << c.LastStatusText();
}

ScanSettings Feeder() {
  ScanSettings s;
  s.source = SaneTestBackend::kFeeder;
  return s;
}

}  // namespace

TEST(SaneClient, WithoutTheLibraryNothingIsOffered) {
  CSaneClient c;
  EXPECT_FALSE(c.Initialise("/nonexistent/libsane.so.1"));
  EXPECT_FALSE(c.ManagerOpen());
  EXPECT_TRUE(c.Devices().empty());
  EXPECT_FALSE(c.SelectSource(Choose("test:0")));
  EXPECT_FALSE(c.SourceSelected());
  EXPECT_FALSE(c.OpenSource());
  // A library without SANE's entry points is not SANE.
  EXPECT_FALSE(c.Initialise("libz.so.1"));
  EXPECT_FALSE(c.ManagerOpen());
}

TEST(SaneClient, SelectionListsDevicesProposesAndRemembers) {
  SaneTestBackend backend;
  CSaneClient c;
  ASSERT_TRUE(c.Initialise());
  std::string proposal;
  std::vector<ScanDevice> listed;
  // Nothing chosen yet: the remembered device when SANE still has it, else the first.
  ASSERT_TRUE(c.SelectSource(Choose("test:1", &proposal, &listed), "gone:0"));
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, "test:0");
  EXPECT_EQ(listed[1].name, "test:1");
  EXPECT_FALSE(listed[0].Describe().empty());
  EXPECT_EQ(proposal, "test:0");
  EXPECT_EQ(c.SelectedSource(), "test:1");
  // Asked again, the current choice is proposed.
  ASSERT_TRUE(c.SelectSource(Choose("test:1", &proposal)));
  EXPECT_EQ(proposal, "test:1");
  CSaneClient fresh;
  ASSERT_TRUE(fresh.Initialise());
  EXPECT_EQ(fresh.DefaultSource("test:1"), "test:1");

  // Cancel, or a name SANE does not list, keeps the selection as it was.
  EXPECT_FALSE(c.SelectSource(Choose("")));
  EXPECT_FALSE(c.SelectSource(Choose("test:7")));
  EXPECT_TRUE(c.SourceSelected());
  EXPECT_EQ(c.SelectedSource(), "test:1");

  // Choosing another device closes the open one, so the next acquisition opens the
  // device the user chose.
  ASSERT_TRUE(c.OpenSource());
  ASSERT_TRUE(c.SelectSource(Choose("test:1")));
  EXPECT_TRUE(c.SourceOpen());
  ASSERT_TRUE(c.SelectSource(Choose("test:0")));
  EXPECT_FALSE(c.SourceOpen());
  EXPECT_EQ(c.SelectedSource(), "test:0");
}

TEST(SaneClient, StepsRefuseOutOfOrderAndShutdownUnwinds) {
  SaneTestBackend backend;
  CSaneClient c;
  EXPECT_FALSE(c.OpenSource());
  ASSERT_TRUE(c.Initialise());
  EXPECT_FALSE(c.OpenSource());  // nothing selected
  EXPECT_FALSE(c.EnableSource({}));
  CollectingSink sink;
  const TransferResult none = c.Transfers(sink);
  EXPECT_TRUE(none.failed);
  EXPECT_TRUE(sink.asked.empty());

  ASSERT_TRUE(c.SelectSourceByName("test:0"));
  ASSERT_TRUE(c.OpenSource());
  // A setting the device refuses leaves it disabled.
  ScanSettings bad;
  bad.mode = "Purple";
  EXPECT_FALSE(c.EnableSource(bad));
  EXPECT_FALSE(c.SourceEnabled());
  EXPECT_TRUE(c.SourceOpen());
  ASSERT_TRUE(c.EnableSource({}));
  EXPECT_EQ(c.TransferCountAsked(), -1);

  c.Shutdown();
  EXPECT_FALSE(c.SourceEnabled());
  EXPECT_FALSE(c.SourceOpen());
  EXPECT_FALSE(c.ManagerOpen());
  // The choice outlives the session.
  EXPECT_TRUE(c.SourceSelected());
  ASSERT_TRUE(c.Initialise());
  ASSERT_TRUE(c.OpenSource());
  EXPECT_EQ(c.SelectedSource(), "test:0");
}

TEST(SaneClient, CapabilitiesComeFromTheDeviceOptions) {
  SaneTestBackend backend;
  CSaneClient c;
  ASSERT_TRUE(c.Initialise());
  ASSERT_TRUE(c.SelectSourceByName("test:0"));
  EXPECT_TRUE(c.Capabilities().modes.empty());  // not open yet
  ASSERT_TRUE(c.OpenSource());
  const ScanCapabilities caps = c.Capabilities();
  EXPECT_EQ(caps.mode, "Color");
  EXPECT_NE(std::find(caps.modes.begin(), caps.modes.end(), "Gray"), caps.modes.end());
  EXPECT_NE(std::find(caps.sources.begin(), caps.sources.end(), SaneTestBackend::kFeeder), caps.sources.end());
  EXPECT_EQ(caps.resolution, 50);
  EXPECT_EQ(caps.resolutionMin, 1);
  EXPECT_EQ(caps.resolutionMax, 1200);
  ASSERT_TRUE(caps.hasArea);
  EXPECT_FALSE(caps.areaInPixels);
  EXPECT_DOUBLE_EQ(caps.area[2], 20.0);
  EXPECT_DOUBLE_EQ(caps.area[3], 10.0);
  EXPECT_DOUBLE_EQ(caps.areaMax[2], 200.0);
  // This backend has no preview scan.
  EXPECT_FALSE(caps.hasPreview);
  EXPECT_FALSE(c.Preview({}));
}

TEST(SaneClient, FlatbedGivesOnePageInTheChosenMode) {
  SaneTestBackend backend;
  CSaneClient c;
  ScanSettings colour;
  Ready(c, colour);
  CollectingSink sink;
  TransferResult r = c.Transfers(sink);
  EXPECT_EQ(r.delivered, 1);
  EXPECT_FALSE(r.failed);
  EXPECT_FALSE(r.cancelled);
  ASSERT_EQ(sink.pages.size(), 1u);
  EXPECT_EQ(sink.pages[0]->Width(), SaneTestBackend::kPageWidth);
  EXPECT_EQ(sink.pages[0]->Height(), SaneTestBackend::kPageHeight);
  EXPECT_EQ(sink.pages[0]->Bpp(), 24);
  EXPECT_EQ(sink.lastPercent, 100);
  // The transfers end disabled with the device still open, ready for the next one.
  EXPECT_FALSE(c.SourceEnabled());
  EXPECT_TRUE(c.SourceOpen());

  ScanSettings grey;
  grey.mode = "Gray";
  grey.resolution = 100;
  grey.setArea = true;
  grey.area[2] = 10.0;
  grey.area[3] = 5.0;
  ASSERT_TRUE(c.EnableSource(grey));
  CollectingSink sink2;
  r = c.Transfers(sink2);
  ASSERT_EQ(r.delivered, 1);
  EXPECT_EQ(sink2.pages[0]->Bpp(), 8);
  EXPECT_TRUE(sink2.pages[0]->IsGreyPalette());
  EXPECT_EQ(sink2.pages[0]->Width(), 39);   // 10 mm at 100 dpi
  EXPECT_EQ(sink2.pages[0]->Height(), 19);  // 5 mm
}

TEST(SaneClient, FeederDeliversEveryPageUnlessCancelled) {
  SaneTestBackend backend;
  CSaneClient c;
  Ready(c, Feeder());
  CollectingSink sink;
  TransferResult r = c.Transfers(sink);
  EXPECT_EQ(r.delivered, SaneTestBackend::kFeederPages);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(sink.pages.size(), size_t(SaneTestBackend::kFeederPages));

  // Cancel after the second page: the delivered pages stay, the rest are dropped.
  CSaneClient d;
  Ready(d, Feeder(), "test:1");
  CollectingSink cancelling;
  cancelling.client = &d;
  cancelling.afterDelivery = [&](CSaneClient& client) {
    if (cancelling.pages.size() == 2) client.RequestCancel();
  };
  r = d.Transfers(cancelling);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.delivered, 2);
  EXPECT_EQ(cancelling.pages.size(), 2u);
  EXPECT_FALSE(d.SourceEnabled());
  // A cancelled acquisition does not poison the next one.
  ASSERT_TRUE(d.EnableSource(Feeder()));
  CollectingSink again;
  r = d.Transfers(again);
  EXPECT_FALSE(r.cancelled);
  EXPECT_GE(r.delivered, 1);
}

TEST(SaneClient, SinkDecidesPerPage) {
  SaneTestBackend backend;
  CSaneClient c;
  Ready(c, Feeder());
  CollectingSink sink;
  // Skip the even pages, stop before the fifth.
  sink.decide = [](int page) {
    if (page == 4) return PageSink::Decision::Abort;
    return page % 2 == 0 ? PageSink::Decision::Skip : PageSink::Decision::Transfer;
  };
  const TransferResult r = c.Transfers(sink);
  EXPECT_EQ(r.delivered, 2);
  EXPECT_EQ(r.skipped, 2);
  EXPECT_EQ(sink.asked, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(c.SourceEnabled());
}

TEST(SaneClient, AFailingDeviceEndsTheLoop) {
  SaneTestBackend backend(SaneTestBackend::Options{{"read-status-code", "\"SANE_STATUS_IO_ERROR\""}});
  CSaneClient c;
  Ready(c, Feeder());
  CollectingSink sink;
  const TransferResult r = c.Transfers(sink);
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.delivered, 0);
  EXPECT_FALSE(r.error.empty());
  // A feeder is given a few attempts, never an endless loop.
  EXPECT_EQ(sink.asked.size(), size_t(CSaneClient::kMaxFailedPages));
  EXPECT_FALSE(c.SourceEnabled());

  // A flatbed that fails is not asked again.
  ScanSettings flatbed;
  flatbed.source = "Flatbed";
  ASSERT_TRUE(c.EnableSource(flatbed));
  CollectingSink flat;
  EXPECT_TRUE(c.Transfers(flat).failed);
  EXPECT_EQ(flat.asked.size(), 1u);
}

TEST(SaneClient, ThreePassAndHandScannerPagesArrive) {
  {
    SaneTestBackend backend(SaneTestBackend::Options{{"three-pass", "true"}});
    CSaneClient c;
    Ready(c, {});
    CollectingSink sink;
    ASSERT_EQ(c.Transfers(sink).delivered, 1);
    EXPECT_EQ(sink.pages[0]->Bpp(), 24);
    EXPECT_EQ(sink.pages[0]->Width(), SaneTestBackend::kPageWidth);
  }
  {
    // A hand scanner does not know the page length in advance.
    SaneTestBackend backend(SaneTestBackend::Options{{"hand-scanner", "true"}});
    CSaneClient c;
    Ready(c, {});
    CollectingSink sink;
    ASSERT_EQ(c.Transfers(sink).delivered, 1);
    EXPECT_GT(sink.pages[0]->Height(), 0);
  }
}
