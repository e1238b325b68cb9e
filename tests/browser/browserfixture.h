#pragma once

// A main window with browser windows for the tests of the browser window's
// commands: preferences in the test's data folder, a recording dialog seam,
// and pages served from 127.0.0.1.

#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "common/guitest.h"
#include "common/mainwindowfixture.h"
#include "common/testhttpserver.h"
#include "mainwin/mdiform.h"
#include "prefs/prefer.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace orv {

class BrowserFixture {
public:
    std::unique_ptr<Prefer> prefer;
    std::unique_ptr<MDIForm1> main;
    RecordingDialogs dialogs;
    TestHttpServer server;

    void start()
    {
        InstallDialogs(&dialogs);
        OpenMainWindow(prefer, main);
        dialogs.clear();
        ActivityTimings::SkipNewWindow(false);
    }

    void stop()
    {
        CloseMainWindow(prefer, main);
        // Kept while windows that did not close may still ask something.
        if (!main)
            InstallDialogs(nullptr);
    }

    // Runs `action` and waits for the end of the next load of the window's
    // page; loadFinished's verdict (false as well when no load ends in time).
    static bool WaitLoad(frmBrowser* window, const std::function<void()>& action)
    {
        QSignalSpy finished(window->page(), &QWebEnginePage::loadFinished);
        action();
        if (!finished.wait(kWait))
            return false;
        return finished.constLast().constFirst().toBool();
    }

    // A new window that has loaded `url` and settled.
    frmBrowser* open(const QUrl& url)
    {
        frmBrowser* window = main->CreateBrowser(QStringLiteral("test"), false);
        if (!window)
            return nullptr;
        // Room for the page: the engine finds only text that is laid out.
        window->resize(800, 600);
        if (!WaitLoad(window, [&] { window->Navigate(url.toString()); }))
            return nullptr;
        if (!WaitFor([window] { return Settled(*window); }, kWait))
            return nullptr;
        return window;
    }
};

} // namespace orv
