// The filter menu. Each item selects an entry of the filter list; the editor's
// dialog then collects the parameters, the command line passes them.
#include "commands/registry.h"
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
      {1455, "강조", 10, false, "edge-emphasis", {"A", "B"}, "darken edges of at least A (0…99) by strength B (0…10)"},
      {1453, "흐리게", 20, false, "blur", {"N"}, "mean over an N x N window (1…9)"},
      {1457, "물체축소", 30, true, "erode", {"N"}, "shrink bright areas: minimum over N x N (2…20)"},
      {1460, "물체확장", 40, false, "dilate", {"N"}, "grow bright areas: maximum over N x N (2…20)"},
      {1454, "부드럽게", 50, true, "soften", {"N"}, "N x N window weighing the centre N x N (1…9)"},
      {1456, "윤곽선", 60, false, "outline", {"C"}, "grey outline, centre weight C (5…20)"},
      {1461, "찍어붙이기", 70, false, nullptr, {}, nullptr},
      {1462, "색종이뿌리기", 80, false, nullptr, {}, nullptr},
      {1463, "선효과채색", 90, false, nullptr, {}, nullptr},
      {1465, "수채화", 100, false, nullptr, {}, nullptr},
      {1469, "잡영제거", 110, false, "denoise", {"S", "Q"}, "absorb specks up to S (2…5) with absorption Q (1…4)"},
      {1470, "경계강조", 120, false, nullptr, {}, nullptr},
      {1473, "영역확장", 130, false, "region-fill", {"T"}, "flat regions within colour tolerance T (20…70)"},
      {1471, "방울채색", 140, false, nullptr, {}, nullptr},
      {1472, "유화", 150, false, nullptr, {}, nullptr},
      {1466, "한지효과", 160, false, nullptr, {}, nullptr},
      {1467, "빗방울", 170, false, nullptr, {}, nullptr},
      {1468, "유리성에", 180, false, nullptr, {}, nullptr},
      {2106, "달마시안", 190, false, nullptr, {}, nullptr},
      {1452, "엠보스", 200, false, "emboss", {"A"}, "grey emboss of strength A (1…10)"},
      // Not on the menu: the list's own entries.
      {1447, "강조", 0, false, "sharpen", {}, "grey sharpening convolution"},
      {3479, "렌즈효과", 0, false, nullptr, {}, nullptr},
      {3477, "욕실효과", 0, false, nullptr, {}, nullptr},
  };
  for (const Item& it : items) {
    const int index = FilterIndexForCommand(it.id);
    if (index < 0) continue;
    const FilterEntry& entry = FilterList()[size_t(index)];
    const FilterParams& row = ParametersFor(entry.name);
    CommandDef d{.id = it.id, .label = it.label, .needs = kNeedDocument | kNeedIdle | kNeedLayer};
    if (it.name) d.name = it.name;
    if (it.help) d.help = it.help;
    for (size_t i = 0; i < it.argNames.size(); ++i)
      d.params.push_back({it.argNames[i], true, row.p[i].min, row.p[i].max, row.p[i].def});
    // A filter whose routine is not built stays on the menu, disabled.
    if (entry.available)
      d.run = [index](CommandContext& c, const CommandArgs& a, std::string& e) { return FilterCmd(c, index, a, e); };
    if (it.order) d.places = {Placement{"filter", it.order, it.separatorBefore}};
    r.Add(std::move(d));
  }
  // The command bar's apply of the entry the filter bar holds (the editor's alone).
  r.Add({.id = 1505, .label = "필터링설정", .needs = kNeedDocument | kNeedIdle | kNeedLayer,
         .places = {Placement{"bar", 430, false, "필터링설정"}}});
}

}  // namespace velmira
