// The text helpers and link resolution: argument lines, occurrence counts,
// server and path parts of addresses, and the joins that make stored or
// announced addresses absolute. Every result is checked against what it
// must be made of.
//
// Input: up to four texts (UTF-8) separated by kPartMarker.

#include "fuzzcommon.h"

#include "app/texthelpers.h"
#include "pages/feeddiscovery.h"
#include "pages/linkcollect.h"
#include "pages/picturelist.h"

#include <QUrl>

using namespace orv;
using namespace orv::fuzz;

namespace {

bool isSlash(QChar c)
{
    return c == u'/' || c == u'\\';
}

void checkCount(const QString& text, const QString& pattern)
{
    const int count = CountOccurrences(text, pattern);
    FUZZ_CHECK(count >= 0);
    if (text.isEmpty() || pattern.isEmpty()) {
        FUZZ_CHECK(count == 0);
        return;
    }
    FUZZ_CHECK(qsizetype(count) * pattern.size() <= text.size());
    FUZZ_CHECK((count > 0) == text.contains(pattern));
    FUZZ_CHECK(count >= text.count(pattern) / pattern.size());
    FUZZ_CHECK(count <= text.count(pattern));
}

void checkText(const QString& text)
{
    const QString first = FirstArgument(text);
    FUZZ_CHECK(text.contains(first));
    FUZZ_CHECK(first.size() <= text.size());

    const QString trimmed = TrimChars(text);
    FUZZ_CHECK(trimmed == text || (trimmed.size() + 2 == text.size() && text.contains(trimmed)));

    const QString server = GetServerStr(text);
    if (!server.isEmpty()) {
        FUZZ_CHECK(text.startsWith(server, Qt::CaseInsensitive));
        const qsizetype schemeEnd = server.indexOf(QLatin1String("://"));
        FUZZ_CHECK(schemeEnd > 0);
        FUZZ_CHECK(!server.mid(schemeEnd + 3).contains(u'/'));
    }

    const QString path = GetPathStr(text);
    FUZZ_CHECK(text.startsWith(path));
    FUZZ_CHECK(path.isEmpty() || isSlash(path.back()));
    for (const QChar c : QStringView(text).mid(path.size()))
        FUZZ_CHECK(!isSlash(c));

    const QString serverPart = ServerPart(text);
    FUZZ_CHECK(text.startsWith(serverPart));
    const QString folder = UrlFolder(text);
    FUZZ_CHECK(text.startsWith(folder));
    FUZZ_CHECK(folder.isEmpty() || folder.back() == u'/');

    static_cast<void>(IsFeedTitle(text));
    const QUrl url = UrlFromUserInput(text, ScratchFolder::instance().path());
    FUZZ_CHECK(!text.trimmed().isEmpty() || url.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    initOnce();
    const QList<QByteArrayView> parts = splitParts(bytesOf(data, size), 4);
    QStringList texts;
    for (const QByteArrayView part : parts)
        texts.append(QString::fromUtf8(part));

    for (const QString& text : texts)
        checkText(text);
    checkCount(texts[0], texts[1]);
    checkCount(texts[2], texts[3]);
    checkCount(texts[0], texts[0].left(2));

    // Link resolution: a LINK element's href against its document, a picture
    // entry against its page.
    const QString feed = FeedAddress(texts[0], texts[1], texts[2]);
    if (!texts[0].contains(u'/'))
        FUZZ_CHECK(feed.endsWith(texts[0]));
    for (const QString& entry :
         {QStringLiteral("<B>SRC</B> = \"") + texts[0] + u'"',
          QStringLiteral("<B>BACKGROUND</B> = \"") + texts[0] + u'"', texts[0]})
        static_cast<void>(PictureEntryAddress(entry, GetServerStr(texts[1]), texts[2], texts[3]));
    return 0;
}
