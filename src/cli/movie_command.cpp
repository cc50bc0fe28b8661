#include "cli/movie_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace velmira::cli {

namespace {

bool ParseSlider(const std::string& s, int& out) {
  if (s.empty() || s.size() > 3) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > 100) return false;
  out = v;
  return true;
}

bool ParseFraction(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (*end != '\0' || !(v >= 0.0 && v <= 1.0)) return false;
  out = v;
  return true;
}

// FRAME: up, down, left, right, still or zoom[:FX:FY].
bool ParseFrame(const std::string& s, MovieEntry& e) {
  if (s == "up") e.mode = FrameMode::kPanUp;
  else if (s == "down") e.mode = FrameMode::kPanDown;
  else if (s == "left") e.mode = FrameMode::kPanLeft;
  else if (s == "right") e.mode = FrameMode::kPanRight;
  else if (s == "still") e.mode = FrameMode::kStill;
  else if (s == "zoom") e.mode = FrameMode::kZoom;
  else if (s.rfind("zoom:", 0) == 0) {
    const std::string rest = s.substr(5);
    const size_t colon = rest.find(':');
    if (colon == std::string::npos || !ParseFraction(rest.substr(0, colon), e.zoomX) ||
        !ParseFraction(rest.substr(colon + 1), e.zoomY))
      return false;
    e.mode = FrameMode::kZoom;
  } else {
    return false;
  }
  return true;
}

bool ParseLink(const std::string& s, MovieEntry& e) {
  if (s == "up") e.link = LinkKind::kUp;
  else if (s == "down") e.link = LinkKind::kDown;
  else if (s == "left") e.link = LinkKind::kLeft;
  else if (s == "right") e.link = LinkKind::kRight;
  else if (s == "none") e.link = LinkKind::kNone;
  else return false;
  return true;
}

// PICTURE[,FRAME[,LINK]]. A picture whose own name has commas is taken whole when it
// exists; otherwise the parts after the last one or two commas must be a frame and a link.
bool ParsePictureArg(const std::string& arg, MovieEntry& e, std::string& error) {
  e = MovieEntry{};
  std::error_code ec;
  if (arg.find(',') == std::string::npos || std::filesystem::exists(arg, ec)) {
    e.picture = arg;
    return true;
  }
  const size_t last = arg.rfind(',');
  const size_t before = last == 0 ? std::string::npos : arg.rfind(',', last - 1);
  MovieEntry two = e;
  if (before != std::string::npos && ParseFrame(arg.substr(before + 1, last - before - 1), two) &&
      ParseLink(arg.substr(last + 1), two)) {
    two.picture = arg.substr(0, before);
    e = two;
    return true;
  }
  MovieEntry one = e;
  if (ParseFrame(arg.substr(last + 1), one)) {
    one.picture = arg.substr(0, last);
    e = one;
    return true;
  }
  error = "'" + arg +
          "': FRAME is up, down, left, right, still or zoom[:FX:FY] (FX, FY from 0 to 1) and LINK is up, down, "
          "left, right or none";
  return false;
}

// Sizes as the frame-size list names them, with a Latin x.
std::string ComboTextFor(const std::string& size) {
  const size_t x = size.find('x');
  if (x == std::string::npos) return size;
  return size.substr(0, x) + "ⅹ" + size.substr(x + 1);
}

void DrawBar(int percent) {
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", kWidth - filled, "",
               percent);
  std::fflush(stderr);
}

}  // namespace

const char* MovieUsage() {
  return "  velmira-cli movie [--size WxH] [--frame-speed V] [--transition-speed T] OUTPUT PICTURE[,FRAME[,LINK]]...\n";
}

bool ParseMovieArgs(const std::vector<std::string>& args, MovieSettings& out, std::string& error,
                    std::vector<std::string>* notes) {
  out = MovieSettings{};
  std::vector<std::string> plain;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--size" || a == "--frame-speed" || a == "--transition-speed") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--size") {
        const std::string text = ComboTextFor(v);
        out.size = FrameSizeFromText(text);
        bool listed = false;
        for (const char* t : FrameSizeTexts()) listed = listed || text == t;
        if (!listed && notes) notes->push_back("size " + v + " is not 320x240, 640x480, 800x600 or 240x180: using 640x480");
      } else if (!ParseSlider(v, a == "--frame-speed" ? out.frameSpeed : out.transitionSpeed)) {
        error = a + " takes a whole number from 0 to 100";
        return false;
      }
    } else if (a.size() > 1 && a[0] == '-' && a.find(',') == std::string::npos) {
      error = "unknown option: " + a;
      return false;
    } else {
      plain.push_back(a);
    }
  }
  if (plain.size() < 2) {
    error = "needs OUTPUT and at least one PICTURE";
    return false;
  }
  out.output = plain[0];
  for (size_t i = 1; i < plain.size(); ++i) {
    MovieEntry e;
    if (!ParsePictureArg(plain[i], e, error)) return false;
    out.entries.push_back(e);
  }
  return true;
}

int RunMovieCommand(const std::vector<std::string>& args) {
  MovieSettings settings;
  std::string error;
  std::vector<std::string> notes;
  if (!ParseMovieArgs(args, settings, error, &notes)) {
    std::fprintf(stderr, "velmira-cli: movie: %s\n", error.c_str());
    return 2;
  }
  for (const std::string& n : notes) std::fprintf(stderr, "velmira-cli: movie: %s\n", n.c_str());
  QuietCodecMessages();
  const bool bar = ::isatty(STDERR_FILENO) != 0;
  bool barShown = false;
  ComposerCallbacks cb;
  cb.message = [&](const std::string& m) {
    if (barShown) std::fputc('\n', stderr), barShown = false;
    if (m == moviemsg::kDone)
      std::printf("%s\n", m.c_str());
    else
      std::fprintf(stderr, "velmira-cli: movie: %s\n", m.c_str());
  };
  if (bar) cb.progress = [&](int p) { DrawBar(p), barShown = true; };
  ComposeStats stats;
  const ComposeResult r = MakeMovie(settings, cb, &stats);
  if (barShown) std::fputc('\n', stderr);
  switch (r) {
    case ComposeResult::kDone: return 0;
    case ComposeResult::kNothingToDo:
      std::fprintf(stderr, "velmira-cli: movie: no picture could be used; nothing was written\n");
      return 1;
    case ComposeResult::kCancelled:
    case ComposeResult::kWriterFailed: return 1;
  }
  return 1;
}

}  // namespace velmira::cli
