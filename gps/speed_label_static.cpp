#include "gps/speed_label_static.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/memory_dc.h"
#include "controls/text_drawing.h"
#include "gps/panel_rules.h"

namespace orvo {

CSpeedLabelStatic::CSpeedLabelStatic(QWidget* parent) : QWidget(parent) {
    FormatTexts();
}

void CSpeedLabelStatic::FormatTexts() {
    speed_text_ = QString::fromStdString(SpeedValueText(metric_, speed_));
    unit_text_ = QString::fromLatin1(SpeedUnitText(metric_));
}

void CSpeedLabelStatic::Repaint() {
    ++repaint_requests_;
    update();
}

void CSpeedLabelStatic::SetSpeed(bool valid, unsigned speed_kmh) {
    if (valid == valid_ && speed_kmh == speed_) return;
    valid_ = valid;
    speed_ = speed_kmh;
    FormatTexts();
    Repaint();
}

void CSpeedLabelStatic::ToggleUnit() {
    metric_ = !metric_;
    FormatTexts();
    Repaint();
}

void CSpeedLabelStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter target(this);
    CMemoryDC dc(&target, rect());
    QPainter& painter = *dc.painter();
    painter.fillRect(rect(), Qt::black);
    DrawGradientText(valid_ ? speed_text_ : QString::fromLatin1(kUnknownSpeedText), painter, 0, 10,
                     30);
    DrawGradientText(unit_text_, painter, 50, 24, 14);
    painter.fillRect(QRect(44, 0, 60, 24), Qt::black);
}

void CSpeedLabelStatic::mousePressEvent(QMouseEvent* event) {
    // Qt grabs the mouse for the pressed button, as the capture did.
    event->accept();
}

void CSpeedLabelStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        ToggleUnit();
    }
}

void CSpeedLabelStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) ToggleUnit();
}

}  // namespace orvo
