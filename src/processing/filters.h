// The enhancement filters over one 24-bit layer: grey convolution (sharpen, outline,
// emboss), window blur and soften, shrink and grow, edge emphasis, noise removal and
// region fill.
//
// Every routine reads the unfiltered layer (src) and writes the edit copy (dst),
// which starts as a copy of src, so each output pixel comes from unfiltered input.
// Only pixels inside the layer and inside the selection are written; the others keep
// their value. Coordinates are storage order (y counts stored rows). Coverage is not
// touched: a filter changes colours, never how much of the layer is covered.
#pragma once

#include <cstdint>
#include <functional>

#include "image/image_buffer.h"

namespace velmira {

// Progress (0…100) and cancellation between rows.
struct FilterControl {
  std::function<void(int)> progress;
  std::function<bool()> cancelled;
};

struct FilterTarget {
  int width = 0, height = 0;
  const uint8_t* src = nullptr;  // 3 bytes per pixel (B, G, R), bottom-up rows
  uint8_t* dst = nullptr;        // same geometry as src
  int stride = 0;                // bytes per row of src and dst
  const uint8_t* sel = nullptr;  // width × height bytes, non-zero = selected
  Rgbq outside = 0;              // what a read outside the layer returns
  const FilterControl* control = nullptr;
  // Everything is selected and `sel` is a single row of `width` ones that every row
  // reads: a 24-megapixel layer then needs no plane of ones built for the run.
  bool selAll = false;
  // dst is not a copy of src (only with selAll, and only for the entries that
  // FilterWritesEveryPixel names): the kernel writes every pixel of every row, and
  // the rows a cancel leaves unfiltered get src's bytes. The bytes past 3 × width in
  // a row are the caller's.
  bool dstFresh = false;

  // The selection bytes of row y.
  const uint8_t* SelRow(int y) const { return selAll ? sel : sel + size_t(y) * size_t(width); }
  // The selection byte of pixel i = y × width + x.
  bool SelAt(size_t i) const { return selAll || sel[i] != 0; }
  bool Selected(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && (selAll || sel[size_t(y) * size_t(width) + size_t(x)] != 0);
  }
};

// Copies rows first … last − 1 of src into dst when dst is fresh: what a kernel does
// for the rows it leaves (a cancel, a window that keeps the picture).
void KeepRows(const FilterTarget& t, int first, int last);

// The 3 × 3 kernels of the grey convolution (rows by y).
struct Kernel3 {
  int k[9];
};
Kernel3 SharpenKernel();
Kernel3 OutlineKernel(int centre);
Kernel3 EmbossKernel(int amount);

// Grey convolution: g = (ΣkB + ΣkG + ΣkR) / 3, then / Σk over the taps inside the
// layer when that is non-zero, clamped; with `border` the outermost rows and columns
// become black. With `out` the colours go to out[y × width + x] and dst is untouched.
void GreyConvolve(const FilterTarget& t, const Kernel3& k, bool border, uint32_t* out = nullptr);

// Window mean over the selected taps; `soften` weighs the centre tap n × n.
void WindowBlur(const FilterTarget& t, int n, bool soften);
// Minimum over the window taps inside the layer ("물체축소").
void Shrink(const FilterTarget& t, int n);
// Maximum over the window, taps outside the layer reading the outside colour.
void Grow(const FilterTarget& t, int n);
// Darkens pixels whose four selected neighbours differ by at least `a`.
void EdgeEmphasis(const FilterTarget& t, int a, int b);
// Absorbs small specks (first pass) and smooths single-pixel steps (second pass).
void Denoise(const FilterTarget& t, int size, int absorption);
// Flat regions: each takes the colour of its first pixel in column order.
void RegionFill(const FilterTarget& t, int tolerance);

// Window offsets for size n: from −(n / 2) to n − n / 2 − 1.
constexpr int WindowLow(int n) { return -(n / 2); }
constexpr int WindowHigh(int n) { return n - n / 2 - 1; }

// Runs list entry `index` with its three parameters. False for an entry whose
// routine does not exist in this build.
bool RunFilterKernel(int index, const FilterTarget& t, const int params[3]);
// Whether list entry `index` with these parameters writes every selected pixel and
// honours dstFresh, so a whole-picture run may hand it an unfilled dst.
bool FilterWritesEveryPixel(int index, const int params[3]);

}  // namespace velmira
