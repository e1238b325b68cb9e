#include "app/openqueue.h"

#include "app/texthelpers.h"

#include <utility>

namespace orv {

OpenQueue::OpenQueue(QObject* parent) : QObject(parent)
{
    m_openFilesTimer.setSingleShot(true);
    m_openFilesTimer.setInterval(DefaultIntervalMs);
    connect(&m_openFilesTimer, &QTimer::timeout, this, &OpenQueue::OpenFilesTimer_Timer);
}

void OpenQueue::SuspendExternalOpen(bool suspend)
{
    const bool enabled = !suspend;
    if (enabled == m_externalOpenEnabled)
        return;
    m_externalOpenEnabled = enabled;
    Q_EMIT externalOpenChanged(enabled);
}

QString OpenQueue::ReduceArgument(const QString& argument)
{
    const int separators = CountOccurrences(argument, QStringLiteral(":")) +
                           CountOccurrences(argument, QStringLiteral("\\\\"));
    return separators > 1 ? FirstArgument(argument) : argument;
}

bool OpenQueue::receive(const QString& argument)
{
    if (!m_externalOpenEnabled || argument.isEmpty())
        return false;
    m_pendingOpenQueue.append(ReduceArgument(argument));
    if (!m_openFilesTimer.isActive())
        m_openFilesTimer.start();
    return true;
}

void OpenQueue::OpenFilesTimer_Timer()
{
    // The queue is taken before the entries are offered: an argument that
    // arrives while the windows are being opened waits for the next tick
    // instead of being dropped with the emptied queue.
    const QStringList entries = std::exchange(m_pendingOpenQueue, {});
    if (!entries.isEmpty())
        Q_EMIT openEntries(entries);
}

} // namespace orv
