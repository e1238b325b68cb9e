#include "browser/roundtrip.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/docsnapshot.h"
#include "app/recordio.h"
#include "app/textids.h"
#include "app/texts.h"
#include "bookmarks/bookmark.h"
#include "bookmarks/thema.h"
#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "pages/linkcollect.h"
#include "platform/docbridge.h"

#include <QUrl>

namespace orv {

namespace {

constexpr int kTextCrossDomain = 1137; // "Cross-Domain Referenz"
constexpr int kTextDomDenied = 1138;   // "DOM-Zugriff verweigert !"
// The start page's last "/" must lie beyond this (1-based) place for the
// page to be a place to return to ("http://x/" is not).
constexpr qsizetype kStartSlashAfter = 8;

// Whether the trip may show `address` (as it would be navigated to): web
// addresses always, local files only on a trip that started on a local page.
// Anything else a page links to (data, script, other schemes) is left out.
bool Visitable(const QString& address, bool startedLocal)
{
    const QString scheme = QUrl(address).scheme();
    if (scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
        scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return true;
    return startedLocal && scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0;
}

} // namespace

Roundtrip::Roundtrip(frmBrowser& window) : QObject(&window), m_window(window)
{
    connect(&m_timRoundtrip, &QTimer::timeout, this, &Roundtrip::timRoundtrip_Timer);
}

void Roundtrip::StartRoundtrip()
{
    TakeDocSnapshot(m_window.page(), this, [this](const DocSnapshot& document) {
        if (!document.valid || !document.htmlDocument) {
            Q_EMIT prepared(0);
            return;
        }
        // The feed the window shows is where the trip returns; the page
        // then shows its links without rendering the feed again.
        m_sRoundtripFeed = m_window.TakeFeedAddress();
        startOverLinks(CollectLinks(document, m_window.LocationURL(), RelativeLinks::Kept));
    });
}

void Roundtrip::StartFrameRoundtrip()
{
    m_sRoundtripFeed = m_window.TakeFeedAddress();
    TakeDocSnapshot(m_window.page(), this, [this](const DocSnapshot& document) {
        if (!document.valid || !document.htmlDocument) {
            Q_EMIT prepared(0);
            return;
        }
        const DocSnapshot* source = &document;
        // The focus inside a frame or an inline frame: that frame's links.
        if (const FrameSnapshot* frame = document.activeFrame()) {
            if (frame->refused || !frame->document) {
                ShowMessage(Txt(kTextFehlerbehandlung),
                            Txt(kTextCrossDomain) + QLatin1Char('\n') + Txt(kTextDomDenied),
                            MsgIcon::Warning);
                Q_EMIT prepared(0);
                return;
            }
            source = frame->document.get();
        }
        startOverLinks(CollectLinks(*source, m_window.LocationURL(), RelativeLinks::Kept));
    });
}

void Roundtrip::startOverLinks(const QStringList& links)
{
    ClearRoundtripLists();
    m_nRoundtripIndex = 1;
    const QString location = m_window.LocationURL();
    const qsizetype slash = location.lastIndexOf(QLatin1Char('/'));
    const bool hasBase = slash + 1 > kStartSlashAfter;
    m_sRoundtripBase = hasBase ? location.left(slash + 1) : QString();
    const bool startedLocal = QUrl(location).isLocalFile();
    // Only the links the trip may show are taken, judged by the address a
    // step would go to (a relative one joined to the base).
    for (const QString& link : links) {
        if (Visitable(link.contains(QLatin1Char(':')) ? link : m_sRoundtripBase + link,
                      startedLocal))
            m_addresses.append(link);
    }
    if (!m_addresses.isEmpty()) {
        m_sRoundtripStart = hasBase ? location : QString();
        StartRoundtripTimer();
    }
    Q_EMIT prepared(int(m_addresses.size()));
}

void Roundtrip::StartBookmarkRoundtrip(const QString& fileName)
{
    ClearRoundtripLists();
    QByteArray content;
    // Only a regular file inside the data folder is read; one that cannot
    // be read is told, not taken for an empty folder.
    const FileResult read = ReadFolderFile(DataFolder(), fileName.trimmed(), content);
    if (!read.ok) {
        ShowMessage(Txt(kTextFehlerbehandlung), read.error, MsgIcon::Warning);
        Q_EMIT prepared(0);
        return;
    }
    for (QByteArrayView record : splitRecords(content, BookmarkRecordLength)) {
        const Bookmark bookmark = ReadBookmarkRecord(record);
        m_addresses.append(bookmark.URL);
        m_titles.append(bookmark.Titel);
    }
    m_nRoundtripIndex = 1;
    if (!m_addresses.isEmpty()) {
        m_sRoundtripStart = m_addresses.constFirst();
        m_sRoundtripFeed.clear();
        Bookmark first;
        first.Titel = m_titles.constFirst();
        if (first.isFeed()) {
            m_sRoundtripFeed = m_addresses.constFirst();
            m_window.BecomeFeedWindow(m_sRoundtripFeed);
        }
        StartRoundtripTimer();
    }
    Q_EMIT prepared(int(m_addresses.size()));
}

void Roundtrip::SetReady()
{
    if (!m_window.FeedLoading())
        m_bRoundtripReady = true;
}

void Roundtrip::StartRoundtripTimer()
{
    m_timRoundtrip.start(ActivityTimings::Current().firstStepMs);
    m_bRoundtripReady = true;
}

void Roundtrip::ClearRoundtripLists()
{
    m_addresses.clear();
    m_titles.clear();
}

void Roundtrip::timRoundtrip_Timer()
{
    const ActivityTimings& timings = ActivityTimings::Current();
    // A page that does not settle in time is given up.
    if (m_nRoundtripIndex > 1 && m_fRoundtripStepTime.isValid() &&
        m_fRoundtripStepTime.elapsed() > timings.giveUpMs)
        m_bRoundtripReady = true;
    // The last page, too, is shown until it has settled before the window
    // returns.
    if (!m_bRoundtripReady)
        return;

    if (m_nRoundtripIndex > m_addresses.size()) {
        m_timRoundtrip.stop();
        ClearRoundtripLists();
        if (!m_sRoundtripFeed.isEmpty()) {
            // The feed renders again once the blank page has settled.
            m_window.NavigateBrowserFeed(m_sRoundtripFeed);
        } else if (!m_sRoundtripStart.isEmpty()) {
            m_window.NavigateBrowser(m_sRoundtripStart);
        }
        Q_EMIT finished();
        return;
    }
    step();
}

void Roundtrip::step()
{
    const int pace = ActivityTimings::Current().stepMs;
    if (m_timRoundtrip.interval() != pace)
        m_timRoundtrip.setInterval(pace);
    m_bRoundtripReady = false;
    m_fRoundtripStepTime.start();

    const qsizetype at = m_nRoundtripIndex - 1;
    const QString& address = m_addresses.at(at);
    // After a feed, the entry's title tells whether it is one as well.
    QString feed = m_window.FeedAddress();
    if (!feed.isEmpty() && at < m_titles.size()) {
        Bookmark entry;
        entry.Titel = m_titles.at(at);
        feed = entry.isFeed() ? address : QString();
    }
    if (!feed.isEmpty())
        m_window.NavigateBrowserFeed(feed);
    else if (address.contains(QLatin1Char(':')))
        m_window.NavigatePage(address);
    else
        m_window.NavigatePage(m_sRoundtripBase + address);
    ++m_nRoundtripIndex;
    Q_EMIT stepped(int(at + 1));
}

} // namespace orv
