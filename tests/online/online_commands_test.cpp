#include "online/online_commands.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

using namespace velmira;
using namespace velmira::online;
using velmira::testing_support::RecordingHost;

TEST(OnlineCommands, PageFilesAreNumbered) {
  EXPECT_EQ(PageFileName("scan.jpg", 0), "scan.jpg");
  EXPECT_EQ(PageFileName("scan.jpg", 1), "scan-2.jpg");
  EXPECT_EQ(PageFileName("out/a.b/scan.tif", 2), "out/a.b/scan-3.tif");
  EXPECT_EQ(PageFileName("noext", 1), "noext-2");
  EXPECT_EQ(PageFileName("page%d.bmp", 0), "page1.bmp");
  EXPECT_EQ(PageFileName("p%d/page%d.bmp", 9), "p10/page10.bmp");
  // Only "%d" is a placeholder.
  EXPECT_EQ(PageFileName("100%.bmp", 1), "100%-2.bmp");
}

TEST(OnlineCommands, ScannedPagesBecomeNumberedUnsavedDocuments) {
  FrameState frame;
  RecordingHost host;
  host.frame = &frame;
  frame.tempFolder = ::testing::TempDir();
  int counter = frame.scanCounter;
  for (int i = 0; i < 2; ++i) {
    auto image = std::make_unique<CImageBuffer>();
    ASSERT_TRUE(image->Allocate(4, 3, 24, kFormatBmp));
    image->WriteColor(1, 2, MakeRgbq(200, 100, 50));
    CMirvDoc doc(frame, host, nullptr);
    ASSERT_TRUE(OpenScannedPage(doc, std::move(image), counter));
    EXPECT_EQ(doc.Name(), ScanDocumentName(i));
    EXPECT_EQ(doc.Layers().header.canvasWidth, 4);
    EXPECT_EQ(doc.Layers().header.canvasHeight, 3);
    // The page exists only in the editor: closing must ask to save it.
    EXPECT_TRUE(doc.IsModified());
    ASSERT_NE(doc.ViewImage(), nullptr);
    EXPECT_EQ(doc.ViewImage()->ReadColor(1, 2), MakeRgbq(200, 100, 50));
  }
  EXPECT_EQ(ScanDocumentName(0), "스캔영상_0");
  EXPECT_EQ(counter, 2);

  // A grey page (8 bits with a grey palette) is edited at 24 bits like any picture.
  auto grey = std::make_unique<CImageBuffer>();
  ASSERT_TRUE(grey->Allocate(3, 2, 8, kFormatBmp));
  grey->MakeGreyPalette();
  grey->WriteIndex(2, 1, 77);
  CMirvDoc greyDoc(frame, host, nullptr);
  ASSERT_TRUE(OpenScannedPage(greyDoc, std::move(grey), counter));
  EXPECT_EQ(greyDoc.Layers().header.bitsPerPixel, 24);
  EXPECT_EQ(greyDoc.ViewImage()->ReadColor(2, 1), MakeRgbq(77, 77, 77));
  EXPECT_EQ(counter, 3);

  // Empty pages make no document and do not count.
  CMirvDoc doc(frame, host, nullptr);
  EXPECT_FALSE(OpenScannedPage(doc, nullptr, counter));
  EXPECT_FALSE(OpenScannedPage(doc, std::make_unique<CImageBuffer>(), counter));
  EXPECT_EQ(counter, 3);
}
