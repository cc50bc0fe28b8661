// velmira-cli: the document core without a window, for scripting and batch work.
//
//   velmira-cli info [--json] FILE
//   velmira-cli convert [options] [--do 'COMMAND ARG…']… INPUT OUTPUT
//   velmira-cli devices | scan …   (scan_command.h)
//
// It opens and saves through the same CMirvDoc sequences as the editor and runs the
// same commands; it keeps an undo history only when the command list needs one.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/doc_services.h"
#include "app/language.h"
#include "app/temp_folders.h"
#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/text_options.h"
#include "cli/scan_command.h"
#include "cli/measure_cli.h"
#include "cli/movie_command.h"
#include "image/text.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "3.68";

void PrintHelp() {
  std::printf(
      "Usage:\n"
      "  velmira-cli info [--json] FILE\n"
      "  velmira-cli convert [options] [--do 'COMMAND ARG...']... INPUT OUTPUT\n"
      "%s%s"
      "  velmira-cli --help | --version\n\n"
      "convert opens INPUT, runs each --do command in order and saves OUTPUT in the\n"
      "format its extension names (jpg, bmp, gif, tif, vlm). Coordinates are picture\n"
      "pixels, x from the left and y from the top; colours are #RRGGBB.\n\n"
      "Options:\n"
      "  --fg #RRGGBB          foreground colour\n"
      "  --bg #RRGGBB          background colour\n"
      "  --brush SIZE[,soft]   brush size (1-8) and soft edge\n"
      "  --tolerance N         colour tolerance of fill and selection tools\n"
      "  --border-spread N     soft edge of selections in pixels\n"
      "  --quality Q           JPEG quality (1-100)\n"
      "  --history             keep the undo history even when no command needs it\n"
      "%s%s\n"
      "movie writes a slide show (AVI; H.264 when OUTPUT ends in .mp4). FRAME is up, down,\n"
      "left, right, still or zoom[:FX:FY] (default still; FX from the left, FY from the\n"
      "bottom, 0-1); LINK is up, down, left, right or none (default none); V and T are\n"
      "slider positions 0-100 (default 50); WxH is 320x240, 640x480, 800x600 or 240x180\n"
      "(anything else: 640x480).\n\n"
      "Commands:\n",
      cli::MovieUsage(), cli::ScanUsage(), cli::MeasureOptionsHelp(), cli::TextOptionsHelp());
  std::fputs(Commands().HelpText().c_str(), stdout);
}

// Splits one --do argument into words; quotes group words containing spaces.
std::vector<std::string> SplitWords(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  bool inWord = false;
  char quote = 0;
  for (char ch : s) {
    if (quote) {
      if (ch == quote)
        quote = 0;
      else
        cur.push_back(ch);
    } else if (ch == '\'' || ch == '"') {
      quote = ch;
      inWord = true;
    } else if (ch == ' ' || ch == '\t') {
      if (inWord) out.push_back(cur), cur.clear(), inWord = false;
    } else {
      cur.push_back(ch);
      inWord = true;
    }
  }
  if (inWord) out.push_back(cur);
  return out;
}

const char* KindName(int kind) {
  switch (kind) {
    case kLayerRaster: return "raster";
    case kLayerBackground: return "background";
    case kLayerText: return "text";
    case kLayerFloating: return "floating";
    case kLayerMeasure: return "measurement";
    default: return "unknown";
  }
}

const char* BlendName(int mode) {
  switch (mode) {
    case kBlendMultiply: return "multiply";
    case kBlendScreen: return "screen";
    case kBlendDarken: return "darken";
    case kBlendLighten: return "lighten";
    case kBlendDifference: return "difference";
    case kBlendInverseDifference: return "inverse-difference";
    case kBlendExclusion: return "exclusion";
    case kBlendOverlay: return "overlay";
    default: return "normal";
  }
}

const char* FormatName(int f) {
  switch (f) {
    case kFormatJpeg: return "JPEG";
    case kFormatBmp: return "BMP";
    case kFormatGif: return "GIF";
    case kFormatTiff: return "TIFF";
    case kFormatPcx: return "PCX";
    case kFormatVlm: return "VLM";
    case kFormatPsd: return "PSD";
    default: return "unknown";
  }
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') out += '\\', out += char(c);
    else if (c < 0x20) out += Format("\\u%04x", c);
    else out += char(c);
  }
  return out + "\"";
}

int Info(CMirvDoc& doc, const fs::path& file, bool json, int format) {
  const LayerStack& st = doc.Layers();
  const int bpp = format == kFormatVlm ? st.header.bitsPerPixel : doc.OpenedBitsPerPixel();
  if (json) {
    std::printf("{\"file\": %s, \"width\": %d, \"height\": %d, \"bitsPerPixel\": %d, \"format\": \"%s\", \"layers\": [",
                JsonString(file.string()).c_str(), st.header.canvasWidth, st.header.canvasHeight, bpp,
                FormatName(format));
  } else {
    std::printf("%s: %d x %d, %d bits per pixel, %s, %d layer%s\n", file.string().c_str(), st.header.canvasWidth,
                st.header.canvasHeight, bpp, FormatName(format), st.LayerCount(), st.LayerCount() == 1 ? "" : "s");
  }
  bool first = true;
  const auto chain = st.Chain();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {  // top first, as the layer panel lists them
    const Layer& l = st.slots[*it];
    const std::string name = Utf16ToUtf8(l.name.Get());
    // Positions as the user sees them: the layer's top-left corner over the canvas.
    const int left = l.x, top = st.header.canvasHeight - l.height + l.y;
    if (json) {
      std::printf("%s{\"slot\": %d, \"name\": %s, \"kind\": \"%s\", \"blend\": \"%s\", \"visible\": %s, "
                  "\"x\": %d, \"y\": %d, \"width\": %d, \"height\": %d, \"transparency\": %d, \"active\": %s%s}",
                  first ? "" : ", ", *it, JsonString(name).c_str(), KindName(l.kind), BlendName(l.blend),
                  l.visible == 1 ? "true" : "false", left, top, l.width, l.height, l.transparency,
                  *it == st.active ? "true" : "false", cli::TextLayerJson(l).c_str());
    } else {
      std::printf("  [%2d]%s %-20s %-11s %-18s %-7s at %d,%d  %d x %d  transparency %d\n", *it,
                  *it == st.active ? "*" : " ", name.c_str(), KindName(l.kind), BlendName(l.blend),
                  l.visible == 1 ? "shown" : "hidden", left, top, l.width, l.height, l.transparency);
    }
    first = false;
  }
  if (json) std::printf("]}\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp();
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    PrintHelp();
    return 0;
  }
  if (args[0] == "--version") {
    std::printf("velmira-cli %s\n", kVersion);
    return 0;
  }
  // Messages from the document core follow the interface language, as in the editor.
  LanguagePack language;
  language.Load(StartupLanguage(DataFolder()), TranslationsFolder());
  language.Install();
  const std::string verb = args[0];
  if (verb == "movie") return cli::RunMovieCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  if (cli::IsScanVerb(verb)) return cli::RunScanVerb(verb, {args.begin() + 1, args.end()});
  if (verb != "info" && verb != "convert") {
    std::fprintf(stderr, "velmira-cli: unknown action: %s (try --help)\n", verb.c_str());
    return 2;
  }

  FrameState frame;
  bool json = false, keepHistory = false;
  int quality = -1;
  std::vector<std::vector<std::string>> commands;
  std::vector<std::string> files;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "velmira-cli: %s needs a value\n", a.c_str());
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--json") {
      json = true;
    } else if (a == "--history") {
      keepHistory = true;
    } else if (a == "--do") {
      if (!value(v)) return 2;
      commands.push_back(SplitWords(v));
      const std::string error = cli::Validate(commands.back());
      if (!error.empty()) {
        std::fprintf(stderr, "velmira-cli: %s\n", error.c_str());
        return 2;
      }
    } else if (a == "--fg" || a == "--bg") {
      Rgbq c;
      if (!value(v) || !cli::ParseColour(v, c)) {
        std::fprintf(stderr, "velmira-cli: %s takes a colour #RRGGBB\n", a.c_str());
        return 2;
      }
      (a == "--fg" ? frame.foreground : frame.background) = c;
    } else if (a == "--brush") {
      if (!value(v)) return 2;
      const size_t comma = v.find(',');
      int size;
      if (!cli::ParseInt(v.substr(0, comma), size) || size < 1 ||
          (comma != std::string::npos && v.substr(comma + 1) != "soft")) {
        std::fprintf(stderr, "velmira-cli: --brush takes SIZE or SIZE,soft\n");
        return 2;
      }
      frame.brushSize = size;
      frame.softEdge = comma != std::string::npos;
    } else if (a == "--tolerance" || a == "--border-spread" || a == "--quality") {
      int n;
      if (!value(v) || !cli::ParseInt(v, n)) {
        std::fprintf(stderr, "velmira-cli: %s takes a number\n", a.c_str());
        return 2;
      }
      if (a == "--tolerance") frame.option1 = n;
      else if (a == "--border-spread") frame.borderSpread = n;
      else quality = n;
    } else if (cli::IsTextOption(a)) {
      std::string error;
      if (!value(v)) return 2;
      if (cli::ParseTextOption(a, v, frame, error) < 0) {
        std::fprintf(stderr, "velmira-cli: %s\n", error.c_str());
        return 2;
      }
    } else if (cli::IsMeasureOption(a)) {
      std::string error;
      if (!value(v) || !cli::ApplyMeasureOption(a, v, frame, error)) {
        if (!error.empty()) std::fprintf(stderr, "velmira-cli: %s\n", error.c_str());
        return 2;
      }
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "velmira-cli: unknown option: %s\n", a.c_str());
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if ((verb == "info" && files.size() != 1) || (verb == "convert" && files.size() != 2)) {
    std::fprintf(stderr, "velmira-cli: %s needs %s (try --help)\n", verb.c_str(),
                 verb == "info" ? "one FILE" : "INPUT and OUTPUT");
    return 2;
  }
  for (const auto& c : commands)
    if (c[0] == "undo" || c[0] == "redo") keepHistory = true;

  // History files go to this process's own locked folder, removed when it ends.
  InstanceTempFolder instance;
  struct RemoveAtExit {
    InstanceTempFolder& f;
    ~RemoveAtExit() {
      if (!f.IsOpen()) return;
      const fs::path p = f.Path();
      f.Close();
      std::error_code ec;
      fs::remove_all(p, ec);
    }
  } removeAtExit{instance};
  if (keepHistory) {
    std::string why;
    if (!instance.Open(TempRoot(), &why)) {
      std::fprintf(stderr, "velmira-cli: no temporary folder for the history: %s\n", why.c_str());
      return 1;
    }
    frame.tempFolder = instance.Path();
  }

  DocServices services;
  CliHost host(frame, services);
  CMirvDoc doc(frame, host, &services);
  doc.SetHistoryEnabled(keepHistory);
  host.historyEnabled = keepHistory;

  const fs::path input = files[0];
  if (!fs::exists(input)) {
    std::fprintf(stderr, "velmira-cli: %s: no such file\n", input.string().c_str());
    return 1;
  }
  if (!doc.OnOpenDocument(input)) {
    if (!host.anyMessage) std::fprintf(stderr, "velmira-cli: %s: cannot open this file\n", input.string().c_str());
    return 1;
  }
  if (verb == "info") return Info(doc, input, json, ExtensionCode(input));

  for (const auto& words : commands) {
    std::string error;
    if (!cli::Run(words, doc, host, frame, services, files[1], error)) {
      if (!error.empty()) std::fprintf(stderr, "velmira-cli: %s: %s\n", words[0].c_str(), error.c_str());
      else if (!host.anyMessage) std::fprintf(stderr, "velmira-cli: %s failed\n", words[0].c_str());
      return 1;
    }
  }
  const fs::path output = files[1];
  if (ExtensionCode(output) < 0) {
    std::fprintf(stderr, "velmira-cli: %s: unknown output format\n", output.string().c_str());
    return 1;
  }
  if (quality > 0 && doc.ViewImage()) doc.ViewImage()->Ext().jpegQuality = uint8_t(std::min(quality, 100));
  host.anyMessage = false;
  if (!doc.OnSaveDocument(output)) {
    if (!host.anyMessage) std::fprintf(stderr, "velmira-cli: %s: cannot save\n", output.string().c_str());
    return 1;
  }
  return 0;
}
