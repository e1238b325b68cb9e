#include "browser/frmbrowser.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/browsertoolbar.h"
#include "browser/feedload.h"
#include "browser/pageahead.h"
#include "browser/refreshdialog.h"
#include "browser/renderergone.h"
#include "browser/roundtrip.h"
#include "browser/zoom.h"
#include "pages/feedpage.h"
#include "platform/docbridge.h"
#include "platform/engine.h"
#include "platform/generatedpages.h"
#include "platform/icons.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWheelEvent>

#include <array>
#include <cstdlib>
#include <utility>

namespace orv {

namespace {

constexpr int kActivityInterval = 60;
constexpr int kFeedAnimationInterval = 55;
constexpr int kMaxAnimFrame = 4;
constexpr int kMaxTabFrame = 8;
// How long a page may open no window on its own after a refused request:
// shorter than the moment in which refused requests count as one burst, so
// that a storm stays one burst with one limit message.
constexpr int kWindowOpeningPauseMs = 500;
// The page a feed window loads before its feed is rendered.
const QString kFeedBasePage = QStringLiteral("about:blank");

// The script that keeps a closing page's unload handlers from opening
// windows; frames of the same origin get it too.
const char kNoPopupScript[] =
    "(function(){function xyz_nopopup(){return true;}window.onunload = xyz_nopopup;"
    "for (var i = 0; i < window.frames.length; i++) {"
    "try { window.frames[i].onunload = xyz_nopopup; } catch (e) {"
    "} }})();";

} // namespace

frmBrowser::frmBrowser(BrowserHost& host, QWidget* parent) : QMdiSubWindow(parent), m_host(host)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_content = new QWidget(this);
    m_content->setAcceptDrops(true);
    auto* layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_bandBar = new BandBar(m_content);
    layout->addWidget(m_bandBar);
    buildBands();

    m_view = new QWebEngineView(m_content);
    m_view->setAccessibleName(QStringLiteral("Webseite"));
    // The first window takes over the page that start-up began loading.
    m_page = pageahead::Take(this, this, &m_pageAheadAddress);
    if (!m_page)
        m_page = new BrowserPage(BrowserProfile(), this, this);
    m_view->setPage(m_page);
    m_view->installEventFilter(this);
    for (QWidget* child : m_view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);
    layout->addWidget(m_view, 1);
    // A renderer that ends leaves no blank window: a panel (made then) tells
    // why in place of the page and loads it again; the next load shows the
    // page.
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this, layout](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                m_busy = false;
                if (!m_rendererGone) {
                    m_rendererGone = new RendererGonePanel(m_content);
                    layout->addWidget(m_rendererGone, 1);
                    connect(m_rendererGone, &RendererGonePanel::reloadRequested, this,
                            &frmBrowser::Refresh);
                }
                m_rendererGone->Tell(status, LocationURL());
                m_view->hide();
                m_rendererGone->show();
            });
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        if (m_rendererGone)
            m_rendererGone->hide();
        m_view->show();
    });
    setWidget(m_content);

    m_timTimer.setInterval(kActivityInterval);
    // The tab's busy pictures while a feed loads.
    m_timTimer2.setInterval(kFeedAnimationInterval);
    connect(&m_timTimer2, &QTimer::timeout, this, [this] {
        m_nTabFrame = m_nTabFrame < kMaxTabFrame ? m_nTabFrame + 1 : 1;
        Q_EMIT tabImageChanged(m_id, m_nTabFrame + 2);
    });
    connect(&m_timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(&m_timRefresh, &QTimer::timeout, this, &frmBrowser::timRefresh_Timer);
    m_windowOpeningPause.setSingleShot(true);
    m_windowOpeningPause.setInterval(kWindowOpeningPauseMs);
    connect(&m_windowOpeningPause, &QTimer::timeout, this, [this] {
        m_page->settings()->resetAttribute(QWebEngineSettings::JavascriptCanOpenWindows);
    });
    m_roundtrip = new Roundtrip(*this);
    connect(this, &frmBrowser::settled, m_roundtrip, &Roundtrip::SetReady);
    // A page that offers a file while a round trip runs is stopped, so that
    // the trip goes on; the download itself is left to its handler.
    connect(BrowserProfile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* request) {
                if (request->page() == m_page && m_roundtrip->Running())
                    m_page->triggerAction(QWebEnginePage::Stop);
            });

    connect(m_page, &QWebEnginePage::urlChanged, this, &frmBrowser::onUrlChanged);
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_busy = true;
        m_pageAheadAddress.clear();
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, &frmBrowser::onLoadFinished);
    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        m_title = title;
        if (!IsCloneable())
            m_toolbar->SetCloneEnabled(false);
        // A page the program made may report its title after the window
        // settled: the caption follows (a feed page keeps the feed's).
        if (!m_timTimer.isActive() && !m_busy && !title.trimmed().isEmpty() &&
            !m_generatedPage.isEmpty() && m_page->url() == m_generatedPage &&
            m_feedAddress.isEmpty()) {
            setWindowTitle(title);
            Q_EMIT tabCaptionChanged(m_id, title);
        }
    });
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { Q_EMIT statusTextChanged(url); });
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, [this] { close(); });
    connect(m_page, &BrowserPage::pageDialogFinished, this, [this] {
        if (m_closeAfterDialog && !m_page->pageDialogRunning())
            QTimer::singleShot(0, this, [this] { close(); });
    });
    connect(m_page, &QWebEnginePage::geometryChangeRequested, this,
            &frmBrowser::onGeometryChangeRequested);

    // Keys the window takes before its controls.
    auto* stop = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_X), this);
    stop->setContext(Qt::WidgetWithChildrenShortcut);
    connect(stop, &QShortcut::activated, this, &frmBrowser::StopAll);
    auto* toAddress = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), this);
    toAddress->setContext(Qt::WidgetWithChildrenShortcut);
    connect(toAddress, &QShortcut::activated, this, [this] {
        if (m_bandBar->bandVisible(QStringLiteral("Adress")) && !m_bandBar->isHidden())
            m_addressBox->setFocus();
    });
    auto* bars = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F11), this);
    bars->setContext(Qt::WidgetWithChildrenShortcut);
    connect(bars, &QShortcut::activated, this,
            [this] { m_host.runCommand(HostCommand::ToggleBars, *this); });
    // The zoom keys: Ctrl+Plus (also Ctrl+= where Plus needs Shift), Ctrl+Minus, Ctrl+0.
    const std::array<std::pair<QKeyCombination, int>, 4> zoomKeys = {{
        {Qt::CTRL | Qt::Key_Plus, 1},
        {Qt::CTRL | Qt::Key_Equal, 1},
        {Qt::CTRL | Qt::Key_Minus, -1},
        {Qt::CTRL | Qt::Key_0, 0},
    }};
    for (const auto& [key, direction] : zoomKeys) {
        auto* zoom = new QShortcut(QKeySequence(key), this);
        zoom->setContext(Qt::WidgetWithChildrenShortcut);
        connect(zoom, &QShortcut::activated, this,
                [this, direction] { StepZoom(*this, direction); });
    }
}

frmBrowser::~frmBrowser()
{
    if (!m_generatedPage.isEmpty())
        GeneratedPages::Shared()->release(m_generatedPage);
    // Requests the engine still holds for the page reach no window while the
    // page goes; the page goes before the view that shows it.
    m_page->DetachHost();
    disconnect(m_page, nullptr, this, nullptr);
    m_windowOpeningPause.stop();
    if (m_view)
        m_view->setPage(nullptr);
    delete std::exchange(m_page, nullptr);
}

void frmBrowser::buildBands()
{
    // "Adress": label and address box (Frame1).
    m_adressBand = new QWidget;
    m_adressBand->setAccessibleName(QStringLiteral("Adress"));
    m_adressBand->setAcceptDrops(true);
    m_adressBand->installEventFilter(this);
    auto* adressLayout = new QHBoxLayout(m_adressBand);
    adressLayout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(Txt(610), m_adressBand);
    adressLayout->addWidget(label);
    m_addressBox = new QComboBox(m_adressBand);
    m_addressBox->setEditable(true);
    m_addressBox->setInsertPolicy(QComboBox::NoInsert);
    m_addressBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_addressBox->setAccessibleName(Txt(610));
    label->setBuddy(m_addressBox);
    m_addressBox->setAcceptDrops(true);
    m_addressBox->installEventFilter(this);
    m_addressBox->lineEdit()->setAcceptDrops(false);
    adressLayout->addWidget(m_addressBox, 1);
    connect(m_addressBox->lineEdit(), &QLineEdit::returnPressed, this,
            &frmBrowser::NavigateToAddress);
    connect(m_addressBox, &QComboBox::activated, this, [this](int) {
        if (!m_bUpdatingAddressList)
            NavigateToAddress();
    });

    // "Toolbar": the toolbar (Frame2).
    m_toolbarBand = new QWidget;
    m_toolbarBand->setAccessibleName(QStringLiteral("Toolbar"));
    m_toolbarBand->setAcceptDrops(true);
    m_toolbarBand->installEventFilter(this);
    auto* toolbarLayout = new QHBoxLayout(m_toolbarBand);
    toolbarLayout->setContentsMargins(0, 0, 0, 0);
    m_toolbar = new BrowserToolbar(this, m_toolbarBand);
    toolbarLayout->addWidget(m_toolbar);

    // "Anim": the activity image.
    m_animBand = new QWidget;
    m_animBand->setAccessibleName(QStringLiteral("Anim"));
    auto* animLayout = new QHBoxLayout(m_animBand);
    animLayout->setContentsMargins(2, 0, 2, 0);
    m_activityImage = new QLabel(m_animBand);
    m_activityImage->setPixmap(ActivityImage(1));
    // Every picture has this size: the frame changes of the activity timer
    // then leave the layouts of the window alone.
    m_activityImage->setFixedSize(ActivityImage(1).size());
    m_activityImage->setAccessibleName(QStringLiteral("Aktivität"));
    m_activityImage->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_activityImage, &QLabel::customContextMenuRequested, this, [this](const QPoint& pos) {
        Q_EMIT windowMenuRequested(m_activityImage->mapToGlobal(pos));
    });
    animLayout->addWidget(m_activityImage);

    m_bandBar->addBand(QStringLiteral("Toolbar"), m_toolbarBand);
    m_bandBar->addBand(QStringLiteral("Anim"), m_animBand);
    m_bandBar->addBand(QStringLiteral("Adress"), m_adressBand);
    m_bandBar->setAcceptDrops(true);
    m_bandBar->installEventFilter(this);
    connect(m_bandBar, &BandBar::bandsChanged, this, &frmBrowser::ControlResize);
}

void frmBrowser::Form_Load()
{
    ActivityTimings::SkipNewWindow(false);
    m_view->setVisible(true);
    m_zoom = kZoomNone;
    m_toolbar->SetupToolbar();
    m_startingAddress = TrimChars(m_startingAddress);
    m_loaded = true;
    if (!m_startingAddress.isEmpty())
        StartActivityTimer();
}

void frmBrowser::Form_Activate()
{
    m_toolbar->SetHistoryEnabled(m_host.historyCount() > 0);
    ControlResize();
}

void frmBrowser::Navigate(const QString& address)
{
    if (m_bandBar->bandVisible(QStringLiteral("Adress")) && !m_bandBar->isHidden())
        m_addressBox->setFocus();
    if (windowTitle() != Txt(kTextInProgress)) {
        setWindowTitle(Txt(kTextInProgress));
        Q_EMIT tabCaptionChanged(m_id, Txt(kTextInProgress));
    }
    navigateBrowser(address.isEmpty() ? m_startingAddress : address);
}

void frmBrowser::SetStartingAddress(const QString& address)
{
    m_startingAddress = address;
    m_addressBox->setEditText(address);
}

void frmBrowser::NavigateFeed(const QString& address)
{
    m_feedAddress = address;
    Navigate(QString());
}

void frmBrowser::NavigateBrowserFeed(const QString& address)
{
    m_feedAddress = address;
    navigateBrowser(kFeedBasePage);
}

void frmBrowser::NavigatePage(const QString& address)
{
    m_feedAddress.clear();
    navigateBrowser(address);
}

void frmBrowser::navigateBrowser(const QString& address)
{
    // An existing local path is a file; anything else without a scheme an
    // http address, as in every browser.
    const QUrl url = UrlFromUserInput(address, QDir::currentPath());
    if (!url.isValid() || url.isEmpty())
        return;
    m_busy = true;
    // The page that start-up began loading loads this address already.
    if (std::exchange(m_pageAheadAddress, QUrl()) == url)
        return;
    m_page->load(url);
}

void frmBrowser::NavigateToAddress()
{
    m_feedAddress.clear();
    if (m_bUpdatingAddressList)
        return;
    StartActivityTimer();
    if (m_view->isVisible() || !isVisible())
        navigateBrowser(m_addressBox->currentText().trimmed());
    m_addressBox->update();
}

void frmBrowser::StartActivityTimer()
{
    m_nAnimFrame = 1;
    m_nTabFrame = 1;
    m_timTimer.start(kActivityInterval);
    ControlResize();
}

void frmBrowser::timTimer_Timer()
{
    if (m_busy) {
        m_nAnimFrame = m_nAnimFrame < kMaxAnimFrame ? m_nAnimFrame + 1 : 1;
        m_nTabFrame = m_nTabFrame < kMaxTabFrame ? m_nTabFrame + 1 : 1;
        Q_EMIT tabImageChanged(m_id, m_nTabFrame + 2);
        m_activityImage->setPixmap(ActivityImage(m_nAnimFrame));
        return;
    }
    m_timTimer.stop();
    settle();
}

void frmBrowser::settle()
{
    // 1. Toolbar states.
    m_toolbar->SetHistoryEnabled(m_host.historyCount() > 0);
    m_toolbar->SetCloneEnabled(IsCloneable());

    // 2. Secure lock.
    if (m_bSecure) {
        m_activityImage->setPixmap(ActivityImage(5));
        m_activityImage->setToolTip(
            m_lockIcon >= 1 && m_lockIcon <= 6 ? Txt(kTextLockBase + m_lockIcon) : QString());
    } else {
        m_activityImage->setPixmap(ActivityImage(1));
        m_activityImage->setToolTip(QString());
        UpdateTabIcon();
    }

    // 3. Layout after the document arrived.
    const bool hasDocument = HasDocument();
    if (hasDocument) {
        DoRefresh();
        if (m_resizedByScript) {
            ControlResize();
            m_resizedByScript = false;
        }
    }

    // 4.-5. Caption from the document.
    m_title.clear();
    if (hasDocument) {
        if (IsFolder()) {
            m_title = GetFolderUrl();
            if (m_title.isEmpty())
                m_title = m_page->title();
        } else {
            m_title = m_page->title();
            if (m_title.trimmed().isEmpty()) {
                const QString location = LocationURL().toLower();
                m_title = (location == QLatin1String("about:") ||
                           location == QLatin1String("about:blank"))
                              ? LocationURL()
                              : LocationName();
            }
        }
    }
    // Text size as the page has it; the zoom level survives the load.
    if (hasDocument && !IsFolder()) {
        m_textSize =
            TextSizeOfFontSize(m_page->settings()->fontSize(QWebEngineSettings::DefaultFontSize));
        if (m_zoom != kZoomNone)
            SetZoomFactor(m_zoom);
    }
    if (m_title.isEmpty())
        m_title = LocationURL();
    if (m_title.startsWith(QLatin1String("::{")))
        m_title = LocationName();

    // The feed page this window made shows the feed's caption; it is not
    // loaded again.
    const bool feedShown =
        !m_feedAddress.isEmpty() && !m_generatedPage.isEmpty() && m_page->url() == m_generatedPage;
    if (feedShown)
        m_title = m_feedCaption;

    // 6. Caption and tab.
    setWindowTitle(m_title);
    Q_EMIT tabCaptionChanged(m_id, m_title);

    // 7. A feed window loads its feed.
    if (!m_feedAddress.isEmpty() && !feedShown) {
        setWindowTitle(Txt(kTextInProgress));
        Q_EMIT tabCaptionChanged(m_id, m_title);
        CollectXmlFeed(m_feedAddress);
    }
    Q_EMIT settled();
}

// Loads the feed over the network (http, https, file) without blocking; the
// tab shows the busy pictures and the window the hourglass until it is
// rendered. A feed over the size limit, silent for too long or not loaded in
// time ends with the error appendix.
void frmBrowser::CollectXmlFeed(const QString& address)
{
    if (!m_feedLoad)
        m_feedLoad = new FeedLoad(this);
    // The page shown so far goes blank while the feed loads.
    m_page->runJavaScript(QStringLiteral("if (document.body) document.body.innerHTML = '';"),
                          QWebEngineScript::ApplicationWorld);
    setCursor(Qt::WaitCursor);
    StartTabAnimation();
    m_feedLoad->Start(address, [this](const FeedPage& feed) {
        unsetCursor();
        StopTabAnimation();
        writeFeedPage(feed);
    });
}

bool frmBrowser::FeedLoading() const
{
    return m_feedLoad && m_feedLoad->Running();
}

void frmBrowser::ShowFeed(const QString& address)
{
    m_feedAddress = address;
    CollectXmlFeed(address);
}

void frmBrowser::writeFeedPage(const FeedPage& feed)
{
    m_feedCaption = feed.caption;
    setWindowTitle(feed.caption);
    if (feed.SetsCaption())
        Q_EMIT tabCaptionChanged(m_id, feed.caption);
    ShowGeneratedPage(feed.html);
}

void frmBrowser::StartTabAnimation()
{
    m_nTabFrame = 1;
    m_timTimer2.start();
}

void frmBrowser::StopTabAnimation()
{
    m_timTimer2.stop();
    UpdateTabIcon();
}

void frmBrowser::UpdateTabIcon()
{
    Q_EMIT tabImageReset(m_id);
}

bool frmBrowser::IsCloneable() const
{
    // A page the program made stays with its window, also while the engine
    // has not yet reported it as the window's address.
    if (GeneratedPages::IsGeneratedUrl(m_page->url()))
        return false;
    if (!m_generatedPage.isEmpty() && m_page->requestedUrl() == m_generatedPage)
        return false;
    if (LocationURL().compare(QLatin1String("http:///"), Qt::CaseInsensitive) != 0)
        return true;
    const QString title = m_page->title();
    return title != Txt(kTextPictureList) && title != Txt(kTextDocStructure);
}

void frmBrowser::UpdateComboBoxItem(const QString& url)
{
    m_bUpdatingAddressList = true;
    // Already the first entry and shown: the list stays as it is, and so does
    // the screen.
    if (m_addressBox->count() > 0 && m_addressBox->itemText(0) == url &&
        m_addressBox->currentIndex() == 0 && m_addressBox->currentText() == url)
        return;
    const int found = m_addressBox->findText(url, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        m_addressBox->removeItem(found);
    m_addressBox->insertItem(0, url);
    m_addressBox->setCurrentIndex(0);
}

QStringList frmBrowser::AddressList() const
{
    QStringList list;
    for (int i = 0; i < m_addressBox->count(); ++i)
        list << m_addressBox->itemText(i);
    return list;
}

void frmBrowser::pageNavigationStarting(const QUrl& url, bool isMainFrame)
{
    StartActivityTimer();
    m_sLastNavUrl = url.toString();
    if (isMainFrame)
        m_busy = true;
}

void frmBrowser::onUrlChanged(const QUrl& url)
{
    Q_UNUSED(url);
    UpdateComboBoxItem(LocationURL());
    m_bUpdatingAddressList = false;
    // A page that may not be cloned never offers it, also between the
    // window's settling points (which enable it again where it may).
    if (!IsCloneable())
        m_toolbar->SetCloneEnabled(false);
    Q_EMIT addressChanged(m_id);
}

void frmBrowser::onLoadFinished(bool ok)
{
    m_busy = false;
    const QUrl url = m_page->url();
    // Encrypted when an https page loaded without a certificate error; the
    // engine tells neither protocol nor key length.
    m_bSecure = ok && url.scheme() == QLatin1String("https") && !m_page->certificateErrorSeen();
    const int lock = m_bSecure ? 2 : 0;
    if (lock != m_lockIcon) {
        m_lockIcon = lock;
        Q_EMIT lockChanged(lock);
    }
    if (!url.isEmpty())
        m_host.addToHistory(url.toString(), LocationName());
    if (!m_sLastNavUrl.isEmpty() && m_sLastNavUrl != url.toString())
        m_host.addToHistory(m_sLastNavUrl, LocationName());
    ControlResize();
    if (!m_timTimer.isActive())
        StartActivityTimer();
    // The window settles as soon as the load is over, right after everyone
    // has heard of it, not at the activity timer's next tick: caption and tab
    // name the page at once.
    QTimer::singleShot(0, this, [this] {
        if (!m_busy && m_timTimer.isActive())
            timTimer_Timer();
    });
    Q_EMIT documentComplete(ok);
}

QWebEnginePage* frmBrowser::pageCreateWindow(QWebEnginePage::WebWindowType type,
                                             const QRect& geometry)
{
    // A closed window opens nothing: a storm the engine still holds ends here.
    if (m_unloaded)
        return nullptr;
    if (!m_host.popupPolicy().allow || ActivityTimings::Current().skipNewWindow) {
        ActivityTimings::SkipNewWindow(false);
        return nullptr;
    }
    frmBrowser* popup = m_host.openPopup(*this, type);
    if (!popup) {
        ActivityTimings::SkipNewWindow(false);
        pauseWindowOpening();
        return nullptr;
    }
    // The size the page asked for (window.open's features): the window
    // leaves the maximised state and takes it, as far as pages may size
    // their windows.
    if (!geometry.isEmpty())
        popup->onGeometryChangeRequested(geometry);
    popup->StartActivityTimer();
    return popup->page();
}

// The engine makes a window for every request before it asks whether it is
// wanted: a page that asks for thousands in a loop keeps it busy for minutes
// once the window limit refuses them. After a refusal the page may open no
// window on its own for a moment, so that the engine refuses the rest of such
// a storm itself; requests from a click still come through.
void frmBrowser::pauseWindowOpening()
{
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    m_windowOpeningPause.start();
}

bool frmBrowser::pageKeepsOpenerReference() const
{
    return m_host.popupPolicy().reference;
}

void frmBrowser::pageFrameComplete(const QUrl& url, const QString& title)
{
    // Every frame's document is offered to the history.
    if (!url.isEmpty())
        m_host.addToHistory(url.toString(), title.isEmpty() ? url.toString() : title);
}

void frmBrowser::onGeometryChangeRequested(const QRect& geometry)
{
    m_resizedByScript = true;
    if (!m_host.popupPolicy().resize)
        return;
    const QSize requested = geometry.size();
    // A move keeps the size the page knows: the window moves inside the
    // main window's area, never out of sight.
    if (requested == m_view->size() || requested.isEmpty()) {
        if (!isMaximized() && !isMinimized() && parentWidget()) {
            const QSize room = parentWidget()->size() - size();
            move(qBound(0, geometry.x(), qMax(0, room.width())),
                 qBound(0, geometry.y(), qMax(0, room.height())));
        }
        return;
    }
    if (isMinimized() || isMaximized())
        showNormal();
    const QSize outer = size();
    const QSize inner = m_content->size();
    const int width = int((outer.width() - inner.width()) * 1.5 + requested.width());
    const int height =
        m_bandBar->barHeight() + int((outer.height() - inner.height()) * 1.15 + requested.height());
    const QWidget* area = parentWidget();
    if (!area) {
        resize(width, height);
        return;
    }
    // A page never makes its window larger than the main window's area, nor
    // pushes it out of it: the window stays where it can be seen whole.
    const QSize sized = QSize(width, height).boundedTo(area->size()).expandedTo(minimumSize());
    const QSize room = area->size() - sized;
    setGeometry(
        QRect(QPoint(qBound(0, x(), qMax(0, room.width())), qBound(0, y(), qMax(0, room.height()))),
              sized));
}

void frmBrowser::ControlResize()
{
    if (!m_content)
        return;
    // The layout puts the view below the band bar, or at the top when the
    // bar is hidden.
    m_content->layout()->activate();
}

void frmBrowser::PubResize()
{
    const bool toolbar = m_bandBar->bandVisible(QStringLiteral("Toolbar"));
    const bool anim = m_bandBar->bandVisible(QStringLiteral("Anim"));
    m_bandBar->setVisible(toolbar || anim);
    ControlResize();
}

void frmBrowser::DoRefresh()
{
    m_view->update();
}

void frmBrowser::StopAll()
{
    m_timTimer.stop();
    m_timRefresh.stop();
    m_roundtrip->Stop();
    m_refreshSeconds = 0;
    m_activityImage->setPixmap(ActivityImage(1));
    if (m_busy) {
        m_page->triggerAction(QWebEnginePage::Stop);
        m_busy = false;
        setWindowTitle(LocationURL());
    }
    UpdateTabIcon();
}

void frmBrowser::SetRefreshInterval()
{
    QPointer<frmRefresh> dialog = new frmRefresh(this);
    dialog->Form_Load(m_refreshSeconds);
    if (QWidget* area = parentWidget()) {
        const QWidget* main = area->window();
        dialog->move(frmRefresh::Position(pos(), main->frameGeometry(), area->size()));
    }
    int seconds = m_refreshSeconds;
    if (Dialogs().execDialog(*dialog) == QDialog::Accepted && dialog)
        seconds = dialog->ChosenSeconds();
    if (dialog)
        dialog->deleteLater();
    SetRefresh(seconds);
}

void frmBrowser::SetRefresh(int seconds)
{
    m_refreshSeconds = seconds;
    const int interval = m_refreshSeconds * ActivityTimings::Current().secondMs;
    if (interval != 0) {
        m_timRefresh.start(interval);
        StartActivityTimer();
    } else {
        m_timRefresh.stop();
    }
}

// The page is reloaded if it expired; the activity timer runs on from where
// it stands.
void frmBrowser::timRefresh_Timer()
{
    // A window without a document has nothing to reload.
    const int failure = HasDocument() ? 0 : kErrNoSuchMethod;
    if (failure != 0) {
        m_timRefresh.stop();
        if (ReloadErrorShown(failure))
            ShowMessage(QString::fromLatin1(kReloadErrorTitle),
                        ReloadErrorText(QStringLiteral("Kein Dokument"), failure),
                        MsgIcon::Critical);
        return;
    }
    if (!m_timTimer.isActive())
        m_timTimer.start(kActivityInterval);
    Refresh();
    UpdateTabIcon();
}

void frmBrowser::SetZoomFactor(int percent, std::function<void(bool applied)> done)
{
    m_zoomRequested = percent;
    // Snapshots are read on workers and may come back in another order:
    // only the newest request zooms the page.
    const quint64 request = ++m_zoomRequests;
    TakeDocSnapshot(m_page, this, [this, percent, request, done](const DocSnapshot& document) {
        const ZoomRoute route = ZoomRouteOf(document);
        if (request == m_zoomRequests) {
            if (route == ZoomRoute::Engine) {
                m_page->setZoomFactor(percent / double(kZoomNone));
            } else if (route == ZoomRoute::Script) {
                // The engine keeps its own zoom for the site: only one of
                // them zooms the page.
                if (!qFuzzyCompare(m_page->zoomFactor(), 1.0))
                    m_page->setZoomFactor(1.0);
                ExecScript(m_page, ZoomScript(percent));
            }
            if (route != ZoomRoute::None)
                m_zoom = percent;
            m_zoomRequested = 0;
        }
        if (done)
            done(route != ZoomRoute::None);
    });
}

void frmBrowser::SetTextSize(int step)
{
    step = qBound(kTextSizeMin, step, kTextSizeMax);
    m_page->settings()->setFontSize(QWebEngineSettings::DefaultFontSize, FontSizeOfTextSize(step));
    m_textSize = step;
    Q_EMIT textSizeSet(step);
}

void frmBrowser::StartRoundtrip()
{
    m_roundtrip->StartRoundtrip();
}

void frmBrowser::StartFrameRoundtrip()
{
    m_roundtrip->StartFrameRoundtrip();
}

void frmBrowser::StartBookmarkRoundtrip(const QString& fileName)
{
    m_roundtrip->StartBookmarkRoundtrip(fileName);
}

bool frmBrowser::IsFolder() const
{
    const QUrl url = m_page->url();
    return url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir();
}

QString frmBrowser::GetFolderUrl() const
{
    const QUrl url = m_page->url();
    if (url.isLocalFile())
        return QDir::cleanPath(url.toLocalFile());
    return LocationURL();
}

void frmBrowser::GoBack()
{
    if (m_page->history()->canGoBack())
        m_page->history()->back();
}

void frmBrowser::GoForward()
{
    if (m_page->history()->canGoForward())
        m_page->history()->forward();
}

void frmBrowser::Refresh()
{
    m_busy = true;
    m_page->triggerAction(QWebEnginePage::Reload);
}

void frmBrowser::ViewSource(const QString& address)
{
    navigateBrowser(QStringLiteral("view-source:") + address);
}

void frmBrowser::ShowGeneratedPage(const QString& html)
{
    ShowGeneratedPage(html.toUtf8());
}

void frmBrowser::ShowGeneratedPage(const QByteArray& utf8)
{
    if (!m_generatedPage.isEmpty())
        GeneratedPages::Shared()->release(m_generatedPage);
    m_generatedPage = GeneratedPages::Shared()->publish(utf8);
    m_page->setOwnGeneratedPage(m_generatedPage);
    if (QAction* clone = m_toolbar->Entry(QStringLiteral("Cloneit")))
        clone->setEnabled(false);
    StartActivityTimer();
    navigateBrowser(m_generatedPage.toString());
}

void frmBrowser::LinkMailto()
{
    navigateBrowser(QStringLiteral("mailto:?subject=") + LocationName() + QStringLiteral("&body=") +
                    LocationURL());
}

bool frmBrowser::RendererGone() const
{
    return m_rendererGone && !m_rendererGone->isHidden();
}

QString frmBrowser::LocationURL() const
{
    return m_page->url().toString();
}

QString frmBrowser::LocationName() const
{
    const QString title = m_page->title();
    return title.isEmpty() ? LocationURL() : title;
}

bool frmBrowser::HasDocument() const
{
    return !m_page->url().isEmpty();
}

int frmBrowser::WindowState() const
{
    if (isMinimized())
        return 1;
    if (isMaximized())
        return 2;
    return 0;
}

void frmBrowser::SetWindowState(int state)
{
    switch (state) {
    case 1:
        showMinimized();
        break;
    case 2:
        showMaximized();
        break;
    default:
        showNormal();
        break;
    }
}

void frmBrowser::handleDrop(const QMimeData* data)
{
    if (data->hasText() && !data->hasUrls()) {
        m_addressBox->setEditText(data->text());
    } else if (data->hasUrls() && !data->urls().isEmpty()) {
        const QUrl first = data->urls().constFirst();
        m_addressBox->setEditText(first.isLocalFile() ? first.toLocalFile() : first.toString());
    } else if (data->hasText()) {
        m_addressBox->setEditText(data->text());
    } else {
        return;
    }
    NavigateToAddress();
}

bool frmBrowser::zoomWheelFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildAdded && watched == m_view) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->installEventFilter(this);
        return false;
    }
    if (event->type() != QEvent::Wheel)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    // A touchpad turns in small pieces: a step per notch's worth.
    m_wheelZoomDelta += wheel->angleDelta().y();
    while (std::abs(m_wheelZoomDelta) >= kWheelNotch) {
        const int direction = m_wheelZoomDelta > 0 ? 1 : -1;
        m_wheelZoomDelta -= direction * kWheelNotch;
        StepZoom(*this, direction);
    }
    return true;
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view || watched->parent() == m_view)
        return zoomWheelFilter(watched, event) || QMdiSubWindow::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter) {
        auto* e = static_cast<QDragEnterEvent*>(event);
        if (e->mimeData()->hasText() || e->mimeData()->hasUrls()) {
            e->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* e = static_cast<QDropEvent*>(event);
        handleDrop(e->mimeData());
        e->acceptProposedAction();
        return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void frmBrowser::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    ControlResize();
}

void frmBrowser::closeEvent(QCloseEvent* event)
{
    // A page dialog runs inside this window's page: the window closes once
    // the dialog, ended now, has returned.
    if (m_page->pageDialogRunning()) {
        m_closeAfterDialog = true;
        Dialogs().cancelPageDialogs(m_page);
        event->ignore();
        return;
    }
    Form_Unload();
    QMdiSubWindow::closeEvent(event);
}

void frmBrowser::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_timTimer.stop();
    m_timRefresh.stop();
    m_roundtrip->Stop();
    if (!(m_host.popupPolicy().allow && !m_isPopup))
        m_page->runJavaScript(QString::fromLatin1(kNoPopupScript));
    m_host.windowClosing(*this, WindowState());
}

} // namespace orv
