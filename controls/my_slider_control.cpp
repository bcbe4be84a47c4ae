#include "controls/my_slider_control.h"

#include <QPainter>

#include "app/window_messages.h"

namespace orvo {

namespace {

const QColor kTrackGrey(0x40, 0x40, 0x40);
constexpr int kLineWidth = 5;

}  // namespace

CMySliderControl::CMySliderControl(QWidget* parent)
    : CJumpSlider(WM_VOLUME_CHANGED, /*reposition_on_release=*/false, parent) {
    setObjectName(QStringLiteral("1019"));
    setRange(0, 100);
    setValue(60);
    // Every pixel is painted here, so nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A move repaints the whole control, not just the old and new thumb.
    connect(this, &QAbstractSlider::valueChanged, this, [this] { update(); });
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

}  // namespace orvo
