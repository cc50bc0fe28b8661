// The one DocHost of the tests: it records what a document asks of its
// surroundings, for tests that drive documents without a window. Suites that need
// more (forwarding updates to views, watching the zoom anchor) set `onUpdate`.
#pragma once

#include <functional>
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
  std::vector<int> hints;        // the hint of every view update, in order
  int layerPanelRefreshes = 0;
  std::function<void(CMirvDoc&, int)> onUpdate;  // runs on every view update

  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  std::vector<std::string> questions;
  Answer answer = Answer::Ok;  // what every question is answered with
  Answer Ask(const std::string& q, AskButtons) override {
    questions.push_back(q);
    return answer;
  }
  void ShowFailure(const std::string& t, const std::filesystem::path& file, const std::string& reason) override {
    messages.push_back(t);
    failureDetails.push_back(file.string() + "\n" + reason);
  }
  bool AskText(const std::string&, std::string& v) override {
    if (renameTo.empty()) return false;
    v = renameTo;
    return true;
  }
  void Progress(int p) override { progress.push_back(p); }
  void UpdateViews(CMirvDoc& doc, int hint) override {
    ++updates;
    hints.push_back(hint);
    if (onUpdate) onUpdate(doc, hint);
  }
  void RefreshLayerPanel(CMirvDoc&) override { ++layerPanelRefreshes; }
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
    if (!frame) return nullptr;  // a suite that makes no second documents
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
