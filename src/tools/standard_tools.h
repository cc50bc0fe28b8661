// Registers the selection, painting, fill and gradient tools with the router, so
// that every router made afterwards has them. Call before the first document opens.
#pragma once

namespace velmira {

void RegisterStandardTools();

}  // namespace velmira
