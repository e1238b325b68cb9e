#include "datatool/exportcommand.h"

#include "app/appinit.h"
#include "bookmarks/export.h"
#include "datatool/archivereader.h"
#include "datatool/options.h"
#include "datatool/outputguard.h"
#include "datatool/toolio.h"

#include <QDateTime>
#include <QFileInfo>

#include <optional>

namespace orv::datatool {
namespace {

const QString kFormat = QStringLiteral("--format");
const QString kFolder = QStringLiteral("--folder");
const QString kDataFolder = QStringLiteral("--data-folder");
const QString kDate = QStringLiteral("--date");
const QString kTitle = QStringLiteral("--title");
const QString kLink = QStringLiteral("--link");
const QString kDescription = QStringLiteral("--description");
const QString kImageUrl = QStringLiteral("--image-url");
const QString kImageTitle = QStringLiteral("--image-title");
const QString kImageLink = QStringLiteral("--image-link");
const QString kOutput = QStringLiteral("--output");

std::optional<ExportFormat> formatFromName(const QString& name)
{
    if (name == u"text")
        return ExportFormat::Text;
    if (name == u"html")
        return ExportFormat::HtmlList;
    if (name == u"netscape")
        return ExportFormat::Netscape;
    if (name == u"xml")
        return ExportFormat::Xml;
    if (name == u"rss")
        return ExportFormat::Rss;
    return std::nullopt;
}

// "YYYY-MM-DDThh:mm:ss" as local time; nullopt for anything else, including
// a time the local clock skips.
std::optional<QDateTime> parseDate(const QString& text)
{
    const QString format = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");
    const QDateTime moment = QDateTime::fromString(text, format);
    if (!moment.isValid() || moment.toString(format) != text)
        return std::nullopt;
    return moment;
}

// The channel tags from the options; fails when the RSS options do not fit
// the format or the channel dialog would refuse them.
FileResult channelFromOptions(const ParsedArgs& parsed, ExportFormat format, RssChannel& channel)
{
    const QString rssOptions[] = {kTitle, kLink, kDescription, kImageUrl, kImageTitle, kImageLink};
    if (format != ExportFormat::Rss) {
        for (const QString& option : rssOptions)
            if (parsed.has(option))
                return FileResult::failure(QStringLiteral("Die Option ") + option +
                                           QStringLiteral(" gilt nur für --format rss."));
        return {};
    }
    if (!parsed.has(kTitle) || !parsed.has(kLink))
        return FileResult::failure(
            QStringLiteral("Für --format rss sind --title und --link anzugeben."));
    channel.title = parsed.value(kTitle);
    channel.link = parsed.value(kLink);
    channel.description = parsed.value(kDescription);
    const bool withImage =
        parsed.has(kImageUrl) || parsed.has(kImageTitle) || parsed.has(kImageLink);
    if (withImage) {
        channel.imageUrl = parsed.value(kImageUrl);
        channel.imageTitle = parsed.value(kImageTitle);
        channel.imageLink = parsed.value(kImageLink);
    }
    const RssCheck check = CheckRssChannel(channel, withImage);
    if (!check.ok())
        return FileResult::failure(check.message);
    return {};
}

} // namespace

int RunExport(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    if (!parsed.parse(args,
                      {{kFormat, true},
                       {kFolder, true},
                       {kDataFolder, true},
                       {kDate, true},
                       {kTitle, true},
                       {kLink, true},
                       {kDescription, true},
                       {kImageUrl, true},
                       {kImageTitle, true},
                       {kImageLink, true},
                       {kOutput, true, QStringLiteral("-o")}},
                      error))
        return Fail(error);
    if (!parsed.positional().isEmpty())
        return Fail(QStringLiteral("export: unerwartetes Argument: ") +
                    parsed.positional().front());
    if (!parsed.has(kFormat))
        return Fail(QStringLiteral("export: --format text|html|netscape|xml|rss fehlt."));
    const std::optional<ExportFormat> format = formatFromName(parsed.value(kFormat));
    if (!format)
        return Fail(QStringLiteral("Unbekanntes Format '") + parsed.value(kFormat) +
                    QStringLiteral("' (erlaubt: text, html, netscape, xml, rss)."));
    const QString out = parsed.value(kOutput);
    if (out.isEmpty())
        return Fail(QStringLiteral("export: die Ausgabedatei fehlt (-o DATEI)."));

    RssChannel channel;
    const FileResult channelCheck = channelFromOptions(parsed, *format, channel);
    if (!channelCheck.ok)
        return Fail(channelCheck.error);

    QDateTime now = QDateTime::currentDateTime();
    if (parsed.has(kDate)) {
        const std::optional<QDateTime> pinned = parseDate(parsed.value(kDate));
        if (!pinned)
            return Fail(QStringLiteral("Ungültige Zeitangabe '") + parsed.value(kDate) +
                        QStringLiteral("' (erwartet: JJJJ-MM-TTThh:mm:ss, Ortszeit)."));
        now = *pinned;
    }

    if (parsed.has(kFolder) && parsed.value(kFolder).isEmpty())
        return Fail(QStringLiteral("export: --folder braucht einen Ordnernamen."));
    const QString dataFolder = parsed.has(kDataFolder) ? parsed.value(kDataFolder) : DataFolder();
    if (dataFolder.isEmpty() || !QFileInfo(dataFolder).isDir())
        return Fail(QStringLiteral("Der Datenordner existiert nicht: ") + dataFolder);

    Book book(dataFolder);
    QStringList skipped;
    const FileResult read = ReadArchive(dataFolder, book, parsed.value(kFolder), &skipped);
    if (!read.ok)
        return Fail(read.error);
    // Every folder whose file is refused is left out and named; the export
    // fails only when nothing is left to export.
    for (const QString& message : skipped)
        Warn(message + QStringLiteral(" Der Ordner wird übergangen."));
    if (!skipped.isEmpty() && (parsed.has(kFolder) || book.themaCount() == 0))
        return Fail(QStringLiteral("Es wurde nichts exportiert: kein Ordner konnte gelesen "
                                   "werden."));

    const QString dataFile = DataFileAt(out, dataFolder, book);
    if (!dataFile.isEmpty())
        return Fail(QStringLiteral("Die Ausgabedatei ") + out +
                    QStringLiteral(" ist eine Datei des Datenordners (") + dataFile +
                    QStringLiteral(") und wird nicht überschrieben."));

    std::optional<ExportSource> source;
    if (parsed.has(kFolder)) {
        const Thema* folder = FindFolder(book, parsed.value(kFolder));
        if (!folder)
            return Fail(QStringLiteral("Das Archiv enthält keinen Ordner '") +
                        parsed.value(kFolder) + QStringLiteral("'."));
        source = ExportSource::Folder(*folder);
    } else {
        source = ExportSource::Archive(book);
    }

    const QByteArray bytes = ExportBytes(*format, *source, now, channel);
    const FileResult written = WriteExportFile(out, bytes);
    if (!written.ok)
        return Fail(written.error);
    return 0;
}

} // namespace orv::datatool
