#include "movie/avi_writer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "image/image_buffer.h"

#include "movie/ffmpeg_calls.h"

namespace velmira {

namespace {
constexpr int kFramesPerSecond = 25;
// Large enough for any picture the editor can hold, small enough that the frame's byte
// count cannot overflow.
constexpr int kMaxSide = 16384;
}  // namespace

struct AviWriter::Av {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  SwsContext* sws = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  bool headerWritten = false;
  bool fileOpen = false;
  // The caller's rows are copied here first: swscale's vector code reads past the end
  // of rows that are not padded.
  uint8_t* staging[4] = {};
  int stagingStride[4] = {};

  ~Av() {
    av_freep(&staging[0]);
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    if (format) {
      if (fileOpen) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

bool IsMp4Path(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ext == ".mp4";
}

static const AVCodec* FindEncoder(bool mp4) {
  if (mp4) {
    if (const AVCodec* c = avcodec_find_encoder_by_name("libx264")) return c;
    return avcodec_find_encoder(AV_CODEC_ID_H264);
  }
  return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
}

void QuietCodecMessages() {
  if (LoadFfmpeg()) av_log_set_level(AV_LOG_ERROR);
}

std::string EncoderDescription(bool mp4) {
  std::string why;
  if (!LoadFfmpeg(&why)) return why;
  const AVCodec* c = FindEncoder(mp4);
  auto version = [](unsigned v) {
    return std::to_string(AV_VERSION_MAJOR(v)) + "." + std::to_string(AV_VERSION_MINOR(v)) + "." +
           std::to_string(AV_VERSION_MICRO(v));
  };
  std::string out = c ? std::string(c->long_name ? c->long_name : c->name) + " (" + c->name + ")"
                      : std::string(mp4 ? "H.264" : "MPEG-4 Part 2") + ": no encoder";
  out += mp4 ? " in MP4" : " in AVI, tagged XVID";
  out += " · libavcodec " + version(avcodec_version()) + ", libavformat " + version(avformat_version());
  return out;
}

AviWriter::AviWriter(std::filesystem::path output, uint32_t codec, int secondArgument, MessageSink sink)
    : output_(std::move(output)), codec_(codec), secondArgument_(secondArgument), sink_(std::move(sink)) {}

AviWriter::~AviWriter() {
  if (state_ == kOpen) Close();
}

bool AviWriter::WritesMp4() const { return IsMp4Path(output_); }

HResult AviWriter::Fail(const char* message) {
  status_ = message;
  if (sink_) sink_(message);
  // The frames already written stay playable: finish the file as far as it goes.
  if (state_ == kOpen && av_ && av_->headerWritten) av_write_trailer(av_->format);
  Release();
  state_ = kClosed;
  return kEFail;
}

void AviWriter::Release() { av_.reset(); }

HResult AviWriter::AddFrame(int width, int height, const uint8_t* bits, int bitsPerPixel) {
  if (state_ == kClosed) return kEFail;
  if (state_ == kCreated) {
    if (Open(width, height, bitsPerPixel) != kSOk) return kEFail;
  }
  return Write(width, height, bits, bitsPerPixel);
}

HResult AviWriter::AddBitmapFrame(const CImageBuffer& image) {
  if (state_ == kClosed) return kEFail;
  if (!image.IsValid()) {
    if (state_ == kCreated) return Fail(moviemsg::kFormatMismatch);
    return Fail(moviemsg::kWriteFailed);
  }
  // Whatever the picture's depth, the frame travels as 32-bit rows without padding,
  // as a screen-compatible bitmap would be read out.
  const int w = image.Width(), h = image.Height();
  std::vector<uint8_t> rows;
  try {
    rows.resize(size_t(w) * size_t(h) * 4);
  } catch (const std::bad_alloc&) {
    return Fail(moviemsg::kMemory);
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* d = rows.data() + size_t(y) * size_t(w) * 4;
    if (image.Bpp() == 32) {
      std::copy_n(image.Row(y), size_t(w) * 4, d);
      continue;
    }
    for (int x = 0; x < w; ++x) {
      const Rgbq c = image.ReadColor(x, y);
      d[4 * x] = uint8_t(RgbqB(c));
      d[4 * x + 1] = uint8_t(RgbqG(c));
      d[4 * x + 2] = uint8_t(RgbqR(c));
      d[4 * x + 3] = 0;
    }
  }
  return AddFrame(w, h, rows.data(), 32);
}

HResult AviWriter::Open(int width, int height, int bitsPerPixel) {
  const bool mp4 = WritesMp4();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      (bitsPerPixel != 24 && bitsPerPixel != 32))
    return Fail(moviemsg::kFormatMismatch);
  // H.264 in yuv420p needs even sides; MPEG-4 Part 2 pads odd ones itself.
  if (mp4 && ((width | height) & 1)) return Fail(moviemsg::kFormatMismatch);
  if (!LoadFfmpeg()) return Fail(moviemsg::kNoCodec);

  av_ = std::make_unique<Av>();
  Av& a = *av_;
  const std::string path = output_.string();
  if (avformat_alloc_output_context2(&a.format, nullptr, mp4 ? "mp4" : "avi", path.c_str()) < 0 || !a.format)
    return Fail(moviemsg::kNoStream);
  if (avio_open(&a.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail(moviemsg::kFileBusy);
  a.fileOpen = true;

  a.stream = avformat_new_stream(a.format, nullptr);
  if (!a.stream) return Fail(moviemsg::kNoStream);

  const AVCodec* encoder = FindEncoder(mp4);
  if (!encoder) return Fail(moviemsg::kNoCodec);
  a.codec = avcodec_alloc_context3(encoder);
  if (!a.codec) return Fail(moviemsg::kMemory);
  AVCodecContext& c = *a.codec;
  c.width = width;
  c.height = height;
  c.pix_fmt = AV_PIX_FMT_YUV420P;
  c.time_base = AVRational{1, kFramesPerSecond};
  c.framerate = AVRational{kFramesPerSecond, 1};
  c.sample_aspect_ratio = AVRational{1, 1};
  if (mp4) {
    // A key frame every two seconds keeps seeking quick in browsers without the size
    // of an all-intra stream.
    c.gop_size = 2 * kFramesPerSecond;
    av_opt_set(c.priv_data, "preset", "fast", 0);
    av_opt_set(c.priv_data, "crf", "20", 0);
  } else {
    c.gop_size = 1;  // every frame a key frame
    c.max_b_frames = 0;
    c.codec_tag = codec_;
    // A fixed quantiser: the default bit rate would smear slide-show stills.
    c.flags |= AV_CODEC_FLAG_QSCALE;
    c.global_quality = FF_QP2LAMBDA * 3;
  }
  if (a.format->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(a.codec, encoder, nullptr) < 0) return Fail(moviemsg::kNoCodec);
  if (avcodec_parameters_from_context(a.stream->codecpar, a.codec) < 0) return Fail(moviemsg::kFormatMismatch);
  a.stream->time_base = c.time_base;
  a.stream->avg_frame_rate = c.framerate;
  a.stream->r_frame_rate = c.framerate;
  if (!mp4) a.stream->codecpar->codec_tag = codec_;

  a.frame = av_frame_alloc();
  a.packet = av_packet_alloc();
  if (!a.frame || !a.packet) return Fail(moviemsg::kMemory);
  a.frame->format = c.pix_fmt;
  a.frame->width = width;
  a.frame->height = height;
  if (av_frame_get_buffer(a.frame, 0) < 0) return Fail(moviemsg::kMemory);
  // The encoder reads the padding below odd-sized frames; keep it defined.
  for (AVBufferRef* b : a.frame->buf)
    if (b) std::memset(b->data, 0, b->size);
  a.sws = sws_getContext(width, height, bitsPerPixel == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24, width, height,
                         c.pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!a.sws) return Fail(moviemsg::kFormatMismatch);
  if (av_image_alloc(a.staging, a.stagingStride, width, height + 1,
                     bitsPerPixel == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24, 64) < 0)
    return Fail(moviemsg::kMemory);

  AVDictionary* options = nullptr;
  if (mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  const int header = avformat_write_header(a.format, &options);
  av_dict_free(&options);
  if (header < 0) return Fail(moviemsg::kWriteFailed);
  a.headerWritten = true;
  avio_flush(a.format->pb);
  if (a.format->pb->error < 0) return Fail(moviemsg::kWriteFailed);

  width_ = width;
  height_ = height;
  bpp_ = bitsPerPixel;
  state_ = kOpen;
  return kSOk;
}

bool AviWriter::Drain(bool flushing) {
  Av& a = *av_;
  for (;;) {
    const int r = avcodec_receive_packet(a.codec, a.packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return false;
    av_packet_rescale_ts(a.packet, a.codec->time_base, a.stream->time_base);
    a.packet->stream_index = a.stream->index;
    if (av_interleaved_write_frame(a.format, a.packet) < 0) return false;
    // Push the bytes out now so that a full disk shows at this frame, not at the end.
    if (!flushing) avio_flush(a.format->pb);
    if (a.format->pb->error < 0) return false;
  }
}

HResult AviWriter::Write(int width, int height, const uint8_t* bits, int bitsPerPixel) {
  // A frame of another shape than the first cannot go into the same stream.
  if (width != width_ || height != height_ || bitsPerPixel != bpp_ || !bits) return Fail(moviemsg::kFormatMismatch);
  Av& a = *av_;
  if (av_frame_make_writable(a.frame) < 0) return Fail(moviemsg::kWriteFailed);
  // Rows come bottom-up: the staging block holds them top-down.
  const size_t rowBytes = size_t(width) * size_t(bitsPerPixel / 8);
  for (int y = 0; y < height; ++y)
    std::memcpy(a.staging[0] + size_t(y) * size_t(a.stagingStride[0]), bits + size_t(height - 1 - y) * rowBytes,
                rowBytes);
  sws_scale(a.sws, a.staging, a.stagingStride, 0, height, a.frame->data, a.frame->linesize);
  a.frame->pts = frameCounter_;
  if (!WritesMp4()) {
    a.frame->pict_type = AV_PICTURE_TYPE_I;
    a.frame->key_frame = 1;
  }
  if (avcodec_send_frame(a.codec, a.frame) < 0 || !Drain(false)) return Fail(moviemsg::kWriteFailed);
  ++frameCounter_;
  return kSOk;
}

HResult AviWriter::Close() {
  if (state_ != kOpen) {
    Release();
    state_ = kClosed;
    return kSOk;
  }
  Av& a = *av_;
  bool ok = avcodec_send_frame(a.codec, nullptr) >= 0 && Drain(true);
  ok = av_write_trailer(a.format) >= 0 && ok;
  if (a.format->pb) {
    avio_flush(a.format->pb);
    ok = ok && a.format->pb->error >= 0;
  }
  if (!ok) {
    a.headerWritten = false;  // the trailer has had its one try
    return Fail(moviemsg::kWriteFailed);
  }
  Release();
  state_ = kClosed;
  return kSOk;
}

}  // namespace velmira
