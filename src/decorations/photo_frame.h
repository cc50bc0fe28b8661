// Photo frames: a shaded frame around the canvas edge, kept in a layer of its own
// named "[ImgFrame]" so that every redraw replaces the frame instead of stacking.
#pragma once

#include "image/doc.h"

namespace velmira {

extern const char* const kFrameLayerName;  // "[ImgFrame]"
extern const char* const kLabelFrame;      // "사진틀 넣기"

namespace cmd {
constexpr int kPhotoFrame = 3392;
}

constexpr int kFrameMinThickness = 5;
constexpr int kFrameStartThickness = 30;

struct FrameParams {
  int style = 0;  // 0 shaded ring, 1 bevel, 2 two-colour bevel, 3 lit sides
  int thickness = kFrameStartThickness;
  Rgbq first = 0;
  Rgbq second = 0;
};

int ClampFrameThickness(int thickness);

// The brightness factor of a frame pixel: ring i (0 outermost), side 0…3 (first row,
// last row, first column, last column), position n along the side counted from its
// first pixel, on a W × H canvas. Style 2 answers for its first colour only when
// `inBand` is false; `inBand` tells whether ring i lies in its second-colour band.
double FrameFactor(const FrameParams& p, int W, int H, int ring, int side, int n, bool* inBand = nullptr);
// Components of `colour` times the factor, truncated and capped at 255.
Rgbq ScaleColour(Rgbq colour, double factor);

// Clears the layer of `slot` and draws the frame in it, in canvas terms.
void DrawFrame(LayerStack& st, int slot, const FrameParams& p);

// The frame command as a mode: Begin saves the active layer in both backups, each
// Apply restores it from the second backup and redraws the frame layer (found by
// name, added when missing), End records one step when anything was drawn.
class PhotoFrameSession {
 public:
  explicit PhotoFrameSession(CMirvDoc& doc) : doc_(doc) {}
  bool Begin();
  bool Apply(const FrameParams& p);
  void End();
  bool Active() const { return active_; }
  int FrameSlot() const { return frameSlot_; }

 private:
  CMirvDoc& doc_;
  bool active_ = false;
  bool drawn_ = false;
  bool added_ = false;
  int startSlot_ = -1;
  int frameSlot_ = -1;
};

// One frame drawn and recorded (velmira-cli).
bool ApplyPhotoFrame(CMirvDoc& doc, const FrameParams& p);

}  // namespace velmira
