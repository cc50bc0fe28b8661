#include "app/temp_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string_view>

namespace velmira {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInstancePrefix = "run-";
constexpr const char* kLockName = "instance.lock";
// A folder without a lock file may be one that another editor has just made and
// not yet locked; only an old one is a leftover.
constexpr auto kUnlockedGrace = std::chrono::minutes(1);

// An absolute path from the environment, or empty (relative XDG paths are to be
// ignored).
fs::path EnvPath(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return {};
  fs::path p(v);
  return p.is_absolute() ? p : fs::path{};
}

fs::path Home() {
  if (fs::path h = EnvPath("HOME"); !h.empty()) return h;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return fs::temp_directory_path();
}

bool SameFile(int fd, const fs::path& path) {
  struct stat a, b;
  return ::fstat(fd, &a) == 0 && ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

fs::path DataFolder() {
  if (fs::path v = EnvPath("VELMIRA_HOME"); !v.empty()) return v;
  if (fs::path x = EnvPath("XDG_CONFIG_HOME"); !x.empty()) return x / "velmira";
  return Home() / ".config" / "velmira";
}

fs::path TempRoot() {
  if (fs::path v = EnvPath("VELMIRA_HOME"); !v.empty()) return v / "tmp";
  if (fs::path x = EnvPath("XDG_CACHE_HOME"); !x.empty()) return x / "velmira" / "tmp";
  return Home() / ".cache" / "velmira" / "tmp";
}

TempCleanup CleanStaleTemp(const fs::path& root) {
  TempCleanup r;
  std::error_code ec;
  fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  if (ec) return r;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path p = it->path();
    const std::string name = p.filename().string();
    std::error_code e2;
    if (it->is_regular_file(e2) && p.extension() == ".vlmtmp") {
      if (fs::remove(p, e2)) ++r.removedFiles;
      continue;
    }
    if (!it->is_directory(e2) || name.compare(0, kInstancePrefix.size(), kInstancePrefix) != 0) continue;
    const fs::path lock = p / kLockName;
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
      const auto age = fs::file_time_type::clock::now() - fs::last_write_time(p, e2);
      if (!e2 && age > kUnlockedGrace && fs::remove_all(p, e2) != static_cast<std::uintmax_t>(-1) && !e2)
        ++r.removedFolders;
      else
        ++r.keptFolders;
      continue;
    }
    // The owner holds the lock while it runs; getting it means the owner is gone.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ++r.keptFolders;
      ::close(fd);
      continue;
    }
    if (SameFile(fd, lock) && fs::remove_all(p, e2) != static_cast<std::uintmax_t>(-1) && !e2)
      ++r.removedFolders;
    ::close(fd);
  }
  return r;
}

InstanceTempFolder::~InstanceTempFolder() { Close(); }

void InstanceTempFolder::RemoveAndClose() {
  if (lockFd_ >= 0 && !path_.empty()) {
    std::error_code ec;
    fs::remove_all(path_, ec);  // what cannot be removed, the next start's clean-up takes
  }
  Close();
}

ClaimedFolder::~ClaimedFolder() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

void ClaimedFolder::Remove() {
  std::error_code ec;
  if (lockFd_ >= 0) fs::remove_all(path_, ec);
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

std::vector<std::unique_ptr<ClaimedFolder>> ClaimLeftoverFolders(const fs::path& root) {
  std::vector<std::unique_ptr<ClaimedFolder>> claimed;
  std::error_code ec;
  fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  if (ec) return claimed;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::path p = it->path();
    const std::string name = p.filename().string();
    std::error_code e2;
    if (!it->is_directory(e2) || name.compare(0, kInstancePrefix.size(), kInstancePrefix) != 0) continue;
    bool hasManifest = false;
    for (fs::directory_iterator f(p, e2); !e2 && f != fs::directory_iterator(); f.increment(e2))
      hasManifest |= f->path().extension() == ".vlmrec";
    if (!hasManifest) continue;
    const fs::path lock = p / kLockName;
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    // Getting the lock means its owner is gone; holding it keeps the folder ours.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameFile(fd, lock)) {
      ::close(fd);
      continue;
    }
    claimed.push_back(std::make_unique<ClaimedFolder>(p, fd));
  }
  std::sort(claimed.begin(), claimed.end(), [](const auto& a, const auto& b) { return a->Path() < b->Path(); });
  return claimed;
}

void InstanceTempFolder::Close() {
  if (lockFd_ >= 0) ::close(lockFd_);  // closing drops the lock
  lockFd_ = -1;
}

bool InstanceTempFolder::Open(const fs::path& root, std::string* error) {
  Close();
  std::error_code ec;
  fs::create_directories(root, ec);
  if (!fs::is_directory(root, ec)) {
    if (error) *error = "cannot create the temporary folder " + root.string();
    return false;
  }
  cleanup_ = CleanStaleTemp(root);
  static std::atomic<int> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir =
        root / (std::string(kInstancePrefix) + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    if (!fs::create_directory(dir, ec)) {
      if (ec) break;
      continue;  // the name is taken
    }
    const fs::path lock = dir / kLockName;
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) break;
    // Another editor's clean-up may have taken the new folder for a leftover in
    // the moment before it was locked: then start over with another name.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameFile(fd, lock)) {
      ::close(fd);
      continue;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::write(fd, pid.data(), pid.size()) != ssize_t(pid.size())) {
      // The pid is only for people looking at the folder; the lock is what counts.
    }
    path_ = dir;
    lockFd_ = fd;
    return true;
  }
  if (error) *error = "cannot create an instance folder in " + root.string();
  return false;
}

int DocumentSerials::Next() { return ++last_; }

}  // namespace velmira
