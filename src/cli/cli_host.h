// The command-line tool's surroundings for a document: messages to stderr, a
// progress bar when stderr is a terminal, an in-memory clipboard.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "image/doc.h"

namespace velmira {

class CliHost : public DocHost {
 public:
  CliHost(FrameState& frame, FormatDispatch& formats);
  ~CliHost() override;

  void ShowMessage(const std::string& text) override;
  void ShowFailure(const std::string& text, const std::filesystem::path& file, const std::string& reason) override;
  Answer Ask(const std::string& text, AskButtons buttons) override;
  bool AskText(const std::string& caption, std::string& value) override;
  void Progress(int percent) override;
  void UpdateViews(CMirvDoc&, int) override {}
  void RefreshLayerPanel(CMirvDoc&) override {}
  void RefreshHistoryPanel(CMirvDoc&) override {}
  void TitleChanged(CMirvDoc&) override {}
  bool PutClipboard(const std::vector<uint8_t>& dib) override;
  bool GetClipboard(std::vector<uint8_t>& dib) override;
  CMirvDoc* NewDocument(int width, int height, int bitsPerPixel, const std::string& name) override;
  // The one text rasterizer (Qt, on the offscreen platform), from its module;
  // nullptr, said once on stderr, when the module cannot be opened.
  TextRasterizer* Rasterizer() override;

  // The text the next AskText answers with (the rename command's argument).
  std::string pendingText;
  bool anyMessage = false;
  // Documents this host creates (channel pictures, cut to new) keep a history only
  // when the run does.
  bool historyEnabled = true;

 private:
  FrameState& frame_;
  FormatDispatch& formats_;
  std::vector<uint8_t> clipboard_;
  std::vector<std::unique_ptr<CMirvDoc>> documents_;
  bool tty_;
  int lastPercent_ = -1;
};

}  // namespace velmira
