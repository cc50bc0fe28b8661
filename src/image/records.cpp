#include "image/records.h"

#include <cstring>

#include "image/le_bytes.h"

namespace velmira {

namespace {

void PutName(uint8_t* p, const Name100& n) {
  for (int i = 0; i < kNameUnits; ++i) PutU16(p + 2 * i, n.units[i]);
}
void GetName(const uint8_t* p, Name100& n) {
  for (int i = 0; i < kNameUnits; ++i) n.units[i] = char16_t(GetU16(p + 2 * i));
  n.units[kNameUnits - 1] = 0;
}

}  // namespace

void WritePictureHeader(const PictureHeader& h, uint8_t* out) {
  std::memset(out, 0, kPictureHeaderBytes);
  PutName(out, h.title);
  PutI32(out + 200, h.canvasHeight);
  PutI32(out + 204, h.canvasWidth);
  PutI32(out + 208, h.backgroundX);
  PutI32(out + 212, h.backgroundY);
  out[216] = h.formatType;
  PutI32(out + 220, h.paletteColours);
  PutI32(out + 224, h.bitsPerPixel);
  PutI32(out + 228, h.imageSize);
  PutI32(out + 232, h.pixelCount);
  PutI32(out + 236, h.editCopySize);
  out[248] = h.backgroundChanged;
}

void ReadPictureHeader(const uint8_t* in, PictureHeader& h) {
  GetName(in, h.title);
  h.canvasHeight = GetI32(in + 200);
  h.canvasWidth = GetI32(in + 204);
  h.backgroundX = GetI32(in + 208);
  h.backgroundY = GetI32(in + 212);
  h.formatType = in[216];
  h.paletteColours = GetI32(in + 220);
  h.bitsPerPixel = GetI32(in + 224);
  h.imageSize = GetI32(in + 228);
  h.pixelCount = GetI32(in + 232);
  h.editCopySize = GetI32(in + 236);
  h.backgroundChanged = in[248];
}

void WriteLayerRecord(const Layer& l, uint8_t* out) {
  std::memset(out, 0, kLayerRecordBytes);
  PutI32(out + 0, l.inUse);
  PutI32(out + 4, l.dirty);
  PutName(out + 8, l.name);
  out[208] = l.kind;
  out[209] = l.blend;
  PutI16(out + 210, l.below);
  PutI16(out + 212, l.above);
  PutI16(out + 214, l.partner);
  out[216] = l.effectOn;
  out[217] = l.effectSize;
  PutI32(out + 218, l.effectColour);
  PutI32(out + 224, l.transparentShadow);
  PutI32(out + 228, l.textColour);
  out[232] = l.transparency;
  PutI32(out + 236, l.visible);
  PutI32(out + 240, l.x);
  PutI32(out + 244, l.y);
  PutI32(out + 248, l.height);
  PutI32(out + 252, l.width);
  PutI32(out + 256, l.pixelCount);
  PutI32(out + 260, l.imageSize);
  PutI32(out + 264, l.stride);
  PutI32(out + 268, l.textLength);
  PutI32(out + 272, l.text.x);
  PutI32(out + 276, l.text.y);
  PutI32(out + 280, l.text.size);
  std::memcpy(out + 284, l.text.font, 48);
  PutI16(out + 332, l.text.style);
  std::memcpy(out + 334, l.text.more, 50);
  PutI32(out + 384, l.text.tail[0]);
  PutI32(out + 388, l.text.tail[1]);
  PutI32(out + 392, l.text.tail[2]);
}

void ReadLayerRecord(const uint8_t* in, int available, Layer& l) {
  uint8_t buf[kLayerRecordBytes];
  WriteLayerRecord(l, buf);  // fields past `available` keep their current values
  std::memcpy(buf, in, size_t(available < kLayerRecordBytes ? available : kLayerRecordBytes));
  const uint8_t* p = buf;
  l.inUse = GetI32(p + 0);
  l.dirty = GetI32(p + 4);
  GetName(p + 8, l.name);
  l.kind = p[208];
  l.blend = p[209];
  l.below = GetI16(p + 210);
  l.above = GetI16(p + 212);
  l.partner = GetI16(p + 214);
  l.effectOn = p[216];
  l.effectSize = p[217];
  l.effectColour = GetI32(p + 218);
  l.transparentShadow = GetI32(p + 224);
  l.textColour = GetI32(p + 228);
  l.transparency = p[232];
  l.visible = GetI32(p + 236);
  l.x = GetI32(p + 240);
  l.y = GetI32(p + 244);
  l.height = GetI32(p + 248);
  l.width = GetI32(p + 252);
  l.pixelCount = GetI32(p + 256);
  l.imageSize = GetI32(p + 260);
  l.stride = GetI32(p + 264);
  l.textLength = GetI32(p + 268);
  l.text.x = GetI32(p + 272);
  l.text.y = GetI32(p + 276);
  l.text.size = GetI32(p + 280);
  std::memcpy(l.text.font, p + 284, 48);
  l.text.style = GetI16(p + 332);
  std::memcpy(l.text.more, p + 334, 50);
  l.text.tail[0] = GetI32(p + 384);
  l.text.tail[1] = GetI32(p + 388);
  l.text.tail[2] = GetI32(p + 392);
}

}  // namespace velmira
