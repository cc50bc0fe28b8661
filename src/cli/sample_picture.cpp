#include "cli/sample_picture.h"

#include <algorithm>
#include <cmath>

namespace velmira {

namespace {

uint8_t Clamp(double v) { return uint8_t(std::clamp(int(std::lround(v)), 0, 255)); }

}  // namespace

bool DrawSamplePicture(CImageBuffer& out) {
  constexpr int W = 800, H = 600;
  if (!out.Allocate(W, H, 24, kFormatBmp)) return false;
  const int horizon = 380;
  for (int top = 0; top < H; ++top) {
    uint8_t* row = out.Row(H - 1 - top);  // rows are stored bottom-up
    for (int x = 0; x < W; ++x) {
      double r, g, b;
      const double hill = 330 + 40 * std::sin(x / 90.0) + 18 * std::sin(x / 31.0 + 1.3);
      const double far = 300 + 25 * std::sin(x / 140.0 + 2.0);
      if (top < horizon) {
        // Sky from deep blue to a warm haze, with a sun.
        const double t = double(top) / horizon;
        r = 40 + 200 * t, g = 90 + 130 * t, b = 200 + 30 * t;
        const double d = std::hypot(x - 560.0, top - 150.0);
        if (d < 60) r = 255, g = 236, b = 150;
        else if (d < 110) { const double k = (110 - d) / 50; r += (255 - r) * k * 0.6; g += (220 - g) * k * 0.5; }
        if (top > far) r = 90, g = 110, b = 150;          // distant mountains
        if (top > hill) r = 60 + 0.1 * x, g = 140 - 0.05 * (top - hill), b = 60;  // hills
      } else {
        // The lake mirrors the sky, darker and rippled.
        const int mirror = 2 * horizon - top + int(4 * std::sin(top / 3.0 + x / 25.0));
        const double t = std::clamp(double(mirror) / horizon, 0.0, 1.0);
        r = (40 + 200 * t) * 0.55, g = (90 + 130 * t) * 0.6, b = (200 + 30 * t) * 0.75;
      }
      // Colour bars along the bottom edge: primaries, greys and a full ramp.
      if (top >= H - 40) {
        const int bar = x / 100;
        static const int bars[8][3] = {{255, 0, 0}, {0, 255, 0},   {0, 0, 255},   {255, 255, 0},
                                       {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}};
        if (top < H - 20) r = bars[bar][0], g = bars[bar][1], b = bars[bar][2];
        else r = g = b = x * 255.0 / (W - 1);
      }
      uint8_t* p = row + 3 * x;
      p[0] = Clamp(b), p[1] = Clamp(g), p[2] = Clamp(r);
    }
  }
  return true;
}

}  // namespace velmira
