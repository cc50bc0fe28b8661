#include "online/scan_replay.h"

#include <algorithm>

#include "image/le_bytes.h"

namespace velmira::online {

namespace {
constexpr size_t kFrameHeader = 1 + 1 + 1 + 2 + 4 + 4 + 4;
}

void RecordFrame(std::vector<uint8_t>& out, const FrameParams& p, const std::vector<uint8_t>& data) {
  uint8_t h[kFrameHeader];
  h[0] = uint8_t(p.format);
  h[1] = p.lastFrame ? 1 : 0;
  h[2] = uint8_t(p.depth);
  PutU16(h + 3, uint16_t(p.pixelsPerLine));
  PutI32(h + 5, p.lines);
  PutI32(h + 9, p.bytesPerLine);
  PutU32(h + 13, uint32_t(data.size()));
  out.insert(out.end(), h, h + kFrameHeader);
  out.insert(out.end(), data.begin(), data.end());
}

std::unique_ptr<CImageBuffer> ReplayPage(const uint8_t* data, size_t size, std::string* why) {
  PageAssembler page;
  size_t at = 0;
  while (!page.Complete()) {
    if (size - at < kFrameHeader) {
      if (why) *why = "the recording ends before the page is complete";
      return nullptr;
    }
    const uint8_t* h = data + at;
    FrameParams p;
    p.format = h[0];
    p.lastFrame = h[1] != 0;
    p.depth = h[2];
    p.pixelsPerLine = GetU16(h + 3);
    p.lines = GetI32(h + 5);
    p.bytesPerLine = GetI32(h + 9);
    const size_t length = GetU32(h + 13);
    at += kFrameHeader;
    if (!page.BeginFrame(p, why)) return nullptr;
    const size_t available = std::min(length, size - at);
    // Fed in pieces of varying size, as a device's reads arrive.
    size_t done = 0;
    for (size_t piece = 1; done < available; piece = piece * 3 + 1) {
      const size_t n = std::min(piece, available - done);
      page.Append(data + at + done, n);
      done += n;
    }
    at += available;
    page.EndFrame();
  }
  std::unique_ptr<CImageBuffer> image = page.TakeImage();
  if (!image && why) *why = "the page has no pixels";
  return image;
}

}  // namespace velmira::online
