#pragma once

#include <memory>

#include <QWidget>

#include "controls/gdi_plus_bitmap.h"

namespace orvo {

// A static that paints one image scaled to its size, in colour or in grey.
// Used for the logo and the GPS-fix indicator.
class CPngStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPngStatic(QWidget* parent = nullptr);
    ~CPngStatic() override;

    // Takes ownership of the image.
    void SetImage(std::unique_ptr<CGdiPlusBitmapResource> image);
    // Convenience: loads PNG `id` and takes it.
    bool LoadImage(int id);
    // 0 = grey, non-zero = colour.
    void SetColor(int color);
    int color() const { return color_; }
    const CGdiPlusBitmapResource* image() const { return image_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<CGdiPlusBitmapResource> image_;
    QImage grey_;  // image_ in grey, made when first painted grey
    int color_ = 0;
};

}  // namespace orvo
