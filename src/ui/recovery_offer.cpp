#include "ui/recovery_offer.h"
#include "app/language.h"

#include <QPushButton>

#include "image/doc.h"
#include "ui/main_frame.h"
#include "ui/qt_doc_host.h"

namespace velmira {

const char* const kMsgRecoveryFailed = QT_TR_NOOP("비정상 종료된 작업을 복구할 수 없어 건너뜁니다.");

CDlg_Recover::CDlg_Recover(const RecoveryManifest& m, QWidget* parent) : QMessageBox(parent) {
  setObjectName(QStringLiteral("recoverPrompt"));
  setIcon(QMessageBox::Question);
  setWindowTitle(Tr(kCaption));
  const QString name = m.name.empty() ? Tr("제목없음") : QString::fromStdString(m.name);
  QString text = Tr("프로그램이 비정상 종료되어 저장하지 않은 작업이 남아 있습니다.\n\n%1").arg(name);
  if (!m.path.empty()) text += QStringLiteral("\n%1").arg(QString::fromStdString(m.path));
  text += Tr("\n작업내역 %1단계 (%2), 레이어 %3개\n\n마지막으로 기록된 상태로 복구하시겠습니까?")
              .arg(m.step)
              .arg(QString::fromStdString(m.label))
              .arg(m.layers.size());
  setText(text);
  QPushButton* recover = addButton(Tr(kRecover), QMessageBox::AcceptRole);
  recover->setObjectName(QStringLiteral("recover"));
  discard_ = addButton(Tr(kDiscard), QMessageBox::DestructiveRole);
  discard_->setObjectName(QStringLiteral("discard"));
  setDefaultButton(recover);
  setEscapeButton(recover);
}

int OfferRecovery(CMainFrame& frame, std::vector<std::unique_ptr<ClaimedFolder>>& claimed) {
  int offered = 0;
  for (auto& folder : claimed) {
    std::vector<std::string> problems;
    const std::vector<RecoverableDocument> docs = FindRecoverableDocuments(folder->Path(), &problems);
    for (const std::string& p : problems) frame.Host().ShowFailure(kMsgRecoveryFailed, folder->Path(), p);
    for (const RecoverableDocument& d : docs) {
      ++offered;
      CDlg_Recover ask(d.info, &frame);
      ask.exec();
      if (ask.Recover()) {
        auto layers = std::make_unique<LayerStack>();
        std::string why;
        if (!ReadRecoveredLayers(folder->Path(), d.info, *layers, &why)) {
          frame.Host().ShowFailure(kMsgRecoveryFailed, d.manifest, why);
        } else {
          frame.NewDocumentWith([&](CMirvDoc& doc) {
            return doc.OpenRecovered(std::move(*layers), d.info.name, d.info.path, d.info.viewFormat);
          });
        }
      }
      DiscardRecoverableDocument(d.manifest);
    }
    // Whatever was not recovered now is not offered again.
    folder->Remove();
  }
  claimed.clear();
  return offered;
}

}  // namespace velmira
