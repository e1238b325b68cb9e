#pragma once

#include <QWebEnginePage>

namespace orv {

class frmBrowser;
class Prefer;

// How pages may open and size windows: the switches of the Window menu.
struct PopupPolicy {
    bool allow = true;       // pages may open new windows
    bool resize = true;      // pages may size their windows
    bool background = false; // new windows open behind their opener
    bool reference = false;  // pages keep a script reference to new windows
};

// What a browser window asks of the window that hosts it.
enum class HostCommand {
    StartMail,      // the e-mail application
    CloneActive,    // a copy of the active window
    ClosePopups,    // every pop-up window
    CloseOthers,    // every window but the asking one
    CloseAll,       // every window, the asking one last
    NewHomeWindow,  // a new window on the start address
    NewBlankWindow, // a new empty window
    ToggleBars,     // address and toolbar band of the active window together
    StartBookmEd,   // the tools window on the bookmark archive

    // The tools window on the history and on the multi-search.
    StartHistoryWin,
    BrowserSearch,
};

// The narrow interface through which a browser window reaches the main
// window: questions and requests go through it; everything the window has
// to report (caption, busy animation, status text, address) goes out by the
// window's signals.
class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    virtual PopupPolicy popupPolicy() const = 0;
    // A page of `opener` asks for a new window: the new window, or nullptr
    // when it is refused (policy or window limit).
    virtual frmBrowser* openPopup(frmBrowser& opener, QWebEnginePage::WebWindowType type) = 0;
    // A visit to offer to the history.
    virtual void addToHistory(const QString& url, const QString& title) = 0;
    virtual int historyCount() const = 0;
    // The program's preferences.
    virtual Prefer& prefs() const = 0;
    // Open windows and open pop-ups.
    virtual int windowCount() const = 0;
    virtual int popupCount() const = 0;
    virtual void runCommand(HostCommand command, frmBrowser& from) = 0;
    // The window closes; `state` is its window state at that moment
    // (0 normal, 1 minimised, 2 maximised).
    virtual void windowClosing(frmBrowser& window, int state) = 0;

    // Opening many windows at once (all links of a page): the notice before
    // many windows open (on unless the user switched it off), the request
    // that stops such a loop (set when the window limit is reached), and a
    // new window that loads `address` (nullptr when none was made).
    virtual bool warnUser() const { return true; }
    virtual void setWarnUser(bool warn) { static_cast<void>(warn); }
    virtual bool exitLoop() const { return false; }
    virtual void setExitLoop(bool stop) { static_cast<void>(stop); }
    virtual frmBrowser* openWindow(const QString& address)
    {
        static_cast<void>(address);
        return nullptr;
    }
};

} // namespace orv
