#include "formats/tiff_codec.h"

#include <tiffio.h>

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "formats/codec_limits.h"

namespace velmira {

namespace {

constexpr char kErrOpen[] = "Error encountered while opening TIFF file";
constexpr char kErrPage[] = "Error: page not present in TIFF file";
constexpr char kErrRaster[] = "No space for raster buffer";
constexpr char kErrCorrupt[] = "Corrupted TIFF file!";
constexpr char kErrInit[] = "initialization fail";
constexpr char kErrSave[] = "Error saving TIFF file";

// Pages beyond this are not counted: counting walks every directory, and a hostile
// file can chain thousands of them.
constexpr int kMaxPages = 4096;
// libtiff's own largest single allocation (a whole-image strip of a big deflate file
// is the largest legitimate one).
constexpr tmsize_t kMaxLibtiffAlloc = tmsize_t(1) << 30;
// Deflate and fax coding can shrink a blank page a thousandfold, not more: a file can
// never hold more decoded bytes than this many times its own size.
constexpr int64_t kMaxExpansion = 1100;
// Small files may still ask for this much; nothing below it takes noticeable time.
constexpr int64_t kSmallBudget = int64_t(8) << 20;
// A tile larger than the whole image is legal (fixed 256 × 256 tiles on a small
// picture) but never needs more than this.
constexpr int64_t kMaxTileBeyondImage = int64_t(4) << 20;

// The most decoded bytes a TIFF of `fileBytes` bytes can describe; −1 when the size
// of the stream is unknown (then only the dimension limit protects us).
int64_t DecodedBudget(int64_t fileBytes) {
  if (fileBytes < 0) return -1;
  if (fileBytes > (int64_t(1) << 40)) return INT64_MAX;
  return std::max(kSmallBudget, fileBytes * kMaxExpansion);
}

// ---- client procedures over CImageStream ----
// Offsets inside a TIFF count from its first byte, which need not be the stream's.

struct Client {
  CImageStream* stream;
  int64_t base;
};

tsize_t ReadProc(thandle_t h, tdata_t buf, tsize_t size) {
  auto* c = static_cast<Client*>(h);
  if (size <= 0) return 0;
  return tsize_t(c->stream->Read(buf, 1, size_t(size)));
}

tsize_t WriteProc(thandle_t h, tdata_t buf, tsize_t size) {
  auto* c = static_cast<Client*>(h);
  if (size <= 0) return 0;
  return tsize_t(c->stream->Write(buf, 1, size_t(size)));
}

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
  auto* c = static_cast<Client*>(h);
  bool ok;
  switch (whence) {
    case SEEK_SET:
      if (off > toff_t(INT64_MAX) - toff_t(c->base)) return toff_t(-1);
      ok = c->stream->Seek(c->base + int64_t(off), CImageStream::kSet);
      break;
    case SEEK_CUR: ok = c->stream->Seek(int64_t(off), CImageStream::kCur); break;
    case SEEK_END: ok = c->stream->Seek(int64_t(off), CImageStream::kEnd); break;
    default: ok = false;
  }
  if (!ok) return toff_t(-1);
  return toff_t(c->stream->Tell() - c->base);
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t h) {
  auto* c = static_cast<Client*>(h);
  const int64_t size = c->stream->Size();
  return size > c->base ? toff_t(size - c->base) : 0;
}

int MapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapProc(thandle_t, tdata_t, toff_t) {}

// The library's own messages are not shown; failures become the codec's texts.
int QuietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr OpenClient(Client& client, const char* mode, tmsize_t maxAlloc = kMaxLibtiffAlloc) {
  // Some library paths report through the process-wide handlers even when a
  // per-file handler is set; nothing in the program wants them on stderr.
  static const bool quietGlobal = [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
  }();
  (void)quietGlobal;
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, maxAlloc);
  TIFFOpenOptionsSetErrorHandlerExtR(opts, QuietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, QuietHandler, nullptr);
  TIFF* t = TIFFClientOpenExt("velmira", mode, &client, ReadProc, WriteProc, SeekProc, CloseProc,
                              SizeProc, MapProc, UnmapProc, opts);
  TIFFOpenOptionsFree(opts);
  return TiffPtr(t);
}

// ---- orientation ----

// Turns a picture read in stored order (stored row 0 shown at the top, stored column 0
// at the left) upright according to the orientation tag, whose value names where the
// stored row 0 and column 0 belong: 1 top/left, 2 top/right, 3 bottom/right,
// 4 bottom/left, 5 left/top, 6 right/top, 7 right/bottom, 8 left/bottom.
bool ApplyOrientation(CImageBuffer& img, int orientation) {
  switch (orientation) {
    case 2: img.MirrorColumns(); return true;
    case 3: img.FlipRows(); img.MirrorColumns(); return true;
    case 4: img.FlipRows(); return true;
    case 5: case 6: case 7: case 8: break;
    default: return true;
  }
  // Stored rows become columns: the result is as wide as the stored picture is tall.
  const int w = img.Width(), h = img.Height(), bpp = img.Bpp();
  CImageBuffer out(img.FormatType());
  out.Ext() = img.Ext();
  if (!out.Allocate(h, w, bpp, img.FormatType())) return false;
  out.SetResolution(img.Ext().yDpi, img.Ext().xDpi);
  if (bpp <= 8) std::memcpy(out.Palette(), img.Palette(), 4 * size_t(img.ColoursUsed()));
  const int outW = h, outH = w;
  const bool rowFromRight = orientation == 6 || orientation == 7;   // stored row 0 is the right edge
  const bool colFromBottom = orientation == 7 || orientation == 8;  // stored column 0 is the bottom
  const int bytes = bpp / 8;
  for (int y = 0; y < outH; ++y) {  // y counts from the top of the upright picture
    const int c = colFromBottom ? w - 1 - y : y;
    uint8_t* d = out.Row(outH - 1 - y);
    for (int x = 0; x < outW; ++x) {
      const int r = rowFromRight ? h - 1 - x : x;
      const int srcRow = h - 1 - r;  // stored row r sits r rows below the top
      if (bytes >= 1) {
        std::memcpy(d + size_t(x) * bytes, img.Row(srcRow) + size_t(c) * bytes, size_t(bytes));
      } else {
        out.WriteIndex(x, outH - 1 - y, img.ReadIndex(c, srcRow));
      }
    }
  }
  img.TakeOver(out);
  return true;
}

// ---- reading ----

struct PageInfo {
  uint32_t width = 0, height = 0;
  uint16_t spp = 1, bps = 1, photometric = 0, orientation = 1, planar = PLANARCONFIG_CONTIG;
  uint32_t rowsPerStrip = 0;
};

// Bytes of every stored sample of a page, all planes; saturates instead of
// overflowing for absurd sample counts.
int64_t StoredPageBytes(const PageInfo& p) {
  const unsigned __int128 bitsPerRow = (unsigned __int128)p.width * p.bps * p.spp;
  const unsigned __int128 perPlaneRow = p.planar == PLANARCONFIG_CONTIG ? (bitsPerRow + 7) / 8
                                                                        : ((unsigned __int128)p.width * p.bps + 7) / 8 * p.spp;
  const unsigned __int128 total = perPlaneRow * p.height;
  return total > (unsigned __int128)INT64_MAX ? INT64_MAX : int64_t(total);
}

// Reads the stored sample rows of a page strip by strip (or tile row by tile row)
// and hands each complete line to `emit(row, bytes)`.
template <class Emit>
bool ReadLines(TIFF* tif, const PageInfo& p, size_t lineSize, Emit emit) {
  const uint32_t h = p.height;
  if (TIFFIsTiled(tif)) {
    uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const tmsize_t tileSize = TIFFTileSize(tif);
    const tmsize_t tileRow = TIFFTileRowSize(tif);
    if (tw == 0 || th == 0 || tileSize <= 0 || tileRow <= 0 || th > h + 65536u) return false;
    const uint32_t bandRows = std::min(th, h);
    std::vector<uint8_t> band(size_t(bandRows) * lineSize);
    std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
    const size_t bitsPerPixel = size_t(p.bps) * (p.planar == PLANARCONFIG_CONTIG ? p.spp : 1);
    for (uint32_t ty = 0; ty < h; ty += th) {
      const uint32_t rows = std::min(th, h - ty);
      for (uint32_t tx = 0; tx < p.width; tx += tw) {
        if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, tx, ty, 0, 0), tile.data(), tileSize) < 0)
          return false;
        const size_t offset = size_t(tx) * bitsPerPixel / 8;
        const size_t n = std::min(size_t(tileRow), lineSize - offset);
        for (uint32_t r = 0; r < rows; ++r)
          std::memcpy(band.data() + size_t(r) * lineSize + offset, tile.data() + size_t(r) * size_t(tileRow), n);
      }
      for (uint32_t r = 0; r < rows; ++r) emit(ty + r, band.data() + size_t(r) * lineSize);
    }
    return true;
  }
  const uint32_t rps = std::clamp<uint32_t>(p.rowsPerStrip, 1, h);
  std::vector<uint8_t> strip(size_t(rps) * lineSize);
  for (uint32_t y = 0, s = 0; y < h; y += rps, ++s) {
    const uint32_t rows = std::min(rps, h - y);
    const tmsize_t got = TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(size_t(rows) * lineSize));
    if (got < 0) return false;
    // A short strip leaves the lines it did not hold as they were.
    const uint32_t complete = uint32_t(size_t(got) / lineSize);
    for (uint32_t r = 0; r < std::min(rows, complete); ++r) emit(y + r, strip.data() + size_t(r) * lineSize);
  }
  return true;
}

bool ReadPalettePage(TIFF* tif, const PageInfo& p, CImageBuffer& out, const char*& error) {
  const int w = int(p.width), h = int(p.height);
  const int bps = p.bps;
  const int imageBits = bps == 1 ? 1 : bps == 4 ? 4 : 8;
  if (!out.Allocate(w, h, imageBits, kFormatTiff)) {
    error = kErrRaster;
    return false;
  }
  // Palette: white-is-zero and black-is-zero ramps, or the file's colour map.
  const int entries = 1 << std::min(bps, 8);
  if (p.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) {
      error = kErrCorrupt;
      return false;
    }
    bool wide = false;
    for (int i = 0; i < entries; ++i) wide = wide || r[i] > 255 || g[i] > 255 || b[i] > 255;
    const auto conv = [wide](uint16_t v) { return wide ? int(uint32_t(v) * 255 / 65535) : int(v & 0xFF); };
    for (int i = 0; i < entries && i < out.ColoursUsed(); ++i)
      out.SetPaletteEntry(i, conv(r[i]), conv(g[i]), conv(b[i]), 0);
  } else {
    const bool whiteIsZero = p.photometric == PHOTOMETRIC_MINISWHITE;
    const int step = 255 / (entries - 1);
    for (int i = 0; i < entries && i < out.ColoursUsed(); ++i) {
      const int v = whiteIsZero ? 255 - i * step : i * step;
      out.SetPaletteEntry(i, v, v, v, 0);
    }
  }

  const int sampleStride = p.planar == PLANARCONFIG_CONTIG ? p.spp : 1;
  const size_t lineSize = (size_t(sampleStride) * bps * p.width + 7) / 8;
  const size_t stride = size_t(out.Stride());
  const bool direct = sampleStride == 1 && (bps == 1 || bps == 4 || bps == 8);
  const auto emit = [&](uint32_t y, const uint8_t* line) {
    uint8_t* d = out.Row(h - 1 - int(y));  // stored row 0 is the top
    if (direct) {
      std::memcpy(d, line, std::min(lineSize, stride));
      return;
    }
    if (bps == 16) {
      // Samples arrive in the machine's byte order; keep the high byte.
      const uint16_t* s = reinterpret_cast<const uint16_t*>(line);
      for (int x = 0; x < w; ++x) d[x] = uint8_t(s[size_t(x) * sampleStride] >> 8);
      return;
    }
    // Any other packing: pick the first sample of each pixel, most significant bit first.
    for (int x = 0; x < w; ++x) {
      const size_t bit = size_t(x) * sampleStride * bps;
      uint32_t v = 0;
      for (int k = 0; k < bps; ++k) {
        const size_t at = bit + size_t(k);
        v = (v << 1) | ((line[at >> 3] >> (7 - (at & 7))) & 1u);
      }
      if (imageBits == 8) {
        d[x] = uint8_t(v);
      } else if (imageBits == 4) {
        uint8_t& b = d[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
      } else {
        const uint8_t m = uint8_t(0x80 >> (x & 7));
        d[x >> 3] = v ? uint8_t(d[x >> 3] | m) : uint8_t(d[x >> 3] & ~m);
      }
    }
  };
  if (!ReadLines(tif, p, lineSize, emit)) {
    error = kErrCorrupt;
    return false;
  }
  return true;
}

bool ReadRgbPage(TIFF* tif, const PageInfo& p, CImageBuffer& out, const char*& error) {
  char message[1024];
  TIFFRGBAImage rgba;
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&rgba, tif, 1, message)) {
    error = kErrCorrupt;
    return false;
  }
  // The reader would apply the flips of the orientation tag (but not the turns);
  // asking for stored order leaves the whole tag to ApplyOrientation.
  rgba.orientation = ORIENTATION_TOPLEFT;
  rgba.req_orientation = ORIENTATION_TOPLEFT;
  const int w = int(p.width), h = int(p.height);
  uint32_t chunk = p.rowsPerStrip;
  if (TIFFIsTiled(tif)) {
    uint32_t th = 0;
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    chunk = th;
  }
  chunk = std::clamp<uint32_t>(chunk, 1, uint32_t(h));
  // Small strips are read several at a time to keep the library calls few.
  if (chunk < 64) chunk = std::min<uint32_t>(uint32_t(h), (64 + chunk - 1) / chunk * chunk);
  std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[size_t(chunk) * size_t(w)]);
  if (!raster || !out.Allocate(w, h, 24, kFormatTiff)) {
    TIFFRGBAImageEnd(&rgba);
    error = kErrRaster;
    return false;
  }
  // Uncompressed tiles: the RGBA reader's first tile of every call checks that the
  // library's raw buffer is exactly one tile, but the library rounds the buffer it
  // allocates itself up to a multiple of 1024 bytes, so any tile of another size
  // (16 × 16 × 3 = 768) was refused. A buffer of our own of exactly one tile passes.
  std::vector<uint8_t> rawTile;
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  if (TIFFIsTiled(tif) && compression == COMPRESSION_NONE) {
    const tmsize_t tileSize = TIFFTileSize(tif);
    try {
      rawTile.resize(size_t(std::max<tmsize_t>(tileSize, 1)));
    } catch (const std::bad_alloc&) {
      TIFFRGBAImageEnd(&rgba);
      error = kErrRaster;
      return false;
    }
    if (tileSize <= 0 || !TIFFReadBufferSetup(tif, rawTile.data(), tileSize)) {
      TIFFRGBAImageEnd(&rgba);
      error = kErrCorrupt;
      return false;
    }
  }
  bool ok = true;
  for (int y = 0; y < h && ok; y += int(chunk)) {
    const int rows = std::min(int(chunk), h - y);
    rgba.row_offset = y;
    rgba.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba, raster.get(), uint32_t(w), uint32_t(rows))) {
      ok = false;
      break;
    }
    for (int r = 0; r < rows; ++r) {
      const uint32_t* s = raster.get() + size_t(r) * size_t(w);
      uint8_t* d = out.Row(h - 1 - (y + r));
      for (int x = 0; x < w; ++x, d += 3) {
        const uint32_t v = s[x];
        d[0] = uint8_t(TIFFGetB(v));
        d[1] = uint8_t(TIFFGetG(v));
        d[2] = uint8_t(TIFFGetR(v));
      }
    }
  }
  TIFFRGBAImageEnd(&rgba);
  if (!ok) error = kErrCorrupt;
  return ok;
}

int FloatToInt(float v, int fallback) {
  if (!std::isfinite(v) || v < -1e6f || v > 1e6f) return fallback;
  return int(v);
}

}  // namespace

bool TiffDecode(CImageBuffer& image, CImageStream& stream) {
  Client client{&stream, stream.Tell()};
  if (client.base < 0) client.base = 0;
  const int64_t streamSize = stream.Size();
  const int64_t budget = DecodedBudget(streamSize >= 0 ? std::max<int64_t>(streamSize - client.base, 0) : -1);
  TiffPtr tif = OpenClient(client, "rm", budget >= 0 && budget < kMaxLibtiffAlloc ? tmsize_t(budget) : kMaxLibtiffAlloc);
  if (!tif) {
    image.SetLastError(kErrOpen);
    return false;
  }
  int pages = 1;
  while (pages < kMaxPages && TIFFReadDirectory(tif.get())) ++pages;
  const int wanted = image.Ext().frameIndex;
  if (wanted >= pages || !TIFFSetDirectory(tif.get(), tdir_t(wanted))) {
    image.SetLastError(kErrPage);
    return false;
  }

  PageInfo p;
  TIFF* t = tif.get();
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &compression);
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &p.width) || !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &p.height) ||
      !DimensionsAcceptable(p.width, p.height)) {
    image.SetLastError(kErrCorrupt);
    return false;
  }
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &p.spp);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &p.bps);
  TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &p.rowsPerStrip);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &p.planar);
  if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &p.photometric)) p.photometric = PHOTOMETRIC_MINISWHITE;
  TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &p.orientation);
  if (p.spp == 0 || p.bps == 0) {
    image.SetLastError(kErrCorrupt);
    return false;
  }

  // Grey, bilevel and palette pages in sizes the program can index keep a palette;
  // everything else goes through libtiff's RGBA reader.
  const bool greyOrPalette = p.photometric == PHOTOMETRIC_MINISWHITE ||
                             p.photometric == PHOTOMETRIC_MINISBLACK ||
                             (p.photometric == PHOTOMETRIC_PALETTE && p.bps <= 8);
  const bool palettePath =
      greyOrPalette && (p.bps == 1 || p.bps == 2 || p.bps == 4 || p.bps == 8 || p.bps == 16) &&
      compression != COMPRESSION_OJPEG;

  // Every buffer is bounded by what the file can hold before anything is allocated:
  // the picture made from it, the stored samples of the page (a strip buffer is at
  // most the whole page) and one tile.
  const int imageBits = !palettePath ? 24 : p.bps == 1 ? 1 : p.bps == 4 ? 4 : 8;
  const int64_t bytes = int64_t(StrideFor(int(p.width), imageBits)) * p.height;
  const int64_t samples = StoredPageBytes(p);
  int64_t tileBytes = 0;
  if (TIFFIsTiled(t)) {
    tileBytes = int64_t(TIFFTileSize64(t));
    if (tileBytes <= 0 || tileBytes > std::max(samples, kMaxTileBeyondImage)) {
      image.SetLastError(kErrCorrupt);
      return false;
    }
  }
  if (budget >= 0 && (bytes > budget || samples > budget || tileBytes > budget)) {
    image.SetLastError(kErrCorrupt);
    return false;
  }

  CImageBuffer out(kFormatTiff);
  const char* error = nullptr;
  const bool ok = palettePath ? ReadPalettePage(t, p, out, error) : ReadRgbPage(t, p, out, error);
  if (!ok) {
    image.SetLastError(error ? error : kErrCorrupt);
    return false;
  }

  float xr = 0, yr = 0, xp = 0, yp = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
  const float toInch = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
  int xDpi = 72, yDpi = 72;
  if (TIFFGetField(t, TIFFTAG_XRESOLUTION, &xr)) xDpi = FloatToInt(xr * toInch, 72);
  if (TIFFGetField(t, TIFFTAG_YRESOLUTION, &yr)) yDpi = FloatToInt(yr * toInch, 72);
  if (xDpi <= 0) xDpi = 72;
  if (yDpi <= 0) yDpi = 72;
  out.SetResolution(xDpi, yDpi);
  if (TIFFGetField(t, TIFFTAG_XPOSITION, &xp)) out.Ext().gifOffsetX = FloatToInt(xp, 0);
  if (TIFFGetField(t, TIFFTAG_YPOSITION, &yp)) out.Ext().gifOffsetY = FloatToInt(yp, 0);
  tif.reset();

  if (!ApplyOrientation(out, p.orientation)) {
    image.SetLastError(kErrRaster);
    return false;
  }
  out.Ext().frameIndex = uint16_t(wanted);
  out.Ext().frameCount = pages;
  image.TakeOver(out);
  return true;
}

bool TiffEncode(CImageBuffer& image, CImageStream& stream) {
  if (!image.IsValid()) {
    image.SetLastError("No image to save");
    return false;
  }
  Client client{&stream, std::max<int64_t>(stream.Tell(), 0)};
  TiffPtr tif = OpenClient(client, "w");
  if (!tif) {
    image.SetLastError(kErrInit);
    return false;
  }
  TIFF* t = tif.get();
  const int bpp = image.Bpp();
  const int w = image.Width(), h = image.Height();
  const bool rgb = bpp >= 24;
  const int n = image.ColoursUsed();

  uint16_t photometric = PHOTOMETRIC_RGB;
  if (bpp == 1) {
    const auto lum = [](Rgbq c) { return (RgbqR(c) * 30 + RgbqG(c) * 59 + RgbqB(c) * 11) / 100; };
    photometric = lum(image.PaletteEntry(0)) < lum(image.PaletteEntry(1)) ? PHOTOMETRIC_MINISBLACK
                                                                          : PHOTOMETRIC_MINISWHITE;
  } else if (!rgb) {
    // Black-is-zero only when a reader's grey ramp gives back exactly these colours.
    bool ramp = true;
    const int step = 255 / (n - 1);
    for (int i = 0; i < n && ramp; ++i) {
      const Rgbq c = image.PaletteEntry(i);
      ramp = RgbqR(c) == i * step && RgbqG(c) == i * step && RgbqB(c) == i * step;
    }
    photometric = ramp ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
  }
  const uint16_t spp = rgb ? 3 : 1;
  const uint16_t bps = uint16_t(rgb ? 8 : bpp);
  uint32_t rowsPerStrip = 1;
  uint16_t compression = COMPRESSION_NONE;
  if (bpp == 1) compression = COMPRESSION_CCITTFAX3;
  if (bpp == 8) compression = COMPRESSION_PACKBITS;
  if (rgb) {
    compression = COMPRESSION_JPEG;
    rowsPerStrip = 8;
  }
  bool ok = TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(w)) && TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(h)) &&
            TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp) && TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bps) &&
            TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric) &&
            TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) &&
            TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
            TIFFSetField(t, TIFFTAG_XRESOLUTION, float(image.Ext().xDpi)) &&
            TIFFSetField(t, TIFFTAG_YRESOLUTION, float(image.Ext().yDpi)) &&
            TIFFSetField(t, TIFFTAG_SUBFILETYPE, uint32_t(0));
  if (ok && photometric == PHOTOMETRIC_PALETTE) {
    uint16_t r[256] = {}, g[256] = {}, b[256] = {};
    for (int i = 0; i < n && i < 256; ++i) {
      const Rgbq c = image.PaletteEntry(i);
      r[i] = uint16_t(RgbqR(c) * 257);
      g[i] = uint16_t(RgbqG(c) * 257);
      b[i] = uint16_t(RgbqB(c) * 257);
    }
    ok = TIFFSetField(t, TIFFTAG_COLORMAP, r, g, b);
  }
  ok = ok && TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  if (ok && rgb) ok = TIFFSetField(t, TIFFTAG_JPEGQUALITY, std::min<int>(image.Ext().jpegQuality, 100));
  if (!ok) {
    image.SetLastError(kErrSave);
    return false;
  }

  // One strip at a time, top row first; colour rows turn from blue-green-red into
  // red-green-blue on the way.
  const size_t line = rgb ? size_t(w) * 3 : (size_t(w) * size_t(bpp) + 7) / 8;
  std::vector<uint8_t> strip(line * rowsPerStrip);
  for (int y = 0, s = 0; y < h && ok; y += int(rowsPerStrip), ++s) {
    const int rows = std::min(int(rowsPerStrip), h - y);
    for (int r = 0; r < rows; ++r) {
      const uint8_t* src = std::as_const(image).Row(h - 1 - (y + r));
      uint8_t* d = strip.data() + size_t(r) * line;
      if (!rgb) {
        std::memcpy(d, src, line);
      } else {
        const int step = bpp / 8;
        for (int x = 0; x < w; ++x, src += step, d += 3) {
          d[0] = src[2];
          d[1] = src[1];
          d[2] = src[0];
        }
      }
    }
    ok = TIFFWriteEncodedStrip(t, uint32_t(s), strip.data(), tmsize_t(line * size_t(rows))) >= 0;
  }
  ok = ok && TIFFFlush(t);
  tif.reset();
  ok = ok && stream.Flush() && !stream.Error();
  if (!ok) {
    image.SetLastError(kErrSave);
    return false;
  }
  return true;
}

}  // namespace velmira
