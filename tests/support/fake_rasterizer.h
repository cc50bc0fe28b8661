// A text rasterizer without fonts: every character is a block half as wide as the
// font is high, solid but for a one-pixel key border and an edge column half-way
// between text and key colour. Enough to check layout and coverage rules headless.
#pragma once

#include <algorithm>
#include <string>

#include "image/doc_host.h"

namespace velmira::testing_support {

struct FakeRasterizer : TextRasterizer {
  int measures = 0, draws = 0;
  TextFont lastFont;
  static int CellWidth(const TextFont& f) { return std::max(2, f.height / 2); }
  bool Measure(const std::u16string& text, const TextFont& font, int* width, int* height) override {
    ++measures;
    lastFont = font;
    int w = 0, cur = 0, lines = text.empty() ? 0 : 1;
    for (char16_t c : text) {
      if (c == u'\n') {
        ++lines;
        cur = 0;
      } else if (c != u'\r') {
        w = std::max(w, ++cur);
      }
    }
    *width = w * CellWidth(font);
    *height = lines * font.height;
    return true;
  }
  bool Draw(const std::u16string& line, const TextFont& font, uint32_t colour, uint32_t key, uint8_t* bgra, int width,
            int height) override {
    ++draws;
    const int cw = CellWidth(font);
    auto put = [&](int x, int y, uint32_t c) {
      if (x < 0 || y < 0 || x >= width || y >= height) return;
      uint8_t* p = bgra + (size_t(y) * size_t(width) + size_t(x)) * 4;
      p[0] = uint8_t(c & 0xFF), p[1] = uint8_t((c >> 8) & 0xFF), p[2] = uint8_t((c >> 16) & 0xFF), p[3] = 255;
    };
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) put(x, y, key);
    uint32_t half = 0;
    for (int s = 0; s < 24; s += 8) half |= ((((colour >> s) & 0xFF) + ((key >> s) & 0xFF)) / 2) << s;
    for (size_t i = 0; i < line.size(); ++i) {
      const int x0 = int(i) * cw;
      for (int y = 1; y < font.height - 1; ++y) {
        for (int x = x0 + 1; x < x0 + cw - 2; ++x) put(x, y, colour);
        put(x0 + cw - 2, y, half);
      }
    }
    return true;
  }
  std::u16string ResolvedFace(const std::u16string& face) override { return face.empty() ? u"Fake" : face; }
};

}  // namespace velmira::testing_support
