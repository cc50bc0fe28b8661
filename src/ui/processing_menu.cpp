#include "ui/processing_menu.h"
#include "app/language.h"

#include <QApplication>
#include <QComboBox>
#include <QToolBar>
#include <QVariant>
#include <algorithm>
#include <memory>

#include "image/doc.h"
#include "processing/doc_commands.h"
#include "processing/filter_table.h"
#include "ui/command_fronts.h"
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

void Redraw(CMainFrame& frame) {
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
}

// A preview dialog: kept layer, shown, and either recorded (OK) or put back.
bool RunPreview(CMainFrame& frame, PreviewDialog& d, bool firstPreview) {
  if (!d.Start()) return false;
  if (firstPreview) static_cast<FilterDialog&>(d).PreviewWhenShown();
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
  for (const FilterEntry& e : FilterList()) list->addItem(Tr(e.name));
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

void RegisterProcessingFronts(CommandFronts& f) {
  auto dialog = [&f](int id, std::function<bool(CMainFrame&, CMirvDoc&)> fn,
                     std::function<bool(const CMainFrame&)> enabled = {}) {
    f.Add(id, CommandFront{std::move(enabled), [fn](CMainFrame& frame) { return fn(frame, *frame.ActiveDocument()); }});
  };
  dialog(cmd::kBrightnessContrast, [](CMainFrame& frame, CMirvDoc& doc) {
    BrightnessContrastDialog d(doc, &frame);
    return RunPreview(frame, d, false);
  });
  dialog(cmd::kColourOffsets, [](CMainFrame& frame, CMirvDoc& doc) {
    ColourDialog d(doc, &frame);
    return RunPreview(frame, d, false);
  });
  dialog(cmd::kLevels, [](CMainFrame& frame, CMirvDoc& doc) {
    LevelsDialog d(doc, &frame);
    return RunPreview(frame, d, false);
  });
  dialog(cmd::kTwoTone, [](CMainFrame& frame, CMirvDoc& doc) {
    std::unique_ptr<FilterDialog> d(FilterDialog::TwoTone(doc, &frame));
    return RunPreview(frame, *d, true);
  });
  dialog(cmd::kSplitRgb, [](CMainFrame& frame, CMirvDoc& doc) {
    ChannelDialog d(doc, &frame);
    if (!d.IsValid()) return false;
    Show(d);
    return true;
  });
  // The bar's apply opens the dialog on the filter bar's entry.
  dialog(
      kFilterApply, [](CMainFrame& frame, CMirvDoc& doc) { return RunFilterDialog(frame, doc, SelectedFilter(frame)); },
      [](const CMainFrame& frame) { return FilterList()[size_t(SelectedFilter(frame))].available; });
  // A filter menu command picks the filter bar's entry, then the bar applies it.
  for (int index = 0; index < kFilterCount; ++index)
    for (int id : FilterList()[size_t(index)].menuIds) {
      if (id == 0) continue;
      dialog(
          id,
          [index](CMainFrame& frame, CMirvDoc& doc) {
            SelectFilter(frame, index);
            return RunFilterDialog(frame, doc, index);
          },
          [index](const CMainFrame&) { return FilterList()[size_t(index)].available; });
    }
}

}  // namespace velmira
