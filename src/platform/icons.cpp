#include "platform/icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

#include <array>
#include <initializer_list>

// The pictures are compiled into the static window library: their
// registration is pulled in from here, as nothing else refers to it.
static void InitIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace orv {
namespace {

constexpr int kActivitySize = 22;
constexpr int kTabSize = 12;
constexpr int kTabBusyFrames = 8;
// Toolbars show 20 pixels; the other sizes serve other bars and scaled
// screens without blurring.
constexpr std::initializer_list<int> kToolbarSizes = {16, 20, 24, 32, 40, 48};
constexpr std::initializer_list<int> kProgramSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The SVG file with its lines ("currentColor") in the palette's text colour.
QByteArray svgSource(const char* name)
{
    static const bool registered = [] {
        InitIconResources();
        return true;
    }();
    Q_UNUSED(registered);
    QFile file(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QColor ink =
        qGuiApp ? QGuiApplication::palette().color(QPalette::WindowText) : QColor(Qt::black);
    return file.readAll().replace("currentColor", ink.name().toLatin1());
}

// The picture drawn into a square of `size` pixels, turned by `degrees`
// about its centre.
QPixmap render(QSvgRenderer& svg, int size, qreal degrees = 0)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (degrees != 0) {
        painter.translate(size / 2.0, size / 2.0);
        painter.rotate(degrees);
        painter.translate(-size / 2.0, -size / 2.0);
    }
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap renderFile(const char* name, int size, qreal degrees = 0)
{
    QSvgRenderer svg(svgSource(name));
    return render(svg, size, degrees);
}

QIcon iconFromFile(const char* name, std::initializer_list<int> sizes)
{
    QSvgRenderer svg(svgSource(name));
    if (!svg.isValid())
        return QIcon();
    QIcon icon;
    for (int size : sizes)
        icon.addPixmap(render(svg, size));
    return icon;
}

} // namespace

const QIcon& ProgramIcon()
{
    static const QIcon icon = iconFromFile("orvane", kProgramSizes);
    return icon;
}

const QIcon& ToolbarIcon(const QString& key)
{
    static const QHash<QString, QIcon> icons = [] {
        QHash<QString, QIcon> all;
        const std::pair<const char*, const char*> files[] = {
            {"Back", "back"},       {"Forward", "forward"}, {"Stop", "stop"},
            {"Refresh", "refresh"}, {"Home", "home"},       {"Search", "search"},
            {"Clone", "newwindow"}, {"Drive", "drive"},     {"Mail", "mail"},
            {"Save", "save"},       {"Print", "print"},
        };
        for (const auto& [buttonKey, file] : files)
            all.insert(QLatin1String(buttonKey), iconFromFile(file, kToolbarSizes));
        return all;
    }();
    static const QIcon none;
    const auto found = icons.constFind(key);
    return found != icons.cend() ? *found : none;
}

const QPixmap& ActivityImage(int index)
{
    static const std::array<QPixmap, 5> images = {
        renderFile("activity-idle", kActivitySize), renderFile("activity-busy2", kActivitySize),
        renderFile("activity-busy3", kActivitySize), renderFile("activity-busy4", kActivitySize),
        renderFile("activity-secure", kActivitySize)};
    return images[size_t(qBound(1, index, 5) - 1)];
}

const QIcon& TabImage(int index)
{
    static const std::array<QIcon, 2 + kTabBusyFrames> images = [] {
        std::array<QIcon, 2 + kTabBusyFrames> a;
        a[0] = QIcon(renderFile("tab-selected", kTabSize));
        a[1] = QIcon(renderFile("tab-idle", kTabSize));
        // One arc, a step further round in each frame.
        QSvgRenderer busy(svgSource("tab-busy"));
        for (int i = 0; i < kTabBusyFrames; ++i)
            a[size_t(i + 2)] = QIcon(render(busy, kTabSize, 360.0 * i / kTabBusyFrames));
        return a;
    }();
    return images[size_t(qBound(1, index, 2 + kTabBusyFrames) - 1)];
}

} // namespace orv
