// The frame's panel commands: the layer and history panel (1554) and the
// quick-edit window (1511), the settings dialog (1571), and refreshing the
// panels when a document changes.
// The panels are children of the frame, made on first use and afterwards only
// hidden and shown.
#pragma once

namespace velmira {

class CMainFrame;
class CMirvDoc;
class LayerPanel;
class QuickEditWindow;

class CommandFronts;
void RegisterPanelFronts(CommandFronts& f);

// The panels if they have been made (nothing before first use).
LayerPanel* FindLayerPanel(const CMainFrame& frame);
QuickEditWindow* FindQuickEdit(const CMainFrame& frame);

// After a document's layers or history changed: the panel shows it if it is the
// active document.
void RefreshLayerPanelFor(CMainFrame& frame, CMirvDoc& doc);
void RefreshHistoryPanelFor(CMainFrame& frame, CMirvDoc& doc);

}  // namespace velmira
