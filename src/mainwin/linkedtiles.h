#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>

class QMdiSubWindow;

namespace orv {

class WindowRegistry;

// The tiles of the last tiling, kept so that the windows keep filling their
// area when one of them is sized: dragging an edge that a tile shares with
// neighbours moves that line for every tile on it, the whole column or row
// with it. An edge no other tile meets (the area's border) sizes only its
// own window. The tiles are forgotten when a window is moved, minimised or
// maximised, sized other than by a drag of its frame, opened or closed, and
// when another arrangement runs.
class LinkedTiles : public QObject {
    Q_OBJECT
public:
    // A tile is never made smaller than this along a moved line (pixels),
    // nor smaller than its window's smallest size.
    static constexpr int kSmallestTile = 80;

    explicit LinkedTiles(WindowRegistry& registry);
    ~LinkedTiles() override;

    // The windows have just been given these tiles.
    void Remember(const QList<QMdiSubWindow*>& windows);
    void Forget();
    bool IsActive() const { return !m_tiles.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void geometryChanged(QMdiSubWindow* window);
    // Moves the line at `from` (x when `horizontal`, else y) to `to` for
    // every tile on it when tiles lie on both sides of it.
    void moveLine(QHash<QMdiSubWindow*, QRect>& next, bool horizontal, int from, int to) const;

    QHash<QMdiSubWindow*, QRect> m_tiles;
    QList<QPointer<QMdiSubWindow>> m_watched;
    // The window whose frame the left button holds: only its size changes
    // are drags.
    QPointer<QMdiSubWindow> m_pressed;
    bool m_applying = false;
};

} // namespace orv
