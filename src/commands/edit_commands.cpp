// Undo and redo, the clipboard, and the transparency switches of a picture.
#include "commands/registry.h"
#include "image/ui_text.h"
#include "formats/format_dispatch.h"

namespace velmira {

namespace {

using args::Fail;

bool Undo(CommandContext& c, const CommandArgs&, std::string& e) {
  if (!c.Doc().History().CanUndo()) return Fail(e, "nothing to undo");
  return c.Doc().Undo() || Fail(e, "undo failed");
}

bool Redo(CommandContext& c, const CommandArgs&, std::string& e) {
  if (!c.Doc().History().CanRedo()) return Fail(e, "nothing to redo");
  return c.Doc().Redo() || Fail(e, "redo failed");
}

bool PasteFile(CommandContext& c, const CommandArgs& a, std::string& e) {
  // The picture arrives as another program's copy would: a plain packed DIB.
  CImageBuffer img;
  if (!LoadFile(img, a[0], FormatFromPath(a[0]))) return Fail(e, a[0] + ": " + img.LastError());
  if (!c.host.PutClipboard(img.ToGlobalMemory())) return Fail(e, "clipboard unavailable");
  return c.Doc().PasteFromClipboard() || Fail(e, "paste failed");
}

// A document method that shows its own refusals.
RunFunction Method(bool (CMirvDoc::*fn)()) {
  return [fn](CommandContext& c, const CommandArgs&, std::string&) { return (c.Doc().*fn)(); };
}

}  // namespace

void RegisterEditCommands(CommandRegistry& r) {
  const unsigned editable = kNeedDocument | kNeedIdle | kNeedLayer;
  auto menu = [](int order, bool sep = false) { return Placement{"edit", order, sep}; };
  auto bar = [](int order, const char* tip) { return Placement{"bar", order, false, tip}; };
  auto viewMenu = [](int order, const char* label) { return Placement{"context/view", order, false, label}; };
  auto layerMenu = [](int order, const char* label) { return Placement{"context/layer", order, false, label}; };

  r.Add({.id = cmd::kUndo, .name = "undo", .label = QT_TR_NOOP("실행취소(&Z)\tCtrl+Z"), .keys = {"Ctrl+Z"},
         .needs = kNeedDocument | kNeedIdle,
         .enabled = [](const CMirvDoc& d) { return d.History().CanUndo(); },
         .help = "undo the last step", .run = &Undo,
         .places = {menu(10), bar(50, QT_TR_NOOP("실행 취소")), viewMenu(60, QT_TR_NOOP("실행취소\tCtrl+Z"))}});
  r.Add({.id = cmd::kRedo, .name = "redo", .label = QT_TR_NOOP("실행반복(&Y)\tCtrl+Y"), .keys = {"Ctrl+Y"},
         .needs = kNeedDocument | kNeedIdle,
         .enabled = [](const CMirvDoc& d) { return d.History().CanRedo(); },
         .help = "redo the next step", .run = &Redo,
         .places = {menu(20), bar(60, QT_TR_NOOP("다시 실행")), viewMenu(70, QT_TR_NOOP("실행반복\tCtrl+Y"))}});
  r.Add({.id = cmd::kCut, .label = QT_TR_NOOP("자르기(&t)\tCtrl+X"), .keys = {"Ctrl+X"}, .needs = editable,
         .run = Method(&CMirvDoc::Cut), .places = {menu(30, true)}});
  r.Add({.id = cmd::kCopy, .label = QT_TR_NOOP("복사(&C)\tCtrl+C"), .keys = {"Ctrl+C"}, .needs = editable,
         .run = Method(&CMirvDoc::CopyToClipboard),
         .places = {menu(40), viewMenu(40, QT_TR_NOOP("복사\tCtrl+C")), layerMenu(10, QT_TR_NOOP("복사"))}});
  // The editor also asks whether the clipboard holds a picture.
  r.Add({.id = cmd::kPaste, .label = QT_TR_NOOP("붙이기(&P)\tCtrl+V"), .keys = {"Ctrl+V"}, .needs = editable,
         .run = [](CommandContext& c, const CommandArgs&, std::string&) { return c.Doc().PasteFromClipboard(); },
         .places = {menu(50), viewMenu(50, QT_TR_NOOP("붙이기\tCtrl+V")), layerMenu(20, QT_TR_NOOP("붙이기"))}});
  r.Add({.id = cmd::kCutToNew, .label = QT_TR_NOOP("잘라서새로만들기"), .needs = editable | kNeedSelection,
         .run = Method(&CMirvDoc::CutToNew),
         .places = {menu(60, true), bar(130, QT_TR_NOOP("복사뒤 새로 만들기")), Placement{"quick/edit", 30}}});
  r.Add({.id = 0, .name = "paste-file", .params = {{"FILE"}}, .help = "paste the picture of FILE as a new top layer",
         .run = &PasteFile});

  // The transparency switches of a picture: no menu item of their own yet.
  for (int id : {cmd::kRemoveTransparency, cmd::kSetTransparency, cmd::kRemoveAlphaChannel, cmd::kInvertAlpha,
                 cmd::kToggleAlphaPalette, cmd::kStripAlpha})
    r.Add({.id = id, .label = "", .needs = editable,
           .run = [id](CommandContext& c, const CommandArgs&, std::string&) { return c.Doc().AlphaCommand(id); }});
}

}  // namespace velmira
