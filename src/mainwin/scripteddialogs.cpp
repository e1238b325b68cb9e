#include "mainwin/scripteddialogs.h"

#include <QFile>

namespace orv {
namespace {

class ScriptedDialogs final : public DialogSeam {
public:
    ScriptedDialogs(QString log, QString answer)
        : m_log(std::move(log)), m_answer(std::move(answer))
    {
    }

    MsgAnswer message(const MessageRequest& request) override
    {
        QFile log(m_log);
        if (log.open(QIODevice::Append)) {
            QString line = request.text;
            line.replace(u'\n', u' ');
            log.write(line.toUtf8() + '\n');
        }
        const bool withCancel = request.buttons == MsgButtons::OkCancel;
        if (m_answer == QLatin1String("ja"))
            return withCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
        if (m_answer == QLatin1String("nein"))
            return withCancel ? MsgAnswer::Cancel : MsgAnswer::No;
        return request.defaultAnswer;
    }
    QString fileDialog(const FileDialogRequest& request) override
    {
        static_cast<void>(request);
        return {};
    }

private:
    QString m_log;
    QString m_answer;
};

} // namespace

std::unique_ptr<DialogSeam> ScriptedDialogsFromEnvironment()
{
    const QString log = qEnvironmentVariable("ORVANE_TEST_DIALOGS");
    if (log.isEmpty())
        return nullptr;
    return std::make_unique<ScriptedDialogs>(log, qEnvironmentVariable("ORVANE_TEST_ANSWER"));
}

} // namespace orv
