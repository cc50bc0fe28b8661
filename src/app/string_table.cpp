#include "app/string_table.h"

#include <iconv.h>

#include <mutex>

#include "app/settings_file.h"

namespace velmira {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

bool IsLead(uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(uint8_t b) {
  return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

// glibc's converter for one double-byte character at a time; shared, so guarded.
class Cp949Converter {
 public:
  Cp949Converter() : cd_(iconv_open("UTF-8", "CP949")) {}
  ~Cp949Converter() {
    if (cd_ != iconv_t(-1)) iconv_close(cd_);
  }
  bool Convert(const char pair[2], std::string& out) {
    if (cd_ == iconv_t(-1)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {pair[0], pair[1]};
    char buf[8];
    char* ip = in;
    char* op = buf;
    size_t il = 2, ol = sizeof buf;
    if (iconv(cd_, &ip, &il, &op, &ol) == size_t(-1) || il != 0) return false;
    out.append(buf, size_t(op - buf));
    return true;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Cp949Converter& Converter() {
  static Cp949Converter c;
  return c;
}

// Length in bytes of the UTF-8 character at s[i], 0 when invalid.
size_t Utf8Length(std::string_view s, size_t i, char32_t* cp) {
  const uint8_t b = uint8_t(s[i]);
  size_t n;
  char32_t c;
  if (b < 0x80) {
    *cp = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    n = 2;
    c = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3;
    c = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4;
    c = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    const uint8_t t = uint8_t(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *cp = c;
  return n;
}

// The text cut to `limit` bytes of the code page, never inside a character.
// Its width in CP949 is one byte for ASCII and two for anything else, so a UTF-8
// file gets the same limit as the Korean file it stands for.
std::string_view CutCp949(std::string_view s, size_t limit) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t n = IsLead(uint8_t(s[i])) && i + 1 < s.size() && IsTrail(uint8_t(s[i + 1])) ? 2 : 1;
    if (i + n > limit) break;
    i += n;
  }
  return s.substr(0, i);
}

std::string_view CutUtf8(std::string_view s, size_t limit) {
  size_t i = 0, width = 0;
  while (i < s.size()) {
    char32_t c;
    size_t n = Utf8Length(s, i, &c);
    if (n == 0) n = 1;
    const size_t w = c < 0x80 ? 1 : 2;
    if (width + w > limit) break;
    width += w;
    i += n;
  }
  return s.substr(0, i);
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    char32_t c;
    const size_t n = Utf8Length(s, i, &c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Cp949ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 3 / 2);
  for (size_t i = 0; i < s.size();) {
    const uint8_t b = uint8_t(s[i]);
    if (b < 0x80) {
      out.push_back(char(b));
      ++i;
    } else if (IsLead(b) && i + 1 < s.size() && IsTrail(uint8_t(s[i + 1]))) {
      if (!Converter().Convert(s.data() + i, out)) out += kReplacement;
      i += 2;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

void StringTable::Parse(std::span<const uint8_t> bytes) {
  entries_.clear();
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // A byte-order mark says UTF-8, but only a file that is UTF-8 throughout is
  // read as such; anything else is the Korean code page.
  if (all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
  const bool utf8 = IsValidUtf8(all);
  size_t pos = 0;
  for (int line = 0; line < kMaxLines && pos < all.size(); ++line) {
    size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view text = all.substr(pos, end - pos);
    pos = end + 1;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const size_t tilde = text.find('~');
    if (tilde == std::string_view::npos || tilde == 0) continue;
    std::string_view key = text.substr(0, tilde);
    std::string_view value = text.substr(tilde + 1);
    value = value.substr(0, value.find('|'));
    Entry e;
    if (utf8) {
      e.key = std::string(CutUtf8(key, kMaxBytes));
      e.value = std::string(CutUtf8(value, kMaxBytes));
    } else {
      e.key = Cp949ToUtf8(CutCp949(key, kMaxBytes));
      e.value = Cp949ToUtf8(CutCp949(value, kMaxBytes));
    }
    entries_.push_back(std::move(e));
  }
}

bool StringTable::Load(const std::filesystem::path& file) {
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(file, bytes)) {
    entries_.clear();
    return false;
  }
  Parse(bytes);
  return true;
}

const std::string* StringTable::Find(std::string_view key) const {
  for (const Entry& e : entries_)
    if (e.key == key) return &e.value;
  return nullptr;
}

std::string StringTable::Translate(std::string_view label) const {
  if (const std::string* v = Find(label)) return *v;
  const size_t tab = label.find('\t');
  if (tab != std::string_view::npos) {
    if (const std::string* v = Find(label.substr(0, tab))) return *v + std::string(label.substr(tab));
  }
  return std::string(label);
}

}  // namespace velmira
