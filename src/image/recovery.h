// Crash recovery of a document from its history folder.
//
// With every history step the document writes a small text manifest beside its
// history files ("Recovery_<serial>.vlmrec", written to a temporary name and
// renamed, so a reader sees either the previous manifest or the new one whole). It
// names, for every layer of the recorded state, the file and offsets that hold the
// layer's planes, so a later start of the editor can rebuild the document after the
// program that wrote it was killed. docs/ARCHITECTURE.md describes the lines.
//
// Reading trusts nothing: every number is bounded, every file is checked against
// the size (and identity) the manifest recorded before anything is allocated, and a
// manifest that does not hold together is refused with a reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "image/layers.h"

namespace velmira {

constexpr const char* kRecoveryMagic = "velmira-recovery 1";
constexpr const char* kRecoveryExtension = ".vlmrec";

// Where one layer's planes lie.
struct RecoveryData {
  std::string file;        // a plain file name inside the manifest's folder
  int64_t pixels = -1;     // offset of the pixel rows; −1: none stored (text layer, white)
  int64_t alpha = 0;       // offset of the transparency plane
  int64_t effect = 0;      // offset of the effect plane
  int64_t text = -1;       // offset of textLength UTF-16LE units; −1: none
  // The file as it was when the manifest was written: its size, inode and change
  // time in nanoseconds. A history file replaced or renamed since is not the one
  // meant, even when its size matches.
  int64_t fileSize = 0;
  uint64_t inode = 0;
  int64_t mtimeNs = 0;
};

struct RecoveryLayer {
  int slot = -1;
  Layer record;  // every record field; buffers empty
  RecoveryData data;
};

struct RecoveryManifest {
  std::string name;  // the document's name as titled
  std::string path;  // the file it came from or was saved to (may be empty)
  int step = 0;
  std::string label;  // the label of that step
  int viewFormat = 0;
  PictureHeader header;
  std::vector<uint8_t> palette;
  int active = -1;
  std::vector<RecoveryLayer> layers;  // bottom first
};

// The manifest's text.
std::string FormatRecoveryManifest(const RecoveryManifest& m);
// False, with an English reason, for text that is not a whole, consistent manifest.
bool ParseRecoveryManifest(std::string_view text, RecoveryManifest& m, std::string* error);

// Writes `m` as `folder`/`fileName` through a temporary name and a rename.
bool WriteRecoveryManifest(const std::filesystem::path& folder, const std::string& fileName,
                           const RecoveryManifest& m);

// Fills the data file's size, inode and time from the file as it is now.
bool StampRecoveryData(const std::filesystem::path& folder, RecoveryData& d);

struct RecoveryReadOptions {
  // Compare the files' inode and time with the manifest's (tests and the fuzzer
  // build files of their own and switch it off).
  bool checkIdentity = true;
};

// Builds the layer stack the manifest describes from the files in `folder`. On
// failure `out` is left cleared and `error` says which file or line was wrong.
bool ReadRecoveredLayers(const std::filesystem::path& folder, const RecoveryManifest& m, LayerStack& out,
                         std::string* error, RecoveryReadOptions options = {});

// One document a gone editor left behind.
struct RecoverableDocument {
  std::filesystem::path manifest;  // the manifest file
  RecoveryManifest info;           // parsed
};

// Manifests in one history folder, oldest serial first. Unreadable or damaged
// manifests are not listed; their reasons are added to `problems`.
std::vector<RecoverableDocument> FindRecoverableDocuments(const std::filesystem::path& folder,
                                                          std::vector<std::string>* problems);

// Removes a recovered or abandoned document: its manifest and the history files of
// its serial in that folder.
void DiscardRecoverableDocument(const std::filesystem::path& manifest);

}  // namespace velmira
