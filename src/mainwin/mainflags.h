#pragma once

#include "browser/browserhost.h"
#include "prefs/prefer.h"

namespace orv {

// The switches the main window's parts share. The main window owns the one
// instance and hands it to its parts; each switch names the part that
// writes it.
struct MainFlags {
    // Bars of new windows (registry; set from the preferences).
    bool AdressView = true;
    bool ToolbarView = true;
    // Pop-up policy (window menu).
    bool bPopup = true;
    bool bPopupResize = true;
    bool bPopupBackgrnd = false;
    bool bPopupReferenz = false;
    // A pop-up asked for its size (registry).
    bool bNewSize = false;
    // A loop that opens windows stops: the window limit was reached
    // (registry; cleared when a window closes).
    bool bExitloop = false;
    // A feed window was opened during this run.
    bool bFeedOpened = false;
    // The state of the window that closed last (registry): a maximised
    // one passes its state to the window that becomes active.
    int LastWinState = 0;
    // Status bar shown (status bar part).
    bool StatusBarCurr = true;
    // Tab strip shown, docked top (1) or bottom (2), tabs or buttons (tab strip).
    bool bTabVisible = true;
    int nTabAlign = 1;
    bool bTabStylButton = true;
    // The notice before many windows open (tools).
    bool bWarnUser = true;
    // Tool windows open (tools).
    bool bIsOpenBook = false;
    bool bIsOpenHistory = false;

    PopupPolicy popupPolicy() const
    {
        return {bPopup, bPopupResize, bPopupBackgrnd, bPopupReferenz};
    }

    // The switches the preferences set: at start-up and after the settings
    // dialog.
    void TakePreferences(const Prefer& prefer)
    {
        StatusBarCurr = prefer.StatusBar() > 0;
        bTabVisible = prefer.TabStrip();
        AdressView = prefer.Adresszeile();
        ToolbarView = prefer.Toolbar();
        nTabAlign = prefer.TabAlign();
        bTabStylButton = prefer.TabButton();
        bPopup = prefer.AllowOpenWin();
        bPopupResize = prefer.AllowResizeWin();
        bPopupBackgrnd = prefer.AllowWinInBack();
        bPopupReferenz = prefer.AllowWinRef();
    }
};

// The steps the main window runs a moment later (its wait timer).
enum class DeferredStep {
    None = 0,
    LoadLayoutFile = 1,     // second phase of restoring an arrangement file
    CloseOtherWindows = 2,  // every window but the active one closes
    CloseNextWindow = 3,    // one window of a one-by-one close
    UpdateStepping = 4,     // the stepping items follow the window count
    LoadArchivedLayout = 5, // second phase of restoring an archived layout
    RaiseMainWindow = 6,    // the main window to the front
    CloseMainWindow = 8,    // the main window closes (after a context menu)
};

} // namespace orv
