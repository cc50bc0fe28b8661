// UTF-8 (messages, labels in code) and UTF-16 (names and text stored in records).
#pragma once

#include <string>
#include <string_view>

namespace velmira {

std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);
// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace velmira
