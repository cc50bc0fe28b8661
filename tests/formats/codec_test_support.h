// Builders for picture files in the conventions of other programs (hand-made BMP
// headers, libjpeg and libtiff called directly), shared by the codec tests and the
// generator of the fuzzers' seed corpora.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <tiffio.h>

#include "formats/image_stream.h"
#include "image/image_buffer.h"

namespace velmira::testing {

using Bytes = std::vector<uint8_t>;

// ---- little-endian byte building ----
inline void Put8(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); }
inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void Patch32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A colour picture whose every pixel differs from its neighbours, as seen on screen:
// (x, y) counts from the top-left.
inline void Fill24(CImageBuffer& img, int w, int h, int bpp = 24) {
  img.Allocate(w, h, bpp, kFormatBmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.WriteColor(x, h - 1 - y, MakeRgbq((x * 37 + y * 11) & 255, (x * 5 + y * 29) & 255, (x * 13 ^ y * 7) & 255));
}

// The colour at screen position (x, y), y from the top.
inline Rgbq ScreenColor(const CImageBuffer& img, int x, int y) {
  return img.ReadColor(x, img.Height() - 1 - y) & 0xFFFFFFu;
}

inline int MaxChannelDiff(Rgbq a, Rgbq b) {
  int m = 0;
  for (int s = 0; s < 24; s += 8) m = std::max(m, std::abs(int((a >> s) & 255) - int((b >> s) & 255)));
  return m;
}

// ---- BMP ----

struct BmpSpec {
  bool fileHeader = true;
  uint32_t headerSize = 40;  // 12, 40, 52, 56, 108 or 124
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down
  int bitCount = 24;
  uint32_t compression = 0;
  int32_t xPels = 2835, yPels = 2835;
  uint32_t coloursUsed = 0;
  std::vector<uint32_t> masks;  // written after a 40-byte header, or inside a larger one
  std::vector<Rgbq> palette;    // written with 3-byte entries after a core header
  Bytes pixels;                 // exactly as stored
};

inline Bytes BuildBmp(const BmpSpec& s) {
  Bytes b;
  if (s.fileHeader) {
    Put8(b, 'B');
    Put8(b, 'M');
    Put32(b, 0);  // file size, patched
    Put32(b, 0);
    Put32(b, 0);  // data offset, patched
  }
  const size_t headerAt = b.size();
  Put32(b, s.headerSize);
  if (s.headerSize == 12) {
    Put16(b, uint32_t(s.width));
    Put16(b, uint32_t(s.height));
    Put16(b, 1);
    Put16(b, uint32_t(s.bitCount));
  } else {
    Put32(b, uint32_t(s.width));
    Put32(b, uint32_t(s.height));
    Put16(b, 1);
    Put16(b, uint32_t(s.bitCount));
    Put32(b, s.compression);
    Put32(b, uint32_t(s.pixels.size()));
    Put32(b, uint32_t(s.xPels));
    Put32(b, uint32_t(s.yPels));
    Put32(b, s.coloursUsed);
    Put32(b, 0);
    while (b.size() - headerAt < s.headerSize) {
      const size_t field = (b.size() - headerAt - 40) / 4;
      Put32(b, field < s.masks.size() ? s.masks[field] : 0);
    }
    if (s.headerSize == 40)
      for (uint32_t m : s.masks) Put32(b, m);
  }
  for (Rgbq c : s.palette) {
    Put8(b, uint32_t(RgbqB(c)));
    Put8(b, uint32_t(RgbqG(c)));
    Put8(b, uint32_t(RgbqR(c)));
    if (s.headerSize != 12) Put8(b, 0);
  }
  const size_t dataAt = b.size();
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  if (s.fileHeader) {
    Patch32(b, 2, uint32_t(b.size()));
    Patch32(b, 10, uint32_t(dataAt));
  }
  return b;
}

// ---- JPEG through libjpeg itself ----

struct JpegSpec {
  int width = 0, height = 0;
  int components = 3;
  J_COLOR_SPACE inSpace = JCS_RGB;
  J_COLOR_SPACE fileSpace = JCS_UNKNOWN;  // JCS_UNKNOWN: the library's choice
  int quality = 95;
  bool progressive = false;
  int restartRows = 0;
  bool fullChroma = false;       // 4:4:4 instead of 4:2:0
  int densityUnit = 0, xDensity = 1, yDensity = 1;
  std::function<void(int x, int y, uint8_t* px)> pixel;  // fills `components` bytes
};

inline Bytes WriteJpeg(const JpegSpec& s) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&c, &out, &outSize);
  c.image_width = JDIMENSION(s.width);
  c.image_height = JDIMENSION(s.height);
  c.input_components = s.components;
  c.in_color_space = s.inSpace;
  jpeg_set_defaults(&c);
  if (s.fileSpace != JCS_UNKNOWN) jpeg_set_colorspace(&c, s.fileSpace);
  jpeg_set_quality(&c, s.quality, TRUE);
  if (s.progressive) jpeg_simple_progression(&c);
  c.restart_in_rows = s.restartRows;
  if (s.fullChroma)
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  c.density_unit = UINT8(s.densityUnit);
  c.X_density = UINT16(s.xDensity);
  c.Y_density = UINT16(s.yDensity);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(s.width) * size_t(s.components));
  while (c.next_scanline < c.image_height) {
    const int y = int(c.next_scanline);
    for (int x = 0; x < s.width; ++x) s.pixel(x, y, row.data() + size_t(x) * size_t(s.components));
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + outSize);
  std::free(out);
  return bytes;
}

// What libjpeg reads from a file's headers (components, tables, coding mode).
struct JpegFacts {
  int components = 0;
  J_COLOR_SPACE space = JCS_UNKNOWN;
  bool progressive = false;
  int width = 0, height = 0;
  int maxLumaQuant = 0, firstLumaQuant = 0;
  int densityUnit = 0, xDensity = 0;
};

inline JpegFacts InspectJpeg(const Bytes& bytes) {
  JpegFacts f;
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, bytes.data(), (unsigned long)bytes.size());
  jpeg_read_header(&d, TRUE);
  f.components = d.num_components;
  f.space = d.jpeg_color_space;
  f.progressive = d.progressive_mode;
  f.width = int(d.image_width);
  f.height = int(d.image_height);
  if (d.quant_tbl_ptrs[0]) {
    f.firstLumaQuant = d.quant_tbl_ptrs[0]->quantval[0];
    for (int i = 0; i < DCTSIZE2; ++i) f.maxLumaQuant = std::max<int>(f.maxLumaQuant, d.quant_tbl_ptrs[0]->quantval[i]);
  }
  f.densityUnit = d.density_unit;
  f.xDensity = d.X_density;
  jpeg_destroy_decompress(&d);
  return f;
}

// ---- files ----

inline Bytes ReadFileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
inline void WriteFileBytes(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "velmira-codecs-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// ---- TIFF through libtiff itself ----

// Writes a TIFF with libtiff: `setup` sets the tags, `row` fills each stored scanline
// (row index, sample plane) before it is written with TIFFWriteScanline.
inline Bytes WriteTiff(const std::function<void(TIFF*)>& setup, int height, tmsize_t lineBytes,
                       const std::function<void(int row, int plane, uint8_t* line)>& row, int planes = 1,
                       int pages = 1) {
  TempDir dir;
  const std::filesystem::path p = dir / "t.tif";
  TIFF* t = TIFFOpen(p.c_str(), "w");
  for (int page = 0; page < pages; ++page) {
    setup(t);
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
    for (int plane = 0; plane < planes; ++plane)
      for (int y = 0; y < height; ++y) {
        row(y, plane, line.data());
        TIFFWriteScanline(t, line.data(), uint32_t(y), uint16_t(plane));
      }
    TIFFWriteDirectory(t);
  }
  TIFFClose(t);
  return ReadFileBytes(p);
}

// Reads the tags the encoder is expected to set.
struct TiffFacts {
  uint16_t compression = 0, photometric = 0, spp = 0, bps = 0, orientation = 0;
  uint32_t rowsPerStrip = 0, width = 0, height = 0;
  float xres = 0;
  bool hasColormap = false;
};

inline TiffFacts InspectTiff(const Bytes& bytes) {
  TempDir dir;
  const std::filesystem::path p = dir / "i.tif";
  WriteFileBytes(p, bytes);
  TiffFacts f;
  TIFF* t = TIFFOpen(p.c_str(), "r");
  if (!t) return f;
  TIFFGetField(t, TIFFTAG_COMPRESSION, &f.compression);
  TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &f.photometric);
  TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &f.spp);
  TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &f.bps);
  TIFFGetField(t, TIFFTAG_ORIENTATION, &f.orientation);
  TIFFGetField(t, TIFFTAG_ROWSPERSTRIP, &f.rowsPerStrip);
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &f.width);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &f.height);
  TIFFGetField(t, TIFFTAG_XRESOLUTION, &f.xres);
  uint16_t *r, *g, *b;
  f.hasColormap = TIFFGetField(t, TIFFTAG_COLORMAP, &r, &g, &b);
  TIFFClose(t);
  return f;
}

// A read stream over bytes the test owns.
struct MemoryInput {
  explicit MemoryInput(const Bytes& b) : stream(b.data(), b.size()) {}
  CImageMemoryStream stream;
};

}  // namespace velmira::testing
