// A save of many files that fails (the disk is full) is told once: one
// message for the bookmark archive of forty edited folders, one for a layout
// of many windows, never one per file. The old files stay as they were and
// no temporary file is left.

#include "bookmarks/book.h"
#include "common/guitest.h"
#include "layouts/layoutbook.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/fakehost.h"
#include "tools/window/layoutpanel.h"

#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <csignal>
#include <memory>

#include <sys/resource.h>

using namespace orv;

namespace {

constexpr int kFolders = 40;
constexpr int kWindows = 12;
const QString kWriteFailure = QStringLiteral("Datei kann nicht geschrieben werden: ");

// While it lives, every write into a file fails as on a full disk (a file
// size limit of nothing, which binds root too; the signal it would raise is
// ignored, so the write fails with EFBIG).
class FullDisk {
public:
    FullDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~FullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
    bool m_ok = false;
};

QHash<QString, QByteArray> snapshot(const QString& folder)
{
    QHash<QString, QByteArray> files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(entry.fileName(), file.readAll());
    }
    return files;
}

LayoutWindowState pageWindow(int n)
{
    LayoutWindowState w;
    w.LocationURL = QStringLiteral("http://w.test/%1").arg(n);
    w.Caption = QStringLiteral("Fenster %1").arg(n);
    w.Geometry = w.NormalGeometry = QRectF(150 * n, 300, 4500, 3000);
    return w;
}

} // namespace

class TestDataSafetyMessages : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<QWidget>();
        m_host = FakeToolsHost();
        m_dialogs.clear();
        InstallDialogs(&m_dialogs);
    }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_window.reset();
        m_dir.reset();
    }

    // Forty edited folders, none of which can be written: one message.
    void bookmarkArchiveOnFullDisk()
    {
        const QString folder = m_dir->path();
        {
            Book book(folder);
            ThemaList& list = book.ensureColThema();
            for (int k = 1; k <= kFolders; ++k) {
                Thema t;
                t.setDirName(QStringLiteral("Ordner %1").arg(k));
                t.setFileName(QStringLiteral("%1.bkm").arg(k));
                t.setSequenz(k);
                t.ensureColBookmark();
                list.append(std::move(t));
            }
            QVERIFY(book.SaveAllThema().ok);
        }
        BookmarkPanel panel(m_host, m_window.get(), folder);
        panel.LoadTree();
        for (int k = 1; k <= kFolders; ++k) {
            panel.TreeView1()->setCurrentIndex(
                panel.FolderNode(QStringLiteral("Ordner %1").arg(k)));
            panel.Commands().AddBkmToArchive(QStringLiteral("Seite %1").arg(k),
                                             QStringLiteral("http://s.test/%1").arg(k), QString());
        }
        m_dialogs.clear();
        const auto before = snapshot(folder);
        {
            FullDisk full;
            QVERIFY(full.ok());
            panel.SaveArchive();
        }
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].text.startsWith(kWriteFailure),
                 qPrintable(m_dialogs.messages[0].text));
        QCOMPARE(m_dialogs.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(snapshot(folder), before);

        // Once there is room again, the same save goes through silently.
        panel.SaveArchive();
        QCOMPARE(m_dialogs.messages.size(), 1);
        Book stored(folder);
        QVERIFY(stored.LoadAllThema());
        QVERIFY(stored.LoadAllBookmarks().ok);
        for (const Thema& t : *stored.colThema())
            QCOMPARE(t.bookmarkCount(), 1);
    }

    // A layout of many windows that cannot be written: one message.
    void layoutOnFullDisk()
    {
        for (int n = 1; n <= kWindows; ++n)
            m_host.layoutWindows.append(pageWindow(n));
        LayoutPanel panel(m_host, m_window.get(), m_dir->path());
        panel.LoadLayoutArchive();
        m_dialogs.fillDialog = [](QObject& dialog) {
            auto* d = qobject_cast<frmWLProperty*>(&dialog);
            d->nameEdit->setText(QStringLiteral("Arbeit"));
            d->Ok_Click();
            return d->result();
        };
        const auto before = snapshot(m_dir->path());
        {
            FullDisk full;
            QVERIFY(full.ok());
            panel.mn_AddLayout_Click();
        }
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].text.startsWith(kWriteFailure),
                 qPrintable(m_dialogs.messages[0].text));
        QCOMPARE(snapshot(m_dir->path()), before);
    }
};

ORV_GUI_TEST_MAIN(TestDataSafetyMessages)
#include "tst_datasafety_messages.moc"
