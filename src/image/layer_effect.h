// The shadow plane of a layer effect and keeping it in step with the layer's content.
//
// The plane is derived data: it follows from the layer's coverage and the effect
// size. Every edit that changes the coverage (painting, fill, erase, paste, filters,
// transforms) would otherwise have to remember to recompute it; instead the
// composition brings it up to date as its first step, and only for layers whose
// coverage or plane changed since the plane was last computed.
#pragma once

#include <cstdint>
#include <vector>

#include "image/layers.h"

namespace velmira {

// Shadow intensity of every uncovered pixel from the coverage around it: the mean
// coverage of the 2s × 2s window (offsets −s … s − 1) scaled by 1 / (1.5 s²) and
// clamped to 255. Covered pixels keep their value; s = 0 gives 0 everywhere.
// `coverage` and `effect` are width × height bytes.
void ComputeEffectPlane(const std::vector<uint8_t>& coverage, int width, int height, int size,
                        std::vector<uint8_t>& effect, void (*progress)(void*, int) = nullptr,
                        void* progressArg = nullptr);
void ComputeEffectPlane(const Plane& coverage, int width, int height, int size, Plane& effect,
                        void (*progress)(void*, int) = nullptr, void* progressArg = nullptr);

// Fingerprint of everything the layer's effect plane depends on, the plane included
// (an undo that puts back an older plane must be noticed too).
uint64_t EffectSourceKey(const Layer& l);

// Computes the plane of one layer whose effect is on and remembers what it came from.
void ComputeLayerEffect(Layer& l, void (*progress)(void*, int) = nullptr, void* progressArg = nullptr);

// The composition's first step: recomputes the plane of every visible layer whose
// effect is on and whose content changed since its plane was computed. Returns how
// many planes were recomputed.
int RefreshLayerEffects(LayerStack& stack);

}  // namespace velmira
