#include "mainwin/mdiform.h"

#include "app/dialogseam.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "prefs/prefer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QWebEngineView>

// The commands of the View menu (full screen, status bar), the bar toggles of
// one or all browser windows, the pop-up switches, refreshing all windows and
// starting the e-mail application.

namespace orv {

namespace {

const QString kAdress = QStringLiteral("Adress");
const QString kToolbar = QStringLiteral("Toolbar");

// The program to start for a mail client entry and its arguments: the whole
// entry when it names an existing file (blanks allowed), else the entry as a
// command line whose program is looked up on the search path. An empty
// program means: not found.
struct MailCommand {
    QString program;
    QStringList arguments;
};

MailCommand mailCommandOf(const QString& client)
{
    const QString whole = client.trimmed();
    const QFileInfo file(whole);
    if (file.isFile())
        return {file.isExecutable() ? file.absoluteFilePath() : QString(), {}};
    QStringList parts = QProcess::splitCommand(whole);
    if (parts.isEmpty())
        return {};
    const QString first = parts.takeFirst();
    QString program;
    if (first.contains(QLatin1Char('/'))) {
        const QFileInfo named(first);
        if (named.isFile() && named.isExecutable())
            program = named.absoluteFilePath();
    } else {
        program = QStandardPaths::findExecutable(first);
    }
    return {program, parts};
}

} // namespace

// --- full screen and status bar -------------------------------------------------------

void MDIForm1::mn_Fullscreen_Click()
{
    if (m_fullScreen)
        FullScreenOff();
    else
        FullScreenOn();
}

void MDIForm1::FullScreenOn()
{
    if (m_fullScreen)
        return;
    m_fullScreen = true;
    if (!statusBar()->isHidden())
        mn_Toggle_Click();
    if (bTabVisible)
        mn_Register_Click();
    // Maximised without its frame: the whole screen.
    showFullScreen();
    SetItemChecked(QStringLiteral("mn_Fullscreen"), true);
    if (frmBrowser* active = ActiveBrowser()) {
        m_fullScreenWinState = active->WindowState();
        active->SetWindowState(2);
    }
}

void MDIForm1::FullScreenOff()
{
    // Only full screen is left; closing the last window outside full screen
    // changes nothing.
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    if (m_prefer.StatusBar() > 0 && statusBar()->isHidden())
        mn_Toggle_Click();
    if (m_prefer.TabStrip() && !bTabVisible)
        mn_Register_Click();
    // The frame comes back; the window stays maximised.
    showMaximized();
    SetItemChecked(QStringLiteral("mn_Fullscreen"), false);
    if (frmBrowser* active = ActiveBrowser())
        active->SetWindowState(m_fullScreenWinState);
}

void MDIForm1::mn_Toggle_Click()
{
    SetToolbarVisible(false);
    StatusBarCurr = !StatusBarCurr;
    statusBar()->setVisible(StatusBarCurr);
    SetItemChecked(QStringLiteral("mn_Toggle"), StatusBarCurr);
    if (!m_browser.isEmpty() && ItemChecked(QStringLiteral("mn_Register")))
        SetToolbarVisible(true);
}

// --- bars of browser windows --------------------------------------------------------------

// Shows or hides the bands of one window (-1 leaves a band as it is); the
// page area of a window in normal state keeps its size while the window
// grows or shrinks by the band bar.
void MDIForm1::applyBands(frmBrowser* window, int adress, int toolbar)
{
    if (!window)
        return;
    BandBar* bar = window->CoolBar1;
    QWidget* inner = window->widget();
    const int viewHeight = window->brwWebBrowser->height();
    const int outerHeight = window->height();
    const int innerHeight = inner ? inner->height() : outerHeight;
    // Whatever else the window shows below the bars (the find bar) stays.
    const int oldBarHeight = bar->isHidden() ? 0 : bar->height();
    const int others = qMax(0, innerHeight - viewHeight - oldBarHeight);

    bar->setBars(adress >= 0 ? adress > 0 : bar->bandVisible(kAdress),
                 toolbar >= 0 ? toolbar > 0 : bar->bandVisible(kToolbar));
    bar->update();
    window->PubResize();

    if (window->WindowState() == 0) {
        const int barHeight = bar->isHidden() ? 0 : bar->barHeight();
        window->resize(window->width(),
                       outerHeight - innerHeight + viewHeight + barHeight + others);
    }
}

void MDIForm1::mn_Adresszeile_Click()
{
    frmBrowser* active = ActiveBrowser();
    if (!active)
        return;
    const bool show = !active->CoolBar1->bandVisible(kAdress);
    applyBands(active, show, -1);
    SetItemChecked(QStringLiteral("mn_Adresszeile"), show);
}

void MDIForm1::mn_toolbar_Click()
{
    frmBrowser* active = ActiveBrowser();
    if (!active)
        return;
    const bool show = !active->CoolBar1->bandVisible(kToolbar);
    applyBands(active, -1, show);
    SetItemChecked(QStringLiteral("mn_toolbar"), show);
}

void MDIForm1::mn_beides_Click()
{
    frmBrowser* active = ActiveBrowser();
    if (!active)
        return;
    // The item and its context twin each turn their own mark.
    const QList<QAction*> marks = ItemWithCopies(QStringLiteral("mn_beides"));
    for (QAction* a : marks) {
        const QSignalBlocker block(a);
        a->setChecked(!a->isChecked());
        a->setVisible(true);
    }
    const bool show = ItemChecked(QStringLiteral("mn_beides"));
    applyBands(active, show, show);
    SetItemChecked(QStringLiteral("mn_Adresszeile"), show);
    SetItemChecked(QStringLiteral("mn_toolbar"), show);
}

void MDIForm1::ToggleBothToolb()
{
    mn_beides_Click();
}

void MDIForm1::mn_ToggleAdressRow_Click()
{
    m_allAdressRows = !m_allAdressRows;
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        applyBands(w, m_allAdressRows, -1);
}

void MDIForm1::mn_ToogleToolbars_Click()
{
    m_allToolbars = !m_allToolbars;
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        applyBands(w, -1, m_allToolbars);
}

void MDIForm1::mn_ToggleToolbAdres_Click()
{
    // After single toggles that left the two flags alike, "both" starts
    // from them.
    if (m_allAdressRows == m_allToolbars)
        m_allBoth = m_allAdressRows;
    m_allBoth = !m_allBoth;
    m_allAdressRows = m_allBoth;
    m_allToolbars = m_allBoth;
    SetItemChecked(QStringLiteral("mn_beides"), m_allBoth);
    SetItemVisible(QStringLiteral("mn_beides"), true);
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        applyBands(w, m_allBoth, m_allBoth);
}

void MDIForm1::mn_RefreshAll_Click()
{
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        w->Refresh();
}

// --- pop-up switches ------------------------------------------------------------------

void MDIForm1::mn_EnablePopup_Click()
{
    bPopup = true;
    SetItemChecked(QStringLiteral("mn_EnablePopup"), true);
    SetItemChecked(QStringLiteral("mn_DisablePopup"), false);
    SetItemEnabled(QStringLiteral("mn_PopupToBack"), true);
    SetItemEnabled(QStringLiteral("mn_PopupReferenz"), true);
}

void MDIForm1::mn_DisablePopup_Click()
{
    bPopup = false;
    SetItemChecked(QStringLiteral("mn_EnablePopup"), false);
    SetItemChecked(QStringLiteral("mn_DisablePopup"), true);
    SetItemEnabled(QStringLiteral("mn_PopupToBack"), false);
    SetItemEnabled(QStringLiteral("mn_PopupReferenz"), false);
}

void MDIForm1::mn_PopupToBack_Click()
{
    bPopupBackgrnd = !ItemChecked(QStringLiteral("mn_PopupToBack"));
    SetItemChecked(QStringLiteral("mn_PopupToBack"), bPopupBackgrnd);
}

void MDIForm1::mn_PopupResize_Click()
{
    bPopupResize = !ItemChecked(QStringLiteral("mn_PopupResize"));
    SetItemChecked(QStringLiteral("mn_PopupResize"), bPopupResize);
}

void MDIForm1::mn_PopupReferenz_Click()
{
    bPopupReferenz = !ItemChecked(QStringLiteral("mn_PopupReferenz"));
    SetItemChecked(QStringLiteral("mn_PopupReferenz"), bPopupReferenz);
}

// --- e-mail application ---------------------------------------------------------------

void MDIForm1::mn_Email_Click()
{
    StartMail();
}

void MDIForm1::StartMail()
{
    const QString client = m_prefer.MailClient();
    if (client.trimmed().isEmpty()) {
        SuspendExternalOpen(true);
        ShowMessage(Txt(1113), Txt(1123), MsgIcon::Information);
        SuspendExternalOpen(false);
        // The settings dialog, where the application is chosen, follows
        // once the program has one.
        return;
    }
    ShowMailIndicator(false);
    if (client.left(5).compare(QLatin1String("http:"), Qt::CaseInsensitive) == 0 ||
        client.left(6).compare(QLatin1String("https:"), Qt::CaseInsensitive) == 0) {
        VisitUrl(client, true, true);
        return;
    }
    const MailCommand command = mailCommandOf(client);
    if (command.program.isEmpty() || !QProcess::startDetached(command.program, command.arguments))
        ShowMessage(Txt(1129), Txt(1127) + client + Txt(1128), MsgIcon::Critical);
}

} // namespace orv
