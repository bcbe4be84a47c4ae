#include "controls/memory_dc.h"

#include <QPaintDevice>

namespace orvo {

CMemoryDC::CMemoryDC(QPainter* target, QRect rect) : target_(target), rect_(rect) {
    QPaintDevice* device = target_->device();
    if (rect_.isNull() || rect_.isEmpty()) {
        rect_ = QRect(0, 0, device->width(), device->height());
    }
    if (device->devType() == QInternal::Printer || rect_.isEmpty()) {
        painter_ = target_;
        return;
    }
    memory_ = true;
    const qreal dpr = device->devicePixelRatioF();
    buffer_ = QImage((rect_.size() * dpr), QImage::Format_ARGB32_Premultiplied);
    buffer_.setDevicePixelRatio(dpr);
    buffer_.fill(Qt::transparent);
    own_painter_ = std::make_unique<QPainter>(&buffer_);
    own_painter_->translate(-rect_.topLeft());
    painter_ = own_painter_.get();
}

CMemoryDC::~CMemoryDC() {
    if (!memory_) return;
    own_painter_->end();
    target_->drawImage(rect_.topLeft(), buffer_);
}

}  // namespace orvo
