#pragma once

#include "browser/browserhost.h"
#include "browser/browserpage.h"
#include "browser/zoom.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <utility>

class QComboBox;
class QLabel;
class QMimeData;
class QToolBar;
class QWebEngineView;

namespace orv {

class BandBar;
class FeedLoad;
class RendererGonePanel;
class Roundtrip;
struct FeedPage;
class BrowserToolbar;

// One browser child window: the web view with its band bar (address box,
// toolbar, activity image), the pop-up policy, the activity timer that
// settles caption and tab once a page has loaded. It reaches the main window
// only through its BrowserHost and reports by signals.
class frmBrowser : public QMdiSubWindow, public PageHost {
    Q_OBJECT
public:
    frmBrowser(BrowserHost& host, QWidget* parent = nullptr);
    ~frmBrowser() override;

    // The window's number, given once by the registry before the load; its
    // key is "[number]".
    void AssignID(int id) { m_id = id; }
    int ID() const { return m_id; }
    QString WindowKey() const { return QStringLiteral("[%1]").arg(m_id); }
    // The address the load goes to first (the home page when the creator
    // had none); the address box shows it until then.
    void SetStartingAddress(const QString& address);
    QString StartingAddress() const { return m_startingAddress; }
    // A window a page asked for: the pop-up commands close it, and its page
    // opens no window while it closes.
    void MarkPopup() { m_isPopup = true; }
    bool IsPopup() const { return m_isPopup; }
    // The caption the window settled on (empty before the first settle).
    QString Title() const { return m_title; }

    // --- controls ---------------------------------------------------------------------
    // The web view, the address box, the band bar (address, toolbar,
    // activity image) and the toolbar.
    QWebEngineView* brwWebBrowser() const { return m_view; }
    QComboBox* cboAddress() const { return m_addressBox; }
    BandBar* CoolBar1() const { return m_bandBar; }
    BrowserToolbar* tbToolBar() const { return m_toolbar; }
    BrowserPage* page() const { return m_page; }
    BrowserHost& host() const { return m_host; }

    // --- operations ---------------------------------------------------------------------
    // Runs the window's load: call once after the creator set the fields.
    void Form_Load();
    bool IsLoaded() const { return m_loaded; }
    // The window became the active one (the host calls it).
    void Form_Activate();
    void Navigate(const QString& address);
    // The feed the window shows (empty for a page): it is loaded and
    // rendered whenever the window settles on a page other than its feed.
    QString FeedAddress() const { return m_feedAddress; }
    // The window becomes a feed window on `address`: its start page loads
    // (as Navigate) and the settle step renders the feed.
    void NavigateFeed(const QString& address);
    // The same without caption change or focus move, over the blank page
    // (the round trip's feed stops).
    void NavigateBrowserFeed(const QString& address);
    // The window counts as a feed window on `address` from now; nothing
    // loads: the feed renders at the next settle.
    void BecomeFeedWindow(const QString& address) { m_feedAddress = address; }
    // The window stops being a feed window (nothing loads); returns the feed
    // address it had.
    QString TakeFeedAddress() { return std::exchange(m_feedAddress, QString()); }
    // Loads `address` as a page (no caption change, no focus move); a feed
    // window stops being one.
    void NavigatePage(const QString& address);
    void NavigateToAddress();
    void ControlResize();
    void PubResize();
    void DoRefresh();
    void StartActivityTimer();
    void StopAll();
    // Automatic reload: the interval dialog, then SetRefresh.
    void SetRefreshInterval();
    // The page reloads every `seconds` (0 stops it).
    void SetRefresh(int seconds);
    int RefreshSeconds() const { return m_refreshSeconds; }
    bool RefreshActive() const { return m_timRefresh.isActive(); }
    // Page zoom in percent: kept (Zoom) when the document is a page that
    // zooms (`done`, when given, hears whether it was); it applies again
    // after every load.
    void SetZoomFactor(int percent, std::function<void(bool applied)> done = {});
    int Zoom() const { return m_zoom; }
    // The zoom last asked for while it is on its way to the page, else Zoom.
    int ZoomTarget() const { return m_zoomRequested != 0 ? m_zoomRequested : m_zoom; }
    // One text-size command to the page (0..4): its default font size.
    void SetTextSize(int step);
    // The text size last set, or read back from the page after a load.
    int TextSize() const { return m_textSize; }
    // Link round trips (the window's Roundtrip): over the page's links, the
    // active frame's links, or the entries of a bookmark folder file.
    void StartRoundtrip();
    void StartFrameRoundtrip();
    void StartBookmarkRoundtrip(const QString& fileName);
    Roundtrip& roundtrip() const { return *m_roundtrip; }
    void UpdateTabIcon();
    void UpdateComboBoxItem(const QString& url);
    bool IsFolder() const;
    // Whether "Clone" can copy the window (not while it shows the page of a
    // failed start).
    bool IsCloneable() const;
    QString GetFolderUrl() const;
    void GoBack();
    void GoForward();
    void Refresh();
    void ViewSource(const QString& address);
    void LinkMailto();
    // Shows a page the program made (structure view, picture list); it is
    // kept for the window as long as the window shows it.
    void ShowGeneratedPage(const QString& html);
    // The same for a page that is already UTF-8.
    void ShowGeneratedPage(const QByteArray& utf8);
    // Loads the feed at `address` and shows it rendered in this window.
    void CollectXmlFeed(const QString& address);
    // The tab's busy pictures while a feed loads or a generated page is
    // being made for this window.
    void StartTabAnimation();
    void StopTabAnimation();
    bool TabAnimationRunning() const { return m_timTimer2.isActive(); }
    // This window becomes a feed window on `address` and renders it now.
    void ShowFeed(const QString& address);
    // Loads an address into the browser control (no caption change, no
    // focus move): the toolbar's commands.
    void NavigateBrowser(const QString& address) { navigateBrowser(address); }

    // The page's address and title as the engine reports them.
    QString LocationURL() const;
    QString LocationName() const;
    // A load is in progress (set from the moment a load is asked for).
    bool Busy() const { return m_busy; }
    bool HasDocument() const;
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    void SetWindowState(int state);
    // Lock level as last seen (0 none, 2 encrypted with unknown bits).
    int LockLevel() const { return m_lockIcon; }
    bool ResizedByScript() const { return m_resizedByScript; }
    // Whether the activity timer runs.
    bool ActivityTimerActive() const { return m_timTimer.isActive(); }
    // A feed is being loaded to be shown in the window.
    bool FeedLoading() const;
    // The address list, newest first.
    QStringList AddressList() const;
    // The page's renderer ended: the window shows why instead of the page.
    bool RendererGone() const;

Q_SIGNALS:
    // The caption of the window's tab (window number `id`).
    void tabCaptionChanged(int id, const QString& caption);
    // The tab's picture: a frame of the busy animation (3..10).
    void tabImageChanged(int id, int image);
    // The tab's picture goes back to the plain one (selected or not).
    void tabImageReset(int id);
    // The status text the page shows (a hovered link).
    void statusTextChanged(const QString& text);
    // The window's address changed.
    void addressChanged(int id);
    // The secure lock: 0 none, 2 encrypted.
    void lockChanged(int level);
    // The activity image asks for the window commands at `globalPos`.
    void windowMenuRequested(const QPoint& globalPos);
    // The window settled after a load (the activity timer stopped).
    void settled();
    // The main frame finished loading (ok or not).
    void documentComplete(bool ok);
    // A text-size command went to the page.
    void textSizeSet(int step);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Ctrl+wheel over the page steps the zoom; the page's widget that gets
    // the wheel is watched once the view makes it.
    bool zoomWheelFilter(QObject* watched, QEvent* event);
    void resizeEvent(QResizeEvent* event) override;

    // PageHost
    void pageNavigationStarting(const QUrl& url, bool isMainFrame) override;
    QWebEnginePage* pageCreateWindow(QWebEnginePage::WebWindowType type,
                                     const QRect& geometry) override;
    bool pageKeepsOpenerReference() const override;
    void pageFrameComplete(const QUrl& url, const QString& title) override;

private:
    void buildBands();
    void Form_Unload();
    void timTimer_Timer();
    void settle();
    void onUrlChanged(const QUrl& url);
    void onLoadFinished(bool ok);
    void onGeometryChangeRequested(const QRect& geometry);
    void handleDrop(const QMimeData* data);
    void navigateBrowser(const QString& address);
    void writeFeedPage(const FeedPage& feed);
    void timRefresh_Timer();
    void pauseWindowOpening();

    BrowserHost& m_host;
    QString m_startingAddress;
    int m_id = 0;
    bool m_isPopup = false;
    int m_refreshSeconds = 0;
    int m_zoom = kZoomNone;
    int m_textSize = kTextSizeNormal;
    QString m_feedAddress;
    QString m_title;
    BrowserPage* m_page = nullptr;
    // The address the page taken over from start-up loads, until the
    // window's first navigation (or any load) begins.
    QUrl m_pageAheadAddress;
    QWebEngineView* m_view = nullptr;
    QComboBox* m_addressBox = nullptr;
    BandBar* m_bandBar = nullptr;
    QLabel* m_activityImage = nullptr;
    BrowserToolbar* m_toolbar = nullptr;
    QWidget* m_content = nullptr;
    QWidget* m_adressBand = nullptr;
    QWidget* m_toolbarBand = nullptr;
    QWidget* m_animBand = nullptr;

    QTimer m_timTimer;
    QTimer m_timRefresh;
    QTimer m_windowOpeningPause;
    Roundtrip* m_roundtrip = nullptr;
    QString m_sLastNavUrl;
    bool m_bUpdatingAddressList = false;
    int m_nAnimFrame = 1;
    int m_nTabFrame = 1;
    bool m_resizedByScript = false;
    bool m_bSecure = false;
    int m_lockIcon = 0;
    bool m_busy = false;
    bool m_unloaded = false;
    bool m_closeAfterDialog = false;
    int m_zoomRequested = 0;    // a zoom on its way to the page (0: none)
    quint64 m_zoomRequests = 0; // zoom requests so far (the newest one applies)
    int m_wheelZoomDelta = 0;   // Ctrl+wheel turned short of a notch
    QUrl m_generatedPage;
    QString m_feedCaption;
    QTimer m_timTimer2;
    FeedLoad* m_feedLoad = nullptr;
    bool m_loaded = false;
    RendererGonePanel* m_rendererGone = nullptr;
};

} // namespace orv
