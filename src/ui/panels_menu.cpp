#include "ui/panels_menu.h"

#include "ui/command_fronts.h"

#include "ui/layer_panel.h"
#include "ui/main_frame.h"
#include "ui/menu_table.h"
#include "ui/quick_edit.h"
#include "ui/settings_dialog.h"

namespace velmira {

LayerPanel* FindLayerPanel(const CMainFrame& frame) {
  return frame.findChild<LayerPanel*>(QString(), Qt::FindDirectChildrenOnly);
}

QuickEditWindow* FindQuickEdit(const CMainFrame& frame) {
  return frame.findChild<QuickEditWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

namespace {

bool RunPanelCommand(CMainFrame& frame, int id) {
  if (id == framecmd::kLayerPanel) {
    if (LayerPanel* p = FindLayerPanel(frame)) {
      p->Toggle();
    } else {
      auto* panel = new LayerPanel(frame);
      // Where the user left it in an earlier run, when the profile remembers it.
      if (!frame.restoreDockWidget(panel)) frame.addDockWidget(Qt::RightDockWidgetArea, panel);
      panel->show();
    }
    return true;
  }
  if (id == framecmd::kSettingsDialog) {
    SettingsDialog dialog(frame);
    return dialog.exec() == QDialog::Accepted;  // OK stores the values
  }
  if (id == framecmd::kQuickEdit) {
    QuickEditWindow* w = FindQuickEdit(frame);
    if (!w) {
      w = new QuickEditWindow(frame);
      w->Toggle();
      return true;
    }
    if (!w->isHidden()) {
      w->Toggle();
      return true;
    }
    // Showing it again changes what the user is working with: ask as a tool would.
    if (!frame.ConsentToolChange(id)) return false;
    w->Toggle();
    return true;
  }
  return false;
}

}  // namespace

void RegisterPanelFronts(CommandFronts& f) {
  for (int id : {framecmd::kLayerPanel, framecmd::kQuickEdit, framecmd::kSettingsDialog})
    f.Add(id, CommandFront{{}, [id](CMainFrame& frame) { return RunPanelCommand(frame, id); }});
}

void RefreshLayerPanelFor(CMainFrame& frame, CMirvDoc& doc) {
  LayerPanel* p = FindLayerPanel(frame);
  if (p && frame.ActiveDocument() == &doc) p->RefreshLayers();
}

void RefreshHistoryPanelFor(CMainFrame& frame, CMirvDoc& doc) {
  LayerPanel* p = FindLayerPanel(frame);
  // A step undone or redone from the menu can change the stack as well.
  if (p && frame.ActiveDocument() == &doc) p->Refresh();
}

}  // namespace velmira
