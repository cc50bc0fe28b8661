// The filter list and its parameter table, declared once. The filter dialog builds
// its sliders from it, velmira-cli checks its arguments against it, and the tests
// read the same rows instead of restating them.
#pragma once

#include "image/ui_text.h"

#include <span>
#include <string_view>

namespace velmira {

// Positions in the filter list: what a menu command selects.
enum FilterIndex : int {
  kFilterEdgeEmphasis = 0,  // "경계강조"
  kFilterSharpen = 1,       // "강조"
  kFilterOutline = 2,       // "윤곽선"
  kFilterBlur = 3,          // "흐리게"
  kFilterSoften = 4,        // "부드럽게"
  kFilterShrink = 5,        // "물체축소"
  kFilterGrow = 6,          // "물체확장"
  kFilterStamp = 7,         // "찍어붙이기"
  kFilterConfetti = 8,      // "색종이뿌리기"
  kFilterLineColour = 9,    // "선효과채색"
  kFilterWatercolour = 10,  // "수채화"
  kFilterHanji = 11,        // "한지효과"
  kFilterRaindrops = 12,    // "빗방울"
  kFilterFrostedGlass = 13, // "유리성에"
  kFilterDenoise = 14,      // "잡영제거"
  kFilterRegionFill = 15,   // "영역확장"
  kFilterBubbles = 16,      // "방울채색"
  kFilterOilPaint = 17,     // "유화"
  kFilterEmboss = 18,       // "엠보스"
  kFilterDalmatian = 19,    // "달마시안"
  kFilterLens = 20,         // "렌즈효과"
  kFilterBathroom = 21,     // "욕실효과"
};
constexpr int kFilterCount = 22;

struct FilterParam {
  const char* label;  // "미지정" for a slot the filter does not use
  int min;
  int max;
  int def;  // may lie below min: the stored value keeps it until the slider moves
};

struct FilterParams {
  const char* name;
  int count;  // used slots, 0…3
  FilterParam p[3];
};

struct FilterEntry {
  const char* name;
  int menuIds[2];  // command ids selecting this entry (0 = none)
  bool available;  // its pixel routine exists in this build
};

std::span<const FilterEntry> FilterList();
// −1 when the name is not in the list.
int FilterIndexByName(std::string_view name);
// The list entry a menu command selects (the menu item "강조", 1455, selects
// "경계강조"); −1 for an id that is no filter command.
int FilterIndexForCommand(int commandId);

// The two-tone conversion shares the dialog; its method changes the parameter row.
constexpr const char* kThresholdName = QT_TR_NOOP("임계치변환");
enum class TwoToneMethod : int { Diffusion = 0, Ordered = 1, Absolute = 2 };
constexpr const char* kTwoToneMethodNames[3] = {QT_TR_NOOP("FS 디더링"), QT_TR_NOOP("OR 디더링"), QT_TR_NOOP("절대변환")};

// The parameter row of a filter name; any name without a row of its own gets the
// generic "조정 1"/"조정 2" row, as the dialog shows it.
const FilterParams& ParametersFor(std::string_view name);
const FilterParams& ThresholdParameters(TwoToneMethod method);

// Dialog width by the number of used parameters.
int FilterDialogWidth(int parameterCount);

}  // namespace velmira
