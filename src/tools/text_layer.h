// Text layers: how a text is laid out in lines, how each line becomes an alpha map
// (drawn on a key colour, coverage read back from the colour distance, squeezed by
// the character width, reduced for small sizes) and how the result lands in a
// layer. The glyphs themselves come from the host's TextRasterizer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/doc.h"
#include "image/doc_host.h"
#include "image/layers.h"

namespace velmira {

// Undo labels of the text tool.
extern const char* const kLabelTextNew;   // "글자입력"
extern const char* const kLabelTextEdit;  // "글자수정"

// The colour the lines are drawn on before their coverage is measured.
constexpr Rgbq kTextKeyColour = MakeRgbq(50, 55, 55);
// Used instead when the text colour is so close to the key that coverage could not
// be told apart from the background.
constexpr Rgbq kTextSpareKeyColour = MakeRgbq(205, 200, 200);
constexpr int kTextMaxUnits = 700;

struct TextParams {
  std::u16string text;  // as typed: lines end with LF or CR LF
  std::u16string face;
  std::u16string style = u"Regular";  // "Regular", "Bold", "Italic", "Bold Italic"
  int size = 40;                      // the stored size value: twice the dialog's size
  double lineSpacing = 1.0;
  int charWidth = 100;  // "장평(%)", 50…100
  int align = 0;        // kept with the layer; every line starts at the text's x
  bool underline = false;
  bool strikeOut = false;
  Rgbq colour = 0;
};

// Height of the font for a size value: 32 or less builds 34, above 998 builds 1000.
int TextFontHeight(int sizeValue);
TextFont MakeTextFont(const TextParams& p);

// The lines of a text split at LF with any CR removed (a trailing LF gives a last
// empty line).
std::vector<std::u16string> SplitTextLines(std::u16string_view text);
// Lines the text occupies: up to its last non-empty line, so empty lines between
// lines count and trailing line feeds do not.
int CountTextLines(std::u16string_view text);
// Line height from the letter height hA of the built font: hA from size 35 on,
// else hA × size ÷ 34.
int TextLineHeight(int sizeValue, int letterHeight);
int TextLineStep(double lineSpacing, int lineHeight);

// Coverage from colour distance.
int TextKeyDistanceLimit(Rgbq colour, Rgbq key);  // Dmax
int TextAlphaOf(Rgbq pixel, Rgbq colour, int limit);
Rgbq TextKeyFor(Rgbq colour);

struct AlphaMap {
  int width = 0, height = 0;
  std::vector<uint8_t> a;  // top-down rows
};
// A line drawn on `key` (top-down BGRA rows) turned into its alpha map: squeezed by
// the character width and, below size 34, reduced by size ÷ 34 with bilinear
// sampling (samples under 20 dropped).
void KeyBitmapToAlpha(const uint8_t* bgra, int width, int height, Rgbq colour, Rgbq key, int sizeValue,
                      int charWidth, AlphaMap& out);
bool RenderTextLine(TextRasterizer& r, const std::u16string& line, const TextFont& font, Rgbq colour,
                    int sizeValue, int charWidth, AlphaMap& out);

struct TextLayout {
  int lines = 0;
  int lineHeight = 0;  // t
  int step = 0;        // v
  int width = 0;       // extent the layer must offer to the right of x
  int height = 0;      // extent below the first line's top
};
bool LayoutText(TextRasterizer& r, const TextParams& p, TextLayout& out);

// Draws every line of `p` into a layer with the first line's top-left at layer
// pixel (x, y) (storage rows, so later lines lie at y − step, y − 2 step…). A text
// layer takes the coverage; any other layer takes the colour where covered.
// Coverage only ever grows, so overlapping lines do not cut holes in each other.
bool DrawTextLines(LayerStack& st, int slot, TextRasterizer& r, const TextParams& p, int x, int y, int step);

// The text fields of a layer record.
void StoreTextSettings(Layer& l, const TextParams& p);
TextParams TextParamsOf(const Layer& l);
std::u16string StoredFace(const Layer& l);

// A new text layer above the active one, its first line's top-left at layer pixel
// (lx, ly) of the active layer (storage rows); records "글자입력".
bool PlaceText(CMirvDoc& doc, TextRasterizer& r, const TextParams& p, int lx, int ly);
// The active text layer redrawn with new settings at its stored position; records
// "글자수정".
bool EditText(CMirvDoc& doc, TextRasterizer& r, const TextParams& p);
// The same for a picture point as the user sees it (x from the left, y from the top).
bool PlaceTextAtPicturePoint(CMirvDoc& doc, TextRasterizer& r, const TextParams& p, int px, int py);

}  // namespace velmira
