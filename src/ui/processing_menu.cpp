#include "ui/processing_menu.h"

#include <QApplication>
#include <QComboBox>
#include <QToolBar>
#include <QVariant>
#include <algorithm>
#include <memory>

#include "image/doc.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"
#include "ui/dlg_adjust.h"
#include "ui/dlg_channels.h"
#include "ui/dlg_filter.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

// "필터링설정" on the command bar: the filter bar's apply.
constexpr int kFilterApply = 1505;
constexpr const char* kSelectedFilterProperty = "velmiraSelectedFilter";

DialogRunner& Runner() {
  static DialogRunner runner;
  return runner;
}

int Show(QDialog& d) {
  if (Runner()) return Runner()(d);
  return d.exec();
}

bool IsDirectCommand(int id) {
  switch (id) {
    case cmd::kAutoColour:
    case cmd::kInvert:
    case cmd::kGreyscale:
    case cmd::kDesaturateLayer:
    case cmd::kToTrueColour:
    case cmd::kSplitYuv:
    case cmd::kSplitHsl: return true;
    default: return false;
  }
}

bool IsDialogCommand(int id) {
  switch (id) {
    case cmd::kBrightnessContrast:
    case cmd::kColourOffsets:
    case cmd::kLevels:
    case cmd::kTwoTone:
    case cmd::kSplitRgb:
    case kFilterApply: return true;
    default: return false;
  }
}

void Redraw(CMainFrame& frame) {
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
}

// A preview dialog: kept layer, shown, and either recorded (OK) or put back.
bool RunPreview(CMainFrame& frame, PreviewDialog& d, bool firstPreview) {
  if (!d.Start()) return false;
  if (firstPreview) static_cast<FilterDialog&>(d).FirstPreview();
  Show(d);
  // Anything but a recorded OK leaves the layer as it was: a closed window or a
  // failed command must not keep the last preview without a step.
  if (!d.Recorded()) d.reject();
  Redraw(frame);
  return d.Recorded();
}

bool RunFilterDialog(CMainFrame& frame, CMirvDoc& doc, int index) {
  if (index < 0 || index >= kFilterCount || !FilterList()[size_t(index)].available) return false;
  FilterDialog d(doc, index, &frame);
  return RunPreview(frame, d, true);
}

}  // namespace

void SetDialogRunner(DialogRunner runner) { Runner() = std::move(runner); }

int SelectedFilter(const CMainFrame& frame) {
  const QVariant v = frame.property(kSelectedFilterProperty);
  return v.isValid() ? std::clamp(v.toInt(), 0, kFilterCount - 1) : 0;
}

QComboBox* FilterBarList(const CMainFrame& frame) {
  return frame.findChild<QComboBox*>(QStringLiteral("filterList"));
}

namespace {

void SelectFilter(CMainFrame& frame, int index) {
  frame.setProperty(kSelectedFilterProperty, index);
  if (QComboBox* list = FilterBarList(frame); list && list->currentIndex() != index) list->setCurrentIndex(index);
}

}  // namespace

QComboBox* InstallFilterBar(CMainFrame& frame) {
  if (QComboBox* existing = FilterBarList(frame)) return existing;
  QToolBar* bar = frame.addToolBar(QStringLiteral("filterBar"));
  bar->setObjectName(QStringLiteral("filterBar"));
  auto* list = new QComboBox(bar);
  list->setObjectName(QStringLiteral("filterList"));
  for (const FilterEntry& e : FilterList()) list->addItem(QString::fromUtf8(e.name));
  list->setCurrentIndex(SelectedFilter(frame));
  bar->addWidget(list);
  QObject::connect(list, &QComboBox::currentIndexChanged, &frame, [&frame](int i) {
    if (i < 0) return;
    frame.setProperty(kSelectedFilterProperty, i);
    // The bar's apply follows the entry: enabled only for a filter that is built.
    frame.UpdateCommandUI();
  });
  return list;
}

bool IsProcessingCommand(int id) {
  return IsDirectCommand(id) || IsDialogCommand(id) || id == cmd::kPseudoColours || FilterIndexForCommand(id) >= 0;
}

bool ProcessingCommandEnabled(const CMainFrame& frame, int id) {
  const CMirvDoc* doc = frame.ActiveDocument();
  if (!doc || doc->IsBusy() || !doc->Layers().Active()) return false;
  // Pseudo colours do nothing in this editor; the item stays but cannot be chosen.
  if (id == cmd::kPseudoColours) return false;
  if (id == kFilterApply) return FilterList()[size_t(SelectedFilter(frame))].available;
  if (const int index = FilterIndexForCommand(id); index >= 0) return FilterList()[size_t(index)].available;
  return IsDirectCommand(id) || IsDialogCommand(id);
}

bool RunProcessingCommand(CMainFrame& frame, int id) {
  if (!ProcessingCommandEnabled(frame, id)) return false;
  CMirvDoc& doc = *frame.ActiveDocument();
  if (const int index = FilterIndexForCommand(id); index >= 0) {
    // The menu command picks the filter bar's entry, then the bar applies it.
    SelectFilter(frame, index);
    return RunFilterDialog(frame, doc, index);
  }
  bool done = false;
  switch (id) {
    case kFilterApply: return RunFilterDialog(frame, doc, SelectedFilter(frame));
    case cmd::kBrightnessContrast: {
      BrightnessContrastDialog d(doc, &frame);
      return RunPreview(frame, d, false);
    }
    case cmd::kColourOffsets: {
      ColourDialog d(doc, &frame);
      return RunPreview(frame, d, false);
    }
    case cmd::kLevels: {
      LevelsDialog d(doc, &frame);
      return RunPreview(frame, d, false);
    }
    case cmd::kTwoTone: {
      std::unique_ptr<FilterDialog> d(FilterDialog::TwoTone(doc, &frame));
      return RunPreview(frame, *d, true);
    }
    case cmd::kSplitRgb: {
      ChannelDialog d(doc, &frame);
      if (!d.IsValid()) return false;
      Show(d);
      return true;
    }
    default: break;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  switch (id) {
    case cmd::kAutoColour: done = AutoColour(doc); break;
    case cmd::kInvert: done = Invert(doc); break;
    case cmd::kGreyscale: done = GreyscaleAllLayers(doc); break;
    case cmd::kDesaturateLayer: done = DesaturateActiveLayer(doc); break;
    case cmd::kToTrueColour: done = ToTrueColour(doc); break;
    case cmd::kSplitYuv: done = SplitToDocuments(doc, ChannelSet::Yuv); break;
    case cmd::kSplitHsl: done = SplitToDocuments(doc, ChannelSet::Hsl); break;
    default: break;
  }
  QApplication::restoreOverrideCursor();
  Redraw(frame);
  return done;
}

}  // namespace velmira
