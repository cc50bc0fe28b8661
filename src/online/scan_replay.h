// A recorded device page: the frame descriptions and bytes a scanner sent, stored
// one frame after another so that a page can be replayed through the page assembler
// without the device (the fuzzer and the tests do).
//
// Each frame: format (u8), last frame (u8), depth (u8), pixels per line (u16),
// lines (i32), bytes per line (i32), data length (u32), then the data; all
// little-endian. A recording may end anywhere: a cut frame keeps what it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "online/scan_page.h"

namespace velmira::online {

// Appends one frame to a recording.
void RecordFrame(std::vector<uint8_t>& out, const FrameParams& p, const std::vector<uint8_t>& data);

// The picture a recording makes (nothing when it makes none, `why` then says why).
std::unique_ptr<CImageBuffer> ReplayPage(const uint8_t* data, size_t size, std::string* why = nullptr);

}  // namespace velmira::online
