// The filter dialog: one slider row per parameter of the chosen filter, built from
// the parameter table, re-running the filter on the backed-up layer at every change.
// The two-tone conversion opens it too, with its method list.
#pragma once

#include <QString>
#include <vector>

#include "processing/filter_table.h"
#include "ui/dlg_adjust.h"

class QComboBox;

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

 private:
  FilterDialog(CMirvDoc& doc, bool twoTone, int filterIndex, QWidget* parent);
  void BuildRows(const FilterParams& p);
  void Apply();
  TwoToneMethod Method() const;

  int index_ = -1;
  bool twoTone_ = false;
  QString name_;
  std::vector<SliderRow> rows_;
  QWidget* rowsHost_ = nullptr;
  QComboBox* methods_ = nullptr;
  int values_[3] = {-1, -1, -1};
  bool building_ = false;
};

}  // namespace velmira
