#include "image/recovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>

#include "image/image_buffer.h"
#include "image/le_bytes.h"
#include "image/records.h"
#include "image/text.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// A manifest is a few kilobytes (40 layers of about 900 characters); anything much
// larger is not one.
constexpr uintmax_t kMaxManifestBytes = 1 << 20;
// No layer side beyond this is real; it keeps every product below in 64 bits and
// every buffer size within what the records store (int32).
constexpr int64_t kMaxSide = 1 << 20;

// ---------------------------------------------------------------- text

std::string Escape(std::string_view s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (c <= 0x20 || c == 0x7f || c == '%') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += char(hi * 16 + lo);
    i += 2;
  }
  return true;
}

std::string Hex(const uint8_t* p, size_t n) {
  static const char* hex = "0123456789abcdef";
  std::string out(n * 2, '0');
  for (size_t i = 0; i < n; ++i) {
    out[2 * i] = hex[p[i] >> 4];
    out[2 * i + 1] = hex[p[i] & 15];
  }
  return out;
}

bool Unhex(std::string_view s, std::vector<uint8_t>& out) {
  if (s.size() % 2) return false;
  out.resize(s.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const int hi = HexDigit(s[2 * i]), lo = HexDigit(s[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = uint8_t(hi * 16 + lo);
  }
  return true;
}

std::vector<std::string_view> Split(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t sp = s.find(' ', start);
    if (sp == std::string_view::npos) {
      parts.push_back(s.substr(start));
      break;
    }
    parts.push_back(s.substr(start, sp - start));
    start = sp + 1;
  }
  return parts;
}

template <class T>
bool Number(std::string_view s, T& v, int64_t lo, int64_t hi) {
  int64_t n = 0;
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, n);
  if (r.ec != std::errc() || r.ptr != end || s.empty() || n < lo || n > hi) return false;
  v = T(n);
  return true;
}

bool Unsigned(std::string_view s, uint64_t& v) {
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, v);
  return r.ec == std::errc() && r.ptr == end && !s.empty();
}

bool PlainFileName(const std::string& f) {
  return !f.empty() && f != "." && f != ".." && f.find('/') == std::string::npos &&
         f.find('\0') == std::string::npos;
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

}  // namespace

// ---------------------------------------------------------------- writing

std::string FormatRecoveryManifest(const RecoveryManifest& m) {
  std::ostringstream o;
  const PictureHeader& h = m.header;
  o << kRecoveryMagic << '\n';
  o << "name " << Escape(m.name) << '\n';
  o << "path " << Escape(m.path) << '\n';
  o << "step " << m.step << ' ' << Escape(m.label) << '\n';
  o << "view-format " << m.viewFormat << '\n';
  o << "canvas " << h.canvasWidth << ' ' << h.canvasHeight << ' ' << h.bitsPerPixel << ' ' << h.paletteColours
    << ' ' << int(h.formatType) << '\n';
  o << "title " << Escape(Utf16ToUtf8(h.title.Get())) << '\n';
  if (h.paletteColours > 0) o << "palette " << Hex(m.palette.data(), m.palette.size()) << '\n';
  o << "active " << m.active << '\n';
  for (const RecoveryLayer& rl : m.layers) {
    const Layer& l = rl.record;
    o << "layer " << rl.slot << ' ' << int(l.kind) << ' ' << int(l.blend) << ' ' << int(l.transparency) << ' '
      << l.visible << ' ' << l.x << ' ' << l.y << ' ' << l.width << ' ' << l.height << ' ' << l.stride << ' '
      << l.textLength << ' ' << Escape(Utf16ToUtf8(l.name.Get())) << '\n';
    const RecoveryData& d = rl.data;
    o << "data " << Escape(d.file) << ' ' << d.pixels << ' ' << d.alpha << ' ' << d.effect << ' ' << d.text << ' '
      << d.fileSize << ' ' << d.inode << ' ' << d.mtimeNs << '\n';
    uint8_t rec[kLayerRecordBytes];
    WriteLayerRecord(l, rec);
    o << "record " << Hex(rec, sizeof rec) << '\n';
  }
  o << "end\n";
  return o.str();
}

bool WriteRecoveryManifest(const fs::path& folder, const std::string& fileName, const RecoveryManifest& m) {
  const std::string text = FormatRecoveryManifest(m);
  const fs::path final = folder / fileName;
  const fs::path temp = folder / (fileName + ".new");
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += size_t(n);
  }
  // Only a crash of the program is guarded against, not a power cut: the history
  // files themselves are not synced either, so syncing the manifest buys nothing.
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), final.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool StampRecoveryData(const fs::path& folder, RecoveryData& d) {
  struct stat st;
  if (::stat((folder / d.file).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  d.fileSize = int64_t(st.st_size);
  d.inode = uint64_t(st.st_ino);
  d.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

// ---------------------------------------------------------------- parsing

bool ParseRecoveryManifest(std::string_view text, RecoveryManifest& m, std::string* error) {
  m = RecoveryManifest{};
  std::vector<std::string_view> lines;
  {
    size_t start = 0;
    while (start < text.size()) {
      size_t nl = text.find('\n', start);
      if (nl == std::string_view::npos) return Fail(error, "the manifest ends in the middle of a line");
      lines.push_back(text.substr(start, nl - start));
      start = nl + 1;
    }
  }
  if (lines.empty() || lines[0] != kRecoveryMagic) return Fail(error, "not a recovery manifest");
  bool seen[kMaxLayers] = {};
  bool haveCanvas = false, haveEnd = false, haveStep = false, haveActive = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string where = "line " + std::to_string(i + 1);
    if (haveEnd) return Fail(error, where + ": text after the end");
    const std::vector<std::string_view> f = Split(lines[i]);
    const std::string_view key = f[0];
    if (key == "end" && f.size() == 1) {
      haveEnd = true;
    } else if ((key == "name" || key == "path" || key == "title") && f.size() == 2) {
      std::string v;
      if (!Unescape(f[1], v)) return Fail(error, where + ": bad escape");
      if (key == "name") m.name = v;
      if (key == "path") m.path = v;
      if (key == "title") {
        const std::u16string u = Utf8ToUtf16(v);
        if (u.size() >= size_t(kNameUnits)) return Fail(error, where + ": title too long");
        m.header.title.Set(u);
      }
    } else if (key == "step" && f.size() == 3) {
      if (!Number(f[1], m.step, 0, 1000) || !Unescape(f[2], m.label)) return Fail(error, where + ": bad step");
      haveStep = true;
    } else if (key == "view-format" && f.size() == 2) {
      if (!Number(f[1], m.viewFormat, 0, 255)) return Fail(error, where + ": bad format");
    } else if (key == "canvas" && f.size() == 6) {
      PictureHeader& h = m.header;
      int bpp = 0, format = 0;
      if (!Number(f[1], h.canvasWidth, 1, kMaxSide) || !Number(f[2], h.canvasHeight, 1, kMaxSide) ||
          !Number(f[3], bpp, 1, 32) || !Number(f[4], h.paletteColours, 0, 256) || !Number(f[5], format, 0, 255))
        return Fail(error, where + ": bad canvas");
      if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return Fail(error, where + ": bad depth");
      h.bitsPerPixel = bpp;
      h.formatType = uint8_t(format);
      const int64_t stride = StrideFor(h.canvasWidth, bpp);
      if (stride * h.canvasHeight > INT32_MAX || int64_t(h.canvasWidth) * h.canvasHeight > INT32_MAX)
        return Fail(error, where + ": canvas too large");
      h.imageSize = int32_t(stride * h.canvasHeight);
      h.pixelCount = h.canvasWidth * h.canvasHeight;
      haveCanvas = true;
    } else if (key == "palette" && f.size() == 2) {
      if (!Unhex(f[1], m.palette)) return Fail(error, where + ": bad palette");
    } else if (key == "active" && f.size() == 2) {
      if (!Number(f[1], m.active, 0, kMaxLayers - 1)) return Fail(error, where + ": bad active layer");
      haveActive = true;
    } else if (key == "layer" && f.size() == 13) {
      if (!haveCanvas) return Fail(error, where + ": layer before the canvas");
      if (m.layers.size() >= size_t(kMaxLayers)) return Fail(error, where + ": too many layers");
      RecoveryLayer rl;
      Layer& l = rl.record;
      int kind = 0, blend = 0, transparency = 0;
      if (!Number(f[1], rl.slot, 0, kMaxLayers - 1) || !Number(f[2], kind, 0, kLayerMeasure) ||
          !Number(f[3], blend, 0, kBlendOverlay) || !Number(f[4], transparency, 0, 255) ||
          !Number(f[5], l.visible, 0, 1) || !Number(f[6], l.x, -kMaxSide, kMaxSide) ||
          !Number(f[7], l.y, -kMaxSide, kMaxSide) || !Number(f[8], l.width, 1, kMaxSide) ||
          !Number(f[9], l.height, 1, kMaxSide) || !Number(f[10], l.stride, 1, INT32_MAX) ||
          !Number(f[11], l.textLength, 0, INT32_MAX / 2))
        return Fail(error, where + ": bad layer");
      if (seen[rl.slot]) return Fail(error, where + ": slot listed twice");
      seen[rl.slot] = true;
      l.kind = uint8_t(kind);
      l.blend = uint8_t(blend);
      l.transparency = uint8_t(transparency);
      std::string name;
      if (!Unescape(f[12], name)) return Fail(error, where + ": bad layer name");
      const std::u16string u = Utf8ToUtf16(name);
      if (u.size() >= size_t(kNameUnits)) return Fail(error, where + ": layer name too long");
      l.name.Set(u);
      const int bpp = l.kind == kLayerText ? 8 : RoundBitsPerPixel(m.header.bitsPerPixel);
      const int64_t stride = l.kind == kLayerText ? l.width : StrideFor(l.width, bpp);
      if (stride != l.stride) return Fail(error, where + ": row length does not fit the width");
      if (stride * l.height > INT32_MAX || int64_t(l.width) * l.height > INT32_MAX)
        return Fail(error, where + ": layer too large");
      l.imageSize = int32_t(stride * l.height);
      l.pixelCount = l.width * l.height;
      m.layers.push_back(std::move(rl));
    } else if (key == "data" && f.size() == 9) {
      if (m.layers.empty() || !m.layers.back().data.file.empty()) return Fail(error, where + ": data without a layer");
      RecoveryData& d = m.layers.back().data;
      if (!Unescape(f[1], d.file) || !PlainFileName(d.file)) return Fail(error, where + ": bad file name");
      if (!Number(f[2], d.pixels, -1, INT64_MAX / 4) || !Number(f[3], d.alpha, 0, INT64_MAX / 4) ||
          !Number(f[4], d.effect, 0, INT64_MAX / 4) || !Number(f[5], d.text, -1, INT64_MAX / 4) ||
          !Number(f[6], d.fileSize, 0, INT64_MAX / 4) || !Unsigned(f[7], d.inode) ||
          !Number(f[8], d.mtimeNs, INT64_MIN, INT64_MAX))
        return Fail(error, where + ": bad data line");
    } else if (key == "record" && f.size() == 2) {
      if (m.layers.empty() || m.layers.back().data.file.empty()) return Fail(error, where + ": record out of place");
      std::vector<uint8_t> rec;
      if (!Unhex(f[1], rec) || rec.size() != size_t(kLayerRecordBytes)) return Fail(error, where + ": bad record");
      // The record brings the fields the layer line does not list (text settings,
      // effect); the layer line's fields are the ones that count.
      Layer& l = m.layers.back().record;
      Layer full;
      ReadLayerRecord(rec.data(), kLayerRecordBytes, full);
      const Layer listed = l;
      l.CopyRecordFrom(full);
      l.name = listed.name;
      l.kind = listed.kind;
      l.blend = listed.blend;
      l.transparency = listed.transparency;
      l.visible = listed.visible;
      l.x = listed.x;
      l.y = listed.y;
      l.width = listed.width;
      l.height = listed.height;
      l.stride = listed.stride;
      l.textLength = listed.textLength;
      l.imageSize = listed.imageSize;
      l.pixelCount = listed.pixelCount;
      l.inUse = 1;
      l.below = l.above = -1;
      if (l.partner < -1 || l.partner >= kMaxLayers) l.partner = -1;
    } else {
      return Fail(error, where + ": unknown line");
    }
  }
  if (!haveEnd) return Fail(error, "the manifest is cut short");
  if (!haveCanvas || !haveStep || !haveActive || m.layers.empty()) return Fail(error, "the manifest lacks a part");
  if (m.palette.size() != size_t(m.header.paletteColours) * 4) return Fail(error, "the palette does not fit");
  if (!seen[m.active]) return Fail(error, "the active layer is not listed");
  for (const RecoveryLayer& rl : m.layers)
    if (rl.data.file.empty()) return Fail(error, "a layer has no data line");
  return true;
}

// ---------------------------------------------------------------- reading

namespace {

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const fs::path& p) { fd_ = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW); }
  ~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  bool Stat(struct stat& st) const { return fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode); }
  bool ReadAt(int64_t off, uint8_t* dst, size_t n) const {
    while (n > 0) {
      const ssize_t got = ::pread(fd_, dst, n, off_t(off));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      dst += got;
      n -= size_t(got);
      off += got;
    }
    return true;
  }

 private:
  int fd_ = -1;
};

bool Range(int64_t off, int64_t n, int64_t size) { return off >= 0 && n >= 0 && off <= size && n <= size - off; }

bool ReadLayer(const fs::path& folder, const RecoveryLayer& rl, Layer& l, std::string* error,
               const RecoveryReadOptions& options) {
  const RecoveryData& d = rl.data;
  const std::string what = "layer " + std::to_string(rl.slot) + " (" + d.file + ")";
  ReadOnlyFile in(folder / d.file);
  struct stat st;
  if (!in.Stat(st)) return Fail(error, what + ": the file is missing");
  if (int64_t(st.st_size) != d.fileSize) return Fail(error, what + ": the file has another size than recorded");
  const int64_t mtime = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (options.checkIdentity && (uint64_t(st.st_ino) != d.inode || mtime != d.mtimeNs))
    return Fail(error, what + ": the file was replaced after the manifest was written");
  const Layer& r = rl.record;
  const int64_t size = d.fileSize;
  const int64_t textBytes = r.kind == kLayerText && r.textLength > 0 ? int64_t(r.textLength) * 2 : 0;
  if ((d.pixels >= 0 && !Range(d.pixels, r.imageSize, size)) || !Range(d.alpha, r.pixelCount, size) ||
      !Range(d.effect, r.pixelCount, size) || (textBytes > 0 && !Range(d.text, textBytes, size)) ||
      (textBytes > 0 && d.text < 0))
    return Fail(error, what + ": the file is shorter than the layer");
  // Every size is now bounded by the file's, so these allocations are real.
  try {
    l.pixels.assign(size_t(r.imageSize), uint8_t(255));
    l.alpha.resize(size_t(r.pixelCount));
    l.effect.resize(size_t(r.pixelCount));
  } catch (const std::bad_alloc&) {
    return Fail(error, what + ": not enough memory");
  }
  bool ok = (d.pixels < 0 || in.ReadAt(d.pixels, l.pixels.data(), l.pixels.size())) &&
            in.ReadAt(d.alpha, l.alpha.data(), l.alpha.size()) && in.ReadAt(d.effect, l.effect.data(), l.effect.size());
  l.textBuffer.clear();
  if (ok && textBytes > 0) {
    std::vector<uint8_t> t(static_cast<size_t>(textBytes));
    ok = in.ReadAt(d.text, t.data(), t.size());
    l.textBuffer.resize(size_t(r.textLength));
    for (size_t i = 0; ok && i < l.textBuffer.size(); ++i) l.textBuffer[i] = char16_t(GetU16(&t[2 * i]));
  }
  if (!ok) return Fail(error, what + ": the file cannot be read");
  l.CopyRecordFrom(r);
  return true;
}

}  // namespace

bool ReadRecoveredLayers(const fs::path& folder, const RecoveryManifest& m, LayerStack& out, std::string* error,
                         RecoveryReadOptions options) {
  out.Clear();
  LayerStack built;
  built.header = m.header;
  built.palette = m.palette;
  int previous = -1;
  for (const RecoveryLayer& rl : m.layers) {
    Layer& l = built.slots[rl.slot];
    if (!ReadLayer(folder, rl, l, error, options)) return false;
    l.inUse = 1;
    l.below = int16_t(previous);
    l.above = -1;
    if (previous >= 0) built.slots[previous].above = int16_t(rl.slot);
    previous = rl.slot;
  }
  // A partner (the layer a floating selection came from) must be a listed layer.
  for (const RecoveryLayer& rl : m.layers) {
    Layer& l = built.slots[rl.slot];
    if (l.partner >= 0 && !built.Used(l.partner)) l.partner = -1;
  }
  built.bottom = m.layers.front().slot;
  built.active = m.active;
  built.ResetSelection(built.active);
  built.selectionExists = false;
  out = std::move(built);
  return true;
}

// ---------------------------------------------------------------- folders

namespace {

// The serial in "Recovery_<serial>.vlmrec", or −1.
int SerialOf(const fs::path& manifest) {
  const std::string n = manifest.filename().string();
  const std::string prefix = "Recovery_";
  const std::string ext = kRecoveryExtension;
  if (n.size() <= prefix.size() + ext.size() || n.compare(0, prefix.size(), prefix) != 0 ||
      n.compare(n.size() - ext.size(), ext.size(), ext) != 0)
    return -1;
  int serial = -1;
  if (!Number(std::string_view(n).substr(prefix.size(), n.size() - prefix.size() - ext.size()), serial, 0,
              INT32_MAX))
    return -1;
  return serial;
}

}  // namespace

std::vector<RecoverableDocument> FindRecoverableDocuments(const fs::path& folder, std::vector<std::string>* problems) {
  std::vector<std::pair<int, RecoverableDocument>> found;
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) return {};
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path p = it->path();
    const int serial = SerialOf(p);
    if (serial < 0) continue;
    std::error_code e2;
    const uintmax_t size = fs::file_size(p, e2);
    std::string why;
    RecoverableDocument doc;
    doc.manifest = p;
    if (e2 || size > kMaxManifestBytes) {
      why = "unreadable or too large";
    } else {
      std::ifstream in(p, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) why = "unreadable";
      else ParseRecoveryManifest(text, doc.info, &why);
    }
    if (!why.empty()) {
      if (problems) problems->push_back(p.string() + ": " + why);
      continue;
    }
    found.emplace_back(serial, std::move(doc));
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<RecoverableDocument> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

void DiscardRecoverableDocument(const fs::path& manifest) {
  const int serial = SerialOf(manifest);
  std::error_code ec;
  fs::remove(manifest, ec);
  if (serial < 0) return;
  const std::string s = std::to_string(serial);
  const std::string step = "UD_" + s + "_";
  const std::string initial = "WrIniLrList_Head_" + s + ".vlmtmp";
  const std::string redo = "RedIniLrList_Head_" + s + ".vlmtmp";
  std::vector<fs::path> doomed;
  fs::directory_iterator it(manifest.parent_path(), ec);
  if (ec) return;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::string n = it->path().filename().string();
    if (n == initial || n == redo || (n.compare(0, step.size(), step) == 0 && n.size() > 7 &&
                                      n.compare(n.size() - 7, 7, ".vlmtmp") == 0))
      doomed.push_back(it->path());
  }
  for (const fs::path& p : doomed) fs::remove(p, ec);
}

}  // namespace velmira
