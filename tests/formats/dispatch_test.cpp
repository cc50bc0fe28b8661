#include "formats/format_dispatch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "codec_test_support.h"

namespace velmira {
namespace {

using namespace velmira::testing;
namespace fs = std::filesystem;

Bytes Encoded(CImageBuffer& img, int format) {
  CImageMemoryStream out;
  EXPECT_TRUE(EncodeStream(img, out, format)) << img.LastError();
  return out.Bytes();
}

TEST(FormatNames, ExtensionsMapToFormatNumbers) {
  EXPECT_EQ(FormatFromExtension("vlm"), kFormatVlm);
  EXPECT_EQ(FormatFromExtension("SCO"), kFormatSco);
  EXPECT_EQ(FormatFromExtension(".Bmp"), kFormatBmp);
  EXPECT_EQ(FormatFromExtension("jpg"), kFormatJpeg);
  EXPECT_EQ(FormatFromExtension("JPEG"), kFormatJpeg);
  EXPECT_EQ(FormatFromExtension("gif"), kFormatGif);
  EXPECT_EQ(FormatFromExtension("tif"), kFormatTiff);
  EXPECT_EQ(FormatFromExtension("TIFF"), kFormatTiff);
  EXPECT_EQ(FormatFromExtension("pcx"), kFormatPcx);
  EXPECT_EQ(FormatFromExtension("psd"), kFormatPsd);
  EXPECT_EQ(FormatFromExtension("png"), kFormatDetect);
  EXPECT_EQ(FormatFromExtension(""), kFormatDetect);
  EXPECT_EQ(FormatFromExtension("jp"), kFormatDetect);
  EXPECT_EQ(FormatFromPath("/home/u/사진/Holiday.JPG"), kFormatJpeg);
  EXPECT_EQ(FormatFromPath("archive.tar.tif"), kFormatTiff);
  EXPECT_EQ(FormatFromPath("noextension"), kFormatDetect);
}

TEST(FormatNames, DialogFilterListsForOpeningAndSaving) {
  using namespace std::string_literals;
  EXPECT_EQ(BuildFilterString(true),
            "JPG\0*.jpg;*.jpeg\0BMP\0*.bmp\0GIF\0*.gif\0TIF\0*.tif;*.tiff\0PCX\0*.pcx\0VLM\0*.vlm\0"
            "PSD\0*.psd\0모든그림형식\0*.bmp;*.gif;*.jpg;*.tif;*.pcx;*.vlm;*.psd\0"s);
  EXPECT_EQ(BuildFilterString(false),
            "JPG\0*.jpg;*.jpeg\0BMP\0*.bmp\0GIF\0*.gif\0TIF\0*.tif;*.tiff\0VLM\0*.vlm\0"
            "모든그림형식\0*.bmp;*.gif;*.jpg;*.tif;*.pcx;*.vlm;*.psd\0"s);
  const auto qt = BuildQtFilters(false);
  ASSERT_EQ(qt.size(), 6u);
  EXPECT_EQ(qt[0], "JPG (*.jpg *.jpeg)");

  // Positions count only the rows shown: saving has no PCX or PSD row.
  EXPECT_EQ(FormatFromFilterIndex(4, true), kFormatPcx);
  EXPECT_EQ(FormatFromFilterIndex(6, true), kFormatPsd);
  EXPECT_EQ(FormatFromFilterIndex(7, true), kAllPictureFormats);
  EXPECT_EQ(FormatFromFilterIndex(4, false), kFormatVlm);
  EXPECT_EQ(FormatFromFilterIndex(5, false), kAllPictureFormats);
  EXPECT_EQ(FormatFromFilterIndex(6, false), -1);
  EXPECT_EQ(FormatFromFilterIndex(-1, true), -1);
}

// What the user typed wins when the program writes that extension; otherwise the
// selected row's extension is added, never swapped in for part of the name.
TEST(FormatNames, SaveNameFollowsTheTypedExtensionFirst) {
  EXPECT_EQ(ResolveSaveName("/d/victim.vlm", kFormatJpeg), "/d/victim.vlm");
  EXPECT_EQ(ResolveSaveName("/d/victim.VLM", kFormatBmp), "/d/victim.VLM");
  EXPECT_EQ(ResolveSaveName("/d/a.jpeg", kFormatGif), "/d/a.jpeg");
  EXPECT_EQ(ResolveSaveName("/d/victim", kFormatJpeg), "/d/victim.jpg");
  EXPECT_EQ(ResolveSaveName("/d/victim", kFormatTiff), "/d/victim.tif");
  EXPECT_EQ(ResolveSaveName("/d/victim", kFormatVlm), "/d/victim.vlm");
  EXPECT_EQ(ResolveSaveName("/d/v1.2", kFormatBmp), "/d/v1.2.bmp");
  EXPECT_EQ(ResolveSaveName("/d/old.pcx", kFormatBmp), "/d/old.pcx.bmp");  // PCX is read-only
  EXPECT_EQ(ResolveSaveName("/d/victim", kAllPictureFormats), "/d/victim.jpg");
  EXPECT_EQ(SaveFilterIndex(kFormatJpeg), 0);
  EXPECT_EQ(FormatFromFilterIndex(SaveFilterIndex(kFormatVlm), false), kFormatVlm);
  EXPECT_EQ(FormatFromFilterIndex(SaveFilterIndex(kFormatTiff), false), kFormatTiff);
  EXPECT_EQ(SaveFilterIndex(kFormatPcx), 0);
}

TEST(Dispatch, UnknownNumbersAndUnwritableFormatsAreRefused) {
  CImageBuffer img;
  Fill24(img, 3, 3);
  const Bytes bytes = Encoded(img, kFormatBmp);
  CImageMemoryStream in(bytes.data(), bytes.size());
  for (int format : {int(kFormatPsd), 8, 99, -2}) {
    EXPECT_FALSE(DecodeStream(img, in, format));
    EXPECT_EQ(img.LastError(), "Unsupported operation for this format");
  }
  for (int format : {int(kFormatPcx), int(kFormatPsd), int(kFormatDetect), 42}) {
    CImageMemoryStream out;
    EXPECT_FALSE(EncodeStream(img, out, format));
    EXPECT_EQ(img.LastError(), "Unsupported operation for this format");
    EXPECT_TRUE(out.Bytes().empty());
  }
}

TEST(Dispatch, NativeAndMeasurementFormatsAreNoOperations) {
  CImageBuffer img;
  Fill24(img, 3, 3);
  const Rgbq before = img.ReadColor(1, 1);
  const Bytes junk = {1, 2, 3};
  for (int format : {kFormatVlm, kFormatSco}) {
    CImageMemoryStream in(junk.data(), junk.size());
    EXPECT_TRUE(DecodeStream(img, in, format));
    EXPECT_EQ(in.Tell(), 0);
    CImageMemoryStream out;
    EXPECT_TRUE(EncodeStream(img, out, format));
    EXPECT_TRUE(out.Bytes().empty());
  }
  EXPECT_EQ(img.ReadColor(1, 1), before);
}

TEST(Dispatch, DetectionFindsEachReadableFormat) {
  CImageBuffer src;  // smooth, so that JPEG keeps it close
  src.Allocate(24, 16, 24, kFormatBmp);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) src.WriteColor(x, y, MakeRgbq(x * 10, y * 15, 90));
  for (int format : {kFormatBmp, kFormatJpeg, kFormatTiff}) {
    SCOPED_TRACE(format);
    const Bytes bytes = Encoded(src, format);
    CImageMemoryStream in(bytes.data(), bytes.size());
    CImageBuffer img;
    ASSERT_TRUE(DecodeStream(img, in, kFormatDetect)) << img.LastError();
    EXPECT_EQ(img.Width(), 24);
    EXPECT_EQ(img.FormatType(), format == kFormatTiff ? kFormatTiff : 0);
    EXPECT_LE(MaxChannelDiff(ScreenColor(img, 5, 5), ScreenColor(src, 5, 5)), format == kFormatBmp ? 0 : 8);
  }
}

TEST(Dispatch, DetectionStartsWhereTheStreamStood) {
  CImageBuffer src;
  Fill24(src, 8, 8);
  Bytes bytes = {9, 9, 9};
  const Bytes jpeg = Encoded(src, kFormatJpeg);
  bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
  CImageMemoryStream in(bytes.data(), bytes.size());
  in.Seek(3, CImageStream::kSet);
  CImageBuffer img;
  ASSERT_TRUE(DecodeStream(img, in, kFormatDetect)) << img.LastError();
  EXPECT_EQ(img.Width(), 8);
}

TEST(Dispatch, FailedDecodeKeepsThePicture) {
  CImageBuffer img;
  Fill24(img, 5, 5);
  const Rgbq before = img.ReadColor(2, 2);
  const Bytes junk(300, 0x5A);
  CImageMemoryStream in(junk.data(), junk.size());
  EXPECT_FALSE(DecodeStream(img, in, kFormatDetect));
  EXPECT_EQ(img.LastError(), "Unknown picture format");
  EXPECT_EQ(img.Width(), 5);
  EXPECT_EQ(img.ReadColor(2, 2), before);
}

class DispatchFiles : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(DispatchFiles, MisleadingExtensionStillOpens) {
  CImageBuffer src;
  Fill24(src, 10, 6);
  WriteFileBytes(dir / "really-a-bmp.jpg", Encoded(src, kFormatBmp));
  WriteFileBytes(dir / "really-a-jpeg.bmp", Encoded(src, kFormatJpeg));
  CImageBuffer img;
  ASSERT_TRUE(LoadFile(img, dir / "really-a-bmp.jpg", kFormatJpeg)) << img.LastError();
  EXPECT_EQ(img.ReadColor(3, 3), src.ReadColor(3, 3));
  ASSERT_TRUE(LoadFile(img, dir / "really-a-jpeg.bmp", kFormatBmp)) << img.LastError();
  EXPECT_EQ(img.Width(), 10);
}

TEST_F(DispatchFiles, UnreadableFilesKeepTheNamedCodecsComplaint) {
  WriteFileBytes(dir / "junk.jpg", Bytes(100, 0x11));
  CImageBuffer img;
  EXPECT_FALSE(LoadFile(img, dir / "junk.jpg", kFormatJpeg));
  EXPECT_NE(img.LastError().find("Not a JPEG file"), std::string::npos) << img.LastError();
  EXPECT_FALSE(LoadFile(img, dir / "missing.bmp", kFormatBmp));
  EXPECT_FALSE(img.LastError().empty());
  EXPECT_FALSE(img.IsValid());
}

TEST_F(DispatchFiles, SaveWritesAndReplaces) {
  CImageBuffer a, b;
  Fill24(a, 7, 7);
  b.Allocate(3, 2, 24, kFormatBmp);
  const fs::path p = dir / "pic.bmp";
  ASSERT_TRUE(SaveFile(a, p, kFormatBmp)) << a.LastError();
  ASSERT_TRUE(SaveFile(b, p, kFormatBmp)) << b.LastError();
  CImageBuffer back;
  ASSERT_TRUE(LoadFile(back, p, kFormatBmp));
  EXPECT_EQ(back.Width(), 3);
  // Nothing but the picture is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(DispatchFiles, FailedSaveLeavesTheOldFileAsItWas) {
  CImageBuffer good;
  Fill24(good, 6, 4);
  const fs::path p = dir / "keep.jpg";
  ASSERT_TRUE(SaveFile(good, p, kFormatJpeg));
  const Bytes before = ReadFileBytes(p);

  // The encoder refuses a colour palette image for JPEG.
  CImageBuffer palette;
  palette.Allocate(4, 4, 8, kFormatBmp);
  palette.SetPaletteEntry(3, 200, 10, 10);
  EXPECT_FALSE(SaveFile(palette, p, kFormatJpeg));
  EXPECT_EQ(palette.LastError(), "JPEG can save only RGB or GreyScale images");
  // PCX cannot be written at all.
  EXPECT_FALSE(SaveFile(good, p, kFormatPcx));
  EXPECT_EQ(good.LastError(), "Unsupported operation for this format");
  // An image without pixels.
  CImageBuffer empty;
  EXPECT_FALSE(SaveFile(empty, p, kFormatTiff));

  EXPECT_EQ(ReadFileBytes(p), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(DispatchFiles, SaveIntoAMissingFolderFailsWithAReason) {
  CImageBuffer img;
  Fill24(img, 2, 2);
  EXPECT_FALSE(SaveFile(img, dir / "no" / "such" / "folder.bmp", kFormatBmp));
  EXPECT_NE(img.LastError().find("Unable to create file"), std::string::npos) << img.LastError();
}

TEST_F(DispatchFiles, WritingIntoAFullDeviceIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A device is written in place (it cannot be renamed over); every write fails.
  CImageBuffer img;
  Fill24(img, 2000, 2000);
  EXPECT_FALSE(SaveFile(img, "/dev/full", kFormatBmp));
  EXPECT_FALSE(img.LastError().empty());
}

TEST_F(DispatchFiles, ReplacingKeepsPermissionsAndFollowsLinks) {
  CImageBuffer img;
  Fill24(img, 4, 4);
  const fs::path real = dir / "real.tif";
  const fs::path link = dir / "link.tif";
  ASSERT_TRUE(SaveFile(img, real, kFormatTiff));
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, link);
  Fill24(img, 9, 9);
  ASSERT_TRUE(SaveFile(img, link, kFormatTiff)) << img.LastError();
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  CImageBuffer back;
  ASSERT_TRUE(LoadFile(back, real, kFormatTiff));
  EXPECT_EQ(back.Width(), 9);
}

TEST_F(DispatchFiles, NoOperationFormatsNeverTouchTheFile) {
  CImageBuffer img;
  Fill24(img, 2, 2);
  const fs::path p = dir / "doc.vlm";
  WriteFileBytes(p, Bytes{1, 2, 3});
  EXPECT_TRUE(SaveFile(img, p, kFormatVlm));
  EXPECT_EQ(ReadFileBytes(p), (Bytes{1, 2, 3}));
  EXPECT_TRUE(LoadFile(img, p, kFormatVlm));
  EXPECT_EQ(img.Width(), 2);
}

}  // namespace
}  // namespace velmira
