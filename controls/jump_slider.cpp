#include "controls/jump_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "controls/slider_position.h"
#include "controls/window_message_send.h"

namespace orvo {

CJumpSlider::CJumpSlider(unsigned message, bool reposition_on_release, QWidget* parent)
    : QSlider(Qt::Horizontal, parent),
      message_(message),
      reposition_on_release_(reposition_on_release) {}

QRect CJumpSlider::ChannelRect() const {
    const int length = std::max(0, width() - 2 * kChannelMargin);
    return QRect(kChannelMargin, height() / 2 - 2, length, 4);
}

QRect CJumpSlider::ThumbRect() const {
    const QRect channel = ChannelRect();
    const int left = SliderThumbLeft(value(), minimum(), maximum(), channel.left(), channel.width(),
                                     kThumbWidth);
    return QRect(left, 0, kThumbWidth, height());
}

void CJumpSlider::SetPositionFromX(int x) {
    const QRect channel = ChannelRect();
    // QRect::right() is the last pixel inside; the trackbar's right edge is
    // one past it.
    setValue(SliderPositionFromX(x, channel.left(), channel.right() + 1, 0, minimum(), maximum()));
}

void CJumpSlider::ReportMove() {
    SendWindowMessage(target_, message_);
}

void CJumpSlider::mousePressEvent(QMouseEvent* event) {
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

void CJumpSlider::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ == 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    SetPositionFromX(event->position().toPoint().x());
    ReportMove();
    event->accept();
}

void CJumpSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dragging_ == 0) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    dragging_ = 0;
    if (reposition_on_release_) SetPositionFromX(event->position().toPoint().x());
    ReportMove();
    event->accept();
}

void CJumpSlider::keyPressEvent(QKeyEvent* event) {
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

void CJumpSlider::wheelEvent(QWheelEvent* event) {
    const int before = value();
    QSlider::wheelEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

}  // namespace orvo
