// The floor for the codec comparisons: the least a program must do to convert a
// picture with libjpeg-turbo or libtiff alone — read the input into one buffer, call
// the library, write the output. Nothing of Velmira is linked.
//
//   floor_codec jpeg2bmp IN.jpg OUT.bmp
//   floor_codec bmp2jpeg IN.bmp OUT.jpg      (quality 100, baseline)
//   floor_codec bmp2tiff IN.bmp OUT.tif      (RGB, JPEG compression q100, 8 rows per strip)
//
// BMP input must be an uncompressed bottom-up 24-bit file, as the comparison script
// generates it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <tiffio.h>

namespace {

void Die(const char* what) {
  std::fprintf(stderr, "floor_codec: %s\n", what);
  std::exit(1);
}

uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

struct Bgr {
  int width = 0, height = 0;
  size_t stride = 0;
  uint8_t* rows = nullptr;  // bottom-up, as in the BMP
};

Bgr ReadBmp(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) Die("cannot open input");
  uint8_t h[54];
  if (std::fread(h, 1, 54, f) != 54 || h[0] != 'B' || h[1] != 'M' || h[28] != 24) Die("need a 24-bit BMP");
  Bgr img;
  img.width = int(Get32(h + 18));
  img.height = int(Get32(h + 22));
  img.stride = (size_t(img.width) * 3 + 3) & ~size_t(3);
  img.rows = static_cast<uint8_t*>(std::malloc(img.stride * size_t(img.height)));
  std::fseek(f, long(Get32(h + 10)), SEEK_SET);
  if (std::fread(img.rows, 1, img.stride * size_t(img.height), f) != img.stride * size_t(img.height))
    Die("short BMP");
  std::fclose(f);
  return img;
}

void JpegToBmp(const char* in, const char* out) {
  FILE* f = std::fopen(in, "rb");
  if (!f) Die("cannot open input");
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_stdio_src(&d, f);
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&d);
  const size_t w = d.output_width, h = d.output_height;
  const size_t stride = (w * 3 + 3) & ~size_t(3);
  uint8_t* pixels = static_cast<uint8_t*>(std::malloc(stride * h));
  std::vector<JSAMPROW> rows(16);
  while (d.output_scanline < h) {
    const size_t y = d.output_scanline;
    const size_t n = std::min<size_t>(16, h - y);
    for (size_t i = 0; i < n; ++i) rows[i] = pixels + (h - 1 - (y + i)) * stride;
    jpeg_read_scanlines(&d, rows.data(), JDIMENSION(n));
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::fclose(f);

  uint8_t hdr[54] = {'B', 'M'};
  Put32(hdr + 2, uint32_t(54 + stride * h));
  Put32(hdr + 10, 54);
  Put32(hdr + 14, 40);
  Put32(hdr + 18, uint32_t(w));
  Put32(hdr + 22, uint32_t(h));
  hdr[26] = 1;
  hdr[28] = 24;
  Put32(hdr + 34, uint32_t(stride * h));
  FILE* o = std::fopen(out, "wb");
  if (!o || std::fwrite(hdr, 1, 54, o) != 54 || std::fwrite(pixels, 1, stride * h, o) != stride * h) Die("write");
  std::fclose(o);
  std::free(pixels);
}

void BmpToJpeg(const char* in, const char* out) {
  const Bgr img = ReadBmp(in);
  FILE* o = std::fopen(out, "wb");
  if (!o) Die("cannot create output");
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, o);
  c.image_width = JDIMENSION(img.width);
  c.image_height = JDIMENSION(img.height);
  c.input_components = 3;
  c.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPROW> rows(16);
  while (c.next_scanline < c.image_height) {
    const size_t y = c.next_scanline;
    const size_t n = std::min<size_t>(16, size_t(img.height) - y);
    for (size_t i = 0; i < n; ++i) rows[i] = img.rows + (size_t(img.height) - 1 - (y + i)) * img.stride;
    jpeg_write_scanlines(&c, rows.data(), JDIMENSION(n));
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(o);
  std::free(img.rows);
}

void BmpToTiff(const char* in, const char* out) {
  const Bgr img = ReadBmp(in);
  TIFF* t = TIFFOpen(out, "w");
  if (!t) Die("cannot create output");
  const uint32_t rps = 8;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(img.width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(img.height));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rps);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
  TIFFSetField(t, TIFFTAG_JPEGQUALITY, 100);
  const size_t line = size_t(img.width) * 3;
  std::vector<uint8_t> strip(line * rps);
  for (uint32_t y = 0, s = 0; y < uint32_t(img.height); y += rps, ++s) {
    const uint32_t n = std::min<uint32_t>(rps, uint32_t(img.height) - y);
    for (uint32_t r = 0; r < n; ++r) {
      const uint8_t* src = img.rows + (size_t(img.height) - 1 - (y + r)) * img.stride;
      uint8_t* d = strip.data() + r * line;
      for (int x = 0; x < img.width; ++x, src += 3, d += 3) {
        d[0] = src[2];
        d[1] = src[1];
        d[2] = src[0];
      }
    }
    if (TIFFWriteEncodedStrip(t, s, strip.data(), tmsize_t(line * n)) < 0) Die("write");
  }
  TIFFClose(t);
  std::free(img.rows);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) Die("usage: floor_codec jpeg2bmp|bmp2jpeg|bmp2tiff IN OUT");
  if (!std::strcmp(argv[1], "jpeg2bmp")) JpegToBmp(argv[2], argv[3]);
  else if (!std::strcmp(argv[1], "bmp2jpeg")) BmpToJpeg(argv[2], argv[3]);
  else if (!std::strcmp(argv[1], "bmp2tiff")) BmpToTiff(argv[2], argv[3]);
  else Die("unknown mode");
  return 0;
}
