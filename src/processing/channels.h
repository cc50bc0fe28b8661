// Channel split: the active layer taken apart into three grey planes (red, green,
// blue; Y, U, V; hue, saturation, lightness).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/layers.h"

namespace velmira {

class CMirvDoc;

enum class ChannelSet { Rgb, Yuv, Hsl };

struct YuvValue {
  uint8_t y, u, v;
};
struct HslValue {
  uint8_t h, s, l;
};
YuvValue RgbToYuv(int r, int g, int b);
HslValue RgbToHsl(int r, int g, int b);

// Three 8-bit grey-palette pictures of the canvas size; plane pixel (x, y) comes
// from the layer's pixel (x, y), positions outside the layer giving its outside
// colour.
bool SplitPlanes(const LayerStack& L, int slot, const CImageBuffer* viewImage, ChannelSet set,
                 CImageBuffer planes[3]);


// "YUV구분" and "HSL구분": three new documents through the host, titled
// "Y Channel %d from %s" … with the next counter values. The new documents are
// returned in `created` (Y, U, V or hue, saturation, lightness).
bool SplitToDocuments(CMirvDoc& doc, ChannelSet set, std::vector<CMirvDoc*>* created = nullptr);

}  // namespace velmira
