// orvane-data: reads the program's data files as JSON, writes the exports
// of the bookmark archive and imports a bookmark file from the command line.
// Only the import changes the data folder.

#include "app/appinit.h"
#include "app/texts.h"
#include "datatool/dumpcommand.h"
#include "datatool/exportcommand.h"
#include "datatool/importcommand.h"
#include "datatool/toolio.h"
#include "datatool/usage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <csignal>
#include <exception>
#include <memory>

using namespace orv;
using namespace orv::datatool;

namespace {

int run(const QStringList& args)
{
    if (args.isEmpty())
        return Fail(QStringLiteral("Kein Befehl angegeben (Hilfe: orvane-data --help)."));
    const QString& command = args.front();
    const QStringList rest = args.mid(1);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        if (!rest.isEmpty())
            return Fail(QStringLiteral("help erwartet keine weiteren Argumente."));
        return WriteStdout(UsageText().toUtf8()) ? 0 : ExitFailure;
    }
    if (command == u"--version") {
        if (!rest.isEmpty())
            return Fail(QStringLiteral("--version erwartet keine weiteren Argumente."));
        return WriteStdout((VersionLine() + u'\n').toUtf8()) ? 0 : ExitFailure;
    }
    if (command == u"dump")
        return RunDump(rest);
    if (command == u"export")
        return RunExport(rest);
    if (command == u"import")
        return RunImport(rest);
    return Fail(QStringLiteral("Unbekannter Befehl: ") + command +
                QStringLiteral(" (Hilfe: orvane-data --help)."));
}

} // namespace

int main(int argc, char* argv[])
{
    // A reader that goes away early (a pipe into "head") is reported as a
    // failed write instead of ending the program by the signal.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        // Only the import starts the web engine, which needs a graphical
        // application (headless where there is no display); every other
        // command keeps the plain one.
        std::unique_ptr<QCoreApplication> app;
        if (argc > 1 && NeedsEngine(argv[1])) {
            PrepareImportEngine();
            app = std::make_unique<QGuiApplication>(argc, argv);
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        LoadTexts(AppFolder());
        return run(QCoreApplication::arguments().mid(1));
    } catch (const std::exception& e) {
        return Fail(QStringLiteral("Interner Fehler: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Fail(QStringLiteral("Interner Fehler."));
    }
}
