#include "browser/browsercommands.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/browsertoolbar.h"
#include "browser/frmbrowser.h"
#include "platform/printing.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QWebEngineDownloadRequest>

namespace orv {

QString SaveFileNameFor(const QString& title)
{
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]+"));
    QString name = title;
    name.replace(unsafe, QStringLiteral("_"));
    name = name.simplified().left(100).trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("Webseite");
    return name + QStringLiteral(".html");
}

void WebSave(frmBrowser& window)
{
    if (!window.HasDocument())
        return;
    FileDialogRequest ask;
    ask.mode = FileDialogRequest::Mode::Save;
    ask.title = Txt(611);
    ask.startFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    ask.fileName = SaveFileNameFor(window.page()->title());
    ask.filters = {QStringLiteral("Webseite, komplett (*.html;*.htm)"),
                   QStringLiteral("Webarchiv, einzelne Datei (*.mhtml;*.mht)")};
    ask.addExtension = true;
    const QString chosen = Dialogs().fileDialog(ask);
    if (chosen.isEmpty())
        return;
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    const bool archive = suffix == QLatin1String("mht") || suffix == QLatin1String("mhtml");
    window.page()->save(chosen, archive ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                        : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

void WebPrint(frmBrowser& window)
{
    if (window.HasDocument())
        PrintView(window.brwWebBrowser());
}

void WebPrintPreview(frmBrowser& window)
{
    if (window.HasDocument())
        PreviewView(window.brwWebBrowser());
}

void SetHomepage(frmBrowser& window)
{
    Prefer& prefs = window.host().prefs();
    if (!window.FeedAddress().isEmpty()) {
        prefs.setHomeTitle(FeedMarker.toString() + window.LocationURL());
        prefs.setHomeUrl(window.FeedAddress());
    } else {
        prefs.setHomeTitle(QString());
        prefs.setHomeUrl(window.IsFolder() ? window.GetFolderUrl() : window.LocationURL());
    }
    const FileResult saved = prefs.SavePref();
    window.tbToolBar()->SetHomeToolTip(prefs.HomeUrl().trimmed());
    // The start page holds for this run; that it is not stored is no secret.
    if (!saved.ok)
        ShowMessage(Txt(kTextFehlerbehandlung), saved.error + QStringLiteral(" - SetHomepage()"),
                    MsgIcon::Critical);
}

void BrowseFolder(frmBrowser& window)
{
    FileDialogRequest ask;
    ask.mode = FileDialogRequest::Mode::Folder;
    ask.title = Txt(620);
    ask.startFolder = QDir::homePath();
    const QString chosen = Dialogs().fileDialog(ask);
    if (chosen.isEmpty())
        return;
    window.NavigatePage(QUrl::fromLocalFile(chosen).toString());
}

} // namespace orv
