// Running velmira-cli from the tests: one process per call, stderr folded into the
// captured output, and a fixture with a private data folder and a scratch folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace velmira {

struct CliRun {
  int status;
  std::string out;
};

inline CliRun Cli(const std::string& args) {
  const std::string cmd = std::string(VELMIRA_CLI) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = pclose(p);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

// A scratch folder per test, with VELMIRA_HOME inside it so no run touches the
// user's own settings or history.
class CliFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("velmira-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
           std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    setenv("VELMIRA_HOME", (dir / "home").c_str(), 1);
    // The tests compare the Korean texts: the stored choice pins the language
    // whatever the machine's locale is.
    std::filesystem::create_directories(dir / "home");
    std::ofstream(dir / "home" / "Language.ini") << "ko\r\n";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string P(const std::string& name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

}  // namespace velmira
