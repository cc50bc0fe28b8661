#include "image/preview_session.h"

namespace velmira {

PreviewSession::PreviewSession(CMirvDoc& doc) : doc_(doc) {}

PreviewSession::~PreviewSession() {
  if (Begun() && !committed_) Cancel();
}

bool PreviewSession::Begin() {
  if (Begun() || doc_.IsBusy() || !doc_.Layers().Active()) return false;
  if (doc_.RefuseText(TextRule::Active)) return false;
  slot_ = doc_.Layers().active;
  // Every preview starts from the layer as committed, and Cancel brings it back;
  // anything half-done on it (a floating paste) is dropped first.
  doc_.RevertLayer(slot_, false);
  const LayerStack& st = doc_.Layers();
  kept_ = Kept{st.slots[slot_], st.palette,  st.header,        st.mask,
               st.maskWidth,    st.maskHeight, st.maskX, st.maskY, st.selectionExists};
  previewed_ = false;
  committed_ = false;
  return true;
}

void PreviewSession::Restore() {
  LayerStack& st = doc_.Layers();
  st.slots[slot_] = kept_->layer;
  st.palette = kept_->palette;
  st.header = kept_->header;
  st.mask = kept_->mask;
  st.maskWidth = kept_->maskWidth;
  st.maskHeight = kept_->maskHeight;
  st.maskX = kept_->maskX;
  st.maskY = kept_->maskY;
  st.selectionExists = kept_->selectionExists;
  // The edit copy a change reads from is the kept layer again, as after a revert.
  st.BackupLayer(slot_);
  previewed_ = false;
}

void PreviewSession::Redraw() {
  doc_.SetCompositionStale(true);
  doc_.Host().UpdateViews(doc_, 0);
}

bool PreviewSession::Apply(const Change& change) {
  if (!Begun() || committed_) return false;
  // Showing the kept state twice in a row changes nothing; on a large picture it is
  // worth skipping.
  if (!change && !previewed_) return true;
  Restore();
  bool ok = true;
  if (change) {
    previewed_ = true;
    ok = change(doc_.Layers(), slot_);
    if (!ok) Restore();
  }
  Redraw();
  return ok;
}

bool PreviewSession::Commit(const std::string& label, const Change& change, bool backup) {
  return CommitWith([&](CMirvDoc& doc) {
    return doc.RunEdit(TextRule::Active, backup, label, kStepPixels,
                       [&](LayerStack& st, Layer&) { return change(st, st.active); });
  });
}

bool PreviewSession::CommitWith(const std::function<bool(CMirvDoc&)>& command) {
  if (!Begun() || committed_) return false;
  // The step is made from the kept layer, whatever the previews left behind.
  Restore();
  committed_ = command(doc_);
  // A refused or failed command may have left its own partial work behind.
  if (!committed_) Restore();
  Redraw();
  return committed_;
}

void PreviewSession::Cancel() {
  if (!Begun() || committed_) return;
  Restore();
  Redraw();
  kept_.reset();
}

}  // namespace velmira
