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

QString trimmedOfBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// One record as a JSON object: the fields of its table in table order.
void writeEntries(JsonWriter& json, const QList<FieldEntry>& entries, bool showSecrets)
{
    json.beginObject();
    for (const FieldEntry& entry : entries) {
        if (entry.dump == FieldDump::Never || (entry.dump == FieldDump::OnRequest && !showSecrets))
            continue;
        json.key(QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size())));
        // Texts show without the blanks around them, also those the program
        // keeps with their padding.
        if (const QString* text = std::get_if<QString>(&entry.value))
            json.value(FieldValue(trimmedOfBlanks(*text)));
        else
            json.value(entry.value);
    }
    json.endObject();
}

// The fields of one record as the program reads them.
QList<FieldEntry> recordEntries(DumpKind kind, QByteArrayView record)
{
    switch (kind) {
    case DumpKind::Book: {
        ThemaRecord thema;
        ReadFields<ThemaFields>(record, thema);
        return FieldEntries<ThemaRecord>(ThemaFields, thema);
    }
    case DumpKind::Folder:
        return FieldEntries<Bookmark>(BookmarkFields, ReadBookmarkRecord(record));
    case DumpKind::WlBook:
        return FieldEntries<LayoutBookRecord>(LayoutBookFormat::Fields,
                                              decodeLayoutBookRecord(record));
    case DumpKind::Nlt:
        return FieldEntries<FensterInfo>(FensterInfoFormat::Fields,
                                         decodeFensterInfoRecord(record));
    case DumpKind::Wlt:
        return FieldEntries<LayoutWindowRecord>(LayoutFileFormat::Fields,
                                                decodeLayoutWindowRecord(record));
    case DumpKind::Pref:
        break;
    }
    return {};
}

// A record file as a JSON array, one object per whole record.
QByteArray dumpRecords(DumpKind kind, const QByteArray& content)
{
    JsonWriter json;
    json.beginArray();
    for (QByteArrayView record : splitRecords(content, recordLength(kind)))
        writeEntries(json, recordEntries(kind, record), false);
    json.endArray();
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
        const qint16 marker = Prefer::RecordMarker(content);
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
    JsonWriter json;
    writeEntries(json, prefer.RecordEntries(), showPasswords);
    out = json.result();
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
        // A trailing partial record is skipped, as the program's readers
        // skip it; the dump shows the whole records and says so.
        const int length = recordLength(*kind);
        const qsizetype tail = content.size() % length;
        if (tail != 0)
            Warn(path + QStringLiteral(": die Länge von ") + QString::number(content.size()) +
                 QStringLiteral(" Bytes ist kein Vielfaches der Datensatzlänge ") +
                 QString::number(length) + QStringLiteral("; die letzten ") +
                 QString::number(tail) +
                 QStringLiteral(" Bytes ergeben keinen ganzen Datensatz und werden übergangen, "
                                "wie das Programm es beim Laden tut."));
        out = dumpRecords(*kind, content);
    }
    if (!WriteStdout(out))
        return Fail(QStringLiteral("Die Ausgabe konnte nicht geschrieben werden."));
    return 0;
}

} // namespace orv::datatool
