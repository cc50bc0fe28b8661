#include "measure/calibration.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace velmira::measure {

namespace {

void Append(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// Units are single words in the file: the reader takes a word, so spaces would shift
// every later field and an empty unit would swallow the next number.
std::string WordUnit(const std::string& u) {
  std::string w;
  for (unsigned char c : u) w.push_back(std::isspace(c) ? '_' : char(c));
  return w.empty() ? std::string("pixel") : w;
}

// Text-mode reading: CR LF back to LF.
std::vector<uint8_t> FromTextMode(const uint8_t* d, size_t n) {
  std::vector<uint8_t> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    if (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n') continue;
    out.push_back(d[i]);
  }
  return out;
}

struct Reader {
  const std::vector<uint8_t>& b;
  size_t pos = 0;
  void SkipSpace() {
    while (pos < b.size() && std::isspace(b[pos])) ++pos;
  }
  bool Int(int32_t* v) {
    SkipSpace();
    size_t p = pos;
    bool neg = false;
    if (p < b.size() && (b[p] == '-' || b[p] == '+')) neg = b[p++] == '-';
    int64_t n = 0;
    const size_t digits = p;
    while (p < b.size() && std::isdigit(b[p])) {
      n = n * 10 + (b[p++] - '0');
      if (n > INT32_MAX) return false;
    }
    if (p == digits) return false;
    pos = p;
    *v = int32_t(neg ? -n : n);
    return true;
  }
  bool Word(std::string* w) {
    SkipSpace();
    w->clear();
    while (pos < b.size() && !std::isspace(b[pos])) w->push_back(char(b[pos++]));
    return !w->empty();
  }
  // The real length as the writer's "%.2f" makes it: the name follows with no
  // separator, so at most two decimals are taken — a name starting with a digit
  // must not run into the number.
  bool Length(float* v) {
    SkipSpace();
    size_t p = pos;
    std::string t;
    if (p < b.size() && (b[p] == '-' || b[p] == '+')) t.push_back(char(b[p++]));
    size_t start = p;
    while (p < b.size() && std::isdigit(b[p])) t.push_back(char(b[p++]));
    if (p == start) return false;
    if (p < b.size() && b[p] == '.') {
      t.push_back('.');
      ++p;
      for (int i = 0; i < 2 && p < b.size() && std::isdigit(b[p]); ++i) t.push_back(char(b[p++]));
    }
    pos = p;
    *v = std::strtof(t.c_str(), nullptr);
    return true;
  }
};

}  // namespace

const std::vector<std::string>& UnitChoices() {
  static const std::vector<std::string> u = {"pixel", "mm",   "um",     "ums",  "minch",
                                             "minches", "meter", "meters", "yard", "yards"};
  return u;
}

std::vector<uint8_t> EncodeCalibration(const std::vector<CalibrationEntry>& entries, int selected) {
  int valid = 0, position = 0;
  for (size_t i = 0; i < entries.size() && valid < kMaxCalibrations; ++i) {
    if (!entries[i].valid) continue;
    if (int(i) < selected) ++position;
    ++valid;
  }
  if (selected < 0 || size_t(selected) >= entries.size() || !entries[size_t(selected)].valid) position = 0;
  std::vector<uint8_t> raw;
  char buf[256];
  std::snprintf(buf, sizeof buf, "\n %d %d", valid, position);
  Append(raw, buf);
  int written = 0;
  for (const CalibrationEntry& e : entries) {
    if (!e.valid || written >= kMaxCalibrations) continue;
    ++written;
    const size_t chars = std::min(e.name.size(), size_t(kMaxCalibrationName));
    const double length = std::isfinite(e.realLength) ? double(e.realLength) : 1.0;
    std::snprintf(buf, sizeof buf, " %d %d %d %.2f", int(chars), e.refX, e.refY, length);
    Append(raw, "\n " + WordUnit(e.unit) + buf);
    for (size_t i = 0; i < chars; ++i) {
      raw.push_back(uint8_t(e.name[i] & 0xFF));
      raw.push_back(uint8_t(e.name[i] >> 8));
    }
  }
  // Text mode: every LF byte, those inside names included, is written as CR LF.
  std::vector<uint8_t> out;
  out.reserve(raw.size() + 64);
  for (uint8_t c : raw) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

CalibrationData DecodeCalibration(const uint8_t* data, size_t size) {
  CalibrationData d;
  const std::vector<uint8_t> b = FromTextMode(data, size);
  Reader r{b};
  int32_t count = 0, selected = 0;
  if (!r.Int(&count) || !r.Int(&selected)) return d;
  count = std::clamp(count, 0, kMaxCalibrations);
  d.selected = std::max(0, selected);
  for (int i = 0; i < count; ++i) {
    CalibrationEntry e;
    int32_t chars = 0;
    if (!r.Word(&e.unit) || !r.Int(&chars) || !r.Int(&e.refX) || !r.Int(&e.refY) || !r.Length(&e.realLength))
      break;
    // Hundreds of digits overflow a float; "inf" would not read back.
    if (!std::isfinite(e.realLength)) break;
    chars = std::clamp(chars, 0, kMaxCalibrationName);
    if (b.size() - r.pos < size_t(chars) * 2) break;
    for (int k = 0; k < chars; ++k, r.pos += 2) e.name.push_back(char16_t(b[r.pos] | (b[r.pos + 1] << 8)));
    e.valid = true;
    d.entries.push_back(std::move(e));
  }
  return d;
}

bool WriteCalibrationFile(const std::filesystem::path& path, const std::vector<CalibrationEntry>& entries,
                          int selected) {
  const std::vector<uint8_t> bytes = EncodeCalibration(entries, selected);
  std::filesystem::path tmp = path;
  tmp += ".new";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.flush();
    if (!f) {
      f.close();
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) std::filesystem::remove(tmp, ec);
  return !ec;
}

CalibrationData ReadCalibrationFile(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return {};
  // The file holds at most 30 short lines; anything much longer is not ours.
  std::vector<uint8_t> bytes;
  char buf[4096];
  while (f && bytes.size() < (1u << 20)) {
    f.read(buf, sizeof buf);
    bytes.insert(bytes.end(), buf, buf + f.gcount());
  }
  return DecodeCalibration(bytes.data(), bytes.size());
}

std::filesystem::path CalibrationPath(const std::filesystem::path& dataFolder,
                                      const std::filesystem::path& shareFolder) {
  if (dataFolder.empty()) return {};
  const std::filesystem::path p = dataFolder / kCalibrationFileName;
  std::error_code ec;
  if (!std::filesystem::exists(p, ec) && !shareFolder.empty()) {
    const std::filesystem::path shipped = shareFolder / kCalibrationFileName;
    if (std::filesystem::exists(shipped, ec)) {
      std::filesystem::create_directories(dataFolder, ec);
      std::filesystem::copy_file(shipped, p, ec);
    }
  }
  return p;
}

void ActivateCalibration(MeasureSettings& s, int index) {
  if (index < 0 || size_t(index) >= s.calibrations.size()) return;
  const CalibrationEntry& e = s.calibrations[size_t(index)];
  s.calibrationName = e.name;
  s.unit = e.unit;
  s.refX = e.refX;
  s.refY = e.refY;
  s.realLength = e.realLength;
  s.selectedCalibration = index;
}

void LoadCalibrations(MeasureSettings& s, const std::filesystem::path& path) {
  CalibrationData d = ReadCalibrationFile(path);
  s.calibrations = std::move(d.entries);
  s.selectedCalibration = -1;
  if (d.selected >= 0 && d.selected < int(s.calibrations.size())) {
    ActivateCalibration(s, d.selected);
    s.refX = std::max(1, s.refX);
    s.refY = std::max(1, s.refY);
  }
}

int ValidCalibrations(const MeasureSettings& s) {
  return int(std::count_if(s.calibrations.begin(), s.calibrations.end(), [](auto& e) { return e.valid; }));
}

StoreResult StoreCalibration(MeasureSettings& s, const CalibrationEntry& in, int* index) {
  CalibrationEntry e = in;
  if (e.name.size() > size_t(kMaxCalibrationName)) e.name.resize(size_t(kMaxCalibrationName));
  e.valid = true;
  for (size_t i = 0; i < s.calibrations.size(); ++i) {
    CalibrationEntry& old = s.calibrations[i];
    if (old.valid && old.name == e.name) {
      old.refX = e.refX, old.refY = e.refY, old.unit = e.unit, old.realLength = e.realLength;
      s.selectedCalibration = int(i);
      if (index) *index = int(i);
      return StoreResult::Updated;
    }
  }
  if (ValidCalibrations(s) >= kMaxCalibrations) return StoreResult::Full;
  // Entries removed earlier leave no gap in the file; drop them here too.
  std::erase_if(s.calibrations, [](auto& c) { return !c.valid; });
  s.calibrations.push_back(e);
  s.selectedCalibration = int(s.calibrations.size()) - 1;
  if (index) *index = s.selectedCalibration;
  return StoreResult::Added;
}

int DeleteCalibration(MeasureSettings& s, const std::u16string& name) {
  int firstValid = -1, removed = 0;
  for (size_t i = 0; i < s.calibrations.size(); ++i) {
    CalibrationEntry& e = s.calibrations[i];
    if (!e.valid) continue;
    if (firstValid < 0) firstValid = int(i);
    if (e.name == name) e.valid = false, ++removed;
  }
  if (removed) s.selectedCalibration = firstValid;
  return removed;
}

}  // namespace velmira::measure
