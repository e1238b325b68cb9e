#pragma once

#include "app/appinit.h"
#include "app/recordio.h"
#include "layouts/layoutitem.h"
#include "layouts/layoutrecords.h"

#include <QList>
#include <QString>

namespace orv {

// The layout archive: named layouts in book order, kept in the index file
// "WLBook.orp" of a folder (the data folder unless given another one) and one
// window file per layout beside it.
//
// Positions in the book are 1-based, as the archive panel counts them; 0 and
// anything past the end name no layout. Every file is replaced atomically, so
// a failed write leaves the previous file whole; writers show no message and
// return the first error.
class LayoutBook {
public:
    explicit LayoutBook(const QString& folder = DataFolder()) : m_folder(folder) {}

    static QString BookFileName() { return QStringLiteral("WLBook.orp"); }
    const QString& Folder() const { return m_folder; }
    QString BookPath() const;

    // Increments SequenzMax and returns it. Should the Long range be used up,
    // the smallest positive key no layout holds is handed out instead, so a
    // key is never negative and never shared.
    qint32 GetNewKey();

    // Gives oL a new key, the name, the description and the file name
    // "WL<key>.nlt", places it in this book's folder and appends it (nKey < 1
    // or past the end) or inserts it after position nKey. Marks the book
    // edited. Returns the new layout's position.
    int AddLayout(LayoutItem oL, const QString& sName, const QString& sInfo, int nKey);

    // Removes the layout at this position and rewrites the book file; its
    // window file is deleted once the book no longer names it (a missing file
    // is no error). A window file is only ever deleted inside the folder. When
    // the book cannot be written, the window file is kept, so the old book on
    // disk stays whole.
    FileResult DeleteLayout(int position);

    // Rewrites the book file only; clears IsEdit when it was written.
    FileResult UpdateAllLayouts();

    // Writes the window file of every edited layout (clearing its IsEdit once
    // written), then the book file (clearing the book's IsEdit once written).
    FileResult SaveAllLayouts();

    // Replaces the book's layouts with those of the book file and their
    // windows. A missing book file is created empty (when that fails, the
    // reason goes to *error and the book loads empty). Returns true when at
    // least one layout was loaded. A book file that cannot be read ends the
    // load without a message: the layouts stay as they were and the error
    // goes to *error. Until a later load reads the book file, every writer
    // refuses with that error: a book that could not be read is never
    // saved over.
    bool LoadAllLayouts(FileResult* error = nullptr);
    // The error of the last load that could not read the book file; ok
    // when it was read (or no load ran yet).
    const FileResult& ReadError() const { return m_readError; }

    bool IsEmpty() const { return m_layouts.isEmpty(); }
    int count() const { return int(m_layouts.size()); }

    // The layout at a 1-based position, or nullptr.
    LayoutItem* layout(int position);
    const LayoutItem* layout(int position) const;
    // Position of the layout with this key, or 0.
    int PositionOfSequenz(qint32 sequenz) const;

    // The book's index records in book order, as written to the book file.
    QList<LayoutBookRecord> BookRecords() const;

    const QList<LayoutItem>& colLayout() const { return m_layouts; }
    qint32 SequenzMax() const { return m_sequenzMax; }
    void setSequenzMax(qint32 v) { m_sequenzMax = v; }
    int ItCounter() const { return m_itCounter; }
    void setItCounter(int v) { m_itCounter = v; }
    bool IsEdit() const { return m_isEdit; }
    void setIsEdit(bool v) { m_isEdit = v; }

private:
    QString m_folder;
    QList<LayoutItem> m_layouts;
    qint32 m_sequenzMax = 0;
    int m_itCounter = 0;
    bool m_isEdit = false;
    FileResult m_readError;
};

} // namespace orv
