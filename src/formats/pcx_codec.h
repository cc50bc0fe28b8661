// Contributors: read CONTRIBUTING.md at the top of the tree first.
// PCX: decode only.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

bool PcxDecode(CImageBuffer& image, CImageStream& stream);

}  // namespace velmira
