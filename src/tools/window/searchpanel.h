#pragma once

#include "app/docsnapshot.h"
#include "pages/searchforms.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <array>

class QComboBox;
class QLineEdit;
class QToolBar;
class QToolButton;
class QWebEnginePage;
class QWidget;

namespace orv {

class CheckedReportList;
class ToolsHost;

// The multi-search tab of the tools window: the search form file is loaded
// into a hidden page, one row is listed per form (filtered by group), and a
// search opens one new window per checked form with the term filled in.
class SearchPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckWidth = 24;
    static constexpr int kMachineWidth = 260;
    static constexpr int kGroupWidth = 140;

    SearchPanel(ToolsHost& host, QWidget* window);
    ~SearchPanel() override;

    CheckedReportList* ListView2() const { return m_list; }
    // Band "search": the term.
    QToolBar* SearchBand() const { return m_band; }
    // Band "group" of the second bar, with "start" and "check".
    QWidget* CoolBar2() const { return m_coolBar2; }
    QLineEdit* termEdit() const { return m_text; }     // Text1
    QComboBox* groupChoice() const { return m_combo; } // Combo1
    QToolButton* Button(const QString& key) const;
    QWebEnginePage* WebBrowser2() const;

    // Loading the search form file failed or was refused.
    bool SearchFormFailed = false;
    int SearchFormCount = 0;
    const QList<SearchForm>& SearchForms() const { return m_forms; }

    // Loads the search form file into the hidden page; a name that is no
    // HTML page is refused at once.
    void LoadSearchFile(const QString& path);
    // The page finished loading with this document.
    void DocumentComplete(const DocSnapshot& document);
    void FillGroupList();
    void Combo1_Click();
    void FillSearchList(const QString& group);
    void SizeSearchColumns(int scaleWidth);
    // The tab was opened: the failure message, the term field's lock.
    void OpenTab(int scaleWidth);
    void CheckAllSearch();
    void StartSearch();
    // Submits form `k` (1-based) with the term; a form that does not lead to
    // an http or https address is left out with a note in the status text.
    void SubmitSearchForm(int k);
Q_SIGNALS:
    // A text for the status panel of the tools window.
    void statusText(const QString& text);
    // The forms of a loaded file are listed (or the load failed).
    void formsRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void failed();

    ToolsHost& m_host;
    QPointer<QWebEnginePage> m_page;
    CheckedReportList* m_list = nullptr;
    QToolBar* m_band = nullptr;
    QWidget* m_coolBar2 = nullptr;
    QLineEdit* m_text = nullptr;
    QComboBox* m_combo = nullptr;
    QList<SearchForm> m_forms;
    QStringList m_formHtml;
    // The search form file's address: relative actions resolve against it.
    QUrl m_formBase;
    quint64 m_generation = 0;
    std::array<double, 2> m_proportions{};
};

} // namespace orv
