// The filter dialog: one slider row per parameter of the chosen filter, built from
// the parameter table, re-running the filter on the backed-up layer at every change.
// The two-tone conversion opens it too, with its method list.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <vector>

#include "processing/filter_table.h"
#include "ui/dlg_adjust.h"

class QComboBox;
class QProgressBar;

namespace velmira {

class FilterDialog : public PreviewDialog {
  Q_OBJECT

 public:
  // A filter of the list by its index.
  FilterDialog(CMirvDoc& doc, int filterIndex, QWidget* parent = nullptr);
  // The two-tone conversion ("임계치변환") with its method list.
  static FilterDialog* TwoTone(CMirvDoc& doc, QWidget* parent = nullptr);

  // Runs the first preview with the starting values (after Start()).
  void FirstPreview() { Apply(); }
  // Runs the first preview once the dialog is on screen, so that Esc and Cancel
  // can already stop it.
  void PreviewWhenShown() { previewOnShow_ = true; }

  // The preview's progress (0…100); a long filter can be stopped with Esc or Cancel
  // while it runs, which puts the layer back as it was.
  QProgressBar* Progress() const { return progress_; }
  bool PreviewRunning() const { return running_; }

  void accept() override;
  void reject() override;

  int RowCount() const { return int(rows_.size()); }
  const SliderRow& Row(int i) const { return rows_[size_t(i)]; }
  // The values the filter runs with: a default below its slider's minimum stays
  // as it is until the slider is moved.
  const int* Values() const { return values_; }
  QComboBox* Methods() const { return methods_; }
  const QString& FilterName() const { return name_; }

  // The method the two-tone dialog starts with: the last one chosen.
  static int RememberedMethod();

 protected:
  bool Commit() override;
  void showEvent(QShowEvent* e) override;

 private:
  FilterDialog(CMirvDoc& doc, bool twoTone, int filterIndex, QWidget* parent);
  void BuildRows(const FilterParams& p);
  void Apply();
  void RunOnce();
  // Lets the dialog see Esc, Cancel and the window's close while a filter runs.
  void Pump();
  TwoToneMethod Method() const;

  int index_ = -1;
  bool twoTone_ = false;
  QString name_;
  std::vector<SliderRow> rows_;
  QWidget* rowsHost_ = nullptr;
  QComboBox* methods_ = nullptr;
  int values_[3] = {-1, -1, -1};
  bool building_ = false;
  QProgressBar* progress_ = nullptr;
  QElapsedTimer pumped_;
  bool previewOnShow_ = false;
  bool running_ = false;
  bool stop_ = false;   // the preview under way is to stop at its next row
  bool rerun_ = false;  // a control changed while it ran: run again with the new values
  enum class Then { Nothing, Accept, Reject } then_ = Then::Nothing;
};

}  // namespace velmira
