// A DocHost that records what a document asks of its surroundings, for tests that
// drive documents without a window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "image/doc.h"

namespace velmira::testing_support {

struct RecordingHost : DocHost {
  std::vector<std::string> messages;
  // What failures said below their fixed text: the file, then the reason.
  std::vector<std::string> failureDetails;
  std::vector<int> progress;
  std::vector<uint8_t> clipboard;
  std::vector<std::unique_ptr<CMirvDoc>> created;
  FrameState* frame = nullptr;
  FormatDispatch* formats = nullptr;
  std::string renameTo;  // the answer to AskText; empty means Cancel
  int updates = 0;

  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  void ShowFailure(const std::string& t, const std::filesystem::path& file, const std::string& reason) override {
    messages.push_back(t);
    failureDetails.push_back(file.string() + "\n" + reason);
  }
  Answer Ask(const std::string&, AskButtons) override { return Answer::Ok; }
  bool AskText(const std::string&, std::string& v) override {
    if (renameTo.empty()) return false;
    v = renameTo;
    return true;
  }
  void Progress(int p) override { progress.push_back(p); }
  void UpdateViews(CMirvDoc&, int) override { ++updates; }
  void RefreshLayerPanel(CMirvDoc&) override {}
  void RefreshHistoryPanel(CMirvDoc&) override {}
  void TitleChanged(CMirvDoc&) override {}
  bool PutClipboard(const std::vector<uint8_t>& dib) override {
    clipboard = dib;
    return true;
  }
  bool GetClipboard(std::vector<uint8_t>& dib) override {
    dib = clipboard;
    return !dib.empty();
  }
  CMirvDoc* NewDocument(int w, int h, int bpp, const std::string& name) override {
    frame->newWidth = w;
    frame->newHeight = h;
    frame->newBitsPerPixel = bpp;
    frame->newTitle = name;
    created.push_back(std::make_unique<CMirvDoc>(*frame, *this, formats));
    if (!created.back()->NewDocument()) return nullptr;
    return created.back().get();
  }
};

}  // namespace velmira::testing_support
