#include "platform/downloads.h"

#include "app/dialogseam.h"
#include "app/texts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <climits>

namespace orv {
namespace {

const char kHandlerName[] = "Downloads";

// The window that a download's progress belongs to: the one showing the page
// that started it, else the active one.
QWidget* ownerWindow(QWebEngineDownloadRequest* request)
{
    if (QWebEnginePage* page = request->page())
        if (QWebEngineView* view = QWebEngineView::forPage(page))
            return view->window();
    return QApplication::activeWindow();
}

} // namespace

DownloadProgress::DownloadProgress(QWebEngineDownloadRequest* request, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_request(request)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Download"));
    setAccessibleName(QStringLiteral("Download"));
    auto* layout = new QVBoxLayout(this);
    m_name = new QLabel(this);
    m_name->setTextFormat(Qt::PlainText);
    m_name->setText(QDir(request->downloadDirectory()).filePath(request->downloadFileName()));
    m_name->setAccessibleName(QStringLiteral("Datei"));
    layout->addWidget(m_name);
    auto* row = new QHBoxLayout;
    m_bar = new QProgressBar(this);
    m_bar->setAccessibleName(QStringLiteral("Fortschritt"));
    m_bar->setMinimumWidth(260);
    row->addWidget(m_bar, 1);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setAccessibleName(QStringLiteral("Abbrechen"));
    row->addWidget(m_cancel);
    layout->addLayout(row);

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelledByUser = true;
        if (m_request)
            m_request->cancel();
    });
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &DownloadProgress::update);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this,
            &DownloadProgress::update);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this,
            &DownloadProgress::finish);
    // The request goes with its profile: nothing left to show then.
    connect(request, &QObject::destroyed, this, &QWidget::close);
    update();
    if (request->isFinished())
        QMetaObject::invokeMethod(this, &DownloadProgress::finish, Qt::QueuedConnection);
}

void DownloadProgress::update()
{
    if (!m_request)
        return;
    const qint64 total = m_request->totalBytes();
    const qint64 received = m_request->receivedBytes();
    if (total > 0) {
        // The bar counts in kilobytes so that large files fit its int range.
        m_bar->setRange(0, int(qMin<qint64>(total / 1024 + 1, INT_MAX)));
        m_bar->setValue(int(qMin<qint64>(received / 1024, m_bar->maximum())));
    } else {
        m_bar->setRange(0, 0); // size unknown: a busy bar
    }
}

void DownloadProgress::finish()
{
    if (!m_request || !m_request->isFinished())
        return;
    const QWebEngineDownloadRequest::DownloadState state = m_request->state();
    const QString reason = m_request->interruptReasonString();
    const QString target =
        QDir(m_request->downloadDirectory()).filePath(m_request->downloadFileName());
    const bool cancelledByUser = m_cancelledByUser;
    close();
    // The engine also cancels on its own (a folder that cannot be made):
    // the user hears of every download that did not arrive unless they
    // cancelled it themselves.
    if (state == QWebEngineDownloadRequest::DownloadInterrupted)
        ShowMessage(
            Txt(1113),
            QStringLiteral("Der Download von %1 ist fehlgeschlagen: %2").arg(target, reason),
            MsgIcon::Warning);
    else if (state == QWebEngineDownloadRequest::DownloadCancelled && !cancelledByUser)
        ShowMessage(Txt(1113), QStringLiteral("Der Download von %1 wurde abgebrochen.").arg(target),
                    MsgIcon::Warning);
}

Downloads::Downloads(QWebEngineProfile* profile) : QObject(profile)
{
    setObjectName(QString::fromLatin1(kHandlerName));
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::onDownloadRequested);
}

Downloads* Downloads::Install(QWebEngineProfile* profile)
{
    if (!profile)
        return nullptr;
    if (auto* existing = profile->findChild<Downloads*>(QString::fromLatin1(kHandlerName),
                                                        Qt::FindDirectChildrenOnly))
        return existing;
    return new Downloads(profile);
}

void Downloads::onDownloadRequested(QWebEngineDownloadRequest* request)
{
    if (request->state() != QWebEngineDownloadRequest::DownloadRequested) {
        // A saved page: its place was chosen before.
        if (!request->isFinished())
            showProgress(request);
        return;
    }
    QString folder = request->downloadDirectory();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    FileDialogRequest ask;
    ask.mode = FileDialogRequest::Mode::Save;
    ask.startFolder = folder;
    ask.fileName = request->downloadFileName();
    const QString chosen = Dialogs().fileDialog(ask);
    if (chosen.isEmpty()) {
        request->cancel();
        return;
    }
    const QFileInfo target(chosen);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    request->accept();
    showProgress(request);
}

void Downloads::showProgress(QWebEngineDownloadRequest* request)
{
    auto* progress = new DownloadProgress(request, ownerWindow(request));
    progress->show();
    Q_EMIT started(request, progress);
}

} // namespace orv
