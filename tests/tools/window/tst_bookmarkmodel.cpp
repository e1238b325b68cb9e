// The bookmark tree model: after each edit its rows and the refs they carry
// match the archive, and the views hear of every change.

#include "common/bookmarktools.h"
#include "common/guitest.h"
#include "tools/window/bookmarkmodel.h"
#include "tools/window/treenodes.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

enum class Op { CopyFirst, MoveAfter, MoveBefore, Remove, AddFolder, DeleteFolder, Sort, SortMove };

// "B:b1|A:a1,a2": the folders and titles the model shows, each found in the
// archive through the ref its index carries.
QString Shown(const BookmarkModel& model)
{
    QStringList folders;
    const QModelIndex root = model.indexOf(BookmarkRef::Root());
    for (int i = 0; i < ChildCount(root); ++i) {
        const QModelIndex folder = Child(root, i);
        const Thema* thema = model.folder(BookmarkModel::refOf(folder));
        if (!thema || thema->DirName() != folder.data().toString())
            return QStringLiteral("folder row %1 is not in the archive").arg(i);
        QStringList titles;
        for (int j = 0; j < ChildCount(folder); ++j) {
            const QModelIndex node = Child(folder, j);
            const Bookmark* bookmark = model.bookmark(BookmarkModel::refOf(node));
            if (!bookmark || bookmark->Titel != node.data().toString() ||
                model.indexOf(BookmarkModel::refOf(node)) != node)
                return QStringLiteral("bookmark row %1.%2 is not in the archive").arg(i).arg(j);
            titles << bookmark->Titel;
        }
        folders << thema->DirName() + u':' + titles.join(u',');
    }
    return folders.join(u'|');
}

BookmarkRef RefNamed(const BookmarkModel& model, const QString& text)
{
    const QModelIndexList found = model.match(model.index(0, 0), Qt::DisplayRole, text, 1,
                                              Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? BookmarkRef() : BookmarkModel::refOf(found.constFirst());
}

} // namespace

class TestBookmarkModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsFollowTheArchive_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("archive");
        const QString same;
        QTest::newRow("copy first into a folder")
            << Op::CopyFirst << QStringLiteral("B:a1,b1|A:a1,a2,a3") << same;
        QTest::newRow("move behind the last")
            << Op::MoveAfter << QStringLiteral("B:b1|A:a2,a3,a1") << same;
        QTest::newRow("move before another folder's bookmark")
            << Op::MoveBefore << QStringLiteral("B:a3,b1|A:a1,a2") << same;
        QTest::newRow("remove") << Op::Remove << QStringLiteral("B:b1|A:a1,a3") << same;
        QTest::newRow("folder after a folder")
            << Op::AddFolder << QStringLiteral("B:b1|C:|A:a1,a2,a3") << same;
        QTest::newRow("delete a folder")
            << Op::DeleteFolder << QStringLiteral("A:a1,a2,a3") << same;
        QTest::newRow("sorting changes the rows only")
            << Op::Sort << QStringLiteral("A:a1,a2,a3|B:b1") << QStringLiteral("B:b1|A:a1,a2,a3");
        QTest::newRow("move after sorting") << Op::SortMove << QStringLiteral("A:a3,a1,a2|B:b1")
                                            << QStringLiteral("B:b1|A:a3,a1,a2");
    }
    void rowsFollowTheArchive()
    {
        QFETCH(Op, op);
        QFETCH(QString, shown);
        QFETCH(QString, archive);
        QTemporaryDir dir;
        {
            Book book(dir.path());
            ThemaList folders;
            const QList<QStringList> contents{{QStringLiteral("B"), QStringLiteral("b1")},
                                              {QStringLiteral("A"), QStringLiteral("a1"),
                                               QStringLiteral("a2"), QStringLiteral("a3")}};
            for (int i = 0; i < contents.size(); ++i) {
                Thema thema;
                thema.setNr(i + 1);
                thema.setSequenz(i + 1);
                thema.setFileName(QString::number(i + 1) + QStringLiteral(".bkm"));
                thema.setDirName(contents[i].constFirst());
                BookmarkList list;
                for (const QString& title : contents[i].mid(1))
                    list.append(MakeBookmark(title, QStringLiteral("http://%1/").arg(title)));
                thema.setColBookmark(std::move(list));
                folders.append(std::move(thema));
            }
            book.setColThema(std::move(folders));
            book.setIsEdit(true);
            QVERIFY(book.SaveAllThema().ok);
        }
        BookmarkModel model(dir.path());
        // Fails the test on any inconsistent row, parent or change signal.
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        FileResult read;
        QList<FileResult> folderReads;
        QVERIFY(model.load(read, folderReads));
        QCOMPARE(Shown(model), QStringLiteral("B:b1|A:a1,a2,a3"));

        const auto ref = [&](const char* text) { return RefNamed(model, QLatin1String(text)); };
        switch (op) {
        case Op::CopyFirst:
            QVERIFY(model.copyBookmark(*model.bookmark(ref("a1")), {ref("B"), true}).isBookmark());
            break;
        case Op::MoveAfter:
            QVERIFY(model.moveBookmark(ref("a1"), {ref("a3"), true}).isBookmark());
            break;
        case Op::MoveBefore:
            QVERIFY(model.moveBookmark(ref("a3"), {ref("b1"), false}).isBookmark());
            break;
        case Op::Remove:
            QVERIFY(model.removeBookmark(ref("a2")));
            break;
        case Op::AddFolder:
            QVERIFY(model.addFolder(QStringLiteral("C"), ref("B")).isFolder());
            break;
        case Op::DeleteFolder:
            QVERIFY(model.deleteFolder(ref("B")).ok);
            break;
        case Op::Sort:
        case Op::SortMove:
            model.sortFolders();
            model.sortBookmarks(ref("A"));
            if (op == Op::SortMove)
                QVERIFY(model.moveBookmark(ref("a3"), {ref("a1"), false}).isBookmark());
            break;
        }
        QCOMPARE(Shown(model), shown);
        QCOMPARE(ArchiveText(model.book()), archive.isEmpty() ? shown : archive);
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkModel)
#include "tst_bookmarkmodel.moc"
