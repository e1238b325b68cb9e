#pragma once

// Small helpers for tests that drive the real web engine headless: load a page
// and wait for it, run a script and wait for its result. Waits are bounded.

#include "common/eventwait.h"
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>
#include <optional>

namespace orv {

inline constexpr int kEngineWaitMs = 20000;

// Loads `url` and waits for the end of the load; returns loadFinished's
// verdict (false as well when the load does not end in time).
inline bool LoadAndWait(QWebEnginePage& page, const QUrl& url, int timeoutMs = kEngineWaitMs)
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.load(url);
    if (!finished.wait(timeoutMs))
        return false;
    return finished.constLast().constFirst().toBool();
}

// Runs `script` in `world` and waits for its result (an invalid QVariant when
// none arrives in time).
inline QVariant EvalJs(QWebEnginePage& page, const QString& script,
                       quint32 world = QWebEngineScript::MainWorld, int timeoutMs = kEngineWaitMs)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    page.runJavaScript(script, world, [result](const QVariant& value) { *result = value; });
    if (!WaitFor([&] { return result->has_value(); }, timeoutMs))
        return QVariant();
    return result->value_or(QVariant());
}

// Evaluates `expression` (which may give a Promise) in the page's main world
// and waits for its outcome: "ok:" + the value as text, or "failed" when it
// throws or the Promise is rejected; empty when nothing comes in time.
inline QString AwaitJs(QWebEnginePage& page, const QString& expression,
                       int timeoutMs = kEngineWaitMs)
{
    EvalJs(page, QStringLiteral("window.__outcome = '';"
                                "Promise.resolve().then(function () { return (%1); })"
                                ".then(function (v) { window.__outcome = 'ok:' + v; },"
                                "      function () { window.__outcome = 'failed'; });")
                     .arg(expression));
    QString outcome;
    const bool arrived = WaitFor(
        [&] {
            outcome = EvalJs(page, QStringLiteral("window.__outcome")).toString();
            return !outcome.isEmpty();
        },
        timeoutMs);
    return arrived ? outcome : QString();
}

} // namespace orv
