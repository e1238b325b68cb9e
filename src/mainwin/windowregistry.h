#pragma once

#include "app/openqueue.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstddef>

class QMdiArea;
class QMdiSubWindow;

namespace orv {

class BrowserHost;
class frmBrowser;
class Prefer;
struct MainFlags;

// The open browser windows: creation under the window limit, keys "[n]"
// with numbers never reused, the counts, and the queue of addresses handed
// over by other copies of the program. Other parts follow the windows
// through its signals.
class WindowRegistry : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxBrowser = 250;
    // Refused requests closer together than this are one burst.
    static constexpr int kLimitBurstMs = 1000;
    // The smallest size a new window gets in a small main window.
    static constexpr int kMinWindowWidth = 400;
    static constexpr int kMinWindowHeight = 300;
    // After a window closed, the engine frees its page over the following
    // seconds (longer on a busy machine); freed memory goes back to the
    // system at these moments after the last close.
    static constexpr std::array<int, 3> kReleaseDelaysMs{2000, 8000, 30000};

    WindowRegistry(QMdiArea* area, BrowserHost& host, Prefer& prefer, MainFlags& flags,
                   QObject* parent);

    // The open windows in creation order.
    const QList<frmBrowser*>& Browser() const { return m_browser; }
    frmBrowser* BrowserByKey(const QString& key) const { return m_byKey.value(key); }
    // The area's current window, also while the program is not active.
    frmBrowser* ActiveBrowser() const;
    bool IsEmpty() const { return m_browser.isEmpty(); }
    // The area the windows live in.
    QMdiArea* area() const { return m_area; }

    // While set, a new window opens maximised whatever the state of the
    // window in front (a start-up folder restores that one first).
    void setOpenMaximised(bool maximised) { m_openMaximised = maximised; }
    // A new window on `address` (empty: the start address) with the bars
    // the flags say, or none with `bNoToolbar`; nullptr at the window limit
    // (then the limit message, once per burst).
    frmBrowser* CreateBrowser(const QString& address, bool bNoToolbar);
    // The same with the bars given.
    frmBrowser* CreateBrowser(const QString& address, bool adress, bool toolbar);
    // A new window that loads `address` (empty: the start address).
    frmBrowser* OpenNewBrowser(const QString& address);
    // Gives a window in the normal state the size a new window gets (the
    // width `width` when it is above 0) and keeps it whole inside the area.
    void PlaceInArea(QMdiSubWindow& window, int width = 0) const;
    // A pop-up window for a page of `opener`, in front of or behind it.
    frmBrowser* OpenPopup(frmBrowser& opener, bool background);
    // A window is closing: counts and key go; the other parts hear of it.
    void Unregister(frmBrowser& window);

    // Open windows and pop-ups as the closing rules count them.
    int counter() const { return m_counter; }
    int popupCount() const { return m_popupCount; }
    void setPopupCount(int count) { m_popupCount = count; }
    int MaxBrowser() const { return m_maxBrowser; }
    void setMaxBrowser(int max) { m_maxBrowser = max; }
    // The key of the window that came to the front last.
    QString FrontWindowKey() const { return m_frontWinKey; }
    void setFrontWindowKey(const QString& key) { m_frontWinKey = key; }

    OpenQueue& openQueue() { return m_openQueue; }
    bool ExternalOpenEnabled() const { return m_openQueue.ExternalOpenEnabled(); }
    void SuspendExternalOpen(bool suspend) { m_openQueue.SuspendExternalOpen(suspend); }

    static QString KeyOf(int number);

Q_SIGNALS:
    // A window joined the list (before it is shown): `caption` is its
    // start address.
    void windowRegistered(frmBrowser* window, const QString& caption);
    // The window is shown and loading.
    void windowShown(frmBrowser* window);
    // A window left the list (its number).
    void windowUnregistered(int id);
    // A window became the area's current one.
    void windowActivated(frmBrowser* window);

private:
    void refuseAtLimit();
    void releaseStep();

    QMdiArea* m_area;
    BrowserHost& m_host;
    Prefer& m_prefer;
    MainFlags& m_flags;
    QList<frmBrowser*> m_browser;
    QHash<QString, frmBrowser*> m_byKey;
    qint32 m_windowNumber = 0;
    int m_counter = 0;
    int m_popupCount = 0;
    int m_maxBrowser = kMaxBrowser;
    QString m_frontWinKey;
    bool m_openMaximised = false;
    bool m_limitMessageUp = false;
    QTimer m_limitBurst;
    QTimer m_release;
    std::size_t m_releaseStep = 0;
    OpenQueue m_openQueue;
};

} // namespace orv
