// The image and filter menus' commands: the tone and colour adjustments, the filter
// list and its dialog, the two-tone conversion and the channel split. The frame asks
// here first whether an id is one of these, whether it is enabled, and to run it.
#pragma once

#include <QDialog>
#include <functional>

class QComboBox;

namespace velmira {

class CMainFrame;

// True for every id this file answers for (enabled or not).
bool IsProcessingCommand(int id);
// Needs an active document that is not busy; the filters whose routines are not
// built stay disabled.
bool ProcessingCommandEnabled(const CMainFrame& frame, int id);
// Runs the command; true when it changed the document (or showed the channels).
bool RunProcessingCommand(CMainFrame& frame, int id);

// The filter list entry the filter bar holds (0 at start); a filter menu command
// selects its entry, and "필터링설정" opens the dialog on it.
int SelectedFilter(const CMainFrame& frame);

// The filter bar: a tool bar with the drop-down list of the filter names, in list
// order. Choosing a name only selects it; the bar's apply opens the dialog.
QComboBox* InstallFilterBar(CMainFrame& frame);
QComboBox* FilterBarList(const CMainFrame& frame);

// How the dialogs are shown: modally by default. Tests put a function here that
// works the dialog's controls and returns the result in place of a user.
using DialogRunner = std::function<int(QDialog&)>;
void SetDialogRunner(DialogRunner runner);

}  // namespace velmira
