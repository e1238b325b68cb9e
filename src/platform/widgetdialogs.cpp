#include "platform/widgetdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace orv {
namespace {

// Calls the hook with true now and with false when the dialog has closed.
class SuspendGuard {
public:
    explicit SuspendGuard(const WidgetDialogs::SuspendHook& hook) : m_hook(hook)
    {
        if (m_hook)
            m_hook(true);
    }
    ~SuspendGuard()
    {
        if (m_hook)
            m_hook(false);
    }
    SuspendGuard(const SuspendGuard&) = delete;
    SuspendGuard& operator=(const SuspendGuard&) = delete;

private:
    const WidgetDialogs::SuspendHook& m_hook;
};

// The patterns of a filter: the text inside its last parentheses, or the
// whole filter when it has none; separated by blanks or ";".
QStringList filterPatterns(const QString& filter)
{
    QString patterns = filter;
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    if (open >= 0 && close > open)
        patterns = filter.mid(open + 1, close - open - 1);
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    return patterns.split(separators, Qt::SkipEmptyParts);
}

// Qt separates the patterns of a filter by blanks; "Text (*.htm;*.html)"
// becomes "Text (*.htm *.html)".
QString toolkitFilter(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    if (open < 0 || close < open)
        return filter;
    return filter.left(open + 1) + filterPatterns(filter).join(u' ') + filter.mid(close);
}

} // namespace

QMessageBox::Icon ToMessageBoxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToStandardButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton DefaultButtonFor(MsgButtons buttons, MsgAnswer answer)
{
    QMessageBox::StandardButton wanted = QMessageBox::Ok;
    switch (answer) {
    case MsgAnswer::Ok:
        wanted = QMessageBox::Ok;
        break;
    case MsgAnswer::Cancel:
        wanted = QMessageBox::Cancel;
        break;
    case MsgAnswer::Yes:
        wanted = QMessageBox::Yes;
        break;
    case MsgAnswer::No:
        wanted = QMessageBox::No;
        break;
    }
    if (ToStandardButtons(buttons).testFlag(wanted))
        return wanted;
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? QMessageBox::Yes
                                                                              : QMessageBox::Ok;
}

MsgAnswer AnswerFor(MsgButtons buttons, QMessageBox::StandardButton clicked)
{
    const QMessageBox::StandardButtons offered = ToStandardButtons(buttons);
    if (clicked != QMessageBox::NoButton && offered.testFlag(clicked)) {
        switch (clicked) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Ok;
        }
    }
    if (offered.testFlag(QMessageBox::Cancel))
        return MsgAnswer::Cancel;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

QString ButtonCaption(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return QStringLiteral("OK");
    case QMessageBox::Cancel:
        return QStringLiteral("Abbrechen");
    case QMessageBox::Yes:
        return QStringLiteral("&Ja");
    case QMessageBox::No:
        return QStringLiteral("&Nein");
    default:
        return QString();
    }
}

QString FileDialogTitle(const FileDialogRequest& request)
{
    if (!request.title.isEmpty())
        return request.title;
    switch (request.mode) {
    case FileDialogRequest::Mode::Save:
        return QStringLiteral("Speichern unter");
    case FileDialogRequest::Mode::Folder:
        return QStringLiteral("Ordner auswählen");
    case FileDialogRequest::Mode::Open:
        break;
    }
    return QStringLiteral("Öffnen");
}

QString FilterExtension(const QString& filter)
{
    const QStringList patterns = filterPatterns(filter);
    if (patterns.isEmpty() || !patterns.first().startsWith(QStringLiteral("*.")))
        return QString();
    const QString extension = patterns.first().mid(2);
    static const QRegularExpression wildcard(QStringLiteral("[*?\\[]"));
    return extension.contains(wildcard) ? QString() : extension;
}

QWidget* WidgetDialogs::parentWindow() const
{
    return m_parent ? m_parent.data() : QApplication::activeWindow();
}

int WidgetDialogs::runModal(QDialog& dialog)
{
    if (m_ending)
        return QDialog::Rejected;
    const QPointer<QDialog> running(&dialog);
    m_running.append(running);
    const int result = dialog.exec();
    m_running.removeOne(running);
    m_running.removeAll(nullptr);
    return result;
}

void WidgetDialogs::endAll()
{
    m_ending = true;
    // Innermost first: each ends its own event loop.
    const QList<QPointer<QDialog>> running = m_running;
    for (auto it = running.crbegin(); it != running.crend(); ++it)
        if (*it)
            (*it)->reject();
}

// Boxes live on the heap and are watched: when their parent window goes
// while they run, they go with it and the answer is the cancelling one.
MsgAnswer WidgetDialogs::message(const MessageRequest& request)
{
    QPointer<QMessageBox> box =
        new QMessageBox(ToMessageBoxIcon(request.icon), request.title, request.text,
                        ToStandardButtons(request.buttons), parentWindow());
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    // Texts may hold addresses and names from outside: never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setAccessibleName(request.title);
    const QList<QAbstractButton*> buttons = box->buttons();
    for (QAbstractButton* button : buttons)
        button->setText(ButtonCaption(box->standardButton(button)));
    box->setDefaultButton(DefaultButtonFor(request.buttons, request.defaultAnswer));
    runModal(*box);
    if (!box)
        return AnswerFor(request.buttons, QMessageBox::NoButton);
    const MsgAnswer answer = AnswerFor(request.buttons, box->standardButton(box->clickedButton()));
    delete box.data();
    return answer;
}

PageDialogAnswer WidgetDialogs::pageDialog(const PageDialogRequest& request)
{
    using Kind = PageDialogRequest::Kind;
    QPointer<QDialog> dialog;
    QPointer<QInputDialog> input;
    if (request.kind == Kind::Prompt) {
        input = new QInputDialog(parentWindow());
        input->setInputMode(QInputDialog::TextInput);
        input->setLabelText(request.text);
        input->setTextValue(request.value);
        input->setOkButtonText(ButtonCaption(QMessageBox::Ok));
        input->setCancelButtonText(ButtonCaption(QMessageBox::Cancel));
        dialog = input.data();
    } else {
        auto* box = new QMessageBox(
            request.kind == Kind::Alert ? QMessageBox::Information : QMessageBox::Question,
            request.title, request.text,
            request.kind == Kind::Alert ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel,
            parentWindow());
        box->setTextFormat(Qt::PlainText);
        for (QAbstractButton* button : box->buttons())
            button->setText(ButtonCaption(box->standardButton(button)));
        dialog = box;
    }
    dialog->setWindowTitle(request.title);
    dialog->setAccessibleName(request.title);
    m_pageDialogs.insert(request.owner, dialog);
    const int result = runModal(*dialog);
    m_pageDialogs.remove(request.owner, dialog);
    PageDialogAnswer answer;
    if (!dialog)
        return answer;
    if (input) {
        answer.accepted = result == QDialog::Accepted;
        answer.value = input->textValue();
    } else {
        // A box answers with the button clicked; ended from outside, it
        // answers with its escape button.
        const auto* box = static_cast<QMessageBox*>(dialog.data());
        answer.accepted =
            box->clickedButton() && box->standardButton(box->clickedButton()) == QMessageBox::Ok;
    }
    delete dialog.data();
    return answer;
}

// A list with a search field above it: typing narrows the list to the
// entries that contain the text; Enter or a double click chooses.
int WidgetDialogs::execDialog(QObject& dialog)
{
    QPointer<QDialog> shown = qobject_cast<QDialog*>(&dialog);
    if (!shown)
        return 0;
    // Other copies wait while a dialog of this one asks.
    const SuspendGuard suspended(m_suspend);
    if (shown->accessibleName().isEmpty())
        shown->setAccessibleName(shown->windowTitle());
    const int result = runModal(*shown);
    return shown ? result : 0;
}

int WidgetDialogs::chooseItem(const ChoiceRequest& request)
{
    QPointer<QDialog> dialog = new QDialog(parentWindow());
    dialog->setWindowTitle(request.title);
    dialog->setAccessibleName(request.title);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(request.label, dialog);
    auto* search = new QLineEdit(dialog);
    search->setAccessibleName(request.label);
    search->setClearButtonEnabled(true);
    label->setBuddy(search);
    auto* list = new QListWidget(dialog);
    list->setAccessibleName(request.title);
    for (int i = 0; i < request.items.size(); ++i) {
        auto* entry = new QListWidgetItem(request.items.at(i), list);
        entry->setData(Qt::UserRole, i);
    }
    if (request.current >= 0 && request.current < list->count())
        list->setCurrentRow(request.current);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(ButtonCaption(QMessageBox::Ok));
    buttons->button(QDialogButtonBox::Cancel)->setText(ButtonCaption(QMessageBox::Cancel));
    layout->addWidget(label);
    layout->addWidget(search);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    QObject::connect(search, &QLineEdit::textChanged, list, [list](const QString& text) {
        QListWidgetItem* first = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* entry = list->item(i);
            const bool shown = entry->text().contains(text, Qt::CaseInsensitive);
            entry->setHidden(!shown);
            if (shown && !first)
                first = entry;
        }
        if (list->currentItem() && list->currentItem()->isHidden())
            list->setCurrentItem(first);
    });
    QObject::connect(search, &QLineEdit::returnPressed, dialog.data(), &QDialog::accept);
    QObject::connect(list, &QListWidget::itemActivated, dialog.data(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.data(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog.data(), &QDialog::reject);
    dialog->resize(480, 420);
    search->setFocus();
    const int result = runModal(*dialog);
    if (!dialog)
        return -1;
    const QListWidgetItem* chosen = list->currentItem();
    const int index = result == QDialog::Accepted && chosen && !chosen->isHidden()
                          ? chosen->data(Qt::UserRole).toInt()
                          : -1;
    delete dialog.data();
    return index;
}

void WidgetDialogs::cancelPageDialogs(const void* owner)
{
    const QList<QPointer<QDialog>> dialogs = m_pageDialogs.values(owner);
    for (const QPointer<QDialog>& dialog : dialogs)
        if (dialog)
            dialog->reject();
}

QString WidgetDialogs::fileDialog(const FileDialogRequest& request)
{
    const QString title = FileDialogTitle(request);
    QFileDialog dialog(parentWindow(), title, request.startFolder);
    dialog.setAccessibleName(title);
    // The toolkit's own dialog: it carries the accessible name and the German
    // captions on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    QStringList filters;
    for (const QString& filter : request.filters)
        filters.append(toolkitFilter(filter));
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);

    switch (request.mode) {
    case FileDialogRequest::Mode::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Öffnen"));
        break;
    case FileDialogRequest::Mode::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The program's save dialogs replace a chosen file without asking.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Speichern"));
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (request.addExtension) {
            // A name typed without an extension gets that of the chosen type.
            dialog.setDefaultSuffix(FilterExtension(filters.value(0)));
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                             [&dialog](const QString& filter) {
                                 dialog.setDefaultSuffix(FilterExtension(filter));
                             });
        }
        break;
    case FileDialogRequest::Mode::Folder:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Auswählen"));
        break;
    }

    const SuspendGuard suspended(m_suspend);
    if (runModal(dialog) != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace orv
