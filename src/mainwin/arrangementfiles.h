#pragma once

#include "layouts/layout.h"

#include <QList>
#include <QObject>
#include <QString>

class QMainWindow;

namespace orv {

class DeferredSteps;
class frmBrowser;
class WindowRegistry;

// Saving and restoring window arrangements: arrangement files ("*.wlt"),
// the layouts of the archive and the records of either, opened window by
// window. A restore runs in two phases: the open windows close first, the
// recorded ones open a moment later (a deferred step).
class ArrangementFiles : public QObject {
    Q_OBJECT
public:
    ArrangementFiles(QMainWindow& main, WindowRegistry& registry, DeferredSteps& steps);

    // The File menu's "save arrangement" and "load arrangement".
    void SaveArrangement();
    void OpenLayoutFile();
    QString ShowOpenLayoutDialog();
    // sFile: the layout's window file, relative to the data folder.
    void ArchivAnordnungLaden(const QString& sFile);
    // The second phases of a restore.
    void LoadLayoutFile();
    void LoadArchivedLayout();
    QList<LayoutWindowState> CaptureLayoutWindows();
    // One window as it is now, without changing it: a minimised window's
    // normal geometry is its current one here (CaptureLayoutWindows finds
    // the real one).
    static LayoutWindowState CaptureWindowState(const frmBrowser& window);
    // Opens one window as an arrangement record says.
    void OpenLayoutItem(const LayoutOpenArgs& args);
    // The file waiting for the second phase of a restore; empty when none.
    QString PendingLayoutFile;

Q_SIGNALS:
    // Before a restore every window closes (synchronously, while this
    // signal is delivered).
    void closeAllRequested();
    // The windows of a restore are open.
    void restoreFinished();

private:
    void closeForRestore();

    QMainWindow& m_main;
    WindowRegistry& m_registry;
    DeferredSteps& m_steps;
};

} // namespace orv
