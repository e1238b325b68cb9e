#pragma once

#include "browser/browserhost.h"
#include "browser/browserpage.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include <functional>

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

// Set by toolbar commands: the next new-window request of any browser
// window is refused (then the flag is cleared).
extern bool bSkipNewWindow;

// One browser child window: the web view with its band bar (address box,
// toolbar, activity image), the pop-up policy, the activity timer that
// settles caption and tab once a page has loaded. It reaches the main window
// only through its BrowserHost and reports by signals.
class frmBrowser : public QMdiSubWindow, public PageHost {
    Q_OBJECT
public:
    frmBrowser(BrowserHost& host, QWidget* parent = nullptr);
    ~frmBrowser() override;

    // --- public fields ------------------------------------------------------------
    QString StartingAddress;
    qint32 ID = 0;
    bool bIsPopup = false;
    bool bOpenNewWindow = false;
    qint16 iSekunden = 0;
    qint16 nZoom = 100;
    int nTextSize = 2;
    qint16 nLeft = 0;
    qint16 nTop = 0;
    QString sXmlFeedUrl;
    QString sTitle;

    QString WindowKey() const { return QStringLiteral("[%1]").arg(ID); }

    // --- controls ---------------------------------------------------------------------
    QWebEngineView* brwWebBrowser = nullptr;
    QComboBox* cboAddress = nullptr;
    BandBar* CoolBar1 = nullptr;
    QLabel* Image1 = nullptr;
    BrowserToolbar* tbToolBar = nullptr;
    BrowserPage* page() const { return m_page; }
    BrowserHost& host() const { return m_host; }

    // --- operations ---------------------------------------------------------------------
    // Runs the window's load: call once after the creator set the fields.
    void Form_Load();
    bool IsLoaded() const { return m_loaded; }
    // The window became the active one (the host calls it).
    void Form_Activate();
    void Navigate(const QString& address);
    void NavigateToAddress();
    void ControlResize();
    void PubResize();
    void DoRefresh();
    void StartActivityTimer();
    void StopAll();
    // Automatic reload: the interval dialog, then SetRefresh.
    void SetRefreshInterval();
    // Applies iSekunden to the reload timer (0 stops it).
    void SetRefresh();
    bool RefreshActive() const { return m_timRefresh.isActive(); }
    // Page zoom in percent: kept in nZoom when the document is a page that
    // zooms (`done`, when given, hears whether it was); it applies again
    // after every load.
    void SetZoomFactor(int percent, std::function<void(bool applied)> done = {});
    // The zoom last asked for while it is on its way to the page, else nZoom.
    int ZoomTarget() const { return m_zoomRequested != 0 ? m_zoomRequested : nZoom; }
    // One text-size command to the page (0..4): its default font size.
    void SetTextSize(int step);
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
    BrowserPage* m_page = nullptr;
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
    int m_zoomRequested = 0;  // a zoom on its way to the page (0: none)
    int m_wheelZoomDelta = 0; // Ctrl+wheel turned short of a notch
    QUrl m_generatedPage;
    QString m_feedCaption;
    QTimer m_timTimer2;
    FeedLoad* m_feedLoad = nullptr;
    bool m_loaded = false;
    RendererGonePanel* m_rendererGone = nullptr;
};

} // namespace orv
