#include "platform/icons.h"

#include <QImage>
#include <QTest>

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
        QStringLiteral("Save"),    QStringLiteral("Print")};
    return keys;
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
