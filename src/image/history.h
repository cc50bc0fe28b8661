// Undo/redo history of one document: numbered steps whose changed layers are kept
// in files of the instance's temporary folder, plus the two snapshot stores that
// hold every layer's committed state (also the first and second backup of the
// preview dialogs).
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
};

class CHistory {
 public:
  explicit CHistory(HistoryHost& host);
  ~CHistory();

  // Labels and messages are UTF-8; labels are stored as 100 UTF-16 units.
  void RecordStep(std::string_view label, int kind, int slot = -1);
  void CommitLayer(int slot);
  void RevertLayer(int slot, bool redraw);
  bool Undo();
  bool Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  int Step() const;
  int Top() const;
  // Lines of the history panel, newest first.
  std::vector<std::string> ListLines() const;
  // Undo and redo stores as the first (0) and second (1) backup of preview dialogs.
  void SaveBackup(int which, int slot);
  void RestoreBackup(int which, int slot);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace velmira
