// GIF: decode (frames, extensions, interlace, disposal) and encode with the
// program's own LZW coder.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

// Decodes frame `image.Ext().frameIndex` (0 unless a caller asks for another) into
// `image` as a 1-, 4- or 8-bit palette image with format type 2. Fills the frame
// count, the transparent index and the GIF extras (delay, disposal, loop count,
// frame offsets, comment). On failure `image` keeps its pixels; the last error holds
// the English reason where there is one (a stream that is not a GIF, a frame that
// does not exist and a code size outside 2…9 fail without a text). The stream is
// left right after the data of the decoded frame.
bool GifDecode(CImageBuffer& image, CImageStream& stream);

// Writes `image` (1, 4 or 8 bits per pixel) as a single-frame "GIF87a" stream with a
// graphic control extension, the image's palette as the global table and its
// offsets, delay, disposal, transparent index and comment. Deeper images are refused
// without a text; a stream that reports an error after the final flush stores
// "Write Error in GIF file" in `errors` (which may be `image`'s own copy holder).
bool GifEncode(const CImageBuffer& image, CImageStream& stream, CImageBuffer& errors);

}  // namespace velmira
