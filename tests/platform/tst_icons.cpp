#include "platform/engine.h"
#include "platform/icons.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QTest>
#include <QThreadPool>

#include <cmath>
#include <functional>
#include <vector>

#ifndef ORVANE_HICOLOR_DIR
#error "ORVANE_HICOLOR_DIR: the folder of the drawn hicolor icons"
#endif

using namespace orv;

namespace {

// Pixels that are not fully transparent.
int inkedPixels(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

qint64 totalAlpha(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

const QStringList& toolbarKeys()
{
    static const QStringList keys = {
        QStringLiteral("Back"),    QStringLiteral("Forward"), QStringLiteral("Stop"),
        QStringLiteral("Refresh"), QStringLiteral("Home"),    QStringLiteral("Search"),
        QStringLiteral("Clone"),   QStringLiteral("Drive"),   QStringLiteral("Mail"),
        QStringLiteral("history"), QStringLiteral("Bookm"),   QStringLiteral("Save"),
        QStringLiteral("Print")};
    return keys;
}

// Every picture the program shows, drawn at the size it is shown at.
struct Picture {
    QString name;
    std::function<QPixmap()> draw;
    // Lines in the palette's text colour (the program icon and the selected
    // tab's dot keep their colours).
    bool followsPalette = true;
};

const std::vector<Picture>& allPictures()
{
    static const std::vector<Picture> pictures = [] {
        constexpr int kShown = 16;
        std::vector<Picture> all;
        for (const QString& key : toolbarKeys())
            all.push_back({QStringLiteral("toolbar ") + key,
                           [key] { return ToolbarIcon(key).pixmap(kShown); }});
        for (int kind = 0; kind <= int(TreeImageKind::LayoutInfo); ++kind)
            all.push_back({QStringLiteral("tree %1").arg(kind),
                           [kind] { return TreeImage(TreeImageKind(kind)).pixmap(kShown); }});
        for (int kind = 0; kind <= int(ButtonImageKind::Close); ++kind)
            all.push_back({QStringLiteral("button %1").arg(kind),
                           [kind] { return ButtonImage(ButtonImageKind(kind)).pixmap(kShown); }});
        all.push_back({QStringLiteral("status mail"),
                       [] { return StatusImage(StatusImageKind::Mail).pixmap(kShown); }});
        all.push_back(
            {QStringLiteral("program"), [] { return ProgramIcon().pixmap(kShown); }, false});
        for (int index = 1; index <= 10; ++index)
            all.push_back({QStringLiteral("tab %1").arg(index),
                           [index] { return TabImage(index).pixmap(12); }, index != 1});
        for (int index = 1; index <= 5; ++index)
            all.push_back({QStringLiteral("activity %1").arg(index),
                           [index] { return ActivityImage(index); }});
        return all;
    }();
    return pictures;
}

// A desktop palette with this window and text colour.
QPalette paletteOf(const QColor& window, const QColor& text)
{
    QPalette palette(text, window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

// Pixels of the picture laid on `background` that stand out from it at
// least as much as a control's lines must (contrast ratio 3:1).
int contrastingPixels(const QPixmap& pixmap, const QColor& background)
{
    constexpr double kMinContrast = 3.0;
    QImage laid(pixmap.size(), QImage::Format_ARGB32);
    laid.fill(background);
    QPainter painter(&laid);
    painter.drawPixmap(0, 0, pixmap);
    painter.end();
    const double ground = luminance(background.rgb());
    int count = 0;
    for (int y = 0; y < laid.height(); ++y)
        for (int x = 0; x < laid.width(); ++x) {
            const double ink = luminance(laid.pixel(x, y));
            const double ratio = (qMax(ink, ground) + 0.05) / (qMin(ink, ground) + 0.05);
            count += ratio >= kMinContrast ? 1 : 0;
        }
    return count;
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_palette = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(m_palette); }

    void pictureReadsOnLightAndDark_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < allPictures().size(); ++i)
            QTest::newRow(qPrintable(allPictures()[i].name)) << int(i);
    }
    void pictureReadsOnLightAndDark()
    {
        QFETCH(int, index);
        const Picture& picture = allPictures()[size_t(index)];
        const QColor lightWindow(0xef, 0xef, 0xef);
        const QColor darkWindow(0x2d, 0x2d, 0x2d);
        QImage drawn[2];
        int at = 0;
        for (const QPalette& palette :
             {paletteOf(lightWindow, Qt::black), paletteOf(darkWindow, QColor(0xf2, 0xf2, 0xf2))}) {
            QApplication::setPalette(palette);
            const QPixmap pixmap = picture.draw();
            QVERIFY(!pixmap.isNull());
            const int area = pixmap.width() * pixmap.height();
            QVERIFY(inkedPixels(pixmap) > 0);
            // Lines, not a lone dot, stand out from the window.
            const int standing = contrastingPixels(pixmap, palette.color(QPalette::Window));
            QVERIFY2(standing >= area / 40,
                     qPrintable(QStringLiteral("%1 of %2 on %3")
                                    .arg(standing)
                                    .arg(area)
                                    .arg(palette.color(QPalette::Window).name())));
            // Drawn from the program's own files: no picture of the style.
            const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
            for (int sp = 0; sp <= int(QStyle::SP_LineEditClearButton); ++sp) {
                const QPixmap styled = QApplication::style()
                                           ->standardIcon(QStyle::StandardPixmap(sp))
                                           .pixmap(pixmap.size());
                QVERIFY(styled.toImage().convertToFormat(QImage::Format_ARGB32) != image);
            }
            drawn[at++] = image;
        }
        QCOMPARE(drawn[0] != drawn[1], picture.followsPalette);
    }

    void everyPictureIsItsOwn()
    {
        std::vector<QImage> images;
        for (const Picture& picture : allPictures()) {
            const QImage image = picture.draw().toImage();
            for (size_t i = 0; i < images.size(); ++i)
                QVERIFY2(images[i] != image,
                         qPrintable(picture.name + QStringLiteral(" looks like ") +
                                    allPictures()[i].name));
            images.push_back(image);
        }
    }

    void hicolorFilesAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void hicolorFilesAtEverySize()
    {
        QFETCH(int, size);
        const QString file = QStringLiteral(ORVANE_HICOLOR_DIR "/%1x%1/apps/orvane.png").arg(size);
        QImage image;
        QVERIFY2(image.load(file, "PNG"), qPrintable(file));
        QCOMPARE(image.size(), QSize(size, size));
        // The rounded square on a clear ground, as the scalable icon.
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QVERIFY(inkedPixels(QPixmap::fromImage(image)) > size * size / 2);
    }

    void toolbarPictureIsDrawn_data()
    {
        QTest::addColumn<QString>("key");
        for (const QString& key : toolbarKeys())
            QTest::newRow(qPrintable(key)) << key;
    }
    void toolbarPictureIsDrawn()
    {
        QFETCH(QString, key);
        const QIcon& icon = ToolbarIcon(key);
        QVERIFY(!icon.isNull());
        for (int size : {16, 20, 40}) {
            const QPixmap pixmap = icon.pixmap(size);
            QCOMPARE(pixmap.size(), QSize(size, size));
            // Lines, not a blank or a full square.
            const int inked = inkedPixels(pixmap);
            QVERIFY2(inked > size * size / 10 && inked < size * size * 9 / 10,
                     qPrintable(QString::number(inked)));
        }
        // A disabled button shows the same lines, fainter.
        const qint64 normal = totalAlpha(icon.pixmap(20));
        const qint64 disabled = totalAlpha(icon.pixmap(QSize(20, 20), QIcon::Disabled));
        QVERIFY2(disabled > 0 && disabled < normal / 2,
                 qPrintable(QStringLiteral("%1 of %2").arg(disabled).arg(normal)));
        // Kept: every window's toolbar shares the one picture.
        QCOMPARE(ToolbarIcon(key).cacheKey(), icon.cacheKey());
    }

    void everyButtonHasItsOwnPicture()
    {
        QStringList seen;
        for (const QString& key : toolbarKeys()) {
            const QImage image = ToolbarIcon(key).pixmap(20).toImage();
            for (const QString& other : seen)
                QVERIFY2(ToolbarIcon(other).pixmap(20).toImage() != image,
                         qPrintable(key + QStringLiteral(" looks like ") + other));
            seen.append(key);
        }
    }

    void programIconInEverySize()
    {
        const QIcon& icon = ProgramIcon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 32, 48, 256}) {
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
            QVERIFY(inkedPixels(icon.pixmap(size)) > size * size / 2);
        }
    }

    void activityImagesShareOneSizeAndDiffer()
    {
        const QSize size = ActivityImage(1).size();
        QVERIFY(!size.isEmpty());
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(ActivityImage(i).size(), size);
            QVERIFY(inkedPixels(ActivityImage(i)) > 0);
            for (int j = 1; j < i; ++j)
                QVERIFY2(ActivityImage(i).toImage() != ActivityImage(j).toImage(),
                         qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        }
    }

    void tabBusyFramesMove()
    {
        for (int i = 3; i < 10; ++i)
            QVERIFY(TabImage(i).pixmap(12).toImage() != TabImage(i + 1).pixmap(12).toImage());
        QVERIFY(TabImage(1).pixmap(12).toImage() != TabImage(2).pixmap(12).toImage());
    }

    // The pictures drawn ahead at start-up are the ones drawn on the spot,
    // and in another text colour they are not used.
    void picturesDrawnAheadAreTheOnesDrawnOnTheSpot()
    {
        const QPalette light = paletteOf(QColor(0xef, 0xef, 0xef), Qt::black);
        const QPalette dark = paletteOf(QColor(0x2d, 0x2d, 0x2d), QColor(0xf2, 0xf2, 0xf2));
        // As the windows show them at start.
        std::vector<std::pair<QString, std::function<QImage()>>> shown;
        for (const QString& key : toolbarKeys()) {
            shown.emplace_back(key, [key] { return ToolbarIcon(key).pixmap(20).toImage(); });
            shown.emplace_back(key + QStringLiteral(" disabled"), [key] {
                return ToolbarIcon(key).pixmap(QSize(20, 20), QIcon::Disabled).toImage();
            });
        }
        shown.emplace_back(QStringLiteral("look"),
                           [] { return StatusImage(StatusImageKind::Look).pixmap(16).toImage(); });
        shown.emplace_back(QStringLiteral("mail"),
                           [] { return StatusImage(StatusImageKind::Mail).pixmap(16).toImage(); });
        for (int size : {16, 256})
            shown.emplace_back(QStringLiteral("program %1").arg(size),
                               [size] { return ProgramIcon().pixmap(size).toImage(); });
        shown.emplace_back(QStringLiteral("activity"), [] { return ActivityImage(1).toImage(); });
        for (int tab : {1, 2})
            shown.emplace_back(QStringLiteral("tab %1").arg(tab),
                               [tab] { return TabImage(tab).pixmap(12).toImage(); });
        const auto drawAll = [&] {
            std::vector<QImage> images;
            for (const auto& picture : shown)
                images.push_back(picture.second());
            return images;
        };
        QApplication::setPalette(dark);
        const std::vector<QImage> onTheSpotDark = drawAll();
        QApplication::setPalette(light);
        const std::vector<QImage> onTheSpotLight = drawAll();

        QApplication::setPalette(dark);
        DrawStartPicturesAhead();
        StartupWorker().waitForDone();
        const std::vector<QImage> aheadDark = drawAll();
        QApplication::setPalette(light);
        const std::vector<QImage> afterLight = drawAll();
        for (size_t i = 0; i < shown.size(); ++i) {
            QVERIFY2(aheadDark[i] == onTheSpotDark[i], qPrintable(shown[i].first));
            QVERIFY2(afterLight[i] == onTheSpotLight[i], qPrintable(shown[i].first));
        }
    }

private:
    QPalette m_palette;
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
