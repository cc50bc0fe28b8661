#include <gtest/gtest.h>

#include "cli_run.h"

#include <filesystem>
#include <string>
#include <vector>

#include "cli/movie_command.h"
#include "formats/format_dispatch.h"
#include "movie/movie_decoder.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

class MovieCliTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    Picture("a.bmp", 320, 240, MakeRgbq(200, 40, 40));
    Picture("b.bmp", 320, 240, MakeRgbq(40, 40, 200));
    Picture("small.bmp", 100, 80, MakeRgbq(0, 200, 0));
  }
  void Picture(const std::string& name, int w, int h, Rgbq c) {
    CImageBuffer img;
    ASSERT_TRUE(img.Allocate(w, h, 24, kFormatBmp));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.WriteColor(x, y, c);
    ASSERT_TRUE(SaveFile(img, dir / name, kFormatBmp));
  }
  // Frame count and size of a written movie, by decoding it.
  struct Movie {
    int frames = 0, width = 0, height = 0;
  };
  Movie Read(const fs::path& p) {
    Movie m;
    MovieDecoder d;
    if (!d.Open(p)) return m;
    DecodedFrame f;
    while (d.Next(f)) ++m.frames, m.width = f.width, m.height = f.height;
    return m;
  }
};

TEST(MovieCliArgs, PicturesCarryTheirFrameAndLinkAndBadWordsAreRefused) {
  MovieSettings s;
  std::string error;
  std::vector<std::string> notes;
  ASSERT_TRUE(cli::ParseMovieArgs({"--frame-speed", "0", "out.avi", "a.jpg", "b.jpg,zoom:0.25:1,left", "c.jpg,down",
                                   "--transition-speed", "100"},
                                  s, error, &notes))
      << error;
  EXPECT_EQ(s.output, "out.avi");
  EXPECT_EQ(s.frameSpeed, 0);
  EXPECT_EQ(s.transitionSpeed, 100);
  EXPECT_EQ(s.size, FrameSize{});
  ASSERT_EQ(s.entries.size(), 3u);
  EXPECT_EQ(s.entries[0].mode, FrameMode::kStill);
  EXPECT_EQ(s.entries[0].link, LinkKind::kNone);
  EXPECT_EQ(s.entries[1].picture, "b.jpg");
  EXPECT_EQ(s.entries[1].mode, FrameMode::kZoom);
  EXPECT_DOUBLE_EQ(s.entries[1].zoomX, 0.25);
  EXPECT_DOUBLE_EQ(s.entries[1].zoomY, 1.0);
  EXPECT_EQ(s.entries[1].link, LinkKind::kLeft);
  EXPECT_EQ(s.entries[2].picture, "c.jpg");
  EXPECT_EQ(s.entries[2].mode, FrameMode::kPanDown);
  EXPECT_TRUE(notes.empty());

  ASSERT_TRUE(cli::ParseMovieArgs({"--size", "800x600", "o.avi", "a.jpg"}, s, error));
  EXPECT_EQ(s.size, (FrameSize{800, 600}));
  ASSERT_TRUE(cli::ParseMovieArgs({"--size", "1024x768", "o.avi", "a.jpg"}, s, error, &notes));
  EXPECT_EQ(s.size, FrameSize{});
  EXPECT_EQ(notes.size(), 1u);

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"o.avi"},
                                             {"--frame-speed", "101", "o.avi", "a.jpg"},
                                             {"--transition-speed", "-1", "o.avi", "a.jpg"},
                                             {"--transition-speed", "o.avi", "a.jpg"},
                                             {"o.avi", "a.jpg,sideways"},
                                             {"o.avi", "a.jpg,zoom:2:0"},
                                             {"o.avi", "a.jpg,still,diagonal"},
                                             {"--fps", "30", "o.avi", "a.jpg"}}) {
    error.clear();
    EXPECT_FALSE(cli::ParseMovieArgs(bad, s, error)) << bad.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(MovieCliTest, WritesTheSlideShowAndSkipsWhatItCannotUse) {
  const CliRun r = Cli("movie --size 320x240 --frame-speed 20 --transition-speed 100 " + P("show.avi") + " " +
                       P("a.bmp") + " " + P("small.bmp") + ",still,down " + P("b.bmp") + ",still,up");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("영상크기가 출력 무비의 크기보다 작거나 혹은 다른 이유로 제외됨"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("사진변환완료"), std::string::npos) << r.out;
  const Movie m = Read(P("show.avi"));
  EXPECT_EQ(m.width, 320);
  EXPECT_EQ(m.height, 240);
  EXPECT_EQ(m.frames, 2 + 240 / 25 + 1 + 2);  // stills, slide with step 25 (c = 0…225), stills
}

TEST_F(MovieCliTest, FailuresExitNonZero) {
  CliRun r = Cli("movie --size 320x240 " + P("no-folder/x.avi") + " " + P("a.bmp"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("현재 파일은 사용중입니다. 출력파일명을 변경하십시요."), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("사진변환완료"), std::string::npos) << r.out;

  r = Cli("movie " + P("x.avi") + " " + P("small.bmp"));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(P("x.avi")));

  r = Cli("movie --frame-speed 500 " + P("x.avi") + " " + P("a.bmp"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("0 to 100"), std::string::npos) << r.out;
}

TEST_F(MovieCliTest, UnlistedSizeIs640By480AndMp4NamesWriteH264) {
  Picture("big.bmp", 640, 480, MakeRgbq(90, 90, 90));
  const CliRun r = Cli("movie --size 1000x1000 --frame-speed 30 " + P("big.mp4") + " " + P("big.bmp"));
  EXPECT_EQ(r.status, 0) << r.out;
  MovieDecoder d;
  ASSERT_TRUE(d.Open(P("big.mp4")));
  EXPECT_EQ(d.CodecName(), "h264");
  EXPECT_EQ(d.Width(), 640);
  EXPECT_EQ(d.Height(), 480);
}

}  // namespace
}  // namespace velmira
