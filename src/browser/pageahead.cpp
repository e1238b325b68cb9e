#include "browser/pageahead.h"

#include "app/texthelpers.h"
#include "browser/browserpage.h"
#include "platform/engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>

#include <array>

namespace orv::pageahead {

namespace {

struct Waiting {
    QPointer<BrowserPage> page;
    QUrl address;
    // Set once the engine reported anything of the load.
    bool reported = false;
    std::array<QMetaObject::Connection, 3> watches;
};

Waiting& waiting()
{
    static Waiting w;
    return w;
}

// The waiting page without its watches, no longer waiting.
BrowserPage* release()
{
    Waiting& w = waiting();
    for (QMetaObject::Connection& watch : w.watches)
        QObject::disconnect(watch);
    BrowserPage* page = w.page;
    w.page = nullptr;
    w.address.clear();
    return page;
}

} // namespace

void Start(const QString& address)
{
    Drop();
    const QUrl url = UrlFromUserInput(address, QDir::currentPath());
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           scheme != QLatin1String("file")))
        return;
    Waiting& w = waiting();
    w.page = new BrowserPage(BrowserProfile(), nullptr, QCoreApplication::instance());
    w.address = url;
    w.reported = false;
    const auto reported = [] { waiting().reported = true; };
    w.watches = {QObject::connect(w.page, &QWebEnginePage::loadStarted, w.page, reported),
                 QObject::connect(w.page, &QWebEnginePage::urlChanged, w.page, reported),
                 QObject::connect(w.page, &QWebEnginePage::loadFinished, w.page, reported)};
    w.page->load(url);
}

BrowserPage* Take(PageHost* host, QObject* parent, QUrl* address)
{
    const QUrl url = waiting().address;
    const bool reported = waiting().reported;
    BrowserPage* page = release();
    if (!page)
        return nullptr;
    if (reported) {
        page->deleteLater();
        return nullptr;
    }
    page->setParent(parent);
    page->AttachHost(host);
    *address = url;
    return page;
}

void Drop()
{
    if (BrowserPage* page = release())
        page->deleteLater();
}

} // namespace orv::pageahead
