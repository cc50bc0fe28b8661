#include "ui/command_fronts.h"

namespace velmira {

const CommandFronts& Fronts() {
  static const CommandFronts fronts = [] {
    CommandFronts f;
    RegisterFrameFronts(f);
    RegisterPanelFronts(f);
    RegisterProcessingFronts(f);
    RegisterTransformFronts(f);
    RegisterToolFronts(f);
    RegisterGuideFronts(f);
    RegisterDecorationFronts(f);
    RegisterScanFronts(f);
    RegisterMeasureFronts(f);
    RegisterMovieFronts(f);
    return f;
  }();
  return fronts;
}

}  // namespace velmira
