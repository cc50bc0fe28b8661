#include "formats/gif_codec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace velmira {

namespace {

// A frame is refused when its pixel count could not possibly come from the bytes
// left in the stream: one 12-bit code expands to at most 4096 pixels, so even a
// flat picture needs about one byte per 2700 pixels. The absolute cap keeps a
// single frame below a quarter of a gigabyte.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kMaxFramePixels = int64_t(1) << 28;

// Reads the stream through one 16 KiB buffer; Finish() puts the stream back right
// after the last byte actually consumed, so a caller can continue after the frame.
class GifReader {
 public:
  explicit GifReader(CImageStream& s) : s_(s), buf_(new uint8_t[kSize]) {
    bufPos_ = std::max<int64_t>(0, s_.Tell());
  }
  int Byte() {
    if (pos_ == len_ && !Refill()) return -1;
    return buf_[pos_++];
  }
  size_t Read(uint8_t* dst, size_t n) {
    size_t done = 0;
    while (done < n) {
      if (pos_ == len_ && !Refill()) break;
      const size_t k = std::min(n - done, len_ - pos_);
      std::memcpy(dst + done, buf_.get() + pos_, k);
      pos_ += k;
      done += k;
    }
    return done;
  }
  bool Skip(size_t n) {
    while (n > 0) {
      if (pos_ == len_ && !Refill()) return false;
      const size_t k = std::min(n, len_ - pos_);
      pos_ += k;
      n -= k;
    }
    return true;
  }
  int64_t Tell() const { return bufPos_ + int64_t(pos_); }
  void SeekTo(int64_t p) {
    if (p >= bufPos_ && p <= bufPos_ + int64_t(len_)) {
      pos_ = size_t(p - bufPos_);
      return;
    }
    s_.Seek(p, CImageStream::kSet);
    bufPos_ = p;
    pos_ = len_ = 0;
  }
  // Bytes known to remain, or a large number when the stream cannot say.
  int64_t Remaining() const {
    const int64_t size = s_.Size();
    if (size < 0) return int64_t(1) << 40;
    return std::max<int64_t>(0, size - Tell());
  }
  void Finish() { s_.Seek(Tell(), CImageStream::kSet); }

 private:
  static constexpr size_t kSize = 16384;
  bool Refill() {
    bufPos_ += int64_t(len_);
    pos_ = len_ = 0;
    len_ = s_.Read(buf_.get(), 1, kSize);
    return len_ > 0;
  }
  CImageStream& s_;
  std::unique_ptr<uint8_t[]> buf_;
  int64_t bufPos_ = 0;
  size_t pos_ = 0, len_ = 0;
};

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// Skips data sub-blocks up to and including the zero-length terminator.
bool SkipSubBlocks(GifReader& r) {
  for (;;) {
    const int n = r.Byte();
    if (n < 0) return false;
    if (n == 0) return true;
    if (!r.Skip(size_t(n))) return false;
  }
}

struct FrameState {
  int transparentIndex = -1;
  uint16_t delay = 0;
  uint8_t disposal = 0;
  uint16_t loops = 0;
  std::string comment;
};

// Reads one extension after its "!" introducer. False when the stream ended inside
// it (the block walk stops there).
bool ReadExtension(GifReader& r, FrameState& st) {
  const int label = r.Byte();
  if (label < 0) return false;
  if (label == 0xF9) {
    const int size = r.Byte();
    if (size < 0) return false;
    if (size == 0) return true;
    if (size >= 4) {
      uint8_t b[4];
      if (r.Read(b, 4) != 4) return false;
      // A control block describes the next image only, so one without the
      // transparency bit clears the index an earlier frame set.
      st.transparentIndex = (b[0] & 1) ? b[3] : -1;
      st.delay = U16(b + 1);
      st.disposal = uint8_t((b[0] >> 2) & 7);
      if (!r.Skip(size_t(size - 4))) return false;
    } else if (!r.Skip(size_t(size))) {
      return false;
    }
  } else if (label == 0xFE) {
    const int size = r.Byte();
    if (size < 0) return false;
    if (size > 0) {
      char text[256];
      if (r.Read(reinterpret_cast<uint8_t*>(text), size_t(size)) != size_t(size)) return false;
      st.comment.assign(text, size_t(size));
    }
    if (size == 0) return true;  // the size byte was the terminator
  } else if (label == 0xFF) {
    const int size = r.Byte();
    if (size < 0) return false;
    if (size == 0) return true;
    uint8_t id[255];
    if (r.Read(id, size_t(size)) != size_t(size)) return false;
    // Only a 3-byte first sub-block carries a loop count (NETSCAPE2.0 and its
    // clones); other applications (XMP, ICC profiles) are skipped, not refused.
    if (size == 11) {
      const int sub = r.Byte();
      if (sub < 0) return false;
      if (sub == 0) return true;
      uint8_t d[255];
      if (r.Read(d, size_t(sub)) != size_t(sub)) return false;
      if (sub == 3) st.loops = U16(d + 1);
    }
  }
  return SkipSubBlocks(r);
}

// Pulls LZW codes, least significant bit first, out of the data sub-blocks.
class CodeSource {
 public:
  explicit CodeSource(GifReader& r) : r_(r) {}
  // −1 when the data (or the stream) has ended.
  int Next(int width) {
    while (bits_ < width) {
      if (left_ == 0) {
        if (ended_) return -1;
        const int n = r_.Byte();
        if (n <= 0) {
          ended_ = true;
          return -1;
        }
        left_ = n;
      }
      const int b = r_.Byte();
      if (b < 0) {
        ended_ = true;
        left_ = 0;
        return -1;
      }
      --left_;
      acc_ |= uint32_t(b) << bits_;
      bits_ += 8;
    }
    const int code = int(acc_ & ((1u << width) - 1));
    acc_ >>= width;
    bits_ -= width;
    return code;
  }
  // Leaves the reader after the frame's block terminator, whatever was unused.
  void Drain() {
    if (ended_) return;
    if (left_ > 0) r_.Skip(size_t(left_));
    left_ = 0;
    SkipSubBlocks(r_);
    ended_ = true;
  }

 private:
  GifReader& r_;
  uint32_t acc_ = 0;
  int bits_ = 0;
  int left_ = 0;
  bool ended_ = false;
};

// Receives decoded indices line by line and places the lines in storage order,
// following the four interlace passes when asked.
class LineSink {
 public:
  LineSink(CImageBuffer* img, int width, int height, bool interlaced)
      : img_(img), width_(width), height_(height), interlaced_(interlaced), line_(size_t(width)) {
    if (interlaced_) NextPassRow(false);
  }
  bool Done() const { return row_ >= height_ || pass_ > 3; }
  void Put(const uint8_t* src, size_t n) {
    while (n > 0 && !Done()) {
      const size_t k = std::min(n, size_t(width_) - fill_);
      std::memcpy(line_.data() + fill_, src, k);
      fill_ += k;
      src += k;
      n -= k;
      if (fill_ == size_t(width_)) EmitLine();
    }
  }

 private:
  void EmitLine() {
    fill_ = 0;
    if (img_) {
      uint8_t* dst = img_->Row(height_ - 1 - row_);
      const uint8_t* s = line_.data();
      switch (img_->Bpp()) {
        case 8: std::memcpy(dst, s, size_t(width_)); break;
        case 4:
          for (int x = 0; x < width_; x += 2) {
            const int hi = s[x] & 0x0F, lo = x + 1 < width_ ? (s[x + 1] & 0x0F) : 0;
            dst[x >> 1] = uint8_t((hi << 4) | lo);
          }
          break;
        default:
          for (int x = 0; x < width_; x += 8) {
            uint8_t b = 0;
            for (int i = 0; i < 8 && x + i < width_; ++i) b |= uint8_t((s[x + i] & 1) << (7 - i));
            dst[x >> 3] = b;
          }
      }
    }
    if (!interlaced_) {
      ++row_;
      return;
    }
    row_ += step_;
    if (row_ >= height_) NextPassRow(true);
  }
  // Passes: rows 0, 8, 16 …; 4, 12 …; 2, 6 …; 1, 3 …; a pass that starts below
  // the bottom of a short picture is passed over.
  void NextPassRow(bool advance) {
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    if (advance) ++pass_;
    while (pass_ <= 3 && kStart[pass_] >= height_) ++pass_;
    if (pass_ <= 3) {
      row_ = kStart[pass_];
      step_ = kStep[pass_];
    }
  }

  CImageBuffer* img_;
  int width_, height_;
  bool interlaced_;
  std::vector<uint8_t> line_;
  size_t fill_ = 0;
  int row_ = 0;
  int step_ = 8;
  int pass_ = 0;
};

// Decodes one frame's LZW data into `sink` (nullptr image: count only). Returns
// false only for a code size outside 2…9.
bool DecodeLzw(GifReader& r, int codeSize, LineSink& sink) {
  if (codeSize < 2 || codeSize > 9) return false;
  CodeSource src(r);
  // Zero-filled so that a corrupt chain through never-defined codes ends at once.
  std::array<uint16_t, 4096> prefix{};
  std::array<uint8_t, 4096> suffix{};
  std::array<uint8_t, 4097> stack{};
  const int clear = 1 << codeSize, end = clear + 1;
  for (int i = 0; i < clear && i < 4096; ++i) suffix[size_t(i)] = uint8_t(i);
  int width = codeSize + 1, limit = 1 << width, next = clear + 2;
  int prev = -1;
  uint8_t first = 0;

  while (!sink.Done()) {
    int code = src.Next(width);
    if (code < 0 || code == end) break;
    if (code == clear || prev < 0) {
      if (code == clear) {
        width = codeSize + 1;
        limit = 1 << width;
        next = clear + 2;
        do code = src.Next(width);
        while (code == clear);
        if (code < 0 || code == end) break;
      }
      if (code >= next) code = 0;
      first = uint8_t(code);
      sink.Put(&first, 1);
      prev = code;
      continue;
    }
    const int incode = code;
    size_t sp = 0;
    if (code >= next) {  // the string being defined, or a bad code read the same way
      stack[sp++] = first;
      code = prev;
    }
    while (code >= clear && sp < 4096) {
      stack[sp++] = suffix[size_t(code)];
      code = prefix[size_t(code)];
    }
    first = code >= clear ? suffix[size_t(code)] : uint8_t(code);
    stack[sp++] = first;
    if (next < 4096) {
      prefix[size_t(next)] = uint16_t(prev);
      suffix[size_t(next)] = first;
      ++next;
      if (next >= limit && width < 12) {
        ++width;
        limit <<= 1;
      }
    }
    prev = incode;
    // The stack holds the string backwards.
    std::reverse(stack.begin(), stack.begin() + std::ptrdiff_t(sp));
    sink.Put(stack.data(), sp);
  }
  src.Drain();
  return true;
}

struct Descriptor {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int tableSize = 0;  // entries of the local table, 0 without one
};

bool ReadDescriptor(GifReader& r, Descriptor& d, uint8_t localTable[768]) {
  uint8_t b[9];
  if (r.Read(b, 9) != 9) return false;
  d.left = U16(b);
  d.top = U16(b + 2);
  d.width = U16(b + 4);
  d.height = U16(b + 6);
  d.interlaced = (b[8] & 0x40) != 0;
  d.tableSize = 0;
  if (b[8] & 0x80) {
    d.tableSize = 2 << (b[8] & 7);
    if (r.Read(localTable, size_t(3 * d.tableSize)) != size_t(3 * d.tableSize)) return false;
  }
  return true;
}

// Draws `frame` over a copy of `previous` at the frame's offset, leaving pixels of
// the transparent index alone; the result takes the previous picture's geometry
// and palette, so frame colours go to their nearest entries there.
void ComposeOver(CImageBuffer& previous, const CImageBuffer& frame, int left, int top, int transparent) {
  int remap[256];
  for (int i = 0; i < 256; ++i) {
    const bool sameEntry = i < previous.ColoursUsed() && previous.PaletteEntry(i) == frame.PaletteEntry(i);
    remap[i] = sameEntry ? i : previous.NearestIndex(frame.PaletteEntry(i));
  }
  const int ph = previous.Height();
  for (int fy = 0; fy < frame.Height(); ++fy) {
    const int py = ph - 1 - (top + fy);  // storage row of the picture
    if (py < 0) break;
    const int sy = frame.Height() - 1 - fy;
    for (int fx = 0; fx < frame.Width(); ++fx) {
      const int px = left + fx;
      if (px >= previous.Width()) break;
      const int idx = frame.ReadIndex(fx, sy);
      if (idx != transparent) previous.WriteIndex(px, py, remap[idx & 0xFF]);
    }
  }
}

}  // namespace

bool GifDecode(CImageBuffer& image, CImageStream& stream) {
  GifReader r(stream);
  uint8_t head[13];
  if (r.Read(head, 13) != 13 || std::memcmp(head, "GIF8", 4) != 0) {
    r.Finish();
    return false;
  }
  uint8_t globalTable[768] = {};
  int globalSize = 0;
  if (head[10] & 0x80) {
    globalSize = 2 << (head[10] & 7);
    if (r.Read(globalTable, size_t(3 * globalSize)) != size_t(3 * globalSize)) {
      image.SetLastError("Truncated GIF colour table");
      r.Finish();
      return false;
    }
  }

  // First pass: count the frames without keeping pixels.
  const int64_t blocksStart = r.Tell();
  int frames = 0;
  const int wanted = image.Ext().frameIndex;
  // Writers (this program's own among them) put the comment after the image, where
  // the walk below, which stops at the chosen frame, would never see it.
  std::string laterComment;
  {
    FrameState st;
    uint8_t local[768];
    for (;;) {
      const int c = r.Byte();
      if (c < 0 || c == ';') break;
      if (c == '!') {
        st.comment.clear();
        if (!ReadExtension(r, st)) break;
        if (frames > wanted && laterComment.empty()) laterComment = st.comment;
      } else if (c == ',') {
        Descriptor d;
        if (!ReadDescriptor(r, d, local)) break;
        const int codeSize = r.Byte();
        if (codeSize < 0) break;
        ++frames;
        if (!SkipSubBlocks(r)) break;
      }
      // Anything else is a stray byte between blocks; encoders that end a frame's
      // data early leave such bytes, and they are passed over.
    }
  }
  if (wanted >= frames) {
    r.Finish();
    return false;
  }
  r.SeekTo(blocksStart);

  FrameState st;
  CImageBuffer result(kFormatGif);
  bool haveResult = false, got = false;
  int frame = 0;
  uint8_t local[768];
  for (;;) {
    const int c = r.Byte();
    if (c < 0 || c == ';') break;
    if (c == '!') {
      if (!ReadExtension(r, st)) break;
      continue;
    }
    if (c != ',') continue;
    Descriptor d;
    if (!ReadDescriptor(r, d, local)) break;
    const int codeSize = r.Byte();
    if (codeSize < 0) break;
    if (codeSize < 2 || codeSize > 9) {
      r.Finish();
      return false;
    }
    const uint8_t* table = d.tableSize ? local : globalTable;
    const int n = d.tableSize ? d.tableSize : globalSize;
    const int64_t pixels = int64_t(d.width) * d.height;
    if (pixels == 0) {
      image.SetLastError("GIF frame has no pixels");
      r.Finish();
      return false;
    }
    if (pixels > kMaxFramePixels || pixels > (r.Remaining() + 1) * kMaxPixelsPerByte) {
      image.SetLastError("GIF frame too large for its data");
      r.Finish();
      return false;
    }
    // Without any colour table the indices span the code size; they are shown
    // as a grey ramp rather than all black.
    const int entries = n ? n : (1 << std::min(codeSize, 8));
    const int depth = entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
    CImageBuffer img(kFormatGif);
    if (!img.Allocate(d.width, d.height, depth, kFormatGif)) {
      image.SetLastError("GIF frame too large");
      r.Finish();
      return false;
    }
    // Rows the data never reaches show palette entry 0.
    std::memset(img.Pixels(), 0, img.ImageSize());
    if (n) {
      uint8_t pal[768] = {};
      std::memcpy(pal, table, size_t(3 * n));
      if (st.transparentIndex != -1) {
        std::fill(pal + 3 * n, pal + 768, uint8_t(255));
        bool white = false;
        for (int i = 0; i < n; ++i) white |= pal[3 * i] == 255 && pal[3 * i + 1] == 255 && pal[3 * i + 2] == 255;
        if (!white) pal[765] = pal[766] = pal[767] = 255;
      }
      const int count = std::min(st.transparentIndex == -1 ? n : 256, img.ColoursUsed());
      for (int i = 0; i < count; ++i) img.SetPaletteEntry(i, pal[3 * i], pal[3 * i + 1], pal[3 * i + 2], 0);
    } else {
      img.MakeGreyPalette();
    }
    {
      LineSink sink(&img, d.width, d.height, d.interlaced);
      DecodeLzw(r, codeSize, sink);
    }
    if (frame > 0 && st.disposal == 1 && haveResult) {
      ComposeOver(result, img, d.left, d.top, st.transparentIndex);
    } else {
      result.TakeOver(img);
      haveResult = true;
    }
    ExtendedInfo& e = result.Ext();
    e.transparentIndex = st.transparentIndex;
    e.gifDelay = st.delay;
    e.gifDisposal = st.disposal;
    e.gifOffsetX = d.left;
    e.gifOffsetY = d.top;
    if (frame == wanted) {
      got = true;
      break;
    }
    ++frame;
  }
  r.Finish();
  if (!got) {
    image.SetLastError("Truncated GIF file");
    return false;
  }
  ExtendedInfo& e = result.Ext();
  e.formatType = kFormatGif;
  e.frameIndex = image.Ext().frameIndex;
  e.frameCount = frames;
  e.gifLoops = st.loops;
  e.comment = (st.comment.empty() ? laterComment : st.comment).substr(0, 255);
  result.SetFormatType(kFormatGif);
  image.TakeOver(result);
  return true;
}

namespace {

// Packs variable-width codes least significant bit first into 254-byte sub-blocks.
class CodeWriter {
 public:
  explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(int code, int width) {
    acc_ |= uint32_t(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      Byte(uint8_t(acc_ & 0xFF));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  void Finish() {
    if (bits_ > 0) Byte(uint8_t(acc_ & 0xFF));
    acc_ = 0;
    bits_ = 0;
    if (count_ > 0) FlushBlock();
  }

 private:
  void Byte(uint8_t b) {
    block_[count_++] = b;
    if (count_ == 254) FlushBlock();
  }
  void FlushBlock() {
    out_.push_back(uint8_t(count_));
    out_.insert(out_.end(), block_, block_ + count_);
    count_ = 0;
  }
  std::vector<uint8_t>& out_;
  uint32_t acc_ = 0;
  int bits_ = 0;
  uint8_t block_[254];
  int count_ = 0;
};

constexpr int kHashSize = 5003;
constexpr int kMaxBits = 12;
constexpr int kMaxMaxCode = 1 << kMaxBits;

// LZW with the classic open-addressing table: key prefix + byte × 4096, first
// probe (byte << 4) ^ prefix, secondary probes step down by 5003 − index.
void CompressLzw(const CImageBuffer& img, int codeSize, std::vector<uint8_t>& out) {
  std::vector<int32_t> hashKey(kHashSize, -1);
  std::vector<uint16_t> hashCode(kHashSize, 0);
  CodeWriter w(out);
  const int initBits = codeSize + 1;
  const int clear = 1 << codeSize, eof = clear + 1;
  int nBits = initBits;
  int maxCode = (1 << nBits) - 1;
  int freeEnt = clear + 2;
  bool clearFlag = false;

  auto output = [&](int code) {
    w.Put(code, nBits);
    if (freeEnt > maxCode || clearFlag) {
      if (clearFlag) {
        nBits = initBits;
        maxCode = (1 << nBits) - 1;
        clearFlag = false;
      } else {
        ++nBits;
        maxCode = nBits == kMaxBits ? kMaxMaxCode : (1 << nBits) - 1;
      }
    }
  };

  output(clear);
  const int width = img.Width(), height = img.Height(), bpp = img.Bpp();
  std::vector<uint8_t> line(static_cast<size_t>(width));
  int ent = -1;
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = img.Row(y);
    const uint8_t* px = row;
    if (bpp != 8) {
      for (int x = 0; x < width; ++x)
        line[size_t(x)] = bpp == 4 ? uint8_t((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F)
                                   : uint8_t((row[x >> 3] >> (7 - (x & 7))) & 1);
      px = line.data();
    }
    int x = 0;
    if (ent < 0) ent = px[x++];
    for (; x < width; ++x) {
      const int c = px[x];
      const int32_t fcode = (int32_t(c) << kMaxBits) + ent;
      int i = (c << 4) ^ ent;
      if (hashKey[size_t(i)] == fcode) {
        ent = hashCode[size_t(i)];
        continue;
      }
      if (hashKey[size_t(i)] >= 0) {
        const int disp = i == 0 ? 1 : kHashSize - i;
        bool found = false;
        do {
          i -= disp;
          if (i < 0) i += kHashSize;
          if (hashKey[size_t(i)] == fcode) {
            ent = hashCode[size_t(i)];
            found = true;
            break;
          }
        } while (hashKey[size_t(i)] >= 0);
        if (found) continue;
      }
      output(ent);
      ent = c;
      if (freeEnt < kMaxMaxCode) {
        hashCode[size_t(i)] = uint16_t(freeEnt++);
        hashKey[size_t(i)] = fcode;
      } else {
        std::fill(hashKey.begin(), hashKey.end(), -1);
        freeEnt = clear + 2;
        clearFlag = true;
        output(clear);
      }
    }
  }
  output(ent);
  output(eof);
  w.Finish();
}

void Put16(std::vector<uint8_t>& o, int v) {
  o.push_back(uint8_t(v & 0xFF));
  o.push_back(uint8_t((v >> 8) & 0xFF));
}

}  // namespace

bool GifEncode(const CImageBuffer& image, CImageStream& stream, CImageBuffer& errors) {
  if (!image.IsValid() || image.Bpp() > 8) return false;
  const int depth = image.Bpp();
  std::vector<uint8_t> o;
  o.reserve(size_t(image.ImageSize()) / 2 + 2048);
  for (const char c : {'G', 'I', 'F', '8', '7', 'a'}) o.push_back(uint8_t(c));
  Put16(o, image.Width());
  Put16(o, image.Height());
  o.push_back(uint8_t(0x80 | uint8_t((depth + 7) << 5) | (depth - 1)));
  o.push_back(0);
  o.push_back(0);
  const int colours = 1 << depth;
  for (int i = 0; i < colours; ++i) {
    const Rgbq c = image.PaletteEntry(i);
    o.push_back(uint8_t(RgbqR(c)));
    o.push_back(uint8_t(RgbqG(c)));
    o.push_back(uint8_t(RgbqB(c)));
  }
  const ExtendedInfo& e = image.Ext();
  const bool transparent = e.transparentIndex != -1;
  o.insert(o.end(), {0x21, 0xF9, 0x04});
  o.push_back(uint8_t(((e.gifDisposal << 2) & 0x1C) | (transparent ? 1 : 0)));
  Put16(o, e.gifDelay);
  o.push_back(uint8_t(e.transparentIndex));
  o.push_back(0);
  o.push_back(0x2C);
  Put16(o, e.gifOffsetX);
  Put16(o, e.gifOffsetY);
  Put16(o, image.Width());
  Put16(o, image.Height());
  o.push_back(0);
  const int codeSize = std::max(depth, 2);
  o.push_back(uint8_t(codeSize));
  CompressLzw(image, codeSize, o);
  o.push_back(0);
  if (!e.comment.empty()) {
    const size_t n = std::min<size_t>(e.comment.size(), 255);
    o.insert(o.end(), {0x21, 0xFE});
    o.push_back(uint8_t(n));
    o.insert(o.end(), e.comment.begin(), e.comment.begin() + std::ptrdiff_t(n));
    o.push_back(0);
  }
  o.push_back(0x3B);
  const bool wrote = stream.Write(o.data(), 1, o.size()) == o.size();
  const bool flushed = stream.Flush();
  if (!wrote || !flushed || stream.Error()) {
    errors.SetLastError("Write Error in GIF file");
    return false;
  }
  return true;
}

}  // namespace velmira
