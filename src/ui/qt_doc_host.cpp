#include "ui/qt_doc_host.h"
#include "app/language.h"


#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>

#include "image/doc.h"
#include "image/image_buffer.h"
#include "image/le_bytes.h"
#include "ui/child_frame.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"
#include "ui/panels_menu.h"

namespace velmira {

namespace {

constexpr const char* kCaption = "Velmira";

// The document's messages carry Windows line breaks in both orders.
QString Clean(const std::string& text) {
  QString s = Tr(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  s.remove(QChar('\r'));
  return s;
}

Answer AskWithBox(const QString& text, AskButtons buttons) {
  QMessageBox::StandardButtons b = QMessageBox::Ok | QMessageBox::Cancel;
  if (buttons == AskButtons::YesNoCancel) b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  if (buttons == AskButtons::YesNo) b = QMessageBox::Yes | QMessageBox::No;
  QMessageBox box(QMessageBox::Question, Tr(kCaption), text, b, QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

}  // namespace

QtDocHost::QtDocHost(CMainFrame& frame, FrameState& state)
    : frame_(frame),
      state_(state),
      asker_(AskWithBox),
      informer_([](const QString& text) {
        QMessageBox::information(QApplication::activeWindow(), Tr(kCaption), text);
      }),
      warner_([](const QString& text, const QString& detail) {
        QMessageBox box(QMessageBox::Warning, Tr(kCaption), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.setInformativeText(detail);
        box.exec();
      }),
      textAsker_([](const QString& caption, QString& value) {
        bool ok = false;
        const QString v =
            QInputDialog::getText(QApplication::activeWindow(), caption, caption, QLineEdit::Normal, value, &ok);
        if (ok) value = v;
        return ok;
      }) {}

void QtDocHost::ShowMessage(const std::string& text) { informer_(Clean(text)); }

void QtDocHost::ShowFailure(const std::string& text, const std::filesystem::path& file, const std::string& reason) {
  QString detail = QString::fromStdString(file.string());
  if (!reason.empty()) detail += QChar('\n') + Clean(reason);
  warner_(Clean(text), detail);
}

Answer QtDocHost::Ask(const std::string& text, AskButtons buttons) { return asker_(Clean(text), buttons); }

bool QtDocHost::AskText(const std::string& caption, std::string& value) {
  QString v = QString::fromStdString(value);
  if (!textAsker_(Tr(caption), v)) return false;
  value = v.toStdString();
  return true;
}

void QtDocHost::Progress(int percent) { frame_.SetProgress(percent); }

void QtDocHost::UpdateViews(CMirvDoc& doc, int hint) {
  for (CChildFrame* f : frame_.FramesOf(doc))
    if (f->View()) f->View()->OnUpdate(hint);
}

void QtDocHost::RefreshLayerPanel(CMirvDoc& doc) { RefreshLayerPanelFor(frame_, doc); }
void QtDocHost::RefreshHistoryPanel(CMirvDoc& doc) { RefreshHistoryPanelFor(frame_, doc); }

void QtDocHost::TitleChanged(CMirvDoc& doc) {
  for (CChildFrame* f : frame_.FramesOf(doc)) f->RefreshTitle();
  frame_.RefreshTitle();
}

QMimeData* QtDocHost::MimeFromDib(const std::vector<uint8_t>& dib, const FrameState& state) {
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kDibMimeType), QByteArray(reinterpret_cast<const char*>(dib.data()),
                                                              qsizetype(dib.size())));
  // Other programs get an ordinary picture: the transparency the marker announces
  // becomes alpha, everything else is opaque.
  CImageBuffer img;
  if (img.FromGlobalMemory(dib.data(), dib.size())) {
    const int w = img.Width(), h = img.Height();
    const int32_t marker = dib.size() >= 28 ? GetI32(dib.data() + 24) : 0;
    const bool alpha32 = img.Bpp() == 32 && marker == -2;
    const bool separateAlpha = marker == -3 && state.copiedWidth == w && state.copiedHeight == h &&
                               state.copiedAlpha.size() == size_t(w) * size_t(h);
    QImage out(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
      const int stored = h - 1 - y;  // rows are kept bottom-up
      for (int x = 0; x < w; ++x) {
        const Rgbq c = img.ReadColor(x, stored);
        int a = 255;
        if (alpha32) a = RgbqX(c);
        if (separateAlpha) a = state.copiedAlpha[size_t(stored) * size_t(w) + size_t(x)];
        line[x] = qRgba(RgbqR(c), RgbqG(c), RgbqB(c), a);
      }
    }
    mime->setImageData(out);
  }
  return mime;
}

bool QtDocHost::DibFromMime(const QMimeData* mime, std::vector<uint8_t>& dib) {
  dib.clear();
  if (!mime) return false;
  const QString privateType = QString::fromLatin1(kDibMimeType);
  if (mime->hasFormat(privateType)) {
    const QByteArray bytes = mime->data(privateType);
    dib.assign(bytes.begin(), bytes.end());
    return !dib.empty();
  }
  if (!mime->hasImage()) return false;
  const QImage src = qvariant_cast<QImage>(mime->imageData());
  if (src.isNull()) return false;
  // A picture from another program: a plain 32-bit DIB without the marker, which
  // the document takes as opaque.
  const QImage img = src.convertToFormat(QImage::Format_RGB32);
  const int w = img.width(), h = img.height();
  const size_t stride = size_t(w) * 4;
  dib.assign(40 + stride * size_t(h), 0);
  uint8_t* p = dib.data();
  PutU32(p, 40);
  PutI32(p + 4, w);
  PutI32(p + 8, h);
  PutU16(p + 12, 1);
  PutU16(p + 14, 32);
  PutU32(p + 16, 0);
  PutU32(p + 20, uint32_t(stride * size_t(h)));
  PutI32(p + 24, 2835);
  PutI32(p + 28, 2835);
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    uint8_t* d = p + 40 + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      d[4 * x] = uint8_t(qBlue(line[x]));
      d[4 * x + 1] = uint8_t(qGreen(line[x]));
      d[4 * x + 2] = uint8_t(qRed(line[x]));
      d[4 * x + 3] = 255;
    }
  }
  return true;
}

bool QtDocHost::MimeHasPicture(const QMimeData* mime) {
  return mime && (mime->hasFormat(QString::fromLatin1(kDibMimeType)) || mime->hasImage());
}

bool QtDocHost::PutClipboard(const std::vector<uint8_t>& dib) {
  if (dib.empty()) return false;
  QApplication::clipboard()->setMimeData(MimeFromDib(dib, state_));
  return true;
}

bool QtDocHost::GetClipboard(std::vector<uint8_t>& dib) {
  return DibFromMime(QApplication::clipboard()->mimeData(), dib);
}

CMirvDoc* QtDocHost::NewDocument(int width, int height, int bitsPerPixel, const std::string& name) {
  return frame_.NewDocument(width, height, bitsPerPixel, name);
}


}  // namespace velmira
