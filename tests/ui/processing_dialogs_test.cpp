// The tone, colour, filter and channel dialogs and the menu commands that open
// them: previews start from the kept layer, Cancel brings it back byte for byte, OK
// records one step with the command's label, and the filter rows come from the
// parameter table.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "image/doc.h"
#include "processing/adjust.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"
#include "ui/dlg_adjust.h"
#include "ui/dlg_channels.h"
#include "ui/dlg_filter.h"
#include "ui/main_frame.h"
#include "test_frame.h"
#include "ui/processing_menu.h"

using namespace velmira;
namespace fs = std::filesystem;

namespace {

const fs::path& kShare = testing_support::ShippedFiles();

std::vector<uint8_t> Pixels(CMirvDoc& d) { return d.Layers().Active()->pixels; }

Rgbq At(CMirvDoc& d, int x, int y) {
  LayerStack& L = d.Layers();
  return L.ReadLayerColor(L.active, x, y, d.ViewImage());
}

// A picture with every pixel different: red across, green down, blue mixed.
void Paint(CMirvDoc& d) {
  LayerStack& L = d.Layers();
  const Layer* a = L.Active();
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x)
      L.WriteLayerColor(L.active, x, y, MakeRgbq(uint8_t(20 + x * 20), uint8_t(30 + y * 25), uint8_t((x * 37 + y * 11) % 256)));
  // A step of its own, so that undoing a dialog's step comes back to this picture.
  d.RecordStep("paint", kStepPixels, L.active);
}

void Fill(CMirvDoc& d, Rgbq c) {
  LayerStack& L = d.Layers();
  const Layer* a = L.Active();
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x) L.WriteLayerColor(L.active, x, y, c);
  d.CommitLayer(L.active);
}

QString Caption(const FilterParam& p) {
  return QStringLiteral("%1(%2‥%3)").arg(QString::fromUtf8(p.label)).arg(p.min).arg(p.max);
}

}  // namespace

class ProcessingDialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<CMainFrame> frame_;
  QStringList messages_;

  // A fresh painted 10 × 8 document in the frame.
  CMirvDoc& NewDoc() {
    CMirvDoc* d = frame_->NewDocument(10, 8, 24, "t");
    Q_ASSERT(d);
    Paint(*d);
    return *d;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(home_.isValid());
    frame_ = testing_support::StartTestFrame(home_, &messages_);
  }
  void cleanup() { SetDialogRunner({}); }
  void cleanupTestCase() { frame_.reset(); }

  void brightnessContrastPreviewsCancelsAndRecords() {
    CMirvDoc& d = NewDoc();
    const std::vector<uint8_t> before = Pixels(d);
    const int step = d.History().Step();
    const Rgbq p = At(d, 3, 2);
    {
      BrightnessContrastDialog dlg(d);
      QCOMPARE(dlg.windowTitle(), QString("명도·대비 조정"));
      QCOMPARE(dlg.BrightnessSlider()->minimum(), -255);
      QCOMPARE(dlg.BrightnessSlider()->maximum(), 255);
      QCOMPARE(dlg.ContrastSlider()->pageStep(), 10);
      QCOMPARE(dlg.ContrastSlider()->tickInterval(), 20);
      QVERIFY(dlg.Start());
      dlg.BrightnessSlider()->setValue(40);
      QCOMPARE(dlg.BrightnessEdit()->text(), QString("40"));
      QCOMPARE(int(RgbqR(At(d, 3, 2))), std::min(255, int(RgbqR(p)) + 40));
      // A second change starts from the kept layer, not from the first preview.
      dlg.BrightnessSlider()->setValue(10);
      QCOMPARE(int(RgbqG(At(d, 3, 2))), int(RgbqG(p)) + 10);
      // Typing moves the slider and previews too.
      dlg.ContrastEdit()->clear();
      QTest::keyClicks(dlg.ContrastEdit(), "-255");
      QCOMPARE(dlg.ContrastSlider()->value(), -255);
      QCOMPARE(At(d, 0, 0) & 0xFFFFFF, MakeRgbq(138, 138, 138));
      dlg.reject();
    }
    QVERIFY(Pixels(d) == before);
    QCOMPARE(d.History().Step(), step);

    BrightnessContrastDialog ok(d);
    QVERIFY(ok.Start());
    ok.ContrastSlider()->setValue(255);
    const std::vector<uint8_t> previewed = Pixels(d);
    QVERIFY(previewed != before);
    ok.accept();
    QVERIFY(ok.Recorded());
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(QString::fromStdString(d.History().Label(step + 1)), QString("명도·대비 조절"));
    QVERIFY(Pixels(d) == previewed);
    // Undo goes back to the picture before the dialog.
    QVERIFY(d.Undo());
    QVERIFY(Pixels(d) == before);
  }

  void palettePicturesComeBackWhole() {
    // A palette picture is adjusted through its palette: Cancel must bring that back
    // too, and a second preview must not build on the first.
    CMirvDoc* d = &NewDoc();
    QVERIFY(d->ColourTo8Bit());
    QCOMPARE(int(d->Layers().header.bitsPerPixel), 8);
    // The conversion records no step of its own; one here makes the palette picture
    // the committed state the dialog starts from.
    d->RecordStep("8bit", kStepFlipAll, -1);
    const std::vector<uint8_t> palette = d->Layers().palette;
    const std::vector<uint8_t> pixels = Pixels(*d);
    QVERIFY(!palette.empty());
    BrightnessContrastDialog dlg(*d);
    QVERIFY(dlg.Start());
    dlg.BrightnessSlider()->setValue(-60);
    const std::vector<uint8_t> once = d->Layers().palette;
    QVERIFY(once != palette);
    dlg.BrightnessSlider()->setValue(-30);
    dlg.BrightnessSlider()->setValue(-60);
    QVERIFY(d->Layers().palette == once);
    dlg.reject();
    QVERIFY(d->Layers().palette == palette);
    QVERIFY(Pixels(*d) == pixels);
  }

  void colourDialogModes() {
    CMirvDoc& d = NewDoc();
    const std::vector<uint8_t> before = Pixels(d);
    const Rgbq p = At(d, 1, 1);
    ColourDialog dlg(d);
    QCOMPARE(dlg.Caption(0)->text(), QString("빨강(R)"));
    QCOMPARE(dlg.Caption(1)->text(), QString("녹색(G)"));
    QCOMPARE(dlg.Caption(2)->text(), QString("청색(B)"));
    QVERIFY(dlg.RgbMode()->isChecked());
    QCOMPARE(dlg.Slider(2)->minimum(), -99);
    QCOMPARE(dlg.Slider(2)->pageStep(), 5);
    QVERIFY(dlg.Start());
    dlg.Slider(0)->setValue(5);
    dlg.Slider(2)->setValue(-7);
    QCOMPARE(At(d, 1, 1) & 0xFFFFFF, MakeRgbq(RgbqR(p) + 5, RgbqG(p), RgbqB(p) - 7));
    // The second mode starts from zero and drives red and green only.
    dlg.HsMode()->setChecked(true);
    for (int i = 0; i < 3; ++i) QCOMPARE(dlg.Slider(i)->value(), 0);
    QVERIFY(Pixels(d) == before);
    QCOMPARE(dlg.Caption(0)->text(), QString("색상(H)"));
    QCOMPARE(dlg.Caption(1)->text(), QString("채도(S)"));
    QVERIFY(dlg.Slider(2)->isHidden());
    QVERIFY(dlg.Edit(2)->isHidden());
    dlg.Slider(0)->setValue(9);
    dlg.Slider(1)->setValue(-3);
    int o[3];
    dlg.Offsets(o);
    QCOMPARE(o[0], 9);
    QCOMPARE(o[1], -3);
    QCOMPARE(o[2], 0);
    QCOMPARE(At(d, 1, 1) & 0xFFFFFF, MakeRgbq(RgbqR(p) + 9, RgbqG(p) - 3, RgbqB(p)));
    const std::vector<uint8_t> previewed = Pixels(d);
    const int step = d.History().Step();
    dlg.accept();
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(QString::fromStdString(d.History().Label(step + 1)), QString("색상조정"));
    QVERIFY(Pixels(d) == previewed);
    // Back in the first mode the third caption is the ordinary one.
    ColourDialog again(d);
    again.HsMode()->setChecked(true);
    again.RgbMode()->setChecked(true);
    QCOMPARE(again.Caption(2)->text(), QString("파랑(B)"));
    QVERIFY(!again.Slider(2)->isHidden());
  }

  void levelsDialogMarkersAndHistogram() {
    CMirvDoc& d = NewDoc();
    const std::vector<uint8_t> before = Pixels(d);
    LevelsDialog dlg(d);
    QCOMPARE(dlg.SelectedChannel(), 0);
    HistogramTables counts;
    QVERIFY(ComputeHistogram(d.Layers(), d.Layers().active, counts));
    const LevelRanges r = FindLevelRanges(counts, 10, 8);
    QCOMPARE(dlg.RangeLabel()->text(), QStringLiteral("%1 ~ %2").arg(r.low[0]).arg(r.high[0]));
    dlg.Channel(1)->setChecked(true);
    QCOMPARE(dlg.RangeLabel()->text(), QStringLiteral("%1 ~ %2").arg(r.low[1]).arg(r.high[1]));
    QCOMPARE(dlg.LargestLabel()->text(), QString::number(*std::max_element(counts[1], counts[1] + 256)));

    // The nearer marker moves; a move that would cross the other is undone.
    HistogramBox* box = dlg.Box();
    box->MoveNearer(60);
    QCOMPARE(box->Low(), 60);
    QCOMPARE(box->High(), 255);
    box->MoveNearer(200);
    QCOMPARE(box->High(), 200);
    box->MoveNearer(300);
    QCOMPARE(box->High(), 255);
    QVERIFY(dlg.Start());
    // Releasing the mouse in the strip applies the stretch of the red channel.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10 + 200, 150));
    QCOMPARE(box->High(), 200);
    QVERIFY(Pixels(d) != before);
    const Rgbq p = At(d, 9, 0);
    // Red 200 at x = 9 maps to 255 with low 60, high 200; green untouched.
    QCOMPARE(int(RgbqR(p)), 255);
    QCOMPARE(int(RgbqG(p)), 30);
    // A click outside the strip changes nothing.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(100, 60));
    QCOMPARE(box->Low(), 60);
    const int step = d.History().Step();
    dlg.reject();
    QVERIFY(Pixels(d) == before);
    QCOMPARE(d.History().Step(), step);

    // A uniform layer has nothing to stretch: OK records nothing and keeps it.
    Fill(d, MakeRgbq(90, 90, 90));
    const std::vector<uint8_t> flat = Pixels(d);
    const int flatStep = d.History().Step();
    LevelsDialog uniform(d);
    QVERIFY(uniform.Start());
    uniform.ApplyMarkers();
    uniform.accept();
    QVERIFY(!uniform.Recorded());
    QCOMPARE(d.History().Step(), flatStep);
    QVERIFY(Pixels(d) == flat);
  }

  void filterRowsComeFromTheTable() {
    CMirvDoc& d = NewDoc();
    for (int i = 0; i < kFilterCount; ++i) {
      const FilterParams& p = ParametersFor(FilterList()[size_t(i)].name);
      FilterDialog dlg(d, i);
      QCOMPARE(dlg.FilterName(), QString::fromUtf8(FilterList()[size_t(i)].name));
      QCOMPARE(dlg.RowCount(), p.count);
      QCOMPARE(dlg.width(), FilterDialogWidth(p.count));
      for (int k = 0; k < p.count; ++k) {
        const FilterParam& fp = p.p[k];
        const SliderRow& row = dlg.Row(k);
        QCOMPARE(row.caption->text(), Caption(fp));
        QCOMPARE(row.slider->minimum(), fp.min);
        QCOMPARE(row.slider->maximum(), fp.max);
        QCOMPARE(row.slider->tickInterval(), std::max(1, (fp.max - fp.min) / 20));
        QCOMPARE(row.slider->pageStep(), (fp.max - fp.min) / 10 + 1);
        QCOMPARE(row.slider->value(), std::max(fp.def, fp.min));
        QCOMPARE(dlg.Values()[k], fp.def);
      }
    }
    // "선분길이" keeps its default 1 below the slider's 3 until the slider moves.
    FilterDialog stamp(d, FilterIndexByName("찍어붙이기"));
    QCOMPARE(stamp.Row(1).slider->value(), 3);
    QCOMPARE(stamp.Values()[1], 1);
    QCOMPARE(stamp.Row(1).edit->text(), QString("1"));
    stamp.Row(1).slider->setValue(4);
    QCOMPARE(stamp.Values()[1], 4);
    QCOMPARE(stamp.Row(1).edit->text(), QString("4"));
  }

  void filterDialogPreviewsFromTheKeptLayer() {
    CMirvDoc& d = NewDoc();
    const std::vector<uint8_t> before = Pixels(d);
    const int step = d.History().Step();
    {
      FilterDialog dlg(d, kFilterBlur);
      QVERIFY(dlg.Start());
      dlg.FirstPreview();
      QVERIFY(Pixels(d) != before);
      // Size 1 is the pixel itself: back to the original, not a blur of the blur.
      dlg.Row(0).slider->setValue(1);
      QVERIFY(Pixels(d) == before);
      dlg.Row(0).slider->setValue(3);
      dlg.reject();
    }
    QVERIFY(Pixels(d) == before);
    QCOMPARE(d.History().Step(), step);

    FilterDialog dlg(d, kFilterBlur);
    QVERIFY(dlg.Start());
    dlg.FirstPreview();
    dlg.Row(0).edit->clear();
    QTest::keyClicks(dlg.Row(0).edit, "2");
    QCOMPARE(dlg.Values()[0], 2);
    const std::vector<uint8_t> previewed = Pixels(d);
    dlg.accept();
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(QString::fromStdString(d.History().Label(step + 1)), QString("흐리게"));
    QVERIFY(Pixels(d) == previewed);
    // The same blur straight from the command gives the same bytes.
    QVERIFY(d.Undo());
    const int two[3] = {2, -1, -1};
    QVERIFY(ApplyFilter(d, kFilterBlur, two));
    QVERIFY(Pixels(d) == previewed);
  }

  // A long preview shows its progress and stops at once on Esc or Cancel; a control
  // moved while it runs starts it again with the new value.
  void filterPreviewShowsProgressAndStopsOnEscapeOrCancel() {
    CMirvDoc* big = frame_->NewDocument(1100, 1000, 24, "big");
    QVERIFY(big);
    Paint(*big);
    const std::vector<uint8_t> before = Pixels(*big);
    const int step = big->History().Step();
    for (const bool escape : {true, false}) {
      FilterDialog dlg(*big, kFilterBlur);
      dlg.show();
      QVERIFY(dlg.Start());
      QVERIFY(dlg.Progress());
      int highest = 0, seen = 0;
      bool stopped = false;
      connect(dlg.Progress(), &QProgressBar::valueChanged, &dlg, [&](int v) {
        highest = std::max(highest, v);
        seen += v > 0;
        if (v <= 0 || stopped) return;
        stopped = true;
        QVERIFY(dlg.PreviewRunning());
        if (escape) {
          QTest::keyClick(&dlg, Qt::Key_Escape);
        } else {
          auto* box = dlg.findChild<QDialogButtonBox*>();
          QVERIFY(box);
          QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        }
      });
      dlg.Row(0).slider->setValue(9);
      QVERIFY(stopped);
      QVERIFY(seen >= 1);
      QVERIFY2(highest < 100, "the filter ran to its end after Esc");
      QVERIFY(!dlg.PreviewRunning());
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QVERIFY(!dlg.isVisible());
      QCOMPARE(dlg.Progress()->value(), 0);
      QVERIFY(Pixels(*big) == before);
      QCOMPARE(big->History().Step(), step);
    }

    // A control moved mid-run: the preview shown is the one for the new value.
    std::vector<uint8_t> expected;
    {
      FilterDialog ref(*big, kFilterBlur);
      QVERIFY(ref.Start());
      ref.Row(0).slider->setValue(5);
      expected = Pixels(*big);
      ref.reject();
    }
    QVERIFY(Pixels(*big) == before);
    FilterDialog dlg(*big, kFilterBlur);
    dlg.show();
    QVERIFY(dlg.Start());
    bool moved = false;
    connect(dlg.Progress(), &QProgressBar::valueChanged, &dlg, [&](int v) {
      if (v <= 0 || moved) return;
      moved = true;
      dlg.Row(0).slider->setValue(5);
    });
    dlg.Row(0).slider->setValue(9);
    QVERIFY(moved);
    QVERIFY(!dlg.PreviewRunning());
    QVERIFY(Pixels(*big) == expected);
    dlg.reject();
    QVERIFY(Pixels(*big) == before);
  }

  void channelSplitIsReachableFromTheImageMenu() {
    CMirvDoc& d = NewDoc();
    frame_->UpdateCommandUI();
    const struct {
      int id;
      const char* label;
    } items[] = {{1441, "RGB구분"}, {1442, "YUV구분"}, {1443, "HSL구분"}};
    for (const auto& it : items) {
      QAction* a = frame_->MenuAction(it.id);
      QVERIFY2(a, qPrintable(QString::number(it.id)));
      QCOMPARE(a->text(), QString::fromUtf8(it.label));
      QVERIFY(a->isEnabled());
      bool inImageMenu = false;
      for (QObject* o : a->associatedObjects())
        if (auto* m = qobject_cast<QMenu*>(o); m && m->title() == QString("영상(&I)")) inImageMenu = true;
      QVERIFY2(inImageMenu, it.label);
    }
    // The menu item opens the RGB dialog on the active layer and changes nothing.
    const std::vector<uint8_t> kept = Pixels(d);
    bool opened = false;
    SetDialogRunner([&](QDialog& dlg) {
      auto* c = qobject_cast<ChannelDialog*>(&dlg);
      opened = c && c->IsValid() && c->Plane(0).width() == 10;
      return int(QDialog::Rejected);
    });
    frame_->MenuAction(1441)->trigger();
    QVERIFY(opened);
    QVERIFY(Pixels(d) == kept);
    // YUV from the menu opens three channel documents.
    const size_t docs = frame_->Documents().size();
    frame_->MenuAction(1442)->trigger();
    QCOMPARE(frame_->Documents().size(), docs + 3);
  }

  void twoToneMethodsAndTextLayers() {
    CMirvDoc& d = NewDoc();
    const std::vector<uint8_t> before = Pixels(d);
    {
      std::unique_ptr<FilterDialog> dlg(FilterDialog::TwoTone(d));
      QCOMPARE(dlg->FilterName(), QString("임계치변환"));
      QCOMPARE(dlg->Methods()->count(), 3);
      QCOMPARE(dlg->Methods()->itemText(0), QString("FS 디더링"));
      QCOMPARE(dlg->Methods()->itemText(2), QString("절대변환"));
      QVERIFY(dlg->Start());
      dlg->FirstPreview();
      dlg->Methods()->setCurrentIndex(2);
      QCOMPARE(dlg->Row(0).caption->text(), QString("이진임계치(0‥255)"));
      QCOMPARE(dlg->Values()[0], 128);
      dlg->Methods()->setCurrentIndex(1);
      QCOMPARE(dlg->Values()[0], 75);
      const Rgbq p = At(d, 4, 4);
      QVERIFY((p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF);
      dlg->reject();
    }
    QVERIFY(Pixels(d) == before);
    // The method chosen last is where the next dialog starts.
    std::unique_ptr<FilterDialog> next(FilterDialog::TwoTone(d));
    QCOMPARE(next->Methods()->currentIndex(), 1);
    QCOMPARE(FilterDialog::RememberedMethod(), 1);
    QVERIFY(next->Start());
    const int step = d.History().Step();
    next->accept();
    QCOMPARE(d.History().Step(), step + 1);
    QCOMPARE(QString::fromStdString(d.History().Label(step + 1)), QString("임계치변환"));

    // A text layer is refused with its message and nothing is kept.
    Layer* a = d.Layers().Active();
    const uint8_t kind = a->kind;
    a->kind = kLayerText;
    messages_.clear();
    BrightnessContrastDialog refused(d);
    QVERIFY(!refused.Start());
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].startsWith(QString("현재는 [Text:글] 레이어. \n")));
    QVERIFY(messages_[0].endsWith(QString("레이어창에서 다른 레이어 선택")));
    QCOMPARE(QString::fromUtf8(kMsgTextLayer), QString("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택"));
    a->kind = kind;
  }

  void menuCommandsAreEnabledAndRoute() {
    {
      // Nothing open: nothing of these menus can be chosen.
      QTemporaryDir other;
      CMainFrame empty(fs::path(other.path().toStdString()), kShare);
      empty.UpdateCommandUI();
      for (int id : {1450, 1503, 2533, 2076, 1413, 2113, 1455, 1453})
        QVERIFY2(!empty.MenuAction(id)->isEnabled(), qPrintable(QString::number(id)));
      QVERIFY(!empty.OnCommand(1413));
    }

    // The filter bar lists every filter in order and starts on the first.
    QComboBox* bar = FilterBarList(*frame_);
    QVERIFY(bar);
    QCOMPARE(bar->count(), kFilterCount);
    for (int i = 0; i < kFilterCount; ++i) QCOMPARE(bar->itemText(i), QString::fromUtf8(FilterList()[size_t(i)].name));
    QCOMPARE(bar->currentIndex(), 0);
    QCOMPARE(SelectedFilter(*frame_), 0);

    CMirvDoc& d = NewDoc();
    frame_->UpdateCommandUI();
    for (int id : {1450, 1503, 2533, 2076, 1413, 4224, 1414, 2093, 2113, 1455, 1453, 1457, 1460, 1454, 1456, 1469,
                   1470, 1473, 1452})
      QVERIFY2(frame_->MenuAction(id)->isEnabled(), qPrintable(QString::number(id)));
    for (int id : {1450, 1503, 1505}) QVERIFY(frame_->BarAction(id)->isEnabled());
    // The painterly filters are live like the others; lens and bath glass have no
    // menu item and are reached through the filter bar's list.
    for (int id : {1461, 1462, 1463, 1465, 1471, 1472, 1466, 1467, 1468, 2106})
      QVERIFY2(frame_->MenuAction(id)->isEnabled(), qPrintable(QString::number(id)));
    for (int id : {3479, 3477}) QVERIFY2(frame_->IsCommandEnabled(id), qPrintable(QString::number(id)));

    // Commands without a dialog record their step straight away.
    const std::vector<uint8_t> before = Pixels(d);
    int step = d.History().Step();
    QVERIFY(frame_->OnCommand(1413));
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("반전변환"));
    QCOMPARE(At(d, 0, 0) & 0xFFFFFF, (~(MakeRgbq(20, 30, 0))) & 0xFFFFFF);
    QVERIFY(frame_->OnCommand(1413));
    QVERIFY(Pixels(d) == before);
    ++step;
    QVERIFY(frame_->OnCommand(4224));
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("레이어 채도 감소"));

    // The menu item "강조" opens edge emphasis and selects its entry.
    QString opened;
    SetDialogRunner([&](QDialog& dlg) {
      auto* f = qobject_cast<FilterDialog*>(&dlg);
      opened = f ? f->FilterName() : QString();
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1455));
    QCOMPARE(opened, QString("경계강조"));
    QCOMPARE(SelectedFilter(*frame_), 0);
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("경계강조"));
    QVERIFY(frame_->OnCommand(1452));
    QCOMPARE(opened, QString("엠보스"));
    QCOMPARE(SelectedFilter(*frame_), int(kFilterEmboss));
    ++step;
    // The bar's filter button opens the entry selected last.
    QComboBox* list = FilterBarList(*frame_);
    QVERIFY(list);
    QCOMPARE(list->currentIndex(), int(kFilterEmboss));
    QVERIFY(frame_->OnCommand(1505));
    QCOMPARE(opened, QString("엠보스"));
    ++step;
    // Choosing in the bar's list selects without opening.
    list->setCurrentIndex(kFilterStamp);
    QVERIFY(frame_->IsCommandEnabled(1505));
    list->setCurrentIndex(kFilterRegionFill);
    QVERIFY(frame_->BarAction(1505)->isEnabled());
    QVERIFY(frame_->OnCommand(1505));
    QCOMPARE(opened, QString("영역확장"));
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("영역확장"));
    // A painterly filter through its menu item: the dialog opens on it and OK records it.
    QVERIFY(frame_->OnCommand(1468));
    QCOMPARE(opened, QString("유리성에"));
    QCOMPARE(SelectedFilter(*frame_), int(kFilterFrostedGlass));
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("유리성에"));

    // Cancel from a menu-opened dialog: nothing recorded, the layer as it was.
    const std::vector<uint8_t> kept = Pixels(d);
    SetDialogRunner([&](QDialog& dlg) {
      auto* f = qobject_cast<FilterDialog*>(&dlg);
      if (f && f->RowCount() > 0) f->Row(0).slider->setValue(f->Row(0).slider->maximum());
      dlg.reject();
      return int(QDialog::Rejected);
    });
    QVERIFY(!frame_->OnCommand(1453));
    QCOMPARE(SelectedFilter(*frame_), int(kFilterBlur));
    QVERIFY(Pixels(d) == kept);
    QCOMPARE(d.History().Step(), step);

    // A dialog left without an answer counts as Cancel.
    SetDialogRunner([&](QDialog& dlg) {
      if (auto* b = qobject_cast<BrightnessContrastDialog*>(&dlg)) b->BrightnessSlider()->setValue(100);
      return int(QDialog::Rejected);
    });
    QVERIFY(!frame_->OnCommand(1450));
    QVERIFY(Pixels(d) == kept);

    SetDialogRunner([&](QDialog& dlg) {
      if (auto* b = qobject_cast<BrightnessContrastDialog*>(&dlg)) b->BrightnessSlider()->setValue(100);
      dlg.accept();
      return int(QDialog::Accepted);
    });
    QVERIFY(frame_->OnCommand(1450));
    QCOMPARE(QString::fromStdString(d.History().Label(++step)), QString("명도·대비 조절"));

    // The RGB split shows the planes and changes nothing.
    const std::vector<uint8_t> shown = Pixels(d);
    const Rgbq p = At(d, 2, 5);
    bool sawPlanes = false;
    SetDialogRunner([&](QDialog& dlg) {
      auto* c = qobject_cast<ChannelDialog*>(&dlg);
      if (c && c->IsValid()) {
        const int top = c->Plane(0).height() - 1 - 5;  // the layer's rows run bottom first
        sawPlanes = c->Plane(0).pixelColor(2, top).red() == int(RgbqR(p)) &&
                    c->Plane(1).pixelColor(2, top).red() == int(RgbqG(p)) &&
                    c->Plane(2).pixelColor(2, top).red() == int(RgbqB(p));
      }
      return int(QDialog::Rejected);
    });
    QVERIFY(frame_->OnCommand(cmd::kSplitRgb));
    QVERIFY(sawPlanes);
    QVERIFY(Pixels(d) == shown);
    QCOMPARE(d.History().Step(), step);

    // YUV and HSL open three documents each.
    const size_t docs = frame_->Documents().size();
    QVERIFY(frame_->OnCommand(cmd::kSplitYuv));
    QCOMPARE(frame_->Documents().size(), docs + 3);
    QVERIFY(!frame_->IsCommandEnabled(cmd::kPseudoColours));
  }
};

QTEST_MAIN(ProcessingDialogsTest)
#include "processing_dialogs_test.moc"
