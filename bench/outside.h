#pragma once

// Start-up as a user sees it, from outside the process: an X display of the
// benchmark's own and a watch on its top-level windows' titles.

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>

struct xcb_connection_t;
class QSocketNotifier;

namespace orv::bench {

// The display the measured programs show their windows on: a virtual X
// server started for the benchmark (Xvfb), or, where none is installed, the
// display in $DISPLAY. The server ends with this object.
class BenchDisplay {
public:
    BenchDisplay();
    ~BenchDisplay();
    BenchDisplay(const BenchDisplay&) = delete;
    BenchDisplay& operator=(const BenchDisplay&) = delete;

    // Empty when there is no display; error() says why.
    QString name() const { return m_name; }
    QString error() const { return m_error; }

private:
    QProcess m_server;
    QString m_name;
    QString m_error;
};

// Reports the first moment a top-level window on `display` carries a title
// that contains the expected text. Event-driven: new windows and their title
// changes arrive as X events on the benchmark's event loop.
class XTitleWatch : public QObject {
    Q_OBJECT
public:
    explicit XTitleWatch(const QString& display, QObject* parent = nullptr);
    ~XTitleWatch() override;

    bool connected() const { return m_connection != nullptr; }
    // Forgets the windows seen so far and waits for `text` in a title.
    void expect(const QString& text);

Q_SIGNALS:
    // The monotonic clock (MonotonicNs) when the title was seen.
    void seen(qint64 ns);

private:
    void readEvents();
    void watchWindow(quint32 window);
    void checkTitle(quint32 window);
    quint32 atom(const char* name) const;

    xcb_connection_t* m_connection = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    quint32 m_wmName = 0;
    quint32 m_netWmName = 0;
    QString m_expected;
    bool m_reported = true;
};

// The start-up benchmark from outside: the program (its own binary, with the
// page's address as its argument) against the bare engine's probe ("show"),
// alternating, `rounds` starts each on the benchmark's display; each start is
// timed from launching the process to a window title holding the page's
// title, then the process is asked to end. `freshHome`: every start in a new,
// empty home folder; otherwise one home per side, started once before
// counting. Prints "<name>: ... ratio=<program/bare>".
int RunOutsideStartupBench(const char* name, int rounds, bool freshHome);

} // namespace orv::bench
