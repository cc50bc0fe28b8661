// Contributors: read CONTRIBUTING.md at the top of the tree first.
// GIF: decode (frames, extensions, interlace, disposal) and encode with the
// program's own LZW coder.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

bool GifDecode(CImageBuffer& image, CImageStream& stream);
bool GifEncode(const CImageBuffer& image, CImageStream& stream, CImageBuffer& errors);

}  // namespace velmira
