#include "formats/format_dispatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

#include "image/ui_text.h"
#include "formats/bmp_codec.h"
#include "formats/gif_codec.h"
#include "formats/jpeg_codec.h"
#include "formats/pcx_codec.h"
#include "formats/tiff_codec.h"

namespace velmira {

namespace {

constexpr char kErrUnsupported[] = "Unsupported operation for this format";
constexpr char kErrUnknownContent[] = "Unknown picture format";

constexpr std::array<FileFormatEntry, 8> kTable = {{
    {kFormatJpeg, true, true, "JPG", "*.jpg;*.jpeg"},
    {kFormatBmp, true, true, "BMP", "*.bmp"},
    {kFormatGif, true, true, "GIF", "*.gif"},
    {kFormatTiff, true, true, "TIF", "*.tif;*.tiff"},
    {kFormatPcx, true, false, "PCX", "*.pcx"},
    {kFormatVlm, true, true, "VLM", "*.vlm"},
    {kFormatPsd, true, false, "PSD", "*.psd"},
    {kAllPictureFormats, true, true, QT_TR_NOOP("모든그림형식"), "*.bmp;*.gif;*.jpg;*.tif;*.pcx;*.vlm;*.psd"},
}};

bool Usable(const FileFormatEntry& e, bool open) { return open ? e.open : e.save; }

// Runs one decoder on a fresh image, so that a failure halfway leaves the caller's
// picture alone; only the error text travels back.
template <class Decoder>
bool DecodeFresh(CImageBuffer& image, CImageStream& stream, Decoder decode) {
  CImageBuffer fresh(image.FormatType());
  fresh.Ext().frameIndex = image.Ext().frameIndex;
  if (!decode(fresh, stream)) {
    image.SetLastError(fresh.LastError());
    return false;
  }
  image.TakeOver(fresh);
  return true;
}

bool DecodeOne(CImageBuffer& image, CImageStream& stream, int format) {
  switch (format) {
    case kFormatJpeg: return DecodeFresh(image, stream, JpegDecode);
    case kFormatBmp: return DecodeFresh(image, stream, BmpDecode);
    case kFormatGif: return DecodeFresh(image, stream, GifDecode);
    case kFormatTiff: return DecodeFresh(image, stream, TiffDecode);
    case kFormatPcx: return DecodeFresh(image, stream, PcxDecode);
    case kFormatVlm:
    case kFormatSco: return true;
    default: image.SetLastError(kErrUnsupported); return false;
  }
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

std::string ErrnoText(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
}

// A name in the same folder that no other file has, opened exclusively; the mode
// lets the umask decide the permissions as it would for a new file.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& tmp) {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  const std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%d.%u.%08x.tmp", int(getpid()), counter++, rd());
    std::string name = target.filename().string();
    name.insert(name.begin(), '.');
    name += suffix;
    tmp = dir / name;
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::span<const FileFormatEntry> FileFormatTable() { return kTable; }

int FormatFromPath(const std::filesystem::path& path) { return FormatFromExtension(path.extension().string()); }

std::string BuildFilterString(bool open) {
  std::string out;
  for (const FileFormatEntry& e : kTable) {
    if (!Usable(e, open)) continue;
    out += e.description;
    out += '\0';
    out += e.pattern;
    out += '\0';
  }
  return out;
}

std::vector<std::string> BuildQtFilters(bool open) {
  std::vector<std::string> out;
  for (const FileFormatEntry& e : kTable) {
    if (!Usable(e, open)) continue;
    std::string patterns = e.pattern;
    for (char& c : patterns)
      if (c == ';') c = ' ';
    out.push_back(std::string(UiText(e.description)) + " (" + patterns + ")");
  }
  return out;
}

int FormatFromFilterIndex(int index, bool open) {
  if (index < 0) return -1;
  for (const FileFormatEntry& e : kTable) {
    if (!Usable(e, open)) continue;
    if (index-- == 0) return e.type;
  }
  return -1;
}

std::filesystem::path ResolveSaveName(const std::filesystem::path& typed, int chosenFormat) {
  const int typedFormat = FormatFromPath(typed);
  for (const FileFormatEntry& e : kTable)
    if (e.save && e.type == typedFormat) return typed;
  const char* pattern = "*.jpg";
  for (const FileFormatEntry& e : kTable)
    if (e.save && e.type == chosenFormat && e.type != kAllPictureFormats) pattern = e.pattern;
  const std::string_view p(pattern);
  std::filesystem::path out = typed;
  out += std::string(p.substr(1, p.find(';') - 1));
  return out;
}

int SaveFilterIndex(int format) {
  int index = 0;
  for (const FileFormatEntry& e : kTable) {
    if (!e.save) continue;
    if (e.type == format) return index;
    ++index;
  }
  return 0;
}

bool DecodeStream(CImageBuffer& image, CImageStream& stream, int format) {
  if (format != kFormatDetect) return DecodeOne(image, stream, format);
  const int64_t start = stream.Tell();
  static constexpr int kOrder[] = {kFormatBmp, kFormatJpeg, kFormatGif, kFormatTiff, kFormatPcx};
  for (size_t i = 0; i < std::size(kOrder); ++i) {
    if (i > 0 && !stream.Seek(start, CImageStream::kSet)) break;
    if (DecodeOne(image, stream, kOrder[i])) return true;
  }
  // The last decoder's complaint would only confuse: say that nothing matched.
  image.SetLastError(kErrUnknownContent);
  return false;
}

bool EncodeStream(CImageBuffer& image, CImageStream& stream, int format) {
  switch (format) {
    case kFormatJpeg: return JpegEncode(image, stream);
    case kFormatBmp: return BmpEncode(image, stream);
    case kFormatGif: return GifEncode(image, stream, image);
    case kFormatTiff: return TiffEncode(image, stream);
    case kFormatVlm:
    case kFormatSco: return true;
    default: image.SetLastError(kErrUnsupported); return false;
  }
}

bool LoadFile(CImageBuffer& image, const std::filesystem::path& path, int format) {
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) {
    image.SetLastError(ErrnoText("Unable to open file", errno));
    return false;
  }
  CImageFileStream stream(f.get());
  if (DecodeStream(image, stream, format)) return true;
  if (format == kFormatDetect) return false;
  // A misleading extension: let the content decide. The named codec's complaint is
  // kept when nothing else reads the file either.
  const std::string firstError = image.LastError();
  f.reset(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  CImageFileStream again(f.get());
  if (DecodeStream(image, again, kFormatDetect)) return true;
  image.SetLastError(firstError);
  return false;
}

bool SaveFile(CImageBuffer& image, const std::filesystem::path& path, int format) {
  if (format == kFormatVlm || format == kFormatSco) return true;
  if (format != kFormatJpeg && format != kFormatBmp && format != kFormatGif && format != kFormatTiff) {
    image.SetLastError(kErrUnsupported);
    return false;
  }
  // Replace what a symbolic link points to, not the link.
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    if (!ec) target = resolved;
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    // A device or pipe cannot be replaced by renaming; write to it directly.
    FilePtr f(std::fopen(target.c_str(), "wb"));
    if (!f) {
      image.SetLastError(ErrnoText("Unable to create file", errno));
      return false;
    }
    CImageFileStream stream(f.get());
    if (!EncodeStream(image, stream, format)) return false;
    if (std::fclose(f.release()) != 0) {
      image.SetLastError(ErrnoText("Error writing file", errno));
      return false;
    }
    return true;
  }

  std::filesystem::path tmp;
  const int fd = CreateTemporary(target, tmp);
  if (fd < 0) {
    image.SetLastError(ErrnoText("Unable to create file", errno));
    return false;
  }
  FILE* raw = ::fdopen(fd, "wb");
  if (!raw) {
    const int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    image.SetLastError(ErrnoText("Unable to create file", err));
    return false;
  }
  FilePtr f(raw);
  CImageFileStream stream(f.get());
  bool ok = EncodeStream(image, stream, format);
  if (ok && (std::fflush(f.get()) != 0 || std::ferror(f.get()))) {
    image.SetLastError(ErrnoText("Error writing file", errno));
    ok = false;
  }
  if (ok && exists) {
    // The replaced file keeps its permissions, and its new contents reach the disk
    // before the name moves, so a crash cannot leave an empty file behind.
    ::fchmod(fd, old.st_mode & 07777);
    if (::fsync(fd) != 0) {
      image.SetLastError(ErrnoText("Error writing file", errno));
      ok = false;
    }
  }
  if (std::fclose(f.release()) != 0 && ok) {
    image.SetLastError(ErrnoText("Error writing file", errno));
    ok = false;
  }
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
    image.SetLastError(ErrnoText("Unable to replace file", errno));
    ok = false;
  }
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace velmira
