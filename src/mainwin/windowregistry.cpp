#include "mainwin/windowregistry.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "mainwin/mainflags.h"
#include "platform/engine.h"
#include "prefs/prefer.h"

#include <QComboBox>
#include <QMdiArea>

namespace orv {

WindowRegistry::WindowRegistry(QMdiArea* area, BrowserHost& host, Prefer& prefer, MainFlags& flags,
                               QObject* parent)
    : QObject(parent), m_area(area), m_host(host), m_prefer(prefer), m_flags(flags)
{
    m_limitBurst.setSingleShot(true);
    m_limitBurst.setInterval(kLimitBurstMs);
    m_release.setSingleShot(true);
    connect(&m_release, &QTimer::timeout, this, &WindowRegistry::releaseStep);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (auto* window = qobject_cast<frmBrowser*>(w))
            Q_EMIT windowActivated(window);
    });
    // Handed-over addresses open one after the other until the limit stops
    // the burst.
    connect(&m_openQueue, &OpenQueue::openEntries, this, [this](const QStringList& entries) {
        for (const QString& entry : entries) {
            OpenNewBrowser(entry);
            if (m_flags.bExitloop)
                break;
        }
    });
}

QString WindowRegistry::KeyOf(int number)
{
    return QStringLiteral("[%1]").arg(number);
}

frmBrowser* WindowRegistry::ActiveBrowser() const
{
    return qobject_cast<frmBrowser*>(m_area->currentSubWindow());
}

void WindowRegistry::refuseAtLimit()
{
    m_flags.bExitloop = true;
    // One burst of refused requests (a page opening windows in a loop, a
    // pile of handed-over addresses) gives one message: while it is up, and
    // until no request was refused for a moment, further requests are
    // refused quietly.
    const bool quiet = m_limitMessageUp || m_limitBurst.isActive();
    m_limitBurst.start();
    if (quiet)
        return;
    m_limitMessageUp = true;
    SuspendExternalOpen(true);
    ShowMessage(Txt(kTextMeldung),
                Txt(kTextLimitBefore) + QString::number(m_maxBrowser) + Txt(kTextLimitAfter),
                MsgIcon::Information);
    SuspendExternalOpen(false);
    m_limitMessageUp = false;
    m_limitBurst.start();
}

frmBrowser* WindowRegistry::CreateBrowser(const QString& address, bool bNoToolbar)
{
    return CreateBrowser(address, !bNoToolbar && m_flags.AdressView,
                         !bNoToolbar && m_flags.ToolbarView);
}

frmBrowser* WindowRegistry::CreateBrowser(const QString& address, bool adress, bool toolbar)
{
    if (m_counter >= m_maxBrowser) {
        refuseAtLimit();
        return nullptr;
    }

    auto* window = new frmBrowser(m_host);
    window->SetStartingAddress(address.isEmpty() ? m_prefer.HomeUrl() : address);
    window->CoolBar1()->setBars(adress, toolbar);

    ++m_windowNumber;
    window->AssignID(m_windowNumber);
    const QString key = KeyOf(m_windowNumber);
    m_browser.append(window);
    m_byKey.insert(key, window);
    Q_EMIT windowRegistered(window, window->StartingAddress());
    m_frontWinKey = key;

    // While the active window is maximised, a new one opens maximised.
    const QMdiSubWindow* active = m_area->currentSubWindow();
    const bool maximise = m_openMaximised || (active && active->isMaximized());
    m_area->addSubWindow(window);
    window->Form_Load();
    ++m_counter;
    if (maximise) {
        window->showMaximized();
    } else {
        PlaceInArea(*window);
        window->show();
    }
    Q_EMIT windowShown(window);
    return window;
}

// A window that no arrangement places gets the cascade size of the area,
// never a strip without a page, and is seen whole: the area places a new
// window by the size it had before.
void WindowRegistry::PlaceInArea(QMdiSubWindow& window, int width) const
{
    const QSize area = m_area->viewport()->size();
    const QSize size(width > 0 ? width : qMax(area.width() * 3 / 4, kMinWindowWidth),
                     qMax(area.height() * 3 / 4, kMinWindowHeight));
    window.resize(size);
    window.move(qBound(0, window.x(), qMax(0, area.width() - size.width())),
                qBound(0, window.y(), qMax(0, area.height() - size.height())));
}

frmBrowser* WindowRegistry::OpenNewBrowser(const QString& address)
{
    frmBrowser* window = CreateBrowser(address, false);
    if (window)
        window->Navigate(TrimChars(address));
    return window;
}

frmBrowser* WindowRegistry::OpenPopup(frmBrowser& opener, bool background)
{
    m_flags.bNewSize = true;
    frmBrowser* popup = CreateBrowser(QString(), false);
    if (!popup)
        return nullptr;
    popup->MarkPopup();
    ++m_popupCount;
    if (background) {
        popup->lower();
        m_area->setActiveSubWindow(&opener);
    } else {
        popup->raise();
        m_area->setActiveSubWindow(popup);
    }
    return popup;
}

void WindowRegistry::Unregister(frmBrowser& window)
{
    if (m_popupCount >= 1 && window.IsPopup())
        --m_popupCount;
    --m_counter;
    if (frmBrowser* w = m_byKey.take(window.WindowKey()))
        m_browser.removeOne(w);
    m_flags.bExitloop = false;
    m_releaseStep = 0;
    m_release.start(kReleaseDelaysMs[0]);
    Q_EMIT windowUnregistered(window.ID());
}

void WindowRegistry::releaseStep()
{
    ReturnFreedMemory();
    if (++m_releaseStep < kReleaseDelaysMs.size())
        m_release.start(kReleaseDelaysMs[m_releaseStep] - kReleaseDelaysMs[m_releaseStep - 1]);
}

} // namespace orv
