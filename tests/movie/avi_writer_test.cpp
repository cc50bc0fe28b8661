#include "movie/avi_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "movie/movie_decoder.h"
#include "movie_probe.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("velmira-movie-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
           std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  AviWriter::MessageSink Sink() {
    return [this](const std::string& m) { messages.push_back(m); };
  }
  fs::path dir;
  std::vector<std::string> messages;
};

// A 32-bit bottom-up frame whose left half is one colour and right half another, with
// the colours moving with the frame number so that frames can be told apart.
std::vector<uint8_t> TwoTone(int w, int h, int k) {
  std::vector<uint8_t> f(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &f[(size_t(y) * w + x) * 4];
      const bool left = x < w / 2;
      p[0] = uint8_t(left ? 20 * k : 200);       // blue
      p[1] = uint8_t(left ? 40 : 250 - 20 * k);  // green
      p[2] = uint8_t(y < h / 2 ? 30 : 220);      // red: bottom half dark
      p[3] = 0;
    }
  return f;
}

int Channel(const DecodedFrame& f, int x, int yFromTop, int c) {
  return f.bgra[(size_t(yFromTop) * f.width + x) * 4 + c];
}

TEST_F(WriterTest, TenFramesAreTenKeyFramesAt25PerSecondTaggedXvid) {
  const fs::path out = dir / "ten.avi";
  AviWriter w(out, FourCC("XVID"), 50, Sink());
  EXPECT_EQ(w.GetState(), AviWriter::kCreated);
  EXPECT_EQ(w.StatusText(), moviemsg::kSucceeded);
  for (int k = 0; k < 10; ++k) {
    const auto f = TwoTone(64, 48, k);
    ASSERT_EQ(w.AddFrame(64, 48, f.data(), 32), kSOk) << k;
    EXPECT_EQ(w.GetState(), AviWriter::kOpen);
  }
  EXPECT_EQ(w.FrameCount(), 10);
  ASSERT_EQ(w.Close(), kSOk);
  EXPECT_EQ(w.GetState(), AviWriter::kClosed);
  EXPECT_TRUE(messages.empty());

  const test::ProbedStream p = test::Probe(out);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.codec, "mpeg4");
  EXPECT_EQ(p.tag, FourCC("XVID"));
  EXPECT_EQ(p.width, 64);
  EXPECT_EQ(p.height, 48);
  EXPECT_EQ(p.rate.num, 25 * p.rate.den);
  ASSERT_EQ(p.packetKey.size(), 10u);
  for (bool key : p.packetKey) EXPECT_TRUE(key);

  // Decoded back, each frame is the one given, upright, within MPEG-4's loss.
  MovieDecoder d;
  std::string why;
  ASSERT_TRUE(d.Open(out, &why)) << why;
  DecodedFrame f;
  for (int k = 0; k < 10; ++k) {
    ASSERT_TRUE(d.Next(f)) << k;
    EXPECT_NEAR(f.seconds, k / 25.0, 1e-6);
    // Sample away from the edges between the colour areas.
    EXPECT_NEAR(Channel(f, 8, 40, 0), 20 * k, 12) << k;   // bottom left: blue moves with k
    EXPECT_NEAR(Channel(f, 8, 40, 2), 30, 12) << k;       // bottom rows are dark red
    EXPECT_NEAR(Channel(f, 56, 8, 1), 250 - 20 * k, 12) << k;
    EXPECT_NEAR(Channel(f, 56, 8, 2), 220, 12) << k;      // top rows are light red
  }
  EXPECT_FALSE(d.Next(f));
}

TEST_F(WriterTest, ClosedWriterRefusesFramesQuietly) {
  AviWriter w(dir / "closed.avi", FourCC("XVID"), 50, Sink());
  const auto f = TwoTone(32, 32, 1);
  ASSERT_EQ(w.AddFrame(32, 32, f.data(), 32), kSOk);
  ASSERT_EQ(w.Close(), kSOk);
  EXPECT_EQ(w.AddFrame(32, 32, f.data(), 32), kEFail);
  CImageBuffer img;
  img.Allocate(32, 32, 24, kFormatBmp);
  EXPECT_EQ(w.AddBitmapFrame(img), kEFail);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(test::Probe(dir / "closed.avi").packetKey.size(), 1u);
}

TEST_F(WriterTest, UncreatablePathFailsAtTheFirstFrameOnce) {
  const fs::path out = dir / "no-such-folder" / "x.avi";
  AviWriter w(out, FourCC("XVID"), 50, Sink());
  const auto f = TwoTone(32, 32, 0);
  EXPECT_EQ(w.AddFrame(32, 32, f.data(), 32), kEFail);
  EXPECT_EQ(w.GetState(), AviWriter::kClosed);
  EXPECT_EQ(w.AddFrame(32, 32, f.data(), 32), kEFail);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], moviemsg::kFileBusy);
  EXPECT_EQ(w.StatusText(), moviemsg::kFileBusy);
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(WriterTest, FullDiskIsAFailedWriteNotASuccess) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  AviWriter w("/dev/full", FourCC("XVID"), 50, Sink());
  const auto f = TwoTone(64, 64, 3);
  HResult last = kSOk;
  int written = 0;
  for (; written < 50 && last == kSOk; ++written) last = w.AddFrame(64, 64, f.data(), 32);
  EXPECT_EQ(last, kEFail);
  EXPECT_EQ(w.GetState(), AviWriter::kClosed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], moviemsg::kWriteFailed);
  EXPECT_EQ(w.AddFrame(64, 64, f.data(), 32), kEFail);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WriterTest, FrameOfAnotherShapeStopsTheMovieButKeepsWhatWasWritten) {
  const fs::path out = dir / "shape.avi";
  AviWriter w(out, FourCC("XVID"), 50, Sink());
  const auto a = TwoTone(32, 32, 0);
  const auto b = TwoTone(48, 32, 0);
  ASSERT_EQ(w.AddFrame(32, 32, a.data(), 32), kSOk);
  ASSERT_EQ(w.AddFrame(32, 32, a.data(), 32), kSOk);
  EXPECT_EQ(w.AddFrame(48, 32, b.data(), 32), kEFail);
  EXPECT_EQ(w.AddFrame(32, 32, a.data(), 24), kEFail);  // already closed: no second message
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], moviemsg::kFormatMismatch);
  // The file was finished: both frames are there and decode.
  MovieDecoder d;
  ASSERT_TRUE(d.Open(out));
  DecodedFrame f;
  EXPECT_TRUE(d.Next(f));
  EXPECT_TRUE(d.Next(f));
  EXPECT_FALSE(d.Next(f));
}

TEST_F(WriterTest, UnusableFirstFramesAreRefusedWithTheFormatMessage) {
  const auto f = TwoTone(32, 32, 0);
  struct Case {
    int w, h, bpp;
    const uint8_t* bits;
  };
  for (const Case& c : {Case{0, 32, 32, f.data()}, Case{32, -4, 32, f.data()}, Case{32, 32, 16, f.data()},
                        Case{32, 32, 32, nullptr}, Case{100000, 32, 32, f.data()}}) {
    messages.clear();
    AviWriter w(dir / "bad.avi", FourCC("XVID"), 50, Sink());
    EXPECT_EQ(w.AddFrame(c.w, c.h, c.bits, c.bpp), kEFail);
    EXPECT_EQ(w.GetState(), AviWriter::kClosed);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], moviemsg::kFormatMismatch);
  }
}

TEST_F(WriterTest, BitmapFramesOfAnyDepthAndRawFramesOf24Bits) {
  // An 8-bit palette picture: its colours, not its indices, reach the movie.
  CImageBuffer pal;
  ASSERT_TRUE(pal.Allocate(40, 30, 8, kFormatBmp));
  pal.SetPaletteEntry(1, 250, 10, 10);
  pal.SetPaletteEntry(2, 10, 10, 250);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) pal.WriteIndex(x, y, x < 20 ? 1 : 2);
  const fs::path out = dir / "bitmap.avi";
  AviWriter w(out, FourCC("XVID"), 50, Sink());
  ASSERT_EQ(w.AddBitmapFrame(pal), kSOk);
  ASSERT_EQ(w.Close(), kSOk);
  // A 24-bit raw movie of the same size: rows without padding (40 × 3 = 120 bytes).
  const fs::path out24 = dir / "raw24.avi";
  AviWriter w24(out24, FourCC("XVID"), 50, Sink());
  std::vector<uint8_t> raw(size_t(40) * 30 * 3);
  for (size_t i = 0; i < raw.size(); i += 3) raw[i + 1] = 240;  // green
  ASSERT_EQ(w24.AddFrame(40, 30, raw.data(), 24), kSOk);
  ASSERT_EQ(w24.Close(), kSOk);
  EXPECT_TRUE(messages.empty());

  MovieDecoder d;
  ASSERT_TRUE(d.Open(out));
  DecodedFrame f;
  ASSERT_TRUE(d.Next(f));
  EXPECT_NEAR(Channel(f, 5, 15, 2), 250, 16);  // left red
  EXPECT_NEAR(Channel(f, 5, 15, 0), 10, 16);
  EXPECT_NEAR(Channel(f, 35, 15, 0), 250, 16);  // right blue
  ASSERT_TRUE(d.Open(out24));
  ASSERT_TRUE(d.Next(f));
  EXPECT_NEAR(Channel(f, 20, 15, 1), 240, 16);
  EXPECT_NEAR(Channel(f, 20, 15, 2), 0, 16);
}

TEST_F(WriterTest, FramesLargerThanAScreenAreWrittenWhole) {
  const int w = 2720, h = 1800;
  const auto f = TwoTone(w, h, 4);
  const fs::path out = dir / "large.avi";
  AviWriter wr(out, FourCC("XVID"), 50, Sink());
  ASSERT_EQ(wr.AddFrame(w, h, f.data(), 32), kSOk);
  ASSERT_EQ(wr.Close(), kSOk);
  MovieDecoder d;
  ASSERT_TRUE(d.Open(out));
  DecodedFrame got;
  ASSERT_TRUE(d.Next(got));
  ASSERT_EQ(got.width, w);
  ASSERT_EQ(got.height, h);
  EXPECT_NEAR(Channel(got, w - 20, 20, 2), 220, 12);      // top right: light red
  EXPECT_NEAR(Channel(got, 20, h - 20, 0), 80, 12);       // bottom left: blue of frame 4
}

TEST_F(WriterTest, Mp4OutputIsH264WithTheIndexInFront) {
  if (EncoderDescription(true).find("no encoder") != std::string::npos) GTEST_SKIP() << "no H.264 encoder";
  const fs::path out = dir / "clip.MP4";
  AviWriter w(out, FourCC("XVID"), 50, Sink());
  EXPECT_TRUE(w.WritesMp4());
  for (int k = 0; k < 30; ++k) {
    const auto f = TwoTone(64, 48, k % 10);
    ASSERT_EQ(w.AddFrame(64, 48, f.data(), 32), kSOk);
  }
  ASSERT_EQ(w.Close(), kSOk);
  const test::ProbedStream p = test::Probe(out);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.codec, "h264");
  EXPECT_EQ(p.packetKey.size(), 30u);
  EXPECT_EQ(p.rate.num, 25 * p.rate.den);
  // Fast start: the movie's index box comes before its data box.
  std::ifstream in(out, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const size_t moov = bytes.find("moov"), mdat = bytes.find("mdat");
  ASSERT_NE(moov, std::string::npos);
  ASSERT_NE(mdat, std::string::npos);
  EXPECT_LT(moov, mdat);
  MovieDecoder d;
  ASSERT_TRUE(d.Open(out));
  DecodedFrame f;
  int n = 0;
  while (d.Next(f)) {
    EXPECT_NEAR(Channel(f, 8, 40, 0), 20 * (n % 10), 12) << n;
    ++n;
  }
  EXPECT_EQ(n, 30);
  // H.264 in 4:2:0 needs even sides: an odd frame is refused, not written crooked.
  messages.clear();
  AviWriter odd(dir / "odd.mp4", FourCC("XVID"), 50, Sink());
  const auto f33 = TwoTone(33, 32, 0);
  EXPECT_EQ(odd.AddFrame(33, 32, f33.data(), 32), kEFail);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], moviemsg::kFormatMismatch);
}

TEST(EncoderDescription, NamesTheEncoderAndLibraryVersions) {
  const std::string avi = EncoderDescription(false);
  EXPECT_NE(avi.find("mpeg4"), std::string::npos) << avi;
  EXPECT_NE(avi.find("XVID"), std::string::npos) << avi;
  EXPECT_NE(avi.find("libavcodec " + std::to_string(LIBAVCODEC_VERSION_MAJOR) + "."), std::string::npos) << avi;
}

}  // namespace
}  // namespace velmira
