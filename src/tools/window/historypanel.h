#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTreeWidget>

#include <array>

class QToolBar;
class QToolButton;

namespace orv {

class ToolsHost;

// A report list whose first column carries the rows' check boxes, as the
// history and the multi-search show them: checking a row selects it and
// enables "start", checking the last one presses "check"; unchecking
// releases "check" and, with none left, disables "start". A click on a
// header sorts by the displayed texts (again: the other way round).
// A button of a tab's bar that shows its text (its key as object name).
QToolButton* AddTextButton(QToolBar* bar, const char* key, const char* tip);

class CheckedReportList : public QTreeWidget {
    Q_OBJECT
public:
    // Item data role of a row's tag.
    static constexpr int TagRole = Qt::UserRole;

    explicit CheckedReportList(QWidget* parent);

    // The toolbar buttons the check logic drives.
    void setButtons(QToolButton* start, QToolButton* check);
    // Adds a row: a blank with an unchecked box, then the texts; `tag` as
    // its tag.
    QTreeWidgetItem* addRow(const QStringList& texts, const QString& tag);
    void clearRows();
    // Rows in list order and their check states.
    QList<QTreeWidgetItem*> rows() const;
    int checkedCount() const;
    // The "check" button was toggled: "start" follows it; a partly checked
    // list is left alone while "check" is released, otherwise every row
    // takes the button's state.
    void CheckAll();
    void sortByColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

Q_SIGNALS:
    // A row's check box changed (after the check logic ran).
    void rowChecked(QTreeWidgetItem* row);
    // Enter on the selected row.
    void rowEntered(QTreeWidgetItem* row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onItemChanged(QTreeWidgetItem* item, int column);

    QToolButton* m_start = nullptr;
    QToolButton* m_check = nullptr;
    bool m_quiet = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// The history tab of the tools window: the visits of this run with address,
// title and time, opened one by one or all checked ones, each in a new
// window without bars.
class HistoryPanel : public QObject {
    Q_OBJECT
public:
    // Design widths of the columns, pixels; the shown widths keep their
    // proportions to the window's width.
    static constexpr int kCheckWidth = 24;
    static constexpr int kAdresseWidth = 260;
    static constexpr int kTitelWidth = 220;
    static constexpr int kDateTimeWidth = 140;

    HistoryPanel(ToolsHost& host, QWidget* window);

    CheckedReportList* ListView1() const { return m_list; }
    QToolBar* Toolbar2() const { return m_toolbar; }
    QToolButton* Button(const QString& key) const;
    int HistoryCount = 0;

    // "DD.MM.YYYY - hh:mm:ss".
    static QString FormatDate(const QDateTime& when);

    void FillHistoryList();
    // Column widths for a window of that inner width.
    void SizeHistoryColumns(int scaleWidth);
    // The tab was opened.
    void OpenTab(int scaleWidth);
    // "refresh" and F5.
    void Refresh();
    void OpenCheckedHistory();
    void CheckAllHistory();
    // Opens the entry of a row in a new window without bars.
    void OpenRow(const QTreeWidgetItem* row);

Q_SIGNALS:
    // A text for the status panel of the tools window: the address of the
    // row clicked or checked.
    void statusText(const QString& text);

private:
    QString addressOf(const QTreeWidgetItem* row) const;

    ToolsHost& m_host;
    CheckedReportList* m_list = nullptr;
    QToolBar* m_toolbar = nullptr;
    // Total design width divided by each column's: "adresse", "titel",
    // "datetime".
    std::array<double, 3> m_proportions{};
};

} // namespace orv
