// Layer effects: the soft shadow kept as an intensity plane beside a layer's
// pixels. The composition draws the plane in the shadow colour under the layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/layer_effect.h"
#include "image/layers.h"

namespace velmira {

class CMirvDoc;

constexpr int kMaxEffectSize = 17;
extern const char* const kLabelLayerEffect;  // "레이어효과(그림자)"

// How far the composition shifts the shadow right and down (as shown) for a size.
int ShadowOffset(int size);

// The "레이어효과" command on the active layer: `remove` switches the effect off and
// clears the plane; otherwise size (clamped 0…17), colour (B, G, R) and the
// transparent-shadow choice are stored and the plane computed. One history step.
bool ApplyLayerEffect(CMirvDoc& doc, bool remove, int size, Rgbq colour, bool transparent);
// The same change on layer `slot` without a step: the command's body, which the
// dialog's live preview runs too so that the two cannot drift. The colour's fourth
// byte is never stored.
bool SetLayerEffect(LayerStack& st, int slot, bool remove, int size, Rgbq colour, bool transparent,
                    void (*progress)(void*, int) = nullptr, void* progressArg = nullptr);

}  // namespace velmira
