#include "platform/trustedcerts.h"

#include "app/appinit.h"

#include <QCryptographicHash>
#include <QDir>

#include <algorithm>

namespace orv {

namespace {

constexpr qsizetype kFingerprintBytes = 32;

} // namespace

QString TrustedCertificates::DefaultPath()
{
    return QDir(DataFolder()).filePath(QStringLiteral("TrustedCerts.txt"));
}

QString TrustedCertificates::Key(const QString& host, quint16 port)
{
    const QString name = host.toLower();
    const QString shown =
        name.contains(QLatin1Char(':')) ? QLatin1Char('[') + name + QLatin1Char(']') : name;
    return shown + QLatin1Char(':') + QString::number(port);
}

QByteArray TrustedCertificates::Fingerprint(const QSslCertificate& certificate)
{
    return certificate.isNull() ? QByteArray() : certificate.digest(QCryptographicHash::Sha256);
}

QString TrustedCertificates::DisplayFingerprint(const QByteArray& fingerprint)
{
    return QString::fromLatin1(fingerprint.toHex(':').toUpper());
}

FileResult TrustedCertificates::load(const QString& path)
{
    m_fingerprints.clear();
    QByteArray content;
    const FileResult read = readStoredFile(path, {}, MaxFileBytes, content, true);
    if (!read.ok)
        return read;
    for (const QByteArray& raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() != 2)
            continue;
        const QByteArray fingerprint = QByteArray::fromHex(parts.at(1));
        if (fingerprint.size() != kFingerprintBytes || fingerprint.toHex() != parts.at(1).toLower())
            continue;
        m_fingerprints.insert(QString::fromUtf8(parts.at(0)).toLower(), fingerprint);
    }
    return {};
}

FileResult TrustedCertificates::save(const QString& path) const
{
    QStringList keys = m_fingerprints.keys();
    std::sort(keys.begin(), keys.end());
    QByteArray content;
    for (const QString& key : keys)
        content += key.toUtf8() + ' ' + m_fingerprints.value(key).toHex() + '\n';
    return writeFileAtomic(path, content, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QByteArray TrustedCertificates::fingerprint(const QString& host, quint16 port) const
{
    return m_fingerprints.value(Key(host, port));
}

void TrustedCertificates::trust(const QString& host, quint16 port, const QByteArray& fingerprint)
{
    m_fingerprints.insert(Key(host, port), fingerprint);
}

} // namespace orv
