#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "controls/gdi_plus_bitmap.h"
#include "controls/memory_dc.h"
#include "controls/png_static.h"
#include "controls/text_drawing.h"

namespace orvo {
namespace {

QRect InkBounds(const QImage& image, QRgb background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// PNG and BMP go straight to the built-in readers; anything else is still
// recognised by its content; what is no image stays null.
TEST(DecodeImageTest, KnownAndOtherFormatsDecodeAndGarbageDoesNot) {
    QImage source(6, 4, QImage::Format_RGB32);
    source.fill(QColor(10, 200, 30));
    source.setPixel(5, 3, qRgb(250, 0, 0));
    for (const char* format : {"PNG", "BMP", "PPM"}) {
        const QByteArray bytes = Encoded(source, format);
        ASSERT_FALSE(bytes.isEmpty()) << format;
        const QImage decoded = DecodeImage(bytes).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(decoded, source) << format;
    }
    EXPECT_STREQ(KnownImageFormat(Encoded(source, "PNG")), "PNG");
    EXPECT_STREQ(KnownImageFormat(Encoded(source, "BMP")), "BMP");
    EXPECT_EQ(KnownImageFormat(Encoded(source, "PPM")), nullptr);
    EXPECT_TRUE(DecodeImage(QByteArray("\x89PNG\r\n\x1a\nnot really", 19)).isNull());
    EXPECT_TRUE(DecodeImage(QByteArray()).isNull());
}

TEST(TextDrawingTest, GradientTextIsBlueAndStartsAtItsOrigin) {
    QImage image(200, 80, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        DrawGradientText(QStringLiteral("88"), painter, 40, 20, 30);
    }
    const QRect ink = InkBounds(image, qRgb(0, 0, 0));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 40);
    EXPECT_GE(ink.top(), 20);
    EXPECT_LE(ink.bottom(), 20 + 40);
    long blue = 0, red = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            blue += qBlue(image.pixel(x, y));
            red += qRed(image.pixel(x, y));
        }
    }
    EXPECT_GT(blue, 4 * red + 1000);
}

TEST(TextDrawingTest, GlowTextIsPlacedAtTenAndGlowsAroundIt) {
    QImage image(300, 120, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        DrawGlowText(QStringLiteral("12\n"), painter, 10, 72);
    }
    const QRect ink = InkBounds(image, qRgb(0, 0, 0));
    ASSERT_FALSE(ink.isEmpty());
    // The glow pens reach at most 4 pixels outside the glyphs.
    EXPECT_GE(ink.left(), 10 - 5);
    EXPECT_LE(ink.left(), 10 + 12);
    EXPECT_GE(ink.top(), 10 - 5);
}

TEST(TextDrawingTest, TextIsCutTo127Characters) {
    const QString longer(200, QLatin1Char('W'));
    const QString cut(kMaxDrawTextLength, QLatin1Char('W'));
    EXPECT_DOUBLE_EQ(MakeTextPath(longer, 0, 0, 10).boundingRect().width(),
                     MakeTextPath(cut, 0, 0, 10).boundingRect().width());
}

TEST(MemoryDcTest, CopiesToTargetOnlyWhenDestroyedAndInTargetCoordinates) {
    QImage target(100, 100, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    {
        CMemoryDC dc(&painter, QRect(20, 30, 40, 40));
        dc->fillRect(QRect(20, 30, 10, 10), Qt::red);  // target coordinates
        dc->fillRect(QRect(0, 0, 10, 10), Qt::green);  // outside the rectangle: clipped
        painter.end();
        EXPECT_EQ(target.pixel(25, 35), qRgb(0, 0, 0));
        painter.begin(&target);
    }
    painter.end();
    EXPECT_EQ(target.pixel(25, 35), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 0));
}

TEST(PngStaticTest, PaintsNothingWithoutImageAndGreyOrColourWithOne) {
    CPngStatic logo;
    logo.resize(40, 40);
    logo.setAutoFillBackground(true);
    QPalette palette = logo.palette();
    palette.setColor(QPalette::Window, Qt::black);
    logo.setPalette(palette);
    const QImage empty = logo.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(InkBounds(empty, qRgb(0, 0, 0)).isEmpty());

    ASSERT_TRUE(logo.LoadImage(150));
    logo.SetColor(1);
    const QImage colour = logo.grab().toImage();
    logo.SetColor(0);
    const QImage grey = logo.grab().toImage();
    // The indicator's ring is green in colour and neutral in grey.
    const QColor c = colour.pixelColor(20, 3);
    const QColor g = grey.pixelColor(20, 3);
    EXPECT_GT(c.green(), c.red() + 40);
    EXPECT_NEAR(g.red(), g.green(), 1);
    EXPECT_NEAR(g.green(), g.blue(), 1);
}

}  // namespace
}  // namespace orvo
