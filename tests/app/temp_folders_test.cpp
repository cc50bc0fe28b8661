#include "app/temp_folders.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace velmira {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
 public:
  void Set(const char* name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~EnvGuard() {
    for (auto& [name, value] : saved_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

class TempFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("velmira-temp-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
  }
  void TearDown() override { fs::remove_all(root); }
  static void Touch(const fs::path& p) { std::ofstream(p) << "history"; }
  fs::path root;
};

TEST(FolderLocations, FollowTheEnvironment) {
  EnvGuard env;
  env.Set("VELMIRA_HOME", "/opt/vh");
  env.Set("XDG_CONFIG_HOME", "/x/config");
  env.Set("XDG_CACHE_HOME", "/x/cache");
  EXPECT_EQ(DataFolder(), fs::path("/opt/vh"));
  EXPECT_EQ(TempRoot(), fs::path("/opt/vh/tmp"));
  env.Set("VELMIRA_HOME", nullptr);
  EXPECT_EQ(DataFolder(), fs::path("/x/config/velmira"));
  EXPECT_EQ(TempRoot(), fs::path("/x/cache/velmira/tmp"));
  // Relative XDG paths are not to be used.
  env.Set("XDG_CONFIG_HOME", "relative");
  env.Set("XDG_CACHE_HOME", "");
  env.Set("HOME", "/home/someone");
  EXPECT_EQ(DataFolder(), fs::path("/home/someone/.config/velmira"));
  EXPECT_EQ(TempRoot(), fs::path("/home/someone/.cache/velmira/tmp"));
}

TEST_F(TempFoldersTest, RunningEditorsKeepTheirFoldersGoneOnesAreCleaned) {
  InstanceTempFolder first, second;
  ASSERT_TRUE(first.Open(root));
  ASSERT_TRUE(second.Open(root));
  EXPECT_NE(first.Path(), second.Path());
  EXPECT_EQ(first.Path().parent_path(), root);
  Touch(first.Path() / "UD_101_1_0.vlmtmp");
  Touch(second.Path() / "UD_101_1_0.vlmtmp");
  Touch(root / "UD_7_1_0.vlmtmp");  // a loose leftover
  Touch(root / "notes.txt");        // not ours

  // A third editor starting now must not touch either running one's files.
  InstanceTempFolder third;
  ASSERT_TRUE(third.Open(root));
  EXPECT_EQ(third.LastCleanup().keptFolders, 2);
  EXPECT_EQ(third.LastCleanup().removedFiles, 1);
  EXPECT_TRUE(fs::exists(first.Path() / "UD_101_1_0.vlmtmp"));
  EXPECT_TRUE(fs::exists(second.Path() / "UD_101_1_0.vlmtmp"));
  EXPECT_FALSE(fs::exists(root / "UD_7_1_0.vlmtmp"));
  EXPECT_TRUE(fs::exists(root / "notes.txt"));

  // Once the first has gone, the next start removes its folder only.
  const fs::path gone = first.Path();
  first.Close();
  const TempCleanup c = CleanStaleTemp(root);
  EXPECT_EQ(c.removedFolders, 1);
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_TRUE(fs::exists(second.Path() / "UD_101_1_0.vlmtmp"));
  EXPECT_TRUE(fs::exists(third.Path()));
}

TEST_F(TempFoldersTest, AnotherProcessHoldingItsFolderIsLeftAlone) {
  int ready[2], quit[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(quit), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceTempFolder mine;
    char c = mine.Open(root) ? 'y' : 'n';
    std::ofstream(mine.Path() / "UD_101_3_1.vlmtmp") << "x";
    if (::write(ready[1], &c, 1) != 1) ::_exit(2);
    if (::read(quit[0], &c, 1) < 0) ::_exit(3);  // wait until told to end
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  TempCleanup r = CleanStaleTemp(root);
  EXPECT_EQ(r.keptFolders, 1);
  EXPECT_EQ(r.removedFolders, 0);

  // The child dies without any clean-up of its own, as after a crash.
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  r = CleanStaleTemp(root);
  EXPECT_EQ(r.removedFolders, 1);
  EXPECT_TRUE(fs::is_empty(root));
  for (int fd : {ready[0], ready[1], quit[0], quit[1]}) ::close(fd);
}

TEST_F(TempFoldersTest, GoneEditorsFoldersWithManifestsAreClaimedUntilDecided) {
  // A running editor with a manifest, a gone one with a manifest, a gone one without.
  InstanceTempFolder running;
  ASSERT_TRUE(running.Open(root));
  Touch(running.Path() / "Recovery_101.vlmrec");
  for (const char* gone : {"run-1-0", "run-2-0"}) {
    fs::create_directories(root / gone);
    Touch(root / gone / "instance.lock");
    Touch(root / gone / "UD_101_1_0.vlmtmp");
  }
  Touch(root / "run-1-0" / "Recovery_101.vlmrec");

  auto claimed = ClaimLeftoverFolders(root);
  ASSERT_EQ(claimed.size(), 1u);
  EXPECT_EQ(claimed[0]->Path(), root / "run-1-0");
  // While claimed, neither a second claim nor another editor's clean-up takes it.
  EXPECT_TRUE(ClaimLeftoverFolders(root).empty());
  InstanceTempFolder second;
  ASSERT_TRUE(second.Open(root));
  EXPECT_TRUE(fs::exists(root / "run-1-0" / "UD_101_1_0.vlmtmp"));
  EXPECT_FALSE(fs::exists(root / "run-2-0"));
  claimed[0]->Remove();
  EXPECT_FALSE(fs::exists(root / "run-1-0"));

  // A normal end takes the instance's own folder with it.
  const fs::path own = second.Path();
  Touch(own / "UD_102_1_0.vlmtmp");
  second.RemoveAndClose();
  EXPECT_FALSE(fs::exists(own));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_TRUE(fs::exists(running.Path()));
}

TEST_F(TempFoldersTest, UnlockedFolderIsRemovedOnlyWhenOld) {
  fs::create_directories(root / "run-1-0");
  fs::create_directories(root / "run-2-0");
  Touch(root / "run-2-0" / "UD_1_1_1.vlmtmp");
  fs::last_write_time(root / "run-2-0", fs::file_time_type::clock::now() - std::chrono::hours(2));
  const TempCleanup r = CleanStaleTemp(root);
  EXPECT_TRUE(fs::exists(root / "run-1-0"));  // may be an editor making its folder right now
  EXPECT_FALSE(fs::exists(root / "run-2-0"));
  EXPECT_EQ(r.removedFolders, 1);
}

TEST_F(TempFoldersTest, FolderThatCannotBeMadeIsReported) {
  fs::create_directories(root);
  Touch(root / "file");
  InstanceTempFolder f;
  std::string error;
  EXPECT_FALSE(f.Open(root / "file" / "tmp", &error));
  EXPECT_FALSE(f.IsOpen());
  EXPECT_NE(error.find("temporary folder"), std::string::npos);
}

TEST(DocumentSerialsTest, UniquePast999) {
  DocumentSerials serials;
  EXPECT_EQ(serials.Next(), 101);
  std::set<int> seen{101};
  for (int i = 0; i < 1500; ++i) EXPECT_TRUE(seen.insert(serials.Next()).second);
  EXPECT_EQ(*seen.rbegin(), 1601);
}

}  // namespace
}  // namespace velmira
