#include "ui/quick_edit.h"
#include "app/language.h"

#include <QAction>
#include <QGridLayout>
#include <QHideEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <algorithm>
#include <vector>

#include "ui/main_frame.h"

namespace velmira {

namespace {

constexpr const char* kCaption = QT_TR_NOOP("포토 간편 편집 창");
constexpr const char* kIdProperty = "velmiraCommand";

}  // namespace

const std::vector<int>& QuickEditWindow::Commands() {
  static const std::vector<int> ids = [] {
    std::vector<int> v;
    for (const MenuEntry& tab : SurfaceEntries("quick"))
      for (const MenuEntry& b : tab.items) v.push_back(b.id);
    return v;
  }();
  return ids;
}

QuickEditWindow::QuickEditWindow(CMainFrame& frame) : QWidget(&frame, Qt::Tool), frame_(frame) {
  setObjectName(QStringLiteral("QuickEditWindow"));
  setWindowTitle(Tr(kCaption));
  setProperty("resource", kResource);
  auto* layout = new QGridLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_, 0, 0);
  for (const MenuEntry& t : SurfaceEntries("quick")) {
    auto* page = new QWidget(tabs_);
    auto* grid = new QGridLayout(page);
    int n = 0;
    for (const MenuEntry& qb : t.items) {
      auto* b = new QPushButton(Tr(qb.label), page);
      b->setProperty(kIdProperty, qb.id);
      const int id = qb.id;
      // A tool's button shows pressed while its tool is the current one, as the
      // command bar's does; a refused change leaves it as it was.
      QAction* bar = frame_.BarAction(id);
      if (bar && bar->isCheckable()) {
        b->setCheckable(true);
        b->setChecked(bar->isChecked());
        connect(bar, &QAction::toggled, b, &QPushButton::setChecked);
      }
      connect(b, &QPushButton::clicked, this, [this, id, b, bar] {
        frame_.OnCommand(id);
        if (b->isCheckable()) b->setChecked(bar->isChecked());
        UpdateButtons();
      });
      // The frame's item for the command carries its enabled state.
      if (QAction* a = frame_.MenuAction(id)) connect(a, &QAction::changed, b, [b, a] { b->setEnabled(a->isEnabled()); });
      grid->addWidget(b, n / 2, n % 2);
      ++n;
    }
    tabs_->addTab(page, Tr(t.label));
  }
  connect(frame_.MdiArea(), &QMdiArea::subWindowActivated, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

QPushButton* QuickEditWindow::Button(int id) const {
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b->property(kIdProperty).toInt() == id) return b;
  return nullptr;
}

void QuickEditWindow::UpdateButtons() {
  for (QPushButton* b : findChildren<QPushButton*>()) b->setEnabled(frame_.IsCommandEnabled(b->property(kIdProperty).toInt()));
}

void QuickEditWindow::Toggle() {
  if (!isHidden()) {
    hide();
    return;
  }
  if (hasRemembered_) setGeometry(remembered_);
  show();
  if (!hasRemembered_) PlaceBesidePictures();
  if (hasRemembered_) setGeometry(remembered_);
  raise();
}

// The first time it opens, the window sits at the top right of the picture area,
// clear of the menus and bars.
void QuickEditWindow::PlaceBesidePictures() {
  const QWidget* area = frame_.MdiArea();
  const QPoint topLeft = area->mapToGlobal(QPoint(0, 0));
  const int margin = 12;
  move(std::max(topLeft.x(), topLeft.x() + area->width() - frameGeometry().width() - margin), topLeft.y() + margin);
}

void QuickEditWindow::hideEvent(QHideEvent* e) {
  if (!e->spontaneous()) {
    remembered_ = geometry();
    hasRemembered_ = true;
  }
  QWidget::hideEvent(e);
}

void QuickEditWindow::showEvent(QShowEvent* e) {
  UpdateButtons();
  QWidget::showEvent(e);
}

}  // namespace velmira
