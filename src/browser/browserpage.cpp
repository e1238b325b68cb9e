#include "browser/browserpage.h"

#include <QDesktopServices>
#include <QWebEngineCertificateError>

namespace orv {

BrowserPage::BrowserPage(QWebEngineProfile* profile, PageHost* host, QObject* parent)
    : QWebEnginePage(profile, parent), m_host(host)
{
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError&) { m_certificateError = true; });
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    // Schemes the engine cannot show (mail links and the like) go to the
    // desktop.
    static const QStringList engineSchemes = {
        QStringLiteral("http"),  QStringLiteral("https"),       QStringLiteral("file"),
        QStringLiteral("about"), QStringLiteral("data"),        QStringLiteral("blob"),
        QStringLiteral("ftp"),   QStringLiteral("view-source"), QStringLiteral("orvane"),
        QStringLiteral("qrc"),   QStringLiteral("javascript")};
    if (!url.scheme().isEmpty() && !engineSchemes.contains(url.scheme().toLower())) {
        QDesktopServices::openUrl(url);
        return false;
    }
    if (m_host)
        m_host->pageNavigationStarting(url, isMainFrame);
    if (isMainFrame)
        m_certificateError = false;
    return true;
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType type)
{
    return m_host ? m_host->pageCreateWindow(type) : nullptr;
}

} // namespace orv
