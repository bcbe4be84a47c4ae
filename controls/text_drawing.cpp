#include "controls/text_drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace orvo {

namespace {

QFont TextFont(int em_size) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(em_size > 0 ? em_size : 1);
    return font;
}

// Colours are written 0xAARRGGBB.
QBrush TiledGradient(qreal y0, qreal y1, QRgb from, QRgb to) {
    QLinearGradient gradient(0, y0, 0, y1);
    gradient.setColorAt(0, QColor::fromRgba(from));
    gradient.setColorAt(1, QColor::fromRgba(to));
    gradient.setSpread(QGradient::RepeatSpread);
    return QBrush(gradient);
}

void PrepareQuality(QPainter& graphics) {
    graphics.setRenderHint(QPainter::Antialiasing, true);
    graphics.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

}  // namespace

QPainterPath MakeTextPath(const QString& text, qreal x, qreal y, int em_size) {
    const QFont font = TextFont(em_size);
    const QFontMetricsF metrics(font);
    QPainterPath path;
    const QStringList lines = text.left(kMaxDrawTextLength).split(QLatin1Char('\n'));
    qreal top = y;
    for (const QString& line : lines) {
        if (!line.isEmpty()) path.addText(x, top + metrics.ascent(), font, line);
        top += metrics.lineSpacing();
    }
    return path;
}

void DrawGradientText(const QString& text, QPainter& graphics, int x, int y, int em_size) {
    graphics.save();
    PrepareQuality(graphics);
    const QPainterPath path = MakeTextPath(text, x, y, em_size);
    graphics.fillPath(path, TiledGradient(0, 90, 0xC80250BE, 0xFF0064C3));
    graphics.fillPath(path, TiledGradient(10, 40, 0xFF00B2FF, 0x960101FF));
    graphics.restore();
}

void DrawGlowText(const QString& text, QPainter& graphics, int y, int em_size) {
    graphics.save();
    PrepareQuality(graphics);
    const QPainterPath path = MakeTextPath(text, 10, y, em_size);
    graphics.strokePath(path, QPen(QColor::fromRgba(0x9BD7D7D7), 3));
    for (int width = 1; width <= 8; ++width) {
        graphics.strokePath(path, QPen(QColor::fromRgba(0x500A96DC), width, Qt::SolidLine,
                                       Qt::RoundCap, Qt::RoundJoin));
    }
    graphics.fillPath(path, TiledGradient(0, 90, 0xC81478F0, 0xFF1478F0));
    graphics.fillPath(path, TiledGradient(10, 120, 0xFF50BCFA, 0x9650509B));
    graphics.restore();
}

}  // namespace orvo
