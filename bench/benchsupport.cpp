// The window benchmarks' side of the probes: the local server, the sides'
// home folders and the alternating rounds.

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

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

QString ProbeBench::servePages(int count, int sites)
{
    for (int i = 1; i <= count; ++i)
        m_pages.insert("/p" + QByteArray::number(i), BenchPage(i));
    QStringList bases;
    for (int site = 1; site <= sites; ++site) {
        auto server = std::make_unique<QTcpServer>();
        const QString host = QStringLiteral("127.0.0.%1").arg(site);
        server->listen(QHostAddress(host), 0);
        QTcpServer* listening = server.get();
        QObject::connect(listening, &QTcpServer::newConnection, listening, [this, listening] {
            while (QTcpSocket* socket = listening->nextPendingConnection()) {
                auto head = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket, head] { answer(socket, *head); });
            }
        });
        bases.append(QStringLiteral("http://%1:%2/p").arg(host).arg(server->serverPort()));
        m_sites.push_back(std::move(server));
    }
    return bases.join(u',');
}

// Answers one GET with its page (or 404) once the request head is whole,
// then closes the connection.
void ProbeBench::answer(QTcpSocket* socket, QByteArray& head) const
{
    head += socket->readAll();
    if (!head.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> request = head.left(head.indexOf('\r')).split(' ');
    const auto page = m_pages.constFind(request.value(1));
    const bool found = request.value(0) == "GET" && page != m_pages.cend();
    const QByteArray body = found ? *page : QByteArray("Not Found");
    QByteArray reply = found
                           ? QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8")
                           : QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/plain");
    reply += "\r\nContent-Length: " + QByteArray::number(body.size()) +
             "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
    socket->write(reply);
    socket->disconnectFromHost();
}

bool ProbeBench::ready() const
{
    const bool sitesListening = std::all_of(m_sites.begin(), m_sites.end(),
                                            [](const auto& site) { return site->isListening(); });
    if (m_root.isValid() && m_server->isListening() && sitesListening)
        return true;
    std::fprintf(stderr, "%s: no temporary folder or no local server\n", m_bench);
    return false;
}

ProbeRun ProbeBench::run(int index, const QStringList& arguments, int timeoutMs) const
{
    const ProbeSide& side = m_sides[index];
    return RunProbe(side.program, arguments, side.env, timeoutMs);
}

ProbeRun ProbeBench::runInFreshHome(int index, const QStringList& arguments, int timeoutMs) const
{
    const QTemporaryDir home(m_root.filePath(QStringLiteral("fresh-XXXXXX")));
    if (!home.isValid()) {
        ProbeRun failed;
        failed.error = QStringLiteral("no fresh home folder");
        return failed;
    }
    return RunProbe(m_sides[index].program, arguments, ProbeEnvironment(home.path()), timeoutMs);
}

double ProbeBench::startupMs(int index, const QString& url, int timeoutMs, bool freshHome) const
{
    const QStringList arguments{QStringLiteral("startup"), url};
    const ProbeRun run = freshHome ? runInFreshHome(index, arguments, timeoutMs)
                                   : this->run(index, arguments, timeoutMs);
    if (!run.ok || run.number(QStringLiteral("ok")) != 1) {
        reportFailure(index, run.error);
        return -1;
    }
    const double ms = (run.number(QStringLiteral("loaded_ns")) - double(run.startNs)) / 1e6;
    if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
        std::fprintf(stderr,
                     "%s: %s %.0f ms (main after %.1f ms, age %s ms, main thread CPU %s ms)\n",
                     m_bench, m_sides[index].name, ms,
                     (run.number(QStringLiteral("main_ns")) - double(run.startNs)) / 1e6,
                     qPrintable(run.fields.value(QStringLiteral("age_ms"))),
                     qPrintable(run.fields.value(QStringLiteral("main_cpu_ms"))));
    return ms;
}

QString Spread(const std::vector<double>& values)
{
    if (values.empty())
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1-%2").arg(*lo, 0, 'f', 0).arg(*hi, 0, 'f', 0);
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

bool ProbeBench::windowRounds(const QString& mode, const QString& baseUrls, int count, int rounds,
                              int timeoutMs,
                              const std::function<void(int side, const ProbeRun& run)>& take) const
{
    const QStringList arguments{mode, baseUrls, QString::number(count)};
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

int RunStartupBench(const char* name, int rounds, bool freshHome)
{
    constexpr int kProbeTimeoutMs = 60000;
    const QByteArray program = QByteArray("bench_") + QByteArray(name).replace('-', '_');
    ProbeBench bench(program.constData());
    bench.server().serve("/start", "text/html; charset=utf-8", BenchPage(1));
    const QString url = bench.server().url(QStringLiteral("/start")).toString();
    if (!bench.ready())
        return 1;
    return MeasureStartups(name, rounds, freshHome, [&](int side) {
        return bench.startupMs(side, url, kProbeTimeoutMs, freshHome);
    });
}

int MeasureStartups(const char* name, int rounds, bool freshHome,
                    const std::function<double(int side)>& startOnce)
{
    // One start of each side before counting: the caches of a warm start.
    if (!freshHome)
        for (int side : {ProbeBench::kProgram, ProbeBench::kBare})
            if (startOnce(side) < 0)
                return 1;
    std::vector<double> ms[2];
    for (int round = 0; round < rounds; ++round)
        for (int k = 0; k < 2; ++k) {
            const int side = (round + k) % 2;
            const double one = startOnce(side);
            if (one < 0)
                return 1;
            ms[side].push_back(one);
        }
    const std::vector<double>& programMs = ms[ProbeBench::kProgram];
    const std::vector<double>& bareMs = ms[ProbeBench::kBare];
    const double programMedian = Median(programMs);
    const double bareMedian = Median(bareMs);
    std::printf("%s: runs=%d program_ms=%.0f (%s) bare_ms=%.0f (%s) ratio=%.2f\n", name, rounds,
                programMedian, qPrintable(Spread(programMs)), bareMedian,
                qPrintable(Spread(bareMs)), programMedian / bareMedian);
    return 0;
}

} // namespace orv::bench
