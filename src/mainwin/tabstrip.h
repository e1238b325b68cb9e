#pragma once

#include <QFont>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class QDropEvent;
class QMainWindow;
class QMenu;
class QPoint;
class QTabBar;
class QToolBar;
class QWidget;

namespace orv {

class MenuItems;
class Prefer;
class WindowRegistry;
class frmBrowser;
struct MainFlags;

// The tab strip (the register row): one tab per browser window under its
// key, in its own bar docked at the top or the bottom of the main window,
// drawn as tabs or as flat buttons, with its menu commands and its own
// context menu. It follows the registry's windows and their reports
// (caption, busy animation).
class TabStrip : public QObject {
    Q_OBJECT
public:
    // Characters a tab keeps readable however many windows are open.
    static constexpr int kReadableChars = 14;

    TabStrip(QMainWindow& main, WindowRegistry& registry, MenuItems& items, MainFlags& flags,
             Prefer& prefer);
    ~TabStrip() override;

    QTabBar* TabStrip1() const { return m_tabs; }
    QToolBar* Toolbar1() const { return m_tabBar; }
    // The strip's own context menu (`mn_RegisterDummy`).
    QMenu* TabStripMenu() const { return m_registerMenu; }
    // The strip's offset inside its bar in twips (15 to the pixel).
    int TabStripTop() const { return m_tabStripTop; }
    // 0 tabs, 2 flat buttons.
    int TabStyle() const { return m_tabStyle; }
    int TabIndexOfKey(const QString& key) const;

    // The register items into the View menu `view`, and their copies into
    // the main context menu.
    void buildTabStripItems(QMenu* view);
    void buildTabStripCopies(QMenu* ctxtMenu);

    void CreateTab(int number, const QString& sCap);
    void RemoveTab(int nKey);
    void UpdateTab();
    void SetTapTitle(const QString& title, int number);
    // A frame of the busy animation, or the plain picture (selected or not).
    void SetTabImage(int number, int image);
    void ResetTabImage(int number);
    static QString StrToCaption(const QString& text);
    // The strip's font: face `sFont`, 8.25 points.
    static QFont SetFontFace(bool bBold, const QString& sFont);

    void SetToolbarVisible(bool visible);
    void SetToolbarPos(int nAlign, bool bStyleButton);
    void SetTabStripPos(bool bTabBtn);
    void TabStripResize();
    // Docks the row again where its check marks say.
    void UpdateToolbarPos();

    void mn_Register_Click();
    void mn_RegisterOben_Click();
    void mn_RegisterUnten_Click();
    void mn_RegisterTabs_Click();
    void mn_RegisterButton_Click();

    void TabStrip1_MouseUp(Qt::MouseButton button, const QPoint& globalPos);

    // The windows chosen by Ctrl+click on their tabs, as keys in tab order.
    // A Ctrl+click adds a tab or takes it away again (the window does not
    // come to the front); a plain click on a tab ends the choice.
    QStringList SelectedKeys() const;
    void ClearSelection();
    // A drop on the strip: accepted and opened while external opening is on.
    void TabStrip1_OLEDragDrop(QDropEvent* event);
    // The tab part of the main window's activation.
    void ActivateTabStrip();
    // The tab part of the start-up's last step.
    void ApplyTabSettings();

Q_SIGNALS:
    // Addresses dropped on the strip, to open.
    void dropped(const QStringList& items);
    // Tabs were chosen or let go.
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tab font of the preferences, set only when it changed.
    void setTabFont();
    void TabStrip1_Click(int index);
    void setTabStyle(bool buttons);
    void setTabCaption(int index, const QString& text);
    void markSelected(int index);
    // Tab picture `image` (TabImage) on the tab at `index`.
    void showTabImage(int index, int image);
    void toggleChosen(int index);
    void showChosen(int index);

    QMainWindow& m_main;
    WindowRegistry& m_registry;
    MenuItems& m_items;
    MainFlags& m_flags;
    Prefer& m_prefer;

    QToolBar* m_tabBar = nullptr; // Toolbar1
    QWidget* m_tabHost = nullptr;
    QTabBar* m_tabs = nullptr; // TabStrip1
    const QObject* m_tabsObject = nullptr;
    QMenu* m_registerMenu = nullptr;
    int m_lastTabIndex = -1;
    int m_tabStripTop = 0;
    int m_tabStyle = 0;
    // The keys of the tabs chosen by Ctrl+click.
    QSet<QString> m_chosen;
};

} // namespace orv
