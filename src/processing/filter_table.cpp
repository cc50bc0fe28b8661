#include "processing/filter_table.h"
#include "image/ui_text.h"

#include <iterator>

namespace velmira {

namespace {

constexpr FilterParam kUnused = {QT_TR_NOOP("미지정"), 0, 0, -1};

constexpr FilterEntry kList[kFilterCount] = {
    {QT_TR_NOOP("경계강조"), {1455, 1470}, true},
    {QT_TR_NOOP("강조"), {1447, 0}, true},
    {QT_TR_NOOP("윤곽선"), {1456, 0}, true},
    {QT_TR_NOOP("흐리게"), {1453, 0}, true},
    {QT_TR_NOOP("부드럽게"), {1454, 0}, true},
    {QT_TR_NOOP("물체축소"), {1457, 0}, true},
    {QT_TR_NOOP("물체확장"), {1460, 0}, true},
    {QT_TR_NOOP("찍어붙이기"), {1461, 0}, true},
    {QT_TR_NOOP("색종이뿌리기"), {1462, 0}, true},
    {QT_TR_NOOP("선효과채색"), {1463, 0}, true},
    {QT_TR_NOOP("수채화"), {1465, 0}, true},
    {QT_TR_NOOP("한지효과"), {1466, 0}, true},
    {QT_TR_NOOP("빗방울"), {1467, 0}, true},
    {QT_TR_NOOP("유리성에"), {1468, 0}, true},
    {QT_TR_NOOP("잡영제거"), {1469, 0}, true},
    {QT_TR_NOOP("영역확장"), {1473, 0}, true},
    {QT_TR_NOOP("방울채색"), {1471, 0}, true},
    {QT_TR_NOOP("유화"), {1472, 0}, true},
    {QT_TR_NOOP("엠보스"), {1452, 0}, true},
    {QT_TR_NOOP("달마시안"), {2106, 0}, true},
    {QT_TR_NOOP("렌즈효과"), {3479, 0}, true},
    {QT_TR_NOOP("욕실효과"), {3477, 0}, true},
};

constexpr FilterParams kRows[] = {
    {QT_TR_NOOP("물체축소"), 1, {{QT_TR_NOOP("축소허용"), 2, 20, 4}, kUnused, kUnused}},
    {QT_TR_NOOP("물체확장"), 1, {{QT_TR_NOOP("확장허용"), 2, 20, 4}, kUnused, kUnused}},
    {QT_TR_NOOP("흐리게"), 1, {{QT_TR_NOOP("흐림"), 1, 9, 4}, kUnused, kUnused}},
    {QT_TR_NOOP("부드럽게"), 1, {{QT_TR_NOOP("부드러움"), 1, 9, 4}, kUnused, kUnused}},
    {QT_TR_NOOP("강조"), 1, {{QT_TR_NOOP("강조"), 0, 99, 1}, kUnused, kUnused}},
    {QT_TR_NOOP("윤곽선"), 2, {{QT_TR_NOOP("추출정도"), 5, 20, 8}, {QT_TR_NOOP("음영표현"), 0, 99, 80}, kUnused}},
    {QT_TR_NOOP("엠보스"), 2, {{QT_TR_NOOP("추출정도"), 1, 10, 1}, {QT_TR_NOOP("음영표현"), 0, 99, 0}, kUnused}},
    {QT_TR_NOOP("찍어붙이기"), 3, {{QT_TR_NOOP("윤곽정도"), 5, 20, 8}, {QT_TR_NOOP("선분길이"), 3, 30, 1}, {QT_TR_NOOP("색상표현"), 1, 99, 1}}},
    {QT_TR_NOOP("색종이뿌리기"), 3, {{QT_TR_NOOP("윤곽정도"), 5, 20, 10}, {QT_TR_NOOP("선분길이"), 3, 30, 1}, {QT_TR_NOOP("색상표현"), 1, 20, 2}}},
    {QT_TR_NOOP("선효과채색"), 2, {{QT_TR_NOOP("선분길이"), 0, 7, 5}, {QT_TR_NOOP("반복"), 1, 3, 1}, kUnused}},
    {QT_TR_NOOP("수채화"), 2, {{QT_TR_NOOP("붓크기"), 0, 99, 1}, {QT_TR_NOOP("부드럽게"), 0, 99, 1}, kUnused}},
    {QT_TR_NOOP("한지효과"), 1, {{QT_TR_NOOP("흐림정도"), 0, 99, 1}, kUnused, kUnused}},
    {QT_TR_NOOP("빗방울"), 2, {{QT_TR_NOOP("크기"), 0, 99, 40}, {QT_TR_NOOP("빈도"), 50, 150, 100}, kUnused}},
    {QT_TR_NOOP("유리성에"), 1, {{QT_TR_NOOP("흐림정도"), 0, 15, 1}, kUnused, kUnused}},
    {QT_TR_NOOP("잡영제거"), 2, {{QT_TR_NOOP("잡영크기"), 2, 5, 3}, {QT_TR_NOOP("흡수정도"), 1, 4, 4}, kUnused}},
    {QT_TR_NOOP("경계강조"), 2, {{QT_TR_NOOP("테두리양"), 0, 99, 1}, {QT_TR_NOOP("표시강도"), 0, 10, 1}, kUnused}},
    {QT_TR_NOOP("영역확장"), 1, {{QT_TR_NOOP("확장허용"), 20, 70, 30}, kUnused, kUnused}},
    {QT_TR_NOOP("방울채색"), 2, {{QT_TR_NOOP("방울크기"), 0, 30, 7}, {QT_TR_NOOP("윤곽선표시"), 5, 20, 8}, kUnused}},
    {QT_TR_NOOP("유화"), 2, {{QT_TR_NOOP("붓길이"), 0, 10, 5}, {QT_TR_NOOP("세밀함"), 0, 99, 50}, kUnused}},
    {QT_TR_NOOP("달마시안"), 2, {{QT_TR_NOOP("무뉘"), 0, 99, 40}, {QT_TR_NOOP("빈도"), 0, 99, 50}, kUnused}},
    {QT_TR_NOOP("렌즈효과"), 0, {kUnused, kUnused, kUnused}},
};

constexpr FilterParams kGeneric = {"", 2, {{QT_TR_NOOP("조정 1"), -49, 49, 0}, {QT_TR_NOOP("조정 2"), -49, 49, 0}, kUnused}};

constexpr FilterParams kThreshold[3] = {
    {kThresholdName, 1, {{QT_TR_NOOP("농도조절"), 0, 255, 128}, kUnused, kUnused}},
    {kThresholdName, 1, {{QT_TR_NOOP("농도조절"), 0, 255, 75}, kUnused, kUnused}},
    {kThresholdName, 1, {{QT_TR_NOOP("이진임계치"), 0, 255, 128}, kUnused, kUnused}},
};

}  // namespace

std::span<const FilterEntry> FilterList() { return kList; }

int FilterIndexByName(std::string_view name) {
  for (int i = 0; i < kFilterCount; ++i)
    if (name == kList[i].name) return i;
  return -1;
}

int FilterIndexForCommand(int commandId) {
  if (commandId <= 0) return -1;
  for (int i = 0; i < kFilterCount; ++i)
    if (kList[i].menuIds[0] == commandId || kList[i].menuIds[1] == commandId) return i;
  return -1;
}

const FilterParams& ParametersFor(std::string_view name) {
  for (const FilterParams& r : kRows)
    if (name == r.name) return r;
  if (name == kThresholdName) return kThreshold[0];
  return kGeneric;
}

const FilterParams& ThresholdParameters(TwoToneMethod method) {
  const int i = int(method);
  return kThreshold[i >= 0 && i < 3 ? i : 0];
}

int FilterDialogWidth(int parameterCount) {
  switch (parameterCount) {
    case 0: return 150;
    case 1: return 330;
    case 2: return 510;
    default: return 610;
  }
}

}  // namespace velmira
