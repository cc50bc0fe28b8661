#include "image/layers.h"

#include <gtest/gtest.h>

#include "image/le_bytes.h"
#include "image/records.h"

namespace velmira {
namespace {

LayerStack MakeStack(int w, int h) {
  LayerStack st;
  st.header.canvasWidth = w;
  st.header.canvasHeight = h;
  st.header.bitsPerPixel = 24;
  return st;
}

TEST(Layers, InsertLinksNamesAndRefusesTheFortyFirst) {
  LayerStack st = MakeStack(4, 4);
  int first = -1, second = -1, third = -1;
  ASSERT_EQ(st.InsertLayer(-1, -1, &first), InsertResult::Ok);
  ASSERT_EQ(st.InsertLayer(first, -1, &second), InsertResult::Ok);
  ASSERT_EQ(st.InsertLayer(first, -1, &third), InsertResult::Ok);  // between the two
  EXPECT_EQ(st.Chain(), (std::vector<int>{first, third, second}));
  EXPECT_EQ(st.slots[second].below, third);
  EXPECT_EQ(st.slots[third].name.Get(), u"레이어 2");
  EXPECT_EQ(st.active, third);
  // A new layer is white but fully transparent.
  EXPECT_EQ(st.slots[third].pixels[0], 255);
  EXPECT_EQ(st.slots[third].alpha[0], 0);
  for (int i = 3; i < kMaxLayers; ++i) ASSERT_EQ(st.InsertLayer(st.TopLayer(), -1, nullptr), InsertResult::Ok);
  EXPECT_EQ(st.InsertLayer(st.TopLayer(), -1, nullptr), InsertResult::Full);
  EXPECT_EQ(st.LayerCount(), kMaxLayers);
}

TEST(Layers, UnlinkRelinksNeighboursAndPicksTheNextActive) {
  LayerStack st = MakeStack(2, 2);
  int a, b, c;
  st.InsertLayer(-1, -1, &a);
  st.InsertLayer(a, -1, &b);
  st.InsertLayer(b, -1, &c);
  EXPECT_EQ(st.UnlinkLayer(b), c);  // the layer above becomes active
  EXPECT_EQ(st.slots[a].above, c);
  EXPECT_EQ(st.slots[c].below, a);
  EXPECT_EQ(st.UnlinkLayer(c), a);  // the top: the one below
  EXPECT_EQ(st.UnlinkLayer(a), -1);
  EXPECT_EQ(st.bottom, -1);
}

TEST(Layers, QueriesFollowTheList) {
  LayerStack st = MakeStack(2, 2);
  int a, b, c;
  st.InsertLayer(-1, -1, &a);
  st.InsertLayer(a, -1, &b);
  st.InsertLayer(b, -1, &c);
  st.slots[c].visible = 0;
  st.slots[b].name.Set(u"[ImgFrame]");
  st.slots[b].kind = kLayerMeasure;
  EXPECT_EQ(st.TopLayer(), c);
  EXPECT_EQ(st.TopVisibleLayer(), b);
  EXPECT_EQ(st.FindFrameLayer(), b);
  EXPECT_EQ(st.FindLayerOfKind(kLayerMeasure), b);
  EXPECT_EQ(st.FindLayerOfKind(kLayerText), -1);
  EXPECT_EQ(st.DistanceBetween(a, c), 2);
  EXPECT_EQ(st.DistanceBetween(c, a), -1);
  EXPECT_EQ(st.LayerAt(1), b);
  EXPECT_EQ(st.LayerAt(3), -1);
  // A damaged list with a cycle must not hang the walk.
  st.slots[c].above = int16_t(a);
  EXPECT_EQ(st.LayerCount(), 3);
}

TEST(Layers, AllocateNeverSmallerThanCanvasAndCentres) {
  LayerStack st = MakeStack(10, 8);
  LayerAlloc a;
  a.width = 4;
  a.height = 20;
  a.canvasWidth = 10;
  a.canvasHeight = 8;
  a.centre = true;
  a.initialAlpha = 9;
  ASSERT_TRUE(st.AllocateLayer(5, a));
  const Layer& l = st.slots[5];
  EXPECT_EQ(l.width, 10);
  EXPECT_EQ(l.height, 20);
  EXPECT_EQ(l.x, 0);
  EXPECT_EQ(l.y, -6);
  EXPECT_EQ(l.stride, 32);
  EXPECT_EQ(l.imageSize, 640);
  EXPECT_EQ(l.alpha[0], 9);
  EXPECT_EQ(st.header.imageSize, 32 * 8);
  // No selection existed: the mask covers the new layer, nothing selected.
  EXPECT_EQ(st.maskWidth, 10);
  EXPECT_EQ(st.InSelection(3, 19), 1);
  EXPECT_EQ(st.InSelection(10, 0), 0);
  EXPECT_FALSE(st.AllocateLayer(40, a));
}

TEST(Layers, EditCopyAndPixelAccess) {
  LayerStack st = MakeStack(3, 3);
  int s;
  st.InsertLayer(-1, -1, &s);
  st.WriteLayerColor(s, 1, 2, MakeRgbq(1, 2, 3));
  EXPECT_EQ(st.ReadLayerColor(s, 1, 2, nullptr), MakeRgbq(1, 2, 3));
  EXPECT_EQ(st.LayerAlpha(s, 1, 2), 255);
  st.BackupLayer(s);
  st.SetLayerAlpha(s, 1, 2, 7);
  EXPECT_EQ(st.LayerAlpha(s, 1, 2), 7);
  EXPECT_TRUE(st.RestoreLayer(s));
  EXPECT_EQ(st.LayerAlpha(s, 1, 2), 255);
  st.SetEditAlpha(s, 0, 0, 5, true);
  EXPECT_EQ(st.editAlpha[0], 5);
  st.mask[1] = 0;  // (1, 0) is not selected
  st.SetEditAlpha(s, 1, 0, 5, true);
  EXPECT_EQ(st.editAlpha[1], 0);
  EXPECT_EQ(st.LayerAlpha(s, -1, 0), 0);
  CImageBuffer view;
  view.Allocate(1, 1, 24, kFormatBmp);
  view.Ext().transparentColour = MakeRgbq(4, 5, 6);
  EXPECT_EQ(st.ReadLayerColor(s, 3, 0, &view), MakeRgbq(4, 5, 6));
}

TEST(Layers, TextToRasterKeepsShapeAsTransparency) {
  LayerStack st = MakeStack(3, 2);
  int s;
  st.InsertLayer(-1, -1, &s);
  LayerAlloc a;
  a.kind = kLayerText;
  a.canvasWidth = 3;
  a.canvasHeight = 2;
  ASSERT_TRUE(st.AllocateLayer(s, a));
  st.slots[s].name.Set(u"글");
  st.slots[s].textColour = int32_t(MakeRgbq(10, 20, 30));
  st.slots[s].alpha[4] = 200;
  ASSERT_TRUE(st.ConvertTextToRaster(s));
  const Layer& l = st.slots[s];
  EXPECT_EQ(l.kind, kLayerRaster);
  EXPECT_EQ(l.stride, 12);
  EXPECT_EQ(l.name.Get(), u"글");
  EXPECT_EQ(l.alpha[4], 200);
  EXPECT_EQ(l.alpha[0], 0);
  EXPECT_EQ(st.ReadLayerColor(s, 0, 0, nullptr), MakeRgbq(10, 20, 30));
}

TEST(Records, FieldsSitAtTheirOffsets) {
  Layer l;
  l.inUse = 1;
  l.dirty = 1;
  l.name.Set(u"AB");
  l.kind = kLayerText;
  l.blend = kBlendOverlay;
  l.below = -1;
  l.above = 7;
  l.partner = 3;
  l.effectOn = 1;
  l.effectSize = 17;
  l.effectColour = 0x11223344;
  l.transparentShadow = 1;
  l.textColour = 0x00AABBCC;
  l.transparency = 128;
  l.visible = 1;
  l.x = -5;
  l.y = 6;
  l.height = 30;
  l.width = 40;
  l.pixelCount = 1200;
  l.imageSize = 1200;
  l.stride = 40;
  l.textLength = 2;
  l.text.size = 24;
  l.text.style = -2;
  l.text.tail[1] = 100;
  uint8_t rec[kLayerRecordBytes];
  WriteLayerRecord(l, rec);
  EXPECT_EQ(GetU16(rec + 8), u'A');
  EXPECT_EQ(GetU16(rec + 10), u'B');
  EXPECT_EQ(rec[208], 2);
  EXPECT_EQ(rec[209], 9);
  EXPECT_EQ(GetI16(rec + 210), -1);
  EXPECT_EQ(GetI16(rec + 212), 7);
  EXPECT_EQ(GetU32(rec + 218), 0x11223344u);  // unaligned
  EXPECT_EQ(rec[232], 128);
  EXPECT_EQ(GetI32(rec + 240), -5);
  EXPECT_EQ(GetI32(rec + 252), 40);
  EXPECT_EQ(GetI32(rec + 280), 24);
  EXPECT_EQ(GetI16(rec + 332), -2);
  EXPECT_EQ(GetI32(rec + 388), 100);
  Layer back;
  ReadLayerRecord(rec, kLayerRecordBytes, back);
  uint8_t again[kLayerRecordBytes];
  WriteLayerRecord(back, again);
  EXPECT_EQ(0, memcmp(rec, again, kLayerRecordBytes));
  // A shorter stored record leaves later fields as they were.
  Layer shortRec;
  shortRec.text.tail[0] = 55;
  ReadLayerRecord(rec, 384, shortRec);
  EXPECT_EQ(shortRec.text.tail[0], 55);
  EXPECT_EQ(shortRec.width, 40);

  PictureHeader h;
  h.title.Set(u"3d");
  h.canvasHeight = 3000;
  h.canvasWidth = 4000;
  h.formatType = 3;
  h.bitsPerPixel = 24;
  h.backgroundChanged = 1;
  uint8_t hb[kPictureHeaderBytes];
  WritePictureHeader(h, hb);
  EXPECT_EQ(GetI32(hb + 200), 3000);
  EXPECT_EQ(GetI32(hb + 204), 4000);
  EXPECT_EQ(hb[216], 3);
  EXPECT_EQ(hb[248], 1);
  PictureHeader hb2;
  ReadPictureHeader(hb, hb2);
  EXPECT_EQ(hb2.title.Get(), u"3d");
  EXPECT_EQ(hb2.canvasWidth, 4000);
}

}  // namespace
}  // namespace velmira
