#include "cli/cli_host.h"

#include <unistd.h>

#include <cstdio>

#include "app/text_plugin_loader.h"
#include "image/ui_text.h"

namespace velmira {

CliHost::CliHost(FrameState& frame, FormatDispatch& formats)
    : frame_(frame), formats_(formats), tty_(isatty(STDERR_FILENO) != 0) {}

CliHost::~CliHost() = default;

TextRasterizer* CliHost::Rasterizer() {
  std::string why;
  TextRasterizer* r = LoadTextPlugin(&why);
  static bool said = false;
  if (!r && !said) {
    said = true;
    std::fprintf(stderr, "velmira-cli: text cannot be drawn: %s\n", why.c_str());
  }
  return r;
}

void CliHost::ShowMessage(const std::string& text) {
  if (lastPercent_ >= 0 && tty_) std::fputc('\n', stderr);
  lastPercent_ = -1;
  // The messages may carry "\r\n" or "\n\r" line breaks meant for a dialog.
  std::string clean;
  for (char c : std::string(UiText(text.c_str())))
    if (c != '\r') clean.push_back(c);
  std::fprintf(stderr, "velmira-cli: %s\n", clean.c_str());
  anyMessage = true;
}

void CliHost::ShowFailure(const std::string& text, const std::filesystem::path& file, const std::string& reason) {
  const std::string shown = UiText(text.c_str());
  ShowMessage(reason.empty() ? shown + " (" + file.string() + ")" : shown + " (" + file.string() + ": " + reason + ")");
}

// Nobody is there to answer: take the choice that keeps the user's data.
Answer CliHost::Ask(const std::string& text, AskButtons buttons) {
  ShowMessage(text);
  return buttons == AskButtons::OkCancel ? Answer::Cancel : Answer::No;
}

bool CliHost::AskText(const std::string&, std::string& value) {
  if (pendingText.empty()) return false;
  value = pendingText;
  pendingText.clear();
  return true;
}

void CliHost::Progress(int percent) {
  if (!tty_) return;
  percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  const int filled = percent * 30 / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "##############################", 30 - filled, "", percent);
  if (percent == 100) {
    std::fputc('\n', stderr);
    lastPercent_ = -1;
  }
  std::fflush(stderr);
}

bool CliHost::PutClipboard(const std::vector<uint8_t>& dib) {
  clipboard_ = dib;
  return true;
}

bool CliHost::GetClipboard(std::vector<uint8_t>& dib) {
  dib = clipboard_;
  return !dib.empty();
}

CMirvDoc* CliHost::NewDocument(int width, int height, int bitsPerPixel, const std::string& name) {
  frame_.newWidth = width;
  frame_.newHeight = height;
  frame_.newBitsPerPixel = bitsPerPixel;
  frame_.newBackgroundMode = 0;
  frame_.newTitle = name;
  auto doc = std::make_unique<CMirvDoc>(frame_, *this, &formats_);
  doc->SetHistoryEnabled(historyEnabled);
  if (!doc->NewDocument()) return nullptr;
  documents_.push_back(std::move(doc));
  return documents_.back().get();
}

}  // namespace velmira
