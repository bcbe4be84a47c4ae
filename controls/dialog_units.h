#pragma once

#include <algorithm>

#include <QFontMetrics>
#include <QRect>
#include <QWidget>

namespace orvo {

// A rectangle of a dialog template, in dialog units.
struct TemplateRect {
    int x, y, w, h;
};

// Dialog units of a font: a quarter of the average character width across,
// an eighth of the character height down.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        base_x_ = std::max(1, metrics.averageCharWidth());
        base_y_ = std::max(1, metrics.height());
    }

    QRect ToPixels(const TemplateRect& r) const {
        return QRect(r.x * base_x_ / 4, r.y * base_y_ / 8, r.w * base_x_ / 4, r.h * base_y_ / 8);
    }
    void Place(QWidget* widget, const TemplateRect& r) const { widget->setGeometry(ToPixels(r)); }

private:
    int base_x_ = 1;
    int base_y_ = 1;
};

}  // namespace orvo
