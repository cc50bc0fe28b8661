// The documents' surroundings in the editor: message boxes with the fixed Korean
// texts, the rename dialog, the progress bar, the views and child frames of a
// document, the system clipboard and new document windows.
#pragma once

#include <QString>
#include <functional>

#include "image/doc_host.h"
#include "image/frame_state.h"

class QMimeData;

namespace velmira {

class CMainFrame;

// The clipboard's private format: the packed DIB exactly as the document made it,
// its −2/−3 transparency marker included.
inline constexpr const char* kDibMimeType = "application/x-velmira-dib";

// Asks the user: a message and its buttons, the answer. The editor shows a message
// box; tests answer in its place.
using Asker = std::function<Answer(const QString& text, AskButtons buttons)>;
using Informer = std::function<void(const QString& text)>;
// Tells of a failure: the fixed text and, below it, the file and the reason.
using Warner = std::function<void(const QString& text, const QString& detail)>;
using TextAsker = std::function<bool(const QString& caption, QString& value)>;

class QtDocHost : public DocHost {
 public:
  QtDocHost(CMainFrame& frame, FrameState& state);

  void ShowMessage(const std::string& text) override;
  void ShowFailure(const std::string& text, const std::filesystem::path& file, const std::string& reason) override;
  Answer Ask(const std::string& text, AskButtons buttons) override;
  bool AskText(const std::string& caption, std::string& value) override;
  void Progress(int percent) override;
  void UpdateViews(CMirvDoc& doc, int hint) override;
  void RefreshLayerPanel(CMirvDoc& doc) override;
  void RefreshHistoryPanel(CMirvDoc& doc) override;
  void TitleChanged(CMirvDoc& doc) override;
  bool PutClipboard(const std::vector<uint8_t>& dib) override;
  bool GetClipboard(std::vector<uint8_t>& dib) override;
  CMirvDoc* NewDocument(int width, int height, int bitsPerPixel, const std::string& name) override;

  void SetAsker(Asker a) { asker_ = std::move(a); }
  // Tests that only collect messages get the failures' fixed texts too.
  void SetInformer(Informer i) {
    informer_ = std::move(i);
    warner_ = [this](const QString& text, const QString&) { informer_(text); };
  }
  void SetWarner(Warner w) { warner_ = std::move(w); }
  void SetTextAsker(TextAsker t) { textAsker_ = std::move(t); }
  Answer AskQ(const QString& text, AskButtons buttons) { return asker_(text, buttons); }

  // What the clipboard holds, as the clipboard would carry it. Shared by the host
  // and the paste command's enabling.
  static QMimeData* MimeFromDib(const std::vector<uint8_t>& dib, const FrameState& state);
  static bool DibFromMime(const QMimeData* mime, std::vector<uint8_t>& dib);
  static bool MimeHasPicture(const QMimeData* mime);

 private:
  CMainFrame& frame_;
  FrameState& state_;
  Asker asker_;
  Informer informer_;
  Warner warner_;
  TextAsker textAsker_;
};

}  // namespace velmira
