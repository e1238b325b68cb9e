#pragma once

// Runs the real orvane-data program and keeps what it said.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace orv {

struct ToolRun {
    int code = -1; // -1: did not end in time, -2: crashed
    QByteArray out;
    QByteArray err;
};

inline ToolRun RunDataTool(const QStringList& args, const QProcessEnvironment& env = {},
                           int timeoutMs = 60000)
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(QStringLiteral(ORVANE_DATA_TOOL), args);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace orv
