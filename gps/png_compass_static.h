#pragma once

#include <memory>
#include <vector>

#include <QWidget>

#include "controls/gdi_plus_bitmap.h"

namespace orvo {

// A compass rose whose needle shows the GPS course, drawn from one of its
// pictures (the first points north, each next one 45 degrees further
// counter-clockwise). With no course known the first picture shows in grey.
class CPngCompassStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPngCompassStatic(QWidget* parent = nullptr);
    ~CPngCompassStatic() override;

    bool AddPicture(int png_id);
    void SetHeading(int degrees);
    void SetNoHeading();

    unsigned current_index() const { return index_; }
    size_t picture_count() const { return pictures_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetIndex(unsigned index);

    std::vector<std::unique_ptr<CGdiPlusBitmapResource>> pictures_;
    unsigned index_ = 0;  // 0 = no course, i = picture i - 1
};

}  // namespace orvo
