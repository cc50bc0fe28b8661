// The geometric commands of a document: the editor's menus, its modes and
// velmira-cli all call these. Each refuses what it must through the document's
// host, goes through the command frame and records one history step with the
// command's label and kind. They return true when the document changed.
#pragma once

#include "image/doc.h"
#include "processing/transform.h"

namespace velmira {

namespace cmd {
constexpr int kFlipCanvasH = 1410;
constexpr int kFlipCanvasV = 1411;
constexpr int kFlipLayerH = 4220;
constexpr int kFlipLayerV = 4219;
constexpr int kMirror = 1408;
constexpr int kRotateCanvasCw = 1491;
constexpr int kRotateCanvasCcw = 1492;
constexpr int kRotateCanvas180 = 4222;
constexpr int kRotateLayerCw = 4210;
constexpr int kRotateLayerCcw = 4214;
constexpr int kRotateLayer180 = 4221;
constexpr int kFreeRotate = 1415;
constexpr int kFreeSize = 4250;
constexpr int kFreeSkew = 4251;
constexpr int kFreePerspective = 4252;
constexpr int kStretchSqueeze = 3339;
constexpr int kTouchTool = 3340;
constexpr int kEllipse = 1406;
constexpr int kResize = 1431;
constexpr int kCanvasSize = 1432;
constexpr int kLayerEffect = 1558;
}  // namespace cmd

extern const char* const kMsgFreeTransformZoom;  // "자유변형은 줌 100% 상태에서 동작함"
extern const char* const kMsgTextInAllRotate;
extern const char* const kMsgTextLayerRotate;

// Every layer mirrored (kind 10), or only the active layer (kind 0).
bool FlipCanvas(CMirvDoc& doc, bool horizontal);
bool FlipLayer(CMirvDoc& doc, bool horizontal);
// The composed picture mirrored left–right; the layers stay as they are.
bool MirrorComposed(CMirvDoc& doc);
// The composed picture squeezed into its inscribed ellipse from the active layer.
bool EllipseTransform(CMirvDoc& doc);

// Quarter and half turns of every layer (the canvas takes the largest rotated
// size; kind 10) or of the active layer (kind 0). `degrees`: 90, −90 or 180.
bool RotateCanvas(CMirvDoc& doc, int degrees);
bool RotateLayer(CMirvDoc& doc, int degrees);

// Free rotation of the active layer by `degrees` clockwise about its centre.
bool FreeRotate(CMirvDoc& doc, float degrees);
// The same turn of layer `slot` without a step: the command's body, which the
// rotation panel's live preview runs too.
bool RotateLayerFreely(LayerStack& st, int slot, float degrees);
// The corner quadrilateral of a free rotation after turning it by `degrees`:
// pixel-edge corners of a w × h layer, rounded to whole pixels.
void RotatedCorners(int width, int height, float degrees, QuadPoint out[4]);

enum class FreeMode { Size, Skew, Perspective };
// A free transform of the active layer onto the quadrilateral `corners` (pixel-edge
// coordinates of the picture as shown: top-left, top-right, bottom-right,
// bottom-left). Works only while the view shows 100 %; otherwise the message is
// shown and nothing changes.
bool FreeTransform(CMirvDoc& doc, FreeMode mode, const QuadPoint corners[4]);

// Every layer resampled to a new canvas of width × height (kind 7).
bool ResizePicture(CMirvDoc& doc, int width, int height);
// The resize dialog's percent fields.
bool ResizePercent(CMirvDoc& doc, int percentWidth, int percentHeight);
// A new canvas of width × height with the old picture placed by anchor 0…8
// (0 top-left, 4 centre, 8 bottom-right) (kind 7).
bool CanvasSize(CMirvDoc& doc, int width, int height, int anchor);

// The stretch-and-squeeze panel's values.
struct TouchSettings {
  int boxWidth = 160, boxHeight = 120;
  float strength = 1.0f;
  int mode = 0;
};
// The touch transform at layer pixel (x, y) of the active layer; `record` adds the
// step "터치변형".
bool TouchTransform(CMirvDoc& doc, int x, int y, const TouchSettings& settings, bool record);

}  // namespace velmira
