#include "controls/video_slider.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include "app/window_messages.h"
#include "controls/slider_position.h"
#include "controls/window_message_send.h"

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

CVideoSlider::CVideoSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
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

QRect CVideoSlider::ChannelRect() const {
    const int length = std::max(0, width() - 2 * kChannelMargin);
    return QRect(kChannelMargin, height() / 2 - 2, length, 4);
}

QRect CVideoSlider::ThumbRect() const {
    const QRect channel = ChannelRect();
    const int left = SliderThumbLeft(value(), minimum(), maximum(), channel.left(), channel.width(),
                                     kThumbWidth);
    return QRect(left, 0, kThumbWidth, height());
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

void CVideoSlider::SetPositionFromX(int x) {
    const QRect channel = ChannelRect();
    // QRect::right() is the last pixel inside; the trackbar's right edge is
    // one past it.
    setValue(SliderPositionFromX(x, channel.left(), channel.right() + 1, 0, minimum(), maximum()));
}

void CVideoSlider::ReportSeek() {
    SendWindowMessage(target_, WM_SEEK_CHANGED);
}

void CVideoSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    // The trackbar's own click handling (paging) is not run: the thumb jumps.
    SetPositionFromX(event->position().toPoint().x());
    // The press grabs the mouse implicitly until the release.
    dragging_ = 1;
    event->accept();
}

void CVideoSlider::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ == 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    SetPositionFromX(event->position().toPoint().x());
    ReportSeek();
    event->accept();
}

void CVideoSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dragging_ == 0) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    dragging_ = 0;
    SetPositionFromX(event->position().toPoint().x());
    ReportSeek();
    event->accept();
}

void CVideoSlider::keyPressEvent(QKeyEvent* event) {
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

void CVideoSlider::wheelEvent(QWheelEvent* event) {
    const int before = value();
    QSlider::wheelEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

}  // namespace orvo
