#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class QWebEnginePage;

namespace orv {

// The find bar of a browser window: a text field that searches the page as
// the user types, buttons for the next and the previous match, the match
// count, and a close button. Enter finds the next match, Shift+Enter the
// previous one, Escape closes the bar and clears the marks in the page.
class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(QWebEnginePage* page, QWidget* parent);

    // Shows the bar with the focus in its field (its text selected).
    void Open();
    // Hides the bar, clears the marks and gives the focus back to the page.
    void Close();
    void FindNext();
    void FindPrevious();

    QLineEdit* field() const { return m_field; }
    // The match count text of the last search ("2 von 5", "Nicht gefunden").
    QString resultText() const;

Q_SIGNALS:
    // A search ended: the number of matches and the active one (1-based, 0
    // when none).
    void searched(const QString& text, int matches, int activeMatch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void find(bool backward);

    QPointer<QWebEnginePage> m_page;
    QLineEdit* m_field = nullptr;
    QLabel* m_result = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_close = nullptr;
};

} // namespace orv
