#include "controls/video_slider.h"

#include <QMetaObject>
#include <QPainter>
#include <QPointer>

#include "app/window_messages.h"

namespace orvo {

namespace {

const QColor kTrackGrey(0x40, 0x40, 0x40);
const QColor kPlayedBlue(0x00, 0x60, 0xC8);
constexpr int kLineWidth = 9;

// The thumb picture (bitmap 199); a drawn knob of the same kind stands in
// when the resource is not compiled in.
QPixmap LoadThumbPicture() {
    QPixmap picture(QStringLiteral(":/bmp/199"));
    if (!picture.isNull()) return picture;
    picture = QPixmap(19, 14);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 18, 13), 4, 4);
    return picture;
}

}  // namespace

CVideoSlider::CVideoSlider(QWidget* parent)
    : CJumpSlider(WM_SEEK_CHANGED, /*reposition_on_release=*/true, parent) {
    setObjectName(QStringLiteral("1008"));
    setRange(0, 1000);
    setAttribute(Qt::WA_OpaquePaintEvent);
    thumb_picture_ = LoadThumbPicture();
}

void CVideoSlider::PostPosition(int position) {
    QPointer<CVideoSlider> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, position] {
            if (self && !self->dragging()) self->setValue(position);
        },
        Qt::QueuedConnection);
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = rect();
    const int mid = client.height() / 2;
    painter.fillRect(client, Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(kTrackGrey, kLineWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(client.left() + 5, mid, client.right() - 5, mid);
    const QRect thumb = ThumbRect();
    pen.setColor(kPlayedBlue);
    painter.setPen(pen);
    painter.drawLine(client.left() + 5, mid, thumb.right(), mid);
    painter.drawPixmap(thumb.left() - 4, 3, thumb_picture_);
}

}  // namespace orvo
