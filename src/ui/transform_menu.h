// The geometric commands of the layer and picture menus and the layer effect: the
// flips, turns, mirror and ellipse run at once; resize, canvas size, free rotation
// and the shadow open their dialogs. The frame asks here whether an id is one of
// these, whether it is enabled, and to run it.
#pragma once

#include <QDialog>
#include <functional>

namespace velmira {

class CMainFrame;

// True for every id this file answers for.
bool IsTransformCommand(int id);
// Needs an active document that is not busy and has an active layer.
bool TransformCommandEnabled(const CMainFrame& frame, int id);
// Runs the command; true when the document changed.
bool RunTransformCommand(CMainFrame& frame, int id);

// How the dialogs of these commands are shown: modally unless a test puts a
// function here that works the controls and returns the result.
using TransformDialogRunner = std::function<int(QDialog&)>;
void SetTransformDialogRunner(TransformDialogRunner runner);

}  // namespace velmira
