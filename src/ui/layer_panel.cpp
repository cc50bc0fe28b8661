#include "ui/layer_panel.h"
#include "app/language.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "image/doc.h"
#include "commands/registry.h"
#include "ui/command_fronts.h"
#include "ui/main_frame.h"
#include "ui/menu_table.h"

namespace velmira {

namespace {

constexpr const char* kCaption = QT_TR_NOOP("레이어.작업내역");
constexpr const char* kUndoTip = QT_TR_NOOP("(Undo) 뒤로 회복");
constexpr const char* kRedoTip = QT_TR_NOOP("(Redo) 앞으로 회복");
constexpr const char* kIdProperty = "velmiraCommand";
constexpr int kSlotRole = Qt::UserRole;
constexpr int kStepRole = Qt::UserRole + 1;
constexpr int kThumb = 32;

struct BlendLabel {
  int blend;
  const char* label;
};
// The combo's entries in their order; the normal mode is listed first.
constexpr BlendLabel kBlends[] = {
    {kBlendNormal, QT_TR_NOOP("보통")},       {kBlendMultiply, QT_TR_NOOP("곱셈혼합")},   {kBlendScreen, QT_TR_NOOP("화면혼합")},
    {kBlendDarken, QT_TR_NOOP("어두운혼합")}, {kBlendLighten, QT_TR_NOOP("밝은혼합")},    {kBlendDifference, QT_TR_NOOP("차이혼합")},
    {kBlendInverseDifference, QT_TR_NOOP("역차이혼합")}, {kBlendExclusion, QT_TR_NOOP("제외혼합")}, {kBlendOverlay, QT_TR_NOOP("오버레이혼합")},
};


// A small picture of a layer over white: nearest pixels, its coverage as alpha.
QPixmap Thumbnail(const LayerStack& stack, const Layer& l) {
  QImage img(kThumb, kThumb, QImage::Format_RGB32);
  img.fill(Qt::white);
  const int bpp = stack.LayerBpp(l);
  if (l.width <= 0 || l.height <= 0 || l.stride <= 0 || l.pixels.empty()) return QPixmap::fromImage(img);
  const double scale = std::max(l.width, l.height) / double(kThumb);
  for (int ty = 0; ty < kThumb; ++ty) {
    const int y = int(ty * scale);
    if (y >= l.height) break;
    const uint8_t* row = l.pixels.data() + size_t(l.height - 1 - y) * size_t(l.stride);
    if (size_t(row - l.pixels.data()) + size_t(l.stride) > l.pixels.size()) continue;
    auto* out = reinterpret_cast<QRgb*>(img.scanLine(ty));
    for (int tx = 0; tx < kThumb; ++tx) {
      const int x = int(tx * scale);
      if (x >= l.width) break;
      int r = 0, g = 0, b = 0;
      if (bpp >= 24) {
        const uint8_t* p = row + x * (bpp / 8);
        b = p[0], g = p[1], r = p[2];
      } else if (bpp == 8) {
        const int index = row[x];
        if (l.kind == kLayerText || stack.palette.size() < size_t(index + 1) * 4) {
          r = g = b = 255 - index;
        } else {
          const uint8_t* q = stack.palette.data() + index * 4;
          b = q[0], g = q[1], r = q[2];
        }
      } else {
        const int index = stack.LayerIndex(l, x, y);
        const Rgbq c = stack.PictureColour(index);
        r = RgbqR(c), g = RgbqG(c), b = RgbqB(c);
      }
      int a = 255;
      const size_t ai = size_t(y) * size_t(l.width) + size_t(x);
      if (!l.alpha.empty() && ai < l.alpha.size()) a = l.alpha[ai];
      out[tx] = qRgb(255 + (r - 255) * a / 255, 255 + (g - 255) * a / 255, 255 + (b - 255) * a / 255);
    }
  }
  return QPixmap::fromImage(img);
}

}  // namespace

int BlendFromLabel(const QString& label) {
  for (const BlendLabel& b : kBlends)
    if (b.blend != kBlendNormal && label == Tr(b.label)) return b.blend;
  return kBlendNormal;
}

QString LabelOfBlend(int blend) {
  for (const BlendLabel& b : kBlends)
    if (b.blend == blend) return Tr(b.label);
  return Tr(kBlends[0].label);
}

LayerPanel::LayerPanel(CMainFrame& frame) : QDockWidget(&frame), frame_(frame) {
  setObjectName(QStringLiteral("LayerPanel"));
  setWindowTitle(Tr(kCaption));
  setProperty("resource", kResource);
  tabs_ = new QTabWidget(this);
  setWidget(tabs_);

  // Layers.
  auto* page = new QWidget(tabs_);
  auto* column = new QVBoxLayout(page);
  auto* controls = new QHBoxLayout;
  blend_ = new QComboBox(page);
  for (const BlendLabel& b : kBlends) blend_->addItem(Tr(b.label));
  slider_ = new QSlider(Qt::Horizontal, page);
  slider_->setObjectName(QString::number(kTransparencySlider));
  slider_->setRange(0, 255);
  box_ = new QSpinBox(page);
  box_->setObjectName(QString::number(kTransparencyBox));
  box_->setRange(0, 255);
  controls->addWidget(blend_);
  controls->addWidget(slider_, 1);
  controls->addWidget(box_);
  column->addLayout(controls);

  layers_ = new QListWidget(page);
  layers_->setIconSize(QSize(kThumb, kThumb));
  layers_->setContextMenuPolicy(Qt::CustomContextMenu);
  layers_->setDragDropMode(QAbstractItemView::InternalMove);
  column->addWidget(layers_, 1);

  auto* row = new QHBoxLayout;
  AddButton(page, cmd::kLayerAdd, QStringLiteral("+"), Tr("레이어추가"));
  AddButton(page, cmd::kLayerDelete, QStringLiteral("−"), Tr("레이어삭제"));
  AddButton(page, cmd::kLayerDuplicate, QStringLiteral("⧉"), Tr("복제 레이어 만들기"));
  AddButton(page, cmd::kMergeDown, QStringLiteral("⤓"), Tr("아래쪽 레이어로  합치기"));
  AddButton(page, cmd::kMergeUp, QStringLiteral("⤒"), Tr("위쪽 레이어로 합치기"));
  AddButton(page, cmd::kRenameLayer, QStringLiteral("✎"), Tr("레이어 이름 변경"));
  AddButton(page, cmd::kFlatten, QStringLiteral("▤"), Tr("떡그림만들기"));
  AddButton(page, cmd::kToRaster, QStringLiteral("R"), Tr("레스터 형식으로 변환"));
  // The vector measurement layer arrives with the measurement tools.
  AddButton(page, kMeasurementLayer, QStringLiteral("⊹"), Tr("벡터측정레이어추가"));
  up_ = new QToolButton(page);
  up_->setText(QStringLiteral("▲"));
  down_ = new QToolButton(page);
  down_->setText(QStringLiteral("▼"));
  const auto buttons = page->findChildren<QToolButton*>();
  for (QToolButton* b : buttons) row->addWidget(b);
  row->addStretch(1);
  column->addLayout(row);
  tabs_->addTab(page, Tr("레이어"));

  menu_ = new QMenu(this);
  menu_->setObjectName(QString::number(kContextMenu));
  // The right-button menu is the registry's "context/layer" surface.
  for (const MenuEntry& m : SurfaceEntries("context/layer")) {
    QAction* a = menu_->addAction(Tr(m.label));
    a->setProperty(kIdProperty, m.id);
    const int id = m.id;
    connect(a, &QAction::triggered, this, [this, id] {
      frame_.OnCommand(id);
      Refresh();
    });
  }
  connect(menu_, &QMenu::aboutToShow, this, [this] {
    for (QAction* a : menu_->actions()) a->setEnabled(frame_.IsCommandEnabled(a->property(kIdProperty).toInt()));
  });
  connect(layers_, &QListWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { menu_->popup(layers_->viewport()->mapToGlobal(p)); });

  // History.
  auto* hpage = new QWidget(tabs_);
  auto* hcolumn = new QVBoxLayout(hpage);
  history_ = new QListWidget(hpage);
  QFont mono = history_->font();
  mono.setStyleHint(QFont::Monospace);
  mono.setFamily(QStringLiteral("monospace"));
  history_->setFont(mono);
  hcolumn->addWidget(history_, 1);
  auto* hrow = new QHBoxLayout;
  undo_ = new QToolButton(hpage);
  undo_->setText(QStringLiteral("↶"));
  undo_->setToolTip(Tr(kUndoTip));
  redo_ = new QToolButton(hpage);
  redo_->setText(QStringLiteral("↷"));
  redo_->setToolTip(Tr(kRedoTip));
  hrow->addWidget(undo_);
  hrow->addWidget(redo_);
  hrow->addStretch(1);
  hcolumn->addLayout(hrow);
  tabs_->addTab(hpage, Tr("작업내역"));

  connect(undo_, &QToolButton::clicked, this, [this] {
    frame_.OnCommand(cmd::kUndo);
    Refresh();
  });
  connect(redo_, &QToolButton::clicked, this, [this] {
    frame_.OnCommand(cmd::kRedo);
    Refresh();
  });
  connect(up_, &QToolButton::clicked, this, [this] { MoveActive(true); });
  connect(down_, &QToolButton::clicked, this, [this] { MoveActive(false); });
  connect(slider_, &QSlider::valueChanged, this, [this](int v) { SetTransparency(v); });
  connect(slider_, &QSlider::sliderReleased, this, [this] { SetTransparency(slider_->value()); });
  connect(box_, &QSpinBox::valueChanged, this, [this](int v) { SetTransparency(v); });
  connect(blend_, &QComboBox::currentTextChanged, this, [this](const QString& t) { SetBlend(t); });
  connect(layers_, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { OnLayerClicked(i); });
  connect(layers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* i) { OnLayerChanged(i); });
  connect(history_, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { OnHistoryClicked(i); });
  // A row dragged to another place moves its layer there one step at a time.
  connect(layers_->model(), &QAbstractItemModel::rowsMoved, this,
          [this](const QModelIndex&, int start, int, const QModelIndex&, int row) {
            if (filling_) return;
            const int to = row > start ? row - 1 : row;
            QListWidgetItem* item = layers_->item(to);
            if (!item || to == start) return;
            const int slot = item->data(kSlotRole).toInt();
            // The list is rebuilt once the view has finished with the drop.
            QMetaObject::invokeMethod(
                this, [this, slot, up = to < start, count = std::abs(to - start)] { MoveSlot(slot, up, count); },
                Qt::QueuedConnection);
          });
  // A view gaining the focus shows its document here.
  connect(frame_.MdiArea(), &QMdiArea::subWindowActivated, this, [this] { Refresh(); });

  Refresh();
}

QToolButton* LayerPanel::AddButton(QWidget* parent, int id, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(tip);
  b->setProperty(kIdProperty, id);
  connect(b, &QToolButton::clicked, this, [this, id] {
    frame_.OnCommand(id);
    Refresh();
  });
  return b;
}

QToolButton* LayerPanel::Button(int id) const {
  for (QToolButton* b : findChildren<QToolButton*>())
    if (b->property(kIdProperty).isValid() && b->property(kIdProperty).toInt() == id) return b;
  return nullptr;
}

void LayerPanel::Toggle() {
  if (!isHidden()) {
    close();  // hideEvent remembers where it was
    return;
  }
  if (hasRemembered_) {
    setFloating(rememberedFloating_);
    if (rememberedFloating_) setGeometry(remembered_);
  }
  show();
  if (hasRemembered_ && rememberedFloating_) setGeometry(remembered_);
  raise();
  Refresh();
}

void LayerPanel::hideEvent(QHideEvent* e) {
  if (!e->spontaneous()) {
    remembered_ = geometry();
    rememberedFloating_ = isFloating();
    hasRemembered_ = true;
  }
  QDockWidget::hideEvent(e);
}

void LayerPanel::Refresh() {
  RefreshLayers();
  RefreshHistory();
}

void LayerPanel::RefreshLayers() {
  filling_ = true;
  layers_->clear();
  CMirvDoc* doc = frame_.ActiveDocument();
  const Layer* active = doc ? doc->Layers().Active() : nullptr;
  if (doc) {
    const LayerStack& stack = doc->Layers();
    std::vector<int> chain = stack.Chain();
    std::reverse(chain.begin(), chain.end());  // top first
    for (int slot : chain) {
      const Layer* l = stack.Get(slot);
      if (!l) continue;
      auto* item = new QListWidgetItem(QIcon(Thumbnail(stack, *l)), QString::fromStdU16String(l->name.Get()));
      item->setData(kSlotRole, slot);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      item->setCheckState(l->visible ? Qt::Checked : Qt::Unchecked);
      layers_->addItem(item);
      if (slot == stack.active) layers_->setCurrentItem(item);
    }
  }
  const int transparency = active ? active->transparency : 0;
  slider_->setValue(transparency);
  box_->setValue(transparency);
  blend_->setCurrentText(LabelOfBlend(active ? int(active->blend) : int(kBlendNormal)));
  slider_->setEnabled(active != nullptr);
  box_->setEnabled(active != nullptr);
  blend_->setEnabled(active != nullptr);
  filling_ = false;
  UpdateButtons();
}

void LayerPanel::RefreshHistory() {
  history_->clear();
  CMirvDoc* doc = frame_.ActiveDocument();
  if (doc) {
    const int step = doc->History().Step();
    for (const std::string& line : doc->History().ListLines()) {
      auto* item = new QListWidgetItem(QString::fromStdString(line));
      // Each line starts with its step number.
      item->setData(kStepRole, std::atoi(line.c_str()));
      history_->addItem(item);
      if (item->data(kStepRole).toInt() == step) history_->setCurrentItem(item);
    }
  }
  UpdateButtons();
}

void LayerPanel::UpdateButtons() {
  CMirvDoc* doc = frame_.ActiveDocument();
  // The panel is refreshed from inside the document's commands, while it still
  // counts as busy: ask the document itself, and the frame only for the rest.
  for (QToolButton* b : findChildren<QToolButton*>()) {
    const QVariant v = b->property(kIdProperty);
    if (!v.isValid()) continue;
    const int id = v.toInt();
    const CommandDef* def = Commands().Find(id);
    const bool own = def && def->run && !Fronts().Find(id);
    b->setEnabled(own ? CommandState{doc, true, true}.Allows(*def) : frame_.IsCommandEnabled(id));
  }
  undo_->setEnabled(doc && doc->History().CanUndo());
  redo_->setEnabled(doc && doc->History().CanRedo());
  const Layer* a = doc ? doc->Layers().Active() : nullptr;
  up_->setEnabled(a && a->above != -1);
  down_->setEnabled(a && a->below != -1);
}

void LayerPanel::Repaint(CMirvDoc& doc) {
  doc.SetCompositionStale(true);
  doc.Host().UpdateViews(doc, 0);
}

void LayerPanel::SetTransparency(int value) {
  if (filling_) return;
  CMirvDoc* doc = frame_.ActiveDocument();
  Layer* a = doc ? doc->Layers().Active() : nullptr;
  if (!a) return;
  // While the slider is dragged the value is shown but committed only on release.
  doc->SetLayerTransparency(doc->Layers().active, std::clamp(value, 0, 255), !slider_->isSliderDown());
  filling_ = true;
  slider_->setValue(a->transparency);
  box_->setValue(a->transparency);
  filling_ = false;
}

void LayerPanel::SetBlend(const QString& label) {
  if (filling_) return;
  CMirvDoc* doc = frame_.ActiveDocument();
  Layer* a = doc ? doc->Layers().Active() : nullptr;
  if (!a) return;
  doc->SetLayerBlend(doc->Layers().active, BlendFromLabel(label));
}

void LayerPanel::OnLayerClicked(QListWidgetItem* item) {
  CMirvDoc* doc = frame_.ActiveDocument();
  if (!doc || !item) return;
  const int slot = item->data(kSlotRole).toInt();
  if (slot != doc->Layers().active) doc->SetActiveLayer(slot);
  RefreshLayers();
  frame_.UpdateCommandUI();
}

void LayerPanel::OnLayerChanged(QListWidgetItem* item) {
  if (filling_ || !item) return;
  CMirvDoc* doc = frame_.ActiveDocument();
  Layer* l = doc ? doc->Layers().Get(item->data(kSlotRole).toInt()) : nullptr;
  if (!l) return;
  const int visible = item->checkState() == Qt::Checked ? 1 : 0;
  if (l->visible == visible) return;
  doc->SetLayerVisible(item->data(kSlotRole).toInt(), visible != 0);
}

void LayerPanel::OnHistoryClicked(QListWidgetItem* item) {
  if (item) GoToStep(item->data(kStepRole).toInt());
}

void LayerPanel::GoToStep(int step) {
  CMirvDoc* doc = frame_.ActiveDocument();
  if (!doc) return;
  // Each undo or redo moves one step; stop as soon as one fails to move.
  for (;;) {
    const int now = doc->History().Step();
    if (now > step && doc->History().CanUndo()) {
      if (!frame_.OnCommand(cmd::kUndo) || doc->History().Step() == now) break;
    } else if (now < step && doc->History().CanRedo()) {
      if (!frame_.OnCommand(cmd::kRedo) || doc->History().Step() == now) break;
    } else {
      break;
    }
  }
  Refresh();
}

bool LayerPanel::MoveSlot(int slot, bool up, int count) {
  CMirvDoc* doc = frame_.ActiveDocument();
  bool moved = false;
  if (doc && !doc->IsBusy() && doc->Layers().Get(slot))
    for (int i = 0; i < count && doc->MoveLayer(slot, up); ++i) moved = true;
  if (moved) Repaint(*doc);
  Refresh();
  frame_.UpdateCommandUI();
  return moved;
}

bool LayerPanel::MoveActive(bool up) {
  CMirvDoc* doc = frame_.ActiveDocument();
  if (!doc || doc->IsBusy() || !doc->Layers().Active()) return false;
  const bool moved = doc->MoveLayer(doc->Layers().active, up);
  if (moved) Repaint(*doc);
  Refresh();
  frame_.UpdateCommandUI();
  return moved;
}

}  // namespace velmira
