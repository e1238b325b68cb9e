#pragma once

// A tools host that records what the tools window asks of the main window.

#include "tools/historylist.h"
#include "tools/window/toolshost.h"

#include <QStringList>
#include <QWidget>

namespace orv {

class FakeToolsHost final : public ToolsHost {
public:
    QWidget* main = nullptr;
    QStringList visited; // "address|bars" ("11": address bar and toolbar)
    QStringList feeds;
    QStringList roundtrips;
    QList<ToolsWindowInfo> windows;
    DocSnapshot document;
    int windows_open = 0;
    int max_browser = 250;
    bool warn = true;
    QString startFolder;
    QString homeTitle;
    QString homeUrl;
    QHash<QString, QString> history;
    bool bookOpen = false;
    int raises = 0;
    bool maximized = false;
    QList<LayoutWindowState> layoutWindows;
    QStringList openedLayouts;
    HistoryList visits;
    QString searchFile;
    QStringList searches;

    QWidget* hostWindow() override { return main; }
    void visitUrl(const QString& url, bool adressBar, bool toolbar) override
    {
        visited << url + QLatin1Char('|') + QLatin1Char(adressBar ? '1' : '0') +
                       QLatin1Char(toolbar ? '1' : '0');
        ++windows_open;
    }
    void openXmlFeedBkm(const QString& url) override
    {
        feeds << url;
        ++windows_open;
    }
    std::optional<ToolsWindowInfo> frontWindow() const override
    {
        if (windows.isEmpty())
            return std::nullopt;
        return windows.constFirst();
    }
    QList<ToolsWindowInfo> allWindows() const override { return windows; }
    void frontDocument(QObject*, ToolsDocumentCallback done) override { done(document); }
    int windowCount() const override { return windows_open; }
    int maxBrowser() const override { return max_browser; }
    bool warnUser() const override { return warn; }
    void setWarnUser(bool on) override { warn = on; }
    void startBookmarkRoundtrip(const QString& file) override { roundtrips << file; }
    void setStartPage(const QString& title, const QString& url) override
    {
        homeTitle = title;
        homeUrl = url;
    }
    QString startFolderName() const override { return startFolder; }
    QString historyTitle(const QString& url) const override { return history.value(url); }
    void suspendExternalOpen(bool) override {}
    void setBookOpen(bool open) override { bookOpen = open; }
    void raiseMainWindowLater() override { ++raises; }
    void setMainBusy(bool) override {}
    bool isActiveWindowMaximized() const override { return maximized; }
    QList<LayoutWindowState> captureLayoutWindows() override { return layoutWindows; }
    void openArchivedLayout(const QString& fileName) override { openedLayouts << fileName; }
    const HistoryList& historyList() const override { return visits; }
    QString searchEngineFile() const override { return searchFile; }
    void submitSearch(const QString& formHtml) override { searches << formHtml; }
};

} // namespace orv
