#include "ui/transform_menu.h"

#include <QApplication>
#include <QVariant>
#include <memory>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "tools/tool_ids.h"
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

// Commands that need no values: they run and record their step at once.
bool IsDirectCommand(int id) {
  switch (id) {
    case cmd::kFlipCanvasH:
    case cmd::kFlipCanvasV:
    case cmd::kFlipLayerH:
    case cmd::kFlipLayerV:
    case cmd::kMirror:
    case cmd::kEllipse:
    case cmd::kRotateCanvasCw:
    case cmd::kRotateCanvasCcw:
    case cmd::kRotateCanvas180:
    case cmd::kRotateLayerCw:
    case cmd::kRotateLayerCcw:
    case cmd::kRotateLayer180: return true;
    default: return false;
  }
}

bool RunDirect(CMirvDoc& doc, int id) {
  switch (id) {
    case cmd::kFlipCanvasH: return FlipCanvas(doc, true);
    case cmd::kFlipCanvasV: return FlipCanvas(doc, false);
    case cmd::kFlipLayerH: return FlipLayer(doc, true);
    case cmd::kFlipLayerV: return FlipLayer(doc, false);
    case cmd::kMirror: return MirrorComposed(doc);
    case cmd::kEllipse: return EllipseTransform(doc);
    case cmd::kRotateCanvasCw: return RotateCanvas(doc, 90);
    case cmd::kRotateCanvasCcw: return RotateCanvas(doc, -90);
    case cmd::kRotateCanvas180: return RotateCanvas(doc, 180);
    case cmd::kRotateLayerCw: return RotateLayer(doc, 90);
    case cmd::kRotateLayerCcw: return RotateLayer(doc, -90);
    case cmd::kRotateLayer180: return RotateLayer(doc, 180);
    default: return false;
  }
}

void Redraw(CMainFrame& frame) {
  if (CMirvView* v = frame.ActiveView()) v->viewport()->update();
}

// Commands that ask for values first.
bool IsDialogCommand(int id) {
  return id == cmd::kResize || id == cmd::kCanvasSize || id == cmd::kFreeRotate || id == cmd::kLayerEffect;
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

bool IsTransformCommand(int id) {
  return IsDirectCommand(id) || IsDialogCommand(id) || tool::IsFreeTransform(id) || id == cmd::kStretchSqueeze;
}

bool TransformCommandEnabled(const CMainFrame& frame, int id) {
  if (!IsTransformCommand(id)) return false;
  const CMirvDoc* doc = frame.ActiveDocument();
  if (id == cmd::kStretchSqueeze && !FaceTransAvailable(frame)) return false;
  return doc && !doc->IsBusy() && doc->Layers().Active();
}

bool RunTransformCommand(CMainFrame& frame, int id) {
  if (!TransformCommandEnabled(frame, id)) return false;
  CMirvDoc& doc = *frame.ActiveDocument();
  bool done = false;
  if (IsDirectCommand(id)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    done = RunDirect(doc, id);
    QApplication::restoreOverrideCursor();
  } else if (IsDialogCommand(id)) {
    done = RunDialog(frame, doc, id);
  } else if (tool::IsFreeTransform(id)) {
    done = EnterFreeTransform(frame, id);
  } else if (id == cmd::kStretchSqueeze) {
    done = EnterFaceTrans(frame);
  }
  Redraw(frame);
  return done;
}

}  // namespace velmira
