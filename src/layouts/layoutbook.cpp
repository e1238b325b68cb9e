#include "layouts/layoutbook.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace orv {
namespace {

// A stored file name that stays inside the layout folder: no separator, no
// parent or self reference, no empty name.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

FileResult firstError(const FileResult& a, const FileResult& b)
{
    return a.ok ? b : a;
}

// The answer of every writer while the book file could not be read.
FileResult notSavedOverUnread(const FileResult& readError)
{
    return FileResult::failure(QStringLiteral("Das Archiv der Anordnungen konnte nicht gelesen "
                                              "werden und wird nicht überschrieben.\n") +
                               readError.error);
}

} // namespace

QString LayoutBook::BookPath() const
{
    return m_folder + QLatin1Char('/') + BookFileName();
}

qint32 LayoutBook::GetNewKey()
{
    if (m_sequenzMax < std::numeric_limits<qint32>::max())
        return ++m_sequenzMax;
    QList<qint32> used;
    used.reserve(m_layouts.size());
    for (const LayoutItem& item : m_layouts)
        used.append(item.Sequenz());
    std::sort(used.begin(), used.end());
    qint32 key = 1;
    for (qint32 u : used) {
        if (u == key)
            ++key;
        else if (u > key)
            break;
    }
    return key;
}

int LayoutBook::AddLayout(LayoutItem oL, const QString& sName, const QString& sInfo, int nKey)
{
    oL.setSequenz(GetNewKey());
    oL.setLayoutName(sName);
    oL.setInfo(sInfo);
    oL.setFileName(LayoutItem::FileNameFor(oL.Sequenz()));
    oL.setFolder(m_folder);
    m_isEdit = true;
    if (nKey < 1 || nKey >= count()) {
        m_layouts.append(std::move(oL));
        return count();
    }
    m_layouts.insert(nKey, std::move(oL));
    return nKey + 1;
}

FileResult LayoutBook::DeleteLayout(int position)
{
    if (!m_readError.ok)
        return notSavedOverUnread(m_readError);
    const LayoutItem* item = layout(position);
    if (!item)
        return FileResult::failure(QStringLiteral("Anordnung nicht gefunden: Position ") +
                                   QString::number(position));
    const QString fileName = trimLayoutPath(item->FileName());
    m_layouts.removeAt(position - 1);
    m_isEdit = true;
    FileResult result = UpdateAllLayouts();
    if (result.ok && isPlainFileName(fileName)) {
        const QString path = m_folder + QLatin1Char('/') + fileName;
        QFile file(path);
        if (QFileInfo(path).isFile() && !file.remove())
            result = FileResult::failure(QStringLiteral("Datei kann nicht gelöscht werden: ") +
                                         path + QStringLiteral(" (") + file.errorString() +
                                         QStringLiteral(")"));
    }
    return result;
}

FileResult LayoutBook::UpdateAllLayouts()
{
    if (!m_readError.ok)
        return notSavedOverUnread(m_readError);
    const FileResult result = writeLayoutBookFile(BookPath(), BookRecords());
    if (result.ok)
        m_isEdit = false;
    return result;
}

FileResult LayoutBook::SaveAllLayouts()
{
    if (!m_readError.ok)
        return notSavedOverUnread(m_readError);
    // Window files first: the book never names a layout whose windows are
    // not on disk yet.
    FileResult result;
    for (LayoutItem& item : m_layouts) {
        if (!item.IsEdit())
            continue;
        const FileResult written = item.SaveAllFensterInfos();
        if (written.ok)
            item.setIsEdit(false);
        result = firstError(result, written);
    }
    return firstError(result, UpdateAllLayouts());
}

bool LayoutBook::LoadAllLayouts(FileResult* error)
{
    if (error)
        *error = {};
    const QString path = BookPath();
    if (!QFileInfo::exists(path)) {
        // An empty book; when it cannot be created the load goes on (a
        // missing book reads as empty) and tells why.
        const FileResult created = writeFileAtomic(path, {});
        if (!created.ok && error)
            *error = created;
    }

    QList<LayoutBookRecord> records;
    const FileResult result = readLayoutBookFile(path, records, true);
    if (!result.ok) {
        m_readError = result;
        if (error)
            *error = result;
        return false;
    }
    m_readError = {};

    QList<LayoutItem> layouts;
    layouts.reserve(records.size());
    for (const LayoutBookRecord& record : records) {
        LayoutItem item(m_folder);
        item.setFileName(record.FileName);
        item.setLayoutName(record.LayoutName);
        item.setInfo(record.Info);
        item.setIsEdit(false);
        item.setSequenz(record.Sequenz);
        m_sequenzMax = std::max(m_sequenzMax, record.Sequenz);
        item.LoadAllFensterInfos();
        layouts.append(std::move(item));
    }
    m_layouts = std::move(layouts);
    m_isEdit = false;
    if (m_layouts.isEmpty()) {
        m_sequenzMax = 0;
        m_itCounter = 0;
        return false;
    }
    m_itCounter = count();
    return true;
}

LayoutItem* LayoutBook::layout(int position)
{
    if (position < 1 || position > count())
        return nullptr;
    return &m_layouts[position - 1];
}

const LayoutItem* LayoutBook::layout(int position) const
{
    if (position < 1 || position > count())
        return nullptr;
    return &m_layouts[position - 1];
}

int LayoutBook::PositionOfSequenz(qint32 sequenz) const
{
    for (int i = 0; i < count(); ++i)
        if (m_layouts[i].Sequenz() == sequenz)
            return i + 1;
    return 0;
}

QList<LayoutBookRecord> LayoutBook::BookRecords() const
{
    QList<LayoutBookRecord> records;
    records.reserve(m_layouts.size());
    qint32 number = 0;
    for (const LayoutItem& item : m_layouts) {
        LayoutBookRecord record;
        record.Sequenz = item.Sequenz();
        record.RecordNumber = ++number;
        record.LayoutName = item.LayoutName();
        record.FileName = item.FileName();
        record.Info = item.Info();
        records.append(record);
    }
    return records;
}

} // namespace orv
