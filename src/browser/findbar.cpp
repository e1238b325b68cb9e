#include "browser/findbar.h"

#include "app/textids.h"
#include "app/texts.h"
#include "platform/icons.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace orv {
namespace {

QToolButton* makeButton(QWidget* parent, ButtonImageKind image, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setIcon(ButtonImage(image));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

FindBar::FindBar(QWebEnginePage* page, QWidget* parent) : QWidget(parent), m_page(page)
{
    setAccessibleName(Txt(kTextFindInPage));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(Txt(kTextFindInPage), this);
    layout->addWidget(label);
    m_field = new QLineEdit(this);
    m_field->setAccessibleName(Txt(kTextFindInPage));
    m_field->setClearButtonEnabled(true);
    m_field->setMinimumWidth(180);
    m_field->installEventFilter(this);
    label->setBuddy(m_field);
    layout->addWidget(m_field);
    m_previous =
        makeButton(this, ButtonImageKind::FindPrevious, QStringLiteral("Vorheriger Treffer"));
    m_next = makeButton(this, ButtonImageKind::FindNext, QStringLiteral("Nächster Treffer"));
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    m_result = new QLabel(this);
    m_result->setAccessibleName(QStringLiteral("Treffer"));
    layout->addWidget(m_result);
    layout->addStretch(1);
    m_close = makeButton(this, ButtonImageKind::Close, QStringLiteral("Schließen"));
    layout->addWidget(m_close);

    connect(m_field, &QLineEdit::textChanged, this, [this] { find(false); });
    connect(m_next, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(m_close, &QToolButton::clicked, this, &FindBar::Close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::Close);
    hide();
}

void FindBar::Open()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    if (!m_field->text().isEmpty())
        find(false);
}

void FindBar::Close()
{
    hide();
    m_result->clear();
    if (!m_page)
        return;
    m_page->findText(QString()); // clears the marks
    if (QWebEngineView* view = QWebEngineView::forPage(m_page))
        view->setFocus(Qt::OtherFocusReason);
}

void FindBar::FindNext()
{
    find(false);
}

void FindBar::FindPrevious()
{
    find(true);
}

QString FindBar::resultText() const
{
    return m_result->text();
}

void FindBar::find(bool backward)
{
    if (!m_page)
        return;
    const QString text = m_field->text();
    if (text.isEmpty()) {
        m_result->clear();
        m_page->findText(QString());
        return;
    }
    const QPointer<FindBar> self(this);
    m_page->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags(),
                     [self, text](const QWebEngineFindTextResult& result) {
                         // A result for a text typed over meanwhile is stale.
                         if (!self || self->m_field->text() != text)
                             return;
                         const int matches = result.numberOfMatches();
                         const int active = matches > 0 ? result.activeMatch() : 0;
                         self->m_result->setText(
                             matches > 0 ? QStringLiteral("%1 von %2").arg(active).arg(matches)
                                         : QStringLiteral("Nicht gefunden"));
                         Q_EMIT self->searched(text, matches, active);
                     });
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orv
