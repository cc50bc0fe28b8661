// The filter menu. Each item selects an entry of the filter list; the editor's
// dialog then collects the parameters, the command line passes them.
#include <algorithm>

#include "commands/registry.h"
#include "image/ui_text.h"
#include "processing/doc_commands.h"
#include "image/text.h"
#include "processing/filter_table.h"

namespace velmira {

namespace {

// A filter of the list with its parameters in the table's order; missing ones take
// the table's defaults, given ones must lie in the slider's range.
bool FilterCmd(CommandContext& c, int index, const CommandArgs& a, std::string& e) {
  const FilterParams& row = ParametersFor(FilterList()[size_t(index)].name);
  int params[3];
  for (int i = 0; i < 3; ++i) params[i] = row.p[i].def;
  for (size_t i = 0; i < a.size() && i < 3; ++i) {
    const FilterParam& p = row.p[i];
    if (!args::IntIn(a[i], p.min, p.max, params[i]))
      return args::Fail(e, Format("parameter %d (%s) must be %d…%d", int(i) + 1, p.label, p.min, p.max));
  }
  return ApplyFilter(c.Doc(), index, params) || args::Refused(c, e, "nothing changed");
}

}  // namespace

void RegisterFilterCommands(CommandRegistry& r) {
  // Menu order, labels, and for the scriptable ones the name, the argument names and help.
  struct Item {
    int id;
    const char* label;
    int order;
    bool separatorBefore;
    const char* name;
    std::vector<const char*> argNames;
    const char* help;
  };
  const Item items[] = {
      {1455, QT_TR_NOOP("강조"), 10, false, "edge-emphasis", {"A", "B"}, "darken edges of at least A (0…99) by strength B (0…10)"},
      {1453, QT_TR_NOOP("흐리게"), 20, false, "blur", {"N"}, "mean over an N x N window (1…9)"},
      {1457, QT_TR_NOOP("물체축소"), 30, true, "erode", {"N"}, "shrink bright areas: minimum over N x N (2…20)"},
      {1460, QT_TR_NOOP("물체확장"), 40, false, "dilate", {"N"}, "grow bright areas: maximum over N x N (2…20)"},
      {1454, QT_TR_NOOP("부드럽게"), 50, true, "soften", {"N"}, "N x N window weighing the centre N x N (1…9)"},
      {1456, QT_TR_NOOP("윤곽선"), 60, false, "outline", {"C"}, "grey outline, centre weight C (5…20)"},
      {1461, QT_TR_NOOP("찍어붙이기"), 70, false, "stamp", {"C", "L", "K"},
       "diagonal strokes of 4 x 4 squares off the outlines: outline weight C (5…20), length L (3…30), colour factor K (1…99)"},
      {1462, QT_TR_NOOP("색종이뿌리기"), 80, false, "confetti", {"C", "L", "K"},
       "stamping with confetti colours: outline weight C (5…20), length L (3…30), colour factor K (1…20)"},
      {1463, QT_TR_NOOP("선효과채색"), 90, false, "line-colouring", {"L", "N"},
       "short lines along the picture's direction, length L (0…7), N passes (1…3)"},
      {1465, QT_TR_NOOP("수채화"), 100, false, "watercolour", {"A", "B"},
       "the dominant tone of each 7 x 7 window (A, B 0…99 are not used)"},
      {1469, QT_TR_NOOP("잡영제거"), 110, false, "denoise", {"S", "Q"}, "absorb specks up to S (2…5) with absorption Q (1…4)"},
      {1470, QT_TR_NOOP("경계강조"), 120, false, nullptr, {}, nullptr},
      {1473, QT_TR_NOOP("영역확장"), 130, false, "region-fill", {"T"}, "flat regions within colour tolerance T (20…70)"},
      {1471, QT_TR_NOOP("방울채색"), 140, false, "drops", {"S", "E"}, "round colour drops of size S (0…30) (E 5…20 is not used)"},
      {1472, QT_TR_NOOP("유화"), 150, false, "oil-painting", {"L", "D"},
       "soft dabs along the picture's direction, length L (0…10) (D 0…99 is not used)"},
      {1466, QT_TR_NOOP("한지효과"), 160, false, "korean-paper", {"A"}, "Korean paper fibres (A 0…99 is not used)"},
      {1467, QT_TR_NOOP("빗방울"), 170, false, "rain-drops", {"S", "N"}, "N (50…150) magnifying rain drops of size up to S (0…99)"},
      {1468, QT_TR_NOOP("유리성에"), 180, false, "frosted-glass", {"R"}, "frosted glass of radius R (0…15)"},
      {2106, QT_TR_NOOP("달마시안"), 190, false, "dalmatian", {"S", "N"}, "N (0…99) black spots of size up to S (0…99), the rest lightened"},
      {1452, QT_TR_NOOP("엠보스"), 200, false, "emboss", {"A"}, "grey emboss of strength A (1…10)"},
      // Not on the menu: the list's own entries.
      {1447, QT_TR_NOOP("강조"), 0, false, "sharpen", {}, "grey sharpening convolution"},
      {3479, QT_TR_NOOP("렌즈효과"), 0, false, "lens", {}, "magnifying lens over the whole layer"},
      {3477, QT_TR_NOOP("욕실효과"), 0, false, "bath-glass", {"A", "B"}, "ribbed bathroom glass (A, B -49…49 are not used)"},
  };
  for (const Item& it : items) {
    const int index = FilterIndexForCommand(it.id);
    if (index < 0) continue;
    const FilterEntry& entry = FilterList()[size_t(index)];
    const FilterParams& row = ParametersFor(entry.name);
    CommandDef d{.id = it.id, .label = it.label, .needs = kNeedDocument | kNeedIdle | kNeedLayer};
    if (it.name) d.name = it.name;
    if (it.help) d.help = it.help;
    // A default below its slider's minimum ("선분길이" 1 of 3…30) is declared as the
    // minimum the slider shows; the filter itself still runs with the stored default
    // when the argument is left out (FilterCmd reads the table).
    for (size_t i = 0; i < it.argNames.size(); ++i)
      d.params.push_back({it.argNames[i], true, row.p[i].min, row.p[i].max,
                          std::clamp(row.p[i].def, row.p[i].min, row.p[i].max)});
    // A filter whose routine is not built stays on the menu, disabled.
    if (entry.available)
      d.run = [index](CommandContext& c, const CommandArgs& a, std::string& e) { return FilterCmd(c, index, a, e); };
    if (it.order) d.places = {Placement{"filter", it.order, it.separatorBefore}};
    r.Add(std::move(d));
  }
  // The command bar's apply of the entry the filter bar holds (the editor's alone).
  r.Add({.id = 1505, .label = QT_TR_NOOP("필터링설정"), .needs = kNeedDocument | kNeedIdle | kNeedLayer,
         .places = {Placement{"bar", 430, false, QT_TR_NOOP("필터링설정")}}});
}

}  // namespace velmira
