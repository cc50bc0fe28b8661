// The settings dialog: its tabs and controls, what OK stores in the frame's
// state and record, the reset of the painting parameters, and the settings file
// the frame writes afterwards.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app/settings_file.h"
#include "ui/main_frame.h"
#include "ui/settings_dialog.h"

using namespace velmira;
namespace fs = std::filesystem;

class SettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  fs::path Home() const { return fs::path(home_.path().toStdString()); }
  std::unique_ptr<CMainFrame> MakeFrame() {
    auto f = std::make_unique<CMainFrame>(Home(), fs::path(VELMIRA_SOURCE_DIR) / "share" / "velmira");
    f->Frame().tempFolder = Home() / "tmp";
    fs::create_directories(f->Frame().tempFolder);
    return f;
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(home_.isValid()); }

  void tabsAndControls() {
    auto f = MakeFrame();
    f->UpdateCommandUI();
    QVERIFY(f->MenuAction(1571)->isEnabled());
    SettingsDialog d(*f);
    QCOMPARE(d.windowTitle(), QString("환경설정"));
    QCOMPARE(d.Tabs()->count(), 4);
    const QStringList tabs = {"커서/선택", "선택/경로", "격자표시", "기 타"};
    for (int i = 0; i < 4; ++i) QCOMPARE(d.Tabs()->tabText(i), tabs[i]);
    QStringList checks;
    for (QCheckBox* c : d.findChildren<QCheckBox*>()) checks << c->text();
    for (const char* t : {"선택영역을 다른 톤으로 구별하여 나타내기", "업데이트 여부를 시작시에 인터넷으로 점검함",
                          "프로그램 시작시 이미지 열기 창 보임", "파라메터 초기화(전경· 배경색,붓굵기, 안개 ···)"})
      QVERIFY2(checks.contains(QString::fromUtf8(t)), t);
    bool note = false;
    for (QLabel* l : d.findChildren<QLabel*>()) note = note || l->text() == QString("※프로그램을 재시작하면 적용됩니다.");
    QVERIFY(note);
    for (int i = 0; i < 3; ++i) QCOMPARE(d.ColourButton(i)->text(), QString("컬러지정"));
    QCOMPARE(d.GridSpacing()->minimum(), 4);
    // The controls start from the frame's values.
    QCOMPARE(d.GridSpacing()->value(), 16);
    QVERIFY(!d.GridShown()->isChecked());
    QCOMPARE(d.CursorGroup()->checkedId(), f->Frame().cursorStyle);
  }

  void okStoresTheValues() {
    auto f = MakeFrame();
    f->Frame().foreground = MakeRgbq(10, 20, 30);
    f->Frame().brushSize = 3;
    f->Frame().fog = 77;
    {
      SettingsDialog d(*f);
      d.SetColourPicker([](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); });
      d.CursorGroup()->button(3)->setChecked(true);
      d.HatchGroup()->button(4)->setChecked(true);
      d.ColourButton(1)->click();
      QCOMPARE(d.DisplayColour(1), QColor(1, 2, 3));
      d.GridShown()->setChecked(true);
      d.GridSpacing()->setValue(2);  // below the least spacing
      d.SelectionTone()->setChecked(true);
      d.UpdateCheck()->setChecked(false);
      d.OpenAtStart()->setChecked(true);
      d.Apply();
    }
    const FrameState& s = f->Frame();
    QCOMPARE(s.cursorStyle, 3);
    QCOMPARE(s.hatchStyle, 4);
    QCOMPARE(RgbqR(s.displayColours[1]), 1);
    QCOMPARE(RgbqB(s.displayColours[1]), 3);
    QCOMPARE(s.gridSpacing, 4);
    QVERIFY(s.gridOn);
    QVERIFY(s.showSelectionTone);
    QCOMPARE(f->Settings().updateCheck, 0);
    QCOMPARE(f->Settings().openAtStart, 1);
    // Without the reset the painting parameters stay.
    QCOMPARE(s.brushSize, 3);
    QCOMPARE(s.fog, 77);
    QCOMPARE(RgbqR(s.foreground), 10);

    // Grid off keeps the spacing as a negative number; the reset restores the
    // colours, the brush width and the fog.
    {
      SettingsDialog d(*f);
      QCOMPARE(d.GridSpacing()->value(), 4);
      QVERIFY(d.GridShown()->isChecked());
      d.GridSpacing()->setValue(24);
      d.GridShown()->setChecked(false);
      d.ResetParameters()->setChecked(true);
      d.Apply();
    }
    QCOMPARE(s.gridSpacing, -24);
    QVERIFY(!s.gridOn);
    QCOMPARE(s.brushSize, 8);
    QCOMPARE(s.fog, 10);
    QCOMPARE(RgbqR(s.foreground), 0);
    QCOMPARE(RgbqR(s.background), 255);
    QCOMPARE(s.cursorStyle, 3);  // the rest is kept

    // The settings file the frame writes holds them.
    f->SaveSettings();
    SettingsRecord back;
    QVERIFY(LoadSettingsFile(Home() / kSettingsFileName, back).opened);
    QCOMPARE(back.gridGap, 24);
    QCOMPARE(back.cursorKind, 3);
    QCOMPARE(back.selectionTone, 1);
    QCOMPARE(back.updateCheck, 0);
    QCOMPARE(back.openAtStart, 1);
    QCOMPARE(back.fog, 10);
    QCOMPARE(back.brushSize, 8);
    QCOMPARE(back.colour2, 0x030201u);
  }

  void cancelStoresNothing() {
    auto f = MakeFrame();
    const int cursor = f->Frame().cursorStyle;
    SettingsDialog d(*f);
    d.CursorGroup()->button(cursor == 1 ? 2 : 1)->setChecked(true);
    d.GridShown()->setChecked(true);
    d.reject();
    QCOMPARE(f->Frame().cursorStyle, cursor);
    QVERIFY(f->Frame().gridSpacing < 0);
  }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
