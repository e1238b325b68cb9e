#include "tools/window/bookmarkmodel.h"

namespace orv {

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

BookmarkRef BookmarkModel::addFolder(const QString& name, qsizetype position)
{
    // A key whose number or file another folder already has is skipped, so
    // that no folder file is written over by another.
    qint32 key = m_book.GetNewKey();
    for (int tries = 0; tries < kKeyTries && keyTaken(key); ++tries)
        key = m_book.GetNewKey();
    Thema folder;
    folder.setNr(key);
    folder.setFileName(QString::number(key) + QStringLiteral(".bkm"));
    folder.setDirName(name);
    folder.setSequenz(key);
    m_book.ensureColThema().insert(position, std::move(folder), Thema::KeyFor(key));
    m_book.setIsEdit(true);
    return BookmarkRef::Folder(key);
}

void BookmarkModel::renameFolder(const BookmarkRef& ref, const QString& name)
{
    if (Thema* found = folder(ref))
        found->setDirName(name);
    m_book.setIsEdit(true);
}

FileResult BookmarkModel::deleteFolder(const BookmarkRef& ref)
{
    return m_book.DeleteThema(qint16(folderPosition(ref) + 1));
}

BookmarkRef BookmarkModel::addBookmark(const BookmarkRef& folderRef, qsizetype position,
                                       Bookmark bookmark)
{
    Thema* target = folder(folderRef);
    if (!target)
        return {};
    bookmark.Nr = target->GetNewKey();
    const BookmarkRef ref = BookmarkRef::Item(target->Nr(), bookmark.Nr);
    target->ensureColBookmark().insert(position, std::move(bookmark),
                                       Bookmark::KeyFor(ref.folder, ref.bookmark));
    markEdited(*target);
    return ref;
}

void BookmarkModel::updateBookmark(const BookmarkRef& ref, const Bookmark& values)
{
    if (Bookmark* found = bookmark(ref)) {
        const qint16 nr = found->Nr;
        *found = values;
        found->Nr = nr;
        folder(ref)->setIsEdit(true);
    }
    m_book.setIsEdit(true);
}

bool BookmarkModel::removeBookmark(const BookmarkRef& ref)
{
    const qsizetype position = bookmarkPosition(ref);
    if (position < 0)
        return false;
    Thema* owner = folder(ref);
    owner->colBookmark()->removeAt(position);
    markEdited(*owner);
    return true;
}

BookmarkRef BookmarkModel::copyBookmark(const Bookmark& bookmark, const BookmarkPlace& place)
{
    qsizetype position = 0;
    if (place.target.isBookmark()) {
        position = bookmarkPosition(place.target);
        if (position < 0)
            return {};
        if (place.after)
            ++position;
    }
    return addBookmark(place.target.folderRef(), position, bookmark);
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
