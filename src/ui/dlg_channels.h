// The RGB channel dialog: the active layer's red, green and blue planes side by
// side, as grey pictures of the canvas size. It only shows; nothing changes.
#pragma once

#include <QDialog>
#include <QImage>

#include "image/image_buffer.h"

class QLabel;

namespace velmira {

class CMirvDoc;

class ChannelDialog : public QDialog {
  Q_OBJECT

 public:
  ChannelDialog(CMirvDoc& doc, QWidget* parent = nullptr);
  // False when the layer could not be taken apart (no active layer).
  bool IsValid() const { return valid_; }
  // Plane 0 red, 1 green, 2 blue, as 8-bit grey pictures.
  const QImage& Plane(int i) const { return images_[i]; }

 private:
  QImage images_[3];
  bool valid_ = false;
};

}  // namespace velmira
