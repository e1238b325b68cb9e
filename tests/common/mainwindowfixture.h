#pragma once

// A shown main window on fresh settings for the tests of the window layer:
// the settings come from the test's data folder, pages from 127.0.0.1, and
// every message goes to a recording dialog seam. Waits are bounded.

#include "browser/frmbrowser.h"
#include "common/guitest.h"
#include "common/testhttpserver.h"
#include "mainwin/mdiform.h"
#include "prefs/prefer.h"

#include <QByteArray>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

namespace orv {

inline constexpr int kWait = 20000;

// A page with `title` and `body`.
inline QByteArray HtmlPage(const QByteArray& title, const QByteArray& body = {})
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// Whether `window` has settled: it shows a page, no load is under way and
// its activity timer has stopped (the settle step has run).
inline bool Settled(const frmBrowser& window)
{
    return !window.page()->url().isEmpty() && !window.Busy() && !window.ActivityTimerActive();
}

// Waits until `window` has settled after its load (or the wait runs out); a
// window that has settled already is not waited for.
inline void WaitSettled(frmBrowser* window)
{
    const QPointer<frmBrowser> watched(window);
    static_cast<void>(WaitFor([&] { return !watched || Settled(*watched); }, kWait));
}

// Settings loaded from the data folder and a main window of 1000 x 700 shown
// on them; `adjust` may change the settings before the window reads them.
inline void OpenMainWindow(std::unique_ptr<Prefer>& prefer, std::unique_ptr<MDIForm1>& main,
                           const std::function<void(Prefer&)>& adjust = {})
{
    prefer = std::make_unique<Prefer>();
    prefer->LoadPref();
    if (adjust)
        adjust(*prefer);
    main = std::make_unique<MDIForm1>(*prefer);
    main->resize(1000, 700);
    main->show();
}

// Closes every browser window, waits until all are gone, then drops the main
// window and its settings.
inline void CloseMainWindow(std::unique_ptr<Prefer>& prefer, std::unique_ptr<MDIForm1>& main)
{
    main->CloseAllBrowser();
    QTRY_COMPARE_WITH_TIMEOUT(main->Browser().size(), 0, kWait);
    main.reset();
    prefer.reset();
}

// The members a main-window test works with. A test object derives from
// QObject first and from this second; its init() calls openMainWindow() and
// its cleanup() closeMainWindow(), each with the test's own steps around.
template <typename Seam = RecordingDialogs> class MainWindowFixture {
protected:
    std::unique_ptr<Prefer> m_prefer;
    std::unique_ptr<MDIForm1> m_main;
    Seam m_dialogs;
    TestHttpServer m_server;

    // A fresh main window; the messages recorded so far are dropped.
    void openMainWindow(const std::function<void(Prefer&)>& adjust = {})
    {
        OpenMainWindow(m_prefer, m_main, adjust);
        m_dialogs.messages.clear();
    }
    void closeMainWindow() { CloseMainWindow(m_prefer, m_main); }

    // Opens a browser window on `url` the way the main window opens an
    // address it is handed, and waits until the window has settled.
    frmBrowser* openAndWait(const QUrl& url)
    {
        frmBrowser* w = m_main->OpenNewBrowser(url.toString());
        // A new window may first end a blank load of its own, and look
        // settled for a moment before its load of `url` begins: its first
        // settle step is the one to wait for.
        if (w) {
            QSignalSpy settled(w, &frmBrowser::settled);
            settled.wait(kWait);
        }
        return w;
    }
    // The same for a page of the test's server.
    frmBrowser* openAndWait(const QString& path) { return openAndWait(m_server.url(path)); }
};

} // namespace orv
