// The measuring tools as the view's tool router drives them: each turns pointer
// events (zoomed-picture space) into the document's measuring commands.
#pragma once

namespace velmira {
class CMirvDoc;

namespace measure {

// Registers every measuring tool with the router (program-wide, once).
void RegisterMeasureTools();

// The open curve of the curve tool is registered (the panel's button, Enter or a
// double click); false when it has too few nodes.
bool FinishCurve(CMirvDoc& doc);
// Choosing any tool registers a pending polyline or polygon and forgets half-made
// angles, references and curves.
void ToolChanging(CMirvDoc& doc);

}  // namespace measure
}  // namespace velmira
