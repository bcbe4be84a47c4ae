#include "controls/video_slider.h"

#include <algorithm>
#include <utility>

#include <QMetaObject>
#include <QPainter>
#include <QPointer>

#include "app/window_messages.h"

namespace orvo {

namespace {

const QColor kTrackGrey(0x40, 0x40, 0x40);
const QColor kPlayedBlue(0x00, 0x60, 0xC8);
constexpr int kLineWidth = 9;
const QColor kIncidentMark(0xFF, 0x9A, 0x1F);

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

void CVideoSlider::SetIncidentMarks(std::vector<int> per_mille) {
    if (per_mille == incident_marks_) return;
    incident_marks_ = std::move(per_mille);
    update();
}

void CVideoSlider::DrawIncidentMarks(QPainter& painter) const {
    if (incident_marks_.empty()) return;
    const QRect channel = ChannelRect();
    const int top = std::max(0, height() / 2 - kLineWidth / 2 - 2);
    const int bottom = std::min(height(), height() / 2 + kLineWidth / 2 + 3);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int mark : incident_marks_) {
        const int x =
            channel.left() + static_cast<int>(static_cast<long long>(std::clamp(mark, 0, 1000)) *
                                              channel.width() / 1000);
        painter.fillRect(QRect(x - 1, top, 3, bottom - top), kIncidentMark);
    }
    painter.restore();
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
    DrawIncidentMarks(painter);
    painter.drawPixmap(thumb.left() - 4, 3, thumb_picture_);
}

}  // namespace orvo
