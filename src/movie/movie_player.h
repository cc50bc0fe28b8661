// MoviePlayback: the player's engine. A worker thread decodes a few frames ahead
// (MovieDecoder) while the caller — the dialog's timer on the UI thread — asks which
// frame is due now. Opening a file, stopping (back to the start) and the decoding all
// happen on the worker, so the caller never waits on the disk or the decoder.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "movie/movie_decoder.h"

namespace velmira {

class MoviePlayback {
 public:
  enum class State { kEmpty, kLoading, kReady, kPlaying, kPaused, kStopped, kFailed };
  using Clock = std::chrono::steady_clock;

  MoviePlayback();
  ~MoviePlayback();
  MoviePlayback(const MoviePlayback&) = delete;
  MoviePlayback& operator=(const MoviePlayback&) = delete;

  // Starts opening a file; the state is kLoading until it is open (kReady, first frame
  // on its way) or has failed (kFailed, Error() says why).
  void Load(const std::filesystem::path& path);
  void Play();
  void Pause();
  // Back to the first frame, which is shown again.
  void Stop();
  // Lets the file go; the state is kEmpty.
  void Close();

  State GetState() const;
  std::string Error() const;
  int Width() const;
  int Height() const;
  double Duration() const;
  // The playing position in seconds.
  double Position(Clock::time_point now = Clock::now()) const;

  // The frame to show at `now` when it differs from the one shown last; false when the
  // picture stays as it is. Reaching the end of the movie stops playing (kStopped).
  bool TakeFrame(DecodedFrame& out, Clock::time_point now = Clock::now());

 private:
  void Run();
  void RequestRewindLocked();

  static constexpr size_t kAhead = 6;
  mutable std::mutex m_;
  std::condition_variable cv_;
  bool quit_ = false;
  bool loadRequested_ = false;
  bool rewindRequested_ = false;
  bool opened_ = false;
  bool eof_ = false;
  bool needFirst_ = false;  // show the next frame whatever the clock says
  unsigned generation_ = 0;
  std::filesystem::path path_;
  std::deque<DecodedFrame> ahead_;
  State state_ = State::kEmpty;
  std::string error_;
  int width_ = 0, height_ = 0;
  double duration_ = 0;
  double base_ = 0;  // position when the clock last stopped
  Clock::time_point started_{};
  MovieDecoder decoder_;  // the worker's alone
  // Last, and started in the constructor's body: the thread reads every member above.
  std::thread worker_;
};

}  // namespace velmira
