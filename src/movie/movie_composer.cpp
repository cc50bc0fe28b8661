#include "movie/movie_composer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "formats/format_dispatch.h"
#include "formats/psd_import.h"
#include "formats/vlm.h"
#include "image/compose.h"
#include "image/layers.h"

namespace velmira {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

constexpr const char* kUp = "↑";
constexpr const char* kDown = "↓";
constexpr const char* kLeft = "←";
constexpr const char* kRight = "→";

constexpr std::array<const char*, 4> kSizeTexts = {"320ⅹ240", "640ⅹ480", "800ⅹ600", "240ⅹ180"};
constexpr std::array<FrameSize, 4> kSizes = {{{320, 240}, {640, 480}, {800, 600}, {240, 180}}};

// One output pixel's sources along one axis: a run of source indices with weights
// that add up to 1.
struct Tap {
  int first = 0;
  std::vector<float> weights;
};

// Output pixel i covers source [start + i·scale, start + (i + 1)·scale). Reducing
// (scale ≥ 1) averages the covered pixels by the share of each that is covered;
// enlarging interpolates between the two nearest pixel centres.
std::vector<Tap> AxisTaps(double start, double length, int outCount, int sourceCount) {
  std::vector<Tap> taps(static_cast<size_t>(outCount));
  const double scale = length / outCount;
  auto clampIndex = [&](long k) { return int(std::clamp<long>(k, 0, sourceCount - 1)); };
  for (int i = 0; i < outCount; ++i) {
    Tap& t = taps[size_t(i)];
    if (scale >= 1.0) {
      const double a = start + i * scale, b = a + scale;
      const long k0 = long(std::floor(a)), k1 = long(std::ceil(b));
      // Sources clamp to the edge; neighbouring clamped indices add up.
      t.first = clampIndex(k0);
      const int last = clampIndex(k1 - 1);
      t.weights.assign(size_t(last - t.first + 1), 0.0f);
      for (long k = k0; k < k1; ++k) {
        const double w = std::min(b, double(k + 1)) - std::max(a, double(k));
        if (w > 0) t.weights[size_t(clampIndex(k) - t.first)] += float(w / scale);
      }
    } else {
      const double c = start + (i + 0.5) * scale - 0.5;
      const long k0 = long(std::floor(c));
      const float f = float(c - double(k0));
      const int a = clampIndex(k0), b = clampIndex(k0 + 1);
      t.first = a;
      if (b == a) {
        t.weights = {1.0f};
      } else {
        t.weights = {1.0f - f, f};
      }
    }
  }
  return taps;
}

uint8_t ToByte(float v) { return uint8_t(std::clamp(int(v + 0.5f), 0, 255)); }

class WriterSink : public FrameSink {
 public:
  explicit WriterSink(AviWriter& w) : w_(w) {}
  HResult AddFrame(const Frame32& f) override {
    return w_.AddFrame(f.width, f.height, reinterpret_cast<const uint8_t*>(f.px.data()), 32);
  }

 private:
  AviWriter& w_;
};

bool DefaultLoad(const std::filesystem::path& path, CImageBuffer& image) {
  const int format = FormatFromPath(path);
  if (format == kFormatPsd) return PsdImportFile(path, image) == PsdResult::Ok;
  if (format == kFormatVlm) {
    // A layered document shows as its visible layers composed, as the editor shows it.
    auto stack = std::make_unique<LayerStack>();
    std::string why;
    if (!ReadVlm(*stack, nullptr, path, &why)) return false;
    std::vector<uint8_t> canvas;
    if (!ComposeCanvas(*stack, ComposeRange{}, canvas)) return false;
    const int w = stack->header.canvasWidth, h = stack->header.canvasHeight;
    if (!image.Allocate(w, h, 32, kFormatBmp)) return false;
    for (int y = 0; y < h; ++y) std::memcpy(image.Row(y), canvas.data() + size_t(y) * size_t(w) * 4, size_t(w) * 4);
    return true;
  }
  return LoadFile(image, path, format);
}

}  // namespace

FrameMode FrameModeOf(const std::string& entry) {
  if (!entry.empty() && entry[0] == 'z') return FrameMode::kZoom;
  if (EndsWith(entry, kUp)) return FrameMode::kPanUp;
  if (EndsWith(entry, kDown)) return FrameMode::kPanDown;
  if (EndsWith(entry, kLeft)) return FrameMode::kPanLeft;
  if (EndsWith(entry, kRight)) return FrameMode::kPanRight;
  return FrameMode::kStill;
}

LinkKind LinkOf(const std::string& entry) {
  if (EndsWith(entry, kUp)) return LinkKind::kUp;
  if (EndsWith(entry, kDown)) return LinkKind::kDown;
  if (EndsWith(entry, kLeft)) return LinkKind::kLeft;
  if (EndsWith(entry, kRight)) return LinkKind::kRight;
  return LinkKind::kNone;
}

std::span<const char* const> FrameSizeTexts() { return kSizeTexts; }

FrameSize FrameSizeFromText(const std::string& text) {
  for (size_t i = 0; i < kSizeTexts.size(); ++i)
    if (text == kSizeTexts[i]) return kSizes[i];
  return FrameSize{640, 480};
}

int TransitionStep(int transitionSpeed) { return std::max(1, transitionSpeed / 4); }
int PanStep(int frameSpeed) { return std::max(1, frameSpeed / 20); }
int StillFrames(int frameSpeed) { return std::max(0, frameSpeed / 10); }

std::vector<int> TransitionPositions(LinkKind link, int width, int height, int step) {
  std::vector<int> out;
  step = std::max(1, step);
  switch (link) {
    case LinkKind::kUp:
      for (int c = 0; c < height; c += step) out.push_back(c);
      break;
    case LinkKind::kDown:
      for (int c = height - 1; c >= 0; c -= step) out.push_back(c);
      break;
    case LinkKind::kLeft:
      for (int d = width - 1; d >= 0; d -= step) out.push_back(d);
      break;
    case LinkKind::kRight:
      for (int x = 0; x < width; x += step) out.push_back(x);
      break;
    case LinkKind::kNone: break;
  }
  return out;
}

void ComposeTransition(LinkKind link, const Frame32& p, const Frame32& n, int pos, Frame32& out) {
  const int w = out.width, h = out.height;
  const size_t rowBytes = size_t(w) * sizeof(Rgbq);
  switch (link) {
    case LinkKind::kUp:  // P pushed up, N's rows from its bottom underneath
      for (int r = 0; r < h; ++r) std::memcpy(out.Row(r), r < pos ? n.Row(r) : p.Row(r - pos), rowBytes);
      break;
    case LinkKind::kDown:  // P's bottom rows, N's rows from its bottom above them
      for (int r = 0; r < h; ++r) std::memcpy(out.Row(r), r < pos ? p.Row(r) : n.Row(r - pos), rowBytes);
      break;
    case LinkKind::kLeft:  // N's row copied in from column pos to the right edge
      for (int r = 0; r < h; ++r) {
        std::memcpy(out.Row(r), p.Row(r), size_t(pos) * sizeof(Rgbq));
        std::memcpy(out.Row(r) + pos, n.Row(r), size_t(w - pos) * sizeof(Rgbq));
      }
      break;
    case LinkKind::kRight:  // P's row copied in from column pos to the right edge
      for (int r = 0; r < h; ++r) {
        std::memcpy(out.Row(r), n.Row(r), size_t(pos) * sizeof(Rgbq));
        std::memcpy(out.Row(r) + pos, p.Row(r), size_t(w - pos) * sizeof(Rgbq));
      }
      break;
    case LinkKind::kNone: out = n; break;
  }
}

std::vector<int> PanOffsets(FrameMode mode, int pw, int ph, int fw, int fh, int step) {
  std::vector<int> out;
  step = std::max(1, step);
  switch (mode) {
    case FrameMode::kPanUp:
      if (ph > fh)
        for (int o = 0; o < ph - fh; o += step) out.push_back(o);
      break;
    case FrameMode::kPanDown:
      if (ph > fh)
        for (int o = ph - fh; o > 0; o -= step) out.push_back(o);
      break;
    case FrameMode::kPanLeft:
      if (pw > fw)
        for (int o = 0; o < pw - fw; o += step) out.push_back(o);
      break;
    case FrameMode::kPanRight:
      if (pw > fw)
        for (int o = pw - fw; o > 0; o -= step) out.push_back(o);
      break;
    default: break;
  }
  return out;
}

void PanWindow(FrameMode mode, const Frame32& pic, int offset, Frame32& out) {
  const bool vertical = mode == FrameMode::kPanUp || mode == FrameMode::kPanDown;
  const int x = vertical ? (pic.width - out.width) / 2 : offset;
  const int y = vertical ? offset : (pic.height - out.height) / 2;
  for (int r = 0; r < out.height; ++r)
    std::memcpy(out.Row(r), pic.Row(y + r) + x, size_t(out.width) * sizeof(Rgbq));
}

ZoomPlan PlanZoom(int pw, int ph, int fw, int fh, double zoomX, double zoomY) {
  ZoomPlan z;
  const double s = std::min(double(pw) / fw, double(ph) / fh);
  z.steps = int(5.0 * s) - 1;
  const double fx = std::isfinite(zoomX) ? std::clamp(zoomX, 0.0, 1.0) : 0.0;
  const double fy = std::isfinite(zoomY) ? std::clamp(zoomY, 0.0, 1.0) : 0.0;
  z.x0 = std::clamp(int(pw * fx), 0, std::max(0, pw - fw));
  z.y0 = std::clamp(int(ph * fy), 0, std::max(0, ph - fh));
  z.z0 = std::min(double(ph - z.y0) / fh, double(pw - z.x0) / fw);
  return z;
}

void ScaleRegion(const Frame32& src, double x, double y, double w, double h, Frame32& out) {
  if (out.width <= 0 || out.height <= 0 || src.width <= 0 || src.height <= 0) return;
  w = std::max(w, 1e-3);
  h = std::max(h, 1e-3);
  const std::vector<Tap> xs = AxisTaps(x, w, out.width, src.width);
  const std::vector<Tap> ys = AxisTaps(y, h, out.height, src.height);
  // Horizontal pass over the source rows the vertical taps touch, then vertical.
  int rowLo = src.height, rowHi = -1;
  for (const Tap& t : ys) {
    rowLo = std::min(rowLo, t.first);
    rowHi = std::max(rowHi, t.first + int(t.weights.size()) - 1);
  }
  const size_t ow = size_t(out.width);
  std::vector<float> rows(size_t(rowHi - rowLo + 1) * ow * 3);
  for (int r = rowLo; r <= rowHi; ++r) {
    const Rgbq* s = src.Row(r);
    float* d = rows.data() + size_t(r - rowLo) * ow * 3;
    for (size_t i = 0; i < ow; ++i) {
      const Tap& t = xs[i];
      float b = 0, g = 0, red = 0;
      for (size_t k = 0; k < t.weights.size(); ++k) {
        const Rgbq c = s[size_t(t.first) + k];
        const float wt = t.weights[k];
        b += wt * float(RgbqB(c));
        g += wt * float(RgbqG(c));
        red += wt * float(RgbqR(c));
      }
      d[3 * i] = b, d[3 * i + 1] = g, d[3 * i + 2] = red;
    }
  }
  for (int j = 0; j < out.height; ++j) {
    const Tap& t = ys[size_t(j)];
    Rgbq* o = out.Row(j);
    for (size_t i = 0; i < ow; ++i) {
      float b = 0, g = 0, red = 0;
      for (size_t k = 0; k < t.weights.size(); ++k) {
        const float* p = rows.data() + (size_t(t.first - rowLo) + k) * ow * 3 + 3 * i;
        const float wt = t.weights[k];
        b += wt * p[0], g += wt * p[1], red += wt * p[2];
      }
      o[i] = MakeRgbq(ToByte(red), ToByte(g), ToByte(b));
    }
  }
}

bool PictureToFrame(const CImageBuffer& image, Frame32& out) {
  if (!image.IsValid() || image.Width() <= 0 || image.Height() <= 0) return false;
  const int w = image.Width(), h = image.Height();
  try {
    out = Frame32(w, h);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const int bpp = image.Bpp();
  const int transparent = bpp <= 8 ? image.Ext().transparentIndex : -1;
  const Rgbq white = MakeRgbq(255, 255, 255);
  for (int y = 0; y < h; ++y) {
    Rgbq* d = out.Row(y);
    if (bpp == 32) {
      const uint8_t* s = image.Row(y);
      for (int x = 0; x < w; ++x) d[x] = MakeRgbq(s[4 * x + 2], s[4 * x + 1], s[4 * x]);
    } else if (bpp == 24) {
      const uint8_t* s = image.Row(y);
      for (int x = 0; x < w; ++x) d[x] = MakeRgbq(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
    } else if (bpp <= 8) {
      for (int x = 0; x < w; ++x) {
        const int index = image.ReadIndex(x, y);
        d[x] = index == transparent ? white : (image.PaletteEntry(index) & 0x00FFFFFFu);
      }
    } else {
      for (int x = 0; x < w; ++x) d[x] = image.ReadColor(x, y) & 0x00FFFFFFu;
    }
  }
  return true;
}

ComposeResult ComposeFrames(const MovieSettings& settings, FrameSink& sink, const ComposerCallbacks& cb,
                            ComposeStats* stats) {
  ComposeStats local;
  ComposeStats& st = stats ? *stats : local;
  st = ComposeStats{};
  if (settings.entries.empty()) return ComposeResult::kNothingToDo;
  const int W = settings.size.width, H = settings.size.height;
  if (W <= 0 || H <= 0) return ComposeResult::kNothingToDo;
  auto say = [&](const std::string& m) {
    if (cb.message) cb.message(m);
  };
  const auto load = cb.load ? cb.load : DefaultLoad;
  const int count = int(settings.entries.size());
  const int tStep = TransitionStep(settings.transitionSpeed);
  const int pStep = PanStep(settings.frameSpeed);
  const int stills = StillFrames(settings.frameSpeed);

  Frame32 previous, frame(W, H);
  bool havePrevious = false;
  int lastPercent = -1;
  auto report = [&](int picture, long done, long total) {
    if (!cb.progress) return;
    const long percent = (100L * picture + (total > 0 ? 100L * done / total : 0)) / count;
    if (percent != lastPercent) cb.progress(int(percent)), lastPercent = int(percent);
  };

  for (int i = 0; i < count; ++i) {
    const MovieEntry& e = settings.entries[size_t(i)];
    report(i, 0, 1);
    Frame32 picture;
    {
      CImageBuffer image;
      const bool ok = load(e.picture, image) && PictureToFrame(image, picture);
      if (!ok || picture.width < W || picture.height < H) {
        say(moviemsg::kSkipped);
        ++st.picturesSkipped;
        continue;
      }
    }
    const int PW = picture.width, PH = picture.height;
    Frame32 scaled(W, H);
    ScaleRegion(picture, 0, 0, PW, PH, scaled);

    // Every frame of this picture goes out through here.
    long done = 0, total = 0;
    ComposeResult failure = ComposeResult::kDone;
    auto emit = [&](const Frame32& f, int times) {
      for (int k = 0; k < times; ++k) {
        if (cb.cancelled && cb.cancelled()) {
          failure = ComposeResult::kCancelled;
          return false;
        }
        if (sink.AddFrame(f) != kSOk) {
          failure = ComposeResult::kWriterFailed;
          return false;
        }
        ++st.framesWritten;
        report(i, ++done, total);
      }
      return true;
    };

    // The previous picture only exists once one has been shown: a first picture, or
    // one after skipped pictures only, has nothing to slide from.
    const std::vector<int> positions =
        i > 0 && havePrevious ? TransitionPositions(e.link, W, H, tStep) : std::vector<int>{};
    std::vector<int> pans;
    ZoomPlan zoom;
    total = long(positions.size());
    if (e.mode == FrameMode::kZoom) {
      zoom = PlanZoom(PW, PH, W, H, e.zoomX, e.zoomY);
      if (zoom.steps >= 1) total += 8L * zoom.steps + 6;
    } else if (e.mode == FrameMode::kStill) {
      total += stills;
    } else {
      pans = PanOffsets(e.mode, PW, PH, W, H, pStep);
      total += long(pans.size());
    }

    for (int pos : positions) {
      ComposeTransition(e.link, previous, scaled, pos, frame);
      if (!emit(frame, 1)) return failure;
    }
    if (e.mode == FrameMode::kZoom) {
      if (zoom.steps >= 1) {
        for (int j = 0; j < zoom.steps; ++j) {
          const double z = std::max(zoom.z0 - 0.1 * j, kMinZoomScale);
          ScaleRegion(picture, zoom.x0, zoom.y0, W * z, H * z, frame);
          if (!emit(frame, 4)) return failure;
        }
        if (!emit(frame, 6)) return failure;
        for (int m = zoom.steps; m >= 1; --m) {
          const double fx = double(PW) / W - 0.1 * m, fy = double(PH) / H - 0.1 * m;
          ScaleRegion(picture, 0, 0, W * fx, H * fy, frame);
          if (!emit(frame, 4)) return failure;
        }
      }
    } else if (e.mode == FrameMode::kStill) {
      if (!emit(scaled, stills)) return failure;
    } else {
      for (int o : pans) {
        PanWindow(e.mode, picture, o, frame);
        if (!emit(frame, 1)) return failure;
      }
    }
    ++st.picturesUsed;
    previous = std::move(scaled);
    havePrevious = true;
  }
  if (cb.progress && lastPercent != 100) cb.progress(100);
  return ComposeResult::kDone;
}

std::filesystem::path ResolveOutput(const MovieSettings& settings) {
  if (settings.output.is_absolute() || settings.workingFolder.empty()) return settings.output;
  return settings.workingFolder / settings.output;
}

ComposeResult MakeMovie(const MovieSettings& settings, const ComposerCallbacks& cb, ComposeStats* stats) {
  if (settings.entries.empty()) return ComposeResult::kNothingToDo;
  // The old movie of this name is replaced when the first frame opens the new one, not
  // before: a conversion that writes nothing leaves it alone.
  AviWriter writer(ResolveOutput(settings), FourCC("XVID"), 50, cb.message);
  WriterSink sink(writer);
  ComposeStats local;
  ComposeStats& st = stats ? *stats : local;
  ComposeResult r = ComposeFrames(settings, sink, cb, &st);
  if (r == ComposeResult::kWriterFailed) return r;
  if (writer.GetState() == AviWriter::kOpen && writer.Close() != kSOk) return ComposeResult::kWriterFailed;
  if (r == ComposeResult::kDone && st.framesWritten == 0) return ComposeResult::kNothingToDo;
  if (r == ComposeResult::kDone && cb.message) cb.message(moviemsg::kDone);
  return r;
}

}  // namespace velmira
