// The multi-search tab: the search form file in the hidden page, the rows
// and the group filter, the check logic, submitting the forms.

#include "common/guitest.h"
#include "tools/window/fakehost.h"
#include "tools/window/historypanel.h"
#include "tools/window/searchpanel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace orv;

namespace {

constexpr int kLoadTimeout = 30000;

// A header and a form per entry "name|group" ("-" as group: no id).
QString SearchFile(const QStringList& entries)
{
    QString html = QStringLiteral("<html><body>");
    int n = 0;
    for (const QString& entry : entries) {
        const QString group = entry.section(QLatin1Char('|'), 1);
        html += group == QLatin1String("-")
                    ? QStringLiteral("<h3>%1</h3>").arg(entry.section(QLatin1Char('|'), 0, 0))
                    : QStringLiteral("<h3 id=\"%1\">%2</h3>")
                          .arg(group, entry.section(QLatin1Char('|'), 0, 0));
        html += QStringLiteral("<form action=\"http://127.0.0.1:1/f%1\"><input name=\"q\" "
                               "value=\"%Orvane%\"></form>")
                    .arg(++n);
    }
    return html + QStringLiteral("</body></html>");
}

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestSearchPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<SearchPanel> m_panel;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;

    QString write(const QString& name, const QString& html)
    {
        const QString path = m_dir->filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(html.toUtf8());
        return path;
    }
    // Loads a file and waits until its forms are read.
    bool load(const QString& path)
    {
        m_host.searchFile = path;
        QSignalSpy read(m_panel.get(), &SearchPanel::formsRead);
        m_panel->LoadSearchFile(path);
        return read.size() > 0 || read.wait(kLoadTimeout);
    }
    void chooseGroup(const QString& group)
    {
        m_panel->groupChoice()->setCurrentText(group);
        m_panel->Combo1_Click();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<QWidget>();
        m_window->show();
        m_host = FakeToolsHost();
        m_dialogs.clear();
        InstallDialogs(&m_dialogs);
        m_panel = std::make_unique<SearchPanel>(m_host, m_window.get());
    }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_panel.reset();
        m_window.reset();
        m_dir.reset();
    }

    void threeHeadersThreeForms()
    {
        QVERIFY(load(
            write(QStringLiteral("s.html"), SearchFile({"Web|web", "Lexikon|lex", "Karten|map"}))));
        QVERIFY(!m_panel->SearchFormFailed);
        CheckedReportList* list = m_panel->ListView2();
        QCOMPARE(Column(list, 1), (QStringList{"Web", "Lexikon", "Karten"}));
        QCOMPARE(Column(list, 2), (QStringList{"web", "lex", "map"}));
        QCOMPARE(ComboItems(m_panel->groupChoice()),
                 (QStringList{"< Alle >", "lex", "map", "web"}));
        m_panel->termEdit()->setText(QStringLiteral("Hund"));
        Q_EMIT list->itemDoubleClicked(list->topLevelItem(1), 1);
        QCOMPARE(m_host.searches.size(), 1);
        QVERIFY(m_host.searches.first().contains(QStringLiteral("/f2\"")));
        QVERIFY(m_host.searches.first().contains(QStringLiteral("value=\"Hund\"")));
    }

    void groupsAndFilter_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("header without id: under all only")
            << QStringList{"A|-", "B|web"} << QStringList{"< Alle >", "web"} << "web"
            << QStringList{"B"};
        QTest::newRow("groups differing in case: one entry, exact filter")
            << QStringList{"A|Web", "B|web", "C|Web"} << QStringList{"< Alle >", "Web"} << "Web"
            << QStringList{"A", "C"};
        QTest::newRow("all again") << QStringList{"A|x", "B|y"} << QStringList{"< Alle >", "x", "y"}
                                   << "< Alle >" << QStringList{"A", "B"};
    }
    void groupsAndFilter()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, groups);
        QFETCH(QString, chosen);
        QFETCH(QStringList, rows);
        QVERIFY(load(write(QStringLiteral("g.htm"), SearchFile(entries))));
        QCOMPARE(Column(m_panel->ListView2(), 1).size(), entries.size());
        QCOMPARE(ComboItems(m_panel->groupChoice()), groups);
        chooseGroup(chosen);
        QCOMPARE(Column(m_panel->ListView2(), 1), rows);
    }

    void failuresAreFlaggedAndShownOnOpening_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("no HTML page") << "search.txt" << true;
        QTest::newRow("missing file") << "fehlt.html" << false;
    }
    void failuresAreFlaggedAndShownOnOpening()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        const QString path = exists ? write(name, SearchFile({"A|a"})) : m_dir->filePath(name);
        QVERIFY(load(path));
        QVERIFY(m_panel->SearchFormFailed);
        QCOMPARE(m_panel->ListView2()->topLevelItemCount(), 0);
        m_panel->OpenTab(400);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().text,
                 QStringLiteral("Die Suchformular-Datei: '") + path +
                     QStringLiteral("' konnte nicht geladen werden."));
        QVERIFY(m_panel->termEdit()->isReadOnly());
        QVERIFY(!m_panel->Button(QStringLiteral("check"))->isEnabled());
        // A good file afterwards unlocks the field again.
        m_dialogs.messages.clear();
        QVERIFY(load(write(QStringLiteral("ok.html"), SearchFile({"A|a"}))));
        m_panel->OpenTab(400);
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(!m_panel->termEdit()->isReadOnly());
    }

    void startSubmitsCheckedRowsInListOrder()
    {
        QVERIFY(load(write(QStringLiteral("s.html"), SearchFile({"A|a", "B|b", "C|c"}))));
        CheckedReportList* list = m_panel->ListView2();
        QToolButton* start = m_panel->Button(QStringLiteral("start"));
        QVERIFY(!start->isEnabled());
        // Enter in the term field does nothing while "start" is disabled.
        m_panel->termEdit()->setText(QStringLiteral("sag \"ja\""));
        QTest::keyClick(m_panel->termEdit(), Qt::Key_Return);
        QVERIFY(m_host.searches.isEmpty());
        list->topLevelItem(2)->setCheckState(0, Qt::Checked);
        list->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QVERIFY(start->isEnabled());
        QTest::keyClick(m_panel->termEdit(), Qt::Key_Return);
        QCOMPARE(m_host.searches.size(), 2);
        QVERIFY(m_host.searches.at(0).contains(QStringLiteral("/f1\"")));
        QVERIFY(m_host.searches.at(1).contains(QStringLiteral("/f3\"")));
        QVERIFY(m_host.searches.at(0).contains(QStringLiteral("value=\"sag &quot;ja&quot;\"")));
        // A new group list releases "check" and disables "start".
        chooseGroup(QStringLiteral("b"));
        QVERIFY(!start->isEnabled());
    }

    // Only forms that lead to the web are sent; the others are left out
    // with a note in the status text.
    void formsGoOnlyToTheWeb()
    {
        const QString forms = QStringLiteral(
            "<html><body><h3>Lokal</h3><form action=\"file:///etc/passwd\"></form>"
            "<h3>Relativ</h3><form action=\"s\"></form>"
            "<h3>Skript</h3><form action=\"javascript:open()\"></form>"
            "<h3>Web</h3><form action=\"https://127.0.0.1:1/s\"></form></body></html>");
        QVERIFY(load(write(QStringLiteral("s.html"), forms)));
        QStringList notes;
        const QObject listening;
        connect(m_panel.get(), &SearchPanel::statusText, &listening,
                [&notes](const QString& text) { notes << text; });
        for (int k = 1; k <= 4; ++k)
            m_panel->SubmitSearchForm(k);
        QCOMPARE(m_host.searches.size(), 1);
        QVERIFY(m_host.searches.constFirst().contains(QStringLiteral("https://127.0.0.1:1/s")));
        QCOMPARE(notes.size(), 3);
        QVERIFY(notes.constFirst().contains(QStringLiteral("'Lokal'")));
    }

    void shippedFileOffersGroupsOfWorkingForms()
    {
        QVERIFY(load(QDir(AppFolder()).filePath(QStringLiteral("search.html"))));
        QVERIFY(!m_panel->SearchFormFailed);
        const QList<SearchForm>& forms = m_panel->SearchForms();
        QVERIFY(forms.size() >= 5);
        QVERIFY(m_panel->groupChoice()->count() >= 6);
        m_panel->termEdit()->setText(QStringLiteral("x"));
        for (const SearchForm& form : forms) {
            QVERIFY(!form.group.isEmpty());
            m_panel->SubmitSearchForm(form.number);
        }
        QCOMPARE(m_host.searches.size(), forms.size());
        for (const QString& page : m_host.searches) {
            QVERIFY(page.contains(QStringLiteral("action=\"https://")));
            QVERIFY(!page.contains(SearchPlaceholder()));
        }
    }
};

ORV_GUI_TEST_MAIN(TestSearchPanel)
#include "tst_searchpanel.moc"
