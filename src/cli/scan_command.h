// velmira-cli devices | scan: scanners and cameras from the command line, through
// the same SANE client and page handling as the editor's acquisition commands.
//
//   velmira-cli devices
//   velmira-cli scan [--device NAME] [--resolution DPI] [--mode Color|Gray]
//                    [--source NAME] OUTPUT
#pragma once

#include <string>
#include <vector>

namespace velmira::cli {

bool IsScanVerb(const std::string& verb);
// Runs `devices` or `scan` with the arguments after the verb; the process's exit code.
int RunScanVerb(const std::string& verb, const std::vector<std::string>& args);
// The usage lines for --help.
const char* ScanUsage();

// The parsed `scan` arguments.
struct ScanRequest {
  std::string device;
  int resolution = 0;
  std::string mode;
  std::string source;
  std::string output;
};
// False with `error` set on bad arguments (nothing is scanned then).
bool ParseScanArguments(const std::vector<std::string>& args, ScanRequest& request, std::string& error);

}  // namespace velmira::cli
