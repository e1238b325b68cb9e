#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace orv {

struct DocSnapshot;
class frmBrowser;

// The link round trip of one browser window: the links of its page (or of
// its active frame), or the entries of a bookmark folder, are shown one
// after another in the window. Each one is loaded and allowed to settle;
// at the first tick of the pace after that the next one follows; a page
// that does not settle in time is given up. After the last one has settled
// the window returns to its start page, or to the feed it showed. Of a
// page's links only web addresses are visited, and local files only when
// the trip started on a local page. Stopping the window's activities
// (StopAll) ends a trip where it stands, lists kept.
class Roundtrip : public QObject {
    Q_OBJECT
public:
    explicit Roundtrip(frmBrowser& window);

    // Over the links of the whole page / of the active frame. The page is
    // read first; `prepared` tells how many addresses were found.
    void StartRoundtrip();
    void StartFrameRoundtrip();
    // Over the entries of a bookmark folder file of the data folder.
    void StartBookmarkRoundtrip(const QString& fileName);
    // The window settled since the last step (the settle step of its
    // activity timer). A window that settled on the blank page of a feed
    // is ready once the rendered feed has settled.
    void SetReady();
    // Stops the timer; the lists and the place stay.
    void Stop() { m_timRoundtrip.stop(); }
    bool Running() const { return m_timRoundtrip.isActive(); }

    // The trip's state.
    const QStringList& Addresses() const { return m_addresses; }
    const QStringList& Titles() const { return m_titles; }
    int RoundtripIndex() const { return m_nRoundtripIndex; }
    const QString& RoundtripStart() const { return m_sRoundtripStart; }
    const QString& RoundtripBase() const { return m_sRoundtripBase; }
    const QString& RoundtripFeed() const { return m_sRoundtripFeed; }

Q_SIGNALS:
    // A start read its addresses: `count` of them (0: no trip).
    void prepared(int count);
    // A step loads entry `index` (1-based).
    void stepped(int index);
    // The trip ended and the window returns.
    void finished();

private:
    // Fills the address list from a page and starts (StartRoundtrip and
    // StartFrameRoundtrip after reading).
    void startOverLinks(const QStringList& links);
    void StartRoundtripTimer();
    void ClearRoundtripLists();
    void timRoundtrip_Timer();
    void step();

    frmBrowser& m_window;
    QTimer m_timRoundtrip;
    QStringList m_addresses;
    QStringList m_titles;
    int m_nRoundtripIndex = 1;
    bool m_bRoundtripReady = false;
    QElapsedTimer m_fRoundtripStepTime;
    QString m_sRoundtripBase;
    QString m_sRoundtripStart;
    QString m_sRoundtripFeed;
};

} // namespace orv
