#include "ui/anchor_line.h"
#include "app/language.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "image/doc.h"
#include "tools/guide_path.h"
#include "ui/command_fronts.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

constexpr int kCommands[] = {guide::kMake,        guide::kEdit,   guide::kInsert, guide::kRemove,
                             guide::kToSelection, guide::kStroke, guide::kPanel};

bool IsGuideTool(int id) {
  return id == guide::kMake || id == guide::kEdit || id == guide::kInsert || id == guide::kRemove;
}

const char* Label(int id) {
  switch (id) {
    case guide::kMake: return QT_TR_NOOP("경로 만들기");
    case guide::kEdit: return QT_TR_NOOP("안내점 수정");
    case guide::kInsert: return QT_TR_NOOP("안내점 추가");
    case guide::kRemove: return QT_TR_NOOP("안내점 제거");
    case guide::kToSelection: return QT_TR_NOOP("영역선택");
    case guide::kStroke: return QT_TR_NOOP("선긋기");
    default: return QT_TR_NOOP("닫기");
  }
}

void Refresh(CMainFrame& frame, CMirvDoc& doc) {
  doc.SetCompositionStale(true);
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
}

}  // namespace

CDlg_AnchorLine::CDlg_AnchorLine(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_AnchorLine"));
  setWindowTitle(Tr("경로설정"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  int row = 0, col = 0;
  for (int id : kCommands) {
    auto* b = new QPushButton(Tr(Label(id)), this);
    b->setObjectName(QStringLiteral("guide%1").arg(id));
    b->setCheckable(IsGuideTool(id));
    b->setAutoDefault(false);
    // Every button goes through the frame, so enabling and the tool-change consent
    // are the menus' own.
    connect(b, &QPushButton::clicked, this, [this, id] {
      frame_.OnCommand(id);
      Sync();
    });
    grid->addWidget(b, row, col);
    if (++col == 2) col = 0, ++row;
  }
  if (col) ++row;
  grid->addWidget(new QLabel(Tr("선긋기 길이(%)"), this), row, 0);
  length_ = new QSpinBox(this);
  length_->setObjectName(QStringLiteral("guideLength"));
  length_->setRange(0, 100);
  length_->setValue(100);
  grid->addWidget(length_, row, 1);
  frame_.SetGuidePathPanel(this);
}

QPushButton* CDlg_AnchorLine::Button(int id) const {
  return findChild<QPushButton*>(QStringLiteral("guide%1").arg(id));
}

int CDlg_AnchorLine::LengthPercent() const { return length_->value(); }

void CDlg_AnchorLine::Sync() {
  const int current = frame_.Frame().currentTool;
  for (int id : kCommands)
    if (QPushButton* b = Button(id); b && b->isCheckable()) b->setChecked(id == current);
}

void CDlg_AnchorLine::closeEvent(QCloseEvent* e) {
  // The window's own close button does what "닫기" does: hide, keeping the points.
  hide();
  e->accept();
}

CDlg_AnchorLine* GuidePanel(CMainFrame& frame, bool create) {
  auto* p = frame.findChild<CDlg_AnchorLine*>(QString(), Qt::FindDirectChildrenOnly);
  if (!p && create) p = new CDlg_AnchorLine(frame);
  return p;
}

bool GuideCommandEnabled(const CMainFrame& frame, int id) {
  CMirvDoc* doc = frame.ActiveDocument();
  CMirvView* view = frame.ActiveView();
  if (!doc || !view || doc->IsBusy() || !doc->Layers().Active()) return false;
  if (id == guide::kPanel) return true;
  auto* panel = frame.findChild<CDlg_AnchorLine*>(QString(), Qt::FindDirectChildrenOnly);
  if (!panel || !panel->isVisible()) return false;
  if (IsGuideTool(id)) return view->Router().ToolFor(id) != nullptr;
  return true;
}

bool RunGuideCommand(CMainFrame& frame, int id) {
  CMirvDoc* doc = frame.ActiveDocument();
  CMirvView* view = frame.ActiveView();
  if (!doc || !view) return false;
  FrameState& f = frame.Frame();
  if (id == guide::kPanel) {
    CDlg_AnchorLine* panel = GuidePanel(frame, true);
    if (panel->isVisible()) {
      panel->hide();
    } else {
      panel->show();
      panel->raise();
      panel->Sync();
    }
    return true;
  }
  CDlg_AnchorLine* panel = GuidePanel(frame, false);
  if (IsGuideTool(id)) {
    if (!frame.ConsentToolChange(id)) return false;
    // Choosing the path tool again keeps the points placed so far.
    if (!IsGuideTool(f.currentTool)) f.previousTool = f.currentTool;
    f.currentTool = id;
    if (id == guide::kMake) f.selectionKind = 5;
    if (panel) panel->Sync();
    return true;
  }
  if (id == guide::kToSelection) {
    // The checks come first so that a refused path leaves the tool as it was.
    const GuidePath& path = doc->guidePath;
    if (path.Count() < 3 || !path.closed) return GuidePathToSelection(*doc);
    if (!frame.ConsentToolChange(tool::kPolygonSelect)) return false;
    if (!GuidePathToSelection(*doc)) return false;
    DocViewState& st = view->Router().State();
    st.polygonClosed = true;
    view->Router().SelectionMade(*view);
    if (panel) panel->hide();
    Refresh(frame, *doc);
    return true;
  }
  if (id == guide::kStroke) {
    const int percent = panel ? panel->LengthPercent() : 100;
    if (!StrokeGuidePath(*doc, percent)) return false;
    view->Router().ClearSelection(view);
    if (panel) panel->hide();
    Refresh(frame, *doc);
    return true;
  }
  return false;
}

void RegisterGuideFronts(CommandFronts& f) {
  for (int id : kCommands)
    f.Add(id, CommandFront{[id](const CMainFrame& frame) { return GuideCommandEnabled(frame, id); },
                           [id](CMainFrame& frame) {
                             const bool done = RunGuideCommand(frame, id);
                             if (CDlg_AnchorLine* p = GuidePanel(frame, false)) p->Sync();
                             return done;
                           }});
}

}  // namespace velmira
