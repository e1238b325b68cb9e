#include "app/dialogseam.h"

#include <cstdio>

namespace orv {
namespace {

class ConsoleDialogs final : public DialogSeam {
public:
    MsgAnswer message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.title),
                     qUtf8Printable(request.text));
        return request.defaultAnswer;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
};

ConsoleDialogs& consoleDialogs()
{
    static ConsoleDialogs seam;
    return seam;
}

DialogSeam* g_installed = nullptr;

} // namespace

DialogSeam& Dialogs()
{
    return g_installed ? *g_installed : consoleDialogs();
}

void InstallDialogs(DialogSeam* seam)
{
    g_installed = seam;
}

PageDialogAnswer DialogSeam::pageDialog(const PageDialogRequest& request)
{
    switch (request.kind) {
    case PageDialogRequest::Kind::Alert:
        message({request.title, request.text, MsgIcon::Information, MsgButtons::Ok, MsgAnswer::Ok});
        return {true, {}};
    case PageDialogRequest::Kind::Confirm:
        return {message({request.title, request.text, MsgIcon::Question, MsgButtons::OkCancel,
                         MsgAnswer::Ok}) == MsgAnswer::Ok,
                {}};
    case PageDialogRequest::Kind::Prompt:
        break;
    }
    return {};
}

MsgAnswer ShowMessage(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons,
                      MsgAnswer defaultAnswer)
{
    return Dialogs().message({title, text, icon, buttons, defaultAnswer});
}

} // namespace orv
