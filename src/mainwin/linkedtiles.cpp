#include "mainwin/linkedtiles.h"

#include "browser/frmbrowser.h"
#include "mainwin/windowregistry.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace orv {
namespace {

int startOf(const QRect& r, bool horizontal)
{
    return horizontal ? r.x() : r.y();
}

// The first coordinate after the tile: the next tile's start.
int endOf(const QRect& r, bool horizontal)
{
    return horizontal ? r.x() + r.width() : r.y() + r.height();
}

void setStart(QRect& r, bool horizontal, int start)
{
    const int end = endOf(r, horizontal);
    if (horizontal)
        r.setRect(start, r.y(), end - start, r.height());
    else
        r.setRect(r.x(), start, r.width(), end - start);
}

void setEnd(QRect& r, bool horizontal, int end)
{
    if (horizontal)
        r.setWidth(end - r.x());
    else
        r.setHeight(end - r.y());
}

int smallest(const QMdiSubWindow* window, bool horizontal)
{
    const QSize hint = window->minimumSizeHint().expandedTo(window->minimumSize());
    return qMax(LinkedTiles::kSmallestTile, horizontal ? hint.width() : hint.height());
}

} // namespace

LinkedTiles::LinkedTiles(WindowRegistry& registry)
{
    // A window that comes or goes ends the tiling (a new tiling may follow).
    connect(&registry, &WindowRegistry::windowRegistered, this, &LinkedTiles::Forget);
    connect(&registry, &WindowRegistry::windowUnregistered, this, &LinkedTiles::Forget);
}

LinkedTiles::~LinkedTiles()
{
    Forget();
}

void LinkedTiles::Remember(const QList<QMdiSubWindow*>& windows)
{
    Forget();
    // One window alone has no neighbour to share an edge with.
    if (windows.size() < 2)
        return;
    for (QMdiSubWindow* w : windows) {
        m_tiles.insert(w, w->geometry());
        m_watched.append(w);
        w->installEventFilter(this);
    }
}

void LinkedTiles::Forget()
{
    for (const QPointer<QMdiSubWindow>& w : std::as_const(m_watched))
        if (w)
            w->removeEventFilter(this);
    m_watched.clear();
    m_tiles.clear();
    m_pressed.clear();
}

bool LinkedTiles::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = static_cast<QMdiSubWindow*>(watched);
    if (!m_tiles.contains(window))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_pressed = window;
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_pressed.clear();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (!m_applying)
            geometryChanged(window);
        break;
    case QEvent::Hide:
        Forget();
        break;
    case QEvent::WindowStateChange:
        // Activation changes the state too; minimising and maximising end
        // the tiling.
        if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
            Forget();
        break;
    default:
        break;
    }
    return false;
}

void LinkedTiles::geometryChanged(QMdiSubWindow* window)
{
    const QRect old = m_tiles.value(window);
    const QRect now = window->geometry();
    if (old == now)
        return;
    // A window that went without a word ends the tiling as well.
    for (const QPointer<QMdiSubWindow>& w : std::as_const(m_watched)) {
        if (!w) {
            Forget();
            return;
        }
    }
    // Moved, or sized by anything but a drag of its frame: the tiling is
    // over.
    if (m_pressed != window || old.size() == now.size() ||
        window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        Forget();
        return;
    }
    QHash<QMdiSubWindow*, QRect> next = m_tiles;
    next[window] = now;
    for (const bool horizontal : {true, false}) {
        if (startOf(old, horizontal) != startOf(now, horizontal))
            moveLine(next, horizontal, startOf(old, horizontal), startOf(now, horizontal));
        if (endOf(old, horizontal) != endOf(now, horizontal))
            moveLine(next, horizontal, endOf(old, horizontal), endOf(now, horizontal));
    }
    const QScopedValueRollback applying(m_applying, true);
    for (auto it = next.cbegin(); it != next.cend(); ++it)
        if (it.key()->geometry() != it.value())
            it.key()->setGeometry(it.value());
    for (auto it = m_tiles.begin(); it != m_tiles.end(); ++it)
        it.value() = it.key()->geometry();
}

void LinkedTiles::moveLine(QHash<QMdiSubWindow*, QRect>& next, bool horizontal, int from,
                           int to) const
{
    QList<QMdiSubWindow*> before; // tiles that end on the line
    QList<QMdiSubWindow*> after;  // tiles that start on it
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it) {
        if (endOf(it.value(), horizontal) == from)
            before.append(it.key());
        else if (startOf(it.value(), horizontal) == from)
            after.append(it.key());
    }
    if (before.isEmpty() || after.isEmpty())
        return;
    // No tile on either side becomes too small to use.
    for (QMdiSubWindow* w : std::as_const(before))
        to = qMax(to, startOf(m_tiles.value(w), horizontal) + smallest(w, horizontal));
    for (QMdiSubWindow* w : std::as_const(after))
        to = qMin(to, endOf(m_tiles.value(w), horizontal) - smallest(w, horizontal));
    for (QMdiSubWindow* w : std::as_const(before))
        setEnd(next[w], horizontal, to);
    for (QMdiSubWindow* w : std::as_const(after))
        setStart(next[w], horizontal, to);
}

} // namespace orv
