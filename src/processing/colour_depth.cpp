#include "processing/colour_depth.h"
namespace velmira {
bool ReduceTo8Bit(const CImageBuffer&, CImageBuffer& out8) { out8.SetLastError("not yet"); return false; }
}
