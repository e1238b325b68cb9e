#pragma once

#include "tools/feedpage.h"

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
// rendered feed, or the error appendix with a German reason.
class FeedLoad : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const FeedPage& page)>;

    explicit FeedLoad(QObject* parent);

    // Loads `address`; `done` hears the page once. A load still running is
    // dropped without a word.
    void Start(const QString& address, Done done);
    // A load is under way.
    bool Running() const { return !m_reply.isNull(); }

private:
    void finish(QNetworkReply* reply, const QString& address);

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_wholeLoad;
    Done m_done;
};

// The reason the error appendix gives when a load failed with `error`;
// `httpStatus` is the server's status code (0 when none came), `host` the
// server's name.
QString FeedLoadReason(QNetworkReply::NetworkError error, int httpStatus, const QString& host);

} // namespace orv
