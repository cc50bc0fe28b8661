#include "formats/vlm.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "image/ui_text.h"
#include "image/compose.h"
#include "image/history.h"
#include "image/le_bytes.h"
#include "image/records.h"
#include "image/text.h"

namespace velmira {

namespace fs = std::filesystem;

const char* const kMsgVlmOtherVersion = QT_TR_NOOP("VLM 형식의 버전이 상이함");
const char* const kMsgVlmDamaged = QT_TR_NOOP("VLM 파일이 손상되어 열 수 없습니다.");
const char* const kMsgVlmSaveFailed = QT_TR_NOOP("파일을 저장하지 못했습니다. 기존 파일은 그대로 남아 있습니다.");

namespace {

constexpr int kMaxTextUnits = 700;
// A decimal field of the text lines: a sign and at most ten digits.
constexpr int kMaxDigits = 10;

void Say(std::string* s, const std::string& text) {
  if (s) *s = text;
}

bool WriteAll(CImageStream& out, const void* data, size_t n) {
  return n == 0 || out.Write(data, 1, n) == n;
}


// The picture at 1:1 as 24-bit rows of the canvas stride; white where no layer
// covers the canvas.
std::vector<uint8_t> Preview(const LayerStack& stack, size_t bytes) {
  std::vector<uint8_t> out(bytes, 255);
  const int w = stack.header.canvasWidth, h = stack.header.canvasHeight;
  std::vector<uint8_t> composed;
  if (w <= 0 || h <= 0 || !ComposeCanvas(stack, ComposeRange{}, composed)) return out;
  const size_t stride = size_t(StrideFor(w, 24));
  for (int y = 0; y < h && (size_t(y) + 1) * stride <= bytes; ++y) {
    const uint8_t* s = composed.data() + size_t(y) * size_t(w) * 4;
    uint8_t* d = out.data() + size_t(y) * stride;
    for (int x = 0; x < w; ++x, s += 4, d += 3)
      if (s[3] != 0) d[0] = s[0], d[1] = s[1], d[2] = s[2];
  }
  return out;
}

std::vector<uint8_t> TextBytes(const Layer& l) {
  std::vector<uint8_t> b(size_t(l.textLength) * 2, 0);
  const size_t n = std::min(size_t(l.textLength), l.textBuffer.size());
  for (size_t i = 0; i < n; ++i) PutU16(&b[2 * i], l.textBuffer[i]);
  return b;
}

// ---------------------------------------------------------------- reading

// A reader over the stream that knows how many bytes are left, so that no size
// taken from the file is allocated before it is known to fit.
class Source {
 public:
  explicit Source(CImageStream& in) : in_(in) {
    base_ = in.Tell();
    size_ = in.Size();
    if (base_ < 0) base_ = 0;
  }
  int64_t Pos() const { return pos_; }
  // Bytes left, or a very large number when the stream cannot tell.
  int64_t Left() const { return size_ < 0 ? INT64_MAX : std::max<int64_t>(0, size_ - base_ - pos_); }
  bool Seek(int64_t pos) {
    if (!in_.Seek(base_ + pos, CImageStream::kSet)) return false;
    pos_ = pos;
    return true;
  }
  bool Read(void* dst, size_t n) {
    if (n == 0) return true;
    if (int64_t(n) > Left()) return false;
    const size_t got = in_.Read(dst, 1, n);
    pos_ += int64_t(got);
    return got == n;
  }
  bool Skip(int64_t n) { return n <= Left() && Seek(pos_ + n); }
  int Peek() {
    uint8_t c;
    if (!Read(&c, 1)) return -1;
    Seek(pos_ - 1);
    return c;
  }
  // A decimal number as "%d" writes it (optional '-', digits).
  bool Number(int* value) {
    uint8_t c;
    bool negative = false;
    if (!Read(&c, 1)) return false;
    if (c == '-') {
      negative = true;
      if (!Read(&c, 1)) return false;
    }
    int64_t v = 0;
    int digits = 0;
    while (c >= '0' && c <= '9') {
      if (++digits > kMaxDigits) return false;
      v = v * 10 + (c - '0');
      if (!Read(&c, 1)) return false;
    }
    if (digits == 0 || v > INT32_MAX) return false;
    Seek(pos_ - 1);  // the byte after the digits belongs to what follows
    *value = int(negative ? -v : v);
    return true;
  }
  bool Expect(char want) {
    uint8_t c;
    return Read(&c, 1) && c == uint8_t(want);
  }

 private:
  CImageStream& in_;
  int64_t base_ = 0, size_ = -1, pos_ = 0;
};

struct Failure {
  const char* message;
  std::string detail;
};

bool HeaderSane(const PictureHeader& h) {
  const int bpp = h.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (h.canvasWidth <= 0 || h.canvasHeight <= 0) return false;
  if (int64_t(h.canvasWidth) * h.canvasHeight != h.pixelCount) return false;
  if (h.paletteColours < 0 || h.paletteColours > 256) return false;
  // The preview is written at 24 bits over the canvas stride of the picture's
  // depth; both agree for the RGB pictures the editor keeps.
  const int64_t at24 = int64_t(StrideFor(h.canvasWidth, 24)) * h.canvasHeight;
  const int64_t atDepth = int64_t(StrideFor(h.canvasWidth, bpp)) * h.canvasHeight;
  return h.imageSize == at24 || h.imageSize == atDepth;
}

// The first line is "\n<version> <bottom> <active>" and the header follows at once,
// so the active slot's digits may run into a title that begins with a digit. Each
// way of splitting the digits is tried: the right one has a sane header and the
// bottom layer's line where the preview ends.
bool ReadOpening(Source& src, int* version, int* bottom, int* active, PictureHeader* header, Failure* f) {
  if (!src.Expect('\n') || !src.Number(version)) {
    *f = {kMsgVlmDamaged, "not a VLM file: the first line is missing"};
    return false;
  }
  if (*version != 31 && *version != 36 && *version != 362) {
    *f = {kMsgVlmOtherVersion, Format("unknown VLM version %d", *version)};
    return false;
  }
  if (!src.Expect(' ') || !src.Number(bottom) || !src.Expect(' ')) {
    *f = {kMsgVlmDamaged, "damaged first line"};
    return false;
  }
  if (!LayerStack::ValidSlot(*bottom)) {
    *f = {kMsgVlmDamaged, Format("bottom layer slot %d outside 0...39", *bottom)};
    return false;
  }
  const int64_t start = src.Pos();
  char run[kMaxDigits + 2];
  int n = 0;
  while (n < kMaxDigits + 1) {
    const int c = src.Peek();
    if (!((c >= '0' && c <= '9') || (c == '-' && n == 0))) break;
    run[n++] = char(c);
    src.Skip(1);
  }
  for (int len = n; len >= 1; --len) {
    if (!src.Seek(start + len)) continue;
    const std::string digits(run, size_t(len));
    if (digits == "-") continue;
    uint8_t head[kPictureHeaderBytes];
    if (!src.Read(head, sizeof head)) continue;
    PictureHeader h;
    ReadPictureHeader(head, h);
    if (!HeaderSane(h)) continue;
    const int64_t afterHeader = src.Pos();
    int slot = -1;
    if (!src.Skip(h.imageSize) || !src.Expect('\n') || !src.Expect(' ') || !src.Number(&slot) || slot != *bottom)
      continue;
    *active = std::atoi(digits.c_str());
    *header = h;
    src.Seek(afterHeader);
    return true;
  }
  *f = {kMsgVlmDamaged, "damaged picture header or first layer"};
  return false;
}

bool ReadLayers(Source& src, int version, int bottom, LayerStack& out, Failure* f) {
  const PictureHeader& ph = out.header;
  bool seen[kMaxLayers] = {};
  int expected = bottom, previous = -1;
  auto fail = [&](std::string why) {
    *f = {kMsgVlmDamaged, std::move(why)};
    return false;
  };
  while (true) {
    int slot = -1, textLength = 0;
    if (!src.Expect('\n') || !src.Expect(' ') || !src.Number(&slot) || !src.Expect(' ') || !src.Number(&textLength))
      return fail("damaged or missing layer line");
    if (!LayerStack::ValidSlot(slot)) return fail(Format("layer slot %d outside 0...39", slot));
    if (seen[slot]) return fail(Format("the layer chain returns to slot %d", slot));
    if (slot != expected) return fail(Format("layer slot %d where the chain names %d", slot, expected));
    if (textLength < 0) return fail("negative text length");
    seen[slot] = true;

    const int recordBytes = version == 31 ? 397 : version == 36 ? 384 : kLayerRecordBytes;
    uint8_t raw[397];
    if (!src.Read(raw, size_t(recordBytes))) return fail("the file ends inside a layer record");
    Layer rec;
    ReadLayerRecord(raw, std::min(recordBytes, kLayerRecordBytes), rec);
    if (version == 36) {
      rec.text.tail[0] = 10, rec.text.tail[1] = 100, rec.text.tail[2] = 0;
    }
    if (version == 31 && rec.kind == kLayerText) {
      rec.text.size = std::clamp(rec.text.size, 20, 40);
      rec.text.x = rec.x;
      rec.text.y = rec.y;
      rec.text.tail[0] = 10, rec.text.tail[1] = 100, rec.text.tail[2] = 0;
    }
    if (rec.kind > kLayerMeasure) return fail(Format("unknown layer kind %d", rec.kind));
    if (rec.above != -1 && !LayerStack::ValidSlot(rec.above))
      return fail(Format("layer above slot %d outside 0...39", rec.above));
    // The record's sizes must be the ones its width and height give at the
    // picture's depth, and the planes must fit in what is left of the file.
    if (rec.width < ph.canvasWidth || rec.height < ph.canvasHeight)
      return fail("a layer is smaller than the canvas");
    const int64_t stride = rec.kind == kLayerText ? rec.width : StrideFor(rec.width, ph.bitsPerPixel);
    const int64_t pixelCount = int64_t(rec.width) * rec.height;
    if (rec.stride != stride || rec.imageSize != stride * rec.height || rec.pixelCount != pixelCount)
      return fail("layer sizes disagree with the picture header");
    const int storedText = rec.kind == kLayerText ? textLength : 0;
    if (int64_t(rec.imageSize) + 2 * pixelCount + 2 * int64_t(storedText) > src.Left())
      return fail("the file ends before the layer's planes");

    const TextSettings keptText = rec.text;
    const int32_t keptColour = rec.textColour;
    Layer& l = out.slots[slot];
    l.CopyRecordFrom(rec);
    LayerAlloc a;
    a.bitsPerPixel = ph.bitsPerPixel;
    a.paletteColours = ph.paletteColours;
    a.initialAlpha = 0;
    a.x = rec.x, a.y = rec.y, a.width = rec.width, a.height = rec.height;
    a.paletteMode = 2;
    a.canvasWidth = ph.canvasWidth, a.canvasHeight = ph.canvasHeight;
    a.resetSelection = false;
    a.dirty = 0;
    a.kind = rec.kind;
    a.partner = -1;
    a.centre = false;
    if (!out.AllocateLayer(slot, a)) return fail("out of memory for a layer");
    if (l.imageSize != rec.imageSize || l.pixelCount != rec.pixelCount)
      return fail("layer sizes disagree with the picture header");
    if (!src.Read(l.pixels.data(), l.pixels.size()) || !src.Read(l.alpha.data(), l.alpha.size()) ||
        !src.Read(l.effect.data(), l.effect.size()))
      return fail("the file ends inside a layer's planes");
    if (storedText > 0) {
      // Longer texts than the editor makes are cut; the rest is stepped over.
      const int units = std::min(storedText, kMaxTextUnits);
      std::vector<uint8_t> t(size_t(units) * 2);
      if (!src.Read(t.data(), t.size()) || !src.Skip(2 * int64_t(storedText - units)))
        return fail("the file ends inside a layer's text");
      l.textBuffer.resize(size_t(units));
      for (int i = 0; i < units; ++i) l.textBuffer[size_t(i)] = char16_t(GetU16(&t[2 * size_t(i)]));
      l.textLength = units;
    }
    l.text = keptText;
    l.textColour = keptColour;
    l.inUse = 1;
    l.below = int16_t(previous);
    l.above = rec.above;
    previous = slot;
    if (rec.above == -1) return true;
    expected = rec.above;
  }
}

bool ReadInto(LayerStack& stack, CHistory* history, CImageStream& in, std::string* message,
              std::string* detail) {
  Source src(in);
  Failure f{kMsgVlmDamaged, {}};
  int version = 0, bottom = -1, active = -1;
  auto temp = std::make_unique<LayerStack>();
  bool ok = false;
  try {
    ok = ReadOpening(src, &version, &bottom, &active, &temp->header, &f) && src.Skip(temp->header.imageSize) &&
         ReadLayers(src, version, bottom, *temp, &f);
  } catch (const std::bad_alloc&) {
    f = {kMsgVlmDamaged, "out of memory"};
    ok = false;
  }
  if (!ok) {
    Say(message, f.message);
    Say(detail, f.detail);
    return false;
  }
  LayerStack& t = *temp;
  t.header.editCopySize = 0;
  t.palette.assign(size_t(t.header.paletteColours) * 4, 0);
  t.bottom = bottom;
  t.active = t.Used(active) && t.DistanceBetween(bottom, active) >= 0 ? active : bottom;
  t.selectionExists = false;
  t.ResetSelection(t.active);
  stack = std::move(t);
  if (history)
    for (int s : stack.Chain()) history->CommitLayer(s);
  return true;
}

}  // namespace

// ---------------------------------------------------------------- writing

bool WriteVlm(const LayerStack& stack, CImageStream& out, std::string* detail) {
  const std::vector<int> chain = stack.Chain();
  if (chain.empty()) {
    Say(detail, "the picture has no layers");
    return false;
  }
  PictureHeader h = stack.header;
  const int bpp = RoundBitsPerPixel(h.bitsPerPixel);
  h.pixelCount = h.canvasWidth * h.canvasHeight;
  h.imageSize = StrideFor(h.canvasWidth, bpp) * h.canvasHeight;
  const std::string first = Format("\n%d %d %d", kVlmVersion, stack.bottom, stack.active);
  uint8_t head[kPictureHeaderBytes];
  WritePictureHeader(h, head);
  bool ok = WriteAll(out, first.data(), first.size()) && WriteAll(out, head, sizeof head);
  if (ok) {
    const std::vector<uint8_t> preview = Preview(stack, size_t(std::max(0, h.imageSize)));
    ok = WriteAll(out, preview.data(), preview.size());
  }
  for (size_t i = 0; ok && i < chain.size(); ++i) {
    const int s = chain[i];
    Layer rec;
    rec.CopyRecordFrom(stack.slots[s]);
    rec.inUse = 1;
    rec.below = int16_t(i == 0 ? -1 : chain[i - 1]);
    rec.above = int16_t(i + 1 == chain.size() ? -1 : chain[i + 1]);
    const Layer& l = stack.slots[s];
    if (l.imageSize < 0 || l.pixelCount < 0 || l.pixels.size() != size_t(l.imageSize) ||
        l.alpha.size() != size_t(l.pixelCount) || l.effect.size() != size_t(l.pixelCount)) {
      Say(detail, Format("layer %d: buffers do not match the record", s));
      return false;
    }
    const std::string line = Format("\n %d %d", s, l.textLength);
    uint8_t r[kLayerRecordBytes];
    WriteLayerRecord(rec, r);
    ok = WriteAll(out, line.data(), line.size()) && WriteAll(out, r, sizeof r) &&
         WriteAll(out, l.pixels.data(), l.pixels.size()) && WriteAll(out, l.alpha.data(), l.alpha.size()) &&
         WriteAll(out, l.effect.data(), l.effect.size());
    if (ok && l.kind == kLayerText && l.textLength > 0) {
      const std::vector<uint8_t> t = TextBytes(l);
      ok = WriteAll(out, t.data(), t.size());
    }
  }
  if (!ok || !out.Flush() || out.Error()) {
    Say(detail, "error writing the file");
    return false;
  }
  return true;
}

bool WriteVlm(const LayerStack& stack, const fs::path& path, std::string* message, std::string* detail) {
  auto fail = [&](const std::string& why) {
    Say(message, kMsgVlmSaveFailed);
    Say(detail, why);
    return false;
  };
  std::error_code ec;
  fs::path target = path;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::canonical(path, ec);
    if (!ec) target = resolved;  // replace what the link points to, not the link
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return fail("not a regular file: " + target.string());

  static std::atomic<unsigned> counter{0};
  const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  fs::path tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = dir / Format(".%s.%d.%u.tmp", target.filename().c_str(), int(::getpid()), counter++);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail(Format("cannot create a file in %s: %s", dir.c_str(), std::strerror(errno)));
  FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return fail("cannot open the temporary file");
  }
  // Planes go out in whole blocks; the buffer only gathers the short pieces.
  std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
  std::string why;
  CImageFileStream stream(f);
  bool ok = WriteVlm(stack, stream, &why);
  if (ok && std::fflush(f) != 0) ok = false, why = std::strerror(errno);
  if (ok && exists) ::fchmod(fd, old.st_mode & 07777);
  // The new contents reach the disk before the name moves, so a crash cannot leave
  // an empty file where the old one was.
  if (ok && ::fsync(fd) != 0) ok = false, why = std::strerror(errno);
  if (std::fclose(f) != 0 && ok) ok = false, why = std::strerror(errno);
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false, why = std::strerror(errno);
  if (!ok) {
    ::unlink(tmp.c_str());
    return fail(why.empty() ? "error writing the file" : why);
  }
  return true;
}

bool ReadVlm(LayerStack& stack, CHistory* history, CImageStream& in, std::string* message, std::string* detail) {
  return ReadInto(stack, history, in, message, detail);
}

bool ReadVlm(LayerStack& stack, CHistory* history, const fs::path& path, std::string* message,
             std::string* detail) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    Say(message, QT_TR_NOOP("해당 파일을 열 수 없습니다."));
    Say(detail, Format("cannot open %s: %s", path.c_str(), std::strerror(errno)));
    return false;
  }
  CImageFileStream stream(f);
  const bool ok = ReadInto(stack, history, stream, message, detail);
  std::fclose(f);
  return ok;
}

}  // namespace velmira
