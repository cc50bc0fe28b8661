// TIFF through libtiff over CImageStream: the page named by the image's frame index
// is read (the page count comes back in the frame count) and shown upright whatever
// its orientation tag says; one page is written per file.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

// Bilevel, grey and palette pages (1 to 16 bits per sample) keep a palette; every
// other page (RGB, CMYK, YCbCr, LogLuv, ...) becomes 24-bit. 16-bit samples are cut
// to their high byte. On failure `image` is unchanged except for its last-error text.
bool TiffDecode(CImageBuffer& image, CImageStream& stream);

// 1-bit: CCITT Group 3; 4-bit: uncompressed; 8-bit: PackBits; 24-bit (and 32-bit,
// whose fourth byte is dropped): RGB with JPEG compression at the image's JPEG
// quality, 8 rows per strip.
bool TiffEncode(CImageBuffer& image, CImageStream& stream);

}  // namespace velmira
