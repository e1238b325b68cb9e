#pragma once

// A tiny HTTP/1.1 server for tests: listens on 127.0.0.1 at a free port and
// answers GET and HEAD from a table path -> (status, content type, body), with
// an optional delay per resource. Every answer carries "Connection: close"
// and "Cache-Control: no-store"; unknown paths answer 404. No test touches
// the internet: pages come from here.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace orv {

struct TestResource {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    // Milliseconds before the answer is sent.
    int delayMs = 0;
    // Further header lines, each ending with "\r\n" (e.g. "Location: /x\r\n").
    QByteArray extraHeaders;
};

class TestHttpServer {
public:
    // Requests whose head is larger than this are answered 431 and closed.
    static constexpr qsizetype MaxHeadSize = 64 * 1024;

    TestHttpServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" + path.
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
    }

    // Serves `body` at `path` (as the request names it, without the query).
    void serve(const QByteArray& path, const QByteArray& contentType, const QByteArray& body,
               int delayMs = 0)
    {
        TestResource resource;
        resource.contentType = contentType;
        resource.body = body;
        resource.delayMs = delayMs;
        m_resources.insert(path, resource);
    }
    void serve(const QByteArray& path, const TestResource& resource)
    {
        m_resources.insert(path, resource);
    }
    void remove(const QByteArray& path) { m_resources.remove(path); }

    // Paths of the requests answered so far, in order.
    const QList<QByteArray>& requests() const { return m_requests; }
    qsizetype requestCount(const QByteArray& path) const { return m_requests.count(path); }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto head = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket, head] { readHead(socket, *head); });
        }
    }

    // Collects the request head across partial reads; answers once it is whole.
    void readHead(QTcpSocket* socket, QByteArray& head)
    {
        if (socket->property("answered").toBool()) {
            socket->readAll(); // a request body or a second request: ignored
            return;
        }
        head += socket->readAll();
        qsizetype end = head.indexOf("\r\n\r\n");
        if (end < 0)
            end = head.indexOf("\n\n");
        if (end < 0) {
            if (head.size() > MaxHeadSize)
                answer(socket, "", simple(431, "Request Header Fields Too Large"), false);
            return;
        }
        const QByteArray requestLine = head.left(head.indexOf('\n')).trimmed();
        const QList<QByteArray> parts = requestLine.split(' ');
        if (parts.size() != 3 || !parts.at(2).startsWith("HTTP/")) {
            answer(socket, "", simple(400, "Bad Request"), false);
            return;
        }
        const QByteArray method = parts.at(0);
        QByteArray path = parts.at(1);
        const qsizetype query = path.indexOf('?');
        if (query >= 0)
            path.truncate(query);
        if (method != "GET" && method != "HEAD") {
            answer(socket, path, simple(405, "Method Not Allowed"), false);
            return;
        }
        const auto found = m_resources.constFind(path);
        answer(socket, path, found == m_resources.cend() ? simple(404, "Not Found") : *found,
               method == "HEAD");
    }

    static TestResource simple(int status, const QByteArray& text)
    {
        TestResource resource;
        resource.status = status;
        resource.contentType = "text/plain; charset=utf-8";
        resource.body = text;
        return resource;
    }

    static QByteArray reason(int status)
    {
        switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        default:
            return status < 400 ? "OK" : "Error";
        }
    }

    void answer(QTcpSocket* socket, const QByteArray& path, const TestResource& resource,
                bool headOnly)
    {
        socket->setProperty("answered", true);
        if (!path.isEmpty())
            m_requests.append(path);
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(resource.status) + ' ' +
                           reason(resource.status) + "\r\n";
        reply += "Content-Type: " + resource.contentType + "\r\n";
        reply += "Content-Length: " + QByteArray::number(resource.body.size()) + "\r\n";
        reply += "Cache-Control: no-store\r\nConnection: close\r\n";
        reply += resource.extraHeaders;
        reply += "\r\n";
        if (!headOnly)
            reply += resource.body;
        auto send = [socket, reply] {
            socket->write(reply);
            socket->disconnectFromHost(); // after the pending bytes are written
        };
        if (resource.delayMs > 0)
            QTimer::singleShot(resource.delayMs, socket, send);
        else
            send();
    }

    QHash<QByteArray, TestResource> m_resources;
    QList<QByteArray> m_requests;
    // Last, so that its sockets go before the tables they read.
    QTcpServer m_server;
};

} // namespace orv
