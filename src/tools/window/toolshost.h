#pragma once

#include "app/docsnapshot.h"
#include "layouts/layout.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace orv {

class HistoryList;

// What the tools window reads of one browser window.
struct ToolsWindowInfo {
    QString caption;
    // The page address, or the folder of a window that shows a folder.
    QString address;
    // The feed the window shows or its page offers; empty when none.
    QString feedAddress;
};

using ToolsDocumentCallback = std::function<void(const DocSnapshot& document)>;

// The narrow interface through which the tools window reaches the main
// window: opening addresses and feeds, what the browser windows show, the
// window limit, the start address, and the main window's own state.
class ToolsHost {
public:
    virtual ~ToolsHost() = default;

    // The main window: owner of the tools window and the frame it is
    // placed against.
    virtual QWidget* hostWindow() = 0;

    // Opens an address in a new browser window with or without address bar
    // and toolbar.
    virtual void visitUrl(const QString& url, bool adressBar, bool toolbar) = 0;
    // Opens a feed address in the feed view.
    virtual void openXmlFeedBkm(const QString& url) = 0;

    // The browser window in the foreground; none while no window is open.
    virtual std::optional<ToolsWindowInfo> frontWindow() const = 0;
    // Every browser window in the main window's order.
    virtual QList<ToolsWindowInfo> allWindows() const = 0;
    // A snapshot of the foreground window's document, handed to `done`
    // later (an invalid snapshot when there is no window). `done` is
    // dropped when `context` goes first.
    virtual void frontDocument(QObject* context, ToolsDocumentCallback done) = 0;

    // Open browser windows and the most that may be open.
    virtual int windowCount() const = 0;
    virtual int maxBrowser() const = 0;
    // The notice before many windows open.
    virtual bool warnUser() const = 0;
    virtual void setWarnUser(bool warn) = 0;

    // Runs through the bookmarks of the folder file `folderFileName` in a
    // new browser window.
    virtual void startBookmarkRoundtrip(const QString& folderFileName) = 0;
    // Makes the address the start address and saves the preferences.
    virtual void setStartPage(const QString& title, const QString& url) = 0;
    // The bookmark folder the program opens at start-up (preference).
    virtual QString startFolderName() const = 0;
    // The title the history keeps for exactly this address; empty if none.
    virtual QString historyTitle(const QString& url) const = 0;

    // Other copies of the program wait while a question is up.
    virtual void suspendExternalOpen(bool suspend) = 0;
    // The bookmark archive is shown (the main window's bIsOpenBook).
    virtual void setBookOpen(bool open) = 0;
    // The main window comes to the front a moment later.
    virtual void raiseMainWindowLater() = 0;
    // The busy pointer over the main window.
    virtual void setMainBusy(bool busy) = 0;

    // --- the layout archive ---
    // The active browser window is maximised.
    virtual bool isActiveWindowMaximized() const = 0;
    // Every browser window as a layout keeps it, in the main window's order.
    virtual QList<LayoutWindowState> captureLayoutWindows() = 0;
    // Closes all browser windows and opens those of an archived layout
    // (its window file, relative to the data folder).
    virtual void openArchivedLayout(const QString& fileName) = 0;

    // --- the history and the multi-search ---
    // The visits of this run, oldest first.
    virtual const HistoryList& historyList() const = 0;
    // The search form file (preference); may be empty.
    virtual QString searchEngineFile() const = 0;
    // Opens a new browser window on a one-form page and submits its form.
    virtual void submitSearch(const QString& formHtml) = 0;
};

} // namespace orv
