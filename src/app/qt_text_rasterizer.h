// The one text rasterizer: QFont and QPainter on a QImage. The editor and
// velmira-cli both draw through it, so the same text gives the same pixels in both.
#pragma once

#include <string>
#include <vector>

#include "image/doc_host.h"

namespace velmira {

class QtTextRasterizer : public TextRasterizer {
 public:
  // The program-wide instance. Without a running Qt application (velmira-cli) it
  // starts a GUI application on the offscreen platform, so no display is needed.
  static QtTextRasterizer& Instance();

  bool Measure(const std::u16string& text, const TextFont& font, int* width, int* height) override;
  bool Draw(const std::u16string& line, const TextFont& font, uint32_t colour, uint32_t key, uint8_t* bgra,
            int width, int height) override;
  std::u16string ResolvedFace(const std::u16string& face) override;

  // Installed scalable faces, sorted; and the face used when a requested one is
  // missing (one that draws Korean).
  static std::vector<std::u16string> InstalledFaces();
  static std::u16string DefaultFace();
  // A monospaced face that draws Korean, for the calendar's preview.
  static std::u16string MonospacedFace();
};

}  // namespace velmira
