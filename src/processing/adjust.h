// Tone and colour adjustments of one layer: brightness and contrast, channel offsets,
// histogram and levels stretch, inversion, desaturation and the two-tone
// conversions. Each takes the layer store and a slot, as the dialogs' live preview
// and the document commands both need.
#pragma once

#include <cstdint>
#include <functional>

#include "image/layers.h"

namespace velmira {

using ProgressFn = std::function<void(int)>;

// Each channel becomes trunc((v − 128) × factor + brightness + 128), factor =
// (base + contrast) / base in single precision; written inside the selection only.
// A palette layer has every palette entry adjusted instead.
bool AdjustBrightnessContrast(LayerStack& L, int slot, int brightness, int contrast, int base = 255,
                              const ProgressFn& progress = {});
// Adds the offsets inside the selection (palette: every entry), clamped.
bool OffsetChannels(LayerStack& L, int slot, int red, int green, int blue);

// Histogram tables in the order grey, red, green, blue; grey is
// (11 B + 59 G + 30 R) / 100. Every pixel of the layer counts, selected or not.
using HistogramTables = int32_t[4][256];
bool ComputeHistogram(const LayerStack& L, int slot, HistogramTables& counts);

// The 1 %-clipped range of each histogram channel (retried without clipping when it
// collapses to one level).
struct LevelRanges {
  int low[4];
  int high[4];
};
LevelRanges FindLevelRanges(const HistogramTables& counts, int width, int height);

// Channel 0 maps red, green and blue (each through its own table), 1…3 one colour.
// low = high = −1 stretches each channel over its own range. False, with nothing
// changed, when the requested channel holds a single level.
bool StretchLevels(LayerStack& L, int slot, int channel, int low, int high);

// 255 − byte over the whole pixel block (the selection does not limit it), plus the
// picture's transparent colour; palette layers: index or palette inversion.
bool InvertLayer(LayerStack& L, int slot, CImageBuffer* viewImage);

// Every pixel becomes the mean of its B, G, R; a text layer only has its colour
// changed. The coverage of each pixel stays as it was.
bool DesaturateLayer(LayerStack& L, int slot);

// Two-tone conversions with threshold t (0…255). Every pixel becomes black or
// white; afterwards its coverage is full where the selection mask is set and none
// where it is clear.
bool BinarizeDiffusion(LayerStack& L, int slot, int t);
bool BinarizeOrdered(LayerStack& L, int slot, int t);
bool BinarizeThreshold(LayerStack& L, int slot, int t);

}  // namespace velmira
