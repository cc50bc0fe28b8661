// The image and filter menus' dialogs: the tone and colour adjustments, the filter
// list and its dialog, the two-tone conversion and the channel split.
#pragma once

#include <QDialog>
#include <functional>

class QComboBox;

namespace velmira {

class CMainFrame;

class CommandFronts;
// The dialogs of the adjustments, the filters, the two-tone conversion and the RGB
// split; the commands without values run straight from the registry.
void RegisterProcessingFronts(CommandFronts& f);

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
