#include "ui/dlg_channels.h"
#include "app/language.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <cstring>

#include "image/doc.h"
#include "processing/channels.h"

namespace velmira {

namespace {
// The planes are shown at most this large; the pictures keep their proportions.
constexpr int kShownSide = 240;
}  // namespace

ChannelDialog::ChannelDialog(CMirvDoc& doc, QWidget* parent) : QDialog(parent) {
  setModal(true);
  setWindowTitle(Tr("RGB구분"));
  CImageBuffer planes[3];
  const LayerStack& L = doc.Layers();
  valid_ = SplitPlanes(L, L.active, doc.ViewImage(), ChannelSet::Rgb, planes);
  auto* grid = new QGridLayout(this);
  const char* names[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    if (valid_) {
      const CImageBuffer& p = planes[i];
      QImage img(p.Width(), p.Height(), QImage::Format_Grayscale8);
      // The planes are stored bottom row first, as every picture of the editor.
      for (int y = 0; y < p.Height(); ++y)
        std::memcpy(img.scanLine(y), p.Row(p.Height() - 1 - y), size_t(p.Width()));
      images_[i] = img;
    }
    auto* caption = new QLabel(Tr(names[i]), this);
    caption->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(this);
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumSize(kShownSide / 2, kShownSide / 2);
    if (!images_[i].isNull())
      picture->setPixmap(QPixmap::fromImage(
          images_[i].scaled(kShownSide, kShownSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    grid->addWidget(caption, 0, i);
    grid->addWidget(picture, 1, i);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, 2, 0, 1, 3);
}

}  // namespace velmira
