#pragma once

#include <QList>
#include <QRect>

// Where the browser windows go when the Window menu arranges them, computed
// on plain rectangles (pixels, in the coordinates of the main window's client
// area). The main window only reads the windows and applies the results.

namespace orv {

struct LayoutOpenArgs;

// The values of the main window's Arrange: 0 cascade, 1 one below the other
// (tiled horizontally), 2 side by side (tiled vertically).
enum class Arrangement { Cascade = 0, OneBelowOther = 1, SideBySide = 2 };

struct TileGrid {
    int rows = 0;
    int columns = 0;
    bool operator==(const TileGrid&) const = default;
};

// The grid for tiling `count` windows.
//
// Side by side: rows = floor(sqrt(count)), columns = count / rows. The windows
// fill the columns from the left, each column from the top; the last column
// takes all windows left over, so it holds between `rows` and 2 * rows - 1 of
// them. Up to three windows stand in one row; four make a 2 x 2 grid, six a
// 2 x 3 grid, twelve a 3 x 4 grid: every window keeps a useful size and a
// shape close to the area's.
//
// One below the other: the same grid turned by a quarter: columns =
// floor(sqrt(count)), rows = count / columns, filled row by row from the
// top, each row from the left; the last row takes the windows left over. Up
// to three windows stand in one column, each the full width.
//
// The grid's rows and columns are those of the full lines; the last line may
// hold more windows than the others.
TileGrid tileGrid(int count, Arrangement arrangement);

// The tiles for `count` windows inside `area` (see tileGrid). The tiles are
// in window order, do not overlap and cover the area exactly: the pixels that
// do not divide evenly go to the tiles one by one.
QList<QRect> tileRects(const QRect& area, int count, Arrangement arrangement);

// Cascade: every window is three quarters of the area wide and high; window i
// stands `step` pixels (the height of a title bar) further down and right
// than window i - 1. When the next window would leave the area, the cascade
// starts again at the area's top left corner. Window order is bottom to top,
// so the top window's title bar is the last one of the cascade.
QList<QRect> cascadeRects(const QRect& area, int count, int step);

// How many windows one cascade round holds before it starts again at the top
// left corner (at least 1).
int cascadePositions(const QRect& area, int step);

// The area left for arranged windows when minimised windows lie along its
// bottom: the part above the highest of them. When that would leave less
// than half of the area, the whole area is used.
QRect areaAboveIcons(const QRect& area, const QList<QRect>& minimised);

// Twips (15 to the pixel) of a recorded window to pixels, rounded.
QRect twipsToPixels(int left, int top, int width, int height);
// A window's rectangle in pixels to twips.
QRectF pixelsToTwips(const QRect& pixels);

// Where a recorded window goes inside `area` (the client rectangle of the
// main window's window area): at least `minimum` and at most the area in
// size, and moved into the area, so that no window of a damaged or foreign
// file ends up out of reach (far outside, larger than the area, or too small
// to grab). A rectangle that fits stays as it is; an empty area (the window
// area not laid out yet) changes nothing.
QRect keepInsideArea(const QRect& wanted, const QRect& area, const QSize& minimum);
// The smallest size a restored window is given (pixels): its title bar and
// a corner to grab stay visible.
inline constexpr QSize SmallestRestoredWindow{160, 100};

// Whether a recorded window's geometry and state can be applied: a window
// state of 0, 1 or 2 and a height not below zero. Records that break this
// come from damaged files.
bool recordGeometryUsable(const LayoutOpenArgs& args);

} // namespace orv
