#include "ui/face_trans.h"
#include "app/language.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "image/doc.h"
#include "tools/tool_ids.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

constexpr const char* kLabelStretchSqueeze = QT_TR_NOOP("늘리고쭈구리기");
// The warp mode lives on the frame so that the next panel opens with it.
constexpr const char* kWarpModeProperty = "velmiraWarpMode";

FaceTransPanel*& ActivePanel() {
  static FaceTransPanel* panel = nullptr;
  return panel;
}

}  // namespace

FaceTransPanel* FaceTransPanel::Active() { return ActivePanel(); }

FaceTransPanel::FaceTransPanel(CMainFrame& frame, CMirvDoc& doc) : QDialog(&frame), frame_(frame), doc_(doc) {
  setObjectName(QStringLiteral("CDlg_FaceTrans"));
  setWindowTitle(Tr(kLabelStretchSqueeze));
  setModal(false);

  auto* top = new QVBoxLayout(this);
  // How to use it, in three short lines.
  for (const char* t : {QT_TR_NOOP("눈(코)부분"), QT_TR_NOOP("사각선택후"), QT_TR_NOOP("변환 버튼")}) top->addWidget(new QLabel(Tr(t), this));

  box_ = new QLabel(this);
  top->addWidget(box_);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Tr("조정값"), this), 0, 0);
  strength_ = new QLineEdit(QStringLiteral("1.0"), this);
  grid->addWidget(strength_, 0, 1);
  grid->addWidget(new QLabel(Tr("조정2"), this), 1, 0);
  strength2_ = new QLineEdit(QStringLiteral("1.0"), this);
  grid->addWidget(strength2_, 1, 1);
  top->addLayout(grid);

  // Two exclusive mode buttons; the third choice unchecks both.
  auto* modes = new QHBoxLayout;
  mode0_ = new QRadioButton(Tr("쭈구리기"), this);
  mode1_ = new QRadioButton(Tr("늘리기"), this);
  third_ = new QPushButton(Tr("밀기"), this);
  modes->addWidget(mode0_);
  modes->addWidget(mode1_);
  modes->addWidget(third_);
  top->addLayout(modes);
  connect(mode0_, &QRadioButton::clicked, this, [this] { SetMode(0); });
  connect(mode1_, &QRadioButton::clicked, this, [this] { SetMode(1); });
  connect(third_, &QPushButton::clicked, this, [this] { SetMode(2); });

  auto* buttons = new QHBoxLayout;
  convert_ = new QPushButton(Tr("변환"), this);
  reset_ = new QPushButton(Tr("원래대로"), this);
  close_ = new QPushButton(Tr("닫기"), this);
  buttons->addWidget(convert_);
  buttons->addWidget(reset_);
  buttons->addWidget(close_);
  top->addLayout(buttons);
  connect(convert_, &QPushButton::clicked, this, [this] { Convert(); });
  connect(reset_, &QPushButton::clicked, this, [this] { Reset(); });
  connect(close_, &QPushButton::clicked, this, [this] { CloseMode(); });

  const QVariant kept = frame_.property(kWarpModeProperty);
  SetMode(kept.isValid() ? kept.toInt() : 0);
  ShowBox();
  ActivePanel() = this;
}

FaceTransPanel::~FaceTransPanel() {
  if (ActivePanel() == this) ActivePanel() = nullptr;
}

QAbstractButton* FaceTransPanel::ThirdModeButton() const { return third_; }

void FaceTransPanel::SetMode(int mode) {
  frame_.setProperty(kWarpModeProperty, mode);
  // A radio group would refuse to uncheck both, so the buttons are set by hand.
  mode0_->setAutoExclusive(false);
  mode1_->setAutoExclusive(false);
  mode0_->setChecked(mode == 0);
  mode1_->setChecked(mode == 1);
}

int FaceTransPanel::Mode() const {
  const QVariant kept = frame_.property(kWarpModeProperty);
  return kept.isValid() ? kept.toInt() : 0;
}

void FaceTransPanel::ShowBox() { box_->setText(QStringLiteral("%1 × %2").arg(boxWidth_).arg(boxHeight_)); }

TouchSettings FaceTransPanel::Settings() const {
  TouchSettings s;
  s.boxWidth = boxWidth_;
  s.boxHeight = boxHeight_;
  // Read as typed; anything unreadable counts as 0, which leaves the warp flat.
  s.strength = strength_->text().trimmed().toFloat();
  (void)strength2_->text().trimmed().toFloat();  // shown and read, no part in the warp
  s.mode = Mode();
  return s;
}

void FaceTransPanel::Redraw() {
  doc_.SetCompositionStale(true);
  if (CMirvView* v = frame_.ActiveView()) v->viewport()->update();
  doc_.Host().UpdateViews(doc_, 0);
}

bool FaceTransPanel::Begin() {
  const Layer* a = doc_.Layers().Active();
  if (doc_.IsBusy() || !a) return false;
  slot_ = doc_.Layers().active;
  // Anything half-done on the layer is dropped before it is kept.
  doc_.RevertLayer(slot_, false);
  doc_.History().SaveBackup(0, slot_);
  doc_.History().SaveBackup(1, slot_);
  return true;
}

bool FaceTransPanel::Convert() {
  if (slot_ < 0 || closed_) return false;
  CMirvView* view = frame_.ActiveView();
  if (!view || &view->Document() != &doc_ || doc_.Layers().active != slot_) return false;
  DocViewState& st = view->Router().State();
  // The box is the rectangle selection: its two corners as the user dragged them.
  int x1, y1, x2, y2;
  if (!st.selectionActive || !ViewToLayerPixel(doc_, st.zoom, st.stroke, &x1, &y1) ||
      !ViewToLayerPixel(doc_, st.zoom, st.rectCorner, &x2, &y2))
    return false;
  boxWidth_ = std::abs(x1 - x2);
  boxHeight_ = std::abs(y1 - y2);
  ShowBox();
  view->Router().ClearSelection(view);
  if (!frame_.ConsentToolChange(tool::kTouchTransform)) return false;
  RegisterTouchTransformTool();
  // A router made before the registration has no instance yet.
  if (!view->Router().ToolFor(tool::kTouchTransform))
    view->Router().SetTool(tool::kTouchTransform, std::make_shared<TouchTransformTool>());
  frame_.Frame().currentTool = tool::kTouchTransform;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool done = TouchTransform(doc_, std::min(x1, x2) + boxWidth_ / 2, std::min(y1, y2) + boxHeight_ / 2,
                                   Settings(), false);
  QApplication::restoreOverrideCursor();
  // The warped layer becomes what each touch starts from.
  doc_.History().SaveBackup(0, slot_);
  if (done) changed_ = true;
  Redraw();
  return done;
}

void FaceTransPanel::Reset() {
  if (slot_ < 0 || closed_) return;
  frame_.Frame().currentTool = kFaceTransIdleTool;
  doc_.History().RestoreBackup(1, slot_);
  doc_.History().SaveBackup(0, slot_);
  changed_ = false;
  Redraw();
}

void FaceTransPanel::CloseMode() {
  if (closed_) return;
  closed_ = true;
  frame_.Frame().currentTool = tool::kNone;
  if (changed_ && slot_ >= 0) doc_.RecordStep(kLabelStretchSqueeze, kStepPixels, slot_);
  changed_ = false;
  if (ActivePanel() == this) ActivePanel() = nullptr;
  Redraw();
  hide();
  deleteLater();
}

void FaceTransPanel::closeEvent(QCloseEvent* e) {
  CloseMode();
  e->accept();
}

void FaceTransPanel::reject() { CloseMode(); }

// ---------------------------------------------------------------- touch tool

bool TouchTransformTool::Release(ToolContext& c, Point, Point to) {
  int x, y;
  // The warp never grows the layer: a box partly outside leaves the outside alone.
  if (!ViewToLayerPixel(c.doc, c.Zoom(), to, &x, &y)) return false;
  // Without a panel (the tool chosen some other way) the warp takes its defaults.
  const FaceTransPanel* p = FaceTransPanel::Active();
  const TouchSettings s = p && &p->Document() == &c.doc ? p->Settings() : TouchSettings{};
  c.view.SetWaitCursor(true);
  const bool done = TouchTransform(c.doc, x, y, s, false);
  c.view.SetWaitCursor(false);
  return done;
}

void RegisterTouchTransformTool() {
  static const bool once = [] {
    // The warp is one step on the release; the press drops any preview left over.
    RegisterTool(tool::kTouchTransform,
                 {.stroke = tool::StrokeModel::Handles, .onPress = {true, false}, .label = QT_TR_NOOP("터치변형"),
                  .cursorRule = tool::CursorRule::Fixed, .cursor = CursorShape::Touch},
                 [] { return std::make_unique<TouchTransformTool>(); });
    return true;
  }();
  (void)once;
}

bool FaceTransAvailable(const CMainFrame& frame) {
  CMirvView* v = frame.ActiveView();
  return v && v->Router().ToolFor(tool::kRectSelect) != nullptr;
}

bool EnterFaceTrans(CMainFrame& frame) {
  RegisterTouchTransformTool();
  CMirvDoc* doc = frame.ActiveDocument();
  if (!doc || doc->IsBusy() || !doc->Layers().Active()) return false;
  if (FaceTransPanel* p = FaceTransPanel::Active()) {
    // Already under way: only brought to the front.
    p->show();
    p->raise();
    return false;
  }
  auto* panel = new FaceTransPanel(frame, *doc);
  if (!panel->Begin()) {
    delete panel;
    return false;
  }
  panel->show();
  return true;
}

}  // namespace velmira
