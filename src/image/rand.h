// The program-wide random generator. Random effects (brush and spray dabs, noise
// filters) draw from one sequence that starts the same way in every run, so that a
// stroke replayed from a script gives the same pixels. Never seeded from the clock.
#pragma once

#include <cstdint>

namespace velmira {

constexpr int kRandMax = 32767;

// Next value in 0 … 32767: s = s × 214013 + 2531011, value = (s >> 16) & 0x7FFF.
int ProgramRand();
// Restarts the sequence (seed 1 is the start of every run).
void SeedProgramRand(uint32_t seed = 1);
// The place in the sequence. Code that draws many values in a tight loop steps a copy
// with StepRand and hands it back with SeedProgramRand: the same values as as many
// calls of ProgramRand.
uint32_t ProgramRandState();
inline int StepRand(uint32_t& state) {
  state = state * 214013u + 2531011u;
  return int((state >> 16) & 0x7FFF);
}

}  // namespace velmira
