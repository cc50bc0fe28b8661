#include "formats/image_stream.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace velmira {

size_t CImageFileStream::Read(void* buffer, size_t itemSize, size_t count) {
  return f_ ? std::fread(buffer, itemSize, count, f_) : 0;
}
size_t CImageFileStream::Write(const void* buffer, size_t itemSize, size_t count) {
  return f_ ? std::fwrite(buffer, itemSize, count, f_) : 0;
}
bool CImageFileStream::Seek(int64_t offset, Origin origin) {
  return f_ && fseeko(f_, off_t(offset), int(origin)) == 0;
}
int64_t CImageFileStream::Tell() const { return f_ ? int64_t(ftello(f_)) : -1; }
bool CImageFileStream::Flush() { return f_ && std::fflush(f_) == 0; }
bool CImageFileStream::Eof() const { return !f_ || std::feof(f_); }
bool CImageFileStream::Error() const { return !f_ || std::ferror(f_); }
int64_t CImageFileStream::Size() const {
  struct stat st;
  if (!f_ || fstat(fileno(f_), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return int64_t(st.st_size);
}

size_t CImageMemoryStream::Read(void* buffer, size_t itemSize, size_t count) {
  if (!data_ || itemSize == 0 || count == 0) return 0;
  const size_t avail = pos_ < size_ ? size_ - pos_ : 0;
  const size_t items = std::min(count, avail / itemSize);
  if (items < count) eof_ = true;
  std::memcpy(buffer, data_ + pos_, items * itemSize);
  pos_ += items * itemSize;
  return items;
}

size_t CImageMemoryStream::Write(const void* buffer, size_t itemSize, size_t count) {
  if (data_) return 0;  // a read stream
  const size_t n = itemSize * count;
  if (pos_ + n > out_.size()) out_.resize(pos_ + n);
  std::memcpy(out_.data() + pos_, buffer, n);
  pos_ += n;
  return count;
}

bool CImageMemoryStream::Seek(int64_t offset, Origin origin) {
  const int64_t base = origin == kSet ? 0 : origin == kCur ? int64_t(pos_) : Size();
  const int64_t p = base + offset;
  if (p < 0 || (data_ && p > int64_t(size_))) return false;
  pos_ = size_t(p);
  eof_ = false;
  return true;
}

}  // namespace velmira
