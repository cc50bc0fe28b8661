#include "movie/movie_player.h"

namespace velmira {

MoviePlayback::MoviePlayback() { worker_ = std::thread([this] { Run(); }); }

MoviePlayback::~MoviePlayback() {
  {
    std::lock_guard lk(m_);
    quit_ = true;
  }
  cv_.notify_all();
  worker_.join();
}

void MoviePlayback::Load(const std::filesystem::path& path) {
  {
    std::lock_guard lk(m_);
    path_ = path;
    loadRequested_ = true;
    rewindRequested_ = false;
    opened_ = false;
    ++generation_;
    ahead_.clear();
    eof_ = false;
    error_.clear();
    base_ = 0;
    state_ = State::kLoading;
  }
  cv_.notify_all();
}

void MoviePlayback::Close() {
  {
    std::lock_guard lk(m_);
    path_.clear();
    loadRequested_ = true;  // the worker closes its decoder
    opened_ = false;
    ++generation_;
    ahead_.clear();
    base_ = 0;
    state_ = State::kEmpty;
  }
  cv_.notify_all();
}

void MoviePlayback::Play() {
  std::lock_guard lk(m_);
  if (state_ != State::kReady && state_ != State::kPaused && state_ != State::kStopped) return;
  started_ = Clock::now();
  state_ = State::kPlaying;
}

void MoviePlayback::Pause() {
  std::lock_guard lk(m_);
  if (state_ != State::kPlaying) return;
  base_ += std::chrono::duration<double>(Clock::now() - started_).count();
  state_ = State::kPaused;
}

void MoviePlayback::RequestRewindLocked() {
  rewindRequested_ = true;
  ++generation_;
  ahead_.clear();
  eof_ = false;
  base_ = 0;
}

void MoviePlayback::Stop() {
  {
    std::lock_guard lk(m_);
    if (state_ != State::kPlaying && state_ != State::kPaused && state_ != State::kReady &&
        state_ != State::kStopped)
      return;
    RequestRewindLocked();
    needFirst_ = true;
    state_ = State::kStopped;
  }
  cv_.notify_all();
}

MoviePlayback::State MoviePlayback::GetState() const {
  std::lock_guard lk(m_);
  return state_;
}

std::string MoviePlayback::Error() const {
  std::lock_guard lk(m_);
  return error_;
}

int MoviePlayback::Width() const {
  std::lock_guard lk(m_);
  return width_;
}

int MoviePlayback::Height() const {
  std::lock_guard lk(m_);
  return height_;
}

double MoviePlayback::Duration() const {
  std::lock_guard lk(m_);
  return duration_;
}

double MoviePlayback::Position(Clock::time_point now) const {
  std::lock_guard lk(m_);
  if (state_ != State::kPlaying) return base_;
  return base_ + std::chrono::duration<double>(now - started_).count();
}

bool MoviePlayback::TakeFrame(DecodedFrame& out, Clock::time_point now) {
  bool took = false;
  {
    std::lock_guard lk(m_);
    if (!opened_) return false;
    if (needFirst_) {
      if (ahead_.empty()) return false;
      out = std::move(ahead_.front());
      ahead_.pop_front();
      needFirst_ = false;
      took = true;
    }
    if (state_ == State::kPlaying) {
      const double pos = base_ + std::chrono::duration<double>(now - started_).count();
      // Frames that are late are passed over: the picture keeps time with the clock.
      while (!ahead_.empty() && ahead_.front().seconds <= pos + 1e-3) {
        out = std::move(ahead_.front());
        ahead_.pop_front();
        took = true;
      }
      if (ahead_.empty() && eof_) {
        // The end: stopped, and the next Play starts from the beginning; the last
        // frame stays on screen.
        RequestRewindLocked();
        state_ = State::kStopped;
      }
    }
  }
  cv_.notify_all();  // room ahead again
  return took;
}

void MoviePlayback::Run() {
  std::unique_lock lk(m_);
  for (;;) {
    cv_.wait(lk, [&] {
      return quit_ || loadRequested_ || rewindRequested_ || (opened_ && !eof_ && ahead_.size() < kAhead);
    });
    if (quit_) return;
    if (loadRequested_) {
      loadRequested_ = false;
      const std::filesystem::path path = path_;
      const unsigned gen = generation_;
      lk.unlock();
      std::string why;
      bool ok = false;
      if (path.empty()) {
        decoder_.Close();
      } else {
        ok = decoder_.Open(path, &why);
      }
      lk.lock();
      if (gen != generation_ || path.empty()) continue;  // asked for something else meanwhile
      if (!ok) {
        error_ = why;
        state_ = State::kFailed;
        continue;
      }
      opened_ = true;
      width_ = decoder_.Width();
      height_ = decoder_.Height();
      duration_ = decoder_.DurationSeconds();
      needFirst_ = true;
      state_ = State::kReady;
      continue;
    }
    if (rewindRequested_) {
      rewindRequested_ = false;
      lk.unlock();
      const bool ok = decoder_.Rewind();
      lk.lock();
      if (!ok) {
        opened_ = false;
        error_ = "cannot go back to the start";
        state_ = State::kFailed;
      }
      continue;
    }
    const unsigned gen = generation_;
    lk.unlock();
    DecodedFrame f;
    const bool ok = decoder_.Next(f);
    lk.lock();
    if (gen != generation_) continue;  // stopped or reloaded while decoding: stale
    if (!ok)
      eof_ = true;
    else
      ahead_.push_back(std::move(f));
  }
}

}  // namespace velmira
