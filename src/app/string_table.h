// KrStr2JpStr.txt: a replacement text for menu labels, one "key~value|rest" line
// each, in the Korean code page (CP949). UTF-8 files are accepted too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmira {

inline constexpr const char* kStringTableFileName = "KrStr2JpStr.txt";

// CP949 (Unified Hangul Code) to UTF-8; a byte that starts no valid character
// becomes U+FFFD.
std::string Cp949ToUtf8(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

class StringTable {
 public:
  static constexpr int kMaxLines = 200;
  // Key and value are kept to 79 bytes of the Korean code page each.
  static constexpr int kMaxBytes = 79;

  struct Entry {
    std::string key;    // UTF-8
    std::string value;  // UTF-8
  };

  // Replaces the table with the file's entries. An empty table when nothing is
  // usable.
  void Parse(std::span<const uint8_t> bytes);
  // False (and an empty table) when the file cannot be read.
  bool Load(const std::filesystem::path& file);

  const std::vector<Entry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  // The value for exactly this key, or null.
  const std::string* Find(std::string_view key) const;
  // A menu label with its replacement: the whole label, else the part before its
  // accelerator text ("\t…"), which is kept. Unknown labels come back unchanged.
  std::string Translate(std::string_view label) const;

 private:
  std::vector<Entry> entries_;
};

}  // namespace velmira
