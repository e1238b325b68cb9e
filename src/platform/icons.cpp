#include "platform/icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

#include <array>
#include <initializer_list>
#include <memory>

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
// The sizes an icon offers; any other size is drawn as well when asked for.
constexpr std::initializer_list<int> kToolbarSizes = {16, 20, 24, 32, 40, 48};
constexpr std::initializer_list<int> kProgramSizes = {16, 22, 24, 32, 48, 64, 128, 256};
// How strongly a disabled button's picture shows.
constexpr qreal kDisabledOpacity = 0.35;

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

// An icon drawn from its SVG file at the size it is asked for, when it is
// first asked for, and kept per size and mode: a window only pays for the
// sizes it shows, and every later window finds them drawn.
class SvgIconEngine : public QIconEngine {
public:
    SvgIconEngine(const char* name, std::initializer_list<int> sizes) : m_name(name), m_sizes(sizes)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const bool disabled = mode == QIcon::Disabled;
        const qint64 key = qint64(side) * 2 + (disabled ? 1 : 0);
        const auto found = m_drawn.constFind(key);
        if (found != m_drawn.cend())
            return *found;
        if (!m_svg)
            m_svg = std::make_shared<QSvgRenderer>(svgSource(m_name));
        QPixmap drawn = render(*m_svg, side);
        if (disabled) {
            QPixmap faded(drawn.size());
            faded.fill(Qt::transparent);
            QPainter painter(&faded);
            painter.setOpacity(kDisabledOpacity);
            painter.drawPixmap(0, 0, drawn);
            painter.end();
            drawn = faded;
        }
        m_drawn.insert(key, drawn);
        return drawn;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : m_sizes)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QString key() const override { return QStringLiteral("orvane-svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(*this); }

private:
    const char* m_name;
    QList<int> m_sizes;
    std::shared_ptr<QSvgRenderer> m_svg;
    QHash<qint64, QPixmap> m_drawn;
};

QIcon svgIcon(const char* name, std::initializer_list<int> sizes)
{
    return QIcon(new SvgIconEngine(name, sizes));
}

} // namespace

const QIcon& ProgramIcon()
{
    static const QIcon icon = svgIcon("orvane", kProgramSizes);
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
            all.insert(QLatin1String(buttonKey), svgIcon(file, kToolbarSizes));
        return all;
    }();
    static const QIcon none;
    const auto found = icons.constFind(key);
    return found != icons.cend() ? *found : none;
}

const QPixmap& ActivityImage(int index)
{
    // Drawn when first shown: a window that never loads never draws the
    // busy frames.
    static const char* const files[] = {"activity-idle", "activity-busy2", "activity-busy3",
                                        "activity-busy4", "activity-secure"};
    static std::array<QPixmap, 5> images;
    QPixmap& image = images[size_t(qBound(1, index, 5) - 1)];
    if (image.isNull())
        image = renderFile(files[qBound(1, index, 5) - 1], kActivitySize);
    return image;
}

const QIcon& TabImage(int index)
{
    static std::array<QIcon, 2 + kTabBusyFrames> images;
    const int at = qBound(1, index, 2 + kTabBusyFrames) - 1;
    QIcon& image = images[size_t(at)];
    if (image.isNull()) {
        if (at < 2) {
            image = QIcon(renderFile(at == 0 ? "tab-selected" : "tab-idle", kTabSize));
        } else {
            // One arc, a step further round in each frame.
            image = QIcon(renderFile("tab-busy", kTabSize, 360.0 * (at - 2) / kTabBusyFrames));
        }
    }
    return image;
}

} // namespace orv
