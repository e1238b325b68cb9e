#include "app/storabletext.h"

#include "app/recordio.h"

#include <QUrl>

namespace orv {

bool FitsCodePage(QStringView text)
{
    return fromCp1252(toCp1252(text)) == text;
}

QString StorableAddress(const QString& address)
{
    if (FitsCodePage(address))
        return address;
    const QUrl url(address, QUrl::TolerantMode);
    if (url.isValid() && !url.scheme().isEmpty())
        return QString::fromLatin1(url.toEncoded());
    // Not an address QUrl understands: every character outside ASCII (and
    // "%" itself) is percent-encoded, the rest stays as written.
    QByteArray keep;
    for (char c = 0x20; c < 0x7F; ++c)
        keep += c;
    return QString::fromLatin1(QUrl::toPercentEncoding(address, keep));
}

void UnstorableTexts::check(const QString& name, const QString& other)
{
    if (FitsCodePage(name) && FitsCodePage(other))
        return;
    if (m_count == 0)
        m_first = name;
    ++m_count;
}

QString UnstorableTexts::notice() const
{
    if (m_count == 0)
        return {};
    const QString entries = m_count == 1
                                ? QStringLiteral("1 Eintrag enthält")
                                : QString::number(m_count) + QStringLiteral(" Einträge enthalten");
    return entries +
           QStringLiteral(" Zeichen, die die Datendateien nicht speichern können; sie werden "
                          "als \"?\" gespeichert. Der erste: \"") +
           m_first + QStringLiteral("\"");
}

} // namespace orv
