#pragma once

// Pages for the in-process window benchmarks, served from a thread of its
// own (sending them is not the main thread's work, so it never counts as
// its stall): BenchPage(n) at "/p<n>" from several sites, a server on each
// loopback address 127.0.0.1 .. 127.0.0.<sites>.

#include "benchsupport.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

namespace orv::bench {

class PageThread {
public:
    PageThread(int pages, int sites)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([this, pages, sites] {
            for (int site = 1; site <= sites; ++site) {
                auto server = std::make_unique<QTcpServer>();
                const QString host = QStringLiteral("127.0.0.%1").arg(site);
                if (!server->listen(QHostAddress(host), 0))
                    return;
                QTcpServer* listening = server.get();
                QObject::connect(listening, &QTcpServer::newConnection, listening,
                                 [listening, pages] { accept(*listening, pages); });
                m_bases << QStringLiteral("http://%1:%2/p").arg(host).arg(server->serverPort());
                m_servers.push_back(std::move(server));
            }
        });
    }
    ~PageThread()
    {
        run([this] { m_servers.clear(); });
        m_thread.quit();
        m_thread.wait();
    }
    PageThread(const PageThread&) = delete;
    PageThread& operator=(const PageThread&) = delete;

    // The sites' page addresses as PageUrl reads them; empty when a site
    // could not listen.
    QString bases() const
    {
        return m_servers.size() == std::size_t(m_bases.size()) ? m_bases.join(u',') : QString();
    }

private:
    void run(const std::function<void()>& step)
    {
        QMetaObject::invokeMethod(&m_context, step, Qt::BlockingQueuedConnection);
    }

    // Answers each GET with its page (or 404) once its head is whole, then
    // closes the connection.
    static void accept(QTcpServer& server, int pages)
    {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, pages] {
                QByteArray head = socket->property("head").toByteArray() + socket->readAll();
                socket->setProperty("head", head);
                if (!head.contains("\r\n\r\n") || socket->property("answered").toBool())
                    return;
                socket->setProperty("answered", true);
                const QList<QByteArray> request = head.left(head.indexOf('\r')).split(' ');
                const QByteArray path = request.value(1);
                const int number = path.startsWith("/p") ? path.mid(2).toInt() : 0;
                QByteArray reply;
                if (number >= 1 && number <= pages) {
                    const QByteArray body = BenchPage(number);
                    reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                            "Content-Length: " +
                            QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                            body;
                } else {
                    reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                            "Connection: close\r\n\r\n";
                }
                socket->write(reply);
                socket->disconnectFromHost();
            });
        }
    }

    QThread m_thread;
    QObject m_context;
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
    QStringList m_bases;
};

} // namespace orv::bench
