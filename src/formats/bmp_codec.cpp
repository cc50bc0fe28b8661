#include "formats/bmp_codec.h"

#include <algorithm>
#include <utility>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "formats/codec_limits.h"
#include "image/le_bytes.h"

namespace velmira {

namespace {

constexpr char kErrCompression[] = "compression type not supported";
constexpr char kErrUnknownCompression[] = "unknown compression";
constexpr char kErrAlloc[] = "can't allocate memory";
constexpr char kErrHeader[] = "invalid BMP header";
constexpr char kErrTruncated[] = "BMP file is truncated";
constexpr char kErrWrite[] = "Error writing BMP file";

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;

// Hostile headers carry any 32-bit value; beyond 100000 dpi nothing is meaningful
// and the conversion back to pixels per metre would overflow.
int DpiFromPels(int32_t ppm) {
  return std::clamp(int(std::floor(ppm * 0.025400000000000002 + 0.5)), 0, 100000);
}

bool ReadExact(CImageStream& s, void* buf, size_t n) { return s.Read(buf, 1, n) == n; }

// What the headers say, normalised across the core, info and V4/V5 variants.
struct BmpInfo {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // always positive here; topDown carries the sign
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = 0;
  int32_t xPels = 0, yPels = 0;
  uint32_t coloursUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool core = false;
};

// One channel of a bit-field pixel: the field's top eight bits, or the field shifted up
// when it is narrower than eight bits. For the usual 5-5-5 and 5-6-5 layouts this is
// exactly blue << (8 − b), green >> (b + g − 8), red >> (b + g + r − 8).
struct Field {
  uint32_t mask = 0;
  int shift = 0;  // right shift of the masked value
  int left = 0;   // left shift after it (narrow fields)
  void Set(uint32_t m) {
    mask = m;
    if (!m) return;
    const int low = std::countr_zero(m);
    const int width = 32 - low - std::countl_zero(m);
    if (width >= 8) {
      shift = low + width - 8;
      left = 0;
    } else {
      shift = low;
      left = 8 - width;
    }
  }
  uint8_t Get(uint32_t v) const { return uint8_t(((v & mask) >> shift) << left); }
};

// Buffered byte source for the run-length decoders, which consume a byte at a time.
class ByteSource {
 public:
  explicit ByteSource(CImageStream& s) : s_(s), buf_(65536) {}
  int Next() {
    if (pos_ == len_) {
      if (eof_) return -1;
      len_ = s_.Read(buf_.data(), 1, buf_.size());
      pos_ = 0;
      if (len_ < buf_.size()) eof_ = true;
      if (len_ == 0) return -1;
    }
    return buf_[pos_++];
  }

 private:
  CImageStream& s_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0, len_ = 0;
  bool eof_ = false;
};

bool ReadHeader(CImageStream& stream, BmpInfo& info) {
  uint8_t h[124] = {};
  if (!ReadExact(stream, h, 4)) return false;
  info.headerSize = GetU32(h);
  const uint32_t hs = info.headerSize;
  // Core (12), OS/2 2.x (16 to 64, often shortened), info (40), and the extended
  // Windows headers (52, 56, 108, 124).
  if (hs != 12 && (hs < 16 || hs > 124)) return false;
  if (!ReadExact(stream, h + 4, hs - 4)) return false;
  if (hs == 12) {
    info.core = true;
    info.width = int32_t(GetU16(h + 4));
    info.height = int32_t(GetU16(h + 6));
    info.bitCount = int(GetU16(h + 10));
    return true;
  }
  info.width = GetI32(h + 4);
  const int32_t rawHeight = GetI32(h + 8);
  if (rawHeight == INT32_MIN) return false;
  info.topDown = rawHeight < 0;
  info.height = info.topDown ? -rawHeight : rawHeight;
  info.bitCount = int(GetU16(h + 14));
  info.compression = GetU32(h + 16);
  info.xPels = GetI32(h + 24);
  info.yPels = GetI32(h + 28);
  info.coloursUsed = GetU32(h + 32);
  if (hs >= 52 && hs != 64) {
    info.masks[0] = GetU32(h + 40);
    info.masks[1] = GetU32(h + 44);
    info.masks[2] = GetU32(h + 48);
    if (hs >= 56) info.masks[3] = GetU32(h + 52);
  }
  return true;
}

// Run-length data (8-bit or 4-bit runs) written into an image of 1, 4 or 8 bits.
// Rows count from the bottom as stored; whatever leaves the picture is dropped.
void DecodeRle(ByteSource& src, CImageBuffer& img, bool rle4) {
  const int w = img.Width(), h = img.Height(), bpp = img.Bpp();
  auto put = [&](int x, int y, int v) {
    if (x < 0 || x >= w || y < 0 || y >= h) return;
    uint8_t* row = img.Row(y);
    switch (bpp) {
      case 8: row[x] = uint8_t(v); break;
      case 4: {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | (v & 0x0F)) : uint8_t((b & 0x0F) | ((v & 0x0F) << 4));
        break;
      }
      default: {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = (v & 1) ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
      }
    }
  };
  int x = 0, y = 0;
  // Positions past the right edge are dropped, so x never needs to grow beyond w.
  const auto advance = [&](int n) { x = std::min(x + n, w); };
  while (y < h) {
    const int count = src.Next();
    const int code = src.Next();
    if (count < 0 || code < 0) return;
    if (count > 0) {
      // A run: count pixels of one value (RLE4: the two nibbles alternate).
      if (x >= w) continue;
      const int n = std::min(count, w - x);
      if (rle4) {
        for (int i = 0; i < n; ++i) put(x + i, y, (i & 1) ? (code & 0x0F) : (code >> 4));
      } else if (bpp == 8) {
        std::memset(img.Row(y) + x, code, size_t(n));
      } else {
        for (int i = 0; i < n; ++i) put(x + i, y, code);
      }
      advance(count);
      continue;
    }
    switch (code) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // move right and up
        const int dx = src.Next(), dy = src.Next();
        if (dx < 0 || dy < 0) return;
        advance(dx);
        y += dy;
        break;
      }
      default: {  // literal pixels, padded to an even number of bytes
        const int n = code;
        const int bytes = rle4 ? (n + 1) / 2 : n;
        int b = 0;
        for (int i = 0; i < n; ++i) {
          if (rle4) {
            if ((i & 1) == 0) {
              b = src.Next();
              if (b < 0) return;
            }
            put(x + i, y, (i & 1) ? (b & 0x0F) : (b >> 4));
          } else {
            b = src.Next();
            if (b < 0) return;
            put(x + i, y, b);
          }
        }
        if (bytes & 1) src.Next();
        advance(n);
      }
    }
  }
}

}  // namespace

bool BmpDecode(CImageBuffer& image, CImageStream& stream) {
  const int64_t start = stream.Tell();
  uint8_t fh[14];
  bool hasFileHeader = false;
  uint32_t dataOffset = 0;
  if (ReadExact(stream, fh, sizeof fh) && fh[0] == 'B' && fh[1] == 'M') {
    hasFileHeader = true;
    dataOffset = GetU32(fh + 10);
  } else if (!stream.Seek(start, CImageStream::kSet)) {
    image.SetLastError(kErrHeader);
    return false;
  }

  BmpInfo info;
  if (!ReadHeader(stream, info)) {
    image.SetLastError(kErrHeader);
    return false;
  }
  const int bpp = info.bitCount;
  if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) ||
      !DimensionsAcceptable(info.width, info.height)) {
    image.SetLastError(kErrHeader);
    return false;
  }
  const uint32_t comp = info.compression;
  if (bpp <= 8 && comp != kBiRgb && comp != kBiRle8 && comp != kBiRle4) {
    image.SetLastError(kErrCompression);
    return false;
  }
  // 32-bit BI_RGB is what most programs (and this codec's encoder) write, so it is
  // read as well as the bit-field variants.
  if ((bpp == 24 && comp != kBiRgb) ||
      ((bpp == 16 || bpp == 32) && comp != kBiRgb && comp != kBiBitfields && comp != kBiAlphaBitfields)) {
    image.SetLastError(kErrUnknownCompression);
    return false;
  }
  const bool rle = bpp <= 8 && comp != kBiRgb;

  // Bit-field masks follow a 40-byte header; larger headers carry them inside.
  if (bpp == 16 || bpp == 32) {
    if (comp == kBiBitfields || comp == kBiAlphaBitfields) {
      if (info.headerSize < 52 || info.headerSize == 64) {
        uint8_t m[16];
        const size_t n = comp == kBiAlphaBitfields ? 16 : 12;
        if (!ReadExact(stream, m, n)) {
          image.SetLastError(kErrTruncated);
          return false;
        }
        for (size_t i = 0; i < n / 4; ++i) info.masks[i] = GetU32(m + 4 * i);
      }
      if (comp == kBiBitfields && info.headerSize < 56) info.masks[3] = 0;
    } else if (bpp == 16) {
      info.masks[0] = 0x7C00;
      info.masks[1] = 0x03E0;
      info.masks[2] = 0x001F;
      info.masks[3] = 0;
    } else {
      info.masks[0] = 0xFF0000;
      info.masks[1] = 0x00FF00;
      info.masks[2] = 0x0000FF;
      info.masks[3] = 0;
    }
  }

  // Palette entries stored in the file (3 bytes each after a core header).
  uint32_t stored = info.coloursUsed;
  if (stored == 0 && bpp <= 8) stored = 1u << bpp;
  if (info.core && bpp > 8) stored = 0;
  if (stored > 65536) {
    image.SetLastError(kErrHeader);
    return false;
  }
  const size_t entrySize = info.core ? 3 : 4;
  std::vector<uint8_t> palette;
  if (bpp <= 8) {
    // Some writers leave colours-used at 0 yet store fewer entries; the data offset
    // tells where the palette really ends.
    const int64_t here = stream.Tell();
    if (hasFileHeader && dataOffset != 0 && here >= start && int64_t(dataOffset) >= here - start) {
      const int64_t room = (int64_t(dataOffset) - (here - start)) / int64_t(entrySize);
      stored = uint32_t(std::min<int64_t>(stored, room));
    }
    palette.resize(size_t(stored) * entrySize);
    if (!ReadExact(stream, palette.data(), palette.size())) {
      image.SetLastError(kErrTruncated);
      return false;
    }
  } else if (stored > 0 && (!hasFileHeader || dataOffset == 0)) {
    // An optional colour table before true-colour pixels: without a data offset it
    // has to be skipped to reach them.
    if (!stream.Seek(int64_t(stored) * int64_t(entrySize), CImageStream::kCur)) {
      image.SetLastError(kErrTruncated);
      return false;
    }
  }

  if (hasFileHeader && dataOffset != 0) {
    const int64_t size = stream.Size();
    if ((size >= 0 && int64_t(dataOffset) > size - start) ||
        !stream.Seek(start + int64_t(dataOffset), CImageStream::kSet)) {
      image.SetLastError(kErrTruncated);
      return false;
    }
  }

  const int w = info.width, h = info.height;
  const int64_t fileStride = (int64_t(w) * bpp + 31) / 32 * 4;
  const int64_t rowBytes = (int64_t(w) * bpp + 7) / 8;
  const int64_t remaining = BytesRemaining(stream);
  if (remaining >= 0) {
    if (rle) {
      // Runs expand at most 255 pixels per two bytes and a move skips 255 rows or
      // columns per four, so a long image needs a proportionate amount of data.
      const int64_t pixels = int64_t(w) * h;
      if (remaining < 2 || pixels > std::max<int64_t>(int64_t(1) << 22, remaining * 1024)) {
        image.SetLastError(kErrTruncated);
        return false;
      }
    } else if (remaining < fileStride * (h - 1) + rowBytes) {
      // The last row's padding is often missing; anything more is a cut-off file.
      image.SetLastError(kErrTruncated);
      return false;
    }
  }

  CImageBuffer out(kFormatJpeg);
  const int ownBpp = bpp == 16 ? 24 : bpp;
  if (!out.Allocate(w, h, ownBpp, 0)) {
    image.SetLastError(kErrAlloc);
    return false;
  }
  out.SetResolution(DpiFromPels(info.xPels), DpiFromPels(info.yPels));
  if (bpp <= 8) {
    const uint32_t n = std::min<uint32_t>(stored, uint32_t(out.ColoursUsed()));
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* e = palette.data() + i * entrySize;
      out.SetPaletteEntry(int(i), e[2], e[1], e[0], 0);
    }
  }

  const auto destRow = [&](int fileRow) { return out.Row(info.topDown ? h - 1 - fileRow : fileRow); };
  if (rle) {
    ByteSource src(stream);
    DecodeRle(src, out, comp == kBiRle4);
    if (info.topDown) out.FlipRows();
  } else if (bpp == 16 || (bpp == 32 && !(info.masks[0] == 0xFF0000 && info.masks[1] == 0xFF00 &&
                                           info.masks[2] == 0xFF))) {
    Field f[4];
    for (int c = 0; c < 4; ++c) f[c].Set(info.masks[c]);
    std::vector<uint8_t> row(size_t(fileStride), 0);
    for (int y = 0; y < h; ++y) {
      const size_t want = y == h - 1 ? size_t(rowBytes) : size_t(fileStride);
      if (!ReadExact(stream, row.data(), want)) {
        image.SetLastError(kErrTruncated);
        return false;
      }
      uint8_t* d = destRow(y);
      if (bpp == 16) {
        for (int x = 0; x < w; ++x, d += 3) {
          const uint32_t v = GetU16(row.data() + 2 * size_t(x));
          d[0] = f[2].Get(v);
          d[1] = f[1].Get(v);
          d[2] = f[0].Get(v);
        }
      } else {
        for (int x = 0; x < w; ++x, d += 4) {
          const uint32_t v = GetU32(row.data() + 4 * size_t(x));
          d[0] = f[2].Get(v);
          d[1] = f[1].Get(v);
          d[2] = f[0].Get(v);
          d[3] = f[3].mask ? f[3].Get(v) : 0;
        }
      }
    }
  } else if (!info.topDown) {
    // Bottom-up rows with the same padding as the image: one read, straight into place.
    const size_t want = size_t(fileStride) * size_t(h - 1) + size_t(rowBytes);
    if (!ReadExact(stream, out.Pixels(), want)) {
      image.SetLastError(kErrTruncated);
      return false;
    }
  } else {
    for (int y = 0; y < h; ++y) {
      const size_t want = y == h - 1 ? size_t(rowBytes) : size_t(fileStride);
      if (!ReadExact(stream, destRow(y), want)) {
        image.SetLastError(kErrTruncated);
        return false;
      }
    }
  }
  image.TakeOver(out);
  return true;
}

bool BmpEncode(CImageBuffer& image, CImageStream& stream) {
  if (!image.IsValid()) {
    image.SetLastError("No image to save");
    return false;
  }
  const size_t block = image.TotalSize();
  const size_t paletteBytes = 4 * size_t(image.ColoursUsed());
  uint8_t fh[14] = {'B', 'M'};
  PutU32(fh + 2, uint32_t(block + 14));
  PutU32(fh + 10, uint32_t(14 + kInfoHeaderSize + paletteBytes));
  if (stream.Write(fh, 1, sizeof fh) != sizeof fh || stream.Write(image.HeaderBlock(), 1, image.HeaderBlockSize()) != image.HeaderBlockSize() ||
      stream.Write(std::as_const(image).Pixels(), 1, image.ImageSize()) != image.ImageSize()) {
    image.SetLastError(kErrWrite);
    return false;
  }
  return true;
}

}  // namespace velmira
