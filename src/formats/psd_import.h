// Contributors: read CONTRIBUTING.md at the top of the tree first.
// PSD: the merged composite image only, delivered as a 32-bit pixel block.
#pragma once

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira {

enum class PsdResult : int {
  Ok = 0,
  // further result codes are the importer's own
};

// Reads the composite image of a PSD stream into `image` (32 bits per pixel).
PsdResult PsdImport(CImageStream& stream, CImageBuffer& image);

}  // namespace velmira
