#include "controls/my_slider_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/window_messages.h"
#include "controls/slider_position.h"
#include "controls/window_message_send.h"

namespace orvo {

namespace {

const QColor kTrackGrey(0x40, 0x40, 0x40);
constexpr int kLineWidth = 5;

}  // namespace

CMySliderControl::CMySliderControl(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("1019"));
    setRange(0, 100);
    setValue(60);
    // Every pixel is painted here, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A move repaints the whole control, not just the old and new thumb.
    connect(this, &QAbstractSlider::valueChanged, this, [this] { update(); });
}

QRect CMySliderControl::ChannelRect() const {
    const int length = std::max(0, width() - 2 * kChannelMargin);
    return QRect(kChannelMargin, height() / 2 - 2, length, 4);
}

QRect CMySliderControl::ThumbRect() const {
    const QRect channel = ChannelRect();
    const int left = SliderThumbLeft(value(), minimum(), maximum(), channel.left(), channel.width(),
                                     kThumbWidth);
    return QRect(left, 0, kThumbWidth, height());
}

void CMySliderControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect channel = ChannelRect();
    const QRect thumb = ThumbRect();
    const int t = thumb.left() - channel.left();
    const int w = thumb.width();
    const int length = channel.width();
    // How far the bar reaches past the thumb's left edge, so that it covers
    // the whole channel at the maximum although the thumb stops short of it.
    const int a = length > w ? t * w / (length - w) : 0;
    const int y = channel.top();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(kTrackGrey, kLineWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(channel.left(), y, channel.left() + length, y);
    pen.setColor(Qt::white);
    painter.setPen(pen);
    painter.drawLine(channel.left(), y, t + a + 5, y);
}

void CMySliderControl::SetPositionFromX(int x) {
    const QRect channel = ChannelRect();
    setValue(SliderPositionFromX(x, channel.left(), channel.right() + 1, 0, minimum(), maximum()));
}

void CMySliderControl::ReportVolume() {
    SendWindowMessage(target_, WM_VOLUME_CHANGED);
}

void CMySliderControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    SetPositionFromX(event->position().toPoint().x());
    // The press grabs the mouse implicitly until the release.
    dragging_ = 1;
    event->accept();
}

void CMySliderControl::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ == 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    SetPositionFromX(event->position().toPoint().x());
    ReportVolume();
    event->accept();
}

void CMySliderControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dragging_ == 0) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    dragging_ = 0;
    // The release keeps the position of the last move.
    ReportVolume();
    event->accept();
}

void CMySliderControl::keyPressEvent(QKeyEvent* event) {
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

void CMySliderControl::wheelEvent(QWheelEvent* event) {
    const int before = value();
    QSlider::wheelEvent(event);
    if (value() != before) Q_EMIT Scrolled();
}

}  // namespace orvo
