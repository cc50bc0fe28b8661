#include "image/history.h"
#include "image/ui_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <thread>

#include "image/le_bytes.h"
#include "image/records.h"
#include "image/recovery.h"
#include "image/text.h"

namespace velmira {

namespace fs = std::filesystem;

const char* const kMsgHistoryWriteFailed =
    QT_TR_NOOP("작업내역을 임시폴더에 기록하지 못했습니다. (디스크 공간 부족 또는 임시폴더 없음)\r\n"
               "작업 결과는 그대로 남지만 이 단계는 실행취소할 수 없습니다.");
const char* const kMsgHistoryReadFailed =
    QT_TR_NOOP("작업내역 파일을 읽을 수 없습니다. (임시폴더의 파일이 지워졌거나 손상됨)\r\n"
               "그림은 바뀌지 않았습니다.");

namespace {

constexpr int kDescriptors = CHistory::kMaxSteps + 1;
constexpr std::string_view kOpeningLabel = "Opening....";
constexpr std::string_view kInitialLabel = "initial state";

using SlotMask = uint64_t;
constexpr SlotMask Bit(int s) { return SlotMask(1) << s; }
constexpr bool Has(SlotMask m, int s) { return (m >> s) & 1; }

bool HasText(const Layer& l) { return l.kind == kLayerText && l.textLength > 0; }

SlotMask ChainMask(const LayerStack& stack) {
  SlotMask m = 0;
  for (int s : stack.Chain()) m |= Bit(s);
  return m;
}

// A record describes buffers of sane size for the picture's depth.
bool RecordSizesSane(const Layer& l, int bitsPerPixel) {
  if (l.width <= 0 || l.height <= 0) return false;
  if (int64_t(l.width) * l.height != l.pixelCount) return false;
  const int64_t stride = l.kind == kLayerText ? l.width : StrideFor(l.width, RoundBitsPerPixel(bitsPerPixel));
  if (stride != l.stride || stride * l.height != l.imageSize) return false;
  return l.textLength >= 0;
}

std::vector<uint8_t> TextBytes(const Layer& l) {
  std::vector<uint8_t> b(size_t(l.textLength) * 2, 0);
  const size_t n = std::min(size_t(l.textLength), l.textBuffer.size());
  for (size_t i = 0; i < n; ++i) PutU16(&b[2 * i], l.textBuffer[i]);
  return b;
}

std::u16string TextFromBytes(const std::vector<uint8_t>& b) {
  std::u16string t(b.size() / 2, u'\0');
  for (size_t i = 0; i < t.size(); ++i) t[i] = char16_t(GetU16(&b[2 * i]));
  return t;
}

// Width counted in UTF-16 units, so that a Korean label pads like a Latin one of
// the same number of characters.
std::string PadLeft(const std::string& s, size_t width) {
  const size_t units = Utf8ToUtf16(s).size();
  return units >= width ? s : std::string(width - units, ' ') + s;
}

// ---------------------------------------------------------------- raw files

// Collects the pieces of one file and writes them with as few system calls as
// possible; the big planes go straight from the layer buffers to the kernel.
class OutFile {
 public:
  void Add(const void* data, size_t n) {
    if (n == 0) return;
    pieces_.push_back(iovec{const_cast<void*>(data), n});
    total_ += n;
  }
  // Adds exactly n bytes of v, zero-padded when v is short.
  void AddExact(const std::vector<uint8_t>& v, size_t n) {
    const size_t have = std::min(v.size(), n);
    Add(v.data(), have);
    if (have < n) Own(std::vector<uint8_t>(n - have, 0));
  }
  // An unwritten plane goes out as its uniform value, from one shared run of it.
  void AddExact(const Plane& v, size_t n) {
    if (v.Allocated()) {
      // The file holds the block too: a writer on another thread then reads bytes
      // that stay as they are, since the document's next write to the plane takes a
      // copy of its own.
      held_.push_back(v);
      const size_t have = std::min(v.size(), n);
      Add(v.Peek(), have);
      if (have < n) Own(std::vector<uint8_t>(n - have, 0));
      return;
    }
    size_t left = std::min(v.size(), n);
    if (left > 0) {
      Own(std::vector<uint8_t>(std::min<size_t>(left, size_t(1) << 20), v.Fill()));
      const std::vector<uint8_t>& run = kept_.back();
      pieces_.pop_back();
      total_ -= run.size();
      while (left > 0) {
        const size_t k = std::min(left, run.size());
        Add(run.data(), k);
        left -= k;
      }
    }
    if (v.size() < n) Own(std::vector<uint8_t>(n - v.size(), 0));
  }
  void Own(std::vector<uint8_t> bytes) {
    kept_.push_back(std::move(bytes));
    Add(kept_.back().data(), kept_.back().size());
  }
  uint64_t Total() const { return total_; }

  // Writes everything; a file that could not be written whole is removed.
  bool WriteTo(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = true;
    size_t i = 0;
    while (ok && i < pieces_.size()) {
      const int count = int(std::min<size_t>(pieces_.size() - i, IOV_MAX));
      const ssize_t n = ::writev(fd, &pieces_[i], count);
      if (n < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      if (n == 0) {
        ok = false;
        break;
      }
      // Skip what was written, trimming a piece written in part.
      size_t left = size_t(n);
      while (left > 0 && i < pieces_.size()) {
        if (left >= pieces_[i].iov_len) {
          left -= pieces_[i].iov_len;
          ++i;
        } else {
          pieces_[i].iov_base = static_cast<uint8_t*>(pieces_[i].iov_base) + left;
          pieces_[i].iov_len -= left;
          left = 0;
        }
      }
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(path.c_str());
    return ok;
  }

 private:
  std::vector<iovec> pieces_;
  std::vector<std::vector<uint8_t>> kept_;  // moving the vector keeps their data in place
  std::vector<Plane> held_;
  uint64_t total_ = 0;
};

class InFile {
 public:
  explicit InFile(const fs::path& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = int64_t(st.st_size);
  }
  ~InFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;
  bool Ok() const { return fd_ >= 0 && size_ >= 0; }
  int64_t Size() const { return size_; }
  // Exactly n bytes at `offset`, or false.
  bool ReadAt(int64_t offset, void* dst, size_t n, uint64_t* counter) {
    if (!Ok() || offset < 0 || offset > size_ || int64_t(n) > size_ - offset) return false;
    uint8_t* p = static_cast<uint8_t*>(dst);
    while (n > 0) {
      const ssize_t got = ::pread(fd_, p, n, off_t(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      p += got;
      n -= size_t(got);
      offset += got;
      *counter += uint64_t(got);
    }
    return true;
  }

 private:
  int fd_ = -1;
  int64_t size_ = -1;
};

template <class V>
bool Resize(V& v, size_t n) {
  try {
    v.resize(n);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- state

struct Store {
  PictureHeader header;
  std::vector<uint8_t> palette;
  Layer slots[kMaxLayers];
  bool held[kMaxLayers] = {};
};

// What one step knows of the document, in memory. `records` keeps every slot's
// layer record (links, in-use flag, position, size, kind, text fields, opacity,
// name, blend mode) so that undo and redo can put back any structure.
struct Descriptor {
  int toolId = -1;
  Name100 label;
  PictureHeader header;  // palette colours, canvas size, depth, image size, pixel count
  std::vector<uint8_t> palette;
  ExtendedInfo ext;  // the view image's extended record
  int slot = -1;
  int kind = kStepPixels;
  int bottom = -1;
  int active = -1;
  Layer records[kMaxLayers];
  // Selection at this step; its mask bytes lie in the step's file of `slot`.
  int32_t maskWidth = 0, maskHeight = 0, maskX = 0, maskY = 0;
  int64_t maskBytes = 0;
  bool selectionExists = false;
  // Slots whose buffers this step wrote to its files, and slots whose content this
  // step changed (a deleted layer is changed without being written).
  SlotMask saved = 0;
  SlotMask changed = 0;
};

// A layer whose buffers were read back, waiting to be put in place.
struct Loaded {
  bool present = false;
  Layer layer;
};

struct WholeDocument {
  PictureHeader header;
  std::vector<uint8_t> palette;
  std::vector<int> chain;
  Layer layers[kMaxLayers];
};

struct LayerFileShape {
  int64_t pixels = 0, alpha = 0, effect = 0, mask = 0, text = 0;
  int64_t Total() const { return pixels + alpha + effect + mask + text; }
};

LayerFileShape ShapeOf(const Layer& rec, int64_t maskBytes) {
  LayerFileShape s;
  s.pixels = rec.kind == kLayerText ? 0 : rec.imageSize;
  s.alpha = rec.pixelCount;
  s.effect = rec.pixelCount;
  s.mask = maskBytes;
  s.text = HasText(rec) ? int64_t(rec.textLength) * 2 : 0;
  return s;
}

}  // namespace

struct CHistory::Impl {
  explicit Impl(HistoryHost& h) : host(h) {}

  HistoryHost& host;
  int step = -1;
  int top = -1;
  std::unique_ptr<Descriptor> desc[kDescriptors];
  Store stores[2];  // undo (first backup), redo (second backup)
  // Where each slot's buffers start in the initial whole-document file (−1 absent).
  int64_t initialData[kMaxLayers];
  bool baseMissing = false;   // the initial file could not be written
  SlotMask unrecorded = 0;    // slots changed by steps whose files could not be written
  bool redoFileValid = false; // the redo whole-document file holds step 2
  int redoFileBottom = -1;
  bool failing = false;       // a write failure was already reported
  IoCounters io;
  // Plane buffers that undo and redo swapped out of the layers, kept for the next
  // read so that it neither zero-fills nor faults in fresh pages.
  std::vector<Plane> spare;
  static constexpr size_t kSpareBuffers = 4;

  bool Sized(Plane& v, size_t n) {
    for (auto it = spare.begin(); it != spare.end(); ++it)
      if (it->size() == n && it->Allocated()) {
        v.swap(*it);
        spare.erase(it);
        return true;
      }
    try {
      v.Reset(n, 0);
      v.Overwrite();
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  // The pixels, transparency and effect planes of `l`, sized from its record, read
  // in that order from `off` onward.
  bool ReadPlanes(InFile& in, int64_t& off, Layer& l) {
    if (!Sized(l.pixels, size_t(l.imageSize)) || !Sized(l.alpha, size_t(l.pixelCount)) ||
        !Sized(l.effect, size_t(l.pixelCount)))
      return false;
    if (!in.ReadAt(off, l.pixels.data(), l.pixels.size(), &io.read)) return false;
    off += l.imageSize;
    if (!in.ReadAt(off, l.alpha.data(), l.alpha.size(), &io.read)) return false;
    off += l.pixelCount;
    if (!in.ReadAt(off, l.effect.data(), l.effect.size(), &io.read)) return false;
    off += l.pixelCount;
    return true;
  }

  void Give(Plane& v) {
    if (!v.Allocated()) {
      v.clear();
      return;
    }
    spare.push_back(std::move(v));
    v.clear();
    if (spare.size() > kSpareBuffers) spare.erase(spare.begin());
  }
  void GiveLayer(Layer& l) {
    Give(l.pixels);
    Give(l.alpha);
    Give(l.effect);
  }
  void FreeSlot(LayerStack& L, int s) {
    GiveLayer(L.slots[s]);
    L.FreeSlot(s);
  }

  // --------------------------------------------------------------- names

  fs::path Folder() const { return host.TempFolder(); }
  fs::path StepFile(int s, int slot) const {
    return Folder() / Format("UD_%d_%d_%d.vlmtmp", host.Serial(), s, slot);
  }
  fs::path InitialFile() const { return Folder() / Format("WrIniLrList_Head_%d.vlmtmp", host.Serial()); }
  fs::path RedoFile() const { return Folder() / Format("RedIniLrList_Head_%d.vlmtmp", host.Serial()); }
  std::string ManifestName() const { return Format("Recovery_%d%s", host.Serial(), kRecoveryExtension); }

  // --------------------------------------------------------------- recovery

  // Where this document's manifest goes; the destructor cannot ask the document
  // any more.
  fs::path manifestPath;

  void DropManifest() {
    if (!manifestPath.empty()) Remove(manifestPath);
  }

  // Names, for the state of the present step, the file and offsets of every layer.
  // A layer whose pixels are not on disk as they are now (a step that could not be
  // written) makes the document unrecoverable until the next good step: an old
  // manifest might name files that have changed since, so it goes.
  void WriteManifest() {
    std::optional<RecoveryManifest> m = BuildManifest();
    if (m && StampAndWrite(Folder(), ManifestName(), *m)) return;
    DropManifest();
  }

  // The data files' identities are taken as the files are at the time of writing.
  static bool StampAndWrite(const fs::path& folder, const std::string& name, RecoveryManifest& m) {
    for (RecoveryLayer& rl : m.layers)
      if (!StampRecoveryData(folder, rl.data)) return false;
    return WriteRecoveryManifest(folder, name, m);
  }

  // The manifest of the present step without the files' identities; nothing when
  // the document cannot be recovered as it is now.
  std::optional<RecoveryManifest> BuildManifest() {
    const fs::path folder = Folder();
    if (folder.empty() || step < 0 || !desc[step]) return std::nullopt;
    manifestPath = folder / ManifestName();
    if (baseMissing || unrecorded != 0) return std::nullopt;
    const LayerStack& L = host.Layers();
    RecoveryManifest m;
    m.name = host.RecoveryName();
    m.path = host.RecoveryPath().string();
    m.step = step;
    m.label = Utf16ToUtf8(desc[step]->label.Get());
    if (const CImageBuffer* v = host.ViewImage()) m.viewFormat = v->FormatType();
    CopyPictureFields(L.header, m.header);
    m.header.title = L.header.title;
    m.palette.assign(size_t(std::max(0, L.header.paletteColours)) * 4, 0);
    std::copy_n(L.palette.begin(), std::min(L.palette.size(), m.palette.size()), m.palette.begin());
    m.active = L.active;
    bool ok = L.Used(L.active);
    for (int s : L.Chain()) {
      if (!ok) break;
      const Layer& l = L.slots[s];
      RecoveryLayer rl;
      rl.slot = s;
      rl.record.CopyRecordFrom(l);
      RecoveryData& d = rl.data;
      int k = step;
      while (k >= 1 && !(desc[k] && Has(desc[k]->saved, s))) --k;
      const Layer* held = nullptr;
      if (k >= 1) {
        held = &desc[k]->records[s];
        const LayerFileShape shape = ShapeOf(*held, desc[k]->maskBytes);
        d.file = StepFile(k, s).filename().string();
        d.pixels = shape.pixels > 0 ? 0 : -1;
        d.alpha = shape.pixels;
        d.effect = d.alpha + shape.alpha;
        d.text = shape.text > 0 ? d.effect + shape.effect + shape.mask : -1;
      } else if (desc[0] && initialData[s] >= 0) {
        held = &desc[0]->records[s];
        d.file = InitialFile().filename().string();
        d.pixels = initialData[s];
        d.alpha = d.pixels + held->imageSize;
        d.effect = d.alpha + held->pixelCount;
        d.text = HasText(*held) ? d.effect + held->pixelCount : -1;
      }
      ok = held && held->width == l.width && held->height == l.height && held->stride == l.stride &&
           held->imageSize == l.imageSize && held->pixelCount == l.pixelCount &&
           (!HasText(l) || (HasText(*held) && held->textLength == l.textLength));
      m.layers.push_back(std::move(rl));
    }
    if (!ok || m.layers.empty()) return std::nullopt;
    return m;
  }

  // ------------------------------------------------------- opening in the background

  // The opened picture's whole-document file is written on a thread while the
  // picture is shown: it is as large as the picture and writing it took a third of
  // the time from opening to the first frame. Its recovery manifest follows it from
  // the same thread. Every other use of the history waits for it first (Settle).
  std::thread baseWriter;
  bool baseWriterOk = false;
  uint64_t baseWriterBytes = 0;
  std::unique_ptr<OutFile> pendingBase;  // built by Restart, handed to the thread by Record

  void StartBaseWriter(std::optional<RecoveryManifest> manifest) {
    auto out = std::move(pendingBase);
    const fs::path file = InitialFile(), folder = Folder(), manifestFile = manifestPath;
    const std::string name = ManifestName();
    // An older manifest would name the files of the steps just dropped.
    DropManifest();
    auto work = [this, out = std::move(out), file, folder, manifestFile, name, manifest]() mutable {
      baseWriterOk = out->WriteTo(file);
      baseWriterBytes = out->Total();
      out.reset();
      if (baseWriterOk && manifest && !StampAndWrite(folder, name, *manifest) && !manifestFile.empty())
        Remove(manifestFile);
    };
    try {
      baseWriter = std::thread(std::move(work));
    } catch (const std::system_error&) {
      work();  // no thread to be had: written here
    }
  }

  // Waits for the opened picture's file; a failure to write it is handled as a
  // synchronous one would have been.
  void Settle() {
    if (!baseWriter.joinable()) return;
    baseWriter.join();
    io.written += baseWriterBytes;
    if (!baseWriterOk) {
      baseMissing = true;
      for (auto& o : initialData) o = -1;
      ReportWriteFailure();
    }
  }

  // The document is closed: nothing of it is to be recovered any more.
  void RemoveOwnFiles() {
    if (manifestPath.empty()) return;
    DiscardRecoverableDocument(manifestPath);
    manifestPath.clear();
  }

  static void Remove(const fs::path& p) {
    std::error_code ec;
    fs::remove(p, ec);  // a file that cannot be removed is simply left behind
  }
  void RemoveStepFiles(int s) {
    for (int slot = 0; slot < kMaxLayers; ++slot) Remove(StepFile(s, slot));
  }

  // --------------------------------------------------------------- stores

  bool InList(int slot) const { return Has(ChainMask(host.Layers()), slot); }

  // The picture fields a committed layer depends on: depth, palette, format and
  // canvas geometry (the title and edit copy stay with the document).
  static void CopyPictureFields(const PictureHeader& from, PictureHeader& to) {
    to.bitsPerPixel = from.bitsPerPixel;
    to.paletteColours = from.paletteColours;
    to.formatType = from.formatType;
    to.canvasWidth = from.canvasWidth;
    to.canvasHeight = from.canvasHeight;
    to.imageSize = from.imageSize;
    to.pixelCount = from.pixelCount;
  }

  void CopyHeaderInto(Store& st) {
    const LayerStack& L = host.Layers();
    CopyPictureFields(L.header, st.header);
    st.palette = L.palette;
  }

  void CommitRecord(Store& st, int slot) {
    st.slots[slot].CopyRecordFrom(host.Layers().slots[slot]);
  }

  void CommitInto(Store& st, int slot) {
    if (!InList(slot)) return;
    const Layer& l = host.Layers().slots[slot];
    Layer& c = st.slots[slot];
    CopyHeaderInto(st);
    try {
      c.pixels = l.pixels;
      c.alpha = l.alpha;
      c.effect = l.effect;
      c.textBuffer = l.textBuffer;
    } catch (const std::bad_alloc&) {
      c.FreeBuffers();
      st.held[slot] = false;
      return;
    }
    c.CopyRecordFrom(l);
    st.held[slot] = true;
  }

  void RevertFrom(Store& st, int slot, bool redraw) {
    LayerStack& L = host.Layers();
    if (!InList(slot) || !st.held[slot]) return;
    CopyPictureFields(st.header, L.header);
    L.palette = st.palette;
    Layer& l = L.slots[slot];
    const Layer& c = st.slots[slot];
    // Links, opacity, kind, visibility and use belong to the list as it is now.
    const int16_t below = l.below, above = l.above;
    const uint8_t transparency = l.transparency, kind = l.kind;
    const int32_t visible = l.visible, inUse = l.inUse;
    try {
      l.pixels = c.pixels;
      l.alpha = c.alpha;
      l.effect = c.effect;
      l.textBuffer = c.textBuffer;
    } catch (const std::bad_alloc&) {
      return;  // the layer keeps its present state
    }
    l.CopyRecordFrom(c);
    l.below = below;
    l.above = above;
    l.transparency = transparency;
    l.kind = kind;
    l.visible = visible;
    l.inUse = inUse;
    L.BackupLayer(slot);
    if (redraw) host.LayersChanged();
  }

  // After a step, undo or redo: the undo store follows the document. Buffers are
  // copied for the slots in `full` and for any layer the store does not hold at
  // its present size; every other layer is unchanged since its last commit.
  void CommitAfter(SlotMask full) {
    const LayerStack& L = host.Layers();
    const SlotMask inList = ChainMask(L);
    Store& st = stores[0];
    for (int s = 0; s < kMaxLayers; ++s) {
      if (!Has(inList, s)) {
        // A slot that left the list: its committed copy is of no further use.
        if (st.held[s]) {
          st.slots[s].FreeBuffers();
          st.slots[s] = Layer{};
          st.held[s] = false;
        }
        continue;
      }
      const Layer& l = L.slots[s];
      const Layer& c = st.slots[s];
      const bool sameShape = st.held[s] && c.pixels.size() == l.pixels.size() &&
                             c.alpha.size() == l.alpha.size() && c.effect.size() == l.effect.size() &&
                             c.textBuffer == l.textBuffer;
      if (Has(full, s) || !sameShape)
        CommitInto(st, s);
      else
        CommitRecord(st, s);
    }
    CopyHeaderInto(st);
    // The second store keeps its buffers but follows the list's links.
    for (int s = 0; s < kMaxLayers; ++s) {
      stores[1].slots[s].below = L.slots[s].below;
      stores[1].slots[s].above = L.slots[s].above;
      stores[1].slots[s].inUse = Has(inList, s) ? 1 : 0;
    }
  }

  // --------------------------------------------------------------- descriptors

  std::unique_ptr<Descriptor> Describe(std::string_view label, int kind, int slot) {
    const LayerStack& L = host.Layers();
    auto d = std::make_unique<Descriptor>();
    d->toolId = host.CurrentToolId();
    d->label.Set(Utf8ToUtf16(label));
    d->header = L.header;
    d->palette = L.palette;
    if (const CImageBuffer* v = host.ViewImage()) d->ext = v->Ext();
    d->slot = slot;
    d->kind = kind;
    d->bottom = L.bottom;
    d->active = L.active;
    const SlotMask inList = ChainMask(L);
    for (int s = 0; s < kMaxLayers; ++s) {
      d->records[s].CopyRecordFrom(L.slots[s]);
      d->records[s].inUse = Has(inList, s) ? 1 : 0;
    }
    d->maskWidth = L.maskWidth;
    d->maskHeight = L.maskHeight;
    d->maskX = L.maskX;
    d->maskY = L.maskY;
    const int64_t maskArea = int64_t(std::max(0, L.maskWidth)) * std::max(0, L.maskHeight);
    d->maskBytes = std::min<int64_t>(maskArea, int64_t(L.mask.size()));
    d->selectionExists = L.selectionExists;
    return d;
  }

  // --------------------------------------------------------------- writing

  bool WriteLayerFile(int s, int slot, const Descriptor& d) {
    const LayerStack& L = host.Layers();
    const Layer& l = L.slots[slot];
    const LayerFileShape shape = ShapeOf(l, d.maskBytes);
    OutFile out;
    out.AddExact(l.pixels, size_t(shape.pixels));
    out.AddExact(l.alpha, size_t(shape.alpha));
    out.AddExact(l.effect, size_t(shape.effect));
    out.AddExact(L.mask, size_t(shape.mask));
    if (shape.text > 0) out.Own(TextBytes(l));
    if (!out.WriteTo(StepFile(s, slot))) return false;
    io.written += out.Total();
    return true;
  }

  // The whole document: header, palette, then every layer bottom first with its
  // size line, record and planes. `dataOffsets` receives where each slot's planes
  // begin.
  bool WriteWhole(const fs::path& path, int64_t dataOffsets[kMaxLayers]) {
    OutFile out;
    BuildWhole(out, dataOffsets);
    if (!out.WriteTo(path)) return false;
    io.written += out.Total();
    return true;
  }

  // Lays out the whole-document file in `out`, which holds everything it needs (the
  // planes' blocks, copies of the rest), so that it may be written later.
  void BuildWhole(OutFile& out, int64_t dataOffsets[kMaxLayers]) {
    const LayerStack& L = host.Layers();
    PictureHeader h;
    h.title = L.header.title;
    h.canvasHeight = L.header.canvasHeight;
    h.canvasWidth = L.header.canvasWidth;
    h.formatType = L.header.formatType;
    h.paletteColours = L.header.paletteColours;
    h.bitsPerPixel = L.header.bitsPerPixel;
    h.imageSize = L.header.imageSize;
    h.pixelCount = L.header.pixelCount;
    std::vector<uint8_t> head(kPictureHeaderBytes);
    WritePictureHeader(h, head.data());
    out.Own(std::move(head));
    if (L.header.paletteColours > 0) {
      std::vector<uint8_t> palette(size_t(L.header.paletteColours) * 4, 0);
      std::copy_n(L.palette.begin(), std::min(L.palette.size(), palette.size()), palette.begin());
      out.Own(std::move(palette));
    }
    for (int s = 0; s < kMaxLayers; ++s) dataOffsets[s] = -1;
    for (int s : L.Chain()) {
      const Layer& l = L.slots[s];
      const std::string line = Format("%ld %d %d", long(kLayerRecordBytes), l.imageSize, l.pixelCount);
      std::vector<uint8_t> rec(line.size() + kLayerRecordBytes);
      std::memcpy(rec.data(), line.data(), line.size());
      WriteLayerRecord(l, rec.data() + line.size());
      out.Own(std::move(rec));
      dataOffsets[s] = int64_t(out.Total());
      out.AddExact(l.pixels, size_t(std::max(0, l.imageSize)));
      out.AddExact(l.alpha, size_t(std::max(0, l.pixelCount)));
      out.AddExact(l.effect, size_t(std::max(0, l.pixelCount)));
      if (HasText(l)) out.Own(TextBytes(l));
    }
  }

  // --------------------------------------------------------------- reading

  // Reads a whole-document file whose bottom layer lives in `firstSlot`. Nothing
  // in the document changes here; every size is checked against the file.
  bool ReadWhole(const fs::path& path, int firstSlot, WholeDocument& w) {
    InFile in(path);
    if (!in.Ok() || in.Size() < kPictureHeaderBytes) return false;
    uint8_t head[kPictureHeaderBytes];
    if (!in.ReadAt(0, head, sizeof head, &io.read)) return false;
    ReadPictureHeader(head, w.header);
    if (w.header.paletteColours < 0 || w.header.paletteColours > 256) return false;
    int64_t off = kPictureHeaderBytes;
    if (w.header.paletteColours > 0) {
      if (!Resize(w.palette, size_t(w.header.paletteColours) * 4) ||
          !in.ReadAt(off, w.palette.data(), w.palette.size(), &io.read))
        return false;
      off += int64_t(w.palette.size());
    }
    bool seen[kMaxLayers] = {};
    int slot = firstSlot;
    while (true) {
      if (!LayerStack::ValidSlot(slot) || seen[slot]) return false;
      seen[slot] = true;
      // "396 <image size> <pixel count>", then the record at once.
      uint8_t buf[48 + kLayerRecordBytes];
      const size_t want = size_t(std::min<int64_t>(sizeof buf, in.Size() - off));
      if (!in.ReadAt(off, buf, want, &io.read)) return false;
      int64_t nums[3];
      size_t p = 0;
      for (int k = 0; k < 3; ++k) {
        if (k > 0) {
          if (p >= want || buf[p] != ' ') return false;
          ++p;
        }
        const size_t start = p;
        int64_t v = 0;
        while (p < want && p - start < 10 && buf[p] >= '0' && buf[p] <= '9') v = v * 10 + (buf[p++] - '0');
        if (p == start) return false;
        nums[k] = v;
      }
      if (nums[0] != kLayerRecordBytes || p + kLayerRecordBytes > want) return false;
      Layer& l = w.layers[slot];
      ReadLayerRecord(buf + p, kLayerRecordBytes, l);
      if (!RecordSizesSane(l, w.header.bitsPerPixel) || l.imageSize != nums[1] || l.pixelCount != nums[2])
        return false;
      off += int64_t(p) + kLayerRecordBytes;
      const int64_t text = HasText(l) ? int64_t(l.textLength) * 2 : 0;
      if (int64_t(l.imageSize) + 2 * int64_t(l.pixelCount) + text > in.Size() - off) return false;
      if (!ReadPlanes(in, off, l)) return false;
      l.textBuffer.clear();
      if (text > 0) {
        std::vector<uint8_t> t;
        if (!Resize(t, size_t(text)) || !in.ReadAt(off, t.data(), t.size(), &io.read)) return false;
        l.textBuffer = TextFromBytes(t);
        off += text;
      }
      l.inUse = 1;
      l.below = int16_t(w.chain.empty() ? -1 : w.chain.back());
      w.chain.push_back(slot);
      if (l.above == -1) break;
      slot = l.above;
    }
    return true;
  }

  // Reads one layer's buffers from the step file of step `k`; the record of that
  // step tells the sizes. The mask is read too when `mask` is given.
  bool ReadLayerFile(int k, int slot, Layer& into, Plane* mask) {
    const Descriptor& d = *desc[k];
    const Layer& rec = d.records[slot];
    const LayerFileShape shape = ShapeOf(rec, d.maskBytes);
    InFile in(StepFile(k, slot));
    if (!in.Ok() || in.Size() != shape.Total()) return false;
    into.CopyRecordFrom(rec);
    int64_t off = 0;
    if (!Sized(into.pixels, size_t(rec.imageSize)) || !Sized(into.alpha, size_t(rec.pixelCount)) ||
        !Sized(into.effect, size_t(rec.pixelCount)))
      return false;
    if (shape.pixels > 0) {
      if (!in.ReadAt(off, into.pixels.data(), size_t(shape.pixels), &io.read)) return false;
      off += shape.pixels;
    } else {
      std::fill(into.pixels.begin(), into.pixels.end(), uint8_t(255));
    }
    if (!in.ReadAt(off, into.alpha.data(), size_t(shape.alpha), &io.read)) return false;
    off += shape.alpha;
    if (!in.ReadAt(off, into.effect.data(), size_t(shape.effect), &io.read)) return false;
    off += shape.effect;
    if (mask) {
      if (!Sized(*mask, size_t(shape.mask)) || !in.ReadAt(off, mask->data(), size_t(shape.mask), &io.read))
        return false;
    }
    off += shape.mask;
    into.textBuffer.clear();
    if (shape.text > 0) {
      std::vector<uint8_t> t(size_t(shape.text));
      if (!in.ReadAt(off, t.data(), t.size(), &io.read)) return false;
      into.textBuffer = TextFromBytes(t);
    }
    return true;
  }

  // One layer as it was in the initial document.
  bool ReadInitialLayer(int slot, Layer& into) {
    if (!desc[0] || initialData[slot] < 0) return false;
    const Layer& rec = desc[0]->records[slot];
    InFile in(InitialFile());
    if (!in.Ok()) return false;
    into.CopyRecordFrom(rec);
    int64_t off = initialData[slot];
    if (!ReadPlanes(in, off, into)) return false;
    into.textBuffer.clear();
    if (HasText(rec)) {
      std::vector<uint8_t> t(size_t(rec.textLength) * 2);
      if (!in.ReadAt(off, t.data(), t.size(), &io.read)) return false;
      into.textBuffer = TextFromBytes(t);
    }
    return true;
  }

  // Buffers of `slot` as they were at step `target`: from the newest step file at
  // or before it that saved the slot, else from the initial document.
  bool LoadSlotAt(int target, int slot, Layer& into) {
    for (int k = target; k >= 1; --k)
      if (desc[k] && Has(desc[k]->saved, slot)) return ReadLayerFile(k, slot, into, nullptr);
    return ReadInitialLayer(slot, into);
  }

  // --------------------------------------------------------------- applying

  // Puts the document in the state of step `target` (≥ 1). Layers in `changed`, and
  // layers of that state that the document lacks, are read from the files; all
  // reading happens before anything is touched, so a failure changes nothing.
  bool ApplyStep(int target, SlotMask changed, bool dropPreview = true) {
    LayerStack& L = host.Layers();
    const Descriptor& d = *desc[target];
    const SlotMask nowInList = ChainMask(L);
    auto loaded = std::make_unique<Loaded[]>(kMaxLayers);
    for (int s = 0; s < kMaxLayers; ++s) {
      const Layer& rec = d.records[s];
      if (!rec.inUse) continue;
      const Layer& cur = L.slots[s];
      const bool fits = Has(nowInList, s) && cur.pixels.size() == size_t(rec.imageSize) &&
                        cur.alpha.size() == size_t(rec.pixelCount) && cur.effect.size() == size_t(rec.pixelCount);
      if (!Has(changed, s) && fits) continue;
      loaded[s].present = true;
      if (!LoadSlotAt(target, s, loaded[s].layer)) {
        for (int k = 0; k <= s; ++k) GiveLayer(loaded[k].layer);
        return false;
      }
    }
    Plane mask;
    const bool haveMask = Has(d.saved, d.slot) && d.maskBytes > 0;
    if (haveMask && !ReadMaskOnly(target, d.slot, mask)) {
      for (int k = 0; k < kMaxLayers; ++k) GiveLayer(loaded[k].layer);
      return false;
    }
    // Nothing can fail from here on. A preview left in an active layer that is not
    // read back is dropped first.
    if (dropPreview && L.Used(L.active) && !loaded[L.active].present && d.records[L.active].inUse)
      RevertFrom(stores[0], L.active, false);
    L.header = d.header;
    L.palette = d.palette;
    for (int s = 0; s < kMaxLayers; ++s) {
      Layer& l = L.slots[s];
      const Layer& rec = d.records[s];
      if (!rec.inUse) {
        if (l.inUse || !l.pixels.empty() || !l.alpha.empty()) FreeSlot(L, s);
        continue;
      }
      if (loaded[s].present) {
        l.pixels.swap(loaded[s].layer.pixels);
        l.alpha.swap(loaded[s].layer.alpha);
        l.effect.swap(loaded[s].layer.effect);
        l.textBuffer.swap(loaded[s].layer.textBuffer);
        l.CopyRecordFrom(rec);
        // The buffers' sizes are the file's; the record must describe them.
        const Layer& from = loaded[s].layer;
        l.width = from.width;
        l.height = from.height;
        l.stride = from.stride;
        l.imageSize = from.imageSize;
        l.pixelCount = from.pixelCount;
        l.textLength = HasText(rec) ? int32_t(l.textBuffer.size()) : rec.textLength;
        GiveLayer(loaded[s].layer);
      } else {
        l.CopyRecordFrom(rec);
      }
      l.inUse = 1;
    }
    L.bottom = d.bottom;
    L.active = L.Used(d.slot) ? d.slot : L.Used(d.active) ? d.active : L.bottom;
    if (haveMask) {
      L.mask.swap(mask);
      Give(mask);
      L.maskWidth = d.maskWidth;
      L.maskHeight = d.maskHeight;
      L.maskX = d.maskX;
      L.maskY = d.maskY;
      L.selectionExists = d.selectionExists;
    } else {
      L.ResetSelection(L.active);
      L.selectionExists = false;
    }
    SlotMask full = 0;
    for (int s = 0; s < kMaxLayers; ++s)
      if (loaded[s].present) full |= Bit(s);
    CommitAfter(full);
    return true;
  }

  bool ReadMaskOnly(int k, int slot, Plane& mask) {
    const Descriptor& d = *desc[k];
    const LayerFileShape shape = ShapeOf(d.records[slot], d.maskBytes);
    InFile in(StepFile(k, slot));
    if (!in.Ok() || in.Size() != shape.Total()) return false;
    if (!Sized(mask, size_t(shape.mask))) return false;
    return in.ReadAt(shape.pixels + shape.alpha + shape.effect, mask.data(), mask.size(), &io.read);
  }

  // Replaces every layer with a whole-document file's. `like` gives what the file
  // does not hold (background position, active layer).
  bool ApplyWhole(const fs::path& path, int firstSlot, const Descriptor& like) {
    auto w = std::make_unique<WholeDocument>();
    if (!ReadWhole(path, firstSlot, *w)) return false;
    LayerStack& L = host.Layers();
    PictureHeader h = like.header;
    h.title = w->header.title;
    h.canvasHeight = w->header.canvasHeight;
    h.canvasWidth = w->header.canvasWidth;
    h.formatType = w->header.formatType;
    h.paletteColours = w->header.paletteColours;
    h.bitsPerPixel = w->header.bitsPerPixel;
    h.imageSize = w->header.imageSize;
    h.pixelCount = w->header.pixelCount;
    L.header = h;
    L.palette = std::move(w->palette);
    SlotMask inFile = 0;
    for (int s : w->chain) inFile |= Bit(s);
    for (int s = 0; s < kMaxLayers; ++s) {
      if (!Has(inFile, s)) {
        FreeSlot(L, s);
        continue;
      }
      Layer& l = L.slots[s];
      Layer& from = w->layers[s];
      l.pixels.swap(from.pixels);
      l.alpha.swap(from.alpha);
      l.effect.swap(from.effect);
      l.textBuffer.swap(from.textBuffer);
      l.CopyRecordFrom(from);
      GiveLayer(from);
    }
    L.bottom = w->chain.front();
    L.active = L.Used(like.slot) ? like.slot : L.Used(like.active) ? like.active : L.bottom;
    CommitAfter(~SlotMask(0));
    return true;
  }

  // --------------------------------------------------------------- window

  // Drops step 2 to make room: its changes fold into step 3, which becomes the new
  // step 2, so that every later state can still be rebuilt. Step 1 stays.
  void ShiftWindow() {
    Descriptor& two = *desc[2];
    Descriptor& three = *desc[3];
    for (int slot = 0; slot < kMaxLayers; ++slot) {
      if (Has(two.saved, slot) && Has(three.saved, slot)) Remove(StepFile(2, slot));
    }
    const SlotMask keptFromTwo = two.saved & ~three.saved;
    const SlotMask changedTwo = two.changed;
    for (int k = 3; k < kDescriptors; ++k) {
      for (int slot = 0; slot < kMaxLayers; ++slot) {
        if (!Has(desc[k]->saved, slot)) continue;
        std::error_code ec;
        fs::rename(StepFile(k, slot), StepFile(k - 1, slot), ec);  // a failed rename shows at undo
      }
      desc[k - 1] = std::move(desc[k]);
    }
    desc[2]->saved |= keptFromTwo;
    desc[2]->changed |= changedTwo;
    redoFileValid = false;
  }

  // --------------------------------------------------------------- record

  void ReportWriteFailure() {
    if (!failing) host.ShowMessage(kMsgHistoryWriteFailed);
    failing = true;
  }

  // Starts the history from the present document (step 0).
  void Restart(std::string_view label, int slot) {
    for (auto& d : desc) d.reset();
    step = 0;
    top = 0;
    unrecorded = 0;
    redoFileValid = false;
    desc[0] = Describe(label, kStepPixels, slot);
    desc[0]->changed = ChainMask(host.Layers());
    if (label == kOpeningLabel && !Folder().empty()) {
      pendingBase = std::make_unique<OutFile>();
      BuildWhole(*pendingBase, initialData);
      baseMissing = false;
      failing = false;
      return;
    }
    baseMissing = !WriteWhole(InitialFile(), initialData);
    if (baseMissing) {
      for (auto& o : initialData) o = -1;
      ReportWriteFailure();
    } else {
      failing = false;
    }
  }

  void Record(std::string_view label, int kind, int slot) {
    LayerStack& L = host.Layers();
    if (!L.Active()) return;
    host.SetBusy(true);
    if (slot == -1) slot = L.active;
    const bool restart = label == kOpeningLabel || label == kInitialLabel || step < 0;
    host.SetModified(true);
    if (restart) {
      Restart(label, slot);
      CommitAfter(ChainMask(L));
    } else if (baseMissing) {
      // Without an initial document nothing before now can be rebuilt: what the
      // user sees now becomes the state that undo returns to.
      Restart(kOpeningLabel, slot);
      CommitAfter(ChainMask(L) | unrecorded);
    } else {
      RecordStepFiles(label, kind, slot);
    }
    // A deleted (or absorbed) layer's buffers are no longer needed.
    const SlotMask inList = ChainMask(L);
    for (int s = 0; s < kMaxLayers; ++s)
      if (!Has(inList, s) && (!L.slots[s].pixels.empty() || !L.slots[s].alpha.empty())) L.slots[s].FreeBuffers();
    if (pendingBase)
      StartBaseWriter(BuildManifest());
    else
      WriteManifest();
    host.HistoryChanged();
    host.LayersChanged();
    host.SetBusy(false);
  }

  void RecordStepFiles(std::string_view label, int kind, int slot) {
    LayerStack& L = host.Layers();
    const SlotMask inList = ChainMask(L);
    const int previous = step;
    bool shifted = false;
    ++step;
    if (step > kMaxSteps) {
      ShiftWindow();
      step = kMaxSteps;
      shifted = true;
    }
    top = step;
    redoFileValid = false;
    RemoveStepFiles(step);
    std::unique_ptr<Descriptor> d = Describe(label, kind, slot);
    SlotMask changed = unrecorded | (LayerStack::ValidSlot(slot) ? Bit(slot) : 0);
    if (kind == kStepCanvas || kind == kStepFlipAll) changed |= inList;
    d->changed = changed;
    bool ok = true;
    for (int s = 0; s < kMaxLayers && ok; ++s) {
      if (!Has(changed & inList, s)) continue;
      ok = WriteLayerFile(step, s, *d);
      if (ok) d->saved |= Bit(s);
    }
    if (ok) {
      desc[step] = std::move(d);
      unrecorded = 0;
      failing = false;
    } else {
      // The edit stays but cannot be undone; the next step that succeeds saves
      // these layers too, and undo from here reads them back.
      RemoveStepFiles(step);
      desc[step].reset();
      step = shifted ? kMaxSteps - 1 : previous;
      top = step;
      unrecorded |= changed;
      ReportWriteFailure();
    }
    CommitAfter(changed & inList);
  }

  // --------------------------------------------------------------- undo / redo

  bool Undo() {
    if (step <= 0) return false;
    host.SetBusy(true);
    const int target = step - 1;
    bool ok;
    if (target == 0) {
      ok = ApplyWhole(InitialFile(), desc[0]->bottom, *desc[0]);
      if (ok) {
        LayerStack& L = host.Layers();
        L.ResetSelection(L.active);
        L.selectionExists = false;
      }
    } else {
      if (target == 1) {
        // Redo to 2 rebuilds from this copy of the present document.
        redoFileValid = unrecorded == 0 && WriteWhole(RedoFile(), scratchOffsets);
        redoFileBottom = host.Layers().bottom;
      }
      ok = ApplyStep(target, desc[step]->changed | unrecorded);
    }
    if (ok) {
      step = target;
      unrecorded = 0;
      WriteManifest();
    } else {
      host.ShowMessage(kMsgHistoryReadFailed);
    }
    host.HistoryChanged();
    host.LayersChanged();
    host.SetBusy(false);
    return ok;
  }

  bool Redo() {
    if (step < 0 || top < step + 1) return false;
    host.SetBusy(true);
    const int target = step + 1;
    bool ok = false;
    if (target == 2 && redoFileValid) {
      ok = ApplyWhole(RedoFile(), redoFileBottom, *desc[2]);
      if (ok) ok = ApplyStep(2, 0, false);  // selection and records of step 2
    }
    if (!ok) ok = ApplyStep(target, desc[target]->changed, false);
    if (ok) {
      step = target;
      WriteManifest();
      std::string title = Format(UiText("REDO : 언두리스트(Top %d)"), step);
      for (int i = 0; i <= step; ++i)
        title += Format(" (%d) %s", i, UiText(Utf16ToUtf8(desc[i]->label.Get()).c_str()));
      host.SetTitleText(title);
    } else {
      host.ShowMessage(kMsgHistoryReadFailed);
    }
    host.HistoryChanged();
    host.LayersChanged();
    host.SetBusy(false);
    return ok;
  }

  int64_t scratchOffsets[kMaxLayers];
};

// ---------------------------------------------------------------- public

CHistory::CHistory(HistoryHost& host) : impl_(new Impl(host)) {
  for (auto& o : impl_->initialData) o = -1;
}
CHistory::~CHistory() {
  impl_->Settle();
  impl_->RemoveOwnFiles();
  delete impl_;
}

void CHistory::RecordStep(std::string_view label, int kind, int slot) {
  impl_->Settle();
  impl_->Record(label, kind, slot);
}

void CHistory::CommitLayer(int slot) {
  impl_->Settle();
  impl_->CommitInto(impl_->stores[0], slot);
}

void CHistory::RevertLayer(int slot, bool redraw) {
  impl_->Settle();
  impl_->RevertFrom(impl_->stores[0], slot, redraw);
}

bool CHistory::Undo() {
  impl_->Settle();
  return impl_->Undo();
}
bool CHistory::Redo() {
  impl_->Settle();
  return impl_->Redo();
}
bool CHistory::CanUndo() const { return impl_->step > 0; }
bool CHistory::CanRedo() const { return impl_->step >= 0 && impl_->step < impl_->top; }
int CHistory::Step() const { return impl_->step; }
int CHistory::Top() const { return impl_->top; }

std::string CHistory::Label(int step) const {
  if (step < 0 || step > impl_->top || step >= kDescriptors || !impl_->desc[step]) return {};
  return Utf16ToUtf8(impl_->desc[step]->label.Get());
}

std::vector<std::string> CHistory::ListLines() const {
  std::vector<std::string> lines;
  if (impl_->step < 0) {
    lines.push_back(UiText("   0  (처음상태)"));
    return lines;
  }
  for (int i = impl_->step; i >= 0; --i) {
    const Descriptor* d = impl_->desc[i].get();
    if (!d) continue;
    const std::string colours = d->header.paletteColours > 0 ? Format(UiText("%d 칼라"), d->header.paletteColours) : "";
    std::string label = Utf16ToUtf8(d->label.Get());
    label = label == kOpeningLabel ? UiText("(처음영상)") : UiText(label.c_str());
    lines.push_back(Format("%3d ", i) + PadLeft(colours, 4) + " " + PadLeft(label, 13));
  }
  return lines;
}

void CHistory::SaveBackup(int which, int slot) {
  impl_->Settle();
  if (which == 0 || which == 1) impl_->CommitInto(impl_->stores[which], slot);
}

void CHistory::RestoreBackup(int which, int slot) {
  impl_->Settle();
  if (which == 0 || which == 1) impl_->RevertFrom(impl_->stores[which], slot, false);
}

std::filesystem::path CHistory::StepFile(int step, int slot) const { return impl_->StepFile(step, slot); }
std::filesystem::path CHistory::InitialFile() const {
  impl_->Settle();
  return impl_->InitialFile();
}
std::filesystem::path CHistory::RedoFile() const { return impl_->RedoFile(); }
std::filesystem::path CHistory::ManifestFile() const {
  impl_->Settle();
  return impl_->Folder() / impl_->ManifestName();
}
CHistory::IoCounters CHistory::Io() const {
  impl_->Settle();
  return impl_->io;
}

}  // namespace velmira
