// CMirvDoc: one open picture — the view image, the layer stack, the selection, the
// history — and the command frame every editing command follows.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "image/guide_path.h"
#include "image/doc_host.h"
#include "image/frame_state.h"
#include "image/history.h"
#include "image/image_buffer.h"
#include "image/layers.h"
#include "image/view_mips.h"

namespace velmira {

// Command identifiers of the document's own commands (their entries are in the
// command registry, commands/registry.h).
namespace cmd {
constexpr int kCopy = 57634;
constexpr int kCut = 57635;
constexpr int kPaste = 57637;
constexpr int kUndo = 57643;
constexpr int kRedo = 57644;
constexpr int kCutToNew = 1482;
constexpr int kDuplicateDocument = 1412;
constexpr int kRemoveTransparency = 1430;
constexpr int kSetTransparency = 1427;
constexpr int kRemoveAlphaChannel = 1483;
constexpr int kInvertAlpha = 1485;
constexpr int kToggleAlphaPalette = 1486;
constexpr int kStripAlpha = 1490;
constexpr int kLayerAdd = 1552;
constexpr int kLayerDelete = 1553;
constexpr int kLayerDuplicate = 3500;
constexpr int kFlatten = 1500;
constexpr int kMergeDown = 1557;
constexpr int kMergeUp = 1555;
constexpr int kRenameLayer = 3994;
constexpr int kToRaster = 1545;
constexpr int kColour8Bit = 2016;
constexpr int kFourBitOptimal = 2011;
constexpr int kFourBitStandard = 2013;
}  // namespace cmd

// The format number of a file name's extension (FormatFromExtension), as open and
// save choose their codec.
int ExtensionCode(const std::filesystem::path& path);

// Where an editing command stands on text layers.
enum class TextRule {
  Allow,       // the command works on text layers too
  Active,      // refuse when the active layer is a text layer
  ActiveOnly,  // works on the active layer only: ask for another layer
  AllLayers,   // looks at every layer: refuse when any is a text layer
};

class CMirvDoc : public HistoryHost {
 public:
  CMirvDoc(FrameState& frame, DocHost& host, FormatDispatch* formats);
  ~CMirvDoc() override;
  CMirvDoc(const CMirvDoc&) = delete;
  CMirvDoc& operator=(const CMirvDoc&) = delete;

  // Life.
  bool NewDocument();
  bool OnOpenDocument(const std::filesystem::path& path);
  bool OnSaveDocument(const std::filesystem::path& path);
  std::string ProposeSaveName() const;
  // Builds the layers from the view image as an opened picture's, then the
  // after-open steps. Used by open, new and acquisition.
  bool BuildFromViewImage(const std::string& title);
  void AfterOpen();
  // A picture that arrived without a file (a scanner or camera page): the document
  // is built from it as from an opened picture named `name`. False when it is empty.
  bool OpenImage(std::unique_ptr<CImageBuffer> image, const std::string& name);
  // A document rebuilt after a crash (image/recovery.h): takes the layers, the name
  // and file it had, and starts a new history from them. It opens modified, so
  // closing it asks to save. False when the layers cannot make a picture.
  bool OpenRecovered(LayerStack&& layers, const std::string& name, const std::filesystem::path& path,
                     int viewFormat);

  // Layers (messages shown through the host).
  bool InsertLayer(int after, int slot = -1);
  bool DeleteLayer(int slot, bool recordHistory);
  bool SetActiveLayer(int slot);
  bool AddLayer();
  bool DuplicateLayer();
  bool MergeDown();
  bool MergeUp();
  bool Merge(int startSlot);
  bool Flatten();
  bool RenameLayer();
  // Layer properties, the one way every caller (the layer panel, velmira-cli, the
  // commands) changes them. Each writes one field of the layer's record, marks the
  // document modified and the composition stale, and commits the layer to the
  // history's edit store: leaving the layer later reverts it to that store, which
  // would otherwise bring the old value back. None is a history step. False, with
  // nothing changed, for an empty slot or a value out of range. `commit` false is
  // for a transparency slider still being dragged; its release commits. The caller
  // refreshes the layer panel (the panel itself calls these from its own signals).
  bool SetLayerTransparency(int slot, int value, bool commit = true);
  bool SetLayerBlend(int slot, int mode);
  bool SetLayerVisible(int slot, bool visible);
  bool RenameLayer(int slot, const std::string& name);
  bool ConvertToRaster();
  bool MoveLayer(int slot, bool up);
  // "8 비트 컬러 표현": every layer to 8 bits with one optimal palette.
  bool ColourTo8Bit();

  // Clipboard.
  bool CopyToClipboard();
  bool PasteFromClipboard(int duplicateOf = -1);
  bool Cut();
  bool CutToNew();
  bool DuplicateDocument();
  bool AlphaCommand(int id);

  // Moving a selection. Lifting puts the selected pixels of the active layer into a
  // floating layer (kind 3) just above it, whose partner is that layer, and leaves
  // the selected place transparent; the floating layer becomes active and the
  // selection-move state is on. Nothing changes (false) without a selection, on a
  // text or measurement layer, or when the layers are full.
  bool LiftSelection();
  // Merges a floating layer back into its partner ("선택영역 위치이동", then the
  // merge step); false when nothing is floating.
  bool PutDownSelection();
  // Whether a canvas pixel (column, row from the top) lies on a selected pixel of an
  // existing selection.
  bool PointSelected(int px, int py) const;

  // Canvas pixel (column, row from the top) to a pixel of the active layer, growing
  // the layer when the point falls outside it. The views turn their zoomed points
  // into canvas pixels first: the zoom is theirs, not the document's.
  bool MapToLayer(int px, int py, bool commit, int* lx, int* ly);
  // Both ends of a segment. Growing the layer to the left or downward for the second
  // point moves the first one's pixel, so the first is mapped again at the end.
  bool MapSegmentToLayer(int ax, int ay, int bx, int by, bool commit, int* lax, int* lay, int* lbx, int* lby);

  // The command frame: BeginEdit refuses text layers and reverts the active layer;
  // EndEdit copies the edit copy back, marks the composition stale and records.
  bool BeginEdit(TextRule rule, bool backup);
  void EndEdit(const std::string& label, int kind, int slot, bool restore);
  // One whole editing command through the frame.
  bool RunEdit(TextRule rule, bool backup, const std::string& label, int kind,
               const std::function<bool(LayerStack&, Layer&)>& change);
  // True (after saying why) when the rule forbids working on the current layers.
  bool RefuseText(TextRule rule);

  // History (forwarded).
  void RecordStep(const std::string& label, int kind, int slot = -1);
  void CommitLayer(int slot);
  void RevertLayer(int slot, bool redraw);
  bool Undo();
  bool Redo();
  CHistory& History() { return *history_; }
  const CHistory& History() const { return *history_; }
  // Batch tools that never undo may run without writing history files.
  void SetHistoryEnabled(bool on) { historyEnabled_ = on; }
  bool HistoryEnabled() const { return historyEnabled_; }

  // HistoryHost.
  LayerStack& Layers() override { return layers_; }
  const LayerStack& Layers() const { return layers_; }
  CImageBuffer* ViewImage() override { return view_.get(); }
  std::string RecoveryName() const override { return name_; }
  std::filesystem::path RecoveryPath() const override { return path_; }
  int Serial() const override { return serial_; }
  std::filesystem::path TempFolder() const override { return frame_.tempFolder; }
  int CurrentToolId() const override { return frame_.currentTool; }
  void SetModified(bool m) override {
    modified_ = m;
    if (m) viewIsBottom_ = false;
  }
  void SetBusy(bool b) override { busy_ = b; }
  void HistoryChanged() override;
  void LayersChanged() override;
  void SetTitleText(const std::string& text) override;
  void ShowMessage(const std::string& text) override { host_.ShowMessage(text); }

  // State.
  bool IsModified() const { return modified_; }
  bool IsBusy() const { return busy_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& n);
  // The text the title shows after the name and the zoom (the active layer's name).
  const std::string& TitleText() const { return titleText_; }
  const std::filesystem::path& Path() const { return path_; }
  bool CompositionStale() const { return stale_; }
  void SetCompositionStale(bool s) {
    stale_ = s;
    if (s) uncommittedKnown_ = false;
  }
  // Changed canvas rectangles since the views last composed, beside the whole-picture
  // flag (which stays the safe default for any change without a rectangle). `slot`
  // is the layer that changed (−1: any). A tool that reports its rectangle must
  // report every pixel it changed.
  struct DirtyRect {
    CanvasRect rect;
    int slot = -1;
  };
  void MarkDirty(const CanvasRect& r, int slot);
  const std::vector<DirtyRect>& DirtyRects() const { return dirty_; }
  void ClearDirty() { dirty_.clear(); }
  // How many rectangles were ever marked (a step that marked none changed the
  // picture in a way only the whole flag describes).
  uint64_t DirtyMarks() const { return dirtyMarks_; }
  // The view's reduced copies of the layers, shared by every view of the document.
  ViewMips& Mips() { return *mips_; }
  bool SelectionMove() const { return selectionMove_; }
  void SetSelectionMove(bool m) { selectionMove_ = m; }
  bool ShowTransparency() const { return showTransparency_; }
  double LoadSeconds() const { return loadSeconds_; }
  // Bits per pixel of the picture as its file stored it, before editing depth.
  int OpenedBitsPerPixel() const { return openedBpp_; }
  FrameState& Frame() { return frame_; }
  DocHost& Host() { return host_; }
  // The guide points placed so far (tools/guide_path.h edits them).
  GuidePath guidePath;
  // The measurement module's per-document state (objects, working copy); opaque
  // here because that module sits above this one.
  std::shared_ptr<void> measureData;

 private:
  // After a property of the layer in `slot` changed: commit, modified, redraw.
  bool PropertyChanged(int slot, bool commit);
  bool WriteComposedInto(int slot, const std::vector<uint8_t>& composed);
  bool RebuildViewImage();
  bool IsOwnComposition(int slot) const;
  bool SaveFlattened(const std::filesystem::path& path, int code,
                     const std::function<bool(const std::string&)>& fail);
  bool ConvertTo24();
  std::vector<uint8_t> BuildClipboardDib(bool* ok);
  void RefreshTitle(const std::string& text);

  FrameState& frame_;
  DocHost& host_;
  FormatDispatch* formats_;
  LayerStack layers_;
  std::unique_ptr<CImageBuffer> view_;
  std::unique_ptr<CHistory> history_;
  std::string name_;
  std::string titleText_;
  std::filesystem::path path_;
  int serial_ = 0;
  bool modified_ = false;
  bool busy_ = false;
  bool stale_ = true;
  std::vector<DirtyRect> dirty_;
  uint64_t dirtyMarks_ = 0;
  // What changed since the active layer's last commit, when every change came with
  // a rectangle: a revert then changes exactly that much.
  CanvasRect uncommitted_;
  int uncommittedSlot_ = -1;
  bool uncommittedKnown_ = false;
  std::unique_ptr<ViewMips> mips_ = std::make_unique<ViewMips>();
  bool selectionMove_ = false;
  bool showTransparency_ = false;
  bool historyEnabled_ = true;
  // The view image's pixels are exactly the bottom layer's (nothing changed since
  // the layers were built from it or it was rebuilt), so a rebuild can be skipped.
  bool viewIsBottom_ = false;
  double loadSeconds_ = 0;
  int openedBpp_ = 24;
};

}  // namespace velmira
