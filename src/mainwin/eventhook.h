#pragma once

#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

namespace orv {

// Watches the events of one object and hands each to a function; the
// function returns true to take the event. Lives as long as the object.
class EventHook final : public QObject {
public:
    using Fn = std::function<bool(QEvent*)>;

    EventHook(QObject* watched, Fn fn) : QObject(watched), m_fn(std::move(fn))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        Q_UNUSED(watched);
        return m_fn && m_fn(event);
    }

private:
    Fn m_fn;
};

} // namespace orv
