#include "image/rand.h"

namespace velmira {

namespace {
uint32_t g_state = 1;
}

int ProgramRand() {
  g_state = g_state * 214013u + 2531011u;
  return int((g_state >> 16) & 0x7FFF);
}

void SeedProgramRand(uint32_t seed) { g_state = seed; }

uint32_t ProgramRandState() { return g_state; }

}  // namespace velmira
