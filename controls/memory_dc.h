#pragma once

#include <memory>

#include <QImage>
#include <QPainter>
#include <QRect>

namespace orvo {

// A back buffer over a target painter: everything drawn through painter()
// uses the target's coordinates and lands on the target in one copy when the
// object is destroyed. A printer target is drawn on directly.
class CMemoryDC {
public:
    // An empty rectangle stands for the target's whole device.
    explicit CMemoryDC(QPainter* target, QRect rect = QRect());
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    QPainter* painter() { return painter_; }
    QPainter* operator->() { return painter_; }
    const QRect& rect() const { return rect_; }
    bool is_memory() const { return memory_; }

private:
    QPainter* target_;
    QRect rect_;
    bool memory_ = false;
    QImage buffer_;
    std::unique_ptr<QPainter> own_painter_;
    QPainter* painter_ = nullptr;
};

}  // namespace orvo
