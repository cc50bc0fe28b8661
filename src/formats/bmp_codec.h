// BMP: every variant Windows and OS/2 programs write (core and extended headers,
// bare DIBs, RLE8, RLE4, 16- and 32-bit bit fields, top-down rows) is read; files are
// always written uncompressed, as the image's own packed DIB behind a file header.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

// On success `image` becomes the decoded picture (format type 0); on failure it is
// unchanged except for its last-error text.
bool BmpDecode(CImageBuffer& image, CImageStream& stream);
bool BmpEncode(CImageBuffer& image, CImageStream& stream);

}  // namespace velmira
