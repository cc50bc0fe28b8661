// Geometric kernels over one layer's planes: flips, rotation by inverse mapping,
// resampling for resize, the quadrilateral painter of the free transforms, the
// composed-picture mirror and ellipse, and the touch warp.
//
// Layers are in storage order (x from the left, y = 0 the bottom row as shown).
// Every kernel moves the pixel rows, the transparency plane, the effect plane and,
// when given one, a selection mask of the layer's geometry together.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "image/image_buffer.h"
#include "image/layers.h"

namespace velmira {

// The byte planes of one layer (or a stand-alone copy of them).
struct Planes {
  int width = 0, height = 0, bpp = 24, stride = 0;
  bool text = false;  // a text layer's one byte per pixel, not a palette index
  Plane pixels, alpha, effect, mask;  // mask empty: none carried
  bool HasMask() const { return mask.size() == size_t(width) * size_t(height) && !mask.empty(); }
};

// Blank planes: pixels 255, transparency `alpha0`, effect 0, mask `mask0` when
// `withMask`; set `text` first for a text layer's byte plane. `zeroEffect`, an
// all-zero plane of the new pixel count, is taken over as the effect plane. False
// (nothing taken) when the size is unusable or memory runs out.
bool MakePlanes(Planes& p, int width, int height, int bpp, uint8_t alpha0, bool withMask, uint8_t mask0,
                Plane* zeroEffect = nullptr);
// Copies a layer's planes out (the mask only when its geometry is the layer's).
Planes PlanesOf(const Layer& l, int bpp, const Plane* mask);

// Mirror in place: left–right or top–bottom.
void FlipPlanes(Planes& p, bool horizontal);

// The working angle of a rotation of `degrees` (clockwise on screen is positive).
float RotationAngle(float degrees);
// The destination box of a rotation: corners of the w × h layer rotated and
// truncated toward zero, the origin corner included.
struct RotatedBox {
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  int Width() const { return maxX - minX + 1; }
  int Height() const { return maxY - minY + 1; }
};
RotatedBox RotatedBoxOf(int width, int height, float theta);
// Fills `dst` (already sized box.Width() × box.Height(), content at its origin) by
// inverse mapping from `src`, each destination pixel taking the nearest source
// pixel. Sources outside give `outside` with coverage 0.
void RotatePlanes(const Planes& src, float theta, const RotatedBox& box, Planes& dst, Rgbq outside,
                  int paletteIndexOutside);

// Resize sampling: bilinear when neither axis shrinks, area average otherwise.
bool ResizeUsesBilinear(float sx, float sy);
// `dst` is sized w × h; the palette (B, G, R, 0 entries) serves paletted planes.
void ResizePlanes(const Planes& src, float sx, float sy, Planes& dst, const std::vector<uint8_t>& palette);

// A corner of the free-transform quadrilateral, in pixel-edge coordinates as the
// user sees them (x from the left, y from the top of the box).
struct QuadPoint {
  double x = 0, y = 0;
};
// Box size of a quadrilateral whose minimum corner is at the origin.
void QuadBoxSize(const QuadPoint q[4], int* width, int* height);
// Paints `src` onto the quadrilateral q (corners top-left, top-right, bottom-right,
// bottom-left, already shifted so the box starts at 0) inside `dst`, which must be
// at least the box size. False (dst untouched) when the edge lines are parallel.
// The box's top row lands on storage row boxHeight − 1 of `dst`, so the box sits
// at the planes' origin like every other transformed layer.
bool QuadPlanes(const Planes& src, const QuadPoint q[4], int boxHeight, Planes& dst,
                const std::vector<uint8_t>& palette);

// Copies `src` into `dst` with its pixel (0, 0) at (dx, dy); parts outside are dropped.
void PlacePlanes(const Planes& src, Planes& dst, int dx, int dy);

// Canvas-size offsets of anchor 0…8 (0 top-left … 8 bottom-right), storage rows.
void AnchorOffset(int anchor, int newW, int newH, int oldW, int oldH, int* dx, int* dy);

// The composed picture mirrored left–right into a new image of the same shape.
bool MirrorImage(const CImageBuffer& in, CImageBuffer& out);
// The ellipse transform of a W × H picture: colours from `read(x, y)` (the active
// layer in canvas storage coordinates), `outside` beyond the picture.
template <class Read>
bool EllipseImage(const CImageBuffer& shape, CImageBuffer& out, Read read);

// The touch warp over the box [left, right) × [bottom row e, f) in storage rows,
// reading from `src` and writing into `dst` (same geometry). `inside(x, y)` limits
// the pixels changed (the selection).
struct WarpParams {
  int left = 0, right = 0, top = 0, bottom = 0;  // c, d, e, f of the box
  float strength = 1.0f;
  int mode = 0;  // 0 squeeze, 1 stretch (with the edge fade), 2 shift
};
void WarpPlanes(const Planes& src, Planes& dst, const WarpParams& w, const Plane* selection,
                const std::vector<uint8_t>& palette, Rgbq outside);

// ------------------------------------------------------------------ inline

template <class Read>
bool EllipseImage(const CImageBuffer& shape, CImageBuffer& out, Read read) {
  const int W = shape.Width(), H = shape.Height();
  if (W <= 0 || H <= 0) return false;
  if (!out.Allocate(W, H, shape.Bpp(), shape.FormatType())) return false;
  if (shape.Bpp() <= 8) out.LoadPalette(shape.Palette(), shape.ColoursUsed());
  out.Ext().transparentIndex = shape.Ext().transparentIndex;
  out.Ext().transparentColour = shape.Ext().transparentColour;
  const float cx = float(W) / 2.0f, cy = float(H) / 2.0f, k = float(H) / float(W);
  const bool paletted = shape.Bpp() <= 8 && shape.Ext().transparentIndex != -1;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float u = k * (float(x) - cx), v = float(y) - cy;
      float s = 1.0f;
      if (u != 0.0f || v != 0.0f) {
        const float r = std::sqrt(u * u + v * v);
        s = std::fabs(v) < std::fabs(u) ? std::fabs(r / u) : std::fabs(r / v);
      }
      const int sx = int(u * s / k + cx), sy = int(v * s + cy);
      if (sx >= 0 && sy >= 0 && sx < W && sy < H) {
        out.WriteColor(x, y, read(sx, sy));
      } else if (paletted) {
        out.WriteIndex(x, y, shape.Ext().transparentIndex);
      } else {
        out.WriteColor(x, y, MakeRgbq(255, 255, 255));
      }
    }
  return true;
}

}  // namespace velmira
