// Drawing measurement marks and their labels into a layer's pixels. Points are
// picture pixels (y from the top); pixels outside the layer are skipped, the layer
// never grows for a mark.
#pragma once

#include <string>

#include "image/doc_host.h"
#include "image/frame_state.h"
#include "image/layers.h"
#include "measure/objects.h"

namespace velmira::measure {

struct MarkStyle {
  Rgbq line = 0;
  Rgbq label = 0;
  int width = 1;
  bool labels = true;
  std::string font;
  int fontSize = 12;
  int decimals = 2;
  std::string unit;
  TextRasterizer* text = nullptr;  // no labels without one
};

MarkStyle StyleFrom(const MeasureSettings& s, bool highlighted, TextRasterizer* text);

class MarkPainter {
 public:
  MarkPainter(LayerStack& L, int slot, const MarkStyle& style) : L_(L), slot_(slot), s_(style) {}
  void Pixel(int x, int y);
  void Line(MPoint a, MPoint b);
  void EndMark(MPoint p);
  void Circle(MPoint c, int radius);
  // Arc of `radius` at v from direction d1 to d2 (degrees, counter-clockwise as shown).
  void Arc(MPoint v, int radius, double d1, double d2);
  // The label with its top-left corner at p, kept inside the layer.
  void Label(MPoint p, const std::string& utf8);

 private:
  LayerStack& L_;
  int slot_;
  MarkStyle s_;
};

// The label an object shows ("" for none).
std::string ObjectLabel(const MeasureObject& o, const MarkStyle& s);
// Draws the whole object: lines, end marks and, when labels are on, its label.
void DrawObject(LayerStack& L, int slot, const MeasureObject& o, const MarkStyle& s);

}  // namespace velmira::measure
