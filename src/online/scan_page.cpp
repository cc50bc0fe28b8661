#include "online/scan_page.h"

#include <algorithm>

namespace velmira::online {

namespace {

int Channels(int format) { return format == int(FrameKind::Rgb) ? 3 : 1; }

// Bytes one line needs at least.
int64_t LineBytesNeeded(const FrameParams& p) {
  return (int64_t(p.pixelsPerLine) * Channels(p.format) * p.depth + 7) / 8;
}

// The sample `i` of a line as 8 bits: 16-bit samples come in the host's byte order;
// one-bit grey marks black with 1, one-bit colour marks full intensity.
uint8_t Sample(const uint8_t* line, int depth, int64_t i, bool oneIsBlack) {
  switch (depth) {
    case 1: {
      const bool bit = (line[i >> 3] >> (7 - (i & 7))) & 1;
      return (bit != oneIsBlack) ? 255 : 0;
    }
    case 16: {
      uint16_t v;
      std::copy(line + 2 * i, line + 2 * i + 2, reinterpret_cast<uint8_t*>(&v));
      return uint8_t(v >> 8);
    }
    default: return line[i];
  }
}

}  // namespace

void PageAssembler::Reset() { *this = PageAssembler(); }

PageAssembler::Plane* PageAssembler::Target() {
  switch (FrameKind(params_.format)) {
    case FrameKind::Red: return &planes_[1];
    case FrameKind::Green: return &planes_[2];
    case FrameKind::Blue: return &planes_[3];
    default: return &planes_[0];
  }
}

bool PageAssembler::BeginFrame(const FrameParams& p, std::string* why) {
  auto fail = [&](const char* text) {
    if (why) *why = text;
    return false;
  };
  if (complete_) return fail("the page is already complete");
  if (p.format < 0 || p.format > int(FrameKind::Blue)) return fail("unknown frame format");
  if (p.depth != 1 && p.depth != 8 && p.depth != 16) return fail("unsupported bit depth");
  if (p.pixelsPerLine < 0 || p.pixelsPerLine > kMaxScanDimension) return fail("line width out of range");
  if (p.lines < -1 || p.lines > kMaxScanDimension) return fail("line count out of range");
  if (p.bytesPerLine < 0 || p.bytesPerLine < LineBytesNeeded(p)) return fail("line too short for its pixels");
  // Padding beyond what the pixels need is accepted, within reason.
  if (p.bytesPerLine > LineBytesNeeded(p) + 65536) return fail("line padding out of range");
  const bool plane = p.format >= int(FrameKind::Red);
  bool anyPresent = false;
  for (const Plane& pl : planes_) anyPresent |= pl.present;
  if (anyPresent) {
    // Only three-pass pages have several frames; their planes share the width.
    if (!plane || !colour_) return fail("a second frame that is not a colour plane");
    if (p.pixelsPerLine != params_.pixelsPerLine) return fail("colour planes of different widths");
  }
  if (plane && planes_[p.format - int(FrameKind::Red) + 1].present) return fail("the same colour plane twice");
  params_ = p;
  colour_ = plane || p.format == int(FrameKind::Rgb);
  Plane* t = Target();
  t->bytes.clear();
  t->params = p;
  t->present = true;
  inFrame_ = true;
  return true;
}

void PageAssembler::Append(const uint8_t* data, size_t length) {
  if (!inFrame_ || length == 0) return;
  Plane* t = Target();
  // Never more than the announced lines (or the largest page when the device does
  // not know its length): a device that keeps sending cannot exhaust memory.
  const size_t lines = size_t(params_.lines >= 0 ? params_.lines : kMaxScanDimension);
  const size_t cap = lines * size_t(params_.bytesPerLine);
  const size_t room = t->bytes.size() >= cap ? 0 : std::min(length, cap - t->bytes.size());
  t->bytes.insert(t->bytes.end(), data, data + room);
}

void PageAssembler::EndFrame() {
  if (!inFrame_) return;
  inFrame_ = false;
  if (params_.lastFrame) complete_ = true;
}

int PageAssembler::LinesReceived() const {
  int lines = 0;
  for (const Plane& p : planes_)
    if (p.present && p.params.bytesPerLine > 0) lines += int(p.bytes.size() / size_t(p.params.bytesPerLine));
  return lines;
}

std::unique_ptr<CImageBuffer> PageAssembler::TakeImage() {
  const int width = params_.pixelsPerLine;
  int height = kMaxScanDimension;
  bool any = false;
  for (const Plane& p : planes_) {
    if (!p.present) continue;
    any = true;
    const int lines = p.params.bytesPerLine > 0 ? int(p.bytes.size() / size_t(p.params.bytesPerLine)) : 0;
    height = std::min(height, lines);
  }
  // A three-pass page needs all three planes.
  if (colour_ && params_.format != int(FrameKind::Rgb) &&
      !(planes_[1].present && planes_[2].present && planes_[3].present))
    any = false;
  if (!any || width < 1 || height < 1) {
    Reset();
    return nullptr;
  }
  auto image = std::make_unique<CImageBuffer>(kFormatBmp);
  if (!image->Allocate(width, height, colour_ ? 24 : 8, kFormatBmp)) {
    Reset();
    return nullptr;
  }
  if (!colour_) image->MakeGreyPalette();
  for (int y = 0; y < height; ++y) {
    // Devices send the top line first; the picture's rows are bottom-up.
    uint8_t* out = image->Row(height - 1 - y);
    if (!colour_) {
      const Plane& g = planes_[0];
      const uint8_t* line = g.bytes.data() + size_t(y) * size_t(g.params.bytesPerLine);
      for (int x = 0; x < width; ++x) out[x] = Sample(line, g.params.depth, x, true);
    } else if (planes_[0].present) {
      const Plane& c = planes_[0];
      const uint8_t* line = c.bytes.data() + size_t(y) * size_t(c.params.bytesPerLine);
      for (int x = 0; x < width; ++x) {
        out[3 * x + 2] = Sample(line, c.params.depth, 3 * int64_t(x), false);
        out[3 * x + 1] = Sample(line, c.params.depth, 3 * int64_t(x) + 1, false);
        out[3 * x] = Sample(line, c.params.depth, 3 * int64_t(x) + 2, false);
      }
    } else {
      for (int ch = 0; ch < 3; ++ch) {
        const Plane& p = planes_[1 + ch];
        const uint8_t* line = p.bytes.data() + size_t(y) * size_t(p.params.bytesPerLine);
        const int offset = 2 - ch;  // red, green, blue into B, G, R order
        for (int x = 0; x < width; ++x) out[3 * x + offset] = Sample(line, p.params.depth, x, false);
      }
    }
  }
  Reset();
  return image;
}

}  // namespace velmira::online
