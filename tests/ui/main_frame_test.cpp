// The main frame: its menus and command bar, tool-change consent, the tool options,
// colours and brushes, the clipboard, the close prompts and the settings it keeps.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <fstream>

#include "app/settings_file.h"
#include "image/doc.h"
#include "tools/tool_ids.h"
#include "ui/child_frame.h"
#include "commands/registry.h"
#include "ui/command_fronts.h"
#include "ui/main_frame.h"
#include "ui/menu_table.h"
#include "ui/mirv_view.h"
#include "ui/qt_doc_host.h"
#include "ui/tool_options.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

const fs::path kSource = VELMIRA_SOURCE_DIR;
const fs::path kShare = kSource / "share" / "velmira";
const QString kSample = QString::fromStdString((kShare / "Samples" / "velmira-sample.bmp").string());

// Menu items as (id, label), 0 for a separator and −1 for a submenu, as the
// editor's users know them.
struct Item {
  int id;
  const char* label;
};

QList<QAction*> Items(QMenu* m) { return m->actions(); }

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  fs::path Home() const { return fs::path(home_.path().toStdString()); }
  std::unique_ptr<CMainFrame> MakeFrame() {
    auto f = std::make_unique<CMainFrame>(Home(), kShare);
    f->Frame().tempFolder = Home() / "tmp";
    fs::create_directories(f->Frame().tempFolder);
    return f;
  }
  QString CopyOfSample(const QString& name) {
    const QString p = home_.filePath(name);
    QFile::remove(p);
    QFile::copy(kSample, p);
    QFile(p).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return p;
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(home_.isValid()); }

  void menusHoldTheItemsInOrder() {
    auto f = MakeFrame();
    const QStringList titles = {"파일(&F)", "편집(&E)",   "그리기",       "영상(&I)",       "필터링(&F)", "레이어(&L)",
                                "영역선택(&S)", "변형 및 꾸미기", "보기(&V)", "측정", "동영상", "윈도우(&W)", "도움말(&H)"};
    QCOMPARE(f->Popups().size(), 13);
    for (int i = 0; i < 13; ++i) QCOMPARE(f->Popup(i)->title(), titles[i]);

    // The widgets are the registry's menu surface, item for item (the registry's own
    // test holds that surface against the menus as they were before it existed).
    const std::function<void(QMenu*, const std::vector<MenuEntry>&)> same = [&](QMenu* m,
                                                                                const std::vector<MenuEntry>& want) {
      const QList<QAction*> items = Items(m);
      QCOMPARE(items.size(), int(want.size()));
      for (size_t k = 0; k < want.size(); ++k) {
        QAction* a = items[int(k)];
        if (want[k].IsSeparator()) {
          QVERIFY2(a->isSeparator(), qPrintable(m->title() + QString::number(k)));
        } else if (want[k].IsSubmenu()) {
          QVERIFY(a->menu() != nullptr);
          QCOMPARE(a->menu()->title(), QString::fromStdString(want[k].label));
          same(a->menu(), want[k].items);
        } else {
          QCOMPARE(a->data().toInt(), want[k].id);
          QCOMPARE(a->text(), QString::fromStdString(want[k].label));
        }
      }
    };
    for (int i = 0; i < 13; ++i) same(f->Popup(i), MainMenu()[size_t(i)].items);
    // Submenus of "변형 및 꾸미기".
    const QList<QAction*> transform = Items(f->Popup(7));
    QCOMPARE(transform[1]->menu()->title(), QString("레이어 회전.."));
    QList<int> rotate;
    for (QAction* a : transform[1]->menu()->actions()) rotate << a->data().toInt();
    QCOMPARE(rotate, (QList<int>{1415, 4210, 4214, 4221, 4219, 4220}));
    QCOMPARE(transform[2]->menu()->actions()[0]->text(), QString(" 90  시계방향"));
    QList<int> free;
    for (QAction* a : transform[3]->menu()->actions()) free << a->data().toInt();
    QCOMPARE(free, (QList<int>{4250, 4251, 4252}));

    // Labels keep their exact spacing and accelerator text.
    const Item labels[] = {{57607, "인쇄(&P)    \tCtrl+P"}, {1475, "외부영상 입력 "}, {1557, "아래쪽 레이어로  합치기"},
                           {1420, "확대\t Ctrl + + "},     {1422, "(1:1)보기 \tCtrl + 1"}, {4201, "무비만들기 "},
                           {57664, "'Velmira'에 관하여(&A)..."}, {2058, "선택/명령 해제\tCtrl+D"}};
    for (const Item& it : labels) QCOMPARE(f->MenuAction(it.id)->text(), QString::fromUtf8(it.label));
    QCOMPARE(Items(f->Popup(0)).last()->text(), QString("Recent File"));

    // Accelerators.
    QVERIFY(f->MenuAction(57604)->shortcuts().contains(QKeySequence("Ctrl+Shift+S")));
    QVERIFY(f->MenuAction(1420)->shortcuts().contains(QKeySequence("Ctrl++")));
    QVERIFY(f->MenuAction(1420)->shortcuts().contains(QKeySequence("Ctrl+=")));
    QVERIFY(f->MenuAction(2058)->shortcuts().contains(QKeySequence("Ctrl+D")));
    QVERIFY(f->MenuAction(1422)->shortcuts().contains(QKeySequence("Ctrl+1")));
  }

  // Every item of the menus and the bar names a registered command, and an item is
  // enabled only when something can run it.
  void everyItemResolvesToARegisteredCommand() {
    auto f = MakeFrame();
    QVERIFY(f->OpenDocumentFile(kSample));
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    f->UpdateCommandUI();
    QList<QAction*> all = f->CommandBarWidget()->actions();
    std::function<void(QMenu*)> collect = [&](QMenu* m) {
      for (QAction* a : m->actions()) {
        if (a->menu()) collect(a->menu());
        else if (!a->isSeparator()) all << a;
      }
    };
    for (QMenu* m : f->Popups()) collect(m);
    int enabled = 0;
    for (QAction* a : all) {
      const int id = a->data().toInt();
      const CommandDef* def = Commands().Find(id);
      QVERIFY2(def, qPrintable(QStringLiteral("%1 is not registered").arg(id)));
      const CommandFront* front = Fronts().Find(id);
      if (a->isEnabled()) {
        ++enabled;
        QVERIFY2(def->run || (front && front->run), qPrintable(QStringLiteral("%1 is enabled with nothing to run it").arg(id)));
        // A command whose run needs values must have a front that asks for them.
        if (def->MinArgs() > 0) QVERIFY2(front && front->run, qPrintable(QString::number(id)));
      }
    }
    QVERIFY(enabled > 40);
  }

  void commandBarAndEnabling() {
    auto f = MakeFrame();
    const Item tips[] = {{57600, "새 문서를 작성합니다"}, {1344, "클릭지점과 같은 색상의 영역을 자동으로 선택"},
                         {1384, "전경색"},               {1386, "전경,배경색 교환"},
                         {1510, "붓굵기"},               {2074, "Velmira 웹사이트"},
                         {1422, "화면 보기를 1:1 로"},   {1500, "떡영상 만들기"}};
    for (const Item& t : tips) {
      QAction* a = f->BarAction(t.id);
      QVERIFY2(a, qPrintable(QString::number(t.id)));
      QCOMPARE(a->toolTip(), QString::fromUtf8(t.label));
      QVERIFY(!a->icon().isNull());
    }
    QCOMPARE(f->CommandBarWidget()->actions().size(), 47);  // with the calendar's button

    f->UpdateCommandUI();
    // Nothing open: files can be made and opened, nothing else about documents.
    QVERIFY(f->MenuAction(57600)->isEnabled());
    QVERIFY(f->MenuAction(57601)->isEnabled());
    QVERIFY(!f->MenuAction(57603)->isEnabled());
    QVERIFY(!f->MenuAction(57643)->isEnabled());
    QVERIFY(!f->MenuAction(1420)->isEnabled());
    QVERIFY(f->OpenDocumentFile(kSample));
    f->UpdateCommandUI();
    QVERIFY(f->MenuAction(57603)->isEnabled());
    QVERIFY(f->MenuAction(1420)->isEnabled());
    QVERIFY(!f->MenuAction(1422)->isEnabled());  // already 1:1
    QVERIFY(!f->MenuAction(57643)->isEnabled());  // nothing to undo
    QVERIFY(!f->MenuAction(1553)->isEnabled());   // a single layer
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    QVERIFY(f->MenuAction(57643)->isEnabled());
    QVERIFY(f->MenuAction(1553)->isEnabled());
    // The web-site item needs an address.
    QVERIFY(!f->MenuAction(2074)->isEnabled());
  }

  void toolConsent() {
    auto f = MakeFrame();
    QVERIFY(f->OpenDocumentFile(kSample));
    QWidget guide, rotation;
    f->SetGuidePathPanel(&guide);
    f->SetRotationPanel(&rotation);
    f->Frame().currentTool = -1;

    guide.show();
    QVERIFY(!f->OnCommand(tool::kMove));  // a tool other than the listed ones
    QCOMPARE(f->Frame().currentTool, -1);
    QVERIFY(!f->BarAction(tool::kMove)->isChecked());
    QVERIFY(f->OnCommand(tool::kZoomIn));  // zoom still works
    QCOMPARE(f->Frame().currentTool, tool::kZoomIn);
    QVERIFY(f->BarAction(tool::kZoomIn)->isChecked());
    for (int id : {1345, 1421, 5615, 5616, 5620, 5622}) QVERIFY(f->ConsentToolChange(id));
    for (int id : {1347, 5617, 5619, 4250}) QVERIFY(!f->ConsentToolChange(id));
    guide.hide();

    rotation.show();
    QVERIFY(!f->OnCommand(tool::kMove));
    QCOMPARE(f->Frame().currentTool, tool::kZoomIn);
    QVERIFY(!f->ConsentToolChange(tool::kZoomIn));
    QVERIFY(f->ConsentToolChange(4251));
    QVERIFY(!rotation.isVisible());  // consent hides it

    QVERIFY(f->OnCommand(tool::kMove));
    QCOMPARE(f->Frame().currentTool, tool::kMove);
    QVERIFY(f->BarAction(tool::kMove)->isChecked());
    QVERIFY(!f->BarAction(tool::kZoomIn)->isChecked());
    f->SetGuidePathPanel(nullptr);
    f->SetRotationPanel(nullptr);
  }

  void toolOptions() {
    auto f = MakeFrame();
    ToolOptionBar* o = f->ToolOptions();
    QCOMPARE(o->Heading()->text(), QString("값지정"));
    o->SetupSlider1(true, "허용치", 10, 0, 50);
    QCOMPARE(f->Frame().option1, 10);
    o->ValueBox(1)->setText("80");
    Q_EMIT o->ValueBox(1)->editingFinished();
    QCOMPARE(o->ValueBox(1)->text(), QString("50"));
    QCOMPARE(o->Slider(1)->value(), 50);
    QCOMPARE(f->Frame().option1, 50);
    QCOMPARE(f->Frame().borderSpread, 0);
    o->ValueBox(1)->setText("abc");
    Q_EMIT o->ValueBox(1)->editingFinished();
    QCOMPARE(o->ValueBox(1)->text(), QString("50"));
    QCOMPARE(f->Frame().option1, 50);

    o->SetupSlider1(true, ToolOptionBar::BorderSpreadLabel(), 3, 0, 20);
    o->Slider(1)->setValue(7);
    QCOMPARE(f->Frame().borderSpread, 7);
    QCOMPARE(f->Frame().option1, 7);
    QCOMPARE(o->ValueBox(1)->text(), QString("7"));

    o->SetupSlider2(true, "농도", 30);
    o->ValueBox(2)->setText("1000");
    Q_EMIT o->ValueBox(2)->editingFinished();
    QCOMPARE(f->Frame().option2, o->Slider(2)->maximum());
    QCOMPARE(f->Frame().borderSpread, 7);
  }

  void coloursAndBrushes() {
    auto f = MakeFrame();
    QString caption;
    f->SetColourPicker([&](const QColor&, const QString& c) -> std::optional<QColor> {
      caption = c;
      return QColor(10, 20, 30);
    });
    QVERIFY(f->OnCommand(1384));
    QCOMPARE(caption, QString("  전경색의 지정"));
    QCOMPARE(f->Frame().foreground, MakeRgbq(10, 20, 30));
    f->SetColourPicker([&](const QColor&, const QString& c) -> std::optional<QColor> {
      caption = c;
      return std::nullopt;  // cancelled
    });
    const Rgbq background = f->Frame().background;
    QVERIFY(f->OnCommand(1385));
    QCOMPARE(caption, QString("  배경색의 지정"));
    QCOMPARE(f->Frame().background, background);

    const QColor rememberedBg = f->RememberedBackground();
    QVERIFY(f->OnCommand(1386));
    QCOMPARE(f->Frame().foreground, background);
    QCOMPARE(f->Frame().background, MakeRgbq(10, 20, 30));
    QCOMPARE(f->RememberedBackground(), QColor(10, 20, 30));
    QCOMPARE(f->RememberedForeground(), rememberedBg);

    QCOMPARE(f->BrushPaletteWidget()->findChildren<QToolButton*>().size(), 16);
    QVERIFY(f->OnCommand(1233));
    QCOMPARE(f->Frame().brushSize, 4);
    QVERIFY(f->Frame().softEdge);
    QVERIFY(f->OnCommand(2307));
    QCOMPARE(f->Frame().brushSize, 1);
    QVERIFY(!f->Frame().softEdge);
    QVERIFY(f->OnCommand(1221));
    QCOMPARE(f->Frame().brushSize, 8);
  }

  void clipboardBetweenDocumentsAndPrograms() {
    auto f = MakeFrame();
    CMirvDoc* a = f->OpenDocumentFile(kSample);
    QVERIFY(a);
    QApplication::clipboard()->clear();
    QTRY_VERIFY(!f->IsCommandEnabled(cmd::kPaste));
    QVERIFY(f->OnCommand(cmd::kCopy));
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime->hasFormat(kDibMimeType));
    QVERIFY(mime->hasImage());  // for other programs
    const QImage forOthers = qvariant_cast<QImage>(mime->imageData());
    QCOMPARE(forOthers.size(), QSize(a->Layers().header.canvasWidth, a->Layers().header.canvasHeight));
    QTRY_VERIFY(f->IsCommandEnabled(cmd::kPaste));
    const int before = a->Layers().LayerCount();
    QVERIFY(f->OnCommand(cmd::kPaste));
    QCOMPARE(a->Layers().LayerCount(), before + 1);

    // A picture another program copied: a plain image, taken as opaque 32 bits.
    QImage other(5, 3, QImage::Format_ARGB32);
    other.fill(qRgba(200, 100, 50, 0));
    QApplication::clipboard()->setImage(other);
    QTRY_VERIFY(f->IsCommandEnabled(cmd::kPaste));
    std::vector<uint8_t> dib;
    QVERIFY(f->Host().GetClipboard(dib));
    CImageBuffer img;
    QVERIFY(img.FromGlobalMemory(dib.data(), dib.size()));
    QCOMPARE(img.Width(), 5);
    QCOMPARE(img.Height(), 3);
    QCOMPARE(img.Bpp(), 32);
    QCOMPARE(RgbqR(img.ReadColor(0, 0)), 200);
    QCOMPARE(RgbqX(img.ReadColor(0, 0)), 255);
    QVERIFY(f->OnCommand(cmd::kPaste));
    QCOMPARE(a->Layers().LayerCount(), before + 2);
  }

  void closePrompts() {
    auto f = MakeFrame();
    const QString path = CopyOfSample("close.bmp");
    const QByteArray original = [&] {
      QFile file(path);
      file.open(QIODevice::ReadOnly);
      return file.readAll();
    }();
    CMirvDoc* doc = f->OpenDocumentFile(path);
    QVERIFY(doc);
    QStringList asked;
    Answer reply = Answer::Cancel;
    f->Host().SetAsker([&](const QString& text, AskButtons buttons) {
      asked << text;
      [&] { QCOMPARE(int(buttons), int(AskButtons::YesNoCancel)); }();
      return reply;
    });
    // An untouched document closes without a question.
    QVERIFY(f->OpenWindow(*doc));
    QCOMPARE(f->FramesOf(*doc).size(), 2);
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    // Closing one of two windows asks nothing.
    f->FramesOf(*doc).first()->close();
    QCOMPARE(asked.size(), 0);
    QCOMPARE(f->FramesOf(*doc).size(), 1);

    // Cancel keeps everything open.
    QVERIFY(!f->CloseAllDocuments());
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].startsWith('['));
    QVERIFY(asked[0].endsWith("] 파일을 저장하시겠습니까?"));
    QVERIFY(asked[0].contains("close.bmp"));
    QCOMPARE(f->Documents().size(), size_t(1));
    // Closing the last window asks too; Cancel keeps it.
    f->FramesOf(*doc).first()->close();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(f->FramesOf(*doc).size(), 1);

    // No closes without saving: the file is as it was.
    reply = Answer::No;
    QVERIFY(f->CloseAllDocuments());
    QTRY_COMPARE(f->Documents().size(), size_t(0));
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), original);
    }

    // Yes saves under the document's own name, then closes.
    doc = f->OpenDocumentFile(path);
    QVERIFY(doc);
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    QVERIFY(QFile::remove(path));
    reply = Answer::Yes;
    QVERIFY(f->CloseAllDocuments());
    QTRY_COMPARE(f->Documents().size(), size_t(0));
    std::vector<uint8_t> bytes;
    QVERIFY(ReadSmallFile(path.toStdString(), bytes, 64 << 20));
    CImageBuffer saved;
    QVERIFY(bytes.size() > 14 && bytes[0] == 'B' && bytes[1] == 'M');
    QVERIFY(saved.FromGlobalMemory(bytes.data() + 14, bytes.size() - 14));

    // A save that fails keeps the document open: nothing is lost.
    QVERIFY(QDir(home_.path()).mkpath("gone"));
    const QString doomed = home_.filePath("gone/doomed.bmp");
    QVERIFY(QFile::copy(path, doomed));
    doc = f->OpenDocumentFile(doomed);
    QVERIFY(doc);
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    QVERIFY(QDir(home_.filePath("gone")).removeRecursively());
    QStringList shown;
    f->Host().SetInformer([&](const QString& text) { shown << text; });
    QVERIFY(!f->CloseAllDocuments());
    QCOMPARE(f->Documents().size(), size_t(1));
    QCOMPARE(shown.size(), 1);  // the document said why
    reply = Answer::No;
    QVERIFY(f->CloseAllDocuments());
  }

  // Save As writes exactly the file the user named, and asks about replacing that
  // file, not another one.
  void saveAsFollowsTheTypedName() {
    auto f = MakeFrame();
    CMirvDoc* doc = f->OpenDocumentFile(CopyOfSample("layered.bmp"));
    QVERIFY(doc);
    QVERIFY(f->OnCommand(cmd::kLayerAdd));
    const QString victim = home_.filePath("victim.jpg");
    {
      QFile file(victim);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("keep me");
    }
    auto victimBytes = [&] {
      QFile file(victim);
      file.open(QIODevice::ReadOnly);
      return file.readAll();
    };
    QString typed, offered, proposedName;
    f->SetSavePicker([&](const QString&, const QString& proposed, const QString&, QString* selected) {
      offered = *selected;
      proposedName = proposed;
      *selected = "JPG (*.jpg *.jpeg)";
      return typed;
    });
    QStringList asked;
    Answer reply = Answer::No;
    f->Host().SetAsker([&](const QString& text, AskButtons) {
      asked << text;
      return reply;
    });

    // A typed ".vlm" keeps the layers in a VLM file even with the JPG row selected.
    typed = home_.filePath("victim.vlm");
    QVERIFY(f->SaveDocument(*doc, true));
    QVERIFY(offered.startsWith("BMP"));  // the list starts on the document's own format
    QVERIFY(proposedName.endsWith("layered.bmp"));
    QVERIFY(QFile::exists(typed));
    QCOMPARE(victimBytes(), QByteArray("keep me"));
    QCOMPARE(doc->Layers().LayerCount(), 2);
    QCOMPARE(asked.size(), 0);

    // A name without a known extension gets the row's; replacing asks about that file.
    reply = Answer::Yes;
    QVERIFY(f->SaveDocument(*doc, true));
    QVERIFY(offered.startsWith("VLM"));
    QCOMPARE(asked.size(), 1);  // victim.vlm exists now
    asked.clear();
    reply = Answer::No;
    typed = home_.filePath("victim");
    QVERIFY(!f->SaveDocument(*doc, true));
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].contains("victim.jpg"));
    QCOMPARE(victimBytes(), QByteArray("keep me"));
    QCOMPARE(doc->Layers().LayerCount(), 2);
    reply = Answer::Yes;
    QVERIFY(f->SaveDocument(*doc, true));
    QVERIFY(victimBytes().startsWith("\xff\xd8"));
    QCOMPARE(QString::fromStdString(doc->Path().filename().string()), QString("victim.jpg"));
  }

  // The status line shows the active picture's size as it is now; the title shows
  // the zoom as it is now.
  void statusAndTitleFollowThePicture() {
    auto f = MakeFrame();
    auto* status = f->findChild<QLabel*>(QStringLiteral("statusText"));
    QVERIFY(status);
    CMirvDoc* doc = f->OpenDocumentFile(CopyOfSample("status.bmp"));
    QVERIFY(doc);
    QCOMPARE(status->text(), QString("  800x600x24 "));
    QVERIFY(f->OnCommand(1491));  // turn the canvas a quarter
    QCOMPARE(status->text(), QString("  600x800x24 "));
    QVERIFY(f->OnCommand(cmd::kUndo));
    QCOMPARE(status->text(), QString("  800x600x24 "));

    CMirvDoc* fresh = f->NewDocument(640, 480, 24, "new");
    QVERIFY(fresh);
    QCOMPARE(status->text(), QString("  640x480x24 "));
    f->FramesOf(*doc).first()->setFocus();
    f->MdiArea()->setActiveSubWindow(f->FramesOf(*doc).first());
    QCOMPARE(status->text(), QString("  800x600x24 "));

    ToolRouter& router = f->FramesOf(*doc).first()->View()->Router();
    router.SetZoom(2.0f);
    QVERIFY(f->windowTitle().contains(" 200 %"));
    router.SetZoom(0.125f);
    QVERIFY(f->windowTitle().contains(" 12 %"));
  }

  // A tall picture's window never reaches past the work area, whether it opened
  // before the main window was shown (a picture on the command line), while it is
  // shown, or the main window changed size afterwards.
  void pictureWindowsStayInsideTheWorkArea() {
    auto f = MakeFrame();
    auto inside = [&f](QMdiSubWindow* w) {
      return f->MdiArea()->viewport()->rect().contains(w->geometry());
    };
    CMirvDoc* early = f->NewDocument(1000, 3000, 24, "early");
    QVERIFY(early);
    f->resize(760, 460);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    QCoreApplication::processEvents();
    QMdiSubWindow* first = f->FramesOf(*early).first();
    QVERIFY2(inside(first), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                           .arg(first->x()).arg(first->y())
                                           .arg(first->width()).arg(first->height())
                                           .arg(f->MdiArea()->viewport()->width())
                                           .arg(f->MdiArea()->viewport()->height())));
    // As tall as the area allows: the picture is taller still.
    QCOMPARE(first->height(), f->MdiArea()->viewport()->height());

    CMirvDoc* later = f->NewDocument(600, 3000, 24, "later");
    QVERIFY(later);
    QMdiSubWindow* second = f->FramesOf(*later).first();
    QVERIFY(inside(second));
    // A zoom step sizes the window to the picture again, still inside.
    CMirvView* v = f->FramesOf(*later).first()->View();
    QVERIFY(v->OnZoomCommand(tool::kZoomOut));
    QVERIFY(inside(second));
    QVERIFY(v->OnZoomCommand(tool::kZoomActual));
    QVERIFY(inside(second));

    // The main window made smaller (or restored from maximized): both follow.
    f->resize(640, 380);
    QCoreApplication::processEvents();
    QVERIFY(inside(first));
    QVERIFY(inside(second));
    // Made larger again (maximized): the window the user never sized grows back with
    // the area, up to its picture's size, and stays inside.
    const int small = first->height();
    f->showMaximized();
    f->resize(1100, 760);
    QCoreApplication::processEvents();
    QVERIFY(inside(first));
    QVERIFY(first->height() > small);
  }

  // A failure keeps its fixed text and adds, below it, the file and the reason.
  void failuresSayWhichFileAndWhy() {
    auto f = MakeFrame();
    QStringList texts, details;
    f->Host().SetWarner([&](const QString& text, const QString& detail) {
      texts << text;
      details << detail;
    });
    const QString bad = home_.filePath("broken.jpg");
    {
      QFile file(bad);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("not a picture at all");
    }
    QVERIFY(!f->OpenDocumentFile(bad));
    QCOMPARE(texts, QStringList{"해당 파일을 열 수 없습니다."});
    QVERIFY(details[0].startsWith(bad + "\n"));
    QVERIFY(details[0].size() > bad.size() + 1);  // and why

    CMirvDoc* doc = f->OpenDocumentFile(CopyOfSample("fails.bmp"));
    QVERIFY(doc);
    texts.clear();
    details.clear();
    const fs::path nowhere = Home() / "no-such-folder" / "x.vlm";
    QVERIFY(!doc->OnSaveDocument(nowhere));
    QCOMPARE(texts, QStringList{"파일을 저장하지 못했습니다. 기존 파일은 그대로 남아 있습니다."});
    QVERIFY(details[0].startsWith(QString::fromStdString(nowhere.string()) + "\n"));
    QVERIFY(!details[0].contains("기존 파일은"));
  }

  // Items with a picture show it; the others show no icon at all, never a blank box.
  void menuIconsOnlyWhereThereIsAPicture() {
    auto f = MakeFrame();
    QVERIFY(f->MenuAction(57604) && f->MenuAction(57604)->icon().isNull());  // Save As
    QVERIFY(f->MenuAction(57603) && !f->MenuAction(57603)->icon().isNull());  // Save
  }

  void settingsKeptBetweenRuns() {
    fs::remove(Home() / kSettingsFileName);
    fs::remove(Home() / kFirstShowFileName);
    {
      auto f = MakeFrame();
      // First run: the shipped marker says 1, so the open dialog starts in Samples.
      QCOMPARE(f->FirstShowValue(), 1);
      QVERIFY(f->InitialFolder().endsWith("Samples"));
      QString folder;
      f->SetOpenPicker([&](const QString& title, const QString& dir, const QString& filters, const QString& sel) {
        folder = dir;
        [&] {
          QCOMPARE(title, QString("이미지 열기"));
          QVERIFY(filters.contains("모든그림형식"));
          QVERIFY(sel.startsWith("모든그림형식"));
        }();
        return QStringList{kSample};
      });
      QVERIFY(f->OnCommand(57601));
      QVERIFY(folder.endsWith("Samples"));
      QCOMPARE(f->Documents().size(), size_t(1));
      QCOMPARE(f->RecentFiles().size(), 1);
      f->Settings().windowState = 1;
      f->Settings().openAtStart = 1;
      f->Frame().brushSize = 3;
      f->Frame().gridSpacing = 12;
      f->SaveSettings();
    }
    QCOMPARE(ReadFirstShowFile(Home() / kFirstShowFileName), 0);
    auto g = MakeFrame();
    QCOMPARE(g->FirstShowValue(), 0);
    QCOMPARE(g->Settings().windowState, 1);
    QCOMPARE(g->Settings().openAtStart, 1);
    QCOMPARE(g->Frame().brushSize, 3);
    QCOMPARE(g->Frame().gridSpacing, -12);
    QCOMPARE(g->RecentFiles().size(), 1);
    QCOMPARE(g->MenuAction(57616), nullptr);  // the list is not a plain menu item
    QVERIFY(g->IsCommandEnabled(57616));
    QVERIFY(!g->IsCommandEnabled(57617));
  }

  void stringTableRelabelsMenus() {
    {
      std::ofstream out(Home() / kStringTableFileName, std::ios::binary);
      out << "\xBF\xAD\xB1\xE2(&O)~\xCB\xD2\xAA\xAF(&O)|\r\n";  // 열기(&O)~開く(&O)| in CP949
    }
    auto f = MakeFrame();
    QCOMPARE(f->MenuAction(57601)->text(), QString("開く(&O)\tCtrl+O"));
    QCOMPARE(f->MenuAction(57600)->text(), QString("새파일(&N)\tCtrl+N"));
    fs::remove(Home() / kStringTableFileName);
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
