#include "image/compose.h"

#include "image/view_mips.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velmira {

float BlendFactor(int coverage, int layerTransparency) {
  const float alpha = coverage == 255 ? 1.0f : float(coverage * 0.00392156862745098);
  return alpha * float(255 - layerTransparency) * 0.003921569f;
}

int BlendChannel(int mode, float n, int s, int d) {
  int v;
  switch (mode) {
    case kBlendMultiply: v = (d * s) >> 8; break;
    case kBlendScreen: v = 255 - (((255 - d) * (255 - s)) >> 8); break;
    case kBlendDarken: v = std::min(d, s); break;
    case kBlendLighten: v = std::max(d, s); break;
    case kBlendDifference: v = std::abs(d - s); break;
    case kBlendInverseDifference: v = 255 - std::abs(255 - d - s); break;
    case kBlendExclusion: v = d + s - (d * s) / 128; break;
    case kBlendOverlay:
      v = s >= 128 ? 255 - (((255 - d) * (255 - s)) >> 7) : (d * s) >> 7;
      break;
    default: v = int(n * float(s) + (1.0f - n) * float(d)); break;
  }
  return std::clamp(v, 0, 255);
}

int BestComposeKernel() {
#if defined(__x86_64__) || defined(__i386__)
  static const int best = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                                  __builtin_cpu_supports("avx512vbmi")
                              ? 3
                          : __builtin_cpu_supports("avx2") ? 2
                                                           : 1;
  return best;
#else
  return 0;
#endif
}

namespace {

// Where a layer's colours come from.
enum class Src { Bgr24, Bgr32, Indexed, Text };
// The list's bottom layer writes d = N × s; every other layer blends by its mode.
constexpr int kModeBottom = -1;

struct LayerView;
using RowFn = void (*)(LayerView&, const uint8_t*, const uint8_t*, uint8_t*);

// One layer prepared for a composition: its colour source, its blend factors and
// the output columns it covers.
struct LayerView {
  const Layer* l = nullptr;
  Src src = Src::Bgr24;
  int bpp = 24;
  RowFn fn = nullptr;
  float n[256];
  uint8_t lut[256][3];
  // N × s and (1 − N) × d for one coverage value each, filled on first use: the same
  // single-precision products the blend formula forms, looked up instead of
  // recomputed for every pixel.
  std::unique_ptr<float[]> ns, md;
  bool built[256];
  // Output columns [i0, i1) may be covered; layer column = lc0 + i, or cols[i]
  // (−1 outside the layer) when the output samples the canvas sparsely.
  int i0 = 0, i1 = 0, lc0 = 0;
  std::vector<int> cols;
  // The geometry the rows and columns are read in: the layer's, or its level's.
  int gx = 0, gy = 0, gw = 0, gh = 0;
  const std::vector<int>* rows = nullptr;  // grid row per output row
  MipLevelView* fill = nullptr;
  const std::vector<int>* levelRows = nullptr;
  int fillCol = 0;  // the level column of output column 0
  const uint8_t* pixEnd = nullptr;  // vector loads must not read past this
  bool gather = false;              // sampled columns copied into a strip per row
  bool shadow = false;              // the layer's effect plane is drawn under it
  // Row r of a plane starts at base + r × step. A plane that was never written is
  // one uniform row read for every row (step 0), so it costs no memory traffic.
  const uint8_t* pixBase = nullptr;
  const uint8_t* alphaBase = nullptr;
  const uint8_t* effectBase = nullptr;
  size_t pixStep = 0, alphaStep = 0, effectStep = 0;
  std::vector<uint8_t> flat;

  void Build(int a) {
    if (!ns) {
      // Only the scalar rows use the tables; the vector kernels never allocate them.
      ns.reset(new float[256 * 256]);
      md.reset(new float[256 * 256]);
    }
    const float na = n[a], m = 1.0f - na;
    float* p = ns.get() + 256 * a;
    float* q = md.get() + 256 * a;
    for (int v = 0; v < 256; ++v) {
      p[v] = na * float(v);
      q[v] = m * float(v);
    }
    built[a] = true;
  }
};

template <Src S>
inline void Fetch(const LayerView& v, const uint8_t* prow, int lc, int& b, int& g, int& r) {
  if constexpr (S == Src::Bgr24) {
    const uint8_t* p = prow + 3 * size_t(lc);
    b = p[0], g = p[1], r = p[2];
  } else if constexpr (S == Src::Bgr32) {
    const uint8_t* p = prow + 4 * size_t(lc);
    b = p[0], g = p[1], r = p[2];
  } else if constexpr (S == Src::Indexed) {
    int i;
    if (v.bpp == 8)
      i = prow[lc];
    else if (v.bpp == 4)
      i = (prow[lc >> 1] >> ((lc & 1) ? 0 : 4)) & 0x0F;
    else
      i = (prow[lc >> 3] >> (7 - (lc & 7))) & 1;
    b = v.lut[i][0], g = v.lut[i][1], r = v.lut[i][2];
  } else {
    b = v.lut[0][0], g = v.lut[0][1], r = v.lut[0][2];
  }
}

inline uint8_t Coverage(int t, int a) { return uint8_t(t == 0 ? a : std::min(255, t * (a + 1))); }

// One output row of one layer.
template <int Mode, Src S, bool Sparse>
void BlendSpan(LayerView& v, const uint8_t* prow, const uint8_t* arow, uint8_t* out, const int i0, const int i1) {
  // Locals, not members: the target stores below could alias anything reachable
  // through `v`, and the compiler would reload it for every pixel.
  const int lc0 = v.lc0;
  const int* const cols = v.cols.data();
  int lastA = -1;
  const float* nsr = nullptr;
  const float* mdr = nullptr;
  for (int i = i0; i < i1; ++i) {
    int lc;
    if constexpr (Sparse) {
      lc = cols[i];
      if (lc < 0) continue;
    } else {
      lc = lc0 + i;
    }
    const int a = arow[lc];
    if (a == 0) continue;
    int sb, sg, sr;
    Fetch<S>(v, prow, lc, sb, sg, sr);
    // The target pixel is read and written as one word: byte-wise stores would make
    // every following channel wait for the previous one.
    uint8_t* dp = out + 4 * size_t(i);
    uint32_t word;
    std::memcpy(&word, dp, 4);
    const int db = int(word & 0xFF), dg = int((word >> 8) & 0xFF), dr = int((word >> 16) & 0xFF);
    const int t = int(word >> 24);
    int rb, rg, rr;
    if constexpr (Mode == kModeBottom || Mode == kBlendNormal) {
      if (a != lastA) {
        if (!v.built[a]) v.Build(a);
        nsr = v.ns.get() + 256 * a;
        mdr = v.md.get() + 256 * a;
        lastA = a;
      }
      if constexpr (Mode == kModeBottom) {
        rb = int(nsr[sb]), rg = int(nsr[sg]), rr = int(nsr[sr]);
      } else {
        rb = int(nsr[sb] + mdr[db]), rg = int(nsr[sg] + mdr[dg]), rr = int(nsr[sr] + mdr[dr]);
      }
    } else {
      rb = BlendChannel(Mode, 0.0f, sb, db);
      rg = BlendChannel(Mode, 0.0f, sg, dg);
      rr = BlendChannel(Mode, 0.0f, sr, dr);
    }
    word = uint32_t(rb) | (uint32_t(rg) << 8) | (uint32_t(rr) << 16) | (uint32_t(Coverage(t, a)) << 24);
    std::memcpy(dp, &word, 4);
  }
}

template <int Mode, Src S, bool Sparse>
void BlendRow(LayerView& v, const uint8_t* prow, const uint8_t* arow, uint8_t* out) {
  BlendSpan<Mode, S, Sparse>(v, prow, arow, out, v.i0, v.i1);
}

#if defined(__SSE2__)
// Four pixels at a time for 24-bit layers read without a column map. Every lane
// performs the scalar formula's own operations (single-precision multiply, add and
// truncation; integer arithmetic for the other modes), so the bytes are identical.
template <int Mode>
void BlendRowSse2(LayerView& v, const uint8_t* prow, const uint8_t* arow, uint8_t* out) {
  const int i0 = v.i0, i1 = v.i1, lc0 = v.lc0;
  const __m128i ff = _mm_set1_epi32(0xFF);
  const __m128i zero = _mm_setzero_si128();
  const __m128 one = _mm_set1_ps(1.0f);
  const float* const n = v.n;
  int i = i0;
  for (; i + 4 <= i1; i += 4) {
    const int lc = lc0 + i;
    uint32_t a4;
    std::memcpy(&a4, arow + lc, 4);
    if (a4 == 0) continue;
    const __m128i a = _mm_and_si128(_mm_setr_epi32(int(a4 & 0xFF), int((a4 >> 8) & 0xFF), int((a4 >> 16) & 0xFF), int(a4 >> 24)), ff);
    const uint8_t* p = prow + 3 * size_t(lc);
    const __m128i sb = _mm_setr_epi32(p[0], p[3], p[6], p[9]);
    const __m128i sg = _mm_setr_epi32(p[1], p[4], p[7], p[10]);
    const __m128i sr = _mm_setr_epi32(p[2], p[5], p[8], p[11]);
    uint8_t* dp = out + 4 * size_t(i);
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp));
    const __m128i db = _mm_and_si128(t, ff);
    const __m128i dg = _mm_and_si128(_mm_srli_epi32(t, 8), ff);
    const __m128i dr = _mm_and_si128(_mm_srli_epi32(t, 16), ff);
    const __m128i ta = _mm_srli_epi32(t, 24);
    __m128i rb, rg, rr;
    if constexpr (Mode == kModeBottom || Mode == kBlendNormal) {
      const __m128 nv = _mm_setr_ps(n[a4 & 0xFF], n[(a4 >> 8) & 0xFF], n[(a4 >> 16) & 0xFF], n[a4 >> 24]);
      if constexpr (Mode == kModeBottom) {
        rb = _mm_cvttps_epi32(_mm_mul_ps(nv, _mm_cvtepi32_ps(sb)));
        rg = _mm_cvttps_epi32(_mm_mul_ps(nv, _mm_cvtepi32_ps(sg)));
        rr = _mm_cvttps_epi32(_mm_mul_ps(nv, _mm_cvtepi32_ps(sr)));
      } else {
        const __m128 mv = _mm_sub_ps(one, nv);
        rb = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(nv, _mm_cvtepi32_ps(sb)), _mm_mul_ps(mv, _mm_cvtepi32_ps(db))));
        rg = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(nv, _mm_cvtepi32_ps(sg)), _mm_mul_ps(mv, _mm_cvtepi32_ps(dg))));
        rr = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(nv, _mm_cvtepi32_ps(sr)), _mm_mul_ps(mv, _mm_cvtepi32_ps(dr))));
      }
    } else {
      // Channel values sit in the low 16 bits of each 32-bit lane with zero above,
      // so 16-bit multiplies, minima and maxima give the 32-bit results.
      auto op = [&](__m128i s, __m128i d) -> __m128i {
        const __m128i c255 = ff;
        if constexpr (Mode == kBlendMultiply) {
          return _mm_srli_epi32(_mm_mullo_epi16(d, s), 8);
        } else if constexpr (Mode == kBlendScreen) {
          return _mm_sub_epi32(c255, _mm_srli_epi32(_mm_mullo_epi16(_mm_sub_epi32(c255, d), _mm_sub_epi32(c255, s)), 8));
        } else if constexpr (Mode == kBlendDarken) {
          return _mm_min_epi16(d, s);
        } else if constexpr (Mode == kBlendLighten) {
          return _mm_max_epi16(d, s);
        } else if constexpr (Mode == kBlendDifference) {
          return _mm_sub_epi32(_mm_max_epi16(d, s), _mm_min_epi16(d, s));
        } else if constexpr (Mode == kBlendInverseDifference) {
          const __m128i x = _mm_sub_epi32(_mm_sub_epi32(c255, d), s);
          const __m128i m = _mm_srai_epi32(x, 31);
          return _mm_sub_epi32(c255, _mm_sub_epi32(_mm_xor_si128(x, m), m));
        } else if constexpr (Mode == kBlendExclusion) {
          const __m128i r = _mm_sub_epi32(_mm_add_epi32(d, s), _mm_srli_epi32(_mm_mullo_epi16(d, s), 7));
          return _mm_min_epi16(_mm_max_epi16(r, zero), c255);
        } else if constexpr (Mode == kBlendOverlay) {
          const __m128i hi = _mm_sub_epi32(c255, _mm_srli_epi32(_mm_mullo_epi16(_mm_sub_epi32(c255, d), _mm_sub_epi32(c255, s)), 7));
          const __m128i lo = _mm_srli_epi32(_mm_mullo_epi16(d, s), 7);
          const __m128i big = _mm_cmpgt_epi32(s, _mm_set1_epi32(127));
          return _mm_or_si128(_mm_and_si128(big, hi), _mm_andnot_si128(big, lo));
        } else {
          return d;
        }
      };
      rb = op(sb, db);
      rg = op(sg, dg);
      rr = op(sr, dr);
    }
    // Coverage: t = 0 takes a, otherwise min(255, t × (a + 1)); t × (a + 1) < 65536.
    const __m128i prod = _mm_mullo_epi16(ta, _mm_add_epi32(a, _mm_set1_epi32(1)));
    const __m128i capped = _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi32(prod, ff), ff),
                                        _mm_andnot_si128(_mm_cmpgt_epi32(prod, ff), prod));
    const __m128i tz = _mm_cmpeq_epi32(ta, zero);
    const __m128i cov = _mm_or_si128(_mm_and_si128(tz, a), _mm_andnot_si128(tz, capped));
    __m128i word = _mm_or_si128(_mm_or_si128(rb, _mm_slli_epi32(rg, 8)),
                                _mm_or_si128(_mm_slli_epi32(rr, 16), _mm_slli_epi32(cov, 24)));
    // Uncovered pixels keep the target as it was.
    const __m128i keep = _mm_cmpeq_epi32(a, zero);
    word = _mm_or_si128(_mm_and_si128(keep, t), _mm_andnot_si128(keep, word));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dp), word);
  }
  if (i < i1) BlendSpan<Mode, Src::Bgr24, false>(v, prow, arow, out, i, i1);
}
#endif

template <int Mode, bool Sparse>
RowFn PickSrc(Src s) {
  switch (s) {
    case Src::Bgr24: return &BlendRow<Mode, Src::Bgr24, Sparse>;
    case Src::Bgr32: return &BlendRow<Mode, Src::Bgr32, Sparse>;
    case Src::Indexed: return &BlendRow<Mode, Src::Indexed, Sparse>;
    default: return &BlendRow<Mode, Src::Text, Sparse>;
  }
}

#if defined(__x86_64__) || defined(__i386__)
// These helpers pass 256-bit vectors between functions that are all compiled for
// AVX2, so the ABI note GCC gives for such signatures does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
// One blend mode on eight channel values. Products of two channels stay below
// 65536, so 16-bit multiplies suffice.
template <int Mode>
__attribute__((target("avx2"))) inline __m256i ModeOp256(__m256i s, __m256i d) {
  const __m256i ff = _mm256_set1_epi32(0xFF);
  const __m256i zero = _mm256_setzero_si256();
  if constexpr (Mode == kBlendMultiply) {
    return _mm256_srli_epi32(_mm256_mullo_epi16(d, s), 8);
  } else if constexpr (Mode == kBlendScreen) {
    return _mm256_sub_epi32(
        ff, _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_sub_epi32(ff, d), _mm256_sub_epi32(ff, s)), 8));
  } else if constexpr (Mode == kBlendDarken) {
    return _mm256_min_epi32(d, s);
  } else if constexpr (Mode == kBlendLighten) {
    return _mm256_max_epi32(d, s);
  } else if constexpr (Mode == kBlendDifference) {
    return _mm256_abs_epi32(_mm256_sub_epi32(d, s));
  } else if constexpr (Mode == kBlendInverseDifference) {
    return _mm256_sub_epi32(ff, _mm256_abs_epi32(_mm256_sub_epi32(_mm256_sub_epi32(ff, d), s)));
  } else if constexpr (Mode == kBlendExclusion) {
    const __m256i r = _mm256_sub_epi32(_mm256_add_epi32(d, s), _mm256_srli_epi32(_mm256_mullo_epi16(d, s), 7));
    return _mm256_min_epi32(_mm256_max_epi32(r, zero), ff);
  } else if constexpr (Mode == kBlendOverlay) {
    const __m256i hi = _mm256_sub_epi32(
        ff, _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_sub_epi32(ff, d), _mm256_sub_epi32(ff, s)), 7));
    const __m256i lo = _mm256_srli_epi32(_mm256_mullo_epi16(d, s), 7);
    return _mm256_blendv_epi8(lo, hi, _mm256_cmpgt_epi32(s, _mm256_set1_epi32(127)));
  } else {
    return d;
  }
}

// Eight pixels at a time where the processor has AVX2; the same lane-wise
// operations as the scalar and SSE2 forms, so the bytes are the same.
template <int Mode>
__attribute__((target("avx2"))) void BlendRowAvx2(LayerView& v, const uint8_t* prow, const uint8_t* arow,
                                                   uint8_t* out) {
  const int i0 = v.i0, i1 = v.i1, lc0 = v.lc0;
  const uint8_t* const pixEnd = v.pixEnd;
  const __m256i ff = _mm256_set1_epi32(0xFF);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i one32 = _mm256_set1_epi32(1);
  const __m256 one = _mm256_set1_ps(1.0f);
  // Per 128-bit half: four 3-byte pixels spread into the low byte of 32-bit lanes.
  const __m256i shufB = _mm256_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1,
                                         0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
  const __m256i shufG = _mm256_add_epi8(shufB, _mm256_setr_epi8(1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                                                 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0));
  const __m256i shufR = _mm256_add_epi8(shufG, _mm256_setr_epi8(1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                                                 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0));
  const float* const n = v.n;
  int i = i0;
  for (; i + 8 <= i1; i += 8) {
    const int lc = lc0 + i;
    const uint8_t* p = prow + 3 * size_t(lc);
    if (p + 28 > pixEnd) break;  // the last pixels of the buffer go the scalar way
    uint64_t a8;
    std::memcpy(&a8, arow + lc, 8);
    if (a8 == 0) continue;
    const __m256i a = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(int64_t(a8)));
    const __m256i src = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
    const __m256i sb = _mm256_shuffle_epi8(src, shufB);
    const __m256i sg = _mm256_shuffle_epi8(src, shufG);
    const __m256i sr = _mm256_shuffle_epi8(src, shufR);
    uint8_t* dp = out + 4 * size_t(i);
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dp));
    const __m256i db = _mm256_and_si256(t, ff);
    const __m256i dg = _mm256_and_si256(_mm256_srli_epi32(t, 8), ff);
    const __m256i dr = _mm256_and_si256(_mm256_srli_epi32(t, 16), ff);
    const __m256i ta = _mm256_srli_epi32(t, 24);
    __m256i rb, rg, rr;
    if constexpr (Mode == kModeBottom || Mode == kBlendNormal) {
      // Coverage is mostly uniform over eight pixels; a broadcast beats a gather.
      const __m256 nv = a8 == (a8 & 0xFF) * 0x0101010101010101ull ? _mm256_set1_ps(n[a8 & 0xFF])
                                                                   : _mm256_i32gather_ps(n, a, 4);
      if constexpr (Mode == kModeBottom) {
        rb = _mm256_cvttps_epi32(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sb)));
        rg = _mm256_cvttps_epi32(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sg)));
        rr = _mm256_cvttps_epi32(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sr)));
      } else {
        const __m256 mv = _mm256_sub_ps(one, nv);
        rb = _mm256_cvttps_epi32(
            _mm256_add_ps(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sb)), _mm256_mul_ps(mv, _mm256_cvtepi32_ps(db))));
        rg = _mm256_cvttps_epi32(
            _mm256_add_ps(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sg)), _mm256_mul_ps(mv, _mm256_cvtepi32_ps(dg))));
        rr = _mm256_cvttps_epi32(
            _mm256_add_ps(_mm256_mul_ps(nv, _mm256_cvtepi32_ps(sr)), _mm256_mul_ps(mv, _mm256_cvtepi32_ps(dr))));
      }
    } else {
      rb = ModeOp256<Mode>(sb, db);
      rg = ModeOp256<Mode>(sg, dg);
      rr = ModeOp256<Mode>(sr, dr);
    }
    const __m256i capped = _mm256_min_epi32(_mm256_mullo_epi16(ta, _mm256_add_epi32(a, one32)), ff);
    const __m256i cov = _mm256_blendv_epi8(capped, a, _mm256_cmpeq_epi32(ta, zero));
    __m256i word = _mm256_or_si256(_mm256_or_si256(rb, _mm256_slli_epi32(rg, 8)),
                                   _mm256_or_si256(_mm256_slli_epi32(rr, 16), _mm256_slli_epi32(cov, 24)));
    word = _mm256_blendv_epi8(word, t, _mm256_cmpeq_epi32(a, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp), word);
  }
  if (i < i1) BlendSpan<Mode, Src::Bgr24, false>(v, prow, arow, out, i, i1);
}

// GCC 12's AVX-512 headers start some intrinsics from an undefined vector and then
// warn that it may be used uninitialised; every lane is written before use.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Sixteen pixels at a time where the processor has AVX-512 with byte permutes:
// one permute spreads a colour channel of sixteen 3-byte pixels into 32-bit lanes,
// and mask registers replace the blends. The lanes do what the AVX2 lanes do, so
// the bytes are the same.
template <int Mode>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i ModeOp512(__m512i s, __m512i d) {
  const __m512i ff = _mm512_set1_epi32(0xFF);
  if constexpr (Mode == kBlendMultiply) {
    return _mm512_srli_epi32(_mm512_mullo_epi16(d, s), 8);
  } else if constexpr (Mode == kBlendScreen) {
    return _mm512_sub_epi32(
        ff, _mm512_srli_epi32(_mm512_mullo_epi16(_mm512_sub_epi32(ff, d), _mm512_sub_epi32(ff, s)), 8));
  } else if constexpr (Mode == kBlendDarken) {
    return _mm512_min_epi32(d, s);
  } else if constexpr (Mode == kBlendLighten) {
    return _mm512_max_epi32(d, s);
  } else if constexpr (Mode == kBlendDifference) {
    return _mm512_abs_epi32(_mm512_sub_epi32(d, s));
  } else if constexpr (Mode == kBlendInverseDifference) {
    return _mm512_sub_epi32(ff, _mm512_abs_epi32(_mm512_sub_epi32(_mm512_sub_epi32(ff, d), s)));
  } else if constexpr (Mode == kBlendExclusion) {
    const __m512i r = _mm512_sub_epi32(_mm512_add_epi32(d, s), _mm512_srli_epi32(_mm512_mullo_epi16(d, s), 7));
    return _mm512_min_epi32(_mm512_max_epi32(r, _mm512_setzero_si512()), ff);
  } else if constexpr (Mode == kBlendOverlay) {
    const __m512i hi = _mm512_sub_epi32(
        ff, _mm512_srli_epi32(_mm512_mullo_epi16(_mm512_sub_epi32(ff, d), _mm512_sub_epi32(ff, s)), 7));
    const __m512i lo = _mm512_srli_epi32(_mm512_mullo_epi16(d, s), 7);
    return _mm512_mask_blend_epi32(_mm512_cmpgt_epi32_mask(s, _mm512_set1_epi32(127)), lo, hi);
  } else {
    return d;
  }
}

template <int Mode>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void BlendRowAvx512(LayerView& v, const uint8_t* prow,
                                                                          const uint8_t* arow, uint8_t* out) {
  const int i0 = v.i0, i1 = v.i1, lc0 = v.lc0;
  const __m512i ff = _mm512_set1_epi32(0xFF);
  const __m512i one32 = _mm512_set1_epi32(1);
  const __m512 one = _mm512_set1_ps(1.0f);
  // Byte 4k of each channel vector takes byte 3k + channel of the sixteen pixels;
  // the other bytes are zeroed by the mask.
  alignas(64) uint8_t idx[3][64] = {};
  for (int c = 0; c < 3; ++c)
    for (int k = 0; k < 16; ++k) idx[c][4 * k] = uint8_t(3 * k + c);
  const __m512i shufB = _mm512_load_si512(idx[0]), shufG = _mm512_load_si512(idx[1]),
                shufR = _mm512_load_si512(idx[2]);
  constexpr __mmask64 kLow = 0x1111111111111111ull;
  constexpr __mmask64 kPixels = (__mmask64(1) << 48) - 1;
  const float* const n = v.n;
  int i = i0;
  for (; i + 16 <= i1; i += 16) {
    const int lc = lc0 + i;
    const __m128i a16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(arow + lc));
    if (_mm_testz_si128(a16, a16)) continue;
    const __m512i a = _mm512_cvtepu8_epi32(a16);
    // A masked load reads only the 48 bytes of the sixteen pixels, so the last
    // pixels of a buffer need no scalar tail.
    const __m512i src = _mm512_maskz_loadu_epi8(kPixels, prow + 3 * size_t(lc));
    const __m512i sb = _mm512_maskz_permutexvar_epi8(kLow, shufB, src);
    const __m512i sg = _mm512_maskz_permutexvar_epi8(kLow, shufG, src);
    const __m512i sr = _mm512_maskz_permutexvar_epi8(kLow, shufR, src);
    uint8_t* dp = out + 4 * size_t(i);
    const __m512i t = _mm512_loadu_si512(dp);
    const __m512i db = _mm512_and_si512(t, ff);
    const __m512i dg = _mm512_and_si512(_mm512_srli_epi32(t, 8), ff);
    const __m512i dr = _mm512_and_si512(_mm512_srli_epi32(t, 16), ff);
    const __m512i ta = _mm512_srli_epi32(t, 24);
    __m512i rb, rg, rr;
    if constexpr (Mode == kModeBottom || Mode == kBlendNormal) {
      const bool uniform = _mm_movemask_epi8(_mm_cmpeq_epi8(a16, _mm_set1_epi8(char(arow[lc])))) == 0xFFFF;
      const __m512 nv = uniform ? _mm512_set1_ps(n[arow[lc]]) : _mm512_i32gather_ps(a, n, 4);
      if constexpr (Mode == kModeBottom) {
        rb = _mm512_cvttps_epi32(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sb)));
        rg = _mm512_cvttps_epi32(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sg)));
        rr = _mm512_cvttps_epi32(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sr)));
      } else {
        const __m512 mv = _mm512_sub_ps(one, nv);
        rb = _mm512_cvttps_epi32(
            _mm512_add_ps(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sb)), _mm512_mul_ps(mv, _mm512_cvtepi32_ps(db))));
        rg = _mm512_cvttps_epi32(
            _mm512_add_ps(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sg)), _mm512_mul_ps(mv, _mm512_cvtepi32_ps(dg))));
        rr = _mm512_cvttps_epi32(
            _mm512_add_ps(_mm512_mul_ps(nv, _mm512_cvtepi32_ps(sr)), _mm512_mul_ps(mv, _mm512_cvtepi32_ps(dr))));
      }
    } else {
      rb = ModeOp512<Mode>(sb, db);
      rg = ModeOp512<Mode>(sg, dg);
      rr = ModeOp512<Mode>(sr, dr);
    }
    const __m512i capped = _mm512_min_epi32(_mm512_mullo_epi16(ta, _mm512_add_epi32(a, one32)), ff);
    const __m512i cov = _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(ta, _mm512_setzero_si512()), capped, a);
    const __m512i word = _mm512_or_si512(_mm512_or_si512(rb, _mm512_slli_epi32(rg, 8)),
                                         _mm512_or_si512(_mm512_slli_epi32(rr, 16), _mm512_slli_epi32(cov, 24)));
    // Uncovered pixels keep the target as it was.
    _mm512_mask_storeu_epi32(dp, _mm512_test_epi32_mask(a, a), word);
  }
  if (i < i1) BlendSpan<Mode, Src::Bgr24, false>(v, prow, arow, out, i, i1);
}
#pragma GCC diagnostic pop
#endif

int g_kernelLevel = -1;  // −1: the best the processor has

template <int Mode>
RowFn PickDense(Src s) {
  if (s != Src::Bgr24) return PickSrc<Mode, false>(s);
  const int level = g_kernelLevel >= 0 ? g_kernelLevel : BestComposeKernel();
#if defined(__x86_64__) || defined(__i386__)
  if (level >= 3) return &BlendRowAvx512<Mode>;
  if (level >= 2) return &BlendRowAvx2<Mode>;
#endif
#if defined(__SSE2__)
  if (level >= 1) return &BlendRowSse2<Mode>;
#endif
  return PickSrc<Mode, false>(s);
}

RowFn PickDenseRow(int mode, Src s) {
  switch (mode) {
    case kModeBottom: return PickDense<kModeBottom>(s);
    case kBlendMultiply: return PickDense<kBlendMultiply>(s);
    case kBlendScreen: return PickDense<kBlendScreen>(s);
    case kBlendDarken: return PickDense<kBlendDarken>(s);
    case kBlendLighten: return PickDense<kBlendLighten>(s);
    case kBlendDifference: return PickDense<kBlendDifference>(s);
    case kBlendInverseDifference: return PickDense<kBlendInverseDifference>(s);
    case kBlendExclusion: return PickDense<kBlendExclusion>(s);
    case kBlendOverlay: return PickDense<kBlendOverlay>(s);
    default: return PickDense<kBlendNormal>(s);
  }
}

template <bool Sparse>
RowFn PickRow(int mode, Src s) {
  switch (mode) {
    case kModeBottom: return PickSrc<kModeBottom, Sparse>(s);
    case kBlendMultiply: return PickSrc<kBlendMultiply, Sparse>(s);
    case kBlendScreen: return PickSrc<kBlendScreen, Sparse>(s);
    case kBlendDarken: return PickSrc<kBlendDarken, Sparse>(s);
    case kBlendLighten: return PickSrc<kBlendLighten, Sparse>(s);
    case kBlendDifference: return PickSrc<kBlendDifference, Sparse>(s);
    case kBlendInverseDifference: return PickSrc<kBlendInverseDifference, Sparse>(s);
    case kBlendExclusion: return PickSrc<kBlendExclusion, Sparse>(s);
    case kBlendOverlay: return PickSrc<kBlendOverlay, Sparse>(s);
    default: return PickSrc<kBlendNormal, Sparse>(s);
  }
}

void PrepareColours(const LayerStack& st, const Layer& l, LayerView& v) {
  v.l = &l;
  v.bpp = st.LayerBpp(l);
  if (l.kind == kLayerText) {
    v.src = Src::Text;
    v.lut[0][0] = uint8_t(RgbqB(Rgbq(l.textColour)));
    v.lut[0][1] = uint8_t(RgbqG(Rgbq(l.textColour)));
    v.lut[0][2] = uint8_t(RgbqR(Rgbq(l.textColour)));
  } else if (v.bpp <= 8) {
    v.src = Src::Indexed;
    std::memset(v.lut, 0, sizeof v.lut);
    const size_t n = std::min<size_t>(256, st.palette.size() / 4);
    for (size_t i = 0; i < n; ++i) {
      v.lut[i][0] = st.palette[4 * i];
      v.lut[i][1] = st.palette[4 * i + 1];
      v.lut[i][2] = st.palette[4 * i + 2];
    }
  } else {
    v.src = v.bpp == 32 ? Src::Bgr32 : Src::Bgr24;
  }
  for (int a = 0; a < 256; ++a) v.n[a] = BlendFactor(a, l.transparency);
  // Uniform rows for unwritten planes, padded so that vector loads stay inside.
  const size_t pixRow = size_t(l.stride), aRow = size_t(l.width);
  size_t need = 0;
  if (!l.pixels.Allocated()) need += pixRow + 32;
  if (!l.alpha.Allocated()) need += aRow + 32;
  if (!l.effect.Allocated()) need += aRow + 32;
  v.flat.resize(need);
  uint8_t* f = v.flat.data();
  auto plane = [&](const Plane& p, size_t row, const uint8_t*& base, size_t& step) {
    if (p.Allocated()) {
      base = p.Peek();
      step = row;
      return;
    }
    std::memset(f, p.Fill(), row + 32);
    base = f;
    step = 0;
    f += row + 32;
  };
  plane(l.pixels, pixRow, v.pixBase, v.pixStep);
  plane(l.alpha, aRow, v.alphaBase, v.alphaStep);
  plane(l.effect, aRow, v.effectBase, v.effectStep);
  v.pixEnd = l.pixels.Allocated() ? l.pixels.Peek() + l.pixels.size() : v.pixBase + pixRow;
  v.ns.reset();
  v.md.reset();
  std::fill(std::begin(v.built), std::end(v.built), false);
}

// A layer's shadow, drawn before the layer itself so that its content covers it.
//
// The shadow is the layer's silhouette softened and dropped down and to the right:
// at layer pixel (x, y) it takes the pixel `off` columns to the left and `off` rows
// higher as shown (storage rows count up); where that pixel is covered the shadow
// has the pixel's coverage, elsewhere the effect plane's intensity, which fades
// with the distance from the content. The intensity e mixes the shadow colour into
// the target with the factor e / 255 × the layer's opacity; a transparent shadow
// multiplies what lies below by the shadow colour instead of covering it, so the
// picture under the shadow shows through darkened.
void DrawShadowRow(const LayerView& v, int lr, uint8_t* out) {
  const Layer& l = *v.l;
  const int off = std::max(1, int(l.effectSize) / 2);
  const int sr = lr + off;
  if (sr < 0 || sr >= l.height) return;
  const uint8_t* arow = v.alphaBase + size_t(sr) * v.alphaStep;
  const uint8_t* erow = v.effectBase + size_t(sr) * v.effectStep;
  const Rgbq colour = Rgbq(l.effectColour);
  const int cb = RgbqB(colour), cg = RgbqG(colour), cr = RgbqR(colour);
  const float opacity = float(255 - l.transparency) * 0.003921569f;
  const bool multiply = l.transparentShadow != 0;
  for (int i = v.i0; i < v.i1; ++i) {
    const int lc = v.cols.empty() ? v.lc0 + i : v.cols[size_t(i)];
    if (lc < 0) continue;
    const int sc = lc - off;
    if (sc < 0 || sc >= l.width) continue;
    const int e = arow[sc] ? arow[sc] : erow[sc];
    if (e == 0) continue;
    const float n = float(e) * 0.003921569f * opacity;
    uint8_t* dp = out + 4 * size_t(i);
    const int d[3] = {dp[0], dp[1], dp[2]};
    const int c[3] = {cb, cg, cr};
    for (int k = 0; k < 3; ++k) {
      const int s = multiply ? d[k] * c[k] / 255 : c[k];
      dp[k] = uint8_t(std::clamp(int(n * float(s) + (1.0f - n) * float(d[k])), 0, 255));
    }
    dp[3] = Coverage(dp[3], multiply ? e / 2 : e);
  }
}

// The layers a composition walks: `count` links up from the start, visible ones only.
std::vector<int> Walk(const LayerStack& st, ComposeRange range) {
  std::vector<int> out;
  bool seen[kMaxLayers] = {};
  int s = range.start == -1 ? st.bottom : range.start;
  for (int k = 0; k < range.count && st.Used(s) && !seen[s]; ++k, s = st.slots[s].above) {
    seen[s] = true;
    const Layer& l = st.slots[s];
    if (l.visible != 1) continue;
    if (l.alpha.size() != size_t(l.pixelCount) || l.pixels.size() < size_t(l.imageSize)) continue;
    out.push_back(s);
  }
  return out;
}

// The output grid of a composition: output row j shows grid row (*rows)[j] (bottom-up,
// −1 for none) and output column i grid column (*cols)[i] (−1 for none). When `dense`,
// cols is firstCol, firstCol + 1, … and layers are read without a column map.
struct Grid {
  const std::vector<int>* rows = nullptr;
  const std::vector<int>* cols = nullptr;
  bool dense = false;
  int firstCol = 0;
};

// A walked layer and, for a reduced view, the level it is read from instead.
struct Source {
  int slot = -1;
  const MipLevelView* mip = nullptr;
  // A layer read at full resolution on the level's cells one to one: each gathered
  // row is also copied into its level.
  MipLevelView* fill = nullptr;
};

// Composes output rows [j0, j1). Layers read at full resolution use the canvas grid
// `full`; layers read from a level use the level grid `level` (the same output
// pixels, one level cell per sampled canvas pixel).
//
// Rows are the outer loop so that one output row stays in the cache while every
// layer is blended into it.
void ComposeRowsPart(const LayerStack& st, const std::vector<Source>& walk, const Grid& full, const Grid& level,
                     std::atomic<size_t>& next, size_t chunk, size_t rows, uint8_t* out, ptrdiff_t outStride,
                     bool clear) {
  const int width = int(full.cols->size());
  std::vector<std::unique_ptr<LayerView>> views;
  for (const Source& src : walk) {
    const int s = src.slot;
    const Layer& l = st.slots[s];
    auto v = std::make_unique<LayerView>();
    PrepareColours(st, l, *v);
    const Grid& g = src.mip ? level : full;
    v->rows = g.rows;
    if (src.mip) {
      const MipLevelView& m = *src.mip;
      v->gx = m.x, v->gy = m.y, v->gw = m.width, v->gh = m.height;
      v->pixBase = m.pixels;
      v->alphaBase = m.alpha;
      v->pixStep = m.pixStride;
      v->alphaStep = m.alphaStride;
      v->pixEnd = m.pixEnd;
    } else {
      v->gx = l.x, v->gy = l.y, v->gw = l.width, v->gh = l.height;
    }
    const std::vector<int>& colOf = *g.cols;
    const int mode = s == st.bottom ? kModeBottom : l.blend;
    if (g.dense) {
      // Layer column = grid column − x = firstCol + i − x.
      v->lc0 = g.firstCol - v->gx;
      v->i0 = std::max(0, -v->lc0);
      v->i1 = std::min(width, v->gw - v->lc0);
      while (v->i0 < v->i1 && colOf[size_t(v->i0)] < 0) ++v->i0;
      while (v->i1 > v->i0 && colOf[size_t(v->i1 - 1)] < 0) --v->i1;
      v->fn = PickDenseRow(mode, v->src);
    } else {
      v->cols.resize(size_t(width));
      v->i0 = width;
      v->i1 = 0;
      for (int i = 0; i < width; ++i) {
        const int c = colOf[size_t(i)];
        const int lc = c < 0 ? -1 : c - v->gx;
        v->cols[size_t(i)] = lc >= 0 && lc < v->gw ? lc : -1;
        if (v->cols[size_t(i)] >= 0) v->i0 = std::min(v->i0, i), v->i1 = i + 1;
      }
      if (v->src == Src::Bgr24) {
        // Sampled 24-bit rows are gathered into a contiguous strip first, so the
        // vector kernels serve reduced views too.
        v->gather = true;
        v->lc0 = 0;
        v->fn = PickDenseRow(mode, v->src);
      } else {
        v->fn = PickRow<true>(mode, v->src);
      }
    }
    v->shadow = !src.mip && l.effectOn && l.effect.size() == size_t(l.pixelCount);
    if (src.fill && v->gather) {
      v->fill = src.fill;
      v->levelRows = level.rows;
      v->fillCol = level.firstCol;
    }
    if (v->i0 < v->i1) views.push_back(std::move(v));
  }
  // Gathered strips, padded so that vector loads stay inside them.
  std::vector<uint8_t> gp(size_t(width) * 3 + 32), ga(size_t(width) + 32);
  // A normal layer at full opacity whose row is fully covered across the whole
  // output hides everything below it there: its blend factor is exactly 1, so it
  // writes its own colours and full coverage whatever lay below, and the layers
  // under it need not be read at all. (Not while levels are being filled: every
  // filled layer must see all its rows.)
  static const bool opaqueIsExact = BlendFactor(255, 0) == 1.0f;
  std::vector<size_t> occluders;  // view indices, topmost first
  bool filling = false;
  for (const auto& v : views) filling |= v->fill != nullptr;
  if (opaqueIsExact && !filling)
    for (size_t i = views.size(); i-- > 1;) {
      const LayerView& v = *views[i];
      const int mode = v.l == &st.slots[st.bottom] ? kModeBottom : v.l->blend;
      if (!v.gather && v.cols.empty() && mode == kBlendNormal && v.l->transparency == 0 && v.i0 == 0 &&
          v.i1 == width)
        occluders.push_back(i);
    }
  const auto coveredRow = [&](const LayerView& v, size_t j) {
    const int row = (*v.rows)[j];
    if (row < 0) return false;
    const int lr = row + v.gy;
    if (lr < 0 || lr >= v.gh) return false;
    const uint8_t* a = v.alphaBase + size_t(lr) * v.alphaStep + v.lc0;
    int i = 0;
    for (; i + 8 <= width; i += 8) {
      uint64_t w8;
      std::memcpy(&w8, a + i, 8);
      if (w8 != ~uint64_t(0)) return false;
    }
    for (; i < width; ++i)
      if (a[i] != 255) return false;
    return true;
  };
  for (size_t j0 = next.fetch_add(chunk); j0 < rows; j0 = next.fetch_add(chunk))
  for (size_t j = j0, j1 = std::min(rows, j0 + chunk); j < j1; ++j) {
    uint8_t* orow = out + ptrdiff_t(j) * outStride;
    // Cleared here rather than beforehand: the row is then in the cache for the
    // blends, and the clearing is split between the threads too.
    if (clear) std::memset(orow, 0, size_t(width) * 4);
    size_t first = 0;
    for (size_t o : occluders)
      if (coveredRow(*views[o], j)) {
        first = o;
        break;
      }
    for (size_t vi = first; vi < views.size(); ++vi) {
      auto& v = views[vi];
      const int row = (*v->rows)[j];
      if (row < 0) continue;
      const int lr = row + v->gy;
      if (lr < 0 || lr >= v->gh) continue;
      const uint8_t* prow = v->pixBase + size_t(lr) * v->pixStep;
      const uint8_t* arow = v->alphaBase + size_t(lr) * v->alphaStep;
      if (v->shadow) DrawShadowRow(*v, lr, orow);
      if (v->gather) {
        const int* cols = v->cols.data();
        for (int i = v->i0; i < v->i1; ++i) {
          const int lc = cols[i];
          if (lc < 0) {
            ga[size_t(i)] = 0;
            continue;
          }
          ga[size_t(i)] = arow[lc];
          std::memcpy(&gp[3 * size_t(i)], prow + 3 * size_t(lc), 3);
        }
        v->pixEnd = gp.data() + gp.size();
        prow = gp.data();
        arow = ga.data();
        if (v->fill) {
          // The gathered row is the level's row: keep it.
          MipLevelView& f = *v->fill;
          const int sr = (*v->levelRows)[j] + f.y, c = v->fillCol + v->i0 - f.x, n = v->i1 - v->i0;
          if (sr >= 0 && sr < f.height && c >= 0 && c + n <= f.width) {
            std::memcpy(f.fillPixels + size_t(sr) * f.pixStride + 3 * size_t(c), prow + 3 * size_t(v->i0),
                        3 * size_t(n));
            std::memcpy(f.fillAlpha + size_t(sr) * f.alphaStride + size_t(c), arow + v->i0, size_t(n));
          }
        }
      }
      else if (j + 1 < rows) {
        // Twenty-odd streams (every layer's colours and coverage) take turns on
        // each output row, more than the hardware prefetcher follows: ask for this
        // layer's next row while the present one is blended.
        const int nextRow = (*v->rows)[j + 1];
        const int nr = nextRow + v->gy;
        if (nextRow >= 0 && nr >= 0 && nr < v->gh) {
          const size_t c0 = size_t(v->lc0 + v->i0), c1 = size_t(v->lc0 + v->i1);
          if (v->pixStep) {
            const uint8_t* np = v->pixBase + size_t(nr) * v->pixStep;
            for (size_t b = 3 * c0; b < 3 * c1; b += 64) __builtin_prefetch(np + b);
          }
          if (v->alphaStep) {
            const uint8_t* na = v->alphaBase + size_t(nr) * v->alphaStep;
            for (size_t b = c0; b < c1; b += 64) __builtin_prefetch(na + b);
          }
        }
      }
      v->fn(*v, prow, arow, orow);
    }
  }
}

int g_threads = 0;  // 0: one per core

// Rows are independent, so the output is composed in chunks of rows that the
// threads (one per core) take in turn: a thread that falls behind (the machine is
// shared) leaves its remaining chunks to the others instead of holding up the whole
// frame. Each thread prepares its own layer views once (their tables fill as rows
// need them). Small jobs stay on the calling thread: starting one costs more than
// they do.
void ComposeRows(const LayerStack& st, const std::vector<Source>& walk, const Grid& full, const Grid& level,
                 uint8_t* out, ptrdiff_t outStride, bool clear = false) {
  if (walk.empty()) return;
  const size_t rows = full.rows->size();
  int threads = g_threads > 0 ? g_threads : int(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, 16);
  const size_t work = rows * full.cols->size() * walk.size();
  threads = int(std::min<size_t>(size_t(threads), std::max<size_t>(1, work / (size_t(1) << 17))));
  threads = int(std::min<size_t>(size_t(threads), std::max<size_t>(1, rows / 8)));
  std::atomic<size_t> next{0};
  if (threads <= 1) {
    ComposeRowsPart(st, walk, full, level, next, rows, rows, out, outStride, clear);
    return;
  }
  // About eight chunks a thread, of at least 8 rows.
  const size_t chunk = std::max<size_t>(8, rows / (size_t(threads) * 8));
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) {
    try {
      pool.emplace_back([&] { ComposeRowsPart(st, walk, full, level, next, chunk, rows, out, outStride, clear); });
    } catch (const std::system_error&) {
      break;  // no thread to be had: the chunks are composed here instead
    }
  }
  ComposeRowsPart(st, walk, full, level, next, chunk, rows, out, outStride, clear);
  for (auto& t : pool) t.join();
}

// Every walked layer read at full resolution.
std::vector<Source> FullSources(const LayerStack& st, ComposeRange range) {
  std::vector<Source> out;
  for (int s : Walk(st, range)) out.push_back(Source{s, nullptr});
  return out;
}

}  // namespace

void SetComposeKernel(int level) { g_kernelLevel = level; }
void SetComposeThreads(int threads) { g_threads = threads; }

namespace {

// The distinct canvas positions an output axis shows (in order) and, per output
// position, its index among them (−1 outside the canvas).
struct Axis {
  std::vector<int> unique;
  std::vector<int> index;
  bool Consecutive() const {
    return !unique.empty() && unique.back() - unique.front() + 1 == int(unique.size());
  }
};

Axis MapAxis(int first, int count, float zoom, int limit, bool flip) {
  Axis ax;
  ax.index.assign(size_t(count), -1);
  int last = -2;
  for (int i = 0; i < count; ++i) {
    const int p = first + i;
    const int c = p < 0 ? -1 : int(float(p) / zoom);
    if (c < 0 || c >= limit) continue;
    const int v = flip ? limit - 1 - c : c;
    if (v != last) {
      ax.unique.push_back(v);
      last = v;
    }
    ax.index[size_t(i)] = int(ax.unique.size()) - 1;
  }
  return ax;
}

}  // namespace

namespace {

// The level a reduced view reads: the smallest one still at least as large as the
// zoom (0 for a view at 1:1 or magnified).
int MipLevelFor(float zoomX, float zoomY) {
  const float z = std::max(zoomX, zoomY);
  int k = 0;
  while (k < kMaxMipLevel && z * float(1 << (k + 1)) <= 1.0f) ++k;
  return k;
}

}  // namespace

void ComposeViewport(const LayerStack& st, ComposeRange range, int left, int top, int width, int height,
                     float zoomX, float zoomY, uint8_t* out, size_t outStride, ViewMips* mips) {
  if (!out || width <= 0 || height <= 0) return;
  const auto clearAll = [&] {
    for (int j = 0; j < height; ++j) std::memset(out + size_t(j) * outStride, 0, size_t(width) * 4);
  };
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (cw <= 0 || ch <= 0 || !(zoomX > 0) || !(zoomY > 0)) return clearAll();
  // A reduced view with levels works on level k's grid: output pixel p shows level
  // cell trunc(p / (zoom × 2^k)), whose canvas pixel is the cell's times 2^k. At
  // zoom 1 / 2^k that is exactly the pixel the full-resolution grid samples.
  const int k = mips ? MipLevelFor(zoomX, zoomY) : 0;
  const int gw = k ? ((cw - 1) >> k) + 1 : cw, gh = k ? ((ch - 1) >> k) + 1 : ch;
  const float scale = float(1 << k);
  const Axis cols = MapAxis(left, width, zoomX * scale, gw, false);
  const Axis rows = MapAxis(top, height, zoomY * scale, gh, true);  // canvas rows count from the bottom
  if (cols.unique.empty() || rows.unique.empty()) return clearAll();

  std::vector<Source> walk = FullSources(st, range);
  if (walk.empty()) return clearAll();
  Grid level{&rows.unique, &cols.unique, cols.Consecutive(), cols.unique.front()};
  Grid full = level;
  std::vector<int> fullRows, fullCols;
  if (k) {
    fullCols.resize(cols.unique.size());
    for (size_t i = 0; i < fullCols.size(); ++i) fullCols[i] = cols.unique[i] << k;
    fullRows.resize(rows.unique.size());
    for (size_t j = 0; j < fullRows.size(); ++j) fullRows[j] = ch - 1 - ((gh - 1 - rows.unique[j]) << k);
    full = Grid{&fullRows, &fullCols, false, 0};
    // The level cells the output shows, rows counted from the top.
    const int c0 = cols.unique.front(), c1 = cols.unique.back() + 1;
    const int ra = gh - 1 - rows.unique.front(), rb = gh - rows.unique.back();
    const int r0 = std::min(ra, rb - 1), r1 = std::max(rb, ra + 1);
    // At zoom 1 / 2^k the composition reads exactly the level's cells: a layer whose
    // level is not built there yet is read from the layer and its level filled on
    // the way (no more work than without levels).
    const bool oneToOne = zoomX * scale == 1.0f && zoomY * scale == 1.0f && cols.Consecutive() &&
                          int(cols.unique.size()) == width && int(rows.unique.size()) == height;
    for (Source& s : walk) {
      s.mip = mips->Level(st, s.slot, k, c0, r0, c1, r1, !oneToOne);
      if (!s.mip && oneToOne) s.fill = mips->Target(st, s.slot, k);
    }
    const auto marked = [&] {
      for (const Source& s : walk)
        if (s.fill) mips->MarkBuilt(s.slot, k, c0, r0, c1, r1);
    };
    if (int(cols.unique.size()) == width && int(rows.unique.size()) == height) {
      ComposeRows(st, walk, full, level, out, ptrdiff_t(outStride), true);
      return marked();
    }
    for (Source& s : walk) s.fill = nullptr;
  }

  if (int(cols.unique.size()) == width && int(rows.unique.size()) == height) {
    // Every output pixel shows a different grid pixel: compose in place, every row
    // cleared just before its blends.
    ComposeRows(st, walk, full, level, out, ptrdiff_t(outStride), true);
    return;
  }
  clearAll();
  // Magnified: compose each visible canvas pixel once, then repeat it.
  const size_t cw2 = cols.unique.size();
  std::vector<uint8_t> tmp(cw2 * rows.unique.size() * 4, 0);
  ComposeRows(st, walk, full, level, tmp.data(), ptrdiff_t(cw2 * 4));
  int prevRow = -1;
  for (int j = 0; j < height; ++j) {
    const int r = rows.index[size_t(j)];
    if (r < 0) continue;
    uint8_t* o = out + size_t(j) * outStride;
    if (r == prevRow) {
      std::memcpy(o, o - outStride, size_t(width) * 4);
      continue;
    }
    const uint32_t* src = reinterpret_cast<const uint32_t*>(tmp.data() + size_t(r) * cw2 * 4);
    for (int i = 0; i < width; ++i) {
      const int c = cols.index[size_t(i)];
      if (c >= 0) std::memcpy(o + 4 * size_t(i), src + c, 4);
    }
    prevRow = r;
  }
}

bool ComposesOpaque(const LayerStack& st) {
  const std::vector<int> walk = Walk(st, {});
  if (walk.empty()) return false;
  const Layer& l = st.slots[walk.front()];
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  // Canvas column c shows layer column c − x; canvas row r shows layer row r + y.
  return !l.alpha.Allocated() && l.alpha.Fill() == 255 && l.x <= 0 && l.x + l.width >= cw && l.y >= 0 &&
         l.height - l.y >= ch;
}

bool ComposeCanvas(const LayerStack& st, ComposeRange range, std::vector<uint8_t>& out) {
  const int cw = st.header.canvasWidth, ch = st.header.canvasHeight;
  if (cw <= 0 || ch <= 0) return false;
  out.assign(size_t(cw) * size_t(ch) * 4, 0);
  std::vector<int> colOf(static_cast<size_t>(cw)), rowOf(static_cast<size_t>(ch));
  for (int i = 0; i < cw; ++i) colOf[size_t(i)] = i;
  for (int r = 0; r < ch; ++r) rowOf[size_t(r)] = r;
  const Grid g{&rowOf, &colOf, true, 0};
  ComposeRows(st, FullSources(st, range), g, g, out.data(), ptrdiff_t(cw) * 4);
  return true;
}

}  // namespace velmira
