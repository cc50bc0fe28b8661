#include "ui/tool_menu.h"
#include "app/language.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "tools/selection.h"
#include "ui/command_fronts.h"
#include "tools/selection_tools.h"
#include "tools/tool_router.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"
#include "ui/qt_colour.h"
#include "ui/tool_options.h"

namespace velmira {

namespace {

QString U(const char* s) { return Tr(s); }

template <class D>
D* DialogOf(CMainFrame& frame) {
  return frame.findChild<D*>(QString(), Qt::FindDirectChildrenOnly);
}

void ColourSwatch(QPushButton* b, Rgbq c) {
  b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(ToQColor(c).name()));
}

}  // namespace

// ---------------------------------------------------------------- choosing tools

bool MayChooseTool(CMainFrame& frame, int id) {
  CMirvDoc* doc = frame.ActiveDocument();
  // A selection over a text layer would select glyph boxes nobody can paint into.
  if (tool::IsSelectionTool(id) && doc && doc->RefuseText(TextRule::Active)) return false;
  return true;
}

void SetUpChosenTool(CMainFrame& frame, int id) {
  const tool::ToolTraits& traits = tool::TraitsOf(id);
  ToolOptionBar* bar = frame.ToolOptions();
  auto setUp = [&](const tool::OptionSlider& s, auto&& apply) {
    switch (s.use) {
      case tool::OptionSlider::Keep: break;
      case tool::OptionSlider::Hide: apply(false, QString(), 0, 0, 0); break;
      case tool::OptionSlider::Value: apply(true, U(s.label), s.value, s.min, s.max); break;
      case tool::OptionSlider::BorderSpread:
        apply(true, ToolOptionBar::BorderSpreadLabel(), frame.Frame().borderSpread, s.min, s.max);
        break;
    }
  };
  setUp(traits.slider1, [&](bool on, const QString& l, int v, int lo, int hi) { bar->SetupSlider1(on, l, v, lo, hi); });
  setUp(traits.slider2, [&](bool on, const QString& l, int v, int lo, int hi) { bar->SetupSlider2(on, l, v, lo, hi); });
  if (traits.status) frame.SetStatusText(U(traits.status));
  // The gradient's kind and colours are set in its own window, shown with the tool.
  if (id == tool::kGradient) {
    GradientDialog* d = DialogOf<GradientDialog>(frame);
    if (!d) d = new GradientDialog(frame);
    d->SyncFromFrame();
    d->show();
    d->raise();
  }
  // A new selection tool starts from no selection; a drawing tool from no stroke.
  if (CMirvView* view = frame.ActiveView()) view->Router().ToolChosen(view, id);
}

// ---------------------------------------------------------------- commands

namespace {

bool RunSelectionCommand(CMainFrame& frame, int id) {
  CMirvDoc* doc = frame.ActiveDocument();
  CMirvView* view = frame.ActiveView();
  if (!doc || !view) return false;
  ToolRouter& router = view->Router();
  if (id == selcmd::kInvertSelection) {
    const bool done = router.OnCommand(id, view);
    view->viewport()->update();
    return done;
  }
  // The colour range: its own tool state with a dialog that stays open.
  if (doc->RefuseText(TextRule::Active) || !frame.ConsentToolChange(tool::kColourRange)) return false;
  RegisterSelectionTools();
  doc->RevertLayer(doc->Layers().active, false);
  // The layer as it stands is what the dialog's clear and cancel come back to, as
  // after each pick.
  if (doc->HistoryEnabled()) doc->History().SaveBackup(1, doc->Layers().active);
  router.ClearSelection(view);
  frame.Frame().currentTool = tool::kColourRange;
  ColourRangeDialog* d = DialogOf<ColourRangeDialog>(frame);
  if (!d) d = new ColourRangeDialog(frame);
  // Every opening starts a new search at tolerance 10; no earlier pick is re-run.
  frame.Frame().rangeCount = -1;
  d->ToleranceSlider()->setValue(10);
  d->ValueText()->setText(QStringLiteral("10"));
  frame.Frame().rangeTolerance = 10;
  d->Refresh();
  d->show();
  d->raise();
  view->viewport()->update();
  return true;
}

}  // namespace

void RegisterToolFronts(CommandFronts& f) {
  f.Add(selcmd::kColourRange, CommandFront{{}, [](CMainFrame& frame) {
          return RunSelectionCommand(frame, selcmd::kColourRange);
        }});
  f.Add(selcmd::kInvertSelection,
        CommandFront{[](const CMainFrame& frame) {
                       return frame.ActiveView()->Router().IsCommandEnabled(selcmd::kInvertSelection);
                     },
                     [](CMainFrame& frame) { return RunSelectionCommand(frame, selcmd::kInvertSelection); }});
}

void AfterToolStep(CMainFrame& frame) {
  if (ColourRangeDialog* d = DialogOf<ColourRangeDialog>(frame); d && d->isVisible()) d->Refresh();
}

// ---------------------------------------------------------------- gradient dialog

GradientDialog::GradientDialog(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_GradientBucket"));
  setWindowTitle(Tr("그라디언트"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(Tr("방향"), this), 0, 0);
  oneWay_ = new QPushButton(Tr("한쪽으로"), this);
  twoWay_ = new QPushButton(Tr("양쪽으로"), this);
  grid->addWidget(oneWay_, 0, 1);
  grid->addWidget(twoWay_, 0, 2);
  grid->addWidget(new QLabel(Tr("색상"), this), 1, 0);
  fade_ = new QPushButton(Tr("전경색→검정"), this);
  blend_ = new QPushButton(Tr("배경색→전경색"), this);
  grid->addWidget(fade_, 1, 1);
  grid->addWidget(blend_, 1, 2);
  close_ = new QPushButton(Tr("닫기"), this);
  grid->addWidget(close_, 2, 2);

  // Each pair behaves as radio buttons.
  for (auto [a, b] : {std::pair{oneWay_, twoWay_}, std::pair{fade_, blend_}}) {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QPushButton* p : {a, b}) {
      p->setCheckable(true);
      group->addButton(p);
    }
  }
  connect(oneWay_, &QPushButton::clicked, this, [this] { frame_.Frame().gradientKind = 1; });
  connect(twoWay_, &QPushButton::clicked, this, [this] { frame_.Frame().gradientKind = 2; });
  connect(fade_, &QPushButton::clicked, this, [this] { frame_.Frame().gradientColourMode = 1; });
  connect(blend_, &QPushButton::clicked, this, [this] { frame_.Frame().gradientColourMode = 2; });
  connect(close_, &QPushButton::clicked, this, [this] {
    if (frame_.Frame().currentTool == tool::kGradient) frame_.Frame().currentTool = tool::kNone;
    hide();
    frame_.UpdateCommandUI();
  });
}

void GradientDialog::SyncFromFrame() {
  const FrameState& f = frame_.Frame();
  (f.gradientKind == 2 ? twoWay_ : oneWay_)->setChecked(true);
  (f.gradientColourMode == 1 ? fade_ : blend_)->setChecked(true);
}

// ---------------------------------------------------------------- colour range dialog

ColourRangeDialog::ColourRangeDialog(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_Find_SimPixelArea"));
  setWindowTitle(Tr(" 색상범위 영역지정"));
  setModal(false);
  auto* top = new QVBoxLayout(this);

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(Tr("0     허용정도   255"), this));
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, 255);
  slider_->setPageStep(5);
  slider_->setSingleStep(4);
  slider_->setTickInterval(10);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setValue(10);
  row->addWidget(slider_);
  value_ = new QLabel(QStringLiteral("10"), this);
  value_->setMinimumWidth(28);
  row->addWidget(value_);
  top->addLayout(row);

  auto* info = new QGridLayout;
  info->addWidget(new QLabel(Tr("픽셀수"), this), 0, 0);
  count_ = new QLabel(this);
  info->addWidget(count_, 0, 1, 1, 3);
  info->addWidget(new QLabel(Tr("표시색상"), this), 1, 0);
  auto* shown = new QLabel(this);
  shown->setFixedSize(24, 16);
  shown->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;")
                           .arg(ToQColor(frame.Frame().displayColours[0]).name()));
  info->addWidget(shown, 1, 1);
  info->addWidget(new QLabel(Tr("선택색상"), this), 1, 2);
  swatch_ = new QPushButton(this);
  swatch_->setFixedSize(24, 16);
  info->addWidget(swatch_, 1, 3);
  top->addLayout(info);

  auto* modes = new QHBoxLayout;
  modes->addWidget(new QLabel(Tr("효과"), this));
  newMode_ = new QPushButton(Tr("색상추출"), this);
  addMode_ = new QPushButton(Tr("색상추출더하기"), this);
  for (QPushButton* b : {newMode_, addMode_}) {
    b->setCheckable(true);
    b->setAutoExclusive(true);
    modes->addWidget(b);
  }
  top->addLayout(modes);

  auto* buttons = new QHBoxLayout;
  clear_ = new QPushButton(Tr("선택해제"), this);
  cancel_ = new QPushButton(Tr("취소"), this);
  buttons->addStretch();
  buttons->addWidget(clear_);
  buttons->addWidget(cancel_);
  top->addLayout(buttons);

  connect(slider_, &QSlider::valueChanged, this, &ColourRangeDialog::OnTolerance);
  connect(newMode_, &QPushButton::clicked, this, [this] { ChooseMode(false); });
  connect(addMode_, &QPushButton::clicked, this, [this] { ChooseMode(true); });
  connect(swatch_, &QPushButton::clicked, this, &ColourRangeDialog::PickReference);
  connect(clear_, &QPushButton::clicked, this, [this] {
    CMirvDoc* doc = frame_.ActiveDocument();
    if (!doc || !doc->Layers().Active()) return;
    doc->RevertLayer(doc->Layers().active, false);
    frame_.OnCommand(tool::kClearSelection);
    // Nothing is selected afterwards, not everything: the next pick (even in add
    // mode) starts from an empty mask. Leaving the dialog or choosing another tool
    // puts the whole-layer mask back (CMainFrame::ChooseTool, the cancel below).
    LayerStack& L = doc->Layers();
    L.ResetSelection(L.active);
    std::fill(L.mask.begin(), L.mask.end(), uint8_t(0));
    L.selectionExists = false;
    frame_.Frame().rangeCount = -1;
    Refresh();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (CMirvDoc* doc = frame_.ActiveDocument(); doc && doc->Layers().Active()) {
      doc->RevertLayer(doc->Layers().active, false);
      // No selection left behind: later commands work on the whole layer.
      LayerStack& L = doc->Layers();
      if (!L.selectionExists) L.ResetSelection(L.active);
    }
    hide();
  });
  (frame.Frame().rangeAdd ? addMode_ : newMode_)->setChecked(true);
}

void ColourRangeDialog::Refresh() {
  const FrameState& f = frame_.Frame();
  ColourSwatch(swatch_, f.rangeColour);
  if (f.rangeCount < 0)
    count_->clear();
  else
    count_->setText(QString::asprintf(qUtf8Printable(Tr("픽셀수 %d   (%.2f)%s           ")), f.rangeCount, f.rangePercent, "%"));
  (f.rangeAdd ? addMode_ : newMode_)->setChecked(true);
}

void ColourRangeDialog::OnTolerance(int value) {
  value_->setText(QString::number(value));
  frame_.Frame().rangeTolerance = value;
  Rerun();
}

// The same reference colour again with the dialog's tolerance, once a colour has been
// picked in the picture.
void ColourRangeDialog::Rerun() {
  CMirvView* view = frame_.ActiveView();
  CMirvDoc* doc = frame_.ActiveDocument();
  if (!view || !doc || frame_.Frame().rangeCount < 0 || !doc->Layers().Active()) return;
  ReapplyColourRange(*doc, view->Router(), *view);
  view->viewport()->update();
  Refresh();
}

void ColourRangeDialog::ChooseMode(bool add) {
  frame_.Frame().rangeAdd = add;
  if (frame_.ConsentToolChange(tool::kColourRange)) frame_.Frame().currentTool = tool::kColourRange;
}

void ColourRangeDialog::PickReference() {
  FrameState& f = frame_.Frame();
  const std::optional<QColor> c = frame_.AskColour(ToQColor(f.rangeColour), windowTitle());
  if (!c || !c->isValid()) return;
  f.rangeColour = MakeRgbq(c->red(), c->green(), c->blue());
  if (f.rangeCount >= 0) Rerun();
  Refresh();
}

}  // namespace velmira
