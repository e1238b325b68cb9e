#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace orv {

// Every message box and file dialog of the program goes through this one
// seam. The window layer installs the real dialogs; tests install answers.
// Without an installed seam (the command-line tool, early start-up) messages
// go to standard error and every question gets its default answer.

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString title;
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer defaultAnswer = MsgAnswer::Ok;
};

struct FileDialogRequest {
    enum class Mode { Open, Save, Folder };
    Mode mode = Mode::Open;
    QString title;
    QString startFolder;
    QString fileName;    // proposed name for Save
    QStringList filters; // "Fensterlayout-Datei (*.wlt)" ...
    bool addExtension = false;
};

// A page's own dialog: alert, confirm or prompt. `owner` identifies the page
// that asks, so that its dialog can be ended when its window goes.
struct PageDialogRequest {
    enum class Kind { Alert, Confirm, Prompt };
    Kind kind = Kind::Alert;
    QString title; // where the page comes from
    QString text;
    QString value; // a prompt's proposed answer
    const void* owner = nullptr;
};
struct PageDialogAnswer {
    bool accepted = false;
    QString value; // a prompt's answer
};

// A choice from a list that can be searched (the list of all windows).
struct ChoiceRequest {
    QString title;
    QString label;
    QStringList items;
    int current = -1;
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual MsgAnswer message(const MessageRequest& request) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest& request) = 0;
    // A page dialog. By default a message box: an alert is confirmed, a
    // confirm asks OK/Cancel, a prompt is declined.
    virtual PageDialogAnswer pageDialog(const PageDialogRequest& request);
    // The index of the chosen item, or -1 when the user cancelled (the
    // default).
    virtual int chooseItem(const ChoiceRequest& request)
    {
        static_cast<void>(request);
        return -1;
    }
    // A modal dialog of the program's own (reload interval, notices,
    // bookmark properties...): a QDialog that the caller made on the heap
    // with a parent and fills in; it reads the controls back when the
    // answer is 1 (accepted). The real seam runs it modally; a test seam
    // sets its controls and answers. The dialog may be gone afterwards
    // (its parent closed): callers hold it in a QPointer. By default it is
    // declined (0).
    virtual int execDialog(QObject& dialog)
    {
        static_cast<void>(dialog);
        return 0;
    }
    // Ends the running dialog of `owner` as cancelled (its window closes).
    virtual void cancelPageDialogs(const void* owner) { static_cast<void>(owner); }
    // True once the program is asked to end: nobody is there to answer, so
    // a question that would keep the user's work keeps it without asking.
    virtual bool ending() const { return false; }
};

// The installed seam (never null). Installing nullptr restores the default.
DialogSeam& Dialogs();
void InstallDialogs(DialogSeam* seam);

// Shorthand for the common message box.
MsgAnswer ShowMessage(const QString& title, const QString& text, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok, MsgAnswer defaultAnswer = MsgAnswer::Ok);

} // namespace orv
