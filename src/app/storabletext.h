#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace orv {

// What the data files can keep of a text: their code page 1252 holds only
// some characters; the others would be written as "?".

// True when every character of `text` survives code page 1252.
bool FitsCodePage(QStringView text);

// An address as a data file keeps it: unchanged when it fits the code page,
// otherwise its ASCII form (the host in punycode, path, query and fragment
// percent-encoded), so that no address is changed by a save.
QString StorableAddress(const QString& address);

// Names and titles that a save would change, counted once per entry.
class UnstorableTexts {
public:
    // Counts one entry when its name or its other text does not fit the
    // code page; the first such entry is named by `name`.
    void check(const QString& name, const QString& other = {});
    qsizetype count() const { return m_count; }
    const QString& first() const { return m_first; }
    // The notice for the user: how many entries and the first of them;
    // empty when every text fits.
    QString notice() const;

private:
    qsizetype m_count = 0;
    QString m_first;
};

} // namespace orv
