// The bookmark import: a bookmark file's bytes decoded and parsed by the
// fallback HTML parser into a document tree, and the folders the import
// builds from it (written into a scratch archive when small).

#include "fuzzcommon.h"

#include "bookmarks/book.h"
#include "bookmarks/htmldecode.h"
#include "bookmarks/import.h"
#include "bookmarks/netscapeparser.h"

#include <QUrl>

#include <vector>

using namespace orv;
using namespace orv::fuzz;

namespace {

// Imports are built in full only up to these sizes, so that one input stays
// fast; the count alone is checked for every input.
constexpr qsizetype kBuildLimit = 2000;
constexpr qsizetype kWriteLimit = 20;

int treeDepth(const DocNode& root)
{
    int deepest = 0;
    std::vector<std::pair<const DocNode*, int>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const DocNode& child : node->children)
            pending.push_back({&child, depth + 1});
    }
    return deepest;
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
    const QByteArray bytes = bytesOf(data, size).toByteArray();

    const QString text = DecodeHtmlBytes(bytes);
    for (const bool inAttribute : {false, true}) {
        // References only ever shrink the text (the longest expansion, a
        // character outside the BMP, takes a reference of at least four).
        const QString decoded = DecodeHtmlReferences(text, inAttribute);
        FUZZ_CHECK(decoded.size() <= text.size());
    }

    const QUrl base(QStringLiteral("http://example.org/dir/bookmarks.html"));
    const DocNode document = ParseHtmlFile(bytes, base);
    FUZZ_CHECK(document.nodeName == QLatin1String("HTML"));
    FUZZ_CHECK(treeDepth(document) <= DocNode::MaxDepth + 1);
    const DocNode& body = DocumentBody(document);

    const qsizetype count = CountImportedBookmarks(body);
    FUZZ_CHECK(count >= 0);
    if (count > kBuildLimit)
        return 0;
    const ThemaList folders = BuildImportedFolders(body);
    qsizetype built = 0;
    for (qsizetype i = 0; i < folders.count(); ++i) {
        const Thema& thema = folders.at(i);
        FUZZ_CHECK(thema.hasSafeFileName());
        built += thema.bookmarkCount();
    }
    FUZZ_CHECK(built == count);

    if (count > kWriteLimit)
        return 0;
    ScratchFolder& scratch = ScratchFolder::instance();
    scratch.clear();
    Book book(scratch.path());
    if (ImportBookmarkDocument(book, body).ok) {
        FUZZ_CHECK(book.themaCount() == folders.count());
        Book reread(scratch.path());
        if (reread.LoadAllThema()) {
            FUZZ_CHECK(reread.themaCount() == folders.count());
            FUZZ_CHECK(reread.LoadAllBookmarks().ok);
            qsizetype read = 0;
            for (qsizetype i = 0; i < reread.themaCount(); ++i)
                read += reread.colThema()->at(i).bookmarkCount();
            FUZZ_CHECK(read == count);
        } else {
            FUZZ_CHECK(folders.count() == 0);
        }
    }
    return 0;
}
