// The document commands of the adjustments, the filters and the channel split.
// Menu handlers, dialogs (on OK) and velmira-cli all call these; each goes through
// the document's command frame and records one step with its fixed label.
#pragma once

#include <vector>

#include "image/doc.h"
#include "processing/adjust.h"
#include "processing/channels.h"
#include "processing/filter_table.h"
#include "processing/filters.h"
#include "image/ui_text.h"

namespace velmira {

namespace cmd {
constexpr int kBrightnessContrast = 1450;
constexpr int kColourOffsets = 1503;
constexpr int kLevels = 2533;
constexpr int kAutoColour = 2076;
constexpr int kInvert = 1413;
constexpr int kGreyscale = 1414;
constexpr int kDesaturateLayer = 4224;
constexpr int kToTrueColour = 2093;
constexpr int kTwoTone = 2113;
constexpr int kSplitRgb = 1441;
constexpr int kSplitYuv = 1442;
constexpr int kSplitHsl = 1443;
constexpr int kPseudoColours = 1444;
}  // namespace cmd

namespace steplabel {
constexpr const char* kBrightnessContrast = QT_TR_NOOP("명도·대비 조절");
constexpr const char* kColour = QT_TR_NOOP("색상조정");
constexpr const char* kAutoColour = QT_TR_NOOP("자동 색상 조정");
constexpr const char* kInvert = QT_TR_NOOP("반전변환");
constexpr const char* kGreyscale = QT_TR_NOOP("그레이스케일 변환");
constexpr const char* kDesaturateLayer = QT_TR_NOOP("레이어 채도 감소");
constexpr const char* kTrueColour = QT_TR_NOOP("RGB 컬러영상으로 변환");
constexpr const char* kTwoTone = QT_TR_NOOP("임계치변환");
}  // namespace steplabel

// Runs filter list entry `index` on the active layer within the selection and
// records a step named after the filter. False (nothing changed) for a text layer
// (refused with its message), an entry whose routine is not in this build, or an
// index outside the list.
bool ApplyFilter(CMirvDoc& doc, int index, const int params[3], const FilterControl* control = nullptr);
// The image-side step of ApplyFilter without the frame (the dialog's live preview):
// filters into the edit copy (a fresh block for a whole-layer run of a filter that
// writes every pixel) and trades it with the layer's pixels.
bool FilterLayer(LayerStack& L, int slot, const CImageBuffer* viewImage, int index, const int params[3],
                 const FilterControl* control = nullptr);

bool BrightnessContrast(CMirvDoc& doc, int brightness, int contrast);
bool ChannelOffsets(CMirvDoc& doc, int red, int green, int blue);
// low = high = −1: each channel over its own clipped range.
bool Levels(CMirvDoc& doc, int channel, int low, int high);
bool AutoColour(CMirvDoc& doc);
bool Invert(CMirvDoc& doc);
// Every layer in stack order ("그레이스케일 표현"), one step that keeps all layers.
bool GreyscaleAllLayers(CMirvDoc& doc);
bool DesaturateActiveLayer(CMirvDoc& doc);
// A palette document back to 24 bits per pixel; does nothing (true) at 24 bits.
bool ToTrueColour(CMirvDoc& doc);
// Every layer in stack order, one step per layer; t is the low byte of the
// dialog's first parameter.
bool TwoTone(CMirvDoc& doc, TwoToneMethod method, int threshold);

}  // namespace velmira
