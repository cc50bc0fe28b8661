// Limits every decoder applies before it trusts a header: a corrupt or hostile file
// must fail quickly instead of making the program allocate gigabytes.
#pragma once

#include <cstdint>

#include "formats/image_stream.h"

namespace velmira {

// Larger than any camera or scanner page the program is used for (a 600 dpi A0 scan
// is about 20000 × 28000), small enough that width × height × 4 stays far from
// overflowing 64-bit arithmetic anywhere.
constexpr int kMaxImageDimension = 30000;

inline bool DimensionsAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension;
}

// Bytes left in the stream after the current position, or −1 when the stream does
// not know its length (then only the dimension limit protects us).
inline int64_t BytesRemaining(const CImageStream& stream) {
  const int64_t size = stream.Size();
  const int64_t pos = stream.Tell();
  if (size < 0 || pos < 0) return -1;
  return size > pos ? size - pos : 0;
}

}  // namespace velmira
