// The layer stack: a picture header, 40 layer slots threaded into a doubly linked
// list (bottom first), the edit copy and the selection mask over the active layer.
//
// Coordinates follow storage order: x from the left, y counting stored rows, so
// y = 0 is the bottom row as shown. Canvas row r takes layer row r + layer.y and
// canvas column c takes layer column c − layer.x.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/plane.h"

namespace velmira {

constexpr int kMaxLayers = 40;

constexpr int kNameUnits = 100;  // UTF-16 units including the terminator

enum LayerKind : uint8_t {
  kLayerRaster = 0,
  kLayerBackground = 1,
  kLayerText = 2,
  kLayerFloating = 3,
  kLayerMeasure = 4,
};

enum BlendMode : uint8_t {
  kBlendNormal = 0,
  kBlendMultiply = 2,
  kBlendScreen = 3,
  kBlendDarken = 4,
  kBlendLighten = 5,
  kBlendDifference = 6,
  kBlendInverseDifference = 7,
  kBlendExclusion = 8,
  kBlendOverlay = 9,
};

// Fixed-size UTF-16 name as stored in headers and records.
struct Name100 {
  char16_t units[kNameUnits] = {};
  void Set(std::u16string_view s);
  std::u16string Get() const;
  bool Empty() const { return units[0] == 0; }
};

struct PictureHeader {
  Name100 title;
  int32_t canvasHeight = 0;
  int32_t canvasWidth = 0;
  int32_t backgroundX = 0;
  int32_t backgroundY = 0;
  uint8_t formatType = 0;
  int32_t paletteColours = 0;
  int32_t bitsPerPixel = 24;
  int32_t imageSize = 0;
  int32_t pixelCount = 0;
  int32_t editCopySize = 0;
  uint8_t backgroundChanged = 0;
};

// Text layer settings kept in the record (their meaning belongs to the text tool).
struct TextSettings {
  int32_t x = 0, y = 0, size = 0;
  uint8_t font[48] = {};
  int16_t style = 0;
  uint8_t more[50] = {};
  int32_t tail[3] = {10, 100, 0};
};

struct Layer {
  int32_t inUse = 0;
  int32_t dirty = 0;
  Name100 name;
  uint8_t kind = kLayerRaster;
  uint8_t blend = kBlendNormal;
  int16_t below = -1;
  int16_t above = -1;
  int16_t partner = -1;
  uint8_t effectOn = 0;
  uint8_t effectSize = 0;
  int32_t effectColour = 0;
  int32_t transparentShadow = 0;
  int32_t textColour = 0;
  uint8_t transparency = 0;  // 0 opaque … 255 fully transparent
  int32_t visible = 1;
  int32_t x = 0, y = 0;
  int32_t height = 0, width = 0;
  int32_t pixelCount = 0;
  int32_t imageSize = 0;
  int32_t stride = 0;
  int32_t textLength = 0;
  TextSettings text;

  // The planes hold no memory until written; an unwritten plane reads as its
  // uniform value (white pixels, the transparency given at allocation, no effect).
  Plane pixels;  // imageSize bytes, bottom-up rows
  Plane alpha;   // pixelCount bytes, 0 = not covered … 255 covered
  Plane effect;  // pixelCount bytes
  // What the effect plane was last computed from (EffectSourceKey); 0 when never.
  // Not part of the stored record: the composition checks it to know whether the
  // shadow still matches the content.
  uint64_t effectSource = 0;
  std::u16string textBuffer;    // textLength units of a text layer

  // Copies every record field (not the buffers).
  void CopyRecordFrom(const Layer& o);
  void FreeBuffers();
};

// Parameters of AllocateLayer, named rather than positional.
struct LayerAlloc {
  std::u16string_view pictureTitle;  // non-empty: replaces the picture title
  int bitsPerPixel = 24;
  int paletteColours = 0;
  uint8_t initialAlpha = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int paletteMode = 2;  // 0: copy the view image's palette, 1: allocate, 2: keep
  const CImageBuffer* viewImage = nullptr;
  int canvasWidth = 0, canvasHeight = 0;
  bool resetSelection = false;
  int dirty = 0;
  int kind = kLayerRaster;
  int partner = -1;
  bool centre = false;
  // Rows to take as the pixels instead of white, when they have exactly the
  // layer's stride and height (building a layer from a decoded picture).
  const uint8_t* initialPixels = nullptr;
  size_t initialBytes = 0;
  // Or a block to share with its owner (the decoded picture): no copy is made until
  // one side writes.
  std::shared_ptr<PlaneBlock> initialBlock;
};

enum class InsertResult { Ok, Full, BadSlot, NoMemory };

class LayerStack {
 public:
  PictureHeader header;
  std::vector<uint8_t> palette;  // paletteColours × 4 (B, G, R, 0)
  Layer slots[kMaxLayers];
  int bottom = -1;
  int active = -1;
  int mergeStart = -1;
  int mergeCount = 0;

  // Edit copy: one layer's pixels and transparency, taken before an edit.
  Plane editPixels;
  Plane editAlpha;

  // Selection mask over the active layer's geometry: 1 selected (all 1 = none).
  bool selectionExists = false;
  Plane mask;
  int32_t maskWidth = 0, maskHeight = 0, maskX = 0, maskY = 0;
  // Planes of the vector measurement layer.
  std::vector<uint8_t> measure[2];

  static bool ValidSlot(int s) { return s >= 0 && s < kMaxLayers; }
  bool Used(int s) const { return ValidSlot(s) && slots[s].inUse; }
  Layer* Get(int s) { return Used(s) ? &slots[s] : nullptr; }
  const Layer* Get(int s) const { return Used(s) ? &slots[s] : nullptr; }
  Layer* Active() { return Get(active); }
  const Layer* Active() const { return Get(active); }

  bool AllocateLayer(int slot, const LayerAlloc& a);
  // Links a free or given slot above `after` (−1: as the new bottom when empty).
  InsertResult InsertLayer(int after, int slot, int* inserted);
  // Unlinks and frees a slot; returns the slot that should become active.
  int UnlinkLayer(int slot);
  void FreeSlot(int slot);
  void Clear();

  int LayerCount() const;
  int LayerAt(int position) const;
  int TopLayer() const;
  int TopVisibleLayer() const;
  int FindLayerOfKind(int kind) const;
  int FindFrameLayer() const;
  int DistanceBetween(int from, int to) const;
  std::vector<int> Chain() const;  // bottom first, stops at a cycle

  void BackupLayer(int slot = -1);
  bool RestoreLayer(int slot);
  Rgbq ReadLayerColor(int slot, int x, int y, const CImageBuffer* viewImage) const;
  void WriteLayerColor(int slot, int x, int y, Rgbq colour);
  int LayerAlpha(int slot, int x, int y) const;
  void SetLayerAlpha(int slot, int x, int y, int value);
  void SetEditAlpha(int slot, int x, int y, int value, bool selectionOnly);
  bool InLayer(int slot, int x, int y) const;
  int InSelection(int x, int y) const;

  // A fresh all-1 mask over a layer's geometry (nothing selected).
  void ResetSelection(int slot);
  // Nearest palette index by least sum of absolute differences (layers' rule), among
  // the entries the picture's depth can store.
  int NearestPaletteIndex(Rgbq colour) const;
  Rgbq PictureColour(int index) const;
  // Bits per pixel of a layer's pixel rows: one byte per pixel for text layers.
  int LayerBpp(const Layer& l) const { return l.kind == kLayerText ? 8 : header.bitsPerPixel; }
  // Palette index (or 0) of a paletted layer's pixel.
  int LayerIndex(const Layer& l, int x, int y) const;

  // Reallocates a text layer as a 24-bit raster layer painted in its text colour,
  // keeping the glyph shape as transparency.
  bool ConvertTextToRaster(int slot);
};

}  // namespace velmira
