#include "tools/window/historypanel.h"

#include "tools/historylist.h"
#include "tools/window/toolshost.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace orv {

namespace {

constexpr int kColumnCheck = 0;
constexpr int kFirstTextColumn = 1;
const QString kRowText = QStringLiteral(" ");
// A time of wide digits, for the width of the time column.
QDateTime widestDate()
{
    constexpr int year = 2000, month = 8, day = 28, hour = 20, minute = 58, second = 58;
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}
constexpr size_t kDateShare = 2; // the time's place in the proportions
// Room beside a cell's text besides the style's margins, pixels.
constexpr int kTextSlack = 6;

} // namespace

QToolButton* AddTextButton(QToolBar* bar, const char* key, const char* tip)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromUtf8(key));
    button->setText(QString::fromUtf8(tip));
    button->setToolTip(button->text());
    button->setAccessibleName(button->text());
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

// --- the report list --------------------------------------------------------------------------

CheckedReportList::CheckedReportList(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CheckedReportList::sortByColumn);
    connect(this, &QTreeWidget::itemChanged, this, &CheckedReportList::onItemChanged);
}

void CheckedReportList::setButtons(QToolButton* start, QToolButton* check)
{
    m_start = start;
    m_check = check;
}

QTreeWidgetItem* CheckedReportList::addRow(const QStringList& texts, const QString& tag)
{
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    auto* row = new QTreeWidgetItem(QStringList{kRowText} + texts);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(kColumnCheck, Qt::Unchecked);
    row->setData(kColumnCheck, TagRole, tag);
    addTopLevelItem(row);
    return row;
}

void CheckedReportList::clearRows()
{
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    clear();
}

QList<QTreeWidgetItem*> CheckedReportList::rows() const
{
    QList<QTreeWidgetItem*> all;
    for (int i = 0; i < topLevelItemCount(); ++i)
        all << topLevelItem(i);
    return all;
}

int CheckedReportList::checkedCount() const
{
    int checked = 0;
    for (const QTreeWidgetItem* row : rows())
        checked += row->checkState(kColumnCheck) == Qt::Checked ? 1 : 0;
    return checked;
}

void CheckedReportList::onItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_quiet || column != kColumnCheck)
        return;
    setCurrentItem(item);
    item->setSelected(true);
    const int checked = checkedCount();
    if (item->checkState(kColumnCheck) == Qt::Checked) {
        if (m_start)
            m_start->setEnabled(true);
        if (m_check && checked == topLevelItemCount())
            m_check->setChecked(true);
    } else {
        if (m_check)
            m_check->setChecked(false);
        if (m_start && checked == 0)
            m_start->setEnabled(false);
    }
    Q_EMIT rowChecked(item);
}

void CheckedReportList::CheckAll()
{
    const bool pressed = m_check && m_check->isChecked();
    if (m_start)
        m_start->setEnabled(pressed);
    const int checked = checkedCount();
    if (checked > 0 && checked < topLevelItemCount() && !pressed)
        return;
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    for (QTreeWidgetItem* row : rows())
        row->setCheckState(kColumnCheck, pressed ? Qt::Checked : Qt::Unchecked);
}

void CheckedReportList::sortByColumn(int column)
{
    m_sortOrder = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                              : Qt::AscendingOrder;
    m_sortColumn = column;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, m_sortOrder);
    // The displayed texts decide, whatever the column holds.
    sortItems(column, m_sortOrder);
}

void CheckedReportList::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        Q_EMIT rowEntered(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// --- the history tab --------------------------------------------------------------------------

HistoryPanel::HistoryPanel(ToolsHost& host, QWidget* window) : QObject(window), m_host(host)
{
    m_list = new CheckedReportList(window);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Historie"));
    m_list->setHeaderLabels({QString(), QStringLiteral("Adresse"), QStringLiteral("Titel"),
                             QStringLiteral("Datum - Uhrzeit")});
    const std::array<int, 3> widths = {kAdresseWidth, kTitelWidth, kDateTimeWidth};
    const double total = kAdresseWidth + kTitelWidth + kDateTimeWidth + 2 * kCheckWidth;
    for (size_t i = 0; i < widths.size(); ++i)
        m_proportions[i] = total / widths[i];
    m_list->setColumnWidth(kColumnCheck, kCheckWidth);

    m_toolbar = new QToolBar(window);
    m_toolbar->setObjectName(QStringLiteral("Toolbar2"));
    m_toolbar->setAccessibleName(QStringLiteral("Historie"));
    QToolButton* refresh = AddTextButton(m_toolbar, "refresh", "Aktualisieren");
    QToolButton* start = AddTextButton(m_toolbar, "start", "Auswahl öffnen...");
    QToolButton* check = AddTextButton(m_toolbar, "check", "Alle auswählen");
    check->setCheckable(true);
    m_list->setButtons(start, check);
    connect(refresh, &QToolButton::clicked, this, &HistoryPanel::Refresh);
    connect(start, &QToolButton::clicked, this, &HistoryPanel::OpenCheckedHistory);
    connect(check, &QToolButton::clicked, this, &HistoryPanel::CheckAllHistory);

    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* row) { Q_EMIT statusText(addressOf(row)); });
    connect(m_list, &CheckedReportList::rowChecked, this,
            [this](QTreeWidgetItem* row) { Q_EMIT statusText(addressOf(row)); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) { OpenRow(row); });
    connect(m_list, &CheckedReportList::rowEntered, this,
            [this](QTreeWidgetItem* row) { OpenRow(row); });
}

QToolButton* HistoryPanel::Button(const QString& key) const
{
    return m_toolbar->findChild<QToolButton*>(key);
}

QString HistoryPanel::FormatDate(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" - ") +
           when.toString(QStringLiteral("hh:mm:ss"));
}

void HistoryPanel::FillHistoryList()
{
    m_list->clearRows();
    const QList<HistoryItem>& items = m_host.historyList().Items();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const HistoryItem& item = items.at(i);
        m_list->addRow({item.URL(), item.Title(), FormatDate(item.UrlDate())},
                       QString::number(i + 1));
    }
    HistoryCount = int(items.size());
}

void HistoryPanel::SizeHistoryColumns(int scaleWidth)
{
    // The time is never cut: it takes its share or the width of its text,
    // whichever is more; address and title share the rest of what the list
    // shows beside the check boxes and the scroll bar.
    const QStyle* style = m_list->style();
    const int margins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
    const int dateText = m_list->fontMetrics().horizontalAdvance(FormatDate(widestDate()));
    const int date =
        std::max(int(scaleWidth / m_proportions[kDateShare]), dateText + margins + kTextSlack);
    const int shown = scaleWidth - 2 * m_list->frameWidth() -
                      style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
    const int rest = std::max(0, shown - kCheckWidth - date);
    const int adresse = rest * kAdresseWidth / (kAdresseWidth + kTitelWidth);
    m_list->setColumnWidth(kFirstTextColumn, adresse);
    m_list->setColumnWidth(kFirstTextColumn + 1, rest - adresse);
    m_list->setColumnWidth(kFirstTextColumn + 2, date);
}

void HistoryPanel::OpenTab(int scaleWidth)
{
    Refresh();
    m_list->setFocus();
    const bool any = HistoryCount > 0;
    Button(QStringLiteral("refresh"))->setEnabled(any);
    Button(QStringLiteral("check"))->setEnabled(any);
    SizeHistoryColumns(scaleWidth);
}

void HistoryPanel::Refresh()
{
    FillHistoryList();
    Button(QStringLiteral("check"))->setChecked(false);
    Button(QStringLiteral("start"))->setEnabled(false);
}

void HistoryPanel::OpenCheckedHistory()
{
    for (const QTreeWidgetItem* row : m_list->rows())
        if (row->checkState(kColumnCheck) == Qt::Checked)
            OpenRow(row);
}

void HistoryPanel::CheckAllHistory()
{
    m_list->CheckAll();
}

QString HistoryPanel::addressOf(const QTreeWidgetItem* row) const
{
    if (!row)
        return QString();
    const HistoryItem* item =
        m_host.historyList().Item(row->data(kColumnCheck, CheckedReportList::TagRole).toInt());
    return item ? item->URL() : QString();
}

void HistoryPanel::OpenRow(const QTreeWidgetItem* row)
{
    const QString address = addressOf(row);
    if (!address.isEmpty())
        m_host.visitUrl(address, false, false);
}

} // namespace orv
