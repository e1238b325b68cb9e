#pragma once

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

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    virtual MsgAnswer message(const MessageRequest& request) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest& request) = 0;
};

// The installed seam (never null). Installing nullptr restores the default.
DialogSeam& Dialogs();
void InstallDialogs(DialogSeam* seam);

// Shorthand for the common message box.
MsgAnswer ShowMessage(const QString& title, const QString& text, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok,
                      MsgAnswer defaultAnswer = MsgAnswer::Ok);

} // namespace orv
