// Converts one picture through the program's own codecs, the way the editor opens
// and saves: LoadFile with the input's format, SaveFile with the output's. Used by
// compare_codecs.sh until velmira-cli can stand in for it.
//
//   codec_driver IN OUT
#include <cstdio>

#include "formats/format_dispatch.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: codec_driver IN OUT\n");
    return 2;
  }
  velmira::CImageBuffer image;
  if (!velmira::LoadFile(image, argv[1], velmira::FormatFromPath(argv[1]))) {
    std::fprintf(stderr, "codec_driver: %s: %s\n", argv[1], image.LastError().c_str());
    return 1;
  }
  if (!velmira::SaveFile(image, argv[2], velmira::FormatFromPath(argv[2]))) {
    std::fprintf(stderr, "codec_driver: %s: %s\n", argv[2], image.LastError().c_str());
    return 1;
  }
  return 0;
}
