#include "tools/window/bookmarkcommands.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/storabletext.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/linkopening.h"
#include "tools/uniqsortstrcollection.h"
#include "tools/window/bmproperty.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/rssheader.h"
#include "tools/window/toolshost.h"

#include <QDateTime>
#include <QPointer>
#include <QUrl>

namespace orv {

bool Succeeded(const FileResult& result)
{
    if (!result.ok)
        ShowMessage(Txt(kTextFehlerbehandlung), result.error, MsgIcon::Critical);
    return result.ok;
}

namespace {

const QString kTitle = QStringLiteral("Meldung");

// Text numbers of the commands.
constexpr int kTextNotEmpty = 1037;
constexpr int kTextConflict = 1038;
constexpr int kTextStartFolder = 1039;
constexpr int kTextExportDone = 1040;
constexpr int kTextExportShow = 1041;
constexpr int kTextSaveChanges = 1046;
constexpr int kTextImportTitle = 1005;
constexpr int kTextHtmlFile = 1009;
constexpr int kTextTextFile = 1010;
constexpr int kTextXmlFile = 1054;

// "Text-Datei (*.txt)" and the like.
QString filterOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Text:
        return Txt(kTextTextFile) + QStringLiteral(" (*.txt)");
    case ExportFormat::Xml:
    case ExportFormat::Rss:
        return Txt(kTextXmlFile) + QStringLiteral(" (*.xml)");
    case ExportFormat::HtmlList:
    case ExportFormat::Netscape:
        break;
    }
    return Txt(kTextHtmlFile) + QStringLiteral(" (*.htm *.html)");
}

// Dialog titles of the archive and folder exports.
int exportTitle(ExportFormat format, bool archive)
{
    switch (format) {
    case ExportFormat::Text:
        return archive ? 1004 : 1008;
    case ExportFormat::HtmlList:
        return archive ? 1003 : 1007;
    case ExportFormat::Netscape:
        return archive ? 1002 : 1006;
    case ExportFormat::Xml:
        return archive ? 1052 : 1053;
    case ExportFormat::Rss:
        break;
    }
    return archive ? 1057 : 1058;
}

QString fileAddress(const QString& path)
{
    return QUrl::fromLocalFile(path).toString();
}

// The title a dropped address makes: without blanks and one trailing
// separator, the part after the last "/" and then after the last "\".
QString titleFromAddress(const QString& address)
{
    QString title = address.trimmed();
    if (title.endsWith(u'/') || title.endsWith(u'\\'))
        title.chop(1);
    for (const QChar separator : {QChar(u'/'), QChar(u'\\')}) {
        const qsizetype last = title.lastIndexOf(separator);
        if (last >= 0 && last < title.size() - 1)
            title = title.mid(last + 1);
    }
    return title;
}

} // namespace

BookmarkCommands::BookmarkCommands(BookmarkPanel& panel, ToolsHost& host, QWidget* window)
    : m_panel(panel), m_host(host), m_window(window)
{
}

BookmarkModel& BookmarkCommands::model()
{
    return m_panel.model();
}

// --- folders ------------------------------------------------------------------------------

void BookmarkCommands::mn_AddOrdner_Click()
{
    AddDirToArchive(m_panel.NewFolderName());
}

void BookmarkCommands::AddDirToArchive(const QString& sTitel)
{
    // After the selected folder (or the folder of the selected bookmark),
    // else first.
    const QModelIndex root = m_panel.Root();
    if (!root.isValid())
        return;
    const BookmarkRef selected = BookmarkPanel::RefOf(m_panel.Selected());
    const BookmarkRef after =
        selected.isFolder() || selected.isBookmark() ? selected.folderRef() : BookmarkRef();
    m_panel.Select(m_panel.NodeOf(model().addFolder(sTitel, after)));
}

void BookmarkCommands::mn_DelOrdner_Click()
{
    const BookmarkRef ref = BookmarkPanel::RefOf(m_panel.Selected());
    const Thema* folder = ref.isFolder() ? model().folder(ref) : nullptr;
    if (!folder)
        return;
    if (folder->bookmarkCount() > 0) {
        if (folder->DirName().trimmed() == m_host.startFolderName().trimmed()) {
            ShowMessage(kTitle, Txt(kTextStartFolder) + QStringLiteral("\r\n") + Txt(kTextConflict),
                        MsgIcon::Warning);
            return;
        }
        if (ShowMessage(kTitle, Txt(kTextNotEmpty), MsgIcon::Question, MsgButtons::OkCancel,
                        MsgAnswer::Ok) != MsgAnswer::Ok)
            return;
    }
    Succeeded(model().deleteFolder(ref));
}

// --- bookmarks ----------------------------------------------------------------------------

void BookmarkCommands::AddBkmToArchive(const QString& sTitel, const QString& sUrl,
                                       const QString& sInfo)
{
    const BookmarkRef ref = BookmarkPanel::RefOf(m_panel.Selected());
    if (!model().folder(ref))
        return;
    Bookmark bookmark;
    bookmark.Titel = sTitel;
    bookmark.URL = sUrl;
    bookmark.Info = sInfo;
    bookmark.Adresszeile = true;
    bookmark.Toolbar = true;
    // After a selected bookmark, else first in the selected folder.
    model().copyBookmark(bookmark, BookmarkPlace{ref, true});
}

void BookmarkCommands::updateBookmark(const BookmarkRef& ref, const QString& sTitel,
                                      const QString& sUrl, const QString& sInfo, bool bAdress,
                                      bool bToolb)
{
    Bookmark values;
    values.Titel = sTitel;
    values.URL = sUrl;
    values.Info = sInfo;
    values.Adresszeile = bAdress;
    values.Toolbar = bToolb;
    model().updateBookmark(ref, values);
}

bool BookmarkCommands::showBookmarkDialog(bool add)
{
    const BookmarkRef selected = BookmarkPanel::RefOf(m_panel.Selected());
    Bookmark* edited = add ? nullptr : model().bookmark(selected);
    if (!add && !edited)
        return false;
    Thema* folder = model().folder(selected);
    QPointer<frmBMProperty> dialog = new frmBMProperty(m_window);
    dialog->setup(add, bBatchmode, BkTitel, BkUrl, edited);
    QSet<QString> taken;
    if (const BookmarkList* list = folder ? folder->colBookmark() : nullptr)
        for (const Bookmark& b : *list)
            taken.insert(b.URL);
    dialog->setTakenAddresses(std::move(taken));
    const int answer = Dialogs().execDialog(*dialog);
    if (!dialog)
        return false;
    if (dialog->batchCancelled()) {
        bBatchmode = false;
        bStopBookmarking = true;
    }
    const bool accepted = answer == 1;
    if (accepted) {
        const QString title = dialog->Title();
        if (add)
            AddBkmToArchive(title, dialog->Address(), dialog->Description());
        else if (model().bookmark(selected) == edited)
            updateBookmark(selected, title, dialog->Address(), dialog->Description(),
                           dialog->ShowAddressBar(), dialog->ShowToolbar());
        BkTitel.clear();
        BkUrl.clear();
        UnstorableTexts unstorable;
        unstorable.check(title, dialog->Description());
        m_panel.reportUnstorable(unstorable);
    }
    delete dialog.data();
    return accepted;
}

void BookmarkCommands::mn_Hinzufuegen_Click()
{
    showBookmarkDialog(true);
}

void BookmarkCommands::mn_Eigenschaften_Click()
{
    showBookmarkDialog(false);
}

namespace {

void proposeFrom(const ToolsWindowInfo& window, QString& title, QString& url)
{
    title = window.feedAddress.isEmpty() ? window.caption : FeedMarker.toString() + window.caption;
    url = window.feedAddress.isEmpty() ? window.address : window.feedAddress;
}

} // namespace

void BookmarkCommands::mn_Hinzuvon_Click()
{
    const std::optional<ToolsWindowInfo> front = m_host.frontWindow();
    if (!front)
        return;
    proposeFrom(*front, BkTitel, BkUrl);
    bBatchmode = false;
    showBookmarkDialog(true);
}

void BookmarkCommands::mn_HinzuvonAll_Click()
{
    mn_Hinzuvon_Click();
    bStopBookmarking = false;
    bBatchmode = true;
    for (const ToolsWindowInfo& window : m_host.allWindows()) {
        if (bStopBookmarking)
            break;
        proposeFrom(window, BkTitel, BkUrl);
        showBookmarkDialog(true);
    }
    bBatchmode = false;
}

void BookmarkCommands::mn_HinzuvonLinks_Click()
{
    m_host.frontDocument(&m_panel, [this](const DocSnapshot& document) { addLinks(document); });
}

void BookmarkCommands::addLinks(const DocSnapshot& document)
{
    const DocSnapshot* shown = &document;
    if (const FrameSnapshot* frame = document.activeFrame()) {
        if (frame->refused || !frame->document) {
            ShowMessage(QStringLiteral("Fehlerbehandlung"),
                        QStringLiteral("Cross-Domain Referenz\r\nDOM-Zugriff verweigert !"),
                        MsgIcon::Warning);
            return;
        }
        shown = frame->document.get();
    }
    if (!shown->valid) {
        if (!shown->error.isEmpty())
            ShowMessage(QStringLiteral("Fehlerbehandlung"),
                        shown->error + QStringLiteral(" [0] - mn_HinzuvonLinks_Click()"),
                        MsgIcon::Warning);
        return;
    }
    for (const QString& address : LinkAddresses(*shown))
        AddBkmToArchive(address, address, QString());
}

QStringList BookmarkCommands::LinkAddresses(const DocSnapshot& document)
{
    if (!document.valid || !document.htmlDocument)
        return {};
    const QString base = document.url.left(document.url.lastIndexOf(u'/') + 1);
    const qsizetype serverEnd = base.indexOf(u'/', 7);
    const QString server = serverEnd >= 0 ? base.left(serverEnd) : base;
    UniqSortStrCollection collection;
    for (const DocNode* element : document.elements()) {
        QString value;
        if (element->nodeName == QLatin1String("A"))
            value = element->href.isEmpty() ? element->attribute(u"href") : element->href;
        else if (element->nodeName == QLatin1String("FRAME"))
            value = element->src.isEmpty() ? element->attribute(u"src") : element->src;
        else
            continue;
        if (value.isEmpty() || value.contains(QLatin1String("javascript:"), Qt::CaseInsensitive) ||
            value.contains(QLatin1String("mailto:"), Qt::CaseInsensitive))
            continue;
        const QString part =
            value.left(value.indexOf(u'#') < 0 ? value.size() : value.indexOf(u'#'));
        if (part.isEmpty())
            continue;
        if (part.contains(u':'))
            collection.Add(part);
        else if (part.startsWith(u'/'))
            collection.Add(server + part);
        else
            collection.Add(base + part);
    }
    return collection.SortedStrCollection();
}

void BookmarkCommands::mn_Loeschen_Click()
{
    model().removeBookmark(BookmarkPanel::RefOf(m_panel.Selected()));
}

void BookmarkCommands::openOne(const Bookmark& bookmark)
{
    if (bookmark.isFeed())
        m_host.openXmlFeedBkm(bookmark.URL.trimmed());
    else
        m_host.visitUrl(bookmark.URL, bookmark.Adresszeile, bookmark.Toolbar);
}

void BookmarkCommands::OpenBookmark()
{
    if (const Bookmark* bookmark = m_panel.BookmarkOf(m_panel.Selected()))
        openOne(*bookmark);
}

void BookmarkCommands::OpenAll()
{
    const BookmarkRef ref = BookmarkPanel::RefOf(m_panel.Selected());
    const Thema* folder = ref.isFolder() ? model().folder(ref) : nullptr;
    if (!folder || folder->bookmarkCount() == 0)
        return;
    const int count = int(folder->bookmarkCount());
    if (NoticeNeeded(count, m_host.windowCount(), m_host.warnUser())) {
        bool warnUser = m_host.warnUser();
        const bool confirmed = ConfirmManyWindows(m_window, count, warnUser);
        m_host.setWarnUser(warnUser);
        if (!confirmed)
            return;
    }
    m_panel.setBusy(true);
    m_host.setMainBusy(true);
    for (const Bookmark& bookmark : *folder->colBookmark()) {
        const bool last = m_host.windowCount() >= m_host.maxBrowser();
        openOne(bookmark);
        if (last)
            break;
    }
    m_host.setMainBusy(false);
    m_panel.setBusy(false);
}

void BookmarkCommands::mn_StartBkmRoundtrip_Click()
{
    Thema* folder = m_panel.FolderOf(m_panel.Selected());
    if (!folder || folder->bookmarkCount() == 0)
        return;
    // The trip reads the folder file: it must hold what the tree shows.
    if (folder->IsEdit() && !Succeeded(folder->SaveBookmarks(model().book().folder())))
        return;
    m_host.startBookmarkRoundtrip(folder->FileName());
}

void BookmarkCommands::mn_setHome_Click()
{
    if (const Bookmark* bookmark = m_panel.BookmarkOf(m_panel.Selected()))
        m_host.setStartPage(bookmark->Titel, bookmark->URL);
}

// --- drops ----------------------------------------------------------------------------------

QString BookmarkCommands::DropTitle(const QString& address, const QString& dropped,
                                    const QString& historyTitle)
{
    if (!historyTitle.isEmpty())
        return historyTitle;
    const QString title = titleFromAddress(address);
    if (address.endsWith(title) && address != dropped)
        return titleFromAddress(dropped);
    return title;
}

void BookmarkCommands::DropAddress(const QString& dropped)
{
    const BookmarkRef selected = BookmarkPanel::RefOf(m_panel.Selected());
    if (!selected.isFolder() && !selected.isBookmark())
        return;
    if (dropped.trimmed().isEmpty())
        return;
    // A dropped file address is kept as the local path it names.
    QString address = dropped;
    if (address.startsWith(QLatin1String("file:///")))
        address = QUrl(address).toLocalFile();
    AddBkmToArchive(DropTitle(address, dropped, m_host.historyTitle(address)), address, QString());
}

// --- moves and the clipboard ------------------------------------------------------------

void BookmarkCommands::CutBookmark()
{
    const BookmarkRef ref = BookmarkPanel::RefOf(m_panel.Selected());
    if (!model().bookmark(ref))
        return;
    m_cut = ref;
    m_copied.reset();
}

void BookmarkCommands::CopyBookmark()
{
    const Bookmark* bookmark = m_panel.BookmarkOf(m_panel.Selected());
    if (!bookmark)
        return;
    m_copied = *bookmark;
    m_cut = {};
}

void BookmarkCommands::PasteBookmark()
{
    const BookmarkRef target = BookmarkPanel::RefOf(m_panel.Selected());
    if (const Bookmark* cut = model().bookmark(m_cut)) {
        if (place(*cut, m_cut, target, true))
            m_cut = {};
    } else if (m_copied) {
        place(*m_copied, {}, target, true);
    }
}

void BookmarkCommands::PlaceBookmark(const BookmarkRef& from, const BookmarkRef& target, bool after,
                                     bool copy)
{
    if (const Bookmark* bookmark = model().bookmark(from))
        place(*bookmark, copy ? BookmarkRef() : from, target, after);
}

bool BookmarkCommands::place(const Bookmark& value, const BookmarkRef& movedFrom,
                             const BookmarkRef& target, bool after)
{
    if (!target.isFolder() && !target.isBookmark())
        return false;
    const BookmarkPlace where{target, after};
    const BookmarkRef placed = movedFrom.isBookmark() ? model().moveBookmark(movedFrom, where)
                                                      : model().copyBookmark(value, where);
    if (!placed.isBookmark())
        return false;
    m_panel.Select(m_panel.NodeOf(placed));
    return true;
}

// --- export and import ----------------------------------------------------------------------

void BookmarkCommands::ExportArchive(ExportFormat format)
{
    exportFlow(format, ExportSource::Archive(model().book()), true);
}

void BookmarkCommands::ExportFolder(ExportFormat format)
{
    const Thema* folder = m_panel.FolderOf(m_panel.Selected());
    if (folder)
        exportFlow(format, ExportSource::Folder(*folder), false);
}

void BookmarkCommands::exportFlow(ExportFormat format, const ExportSource& source, bool archive)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = Txt(exportTitle(format, archive));
    request.startFolder = DataFolder();
    request.filters = QStringList{filterOf(format)};
    const QString path = Dialogs().fileDialog(request);
    if (path.isEmpty())
        return;
    RssChannel channel;
    if (format == ExportFormat::Rss) {
        rssnOpen = 2;
        rssFilename = path;
        QPointer<frmRSSHeader> dialog = new frmRSSHeader(m_window, rssTitle, rssFilename);
        const int answer = Dialogs().execDialog(*dialog);
        const bool create = answer == 1 && dialog;
        if (create) {
            channel = dialog->Channel();
            rssTitle = channel.title;
            rssFilename = dialog->FileName();
            rssnOpen = dialog->OpenMode();
        }
        delete dialog.data();
        if (!create)
            return;
    }
    const QString target = format == ExportFormat::Rss ? rssFilename : path;
    m_panel.setBusy(true);
    const FileResult written =
        WriteExportFile(target, ExportBytes(format, source, QDateTime::currentDateTime(), channel));
    m_panel.setBusy(false);
    const bool xml = format == ExportFormat::Xml || format == ExportFormat::Rss;
    if (!written.ok && xml) {
        ShowMessage(kTitle, written.error, MsgIcon::Warning);
        return;
    }
    if (format == ExportFormat::Rss) {
        if (rssnOpen == 1)
            m_host.openXmlFeedBkm(fileAddress(target));
        else if (rssnOpen == 2)
            m_host.visitUrl(fileAddress(target), true, true);
        return;
    }
    if (ShowMessage(kTitle, Txt(kTextExportDone) + target + Txt(kTextExportShow),
                    MsgIcon::Information, MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes)
        m_host.visitUrl(fileAddress(target), true, true);
}

void BookmarkCommands::mn_ImpNetscapeHtml_Click()
{
    m_panel.setImportArmed(true);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = Txt(kTextImportTitle);
    request.startFolder = DataFolder();
    request.filters = QStringList{filterOf(ExportFormat::Netscape)};
    const QString path = Dialogs().fileDialog(request);
    if (path.isEmpty())
        return;
    // The import replaces the whole archive: unsaved edits are saved or
    // given up first, as when the tab is left; Cancel keeps them and the
    // archive as it is.
    if (model().book().IsModified()) {
        m_host.suspendExternalOpen(true);
        const MsgAnswer answer = ShowMessage(kTitle, Txt(kTextSaveChanges), MsgIcon::Question,
                                             MsgButtons::YesNoCancel, MsgAnswer::Yes);
        m_host.suspendExternalOpen(false);
        if (answer == MsgAnswer::Cancel)
            return;
        if (answer == MsgAnswer::Yes) {
            m_panel.setBusy(true);
            const FileResult saved = model().book().SaveAllThema();
            m_panel.setBusy(false);
            if (!Succeeded(saved))
                return;
        }
        model().book().ClearModified();
    }
    Q_EMIT m_panel.importRequested(path);
}

} // namespace orv
