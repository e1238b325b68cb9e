// Feed parsing and rendering: a feed document's raw bytes rendered into the
// feed page, the error page, and the escaping both use. The page must never
// carry markup or a script link that came from the feed.

#include "fuzzcommon.h"

#include "app/markupescape.h"
#include "pages/feedpage.h"

#include <QRegularExpression>

using namespace orv;
using namespace orv::fuzz;

namespace {

// The page's own script block is the only one it may hold.
void checkNoInjectedScript(const QString& html)
{
    FUZZ_CHECK(html.count(QLatin1String("<script"), Qt::CaseInsensitive) <= 1);
    FUZZ_CHECK(html.count(QLatin1String("</script"), Qt::CaseInsensitive) <= 1);
}

QString unescapeMarkup(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

// A link as the browser reads it: blanks and control characters in front
// dropped, tabs and line breaks anywhere removed, the scheme in any case.
void checkLinkRunsNoScript(const QString& href)
{
    QString url = unescapeMarkup(href);
    qsizetype start = 0;
    while (start < url.size() && url.at(start).unicode() <= 0x20)
        ++start;
    url = url.mid(start);
    url.remove(u'\t');
    url.remove(u'\n');
    url.remove(u'\r');
    for (const QLatin1String scheme :
         {QLatin1String("javascript:"), QLatin1String("vbscript:"), QLatin1String("data:")})
        FUZZ_CHECK(!url.startsWith(scheme, Qt::CaseInsensitive));
}

void checkItemLinks(const QString& html)
{
    static const QRegularExpression link(QStringLiteral("<a class='lnk' href=\"([^\"]*)\""));
    for (auto it = link.globalMatch(html); it.hasNext();)
        checkLinkRunsNoScript(it.next().captured(1));
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
    const QByteArray xml = bytesOf(data, size).toByteArray();
    const QString source = QStringLiteral("http://example.org/feed.xml");
    const FeedPage page = RenderFeed(xml, source);
    FUZZ_CHECK(page.itemCount >= 0);
    const QString html = QString::fromUtf8(page.html);
    switch (page.outcome) {
    case FeedOutcome::Page:
        FUZZ_CHECK(page.caption == page.title + QStringLiteral(" [") + page.type + u']');
        FUZZ_CHECK(page.SetsCaption());
        break;
    case FeedOutcome::MissingElement:
        FUZZ_CHECK(page.itemCount == 0);
        FUZZ_CHECK(page.caption.isEmpty());
        FUZZ_CHECK(!page.SetsCaption());
        break;
    case FeedOutcome::UnknownType:
        FUZZ_CHECK(page.itemCount == 0);
        break;
    case FeedOutcome::LoadError:
        FUZZ_CHECK(page.errorLine >= 0);
        FUZZ_CHECK(!page.SetsCaption());
        break;
    }
    checkNoInjectedScript(html);
    checkItemLinks(html);
    FUZZ_CHECK(html.count(QLatin1String("<a class='lnk'")) == page.itemCount);

    // The same bytes as the text of an error and as its address.
    const QString text = QString::fromUtf8(xml.left(4096));
    const FeedPage error = RenderFeedError(text, text, qint64(size));
    FUZZ_CHECK(error.outcome == FeedOutcome::LoadError);
    checkNoInjectedScript(QString::fromUtf8(error.html));

    const QString markup = EscapeAttribute(text);
    for (const QChar c : {u'<', u'>', u'"', u'\''})
        FUZZ_CHECK(!markup.contains(c));
    FUZZ_CHECK(unescapeMarkup(markup) == text);
    const QString content = EscapeText(text);
    FUZZ_CHECK(!content.contains(u'<') && !content.contains(u'>'));
    FUZZ_CHECK(unescapeMarkup(content) == text);
    const QString angles = EscapeAngles(text);
    FUZZ_CHECK(!angles.contains(u'<') && !angles.contains(u'>'));
    return 0;
}
