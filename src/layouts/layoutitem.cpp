#include "layouts/layoutitem.h"

#include "app/dialogseam.h"
#include "app/texts.h"

namespace orv {

QString LayoutItem::FileNameFor(qint32 sequenz)
{
    return QStringLiteral("WL") + QString::number(sequenz) + QStringLiteral(".nlt");
}

QString LayoutItem::FilePath() const
{
    // Joined by hand: the stored name is always relative to the folder.
    return m_folder + QLatin1Char('/') + trimLayoutPath(m_fileName);
}

FileResult LayoutItem::SaveAllFensterInfos()
{
    m_fileName = FileNameFor(m_sequenz);
    return writeFensterInfoFile(FilePath(), m_fenster);
}

bool LayoutItem::LoadAllFensterInfos()
{
    QList<FensterInfo> infos;
    // The stored name is read only as a file inside the layout folder.
    const FileResult result = readFensterInfoFile(FilePath(), infos, true, m_folder);
    if (!result.ok) {
        ShowMessage(Txt(1129), QStringLiteral("(LayoutItem) - ") + Txt(1110) + u'\n' + result.error,
                    MsgIcon::Warning);
        return false;
    }
    m_fenster = std::move(infos);
    m_itCounter = int(m_fenster.size());
    return true;
}

} // namespace orv
