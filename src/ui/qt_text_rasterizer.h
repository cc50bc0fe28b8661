// Text measured and drawn with Qt's fonts for the core (measurement labels).
#pragma once

#include "image/doc_host.h"

namespace velmira {

class QtTextRasterizer final : public TextRasterizer {
 public:
  bool Measure(const std::u16string& text, const std::string& font, int size, int* width, int* height) override;
  bool Draw(const std::u16string& text, const std::string& font, int size, uint32_t colour, uint32_t key,
            uint8_t* bgra, int width, int height) override;
  static QtTextRasterizer& Instance();
};

}  // namespace velmira
