// The layer and history panel and the quick-edit window: the stack as the panel
// lists it through every layer command and through undo and redo, the layer
// controls' bytes, the history lines, and panels that come back where they were.
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "image/doc.h"
#include "ui/layer_panel.h"
#include "ui/main_frame.h"
#include "ui/panels_menu.h"
#include "ui/quick_edit.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

// The panel's rows as slots, top first.
QList<int> RowSlots(const LayerPanel& p) {
  QList<int> slots_;
  for (int i = 0; i < p.LayerList()->count(); ++i) slots_ << p.LayerList()->item(i)->data(Qt::UserRole).toInt();
  return slots_;
}

// The document's stack as slots, top first.
QList<int> StackSlots(const CMirvDoc& doc) {
  QList<int> s;
  for (int slot : doc.Layers().Chain()) s.prepend(slot);
  return s;
}

QStringList RowNames(const LayerPanel& p) {
  QStringList names;
  for (int i = 0; i < p.LayerList()->count(); ++i) names << p.LayerList()->item(i)->text();
  return names;
}

QStringList StackNames(const CMirvDoc& doc) {
  QStringList names;
  for (int slot : StackSlots(doc)) names << QString::fromStdU16String(doc.Layers().Get(slot)->name.Get());
  return names;
}

QStringList HistoryRows(const LayerPanel& p) {
  QStringList rows;
  for (int i = 0; i < p.HistoryList()->count(); ++i) rows << p.HistoryList()->item(i)->text();
  return rows;
}

QStringList HistoryText(CMirvDoc& doc) {
  QStringList rows;
  for (const std::string& l : doc.History().ListLines()) rows << QString::fromStdString(l);
  return rows;
}

}  // namespace

class LayerPanelTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> MakeFrame() {
    const fs::path home = home_.path().toStdString();
    auto f = std::make_unique<CMainFrame>(home, fs::path(VELMIRA_SOURCE_DIR) / "share" / "velmira");
    f->Frame().tempFolder = home / "tmp";
    fs::create_directories(f->Frame().tempFolder);
    f->Host().SetInformer([](const QString&) {});
    f->Host().SetAsker([](const QString&, AskButtons) { return Answer::Yes; });
    return f;
  }
  // Opens the panel on a fresh 64 × 48 picture.
  LayerPanel* OpenPanel(CMainFrame& f, CMirvDoc** doc) {
    *doc = f.NewDocument(64, 48, 24, "panel");
    if (!*doc) return nullptr;
    if (FindLayerPanel(f)) return nullptr;  // made on first use only
    if (!f.OnCommand(1554)) return nullptr;
    return FindLayerPanel(f);
  }
  // The panel shows the stack exactly, and the active layer is the current row.
  static void CheckListed(const LayerPanel& p, const CMirvDoc& doc) {
    QCOMPARE(RowSlots(p), StackSlots(doc));
    QCOMPARE(RowNames(p), StackNames(doc));
    QCOMPARE(p.LayerList()->count(), doc.Layers().LayerCount());
    QVERIFY(p.LayerList()->currentItem());
    QCOMPARE(p.LayerList()->currentItem()->data(Qt::UserRole).toInt(), doc.Layers().active);
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(home_.isValid()); }

  void panelIsMadeOnFirstUse() {
    auto f = MakeFrame();
    f->UpdateCommandUI();
    QVERIFY(f->MenuAction(1554)->isEnabled());
    QVERIFY(f->MenuAction(1511)->isEnabled());
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    QVERIFY(!p->isHidden());
    QCOMPARE(p->windowTitle(), QString("레이어.작업내역"));
    QCOMPARE(p->Tabs()->count(), 2);
    QCOMPARE(p->UndoButton()->toolTip(), QString("(Undo) 뒤로 회복"));
    QCOMPARE(p->RedoButton()->toolTip(), QString("(Redo) 앞으로 회복"));
    // Every command the panel sends has a button.
    for (int id : {1552, 1553, 3500, 1557, 1555, 3994, 3198, 1500, 1545}) QVERIFY2(p->Button(id), qPrintable(QString::number(id)));
    // No measurement exists yet, so its layer cannot be added.
    QVERIFY(!p->Button(3198)->isEnabled());
    QVERIFY(!p->Button(1553)->isEnabled());  // a single layer
    CheckListed(*p, *doc);
  }

  void listsTheStackThroughEveryCommand() {
    auto f = MakeFrame();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    const int base = doc->Layers().active;

    p->Button(1552)->click();  // add
    QCOMPARE(doc->Layers().LayerCount(), 2);
    const int added = doc->Layers().active;
    QVERIFY(added != base);
    QCOMPARE(RowSlots(*p), (QList<int>{added, base}));
    CheckListed(*p, *doc);

    p->Button(3500)->click();  // duplicate
    QCOMPARE(doc->Layers().LayerCount(), 3);
    CheckListed(*p, *doc);
    const int copy = doc->Layers().active;

    p->Button(1553)->click();  // delete the copy
    QCOMPARE(doc->Layers().LayerCount(), 2);
    QVERIFY(!RowSlots(*p).contains(copy));
    CheckListed(*p, *doc);

    // Renaming shows at once.
    QVERIFY(doc->RenameLayer(base, "바탕"));
    QVERIFY(RowNames(*p).contains(QString("바탕")));
    CheckListed(*p, *doc);

    // Merging whichever way the active layer allows leaves one layer.
    const int mergeId = p->Button(1557)->isEnabled() ? 1557 : 1555;
    QVERIFY(p->Button(mergeId)->isEnabled());
    p->Button(mergeId)->click();
    QCOMPARE(doc->Layers().LayerCount(), 1);
    CheckListed(*p, *doc);

    // Undo brings the two layers back, redo merges them again.
    p->UndoButton()->click();
    QCOMPARE(doc->Layers().LayerCount(), 2);
    CheckListed(*p, *doc);
    p->RedoButton()->click();
    QCOMPARE(doc->Layers().LayerCount(), 1);
    CheckListed(*p, *doc);

    // Flatten from the right-button menu.
    p->Button(1552)->click();
    p->Button(1552)->click();
    QCOMPARE(p->LayerList()->count(), 3);
    QAction* flatten = nullptr;
    for (QAction* a : p->ContextMenu()->actions())
      if (a->text() == QString("떡 이미지 만들기")) flatten = a;
    QVERIFY(flatten);
    flatten->trigger();
    QCOMPARE(doc->Layers().LayerCount(), 1);
    CheckListed(*p, *doc);
    p->UndoButton()->click();
    QCOMPARE(doc->Layers().LayerCount(), 3);
    CheckListed(*p, *doc);
  }

  void movesAndActivation() {
    auto f = MakeFrame();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    const int base = doc->Layers().active;
    QVERIFY(f->OnCommand(1552));  // through the menu: the panel follows
    const int top = doc->Layers().active;
    QCOMPARE(RowSlots(*p), (QList<int>{top, base}));

    QVERIFY(p->MoveActive(false));
    QCOMPARE(RowSlots(*p), (QList<int>{base, top}));
    QVERIFY(HistoryRows(*p).first().contains(QString("레이어 위치 이동")));
    QVERIFY(!p->MoveActive(false));  // already at the bottom
    p->UndoButton()->click();
    QCOMPARE(RowSlots(*p), (QList<int>{top, base}));
    p->RedoButton()->click();
    QCOMPARE(RowSlots(*p), (QList<int>{base, top}));

    // Dragging the bottom row to the top moves its layer up the stack.
    QVERIFY(f->OnCommand(1552));
    const int third = doc->Layers().active;
    const QList<int> before = RowSlots(*p);
    QCOMPARE(before.size(), 3);
    QVERIFY(before.contains(third));
    QVERIFY(p->LayerList()->model()->moveRow(QModelIndex(), 2, QModelIndex(), 0));
    QTRY_COMPARE(StackSlots(*doc), (QList<int>{before[2], before[0], before[1]}));
    CheckListed(*p, *doc);
    QVERIFY(HistoryRows(*p).first().contains(QString("레이어 위치 이동")));
    QVERIFY(p->MoveSlot(before[2], false, 2));
    QCOMPARE(RowSlots(*p), before);
    QVERIFY(doc->DeleteLayer(third, true));
    QCOMPARE(RowSlots(*p), (QList<int>{base, top}));

    // Clicking a row makes its layer the active one.
    QListWidgetItem* row = p->LayerList()->item(0);
    QCOMPARE(row->data(Qt::UserRole).toInt(), base);
    QTest::mouseClick(p->LayerList()->viewport(), Qt::LeftButton, {},
                      p->LayerList()->visualItemRect(row).center() + QPoint(20, 0));
    QCOMPARE(doc->Layers().active, base);
    CheckListed(*p, *doc);

    // The eye hides and shows a layer.
    p->LayerList()->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(doc->Layers().Get(top)->visible, 0);
    QVERIFY(doc->CompositionStale());
    p->LayerList()->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(doc->Layers().Get(top)->visible, 1);
  }

  void followsTheMenusAndItsOwnMenu() {
    auto f = MakeFrame();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    QStringList labels;
    for (QAction* a : p->ContextMenu()->actions()) labels << a->text();
    QCOMPARE(labels, (QStringList{"복사", "붙이기", "레이어 복제", "레이어 삭제", "레이어 추가", "레이어 이름 변경",
                                  "떡 이미지 만들기", "레스터 만들기"}));
    QCOMPARE(p->ContextMenu()->objectName(), QString("4004"));
    p->ContextMenu()->actions()[4]->trigger();  // "레이어 추가"
    QCOMPARE(p->LayerList()->count(), 2);
    // Undo and redo from the Edit menu, not the panel, still show in it.
    QVERIFY(f->OnCommand(cmd::kUndo));
    QCOMPARE(p->LayerList()->count(), 1);
    CheckListed(*p, *doc);
    QCOMPARE(HistoryRows(*p), HistoryText(*doc));
    QVERIFY(p->RedoButton()->isEnabled());
    QVERIFY(f->OnCommand(cmd::kRedo));
    QCOMPARE(p->LayerList()->count(), 2);
    CheckListed(*p, *doc);
    QCOMPARE(HistoryRows(*p), HistoryText(*doc));
    // Renaming through the panel asks for the name.
    f->Host().SetTextAsker([](const QString&, QString& v) {
      v = QString("윗층");
      return true;
    });
    QVERIFY(p->Button(3994)->isEnabled());
    p->Button(3994)->click();
    QCOMPARE(p->LayerList()->item(0)->text(), QString("윗층"));
  }

  void transparencyAndBlendSetTheBytes() {
    auto f = MakeFrame();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    const int base = doc->Layers().active;
    QVERIFY(f->OnCommand(1552));
    const int top = doc->Layers().active;
    QCOMPARE(p->TransparencySlider()->objectName(), QString("1224"));
    QCOMPARE(p->TransparencyBox()->objectName(), QString("1230"));

    p->TransparencySlider()->setValue(100);
    QCOMPARE(int(doc->Layers().Get(top)->transparency), 100);
    QCOMPARE(p->TransparencyBox()->value(), 100);
    p->TransparencyBox()->setValue(255);
    QCOMPARE(int(doc->Layers().Get(top)->transparency), 255);
    QCOMPARE(p->TransparencySlider()->value(), 255);
    QCOMPARE(int(doc->Layers().Get(base)->transparency), 0);

    const struct {
      const char* label;
      int blend;
    } blends[] = {{"곱셈혼합", 2},   {"화면혼합", 3},   {"어두운혼합", 4}, {"밝은혼합", 5},    {"차이혼합", 6},
                  {"역차이혼합", 7}, {"제외혼합", 8},   {"오버레이혼합", 9}};
    for (const auto& b : blends) {
      p->BlendCombo()->setCurrentText(QString::fromUtf8(b.label));
      QCOMPARE(p->BlendCombo()->currentText(), QString::fromUtf8(b.label));
      QCOMPARE(int(doc->Layers().Get(top)->blend), b.blend);
    }
    p->BlendCombo()->setCurrentIndex(0);
    QCOMPARE(int(doc->Layers().Get(top)->blend), 0);
    QCOMPARE(BlendFromLabel(QString("혼합")), 0);
    QCOMPARE(LabelOfBlend(9), QString("오버레이혼합"));

    // Choosing the other layer shows its own values, and leaves the first one's.
    p->BlendCombo()->setCurrentText(QString("차이혼합"));
    QVERIFY(doc->SetActiveLayer(base));
    p->RefreshLayers();
    QCOMPARE(p->TransparencySlider()->value(), 0);
    QCOMPARE(p->BlendCombo()->currentIndex(), 0);
    QCOMPARE(int(doc->Layers().Get(top)->transparency), 255);
    QCOMPARE(int(doc->Layers().Get(top)->blend), 6);
  }

  void historyTabMatchesTheHistory() {
    auto f = MakeFrame();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    QCOMPARE(HistoryRows(*p), HistoryText(*doc));
    QVERIFY(!p->UndoButton()->isEnabled());
    for (int i = 0; i < 3; ++i) QVERIFY(f->OnCommand(1552));
    QCOMPARE(HistoryRows(*p), HistoryText(*doc));
    QCOMPARE(p->HistoryList()->count(), 4);
    const int last = doc->History().Step();
    QVERIFY(p->UndoButton()->isEnabled());
    QVERIFY(!p->RedoButton()->isEnabled());

    // Clicking the oldest line undoes back to it, the newest redoes forward.
    QListWidgetItem* oldest = p->HistoryList()->item(p->HistoryList()->count() - 1);
    QTest::mouseClick(p->HistoryList()->viewport(), Qt::LeftButton, {},
                      p->HistoryList()->visualItemRect(oldest).center());
    QCOMPARE(doc->History().Step(), last - 3);
    QCOMPARE(doc->Layers().LayerCount(), 1);
    QCOMPARE(HistoryRows(*p), HistoryText(*doc));
    QCOMPARE(p->LayerList()->count(), 1);
    QVERIFY(p->RedoButton()->isEnabled());
    p->GoToStep(last - 1);
    QCOMPARE(doc->History().Step(), last - 1);
    QCOMPARE(p->LayerList()->count(), 3);
    p->GoToStep(last);
    QCOMPARE(doc->History().Step(), last);
    QCOMPARE(doc->Layers().LayerCount(), 4);
    CheckListed(*p, *doc);
  }

  void followsTheActiveView() {
    auto f = MakeFrame();
    f->show();
    CMirvDoc* first = nullptr;
    LayerPanel* p = OpenPanel(*f, &first);
    QVERIFY(p);
    QVERIFY(f->OnCommand(1552));
    QMdiSubWindow* firstWindow = f->MdiArea()->activeSubWindow();
    CMirvDoc* second = f->NewDocument(32, 32, 24, "second");
    QVERIFY(second && second != first);
    QCOMPARE(f->ActiveDocument(), second);
    CheckListed(*p, *second);
    QCOMPARE(p->LayerList()->count(), 1);
    f->MdiArea()->setActiveSubWindow(firstWindow);
    QCOMPARE(f->ActiveDocument(), first);
    QCOMPARE(p->LayerList()->count(), 2);
    QCOMPARE(HistoryRows(*p), HistoryText(*first));
  }

  void closedPanelsReopenWhereTheyWere() {
    auto f = MakeFrame();
    f->show();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    p->setFloating(true);
    const QRect where(140, 110, 520, 460);
    p->setGeometry(where);
    QCOMPARE(p->geometry(), where);
    QVERIFY(f->OnCommand(1554));
    QVERIFY(!p->isVisible());
    QCOMPARE(p->RememberedRect(), where);
    p->setGeometry(QRect(0, 0, 200, 200));  // whatever happens meanwhile
    QVERIFY(f->OnCommand(1554));
    QCOMPARE(FindLayerPanel(*f), p);  // the same panel, not a new one
    QVERIFY(p->isVisible());
    QVERIFY(p->isFloating());
    QCOMPARE(p->geometry(), where);

    QVERIFY(f->OnCommand(1511));
    QuickEditWindow* q = FindQuickEdit(*f);
    QVERIFY(q && q->isVisible());
    const QRect qWhere(300, 200, 520, 300);
    q->setGeometry(qWhere);
    QVERIFY(f->OnCommand(1511));
    QVERIFY(!q->isVisible());
    QVERIFY(f->OnCommand(1511));
    QVERIFY(q->isVisible());
    QCOMPARE(q->geometry(), qWhere);
    QCOMPARE(FindQuickEdit(*f), q);
  }

  // The panels' places outlive the run: the layer panel returns to the side the
  // user docked it on, and the quick-edit window first opens clear of the menus.
  void panelPlacesAcrossRuns() {
    {
      auto f = MakeFrame();
      f->show();
      CMirvDoc* doc = nullptr;
      LayerPanel* p = OpenPanel(*f, &doc);
      QVERIFY(p);
      f->addDockWidget(Qt::LeftDockWidgetArea, p);
      QCOMPARE(f->dockWidgetArea(p), Qt::LeftDockWidgetArea);
      f->SaveSettings();
    }
    auto f = MakeFrame();
    f->show();
    CMirvDoc* doc = nullptr;
    LayerPanel* p = OpenPanel(*f, &doc);
    QVERIFY(p);
    QCOMPARE(f->dockWidgetArea(p), Qt::LeftDockWidgetArea);

    QVERIFY(f->OnCommand(1511));
    QuickEditWindow* q = FindQuickEdit(*f);
    QVERIFY(q && q->isVisible());
    const QPoint area = f->MdiArea()->mapToGlobal(QPoint(0, 0));
    QVERIFY(q->geometry().top() >= area.y());
    QVERIFY(q->frameGeometry().left() >= area.x());
  }

  void quickEditButtonsFollowTheFrame() {
    auto f = MakeFrame();
    QVERIFY(f->NewDocument(40, 30, 24, "quick"));
    QVERIFY(f->OnCommand(1511));
    QuickEditWindow* q = FindQuickEdit(*f);
    QVERIFY(q);
    QCOMPARE(q->windowTitle(), QString("포토 간편 편집 창"));
    const std::vector<int> want = {2076, 1450, 1482, 1503, 2533, 2058, 1382, 3392,
                                   3379, 1415, 1342, 1491, 1492, 1431, 1414, 1565};
    std::vector<int> have = QuickEditWindow::Commands();
    QCOMPARE(have.size(), want.size());
    for (int id : want) {
      QPushButton* b = q->Button(id);
      QVERIFY2(b, qPrintable(QString::number(id)));
      QCOMPARE(b->isEnabled(), f->IsCommandEnabled(id));
    }
    QVERIFY(!q->Button(1565)->isEnabled());
    // Tool buttons show pressed with the command bar's, whoever pressed it.
    for (int id : {1342, 1382, 1415}) QVERIFY(q->Button(id)->isCheckable());
    QVERIFY(!q->Button(1450)->isCheckable());
    f->BarAction(1342)->setChecked(true);
    QVERIFY(q->Button(1342)->isChecked());
    f->BarAction(1342)->setChecked(false);
    QVERIFY(!q->Button(1342)->isChecked());
    const auto buttons = q->findChildren<QPushButton*>();
    QVERIFY(std::any_of(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isEnabled(); }));
    // Without a document the buttons follow the frame's items off.
    QVERIFY(f->CloseAllDocuments());
    f->UpdateCommandUI();
    for (int id : want) QCOMPARE(q->Button(id)->isEnabled(), f->IsCommandEnabled(id));
    QVERIFY(!q->Button(1414)->isEnabled());
  }
};

QTEST_MAIN(LayerPanelTest)
#include "layer_panel_test.moc"
