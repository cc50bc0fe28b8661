#include "ui/child_frame.h"

#include "ui/mirv_view.h"

namespace velmira {

CChildFrame::CChildFrame(CMirvDoc& doc, FrameState& frame, QWidget* parent)
    : QMdiSubWindow(parent), doc_(doc), view_(new CMirvView(doc, frame, this)) {
  setWidget(view_);
  setAttribute(Qt::WA_DeleteOnClose);
  RefreshTitle();
  // Open at the size of the zoomed picture, within reason (the view's size hint).
  adjustSize();
  view_->setFocus();
}

void CChildFrame::RefreshTitle() {
  const QString t = QString::fromStdString(view_ ? view_->Router().Title() : std::string());
  setWindowTitle(t.isEmpty() ? QString::fromStdString(doc_.Name()) : t);
}

}  // namespace velmira
