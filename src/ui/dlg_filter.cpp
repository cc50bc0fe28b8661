#include "ui/dlg_filter.h"
#include "app/language.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "image/doc.h"
#include "processing/adjust.h"
#include "processing/doc_commands.h"

namespace velmira {

namespace {
// The two-tone method survives the dialog: the next conversion starts with it.
int gTwoToneMethod = 0;
}  // namespace

int FilterDialog::RememberedMethod() { return gTwoToneMethod; }

FilterDialog::FilterDialog(CMirvDoc& doc, int filterIndex, QWidget* parent)
    : FilterDialog(doc, false, filterIndex, parent) {}

FilterDialog* FilterDialog::TwoTone(CMirvDoc& doc, QWidget* parent) { return new FilterDialog(doc, true, -1, parent); }

FilterDialog::FilterDialog(CMirvDoc& doc, bool twoTone, int filterIndex, QWidget* parent)
    : PreviewDialog(doc, parent), index_(filterIndex), twoTone_(twoTone) {
  if (twoTone_)
    name_ = Tr(kThresholdName);
  else if (index_ >= 0 && index_ < kFilterCount)
    name_ = Tr(FilterList()[size_t(index_)].name);
  setWindowTitle(name_);
  auto* top = new QHBoxLayout(this);
  if (twoTone_) {
    methods_ = new QComboBox(this);
    for (const char* m : kTwoToneMethodNames) methods_->addItem(Tr(m));
    methods_->setCurrentIndex(gTwoToneMethod);
    top->addWidget(methods_);
    connect(methods_, &QComboBox::currentIndexChanged, this, [this](int i) {
      gTwoToneMethod = std::clamp(i, 0, 2);
      BuildRows(ThresholdParameters(Method()));
      Apply();
    });
  }
  rowsHost_ = new QWidget(this);
  new QHBoxLayout(rowsHost_);
  rowsHost_->layout()->setContentsMargins(0, 0, 0, 0);
  top->addWidget(rowsHost_, 1);
  auto* side = new QVBoxLayout;
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  side->addWidget(buttons);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setMaximumWidth(90);
  side->addWidget(progress_);
  top->addLayout(side);
  BuildRows(twoTone_ ? ThresholdParameters(Method()) : ParametersFor(name_.toStdString()));
}

TwoToneMethod FilterDialog::Method() const {
  return TwoToneMethod(methods_ ? std::clamp(methods_->currentIndex(), 0, 2) : 0);
}

void FilterDialog::BuildRows(const FilterParams& p) {
  building_ = true;
  for (SliderRow& r : rows_) {
    delete r.caption;
    delete r.slider;
    delete r.edit;
  }
  rows_.clear();
  QLayoutItem* old = nullptr;
  // Each row's cell is a layout item of its own (the widgets went above).
  while ((old = rowsHost_->layout()->takeAt(0)) != nullptr) delete old;
  for (int i = 0; i < 3; ++i) values_[i] = p.p[i].def;
  auto* host = static_cast<QHBoxLayout*>(rowsHost_->layout());
  for (int i = 0; i < p.count; ++i) {
    const FilterParam& fp = p.p[i];
    SliderRow r;
    r.caption = new QLabel(QStringLiteral("%1(%2‥%3)").arg(Tr(fp.label)).arg(fp.min).arg(fp.max),
                           rowsHost_);
    r.slider = new QSlider(Qt::Horizontal, rowsHost_);
    r.slider->setRange(fp.min, fp.max);
    r.slider->setTickInterval(std::max(1, (fp.max - fp.min) / 20));
    r.slider->setTickPosition(QSlider::TicksBelow);
    r.slider->setPageStep((fp.max - fp.min) / 10 + 1);
    // A default below the minimum shows as the minimum; the value kept is still
    // the default until the user moves the slider.
    r.slider->setValue(std::clamp(fp.def, fp.min, fp.max));
    // A filter run can take a while on a large picture: while the slider is dragged
    // only the box follows, and the filter runs when it is let go.
    r.slider->setTracking(false);
    r.edit = new QLineEdit(QString::number(fp.def), rowsHost_);
    r.edit->setValidator(new QIntValidator(fp.min, fp.max, r.edit));
    r.edit->setMaximumWidth(44);
    auto* cell = new QGridLayout;
    cell->addWidget(r.caption, 0, 0, 1, 2);
    cell->addWidget(r.slider, 1, 0);
    cell->addWidget(r.edit, 1, 1);
    host->addLayout(cell);
    connect(r.slider, &QSlider::valueChanged, this, [this, i](int v) {
      if (building_) return;
      values_[i] = v;
      QLineEdit* e = rows_[size_t(i)].edit;
      if (e->text() != QString::number(v)) e->setText(QString::number(v));
      Apply();
    });
    connect(r.slider, &QSlider::sliderMoved, this,
            [this, i](int v) { rows_[size_t(i)].edit->setText(QString::number(v)); });
    connect(r.edit, &QLineEdit::textEdited, this, [this, i](const QString& t) {
      bool ok = false;
      const int v = t.toInt(&ok);
      QSlider* s = rows_[size_t(i)].slider;
      if (!ok) return;
      const int c = std::clamp(v, s->minimum(), s->maximum());
      if (s->value() != c)
        s->setValue(c);
      else if (values_[i] != c) {
        // The slider already stood there (a default below its minimum).
        values_[i] = c;
        Apply();
      }
    });
    rows_.push_back(r);
  }
  building_ = false;
  resize(FilterDialogWidth(p.count), sizeHint().height());
}

void FilterDialog::showEvent(QShowEvent* e) {
  PreviewDialog::showEvent(e);
  if (!previewOnShow_) return;
  previewOnShow_ = false;
  QTimer::singleShot(0, this, [this] { Apply(); });
}

void FilterDialog::Pump() {
  // Often enough that Esc answers at once, seldom enough to cost nothing.
  if (pumped_.isValid() && pumped_.elapsed() < 30) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  pumped_.restart();
}

void FilterDialog::Apply() {
  if (!Started()) return;
  if (running_) {
    // Reached from inside the running preview (a control moved meanwhile): stop it
    // and start over with the new values once it has returned.
    rerun_ = true;
    stop_ = true;
    return;
  }
  running_ = true;
  do {
    rerun_ = false;
    stop_ = false;
    RunOnce();
  } while (rerun_ && then_ == Then::Nothing);
  running_ = false;
  progress_->setValue(0);
  Doc().Host().Progress(0);
  const Then then = then_;
  then_ = Then::Nothing;
  if (then == Then::Accept) accept();
  if (then == Then::Reject) reject();
}

void FilterDialog::accept() {
  if (running_) {
    // The preview is thrown away anyway: OK runs the command on the kept layer.
    then_ = Then::Accept;
    stop_ = true;
    return;
  }
  PreviewDialog::accept();
}

void FilterDialog::reject() {
  if (running_) {
    then_ = Then::Reject;
    stop_ = true;
    return;
  }
  PreviewDialog::reject();  // puts the kept layer back
}

void FilterDialog::RunOnce() {
  const int v[3] = {values_[0], values_[1], values_[2]};
  if (twoTone_) {
    const TwoToneMethod m = Method();
    const int t = v[0] & 0xFF;
    Preview([m, t](LayerStack& L, int slot) {
      switch (m) {
        case TwoToneMethod::Diffusion: return BinarizeDiffusion(L, slot, t);
        case TwoToneMethod::Ordered: return BinarizeOrdered(L, slot, t);
        case TwoToneMethod::Absolute: return BinarizeThreshold(L, slot, t);
      }
      return false;
    });
    return;
  }
  CMirvDoc& doc = Doc();
  const int index = index_;
  FilterControl control;
  control.progress = [this](int p) {
    progress_->setValue(p);
    Doc().Host().Progress(p);
    Pump();
  };
  control.cancelled = [this] {
    Pump();
    return stop_;
  };
  pumped_.invalidate();
  Preview([&doc, index, v, &control](LayerStack& L, int slot) {
    return FilterLayer(L, slot, doc.ViewImage(), index, v, &control);
  });
}

bool FilterDialog::Commit() {
  if (twoTone_) return velmira::TwoTone(Doc(), Method(), values_[0]);
  return ApplyFilter(Doc(), index_, values_);
}

}  // namespace velmira
