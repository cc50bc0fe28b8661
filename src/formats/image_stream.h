// Contributors: read CONTRIBUTING.md at the top of the tree first.
// CImageStream: the one byte source and sink every codec works on, over an open
// file or a block of memory, so that no decoder needs a file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace velmira {

class CImageStream {
 public:
  enum Origin { kSet = SEEK_SET, kCur = SEEK_CUR, kEnd = SEEK_END };
  virtual ~CImageStream() = default;
  // Items read or written (like fread/fwrite).
  virtual size_t Read(void* buffer, size_t itemSize, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t itemSize, size_t count) = 0;
  virtual bool Seek(int64_t offset, Origin origin) = 0;
  virtual int64_t Tell() const = 0;
  virtual bool Flush() = 0;
  virtual bool Eof() const = 0;
  virtual bool Error() const = 0;
  virtual bool PutC(uint8_t c) { return Write(&c, 1, 1) == 1; }
  // Total length when known (files and memory know it), −1 otherwise. Decoders
  // check header sizes against it before allocating.
  virtual int64_t Size() const = 0;
};

// Wraps a FILE* the caller opened ("rb" or "wb") and will close.
class CImageFileStream : public CImageStream {
 public:
  explicit CImageFileStream(FILE* f) : f_(f) {}
  size_t Read(void* buffer, size_t itemSize, size_t count) override;
  size_t Write(const void* buffer, size_t itemSize, size_t count) override;
  bool Seek(int64_t offset, Origin origin) override;
  int64_t Tell() const override;
  bool Flush() override;
  bool Eof() const override;
  bool Error() const override;
  int64_t Size() const override;

 private:
  FILE* f_;
};

// Reads a caller-owned block, or writes into an owned growing buffer.
class CImageMemoryStream : public CImageStream {
 public:
  CImageMemoryStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  CImageMemoryStream() = default;  // for writing
  size_t Read(void* buffer, size_t itemSize, size_t count) override;
  size_t Write(const void* buffer, size_t itemSize, size_t count) override;
  bool Seek(int64_t offset, Origin origin) override;
  int64_t Tell() const override { return int64_t(pos_); }
  bool Flush() override { return true; }
  bool Eof() const override { return eof_; }
  bool Error() const override { return false; }
  int64_t Size() const override { return int64_t(data_ ? size_ : out_.size()); }
  const std::vector<uint8_t>& Bytes() const { return out_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool eof_ = false;
  std::vector<uint8_t> out_;
};

}  // namespace velmira
