// Build-time helper: draws an SVG picture into square PNG files.
//   orvane-iconpng <picture.svg> <folder> <size>...
// writes <folder>/<size>x<size>/apps/<name>.png for each size, <name> being
// the picture's file name without ".svg".

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdlib>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    constexpr int kFirstSize = 3;
    if (args.size() <= kFirstSize) {
        err << "usage: orvane-iconpng <picture.svg> <folder> <size>...\n";
        return EXIT_FAILURE;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        err << "cannot read " << args.at(1) << '\n';
        return EXIT_FAILURE;
    }
    const QString name = QFileInfo(args.at(1)).completeBaseName();
    for (qsizetype i = kFirstSize; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0) {
            err << "not a size: " << args.at(i) << '\n';
            return EXIT_FAILURE;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) ||
            !image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            err << "cannot write " << file << '\n';
            return EXIT_FAILURE;
        }
    }
    return EXIT_SUCCESS;
}
