#include "datatool/dumpcommand.h"

#include "bookmarks/bookmark.h"
#include "bookmarks/thema.h"
#include "datatool/jsonwriter.h"
#include "datatool/options.h"
#include "datatool/toolio.h"
#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

#include <QFileInfo>

#include <optional>

namespace orv::datatool {
namespace {

enum class DumpKind { Pref, Book, Folder, WlBook, Nlt, Wlt };

std::optional<DumpKind> kindFromOption(const QString& name)
{
    if (name == u"pref")
        return DumpKind::Pref;
    if (name == u"book")
        return DumpKind::Book;
    if (name == u"folder")
        return DumpKind::Folder;
    if (name == u"wlbook")
        return DumpKind::WlBook;
    if (name == u"nlt")
        return DumpKind::Nlt;
    if (name == u"wlt")
        return DumpKind::Wlt;
    return std::nullopt;
}

// The kind a file name tells (files copied from other systems may differ in
// case).
std::optional<DumpKind> kindFromFileName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const auto is = [&name](QLatin1String other) {
        return name.compare(other, Qt::CaseInsensitive) == 0;
    };
    const auto endsWith = [&name](QLatin1String suffix) {
        return name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive);
    };
    if (is(QLatin1String("Pref.orp")))
        return DumpKind::Pref;
    if (is(QLatin1String("Book.bkm")))
        return DumpKind::Book;
    if (is(QLatin1String("WLBook.orp")))
        return DumpKind::WlBook;
    if (endsWith(QLatin1String(".nlt")))
        return DumpKind::Nlt;
    if (endsWith(QLatin1String(".wlt")))
        return DumpKind::Wlt;
    if (endsWith(QLatin1String(".bkm")))
        return DumpKind::Folder;
    return std::nullopt;
}

int recordLength(DumpKind kind)
{
    switch (kind) {
    case DumpKind::Pref:
        return Prefer::RecordLength;
    case DumpKind::Book:
        return ThemaRecordLength;
    case DumpKind::Folder:
        return BookmarkRecordLength;
    case DumpKind::WlBook:
        return LayoutBookFormat::RecordLength;
    case DumpKind::Nlt:
        return FensterInfoFormat::RecordLength;
    case DumpKind::Wlt:
        return LayoutFileFormat::RecordLength;
    }
    return 1;
}

void writeThema(JsonWriter& json, QByteArrayView record)
{
    const Thema t = ReadThemaRecord(record);
    json.beginObject();
    json.field(QStringLiteral("Sequenz"), t.Sequenz());
    json.field(QStringLiteral("Nr"), t.Nr());
    json.field(QStringLiteral("DirName"), t.DirName());
    json.field(QStringLiteral("FileName"), t.FileName());
    json.endObject();
}

void writeBookmark(JsonWriter& json, QByteArrayView record)
{
    const Bookmark b = ReadBookmarkRecord(record);
    json.beginObject();
    json.field(QStringLiteral("Nr"), b.Nr);
    json.field(QStringLiteral("Titel"), b.Titel);
    json.field(QStringLiteral("URL"), b.URL);
    json.field(QStringLiteral("Info"), b.Info);
    json.field(QStringLiteral("Adresszeile"), b.Adresszeile);
    json.field(QStringLiteral("Toolbar"), b.Toolbar);
    json.endObject();
}

void writeLayoutBook(JsonWriter& json, QByteArrayView record)
{
    const LayoutBookRecord r = decodeLayoutBookRecord(record);
    json.beginObject();
    json.field(QStringLiteral("Sequenz"), r.Sequenz);
    json.field(QStringLiteral("LayoutName"), r.LayoutName);
    json.field(QStringLiteral("FileName"), r.FileName);
    json.field(QStringLiteral("Info"), r.Info);
    json.endObject();
}

void writeFensterInfo(JsonWriter& json, QByteArrayView record)
{
    const FensterInfo f = decodeFensterInfoRecord(record);
    json.beginObject();
    json.field(QStringLiteral("Nr"), f.Nr);
    json.field(QStringLiteral("x"), f.x);
    json.field(QStringLiteral("y"), f.y);
    json.field(QStringLiteral("Breite"), f.Breite);
    json.field(QStringLiteral("Hoehe"), f.Hoehe);
    json.field(QStringLiteral("URL"), f.URL);
    json.field(QStringLiteral("Titel"), f.Titel);
    json.field(QStringLiteral("ToolbarVisible"), f.ToolbarVisible);
    json.field(QStringLiteral("AdressbarVisible"), f.AdressbarVisible);
    json.field(QStringLiteral("WindowState"), f.WindowState);
    json.endObject();
}

void writeLayoutWindow(JsonWriter& json, QByteArrayView record)
{
    const LayoutWindowRecord r = decodeLayoutWindowRecord(record);
    json.beginObject();
    json.field(QStringLiteral("Nr"), r.Nr);
    json.field(QStringLiteral("Left"), r.Left);
    json.field(QStringLiteral("Top"), r.Top);
    json.field(QStringLiteral("Width"), r.Width);
    json.field(QStringLiteral("Height"), r.Height);
    json.field(QStringLiteral("URL"), r.URL);
    json.field(QStringLiteral("ToolbarVisible"), r.ToolbarVisible);
    json.field(QStringLiteral("AdressbarVisible"), r.AdressbarVisible);
    json.field(QStringLiteral("WindowState"), r.WindowState);
    json.field(QStringLiteral("Titel"), r.Titel);
    json.endObject();
}

// A record file as a JSON array, one object per record.
QByteArray dumpRecords(DumpKind kind, const QByteArray& content)
{
    void (*writeOne)(JsonWriter&, QByteArrayView) = nullptr;
    switch (kind) {
    case DumpKind::Book:
        writeOne = writeThema;
        break;
    case DumpKind::Folder:
        writeOne = writeBookmark;
        break;
    case DumpKind::WlBook:
        writeOne = writeLayoutBook;
        break;
    case DumpKind::Nlt:
        writeOne = writeFensterInfo;
        break;
    case DumpKind::Wlt:
        writeOne = writeLayoutWindow;
        break;
    case DumpKind::Pref:
        return {};
    }
    JsonWriter json;
    json.beginArray();
    for (QByteArrayView record : splitRecords(content, recordLength(kind)))
        writeOne(json, record);
    json.endArray();
    return json.result();
}

QByteArray dumpPref(const Prefer& p, qint16 marker, bool showPasswords)
{
    JsonWriter json;
    json.beginObject();
    json.field(QStringLiteral("Marker"), marker);
    json.field(QStringLiteral("HomeUrl"), p.HomeUrl());
    json.field(QStringLiteral("HomeTitle"), p.HomeTitle());
    json.field(QStringLiteral("SearchEngine"), p.SearchEngine());
    json.field(QStringLiteral("SearchEngineFile"), p.SearchEngineFile());
    json.field(QStringLiteral("MailClient"), p.MailClient());
    json.field(QStringLiteral("StartBrowser"), p.StartBrowser());
    json.field(QStringLiteral("StatusBar"), p.StatusBar());
    json.field(QStringLiteral("TabStrip"), p.TabStrip());
    json.field(QStringLiteral("Toolbar"), p.Toolbar());
    json.field(QStringLiteral("Adresszeile"), p.Adresszeile());
    json.field(QStringLiteral("MdiWidth"), p.MdiWidth());
    json.field(QStringLiteral("MdiHeight"), p.MdiHeight());
    json.field(QStringLiteral("MdiState"), p.MdiState());
    json.field(QStringLiteral("HistoryRows"), p.HistoryRows());
    json.field(QStringLiteral("LoadOption"), p.LoadOption());
    json.field(QStringLiteral("Group"), p.Group());
    json.field(QStringLiteral("GroupFile"), p.GroupFile());
    json.field(QStringLiteral("Layout"), p.Layout());
    const int accounts = Prefer::MailAccountCount;
    for (int i = 1; i <= accounts; ++i)
        json.field(QStringLiteral("MailSrv") + QString::number(i), p.MailSrv(i));
    for (int i = 1; i <= accounts; ++i)
        json.field(QStringLiteral("User") + QString::number(i), p.User(i));
    if (showPasswords)
        for (int i = 1; i <= accounts; ++i)
            json.field(QStringLiteral("Pwd") + QString::number(i), p.Pwd(i));
    for (int i = 1; i <= accounts; ++i)
        json.field(QStringLiteral("EnableMailCheck") + QString::number(i), p.EnableMailCheck(i));
    json.field(QStringLiteral("CheckIntervall"), p.CheckIntervall());
    json.field(QStringLiteral("TabButton"), p.TabButton());
    json.field(QStringLiteral("TabFontBold"), p.TabFontBold());
    json.field(QStringLiteral("TabAlign"), p.TabAlign());
    json.field(QStringLiteral("AllowOpenWin"), p.AllowOpenWin());
    json.field(QStringLiteral("AllowResizeWin"), p.AllowResizeWin());
    json.field(QStringLiteral("AllowWinInBack"), p.AllowWinInBack());
    json.field(QStringLiteral("AllowWinRef"), p.AllowWinRef());
    json.field(QStringLiteral("IEPopupBlocker"), p.IEPopupBlocker());
    json.endObject();
    return json.result();
}

// The preference record as the program reads it, or the reason the program
// would not take it as it stands.
FileResult dumpPrefFile(const QString& path, const QByteArray& content, bool showPasswords,
                        QByteArray& out)
{
    const qsizetype length = Prefer::RecordLength;
    if (content.size() != length) {
        const QString what = content.size() < length ? QStringLiteral(" ist zu kurz: ")
                                                     : QStringLiteral(" ist zu lang: ");
        return FileResult::failure(path + what + QString::number(content.size()) +
                                   QStringLiteral(" Bytes statt genau einem Datensatz von ") +
                                   QString::number(length) + QStringLiteral(" Bytes."));
    }
    Prefer prefer;
    switch (prefer.fromRecord(content)) {
    case Prefer::RecordCheck::Valid:
        break;
    case Prefer::RecordCheck::Invalid: {
        const qint16 marker = RecordReader(content).int16(0);
        const QString reason =
            marker != -1
                ? QStringLiteral("die Gültigkeitsmarke ist ") + QString::number(marker) +
                      QStringLiteral(" statt -1")
                : QStringLiteral("das Feld MailClient oder SearchEngineFile beginnt mit einem "
                                 "NUL-Byte");
        return FileResult::failure(
            path + QStringLiteral(" ist ungültig (") + reason +
            QStringLiteral("); das Programm würde sie beim Start durch die Voreinstellungen "
                           "ersetzen."));
    }
    case Prefer::RecordCheck::OldFormat:
        return FileResult::failure(
            path + QStringLiteral(" enthält ein Kennwortfeld alten Formats; das Programm würde "
                                  "beim Start mit einer Meldung beendet."));
    }
    out = dumpPref(prefer, RecordReader(content).int16(0), showPasswords);
    return {};
}

} // namespace

int RunDump(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    if (!parsed.parse(
            args, {{QStringLiteral("--kind"), true}, {QStringLiteral("--show-passwords"), false}},
            error))
        return Fail(error);
    if (parsed.positional().isEmpty())
        return Fail(QStringLiteral("dump: keine Datei angegeben (Aufruf: orvane-data dump "
                                   "[--kind ART] [--show-passwords] DATEI)."));
    if (parsed.positional().size() > 1)
        return Fail(QStringLiteral("dump: nur eine Datei erlaubt, angegeben: ") +
                    parsed.positional().join(QStringLiteral(", ")));
    const QString path = parsed.positional().front();

    std::optional<DumpKind> kind;
    if (parsed.has(QStringLiteral("--kind"))) {
        kind = kindFromOption(parsed.value(QStringLiteral("--kind")));
        if (!kind)
            return Fail(QStringLiteral("Unbekannte Art '") +
                        parsed.value(QStringLiteral("--kind")) +
                        QStringLiteral("' (erlaubt: pref, book, folder, wlbook, nlt, wlt)."));
    } else {
        kind = kindFromFileName(path);
        if (!kind)
            return Fail(QStringLiteral("Die Art der Datei ist am Namen nicht zu erkennen: ") +
                        path +
                        QStringLiteral(" (bitte --kind pref|book|folder|wlbook|nlt|wlt angeben)."));
    }

    QByteArray content;
    const FileResult read = ReadInputFile(path, content);
    if (!read.ok)
        return Fail(read.error);

    QByteArray out;
    if (*kind == DumpKind::Pref) {
        const FileResult dumped =
            dumpPrefFile(path, content, parsed.has(QStringLiteral("--show-passwords")), out);
        if (!dumped.ok)
            return Fail(dumped.error);
    } else {
        const int length = recordLength(*kind);
        const qsizetype tail = content.size() % length;
        if (tail != 0)
            return Fail(
                path + QStringLiteral(": die Länge von ") + QString::number(content.size()) +
                QStringLiteral(" Bytes ist kein Vielfaches der Datensatzlänge ") +
                QString::number(length) + QStringLiteral("; das Programm würde die letzten ") +
                QString::number(tail) + QStringLiteral(" Bytes übergehen."));
        out = dumpRecords(*kind, content);
    }
    if (!WriteStdout(out))
        return Fail(QStringLiteral("Die Ausgabe konnte nicht geschrieben werden."));
    return 0;
}

} // namespace orv::datatool
