// The fill (1352) and gradient (1353) tools as the router drives them: a click
// floods the area under the pointer; a drag shows a one-pixel line from its start
// and lays the gradient along it when the button is let go.
#pragma once

namespace velmira {

// Registers the tool factories for 1352 and 1353 with the router; calling it again
// changes nothing.
void RegisterFillTools();

}  // namespace velmira
