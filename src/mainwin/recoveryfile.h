#pragma once

#include "layouts/layoutrecords.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <optional>

namespace orv {

class ArrangementFiles;
class WindowRegistry;
class frmBrowser;

// The open windows kept for a start after a crash, a kill or a power cut:
// the recovery file ".Wiederherstellung.wlt" in the data folder is an
// arrangement file (address, geometry, state, bars, feed windows, in tab
// order) that the arrangement reader restores; the companion file
// ".Wiederherstellung.ini" keeps what arrangement records cannot hold (the
// active window, zoom and text size per window) as "key=value" lines.
//
// Every change of the windows (opened, closed, moved, sized, minimised,
// maximised, navigated) asks for a save; saves come at most every
// kSaveIntervalMs. The windows' values are collected on the user-interface
// thread and written on a worker with the atomic save: never two writes at
// once, and the last state asked for is always written. An orderly end
// removes both files, so that a start finds them only after an end that was
// not orderly.
class RecoveryFile : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveIntervalMs = 2000;

    explicit RecoveryFile(WindowRegistry& registry);
    ~RecoveryFile() override;

    // From now on the windows are kept in `folder` (the data folder); the
    // first save follows at once.
    void Start(const QString& folder);
    bool Started() const { return !m_folder.isEmpty(); }
    // The orderly end: no more saves, both files removed.
    void EndOrderly();
    // Collects the windows now and hands them to the writer (the main
    // thread's whole part of a save).
    void SaveNow();
    // Waits until no write is under way and none is waiting.
    void WaitForWrites();
    // Saves written since the start.
    int SavesWritten() const { return m_written; }

    // The restore of a start after an end that was not orderly: the windows
    // of `file` open as "Anordnung laden" opens them, then the companion
    // beside it selects the active window and sets zoom and text size.
    static void Restore(const QString& file, WindowRegistry& registry, ArrangementFiles& files);

    static QString FilePath(const QString& folder);
    static QString CompanionPath(const QString& recoveryFile);
    // Where a recovery file that was not restored is kept once (the previous
    // backup is replaced).
    static QString BackupPath(const QString& folder);

Q_SIGNALS:
    // A save reached the disk (or failed: `ok`).
    void saved(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Snapshot {
        QList<LayoutWindowRecord> records;
        QByteArray companion;
    };
    void watch(frmBrowser* window);
    void changed();
    Snapshot collect();
    void write(Snapshot snapshot);
    void writeFinished(bool ok);

    WindowRegistry& m_registry;
    QString m_folder;
    bool m_ended = false;
    QTimer m_timer;
    QElapsedTimer m_sinceSave;
    // The normal geometry of every window, kept while it is neither
    // minimised nor maximised (a minimised window is recorded with it).
    QHash<const frmBrowser*, QRect> m_normal;
    QHash<const frmBrowser*, int> m_textSize;
    QThreadPool m_pool;
    bool m_writing = false;
    std::optional<Snapshot> m_waiting;
    int m_written = 0;
};

// Start-up after the preferences: when the recovery file of a run that did
// not end in order holds windows, asks whether to restore them. The answer
// "Ja" returns the file to restore; "Nein" keeps it once as a backup and
// returns an empty text. A damaged file is told and set aside.
QString AskForRecovery(const QString& folder);

} // namespace orv
