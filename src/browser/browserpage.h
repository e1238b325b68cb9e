#pragma once

#include "app/dialogseam.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace orv {

// What a browser window decides for its page: the window answers requests
// for new windows and hears of every navigation that begins.
class PageHost {
public:
    virtual ~PageHost() = default;
    // A navigation begins (any frame). Navigations are never cancelled here.
    virtual void pageNavigationStarting(const QUrl& url, bool isMainFrame) = 0;
    // A page asks for a new window, with the geometry it asked for (empty
    // when none): the new window's page, or nullptr to refuse.
    virtual QWebEnginePage* pageCreateWindow(QWebEnginePage::WebWindowType type,
                                             const QRect& geometry) = 0;
    // Whether a page keeps a script reference to the windows it opens.
    virtual bool pageKeepsOpenerReference() const = 0;
    // A sub frame's document is complete.
    virtual void pageFrameComplete(const QUrl& url, const QString& title) = 0;
};

// The page of one browser window: owns the web policy and passes the
// engine's decisions to its host window.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    BrowserPage(QWebEngineProfile* profile, PageHost* host, QObject* parent);
    ~BrowserPage() override;

    // From now on nothing of the page reaches its host (the window is
    // going): requests for windows are refused.
    void DetachHost();
    // The window of a page made without one. It hears of the navigations
    // that began before.
    void AttachHost(PageHost* host);

    // Set while a certificate error was seen for the current page: a new
    // page (main frame) clears it, frames inside the page never do.
    bool certificateErrorSeen() const { return m_certificateError; }
    void noteCertificateError() { m_certificateError = true; }
    void resetCertificateError() { m_certificateError = false; }
    // The page the program made that this window shows (empty when none).
    // It is the only generated page the window loads, and only when the
    // program asks for it (an address, a reload, a step in the history) or
    // the page moves within itself; a frame, link, script, form, pop-up or
    // redirect that leads to a generated page is refused. From the first
    // one on, the page carries the rendering rules of generated pages.
    void setOwnGeneratedPage(const QUrl& url);
    bool mayNavigateTo(const QUrl& url, NavigationType type, bool isMainFrame) const;
    // A dialog of the page (alert, confirm, prompt) is up.
    bool pageDialogRunning() const { return m_dialogsRunning > 0; }

Q_SIGNALS:
    // A dialog of the page has ended.
    void pageDialogFinished();
    // A navigation to a page the program made was refused (mayNavigateTo).
    void generatedPageRefused(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void installFrameReporter();
    void installGeneratedViewStyle();
    // A script in the program's own world, on every frame or the main frame
    // only.
    void insertProgramScript(const QString& name, QWebEngineScript::InjectionPoint injectionPoint,
                             bool subFrames, const QString& source);
    bool m_generatedViewStyle = false;
    PageDialogAnswer runPageDialog(const PageDialogRequest& request);

    PageHost* m_host;
    // Made without a window and none attached yet: navigations that begin
    // are kept for it.
    bool m_awaitingHost = false;
    struct NavigationStart {
        QUrl url;
        bool isMainFrame = false;
    };
    QList<NavigationStart> m_navigationsForHost;
    bool m_certificateError = false;
    int m_dialogsRunning = 0;
    // A request that createWindow left to the new-window signal, so that
    // the new window gets no reference to its opener.
    bool m_openWithoutReference = false;
    WebWindowType m_requestedType = WebBrowserWindow;
    QUrl m_ownGeneratedPage;
    // Marks the reports of the frame script, so a page cannot forge them.
    QString m_frameToken;
};

} // namespace orv
