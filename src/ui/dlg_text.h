// The text input dialog "글자입력" and the calendar dialog "달력 넣기". Both only
// collect values: the text tool and the calendar command call the document.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "decorations/calendar.h"
#include "image/frame_state.h"
#include "tools/text_layer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace velmira {

using ColourAsker = std::function<std::optional<QColor>(const QColor& initial)>;

class CDlg_TextInput : public QDialog {
  Q_OBJECT

 public:
  // `initial` fills the controls (the remembered settings, or the layer's for an
  // edit); `pictureWidth` and `pictureHeight` size the preview's wrapping.
  CDlg_TextInput(const TextParams& initial, int pictureWidth, int pictureHeight, ColourAsker askColour,
                 QWidget* parent = nullptr);
  // The values as chosen; the size is the stored value (twice the size box).
  TextParams Values() const;

  QComboBox* FaceBox() const { return face_; }
  QComboBox* SizeBox() const { return size_; }
  QComboBox* SpacingBox() const { return spacing_; }
  QComboBox* WidthBox() const { return width_; }
  QComboBox* StyleBox() const { return style_; }
  QCheckBox* StrikeOutBox() const { return strike_; }
  QCheckBox* UnderlineBox() const { return underline_; }
  QPlainTextEdit* TextBox() const { return text_; }
  QPushButton* ColourButton() const { return colourButton_; }
  QLabel* Preview() const { return preview_; }
  static constexpr int kMaxCharacters = 700;

 private:
  void UpdatePreview();
  void LimitText();
  QComboBox *face_, *size_, *spacing_, *width_, *style_;
  QCheckBox *strike_, *underline_;
  QPlainTextEdit* text_;
  QPushButton* colourButton_;
  QLabel* preview_;
  ColourAsker askColour_;
  Rgbq colour_;
  int align_;
};

class CDlg_Calendar : public QDialog {
  Q_OBJECT

 public:
  CDlg_Calendar(int year, int month, const std::u16string& face, Rgbq colour, ColourAsker askColour,
                QWidget* parent = nullptr);
  CalendarRequest Request() const;

  QSpinBox* YearBox() const { return year_; }
  QSpinBox* MonthBox() const { return month_; }
  QComboBox* FaceBox() const { return face_; }
  QComboBox* StyleBox() const { return style_; }
  QComboBox* SizeBox() const { return size_; }
  QPushButton* ColourButton() const { return colourButton_; }
  QPlainTextEdit* Preview() const { return preview_; }

 private:
  void UpdatePreview();
  QSpinBox *year_, *month_;
  QComboBox *face_, *style_, *size_;
  QPushButton* colourButton_;
  QPlainTextEdit* preview_;
  ColourAsker askColour_;
  Rgbq colour_;
};

}  // namespace velmira
