#include "datatool/importcommand.h"

#include "app/appinit.h"
#include "bookmarks/import.h"
#include "datatool/options.h"
#include "datatool/toolio.h"
#include "platform/bookmarkloader.h"
#include "platform/engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWebEngineProfile>

#include <cstring>
#include <optional>

namespace orv::datatool {

namespace {

const QString kDataFolder = QStringLiteral("--data-folder");
constexpr char kImportCommand[] = "import";
// A load that has not ended by then is given up (the engine hangs).
constexpr int kLoadLimitMs = 10 * 60 * 1000;

// The Qt log's handler before the import quietened it.
QtMessageHandler g_engineLog = nullptr;

// The engine's start reports on the Qt log (graphics set-up, sandbox, run-time
// folder); the tool's own output stays its result and its messages. Faults
// still show, and everything does when the user asks with QT_LOGGING_RULES.
void quietEngineLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && g_engineLog)
        g_engineLog(type, context, message);
}

// The document of the bookmark file at `path` as the browser's import reads
// it. The page lives in a profile of its own that keeps nothing on disk, so
// that a running browser's profile is left alone.
std::optional<DocSnapshot> loadDocument(const QString& path)
{
    QWebEngineProfile profile;
    BookmarkFileLoader loader(nullptr, &profile);
    std::optional<DocSnapshot> document;
    QEventLoop loop;
    QObject::connect(&loader, &BookmarkFileLoader::loaded, &loop,
                     [&document, &loop](const DocSnapshot& loaded) {
                         document = loaded;
                         loop.quit();
                     });
    QTimer::singleShot(kLoadLimitMs, &loop, &QEventLoop::quit);
    loader.load(QFileInfo(path).absoluteFilePath());
    loop.exec();
    return document;
}

} // namespace

bool NeedsEngine(const char* command)
{
    return command && std::strcmp(command, kImportCommand) == 0;
}

void PrepareImportEngine()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        g_engineLog = qInstallMessageHandler(quietEngineLog);
    // The engine shares its graphics context with the application's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    PrepareWebEngine();
}

int RunImport(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    if (!parsed.parse(args, {{kDataFolder, true}}, error))
        return Fail(error);
    if (parsed.positional().size() != 1)
        return Fail(QStringLiteral("import erwartet genau eine Bookmark-Datei."));
    const QString path = parsed.positional().constFirst();
    const QFileInfo input(path);
    if (!input.exists())
        return Fail(QStringLiteral("Die Datei gibt es nicht: ") + path);
    if (!input.isFile())
        return Fail(QStringLiteral("Keine Datei: ") + path);
    if (QFile file(path); !file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("Die Datei kann nicht gelesen werden: ") + path);

    QString dataFolder;
    if (parsed.has(kDataFolder)) {
        dataFolder = parsed.value(kDataFolder);
    } else {
        if (const FileResult created = EnsureDataFolder(); !created.ok)
            return Fail(created.error);
        dataFolder = DataFolder();
    }
    if (dataFolder.isEmpty() || !QFileInfo(dataFolder).isDir())
        return Fail(QStringLiteral("Der Datenordner existiert nicht: ") + dataFolder);

    // The folders read first, so that keys given out later stay clear of
    // the ones the archive knew.
    Book book(dataFolder);
    if (FileResult read; !book.LoadAllThema(&read) && !read.ok)
        return Fail(read.error);
    const std::optional<DocSnapshot> document = loadDocument(path);
    if (!document)
        return Fail(QStringLiteral("Die Datei wurde nicht rechtzeitig gelesen: ") + path);
    const DocNode* body = document->valid ? document->body() : nullptr;
    if (!body)
        return Fail(QStringLiteral("Die Datei enthält kein HTML-Dokument: ") + path);
    const FileResult imported = ImportBookmarkDocument(book, *body);
    if (!imported.ok)
        return Fail(imported.error);
    qsizetype bookmarks = 0;
    if (const ThemaList* folders = book.colThema()) {
        for (const Thema& folder : *folders)
            bookmarks += folder.bookmarkCount();
        const UnstorableTexts unstorable = UnstorableNames(*folders);
        if (unstorable.count() > 0)
            Warn(unstorable.notice());
    }
    const QString summary = QString::number(book.themaCount()) + QStringLiteral(" Ordner mit ") +
                            QString::number(bookmarks) + QStringLiteral(" Bookmarks importiert.\n");
    return WriteStdout(summary.toUtf8()) ? 0 : ExitFailure;
}

} // namespace orv::datatool
