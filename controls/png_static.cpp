#include "controls/png_static.h"

#include <QPainter>

#include "controls/color_matrix.h"

namespace orvo {

CPngStatic::CPngStatic(QWidget* parent) : QWidget(parent) {}

CPngStatic::~CPngStatic() = default;

void CPngStatic::SetImage(std::unique_ptr<CGdiPlusBitmapResource> image) {
    image_ = std::move(image);
    grey_ = QImage();
    update();
}

bool CPngStatic::LoadImage(int id) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = image->Load(id);
    SetImage(std::move(image));
    return ok;
}

void CPngStatic::SetColor(int color) {
    if (color_ == color) return;
    color_ = color;
    update();
}

void CPngStatic::paintEvent(QPaintEvent* /*event*/) {
    if (!image_ || image_->IsNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect target(QPoint(0, 0), size());
    if (color_ != 0) {
        painter.drawImage(target, image_->image());
    } else {
        // The indicator turns grey and back at every fix change: once is enough.
        if (grey_.isNull()) grey_ = ApplyColorMatrix(kGreyColorMatrix, image_->image());
        painter.drawImage(target, grey_);
    }
}

}  // namespace orvo
