#include "processing/channels.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "image/doc.h"
#include "image/text.h"

namespace velmira {

YuvValue RgbToYuv(int r, int g, int b) {
  const int y = int(0.114f * float(b) + 0.587f * float(g) + 0.299f * float(r));
  const int u = int(float(b - y) * 0.565f + 128.0f);
  const int v = int(float(r - y) * 0.713f + 128.0f);
  auto c = [](int x) { return uint8_t(std::clamp(x, 0, 255)); };
  return {c(y), c(u), c(v)};
}

HslValue RgbToHsl(int r, int g, int b) {
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const int l = ((mx + mn) * 255 + 255) / 510;
  if (mx == mn) return {170, 0, uint8_t(l)};
  const int d = mx - mn;
  const int s = l <= 127 ? (d * 255 + (mx + mn) / 2) / (mx + mn)
                         : (d * 255 + (510 - mx - mn) / 2) / (510 - mx - mn);
  const int rd = ((mx - r) * 42 + d / 2) / d;
  const int gd = ((mx - g) * 42 + d / 2) / d;
  const int bd = ((mx - b) * 42 + d / 2) / d;
  int h;
  if (r == mx)
    h = bd - gd;
  else if (g == mx)
    h = 85 + rd - bd;
  else
    h = 170 + gd - rd;
  return {uint8_t(h & 0xFF), uint8_t(s), uint8_t(l)};
}

bool SplitPlanes(const LayerStack& L, int slot, const CImageBuffer* viewImage, ChannelSet set,
                 CImageBuffer planes[3]) {
  const Layer* l = L.Get(slot);
  const int w = L.header.canvasWidth, h = L.header.canvasHeight;
  if (!l || w <= 0 || h <= 0) return false;
  for (int i = 0; i < 3; ++i) {
    if (!planes[i].Allocate(w, h, 8, kFormatBmp)) return false;
    planes[i].MakeGreyPalette();
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* rows[3] = {planes[0].Row(y), planes[1].Row(y), planes[2].Row(y)};
    for (int x = 0; x < w; ++x) {
      const Rgbq c = L.ReadLayerColor(slot, x, y, viewImage);
      const int r = RgbqR(c), g = RgbqG(c), b = RgbqB(c);
      uint8_t v[3] = {0, 0, 0};
      switch (set) {
        case ChannelSet::Rgb: v[0] = uint8_t(r), v[1] = uint8_t(g), v[2] = uint8_t(b); break;
        case ChannelSet::Yuv: {
          const YuvValue q = RgbToYuv(r, g, b);
          v[0] = q.y, v[1] = q.u, v[2] = q.v;
          break;
        }
        case ChannelSet::Hsl: {
          const HslValue q = RgbToHsl(r, g, b);
          v[0] = q.h, v[1] = q.s, v[2] = q.l;
          break;
        }
      }
      for (int i = 0; i < 3; ++i) rows[i][x] = v[i];
    }
  }
  return true;
}

bool SplitToDocuments(CMirvDoc& doc, ChannelSet set, std::vector<CMirvDoc*>* created) {
  LayerStack& L = doc.Layers();
  if (!L.Active() || set == ChannelSet::Rgb) return false;
  CImageBuffer planes[3];
  if (!SplitPlanes(L, L.active, doc.ViewImage(), set, planes)) return false;
  static const char* kYuv[3] = {"Y Channel %d from %s", "U Channel %d from %s", "V Channel %d from %s"};
  static const char* kHsl[3] = {"Hue Channel %d from %s", "Saturation Channel %d from %s",
                                "Lightness Channel %d from %s"};
  const char* const* titles = set == ChannelSet::Yuv ? kYuv : kHsl;
  const int w = L.header.canvasWidth, h = L.header.canvasHeight;
  for (int i = 0; i < 3; ++i) {
    const std::string title = Format(titles[i], ++doc.Frame().channelCounter, doc.Name().c_str());
    // Documents are edited at 24 bits, so the grey plane arrives as grey pixels.
    CMirvDoc* nd = doc.Host().NewDocument(w, h, 24, title);
    if (!nd) return false;
    if (!doc.HistoryEnabled()) {
      // A batch run without history leaves no history files behind, the new
      // documents' included.
      const std::filesystem::path initial = nd->History().InitialFile();
      nd->SetHistoryEnabled(false);
      std::error_code ec;
      std::filesystem::remove(initial, ec);
    }
    LayerStack& N = nd->Layers();
    Layer* b = N.Get(N.bottom);
    if (!b || b->width != w || b->height != h || N.header.bitsPerPixel != 24) return false;
    for (int y = 0; y < h; ++y) {
      const uint8_t* s = planes[i].Row(y);
      uint8_t* d = b->pixels.data() + size_t(y) * size_t(b->stride);
      for (int x = 0; x < w; ++x) d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = s[x];
    }
    std::fill(b->alpha.begin(), b->alpha.end(), uint8_t(255));
    if (CImageBuffer* v = nd->ViewImage(); v && v->IsValid() && v->ImageSize() == size_t(b->imageSize))
      std::memcpy(v->Pixels(), b->pixels.data(), v->ImageSize());
    nd->SetName(title);
    N.header.title.Set(Utf8ToUtf16(title));
    // The plane is the document's starting picture, not an edit of a white page.
    nd->RecordStep("Opening....", 0, N.bottom);
    nd->SetModified(true);
    nd->SetCompositionStale(true);
    nd->SetTitleText(title);
    doc.Host().UpdateViews(*nd, 1025);
    if (created) created->push_back(nd);
  }
  return true;
}

}  // namespace velmira
