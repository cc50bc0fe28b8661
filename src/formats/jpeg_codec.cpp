#include "formats/jpeg_codec.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "formats/codec_limits.h"

namespace velmira {

namespace {

// Larger than libjpeg's own 4096 so that a 20-megabyte file costs a few hundred
// stream calls instead of thousands; the decoder's speed does not depend on it.
constexpr size_t kIoBuffer = 65536;
// Rows handed to the library per call; it decodes an MCU row (8 or 16 lines) at once.
constexpr int kRowBatch = 16;
// A progressive file may legally hold any number of scans, and each costs a pass over
// the coefficients; real encoders write about ten, hostile files thousands.
constexpr int kMaxScans = 500;

struct ErrorMgr {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorMgr*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (a missing end marker, corrupt data the library skipped) are not shown:
// the picture is still delivered, as other viewers deliver it.
void SilentMessage(j_common_ptr) {}

void InstallErrorManager(ErrorMgr& err, j_common_ptr) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = SilentMessage;
  err.message[0] = '\0';
}

// ---- source manager over CImageStream ----

struct SourceMgr {
  jpeg_source_mgr pub;
  CImageStream* stream;
  bool startOfFile;
  JOCTET buffer[kIoBuffer];
};

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<SourceMgr*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<SourceMgr*>(cinfo->src);
  size_t n = src->stream->Read(src->buffer, 1, kIoBuffer);
  if (n == 0) {
    if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // A cut-off file: end it here so that the rows already coded are still shown.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = n;
  src->startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<SourceMgr*>(cinfo->src);
  if (count <= 0) return;
  while (size_t(count) > src->pub.bytes_in_buffer) {
    count -= long(src->pub.bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  src->pub.next_input_byte += count;
  src->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

void ProgressMonitor(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->is_decompressor && d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorMgr*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "JPEG file has too many scans");
    std::longjmp(err->jump, 1);
  }
}

// ---- destination manager over CImageStream ----

struct DestMgr {
  jpeg_destination_mgr pub;
  CImageStream* stream;
  JOCTET buffer[kIoBuffer];
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dst = reinterpret_cast<DestMgr*>(cinfo->dest);
  dst->pub.next_output_byte = dst->buffer;
  dst->pub.free_in_buffer = kIoBuffer;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dst = reinterpret_cast<DestMgr*>(cinfo->dest);
  if (dst->stream->Write(dst->buffer, 1, kIoBuffer) != kIoBuffer) ERREXIT(cinfo, JERR_FILE_WRITE);
  dst->pub.next_output_byte = dst->buffer;
  dst->pub.free_in_buffer = kIoBuffer;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dst = reinterpret_cast<DestMgr*>(cinfo->dest);
  const size_t n = kIoBuffer - dst->pub.free_in_buffer;
  if (n > 0 && dst->stream->Write(dst->buffer, 1, n) != n) ERREXIT(cinfo, JERR_FILE_WRITE);
  if (!dst->stream->Flush() || dst->stream->Error()) ERREXIT(cinfo, JERR_FILE_WRITE);
}

int DpiFromDensity(int unit, int density) {
  if (unit == 1) return density;
  if (unit == 2) return int(std::floor(density * 2.54 + 0.5));
  return 0;
}

// Everything that may longjmp lives in these two functions, whose locals are plain
// data, so that no C++ destructor is skipped by the jump.
struct DecodeJob {
  int64_t available;  // bytes from the start of the JPEG data, −1 when unknown
  CImageStream* stream;
  CImageBuffer* out;
  SourceMgr* src;
  char message[JMSG_LENGTH_MAX];
};

bool RunDecode(DecodeJob& job) {
  jpeg_decompress_struct cinfo;
  ErrorMgr err;
  jpeg_progress_mgr progress;
  InstallErrorManager(err, nullptr);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    std::memcpy(job.message, err.message, sizeof job.message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  progress.progress_monitor = ProgressMonitor;
  cinfo.progress = &progress;
  job.src->pub.init_source = InitSource;
  job.src->pub.fill_input_buffer = FillInputBuffer;
  job.src->pub.skip_input_data = SkipInputData;
  job.src->pub.resync_to_restart = jpeg_resync_to_restart;
  job.src->pub.term_source = TermSource;
  job.src->pub.bytes_in_buffer = 0;
  job.src->pub.next_input_byte = nullptr;
  job.src->stream = job.stream;
  cinfo.src = &job.src->pub;

  jpeg_read_header(&cinfo, TRUE);

  const int64_t w = cinfo.image_width, h = cinfo.image_height;
  const int64_t remaining = job.available;
  // Every 8 × 8 block costs at least a bit or two of entropy-coded data, so the data
  // must grow with the picture; a tiny file claiming a huge picture is refused before
  // the library allocates coefficient buffers for it.
  if (!DimensionsAcceptable(w, h) ||
      (remaining >= 0 && w * h > std::max<int64_t>(int64_t(1) << 20, remaining * 1024))) {
    std::snprintf(err.message, sizeof err.message, "JPEG image dimensions are invalid");
    std::longjmp(err.jump, 1);
  }

  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);

  const int width = int(cinfo.output_width), height = int(cinfo.output_height);
  if (!job.out->Allocate(width, height, grey ? 8 : 24, kFormatJpeg)) {
    std::snprintf(err.message, sizeof err.message, "can't allocate memory");
    std::longjmp(err.jump, 1);
  }
  if (grey) job.out->MakeGreyPalette();
  const int xDpi = DpiFromDensity(cinfo.density_unit, cinfo.X_density);
  const int yDpi = DpiFromDensity(cinfo.density_unit, cinfo.Y_density);
  if (xDpi > 0 && yDpi > 0) job.out->SetResolution(xDpi, yDpi);

  if (cmyk) {
    // Adobe's writers store inverted inks (255 = none) and mark the file; plain
    // CMYK without the marker is inverted here so both come out the same.
    const bool inverted = cinfo.saw_Adobe_marker;
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width) * 4, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
      const int y = int(cinfo.output_scanline);
      if (jpeg_read_scanlines(&cinfo, line, 1) != 1) ERREXIT(&cinfo, JERR_BAD_STATE);
      const uint8_t* s = line[0];
      uint8_t* d = job.out->Row(height - 1 - y);
      for (int x = 0; x < width; ++x, s += 4, d += 3) {
        unsigned c = s[0], m = s[1], ye = s[2], k = s[3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          ye = 255 - ye;
          k = 255 - k;
        }
        d[0] = uint8_t(ye * k / 255);
        d[1] = uint8_t(m * k / 255);
        d[2] = uint8_t(c * k / 255);
      }
    }
  } else {
    // The library writes blue, green, red (or grey) straight into the image's rows,
    // the top line of the picture into the last stored row.
    JSAMPROW rows[kRowBatch];
    while (cinfo.output_scanline < cinfo.output_height) {
      const int y = int(cinfo.output_scanline);
      const int n = std::min(kRowBatch, height - y);
      for (int i = 0; i < n; ++i) rows[i] = job.out->Row(height - 1 - (y + i));
      if (jpeg_read_scanlines(&cinfo, rows, JDIMENSION(n)) == 0) ERREXIT(&cinfo, JERR_BAD_STATE);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct EncodeJob {
  CImageBuffer* image;
  CImageStream* stream;
  DestMgr* dst;
  uint8_t* expandRow;  // a row of grey bytes for 1- and 4-bit images
  char message[JMSG_LENGTH_MAX];
};

bool RunEncode(EncodeJob& job) {
  jpeg_compress_struct cinfo;
  ErrorMgr err;
  InstallErrorManager(err, nullptr);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    std::memcpy(job.message, err.message, sizeof job.message);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  job.dst->stream = job.stream;
  job.dst->pub.init_destination = InitDestination;
  job.dst->pub.empty_output_buffer = EmptyOutputBuffer;
  job.dst->pub.term_destination = TermDestination;
  cinfo.dest = &job.dst->pub;

  CImageBuffer& img = *job.image;
  const int bpp = img.Bpp();
  cinfo.image_width = JDIMENSION(img.Width());
  cinfo.image_height = JDIMENSION(img.Height());
  if (bpp <= 8) {
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
  } else if (bpp == 32) {
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
  } else {
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
  }
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, std::min<int>(img.Ext().jpegQuality, 100), TRUE);
  cinfo.density_unit = 1;
  cinfo.X_density = UINT16(std::clamp(img.Ext().xDpi, 1, 65535));
  cinfo.Y_density = UINT16(std::clamp(img.Ext().yDpi, 1, 65535));
  jpeg_start_compress(&cinfo, TRUE);

  const int width = img.Width(), height = img.Height();
  JSAMPROW rows[kRowBatch];
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    if (bpp < 8) {
      // Grey-ramp palette: the index is the grey level.
      for (int x = 0; x < width; ++x) job.expandRow[x] = uint8_t(img.ReadIndex(x, height - 1 - y));
      rows[0] = job.expandRow;
      jpeg_write_scanlines(&cinfo, rows, 1);
      continue;
    }
    // The library only reads the rows, so the image's own rows are passed as they are.
    const int n = std::min(kRowBatch, height - y);
    for (int i = 0; i < n; ++i) rows[i] = const_cast<uint8_t*>(std::as_const(img).Row(height - 1 - (y + i)));
    jpeg_write_scanlines(&cinfo, rows, JDIMENSION(n));
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool JpegDecode(CImageBuffer& image, CImageStream& stream) {
  CImageBuffer out(kFormatJpeg);
  auto src = std::make_unique<SourceMgr>();
  DecodeJob job{BytesRemaining(stream), &stream, &out, src.get(), {}};
  if (!RunDecode(job)) {
    image.SetLastError(job.message);
    return false;
  }
  image.TakeOver(out);
  return true;
}

bool JpegEncode(CImageBuffer& image, CImageStream& stream) {
  if (!image.IsValid()) {
    image.SetLastError("No image to save");
    return false;
  }
  if (image.Bpp() <= 8 && !image.IsGreyPalette()) {
    image.SetLastError("JPEG can save only RGB or GreyScale images");
    return false;
  }
  auto dst = std::make_unique<DestMgr>();
  std::unique_ptr<uint8_t[]> expand;
  if (image.Bpp() < 8) expand.reset(new uint8_t[size_t(image.Width())]);
  EncodeJob job{&image, &stream, dst.get(), expand.get(), {}};
  if (!RunEncode(job)) {
    image.SetLastError(job.message);
    return false;
  }
  return true;
}

}  // namespace velmira
