#pragma once

#include "pages/feedpage.h"

#include <QFutureWatcher>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QNetworkAccessManager;

namespace orv {

// The load of one feed for a window, over http, https or file, without
// blocking. It is bounded three ways: in size (kMaxFeedBytes), in silence
// (nothing arrives for ActivityTimings::feedSilenceMs) and in its whole time
// (ActivityTimings::feedLoadMs, so that a server dripping one byte at a time
// cannot keep it busy for good). Every way it ends gives a page: the
// rendered feed, or the error appendix with a German reason. A feed of
// tens of megabytes takes seconds to read and render, so its page is made on
// a worker; the page reaches `done` on the user-interface thread.
class FeedLoad : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const FeedPage& page)>;

    explicit FeedLoad(QObject* parent);

    // Loads `address`; `done` hears the page once. A load still running is
    // dropped without a word.
    void Start(const QString& address, Done done);
    // A load is under way, or its page is being made.
    bool Running() const { return !m_reply.isNull() || m_rendering != nullptr; }

private:
    void finish(QNetworkReply* reply, const QString& address);
    // Renders the received feed on a worker and then delivers it.
    void render(QByteArray xml, const QString& address);
    void deliver(const FeedPage& page);
    // Whatever is under way reports nothing any more.
    void drop();

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_wholeLoad;
    // What has arrived of the feed so far (at most kMaxFeedBytes).
    QByteArray m_received;
    // The page of the received feed being made; its watcher goes with this
    // object (the window), and then the page is thrown away.
    QFutureWatcher<FeedPage>* m_rendering = nullptr;
    Done m_done;
};

// The reason the error appendix gives when a load failed with `error`;
// `httpStatus` is the server's status code (0 when none came), `host` the
// server's name.
QString FeedLoadReason(QNetworkReply::NetworkError error, int httpStatus, const QString& host);

} // namespace orv
