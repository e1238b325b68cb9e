#include "tools/window/bookmarkmodel.h"

#include "app/texts.h"
#include "bookmarks/import.h"
#include "platform/icons.h"

#include <algorithm>

namespace orv {

namespace {

// Text number of the archive node.
constexpr int kTextArchive = 105;

// An index's internal id: the kind above the folder Nr above the bookmark Nr.
static_assert(sizeof(quintptr) >= 8, "an internal id keeps a whole BookmarkRef");
constexpr int kKindShift = 48;
constexpr int kFolderShift = 16;
constexpr quintptr kFolderMask = 0xFFFFFFFFu;
constexpr quintptr kBookmarkMask = 0xFFFFu;

} // namespace

BookmarkModel::BookmarkModel(const QString& dataFolder, QObject* parent)
    : QAbstractItemModel(parent), m_book(dataFolder)
{
}

// --- the tree -------------------------------------------------------------------------------

quintptr BookmarkModel::pack(const BookmarkRef& ref)
{
    return (quintptr(ref.kind) << kKindShift) |
           ((quintptr(quint32(ref.folder)) & kFolderMask) << kFolderShift) |
           (quintptr(quint16(ref.bookmark)) & kBookmarkMask);
}

BookmarkRef BookmarkModel::unpack(quintptr id)
{
    BookmarkRef ref;
    ref.kind = BookmarkRef::Kind(quint8(id >> kKindShift));
    ref.folder = qint32(quint32((id >> kFolderShift) & kFolderMask));
    ref.bookmark = qint16(quint16(id & kBookmarkMask));
    return ref;
}

BookmarkRef BookmarkModel::refOf(const QModelIndex& index)
{
    return index.isValid() && qobject_cast<const BookmarkModel*>(index.model())
               ? unpack(index.internalId())
               : BookmarkRef();
}

QModelIndex BookmarkModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0 || row >= rowCount(parent))
        return {};
    const BookmarkRef owner = refOf(parent);
    switch (owner.kind) {
    case BookmarkRef::Kind::None:
        return createIndex(row, column, pack(BookmarkRef::Root()));
    case BookmarkRef::Kind::Root:
        return createIndex(row, column, pack(BookmarkRef::Folder(m_folderRows.at(row))));
    case BookmarkRef::Kind::Folder:
        return createIndex(
            row, column,
            pack(BookmarkRef::Item(owner.folder, m_bookmarkRows.value(owner.folder).at(row))));
    case BookmarkRef::Kind::Bookmark:
        break;
    }
    return {};
}

QModelIndex BookmarkModel::parent(const QModelIndex& child) const
{
    const BookmarkRef ref = refOf(child);
    if (ref.isBookmark())
        return folderIndex(ref.folder);
    if (ref.isFolder())
        return indexOf(BookmarkRef::Root());
    return {};
}

int BookmarkModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const BookmarkRef owner = refOf(parent);
    switch (owner.kind) {
    case BookmarkRef::Kind::None:
        return m_shown ? 1 : 0;
    case BookmarkRef::Kind::Root:
        return int(m_folderRows.size());
    case BookmarkRef::Kind::Folder:
        return int(m_bookmarkRows.value(owner.folder).size());
    case BookmarkRef::Kind::Bookmark:
        break;
    }
    return 0;
}

int BookmarkModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QString BookmarkModel::textOf(const BookmarkRef& ref) const
{
    if (ref.kind == BookmarkRef::Kind::Root)
        return Txt(kTextArchive);
    if (ref.isFolder()) {
        const Thema* found = folder(ref);
        return found ? found->DirName() : QString();
    }
    const Bookmark* found = bookmark(ref);
    return found ? found->shownTitle() : QString();
}

QString BookmarkModel::imageOf(const BookmarkRef& ref) const
{
    switch (ref.kind) {
    case BookmarkRef::Kind::Root:
        return ImageRoot;
    case BookmarkRef::Kind::Folder:
        return m_open.contains(ref.folder) ? ImageOpenDir : ImageDir;
    case BookmarkRef::Kind::Bookmark: {
        const Bookmark* found = bookmark(ref);
        return found && found->isFeed() ? ImageFeed : ImageUrl;
    }
    case BookmarkRef::Kind::None:
        break;
    }
    return QString();
}

QVariant BookmarkModel::data(const QModelIndex& index, int role) const
{
    const BookmarkRef ref = refOf(index);
    if (ref.kind == BookmarkRef::Kind::None)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return textOf(ref);
    case Qt::DecorationRole:
        return TreeImage(imageOf(ref));
    case RefRole:
        return QVariant::fromValue(ref);
    case ImageRole:
        return imageOf(ref);
    default:
        break;
    }
    return {};
}

Qt::ItemFlags BookmarkModel::flags(const QModelIndex& index) const
{
    const BookmarkRef ref = refOf(index);
    if (ref.kind == BookmarkRef::Kind::None)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (ref.isFolder() || ref.isBookmark())
        flags |= Qt::ItemIsEditable;
    return flags;
}

QModelIndex BookmarkModel::folderIndex(qint32 nr) const
{
    const qsizetype row = m_folderRows.indexOf(nr);
    return row < 0 ? QModelIndex() : index(int(row), 0, indexOf(BookmarkRef::Root()));
}

QModelIndex BookmarkModel::indexOf(const BookmarkRef& ref) const
{
    switch (ref.kind) {
    case BookmarkRef::Kind::Root:
        return m_shown ? index(0, 0) : QModelIndex();
    case BookmarkRef::Kind::Folder:
        return folderIndex(ref.folder);
    case BookmarkRef::Kind::Bookmark: {
        const qsizetype row = m_bookmarkRows.value(ref.folder).indexOf(ref.bookmark);
        return row < 0 ? QModelIndex() : index(int(row), 0, folderIndex(ref.folder));
    }
    case BookmarkRef::Kind::None:
        break;
    }
    return {};
}

QModelIndex BookmarkModel::folderNamed(const QString& name) const
{
    for (const qint32 nr : m_folderRows)
        if (textOf(BookmarkRef::Folder(nr)) == name)
            return folderIndex(nr);
    return {};
}

void BookmarkModel::setFolderOpen(const BookmarkRef& ref, bool open)
{
    if (!ref.isFolder() || m_open.contains(ref.folder) == open)
        return;
    if (open)
        m_open.insert(ref.folder);
    else
        m_open.remove(ref.folder);
    const QModelIndex shown = indexOf(ref);
    Q_EMIT dataChanged(shown, shown, {Qt::DecorationRole, ImageRole});
}

void BookmarkModel::rebuildRows()
{
    m_folderRows.clear();
    m_bookmarkRows.clear();
    m_open.clear();
    const ThemaList* folders = m_book.colThema();
    if (!folders)
        return;
    for (const Thema& folder : *folders) {
        m_folderRows.append(folder.Nr());
        QList<qint16>& rows = m_bookmarkRows[folder.Nr()];
        if (const BookmarkList* bookmarks = folder.colBookmark())
            for (const Bookmark& bookmark : *bookmarks)
                rows.append(bookmark.Nr);
    }
}

void BookmarkModel::sortRows(const QModelIndex& parent, const std::function<void()>& reorder)
{
    const QList<QPersistentModelIndex> parents{QPersistentModelIndex(parent)};
    Q_EMIT layoutAboutToBeChanged(parents, VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<BookmarkRef> refs;
    refs.reserve(before.size());
    for (const QModelIndex& shown : before)
        refs.append(refOf(shown));
    reorder();
    QModelIndexList after;
    after.reserve(before.size());
    for (const BookmarkRef& ref : refs)
        after.append(indexOf(ref));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged(parents, VerticalSortHint);
}

void BookmarkModel::sortFolders()
{
    const QModelIndex root = indexOf(BookmarkRef::Root());
    if (!root.isValid())
        return;
    sortRows(root, [this] {
        std::stable_sort(m_folderRows.begin(), m_folderRows.end(), [this](qint32 a, qint32 b) {
            return textOf(BookmarkRef::Folder(a))
                       .localeAwareCompare(textOf(BookmarkRef::Folder(b))) < 0;
        });
    });
}

void BookmarkModel::sortBookmarks(const BookmarkRef& folderRef)
{
    const QModelIndex shown = folderIndex(folderRef.folder);
    if (!folderRef.isFolder() || !shown.isValid())
        return;
    const qint32 nr = folderRef.folder;
    sortRows(shown, [this, nr] {
        QList<qint16>& rows = m_bookmarkRows[nr];
        std::stable_sort(rows.begin(), rows.end(), [this, nr](qint16 a, qint16 b) {
            return textOf(BookmarkRef::Item(nr, a))
                       .localeAwareCompare(textOf(BookmarkRef::Item(nr, b))) < 0;
        });
    });
}

// --- the archive ----------------------------------------------------------------------------

bool BookmarkModel::load(FileResult& read, QList<FileResult>& folderReads)
{
    beginResetModel();
    m_shown = true;
    folderReads.clear();
    const bool loaded = m_book.LoadAllThema(&read);
    if (loaded) {
        for (Thema& folder : *m_book.colThema()) {
            const FileResult folderRead = folder.LoadBookmarks(m_book.folder());
            if (!folderRead.ok)
                folderReads.append(folderRead);
        }
        rebuildRows();
    } else {
        // Folders a failed read left in the book are not shown.
        m_folderRows.clear();
        m_bookmarkRows.clear();
        m_open.clear();
    }
    endResetModel();
    return loaded;
}

FileResult BookmarkModel::importDocument(const DocNode& body)
{
    beginResetModel();
    const FileResult result = ImportBookmarkDocument(m_book, body);
    rebuildRows();
    endResetModel();
    return result;
}

Thema* BookmarkModel::folder(const BookmarkRef& ref) const
{
    const ThemaList* folders = m_book.colThema();
    if (!folders || (!ref.isFolder() && !ref.isBookmark()))
        return nullptr;
    return folders->find(Thema::KeyFor(ref.folder));
}

Bookmark* BookmarkModel::bookmark(const BookmarkRef& ref) const
{
    const Thema* owner = ref.isBookmark() ? folder(ref) : nullptr;
    const BookmarkList* bookmarks = owner ? owner->colBookmark() : nullptr;
    return bookmarks ? bookmarks->find(Bookmark::KeyFor(ref.folder, ref.bookmark)) : nullptr;
}

qsizetype BookmarkModel::folderPosition(const BookmarkRef& ref) const
{
    const Thema* found = folder(ref);
    return found ? m_book.colThema()->indexOf(found) : -1;
}

qsizetype BookmarkModel::bookmarkPosition(const BookmarkRef& ref) const
{
    const Bookmark* found = bookmark(ref);
    return found ? folder(ref)->colBookmark()->indexOf(found) : -1;
}

bool BookmarkModel::keyTaken(qint32 key) const
{
    const ThemaList* folders = m_book.colThema();
    const QString file = QString::number(key) + QStringLiteral(".bkm");
    if (folders)
        for (const Thema& folder : *folders)
            if (folder.Nr() == key || folder.FileName().compare(file, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

void BookmarkModel::markEdited(Thema& folder)
{
    folder.setIsEdit(true);
    m_book.setIsEdit(true);
}

BookmarkRef BookmarkModel::addFolder(const QString& name, const BookmarkRef& after)
{
    const QModelIndex root = indexOf(BookmarkRef::Root());
    if (!root.isValid())
        return {};
    const bool behind = after.isFolder() && folder(after);
    const qsizetype position = behind ? folderPosition(after) + 1 : 0;
    const int row = behind ? int(m_folderRows.indexOf(after.folder)) + 1 : 0;
    // A key whose number or file another folder already has is skipped, so
    // that no folder file is written over by another.
    qint32 key = m_book.GetNewKey();
    for (int tries = 0; tries < kKeyTries && keyTaken(key); ++tries)
        key = m_book.GetNewKey();
    Thema added;
    added.setNr(key);
    added.setFileName(QString::number(key) + QStringLiteral(".bkm"));
    added.setDirName(name);
    added.setSequenz(key);
    beginInsertRows(root, row, row);
    m_book.ensureColThema().insert(position, std::move(added), Thema::KeyFor(key));
    m_folderRows.insert(row, key);
    m_bookmarkRows.insert(key, {});
    endInsertRows();
    m_book.setIsEdit(true);
    return BookmarkRef::Folder(key);
}

void BookmarkModel::renameFolder(const BookmarkRef& ref, const QString& name)
{
    if (Thema* found = folder(ref)) {
        found->setDirName(name);
        const QModelIndex shown = indexOf(ref);
        Q_EMIT dataChanged(shown, shown, {Qt::DisplayRole, Qt::EditRole});
    }
    m_book.setIsEdit(true);
}

FileResult BookmarkModel::deleteFolder(const BookmarkRef& ref)
{
    const qsizetype row = ref.isFolder() ? m_folderRows.indexOf(ref.folder) : -1;
    const FileResult result = m_book.DeleteThema(qint16(folderPosition(ref) + 1));
    // The folder leaves the rows once it left the archive, even when the
    // save after it failed.
    if (row >= 0 && !folder(ref)) {
        beginRemoveRows(indexOf(BookmarkRef::Root()), int(row), int(row));
        m_folderRows.removeAt(row);
        m_bookmarkRows.remove(ref.folder);
        m_open.remove(ref.folder);
        endRemoveRows();
    }
    return result;
}

void BookmarkModel::updateBookmark(const BookmarkRef& ref, const Bookmark& values)
{
    if (Bookmark* found = bookmark(ref)) {
        const qint16 nr = found->Nr;
        *found = values;
        found->Nr = nr;
        folder(ref)->setIsEdit(true);
        const QModelIndex shown = indexOf(ref);
        Q_EMIT dataChanged(shown, shown);
    }
    m_book.setIsEdit(true);
}

bool BookmarkModel::removeBookmark(const BookmarkRef& ref)
{
    const qsizetype position = bookmarkPosition(ref);
    if (position < 0)
        return false;
    Thema* owner = folder(ref);
    const qsizetype row = m_bookmarkRows.value(ref.folder).indexOf(ref.bookmark);
    if (row >= 0)
        beginRemoveRows(folderIndex(ref.folder), int(row), int(row));
    owner->colBookmark()->removeAt(position);
    if (row >= 0) {
        m_bookmarkRows[ref.folder].removeAt(row);
        endRemoveRows();
    }
    markEdited(*owner);
    return true;
}

BookmarkRef BookmarkModel::copyBookmark(const Bookmark& bookmark, const BookmarkPlace& place)
{
    Thema* target = folder(place.target);
    const QModelIndex shownFolder = target ? folderIndex(target->Nr()) : QModelIndex();
    if (!target || !shownFolder.isValid())
        return {};
    qsizetype position = 0;
    qsizetype row = 0;
    if (place.target.isBookmark()) {
        position = bookmarkPosition(place.target);
        row = m_bookmarkRows.value(target->Nr()).indexOf(place.target.bookmark);
        if (position < 0 || row < 0)
            return {};
        if (place.after) {
            ++position;
            ++row;
        }
    }
    Bookmark added = bookmark;
    added.Nr = target->GetNewKey();
    const BookmarkRef ref = BookmarkRef::Item(target->Nr(), added.Nr);
    beginInsertRows(shownFolder, int(row), int(row));
    target->ensureColBookmark().insert(position, std::move(added),
                                       Bookmark::KeyFor(ref.folder, ref.bookmark));
    m_bookmarkRows[ref.folder].insert(row, ref.bookmark);
    endInsertRows();
    markEdited(*target);
    return ref;
}

BookmarkRef BookmarkModel::moveBookmark(const BookmarkRef& ref, const BookmarkPlace& place)
{
    const Bookmark* found = bookmark(ref);
    if (!found || place.target == ref || !folder(place.target))
        return {};
    if (place.target.isBookmark() && !bookmark(place.target))
        return {};
    const Bookmark moved = *found;
    removeBookmark(ref);
    return copyBookmark(moved, place);
}

} // namespace orv
