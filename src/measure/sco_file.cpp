#include "measure/sco_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <system_error>

#include "image/ui_text.h"
#include "image/records.h"

namespace velmira::measure {

const char* const kMsgScoDamaged = QT_TR_NOOP("측정 파일이 손상되었거나 형식이 다릅니다.");
const char* const kMsgScoSaveFailed = QT_TR_NOOP("측정 파일을 저장할 수 없습니다.");

namespace {

// Longest note a text object may carry (UTF-16 units); longer claims are damage.
constexpr int kMaxNoteUnits = 4096;

void Put(std::vector<uint8_t>& o, const std::string& s) { o.insert(o.end(), s.begin(), s.end()); }
void Put(std::vector<uint8_t>& o, const uint8_t* p, size_t n) { o.insert(o.end(), p, p + n); }

std::string Fmt(const char* f, int a) {
  char b[64];
  std::snprintf(b, sizeof b, f, a);
  return b;
}

size_t Utf8Chars(const std::string& s) {
  return size_t(std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string ToUtf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    if (c < 0x80) out.push_back(char(c));
    else if (c < 0x800) out += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    else if (c < 0x10000) out += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    else
      out += {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)), char(0x80 | ((c >> 6) & 0x3F)),
              char(0x80 | (c & 0x3F))};
  }
  return out;
}

struct Src {
  const uint8_t* d;
  size_t n;
  size_t pos = 0;
  size_t Left() const { return n - pos; }
  bool Expect(char c) {
    if (pos >= n || d[pos] != uint8_t(c)) return false;
    ++pos;
    return true;
  }
  void Space() {
    while (pos < n && std::isspace(d[pos])) ++pos;
  }
  bool Int(int32_t* v) {
    Space();
    size_t p = pos;
    bool neg = false;
    if (p < n && d[p] == '-') neg = true, ++p;
    const size_t s = p;
    int64_t x = 0;
    while (p < n && std::isdigit(d[p])) {
      x = x * 10 + (d[p++] - '0');
      if (x > INT32_MAX) return false;
    }
    if (p == s) return false;
    pos = p;
    *v = int32_t(neg ? -x : x);
    return true;
  }
  bool Word(std::string* w) {
    Space();
    w->clear();
    while (pos < n && !std::isspace(d[pos]) && w->size() < 256) w->push_back(char(d[pos++]));
    return !w->empty() && (pos >= n || std::isspace(d[pos]));
  }
  bool Read(void* out, size_t k) {
    if (Left() < k) return false;
    if (k) std::memcpy(out, d + pos, k);
    pos += k;
    return true;
  }
};

// A note of `units` UTF-16 units, as UTF-8 in the file.
bool ReadNote(Src& s, int units, std::u16string* out) {
  out->clear();
  while (int(out->size()) < units) {
    if (s.pos >= s.n) return false;
    const uint8_t c = s.d[s.pos];
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (!len || s.Left() < size_t(len)) return false;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) {
      const uint8_t t = s.d[s.pos + size_t(k)];
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    s.pos += size_t(len);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out->push_back(char16_t(0xD800 + (cp >> 10)));
      out->push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out->push_back(char16_t(cp));
    }
  }
  return int(out->size()) == units;
}

bool Fail(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

bool HeaderSane(const PictureHeader& h) {
  const int bpp = h.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  if (h.canvasWidth <= 0 || h.canvasHeight <= 0) return false;
  if (h.paletteColours < 0 || h.paletteColours > 256) return false;
  return int64_t(h.canvasWidth) * h.canvasHeight <= (int64_t(1) << 31) - 1;
}

bool ReadLayers(Src& s, LayerStack& t, std::string* why) {
  int32_t bottom = -1, active = -1;
  if (!s.Expect('\n') || !s.Expect(' ') || !s.Int(&bottom) || !s.Expect(' ') || !s.Int(&active))
    return Fail(why, "missing layer line");
  uint8_t head[kPictureHeaderBytes];
  if (!s.Read(head, sizeof head)) return Fail(why, "the file ends inside the picture header");
  ReadPictureHeader(head, t.header);
  if (!HeaderSane(t.header)) return Fail(why, "damaged picture header");
  const PictureHeader& ph = t.header;
  bool seen[kMaxLayers] = {};
  int expected = bottom, previous = -1;
  if (!LayerStack::ValidSlot(bottom)) return Fail(why, "first layer outside 0...39");
  while (true) {
    int32_t slot = -1;
    if (!s.Expect('\n') || !s.Expect(' ') || !s.Int(&slot) || !s.Expect(' ')) return Fail(why, "damaged layer line");
    if (!LayerStack::ValidSlot(slot) || seen[slot] || slot != expected) return Fail(why, "broken layer chain");
    seen[slot] = true;
    uint8_t raw[kLayerRecordBytes];
    if (!s.Read(raw, sizeof raw)) return Fail(why, "the file ends inside a layer record");
    Layer rec;
    ReadLayerRecord(raw, kLayerRecordBytes, rec);
    if (rec.kind > kLayerMeasure) return Fail(why, "unknown layer kind");
    if (rec.above != -1 && !LayerStack::ValidSlot(rec.above)) return Fail(why, "layer above outside 0...39");
    if (rec.width <= 0 || rec.height <= 0 || rec.width > 65535 || rec.height > 65535)
      return Fail(why, "bad layer size");
    // Every layer covers the canvas, so the file's own length bounds the canvas too.
    if (rec.width < ph.canvasWidth || rec.height < ph.canvasHeight) return Fail(why, "a layer is smaller than the canvas");
    const int64_t stride = rec.kind == kLayerText ? rec.width : StrideFor(rec.width, ph.bitsPerPixel);
    const int64_t pixelCount = int64_t(rec.width) * rec.height;
    if (rec.stride != stride || rec.imageSize != stride * rec.height || rec.pixelCount != pixelCount)
      return Fail(why, "layer sizes disagree with the picture header");
    if (int64_t(rec.imageSize) + 2 * pixelCount > int64_t(s.Left()))
      return Fail(why, "the file ends before the layer's planes");
    const TextSettings keptText = rec.text;
    const int32_t keptColour = rec.textColour;
    Layer& l = t.slots[slot];
    l.CopyRecordFrom(rec);
    LayerAlloc a;
    a.bitsPerPixel = ph.bitsPerPixel;
    a.paletteColours = ph.paletteColours;
    a.x = rec.x, a.y = rec.y, a.width = rec.width, a.height = rec.height;
    a.paletteMode = 2;
    a.canvasWidth = ph.canvasWidth, a.canvasHeight = ph.canvasHeight;
    a.kind = rec.kind;
    if (!t.AllocateLayer(slot, a)) return Fail(why, "out of memory for a layer");
    if (l.imageSize != rec.imageSize || l.pixelCount != rec.pixelCount) return Fail(why, "layer sizes disagree");
    if (!s.Read(l.pixels.data(), l.pixels.size()) || !s.Read(l.alpha.data(), l.alpha.size()) ||
        !s.Read(l.effect.data(), l.effect.size()))
      return Fail(why, "the file ends inside a layer's planes");
    // Text-layer extras are not in these files: a text layer comes back as its record.
    l.text = keptText;
    l.textColour = keptColour;
    l.textLength = 0;
    l.textBuffer.clear();
    l.inUse = 1;
    l.below = int16_t(previous);
    l.above = rec.above;
    previous = slot;
    if (rec.above == -1) break;
    expected = rec.above;
  }
  t.bottom = bottom;
  t.active = t.Used(active) && t.DistanceBetween(bottom, active) >= 0 ? active : bottom;
  t.palette.assign(size_t(ph.paletteColours) * 4, 0);
  t.header.editCopySize = 0;
  t.selectionExists = false;
  t.ResetSelection(t.active);
  return true;
}

bool ReadPoint(Src& s, MPoint* p) {
  return s.Expect(' ') && s.Int(&p->x) && s.Expect(' ') && s.Int(&p->y);
}

bool ReadObjects(Src& s, std::vector<MeasureObject>& out, std::string* why) {
  std::string word;
  int32_t count = 0;
  if (!s.Expect('\n') || !s.Expect(' ') || !s.Word(&word) || word != "NumOf_MicObjs" || !s.Int(&count))
    return Fail(why, "missing object count");
  if (count < 0 || count > kMaxObjects) return Fail(why, "object count outside 0...700");
  int marker = 0;
  for (int i = 0; i < count; ++i) {
    MeasureObject o;
    int32_t points = 0, attr2 = 0, textLength = 0;
    if (!s.Expect('\n') || !s.Word(&o.kind) || !s.Int(&points) || !s.Int(&attr2) || !s.Int(&textLength))
      return Fail(why, "damaged object line");
    if (!IsKnownKind(o.kind)) return Fail(why, "unknown object kind");
    int lo, hi;
    KindPointRange(o.kind, &lo, &hi);
    if (points < lo || points > hi) return Fail(why, "point count wrong for the kind");
    if (textLength < 0 || textLength > kMaxNoteUnits) return Fail(why, "bad note length");
    o.textAttr2 = attr2;
    for (int k = 0; k < points; ++k) {
      if (IsCurveKind(o.kind)) {
        MPoint n, a, b;
        if (!ReadPoint(s, &n) || !ReadPoint(s, &a) || !ReadPoint(s, &b)) return Fail(why, "the file ends in the points");
        o.curve.nodes.push_back(n), o.curve.first.push_back(a), o.curve.second.push_back(b);
      } else {
        MPoint p;
        if (!ReadPoint(s, &p)) return Fail(why, "the file ends in the points");
        o.points.push_back(p);
      }
    }
    if (o.kind == kind::kText) {
      if (!s.Expect('\n') || !ReadNote(s, textLength, &o.text)) return Fail(why, "damaged note text");
    }
    // Marker numbers are not stored: the markers are numbered again in order.
    if (o.kind == kind::kPoint) o.marker = ++marker;
    out.push_back(std::move(o));
  }
  return true;
}

}  // namespace

bool EncodeSco(const LayerStack& L, const std::vector<MeasureObject>& objects, std::vector<uint8_t>& out,
               std::string* why) {
  out.clear();
  const std::vector<int> chain = L.Chain();
  if (chain.empty()) return Fail(why, "the picture has no layers");
  Put(out, "\n " + std::to_string(L.bottom) + " " + std::to_string(L.active));
  uint8_t head[kPictureHeaderBytes];
  WritePictureHeader(L.header, head);
  Put(out, head, sizeof head);
  for (size_t ci = 0; ci < chain.size(); ++ci) {
    const int slot = chain[ci];
    const Layer& l = L.slots[slot];
    if (l.imageSize < 0 || l.pixels.size() != size_t(l.imageSize) || l.alpha.size() != size_t(l.pixelCount) ||
        l.effect.size() != size_t(l.pixelCount))
      return Fail(why, "a layer's buffers disagree with its record");
    Put(out, Fmt("\n %d ", slot));
    Layer rec;
    rec.CopyRecordFrom(l);
    // The chain as written: the last layer ends it even if a stale link says otherwise.
    rec.above = int16_t(ci + 1 == chain.size() ? -1 : chain[ci + 1]);
    uint8_t r[kLayerRecordBytes];
    WriteLayerRecord(rec, r);
    Put(out, r, sizeof r);
    Put(out, l.pixels.data(), l.pixels.size());
    Put(out, l.alpha.data(), l.alpha.size());
    Put(out, l.effect.data(), l.effect.size());
  }
  const int count = std::min<int>(int(objects.size()), kMaxObjects);
  Put(out, Fmt("\n NumOf_MicObjs %d", count));
  for (int i = 0; i < count; ++i) {
    const MeasureObject& o = objects[size_t(i)];
    std::string kindField;
    const size_t chars = Utf8Chars(o.kind);
    if (chars < 15) kindField.assign(15 - chars, ' ');
    kindField += o.kind;
    const std::string note = o.kind == kind::kText ? ToUtf8(o.text) : std::string();
    const int noteUnits = o.kind == kind::kText ? int(o.text.size()) : 0;
    Put(out, "\n" + kindField + " " + std::to_string(o.PointCount()) + " " + std::to_string(o.textAttr2) + " " +
                 std::to_string(noteUnits));
    if (IsCurveKind(o.kind)) {
      for (size_t k = 0; k < o.curve.nodes.size(); ++k)
        for (const MPoint& p : {o.curve.nodes[k], o.curve.first[k], o.curve.second[k]})
          Put(out, " " + std::to_string(p.x) + " " + std::to_string(p.y));
    } else {
      for (const MPoint& p : o.points) Put(out, " " + std::to_string(p.x) + " " + std::to_string(p.y));
    }
    if (o.kind == kind::kText) Put(out, "\n" + note);
  }
  return true;
}

bool DecodeSco(const uint8_t* data, size_t size, ScoContents& out, std::string* why) {
  Src s{data, size};
  try {
    auto layers = std::make_unique<LayerStack>();
    std::vector<MeasureObject> objects;
    if (!ReadLayers(s, *layers, why) || !ReadObjects(s, objects, why)) return false;
    out.layers = std::move(*layers);
    out.objects = std::move(objects);
    return true;
  } catch (const std::bad_alloc&) {
    return Fail(why, "out of memory");
  }
}

bool WriteScoFile(const std::filesystem::path& path, const LayerStack& layers,
                  const std::vector<MeasureObject>& objects, std::string* why) {
  std::vector<uint8_t> bytes;
  if (!EncodeSco(layers, objects, bytes, why)) return false;
  std::filesystem::path tmp = path;
  tmp += ".new";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return Fail(why, "cannot create the file");
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.flush();
    if (!f) {
      f.close();
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return Fail(why, "cannot write the file");
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    return Fail(why, "cannot replace the file");
  }
  return true;
}

bool ReadScoFile(const std::filesystem::path& path, ScoContents& out, std::string* why) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return Fail(why, "cannot open the file");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return DecodeSco(bytes.data(), bytes.size(), out, why);
}

}  // namespace velmira::measure
