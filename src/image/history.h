// Undo/redo history of one document: numbered steps whose changed layers are kept
// in files of the instance's temporary folder, plus the two snapshot stores that
// hold every layer's committed state (also the first and second backup of the
// preview dialogs).
//
// What the document promises in return (the history relies on it to stay fast):
// every change of a layer's pixels ends either in a RecordStep that names that
// layer (slot), in a kind 7 or 10 step (all layers), or in a CommitLayer of it.
// RecordStep copies only the named layers' buffers into the undo store; the other
// layers are taken to be unchanged since their last commit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_buffer.h"
#include "image/layers.h"

namespace velmira {

// Step kinds: what structural change a step made, so undo and redo can reverse it.
enum StepKind : int {
  kStepPixels = 0,
  kStepDelete = 1,
  kStepAdd = 2,
  kStepPaste = 3,
  kStepReserved = 5,
  kStepMove = 6,
  kStepCanvas = 7,
  kStepFlatten = 8,
  kStepMerge = 9,
  kStepFlipAll = 10,
};

// What the history needs of its document. CMirvDoc implements it.
class HistoryHost {
 public:
  virtual ~HistoryHost() = default;
  virtual LayerStack& Layers() = 0;
  virtual CImageBuffer* ViewImage() = 0;
  virtual int Serial() const = 0;
  // The running instance's own temporary folder (exists while the program runs).
  virtual std::filesystem::path TempFolder() const = 0;
  virtual int CurrentToolId() const = 0;
  virtual void SetModified(bool modified) = 0;
  // Set while a record, undo or redo runs; commands that see it do nothing.
  virtual void SetBusy(bool busy) = 0;
  virtual void HistoryChanged() = 0;  // refresh the history panel
  virtual void LayersChanged() = 0;   // composition stale, layer panel and views refresh
  virtual void SetTitleText(const std::string& text) = 0;  // the caller part of the title
  virtual void ShowMessage(const std::string& text) = 0;
  // What a recovery after a crash titles the document and which file it names.
  virtual std::string RecoveryName() const { return {}; }
  virtual std::filesystem::path RecoveryPath() const { return {}; }
};

// Shown when a step's files could not be written (disk full, folder gone, no
// permission). The edit stays; that step cannot be undone.
extern const char* const kMsgHistoryWriteFailed;
// Shown when undo or redo cannot read what it needs; the picture is left unchanged.
extern const char* const kMsgHistoryReadFailed;

class CHistory {
 public:
  // Steps after the initial state that the history keeps.
  static constexpr int kMaxSteps = 19;

  explicit CHistory(HistoryHost& host);
  ~CHistory();
  CHistory(const CHistory&) = delete;
  CHistory& operator=(const CHistory&) = delete;

  // Labels and messages are UTF-8; labels are stored as 100 UTF-16 units.
  // `slot` −1 means the active layer. The labels "Opening...." and "initial state"
  // start the history again from the present document.
  void RecordStep(std::string_view label, int kind, int slot = -1);
  void CommitLayer(int slot);
  void RevertLayer(int slot, bool redraw);
  // False when there was nothing to undo/redo or the files could not be read (the
  // document is then unchanged and the user has been told).
  bool Undo();
  bool Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  int Step() const;
  int Top() const;
  // Lines of the history panel, newest first.
  std::vector<std::string> ListLines() const;
  // Label (UTF-8) of a step 0…Top(), empty for any other.
  std::string Label(int step) const;
  // Undo and redo stores as the first (0) and second (1) backup of preview dialogs.
  void SaveBackup(int which, int slot);
  void RestoreBackup(int which, int slot);

  // The files of this document in the temporary folder.
  std::filesystem::path StepFile(int step, int slot) const;
  std::filesystem::path InitialFile() const;
  std::filesystem::path RedoFile() const;
  // The crash-recovery manifest, rewritten with every step, undo and redo and
  // removed with the history (image/recovery.h).
  std::filesystem::path ManifestFile() const;

  // Bytes moved through the temporary folder since the history was made.
  struct IoCounters {
    uint64_t written = 0;
    uint64_t read = 0;
  };
  IoCounters Io() const;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace velmira
