// The movie composer: turns a list of pictures into slide-show frames — slide
// transitions between pictures, panning, stills and a zoom in and out — and hands them
// to a frame sink (the movie writer, or a test's recorder).
//
// Frames are 32-bit pixels, rows bottom-up like the pictures they come from: row 0 is
// the bottom row. Everything here is toolkit-free; the dialog and velmira-cli drive it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "movie/avi_writer.h"
#include "image/ui_text.h"

namespace velmira {

// A block of 32-bit pixels (Rgbq), rows bottom-up with no padding.
struct Frame32 {
  int width = 0;
  int height = 0;
  std::vector<Rgbq> px;

  Frame32() = default;
  Frame32(int w, int h) : width(w), height(h), px(size_t(w) * size_t(h), 0) {}
  Rgbq* Row(int y) { return px.data() + size_t(y) * size_t(width); }
  const Rgbq* Row(int y) const { return px.data() + size_t(y) * size_t(width); }
  Rgbq At(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
  bool operator==(const Frame32&) const = default;
};

// How a picture itself is shown.
enum class FrameMode { kStill, kPanUp, kPanDown, kPanLeft, kPanRight, kZoom };
// How a picture is joined to the one before it.
enum class LinkKind { kNone, kUp, kDown, kLeft, kRight };

// The frame list's entry texts: the first character 'z' means the zoom sequence;
// otherwise the last character, one of ↑ ↓ ← →, names the panning direction, and
// anything else is a still.
FrameMode FrameModeOf(const std::string& entry);
// The link list's entry texts: ↑ ↓ ← → slide; every other arrow and "전환패닝없음"
// give no transition.
LinkKind LinkOf(const std::string& entry);

struct FrameSize {
  int width = 640;
  int height = 480;
  bool operator==(const FrameSize&) const = default;
};
// The frame-size combo's texts, in the order the combo lists them.
std::span<const char* const> FrameSizeTexts();
// One of those texts gives its size; any other text gives 640 × 480.
FrameSize FrameSizeFromText(const std::string& text);

struct MovieEntry {
  std::filesystem::path picture;
  FrameMode mode = FrameMode::kStill;
  LinkKind link = LinkKind::kNone;  // ignored for the first picture
  // The zoom point: fractions across the width and up the height (from the bottom).
  double zoomX = 0.5;
  double zoomY = 0.5;
};

struct MovieSettings {
  std::vector<MovieEntry> entries;
  FrameSize size;
  int frameSpeed = 50;       // the frame slider's position
  int transitionSpeed = 50;  // the transition slider's position
  // The output file; a relative name is taken inside the working folder.
  std::filesystem::path output;
  std::filesystem::path workingFolder;
};

namespace moviemsg {
inline constexpr const char* kSkipped = QT_TR_NOOP("영상크기가 출력 무비의 크기보다 작거나 혹은 다른 이유로 제외됨");
inline constexpr const char* kDone = QT_TR_NOOP("사진변환완료");
}  // namespace moviemsg

// --- The pieces of the conversion, each usable on its own ---------------------------

// Steps and counts from the slider positions; a step of 0 becomes 1 so that every
// transition and pan ends.
int TransitionStep(int transitionSpeed);
int PanStep(int frameSpeed);
int StillFrames(int frameSpeed);

// The positions one transition walks through (c for ↑ ↓, d or x for ← →); empty for
// kNone.
std::vector<int> TransitionPositions(LinkKind link, int width, int height, int step);
// One transition frame from the previous picture P to the new picture N (both the
// frame's size) at position `pos`.
void ComposeTransition(LinkKind link, const Frame32& previous, const Frame32& next, int pos, Frame32& out);

// The window offsets of a pan (rows from the bottom for up and down, columns from
// the left for left and right); empty when the picture is not larger that way.
std::vector<int> PanOffsets(FrameMode mode, int pictureW, int pictureH, int frameW, int frameH, int step);
// The W × H window of the picture at a pan offset; the other axis is centred.
void PanWindow(FrameMode mode, const Frame32& picture, int offset, Frame32& out);

// The zoom sequence's plan for one picture.
struct ZoomPlan {
  int steps = 0;  // n; no zoom frames when below 1
  int x0 = 0;     // crop origin, columns from the left
  int y0 = 0;     // crop origin, rows from the bottom
  double z0 = 1;  // start scale
};
ZoomPlan PlanZoom(int pictureW, int pictureH, int frameW, int frameH, double zoomX, double zoomY);
// The smallest scale a zoom-in frame uses: deep zooms on small pictures would
// otherwise ask for an empty or negative crop.
constexpr double kMinZoomScale = 0.1;

// Scales the part of `src` that starts at (x, y) (from the bottom-left) and is w × h
// pixels into `out` (whose size is kept): area averaging when reducing, bilinear when
// enlarging; samples outside the picture take its edge.
void ScaleRegion(const Frame32& src, double x, double y, double w, double h, Frame32& out);

// A decoded picture as 32-bit pixels over white (transparent palette entries become
// white); false when the image holds nothing.
bool PictureToFrame(const CImageBuffer& image, Frame32& out);

// --- The whole conversion -------------------------------------------------------------

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual HResult AddFrame(const Frame32& frame) = 0;
};

struct ComposerCallbacks {
  // Messages for the user (skipped pictures, the closing message).
  std::function<void(const std::string&)> message;
  // 0…100 as the conversion goes on.
  std::function<void(int)> progress;
  // Asked before every frame; true stops the conversion (the frames so far stay).
  std::function<bool()> cancelled;
  // Loads a picture; by default every format the editor opens, through the codecs.
  std::function<bool(const std::filesystem::path&, CImageBuffer&)> load;
};

enum class ComposeResult { kNothingToDo, kDone, kWriterFailed, kCancelled };

struct ComposeStats {
  int framesWritten = 0;
  int picturesUsed = 0;
  int picturesSkipped = 0;
};

// Runs the conversion into `sink`. The closing message is left to the caller.
ComposeResult ComposeFrames(const MovieSettings& settings, FrameSink& sink, const ComposerCallbacks& callbacks,
                            ComposeStats* stats = nullptr);

// The conversion into the movie file named by the settings: removes an old file of
// that name, writes the movie (AVI, or MP4 when the name ends in .mp4) and, when all
// went well, says "사진변환완료". Writer failures have said their own message.
ComposeResult MakeMovie(const MovieSettings& settings, const ComposerCallbacks& callbacks,
                        ComposeStats* stats = nullptr);

// The output path the settings name: a relative name is taken in the working folder.
std::filesystem::path ResolveOutput(const MovieSettings& settings);

}  // namespace velmira
