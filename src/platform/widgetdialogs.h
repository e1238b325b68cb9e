#pragma once

#include "app/dialogseam.h"

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QMultiHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace orv {

// The program's real message boxes and file dialogs behind the dialog seam.
//
// Message boxes: title, text, icon and the buttons the request names, with
// German captions; the default answer is the default button. File dialogs:
// open a file, save a file (with an overwrite question), or pick a folder.
// Every box and dialog carries its title as its accessible name.
//
// While a file dialog is open, other copies of the program must not open
// windows: the suspend hook is called with true right before each file dialog
// and with false right after it (the main window passes its
// OpenQueue::SuspendExternalOpen and its drop switch).
class WidgetDialogs final : public DialogSeam {
public:
    using SuspendHook = std::function<void(bool suspend)>;

    WidgetDialogs() = default;

    // The window the dialogs are modal to; without one, the active window.
    void setParentWindow(QWidget* window) { m_parent = window; }
    void setSuspendHook(SuspendHook hook) { m_suspend = std::move(hook); }

    MsgAnswer message(const MessageRequest& request) override;
    QString fileDialog(const FileDialogRequest& request) override;
    PageDialogAnswer pageDialog(const PageDialogRequest& request) override;
    void cancelPageDialogs(const void* owner) override;
    int chooseItem(const ChoiceRequest& request) override;
    int execDialog(QObject& dialog) override;

    // The program is asked to end: every running box and dialog, nested
    // ones included, ends as cancelled, and every later one answers at once
    // as cancelled without showing.
    void endAll();
    bool isEnding() const { return m_ending; }
    bool ending() const override { return m_ending; }
    // How many boxes and dialogs are running now (nested ones each count).
    int runningCount() const { return int(m_running.size()); }

private:
    QWidget* parentWindow() const;
    // Runs `dialog` modally unless the program is ending (then: rejected).
    int runModal(QDialog& dialog);

    QPointer<QWidget> m_parent;
    SuspendHook m_suspend;
    // The running page dialogs by the page that asked.
    QMultiHash<const void*, QPointer<QDialog>> m_pageDialogs;
    QList<QPointer<QDialog>> m_running;
    bool m_ending = false;
};

// The mapping between the seam's values and the toolkit's.
QMessageBox::Icon ToMessageBoxIcon(MsgIcon icon);
QMessageBox::StandardButtons ToStandardButtons(MsgButtons buttons);
// The button of an answer; the first offered button when the answer is not
// among the buttons.
QMessageBox::StandardButton DefaultButtonFor(MsgButtons buttons, MsgAnswer answer);
// The answer for the button that closed the box. A box closed without a
// button (Escape, the window's close box) answers Cancel when it offers
// Cancel, No for Yes/No, and Ok for Ok alone.
MsgAnswer AnswerFor(MsgButtons buttons, QMessageBox::StandardButton clicked);
// The German caption of a standard button ("OK", "Abbrechen", "&Ja", "&Nein").
QString ButtonCaption(QMessageBox::StandardButton button);

// The file dialog's title: the request's, or the usual one of its mode.
QString FileDialogTitle(const FileDialogRequest& request);
// The extension that a filter proposes: the first pattern's ("Layout
// (*.wlt;*.txt)" gives "wlt"); empty for "*.*", "*" and a filter without one.
QString FilterExtension(const QString& filter);

} // namespace orv
