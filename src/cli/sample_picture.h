// The bundled sample picture, drawn from code so that the project owns every pixel.
#pragma once

#include "image/image_buffer.h"

namespace velmira {

// An 800 × 600 landscape: sky, sun, hills, a lake with a reflection, colour bars.
bool DrawSamplePicture(CImageBuffer& out);

}  // namespace velmira
