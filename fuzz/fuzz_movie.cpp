// libFuzzer target: the player's movie reader on arbitrary bytes — opening (container
// probing, stream choice, the size limits), the first frames and going back to the
// start. The bytes go through a file because the reader, like the player, opens paths.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "movie/movie_decoder.h"

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    av_log_set_level(AV_LOG_QUIET);  // damaged input makes the decoders talk on every run
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(shm) + "/velmira-fuzz-movie-" + std::to_string(getpid());
  }();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  velmira::MovieDecoder d;
  if (!d.Open(path)) return 0;
  velmira::DecodedFrame frame;
  for (int i = 0; i < 12 && d.Next(frame); ++i) {
    if (frame.bgra.size() != size_t(frame.width) * size_t(frame.height) * 4) __builtin_trap();
  }
  if (d.Rewind()) d.Next(frame);
  return 0;
}
