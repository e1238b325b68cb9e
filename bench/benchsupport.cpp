// The window benchmarks' side of the probes: the local server, the sides'
// home folders and the alternating rounds.

#include "benchsupport.h"
#include "common/testhttpserver.h"

namespace orv::bench {

ProbeBench::ProbeBench(const char* bench)
    : m_bench(bench), m_server(std::make_unique<TestHttpServer>())
{
    // Without a temporary folder the sides stay empty (ready() says so):
    // their home folders must not land anywhere else.
    if (!m_root.isValid())
        return;
    m_sides[kProgram] = {"program", QStringLiteral(ORVANE_PROBE_PROGRAM),
                         ProbeEnvironment(m_root.filePath(QStringLiteral("program")))};
    m_sides[kBare] = {"bare", QStringLiteral(ORVANE_PROBE_BARE),
                      ProbeEnvironment(m_root.filePath(QStringLiteral("bare")))};
}

ProbeBench::~ProbeBench() = default;

QString ProbeBench::servePages(int count)
{
    for (int i = 1; i <= count; ++i)
        m_server->serve("/p" + QByteArray::number(i), "text/html; charset=utf-8", BenchPage(i));
    return m_server->url(QStringLiteral("/p")).toString();
}

bool ProbeBench::ready() const
{
    if (m_root.isValid() && m_server->isListening())
        return true;
    std::fprintf(stderr, "%s: no temporary folder or no local server\n", m_bench);
    return false;
}

ProbeRun ProbeBench::run(int index, const QStringList& arguments, int timeoutMs) const
{
    const ProbeSide& side = m_sides[index];
    return RunProbe(side.program, arguments, side.env, timeoutMs);
}

void ProbeBench::reportFailure(int index, const QString& detail) const
{
    std::fprintf(stderr, "%s: %s side failed: %s\n", m_bench, m_sides[index].name,
                 qPrintable(detail));
}

bool ProbeBench::alternate(int rounds, const std::function<bool(int side)>& runOnce) const
{
    for (int round = 0; round < rounds; ++round)
        for (int k = 0; k < 2; ++k)
            if (!runOnce((round + k) % 2))
                return false;
    return true;
}

bool ProbeBench::windowRounds(const QString& mode, const QString& baseUrl, int count, int rounds,
                              int timeoutMs,
                              const std::function<void(int side, const ProbeRun& run)>& take) const
{
    const QStringList arguments{mode, baseUrl, QString::number(count)};
    return alternate(rounds, [&](int side) {
        const ProbeRun answer = run(side, arguments, timeoutMs);
        const QString loaded = answer.fields.value(QStringLiteral("loaded"));
        if (!answer.ok || answer.number(QStringLiteral("loaded")) != count) {
            reportFailure(side, answer.error + QStringLiteral(" loaded=") + loaded);
            return false;
        }
        take(side, answer);
        return true;
    });
}

} // namespace orv::bench
