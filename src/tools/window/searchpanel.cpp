#include "tools/window/searchpanel.h"

#include "app/dialogseam.h"
#include "platform/docbridge.h"
#include "platform/engine.h"
#include "tools/window/historypanel.h"
#include "tools/window/toolshost.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace orv {

namespace {

constexpr int kFirstTextColumn = 1;
const QString kAllGroups = QStringLiteral("< Alle >");

// The hidden page that holds the search form file: it goes nowhere but to
// HTML pages and opens no windows.
class SearchFormHost : public QWebEnginePage {
public:
    SearchFormHost(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}
    bool* failed = nullptr;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        static_cast<void>(type);
        if (!isMainFrame)
            return true;
        const QStringList pieces = url.toString().split(QLatin1Char(' '));
        if (!IsHtmlAddress(pieces.constLast())) {
            if (failed)
                *failed = true;
            return false;
        }
        return true;
    }
};

} // namespace

SearchPanel::SearchPanel(ToolsHost& host, QWidget* window) : QObject(window), m_host(host)
{
    m_list = new CheckedReportList(window);
    m_list->setObjectName(QStringLiteral("ListView2"));
    m_list->setAccessibleName(QStringLiteral("Suchformulare"));
    m_list->setHeaderLabels({QString(), QStringLiteral("Suchformular"), QStringLiteral("Gruppe")});
    const double total = kMachineWidth + kGroupWidth + 2 * kCheckWidth;
    m_proportions = {total / kMachineWidth, total / kGroupWidth};
    m_list->setColumnWidth(0, kCheckWidth);

    m_band = new QToolBar(window);
    m_band->setObjectName(QStringLiteral("SearchBand"));
    m_band->setAccessibleName(QStringLiteral("Suchbegriff"));
    auto* label = new QLabel(QStringLiteral("Suchbegriff:"), m_band);
    label->setAccessibleName(label->text());
    m_band->addWidget(label);
    m_text = new QLineEdit(m_band);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("Suchbegriff"));
    m_text->installEventFilter(this);
    label->setBuddy(m_text);
    m_band->addWidget(m_text);

    m_coolBar2 = new QWidget(window);
    m_coolBar2->setObjectName(QStringLiteral("CoolBar2"));
    m_coolBar2->setAccessibleName(QStringLiteral("Gruppe"));
    auto* groupLayout = new QHBoxLayout(m_coolBar2);
    groupLayout->setContentsMargins(2, 0, 2, 0);
    auto* groupLabel = new QLabel(QStringLiteral("Gruppe:"), m_coolBar2);
    groupLabel->setAccessibleName(groupLabel->text());
    m_combo = new QComboBox(m_coolBar2);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setAccessibleName(QStringLiteral("Gruppe"));
    groupLabel->setBuddy(m_combo);
    groupLayout->addWidget(groupLabel);
    groupLayout->addWidget(m_combo, 1);
    // "start" and "check" sit beside the group, so that the term keeps the
    // width of the top band at the window's first width.
    auto* buttons = new QToolBar(m_coolBar2);
    buttons->setObjectName(QStringLiteral("SearchButtons"));
    buttons->setAccessibleName(QStringLiteral("Suche"));
    QToolButton* start = AddTextButton(buttons, "start", "Auswahl starten...");
    QToolButton* check = AddTextButton(buttons, "check", "Alle auswählen");
    check->setCheckable(true);
    start->setEnabled(false);
    m_list->setButtons(start, check);
    connect(start, &QToolButton::clicked, this, &SearchPanel::StartSearch);
    connect(check, &QToolButton::clicked, this, &SearchPanel::CheckAllSearch);
    groupLayout->addWidget(buttons);
    connect(m_combo, &QComboBox::activated, this, &SearchPanel::Combo1_Click);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        SubmitSearchForm(row->data(0, CheckedReportList::TagRole).toInt());
    });
    connect(m_list, &CheckedReportList::rowEntered, this, [this](QTreeWidgetItem* row) {
        SubmitSearchForm(row->data(0, CheckedReportList::TagRole).toInt());
    });

    auto* page = new SearchFormHost(BrowserProfile(), this);
    page->failed = &SearchFormFailed;
    // The search forms are data: the page's own scripts do not run.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    m_page = page;
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        const quint64 generation = m_generation;
        if (!ok || SearchFormFailed) {
            failed();
            return;
        }
        TakeDocSnapshot(m_page, this, [this, generation](const DocSnapshot& document) {
            if (generation == m_generation)
                DocumentComplete(document);
        });
    });
}

// The page goes before the profile it uses.
SearchPanel::~SearchPanel()
{
    delete m_page.data();
}

QToolButton* SearchPanel::Button(const QString& key) const
{
    return m_coolBar2->findChild<QToolButton*>(key);
}

QWebEnginePage* SearchPanel::WebBrowser2() const
{
    return m_page;
}

void SearchPanel::failed()
{
    SearchFormFailed = true;
    m_forms.clear();
    m_formHtml.clear();
    m_formBase.clear();
    FillGroupList();
    Q_EMIT formsRead();
}

void SearchPanel::LoadSearchFile(const QString& path)
{
    ++m_generation;
    SearchFormFailed = false;
    SearchFormCount = 0;
    const QStringList pieces = path.split(QLatin1Char(' '));
    if (path.trimmed().isEmpty() || !IsHtmlAddress(pieces.constLast())) {
        failed();
        return;
    }
    m_page->load(QUrl::fromUserInput(path, QString(), QUrl::AssumeLocalFile));
}

void SearchPanel::DocumentComplete(const DocSnapshot& document)
{
    FillSearchList(QString());
    m_forms = ReadSearchForms(document);
    m_formHtml = document.forms;
    m_formBase = QUrl(document.url);
    SearchFormCount = int(m_forms.size());
    FillGroupList();
    Q_EMIT formsRead();
}

void SearchPanel::FillGroupList()
{
    m_combo->clear();
    m_combo->addItem(kAllGroups);
    m_combo->addItems(SearchGroups(m_forms));
    m_combo->setCurrentIndex(0);
    Combo1_Click();
}

void SearchPanel::Combo1_Click()
{
    FillSearchList(m_combo->currentIndex() < 1 ? QString() : m_combo->currentText());
}

void SearchPanel::FillSearchList(const QString& group)
{
    Button(QStringLiteral("check"))->setChecked(false);
    Button(QStringLiteral("start"))->setEnabled(false);
    m_list->clearRows();
    for (const SearchForm& form : FilterSearchForms(m_forms, group))
        m_list->addRow({form.name, form.group}, QString::number(form.number));
    if (m_list->isVisible())
        m_text->setFocus();
}

void SearchPanel::SizeSearchColumns(int scaleWidth)
{
    for (size_t i = 0; i < m_proportions.size(); ++i)
        m_list->setColumnWidth(kFirstTextColumn + int(i), int(scaleWidth / m_proportions[i]));
}

void SearchPanel::OpenTab(int scaleWidth)
{
    if (SearchFormFailed) {
        ShowMessage(QStringLiteral("Meldung"),
                    QStringLiteral("Die Suchformular-Datei: '") + m_host.searchEngineFile() +
                        QStringLiteral("' konnte nicht geladen werden."),
                    MsgIcon::Information);
    }
    m_text->setReadOnly(SearchFormFailed);
    Button(QStringLiteral("check"))->setEnabled(!SearchFormFailed);
    SizeSearchColumns(scaleWidth);
}

void SearchPanel::CheckAllSearch()
{
    m_list->CheckAll();
}

void SearchPanel::StartSearch()
{
    for (const QTreeWidgetItem* row : m_list->rows())
        if (row->checkState(0) == Qt::Checked)
            SubmitSearchForm(row->data(0, CheckedReportList::TagRole).toInt());
}

void SearchPanel::SubmitSearchForm(int k)
{
    if (k < 1 || k > m_formHtml.size())
        return;
    const QString& form = m_formHtml.at(k - 1);
    const QUrl target = SearchFormTarget(form, m_formBase);
    if (target.isEmpty()) {
        QString name;
        for (const SearchForm& entry : std::as_const(m_forms))
            if (entry.number == k)
                name = entry.name;
        Q_EMIT statusText(QStringLiteral("Das Suchformular '%1' wurde nicht gesendet: es führt "
                                         "zu keiner http- oder https-Adresse.")
                              .arg(name));
        return;
    }
    m_host.submitSearch(SearchFormPage(form, m_text->text(), target));
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (Button(QStringLiteral("start"))->isEnabled())
                StartSearch();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orv
