#include "mainwin/arrangementfiles.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "layouts/layoutitem.h"
#include "mainwin/arrangement.h"
#include "mainwin/deferredsteps.h"
#include "mainwin/waitcursor.h"
#include "mainwin/windowregistry.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>

namespace orv {
namespace {

// The file dialog of arrangement files, opening or saving.
FileDialogRequest layoutDialog(FileDialogRequest::Mode mode, const QString& title)
{
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.startFolder = DataFolder();
    request.filters = {Txt(kTextLayoutFileType) + QStringLiteral(" (*.wlt)")};
    // The name is used exactly as entered.
    request.addExtension = false;
    return request;
}

} // namespace

ArrangementFiles::ArrangementFiles(QMainWindow& main, WindowRegistry& registry,
                                   DeferredSteps& steps)
    : m_main(main), m_registry(registry), m_steps(steps)
{
}

// Before a restore: the active window back to normal state, all windows closed.
void ArrangementFiles::closeForRestore()
{
    if (frmBrowser* active = m_registry.ActiveBrowser()) {
        active->SetWindowState(0);
        Q_EMIT closeAllRequested();
    }
}

// --- saving and restoring arrangements ---------------------------------------------------

LayoutWindowState ArrangementFiles::CaptureWindowState(const frmBrowser& w)
{
    LayoutWindowState state;
    state.sXmlFeedUrl = w.FeedAddress();
    state.IsFolder = w.IsFolder();
    if (state.IsFolder)
        state.FolderUrl = w.GetFolderUrl();
    state.LocationURL = w.LocationURL();
    state.Caption = w.windowTitle();
    state.ToolbarVisible = w.CoolBar1()->bandVisible(QStringLiteral("Toolbar"));
    state.AdressbarVisible = w.CoolBar1()->bandVisible(QStringLiteral("Adress"));
    state.WindowState = w.WindowState();
    state.Geometry = pixelsToTwips(w.geometry());
    state.NormalGeometry = state.Geometry;
    return state;
}

QList<LayoutWindowState> ArrangementFiles::CaptureLayoutWindows()
{
    QList<LayoutWindowState> windows;
    QMdiSubWindow* active = m_registry.area()->currentSubWindow();
    for (frmBrowser* w : m_registry.Browser()) {
        LayoutWindowState state = CaptureWindowState(*w);
        if (state.WindowState == 1) {
            // A minimised window is kept with its normal position and size.
            w->showNormal();
            state.NormalGeometry = pixelsToTwips(w->geometry());
            w->showMinimized();
        } else {
            state.NormalGeometry = state.Geometry;
        }
        windows.append(state);
    }
    if (active && m_registry.area()->currentSubWindow() != active)
        m_registry.area()->setActiveSubWindow(active);
    return windows;
}

void ArrangementFiles::SaveArrangement()
{
    m_registry.SuspendExternalOpen(true);
    const QString file =
        Dialogs().fileDialog(layoutDialog(FileDialogRequest::Mode::Save, Txt(kTextSaveLayout)));
    m_registry.SuspendExternalOpen(false);
    if (file.isEmpty())
        return;
    const WaitCursor wait(&m_main);
    // An existing file of that name is replaced; no extension is added.
    const FileResult saved = Layout::SaveLayout(file, CaptureLayoutWindows());
    if (!saved.ok)
        ShowMessage(Txt(kTextFehlermeldung), saved.error, MsgIcon::Critical);
}

QString ArrangementFiles::ShowOpenLayoutDialog()
{
    m_registry.SuspendExternalOpen(true);
    const QString file =
        Dialogs().fileDialog(layoutDialog(FileDialogRequest::Mode::Open, Txt(kTextLoadLayout)));
    // The dialog layer switches external opening on again as it closes; it
    // stays off until the windows of the file are open.
    m_registry.SuspendExternalOpen(true);
    return file;
}

void ArrangementFiles::OpenLayoutFile()
{
    PendingLayoutFile = ShowOpenLayoutDialog();
    if (PendingLayoutFile.isEmpty()) {
        m_registry.SuspendExternalOpen(false);
        return;
    }
    // The old windows close first; the file's windows open a moment later.
    closeForRestore();
    m_steps.Start(DeferredStep::LoadLayoutFile, 150);
}

void ArrangementFiles::LoadLayoutFile()
{
    m_registry.SuspendExternalOpen(false);
    if (!PendingLayoutFile.isEmpty()) {
        const WaitCursor wait(&m_main);
        m_main.activateWindow();
        // A file that cannot be read was reported by the loader.
        const FileResult loaded = Layout::LoadLayout(
            PendingLayoutFile, [this](const LayoutOpenArgs& args) { OpenLayoutItem(args); });
        Q_UNUSED(loaded);
    }
    PendingLayoutFile.clear();
    Q_EMIT restoreFinished(); // the closed windows' own update gave way to this
}

void ArrangementFiles::ArchivAnordnungLaden(const QString& sFile)
{
    if (sFile.isEmpty())
        return;
    PendingLayoutFile = sFile;
    closeForRestore();
    m_steps.Start(DeferredStep::LoadArchivedLayout, 150);
}

void ArrangementFiles::LoadArchivedLayout()
{
    m_registry.SuspendExternalOpen(false);
    if (!PendingLayoutFile.isEmpty()) {
        const WaitCursor wait(&m_main);
        m_main.activateWindow();
        LayoutItem layout;
        layout.setFileName(PendingLayoutFile);
        layout.LoadAllFensterInfos();
        const QList<FensterInfo> infos = layout.colFensterInfo();
        for (const FensterInfo& info : infos)
            OpenLayoutItem(layoutOpenArgs(info));
    }
    PendingLayoutFile.clear();
    Q_EMIT restoreFinished(); // the closed windows' own update gave way to this
}

void ArrangementFiles::OpenLayoutItem(const LayoutOpenArgs& args)
{
    const QPointer<frmBrowser> window = m_registry.CreateBrowser(args.HistoryUrl(), false);
    if (!window)
        return;
    if (args.IsFeed())
        window->NavigateFeed(args.sUrl);
    else
        window->Navigate(QString());
    if (args.AppliesGeometry()) {
        if (!recordGeometryUsable(args)) {
            // A record that cannot be applied: say so and drop its window;
            // the next record is opened as usual.
            ShowMessage(Txt(kTextFehlerbehandlung), Txt(kTextFileReadError), MsgIcon::Warning);
            if (window)
                window->close();
            return;
        }
        // A maximised window is made normal first in any case, so that a
        // minimised record keeps its recorded normal geometry.
        if (args.SetsNormalFirst() || window->isMaximized())
            window->showNormal();
        // Whatever the file says, the window stays within reach.
        const QRect wanted = twipsToPixels(args.nLeft, args.nTop, args.nWidth, args.nHeight);
        const QWidget* area = window->parentWidget();
        const QSize smallest = window->minimumSizeHint().expandedTo(SmallestRestoredWindow);
        window->setGeometry(area ? keepInsideArea(wanted, area->rect(), smallest) : wanted);
        window->SetWindowState(args.nState);
        window->CoolBar1()->setBars(args.bAdress, args.bToolb);
        window->PubResize();
    }
}

} // namespace orv
