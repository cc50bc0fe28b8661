#include "tools/text_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/ui_text.h"
#include "image/text.h"

namespace velmira {

const char* const kLabelTextNew = QT_TR_NOOP("글자입력");
const char* const kLabelTextEdit = QT_TR_NOOP("글자수정");

namespace {

constexpr int kFaceUnits = 48;  // 24 units in the font block, 24 more in the block after the style
enum StyleBits : int16_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

bool IsBold(const std::u16string& style) { return style == u"Bold" || style == u"Bold Italic"; }
bool IsItalic(const std::u16string& style) { return style == u"Italic" || style == u"Bold Italic"; }

std::u16string WithCrLf(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') continue;
    if (text[i] == u'\n') out.push_back(u'\r');
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

int TextFontHeight(int sizeValue) {
  if (sizeValue > 998 && sizeValue != 1000) return 1000;
  if (sizeValue <= 32) return 34;
  return sizeValue;
}

TextFont MakeTextFont(const TextParams& p) {
  TextFont f;
  f.face = p.face;
  f.height = TextFontHeight(p.size);
  f.weight = IsBold(p.style) ? 700 : 400;
  f.italic = IsItalic(p.style);
  f.underline = p.underline;
  f.strikeOut = p.strikeOut;
  return f;
}

std::vector<std::u16string> SplitTextLines(std::u16string_view text) {
  std::vector<std::u16string> lines(1);
  for (char16_t c : text) {
    if (c == u'\n')
      lines.emplace_back();
    else if (c != u'\r')
      lines.back().push_back(c);
  }
  return lines;
}

int CountTextLines(std::u16string_view text) {
  const std::vector<std::u16string> lines = SplitTextLines(text);
  for (int i = int(lines.size()) - 1; i >= 0; --i)
    if (!lines[size_t(i)].empty()) return i + 1;
  return 0;
}

int TextLineHeight(int sizeValue, int letterHeight) {
  if (sizeValue >= 35) return letterHeight;
  return int((1.0 - (34 - sizeValue) * 0.029411765) * letterHeight);
}

int TextLineStep(double lineSpacing, int lineHeight) { return int(std::max(0.5, lineSpacing) * lineHeight); }

Rgbq TextKeyFor(Rgbq colour) {
  const int d = std::abs(RgbqR(colour) - RgbqR(kTextKeyColour)) + std::abs(RgbqG(colour) - RgbqG(kTextKeyColour)) +
                std::abs(RgbqB(colour) - RgbqB(kTextKeyColour));
  // Near the key the distances left for anti-aliased edges are too few to measure
  // coverage, and the colour itself would read as a solid box.
  return d < 64 ? kTextSpareKeyColour : kTextKeyColour;
}

int TextKeyDistanceLimit(Rgbq colour, Rgbq key) {
  const int r = RgbqR(colour), g = RgbqG(colour), b = RgbqB(colour);
  const int d0 = std::abs(r - RgbqR(key)) + std::abs(g - RgbqG(key)) + std::abs(b - RgbqB(key));
  const int mean = (r + g + b) / 3;
  const int k = mean <= 144 ? 255 : 400 - mean;
  return int(double(k) / 255.0 * d0);
}

int TextAlphaOf(Rgbq pixel, Rgbq colour, int limit) {
  if (limit == 0) return 255;
  const int d = std::abs(RgbqR(pixel) - RgbqR(colour)) + std::abs(RgbqG(pixel) - RgbqG(colour)) +
                std::abs(RgbqB(pixel) - RgbqB(colour));
  const int a = int(255.0 - 255.0 * d / limit);
  return std::clamp(a, 0, 255);
}

void KeyBitmapToAlpha(const uint8_t* bgra, int w, int h, Rgbq colour, Rgbq key, int sizeValue, int charWidth,
                      AlphaMap& out) {
  out = AlphaMap{};
  if (w <= 0 || h <= 0 || !bgra) return;
  const int limit = TextKeyDistanceLimit(colour, key);
  const double q = std::min(1.0, charWidth * 0.01);
  // Squeezed full-size map; later columns overwrite earlier ones landing on the same one.
  std::vector<uint8_t> full(size_t(w) * size_t(h), 0);
  std::vector<int> column(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) column[size_t(x)] = std::clamp(int(x * q), 0, w - 1);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = bgra + size_t(y) * size_t(w) * 4;
    uint8_t* dst = full.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = row + 4 * size_t(x);
      dst[column[size_t(x)]] = uint8_t(TextAlphaOf(MakeRgbq(p[2], p[1], p[0]), colour, limit));
    }
  }
  if (sizeValue >= 34) {
    out.width = w;
    out.height = h;
    out.a = std::move(full);
    return;
  }
  const int S = std::max(sizeValue, 1);
  out.width = int(int64_t(w) * S / 34);
  out.height = int(int64_t(h) * S / 34);
  if (out.width <= 0 || out.height <= 0) {
    out.width = out.height = 0;
    return;
  }
  out.a.assign(size_t(out.width) * size_t(out.height), 0);
  const double f = 34.0 / S;
  for (int y = 0; y < out.height; ++y) {
    const double sy = std::min((y + 0.5) * f - 0.5, double(h - 1));
    const int y0 = std::max(0, int(sy)), y1 = std::min(y0 + 1, h - 1);
    const double fy = sy - y0;
    for (int x = 0; x < out.width; ++x) {
      const double sx = std::min((x + 0.5) * f - 0.5, double(w - 1));
      const int x0 = std::max(0, int(sx)), x1 = std::min(x0 + 1, w - 1);
      const double fx = sx - x0;
      const auto at = [&](int xx, int yy) { return double(full[size_t(yy) * size_t(w) + size_t(xx)]); };
      const double top = at(x0, y0) * (1 - fx) + at(x1, y0) * fx;
      const double bottom = at(x0, y1) * (1 - fx) + at(x1, y1) * fx;
      const int v = int(top * (1 - fy) + bottom * fy);
      out.a[size_t(y) * size_t(out.width) + size_t(x)] = v < 20 ? 0 : uint8_t(std::min(v, 255));
    }
  }
}

bool RenderTextLine(TextRasterizer& r, const std::u16string& line, const TextFont& font, Rgbq colour, int sizeValue,
                    int charWidth, AlphaMap& out) {
  out = AlphaMap{};
  int w = 0, h = 0;
  if (!r.Measure(line, font, &w, &h)) return false;
  if (w <= 0 || h <= 0) return true;
  const Rgbq key = TextKeyFor(colour);
  std::vector<uint8_t> bitmap(size_t(w) * size_t(h) * 4);
  if (!r.Draw(line, font, colour, key, bitmap.data(), w, h)) return false;
  KeyBitmapToAlpha(bitmap.data(), w, h, colour, key, sizeValue, charWidth, out);
  return true;
}

bool LayoutText(TextRasterizer& r, const TextParams& p, TextLayout& out) {
  out = TextLayout{};
  const TextFont font = MakeTextFont(p);
  int w = 0, h = 0, wa = 0, ha = 0;
  if (!r.Measure(p.text, font, &w, &h) || !r.Measure(u"A", font, &wa, &ha)) return false;
  out.lines = CountTextLines(p.text);
  out.lineHeight = TextLineHeight(p.size, ha);
  out.step = TextLineStep(p.lineSpacing, out.lineHeight);
  out.width = int(w * 1.5);
  // The last line reaches a whole line height below its top even when the step is
  // shorter, so the extent covers it and no line is cut at the layer's edge.
  out.height = out.lines > 0 ? std::max(out.lines * out.step, (out.lines - 1) * out.step + out.lineHeight) : 0;
  return true;
}

bool DrawTextLines(LayerStack& st, int slot, TextRasterizer& r, const TextParams& p, int x, int y, int step) {
  Layer* l = st.Get(slot);
  if (!l || l->alpha.size() != size_t(l->pixelCount)) return false;
  const TextFont font = MakeTextFont(p);
  const bool text = l->kind == kLayerText;
  const int bpp = st.LayerBpp(*l);
  const int paletteIndex = !text && bpp <= 8 ? st.NearestPaletteIndex(p.colour) : 0;
  for (const std::u16string& line : SplitTextLines(p.text)) {
    if (!line.empty()) {
      AlphaMap m;
      if (!RenderTextLine(r, line, font, p.colour, p.size, p.charWidth, m)) return false;
      for (int ry = 0; ry < m.height; ++ry) {
        const int ly = y - ry;
        if (ly < 0 || ly >= l->height) continue;
        uint8_t* prow = l->pixels.data() + size_t(ly) * size_t(l->stride);
        for (int rx = 0; rx < m.width; ++rx) {
          const int lx = x + rx;
          const uint8_t a = m.a[size_t(ry) * size_t(m.width) + size_t(rx)];
          if (a == 0 || lx < 0 || lx >= l->width) continue;
          uint8_t& cover = l->alpha[size_t(ly) * size_t(l->width) + size_t(lx)];
          cover = std::max(cover, a);
          if (text) continue;
          if (bpp >= 24) {
            uint8_t* px = prow + size_t(lx) * size_t(bpp / 8);
            px[0] = uint8_t(RgbqB(p.colour));
            px[1] = uint8_t(RgbqG(p.colour));
            px[2] = uint8_t(RgbqR(p.colour));
          } else {
            PutRowIndex(prow, bpp, lx, paletteIndex);
          }
        }
      }
    }
    y -= step;
  }
  l->dirty = 1;
  return true;
}

void StoreTextSettings(Layer& l, const TextParams& p) {
  const std::u16string text = WithCrLf(std::u16string_view(p.text).substr(0, kTextMaxUnits));
  l.textBuffer = text;
  l.textLength = int32_t(text.size());
  l.text.size = p.size;
  l.textColour = int32_t(p.colour & 0xFFFFFF);
  std::memset(l.text.font, 0, sizeof l.text.font);
  std::memset(l.text.more, 0, sizeof l.text.more);
  for (size_t i = 0; i < p.face.size() && i < size_t(kFaceUnits); ++i) {
    uint8_t* at = i < 24 ? l.text.font + 2 * i : l.text.more + 2 * (i - 24);
    at[0] = uint8_t(p.face[i] & 0xFF);
    at[1] = uint8_t(p.face[i] >> 8);
  }
  l.text.style = int16_t((IsBold(p.style) ? kBold : 0) | (IsItalic(p.style) ? kItalic : 0) |
                         (p.underline ? kUnderline : 0) | (p.strikeOut ? kStrikeOut : 0));
  l.text.tail[0] = int32_t(p.lineSpacing * 10);
  l.text.tail[1] = p.charWidth;
  l.text.tail[2] = p.align;
}

std::u16string StoredFace(const Layer& l) {
  std::u16string face;
  for (size_t i = 0; i < size_t(kFaceUnits); ++i) {
    const uint8_t* at = i < 24 ? l.text.font + 2 * i : l.text.more + 2 * (i - 24);
    const char16_t c = char16_t(at[0] | (at[1] << 8));
    if (c == 0) break;
    face.push_back(c);
  }
  return face;
}

TextParams TextParamsOf(const Layer& l) {
  TextParams p;
  p.text = l.textBuffer.substr(0, size_t(std::clamp(l.textLength, 0, kTextMaxUnits)));
  p.face = StoredFace(l);
  p.size = l.text.size;
  p.lineSpacing = l.text.tail[0] * 0.1;
  p.charWidth = std::clamp(int(l.text.tail[1]), 50, 100);
  p.align = l.text.tail[2];
  const bool bold = l.text.style & kBold, italic = l.text.style & kItalic;
  p.style = bold && italic ? u"Bold Italic" : bold ? u"Bold" : italic ? u"Italic" : u"Regular";
  p.underline = l.text.style & kUnderline;
  p.strikeOut = l.text.style & kStrikeOut;
  p.colour = Rgbq(l.textColour) & 0xFFFFFF;
  return p;
}

namespace {

bool ValidParams(const TextParams& p) {
  return CountTextLines(p.text) > 0 && p.size > 0 && p.charWidth > 0 && p.lineSpacing > 0;
}

// Puts the text into `slot` (already a text layer or about to become one) with its
// first line near (x, y), and draws it. The position is kept on the layer and the
// layer grows to hold the whole text.
bool FillTextLayer(LayerStack& st, int slot, TextRasterizer& r, const TextParams& p, int x, int y) {
  TextLayout lay;
  if (!LayoutText(r, p, lay)) return false;
  Layer& l = st.slots[slot];
  x = std::max(x, 0);
  y = std::max(y, 0);
  // The whole text must lie above the layer's bottom edge.
  y = std::max(y, lay.height - 1);
  const int width = std::max({st.header.canvasWidth, l.width, x + lay.width});
  const int height = std::max({st.header.canvasHeight, l.height, y + 1});
  LayerAlloc a;
  a.bitsPerPixel = st.header.bitsPerPixel;
  a.paletteColours = st.header.paletteColours;
  a.initialAlpha = 0;
  a.x = l.x;
  a.y = l.y;
  a.width = width;
  a.height = height;
  a.canvasWidth = st.header.canvasWidth;
  a.canvasHeight = st.header.canvasHeight;
  a.dirty = 1;
  a.kind = kLayerText;
  a.partner = l.partner;
  const bool active = slot == st.active;
  a.resetSelection = active;
  if (!st.AllocateLayer(slot, a)) return false;
  x = std::min(x, l.width - 1);
  y = std::min(y, l.height - 1);
  l.kind = kLayerText;
  StoreTextSettings(l, p);
  l.text.x = x;
  l.text.y = y;
  if (active) st.selectionExists = false;
  return DrawTextLines(st, slot, r, p, x, y, lay.step);
}

void Refresh(CMirvDoc& doc) {
  doc.LayersChanged();
  doc.Host().UpdateViews(doc, 0);
}

}  // namespace

bool PlaceText(CMirvDoc& doc, TextRasterizer& r, const TextParams& p, int lx, int ly) {
  LayerStack& st = doc.Layers();
  Layer* active = st.Active();
  if (doc.IsBusy() || !active || !ValidParams(p)) return false;
  // The click point is a pixel of the active layer; the new layer lies at the origin
  // of the canvas, so the point is carried over in canvas terms.
  const int cx = lx + active->x, cy = ly - active->y;
  doc.RevertLayer(st.active, false);
  if (!doc.InsertLayer(st.active)) return false;
  const int slot = st.active;
  const Layer& fresh = st.slots[slot];
  if (!FillTextLayer(st, slot, r, p, cx - fresh.x, cy + fresh.y)) {
    doc.DeleteLayer(slot, false);
    return false;
  }
  doc.RecordStep(kLabelTextNew, kStepPaste, slot);
  Refresh(doc);
  return true;
}

bool EditText(CMirvDoc& doc, TextRasterizer& r, const TextParams& p) {
  LayerStack& st = doc.Layers();
  Layer* l = st.Active();
  if (doc.IsBusy() || !l || l->kind != kLayerText || !ValidParams(p)) return false;
  const int slot = st.active;
  doc.RevertLayer(slot, false);
  if (!FillTextLayer(st, slot, r, p, l->text.x, l->text.y)) {
    doc.RevertLayer(slot, false);
    return false;
  }
  doc.RecordStep(kLabelTextEdit, kStepPixels, slot);
  Refresh(doc);
  return true;
}

bool PlaceTextAtPicturePoint(CMirvDoc& doc, TextRasterizer& r, const TextParams& p, int px, int py) {
  const Layer* l = doc.Layers().Active();
  if (!l) return false;
  const int lx = px - l->x;
  const int ly = l->y + doc.Layers().header.canvasHeight - 1 - py;
  return PlaceText(doc, r, p, lx, ly);
}

}  // namespace velmira
