// The painting tools as the view drives them: brush, spray, water drop, dot, line,
// polyline, circle, eraser and colour picker. The router does the steps every tool
// of a family shares (revert before a preview, commit after a finished step, the
// history label); these tools map the view points to layer pixels and paint.
#pragma once

namespace velmira {

// Registers the tool factories for 1346, 1347, 1350, 1354, 1355, 1356, 1357, 1380 and
// 2097. Calling it again changes nothing.
void RegisterPaintingTools();

}  // namespace velmira
