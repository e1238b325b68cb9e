// Moving, copying, reordering and renaming bookmarks in the bookmark tab:
// by drag and drop, the clipboard keys and F2, each followed through the
// save question to the folder files on disk.

#include "app/texts.h"
#include "common/bookmarktools.h"
#include "common/guitest.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/fakehost.h"
#include "tools/window/treenodes.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace orv;

namespace {

enum class Op { Drag, CtrlDrag, CutPaste, CopyPaste, Rename };

constexpr int kTextSaveChanges = 1046;
// The folder itself rather than one of its bookmarks.
constexpr int kFolder = -1;

// "A:a1,a2|B:b1": the folders and titles as the files on disk hold them.
QString StoredArchive(const QString& folder)
{
    Book book(folder);
    return book.LoadAllThema() && book.LoadAllBookmarks().ok ? ArchiveText(book) : QString();
}

} // namespace

class TestBookmarkMoves : public QObject {
    Q_OBJECT

    QModelIndex node(BookmarkPanel& panel, const QString& folder, int index)
    {
        QModelIndex folderNode = panel.FolderNode(folder);
        return index == kFolder ? folderNode : Child(folderNode, index);
    }

private Q_SLOTS:
    void editsAreSavedAsDeleteAndAdd_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("fromFolder");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("toFolder");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("after");
        QTest::addColumn<QString>("stored");
        const QString a = QStringLiteral("A");
        const QString b = QStringLiteral("B");
        QTest::newRow("drag onto a folder moves")
            << Op::Drag << a << 0 << b << kFolder << true << QStringLiteral("A:a2,a3|B:a1,b1");
        QTest::newRow("ctrl+drag copies")
            << Op::CtrlDrag << a << 0 << b << 0 << true << QStringLiteral("A:a1,a2,a3|B:b1,a1");
        QTest::newRow("drag up within a folder")
            << Op::Drag << a << 2 << a << 0 << false << QStringLiteral("A:a3,a1,a2|B:b1");
        QTest::newRow("drag down within a folder")
            << Op::Drag << a << 0 << a << 2 << true << QStringLiteral("A:a2,a3,a1|B:b1");
        QTest::newRow("cut and paste")
            << Op::CutPaste << a << 0 << b << kFolder << true << QStringLiteral("A:a2,a3|B:a1,b1");
        QTest::newRow("copy and paste")
            << Op::CopyPaste << a << 0 << b << 0 << true << QStringLiteral("A:a1,a2,a3|B:b1,a1");
        QTest::newRow("F2 on a bookmark")
            << Op::Rename << a << 0 << a << 0 << true << QStringLiteral("A:Neu,a2,a3|B:b1");
        QTest::newRow("F2 on a folder")
            << Op::Rename << a << kFolder << a << 0 << true << QStringLiteral("Neu:a1,a2,a3|B:b1");
    }
    void editsAreSavedAsDeleteAndAdd()
    {
        QFETCH(Op, op);
        QFETCH(QString, fromFolder);
        QFETCH(int, from);
        QFETCH(QString, toFolder);
        QFETCH(int, to);
        QFETCH(bool, after);
        QFETCH(QString, stored);

        QTemporaryDir dir;
        {
            Book book(dir.path());
            ThemaList folders;
            const QList<QStringList> contents{
                {QStringLiteral("a1"), QStringLiteral("a2"), QStringLiteral("a3")},
                {QStringLiteral("b1")}};
            for (int i = 0; i < contents.size(); ++i) {
                Thema thema;
                thema.setNr(i + 1);
                thema.setSequenz(i + 1);
                thema.setFileName(QString::number(i + 1) + QStringLiteral(".bkm"));
                thema.setDirName(i == 0 ? QStringLiteral("A") : QStringLiteral("B"));
                BookmarkList list;
                for (const QString& title : contents[i])
                    list.append(MakeBookmark(title, QStringLiteral("http://%1/").arg(title),
                                             QStringLiteral("Info ") + title, true, false));
                thema.setColBookmark(std::move(list));
                folders.append(std::move(thema));
            }
            book.setColThema(std::move(folders));
            book.setIsEdit(true);
            QVERIFY(book.SaveAllThema().ok);
        }
        RecordingDialogs dialogs;
        InstallDialogs(&dialogs);
        auto restore = qScopeGuard([] { InstallDialogs(nullptr); });
        FakeToolsHost host;
        QWidget window;
        BookmarkPanel panel(host, &window, dir.path());
        panel.LoadTree();
        QTreeView* tree = panel.TreeView1();
        tree->resize(400, 600);
        tree->expandAll();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QModelIndex source = node(panel, fromFolder, from);
        tree->setCurrentIndex(source);
        switch (op) {
        case Op::Drag:
        case Op::CtrlDrag: {
            const std::unique_ptr<QMimeData> data = panel.DragData(source);
            QVERIFY(data);
            // Dropped elsewhere, the drag opens the bookmark's address.
            QCOMPARE(data->text(), QStringLiteral("http://a%1/").arg(from + 1));
            const QRect rect = tree->visualRect(node(panel, toFolder, to));
            const QPoint at(rect.center().x(), after ? rect.bottom() : rect.top());
            const Qt::KeyboardModifiers keys =
                op == Op::CtrlDrag ? Qt::ControlModifier : Qt::NoModifier;
            const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
            // The drop goes where the drag entered.
            QDragEnterEvent enter(at, actions, data.get(), Qt::LeftButton, keys);
            QCoreApplication::sendEvent(tree->viewport(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(at, actions, data.get(), Qt::LeftButton, keys);
            QCoreApplication::sendEvent(tree->viewport(), &drop);
            break;
        }
        case Op::CutPaste:
        case Op::CopyPaste:
            QTest::keyClick(tree, op == Op::CutPaste ? Qt::Key_X : Qt::Key_C, Qt::ControlModifier);
            tree->setCurrentIndex(node(panel, toFolder, to));
            QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
            break;
        case Op::Rename: {
            QTest::keyClick(tree, Qt::Key_F2);
            QLineEdit* editor = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((editor = tree->findChild<QLineEdit*>()), 10000);
            editor->setText(QStringLiteral(" Neu "));
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        }
        }

        // The tree shows it at once; the save question covers it.
        QTRY_VERIFY_WITH_TIMEOUT(panel.Buch().IsModified(), 10000);
        dialogs.nextAnswer = MsgAnswer::Yes;
        panel.AskSaveChanges(false);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, Txt(kTextSaveChanges));
        QCOMPARE(StoredArchive(dir.path()), stored);
        // A moved or copied bookmark keeps everything but its place.
        Book book(dir.path());
        QVERIFY(book.LoadAllThema() && book.LoadAllBookmarks().ok);
        for (const Thema& thema : *book.colThema())
            for (const Bookmark& b : *thema.colBookmark())
                if (b.Titel != QLatin1String("Neu")) {
                    Bookmark expected =
                        MakeBookmark(b.Titel, QStringLiteral("http://%1/").arg(b.Titel),
                                     QStringLiteral("Info ") + b.Titel, true, false);
                    expected.Nr = b.Nr;
                    QVERIFY2(b == expected, qPrintable(b.Titel));
                }
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkMoves)
#include "tst_bookmarkmoves.moc"
