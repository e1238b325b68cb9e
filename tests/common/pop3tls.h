#pragma once

// A self-signed certificate for 127.0.0.1 made at test time with openssl
// (nothing when openssl is missing).

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orv {

struct TestTlsIdentity {
    QSslCertificate certificate;
    QSslKey key;
    bool isNull() const { return certificate.isNull() || key.isNull(); }
};

inline TestTlsIdentity MakeTestTlsIdentity()
{
    TestTlsIdentity identity;
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    QTemporaryDir dir;
    if (openssl.isEmpty() || !dir.isValid())
        return identity;
    const QString keyFile = dir.filePath(QStringLiteral("key.pem"));
    const QString certFile = dir.filePath(QStringLiteral("cert.pem"));
    QProcess process;
    process.start(openssl,
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile,
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});
    constexpr int kOpensslLimitMs = 60000;
    if (!process.waitForFinished(kOpensslLimitMs) || process.exitStatus() != QProcess::NormalExit)
        return identity;
    const int code = process.exitCode();
    if (code != 0)
        return identity;
    QFile certIn(certFile);
    QFile keyIn(keyFile);
    if (!certIn.open(QIODevice::ReadOnly) || !keyIn.open(QIODevice::ReadOnly))
        return identity;
    identity.certificate = QSslCertificate(certIn.readAll(), QSsl::Pem);
    identity.key = QSslKey(keyIn.readAll(), QSsl::Ec, QSsl::Pem);
    return identity;
}

} // namespace orv
