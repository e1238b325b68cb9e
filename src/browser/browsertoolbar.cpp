#include "browser/browsertoolbar.h"

#include "app/textids.h"
#include "app/texts.h"
#include "browser/browsercommands.h"
#include "browser/findbar.h"
#include "browser/frmbrowser.h"
#include "browser/linkopening.h"
#include "browser/refreshdialog.h"
#include "platform/downloads.h"
#include "platform/drives.h"
#include "platform/engine.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineView>

namespace orv {
namespace {

// The tools window entries: "Historie" and the multi-search.
constexpr int kTextHistory = 800;
constexpr int kTextBrowserSearch = 1500;

// A caption shown as it stands in a menu ("&" is no access key there).
QString menuCaption(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

} // namespace

BrowserToolbar::BrowserToolbar(frmBrowser* owner, QWidget* parent)
    : QToolBar(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("tbToolBar"));
    setAccessibleName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
    installEventFilter(this);

    addButton(QStringLiteral("Back"), ToolbarIcon(QStringLiteral("Back")), Txt(602));
    addButton(QStringLiteral("Forward"), ToolbarIcon(QStringLiteral("Forward")), Txt(601));
    addButton(QStringLiteral("Stop"), ToolbarIcon(QStringLiteral("Stop")), Txt(603));
    QMenu* refresh = addMenu(QStringLiteral("Refresh"));
    addEntry(refresh, QStringLiteral("Refresh"), Txt(600));
    addEntry(refresh, QStringLiteral("Roundtrip"), Txt(605));
    addEntry(refresh, QStringLiteral("RoundtripFrame"), Txt(606));
    addButton(QStringLiteral("Refresh"), ToolbarIcon(QStringLiteral("Refresh")), Txt(604), refresh);

    QMenu* home = addMenu(QStringLiteral("Home"));
    addEntry(home, QStringLiteral("GetHome"), Txt(1027));
    addButton(QStringLiteral("Home"), ToolbarIcon(QStringLiteral("Home")), QString(), home);

    QMenu* search = addMenu(QStringLiteral("Search"));
    addEntry(search, QStringLiteral("BrowserSearch"), Txt(kTextBrowserSearch));
    addEntry(search, QStringLiteral("DocSearch"), Txt(kTextFindInPage));
    addButton(QStringLiteral("Search"), ToolbarIcon(QStringLiteral("Search")), QString(), search);

    QMenu* clone = addMenu(QStringLiteral("Clone"));
    addEntry(clone, QStringLiteral("Startit"), Txt(201));
    addEntry(clone, QStringLiteral("StartBlank"), Txt(209));
    addEntry(clone, QStringLiteral("Cloneit"), Txt(616));
    addEntry(clone, QStringLiteral("OpenallA"), Txt(617));
    addEntry(clone, QStringLiteral("ClosePopups"), Txt(426));
    addEntry(clone, QStringLiteral("CloseOthers"), Txt(422));
    addEntry(clone, QStringLiteral("CloseallWin"), Txt(411));
    connect(clone, &QMenu::aboutToShow, this, &BrowserToolbar::UpdateCloneEntries);
    addButton(QStringLiteral("Clone"), ToolbarIcon(QStringLiteral("Clone")), Txt(201), clone);

    m_driveMenu = addMenu(QStringLiteral("Drive"));
    // The drives are read when the menu opens (and at a press on the
    // toolbar), not for every window that opens or comes to the front.
    connect(m_driveMenu, &QMenu::aboutToShow, this, &BrowserToolbar::FillDriveMenu);
    m_driveMenu->addSeparator();
    addEntry(m_driveMenu, QStringLiteral("Browse"), Txt(620));
    addButton(QStringLiteral("Drive"), ToolbarIcon(QStringLiteral("Drive")), Txt(607), m_driveMenu);

    QMenu* mail = addMenu(QStringLiteral("Mail"));
    addEntry(mail, QStringLiteral("mailer"), Txt(608));
    addEntry(mail, QStringLiteral("sendurl"), Txt(614));
    addButton(QStringLiteral("Mail"), ToolbarIcon(QStringLiteral("Mail")), Txt(608), mail);

    addButton(QStringLiteral("history"), ToolbarIcon(QStringLiteral("history")), Txt(kTextHistory));
    addBookmarkButton();
    addButton(QStringLiteral("Save"), ToolbarIcon(QStringLiteral("Save")), Txt(611));

    QMenu* print = addMenu(QStringLiteral("Print"));
    addEntry(print, QStringLiteral("ppreview"), Txt(613));
    addEntry(print, QStringLiteral("print"), Txt(612));
    addButton(QStringLiteral("Print"), ToolbarIcon(QStringLiteral("Print")), Txt(612), print);
}

// "Bookm": the bookmark archive of the tools window.
void BrowserToolbar::addBookmarkButton()
{
    addButton(QStringLiteral("Bookm"), ToolbarIcon(QStringLiteral("Bookm")), Txt(609));
}

QToolButton* BrowserToolbar::addButton(const QString& key, const QIcon& icon,
                                       const QString& toolTip, QMenu* menu)
{
    auto* button = new QToolButton(this);
    button->setObjectName(key);
    button->setIcon(icon);
    // A menu caption's access key means nothing in a tool tip: "&&" is an
    // ampersand, a single "&" goes.
    QString tip = toolTip;
    tip.replace(QLatin1String("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    tip.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    button->setToolTip(tip);
    button->setAccessibleName(tip.isEmpty() ? key : tip);
    button->setAutoRaise(true);
    if (menu) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, [this, key] { ButtonClick(key); });
    m_buttons.insert(key, button);
    m_buttonActions.insert(key, addWidget(button));
    return button;
}

QMenu* BrowserToolbar::addMenu(const QString& key)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(key + QStringLiteral("Menu"));
    connect(menu, &QMenu::triggered, this, &BrowserToolbar::ButtonMenuClick);
    return menu;
}

QAction* BrowserToolbar::addEntry(QMenu* menu, const QString& key, const QString& caption)
{
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(key);
    m_entries.insert(key, entry);
    return entry;
}

void BrowserToolbar::SetupToolbar()
{
    const Prefer& prefs = m_owner->host().prefs();
    SetHomeToolTip(prefs.HomeUrl());
    QToolButton* search = Button(QStringLiteral("Search"));
    search->setToolTip(prefs.SearchEngine());
    search->setAccessibleName(prefs.SearchEngine().isEmpty() ? QStringLiteral("Suche")
                                                             : prefs.SearchEngine());
    SetHistoryEnabled(m_owner->host().historyCount() > 1);
    if (m_setUp)
        return;
    m_setUp = true;
    Downloads::Install(BrowserProfile());
    auto* find = new QShortcut(QKeySequence::Find, m_owner);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, &BrowserToolbar::ShowFindBar);
    // A page that asks to be printed (window.print()) gets the print dialog.
    connect(m_owner->brwWebBrowser(), &QWebEngineView::printRequested, this,
            [this] { WebPrint(*m_owner); });
}

void BrowserToolbar::SetHistoryEnabled(bool enabled)
{
    m_historyEnabled = enabled;
    if (QToolButton* history = Button(QStringLiteral("history")))
        history->setEnabled(enabled);
}

void BrowserToolbar::SetCloneEnabled(bool enabled)
{
    Entry(QStringLiteral("Cloneit"))->setEnabled(enabled);
}

void BrowserToolbar::SetHomeToolTip(const QString& url)
{
    QToolButton* home = Button(QStringLiteral("Home"));
    home->setToolTip(url);
    home->setAccessibleName(url.isEmpty() ? QStringLiteral("Startseite") : url);
}

void BrowserToolbar::FillDriveMenu()
{
    m_driveMenu->clear();
    m_entries.remove(QStringLiteral("Browse"));
    const QList<DriveEntry> drives = ReadableDrives();
    for (const DriveEntry& drive : drives) {
        QAction* entry = m_driveMenu->addAction(menuCaption(drive.caption));
        entry->setData(drive.path);
    }
    m_driveMenu->addSeparator();
    addEntry(m_driveMenu, QStringLiteral("Browse"), Txt(620));
}

void BrowserToolbar::UpdateCloneEntries()
{
    const BrowserHost& host = m_owner->host();
    const int windows = host.windowCount();
    Entry(QStringLiteral("ClosePopups"))->setEnabled(host.popupCount() >= 1);
    Entry(QStringLiteral("CloseallWin"))->setEnabled(windows >= 1);
    Entry(QStringLiteral("CloseOthers"))->setEnabled(windows >= 2);
}

void BrowserToolbar::pressed(Qt::MouseButton button)
{
    FillDriveMenu();
    if (button == Qt::LeftButton)
        UpdateCloneEntries();
}

bool BrowserToolbar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == this || qobject_cast<QToolButton*>(watched)))
        pressed(static_cast<QMouseEvent*>(event)->button());
    return QToolBar::eventFilter(watched, event);
}

void BrowserToolbar::navigate(const QString& address)
{
    m_owner->NavigatePage(address);
}

void BrowserToolbar::newBrowserFromHome()
{
    // A feed start page opens in a feed window.
    m_owner->host().runCommand(HostCommand::NewHomeWindow, *m_owner);
}

void BrowserToolbar::ButtonClick(const QString& key)
{
    ActivityTimings::SkipNewWindow(false);
    m_owner->StartActivityTimer();
    if (key == QLatin1String("Stop")) {
        m_owner->StopAll();
        return;
    }
    if (key == QLatin1String("Bookm")) {
        ActivityTimings::SkipNewWindow(true);
        m_owner->host().runCommand(HostCommand::StartBookmEd, *m_owner);
        return;
    }
    if (key == QLatin1String("history")) {
        ActivityTimings::SkipNewWindow(true);
        m_owner->host().runCommand(HostCommand::StartHistoryWin, *m_owner);
        return;
    }
    static const QStringList commands = {QStringLiteral("Back"),    QStringLiteral("Forward"),
                                         QStringLiteral("Refresh"), QStringLiteral("Home"),
                                         QStringLiteral("Drive"),   QStringLiteral("Search"),
                                         QStringLiteral("Clone"),   QStringLiteral("Save"),
                                         QStringLiteral("Print"),   QStringLiteral("Mail")};
    if (!commands.contains(key))
        return;
    ActivityTimings::SkipNewWindow(true);
    const Prefer& prefs = m_owner->host().prefs();
    if (key == QLatin1String("Back")) {
        m_owner->GoBack();
    } else if (key == QLatin1String("Forward")) {
        m_owner->GoForward();
    } else if (key == QLatin1String("Refresh")) {
        m_owner->Refresh();
    } else if (key == QLatin1String("Home")) {
        // A start page with a title is a feed: it is rendered here.
        if (!prefs.HomeTitle().isEmpty())
            m_owner->ShowFeed(prefs.HomeUrl().trimmed());
        else
            navigate(prefs.HomeUrl());
    } else if (key == QLatin1String("Drive")) {
        navigate(QStringLiteral("file:///"));
    } else if (key == QLatin1String("Search")) {
        navigate(prefs.SearchEngine());
    } else if (key == QLatin1String("Clone")) {
        newBrowserFromHome();
    } else if (key == QLatin1String("Mail")) {
        m_owner->host().runCommand(HostCommand::StartMail, *m_owner);
    } else if (key == QLatin1String("Save")) {
        WebSave(*m_owner);
    } else if (key == QLatin1String("Print")) {
        WebPrint(*m_owner);
    }
}

void BrowserToolbar::ButtonMenuClick(QAction* entry)
{
    if (!entry)
        return;
    ActivityTimings::SkipNewWindow(true);
    if (!m_owner->brwWebBrowser()->isVisible())
        return;
    BrowserHost& host = m_owner->host();
    const QString key = entry->objectName();
    if (key == QLatin1String("mailer")) {
        host.runCommand(HostCommand::StartMail, *m_owner);
    } else if (key == QLatin1String("sendurl")) {
        m_owner->LinkMailto();
    } else if (key == QLatin1String("ppreview")) {
        WebPrintPreview(*m_owner);
    } else if (key == QLatin1String("print")) {
        WebPrint(*m_owner);
    } else if (key == QLatin1String("Cloneit")) {
        host.runCommand(HostCommand::CloneActive, *m_owner);
    } else if (key == QLatin1String("ClosePopups")) {
        host.runCommand(HostCommand::ClosePopups, *m_owner);
    } else if (key == QLatin1String("CloseallWin")) {
        host.runCommand(HostCommand::CloseAll, *m_owner);
    } else if (key == QLatin1String("CloseOthers")) {
        host.runCommand(HostCommand::CloseOthers, *m_owner);
    } else if (key == QLatin1String("Startit")) {
        newBrowserFromHome();
    } else if (key == QLatin1String("StartBlank")) {
        host.runCommand(HostCommand::NewBlankWindow, *m_owner);
    } else if (key == QLatin1String("Refresh")) {
        m_owner->SetRefreshInterval();
    } else if (key == QLatin1String("OpenallA")) {
        OpenAllLinks(*m_owner);
    } else if (key == QLatin1String("Roundtrip")) {
        m_owner->StartRoundtrip();
    } else if (key == QLatin1String("RoundtripFrame")) {
        m_owner->StartFrameRoundtrip();
    } else if (key == QLatin1String("GetHome")) {
        SetHomepage(*m_owner);
    } else if (key == QLatin1String("BrowserSearch")) {
        host.runCommand(HostCommand::BrowserSearch, *m_owner);
    } else if (key == QLatin1String("DocSearch")) {
        ShowFindBar();
    } else if (key == QLatin1String("Browse")) {
        BrowseFolder(*m_owner);
    } else if (key.isEmpty() && entry->data().isValid()) {
        // A drive: its folder.
        navigate(QUrl::fromLocalFile(entry->data().toString()).toString());
    }
}

void BrowserToolbar::ShowFindBar()
{
    if (!m_findBar) {
        QWidget* content = m_owner->widget();
        auto* layout = content ? qobject_cast<QBoxLayout*>(content->layout()) : nullptr;
        if (!layout)
            return;
        m_findBar = new FindBar(m_owner->page(), content);
        layout->addWidget(m_findBar);
    }
    m_findBar->Open();
}

} // namespace orv
