// AviWriter: writes 32-bit (or 24-bit) bottom-up frames into a movie file, one frame at
// a time, 25 frames per second.
//
// An ".avi" output holds one MPEG-4 Part 2 video stream tagged "XVID" in which every
// frame is a key frame, so that any frame can be seeked to and the file plays in
// common players. An ".mp4" output holds H.264 (yuv420p, index at the front) for
// browsers and phones.
//
// The writer has three states. It is created with nothing open; the first frame opens
// the file at that frame's size and depth; a failure or Close() closes it, and frames
// after that fail without a second message. Every failure is reported once through
// the message sink with its fixed text.
#pragma once

#include "image/ui_text.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace velmira {

class CImageBuffer;

// COM-style results, kept so callers can test every frame the same way.
using HResult = int32_t;
constexpr HResult kSOk = 0;
constexpr HResult kEFail = HResult(0x80004005u);

constexpr uint32_t FourCC(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | (uint32_t(uint8_t(s[1])) << 8) | (uint32_t(uint8_t(s[2])) << 16) |
         (uint32_t(uint8_t(s[3])) << 24);
}

namespace moviemsg {
inline constexpr const char* kFileBusy = QT_TR_NOOP("현재 파일은 사용중입니다. 출력파일명을 변경하십시요.");
inline constexpr const char* kNoStream = "Unable to Create Video Stream in the Movie File";
inline constexpr const char* kNoCodec =
    QT_TR_NOOP("무비작성에 필요한 코덱이 설치되어 있지 않습니다. \n\r상단의 [코덱 다운로드 및 설치] 버튼을 선택하십시요.");
inline constexpr const char* kFormatMismatch = QT_TR_NOOP("이미지와 코덱의 형식이 일치하지 않습니다.");
inline constexpr const char* kWriteFailed = QT_TR_NOOP("무비 파일에 스트림 출력 문제로 진행이 불가합니다.");
inline constexpr const char* kMemory = QT_TR_NOOP("메모리 배정 문제로 진행이 불가합니다.");
inline constexpr const char* kSucceeded = "Method Succeeded";
}  // namespace moviemsg

class AviWriter {
 public:
  enum State : int { kClosed = 0, kCreated = 1, kOpen = 2 };
  using MessageSink = std::function<void(const std::string&)>;

  // `secondArgument` is kept for callers that pass it; the writer does not use it.
  AviWriter(std::filesystem::path output, uint32_t codec = FourCC("XVID"), int secondArgument = 50,
            MessageSink sink = {});
  ~AviWriter();
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  // A raw frame: `height` rows bottom-up, each width × bitsPerPixel / 8 bytes with no
  // padding; 24 bits are blue, green, red and 32 bits add a fourth byte, ignored.
  HResult AddFrame(int width, int height, const uint8_t* bits, int bitsPerPixel);
  // A picture in any depth the image buffer holds, written at its own size.
  HResult AddBitmapFrame(const CImageBuffer& image);

  // Flushes the encoder and finishes the file. Returns E_FAIL (with the write
  // message) when the end of the file could not be written.
  HResult Close();

  State GetState() const { return state_; }
  int FrameCount() const { return frameCounter_; }
  uint32_t Codec() const { return codec_; }
  int SecondArgument() const { return secondArgument_; }
  const std::filesystem::path& Output() const { return output_; }
  // "Method Succeeded", or the text of the last failure.
  const std::string& StatusText() const { return status_; }
  // True when the output is written as H.264 in MP4 rather than MPEG-4 in AVI.
  bool WritesMp4() const;

 private:
  struct Av;
  HResult Open(int width, int height, int bitsPerPixel);
  HResult Write(int width, int height, const uint8_t* bits, int bitsPerPixel);
  HResult Fail(const char* message);
  bool Drain(bool flushing);
  void Release();

  std::filesystem::path output_;
  uint32_t codec_;
  int secondArgument_;
  MessageSink sink_;
  std::string status_ = moviemsg::kSucceeded;
  State state_ = kCreated;
  int frameCounter_ = 0;
  int width_ = 0, height_ = 0, bpp_ = 0;
  std::unique_ptr<Av> av_;
};

// True when the path names an MP4 output (".mp4", any case).
bool IsMp4Path(const std::filesystem::path& path);

// Keeps the codec libraries' progress chatter off stderr; only their errors remain.
// Process-wide: the editor and velmira-cli call it once at start.
void QuietCodecMessages();

// A line for the user naming the encoder a movie of this kind is written with and
// the versions of the libraries behind it, e.g.
// "MPEG-4 Part 2 (mpeg4) · libavcodec 59.37.100, libavformat 59.27.100".
std::string EncoderDescription(bool mp4);

}  // namespace velmira
