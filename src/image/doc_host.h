// What a document needs from its surroundings. The Qt frame implements it, tests use
// a recording fake, the command-line tool prints messages to stderr.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velmira {

class CImageBuffer;
class CMirvDoc;
class LayerStack;

enum class AskButtons { OkCancel, YesNoCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Measures and draws text into 32-bit pixels (the Qt implementation is the only one).
class TextRasterizer {
 public:
  virtual ~TextRasterizer() = default;
  virtual bool Measure(const std::u16string& text, const std::string& font, int size, int* width,
                       int* height) = 0;
  // Draws onto `bgra` (top-down rows, width × 4 stride) filled beforehand with `key`.
  virtual bool Draw(const std::u16string& text, const std::string& font, int size, uint32_t colour,
                    uint32_t key, uint8_t* bgra, int width, int height) = 0;
};

class DocHost {
 public:
  virtual ~DocHost() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // A failure about a file: the fixed text, and below it the file and the reason
  // the system gave, so the user can tell which file failed and why.
  virtual void ShowFailure(const std::string& text, const std::filesystem::path& file, const std::string& reason) {
    (void)file, (void)reason;
    ShowMessage(text);
  }
  virtual Answer Ask(const std::string& text, AskButtons buttons) = 0;
  // Asks for a line of text (the rename dialog); false when cancelled.
  virtual bool AskText(const std::string& caption, std::string& value) = 0;
  virtual void Progress(int percent) = 0;
  virtual void UpdateViews(CMirvDoc& doc, int hint) = 0;
  virtual void RefreshLayerPanel(CMirvDoc& doc) = 0;
  virtual void RefreshHistoryPanel(CMirvDoc& doc) = 0;
  virtual void TitleChanged(CMirvDoc& doc) = 0;
  // The clipboard carries a packed DIB; the copied transparency stays in FrameState.
  virtual bool PutClipboard(const std::vector<uint8_t>& dib) = 0;
  virtual bool GetClipboard(std::vector<uint8_t>& dib) = 0;
  // A new empty document window of the given canvas (cut to new, duplicate).
  virtual CMirvDoc* NewDocument(int width, int height, int bitsPerPixel, const std::string& name) = 0;
  virtual TextRasterizer* Rasterizer() { return nullptr; }
};

// How a document reaches the codecs and the colour-depth conversions, which live in
// modules above this one. The formats module provides the real implementation.
class FormatDispatch {
 public:
  virtual ~FormatDispatch() = default;
  // Codes 0…4: decode with that codec, falling back to detection by content.
  virtual bool LoadPicture(const std::filesystem::path& path, int code, CImageBuffer& out) = 0;
  // Codes 0…3; must leave an existing file untouched when it fails.
  virtual bool SavePicture(const std::filesystem::path& path, int code, CImageBuffer& image) = 0;
  // The merged image of a PSD file as 32-bit pixels.
  virtual bool ImportPsd(const std::filesystem::path& path, CImageBuffer& out) = 0;
  // The native layered format; `message` gets the text to show on failure.
  virtual bool ReadNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message) = 0;
  virtual bool WriteNative(CMirvDoc& doc, const std::filesystem::path& path, std::string& message,
                           std::string& reason) = 0;
  // Reduces every layer of a 24-bit document to 8-bit colour with a shared palette.
  // A document of 8 bits or fewer is left as it is and counts as reduced.
  virtual bool ReduceTo8Bit(CMirvDoc& doc) = 0;
};

}  // namespace velmira
