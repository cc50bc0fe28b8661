// SANE's own `test` backend as a scanner for the tests: a private configuration
// folder whose dll.conf names only that backend, and a test.conf that makes its
// pages small. SANE reads the folder from SANE_CONFIG_DIR when it is initialised.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace velmira::testing_support {

class SaneTestBackend {
 public:
  // `options` replace or add test.conf lines ("source" is not a test.conf key; the
  // tests choose the feeder through the scan settings).
  using Options = std::map<std::string, std::string>;
  explicit SaneTestBackend(const Options& options = {}) {
    char pattern[] = "/tmp/velmira-sane-XXXXXX";
    if (const char* made = mkdtemp(pattern)) dir_ = made;
    std::ofstream(dir_ / "dll.conf") << "test\n";
    std::map<std::string, std::string> conf = {
        {"number_of_devices", "2"},  {"mode", "Color"},        {"depth", "8"},
        {"resolution", "50.0"},       {"test-picture", "\"Color pattern\""},
        {"tl_x", "0.0"},             {"tl_y", "0.0"},          {"br_x", "20.0"},
        {"br_y", "10.0"},            {"read-delay", "false"},  {"read-status-code", "\"Default\""},
    };
    for (const auto& [k, v] : options) conf[k] = v;
    std::ofstream out(dir_ / "test.conf");
    for (const auto& [k, v] : conf) out << k << ' ' << v << '\n';
    out.close();
    const char* old = getenv("SANE_CONFIG_DIR");
    if (old) previous_ = old, hadPrevious_ = true;
    setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
  }
  ~SaneTestBackend() {
    if (hadPrevious_)
      setenv("SANE_CONFIG_DIR", previous_.c_str(), 1);
    else
      unsetenv("SANE_CONFIG_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  SaneTestBackend(const SaneTestBackend&) = delete;
  SaneTestBackend& operator=(const SaneTestBackend&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
  // The test backend's page at 50 dpi over 20 × 10 mm.
  static constexpr int kPageWidth = 39;
  static constexpr int kPageHeight = 19;
  static constexpr const char* kFeeder = "Automatic Document Feeder";
  // How many pages the backend's feeder holds.
  static constexpr int kFeederPages = 10;

 private:
  std::filesystem::path dir_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace velmira::testing_support
