#include "cli/scan_command.h"

#include <csignal>
#include <cstdio>

#include "app/doc_services.h"
#include "cli/cli_host.h"
#include "cli/commands.h"
#include "image/doc.h"
#include "online/online_commands.h"
#include "online/sane_client.h"

namespace velmira::cli {

namespace {

online::CSaneClient* g_scanning = nullptr;

// Ctrl+C stops the scan after the pages already saved; they are kept.
extern "C" void StopScanning(int) {
  if (g_scanning) g_scanning->RequestCancel();
}

bool SavableOutput(const std::string& output) {
  const int code = ExtensionCode(online::PageFileName(output, 0));
  return (code >= 0 && code <= 3) || code == 5;
}

// Saves each delivered page through a document, as the editor would save it.
class SavingSink : public online::PageSink {
 public:
  SavingSink(online::CSaneClient& client, const std::string& output) : client_(client), output_(output) {
    frame_.tempFolder.clear();
  }
  void Deliver(std::unique_ptr<CImageBuffer> image) override {
    if (failed) return;
    CliHost host(frame_, services_);
    host.historyEnabled = false;
    CMirvDoc doc(frame_, host, &services_);
    doc.SetHistoryEnabled(false);
    const std::string file = online::PageFileName(output_, saved);
    const int w = image ? image->Width() : 0, h = image ? image->Height() : 0;
    if (!online::OpenScannedPage(doc, std::move(image), counter_) || !doc.OnSaveDocument(file)) {
      if (!host.anyMessage) std::fprintf(stderr, "velmira-cli: %s: cannot save\n", file.c_str());
      failed = true;
      client_.RequestCancel();
      return;
    }
    std::printf("%s: %d x %d\n", file.c_str(), w, h);
    std::fflush(stdout);
    ++saved;
  }
  void Progress(int, int percent) override { progressHost_.Progress(percent); }

  int saved = 0;
  bool failed = false;

 private:
  online::CSaneClient& client_;
  std::string output_;
  FrameState frame_;
  DocServices services_;
  CliHost progressHost_{frame_, services_};
  int counter_ = 0;
};

int Devices(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "velmira-cli: devices takes no arguments\n");
    return 2;
  }
  online::CSaneClient client;
  if (!client.Initialise()) {
    std::fprintf(stderr, "velmira-cli: scanners and cameras need SANE (libsane), which is not available\n");
    return 1;
  }
  const std::vector<online::ScanDevice> devices = client.Devices();
  if (devices.empty()) std::fprintf(stderr, "velmira-cli: no scanner or camera found\n");
  for (const online::ScanDevice& d : devices) std::printf("%s\t%s\n", d.name.c_str(), d.Describe().c_str());
  return 0;
}

bool Offered(const std::vector<std::string>& list, const std::string& value) {
  if (list.empty()) return true;  // the device does not say: let it decide
  for (const std::string& v : list)
    if (v == value) return true;
  return false;
}

std::string Joined(const std::vector<std::string>& list) {
  std::string s;
  for (const std::string& v : list) s += (s.empty() ? "" : ", ") + v;
  return s;
}

int Scan(const std::vector<std::string>& args) {
  ScanRequest req;
  std::string error;
  if (!ParseScanArguments(args, req, error)) {
    std::fprintf(stderr, "velmira-cli: scan: %s\n", error.c_str());
    return 2;
  }
  online::CSaneClient client;
  if (!client.Initialise()) {
    std::fprintf(stderr, "velmira-cli: scanners and cameras need SANE (libsane), which is not available\n");
    return 1;
  }
  const std::string device = req.device.empty() ? client.DefaultSource(std::string()) : req.device;
  if (device.empty()) {
    std::fprintf(stderr, "velmira-cli: no scanner or camera found\n");
    return 1;
  }
  if (!client.SelectSourceByName(device)) {
    std::fprintf(stderr, "velmira-cli: %s: no such device (see velmira-cli devices)\n", device.c_str());
    return 1;
  }
  if (!client.OpenSource()) {
    std::fprintf(stderr, "velmira-cli: %s: cannot open the device: %s\n", device.c_str(),
                 client.LastStatusText().c_str());
    return 1;
  }
  const online::ScanCapabilities caps = client.Capabilities();
  if (!req.mode.empty() && !Offered(caps.modes, req.mode)) {
    std::fprintf(stderr, "velmira-cli: scan: %s has no mode %s (it offers %s)\n", device.c_str(), req.mode.c_str(),
                 Joined(caps.modes).c_str());
    return 2;
  }
  if (!req.source.empty() && !Offered(caps.sources, req.source)) {
    std::fprintf(stderr, "velmira-cli: scan: %s has no source %s (it offers %s)\n", device.c_str(),
                 req.source.c_str(), Joined(caps.sources).c_str());
    return 2;
  }
  online::ScanSettings settings;
  settings.resolution = req.resolution;
  settings.mode = req.mode;
  settings.source = req.source;
  if (!client.EnableSource(settings)) {
    std::fprintf(stderr, "velmira-cli: %s: the device refused these settings: %s\n", device.c_str(),
                 client.LastStatusText().c_str());
    return 1;
  }
  SavingSink sink(client, req.output);
  g_scanning = &client;
  auto previous = std::signal(SIGINT, StopScanning);
  const online::TransferResult r = client.Transfers(sink);
  std::signal(SIGINT, previous);
  g_scanning = nullptr;
  if (sink.failed) return 1;
  if (r.cancelled) {
    std::fprintf(stderr, "velmira-cli: scan cancelled; %d page%s kept\n", sink.saved, sink.saved == 1 ? "" : "s");
    return sink.saved > 0 ? 0 : 1;
  }
  if (r.failed) {
    std::fprintf(stderr, "velmira-cli: %s: %s%s\n", device.c_str(), r.error.c_str(),
                 sink.saved ? "; the pages before it were saved" : "");
    return 1;
  }
  if (sink.saved == 0) {
    std::fprintf(stderr, "velmira-cli: %s delivered no picture\n", device.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

bool IsScanVerb(const std::string& verb) { return verb == "devices" || verb == "scan"; }

const char* ScanUsage() {
  return "  velmira-cli devices\n"
         "  velmira-cli scan [--device NAME] [--resolution DPI] [--mode Color|Gray] [--source NAME] OUTPUT\n";
}

bool ParseScanArguments(const std::vector<std::string>& args, ScanRequest& request, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takesValue = a == "--device" || a == "--resolution" || a == "--mode" || a == "--source";
    if (takesValue && i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    if (a == "--device") {
      request.device = args[++i];
    } else if (a == "--resolution") {
      if (!ParseInt(args[++i], request.resolution) || request.resolution < 1 || request.resolution > 100000) {
        error = "--resolution takes dots per inch (a positive number)";
        return false;
      }
    } else if (a == "--mode") {
      request.mode = args[++i];
    } else if (a == "--source") {
      request.source = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option: " + a;
      return false;
    } else if (request.output.empty()) {
      request.output = a;
    } else {
      error = "only one OUTPUT (use %d in it for several pages)";
      return false;
    }
  }
  if (request.output.empty()) {
    error = "needs an OUTPUT file";
    return false;
  }
  if (!SavableOutput(request.output)) {
    error = request.output + ": unknown output format (jpg, bmp, gif, tif or vlm)";
    return false;
  }
  return true;
}

int RunScanVerb(const std::string& verb, const std::vector<std::string>& args) {
  return verb == "devices" ? Devices(args) : Scan(args);
}

}  // namespace velmira::cli
