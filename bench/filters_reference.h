// The enhancement filters in their plain per-window form: every output pixel visits
// every tap of its window through bounds-checked reads. Slow on purpose. The tests
// check the fast routines of processing/filters.h against these byte for byte, and
// filters_bench times both.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "processing/filters.h"

namespace velmira::reference {

inline bool Inside(const FilterTarget& t, int x, int y) {
  return x >= 0 && y >= 0 && x < t.width && y < t.height;
}
inline bool Processed(const FilterTarget& t, int x, int y) { return Inside(t, x, y) && t.Selected(x, y); }
inline Rgbq Read(const FilterTarget& t, int x, int y) {
  if (!Inside(t, x, y)) return t.outside;
  const uint8_t* p = t.src + size_t(y) * size_t(t.stride) + 3 * size_t(x);
  return MakeRgbq(p[2], p[1], p[0]);
}
inline void Write(const FilterTarget& t, int x, int y, Rgbq c) {
  uint8_t* p = t.dst + size_t(y) * size_t(t.stride) + 3 * size_t(x);
  p[0] = uint8_t(RgbqB(c));
  p[1] = uint8_t(RgbqG(c));
  p[2] = uint8_t(RgbqR(c));
}
inline int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
inline int Diff(Rgbq a, Rgbq b) {
  return std::abs(RgbqR(a) - RgbqR(b)) + std::abs(RgbqG(a) - RgbqG(b)) + std::abs(RgbqB(a) - RgbqB(b));
}

inline void GreyConvolve(const FilterTarget& t, const Kernel3& k, bool border, uint32_t* out = nullptr) {
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      int sR = 0, sG = 0, sB = 0, ks = 0;
      for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
          if (!Inside(t, x + i - 1, y + j - 1)) continue;
          const Rgbq c = Read(t, x + i - 1, y + j - 1);
          const int kv = k.k[3 * j + i];
          sR += kv * RgbqR(c);
          sG += kv * RgbqG(c);
          sB += kv * RgbqB(c);
          ks += kv;
        }
      int g = (sB + sG + sR) / 3;
      if (ks != 0) g /= ks;
      g = Clamp(g);
      if (border && (x == 0 || y == 0 || x == t.width - 1 || y == t.height - 1)) g = 0;
      if (out)
        out[size_t(y) * size_t(t.width) + size_t(x)] = MakeRgbq(g, g, g);
      else
        Write(t, x, y, MakeRgbq(g, g, g));
    }
}

inline void WindowBlur(const FilterTarget& t, int n, bool soften) {
  const int lo = -(n / 2), hi = n - n / 2 - 1;
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      int r = 0, g = 0, b = 0, count = 0;
      for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx) {
          if (!Processed(t, x + dx, y + dy)) continue;
          const int wgt = soften && dx == 0 && dy == 0 ? n * n : 1;
          const Rgbq c = Read(t, x + dx, y + dy);
          r += RgbqR(c) * wgt;
          g += RgbqG(c) * wgt;
          b += RgbqB(c) * wgt;
          ++count;
        }
      if (count >= 1) Write(t, x, y, MakeRgbq(Clamp(r / count), Clamp(g / count), Clamp(b / count)));
    }
}

inline void Shrink(const FilterTarget& t, int n) {
  const int lo = -(n / 2), hi = n - n / 2 - 1;
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      int r = 255, g = 255, b = 255;
      for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx) {
          if (!Inside(t, x + dx, y + dy)) continue;
          const Rgbq c = Read(t, x + dx, y + dy);
          r = std::min(r, RgbqR(c));
          g = std::min(g, RgbqG(c));
          b = std::min(b, RgbqB(c));
        }
      Write(t, x, y, MakeRgbq(r, g, b));
    }
}

inline void Grow(const FilterTarget& t, int n) {
  const int lo = -(n / 2), hi = n - n / 2 - 1;
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      int r = 0, g = 0, b = 0;
      for (int dy = lo; dy <= hi; ++dy)
        for (int dx = lo; dx <= hi; ++dx) {
          const Rgbq c = Read(t, x + dx, y + dy);
          r = std::max(r, RgbqR(c));
          g = std::max(g, RgbqG(c));
          b = std::max(b, RgbqB(c));
        }
      Write(t, x, y, MakeRgbq(r, g, b));
    }
}

inline void EdgeEmphasis(const FilterTarget& t, int a, int b) {
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      const int nx[4] = {x, x - 1, x + 1, x}, ny[4] = {y - 1, y, y, y + 1};
      bool all = true;
      for (int i = 0; i < 4; ++i) all = all && t.Selected(nx[i], ny[i]);
      if (!all) continue;
      const Rgbq p = Read(t, x, y);
      int d = 0;
      for (int i = 0; i < 4; ++i) d += Diff(p, Read(t, nx[i], ny[i]));
      d /= 4;
      if (d < a) continue;
      d -= int(float(b) * 0.1f * float(a));
      Write(t, x, y, MakeRgbq(Clamp(RgbqR(p) - d), Clamp(RgbqG(p) - d), Clamp(RgbqB(p) - d)));
    }
}

inline void Denoise(const FilterTarget& t, int s, int q) {
  if (s < 2) s = 2;
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      const Rgbq p = Read(t, x, y);
      for (int k = s; k >= 2; --k) {
        if (!Inside(t, x + k - 1, y + k - 1)) continue;
        int similar = 0;
        for (int i = 0; i < k; ++i) {
          similar += Diff(p, Read(t, x + i, y)) < 51;
          similar += Diff(p, Read(t, x + i, y + k - 1)) < 51;
          similar += Diff(p, Read(t, x, y + i)) < 51;
          similar += Diff(p, Read(t, x + k - 1, y + i)) < 51;
        }
        if (similar < q * k) continue;
        for (int yy = y; yy < y + k; ++yy)
          for (int xx = x; xx < x + k; ++xx)
            if (Processed(t, xx, yy)) Write(t, xx, yy, p);
        break;
      }
    }
  // Patterns over n1 … n8 ('D' differs, 'S' same or not counted) and the tap copied.
  static const char* kPatterns[4] = {"DDDDDSSS", "DDSDSDDS", "SDDSDSDD", "SSSDDDDD"};
  static const int kFrom[4] = {0, 0, 7, 0};
  const int nx[8] = {-1, 0, 1, -1, 1, -1, 0, 1}, ny[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  for (int y = 0; y < t.height; ++y)
    for (int x = 0; x < t.width; ++x) {
      if (!Processed(t, x, y)) continue;
      const Rgbq p = Read(t, x, y);
      char code[9] = {};
      for (int i = 0; i < 8; ++i)
        code[i] = Processed(t, x + nx[i], y + ny[i]) && Diff(p, Read(t, x + nx[i], y + ny[i])) > 0 ? 'D' : 'S';
      for (int r = 0; r < 4; ++r) {
        if (std::string_view(code, 8) != kPatterns[r]) continue;
        const int f = kFrom[r];
        if (Inside(t, x + nx[f], y + ny[f])) Write(t, x, y, Read(t, x + nx[f], y + ny[f]));
        break;
      }
    }
}

inline void RegionFill(const FilterTarget& t, int tol) {
  std::vector<uint8_t> visited(size_t(t.width) * size_t(t.height), 0);
  auto V = [&](int x, int y) -> uint8_t& { return visited[size_t(y) * size_t(t.width) + size_t(x)]; };
  std::vector<std::pair<int, int>> stack;
  for (int x0 = 0; x0 < t.width; ++x0)
    for (int y0 = 0; y0 < t.height; ++y0) {
      if (V(x0, y0) || !t.Selected(x0, y0)) continue;
      const Rgbq c = Read(t, x0, y0);
      V(x0, y0) = 1;
      stack.push_back({x0, y0});
      while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (!Processed(t, x, y)) continue;
        Write(t, x, y, c);
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if ((dx || dy) && Inside(t, xx, yy) && !V(xx, yy) && Diff(c, Read(t, xx, yy)) <= tol) {
              V(xx, yy) = 1;
              stack.push_back({xx, yy});
            }
          }
      }
    }
}

}  // namespace velmira::reference
