// The interface languages: under English and Japanese every menu, bar tooltip,
// dialog, panel, status text and message the editor shows is translated, and the
// catalogues keep what the program relies on (placeholders, accelerators, the
// shortcut text after a tab).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "app/language.h"
#include "app/settings_file.h"
#include "commands/registry.h"
#include "image/doc.h"
#include "image/ui_text.h"
#include "ui/command_fronts.h"
#include "ui/main_frame.h"
#include "ui/menu_table.h"
#include "ui/settings_dialog.h"
#include "ui/test_frame.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

const fs::path kSource = VELMIRA_SOURCE_DIR;
const QString kSample =
    QString::fromStdString((kSource / "share" / "velmira" / "Samples" / "velmira-sample.bmp").string());

// Texts that are the same in every language and may keep their Hangul: the
// language list names each language in its own words.
const QSet<QString> kSameInEveryLanguage = {QStringLiteral("한국어")};

// Commands the walk leaves alone: exit ends the program, print and printer setup
// talk to a printer, the web-site item to the network.
const std::set<int> kNotRun = {57665, 57607, 57606, 2074};

bool HasHangul(const QString& s) {
  for (QChar c : s) {
    const ushort u = c.unicode();
    if ((u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F)) return true;
  }
  return false;
}

// Every text a user can read on a widget and its children.
void CollectTexts(QWidget* w, const QString& where, QMap<QString, QString>& out) {
  auto add = [&](const QString& text, const QString& what) {
    if (!text.isEmpty()) out.insert(text, where + " / " + what);
  };
  QList<QWidget*> all = w->findChildren<QWidget*>();
  all.prepend(w);
  for (QWidget* c : all) {
    const QString name = QString::fromLatin1(c->metaObject()->className());
    add(c->windowTitle(), name + " title");  // picture windows are not top-level
    add(c->toolTip(), name + " tooltip");
    if (auto* l = qobject_cast<QLabel*>(c)) add(l->text(), QStringLiteral("label"));
    if (auto* b = qobject_cast<QAbstractButton*>(c)) add(b->text(), QStringLiteral("button"));
    if (auto* g = qobject_cast<QGroupBox*>(c)) add(g->title(), QStringLiteral("group"));
    if (auto* e = qobject_cast<QLineEdit*>(c)) add(e->placeholderText(), QStringLiteral("placeholder"));
    if (auto* d = qobject_cast<QDockWidget*>(c)) add(d->windowTitle(), QStringLiteral("dock title"));
    if (auto* box = qobject_cast<QComboBox*>(c))
      for (int i = 0; i < box->count(); ++i) add(box->itemText(i), QStringLiteral("combo item"));
    if (auto* t = qobject_cast<QTabWidget*>(c))
      for (int i = 0; i < t->count(); ++i) add(t->tabText(i), QStringLiteral("tab"));
    if (auto* list = qobject_cast<QListWidget*>(c))
      for (int i = 0; i < list->count(); ++i) add(list->item(i)->text(), QStringLiteral("list item"));
    if (auto* h = qobject_cast<QHeaderView*>(c); h && h->model())
      for (int i = 0; i < h->count(); ++i)
        add(h->model()->headerData(i, h->orientation()).toString(), QStringLiteral("header"));
    if (auto* m = qobject_cast<QMenu*>(c)) {
      add(m->title(), QStringLiteral("menu title"));
      for (QAction* a : m->actions()) add(a->text(), QStringLiteral("menu item"));
    }
    for (QAction* a : c->actions()) {
      add(a->text(), QStringLiteral("action"));
      add(a->toolTip(), QStringLiteral("action tooltip"));
    }
  }
}

QString Untranslated(const QMap<QString, QString>& texts) {
  QStringList bad;
  for (auto it = texts.begin(); it != texts.end(); ++it)
    if (HasHangul(it.key()) && !kSameInEveryLanguage.contains(it.key())) bad << it.value() + ": " + it.key();
  return bad.join(QLatin1Char('\n'));
}

// Messages of the catalogues as (source, translation, finished).
struct CatalogueEntry {
  QString source, translation;
  bool finished;
};
QList<CatalogueEntry> ReadCatalogue(const QString& path) {
  QList<CatalogueEntry> out;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return out;
  QXmlStreamReader xml(&f);
  CatalogueEntry e;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("source")) {
      e = {};
      e.source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.name() == QLatin1String("translation")) {
      e.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
      e.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      out << e;
    }
  }
  return out;
}

// What a translation must keep of its source: the printf and %N placeholders (in
// any order), the accelerator text after a tab, and one accelerator when the
// source has one.
QStringList Placeholders(const QString& s) {
  static const QRegularExpression re(QStringLiteral("%(\\d+|[-0-9.]*[sdf]|%)"));
  QStringList out;
  for (auto it = re.globalMatch(s); it.hasNext();) out << it.next().captured(0);
  out.sort();
  return out;
}
int Accelerators(const QString& s) {
  int n = 0;
  for (int i = 0; i + 1 < s.size(); ++i) {
    if (s[i] != QLatin1Char('&')) continue;
    if (s[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    ++n;
  }
  return n;
}

}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<LanguagePack> pack_;

  void Use(const char* code) {
    pack_ = std::make_unique<LanguagePack>();
    QVERIFY2(pack_->Load(code, TranslationsFolder()), code);
    pack_->Install();
  }

  // Runs a command; any modal window it opens (its dialog, a question, a file or
  // colour dialog) is read and cancelled, nested ones too.
  void RunReading(CMainFrame& f, int id, QMap<QString, QString>& texts) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        CollectTexts(modal, QStringLiteral("command %1 dialog").arg(id), texts);
        if (auto* d = qobject_cast<QDialog*>(modal))
          d->reject();
        else
          modal->close();
      }
    });
    poll.start();
    f.OnCommand(id);
    poll.stop();
    // Windows the command left open (panels, tool windows).
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != &f && w->isVisible()) {
        CollectTexts(w, QStringLiteral("command %1 window").arg(id), texts);
        if (auto* d = qobject_cast<QDialog*>(w))
          d->reject();
        else if (!qobject_cast<QMenu*>(w))
          w->hide();
      }
  }

  // The whole editor under the installed language: menus, bar, context menus, every
  // command's dialog or window, the panels, the status line and messages.
  QMap<QString, QString> WalkEverything() {
    QStringList messages;
    auto f = testing_support::StartTestFrame(home_, &messages);
    f->Host().SetWarner([&messages](const QString& t, const QString&) { messages << t; });
    f->Host().SetAsker([&messages](const QString& t, AskButtons) {
      messages << t;
      return Answer::No;
    });
    f->Host().SetTextAsker([&messages](const QString& caption, QString&) {
      messages << caption;
      return false;
    });
    f->show();
    QMap<QString, QString> texts;
    CollectTexts(f->menuBar(), QStringLiteral("menu bar"), texts);
    for (QMenu* m : f->Popups()) CollectTexts(m, QStringLiteral("menu ") + m->title(), texts);
    CollectTexts(f->CommandBarWidget(), QStringLiteral("command bar"), texts);
    for (const char* surface : {"context/view", "context/layer", "quick"}) {
      const std::function<void(const std::vector<MenuEntry>&)> walk = [&](const std::vector<MenuEntry>& items) {
        for (const MenuEntry& e : items) {
          if (!e.label.empty()) texts.insert(Tr(e.label), QStringLiteral("surface ") + QLatin1String(surface));
          walk(e.items);
        }
      };
      walk(SurfaceEntries(surface));
    }

    // Twice: on a fresh single-layer picture (the refusals and their messages), then
    // with a second layer (the commands that need one).
    for (int pass = 0; pass < 2; ++pass) {
      f->CloseAllDocuments();
      if (!f->OpenDocumentFile(kSample)) return {{QStringLiteral("샘플"), QStringLiteral("the sample did not open")}};
      if (pass == 0) {
        // Refusals the menus never offer: a message, and a failure about a file.
        CMirvDoc* d = f->ActiveDocument();
        d->DeleteLayer(d->Layers().active, true);
        d->CutToNew();
        f->OpenDocumentFile(home_.filePath(QStringLiteral("missing.bmp")));
      } else {
        f->OnCommand(cmd::kLayerAdd);
      }
      for (const auto& c : Commands().All()) {
        if (c->id <= 0 || kNotRun.count(c->id)) continue;
        f->UpdateCommandUI();
        QAction* a = f->MenuAction(c->id);
        if (a && !a->isEnabled()) continue;
        RunReading(*f, c->id, texts);
        // The status line and the tool's option bar as this command left them.
        if (auto* options = f->findChild<QToolBar*>(QStringLiteral("optionBar")))
          CollectTexts(options, QStringLiteral("option bar after %1").arg(c->id), texts);
        if (!f->ActiveDocument() && !f->OpenDocumentFile(kSample))
          return {{QStringLiteral("샘플"), QStringLiteral("the sample did not reopen")}};
      }
    }
    // The panels and every window the commands left, with the document's layers
    // and history in them.
    CollectTexts(f.get(), QStringLiteral("main window"), texts);
    for (const QString& m : messages) texts.insert(m, QStringLiteral("message"));
    return texts;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    QVERIFY2(!TranslationsFolder().empty(), "no built translations (velmira_translations)");
  }
  void cleanup() { pack_.reset(); }

  // The walk itself: under Korean it must meet the menus, a dialog's controls, a
  // panel, the history and a message, or the language cases would prove nothing.
  void theWalkReachesEveryKindOfText() {
    const QMap<QString, QString> texts = WalkEverything();
    QVERIFY2(texts.size() > 400, qPrintable(QString::number(texts.size())));
    for (const char* seen : {"파일(&F)", "새 문서를 작성합니다", "환경설정", "업데이트 여부를 시작시에 인터넷으로 점검함",
                             "보통", "레이어.작업내역", "배경영상", "레이어 1", "(처음영상)", "레이어추가",
                             "레이어가 1개 밖에 없습니다", "영역선택 후에 시도하십시요", "파일을 저장하시겠습니까"}) {
      bool found = false;
      for (auto it = texts.begin(); it != texts.end() && !found; ++it) found = it.key().contains(QString::fromUtf8(seen));
      QVERIFY2(found, seen);
    }
    QVERIFY(!Untranslated(texts).isEmpty());
  }

  void englishLeavesNoKoreanText() {
    Use("en");
    const QString left = Untranslated(WalkEverything());
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("untranslated under English:\n") + left));
  }

  void japaneseLeavesNoKoreanText() {
    Use("ja");
    const QString left = Untranslated(WalkEverything());
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("untranslated under Japanese:\n") + left));
  }

  // Korean stays the source: without a pack the texts are the keys themselves, and
  // a language pack removed again gives them back.
  void koreanIsTheSourceAndPacksComeOff() {
    QCOMPARE(Tr("열기(&O)\tCtrl+O"), QStringLiteral("열기(&O)\tCtrl+O"));
    QCOMPARE(QString::fromUtf8(UiText("배경영상")), QStringLiteral("배경영상"));
    Use("ja");
    QCOMPARE(Tr("열기(&O)\tCtrl+O"), QStringLiteral("開く(&O)\tCtrl+O"));
    QCOMPARE(QString::fromUtf8(UiText("[%s] 파일을 저장하지 못했습니다.")),
             QStringLiteral("[%s] ファイルを保存できませんでした。"));
    pack_.reset();
    QCOMPARE(Tr("열기(&O)\tCtrl+O"), QStringLiteral("열기(&O)\tCtrl+O"));
    QCOMPARE(QString::fromUtf8(UiText("배경영상")), QStringLiteral("배경영상"));
    LanguagePack korean;
    QVERIFY(korean.Load("ko", TranslationsFolder()));
    LanguagePack missing;
    QVERIFY(!missing.Load("en", fs::path(home_.path().toStdString()) / "nowhere"));
  }

  // The string table is the user's own: its replacement wins over the translation,
  // and labels it does not name are translated.
  void stringTableAppliesOverTheTranslation() {
    Use("en");
    const fs::path home = fs::path(home_.path().toStdString()) / "table";
    fs::create_directories(home);
    std::ofstream(home / kStringTableFileName) << "열기(&O)~Ouvrir(&O)|\n";
    CMainFrame f(home, testing_support::ShippedFiles());
    QCOMPARE(f.MenuAction(57601)->text(), QStringLiteral("Ouvrir(&O)\tCtrl+O"));
    QCOMPARE(f.MenuAction(57603)->text(), QStringLiteral("&Save\tCtrl+S"));
    QCOMPARE(f.Popup(0)->title(), QStringLiteral("&File"));
    QCOMPARE(f.BarAction(57600)->toolTip(), QStringLiteral("Creates a new document"));
  }

  // The settings dialog offers the languages and writes the choice for the next
  // start; the running interface does not change.
  void settingsDialogStoresTheChoice() {
    const fs::path home = fs::path(home_.path().toStdString()) / "settings";
    fs::create_directories(home);
    CMainFrame f(home, testing_support::ShippedFiles());
    {
      SettingsDialog d(f);
      QCOMPARE(d.Language()->count(), 4);
      QCOMPARE(d.Language()->currentIndex(), 0);  // no file: follow the system
      d.Language()->setCurrentIndex(3);
      d.Apply();
    }
    QCOMPARE(ReadLanguageFile(home / kLanguageFileName), LanguageChoice::Japanese);
    QCOMPARE(StartupLanguage(home), std::string("ja"));
    QCOMPARE(f.Popup(0)->title(), QStringLiteral("파일(&F)"));
    SettingsDialog again(f);
    QCOMPARE(again.Language()->currentIndex(), 3);
  }

  // Every catalogue entry is translated and keeps the placeholders, the shortcut
  // text after a tab and the accelerator of its source.
  void cataloguesKeepWhatTheProgramNeeds() {
    for (const char* lang : {"en", "ja"}) {
      const QString path = QString::fromStdString((kSource / "translations").string()) +
                           QStringLiteral("/velmira_%1.ts").arg(QLatin1String(lang));
      const QList<CatalogueEntry> entries = ReadCatalogue(path);
      QVERIFY2(entries.size() > 500, qPrintable(path));
      QStringList bad;
      for (const CatalogueEntry& e : entries) {
        const QString where = QLatin1String(lang) + QStringLiteral(": ") + e.source;
        if (!e.finished || e.translation.isEmpty()) bad << where + " is not translated";
        if (HasHangul(e.translation)) bad << where + " keeps Korean";
        if (Placeholders(e.source) != Placeholders(e.translation)) bad << where + " changes its placeholders";
        const qsizetype tab = e.source.indexOf(QLatin1Char('\t'));
        if (tab >= 0 && e.source.mid(tab) != e.translation.mid(e.translation.indexOf(QLatin1Char('\t'))))
          bad << where + " changes its shortcut text";
        if (Accelerators(e.source) != Accelerators(e.translation)) bad << where + " changes its accelerators";
      }
      QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }
  }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
