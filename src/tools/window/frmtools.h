#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;
class QToolBar;
class QToolButton;

namespace orv {

class BookmarkFileLoader;
class BookmarkPanel;
class HistoryPanel;
class LayoutPanel;
class SearchPanel;
class ToolsHost;

// The tools window: one modeless window owned by the main window with a
// tab per tool (bookmark archive, history, multi-search, layout archive).
// It lays out the
// current tool's list between the top bar and the tab strip, rolls up to
// its top bar and back, asks to save the archive when it is left, and
// brings the main window to the front when it goes.
class frmTools : public QWidget {
    Q_OBJECT
public:
    enum Tool { ToolBookmarks = 1, ToolHistory = 2, ToolSearch = 3, ToolLayouts = 4 };
    // Width of the window when first shown, twips per tool.
    static constexpr int kBookmarkWidthTwips = 6270;
    static constexpr int kHistoryWidthTwips = 9135;
    static constexpr int kTwipsPerPixel = 15;
    // Offsets of the first placement against the main window, twips.
    static constexpr int kLeftOffsetTwips = 850;
    static constexpr int kTopOffsetTwips = 200;
    // The delay before the main window comes to the front, ms.
    static constexpr int kRaiseDelay = 95;
    // Width of the roll-up toolbar, twips.
    static constexpr int kMinMaxWidthTwips = 1725;

    frmTools(ToolsHost& host, const QString& dataFolder, QWidget* parent);
    ~frmTools() override;

    // The current tool (1..4); set before SelectTool or the first show.
    int nCurrentTool = ToolBookmarks;
    // Opens the window on nCurrentTool as the main window's commands do:
    // unrolls, selects and focuses a visible window; places and shows a
    // hidden one.
    void OpenOn(int tool);
    // Brings the current tool's tab to the front and lays out its list.
    void SelectTool();
    // The tab of a key was chosen ("bkarchiv", "history", "search",
    // "wlayout").
    void TabStrip1_Click(const QString& key);
    // Unrolls the window if it is rolled up.
    void Aufklapp();
    // Roll up ("min", Alt+Q) and unroll ("max", Alt+W).
    void mn_mini_Click();
    void mn_aufklapp_Click();
    // Moves the window to a corner of the main window (0 top left, 1 top
    // right, 2 bottom left, 3 bottom right).
    void MoveToCorner(int corner);
    // The rebar and the tab strip only (double click on the surface).
    void ShowBarsOnly();

    BookmarkPanel& bookmarks() { return *m_bookmarks; }
    HistoryPanel& history() { return *m_history; }
    SearchPanel& search() { return *m_search; }
    LayoutPanel& layouts() { return *m_layouts; }
    BookmarkFileLoader& loader() { return *m_loader; }
    QWidget* CoolBar1() const { return m_coolBar1; }
    QWidget* TabToolbar() const { return m_tabToolbar; }
    QTabBar* TabStrip1() const { return m_tabStrip; }
    QStatusBar* StatusBar1() const { return m_statusBar; }
    QToolButton* Button(const QString& key) const;
    QMenu* WindowMenu() const { return m_windowMenu; }
    // The list of a tool.
    QWidget* ToolList(int tool) const;
    // Client heights: where unrolling returns and the height at load.
    int RestoreHeight() const { return m_restoreHeight; }
    int LoadHeight() const { return m_loadHeight; }
    bool IsRolledUp() const;
    bool IsCollapsed() const { return m_collapsed; }
    QString StatusText() const;
    void SetStatusText(const QString& text);
    // The bookmark file import through the hidden page.
    void ImportFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildBars();
    void layoutList();
    int listHeight(int tool) const;
    void setMinMax(bool rolledUp);
    void setClientHeight(int height);
    void showLoaded();
    void placeBesideHost();
    QToolBar* toolBand(int tool) const;
    void openToolTab(int tool);
    // Ctrl+A on the history and search tabs: "check" toggled.
    void toggleCheckAll();

    ToolsHost& m_host;
    BookmarkPanel* m_bookmarks = nullptr;
    HistoryPanel* m_history = nullptr;
    SearchPanel* m_search = nullptr;
    LayoutPanel* m_layouts = nullptr;
    BookmarkFileLoader* m_loader = nullptr;
    QWidget* m_coolBar1 = nullptr;
    QToolBar* m_toolbar1 = nullptr;
    QToolBar* m_toolbar4 = nullptr;
    QWidget* m_tabToolbar = nullptr;
    QTabBar* m_tabStrip = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusPanel = nullptr;
    QMenu* m_windowMenu = nullptr;
    int m_restoreHeight = 0;
    int m_loadHeight = 0;
    bool m_collapsed = false;
    bool m_layingOut = false;
    bool m_shownOnce = false;
};

} // namespace orv
