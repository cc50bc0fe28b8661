#include "tools/standard_tools.h"

#include "tools/fill_tools.h"
#include "tools/guide_path.h"
#include "tools/paint_tools.h"
#include "tools/selection_tools.h"

namespace velmira {

void RegisterStandardTools() {
  RegisterSelectionTools();
  RegisterPaintingTools();
  RegisterFillTools();
  RegisterGuidePathTools();
}

}  // namespace velmira
