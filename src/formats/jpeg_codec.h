// JPEG through libjpeg (the 6b interface of libjpeg-turbo). Library errors come back
// as failures carrying the library's message; they never end the process.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

// Colour JPEGs become 24-bit images, greyscale ones 8-bit images with a grey
// palette; CMYK and YCCK files are converted to 24 bits. On failure `image` is
// unchanged except for its last-error text.
bool JpegDecode(CImageBuffer& image, CImageStream& stream);

// 24- and 32-bit images are written as colour JPEGs, images whose palette is the
// grey ramp as one-component JPEGs; any other palette image is refused. Quality is
// the image's JPEG-quality byte (values above 100 mean 100), baseline only.
bool JpegEncode(CImageBuffer& image, CImageStream& stream);

}  // namespace velmira
