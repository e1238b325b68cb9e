#include "platform/icons.h"

#include "platform/engine.h"

#include <QFile>
#include <QFuture>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <QtConcurrent>

#include <array>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

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

// The colour of the pictures' lines: the palette's text colour.
QColor currentInk()
{
    return qGuiApp ? QGuiApplication::palette().color(QPalette::WindowText) : QColor(Qt::black);
}

// The SVG file with its lines ("currentColor") in `ink`.
QByteArray svgSource(const char* name, const QColor& ink)
{
    static const bool registered = [] {
        InitIconResources();
        return true;
    }();
    Q_UNUSED(registered);
    QFile file(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll().replace("currentColor", ink.name().toLatin1());
}

// The picture drawn into a square of `size` pixels, turned by `degrees`
// about its centre (on any thread).
QImage renderImage(QSvgRenderer& svg, int size, qreal degrees = 0)
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
    return image;
}

QPixmap render(QSvgRenderer& svg, int size, qreal degrees = 0)
{
    return QPixmap::fromImage(renderImage(svg, size, degrees));
}

// Pictures drawn ahead on a worker (DrawStartPicturesAhead), by file and
// size, in one text colour. Used on the user-interface thread only; the
// worker's result is taken once it has ended, never waited for.
class DrawnAhead {
public:
    using Images = QHash<QString, QImage>;

    static QString key(const char* name, int size)
    {
        return QLatin1String(name) + u'@' + QString::number(size);
    }

    void start(QFuture<Images> drawing, QRgb ink)
    {
        m_drawing = std::move(drawing);
        m_ink = ink;
        m_images.clear();
    }

    // The picture if it was drawn ahead in `ink`; a null pixmap otherwise.
    QPixmap find(const char* name, QRgb ink, int size)
    {
        if (m_drawing.isValid() && m_drawing.isFinished()) {
            m_images = m_drawing.result();
            m_drawing = {};
        }
        if (ink != m_ink)
            return QPixmap();
        const auto found = m_images.constFind(key(name, size));
        return found != m_images.cend() ? QPixmap::fromImage(*found) : QPixmap();
    }

private:
    QFuture<Images> m_drawing;
    QRgb m_ink = 0;
    Images m_images;
};

DrawnAhead& drawnAhead()
{
    static DrawnAhead drawn;
    return drawn;
}

QPixmap renderFile(const char* name, const QColor& ink, int size, qreal degrees = 0)
{
    if (degrees == 0)
        if (QPixmap ahead = drawnAhead().find(name, ink.rgba(), size); !ahead.isNull())
            return ahead;
    QSvgRenderer svg(svgSource(name, ink));
    return render(svg, size, degrees);
}

// A picture drawn once and kept as long as the text colour stays.
template <typename Picture> struct Drawn {
    Picture picture;
    QRgb ink = 0;
};

// An icon drawn from its SVG file at the size it is asked for, when it is
// first asked for, and kept per size and mode: a window only pays for the
// sizes it shows, and every later window finds them drawn. A new text
// colour (another desktop palette) draws them anew.
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
        const QColor ink = currentInk();
        if (ink.rgba() != m_ink) {
            m_drawn.clear();
            m_svg.reset();
            m_ink = ink.rgba();
        }
        const bool disabled = mode == QIcon::Disabled;
        const qint64 key = qint64(side) * 2 + (disabled ? 1 : 0);
        const auto found = m_drawn.constFind(key);
        if (found != m_drawn.cend())
            return *found;
        QPixmap drawn = drawnAhead().find(m_name, m_ink, side);
        if (drawn.isNull()) {
            if (!m_svg)
                m_svg = std::make_shared<QSvgRenderer>(svgSource(m_name, ink));
            drawn = render(*m_svg, side);
        }
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
    QRgb m_ink = 0;
};

QIcon svgIcon(const char* name, std::initializer_list<int> sizes)
{
    return QIcon(new SvgIconEngine(name, sizes));
}

// An icon kept in `slot`, drawn from its file when first asked for.
const QIcon& lazyIcon(QIcon& slot, const char* file)
{
    if (slot.isNull())
        slot = svgIcon(file, kToolbarSizes);
    return slot;
}

// The toolbar buttons' pictures by the buttons' keys.
constexpr std::pair<const char*, const char*> kToolbarFiles[] = {
    {"Back", "back"},   {"Forward", "forward"}, {"Stop", "stop"},       {"Refresh", "refresh"},
    {"Home", "home"},   {"Search", "search"},   {"Clone", "newwindow"}, {"Drive", "drive"},
    {"Mail", "mail"},   {"history", "history"}, {"Bookm", "bookmarks"}, {"Save", "save"},
    {"Print", "print"},
};

const char* treeFile(TreeImageKind kind)
{
    switch (kind) {
    case TreeImageKind::Archive:
        return "archive";
    case TreeImageKind::Folder:
        return "folder";
    case TreeImageKind::OpenFolder:
        return "folder-open";
    case TreeImageKind::Bookmark:
        return "bookmark";
    case TreeImageKind::Feed:
        return "feed";
    case TreeImageKind::Layout:
        return "layout";
    case TreeImageKind::LayoutWindow:
        return "layout-window";
    case TreeImageKind::LayoutInfo:
        break;
    }
    return "layout-info";
}

const char* buttonFile(ButtonImageKind kind)
{
    switch (kind) {
    case ButtonImageKind::FindPrevious:
        return "find-previous";
    case ButtonImageKind::FindNext:
        return "find-next";
    case ButtonImageKind::Close:
        break;
    }
    return "close";
}

constexpr char kProgramFile[] = "orvane";
constexpr char kMailFile[] = "newmail";
constexpr const char* kActivityFiles[] = {"activity-idle", "activity-busy2", "activity-busy3",
                                          "activity-busy4", "activity-secure"};
constexpr char kTabSelectedFile[] = "tab-selected";
constexpr char kTabIdleFile[] = "tab-idle";

} // namespace

void DrawStartPicturesAhead()
{
    std::vector<std::pair<const char*, int>> pictures;
    for (const auto& entry : kToolbarFiles)
        pictures.emplace_back(entry.second, kToolbarPictureSize);
    pictures.emplace_back("search", kStatusPictureSize);
    pictures.emplace_back(kMailFile, kStatusPictureSize);
    // The main window hands its icon to the desktop in every size it has.
    for (int size : kProgramSizes)
        pictures.emplace_back(kProgramFile, size);
    pictures.emplace_back(kActivityFiles[0], kActivitySize);
    pictures.emplace_back(kTabSelectedFile, kTabSize);
    pictures.emplace_back(kTabIdleFile, kTabSize);
    const QColor ink = currentInk();
    drawnAhead().start(QtConcurrent::run(&StartupWorker(),
                                         [pictures = std::move(pictures), ink] {
                                             DrawnAhead::Images images;
                                             const char* read = nullptr;
                                             QSvgRenderer svg;
                                             for (const auto& [name, size] : pictures) {
                                                 // A file's sizes come one after another.
                                                 if (name != read)
                                                     svg.load(svgSource(name, ink));
                                                 read = name;
                                                 images.insert(DrawnAhead::key(name, size),
                                                               renderImage(svg, size));
                                             }
                                             return images;
                                         }),
                       ink.rgba());
}

const QIcon& ProgramIcon()
{
    static const QIcon icon = svgIcon(kProgramFile, kProgramSizes);
    return icon;
}

const QIcon& ToolbarIcon(const QString& key)
{
    static const QHash<QString, QIcon> icons = [] {
        QHash<QString, QIcon> all;
        for (const auto& [buttonKey, file] : kToolbarFiles)
            all.insert(QLatin1String(buttonKey), svgIcon(file, kToolbarSizes));
        return all;
    }();
    static const QIcon none;
    const auto found = icons.constFind(key);
    return found != icons.cend() ? *found : none;
}

const QIcon& TreeImage(TreeImageKind kind)
{
    static std::array<QIcon, size_t(TreeImageKind::LayoutInfo) + 1> icons;
    return lazyIcon(icons.at(size_t(kind)), treeFile(kind));
}

const QIcon& TreeImage(const QString& imageKey)
{
    static const QHash<QString, TreeImageKind> kinds = {
        {QStringLiteral("Archiv"), TreeImageKind::Archive},
        {QStringLiteral("Dir"), TreeImageKind::Folder},
        {QStringLiteral("OpenDir"), TreeImageKind::OpenFolder},
        {QStringLiteral("Url"), TreeImageKind::Bookmark},
        {QStringLiteral("xml"), TreeImageKind::Feed},
        {QStringLiteral("layout"), TreeImageKind::Layout},
        {QStringLiteral("layoutwin"), TreeImageKind::LayoutWindow},
        {QStringLiteral("layoutinf"), TreeImageKind::LayoutInfo},
    };
    static const QIcon none;
    const auto found = kinds.constFind(imageKey);
    return found != kinds.cend() ? TreeImage(*found) : none;
}

const QIcon& ButtonImage(ButtonImageKind kind)
{
    static std::array<QIcon, size_t(ButtonImageKind::Close) + 1> icons;
    return lazyIcon(icons.at(size_t(kind)), buttonFile(kind));
}

const QIcon& StatusImage(StatusImageKind kind)
{
    // While mail is searched the panel shows the search button's picture.
    if (kind == StatusImageKind::Look)
        return ToolbarIcon(QStringLiteral("Search"));
    static const QIcon mail = svgIcon(kMailFile, kToolbarSizes);
    return mail;
}

const QPixmap& ActivityImage(int index)
{
    // Drawn when first shown: a window that never loads never draws the
    // busy frames.
    static std::array<Drawn<QPixmap>, 5> images;
    const int at = qBound(1, index, 5) - 1;
    Drawn<QPixmap>& image = images[size_t(at)];
    const QColor ink = currentInk();
    if (image.picture.isNull() || image.ink != ink.rgba())
        image = {renderFile(kActivityFiles[at], ink, kActivitySize), ink.rgba()};
    return image.picture;
}

const QIcon& TabImage(int index)
{
    static std::array<Drawn<QIcon>, 2 + kTabBusyFrames> images;
    const int at = qBound(1, index, 2 + kTabBusyFrames) - 1;
    Drawn<QIcon>& image = images[size_t(at)];
    const QColor ink = currentInk();
    if (image.picture.isNull() || image.ink != ink.rgba()) {
        if (at < 2) {
            image = {QIcon(renderFile(at == 0 ? kTabSelectedFile : kTabIdleFile, ink, kTabSize)),
                     ink.rgba()};
        } else {
            // One arc, a step further round in each frame.
            image = {
                QIcon(renderFile("tab-busy", ink, kTabSize, 360.0 * (at - 2) / kTabBusyFrames)),
                ink.rgba()};
        }
    }
    return image.picture;
}

} // namespace orv
