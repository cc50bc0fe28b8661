#include "formats/psd_import.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace velmira {

namespace {

// Photoshop's own limit for the classic format; it also keeps every size below in range.
constexpr uint32_t kMaxSide = 30000;
// PackBits turns two bytes into at most 128.
constexpr int64_t kMaxExpansion = 64;

// Big-endian reads through a buffer, with absolute positions.
class PsdReader {
 public:
  explicit PsdReader(CImageStream& s) : s_(s), buf_(new uint8_t[kSize]) {
    bufPos_ = std::max<int64_t>(0, s_.Tell());
  }
  bool Read(uint8_t* dst, size_t n) {
    size_t done = 0;
    while (done < n) {
      if (pos_ == len_ && !Refill()) return false;
      const size_t k = std::min(n - done, len_ - pos_);
      std::memcpy(dst + done, buf_.get() + pos_, k);
      pos_ += k;
      done += k;
    }
    return true;
  }
  int Byte() {
    if (pos_ == len_ && !Refill()) return -1;
    return buf_[pos_++];
  }
  bool U16(uint32_t& v) {
    uint8_t b[2];
    if (!Read(b, 2)) return false;
    v = uint32_t(b[0]) << 8 | b[1];
    return true;
  }
  bool U32(uint32_t& v) {
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    v = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    return true;
  }
  int64_t Tell() const { return bufPos_ + int64_t(pos_); }
  // Bytes left in the stream, or a very large number when its size is unknown.
  int64_t Remaining() const {
    const int64_t size = s_.Size();
    return size < 0 ? (int64_t(1) << 50) : std::max<int64_t>(0, size - Tell());
  }
  bool SeekTo(int64_t p) {
    if (p >= bufPos_ && p <= bufPos_ + int64_t(len_)) {
      pos_ = size_t(p - bufPos_);
      return true;
    }
    if (!s_.Seek(p, CImageStream::kSet)) return false;
    bufPos_ = p;
    pos_ = len_ = 0;
    return true;
  }
  // Skips n bytes that must exist.
  bool Skip(int64_t n) { return n <= Remaining() && SeekTo(Tell() + n); }
  void Finish() { s_.Seek(Tell(), CImageStream::kSet); }

 private:
  static constexpr size_t kSize = 65536;
  bool Refill() {
    bufPos_ += int64_t(len_);
    pos_ = 0;
    len_ = s_.Read(buf_.get(), 1, kSize);
    return len_ > 0;
  }
  CImageStream& s_;
  std::unique_ptr<uint8_t[]> buf_;
  int64_t bufPos_ = 0;
  size_t pos_ = 0, len_ = 0;
};

bool ParseHeader(PsdReader& r, PsdHeader& h) {
  uint8_t b[26];
  if (!r.Read(b, 26)) return false;
  if (std::memcmp(b, "8BPS", 4) != 0) return false;
  if (b[4] != 0 || b[5] != 1) return false;
  for (int i = 6; i < 12; ++i)
    if (b[i] != 0) return false;
  h.channels = b[12] << 8 | b[13];
  h.height = uint32_t(b[14]) << 24 | uint32_t(b[15]) << 16 | uint32_t(b[16]) << 8 | b[17];
  h.width = uint32_t(b[18]) << 24 | uint32_t(b[19]) << 16 | uint32_t(b[20]) << 8 | b[21];
  h.depth = b[22] << 8 | b[23];
  h.mode = b[24] << 8 | b[25];
  return true;
}

// Decodes PackBits from the reader until `out` is full. False when the data ends first.
bool UnpackBits(PsdReader& r, uint8_t* out, size_t size) {
  size_t n = 0;
  while (n < size) {
    const int c = r.Byte();
    if (c < 0) return false;
    const int control = int8_t(uint8_t(c));
    if (control >= 0) {
      const size_t count = size_t(control) + 1;
      const size_t keep = std::min(count, size - n);
      if (!r.Read(out + n, keep)) return false;
      n += keep;
      // A literal run that would overflow the channel is cut, its tail passed over.
      for (size_t i = keep; i < count; ++i)
        if (r.Byte() < 0) return false;
    } else if (control != -128) {
      const int v = r.Byte();
      if (v < 0) return false;
      const size_t count = std::min(size_t(1 - control), size - n);
      std::memset(out + n, v, count);
      n += count;
    }
  }
  return true;
}

// sRGB encoding of a linear value, rounded to a byte.
uint8_t EncodeSrgb(double c) {
  c = std::clamp(c, 0.0, 1.0);
  c = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
  return uint8_t(std::lround(c * 255.0));
}

// CIE L*a*b* relative to D50 (Photoshop's Lab) to sRGB, through XYZ and Bradford
// adaptation to D65.
void LabToRgb(double L, double a, double b, uint8_t rgb[3]) {
  constexpr double kEps = 6.0 / 29.0;
  auto finv = [](double t) { return t > kEps ? t * t * t : 3.0 * kEps * kEps * (t - 4.0 / 29.0); };
  const double fy = (L + 16.0) / 116.0;
  const double X = 0.96422 * finv(fy + a / 500.0);
  const double Y = 1.00000 * finv(fy);
  const double Z = 0.82521 * finv(fy - b / 200.0);
  rgb[0] = EncodeSrgb(3.1338561 * X - 1.6168667 * Y - 0.4906146 * Z);
  rgb[1] = EncodeSrgb(-0.9787684 * X + 1.9161415 * Y + 0.0334540 * Z);
  rgb[2] = EncodeSrgb(0.0719453 * X - 0.2289914 * Y + 1.4052427 * Z);
}

PsdResult Fail(CImageBuffer& image, PsdReader& r, PsdResult code, const char* text) {
  r.Finish();
  image.SetLastError(text);
  return code;
}

}  // namespace

bool PsdReadHeader(CImageStream& stream, PsdHeader& header) {
  PsdReader r(stream);
  const bool ok = ParseHeader(r, header);
  r.Finish();
  return ok;
}

PsdResult PsdImport(CImageStream& stream, CImageBuffer& image) {
  PsdReader r(stream);
  PsdHeader h;
  if (!ParseHeader(r, h)) return Fail(image, r, PsdResult::BadHeader, "Not a PSD file");
  if (h.width == 0 || h.height == 0 || h.width > kMaxSide || h.height > kMaxSide || h.channels == 0)
    return Fail(image, r, PsdResult::BadHeader, "PSD picture size out of range");

  // Colour mode data: the indexed colour table, or nothing we use.
  uint32_t len = 0;
  if (!r.U32(len) || int64_t(len) > r.Remaining())
    return Fail(image, r, PsdResult::BadColourModeData, "PSD colour mode data is missing");
  uint8_t table[768] = {};
  bool haveTable = false;
  if (h.mode == kPsdIndexed && len >= 768) {
    if (!r.Read(table, 768)) return Fail(image, r, PsdResult::BadColourModeData, "PSD colour mode data is missing");
    haveTable = true;
    len -= 768;
  }
  if (!r.Skip(len)) return Fail(image, r, PsdResult::BadColourModeData, "PSD colour mode data is missing");

  // Image resources: only the resolution changes the picture.
  if (!r.U32(len) || int64_t(len) > r.Remaining())
    return Fail(image, r, PsdResult::BadResources, "PSD image resources are missing");
  const int64_t resourcesEnd = r.Tell() + len;
  int xDpi = 0, yDpi = 0;
  while (resourcesEnd - r.Tell() >= 12) {
    uint8_t sig[4];
    uint32_t id = 0, size = 0;
    if (!r.Read(sig, 4) || std::memcmp(sig, "8BIM", 4) != 0 || !r.U16(id)) break;
    const int nameLen = r.Byte();
    // The name and its length byte together take an even number of bytes.
    if (nameLen < 0 || !r.Skip(nameLen + ((nameLen & 1) ? 0 : 1))) break;
    if (!r.U32(size) || r.Tell() + int64_t(size) > resourcesEnd) break;
    const int64_t dataEnd = r.Tell() + int64_t(size) + (size & 1);
    if (id == 1005 && size >= 16) {
      uint32_t hRes = 0, unit = 0, vRes = 0;
      if (r.U32(hRes) && r.U16(unit) && r.U16(unit) && r.U32(vRes)) {
        xDpi = int((hRes + 0x8000u) >> 16);
        yDpi = int((vRes + 0x8000u) >> 16);
      }
    }
    if (dataEnd > resourcesEnd || !r.SeekTo(dataEnd)) break;
  }
  if (!r.SeekTo(resourcesEnd)) return Fail(image, r, PsdResult::BadResources, "PSD image resources are missing");

  if (!r.U32(len) || !r.Skip(len))
    return Fail(image, r, PsdResult::BadLayerSection, "PSD layer and mask section is missing");

  uint32_t compression = 0;
  if (!r.U16(compression)) return Fail(image, r, PsdResult::BadImageData, "PSD composite image is missing");
  if (h.depth != 1 && h.depth != 8 && h.depth != 16)
    return Fail(image, r, PsdResult::UnsupportedDepth, "PSD bit depth not supported");
  if (compression == 2) return Fail(image, r, PsdResult::ZipCompression, "ZIP-compressed PSD not supported");
  if (compression == 3)
    return Fail(image, r, PsdResult::ZipPredictionCompression, "ZIP-compressed PSD not supported");
  if (compression > 1) return Fail(image, r, PsdResult::UnknownCompression, "PSD compression unknown");

  // Channels the conversion needs, and whether mode, depth and channel count agree.
  int need = 0;
  switch (h.mode) {
    case kPsdBitmap: need = h.depth == 1 ? 1 : 0; break;
    case kPsdGreyscale:
    case kPsdDuotone: need = h.depth != 1 ? 1 : 0; break;
    case kPsdIndexed: need = h.depth == 8 && haveTable ? 1 : 0; break;
    case kPsdRgb:
    case kPsdLab: need = h.depth != 1 && h.channels >= 3 ? 3 : 0; break;
    case kPsdCmyk: need = h.depth != 1 && h.channels >= 4 ? 4 : 0; break;
    case kPsdMultichannel: need = h.depth == 1 ? 0 : h.channels >= 3 ? std::min(h.channels, 4) : 1; break;
    default: break;
  }
  if (need == 0) return Fail(image, r, PsdResult::UnsupportedMode, "PSD colour mode not supported");

  const int64_t w = h.width, ht = h.height;
  const int64_t rowBytes = h.depth == 1 ? (w + 7) / 8 : w * (h.depth / 8);
  const int64_t plane = rowBytes * ht;
  const int64_t needBytes = plane * need;
  if (compression == 0) {
    if (needBytes > r.Remaining()) return Fail(image, r, PsdResult::BadImageData, "PSD composite image is truncated");
  } else {
    if (!r.Skip(int64_t(h.channels) * ht * 2))
      return Fail(image, r, PsdResult::BadImageData, "PSD composite image is truncated");
    if (needBytes > r.Remaining() * kMaxExpansion)
      return Fail(image, r, PsdResult::BadImageData, "PSD composite image is truncated");
  }

  std::vector<uint8_t> planes;
  CImageBuffer img(kFormatPsd);
  try {
    planes.resize(size_t(needBytes));
  } catch (const std::bad_alloc&) {
    return Fail(image, r, PsdResult::NoMemory, "can't allocate memory");
  }
  if (!img.Allocate(int(w), int(ht), 32, kFormatPsd))
    return Fail(image, r, PsdResult::NoMemory, "can't allocate memory");
  for (int c = 0; c < need; ++c) {
    uint8_t* dst = planes.data() + size_t(c) * size_t(plane);
    const bool ok = compression == 0 ? r.Read(dst, size_t(plane)) : UnpackBits(r, dst, size_t(plane));
    if (!ok) return Fail(image, r, PsdResult::BadImageData, "PSD composite image is truncated");
  }
  r.Finish();

  const int bytes = h.depth == 16 ? 2 : 1;
  const uint8_t* ch[4] = {};
  for (int c = 0; c < need; ++c) ch[c] = planes.data() + size_t(c) * size_t(plane);
  // Full value of a sample, and its high byte.
  auto full = [&](int c, size_t i) -> uint32_t {
    const uint8_t* p = ch[c] + i * size_t(bytes);
    return bytes == 2 ? (uint32_t(p[0]) << 8 | p[1]) : p[0];
  };
  auto high = [&](int c, size_t i) -> uint8_t { return ch[c][i * size_t(bytes)]; };
  const double maxValue = h.depth == 16 ? 65535.0 : 255.0;
  const double M = double(1u << h.depth);

  for (int64_t y = 0; y < ht; ++y) {
    uint8_t* d = img.Row(int(ht - 1 - y));
    const size_t row = size_t(y) * size_t(w);
    for (int64_t x = 0; x < w; ++x) {
      const size_t i = row + size_t(x);
      uint8_t R = 0, G = 0, B = 0;
      switch (h.mode) {
        case kPsdBitmap: {
          const uint8_t bit = uint8_t(ch[0][size_t(y) * size_t(rowBytes) + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
          R = G = B = bit ? 0 : 255;
          break;
        }
        case kPsdGreyscale:
        case kPsdDuotone: R = G = B = high(0, i); break;
        case kPsdIndexed: {
          const uint8_t k = ch[0][i];
          R = table[k];
          G = table[256 + k];
          B = table[512 + k];
          break;
        }
        case kPsdRgb:
          R = high(0, i);
          G = high(1, i);
          B = high(2, i);
          break;
        case kPsdLab: {
          const double L = full(0, i) / (M * 0.01);
          const double a = full(1, i) * 256.0 / M - 128.0;
          const double b = full(2, i) * 256.0 / M - 128.0;
          uint8_t rgb[3];
          LabToRgb(L, a, b, rgb);
          R = rgb[0];
          G = rgb[1];
          B = rgb[2];
          break;
        }
        case kPsdCmyk:
        case kPsdMultichannel:
          if (need == 1) {
            R = G = B = high(0, i);
            break;
          }
          {
            // Stored inverted: the full value means no ink.
            const double k = need == 4 ? full(3, i) / maxValue : 1.0;
            R = uint8_t(std::lround(255.0 * (full(0, i) / maxValue) * k));
            G = uint8_t(std::lround(255.0 * (full(1, i) / maxValue) * k));
            B = uint8_t(std::lround(255.0 * (full(2, i) / maxValue) * k));
          }
          break;
      }
      uint8_t* p = d + 4 * size_t(x);
      p[0] = B;
      p[1] = G;
      p[2] = R;
      p[3] = 255;
    }
  }
  if (xDpi > 0 && yDpi > 0) img.SetResolution(xDpi, yDpi);
  img.SetFormatType(kFormatPsd);
  image.TakeOver(img);
  return PsdResult::Ok;
}

PsdResult PsdImportFile(const std::filesystem::path& path, CImageBuffer& image) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    image.SetLastError("Unable to open PSD file");
    return PsdResult::CannotOpen;
  }
  CImageFileStream s(f);
  const PsdResult result = PsdImport(s, image);
  std::fclose(f);
  return result;
}

}  // namespace velmira
