#include "gps/png_compass_static.h"

#include <QPainter>

#include "controls/color_matrix.h"
#include "gps/panel_rules.h"

namespace orvo {

CPngCompassStatic::CPngCompassStatic(QWidget* parent) : QWidget(parent) {}

CPngCompassStatic::~CPngCompassStatic() = default;

bool CPngCompassStatic::AddPicture(int png_id) {
    auto picture = std::make_unique<CGdiPlusBitmapResource>();
    if (!picture->Load(png_id)) return false;
    pictures_.push_back(std::move(picture));
    return true;
}

void CPngCompassStatic::SetIndex(unsigned index) {
    if (index > pictures_.size()) return;
    index_ = index;
    update();
}

void CPngCompassStatic::SetHeading(int degrees) {
    SetIndex(CompassIndexForHeading(degrees, pictures_.size()));
}

void CPngCompassStatic::SetNoHeading() {
    SetIndex(0);
}

void CPngCompassStatic::paintEvent(QPaintEvent* /*event*/) {
    if (pictures_.empty() || index_ > pictures_.size()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect target(QPoint(0, 0), size());
    if (index_ >= 1) {
        painter.drawImage(target, pictures_[index_ - 1]->image());
    } else {
        painter.drawImage(target, ApplyColorMatrix(kGreyColorMatrix, pictures_[0]->image()));
    }
}

}  // namespace orvo
