// The record-file readers: the preferences record, the bookmark folder index
// with a folder file it names, a folder file alone, the layout book with a
// window file it names, a window file alone and an arrangement file.
//
// Input: one selector byte, then the file contents; where two files are
// read, the first part is the index and the rest (after kPartMarker) the
// file "1.bkm" or "WL1.nlt" beside it.

#include "fuzzcommon.h"

#include "bookmarks/book.h"
#include "bookmarks/thema.h"
#include "layouts/layout.h"
#include "layouts/layoutbook.h"
#include "layouts/layoutitem.h"
#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

using namespace orv;
using namespace orv::fuzz;

namespace {

enum Reader : uint8_t {
    PrefFile,
    BookIndex,
    FolderFile,
    LayoutBookFile,
    WindowFile,
    ArrangementFile
};
constexpr int kReaderCount = 6;

void fuzzPrefs(QByteArrayView bytes)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    Prefer fromMemory;
    fromMemory.setFolder(scratch.path());
    if (fromMemory.fromRecord(bytes) == Prefer::RecordCheck::Valid) {
        // A record the reader took writes back as one it takes again, and
        // then unchanged.
        const QByteArray written = fromMemory.toRecord();
        FUZZ_CHECK(written.size() == Prefer::RecordLength);
        Prefer again;
        FUZZ_CHECK(again.fromRecord(written) == Prefer::RecordCheck::Valid);
        FUZZ_CHECK(again.toRecord() == written);
        for (int i = 1; i <= Prefer::MailAccountCount; ++i)
            FUZZ_CHECK(again.Pwd(i) == fromMemory.Pwd(i));
    }
    static_cast<void>(fromMemory.RecordEntries());

    scratch.write(Prefer::FileName(), bytes);
    Prefer fromFile;
    fromFile.setFolder(scratch.path());
    static_cast<void>(fromFile.LoadPref());
}

void fuzzBook(QByteArrayView index, QByteArrayView folderFile)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    scratch.write(Book::IndexFileName(), index);
    scratch.write(QStringLiteral("1.bkm"), folderFile);
    Book book(scratch.path());
    FileResult result;
    if (book.LoadAllThema(&result)) {
        FUZZ_CHECK(book.colThema() != nullptr);
        FUZZ_CHECK(book.themaCount() == book.ItCounter());
        static_cast<void>(book.LoadAllBookmarks());
        for (qsizetype i = 0; i < book.themaCount(); ++i) {
            const Thema& thema = book.colThema()->at(i);
            FUZZ_CHECK(thema.Nr() == i + 1);
            FUZZ_CHECK(book.SequenzMax() >= thema.Sequenz());
        }
    }
}

void fuzzFolderFile(QByteArrayView bytes)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    const QString name = QStringLiteral("1.bkm");
    scratch.write(name, bytes);
    Thema thema;
    thema.setNr(1);
    thema.setFileName(name);
    static_cast<void>(thema.LoadBookmarks(scratch.path()));
    const qsizetype whole = bytes.size() / BookmarkRecordLength;
    FUZZ_CHECK(thema.bookmarkCount() == std::min<qsizetype>(whole, MaxFolderRecords));
    if (const BookmarkList* list = thema.colBookmark()) {
        for (qsizetype i = 0; i < list->count(); ++i) {
            // A bookmark written back reads as itself (the number aside).
            Bookmark read = list->at(i);
            QByteArray record;
            AppendBookmarkRecord(record, read, int(i + 1));
            FUZZ_CHECK(record.size() == BookmarkRecordLength);
            Bookmark back = ReadBookmarkRecord(record);
            read.Nr = back.Nr;
            FUZZ_CHECK(back.URL == read.URL);
            FUZZ_CHECK(back.Titel == read.Titel);
        }
    }
    QByteArray whole2;
    static_cast<void>(ReadFolderFile(scratch.path(), name, whole2));
}

void fuzzLayoutBook(QByteArrayView book, QByteArrayView windows)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    scratch.write(LayoutBook::BookFileName(), book);
    scratch.write(LayoutItem::FileNameFor(1), windows);
    LayoutBook layouts(scratch.path());
    FileResult result;
    if (layouts.LoadAllLayouts(&result)) {
        FUZZ_CHECK(layouts.count() == layouts.ItCounter());
        for (int i = 1; i <= layouts.count(); ++i) {
            const LayoutItem* item = layouts.layout(i);
            FUZZ_CHECK(item != nullptr);
            FUZZ_CHECK(layouts.PositionOfSequenz(item->Sequenz()) >= 1);
            for (const FensterInfo& info : item->colFensterInfo())
                static_cast<void>(layoutOpenArgs(info));
        }
        static_cast<void>(layouts.BookRecords());
    }
    FUZZ_CHECK(layouts.layout(0) == nullptr);
    FUZZ_CHECK(layouts.layout(layouts.count() + 1) == nullptr);
}

void fuzzWindowFile(QByteArrayView bytes)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    const QString path = scratch.filePath(LayoutItem::FileNameFor(1));
    scratch.write(LayoutItem::FileNameFor(1), bytes);
    QList<FensterInfo> infos;
    if (readFensterInfoFile(path, infos, false, scratch.path()).ok) {
        FUZZ_CHECK(infos.size() == bytes.size() / FensterInfoFormat::RecordLength ||
                   infos.size() == MaxLayoutRecords);
        for (const FensterInfo& info : infos) {
            const LayoutOpenArgs args = layoutOpenArgs(info);
            static_cast<void>(args.HistoryUrl());
            static_cast<void>(args.ShownTitle());
        }
    }
}

void fuzzArrangement(QByteArrayView bytes)
{
    ScratchFolder& scratch = ScratchFolder::instance();
    const QString name = QStringLiteral("fuzz.wlt");
    scratch.write(name, bytes);
    qsizetype opened = 0;
    const FileResult result =
        Layout::LoadLayout(scratch.filePath(name), [&](const LayoutOpenArgs& args) {
            ++opened;
            static_cast<void>(args.IsFeed());
            static_cast<void>(args.HistoryUrl());
            static_cast<void>(args.ShownTitle());
        });
    if (result.ok)
        FUZZ_CHECK(opened == bytes.size() / LayoutFileFormat::RecordLength ||
                   opened == MaxLayoutRecords);
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
    if (size < 1)
        return 0;
    const auto reader = Reader(data[0] % kReaderCount);
    const QByteArrayView input = bytesOf(data + 1, size - 1);
    ScratchFolder::instance().clear();
    switch (reader) {
    case PrefFile:
        fuzzPrefs(input);
        break;
    case BookIndex: {
        const QList<QByteArrayView> parts = splitParts(input, 2);
        fuzzBook(parts[0], parts[1]);
        break;
    }
    case FolderFile:
        fuzzFolderFile(input);
        break;
    case LayoutBookFile: {
        const QList<QByteArrayView> parts = splitParts(input, 2);
        fuzzLayoutBook(parts[0], parts[1]);
        break;
    }
    case WindowFile:
        fuzzWindowFile(input);
        break;
    case ArrangementFile:
        fuzzArrangement(input);
        break;
    }
    return 0;
}
