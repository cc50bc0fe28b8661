// CImageBuffer: an in-memory packed DIB (header, palette, bottom-up rows padded to
// 32 bits) plus the extended record the codecs and the document use.
//
// The header and palette are kept byte-compatible with a Windows packed DIB so that
// the picture can travel through the clipboard unchanged. The rows live in a block of
// their own that the document's bottom layer may share (a decoded picture becomes
// the layer without a copy); whichever side writes first takes a private copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/plane.h"

namespace velmira {

// The palette index of pixel x in a row of 1, 4 or 8 bits per pixel (high bits
// first), and its write.
inline int RowIndex(const uint8_t* row, int bpp, int x) {
  switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 8: return row[x];
    default: return 0;
  }
}
inline void PutRowIndex(uint8_t* row, int bpp, int x, int index) {
  switch (bpp) {
    case 1: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | ((index & 0x0F) << 4));
      break;
    }
    case 8: row[x] = uint8_t(index); break;
    default: break;
  }
}

// A colour as it lies in memory: blue, green, red, fourth byte (RGBQUAD order).
using Rgbq = uint32_t;
constexpr Rgbq MakeRgbq(int r, int g, int b, int x = 0) {
  return uint32_t(b & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(r & 0xFF) << 16) |
         (uint32_t(x & 0xFF) << 24);
}
constexpr int RgbqB(Rgbq c) { return int(c & 0xFF); }
constexpr int RgbqG(Rgbq c) { return int((c >> 8) & 0xFF); }
constexpr int RgbqR(Rgbq c) { return int((c >> 16) & 0xFF); }
constexpr int RgbqX(Rgbq c) { return int((c >> 24) & 0xFF); }
// COLORREF (red in the low byte) only exists at the UI boundary and in settings files.
constexpr Rgbq RgbqFromColorref(uint32_t cr) {
  return (cr & 0xFF00FF00u) | ((cr & 0xFF) << 16) | ((cr >> 16) & 0xFF);
}
constexpr uint32_t ColorrefFromRgbq(Rgbq c) { return RgbqFromColorref(c); }

// Codec numbers stored in the format-type byte.
enum ImageFormat : int {
  kFormatDetect = -1,
  kFormatJpeg = 0,
  kFormatBmp = 1,
  kFormatGif = 2,
  kFormatTiff = 3,
  kFormatPcx = 4,
  kFormatVlm = 5,
  kFormatSco = 6,
  kFormatPsd = 7,
};

// The one map from file-name extensions to the format numbers above: lower-cases the
// extension (with or without its dot); kFormatDetect (−1) when no codec claims it.
// Open and save use it through ExtensionCode, the dialogs and velmira-cli directly.
int FormatFromExtension(std::string_view extension);

struct BitmapInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 2835;
  int32_t yPelsPerMeter = 2835;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};
constexpr size_t kInfoHeaderSize = 40;

// The extended record. Codec-only fields live at the end; they are the codecs' own.
struct ExtendedInfo {
  int32_t stride = 0;
  bool borrowed = false;  // the DIB block belongs to another buffer
  uint8_t formatType = 0;
  uint8_t colourType = 0;  // 1: 8 bits or fewer, 2: 24 and 32 bits
  std::string lastError;   // English, at most 255 characters
  int32_t transparentIndex = -1;
  Rgbq transparentColour = 0;
  uint8_t jpegQuality = 150;  // above 100 means 100
  int32_t xDpi = 72;
  int32_t yDpi = 72;
  uint8_t alphaMax = 255;
  uint8_t alphaPaletteEnabled = 0;
  uint8_t drawingEnabled = 1;
  // Codec fields: the GIF frame or TIFF page to load and how many were found.
  uint16_t frameIndex = 0;
  int32_t frameCount = 0;
  // GIF extras of the loaded frame.
  uint16_t gifDelay = 0;  // hundredths of a second
  uint8_t gifDisposal = 0;
  uint16_t gifLoops = 0;
  int32_t gifOffsetX = 0, gifOffsetY = 0;
  std::string comment;  // at most 255 characters
  // TIFF compression to write (0: the codec's default).
  int32_t tiffCompression = 0;
};

class CImageBuffer {
 public:
  explicit CImageBuffer(int formatType = kFormatBmp);
  ~CImageBuffer();
  CImageBuffer(const CImageBuffer&) = delete;
  CImageBuffer& operator=(const CImageBuffer&) = delete;

  // Frees any block and builds a new white one. Bits are rounded up to 1, 4, 8, 24
  // or 32. Returns the block, or nullptr (zero size, overflow, out of memory).
  uint8_t* Allocate(int width, int height, int bitsPerPixel, int formatType);
  // The same, with `rows` (at least the image size) as the rows instead of white.
  uint8_t* AllocateSharing(int width, int height, int bitsPerPixel, int formatType,
                           std::shared_ptr<PlaneBlock> rows);
  void Free();
  bool CopyFrom(const CImageBuffer& src, bool copyWholeBlock = true);
  // A copy that shares the rows until either picture writes them.
  bool ShareFrom(const CImageBuffer& src);
  void TakeOver(CImageBuffer& src);

  bool IsValid() const { return dib_ != nullptr; }
  int Width() const { return head_.width; }
  int Height() const { return head_.height; }
  int Bpp() const { return head_.bitCount; }
  int Stride() const { return ext_.stride; }
  int ColoursUsed() const { return IsValid() ? int(head_.clrUsed) : 0; }
  size_t ImageSize() const { return size_t(head_.sizeImage); }
  size_t TotalSize() const;

  // Writable rows: a block shared with a layer is copied first.
  uint8_t* Pixels() {
    OwnPixels();
    return pixels_;
  }
  const uint8_t* Pixels() const { return pixels_; }
  uint8_t* Row(int y) {
    OwnPixels();
    return pixels_ + size_t(y) * size_t(ext_.stride);
  }
  const uint8_t* Row(int y) const { return pixels_ + size_t(y) * size_t(ext_.stride); }
  uint8_t* Palette() { return dib_ ? dib_ + kInfoHeaderSize : nullptr; }
  const uint8_t* Palette() const { return dib_ ? dib_ + kInfoHeaderSize : nullptr; }
  // The header and palette of the packed DIB (header bytes kept current); the rows
  // follow them in a DIB file or on the clipboard.
  const uint8_t* HeaderBlock() const { return dib_; }
  size_t HeaderBlockSize() const { return dib_ ? kInfoHeaderSize + 4 * size_t(head_.clrUsed) : 0; }
  // The block holding the rows, to share with a layer plane; and taking a layer's
  // block (ImageSize() bytes) as the rows.
  const std::shared_ptr<PlaneBlock>& PixelBlock() const { return pixStore_; }
  bool SharePixels(const std::shared_ptr<PlaneBlock>& block);

  const BitmapInfoHeader& Header() const { return head_; }
  ExtendedInfo& Ext() { return ext_; }
  const ExtendedInfo& Ext() const { return ext_; }
  const std::string& LastError() const { return ext_.lastError; }
  void SetLastError(std::string text);
  int FormatType() const { return ext_.formatType; }
  void SetFormatType(int t) { ext_.formatType = uint8_t(t); }

  // Resolution in dots per inch; keeps the pixels-per-metre fields in step.
  void SetResolution(int xDpi, int yDpi);
  // Sets the raw horizontal pixels-per-metre field (the clipboard marker −2/−3).
  void SetXPelsPerMeter(int32_t v);

  bool Contains(int x, int y) const {
    return dib_ && x >= 0 && y >= 0 && x < head_.width && y < head_.height;
  }
  int ReadIndex(int x, int y) const;
  void WriteIndex(int x, int y, int index);
  Rgbq ReadColor(int x, int y) const;
  void WriteColor(int x, int y, Rgbq colour, int size = 1);

  Rgbq PaletteEntry(int index) const;
  void SetPaletteEntry(int index, int red, int green, int blue, int fourth = 0);
  void LoadPalette(const uint8_t* entries, int count);
  void LoadPaletteChannels(int count, const uint8_t* red, const uint8_t* green = nullptr,
                           const uint8_t* blue = nullptr);
  void MakeGreyPalette();
  bool IsGreyPalette() const;
  int NearestIndex(Rgbq colour) const;
  void SwapRedBlue(uint8_t* buffer, size_t length) const;

  // Packed DIB bytes, the clipboard's format. Accepts top-down DIBs, larger info
  // headers and 16/32-bit bit-field DIBs; anything malformed is refused.
  bool FromGlobalMemory(const uint8_t* data, size_t length);
  std::vector<uint8_t> ToGlobalMemory() const;
  // From a block of 32-bit pixels (B, G, R, A), rows top-down with the given stride.
  bool FromBitmapHandle(const uint8_t* bgra, int width, int height, size_t stride);

  void FlipRows();
  void MirrorColumns();

  // Whole-image depth conversions into a new 24-bit block.
  bool Convert16To24(uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
  bool Convert32To24();

  // The composition cache (32-bit, bottom-up, cacheWidth × cacheHeight).
  std::vector<uint8_t>& CompositionCache() { return cache_; }
  const std::vector<uint8_t>& CompositionCache() const { return cache_; }
  int CacheWidth() const { return cacheW_; }
  int CacheHeight() const { return cacheH_; }
  void SetCacheSize(int w, int h) { cacheW_ = w; cacheH_ = h; }
  // Writes the cache as 24-bit rows of canvasWidth at the canvas stride into dst,
  // which is first filled white. Returns −1 (dst stays white) without a cache.
  int CacheTo24(uint8_t* dst, int canvasWidth, int canvasHeight) const;

  // Brush scratch grid: 50 × 50 cells marking visited pixels during one stroke.
  static constexpr int kGrid = 50;
  uint8_t scratch[kGrid * kGrid] = {};
  int32_t scratchX = 0, scratchY = 0;
  // Protect mask: while set, brush routines leave pixels whose byte is 1 alone.
  bool protectOn = false;
  std::vector<uint8_t> protectMask;

 private:
  void SyncHeaderBytes();
  void OwnPixels() {
    if (pixStore_ && pixStore_.use_count() > 1) UnsharePixels();
  }
  void UnsharePixels();

  BitmapInfoHeader head_;
  uint8_t* pixels_ = nullptr;
  ExtendedInfo ext_;
  std::vector<uint8_t> cache_;
  int cacheW_ = 0, cacheH_ = 0;
  uint8_t* dib_ = nullptr;
  std::unique_ptr<uint8_t[]> owned_;  // header and palette
  std::shared_ptr<PlaneBlock> pixStore_;
};

int RoundBitsPerPixel(int bpp);
inline int32_t StrideFor(int width, int bpp) {
  return int32_t(((int64_t(width) * bpp + 31) / 32) * 4);
}

}  // namespace velmira
