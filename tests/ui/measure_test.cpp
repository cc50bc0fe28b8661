// Measuring in the editor: tools chosen from the menu and the panel and used with the
// mouse in a real view, the calibration dialog with its reference measurement, the
// analysis environment, the export dialog and the measurement files.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "image/doc.h"
#include "measure/calibration.h"
#include "measure/export.h"
#include "measure/measure_commands.h"
#include "test_frame.h"
#include "ui/main_frame.h"
#include "ui/measure_menu.h"
#include "ui/mirv_view.h"

using namespace velmira;
namespace fs = std::filesystem;
namespace mc = measure::cmd;

class MeasureTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;

  CMirvDoc& NewDoc() {
    CMirvDoc* d = frame_->NewDocument(160, 120, 24, "t");
    Q_ASSERT(d);
    return *d;
  }
  CMirvView& View() { return *frame_->ActiveView(); }
  FrameState& F() { return frame_->Frame(); }
  measure::MeasureList& List() { return measure::MeasureOf(*frame_->ActiveDocument()).list; }
  QPoint Client(QPoint p) { return View().PictureOrigin() + p; }
  void ClickAt(int x, int y) {
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client({x, y}));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client({x, y}));
  }
  void DragAt(QPoint a, QPoint b) {
    QWidget* vp = View().viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Client(a));
    const QPoint mid = Client((a + b) / 2);
    QMouseEvent m1(QEvent::MouseMove, mid, vp->mapToGlobal(mid), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &m1);
    QMouseEvent m2(QEvent::MouseMove, Client(b), vp->mapToGlobal(Client(b)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
    QApplication::sendEvent(vp, &m2);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Client(b));
  }
  Rgbq At(int x, int y) {
    LayerStack& L = frame_->ActiveDocument()->Layers();
    const Layer* l = L.Active();
    return L.ReadLayerColor(L.active, x - l->x, l->y + L.header.canvasHeight - 1 - y, nullptr);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, &messages_);
    frame_->resize(900, 600);
    frame_->show();
    SetMeasureWorkingFolder(home_.path().toStdString());
  }
  void cleanupTestCase() { frame_.reset(); }

  void toolsWorkWithTheMouse() {
    CMirvDoc& d = NewDoc();
    F().measure.refX = 3, F().measure.refY = 4, F().measure.unit = "mm", F().measure.realLength = 1;
    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(mc::kSegmentTool)->isEnabled());
    QVERIFY(!frame_->MenuAction(mc::kVectorUndo)->isEnabled());
    QVERIFY(frame_->OnCommand(mc::kSegmentTool));
    QCOMPARE(F().currentTool, mc::kSegmentTool);
    DragAt({10, 10}, {110, 10});
    QCOMPARE(List().Count(), 1);
    QCOMPARE(List().Objects()[0].length, 20.0f);
    QCOMPARE(At(60, 10), F().measure.lineColour);
    // The label is drawn beside the end in the label colour.
    bool labelled = false;
    for (int y = 16; y < 40 && !labelled; ++y)
      for (int x = 116; x < 160 && !labelled; ++x) labelled = At(x, y) == F().measure.labelColour;
    QVERIFY(labelled);

    // A polygon by clicks, registered when another tool is chosen.
    QVERIFY(frame_->OnCommand(mc::kPolygonTool));
    ClickAt(20, 40);
    ClickAt(60, 40);
    ClickAt(60, 80);
    QCOMPARE(List().Count(), 1);
    QVERIFY(frame_->OnCommand(tool::kBrush));
    QCOMPARE(List().Count(), 2);
    QCOMPARE(List().Objects()[1].kind, std::string(measure::kind::kPolygon));

    // Angle by three clicks.
    QVERIFY(frame_->OnCommand(mc::kAngleTool));
    ClickAt(150, 100);
    ClickAt(100, 100);
    ClickAt(100, 50);
    QCOMPARE(List().Count(), 3);
    QVERIFY(std::abs(List().Objects()[2].angle - 90.0f) < 1e-3f);

    // Select the segment, remove it, undo and redo through the menu.
    QVERIFY(frame_->OnCommand(mc::kSelectTool));
    ClickAt(60, 14);
    QCOMPARE(List().Selected(), 0);
    QCOMPARE(At(60, 10), F().measure.highlightColour);
    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(measurecmd::kRemoveObject)->isEnabled());
    QVERIFY(frame_->OnCommand(measurecmd::kRemoveObject));
    QVERIFY(At(60, 10) != F().measure.lineColour && At(60, 10) != F().measure.highlightColour);
    QVERIFY(frame_->OnCommand(mc::kVectorUndo));
    QCOMPARE(List().Count(), 2);
    frame_->UpdateCommandUI();
    QVERIFY(frame_->MenuAction(mc::kVectorRedo)->isEnabled());
    QVERIFY(frame_->OnCommand(mc::kVectorRedo));
    QCOMPARE(List().Count(), 3);
    // Ending continuous measurement: no tool.
    QVERIFY(frame_->OnCommand(mc::kEndContinuous));
    QCOMPARE(F().currentTool, -1);
    (void)d;
  }

  void panelSendsTheSameCommands() {
    NewDoc();
    QVERIFY(frame_->OnCommand(measurecmd::kToolsPanel));
    MicroToolsPanel* p = MicroToolsPanel::Find(*frame_);
    QVERIFY(p && p->isVisible());
    QCOMPARE(p->objectName(), QString("CDlg_MicroTools"));
    auto* circle = p->findChild<QPushButton*>(QStringLiteral("measure_%1").arg(mc::kCircleTool));
    QVERIFY(circle);
    circle->click();
    QCOMPARE(F().currentTool, mc::kCircleTool);
    QVERIFY(circle->isChecked());
    F().measure.refX = 1, F().measure.refY = 0, F().measure.unit = "um", F().measure.realLength = 1;
    DragAt({80, 60}, {83, 64});
    QCOMPARE(List().Count(), 1);
    QCOMPARE(List().Objects()[0].radius, 5.0f);
    p->Refresh();
    QCOMPARE(p->Readout()->text(), QString("5.00 um"));
    auto* undo = p->findChild<QPushButton*>(QStringLiteral("measure_%1").arg(mc::kVectorUndo));
    QVERIFY(undo->isEnabled());
    undo->click();
    QCOMPARE(List().Count(), 0);
    p->hide();
  }

  void calibrationDialogWithAReferenceMeasurement() {
    NewDoc();
    const fs::path file = fs::path(home_.path().toStdString()) / measure::kCalibrationFileName;
    // The dialog asks for a reference: it closes and the segment tool takes over.
    SetMeasureDialogRunner([](QDialog& d) {
      auto* c = qobject_cast<CalibrationDialog*>(&d);
      if (!c) return int(QDialog::Rejected);
      c->RequestReference();
      return int(QDialog::Rejected);
    });
    QVERIFY(!frame_->OnCommand(mc::kCalibration));
    QCOMPARE(F().currentTool, mc::kSegmentTool);
    QVERIFY(F().measure.referenceRequested);
    // The next segment is the reference: the dialog comes back with it.
    QString seenName, seenX, seenY, seenPixels;
    SetMeasureDialogRunner([&](QDialog& d) {
      auto* c = qobject_cast<CalibrationDialog*>(&d);
      if (!c) return int(QDialog::Rejected);
      seenName = c->NameBox()->currentText();
      seenX = c->RefX()->text(), seenY = c->RefY()->text(), seenPixels = c->PixelLength()->text();
      c->NameBox()->setEditText(QString::fromUtf8("my 10 um"));
      c->RealLength()->setText("10");
      return c->Store() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    const int before = List().Count();
    DragAt({10, 55}, {40, 15});  // 30 across, 40 up
    QCOMPARE(List().Count(), before);  // not registered
    QCOMPARE(seenName, QString("새기준"));
    QCOMPARE(seenX, QString("30"));
    QCOMPARE(seenY, QString("40"));
    QCOMPARE(seenPixels, QString("50.00"));
    QVERIFY(messages_.contains("(기준설정중) 50 pixels"));
    QCOMPARE(F().measure.refX, 30);
    QCOMPARE(F().measure.unit, std::string("um"));
    const auto d = measure::ReadCalibrationFile(file);
    QCOMPARE(int(d.entries.size()), 1);
    QVERIFY(d.entries[0].name == u"my 10 um");

    // Bad fields are refused with a message; the 31st entry too.
    SetMeasureDialogRunner([&](QDialog& dlg) {
      auto* c = qobject_cast<CalibrationDialog*>(&dlg);
      c->RealLength()->setText("-1");
      return c->Store() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    messages_.clear();
    QVERIFY(!frame_->OnCommand(mc::kCalibration));
    QCOMPARE(messages_.size(), 1);
    for (int i = 0; i < 29; ++i)
      measure::StoreCalibration(F().measure, {u"c" + std::u16string(1, char16_t(u'A' + i)), "mm", 1, 1, 1, true}, nullptr);
    QVERIFY(measure::WriteCalibrationFile(file, F().measure.calibrations, 0));
    QString added;
    SetMeasureDialogRunner([&](QDialog& dlg) {
      auto* c = qobject_cast<CalibrationDialog*>(&dlg);
      c->AddEntry();
      added = c->NameBox()->currentText();
      c->RefX()->setText("5");
      return c->Store() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    messages_.clear();
    QVERIFY(!frame_->OnCommand(mc::kCalibration));
    QCOMPARE(added, QString("New Unit"));
    QCOMPARE(messages_.value(0), QString::fromUtf8(measure::kMsgCalibrationFull));
    QCOMPARE(int(measure::ReadCalibrationFile(file).entries.size()), 30);
    // Deleting by name.
    SetMeasureDialogRunner([&](QDialog& dlg) {
      auto* c = qobject_cast<CalibrationDialog*>(&dlg);
      c->NameBox()->setEditText(QString::fromUtf8("my 10 um"));
      c->DeleteEntry();
      return int(QDialog::Rejected);
    });
    frame_->OnCommand(mc::kCalibration);
    QCOMPARE(int(measure::ReadCalibrationFile(file).entries.size()), 29);
    SetMeasureDialogRunner({});
  }

  void environmentExportAndFiles() {
    CMirvDoc& d = NewDoc();
    F().measure.refX = 1, F().measure.refY = 0, F().measure.unit = "mm", F().measure.realLength = 1;
    QVERIFY(measure::MeasureSegment(d, {0, 5}, {40, 5}));
    SetMeasureDialogRunner([](QDialog& dlg) {
      auto* a = qobject_cast<AnalysisDialog*>(&dlg);
      if (!a) return int(QDialog::Rejected);
      a->Decimals()->setCurrentIndex(0);
      a->LineWidth()->setValue(3);
      a->Apply();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(mc::kEnvironment));
    QCOMPARE(F().measure.decimals, 1);
    QCOMPARE(F().measure.lineWidth, 3);
    QCOMPARE(At(20, 6), F().measure.lineColour);  // redrawn three pixels wide

    const fs::path folder = home_.path().toStdString();
    SetMeasureDialogRunner([](QDialog& dlg) {
      auto* e = qobject_cast<ExportDialog*>(&dlg);
      if (!e) return int(QDialog::Rejected);
      e->Sheet()->setValue(1);
      e->findChild<QPushButton*>("text")->click();
      e->findChild<QPushButton*>("workbook")->click();
      return int(QDialog::Rejected);
    });
    messages_.clear();
    QVERIFY(frame_->OnCommand(mc::kExport));
    QVERIFY(messages_.contains(QString::fromUtf8(measure::kMsgTextSaved)));
    std::ifstream t(folder / measure::kTextExportName);
    const std::string text((std::istreambuf_iterator<char>(t)), std::istreambuf_iterator<char>());
    QCOMPARE(QString::fromStdString(text), QString("\n 선분 40.00 0.00 0.00 0.00"));
    QVERIFY(fs::exists(folder / measure::kWorkbookName));
    QVERIFY(fs::exists(folder / measure::kCsvName));
    QVERIFY(fs::exists(folder / measure::kWorkbookPictureName));

    // Measurement files through the file dialogs.
    const QString sco = QString::fromStdString((folder / "m.sco").string());
    SetMeasureFileChooser([&](bool, const QString&, const QString& filter) {
      return filter.contains("*.sco") ? sco : QString();
    });
    QVERIFY(frame_->OnCommand(measurecmd::kSaveFile));
    QVERIFY(frame_->OnCommand(mc::kVectorUndo));
    QCOMPARE(List().Count(), 0);
    QVERIFY(frame_->OnCommand(measurecmd::kLoadFile));
    QCOMPARE(List().Count(), 1);
    // A damaged file: a message, nothing changed.
    std::ofstream(folder / "m.sco", std::ios::binary | std::ios::trunc) << "\n 0 0 cut";
    messages_.clear();
    QVERIFY(!frame_->OnCommand(measurecmd::kLoadFile));
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(List().Count(), 1);
    SetMeasureFileChooser({});
    SetMeasureDialogRunner({});

    // The vector measurement layer command is live.
    frame_->UpdateCommandUI();
    const int layers = d.Layers().LayerCount();
    QVERIFY(frame_->OnCommand(mc::kMeasurementLayer));
    QCOMPARE(d.Layers().LayerCount(), layers + 1);
    QCOMPARE(int(d.Layers().Active()->kind), int(kLayerMeasure));
    QCOMPARE(QString::fromStdString(d.History().Label(d.History().Step())), QString("벡터측정레이어추가"));
  }
};

QTEST_MAIN(MeasureTest)
#include "measure_test.moc"
