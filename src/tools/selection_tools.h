// The selection tools as the view drives them: rectangle (1342), free/lasso (1343),
// magic wand (1344), polygon (1345) and the colour-range click (3344). The router
// does the family steps (clearing, closing, the outline and its timer); these do the
// mask work of each event through the routines of selection.h.
#pragma once

#include "tools/tool_router.h"

namespace velmira {

// Registers the five tools' factories (routers made afterwards get them). Calling it
// again registers them again, which changes nothing.
void RegisterSelectionTools();

// Re-runs the colour-range selection with frame.rangeColour, rangeTolerance and
// rangeAdd (the dialog's slider moved): the selection, the outline and its timer are
// updated as a click does, and frame.rangeCount / rangePercent show the result. In
// add mode the pass replaces the previous pass rather than adding on top of it, as
// long as the selection is still the one that pass left. Returns the number of
// matching pixels, −1 when refused (no layer, or a text layer).
int ReapplyColourRange(CMirvDoc& doc, ToolRouter& router, ToolView& view);

}  // namespace velmira
