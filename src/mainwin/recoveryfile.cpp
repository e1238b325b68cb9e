#include "mainwin/recoveryfile.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/recordio.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/frmbrowser.h"
#include "browser/zoom.h"
#include "layouts/layout.h"
#include "mainwin/arrangement.h"
#include "mainwin/arrangementfiles.h"
#include "mainwin/windowregistry.h"

#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

namespace orv {
namespace {

const QString kFileName = QStringLiteral(".Wiederherstellung.wlt");
const QString kBackupName = QStringLiteral(".Wiederherstellung-Sicherung.wlt");
const QString kCompanionSuffix = QStringLiteral(".ini");
const QString kQuestion =
    QStringLiteral("Orvane wurde nicht ordnungsgemäß beendet. Die zuletzt geöffneten Fenster "
                   "wiederherstellen?");
const QString kDamaged =
    QStringLiteral("Die Datei der zuletzt geöffneten Fenster ist beschädigt und wird nicht "
                   "verwendet:\n");

// The companion's keys: "active" the 1-based place of the active window,
// "zoom.<n>" and "text.<n>" zoom percent and text size of window n.
const QString kActiveKey = QStringLiteral("active");
const QString kZoomKey = QStringLiteral("zoom.");
const QString kTextKey = QStringLiteral("text.");

using Companion = QHash<QString, int>;

// Lines "key=number"; anything else makes the companion damaged.
std::optional<Companion> parseCompanion(const QByteArray& content)
{
    Companion values;
    for (const QByteArray& line : content.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf('=');
        bool ok = false;
        const int value = eq > 0 ? line.mid(eq + 1).trimmed().toInt(&ok) : 0;
        if (!ok)
            return std::nullopt;
        values.insert(QString::fromLatin1(line.left(eq).trimmed()), value);
    }
    return values;
}

// The companion of `recoveryFile` as read: empty when there is none; nullopt
// when it cannot be read or is damaged.
std::optional<Companion> readCompanion(const QString& recoveryFile)
{
    QFile file(RecoveryFile::CompanionPath(recoveryFile));
    if (!file.exists())
        return Companion();
    // The companion is a few short lines; anything larger is no companion.
    constexpr qint64 kLargestCompanion = 64 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestCompanion)
        return std::nullopt;
    return parseCompanion(file.readAll());
}

// Moves a file over another; a missing source is no error.
bool moveOver(const QString& from, const QString& to)
{
    if (!QFile::exists(from))
        return true;
    QFile::remove(to);
    return QFile::rename(from, to);
}

bool writeSnapshot(const QString& path, const QList<LayoutWindowRecord>& records,
                   const QByteArray& companion)
{
    // The records first: a companion never speaks of windows the recovery
    // file does not hold yet.
    const bool written = writeLayoutFile(path, records).ok;
    return writeFileAtomic(RecoveryFile::CompanionPath(path), companion).ok && written;
}

} // namespace

RecoveryFile::RecoveryFile(WindowRegistry& registry) : m_registry(registry)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryFile::SaveNow);
    // Its own thread: a slow disk never holds up the workers that make
    // pages, and never two writes at once.
    m_pool.setMaxThreadCount(1);
    connect(&m_registry, &WindowRegistry::windowRegistered, this,
            [this](frmBrowser* window) { watch(window); });
    connect(&m_registry, &WindowRegistry::windowUnregistered, this, &RecoveryFile::changed);
    connect(&m_registry, &WindowRegistry::windowActivated, this, &RecoveryFile::changed);
}

RecoveryFile::~RecoveryFile()
{
    m_pool.waitForDone();
}

QString RecoveryFile::FilePath(const QString& folder)
{
    return QDir(folder).filePath(kFileName);
}

QString RecoveryFile::CompanionPath(const QString& recoveryFile)
{
    QString path = recoveryFile;
    if (path.endsWith(QLatin1String(".wlt")))
        path.chop(4);
    return path + kCompanionSuffix;
}

QString RecoveryFile::BackupPath(const QString& folder)
{
    return QDir(folder).filePath(kBackupName);
}

void RecoveryFile::Start(const QString& folder)
{
    m_folder = folder;
    m_ended = false;
    // What an interrupted save of the companion left behind.
    const QString companion = QFileInfo(CompanionPath(FilePath(folder))).fileName();
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(companion) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDir dir(folder);
    for (const QString& name : dir.entryList({companion + QStringLiteral(".*")},
                                             QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (temporary.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    changed();
}

void RecoveryFile::EndOrderly()
{
    if (!Started() || m_ended)
        return;
    m_ended = true;
    m_timer.stop();
    m_waiting.reset();
    m_pool.waitForDone();
    const QString path = FilePath(m_folder);
    QFile::remove(path);
    QFile::remove(CompanionPath(path));
}

void RecoveryFile::watch(frmBrowser* window)
{
    // Watched from the start, saved only once started: a window minimised
    // before is kept with its normal place all the same.
    if (m_normal.contains(window))
        return;
    m_normal.insert(window, window->geometry());
    window->installEventFilter(this);
    connect(window, &frmBrowser::addressChanged, this, &RecoveryFile::changed);
    connect(window, &frmBrowser::tabCaptionChanged, this, &RecoveryFile::changed);
    connect(window, &frmBrowser::settled, this, &RecoveryFile::changed);
    connect(window, &frmBrowser::textSizeSet, this, [this, window](int step) {
        m_textSize.insert(window, step);
        changed();
    });
    connect(window, &QObject::destroyed, this, [this, window] {
        m_normal.remove(window);
        m_textSize.remove(window);
    });
    changed();
}

bool RecoveryFile::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::WindowTitleChange:
        if (auto* window = qobject_cast<frmBrowser*>(watched)) {
            if (!window->isMinimized() && !window->isMaximized())
                m_normal.insert(window, window->geometry());
            changed();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void RecoveryFile::changed()
{
    if (!Started() || m_ended || m_timer.isActive())
        return;
    const qint64 since = m_sinceSave.isValid() ? m_sinceSave.elapsed() : kSaveIntervalMs;
    m_timer.start(int(qMax<qint64>(0, kSaveIntervalMs - since)));
}

RecoveryFile::Snapshot RecoveryFile::collect()
{
    Snapshot snapshot;
    const QList<frmBrowser*>& windows = m_registry.Browser();
    snapshot.records.reserve(windows.size());
    const frmBrowser* active = m_registry.ActiveBrowser();
    QString companion;
    int nr = 0;
    for (const frmBrowser* w : windows) {
        LayoutWindowState state = ArrangementFiles::CaptureWindowState(*w);
        if (state.WindowState == 1)
            if (const auto normal = m_normal.constFind(w); normal != m_normal.cend())
                state.NormalGeometry = pixelsToTwips(*normal);
        snapshot.records.append(layoutRecordFromWindow(state, ++nr));
        if (w == active)
            companion += kActiveKey + u'=' + QString::number(nr) + u'\n';
        if (const int zoom = w->ZoomTarget(); zoom != kZoomNone)
            companion += kZoomKey + QString::number(nr) + u'=' + QString::number(zoom) + u'\n';
        if (const int text = m_textSize.value(w, kTextSizeNormal); text != kTextSizeNormal)
            companion += kTextKey + QString::number(nr) + u'=' + QString::number(text) + u'\n';
    }
    snapshot.companion = companion.toLatin1();
    return snapshot;
}

void RecoveryFile::SaveNow()
{
    if (!Started() || m_ended)
        return;
    m_timer.stop();
    m_sinceSave.restart();
    write(collect());
}

void RecoveryFile::write(Snapshot snapshot)
{
    if (m_writing) {
        // One write at a time; the newest state waits for the running one.
        m_waiting = std::move(snapshot);
        return;
    }
    m_writing = true;
    auto* watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher] {
        watcher->deleteLater();
        writeFinished(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(&m_pool, writeSnapshot, FilePath(m_folder),
                                         std::move(snapshot.records),
                                         std::move(snapshot.companion)));
}

void RecoveryFile::writeFinished(bool ok)
{
    m_writing = false;
    ++m_written;
    Q_EMIT saved(ok);
    if (m_waiting && !m_ended) {
        Snapshot next = std::move(*m_waiting);
        m_waiting.reset();
        write(std::move(next));
    }
}

void RecoveryFile::WaitForWrites()
{
    if (m_timer.isActive())
        SaveNow();
    while (m_writing) {
        QEventLoop loop;
        connect(this, &RecoveryFile::saved, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void RecoveryFile::Restore(const QString& file, WindowRegistry& registry, ArrangementFiles& files)
{
    const qsizetype before = registry.Browser().size();
    files.PendingLayoutFile = file;
    files.LoadLayoutFile();
    const QList<frmBrowser*> restored = registry.Browser().mid(before);
    const Companion extras = readCompanion(file).value_or(Companion());
    for (qsizetype i = 0; i < restored.size(); ++i) {
        const QPointer<frmBrowser> window = restored.at(i);
        const QString nr = QString::number(i + 1);
        if (const int text = extras.value(kTextKey + nr, kTextSizeNormal); text != kTextSizeNormal)
            window->SetTextSize(text);
        // The zoom applies to a loaded page: tried at every settle until a
        // page took it (a new window first settles on a blank load).
        if (const int zoom = extras.value(kZoomKey + nr, kZoomNone); zoom != kZoomNone) {
            auto connection = std::make_shared<QMetaObject::Connection>();
            *connection = connect(window, &frmBrowser::settled, window, [window, zoom, connection] {
                window->SetZoomFactor(zoom, [connection](bool applied) {
                    if (applied)
                        QObject::disconnect(*connection);
                });
            });
        }
    }
    const qsizetype active = extras.value(kActiveKey, 0) - 1;
    if (active >= 0 && active < restored.size())
        registry.area()->setActiveSubWindow(restored.at(active));
}

QString AskForRecovery(const QString& folder)
{
    const QString path = RecoveryFile::FilePath(folder);
    const QString backup = RecoveryFile::BackupPath(folder);
    if (!QFileInfo(path).isFile())
        return {};
    QList<LayoutWindowRecord> records;
    FileResult read = readLayoutFile(path, records);
    // Only whole records: a file cut short was not written by the atomic save.
    if (read.ok && QFileInfo(path).size() % LayoutFileFormat::RecordLength != 0)
        read = FileResult::failure(QStringLiteral("Die Datei endet mitten in einem Fenster."));
    if (read.ok && !readCompanion(path))
        read = FileResult::failure(RecoveryFile::CompanionPath(path));
    if (!read.ok) {
        ShowMessage(Txt(kTextFehlermeldung), kDamaged + read.error, MsgIcon::Warning);
        moveOver(path, backup);
        moveOver(RecoveryFile::CompanionPath(path), RecoveryFile::CompanionPath(backup));
        return {};
    }
    if (records.isEmpty())
        return {};
    const MsgAnswer answer =
        ShowMessage(AppTitle(), kQuestion, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    // Either way the file is kept once, as the backup; it is restored from
    // there, so that the saves of this run never write over it.
    moveOver(path, backup);
    moveOver(RecoveryFile::CompanionPath(path), RecoveryFile::CompanionPath(backup));
    return answer == MsgAnswer::Yes ? backup : QString();
}

} // namespace orv
