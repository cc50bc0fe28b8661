// Explicit little-endian reads and writes for every stored record: files must not
// depend on the layout a compiler gives a struct.
#pragma once

#include <cstdint>

namespace velmira {

inline void PutU8(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); }
inline void PutU16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void PutI16(uint8_t* p, int32_t v) { PutU16(p, uint32_t(v)); }
inline void PutI32(uint8_t* p, int32_t v) { PutU32(p, uint32_t(v)); }
inline uint32_t GetU16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
inline uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int16_t GetI16(const uint8_t* p) { return int16_t(GetU16(p)); }
inline int32_t GetI32(const uint8_t* p) { return int32_t(GetU32(p)); }

}  // namespace velmira
