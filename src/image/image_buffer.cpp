#include "image/image_buffer.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "image/le_bytes.h"

namespace velmira {

int FormatFromExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string e(extension);
  for (char& c : e)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  static const struct {
    const char* ext;
    int format;
  } kMap[] = {{"jpg", kFormatJpeg}, {"jpeg", kFormatJpeg}, {"bmp", kFormatBmp}, {"gif", kFormatGif},
              {"tif", kFormatTiff}, {"tiff", kFormatTiff}, {"pcx", kFormatPcx}, {"vlm", kFormatVlm},
              {"sco", kFormatSco},  {"psd", kFormatPsd}};
  for (const auto& m : kMap)
    if (e == m.ext) return m.format;
  return kFormatDetect;
}

namespace {

int PaletteCountFor(int bpp) {
  switch (bpp) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

// Clamped so that an absurd resolution from a damaged file cannot overflow the field.
int32_t PelsPerMeter(int dpi) {
  const double v = std::floor(dpi * 39.37007874015748 + 0.5);
  return int32_t(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
}
int32_t DpiFromPels(int32_t ppm) { return int32_t(std::floor(ppm * 0.025400000000000002 + 0.5)); }

// Largest block we agree to hold; also keeps every size field inside int32.
constexpr int64_t kMaxBlock = std::numeric_limits<int32_t>::max();

}  // namespace

int RoundBitsPerPixel(int bpp) {
  if (bpp <= 1) return 1;
  if (bpp <= 4) return 4;
  if (bpp <= 8) return 8;
  if (bpp <= 24) return 24;
  return 32;
}

CImageBuffer::CImageBuffer(int formatType) { ext_.formatType = uint8_t(formatType); }

CImageBuffer::~CImageBuffer() { Free(); }

void CImageBuffer::Free() {
  protectMask.clear();
  protectMask.shrink_to_fit();
  owned_.reset();
  pixStore_.reset();
  dib_ = nullptr;
  pixels_ = nullptr;
  ext_.borrowed = false;
  cache_.clear();
  cache_.shrink_to_fit();
  cacheW_ = cacheH_ = 0;
}

void CImageBuffer::SetLastError(std::string text) {
  if (text.size() > 255) text.resize(255);
  ext_.lastError = std::move(text);
}

uint8_t* CImageBuffer::Allocate(int width, int height, int bitsPerPixel, int formatType) {
  return AllocateSharing(width, height, bitsPerPixel, formatType, nullptr);
}

uint8_t* CImageBuffer::AllocateSharing(int width, int height, int bitsPerPixel, int formatType,
                                       std::shared_ptr<PlaneBlock> shared) {
  owned_.reset();
  pixStore_.reset();
  dib_ = nullptr;
  pixels_ = nullptr;
  protectOn = false;
  if (width <= 0 || height <= 0) return nullptr;
  const int bpp = RoundBitsPerPixel(bitsPerPixel);
  const int64_t stride = (int64_t(width) * bpp + 31) / 32 * 4;
  const int colours = PaletteCountFor(bpp);
  const int64_t imageSize = stride * height;
  const int64_t total = int64_t(kInfoHeaderSize) + 4 * colours + imageSize;
  if (stride > kMaxBlock || imageSize > kMaxBlock || total > kMaxBlock) {
    SetLastError("Image too large");
    return nullptr;
  }
  const size_t paletteBytes = size_t(4 * colours);
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kInfoHeaderSize + paletteBytes]);
  if (shared && shared->size() < size_t(imageSize)) return nullptr;
  const bool white = !shared;
  std::shared_ptr<PlaneBlock> rows = !block ? nullptr : shared ? std::move(shared) : PlaneBlock::Make(size_t(imageSize));
  if (!block || !rows) {
    SetLastError("Out of memory");
    return nullptr;
  }
  owned_ = std::move(block);
  pixStore_ = std::move(rows);
  dib_ = owned_.get();
  std::memset(dib_, 0, kInfoHeaderSize + paletteBytes);
  pixels_ = pixStore_->data();
  if (white) std::memset(pixels_, 255, size_t(imageSize));

  head_ = BitmapInfoHeader{};
  head_.width = width;
  head_.height = height;
  head_.bitCount = uint16_t(bpp);
  head_.sizeImage = uint32_t(imageSize);
  head_.clrUsed = uint32_t(colours);
  head_.xPelsPerMeter = PelsPerMeter(ext_.xDpi);
  head_.yPelsPerMeter = PelsPerMeter(ext_.yDpi);
  ext_.stride = int32_t(stride);
  ext_.borrowed = false;
  ext_.formatType = uint8_t(formatType);
  ext_.colourType = bpp <= 8 ? 1 : 2;
  SyncHeaderBytes();
  return dib_;
}

void CImageBuffer::SyncHeaderBytes() {
  if (!dib_) return;
  uint8_t* p = dib_;
  PutU32(p + 0, head_.size);
  PutI32(p + 4, head_.width);
  PutI32(p + 8, head_.height);
  PutU16(p + 12, head_.planes);
  PutU16(p + 14, head_.bitCount);
  PutU32(p + 16, head_.compression);
  PutU32(p + 20, head_.sizeImage);
  PutI32(p + 24, head_.xPelsPerMeter);
  PutI32(p + 28, head_.yPelsPerMeter);
  PutU32(p + 32, head_.clrUsed);
  PutU32(p + 36, head_.clrImportant);
}

void CImageBuffer::SetResolution(int xDpi, int yDpi) {
  ext_.xDpi = xDpi;
  ext_.yDpi = yDpi;
  head_.xPelsPerMeter = PelsPerMeter(xDpi);
  head_.yPelsPerMeter = PelsPerMeter(yDpi);
  SyncHeaderBytes();
}

void CImageBuffer::SetXPelsPerMeter(int32_t v) {
  head_.xPelsPerMeter = v;
  SyncHeaderBytes();
}

void CImageBuffer::UnsharePixels() {
  std::shared_ptr<PlaneBlock> mine = PlaneBlock::Make(pixStore_->size());
  // Out of memory: keep writing into the shared block rather than crash; the layer
  // sharing it is the same picture.
  if (!mine) return;
  std::memcpy(mine->data(), pixStore_->data(), pixStore_->size());
  pixStore_ = std::move(mine);
  pixels_ = pixStore_->data();
}

bool CImageBuffer::SharePixels(const std::shared_ptr<PlaneBlock>& block) {
  if (!dib_ || !block || block->size() < ImageSize()) return false;
  pixStore_ = block;
  pixels_ = pixStore_->data();
  return true;
}

size_t CImageBuffer::TotalSize() const {
  if (!dib_) return 0;
  return kInfoHeaderSize + 4 * size_t(head_.clrUsed) + size_t(head_.sizeImage);
}

bool CImageBuffer::CopyFrom(const CImageBuffer& src, bool copyWholeBlock) {
  if (&src == this) return true;
  if (!src.IsValid()) {
    Free();
    ext_ = src.ext_;
    ext_.borrowed = false;
    return false;
  }
  ExtendedInfo ext = src.ext_;
  ext.borrowed = false;
  ext_ = ext;
  if (!Allocate(src.Width(), src.Height(), src.Bpp(), src.FormatType())) return false;
  ext_ = ext;
  head_ = src.head_;
  if (copyWholeBlock) {
    std::memcpy(dib_, src.dib_, src.HeaderBlockSize());
    std::memcpy(pixels_, src.pixels_, src.ImageSize());
  } else {
    const int n = std::min(256, ColoursUsed());
    if (n > 0) std::memcpy(Palette(), src.Palette(), size_t(4 * n));
    std::memcpy(pixels_, src.pixels_, ImageSize());
  }
  SyncHeaderBytes();
  return true;
}

bool CImageBuffer::ShareFrom(const CImageBuffer& src) {
  if (&src == this) return true;
  if (!src.IsValid()) return CopyFrom(src);
  ExtendedInfo ext = src.ext_;
  ext.borrowed = false;
  ext_ = ext;
  if (!AllocateSharing(src.Width(), src.Height(), src.Bpp(), src.FormatType(), src.pixStore_)) return false;
  ext_ = ext;
  head_ = src.head_;
  std::memcpy(dib_, src.dib_, src.HeaderBlockSize());
  SyncHeaderBytes();
  return true;
}

void CImageBuffer::TakeOver(CImageBuffer& src) {
  if (&src == this) return;
  head_ = src.head_;
  ext_ = src.ext_;
  ext_.borrowed = false;
  // The source is emptied anyway, so its blocks change hands without a copy.
  owned_ = std::move(src.owned_);
  pixStore_ = std::move(src.pixStore_);
  dib_ = owned_.get();
  pixels_ = dib_ && pixStore_ ? pixStore_->data() : nullptr;
  if (!pixels_) {
    owned_.reset();
    pixStore_.reset();
    dib_ = nullptr;
  }
  src.Free();
}

int CImageBuffer::ReadIndex(int x, int y) const {
  if (!dib_) return 0;
  if (!Contains(x, y)) return ext_.transparentIndex != -1 ? ext_.transparentIndex : 0;
  return RowIndex(Row(y), head_.bitCount, x);
}

void CImageBuffer::WriteIndex(int x, int y, int index) {
  if (!Contains(x, y) || head_.bitCount > 8) return;
  PutRowIndex(Row(y), head_.bitCount, x, index);
}

Rgbq CImageBuffer::ReadColor(int x, int y) const {
  if (!dib_) return 0;
  if (!Contains(x, y)) {
    if (ext_.transparentIndex != -1 && head_.bitCount < 24) return PaletteEntry(ext_.transparentIndex);
    return ext_.transparentColour;
  }
  if (head_.bitCount <= 8) return PaletteEntry(ReadIndex(x, y));
  const uint8_t* p = Row(y) + size_t(x) * (head_.bitCount / 8);
  if (head_.bitCount == 32) return GetU32(p);
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

void CImageBuffer::WriteColor(int x, int y, Rgbq colour, int size) {
  if (!dib_ || size <= 0) return;
  if (!Contains(x, y) || !Contains(x + size - 1, y + size - 1)) return;
  if (head_.bitCount <= 8) {
    const int index = NearestIndex(colour);
    for (int j = 0; j < size; ++j)
      for (int i = 0; i < size; ++i) WriteIndex(x + i, y + j, index);
    return;
  }
  uint8_t* p = Row(y) + size_t(x) * (head_.bitCount / 8);
  p[0] = uint8_t(RgbqB(colour));
  p[1] = uint8_t(RgbqG(colour));
  p[2] = uint8_t(RgbqR(colour));
}

Rgbq CImageBuffer::PaletteEntry(int index) const {
  if (!dib_ || index < 0 || index >= ColoursUsed()) return 0;
  return GetU32(Palette() + 4 * index);
}

void CImageBuffer::SetPaletteEntry(int index, int red, int green, int blue, int fourth) {
  if (!dib_ || index < 0 || index >= ColoursUsed()) return;
  uint8_t* p = Palette() + 4 * index;
  p[0] = uint8_t(blue);
  p[1] = uint8_t(green);
  p[2] = uint8_t(red);
  p[3] = uint8_t(fourth);
}

void CImageBuffer::LoadPalette(const uint8_t* entries, int count) {
  if (!dib_ || !entries || count <= 0) return;
  std::memcpy(Palette(), entries, std::min(size_t(4) * size_t(count), size_t(4) * ColoursUsed()));
}

void CImageBuffer::LoadPaletteChannels(int count, const uint8_t* red, const uint8_t* green,
                                       const uint8_t* blue) {
  if (!dib_ || !red) return;
  if (!green) green = red;
  if (!blue) blue = green;
  const int n = std::min(count, ColoursUsed());
  for (int i = 0; i < n; ++i) SetPaletteEntry(i, red[i], green[i], blue[i], 0);
}

void CImageBuffer::MakeGreyPalette() {
  const int n = ColoursUsed();
  if (n < 2) return;
  const int step = 255 / (n - 1);
  for (int i = 0; i < n; ++i) SetPaletteEntry(i, i * step, i * step, i * step, 0);
}

bool CImageBuffer::IsGreyPalette() const {
  const int n = ColoursUsed();
  if (n == 0) return false;
  for (int i = 0; i < n; ++i) {
    const Rgbq c = PaletteEntry(i);
    if (RgbqB(c) != i || RgbqG(c) != i || RgbqR(c) != i) return false;
  }
  return true;
}

int CImageBuffer::NearestIndex(Rgbq colour) const {
  const int n = ColoursUsed();
  if (n == 0) return 0;
  const uint8_t* pal = Palette();
  const int b = RgbqB(colour), g = RgbqG(colour), r = RgbqR(colour);
  int best = 200000, found = 0;
  for (int i = 0; i < n; ++i) {
    const int db = pal[4 * i] - b, dg = pal[4 * i + 1] - g, dr = pal[4 * i + 2] - r;
    const int d = db * db + dg * dg + dr * dr;
    if (d == 0) return i;
    if (d < best) {
      best = d;
      found = i;
    }
  }
  return found;
}

void CImageBuffer::SwapRedBlue(uint8_t* buffer, size_t length) const {
  if (!buffer || head_.bitCount <= 8) return;
  for (size_t i = 0; i + 2 < length; i += 3) std::swap(buffer[i], buffer[i + 2]);
}

bool CImageBuffer::FromGlobalMemory(const uint8_t* data, size_t length) {
  if (!data || length < kInfoHeaderSize) {
    SetLastError("Invalid DIB");
    return false;
  }
  const uint32_t headerSize = GetU32(data);
  if (headerSize < kInfoHeaderSize || headerSize > length) {
    SetLastError("Invalid DIB header");
    return false;
  }
  const int32_t width = GetI32(data + 4);
  const int32_t rawHeight = GetI32(data + 8);
  const int bpp = GetU16(data + 14);
  const uint32_t compression = GetU32(data + 16);
  const int32_t xppm = GetI32(data + 24);
  const int32_t yppm = GetI32(data + 28);
  uint32_t clrUsed = GetU32(data + 32);
  if (width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<int32_t>::min()) {
    SetLastError("Invalid DIB size");
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) ||
      !(compression == 0 || (compression == 3 && (bpp == 16 || bpp == 32)))) {
    SetLastError("Unsupported DIB format");
    return false;
  }
  size_t offset = headerSize;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bpp == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }
  if (compression == 3) {
    // Masks follow a 40-byte header; larger headers carry them inside.
    if (length < 40 + 12) {
      SetLastError("Invalid DIB masks");
      return false;
    }
    for (int i = 0; i < 3; ++i) masks[i] = GetU32(data + 40 + 4 * i);
    if (headerSize == 40) offset += 12;
  }
  int colours = 0;
  if (bpp <= 8) {
    const uint32_t maxColours = 1u << bpp;
    colours = int(clrUsed == 0 || clrUsed > maxColours ? maxColours : clrUsed);
  } else if (clrUsed > 0 && clrUsed <= 256) {
    offset += 4 * size_t(clrUsed);  // an optional palette before true-colour pixels
  }
  const int64_t srcStride = (int64_t(width) * bpp + 31) / 32 * 4;
  const int64_t need = int64_t(offset) + 4 * int64_t(colours) + srcStride * height;
  if (srcStride * height > kMaxBlock || need > int64_t(length)) {
    SetLastError("Truncated DIB");
    return false;
  }
  const uint8_t* palette = data + offset;
  const uint8_t* bits = palette + 4 * colours;

  const int ownBpp = bpp == 16 ? 24 : bpp;
  const int keepFormat = ext_.formatType;
  if (!Allocate(width, height, ownBpp, keepFormat)) return false;
  if (colours > 0) std::memcpy(Palette(), palette, size_t(4) * std::min(colours, ColoursUsed()));

  const bool plain32 = bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
  auto srcRow = [&](int y) { return bits + size_t(topDown ? height - 1 - y : y) * size_t(srcStride); };
  if (bpp == 16 || (bpp == 32 && !plain32)) {
    // Bit-field pixels: shift each masked field into eight bits.
    int shift[3], width8[3];
    for (int c = 0; c < 3; ++c) {
      shift[c] = masks[c] ? std::countr_zero(masks[c]) : 0;
      width8[c] = std::popcount(masks[c]);
    }
    auto field = [&](uint32_t v, int c) -> int {
      if (!masks[c]) return 0;
      uint32_t f = (v & masks[c]) >> shift[c];
      return width8[c] >= 8 ? int(f >> (width8[c] - 8)) : int(f << (8 - width8[c]));
    };
    for (int y = 0; y < height; ++y) {
      const uint8_t* s = srcRow(y);
      uint8_t* d = Row(y);
      const int step = bpp / 8;
      for (int x = 0; x < width; ++x) {
        const uint32_t v = bpp == 16 ? GetU16(s + 2 * size_t(x)) : GetU32(s + 4 * size_t(x));
        uint8_t* q = d + size_t(x) * (ownBpp / 8);
        q[0] = uint8_t(field(v, 2));
        q[1] = uint8_t(field(v, 1));
        q[2] = uint8_t(field(v, 0));
        if (ownBpp == 32) q[3] = s[size_t(x) * step + 3];
      }
    }
  } else {
    for (int y = 0; y < height; ++y) std::memcpy(Row(y), srcRow(y), size_t(ext_.stride));
  }
  ext_.xDpi = DpiFromPels(xppm);
  ext_.yDpi = DpiFromPels(yppm);
  head_.xPelsPerMeter = xppm;
  head_.yPelsPerMeter = yppm;
  SyncHeaderBytes();
  return true;
}

std::vector<uint8_t> CImageBuffer::ToGlobalMemory() const {
  if (!dib_) return {};
  std::vector<uint8_t> out(dib_, dib_ + HeaderBlockSize());
  out.insert(out.end(), pixels_, pixels_ + ImageSize());
  return out;
}

bool CImageBuffer::FromBitmapHandle(const uint8_t* bgra, int width, int height, size_t stride) {
  if (!bgra || width <= 0 || height <= 0 || stride < size_t(width) * 4) {
    Free();
    SetLastError("GetDIBits failed");
    return false;
  }
  if (!Allocate(width, height, 32, ext_.formatType)) {
    SetLastError("GetDIBits failed");
    return false;
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(Row(height - 1 - y), bgra + size_t(y) * stride, size_t(width) * 4);
  return true;
}

void CImageBuffer::FlipRows() {
  if (!dib_) return;
  std::vector<uint8_t> tmp(size_t(ext_.stride));
  for (int a = 0, b = head_.height - 1; a < b; ++a, --b) {
    std::memcpy(tmp.data(), Row(a), tmp.size());
    std::memcpy(Row(a), Row(b), tmp.size());
    std::memcpy(Row(b), tmp.data(), tmp.size());
  }
}

void CImageBuffer::MirrorColumns() {
  if (!dib_) return;
  const int w = head_.width;
  const int bpp = head_.bitCount;
  if (bpp >= 8) {
    const int step = bpp / 8;
    for (int y = 0; y < head_.height; ++y) {
      uint8_t* row = Row(y);
      for (int a = 0, b = w - 1; a < b; ++a, --b)
        std::swap_ranges(row + size_t(a) * step, row + size_t(a + 1) * step, row + size_t(b) * step);
    }
    return;
  }
  for (int y = 0; y < head_.height; ++y) {
    for (int a = 0, b = w - 1; a < b; ++a, --b) {
      const int ia = ReadIndex(a, y), ib = ReadIndex(b, y);
      WriteIndex(a, y, ib);
      WriteIndex(b, y, ia);
    }
  }
}

bool CImageBuffer::Convert16To24(uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
  if (!dib_ || head_.bitCount != 16) return false;
  const uint32_t masks[3] = {redMask, greenMask, blueMask};
  int shift[3], bits[3];
  for (int c = 0; c < 3; ++c) {
    shift[c] = masks[c] ? std::countr_zero(masks[c]) : 0;
    bits[c] = std::popcount(masks[c]);
  }
  CImageBuffer out(ext_.formatType);
  if (!out.Allocate(head_.width, head_.height, 24, ext_.formatType)) return false;
  for (int y = head_.height - 1; y >= 0; --y) {
    const uint8_t* s = Row(y);
    uint8_t* d = out.Row(y);
    for (int x = 0; x < head_.width; ++x) {
      const uint32_t v = GetU16(s + 2 * size_t(x));
      for (int c = 0; c < 3; ++c) {
        const uint32_t f = (v & masks[c]) >> shift[c];
        d[3 * size_t(x) + 2 - c] = uint8_t(bits[c] >= 8 ? f >> (bits[c] - 8) : f << (8 - bits[c]));
      }
    }
  }
  ExtendedInfo ext = ext_;
  TakeOver(out);
  ext.stride = ext_.stride;
  ext.colourType = 2;
  ext_ = ext;
  return true;
}

bool CImageBuffer::Convert32To24() {
  if (!dib_ || head_.bitCount != 32) return false;
  CImageBuffer out(ext_.formatType);
  if (!out.Allocate(head_.width, head_.height, 24, ext_.formatType)) return false;
  for (int y = head_.height - 1; y >= 0; --y) {
    const uint8_t* s = Row(y);
    uint8_t* d = out.Row(y);
    for (int x = 0; x < head_.width; ++x) {
      d[3 * x] = s[4 * x];
      d[3 * x + 1] = s[4 * x + 1];
      d[3 * x + 2] = s[4 * x + 2];
    }
  }
  ExtendedInfo ext = ext_;
  TakeOver(out);
  ext.stride = ext_.stride;
  ext.colourType = 2;
  ext_ = ext;
  return true;
}

int CImageBuffer::CacheTo24(uint8_t* dst, int canvasWidth, int canvasHeight) const {
  if (!dst || canvasWidth <= 0 || canvasHeight <= 0) return -1;
  const size_t dstStride = size_t(StrideFor(canvasWidth, 24));
  std::memset(dst, 255, dstStride * size_t(canvasHeight));
  if (cache_.empty() || cacheW_ <= 0 || cacheH_ <= 0) return -1;
  const int rows = std::min(canvasHeight, cacheH_);
  const int cols = std::min(canvasWidth, cacheW_);
  for (int y = 0; y < rows; ++y) {
    const uint8_t* s = cache_.data() + size_t(y) * 4 * size_t(cacheW_);
    uint8_t* d = dst + size_t(y) * dstStride;
    for (int x = 0; x < cols; ++x) {
      d[3 * x] = s[4 * x];
      d[3 * x + 1] = s[4 * x + 1];
      d[3 * x + 2] = s[4 * x + 2];
    }
  }
  return 0;
}

}  // namespace velmira
