// The geometric commands' dialogs and modes: resize, canvas size, free rotation,
// the shadow, the free transforms and stretch-and-squeeze. The flips and turns run
// straight from the registry.
#pragma once

#include <QDialog>
#include <functional>

namespace velmira {

class CMainFrame;

class CommandFronts;
// The dialogs and modes: resize, canvas size, free rotation, the layer effect, the
// free transforms and stretch-and-squeeze.
void RegisterTransformFronts(CommandFronts& f);

// How the dialogs of these commands are shown: modally unless a test puts a
// function here that works the controls and returns the result.
using TransformDialogRunner = std::function<int(QDialog&)>;
void SetTransformDialogRunner(TransformDialogRunner runner);

}  // namespace velmira
