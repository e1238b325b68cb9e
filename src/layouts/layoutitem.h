#pragma once

#include "app/appinit.h"
#include "app/recordio.h"
#include "layouts/layoutrecords.h"

#include <QList>
#include <QString>

namespace orv {

// One archived layout: its name, description and windows. The windows live
// in the file FileName ("WL" + Sequenz + ".nlt") inside the layout folder,
// which is the data folder unless the item is given another one.
class LayoutItem {
public:
    explicit LayoutItem(const QString& folder = DataFolder()) : m_folder(folder) {}

    // "WL" + sequenz in decimal + ".nlt".
    static QString FileNameFor(qint32 sequenz);

    const QString& Folder() const { return m_folder; }
    void setFolder(const QString& folder) { m_folder = folder; }
    // Folder + "/" + FileName trimmed of blanks.
    QString FilePath() const;

    qint32 Sequenz() const { return m_sequenz; }
    void setSequenz(qint32 v) { m_sequenz = v; }
    const QString& LayoutName() const { return m_layoutName; }
    void setLayoutName(const QString& v) { m_layoutName = v; }
    const QString& Info() const { return m_info; }
    void setInfo(const QString& v) { m_info = v; }
    const QString& FileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    const QList<FensterInfo>& colFensterInfo() const { return m_fenster; }
    QList<FensterInfo>& colFensterInfo() { return m_fenster; }
    int ItCounter() const { return m_itCounter; }
    void setItCounter(int v) { m_itCounter = v; }
    bool IsEdit() const { return m_isEdit; }
    void setIsEdit(bool v) { m_isEdit = v; }

    // Sets FileName from Sequenz and replaces that file with the windows in
    // list order (record numbers 1, 2, ...). No message; on failure the old
    // file stays and the error is returned.
    FileResult SaveAllFensterInfos();

    // Replaces the windows with those of the file named by FileName and sets
    // ItCounter. A missing file gives no windows. A file that cannot be read,
    // and one that is no regular file inside the folder ("../x", a link
    // leading out, a device, a FIFO) or is too large, which is never opened,
    // shows "(LayoutItem) - " + text 1110 and the reason (title 1129) and leaves the windows
    // and ItCounter as they were; the result then is false.
    bool LoadAllFensterInfos();

private:
    QString m_folder;
    qint32 m_sequenz = 0;
    QString m_layoutName;
    QString m_info;
    QString m_fileName;
    QList<FensterInfo> m_fenster;
    int m_itCounter = 0;
    bool m_isEdit = false;
};

} // namespace orv
