#include "movie/movie_decoder.h"

#include <cstring>

#include "movie/ffmpeg_calls.h"

namespace velmira {

namespace {
// Frames larger than this are refused rather than allocated: a damaged header must not
// make the player ask for gigabytes.
constexpr int kMaxSide = 8192;
// A file that keeps yielding packets that decode to nothing is given up on.
constexpr int kMaxFruitlessPackets = 4096;
}  // namespace

struct MovieDecoder::Av {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  SwsContext* sws = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int stream = -1;
  bool draining = false;
  bool ended = false;
  int swsW = 0, swsH = 0, swsFormat = -1;
  // swscale's vector code writes past the end of rows that are not padded, so it
  // scales into this aligned block and the rows are copied out from it.
  uint8_t* staging[4] = {};
  int stagingStride[4] = {};

  ~Av() {
    av_freep(&staging[0]);
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }
};

MovieDecoder::MovieDecoder() = default;
MovieDecoder::~MovieDecoder() = default;

void MovieDecoder::Close() { av_.reset(); }
bool MovieDecoder::IsOpen() const { return av_ != nullptr; }

bool MovieDecoder::Open(const std::filesystem::path& path, std::string* error) {
  Close();
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    av_.reset();
    return false;
  };
  std::string why;
  if (!LoadFfmpeg(&why)) return fail(why);
  auto a = std::make_unique<Av>();
  const std::string p = path.string();
  if (avformat_open_input(&a->format, p.c_str(), nullptr, nullptr) < 0) return fail("cannot open the file");
  av_ = std::move(a);
  Av& v = *av_;
  if (avformat_find_stream_info(v.format, nullptr) < 0) return fail("cannot read the file's streams");
  const AVCodec* decoder = nullptr;
  v.stream = av_find_best_stream(v.format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (v.stream < 0 || !decoder) return fail("no video stream that can be decoded");
  const AVCodecParameters* par = v.format->streams[v.stream]->codecpar;
  if (par->width <= 0 || par->height <= 0 || par->width > kMaxSide || par->height > kMaxSide)
    return fail("unsupported frame size");
  v.codec = avcodec_alloc_context3(decoder);
  if (!v.codec || avcodec_parameters_to_context(v.codec, par) < 0) return fail("out of memory");
  v.codec->thread_count = 1;  // the player already runs beside the UI; keep the other core free
  if (avcodec_open2(v.codec, decoder, nullptr) < 0) return fail("the decoder does not start");
  v.frame = av_frame_alloc();
  v.packet = av_packet_alloc();
  if (!v.frame || !v.packet) return fail("out of memory");
  for (unsigned i = 0; i < v.format->nb_streams; ++i)
    if (int(i) != v.stream) v.format->streams[i]->discard = AVDISCARD_ALL;
  path_ = path;
  return true;
}

int MovieDecoder::Width() const { return av_ ? av_->format->streams[av_->stream]->codecpar->width : 0; }
int MovieDecoder::Height() const { return av_ ? av_->format->streams[av_->stream]->codecpar->height : 0; }

double MovieDecoder::FramesPerSecond() const {
  if (!av_) return 0;
  const AVStream* s = av_->format->streams[av_->stream];
  AVRational r = s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0 ? s->avg_frame_rate : s->r_frame_rate;
  return r.num > 0 && r.den > 0 ? av_q2d(r) : 0;
}

double MovieDecoder::DurationSeconds() const {
  if (!av_ || av_->format->duration <= 0) return 0;
  return double(av_->format->duration) / AV_TIME_BASE;
}

std::string MovieDecoder::CodecName() const { return av_ && av_->codec->codec ? av_->codec->codec->name : ""; }

bool MovieDecoder::ReceiveFrame(DecodedFrame& out) {
  Av& v = *av_;
  if (avcodec_receive_frame(v.codec, v.frame) < 0) return false;
  const int w = v.frame->width, h = v.frame->height;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || v.frame->format < 0) {
    av_frame_unref(v.frame);
    return false;
  }
  if (!v.sws || v.swsW != w || v.swsH != h || v.swsFormat != v.frame->format) {
    sws_freeContext(v.sws);
    v.sws = sws_getContext(w, h, AVPixelFormat(v.frame->format), w, h, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr,
                           nullptr, nullptr);
    v.swsW = w, v.swsH = h, v.swsFormat = v.frame->format;
    av_freep(&v.staging[0]);
    if (!v.sws || av_image_alloc(v.staging, v.stagingStride, w, h + 1, AV_PIX_FMT_BGRA, 64) < 0) {
      sws_freeContext(v.sws);
      v.sws = nullptr;
      av_frame_unref(v.frame);
      return false;
    }
  }
  out.width = w;
  out.height = h;
  out.bgra.resize(size_t(w) * size_t(h) * 4);
  sws_scale(v.sws, v.frame->data, v.frame->linesize, 0, h, v.staging, v.stagingStride);
  for (int y = 0; y < h; ++y)
    std::memcpy(out.bgra.data() + size_t(y) * size_t(w) * 4, v.staging[0] + size_t(y) * size_t(v.stagingStride[0]),
                size_t(w) * 4);
  const AVStream* s = v.format->streams[v.stream];
  int64_t ts = v.frame->best_effort_timestamp;
  if (ts == AV_NOPTS_VALUE) ts = v.frame->pts;
  const int64_t start = s->start_time == AV_NOPTS_VALUE ? 0 : s->start_time;
  out.seconds = ts == AV_NOPTS_VALUE ? 0 : double(ts - start) * av_q2d(s->time_base);
  if (out.seconds < 0) out.seconds = 0;
  out.key = v.frame->key_frame != 0;
  av_frame_unref(v.frame);
  return true;
}

bool MovieDecoder::Next(DecodedFrame& out) {
  if (!av_) return false;
  Av& v = *av_;
  int fruitless = 0;
  for (;;) {
    if (ReceiveFrame(out)) return true;
    if (v.ended) return false;
    if (v.draining) {
      v.ended = true;
      continue;  // one more receive after the flush has been asked for
    }
    if (++fruitless > kMaxFruitlessPackets) return false;
    const int r = av_read_frame(v.format, v.packet);
    if (r < 0) {
      // End of file (or a read error): let the decoder give up what it still holds.
      avcodec_send_packet(v.codec, nullptr);
      v.draining = true;
      continue;
    }
    if (v.packet->stream_index == v.stream) avcodec_send_packet(v.codec, v.packet);  // damaged packets are skipped
    av_packet_unref(v.packet);
  }
}

bool MovieDecoder::Rewind() {
  if (!av_) return false;
  Av& v = *av_;
  const AVStream* s = v.format->streams[v.stream];
  const int64_t start = s->start_time == AV_NOPTS_VALUE ? 0 : s->start_time;
  if (av_seek_frame(v.format, v.stream, start, AVSEEK_FLAG_BACKWARD) >= 0) {
    avcodec_flush_buffers(v.codec);
    v.draining = v.ended = false;
    return true;
  }
  // Some containers cannot seek; opening the file again always starts at the beginning.
  const std::filesystem::path p = path_;
  return Open(p);
}

}  // namespace velmira
