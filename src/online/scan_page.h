// Turns the byte stream a scanner or camera delivers for one page into a picture.
// The device describes each frame (grey, colour, or one colour plane of a three-pass
// scan) before its bytes arrive; nothing it says is trusted beyond the limits below,
// so a confused driver gives a clear failure instead of a crash or a huge allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/image_buffer.h"

namespace velmira::online {

// The frame kinds, numbered as SANE numbers them.
enum class FrameKind : int { Gray = 0, Rgb = 1, Red = 2, Green = 3, Blue = 4 };

struct FrameParams {
  int format = 0;  // a FrameKind value
  bool lastFrame = true;
  int bytesPerLine = 0;
  int pixelsPerLine = 0;
  int lines = -1;  // −1: not known before the end (hand scanners)
  int depth = 8;   // bits per sample: 1, 8 or 16
};

class PageAssembler {
 public:
  // Starts the next frame of the page; false (with `why`) when the parameters cannot
  // describe a picture. A page's frames must agree in width.
  bool BeginFrame(const FrameParams& p, std::string* why = nullptr);
  // Bytes of the current frame in the order the device sends them. Bytes past the
  // announced number of lines are ignored.
  void Append(const uint8_t* data, size_t length);
  // The current frame ended (end of file from the device).
  void EndFrame();
  // True after the frame marked last has ended.
  bool Complete() const { return complete_; }
  // Rows received so far across the page (for progress), and the announced total
  // (−1 when unknown).
  int LinesReceived() const;
  int LinesExpected() const { return params_.lines; }

  // The picture: 24 bits for colour, 8-bit grey otherwise, at the page's whole
  // received lines. Nothing when the page has no width or no complete line (such a
  // page makes no document).
  std::unique_ptr<CImageBuffer> TakeImage();

  void Reset();

 private:
  struct Plane {
    std::vector<uint8_t> bytes;
    FrameParams params;
    bool present = false;
  };
  Plane* Target();

  FrameParams params_;
  bool inFrame_ = false;
  bool complete_ = false;
  bool colour_ = false;  // an RGB frame or a three-pass page
  Plane planes_[4];      // grey/RGB, red, green, blue
};

// The largest page accepted from a device, per side (a 600 dpi A0 scan fits).
constexpr int kMaxScanDimension = 30000;

}  // namespace velmira::online
