#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace orvo {

// A progress board over the bottom of the video while recordings are copied:
// the done part filled with a pattern, the percentage centred on it.
class CStatusBoardStatic : public QWidget {
    Q_OBJECT

public:
    explicit CStatusBoardStatic(QWidget* parent = nullptr);

    // Stores the percentage and repaints at once.
    void SetProgress(int percent);
    // Bitmap resource id of the fill pattern; 0 = plain fill colour. A
    // bitmap that does not load leaves the done part unfilled.
    void SetFillBitmap(int bitmap_id);

    int percent() const { return percent_; }
    const QString& value_text() const { return value_text_; }
    void SetColors(QColor background, QColor text, QColor fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int percent_ = 0;
    QString value_text_;
    QColor background_{0x28, 0x28, 0x28};
    QColor text_{0x28, 0x28, 0x28};
    QColor fill_{0x28, 0x28, 0x28};
    int fill_bitmap_ = 0;
    QImage pattern_;
};

}  // namespace orvo
