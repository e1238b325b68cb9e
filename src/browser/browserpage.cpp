#include "browser/browserpage.h"

#include "pages/structurepage.h"
#include "platform/engine.h"
#include "platform/generatedpages.h"

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QWebEngineCertificateError>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <utility>

namespace orv {

BrowserPage::BrowserPage(QWebEngineProfile* profile, PageHost* host, QObject* parent)
    : QWebEnginePage(profile, parent), m_host(host), m_awaitingHost(host == nullptr)
{
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError&) { noteCertificateError(); });
    connect(this, &QWebEnginePage::newWindowRequested, this, &BrowserPage::onNewWindowRequested);
    installFrameReporter();
}

// The engine may still hand over requests while the page is being deleted:
// none of them reaches the host.
BrowserPage::~BrowserPage()
{
    DetachHost();
}

void BrowserPage::DetachHost()
{
    m_host = nullptr;
    m_awaitingHost = false;
    m_navigationsForHost.clear();
    disconnect(this, &QWebEnginePage::newWindowRequested, this, nullptr);
}

void BrowserPage::AttachHost(PageHost* host)
{
    if (!std::exchange(m_awaitingHost, false))
        return;
    m_host = host;
    for (const NavigationStart& start : std::exchange(m_navigationsForHost, {}))
        m_host->pageNavigationStarting(start.url, start.isMainFrame);
}

void BrowserPage::installFrameReporter()
{
    m_frameToken = QStringLiteral("orvane-frame-%1:")
                       .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    // Runs in every sub frame, in a world of its own, once its document is
    // complete, and reports address and title over the console channel. It
    // starts when a frame has loaded: making its world earlier would hold up
    // the load of every page by a few milliseconds.
    insertProgramScript(QStringLiteral("orvane-frame-reporter"), QWebEngineScript::Deferred, true,
                        QStringLiteral("(function(){ if (window.top === window.self) return;"
                                       "var report = function(){ console.log('%1' + JSON.stringify("
                                       "[String(location.href), String(document.title)])); };"
                                       "if (document.readyState === 'complete') report();"
                                       "else window.addEventListener('load', report); })();")
                            .arg(m_frameToken));
}

void BrowserPage::insertProgramScript(const QString& name,
                                      QWebEngineScript::InjectionPoint injectionPoint,
                                      bool subFrames, const QString& source)
{
    QWebEngineScript script;
    script.setName(name);
    script.setInjectionPoint(injectionPoint);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(subFrames);
    script.setSourceCode(source);
    scripts().insert(script);
}

void BrowserPage::setOwnGeneratedPage(const QUrl& url)
{
    m_ownGeneratedPage = url;
    if (!url.isEmpty() && !std::exchange(m_generatedViewStyle, true))
        installGeneratedViewStyle();
}

void BrowserPage::installGeneratedViewStyle()
{
    // Added in a world of its own as the program's page starts, so its text
    // stays as generated; other pages are left alone. Only windows that
    // show a generated page carry it.
    insertProgramScript(
        QStringLiteral("orvane-generated-view-style"), QWebEngineScript::DocumentCreation, false,
        QStringLiteral("(function(){ if (location.protocol !== '%1:') return;"
                       "var sheet = new CSSStyleSheet(); sheet.replaceSync(%2[0]);"
                       "document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);"
                       " })();")
            .arg(QLatin1String(kGeneratedScheme),
                 QString::fromUtf8(QJsonDocument(QJsonArray{StructureViewRenderingRules()})
                                       .toJson(QJsonDocument::Compact))));
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceID)
{
    if (!message.startsWith(m_frameToken)) {
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
        return;
    }
    const QJsonArray report =
        QJsonDocument::fromJson(message.mid(m_frameToken.size()).toUtf8()).array();
    if (report.size() == 2 && m_host)
        m_host->pageFrameComplete(QUrl(report.at(0).toString()), report.at(1).toString());
}

// Page dialogs go through the dialog seam. While one runs, the page's
// window does not go (it ends the dialog and closes once it has returned).
PageDialogAnswer BrowserPage::runPageDialog(const PageDialogRequest& request)
{
    ++m_dialogsRunning;
    const PageDialogAnswer answer = Dialogs().pageDialog(request);
    --m_dialogsRunning;
    Q_EMIT pageDialogFinished();
    return answer;
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    runPageDialog({PageDialogRequest::Kind::Alert, securityOrigin.toString(), msg, {}, this});
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return runPageDialog(
               {PageDialogRequest::Kind::Confirm, securityOrigin.toString(), msg, {}, this})
        .accepted;
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    const PageDialogAnswer answer = runPageDialog(
        {PageDialogRequest::Kind::Prompt, securityOrigin.toString(), msg, defaultValue, this});
    if (answer.accepted && result)
        *result = answer.value;
    return answer.accepted;
}

void BrowserPage::onNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    // The engine asks createWindow first; only a request that createWindow
    // passed on (a window without a reference to its opener) is opened here:
    // a window of our own loads the address, the opener learns nothing of it.
    if (!m_host || !std::exchange(m_openWithoutReference, false) ||
        GeneratedPages::IsGeneratedUrl(request.requestedUrl()))
        return;
    if (QWebEnginePage* page =
            m_host->pageCreateWindow(m_requestedType, request.requestedGeometry()))
        page->load(request.requestedUrl());
}

bool BrowserPage::mayNavigateTo(const QUrl& url, NavigationType type, bool isMainFrame) const
{
    static const QString viewSource = QStringLiteral("view-source:");
    const QString address = url.toString();
    const QUrl target = address.startsWith(viewSource, Qt::CaseInsensitive)
                            ? QUrl(address.mid(viewSource.size()))
                            : url;
    if (!GeneratedPages::IsGeneratedUrl(target))
        return true;
    const QUrl page = target.adjusted(QUrl::RemoveFragment);
    if (!isMainFrame || m_ownGeneratedPage.isEmpty() || page != m_ownGeneratedPage)
        return false;
    switch (type) {
    case NavigationTypeTyped:
    case NavigationTypeReload:
    case NavigationTypeBackForward:
        return true;
    default:
        return this->url().adjusted(QUrl::RemoveFragment) == page;
    }
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (!mayNavigateTo(url, type, isMainFrame)) {
        Q_EMIT generatedPageRefused(url);
        return false;
    }
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
    else if (m_awaitingHost)
        m_navigationsForHost.append({url, isMainFrame});
    if (isMainFrame)
        m_certificateError = false;
    return true;
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType type)
{
    if (!m_host)
        return nullptr;
    if (!m_host->pageKeepsOpenerReference()) {
        m_openWithoutReference = true;
        m_requestedType = type;
        return nullptr;
    }
    return m_host->pageCreateWindow(type, QRect());
}

} // namespace orv
