// Writes the bundled sample picture: make_sample OUT.bmp
#include <cstdio>

#include "cli/sample_picture.h"
#include "formats/format_dispatch.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUT.bmp\n");
    return 2;
  }
  velmira::CImageBuffer img;
  if (!velmira::DrawSamplePicture(img) || !velmira::SaveFile(img, argv[1], velmira::kFormatBmp)) {
    std::fprintf(stderr, "make_sample: %s\n", img.LastError().c_str());
    return 1;
  }
  return 0;
}
