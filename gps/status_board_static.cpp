#include "gps/status_board_static.h"

#include <QPainter>

#include "controls/gdi_plus_bitmap.h"
#include "controls/memory_dc.h"
#include "gps/panel_rules.h"

namespace orvo {

CStatusBoardStatic::CStatusBoardStatic(QWidget* parent) : QWidget(parent) {}

void CStatusBoardStatic::SetProgress(int percent) {
    percent_ = percent;
    value_text_ = QString::fromStdString(ProgressText(percent));
    repaint();
}

void CStatusBoardStatic::SetFillBitmap(int bitmap_id) {
    fill_bitmap_ = bitmap_id;
    pattern_ = QImage();
    if (bitmap_id != 0) {
        CGdiPlusBitmapResource bitmap;
        if (bitmap.Load(bitmap_id, "BITMAP")) pattern_ = bitmap.image();
    }
    update();
}

void CStatusBoardStatic::SetColors(QColor background, QColor text, QColor fill) {
    background_ = background;
    text_ = text;
    fill_ = fill;
    update();
}

void CStatusBoardStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter target(this);
    CMemoryDC dc(&target, rect());
    QPainter& painter = *dc.painter();
    const QRect r = rect();
    const int split = ProgressSplit(r.left(), r.width(), percent_);
    const QRect done(QPoint(r.left(), r.top()), QPoint(split - 1, r.bottom()));
    if (fill_bitmap_ == 0) {
        painter.fillRect(done, fill_);
    } else if (!pattern_.isNull()) {
        painter.fillRect(done, QBrush(pattern_));
    }
    painter.fillRect(QRect(QPoint(split, r.top()), r.bottomRight()), background_);
    painter.setPen(text_);
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, value_text_);
    // Raised edge: light top-left, dark bottom-right, two lines deep.
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(QColor(0x10, 0x10, 0x10));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}

}  // namespace orvo
