// MovieDecoder: reads the video of a movie file (whatever FFmpeg decodes: AVI, MPG,
// WMV, MP4, ...) frame by frame as 32-bit pixels. Sound is ignored.
//
// It is the player's reader and the tests' way of checking what the writer wrote; it
// runs on whichever thread calls it, one thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmira {

struct DecodedFrame {
  int width = 0;
  int height = 0;
  // Blue, green, red, 255 per pixel; rows top-down, width × 4 bytes each.
  std::vector<uint8_t> bgra;
  double seconds = 0;  // presentation time from the start of the movie
  bool key = false;
};

class MovieDecoder {
 public:
  MovieDecoder();
  ~MovieDecoder();
  MovieDecoder(const MovieDecoder&) = delete;
  MovieDecoder& operator=(const MovieDecoder&) = delete;

  // Opens the file's first video stream. On failure returns false with a reason.
  bool Open(const std::filesystem::path& path, std::string* error = nullptr);
  void Close();
  bool IsOpen() const;

  int Width() const;
  int Height() const;
  double FramesPerSecond() const;  // 0 when the file does not say
  double DurationSeconds() const;  // 0 when the file does not say
  std::string CodecName() const;

  // The next frame in presentation order; false at the end of the movie or when
  // the file cannot be read further. Damaged packets are skipped.
  bool Next(DecodedFrame& out);
  // Back to the first frame.
  bool Rewind();

 private:
  struct Av;
  bool ReceiveFrame(DecodedFrame& out);
  std::unique_ptr<Av> av_;
  std::filesystem::path path_;
};

}  // namespace velmira
