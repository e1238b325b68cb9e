#pragma once

#include "browser/findbar.h"

#include <QHash>
#include <QPointer>
#include <QToolBar>

class QMenu;
class QToolButton;

namespace orv {

class frmBrowser;

// The toolbar of a browser window. Buttons and drop-down entries are known by
// their keys ("Back", "Clone", "GetHome", "Cloneit", ...); drive entries have
// no key and carry their folder as data. A button click clears the global
// new-window refusal, restarts the window's activity timer, and (except
// "Stop") sets the refusal before it acts; an entry click sets the refusal.
// A mouse press on the toolbar rebuilds the drive menu and enables the
// window entries of "Clone" by the main window's counts.
class BrowserToolbar : public QToolBar {
    Q_OBJECT
public:
    BrowserToolbar(frmBrowser* owner, QWidget* parent);

    // Sets the tool tips that come from the preferences and the history
    // state, rebuilds the drive menu and connects the window's keys (Ctrl+F)
    // and the profile's downloads (window load).
    void SetupToolbar();
    // The "history" button's state. The toolbar has no history button yet:
    // the state is kept (HistoryEnabled) and applies to the button once it
    // is added under the key "history".
    void SetHistoryEnabled(bool enabled);
    bool HistoryEnabled() const { return m_historyEnabled; }
    // The "Clone" entry "Cloneit".
    void SetCloneEnabled(bool enabled);
    // Rebuilds the drive drop-down: one entry per readable mounted file
    // system, captioned with its mount path.
    void FillDriveMenu();
    // Enables "ClosePopups" (a pop-up is open), "CloseallWin" (a window is
    // open) and "CloseOthers" (two windows are open).
    void UpdateCloneEntries();
    // The "Home" button's tool tip.
    void SetHomeToolTip(const QString& url);

    // Runs a button's command as its click does.
    void ButtonClick(const QString& key);
    // Runs a drop-down entry's command as its click does.
    void ButtonMenuClick(QAction* entry);

    // The find bar of the window ("DocSearch", Ctrl+F), made on first use.
    void ShowFindBar();
    FindBar* findBar() const { return m_findBar; }

    QToolButton* Button(const QString& key) const { return m_buttons.value(key); }
    // The toolbar action that holds a button (to insert buttons before it).
    QAction* ButtonAction(const QString& key) const { return m_buttonActions.value(key); }
    QAction* Entry(const QString& key) const { return m_entries.value(key); }
    QMenu* DriveMenu() const { return m_driveMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const QString& key, const QIcon& icon, const QString& toolTip,
                           QMenu* menu = nullptr);
    QMenu* addMenu(const QString& key);
    void addBookmarkButton();
    QAction* addEntry(QMenu* menu, const QString& key, const QString& caption);
    void pressed(Qt::MouseButton button);
    void navigate(const QString& address);
    void newBrowserFromHome();

    frmBrowser* m_owner;
    QHash<QString, QToolButton*> m_buttons;
    QHash<QString, QAction*> m_buttonActions;
    QHash<QString, QAction*> m_entries;
    QMenu* m_driveMenu = nullptr;
    QPointer<FindBar> m_findBar;
    bool m_historyEnabled = false;
    bool m_setUp = false;
};

} // namespace orv
