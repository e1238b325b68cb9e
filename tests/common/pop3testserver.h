#pragma once

// A scripted POP3 server for tests on 127.0.0.1 at a free port. It greets,
// answers each command from a table verb -> reply pieces (pieces are written
// one by one, a little apart, so that the client reads them separately),
// records every command line and whether it came over TLS, and ends the
// connection after answering QUIT. With a certificate it answers STLS by
// starting TLS, or speaks TLS from the start.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

namespace orv {

struct Pop3ReceivedLine {
    QByteArray line;
    bool encrypted = false;
};

class Pop3TestServer : public QTcpServer {
public:
    // Milliseconds between the pieces of one reply.
    static constexpr int PieceGapMs = 60;

    Pop3TestServer()
    {
        replies = {
            {"CAPA", {"+OK list follows\r\nUSER\r\nUIDL\r\n.\r\n"}},
            {"USER", {"+OK\r\n"}},
            {"PASS", {"+OK logged in\r\n"}},
            {"LIST", {"+OK 0 messages\r\n.\r\n"}},
            {"QUIT", {"+OK bye\r\n"}},
        };
        listen(QHostAddress::LocalHost);
    }
    ~Pop3TestServer() override
    {
        // The sockets go before the bookkeeping their signals touch.
        const QList<QSslSocket*> sockets = findChildren<QSslSocket*>();
        for (QSslSocket* socket : sockets) {
            socket->disconnect();
            delete socket;
        }
    }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

    // The verbs received, in order.
    QList<QByteArray> verbs() const
    {
        QList<QByteArray> result;
        for (const Pop3ReceivedLine& r : received)
            result << r.line.split(' ').value(0).toUpper();
        return result;
    }
    bool receivedInClear(const QByteArray& verb) const
    {
        for (const Pop3ReceivedLine& r : received) {
            if (!r.encrypted && r.line.split(' ').value(0).toUpper() == verb)
                return true;
        }
        return false;
    }

    QByteArray greeting = "+OK POP3 ready\r\n";
    QHash<QByteArray, QList<QByteArray>> replies;
    // The connection is dropped when this command arrives (empty: never).
    QByteArray closeOn;
    // TLS material: STLS starts TLS when set; `implicitTls` greets over TLS.
    QSslCertificate certificate;
    QSslKey key;
    bool implicitTls = false;
    // Bytes sent in clear right behind the answer to STLS, in the same write.
    QByteArray afterStls;

    QList<Pop3ReceivedLine> received;
    int connections = 0;
    int disconnections = 0;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        ++connections;
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        connect(socket, &QSslSocket::readyRead, socket, [this, socket] { readFrom(socket); });
        connect(socket, &QSslSocket::disconnected, socket, [this, socket] {
            ++disconnections;
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        if (implicitTls) {
            connect(socket, &QSslSocket::encrypted, socket,
                    [this, socket] { socket->write(greeting); });
            socket->startServerEncryption();
        } else if (!greeting.isEmpty()) {
            socket->write(greeting);
        }
    }

private:
    void readFrom(QSslSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        qsizetype lf;
        while ((lf = buffer.indexOf('\n')) >= 0) {
            QByteArray line = buffer.left(lf).trimmed();
            buffer.remove(0, lf + 1);
            received.append({line, socket->isEncrypted()});
            const QByteArray verb = line.split(' ').value(0).toUpper();
            if (!closeOn.isEmpty() && verb == closeOn) {
                socket->disconnectFromHost();
                return;
            }
            if (verb == "STLS" && !certificate.isNull() && !socket->isEncrypted()) {
                socket->write("+OK begin TLS\r\n" + afterStls);
                buffer.clear();
                socket->startServerEncryption();
                return;
            }
            answer(socket, replies.value(verb, {"-ERR unknown command\r\n"}), verb == "QUIT");
        }
    }

    void answer(QSslSocket* socket, QList<QByteArray> pieces, bool last)
    {
        if (pieces.isEmpty())
            return;
        socket->write(pieces.takeFirst());
        socket->flush();
        if (pieces.isEmpty()) {
            if (last)
                socket->disconnectFromHost();
            return;
        }
        QPointer<QSslSocket> guard(socket);
        QTimer::singleShot(PieceGapMs, this, [this, guard, pieces, last] {
            if (guard)
                answer(guard, pieces, last);
        });
    }

    QHash<QSslSocket*, QByteArray> m_buffers;
};

} // namespace orv
