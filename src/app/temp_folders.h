// The per-user data folder, the temporary folder for history files, and the
// running instance's own part of it.
//
// Every running editor works in its own subfolder of the temporary folder and
// holds a lock on it for as long as it runs, so the clean-up at start-up can tell
// the leftovers of an editor that has gone (crashed or closed) from the files of
// one that is still open.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmira {

// $VELMIRA_HOME, else $XDG_CONFIG_HOME/velmira, else ~/.config/velmira.
std::filesystem::path DataFolder();
// tmp/ under $VELMIRA_HOME, else $XDG_CACHE_HOME/velmira/tmp, else
// ~/.cache/velmira/tmp.
std::filesystem::path TempRoot();

struct TempCleanup {
  int removedFolders = 0;  // folders of editors that are gone
  int removedFiles = 0;    // loose *.vlmtmp files
  int keptFolders = 0;     // folders of editors still running
};

// Removes, under `root`, the instance folders whose owner is gone and loose
// "*.vlmtmp" files. Never touches the folder of a running editor.
TempCleanup CleanStaleTemp(const std::filesystem::path& root);

class InstanceTempFolder {
 public:
  InstanceTempFolder() = default;
  // Releases the lock. The files stay until the next start removes them.
  ~InstanceTempFolder();
  InstanceTempFolder(const InstanceTempFolder&) = delete;
  InstanceTempFolder& operator=(const InstanceTempFolder&) = delete;

  // Creates `root` when needed, cleans what gone editors left there, and makes
  // and locks this instance's own folder. False (with an English reason) when the
  // folder cannot be made; the editor then runs without undo files.
  bool Open(const std::filesystem::path& root, std::string* error = nullptr);
  void Close();
  // The normal end of the program: removes the folder with every history file in
  // it, then releases the lock.
  void RemoveAndClose();
  bool IsOpen() const { return lockFd_ >= 0; }
  const std::filesystem::path& Path() const { return path_; }
  TempCleanup LastCleanup() const { return cleanup_; }

 private:
  std::filesystem::path path_;
  int lockFd_ = -1;
  TempCleanup cleanup_;
};

// The folder of an editor that is gone, held locked by this instance while it
// offers the documents found there, so that no other editor starting meanwhile
// cleans it away or offers them too.
class ClaimedFolder {
 public:
  ClaimedFolder(std::filesystem::path path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}
  // Releases the lock; the folder stays (the next clean-up takes it).
  ~ClaimedFolder();
  ClaimedFolder(const ClaimedFolder&) = delete;
  ClaimedFolder& operator=(const ClaimedFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // Removes the folder and everything left in it.
  void Remove();

 private:
  std::filesystem::path path_;
  int lockFd_ = -1;
};

// Locks, under `root`, the folders of gone editors that hold a crash-recovery
// manifest ("*.vlmrec"). Folders of running editors are never taken.
std::vector<std::unique_ptr<ClaimedFolder>> ClaimLeftoverFolders(const std::filesystem::path& root);

// Document serials name a document's temporary files: 101, 102, … and on past
// 999, so that no two documents of one run ever share a name.
class DocumentSerials {
 public:
  int Next();

 private:
  std::atomic<int> last_{100};
};

}  // namespace velmira
