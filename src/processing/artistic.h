// The painterly filters over one 24-bit layer: stamping and confetti, line colouring,
// watercolour, Korean paper, rain drops, frosted glass, drops, oil painting,
// dalmatian, lens and bath glass.
//
// They follow the rules of the enhancement filters (filters.h): read the unfiltered
// layer (src), write the edit copy (dst), touch only selected pixels inside the layer,
// storage coordinates (y counts stored rows). Most are randomised: every value comes
// from the program-wide sequence (image/rand.h) in a fixed order, so the same command
// from the same place in the sequence gives the same bytes in the editor and in
// velmira-cli. Those draws depend on the picture, which is why the randomised ones run
// on one thread; the window filters without draws per pixel use row bands.
#pragma once

#include <cstdint>
#include <vector>

#include "processing/filters.h"

namespace velmira {

// trunc(rand() × (1 / 32767) × n): a position along an axis of length n (n itself is
// reached only when rand() gives 32767).
int RandomPosition(int n);

// Intensity of a colour: trunc(0.11 × blue + 0.59 × green + 0.30 × red).
int Intensity(int b, int g, int r);

// 1 where the grey convolution with centre weight c (border pixels black) is not
// black, 0 elsewhere and outside the selection. width × height bytes.
std::vector<uint8_t> EdgeMask(const FilterTarget& t, int c);
// Slope dy/dx at (x, y) from the green channel of the two Sobel passes, each clamped
// to 0…255; 0 when the horizontal response is 0. Taps outside the layer are skipped.
float DirectionSlope(const FilterTarget& t, int x, int y);

// "찍어붙이기" and "색종이뿌리기": diagonal strokes of 4 × 4 squares with tinted colours.
void StampStrokes(const FilterTarget& t, int edge, int length, int colourFactor);
// "선효과채색": short lines along the direction field, `repeat` times over the picture.
void LineColouring(const FilterTarget& t, int length, int repeat);
// "수채화": each pixel takes the mean colour of the most common of 31 intensity levels in
// its 7 × 7 window.
void Watercolour(const FilterTarget& t);
// "한지효과": short darkening fibres running from random pixels.
void KoreanPaper(const FilterTarget& t);
// "빗방울": `count` magnifying, shaded drops of random size up to `size`.
void RainDrops(const FilterTarget& t, int size, int count);
// "유리성에": each pixel takes the mean colour of an intensity level drawn at random,
// weighted by how often it occurs in the window of radius r. r = 0 keeps the picture.
void FrostedGlass(const FilterTarget& t, int r);
// "방울채색": height × 20 round drops of the colour found at a random point.
void Drops(const FilterTarget& t, int size);
// "유화": soft round dabs along the direction field, stopping at edges.
void OilPainting(const FilterTarget& t, int length);
// "달마시안": `count` black spots, then everything not black lightened. Ignores the
// selection by design (the whole layer is a hide).
void Dalmatian(const FilterTarget& t, int spotSize, int count);
// "렌즈효과" and "욕실효과": inverse mappings about the layer's centre.
void Lens(const FilterTarget& t);
void BathGlass(const FilterTarget& t);
// The widest vector code the lens may use: 0 the plain loops, 1 AVX2, 2 AVX-512, each
// only where the processor has it (2 by default). All give the same bytes; the tests
// run each.
void SetLensVectorWidth(int widest);

// Runs a painterly list entry; false for any other index.
bool RunArtisticKernel(int index, const FilterTarget& t, const int params[3]);

}  // namespace velmira
