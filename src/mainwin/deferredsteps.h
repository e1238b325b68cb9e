#pragma once

#include "mainwin/mainflags.h"

#include <QObject>
#include <QTimer>

namespace orv {

// The main window's wait timer: runs one step a moment later (a newer
// request replaces a waiting one).
class DeferredSteps : public QObject {
    Q_OBJECT
public:
    DeferredSteps()
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { Q_EMIT due(std::exchange(m_step, DeferredStep::None)); });
    }
    void Start(DeferredStep step, int milliseconds)
    {
        m_step = step;
        m_timer.start(milliseconds);
    }
    bool IsWaiting() const { return m_timer.isActive(); }

Q_SIGNALS:
    void due(orv::DeferredStep step);

private:
    QTimer m_timer;
    DeferredStep m_step = DeferredStep::None;
};

} // namespace orv
