// Pixel work of the painting tools: dabs, strokes, the spray, the water drop, the
// dot's block and the circle outline.
//
// Every function works in layer pixels of `slot` (x from the left, y counting stored
// rows, so y = 0 is the bottom row as shown). Pixels outside the layer are skipped,
// and a pixel is written only when it is selected: when no selection exists, or when
// its mask byte is non-zero. 24- and 32-bit layers are written in place; paletted
// layers (8 bits or fewer) get the nearest palette index written straight into their
// pixels. Text layers are never written (the tools tell the user; these functions
// just leave them alone). Painting marks the layer dirty; the caller refreshes the
// composition and records the undo step.
#pragma once

#include "image/layers.h"

namespace velmira {

// Dabs larger than this are drawn at this size: the scratch grid is 2 × 25 cells wide.
constexpr int kMaxDabSize = 25;
// The spray's dab: always this size and soft, whatever the brush.
constexpr int kSprayDabSize = 20;

// Walks the segment with Bresenham (both ends included) and stamps a dab of `size` at
// every step. With size 1 exactly the Bresenham pixels are written, in full colour.
void PaintStroke(LayerStack& L, int slot, int x0, int y0, int x1, int y1, int size, bool soft, Rgbq colour,
                 bool erase);

// One brush dab centred on (x, y): rings 1 … size − 1 around the centre, weighted at
// random toward the old colour with `soft`, then the single-pixel gaps between the
// rings filled, so that the dab covers the disc of radius size − 1. Paint mode makes
// the pixels opaque (a transparent pixel's old colour counts as the brush colour);
// erase mode makes them transparent and leaves their colour alone. Each ring pixel
// inside the layer draws one value from the program-wide random sequence.
void PaintDab(LayerStack& L, int slot, int x, int y, int size, bool soft, Rgbq colour, bool erase);

// The spray's dab: kSprayDabSize, soft, paint mode.
void SprayDab(LayerStack& L, int slot, int x, int y, Rgbq colour);

// Spreads the colour of (x, y) over a disc of about 1.9 × brush size around it, fully
// at the centre and fading to nothing toward the rim. False (and nothing changes) when
// the pixel is outside the layer or has no coverage.
bool WaterDrop(LayerStack& L, int slot, int x, int y, int brushSize);

// The dot: an n × n block of solid colour covering columns x … x + n − 1 and rows
// y … y + n − 1 (up and to the right as shown), made opaque.
void PaintBlock(LayerStack& L, int slot, int x, int y, int n, Rgbq colour);

// A circle outline of `radius` around (cx, cy), traced like a dab's rings, with a soft
// dab of `size` stamped at every outline point.
void PaintCircle(LayerStack& L, int slot, int cx, int cy, int radius, int size, Rgbq colour);

}  // namespace velmira
