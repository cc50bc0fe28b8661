// After a crash: the documents a gone editor left in its history folder are offered
// one by one at start-up. "복구" opens a document as it was at its last recorded
// step (modified, under its old name); "버림" deletes it. Closing the prompt
// recovers, so that a stray Escape loses no work.
#pragma once

#include <QMessageBox>
#include "app/language.h"
#include <QPushButton>
#include <memory>
#include <vector>

#include "app/temp_folders.h"
#include "image/recovery.h"

namespace velmira {

class CMainFrame;

class CDlg_Recover : public QMessageBox {
  Q_OBJECT

 public:
  CDlg_Recover(const RecoveryManifest& m, QWidget* parent);
  // True for "복구".
  bool Recover() const { return clickedButton() != static_cast<QAbstractButton*>(discard_); }

  static constexpr const char* kCaption = QT_TR_NOOP("작업 복구");
  static constexpr const char* kRecover = QT_TR_NOOP("복구");
  static constexpr const char* kDiscard = QT_TR_NOOP("버림");

 private:
  QPushButton* discard_ = nullptr;
};

// Offers every document of the claimed folders, then removes the folders. Returns
// how many documents were offered.
int OfferRecovery(CMainFrame& frame, std::vector<std::unique_ptr<ClaimedFolder>>& claimed);

// Shown when a document found after a crash cannot be read back.
extern const char* const kMsgRecoveryFailed;

}  // namespace velmira
