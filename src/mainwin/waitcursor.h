#pragma once

#include <QWidget>

namespace orv {

// The hourglass on a window while a block runs.
class WaitCursor {
public:
    explicit WaitCursor(QWidget* window) : m_window(window) { m_window->setCursor(Qt::WaitCursor); }
    ~WaitCursor() { m_window->unsetCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QWidget* m_window;
};

} // namespace orv
