// FFmpeg is opened the first time a movie is written or played, not when the
// program starts. Linked directly, its libraries and their hundred-odd dependencies
// are mapped and relocated by every run of the editor and velmira-cli: tens of
// megabytes of memory and a tenth of a second of start-up that a picture
// conversion never uses.
//
// The code that calls FFmpeg includes ffmpeg_calls.h, which sends each call through
// the table loaded here, so that it still reads as plain FFmpeg calls.
#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#define VELMIRA_FFMPEG_FUNCTIONS(X)                                                                          \
  X(av_dict_free) X(av_dict_set) X(av_find_best_stream) X(av_frame_alloc) X(av_frame_free)                  \
  X(av_frame_get_buffer) X(av_frame_make_writable) X(av_frame_unref) X(av_freep) X(av_image_alloc)          \
  X(av_interleaved_write_frame) X(av_log_set_level) X(av_opt_set) X(av_packet_alloc) X(av_packet_free)      \
  X(av_packet_rescale_ts) X(av_packet_unref) X(av_read_frame) X(av_seek_frame) X(av_write_trailer)          \
  X(avcodec_alloc_context3) X(avcodec_find_encoder) X(avcodec_find_encoder_by_name)                          \
  X(avcodec_flush_buffers) X(avcodec_free_context) X(avcodec_open2) X(avcodec_parameters_from_context)      \
  X(avcodec_parameters_to_context) X(avcodec_receive_frame) X(avcodec_receive_packet)                       \
  X(avcodec_send_frame) X(avcodec_send_packet) X(avcodec_version) X(avformat_alloc_output_context2)         \
  X(avformat_close_input) X(avformat_find_stream_info) X(avformat_free_context) X(avformat_new_stream)      \
  X(avformat_open_input) X(avformat_version) X(avformat_write_header) X(avio_closep) X(avio_flush)          \
  X(avio_open) X(sws_freeContext) X(sws_getContext) X(sws_scale)

namespace velmira {

struct FfmpegFunctions {
#define VELMIRA_FFMPEG_MEMBER(f) decltype(&::f) f = nullptr;
  VELMIRA_FFMPEG_FUNCTIONS(VELMIRA_FFMPEG_MEMBER)
#undef VELMIRA_FFMPEG_MEMBER
};

// Opens the libraries once (later calls return the first answer). False, with the
// reason in `why`, when they or one of the functions are missing; no FFmpeg call may
// be made then.
bool LoadFfmpeg(std::string* why = nullptr);

// The table; only valid after LoadFfmpeg returned true.
const FfmpegFunctions& Ffmpeg();

}  // namespace velmira
