#include "controls/video_slider.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <QContextMenuEvent>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>

#include "app/window_messages.h"
#include "controls/gdi_plus_bitmap.h"
#include "controls/slider_position.h"

namespace orvo {

namespace {

const QColor kTrackGrey(0x40, 0x40, 0x40);
const QColor kPlayedBlue(0x00, 0x60, 0xC8);
constexpr int kLineWidth = 9;
const QColor kIncidentMark(0xFF, 0x9A, 0x1F);
const QColor kSpanMark(0x5E, 0xE0, 0x7A);
constexpr int kBracketArm = 3;

// The thumb picture (bitmap 199); a drawn knob of the same kind stands in
// when the resource is not compiled in.
QPixmap LoadThumbPicture() {
    CGdiPlusBitmapResource thumb;
    if (thumb.Load(199, "BITMAP")) return QPixmap::fromImage(thumb.image());
    QPixmap picture(19, 14);
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

int CVideoSlider::XOf(int per_mille) const {
    const QRect channel = ChannelRect();
    return channel.left() +
           static_cast<int>(static_cast<long long>(std::clamp(per_mille, 0, 1000)) *
                            channel.width() / 1000);
}

int CVideoSlider::PerMilleAt(int x) const {
    const QRect channel = ChannelRect();
    return SliderPositionFromX(x, channel.left(), channel.right() + 1, 0, 0, 1000);
}

void CVideoSlider::DrawIncidentMarks(QPainter& painter) const {
    if (incident_marks_.empty()) return;
    const int top = std::max(0, height() / 2 - kLineWidth / 2 - 2);
    const int bottom = std::min(height(), height() / 2 + kLineWidth / 2 + 3);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int mark : incident_marks_) {
        painter.fillRect(QRect(XOf(mark) - 1, top, 3, bottom - top), kIncidentMark);
    }
    painter.restore();
}

void CVideoSlider::SetSpanMarks(SpanMarks marks) {
    if (marks == span_marks_) return;
    span_marks_ = marks;
    update();
}

void CVideoSlider::DrawSpanMarks(QPainter& painter) const {
    const SpanMarks& m = span_marks_;
    if (!m.covered && m.in < 0 && m.out < 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m.covered) {
        // A bar along the top edge, clear of the played part of the track:
        // the part of this recording that is exported.
        const int left = m.in >= 0 ? XOf(m.in) : rect().left();
        const int right = m.out >= 0 ? XOf(m.out) : rect().right();
        painter.fillRect(QRect(left, 0, std::max(1, right - left), 3), kSpanMark);
    }
    // "[" at the start and "]" at the end, the full height of the slider and
    // over the thumb, so they stand beside the incident marks and stay
    // visible while the thumb sits on them.
    const int top = 0;
    const int bottom = height() - 2;
    auto bracket = [&](int per_mille, int arm) {
        const int x = XOf(per_mille);
        painter.fillRect(QRect(x - 1, top, 2, bottom - top + 1), kSpanMark);
        painter.fillRect(QRect(std::min(x, x + arm), top, std::abs(arm) + 1, 2), kSpanMark);
        painter.fillRect(QRect(std::min(x, x + arm), bottom - 1, std::abs(arm) + 1, 2), kSpanMark);
    };
    if (m.in >= 0) bracket(m.in, kBracketArm);
    if (m.out >= 0) bracket(m.out, -kBracketArm);
    painter.restore();
}

void CVideoSlider::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT ContextMenuRequested(PerMilleAt(event->pos().x()), event->globalPos());
    event->accept();
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
    DrawSpanMarks(painter);
}

}  // namespace orvo
