#include "online/update_version.h"
#include "image/ui_text.h"

#include <climits>
#include <cstdio>

namespace velmira::online {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::optional<int> ParseLeadingInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<int> OnlineVersion(std::string_view reply) {
  if (reply.size() > kUpdateReadLimit) reply = reply.substr(0, kUpdateReadLimit);
  const std::optional<int> n = ParseLeadingInt(reply);
  if (!n) return std::nullopt;
  const long long scaled = static_cast<long long>(*n) * 100;
  if (scaled > INT_MAX || scaled < INT_MIN) return std::nullopt;
  return static_cast<int>(scaled);
}

bool IsNewer(int ownVersion, std::optional<int> onlineVersion) {
  return onlineVersion && ownVersion < *onlineVersion;
}

std::string NewVersionText(int onlineVersion) {
  const int v = onlineVersion / 100;
  char text[64];
  // Two digits after the point: 309 is 3.09, not 3.9, which would read as newer than 3.68.
  std::snprintf(text, sizeof text, UiText(" 신버전  %d.%02d"), v / 100, v % 100);
  return text;
}

std::string UpdateFileUrl(const char* environmentBase, std::string_view configuredBase) {
  std::string base = environmentBase && *environmentBase ? Trimmed(environmentBase) : Trimmed(configuredBase);
  if (base.empty()) return std::string();
  if (base.back() != '/') base.push_back('/');
  return base + kUpdateFileName;
}

}  // namespace velmira::online
