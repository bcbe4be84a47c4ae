#pragma once

#include <QPainterPath>
#include <QString>

class QPainter;

namespace orvo {

// Texts are cut to this many characters, as the drawing buffers allow.
inline constexpr int kMaxDrawTextLength = 127;

// The outline of `text` in Arial (or its metric twin) at `em_size` pixels,
// with the top-left of the text box at (x, y). Line breaks start new lines.
QPainterPath MakeTextPath(const QString& text, qreal x, qreal y, int em_size);

// Blue gradient-filled text, top-left at (x, y), no outline.
void DrawGradientText(const QString& text, QPainter& graphics, int x, int y, int em_size);

// Gradient-filled text with a light outline and a soft blue glow, top-left at
// (10, y).
void DrawGlowText(const QString& text, QPainter& graphics, int y, int em_size);

}  // namespace orvo
