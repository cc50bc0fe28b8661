// A live preview on the active layer, for every dialog that shows its result while
// the user moves its controls. Begin keeps the layer as committed (with the palette
// and the selection); each Apply starts again from that kept state; Commit records one step
// with its label from the kept state, so the step holds exactly what the change
// makes of it; Cancel puts the kept layer and selection back byte for byte. A
// session that ends without Commit or Cancel cancels.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/doc.h"

namespace velmira {

class PreviewSession {
 public:
  using Change = std::function<bool(LayerStack&, int slot)>;

  explicit PreviewSession(CMirvDoc& doc);
  ~PreviewSession();
  PreviewSession(const PreviewSession&) = delete;
  PreviewSession& operator=(const PreviewSession&) = delete;

  // Refuses a busy document, a missing layer and a text layer (the last through the
  // document's one refusal routine, with its message); drops anything half-done on
  // the layer and keeps it. False: nothing was kept.
  bool Begin();
  // The kept state with `change` run on it; an empty change shows the kept state.
  // The views redraw. False when the change failed (the kept state is shown).
  bool Apply(const Change& change);
  // One history step labelled `label`: the change run on the kept state through the
  // document's command frame. False (the kept state back) when the change refused.
  bool Commit(const std::string& label, const Change& change, bool backup = false);
  // The same for a command that runs its own frame (it records its own step).
  bool CommitWith(const std::function<bool(CMirvDoc&)>& command);
  // Puts the kept layer and selection back.
  void Cancel();

  bool Begun() const { return kept_.has_value(); }
  bool Committed() const { return committed_; }
  int Slot() const { return slot_; }

 private:
  // The layer, and what a change of it may touch besides: the picture's palette
  // (palette pictures are adjusted through it), its header and the selection.
  struct Kept {
    Layer layer;
    std::vector<uint8_t> palette;
    PictureHeader header;
    Plane mask;
    int maskWidth, maskHeight, maskX, maskY;
    bool selectionExists;
  };
  void Restore();
  void Redraw();

  CMirvDoc& doc_;
  std::optional<Kept> kept_;
  int slot_ = -1;
  bool previewed_ = false;
  bool committed_ = false;
};

}  // namespace velmira
