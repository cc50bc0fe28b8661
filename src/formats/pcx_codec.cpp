#include "formats/pcx_codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace velmira {

namespace {

// One run-length pair (count byte, value) yields at most 63 bytes, so a header
// whose data would need more than 32 bytes per byte left in the file is a lie.
constexpr int64_t kMaxExpansion = 32;
// Decoded data is held whole before the rows are laid out; a quarter gigabyte is
// far above any real PCX.
constexpr int64_t kMaxDecoded = int64_t(1) << 28;

bool Fail(CImageBuffer& image, const char* text) {
  image.SetLastError(text);
  return false;
}

// Buffered byte source over the stream for the run-length data.
class ByteSource {
 public:
  explicit ByteSource(CImageStream& s) : s_(s), buf_(new uint8_t[kSize]) {}
  int Byte() {
    if (pos_ == len_) {
      len_ = s_.Read(buf_.get(), 1, kSize);
      pos_ = 0;
      if (len_ == 0) return -1;
    }
    return buf_[pos_++];
  }
  size_t Read(uint8_t* dst, size_t n) {
    size_t done = 0;
    while (done < n) {
      const int b = Byte();
      if (b < 0) break;
      dst[done++] = uint8_t(b);
    }
    return done;
  }
  // Puts the stream back right after the last consumed byte.
  void Finish() {
    if (len_ > pos_) s_.Seek(-int64_t(len_ - pos_), CImageStream::kCur);
    len_ = pos_ = 0;
  }

 private:
  static constexpr size_t kSize = 16384;
  CImageStream& s_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0, len_ = 0;
};

}  // namespace

bool PcxDecode(CImageBuffer& image, CImageStream& stream) {
  uint8_t h[128];
  const int64_t start = stream.Tell();
  if (stream.Read(h, 1, 128) != 128) return Fail(image, "Can't read PCX image");
  if (h[0] != 10) return Fail(image, "Error: Not a PCX file");
  if (h[2] != 1) return Fail(image, "PCX file has unknown encoding scheme");
  const int bitsPerPixel = h[3];
  const int xmin = h[4] | (h[5] << 8), ymin = h[6] | (h[7] << 8);
  const int xmax = h[8] | (h[9] << 8), ymax = h[10] | (h[11] << 8);
  const int planes = h[65];
  const int bytesPerLine = h[66] | (h[67] << 8);
  const int width = xmax - xmin + 1, height = ymax - ymin + 1;
  if (width <= 0 || height <= 0) return Fail(image, "PCX image has no pixels");

  int depth = 0;
  if (bitsPerPixel == 1) {
    if (planes >= 5) return Fail(image, "Can't handle image with more than 4 planes");
    if (planes == 0) return Fail(image, "Can't handle bits per pixel image with planes.");
    // Two planes of one bit give four colours, which a 1-bit picture would lose.
    depth = planes == 3 ? 24 : planes == 1 ? 1 : 4;
  } else if (bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8) {
    if (planes == 1) depth = bitsPerPixel;
    else if (planes == 3) depth = 24;
    else return Fail(image, "Can't handle bits per pixel image with planes.");
    if (planes == 3 && bitsPerPixel != 8) return Fail(image, "Can't handle more than 1 bit per pixel");
  } else {
    return Fail(image, "Can't handle bits per pixel image with planes.");
  }
  // Each plane's line must hold the picture's width.
  if (int64_t(bytesPerLine) * 8 < int64_t(width) * bitsPerPixel)
    return Fail(image, "PCX line length too short for its width");

  const int64_t lineBytes = int64_t(bytesPerLine) * planes;
  const int64_t total = lineBytes * height;
  const int64_t size = stream.Size();
  const int64_t left = size < 0 ? -1 : size - (start < 0 ? 0 : start) - 128;
  if (total > kMaxDecoded || (left >= 0 && total > left * kMaxExpansion))
    return Fail(image, "corrupted PCX");

  std::vector<uint8_t> data;
  try {
    data.resize(size_t(total));
  } catch (const std::bad_alloc&) {
    return Fail(image, "can't allocate memory");
  }
  ByteSource src(stream);
  size_t n = 0;
  while (n < data.size()) {
    const int b = src.Byte();
    if (b < 0) {
      src.Finish();
      return Fail(image, "corrupted PCX");
    }
    if (b <= 0xBF) {
      data[n++] = uint8_t(b);
      continue;
    }
    const size_t count = size_t(b & 0x3F);
    const int v = src.Byte();
    if (v < 0) {
      src.Finish();
      return Fail(image, "corrupted PCX");
    }
    if (count > data.size() - n) {
      src.Finish();
      return Fail(image, "repeat count spans end of image");
    }
    std::memset(data.data() + n, v, count);
    n += count;
  }

  // Palette: the header's 16 colours, black and white for one plane of one bit, and
  // the 256 colours after the data for one plane of eight bits.
  uint8_t pal[768] = {};
  std::memcpy(pal, h + 16, 48);
  if (bitsPerPixel == 8 && planes == 1) {
    const int marker = src.Byte();
    if (marker != 12) {
      src.Finish();
      return Fail(image, "bad color map signature");
    }
    if (src.Read(pal, 768) != 768) {
      src.Finish();
      return Fail(image, "corrupted PCX");
    }
  } else if (bitsPerPixel == 1 && planes == 1) {
    std::memset(pal, 0, 6);
    pal[3] = pal[4] = pal[5] = 255;
  }
  src.Finish();

  CImageBuffer img(kFormatJpeg);
  if (!img.Allocate(width, height, depth, kFormatJpeg)) return Fail(image, "can't allocate memory");
  std::memset(img.Pixels(), 0, img.ImageSize());
  for (int i = 0; i < img.ColoursUsed(); ++i) img.SetPaletteEntry(i, pal[3 * i], pal[3 * i + 1], pal[3 * i + 2], 0);

  for (int y = 0; y < height; ++y) {
    const uint8_t* line = data.data() + size_t(y) * size_t(lineBytes);
    uint8_t* dst = img.Row(height - 1 - y);
    if (planes == 3 && bitsPerPixel == 8) {
      const uint8_t* r = line;
      const uint8_t* g = line + bytesPerLine;
      const uint8_t* b = line + 2 * bytesPerLine;
      for (int x = 0; x < width; ++x) {
        dst[3 * x] = b[x];
        dst[3 * x + 1] = g[x];
        dst[3 * x + 2] = r[x];
      }
    } else if (planes == 1) {
      switch (bitsPerPixel) {
        case 8: std::memcpy(dst, line, size_t(width)); break;
        case 4: std::memcpy(dst, line, size_t((width + 1) / 2)); break;
        case 2:
          for (int x = 0; x < width; ++x) img.WriteIndex(x, height - 1 - y, (line[x >> 2] >> (6 - 2 * (x & 3))) & 3);
          break;
        default: std::memcpy(dst, line, size_t((width + 7) / 8)); break;
      }
      // Bits beyond the width are the file's padding; clear them.
      if (bitsPerPixel != 8) {
        const int bits = (bitsPerPixel == 2 ? 4 : bitsPerPixel) * width;
        if (bits % 8) dst[bits / 8] &= uint8_t(0xFF << (8 - bits % 8));
      }
    } else {
      // Planes of one bit: bit i of the index from plane i.
      for (int x = 0; x < width; ++x) {
        int index = 0;
        for (int p = 0; p < planes; ++p)
          index |= ((line[p * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
        if (depth == 24) {
          // Three planes of one bit index the header's first eight colours.
          dst[3 * x] = pal[3 * index + 2];
          dst[3 * x + 1] = pal[3 * index + 1];
          dst[3 * x + 2] = pal[3 * index];
        } else {
          img.WriteIndex(x, height - 1 - y, index);
        }
      }
    }
  }
  img.SetFormatType(kFormatJpeg);
  img.Ext().frameIndex = image.Ext().frameIndex;
  image.TakeOver(img);
  return true;
}

}  // namespace velmira
