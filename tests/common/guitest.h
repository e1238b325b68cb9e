#pragma once

// Set-up shared by the tests of the window layer: the engine prepared before
// the application, a temporary data folder, the text table, and a dialog
// seam that records every message and answers with a scripted reply.

#include "common/eventwait.h"
#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texts.h"
#include "platform/engine.h"

#include <QApplication>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace orv {

class RecordingDialogs final : public DialogSeam {
public:
    QList<MessageRequest> messages;
    QList<FileDialogRequest> fileDialogs;
    QList<ChoiceRequest> choices;
    MsgAnswer nextAnswer = MsgAnswer::Ok;
    bool programEnding = false;
    QString nextPath;
    int nextChoice = -1;
    // The program's own modal dialogs: the names of the dialogs shown, and
    // the answer, after `fillDialog` (when set) has set their controls.
    QStringList dialogsShown;
    std::function<int(QObject& dialog)> fillDialog;

    MsgAnswer message(const MessageRequest& request) override
    {
        messages.append(request);
        return nextAnswer;
    }
    QString fileDialog(const FileDialogRequest& request) override
    {
        fileDialogs.append(request);
        return nextPath;
    }
    int chooseItem(const ChoiceRequest& request) override
    {
        choices.append(request);
        return nextChoice;
    }
    int execDialog(QObject& dialog) override
    {
        dialogsShown.append(dialog.objectName());
        return fillDialog ? fillDialog(dialog) : 0;
    }
    bool ending() const override { return programEnding; }
    // Forgets what was recorded and the path to answer with.
    void clear()
    {
        programEnding = false;
        messages.clear();
        fileDialogs.clear();
        choices.clear();
        dialogsShown.clear();
        fillDialog = nullptr;
        nextPath.clear();
        nextChoice = -1;
    }
};

// Runs a test object inside a prepared application.
template <typename TestObject> int RunGuiTest(int argc, char** argv)
{
    PrepareWebEngine();
    QApplication app(argc, argv);
    QTemporaryDir dataDir;
    SetDataFolder(dataDir.path());
    LoadTexts(AppFolder());
    TestObject test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace orv

#define ORV_GUI_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        return orv::RunGuiTest<TestObject>(argc, argv);                                            \
    }
