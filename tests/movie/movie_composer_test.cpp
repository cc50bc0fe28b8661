#include "movie/movie_composer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "formats/format_dispatch.h"
#include "movie/movie_decoder.h"
#include "movie_probe.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

// Eight colours far apart, so that a decoded pixel names its band despite MPEG-4 loss.
constexpr Rgbq kBands[8] = {MakeRgbq(230, 30, 30),  MakeRgbq(30, 230, 30),  MakeRgbq(30, 30, 230),
                            MakeRgbq(230, 230, 30), MakeRgbq(30, 230, 230), MakeRgbq(230, 30, 230),
                            MakeRgbq(20, 20, 20),   MakeRgbq(240, 240, 240)};

// A 24-bit picture in horizontal bands of `band` rows counted from the bottom,
// starting with colour `first`.
void Banded(CImageBuffer& img, int w, int h, int band, int first) {
  img.Allocate(w, h, 24, kFormatBmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.WriteColor(x, y, kBands[(y / band + first) % 8]);
}

// Records every frame instead of encoding it; can be told to fail at frame k.
struct RecordingSink : FrameSink {
  std::vector<Frame32> frames;
  int failAt = -1;
  HResult AddFrame(const Frame32& f) override {
    if (int(frames.size()) == failAt) return kEFail;
    frames.push_back(f);
    return kSOk;
  }
};

// Pictures made in memory by name: "WxH:first" gives a banded picture; anything
// unknown fails to load.
struct Pictures {
  bool Load(const fs::path& p, CImageBuffer& img) {
    int w, h, first;
    if (std::sscanf(p.filename().c_str(), "%dx%d:%d", &w, &h, &first) != 3) return false;
    Banded(img, w, h, 30, first);
    ++loads;
    return true;
  }
  int loads = 0;
};

struct ComposerTest : ::testing::Test {
  ComposerCallbacks Callbacks() {
    ComposerCallbacks cb;
    cb.message = [this](const std::string& m) { messages.push_back(m); };
    cb.progress = [this](int p) { progress.push_back(p); };
    cb.load = [this](const fs::path& p, CImageBuffer& img) { return pictures.Load(p, img); };
    return cb;
  }
  MovieSettings Settings(FrameSize size, int frameSpeed, int transitionSpeed) {
    MovieSettings s;
    s.size = size;
    s.frameSpeed = frameSpeed;
    s.transitionSpeed = transitionSpeed;
    return s;
  }
  static MovieEntry Entry(const std::string& name, FrameMode mode = FrameMode::kStill,
                          LinkKind link = LinkKind::kNone) {
    MovieEntry e;
    e.picture = name;
    e.mode = mode;
    e.link = link;
    return e;
  }
  Pictures pictures;
  std::vector<std::string> messages;
  std::vector<int> progress;
};

TEST(MovieTexts, FrameSizesModesAndLinksFromTheListTexts) {
  EXPECT_EQ(FrameSizeFromText("320ⅹ240"), (FrameSize{320, 240}));
  EXPECT_EQ(FrameSizeFromText("800ⅹ600"), (FrameSize{800, 600}));
  EXPECT_EQ(FrameSizeFromText("240ⅹ180"), (FrameSize{240, 180}));
  // Anything else, even the same size spelt with a Latin x, is 640 × 480.
  for (const char* other : {"800x600", "1024ⅹ768", "", "320ⅹ240 "}) EXPECT_EQ(FrameSizeFromText(other), FrameSize{});
  ASSERT_EQ(FrameSizeTexts().size(), 4u);
  for (const char* t : FrameSizeTexts()) EXPECT_NE(FrameSizeFromText(t).width, 0);

  EXPECT_EQ(FrameModeOf("z 줌인/아웃"), FrameMode::kZoom);
  EXPECT_EQ(FrameModeOf("z→"), FrameMode::kZoom);  // the first character wins
  EXPECT_EQ(FrameModeOf("패닝 ↑"), FrameMode::kPanUp);
  EXPECT_EQ(FrameModeOf("↓"), FrameMode::kPanDown);
  EXPECT_EQ(FrameModeOf("패닝 ←"), FrameMode::kPanLeft);
  EXPECT_EQ(FrameModeOf("→"), FrameMode::kPanRight);
  EXPECT_EQ(FrameModeOf("정지"), FrameMode::kStill);
  EXPECT_EQ(FrameModeOf("↑ 정지"), FrameMode::kStill);  // the last character decides
  EXPECT_EQ(FrameModeOf(""), FrameMode::kStill);

  EXPECT_EQ(LinkOf("↑"), LinkKind::kUp);
  EXPECT_EQ(LinkOf("↓"), LinkKind::kDown);
  EXPECT_EQ(LinkOf("←"), LinkKind::kLeft);
  EXPECT_EQ(LinkOf("→"), LinkKind::kRight);
  for (const char* none : {"↖", "↗", "↘", "↙", "↔", "전환패닝없음", ""}) EXPECT_EQ(LinkOf(none), LinkKind::kNone);
}

TEST(MovieSteps, SliderPositionsGiveStepsThatNeverStall) {
  EXPECT_EQ(TransitionStep(0), 1);
  EXPECT_EQ(TransitionStep(3), 1);
  EXPECT_EQ(TransitionStep(50), 12);
  EXPECT_EQ(TransitionStep(100), 25);
  EXPECT_EQ(PanStep(0), 1);
  EXPECT_EQ(PanStep(19), 1);
  EXPECT_EQ(PanStep(59), 2);
  EXPECT_EQ(StillFrames(9), 0);
  EXPECT_EQ(StillFrames(55), 5);

  EXPECT_EQ(TransitionPositions(LinkKind::kUp, 320, 240, 60), (std::vector<int>{0, 60, 120, 180}));
  EXPECT_EQ(TransitionPositions(LinkKind::kDown, 320, 240, 60), (std::vector<int>{239, 179, 119, 59}));
  EXPECT_EQ(TransitionPositions(LinkKind::kLeft, 320, 240, 100), (std::vector<int>{319, 219, 119, 19}));
  EXPECT_EQ(TransitionPositions(LinkKind::kRight, 320, 240, 100), (std::vector<int>{0, 100, 200, 300}));
  EXPECT_TRUE(TransitionPositions(LinkKind::kNone, 320, 240, 60).empty());
  // A step of 0 still ends, one row at a time.
  EXPECT_EQ(TransitionPositions(LinkKind::kUp, 320, 240, 0).size(), 240u);
  EXPECT_EQ(TransitionPositions(LinkKind::kLeft, 320, 240, 0).size(), 320u);

  EXPECT_EQ(PanOffsets(FrameMode::kPanUp, 8, 10, 8, 4, 2), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(PanOffsets(FrameMode::kPanDown, 8, 10, 8, 4, 2), (std::vector<int>{6, 4, 2}));
  EXPECT_EQ(PanOffsets(FrameMode::kPanLeft, 11, 4, 8, 4, 0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(PanOffsets(FrameMode::kPanRight, 11, 4, 8, 4, 2), (std::vector<int>{3, 1}));
  // No room to move that way: no frames.
  EXPECT_TRUE(PanOffsets(FrameMode::kPanUp, 20, 4, 8, 4, 1).empty());
  EXPECT_TRUE(PanOffsets(FrameMode::kPanRight, 8, 20, 8, 4, 1).empty());
}

// Frames whose pixel values name their source: P's rows 100 + r, N's rows 200 + r.
Frame32 Numbered(int w, int h, int base, bool byColumn) {
  Frame32 f(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) f.Row(y)[x] = Rgbq(base + (byColumn ? x : y));
  return f;
}

TEST(MovieTransitions, RowsAndColumnsComeFromWherePushedPicturesPutThem) {
  const Frame32 p = Numbered(3, 4, 100, false), n = Numbered(3, 4, 200, false);
  Frame32 out(3, 4);
  auto column = [&](int x) {
    std::vector<Rgbq> c;
    for (int y = 0; y < 4; ++y) c.push_back(out.At(x, y));
    return c;
  };
  // ↑ at c = 1: bottom row from N's bottom, P's rows from its bottom moved up one.
  ComposeTransition(LinkKind::kUp, p, n, 1, out);
  EXPECT_EQ(column(0), (std::vector<Rgbq>{200, 100, 101, 102}));
  ComposeTransition(LinkKind::kUp, p, n, 0, out);
  EXPECT_EQ(column(2), (std::vector<Rgbq>{100, 101, 102, 103}));
  // ↓ at c = 3: P's bottom three rows, then N's bottom row.
  ComposeTransition(LinkKind::kDown, p, n, 3, out);
  EXPECT_EQ(column(1), (std::vector<Rgbq>{100, 101, 102, 200}));
  ComposeTransition(LinkKind::kDown, p, n, 0, out);
  EXPECT_EQ(column(1), (std::vector<Rgbq>{200, 201, 202, 203}));

  const Frame32 pc = Numbered(4, 2, 100, true), nc = Numbered(4, 2, 200, true);
  Frame32 o(4, 2);
  auto row = [&](int y) { return std::vector<Rgbq>(o.Row(y), o.Row(y) + 4); };
  // ← at d = 1: P's first column, then N from its first pixel.
  ComposeTransition(LinkKind::kLeft, pc, nc, 1, o);
  EXPECT_EQ(row(0), (std::vector<Rgbq>{100, 200, 201, 202}));
  EXPECT_EQ(row(1), row(0));
  // → at x = 3: N's first three pixels, then P from its first pixel.
  ComposeTransition(LinkKind::kRight, pc, nc, 3, o);
  EXPECT_EQ(row(1), (std::vector<Rgbq>{200, 201, 202, 100}));
}

TEST(MovieScaling, AreaAveragingWhenReducingAndSmoothEnlarging) {
  Frame32 src(4, 1);
  src.px = {MakeRgbq(0, 0, 0), MakeRgbq(100, 0, 0), MakeRgbq(200, 0, 0), MakeRgbq(250, 0, 90)};
  Frame32 half(2, 1);
  ScaleRegion(src, 0, 0, 4, 1, half);
  EXPECT_EQ(RgbqR(half.px[0]), 50);
  EXPECT_EQ(RgbqR(half.px[1]), 225);
  EXPECT_EQ(RgbqB(half.px[1]), 45);
  // 3 → 2: each output pixel takes one and a half source pixels.
  Frame32 three(3, 1);
  three.px = {MakeRgbq(90, 0, 0), MakeRgbq(0, 0, 0), MakeRgbq(30, 0, 0)};
  ScaleRegion(three, 0, 0, 3, 1, half);
  EXPECT_EQ(RgbqR(half.px[0]), 60);  // (90 + 0.5 × 0) / 1.5
  EXPECT_EQ(RgbqR(half.px[1]), 20);  // (0.5 × 0 + 30) / 1.5
  // A region: columns 2 and 3 only, squeezed into one pixel.
  Frame32 one(1, 1);
  ScaleRegion(src, 2, 0, 2, 1, one);
  EXPECT_EQ(RgbqR(one.px[0]), 225);
  // Enlarging two pixels to four: the ends keep their colours, the middle blends.
  Frame32 two(2, 1);
  two.px = {MakeRgbq(0, 0, 0), MakeRgbq(200, 0, 0)};
  Frame32 four(4, 1);
  ScaleRegion(two, 0, 0, 2, 1, four);
  EXPECT_EQ(RgbqR(four.px[0]), 0);
  EXPECT_EQ(RgbqR(four.px[1]), 50);
  EXPECT_EQ(RgbqR(four.px[2]), 150);
  EXPECT_EQ(RgbqR(four.px[3]), 200);
  // Both directions at once keep a flat colour flat.
  Frame32 flat(7, 5);
  for (Rgbq& c : flat.px) c = MakeRgbq(12, 34, 56);
  Frame32 odd(3, 9);
  ScaleRegion(flat, 0.5, 0.25, 5.5, 4.5, odd);
  for (Rgbq c : odd.px) EXPECT_EQ(c, MakeRgbq(12, 34, 56));
}

TEST(MoviePictures, PalettePicturesBecomeColoursOverWhite) {
  CImageBuffer pal;
  ASSERT_TRUE(pal.Allocate(3, 2, 4, kFormatGif));
  pal.SetPaletteEntry(0, 10, 20, 30);
  pal.SetPaletteEntry(1, 200, 100, 50);
  for (int x = 0; x < 3; ++x) pal.WriteIndex(x, 0, 1), pal.WriteIndex(x, 1, 0);
  pal.Ext().transparentIndex = 0;
  Frame32 f;
  ASSERT_TRUE(PictureToFrame(pal, f));
  EXPECT_EQ(f.width, 3);
  EXPECT_EQ(f.At(2, 0), MakeRgbq(200, 100, 50));
  EXPECT_EQ(f.At(1, 1), MakeRgbq(255, 255, 255));  // the transparent entry
  CImageBuffer empty;
  EXPECT_FALSE(PictureToFrame(empty, f));
}

TEST(MovieZoom, PlanClampsTheZoomPointInsideThePicture) {
  ZoomPlan z = PlanZoom(640, 480, 320, 240, 0.5, 0.5);
  EXPECT_EQ(z.steps, 9);  // s = 2
  EXPECT_EQ(z.x0, 320);
  EXPECT_EQ(z.y0, 240);
  EXPECT_DOUBLE_EQ(z.z0, 1.0);
  z = PlanZoom(640, 480, 320, 240, 0.9, 0.99);
  EXPECT_EQ(z.x0, 320);  // at least a frame's width remains to the right
  EXPECT_EQ(z.y0, 240);
  z = PlanZoom(640, 480, 320, 240, 0.0, 0.25);
  EXPECT_EQ(z.x0, 0);
  EXPECT_EQ(z.y0, 120);
  EXPECT_DOUBLE_EQ(z.z0, 1.5);  // min(360 / 240, 640 / 320)
  z = PlanZoom(1000, 240, 320, 240, -3, 7);
  EXPECT_EQ(z.steps, 4);  // s = 1: the height just fills the frame
  EXPECT_EQ(z.x0, 0);
  EXPECT_EQ(z.y0, 0);
}

TEST_F(ComposerTest, PicturesTooSmallOrUnreadableAreSkippedAndTheRestGoesOn) {
  MovieSettings s = Settings({32, 24}, 30, 40);  // 3 stills, step 10
  s.entries = {Entry("40x30:0"), Entry("31x30:1", FrameMode::kStill, LinkKind::kUp),
               Entry("broken.jpg", FrameMode::kStill, LinkKind::kUp),
               Entry("32x23:1", FrameMode::kStill, LinkKind::kUp),
               Entry("64x48:2", FrameMode::kStill, LinkKind::kUp)};
  RecordingSink sink;
  ComposeStats st;
  EXPECT_EQ(ComposeFrames(s, sink, Callbacks(), &st), ComposeResult::kDone);
  EXPECT_EQ(messages, std::vector<std::string>(3, moviemsg::kSkipped));
  EXPECT_EQ(st.picturesSkipped, 3);
  EXPECT_EQ(st.picturesUsed, 2);
  // First picture: 3 stills. Last: slides up from the first (c = 0, 10, 20), then 3 stills.
  ASSERT_EQ(sink.frames.size(), 3u + 3u + 3u);
  EXPECT_EQ(st.framesWritten, 9);
  // The transition's bottom rows at c = 10 are the new picture's; above, the first's.
  const Frame32& t = sink.frames[4];
  EXPECT_EQ(t.At(5, 2), sink.frames[8].At(5, 2));
  EXPECT_EQ(t.At(5, 20), sink.frames[0].At(5, 10));
  EXPECT_EQ(progress.back(), 100);
  for (size_t i = 1; i < progress.size(); ++i) EXPECT_GE(progress[i], progress[i - 1]);
}

TEST_F(ComposerTest, OnlyAPictureAfterAShownOneSlidesIn) {
  RecordingSink sink;
  MovieSettings s = Settings({32, 24}, 10, 40);  // 1 still, step 10
  // The first picture's link is ignored.
  s.entries = {Entry("32x24:0", FrameMode::kStill, LinkKind::kUp)};
  EXPECT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  EXPECT_EQ(sink.frames.size(), 1u);
  // Nothing shown before: a skipped first picture leaves nothing to slide from.
  sink.frames.clear();
  s.entries = {Entry("8x8:0"), Entry("32x24:0", FrameMode::kStill, LinkKind::kRight)};
  EXPECT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  EXPECT_EQ(sink.frames.size(), 1u);
  // The other arrows and "no transition" give none either; ↓ and ← give theirs.
  sink.frames.clear();
  s.entries = {Entry("32x24:0"), Entry("32x24:1", FrameMode::kStill, LinkOf("↖")),
               Entry("32x24:2", FrameMode::kStill, LinkOf("전환패닝없음")),
               Entry("32x24:3", FrameMode::kStill, LinkKind::kDown),
               Entry("32x24:4", FrameMode::kStill, LinkKind::kLeft)};
  EXPECT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  EXPECT_EQ(sink.frames.size(), 5u + 3u /* c = 23, 13, 3 */ + 4u /* d = 31, 21, 11, 1 */);
}

TEST_F(ComposerTest, PanningWalksTheFullSizePictureAndZoomRunsInHoldsAndOut) {
  RecordingSink sink;
  MovieSettings s = Settings({32, 24}, 40, 40);  // pan step 2, 4 stills
  s.entries = {Entry("32x34:0", FrameMode::kPanUp)};
  ASSERT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  ASSERT_EQ(sink.frames.size(), 5u);  // offsets 0, 2, 4, 6, 8
  // Unscaled window: frame row 0 at offset 8 is picture row 8 (band 0, since 30-row bands).
  EXPECT_EQ(sink.frames[4].At(0, 0), kBands[0]);
  EXPECT_EQ(sink.frames[4].At(0, 23), kBands[1]);  // picture row 31
  EXPECT_EQ(sink.frames[0].At(0, 23), kBands[0]);  // picture row 23

  sink.frames.clear();
  s.entries = {Entry("64x48:0", FrameMode::kZoom)};
  ASSERT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  const int n = PlanZoom(64, 48, 32, 24, 0.5, 0.5).steps;
  ASSERT_EQ(n, 9);
  ASSERT_EQ(sink.frames.size(), size_t(4 * n + 6 + 4 * n));
  // Each zoom frame is written four times and the last zoom-in frame is held six more.
  for (int k = 0; k < 4 * n + 6; ++k) EXPECT_EQ(sink.frames[size_t(k)], sink.frames[size_t(k / 4 * 4)]) << k;
  for (int k = 4 * n; k < 4 * n + 6; ++k) EXPECT_EQ(sink.frames[size_t(k)], sink.frames[size_t(4 * n - 1)]);

  // A zoom point in the top-right corner of a large picture must not ask for an empty
  // or negative crop as the zoom deepens.
  sink.frames.clear();
  MovieEntry deep = Entry("160x120:0", FrameMode::kZoom);
  deep.zoomX = 1.0, deep.zoomY = 1.0;
  s.entries = {deep};
  ASSERT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  EXPECT_EQ(sink.frames.size(), size_t(8 * 24 + 6));
  // Deepest frames: a tenth of the frame from the top-right band, enlarged.
  EXPECT_EQ(sink.frames[4 * 23].At(16, 12), kBands[3]);  // rows 96..98 are band 3
}

TEST_F(ComposerTest, StepsOfZeroEndAndCancelOrAFailedFrameStops) {
  RecordingSink sink;
  MovieSettings s = Settings({32, 24}, 0, 0);
  s.entries = {Entry("32x24:0"), Entry("32x24:1", FrameMode::kStill, LinkKind::kUp),
               Entry("32x30:1", FrameMode::kPanDown, LinkKind::kNone)};
  ASSERT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kDone);
  EXPECT_EQ(sink.frames.size(), 24u + 6u);  // one row per frame; pan 6, 5, …, 1

  sink.frames.clear();
  sink.failAt = 7;
  EXPECT_EQ(ComposeFrames(s, sink, Callbacks()), ComposeResult::kWriterFailed);
  EXPECT_EQ(sink.frames.size(), 7u);

  RecordingSink more;
  int asked = 0;
  ComposerCallbacks cb = Callbacks();
  cb.cancelled = [&] { return ++asked > 10; };
  ComposeStats st;
  EXPECT_EQ(ComposeFrames(s, more, cb, &st), ComposeResult::kCancelled);
  EXPECT_EQ(more.frames.size(), 10u);
  EXPECT_EQ(st.framesWritten, 10);

  s.entries.clear();
  EXPECT_EQ(ComposeFrames(s, more, Callbacks()), ComposeResult::kNothingToDo);
}

// --- Through the writer: what the movie file holds --------------------------------

struct MakeMovieTest : ComposerTest {
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("velmira-compose-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
           std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

// Which band colour a decoded pixel is nearest to.
int BandOf(const DecodedFrame& f, int x, int yFromBottom) {
  const uint8_t* p = &f.bgra[(size_t(f.height - 1 - yFromBottom) * f.width + x) * 4];
  int best = -1, bestD = 1 << 30;
  for (int k = 0; k < 8; ++k) {
    const int d = std::abs(p[0] - RgbqB(kBands[k])) + std::abs(p[1] - RgbqG(kBands[k])) +
                  std::abs(p[2] - RgbqR(kBands[k]));
    if (d < bestD) best = k, bestD = d;
  }
  return bestD < 60 ? best : -1;
}

TEST_F(MakeMovieTest, UpLinkWithStep60WritesFourFramesWithRowsInPlace) {
  MovieSettings s = Settings({320, 240}, 0, 240);  // no stills; step 60
  s.entries = {Entry("320x240:0"), Entry("320x240:4", FrameMode::kStill, LinkKind::kUp)};
  s.output = "slide.avi";
  s.workingFolder = dir;
  ComposeStats st;
  ASSERT_EQ(MakeMovie(s, Callbacks(), &st), ComposeResult::kDone);
  EXPECT_EQ(messages, std::vector<std::string>{moviemsg::kDone});
  ASSERT_EQ(st.framesWritten, 4);

  const test::ProbedStream probe = test::Probe(dir / "slide.avi");
  EXPECT_EQ(probe.packetKey.size(), 4u);
  MovieDecoder d;
  ASSERT_TRUE(d.Open(dir / "slide.avi"));
  DecodedFrame f;
  // Rows below c: N's band of that row (N starts at colour 4); from c up: P's band of
  // row − c (P starts at colour 0). Samples sit 15 rows from any band or c edge.
  const int cs[] = {0, 60, 120, 180};
  for (int c : cs) {
    ASSERT_TRUE(d.Next(f)) << c;
    ASSERT_EQ(f.width, 320);
    for (int r = 15; r < 240; r += 30) {
      const int expected = r < c ? (r / 30 + 4) % 8 : ((r - c) / 30) % 8;
      EXPECT_EQ(BandOf(f, 160, r), expected) << "c " << c << " row " << r;
    }
  }
  EXPECT_FALSE(d.Next(f));
}

TEST_F(MakeMovieTest, UnlistedSizeGives640By480AndABadOutputStopsAtTheFirstFrame) {
  MovieSettings s = Settings(FrameSizeFromText("1024ⅹ768"), 20, 50);
  s.entries = {Entry("700x500:0"), Entry("640x480:1")};
  s.output = dir / "vga.avi";
  ASSERT_EQ(MakeMovie(s, Callbacks()), ComposeResult::kDone);
  const test::ProbedStream probe = test::Probe(dir / "vga.avi");
  EXPECT_EQ(probe.width, 640);
  EXPECT_EQ(probe.height, 480);
  EXPECT_EQ(probe.packetKey.size(), 4u);  // two stills each

  messages.clear();
  s.output = dir / "missing" / "x.avi";
  EXPECT_EQ(MakeMovie(s, Callbacks()), ComposeResult::kWriterFailed);
  EXPECT_EQ(messages, std::vector<std::string>{moviemsg::kFileBusy});
  EXPECT_EQ(pictures.loads, 3);  // the second picture was never reached

  // No usable picture: nothing written, an old movie of that name kept, no success.
  messages.clear();
  s.output = dir / "vga.avi";
  s.entries = {Entry("10x10:0")};
  EXPECT_EQ(MakeMovie(s, Callbacks()), ComposeResult::kNothingToDo);
  EXPECT_EQ(messages, std::vector<std::string>{moviemsg::kSkipped});
  EXPECT_EQ(test::Probe(dir / "vga.avi").packetKey.size(), 4u);
}

TEST_F(MakeMovieTest, PicturesComeFromEveryFormatTheEditorOpens) {
  CImageBuffer img;
  Banded(img, 64, 48, 30, 2);
  ASSERT_TRUE(SaveFile(img, dir / "a.bmp", kFormatBmp));
  ASSERT_TRUE(SaveFile(img, dir / "b.jpg", kFormatJpeg));
  CImageBuffer pal;  // GIF holds palette pictures
  ASSERT_TRUE(pal.Allocate(64, 48, 8, kFormatGif));
  for (int k = 0; k < 8; ++k) pal.SetPaletteEntry(k, RgbqR(kBands[k]), RgbqG(kBands[k]), RgbqB(kBands[k]));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) pal.WriteIndex(x, y, (y / 30 + 2) % 8);
  ASSERT_TRUE(SaveFile(pal, dir / "c.gif", kFormatGif));
  ASSERT_TRUE(SaveFile(img, dir / "d.tif", kFormatTiff));
  MovieSettings s = Settings({64, 48}, 10, 50);
  for (const char* n : {"a.bmp", "b.jpg", "c.gif", "d.tif"}) s.entries.push_back(Entry((dir / n).string()));
  s.output = dir / "formats.mp4";
  ComposerCallbacks cb = Callbacks();
  cb.load = nullptr;  // the real codecs
  ComposeStats st;
  ASSERT_EQ(MakeMovie(s, cb, &st), ComposeResult::kDone);
  EXPECT_EQ(st.picturesUsed, 4);
  EXPECT_EQ(test::Probe(dir / "formats.mp4").codec, "h264");
}

}  // namespace
}  // namespace velmira
