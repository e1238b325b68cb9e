#include "platform/bookmarkloader.h"

#include "platform/docbridge.h"
#include "platform/engine.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace orv {

BookmarkFileLoader::BookmarkFileLoader(QObject* parent, QWebEngineProfile* profile)
    : QObject(parent)
{
    m_page = new QWebEnginePage(profile ? profile : BrowserProfile(), this);
    // The bookmark file is data: its scripts do not run.
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    // A page without a view counts as hidden: the engine then reads it in
    // slow background steps and lays it out anew for every text the snapshot
    // asks for (a file of 100,000 links took three times as long).
    m_page->setVisible(true);
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!m_loading)
            return;
        const quint64 generation = m_generation;
        if (!ok) {
            // A file that could not be read leaves no document to import
            // (the engine shows an error page instead).
            m_loading = false;
            DocSnapshot none;
            none.error = QStringLiteral("load failed");
            Q_EMIT loaded(none);
            return;
        }
        TakeDocSnapshot(m_page, this, [this, generation](const DocSnapshot& document) {
            if (generation != m_generation)
                return;
            m_loading = false;
            Q_EMIT loaded(document);
        });
    });
}

// The page goes before the profile it uses.
BookmarkFileLoader::~BookmarkFileLoader()
{
    delete m_page.data();
}

QWebEnginePage* BookmarkFileLoader::page() const
{
    return m_page;
}

void BookmarkFileLoader::load(const QString& path)
{
    ++m_generation;
    m_loading = true;
    m_page->load(QUrl::fromLocalFile(path));
}

} // namespace orv
