#include "mainwin/arrangement.h"

#include "layouts/layout.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

namespace orv {
namespace {

// The start of part `index` of `parts` equal parts of `length` from `origin`;
// part i spans [edge(i), edge(i + 1)).
int edge(int origin, int length, int index, int parts)
{
    return origin + int((qint64(length) * index) / parts);
}

int floorSqrt(int n)
{
    int r = int(std::sqrt(double(n)));
    while (r * r > n)
        --r;
    while ((r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

} // namespace

TileGrid tileGrid(int count, Arrangement arrangement)
{
    if (count <= 0)
        return {};
    const int shortSide = std::max(1, floorSqrt(count));
    const int longSide = count / shortSide;
    if (arrangement == Arrangement::OneBelowOther)
        return {longSide, shortSide};
    return {shortSide, longSide};
}

QList<QRect> tileRects(const QRect& area, int count, Arrangement arrangement)
{
    QList<QRect> tiles;
    if (count <= 0)
        return tiles;
    tiles.reserve(count);
    const TileGrid grid = tileGrid(count, arrangement);
    const bool byColumns = arrangement != Arrangement::OneBelowOther;
    // Lines are columns side by side, rows one below the other.
    const int lines = byColumns ? grid.columns : grid.rows;
    const int perLine = byColumns ? grid.rows : grid.columns;
    int placed = 0;
    for (int line = 0; line < lines; ++line) {
        const int inLine = line == lines - 1 ? count - placed : perLine;
        for (int i = 0; i < inLine; ++i) {
            QRect r;
            if (byColumns) {
                const int x0 = edge(area.left(), area.width(), line, lines);
                const int x1 = edge(area.left(), area.width(), line + 1, lines);
                const int y0 = edge(area.top(), area.height(), i, inLine);
                const int y1 = edge(area.top(), area.height(), i + 1, inLine);
                r = QRect(x0, y0, x1 - x0, y1 - y0);
            } else {
                const int y0 = edge(area.top(), area.height(), line, lines);
                const int y1 = edge(area.top(), area.height(), line + 1, lines);
                const int x0 = edge(area.left(), area.width(), i, inLine);
                const int x1 = edge(area.left(), area.width(), i + 1, inLine);
                r = QRect(x0, y0, x1 - x0, y1 - y0);
            }
            tiles.append(r);
        }
        placed += inLine;
    }
    return tiles;
}

int cascadePositions(const QRect& area, int step)
{
    if (step <= 0)
        return 1;
    const int width = std::max(1, area.width() * 3 / 4);
    const int height = std::max(1, area.height() * 3 / 4);
    const int free = std::min(area.width() - width, area.height() - height);
    return std::max(1, free / step + 1);
}

QList<QRect> cascadeRects(const QRect& area, int count, int step)
{
    QList<QRect> rects;
    if (count <= 0)
        return rects;
    rects.reserve(count);
    const int width = std::max(1, area.width() * 3 / 4);
    const int height = std::max(1, area.height() * 3 / 4);
    const int positions = cascadePositions(area, step);
    const int offset = std::max(0, step);
    for (int i = 0; i < count; ++i) {
        const int k = i % positions;
        rects.append(QRect(area.left() + k * offset, area.top() + k * offset, width, height));
    }
    return rects;
}

QRect areaAboveIcons(const QRect& area, const QList<QRect>& minimised)
{
    int top = area.bottom() + 1;
    for (const QRect& icon : minimised)
        if (icon.intersects(area))
            top = std::min(top, icon.top());
    if (top > area.bottom())
        return area;
    const int above = top - area.top();
    if (above < area.height() / 2)
        return area;
    QRect result = area;
    result.setHeight(above);
    return result;
}

QRect twipsToPixels(int left, int top, int width, int height)
{
    auto px = [](int twips) { return int(std::lround(twips / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

QRectF pixelsToTwips(const QRect& pixels)
{
    return QRectF(pixels.x() * 15.0, pixels.y() * 15.0, pixels.width() * 15.0,
                  pixels.height() * 15.0);
}

QRect keepInsideArea(const QRect& wanted, const QRect& area, const QSize& minimum)
{
    if (area.isEmpty())
        return wanted;
    const int width =
        std::clamp(wanted.width(), std::min(minimum.width(), area.width()), area.width());
    const int height =
        std::clamp(wanted.height(), std::min(minimum.height(), area.height()), area.height());
    const int left = std::clamp(wanted.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(wanted.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

bool recordGeometryUsable(const LayoutOpenArgs& args)
{
    return args.nState >= 0 && args.nState <= 2 && args.nHeight >= 0;
}

} // namespace orv
