#pragma once

#include "app/recordio.h"

#include <QByteArray>
#include <QHash>
#include <QSslCertificate>
#include <QString>

namespace orv {

// Server certificates the user trusts although their chain does not verify
// (a home server's self-signed certificate): one per server, "host:port",
// known by its SHA-256 fingerprint. The file "TrustedCerts.txt" in the data
// folder holds one server a line: "host:port" (an IPv6 host in brackets), a
// blank and the fingerprint as 64 hex digits; empty lines and lines starting
// with '#' are skipped, and so is every line that does not read.
class TrustedCertificates {
public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    // The store's file in the data folder.
    static QString DefaultPath();
    // "host:port" as the file keys it (host in lower case, IPv6 in brackets).
    static QString Key(const QString& host, quint16 port);
    // The SHA-256 digest of a certificate.
    static QByteArray Fingerprint(const QSslCertificate& certificate);
    // A fingerprint for people: hex pairs in capitals joined by colons.
    static QString DisplayFingerprint(const QByteArray& fingerprint);

    // Reads `path`; a missing file is an empty store.
    FileResult load(const QString& path);
    // Writes the store to `path` (atomically, readable by the owner only).
    FileResult save(const QString& path) const;

    // The trusted fingerprint for a server (empty when none).
    QByteArray fingerprint(const QString& host, quint16 port) const;
    void trust(const QString& host, quint16 port, const QByteArray& fingerprint);

private:
    QHash<QString, QByteArray> m_fingerprints;
};

} // namespace orv
