// CChildFrame: the MDI child window around one view of a document.
#pragma once

#include <QMdiSubWindow>

#include "image/doc.h"

namespace velmira {

class CMirvView;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(CMirvDoc& doc, FrameState& frame, QWidget* parent = nullptr);

  CMirvView* View() { return view_; }
  CMirvDoc& Document() { return doc_; }
  // Shows the document's title (name, zoom, and the caller's text) as the caption.
  void RefreshTitle();

 private:
  CMirvDoc& doc_;
  CMirvView* view_;
};

}  // namespace velmira
