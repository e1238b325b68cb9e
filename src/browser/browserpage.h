#pragma once

#include <QWebEnginePage>

namespace orv {

// What a browser window decides for its page: the window answers requests
// for new windows and hears of every navigation that begins.
class PageHost {
public:
    virtual ~PageHost() = default;
    // A navigation begins (any frame). Navigations are never cancelled here.
    virtual void pageNavigationStarting(const QUrl& url, bool isMainFrame) = 0;
    // A page asks for a new window: the new window's page, or nullptr to
    // refuse.
    virtual QWebEnginePage* pageCreateWindow(QWebEnginePage::WebWindowType type) = 0;
};

// The page of one browser window: owns the web policy and passes the
// engine's decisions to its host window.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    BrowserPage(QWebEngineProfile* profile, PageHost* host, QObject* parent);

    // Set while a certificate error was seen for the current load.
    bool certificateErrorSeen() const { return m_certificateError; }
    void resetCertificateError() { m_certificateError = false; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type,
                                 bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    PageHost* m_host;
    bool m_certificateError = false;
};

} // namespace orv
