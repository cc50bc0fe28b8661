#include "ui/transform_menu.h"

#include <QApplication>

#include "image/doc.h"
#include "processing/transform_commands.h"
#include "ui/main_frame.h"
#include "ui/mirv_view.h"

namespace velmira {

namespace {

TransformDialogRunner& Runner() {
  static TransformDialogRunner runner;
  return runner;
}

[[maybe_unused]] int Show(QDialog& d) {
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

}  // namespace

void SetTransformDialogRunner(TransformDialogRunner runner) { Runner() = std::move(runner); }

bool IsTransformCommand(int id) { return IsDirectCommand(id); }

bool TransformCommandEnabled(const CMainFrame& frame, int id) {
  if (!IsTransformCommand(id)) return false;
  const CMirvDoc* doc = frame.ActiveDocument();
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
  }
  Redraw(frame);
  return done;
}

}  // namespace velmira
