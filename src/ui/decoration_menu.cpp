#include "ui/decoration_menu.h"
#include "app/language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/qt_text_rasterizer.h"
#include "decorations/calendar.h"
#include "tools/text_layer.h"
#include "tools/tool_ids.h"
#include "tools/tool_router.h"
#include "ui/command_fronts.h"
#include "ui/dlg_text.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"
#include "ui/qt_colour.h"

namespace velmira {

namespace {

DecorationDialogRunner& Runner() {
  static DecorationDialogRunner runner;
  return runner;
}

int RunDialog(QDialog& d) { return Runner() ? Runner()(d) : d.exec(); }

QPointer<CMainFrame>& TextFrame() {
  static QPointer<CMainFrame> frame;
  return frame;
}

ColourAsker AskerOf(CMainFrame* frame) {
  QPointer<CMainFrame> f(frame);
  return [f](const QColor& initial) -> std::optional<QColor> {
    if (!f) return std::nullopt;
    return f->AskColour(initial, Tr("색상"));
  };
}

TextParams Remembered(const FrameState& s) {
  TextParams p;
  p.face = s.textFont1;
  p.size = std::clamp(s.textFontSize, 4, 1000);
  p.style = s.textStyle;
  p.lineSpacing = s.textLineSpacing;
  p.charWidth = s.textCharWidth;
  p.align = s.textAlign;
  p.underline = s.textUnderline;
  p.strikeOut = s.textStrikeOut;
  p.colour = s.textColour;
  return p;
}

void Remember(FrameState& s, const TextParams& p) {
  s.textFont1 = p.face;
  s.textFontSize = p.size;
  s.textStyle = p.style;
  s.textLineSpacing = p.lineSpacing;
  s.textCharWidth = p.charWidth;
  s.textAlign = p.align;
  s.textUnderline = p.underline;
  s.textStrikeOut = p.strikeOut;
  s.textColour = p.colour;
}

// Whether a layer pixel lies on the text of a text layer (inside the box its lines
// take), so that a click there edits the text instead of adding another.
bool OnText(const Layer& l, TextRasterizer& r, int lx, int ly) {
  if (l.kind != kLayerText) return false;
  TextLayout lay;
  if (!LayoutText(r, TextParamsOf(l), lay)) return false;
  return lx >= l.text.x && lx < l.text.x + std::max(lay.width, 1) && ly <= l.text.y && ly > l.text.y - lay.height;
}

class TextTool : public Tool {
 public:
  bool Press(ToolContext& c, Point, Point to) override {
    CMirvDoc& doc = c.doc;
    const Layer* l = doc.Layers().Active();
    if (!l || doc.IsBusy() || c.Zoom() <= 0) return false;
    TextRasterizer& r = QtTextRasterizer::Instance();
    const Point pic = c.Picture(to);
    const int px = pic.x, py = pic.y;
    const int lx = px - l->x, ly = l->y + doc.Layers().header.canvasHeight - 1 - py;
    const bool edit = OnText(*l, r, lx, ly);
    TextParams initial = edit ? TextParamsOf(*l) : Remembered(c.frame);
    if (!edit) initial.text.clear();
    CDlg_TextInput dlg(initial, doc.Layers().header.canvasWidth, doc.Layers().header.canvasHeight,
                       AskerOf(TextFrame()), QApplication::activeWindow());
    if (RunDialog(dlg) != QDialog::Accepted) return false;
    const TextParams p = dlg.Values();
    if (CountTextLines(p.text) == 0) return false;  // an empty text changes nothing
    Remember(c.frame, p);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = edit ? EditText(doc, r, p) : PlaceTextAtPicturePoint(doc, r, p, px, py);
    QApplication::restoreOverrideCursor();
    if (done && TextFrame()) TextFrame()->UpdateCommandUI();
    return done;
  }
};

bool RunCalendar(CMainFrame& frame) {
  CMirvDoc* doc = frame.ActiveDocument();
  if (!doc) return false;
  const QDate today = QDate::currentDate();
  FrameState& s = frame.Frame();
  CDlg_Calendar dlg(today.year(), today.month(), s.textFont2, s.calendarColour, AskerOf(&frame), &frame);
  if (RunDialog(dlg) != QDialog::Accepted) return false;
  const CalendarRequest req = dlg.Request();
  s.textFont2 = req.face;
  s.calendarColour = req.colour;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool done = InsertCalendar(*doc, QtTextRasterizer::Instance(), req);
  QApplication::restoreOverrideCursor();
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
  return done;
}

}  // namespace

void SetDecorationDialogRunner(DecorationDialogRunner runner) { Runner() = std::move(runner); }

void RegisterTextTool(CMainFrame& frame) {
  TextFrame() = &frame;
  static const bool once = [] {
    RegisterTool(tool::kText, {.cursorRule = tool::CursorRule::Fixed, .cursor = CursorShape::Text},
                 [] { return std::make_unique<TextTool>(); });
    return true;
  }();
  (void)once;
}

void RegisterDecorationFronts(CommandFronts& f) {
  f.Add(cmd::kCalendar, CommandFront{{}, [](CMainFrame& frame) { return RunCalendar(frame); }});
  f.Add(cmd::kPhotoFrame, CommandFront{{}, [](CMainFrame& frame) {
          CMirvView* view = frame.ActiveView();
          if (!view) return false;
          CDlg_PhotoFrame& panel = PhotoFramePanel(frame);
          if (panel.InMode()) return true;
          return panel.Begin(*view);
        }});
}

void EndDecorationModes(CMainFrame& frame, int nextCommand) {
  if (nextCommand == cmd::kPhotoFrame) return;
  if (auto* panel = frame.findChild<CDlg_PhotoFrame*>(QString(), Qt::FindDirectChildrenOnly))
    if (panel->InMode()) panel->End();
}

CDlg_PhotoFrame& PhotoFramePanel(CMainFrame& frame) {
  if (auto* panel = frame.findChild<CDlg_PhotoFrame*>(QString(), Qt::FindDirectChildrenOnly)) return *panel;
  return *new CDlg_PhotoFrame(frame, &frame);
}

// ---------------------------------------------------------------- frame panel

namespace {

void PaintSwatch(QPushButton* b, Rgbq c) {
  QPixmap p(24, 14);
  p.fill(ToQColor(c));
  b->setIcon(QIcon(p));
  b->setIconSize(p.size());
}

}  // namespace

CDlg_PhotoFrame::CDlg_PhotoFrame(CMainFrame& frame, QWidget* parent)
    : QWidget(parent, Qt::Tool), frame_(frame) {
  setObjectName(QStringLiteral("CDlg_PhotoFrame"));
  setWindowTitle(Tr("사진틀 넣기"));
  setFixedSize(225, 80);
  auto* styles = new QHBoxLayout;
  styles->setSpacing(2);
  for (int s = 0; s < 4; ++s) {
    styles_[s] = new QPushButton(QString::number(s));
    styles_[s]->setFixedWidth(30);
    styles_[s]->setCheckable(true);
    styles->addWidget(styles_[s]);
    connect(styles_[s], &QPushButton::clicked, this, [this, s] {
      params_.style = s;
      for (int k = 0; k < 4; ++k) styles_[k]->setChecked(k == s);
      Redraw();
    });
  }
  styles->addStretch();
  thickness_ = new QSpinBox;
  thickness_->setRange(1, 100000);
  // A typed value counts once it is confirmed or stepped from, so that typing 2 and
  // pressing the spin button lands on the minimum rather than stepping from it.
  thickness_->setKeyboardTracking(false);
  thickness_->setValue(kFrameStartThickness);
  connect(thickness_, &QSpinBox::valueChanged, this, [this](int v) {
    if (v < kFrameMinThickness) {
      QSignalBlocker block(thickness_);
      thickness_->setValue(kFrameMinThickness);
      v = kFrameMinThickness;
    }
    if (v == params_.thickness) return;
    params_.thickness = v;
    Redraw();
  });
  first_ = new QPushButton;
  second_ = new QPushButton;
  connect(first_, &QPushButton::clicked, this, [this] { PickColour(true); });
  connect(second_, &QPushButton::clicked, this, [this] { PickColour(false); });
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(Tr("틀의 두께")));
  row->addWidget(thickness_);
  row->addWidget(first_);
  row->addWidget(second_);
  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(4, 4, 4, 4);
  main->addLayout(styles);
  main->addLayout(row);
  hide();
}

CDlg_PhotoFrame::~CDlg_PhotoFrame() = default;

bool CDlg_PhotoFrame::InMode() const { return session_ && session_->Active() && view_; }

bool CDlg_PhotoFrame::Begin(CMirvView& view) {
  session_ = std::make_unique<PhotoFrameSession>(view.Document());
  if (!session_->Begin()) {
    session_.reset();
    return false;
  }
  view_ = &view;
  frame_.Frame().currentTool = cmd::kPhotoFrame;
  params_ = FrameParams{};
  params_.first = frame_.Frame().foreground;
  params_.second = frame_.Frame().background;
  {
    QSignalBlocker block(thickness_);
    thickness_->setValue(params_.thickness);
  }
  for (int k = 0; k < 4; ++k) styles_[k]->setChecked(k == params_.style);
  PaintSwatch(first_, params_.first);
  PaintSwatch(second_, params_.second);
  // Below the view, at its left edge.
  const QPoint at = view.mapToGlobal(QPoint(0, view.height()));
  move(at);
  show();
  Redraw();
  return true;
}

void CDlg_PhotoFrame::End() {
  if (session_ && view_) session_->End();
  session_.reset();
  if (frame_.Frame().currentTool == cmd::kPhotoFrame) frame_.Frame().currentTool = tool::kNone;
  if (view_) view_->viewport()->update();
  view_ = nullptr;
  hide();
  frame_.UpdateCommandUI();
}

void CDlg_PhotoFrame::closeEvent(QCloseEvent* e) {
  End();
  e->accept();
}

void CDlg_PhotoFrame::Redraw() {
  if (!InMode()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  session_->Apply(params_);
  QApplication::restoreOverrideCursor();
  view_->viewport()->update();
}

void CDlg_PhotoFrame::PickColour(bool first) {
  Rgbq& c = first ? params_.first : params_.second;
  const std::optional<QColor> chosen = frame_.AskColour(ToQColor(c), Tr("색상"));
  if (!chosen || !chosen->isValid()) return;
  c = ToRgbq(*chosen);
  PaintSwatch(first ? first_ : second_, c);
  Redraw();
}

}  // namespace velmira
