// Reading written movies back in the tests: the container's own view of the video
// stream (codec, tag, rate, one entry per packet) straight from libavformat.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace velmira::test {

struct ProbedStream {
  bool ok = false;
  std::string codec;
  uint32_t tag = 0;
  int width = 0, height = 0;
  AVRational rate{0, 1};
  std::vector<bool> packetKey;  // one entry per video packet
};

inline ProbedStream Probe(const std::filesystem::path& path) {
  ProbedStream out;
  AVFormatContext* f = nullptr;
  if (avformat_open_input(&f, path.c_str(), nullptr, nullptr) < 0) return out;
  if (avformat_find_stream_info(f, nullptr) >= 0) {
    const int s = av_find_best_stream(f, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (s >= 0) {
      const AVStream* st = f->streams[s];
      out.codec = avcodec_get_name(st->codecpar->codec_id);
      out.tag = st->codecpar->codec_tag;
      out.width = st->codecpar->width;
      out.height = st->codecpar->height;
      out.rate = st->r_frame_rate;
      AVPacket* p = av_packet_alloc();
      while (av_read_frame(f, p) >= 0) {
        if (p->stream_index == s) out.packetKey.push_back((p->flags & AV_PKT_FLAG_KEY) != 0);
        av_packet_unref(p);
      }
      av_packet_free(&p);
      out.ok = true;
    }
  }
  avformat_close_input(&f);
  return out;
}

}  // namespace velmira::test
