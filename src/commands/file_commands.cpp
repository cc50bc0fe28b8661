// The file, window and help menus, the colour swatches and the brush palette. Most
// of these are the editor's own business (dialogs, windows): they carry no run
// function here and the editor's fronts run them.
#include "commands/brushes.h"
#include "image/ui_text.h"
#include "commands/registry.h"

namespace velmira {

const std::vector<BrushButton>& BrushPalette() {
  static const std::vector<BrushButton> palette = {
      {1221, 8, true},  {1223, 7, true},  {1225, 6, true},  {1231, 5, true},  {1233, 4, true},  {1237, 3, true},
      {1239, 2, true},  {1241, 1, true},  {2300, 8, false}, {2301, 7, false}, {2302, 6, false}, {2303, 5, false},
      {2304, 4, false}, {2305, 3, false}, {2306, 2, false}, {2307, 1, false},
  };
  return palette;
}

void RegisterFileCommands(CommandRegistry& r) {
  auto menu = [](const char* surface, int order, bool sep = false) { return Placement{surface, order, sep}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };

  r.Add({.id = 57600, .label = QT_TR_NOOP("새파일(&N)\tCtrl+N"), .keys = {"Ctrl+N"},
         .places = {menu("file", 10), bar(10, QT_TR_NOOP("새 문서를 작성합니다"))}});
  r.Add({.id = 57601, .label = QT_TR_NOOP("열기(&O)\tCtrl+O"), .keys = {"Ctrl+O"},
         .places = {menu("file", 20), bar(20, QT_TR_NOOP("이미지 열기"))}});
  r.Add({.id = 57602, .label = QT_TR_NOOP("닫기(&C)"), .needs = kNeedDocument, .places = {menu("file", 30)}});
  r.Add({.id = 57603, .label = QT_TR_NOOP("저장하기(&S)\tCtrl+S"), .keys = {"Ctrl+S"}, .needs = kNeedDocument,
         .places = {menu("file", 40), bar(30, QT_TR_NOOP("이미지 저장"))}});
  r.Add({.id = 57604, .label = QT_TR_NOOP("새이름으로(&A)\tCtrl+Shift+S"), .keys = {"Ctrl+Shift+S"}, .needs = kNeedDocument,
         .places = {menu("file", 50)}});
  // Scanning arrives with image acquisition; the items stay, disabled, until then.
  r.Add({.id = 1474, .label = QT_TR_NOOP("외부장치 선택..."), .places = {menu("file", 60, true)}});
  r.Add({.id = 1475, .label = QT_TR_NOOP("외부영상 입력 "), .places = {menu("file", 70), bar(40, QT_TR_NOOP("외부장치로 부터 읽어들임"))}});
  r.Add({.id = 57607, .label = QT_TR_NOOP("인쇄(&P)    \tCtrl+P"), .keys = {"Ctrl+P"}, .needs = kNeedView,
         .places = {menu("file", 80, true)}});
  r.Add({.id = 57606, .label = QT_TR_NOOP("프린터지정(R)"), .places = {menu("file", 90)}});
  r.Add({.id = 1571, .label = QT_TR_NOOP("환경설정"), .places = {menu("file", 100, true), bar(230, QT_TR_NOOP("환경설정"))}});
  r.Add({.id = 57665, .label = QT_TR_NOOP("종료(&x)"), .places = {menu("file", 110)}});
  // The recent files: the first entry holds the place in the menu, the editor fills
  // in the rest.
  for (int id = 57616; id <= 57624; ++id) {
    CommandDef d{.id = id, .label = "Recent File"};
    if (id == 57616) d.places = {menu("file", 120, true)};
    r.Add(std::move(d));
  }

  r.Add({.id = 1412, .label = QT_TR_NOOP("복제"), .needs = kNeedDocument | kNeedIdle | kNeedLayer,
         .run = [](CommandContext& c, const CommandArgs&, std::string&) { return c.Doc().DuplicateDocument(); },
         .places = {menu("window", 10)}});
  r.Add({.id = 57648, .label = QT_TR_NOOP("새창(&N)"), .needs = kNeedDocument, .places = {menu("window", 20)}});
  r.Add({.id = 57650, .label = QT_TR_NOOP("계단식(&C)"), .places = {menu("window", 30)}});
  r.Add({.id = 57651, .label = QT_TR_NOOP("타일(&T)"), .places = {menu("window", 40)}});
  r.Add({.id = 1426, .label = QT_TR_NOOP("모두닫기"), .places = {menu("window", 50, true)}});

  r.Add({.id = 57664, .label = QT_TR_NOOP("'Velmira'에 관하여(&A)..."), .places = {menu("help", 10)}});
  r.Add({.id = 2074, .label = QT_TR_NOOP("'Velmira' 웹사이트 연결"), .places = {menu("help", 20), bar(460, QT_TR_NOOP("Velmira 웹사이트"))}});

  r.Add({.id = 1384, .label = QT_TR_NOOP("전경색"), .places = {bar(340, QT_TR_NOOP("전경색"))}});
  r.Add({.id = 1386, .label = QT_TR_NOOP("전경,배경색 교환"), .places = {bar(350, QT_TR_NOOP("전경,배경색 교환"))}});
  r.Add({.id = 1385, .label = QT_TR_NOOP("배경색"), .places = {bar(360, QT_TR_NOOP("배경색"))}});
  r.Add({.id = 1510, .label = QT_TR_NOOP("붓굵기"), .places = {bar(380, QT_TR_NOOP("붓굵기"))}});
  int order = 0;
  for (const BrushButton& b : BrushPalette()) {
    const BrushButton brush = b;
    r.Add({.id = b.id,
           .label = std::to_string(b.size),
           .run =
               [brush](CommandContext& c, const CommandArgs&, std::string&) {
                 c.frame.brushSize = brush.size;
                 c.frame.softEdge = brush.soft;
                 return true;
               },
           .places = {Placement{"brushes", order += 10}}});
  }
}

}  // namespace velmira
