// Saves a picture as GIF the way the editor does: open it through the format
// dispatch, reduce a full-colour picture to 256 octree colours, write "GIF87a".
// Used by compare_gif.sh beside ImageMagick and libvips.
//
//   gif_driver IN OUT.gif
#include <cstdio>

#include "formats/format_dispatch.h"
#include "processing/colour_depth.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gif_driver IN OUT.gif\n");
    return 2;
  }
  velmira::CImageBuffer image;
  if (!velmira::LoadFile(image, argv[1], velmira::FormatFromPath(argv[1]))) {
    std::fprintf(stderr, "gif_driver: %s: %s\n", argv[1], image.LastError().c_str());
    return 1;
  }
  if (image.Bpp() > 8 && !velmira::ReduceTo8Bit(image, image)) {
    std::fprintf(stderr, "gif_driver: %s\n", image.LastError().c_str());
    return 1;
  }
  if (!velmira::SaveFile(image, argv[2], velmira::kFormatGif)) {
    std::fprintf(stderr, "gif_driver: %s: %s\n", argv[2], image.LastError().c_str());
    return 1;
  }
  return 0;
}
