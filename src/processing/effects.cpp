#include "processing/effects.h"

#include <algorithm>

#include "image/ui_text.h"
#include "image/doc.h"

namespace velmira {

const char* const kLabelLayerEffect = QT_TR_NOOP("레이어효과(그림자)");

int ShadowOffset(int size) { return std::max(1, size / 2); }

bool ApplyLayerEffect(CMirvDoc& doc, bool remove, int size, Rgbq colour, bool transparent) {
  struct Prog {
    static void Report(void* d, int p) { static_cast<CMirvDoc*>(d)->Host().Progress(p); }
  };
  return doc.RunEdit(TextRule::Active, true, kLabelLayerEffect, kStepPixels, [&](LayerStack& st, Layer&) {
    return SetLayerEffect(st, st.active, remove, size, colour, transparent, &Prog::Report, &doc);
  });
}

bool SetLayerEffect(LayerStack& st, int slot, bool remove, int size, Rgbq colour, bool transparent,
                    void (*progress)(void*, int), void* progressArg) {
  Layer* found = st.Get(slot);
  if (!found) return false;
  Layer& l = *found;
  if (l.effect.size() != size_t(l.pixelCount)) l.effect.assign(size_t(l.pixelCount), 0);
  if (remove) {
    l.effectOn = 0;
    std::fill(l.effect.begin(), l.effect.end(), uint8_t(0));
  } else {
    l.effectOn = 1;
    l.effectSize = uint8_t(std::clamp(size, 0, kMaxEffectSize));
    l.effectColour = int32_t(colour & 0xFFFFFF);
    l.transparentShadow = transparent ? 1 : 0;
    ComputeLayerEffect(l, progress, progressArg);
  }
  l.dirty = 1;
  return true;
}

}  // namespace velmira
