#include "ui/dlg_text.h"
#include "app/language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/qt_text_rasterizer.h"
#include "tools/tool_ids.h"
#include "ui/icons.h"
#include "ui/qt_colour.h"

namespace velmira {

namespace {

QString Q(const std::u16string& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
std::u16string U(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

void Paint(QPushButton* b, Rgbq c) {
  QPixmap p(28, 16);
  p.fill(ToQColor(c));
  b->setIcon(QIcon(p));
  b->setIconSize(p.size());
}

// The faces of the machine, with `current` first (even when the machine lacks it).
void FillFaces(QComboBox* box, const std::u16string& current) {
  if (!current.empty()) box->addItem(Q(current));
  for (const std::u16string& f : QtTextRasterizer::InstalledFaces()) box->addItem(Q(f));
  box->setCurrentIndex(0);
}

const char* const kStyles[] = {"Regular", "Bold", "Italic", "Bold Italic"};

}  // namespace

// ---------------------------------------------------------------- text input

CDlg_TextInput::CDlg_TextInput(const TextParams& initial, int pictureWidth, int pictureHeight, ColourAsker askColour,
                               QWidget* parent)
    : QDialog(parent), askColour_(std::move(askColour)), colour_(initial.colour), align_(initial.align) {
  setObjectName(QStringLiteral("CDlg_TextInput"));
  setWindowTitle(Tr("글자입력"));
  auto* grid = new QGridLayout;

  face_ = new QComboBox;
  FillFaces(face_, initial.face);
  size_ = new QComboBox;
  size_->setEditable(true);
  size_->setValidator(new QIntValidator(1, 500, size_));
  size_->addItem(QString::number(std::clamp(initial.size, 4, 1000) / 2));
  for (int s = 4; s <= 120; s += 2) size_->addItem(QString::number(s));
  spacing_ = new QComboBox;
  spacing_->addItem(QString::asprintf("%.1f", initial.lineSpacing));
  for (int k = 4; k <= 20; ++k) spacing_->addItem(QString::asprintf("%.1f", k / 10.0));
  width_ = new QComboBox;
  width_->addItem(QString::asprintf("%3d", initial.charWidth));
  for (int w = 100; w >= 50; w -= 10) width_->addItem(QString::asprintf("%3d", w));
  style_ = new QComboBox;
  if (!initial.style.empty()) style_->addItem(Q(initial.style));
  for (const char* s : kStyles) style_->addItem(QString::fromLatin1(s));
  strike_ = new QCheckBox(QStringLiteral("Strikeout"));
  strike_->setChecked(initial.strikeOut);
  underline_ = new QCheckBox(QStringLiteral("Underline"));
  underline_->setChecked(initial.underline);
  colourButton_ = new QPushButton(Tr("글자색"));
  Paint(colourButton_, colour_);

  grid->addWidget(new QLabel(Tr("글꼴")), 0, 0);
  grid->addWidget(face_, 0, 1, 1, 3);
  grid->addWidget(new QLabel(Tr("크기")), 1, 0);
  grid->addWidget(size_, 1, 1);
  grid->addWidget(new QLabel(Tr("줄간격")), 1, 2);
  grid->addWidget(spacing_, 1, 3);
  grid->addWidget(new QLabel(Tr("장평(%)")), 2, 0);
  grid->addWidget(width_, 2, 1);
  grid->addWidget(new QLabel(Tr("스타일")), 2, 2);
  grid->addWidget(style_, 2, 3);
  auto* checks = new QHBoxLayout;
  checks->addWidget(strike_);
  checks->addWidget(underline_);
  checks->addStretch();
  checks->addWidget(colourButton_);
  grid->addLayout(checks, 3, 0, 1, 4);

  text_ = new QPlainTextEdit;
  text_->setObjectName(QStringLiteral("text"));
  text_->setPlainText(Q(initial.text).remove(QChar(u'\r')).left(kMaxCharacters));
  text_->setMinimumSize(360, 110);

  // "[확인]후,이동도구[" + the move tool's icon + "]로 위치조정"
  auto* hint = new QHBoxLayout;
  hint->addWidget(new QLabel(Tr("[확인]후,이동도구[")));
  auto* icon = new QLabel;
  icon->setPixmap(CommandIcon(tool::kMove).pixmap(16, 16));
  hint->addWidget(icon);
  hint->addWidget(new QLabel(Tr("]로 위치조정")));
  hint->addStretch();

  preview_ = new QLabel;
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setWordWrap(true);
  preview_->setAutoFillBackground(true);
  QPalette pal = preview_->palette();
  pal.setColor(QPalette::Window, palette().color(QPalette::Button));  // the scroll-bar colour
  preview_->setPalette(pal);
  preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  preview_->setMinimumSize(360, 90);
  preview_->setMaximumWidth(std::max(360, std::min(pictureWidth, 720)));
  preview_->setMaximumHeight(std::max(90, std::min(pictureHeight, 240)));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("확인"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("취소"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* main = new QVBoxLayout(this);
  main->addLayout(grid);
  main->addWidget(text_);
  main->addLayout(hint);
  main->addWidget(preview_);
  main->addWidget(buttons);

  for (QComboBox* b : {face_, size_, spacing_, width_, style_})
    connect(b, &QComboBox::currentTextChanged, this, &CDlg_TextInput::UpdatePreview);
  connect(strike_, &QCheckBox::toggled, this, &CDlg_TextInput::UpdatePreview);
  connect(underline_, &QCheckBox::toggled, this, &CDlg_TextInput::UpdatePreview);
  connect(text_, &QPlainTextEdit::textChanged, this, [this] {
    LimitText();
    UpdatePreview();
  });
  connect(colourButton_, &QPushButton::clicked, this, [this] {
    if (!askColour_) return;
    const std::optional<QColor> c = askColour_(ToQColor(colour_));
    if (!c || !c->isValid()) return;
    colour_ = ToRgbq(*c);
    Paint(colourButton_, colour_);
    UpdatePreview();
  });
  UpdatePreview();
  text_->setFocus();
}

void CDlg_TextInput::LimitText() {
  const QString t = text_->toPlainText();
  if (t.size() <= kMaxCharacters) return;
  QSignalBlocker block(text_);
  text_->setPlainText(t.left(kMaxCharacters));
  QTextCursor c = text_->textCursor();
  c.movePosition(QTextCursor::End);
  text_->setTextCursor(c);
}

TextParams CDlg_TextInput::Values() const {
  TextParams p;
  p.text = U(text_->toPlainText());
  p.face = U(face_->currentText());
  bool ok = false;
  const int size = size_->currentText().trimmed().toInt(&ok);
  p.size = ok && size > 0 ? size * 2 : 40;
  const double spacing = spacing_->currentText().trimmed().toDouble(&ok);
  p.lineSpacing = ok && spacing > 0 ? spacing : 1.0;
  const int width = width_->currentText().trimmed().toInt(&ok);
  p.charWidth = ok ? std::clamp(width, 50, 100) : 100;
  p.style = U(style_->currentText());
  p.strikeOut = strike_->isChecked();
  p.underline = underline_->isChecked();
  p.colour = colour_;
  p.align = align_;
  return p;
}

void CDlg_TextInput::UpdatePreview() {
  const TextParams p = Values();
  const TextFont t = MakeTextFont(p);
  QFont f(Q(QtTextRasterizer::Instance().ResolvedFace(p.face)));
  f.setPixelSize(std::max(1, std::min(t.height, 400) * 2 / 3));  // about the em of the cell height
  f.setWeight(t.weight >= 700 ? QFont::Bold : QFont::Normal);
  f.setItalic(t.italic);
  f.setUnderline(t.underline);
  f.setStrikeOut(t.strikeOut);
  preview_->setFont(f);
  QPalette pal = preview_->palette();
  pal.setColor(QPalette::WindowText, ToQColor(p.colour));
  preview_->setPalette(pal);
  preview_->setText(text_->toPlainText());
}

// ---------------------------------------------------------------- calendar

CDlg_Calendar::CDlg_Calendar(int year, int month, const std::u16string& face, Rgbq colour, ColourAsker askColour,
                             QWidget* parent)
    : QDialog(parent), askColour_(std::move(askColour)), colour_(colour) {
  setObjectName(QStringLiteral("CDlg_Calendar"));
  setWindowTitle(Tr("달력 넣기"));
  year_ = new QSpinBox;
  year_->setRange(1, 9999);  // the year spin stops at 1
  year_->setValue(std::clamp(year, 1, 9999));
  month_ = new QSpinBox;
  month_->setRange(1, 12);
  month_->setWrapping(true);  // 12 → 1 and 1 → 12
  month_->setValue(std::clamp(month, 1, 12));
  face_ = new QComboBox;
  FillFaces(face_, face);
  style_ = new QComboBox;
  style_->addItem(QStringLiteral("Regular"));
  for (const char* s : {"Regular", "Italic", "Bold", "Bold Italic"}) style_->addItem(QString::fromLatin1(s));
  style_->setCurrentIndex(0);
  size_ = new QComboBox;
  for (int v = 2; v <= 100; v += 2) size_->addItem(QString::number(v));
  size_->setCurrentText(QStringLiteral("10"));
  colourButton_ = new QPushButton(Tr("색"));
  Paint(colourButton_, colour_);
  preview_ = new QPlainTextEdit;
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setReadOnly(true);
  preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The preview needs a monospaced face that draws Korean so that the columns line up.
  QFont mono(Q(QtTextRasterizer::MonospacedFace()));
  mono.setPixelSize(12);
  preview_->setFont(mono);
  preview_->setMinimumSize(260, 150);

  auto* form = new QFormLayout;
  form->addRow(Tr("년"), year_);
  form->addRow(Tr("월"), month_);
  form->addRow(Tr("글꼴"), face_);
  form->addRow(Tr("스타일"), style_);
  form->addRow(Tr("크기"), size_);
  form->addRow(Tr("색상"), colourButton_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("확인"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("취소"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  top->addWidget(preview_, 1);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addWidget(buttons);

  connect(year_, &QSpinBox::valueChanged, this, &CDlg_Calendar::UpdatePreview);
  connect(month_, &QSpinBox::valueChanged, this, &CDlg_Calendar::UpdatePreview);
  connect(colourButton_, &QPushButton::clicked, this, [this] {
    if (!askColour_) return;
    const std::optional<QColor> c = askColour_(ToQColor(colour_));
    if (!c || !c->isValid()) return;
    colour_ = ToRgbq(*c);
    Paint(colourButton_, colour_);
  });
  UpdatePreview();
}

void CDlg_Calendar::UpdatePreview() {
  preview_->setPlainText(Q(CalendarPreview(year_->value(), month_->value())).remove(QChar(u'\r')));
}

CalendarRequest CDlg_Calendar::Request() const {
  CalendarRequest r;
  r.year = year_->value();
  r.month = month_->value();
  r.face = U(face_->currentText());
  r.style = U(style_->currentText());
  r.pointSize = CalendarPointSize(size_->currentText().toInt());
  r.colour = colour_;
  return r;
}

}  // namespace velmira
