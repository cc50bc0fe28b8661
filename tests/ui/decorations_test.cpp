// The text tool, the calendar and the photo-frame mode in the editor, worked with
// the mouse and keyboard: a click opens "글자입력", typing and OK make a text layer
// where the click was, a click on that text edits it in place; the calendar dialog's
// spins and preview; the frame panel's buttons, spin and swatches redraw one frame
// layer, and choosing another command ends the mode with one step.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "decorations/calendar.h"
#include "decorations/photo_frame.h"
#include "image/doc.h"
#include "image/text.h"
#include "test_frame.h"
#include "tools/text_layer.h"
#include "tools/tool_ids.h"
#include "ui/decoration_menu.h"
#include "ui/dlg_text.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

using namespace velmira;

namespace {

void ClickOk(QDialog& d) {
  auto* box = d.findChild<QDialogButtonBox*>();
  QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
}
void ClickCancel(QDialog& d) {
  auto* box = d.findChild<QDialogButtonBox*>();
  QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
}

}  // namespace

class DecorationsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;

  CMirvView& View() { return *frame_->ActiveView(); }
  CMirvDoc& Doc() { return *frame_->ActiveDocument(); }
  QString LastLabel() { return QString::fromStdString(Doc().History().Label(Doc().History().Step())); }
  void ClickAt(int x, int y) {
    QWidget* vp = View().viewport();
    const QPoint at = View().PictureOrigin() + QPoint(x, y);
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
  }
  int FrameLayers() {
    int n = 0;
    const LayerStack& st = Doc().Layers();
    for (int s : st.Chain()) n += st.slots[s].name.Get() == Utf8ToUtf16(kFrameLayerName);
    return n;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, &messages_);
    frame_->SetColourPicker([](const QColor&, const QString&) { return std::optional<QColor>(QColor(10, 20, 30)); });
    frame_->resize(1000, 700);
    frame_->show();
  }
  void cleanupTestCase() {
    SetDecorationDialogRunner(nullptr);
    frame_.reset();
  }

  void textToolPlacesAndEditsText() {
    QVERIFY(frame_->NewDocument(300, 200, 24, "t"));
    QVERIFY(frame_->IsCommandEnabled(tool::kText));
    QVERIFY(frame_->OnCommand(tool::kText));
    QCOMPARE(frame_->Frame().currentTool, tool::kText);
    const int layers = Doc().Layers().LayerCount();

    // Cancel, and OK with nothing typed, change nothing.
    int shown = 0;
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      ++shown;
      d.show();
      ClickCancel(d);
      return d.result();
    });
    const int step = Doc().History().Step();
    ClickAt(40, 30);
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      ++shown;
      d.show();
      ClickOk(d);
      return d.result();
    });
    ClickAt(40, 30);
    QCOMPARE(shown, 2);
    QCOMPARE(Doc().Layers().LayerCount(), layers);
    QCOMPARE(Doc().History().Step(), step);

    // Typed text with a line break; the colour button takes the frame's colour dialog.
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      auto& t = static_cast<CDlg_TextInput&>(d);
      d.show();
      [&] { QCOMPARE(t.TextBox()->toPlainText(), QString()); }();
      [&] { QCOMPARE(t.FaceBox()->currentIndex(), 0); }();
      t.SizeBox()->setCurrentText(QStringLiteral("20"));
      QTest::mouseClick(t.ColourButton(), Qt::LeftButton);
      t.TextBox()->setFocus();
      QTest::keyClicks(t.TextBox(), QStringLiteral("Hi 50%"));
      QTest::keyClick(t.TextBox(), Qt::Key_Return);
      t.TextBox()->insertPlainText(QStringLiteral("글자"));  // what an input method delivers
      [&] { QCOMPARE(t.Preview()->text(), QStringLiteral("Hi 50%\n글자")); }();
      ClickOk(d);
      return d.result();
    });
    ClickAt(40, 30);
    const Layer* l = Doc().Layers().Active();
    QVERIFY(l);
    QCOMPARE(int(l->kind), int(kLayerText));
    QCOMPARE(Doc().Layers().LayerCount(), layers + 1);
    QCOMPARE(LastLabel(), QStringLiteral("글자입력"));
    QCOMPARE(QString::fromStdU16String(l->textBuffer), QStringLiteral("Hi 50%\r\n글자"));
    QCOMPARE(l->text.size, 40);
    QCOMPARE(l->textColour, int32_t(MakeRgbq(10, 20, 30)));
    QCOMPARE(l->text.x, 40);
    QCOMPARE(l->text.y, 200 - 1 - 30);
    // Ink lies right of and below the click, none above it.
    int inkBelow = 0, inkAbove = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) {
        const int a = l->alpha[size_t(200 - 1 - y) * size_t(l->width) + size_t(x)];
        if (a && y >= 30 && x >= 40) ++inkBelow;
        if (a && (y < 30 || x < 40)) ++inkAbove;
      }
    QVERIFY(inkBelow > 50);
    QCOMPARE(inkAbove, 0);
    QCOMPARE(frame_->Frame().textFontSize, 40);  // remembered, doubled

    // A click on that text opens it for editing; the place stays.
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      auto& t = static_cast<CDlg_TextInput&>(d);
      d.show();
      [&] { QCOMPARE(t.TextBox()->toPlainText(), QStringLiteral("Hi 50%\n글자")); }();
      [&] { QCOMPARE(t.SizeBox()->currentText(), QStringLiteral("20")); }();
      t.TextBox()->selectAll();
      QTest::keyClicks(t.TextBox(), QStringLiteral("Bye"));
      t.StyleBox()->setCurrentText(QStringLiteral("Bold"));
      ClickOk(d);
      return d.result();
    });
    ClickAt(45, 40);
    l = Doc().Layers().Active();
    QCOMPARE(Doc().Layers().LayerCount(), layers + 1);
    QCOMPARE(LastLabel(), QStringLiteral("글자수정"));
    QCOMPARE(QString::fromStdU16String(l->textBuffer), QStringLiteral("Bye"));
    QCOMPARE(l->text.x, 40);
    QCOMPARE(l->text.y, 200 - 1 - 30);
    QCOMPARE(TextParamsOf(*l).style, std::u16string(u"Bold"));

    // A click away from the text starts another one.
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      auto& t = static_cast<CDlg_TextInput&>(d);
      d.show();
      [&] { QCOMPARE(t.TextBox()->toPlainText(), QString()); }();
      t.TextBox()->insertPlainText(QStringLiteral("둘"));
      ClickOk(d);
      return d.result();
    });
    ClickAt(200, 150);
    QCOMPARE(Doc().Layers().LayerCount(), layers + 2);
    QCOMPARE(LastLabel(), QStringLiteral("글자입력"));
  }

  void textBoxHoldsAtMost700Characters() {
    TextParams p;
    CDlg_TextInput d(p, 300, 200, nullptr);
    d.show();
    d.TextBox()->setPlainText(QString(720, QChar(u'가')));
    QCOMPARE(d.TextBox()->toPlainText().size(), 700);
  }

  void calendarDialogFromTheMenu() {
    QVERIFY(frame_->NewDocument(400, 300, 24, "c"));
    QVERIFY(frame_->IsCommandEnabled(cmd::kCalendar));
    frame_->UpdateCommandUI();
    QAction* button = frame_->BarAction(cmd::kCalendar);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    QVERIFY(frame_->MenuAction(cmd::kCalendar)->isEnabled());
    QVERIFY(frame_->MenuAction(cmd::kPhotoFrame)->isEnabled());
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      auto& c = static_cast<CDlg_Calendar&>(d);
      d.show();
      c.YearBox()->setValue(2025);
      c.MonthBox()->setValue(12);
      c.MonthBox()->stepBy(1);  // wraps to January
      [&] { QCOMPARE(c.MonthBox()->value(), 1); }();
      c.MonthBox()->stepBy(-1);
      c.MonthBox()->stepBy(-9);
      [&] { QCOMPARE(c.MonthBox()->value(), 3); }();
      [&] { QCOMPARE(c.Preview()->toPlainText(), QString::fromStdU16String(CalendarPreview(2025, 3)).remove('\r')); }();
      [&] { QVERIFY(c.Preview()->isReadOnly()); }();
      c.YearBox()->setValue(1);
      c.YearBox()->stepBy(-1);  // stops at 1
      [&] { QCOMPARE(c.YearBox()->value(), 1); }();
      c.YearBox()->setValue(2025);
      QTest::mouseClick(c.ColourButton(), Qt::LeftButton);
      c.SizeBox()->setCurrentText(QStringLiteral("12"));
      ClickOk(d);
      return d.result();
    });
    QVERIFY(frame_->OnCommand(cmd::kCalendar));
    const Layer* l = Doc().Layers().Active();
    QCOMPARE(QString::fromStdU16String(l->name.Get()), QStringLiteral(" [달력] 3월"));
    QCOMPARE(LastLabel(), QStringLiteral("[달력]"));
    QCOMPARE(frame_->Frame().calendarColour, MakeRgbq(10, 20, 30));
    QCOMPARE(Doc().Layers().header.canvasWidth, 400);
    // Cancel adds nothing.
    const int layers = Doc().Layers().LayerCount();
    SetDecorationDialogRunner([&](QDialog& d) -> int {
      d.show();
      ClickCancel(d);
      return d.result();
    });
    frame_->OnCommand(cmd::kCalendar);
    QCOMPARE(Doc().Layers().LayerCount(), layers);
  }

  void photoFramePanelRedrawsOneFrame() {
    QVERIFY(frame_->NewDocument(120, 90, 24, "f"));
    const int step = Doc().History().Step();
    QVERIFY(frame_->OnCommand(cmd::kPhotoFrame));
    CDlg_PhotoFrame& panel = PhotoFramePanel(*frame_);
    QVERIFY(panel.isVisible());
    QVERIFY(panel.InMode());
    QCOMPARE(panel.size(), QSize(225, 80));
    QCOMPARE(panel.Thickness()->value(), 30);
    QCOMPARE(FrameLayers(), 1);
    QCOMPARE(Doc().History().Step(), step);

    QTest::mouseClick(panel.StyleButton(3), Qt::LeftButton);
    QCOMPARE(panel.Params().style, 3);
    // Typing 2 and pressing the spin button leaves the minimum, 5.
    panel.Thickness()->selectAll();
    QTest::keyClicks(panel.Thickness(), QStringLiteral("2"));
    panel.Thickness()->stepUp();
    QCOMPARE(panel.Thickness()->value(), 5);
    QCOMPARE(panel.Params().thickness, 5);
    QTest::mouseClick(panel.FirstColour(), Qt::LeftButton);
    QCOMPARE(panel.Params().first, MakeRgbq(10, 20, 30));
    QTest::mouseClick(panel.StyleButton(0), Qt::LeftButton);
    QCOMPARE(FrameLayers(), 1);
    // Ring 4 of five: 0.8 of the first colour; ring 5 is outside the frame.
    const LayerStack& st = Doc().Layers();
    const int slot = st.active;
    QCOMPARE(st.ReadLayerColor(slot, 4, 45, nullptr), MakeRgbq(8, 16, 24));
    QCOMPARE(st.LayerAlpha(slot, 5, 45), 0);
    QCOMPARE(Doc().History().Step(), step);

    // Another command ends the mode with one step.
    QVERIFY(frame_->OnCommand(tool::kRectSelect));
    QVERIFY(!panel.isVisible());
    QVERIFY(!panel.InMode());
    QCOMPARE(Doc().History().Step(), step + 1);
    QCOMPARE(LastLabel(), QStringLiteral("사진틀 넣기"));
    // A second visit replaces the frame instead of adding one.
    QVERIFY(frame_->OnCommand(cmd::kPhotoFrame));
    QTest::mouseClick(panel.StyleButton(1), Qt::LeftButton);
    QCOMPARE(FrameLayers(), 1);
    panel.close();
    QCOMPARE(Doc().History().Step(), step + 2);
  }
};

QTEST_MAIN(DecorationsTest)
#include "decorations_test.moc"
