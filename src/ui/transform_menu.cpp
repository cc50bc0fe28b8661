#include "ui/transform_menu.h"

#include <QApplication>
#include <QVariant>
#include <memory>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "tools/tool_ids.h"
#include "ui/command_fronts.h"
#include "ui/dlg_transform.h"
#include "ui/face_trans.h"
#include "ui/free_transform_tool.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

TransformDialogRunner& Runner() {
  static TransformDialogRunner runner;
  return runner;
}

int Show(QDialog& d) {
  if (Runner()) return Runner()(d);
  return d.exec();
}

void Redraw(CMainFrame& frame) {
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
}

// The shadow colour the last effect dialog ended with, for the next one.
constexpr const char* kShadowColourProperty = "velmiraShadowColour";

// A preview dialog shown; anything but a recorded OK (a closed window, a failed
// command) puts the kept layer back.
bool RunPreview(CMainFrame& frame, PreviewDialog& d) {
  Show(d);
  if (!d.Recorded()) d.reject();
  Redraw(frame);
  return d.Recorded();
}

// Free rotation is a mode: the layer is kept in both backups, the rotation-angle
// panel stays open beside the view, and a drag in the view turns the layer (tool
// 1415) as the typed angle does. OK or a finished drag records the step; closing the
// panel puts the layer back. Either way the mode ends.
bool EnterFreeRotation(CMainFrame& frame, CMirvDoc& doc) {
  if (FreeRotateDialog* open = FreeRotateDialog::Active()) {
    open->raise();
    return false;
  }
  CMirvView* view = frame.ActiveView();
  if (!view || !frame.ConsentToolChange(tool::kFreeRotate)) return false;
  auto* d = new FreeRotateDialog(doc, &frame);
  if (!d->Begin()) {
    delete d;
    return false;
  }
  if (doc.HistoryEnabled()) doc.History().SaveBackup(1, doc.Layers().active);
  RegisterFreeRotateTool();
  if (!view->Router().ToolFor(tool::kFreeRotate)) view->Router().SetTool(tool::kFreeRotate, MakeFreeRotateTool());
  d->SetActive(true);
  frame.Frame().currentTool = tool::kFreeRotate;
  frame.SetRotationPanel(d);
  auto ended = std::make_shared<bool>(false);
  // OK and Cancel (or closing the window) have left the layer right already.
  QObject::connect(d, &QDialog::finished, &frame, [&frame, d, ended] {
    *ended = true;
    d->SetActive(false);
    if (frame.Frame().currentTool == tool::kFreeRotate) frame.Frame().currentTool = tool::kNone;
    frame.SetRotationPanel(nullptr);
    d->deleteLater();
    Redraw(frame);
    frame.UpdateCommandUI();
  });
  // A test plays the user's part through the runner; the editor leaves the panel open.
  if (Runner()) {
    Runner()(*d);
    if (!*ended) d->reject();
    return d->Recorded();
  }
  d->show();
  return true;
}

bool RunDialog(CMainFrame& frame, CMirvDoc& doc, int id) {
  switch (id) {
    case cmd::kResize: {
      ResizeDialog d(doc, &frame);
      Show(d);
      return d.Recorded();
    }
    case cmd::kCanvasSize: {
      CanvasSizeDialog d(doc, &frame);
      Show(d);
      return d.Recorded();
    }
    case cmd::kFreeRotate: return EnterFreeRotation(frame, doc);
    case cmd::kLayerEffect: {
      const QVariant kept = frame.property(kShadowColourProperty);
      LayerEffectDialog d(doc, kept.isValid() ? Rgbq(kept.toUInt()) : MakeRgbq(0, 0, 0), &frame);
      if (!d.Start()) return false;
      const bool done = RunPreview(frame, d);
      if (done) frame.setProperty(kShadowColourProperty, uint(d.Colour()));
      return done;
    }
    default: return false;
  }
}

}  // namespace

void SetTransformDialogRunner(TransformDialogRunner runner) { Runner() = std::move(runner); }

void RegisterTransformFronts(CommandFronts& f) {
  auto front = [&f](int id, std::function<bool(CMainFrame&)> fn, std::function<bool(const CMainFrame&)> enabled = {}) {
    f.Add(id, CommandFront{std::move(enabled), [fn](CMainFrame& frame) {
            const bool done = fn(frame);
            Redraw(frame);
            return done;
          }});
  };
  for (int id : {cmd::kResize, cmd::kCanvasSize, cmd::kFreeRotate, cmd::kLayerEffect})
    front(id, [id](CMainFrame& frame) { return RunDialog(frame, *frame.ActiveDocument(), id); });
  for (int id : {tool::kTransformSize, tool::kTransformSkew, tool::kTransformPerspective})
    front(id, [id](CMainFrame& frame) { return EnterFreeTransform(frame, id); });
  front(cmd::kStretchSqueeze, [](CMainFrame& frame) { return EnterFaceTrans(frame); },
        [](const CMainFrame& frame) { return FaceTransAvailable(frame); });
}

}  // namespace velmira
