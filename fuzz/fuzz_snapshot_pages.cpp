// The pages and lists generated over a document snapshot: the structure
// page, the picture list, the collected links, the announced feeds, the
// source view's address, the view menu and the search forms' pages. Text
// of the document must never show up in a generated page as markup of its
// own.

#include "fuzzcommon.h"

#include "app/docsnapshot.h"
#include "app/texthelpers.h"
#include "pages/feeddiscovery.h"
#include "pages/linkcollect.h"
#include "pages/picturelist.h"
#include "pages/searchforms.h"
#include "pages/structurepage.h"

#include <QSet>

using namespace orv;
using namespace orv::fuzz;

namespace {

// A generated page holds at most `own` script blocks: its own.
void checkScripts(const QString& page, qsizetype own)
{
    FUZZ_CHECK(page.count(QLatin1String("<script"), Qt::CaseInsensitive) <= own);
    FUZZ_CHECK(page.count(QLatin1String("</script"), Qt::CaseInsensitive) <= own);
    FUZZ_CHECK(page.count(QLatin1String("<iframe"), Qt::CaseInsensitive) == 0);
}

void checkLinks(const QStringList& links)
{
    QSet<QString> seen;
    for (const QString& link : links) {
        FUZZ_CHECK(!link.contains(u'#'));
        FUZZ_CHECK(!link.contains(QLatin1String("javascript:"), Qt::CaseInsensitive));
        FUZZ_CHECK(!link.contains(QLatin1String("mailto:"), Qt::CaseInsensitive));
        const QString key = link.toLower();
        FUZZ_CHECK(!seen.contains(key));
        seen.insert(key);
    }
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
    const DocSnapshot document = DocSnapshot::fromJson(bytesOf(data, size).toByteArray());

    StructureCounter counter;
    QString error;
    const QString structure = CreateHtmlStruct(document, counter, &error);
    FUZZ_CHECK(!structure.isEmpty() || !error.isEmpty());
    checkScripts(structure, 1);
    FUZZ_CHECK(counter.Value() >= 0);

    error.clear();
    const QString pictures = CollectPicSrc(document, &error);
    FUZZ_CHECK(!pictures.isEmpty() || !error.isEmpty());
    checkScripts(pictures, 0);
    const UniqSortStrCollection entries = CollectPictureEntries(document);
    const QString server = GetServerStr(document.url);
    for (const QString& entry : entries.StrCollection())
        static_cast<void>(PictureEntryAddress(entry, server, document.protocol, document.pathname));

    for (const RelativeLinks relative : {RelativeLinks::Kept, RelativeLinks::Joined})
        checkLinks(CollectLinks(document, document.url, relative));

    FeedList feeds;
    feeds.Rebuild(document);
    for (int i = 1; i <= feeds.GetFeedCount(); ++i)
        static_cast<void>(feeds.GetFeedUrlByInd(i) + feeds.GetFeedTitelByInd(i));
    FUZZ_CHECK(feeds.GetFeedUrlByInd(0).isEmpty());
    FUZZ_CHECK(feeds.GetFeedUrlByInd(feeds.GetFeedCount() + 1).isEmpty());

    static_cast<void>(SourceViewAddress(document, document.url));
    // Search forms go to the web only.
    for (const QString& form : document.forms) {
        const QUrl target = SearchFormTarget(form, QUrl(document.url));
        FUZZ_CHECK(target.isEmpty() || target.scheme() == QLatin1String("http") ||
                   target.scheme() == QLatin1String("https"));
        static_cast<void>(SearchFormPage(form, QStringLiteral("t"), target));
    }
    const ViewMenuItems idle = ViewMenuEnabling(&document, false, feeds.GetFeedCount());
    const ViewMenuItems busy = ViewMenuEnabling(&document, true, feeds.GetFeedCount());
    static_cast<void>(idle == busy);
    return 0;
}
