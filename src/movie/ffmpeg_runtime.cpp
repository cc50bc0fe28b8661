// Loads FFmpeg on first use; see ffmpeg_runtime.h.
#include "movie/ffmpeg_runtime.h"

#include <string>

#include "image/run_time_library.h"

namespace velmira {

namespace {

#define VELMIRA_STR2(x) #x
#define VELMIRA_STR(x) VELMIRA_STR2(x)

// The sonames of the versions the program was built against: another major version
// has another binary interface.
constexpr const char* kLibraries[] = {
    "libavutil.so." VELMIRA_STR(LIBAVUTIL_VERSION_MAJOR),
    "libswscale.so." VELMIRA_STR(LIBSWSCALE_VERSION_MAJOR),
    "libavcodec.so." VELMIRA_STR(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." VELMIRA_STR(LIBAVFORMAT_VERSION_MAJOR),
};

struct Loaded {
  FfmpegFunctions fns;
  bool ok = false;
  std::string why;
};

Loaded Load() {
  Loaded l;
  void* handles[std::size(kLibraries)] = {};
  for (size_t i = 0; i < std::size(kLibraries); ++i) {
    handles[i] = OpenRunTimeLibrary(kLibraries[i], &l.why);
    if (!handles[i]) return l;
  }
  auto find = [&](const char* name, auto& f) {
    for (void* h : handles)
      if (ResolveFunction(h, name, f)) return;
    if (l.why.empty()) l.why = std::string("FFmpeg function ") + name + " is missing";
  };
#define VELMIRA_FFMPEG_RESOLVE(f) find(#f, l.fns.f);
  VELMIRA_FFMPEG_FUNCTIONS(VELMIRA_FFMPEG_RESOLVE)
#undef VELMIRA_FFMPEG_RESOLVE
  // The libraries stay open for the life of the process: FFmpeg keeps global state.
  l.ok = l.why.empty();
  return l;
}

const Loaded& Once() {
  static const Loaded loaded = Load();
  return loaded;
}

}  // namespace

bool LoadFfmpeg(std::string* why) {
  const Loaded& l = Once();
  if (!l.ok && why) *why = l.why;
  return l.ok;
}

const FfmpegFunctions& Ffmpeg() { return Once().fns; }

}  // namespace velmira
