#include "platform/icons.h"

#include <QPainter>
#include <QtMath>
#include <array>

namespace orv {
namespace {

constexpr int kActivitySize = 22;
constexpr int kTabSize = 12;

// A ring of dots with one dot highlighted (frame 1..frames), or a plain ring
// (frame 0).
QPixmap drawSpinner(int size, int frame, int frames, const QColor& colour)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const double radius = size * 0.34;
    const double dot = qMax(1.5, size * 0.09);
    for (int i = 0; i < 8; ++i) {
        const double a = 2 * M_PI * i / 8.0;
        const QPointF at = centre + QPointF(std::cos(a) * radius, std::sin(a) * radius);
        const bool lit = frame > 0 && (i * frames / 8) == (frame - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? colour : QColor(150, 150, 150));
        p.drawEllipse(at, lit ? dot * 1.4 : dot, lit ? dot * 1.4 : dot);
    }
    return pm;
}

QPixmap drawLock(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 90, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(size * 0.3, size * 0.12, size * 0.4, size * 0.45), 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 170, 20));
    p.drawRoundedRect(QRectF(size * 0.2, size * 0.4, size * 0.6, size * 0.45), 2, 2);
    return pm;
}

} // namespace

const QPixmap& ActivityImage(int index)
{
    static const std::array<QPixmap, 5> images = [] {
        std::array<QPixmap, 5> a;
        for (int i = 0; i < 4; ++i)
            a[size_t(i)] = drawSpinner(kActivitySize, i == 0 ? 0 : i, 4, QColor(30, 90, 200));
        a[4] = drawLock(kActivitySize);
        return a;
    }();
    return images[size_t(qBound(1, index, 5) - 1)];
}

const QIcon& TabImage(int index)
{
    static const std::array<QIcon, 10> images = [] {
        std::array<QIcon, 10> a;
        QPixmap selected(kTabSize, kTabSize);
        selected.fill(Qt::transparent);
        {
            QPainter p(&selected);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 140, 40));
            p.drawEllipse(QRectF(2, 2, kTabSize - 4, kTabSize - 4));
        }
        QPixmap idle(kTabSize, kTabSize);
        idle.fill(Qt::transparent);
        {
            QPainter p(&idle);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QColor(130, 130, 130));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2.5, 2.5, kTabSize - 5, kTabSize - 5));
        }
        a[0] = QIcon(selected);
        a[1] = QIcon(idle);
        for (int i = 0; i < 8; ++i)
            a[size_t(i + 2)] = QIcon(drawSpinner(kTabSize, i + 1, 8, QColor(30, 90, 200)));
        return a;
    }();
    return images[size_t(qBound(1, index, 10) - 1)];
}

} // namespace orv
