#pragma once

#include <QSlider>

namespace orvo {

// The volume slider (control 1019, range 0..100). A press jumps to the point
// under the mouse; moves while the button is held report WM_VOLUME_CHANGED
// to the message target, and so does the release (without recomputing the
// position). Drawn as a white bar over a grey track, no separate thumb.
// Keyboard and wheel moves emit Scrolled().
class CMySliderControl : public QSlider {
    Q_OBJECT

public:
    static constexpr int kControlId = 1019;
    static constexpr int kChannelMargin = 8;
    static constexpr int kThumbWidth = 11;

    explicit CMySliderControl(QWidget* parent = nullptr);

    void SetMessageTarget(QObject* target) { target_ = target; }

    QRect ChannelRect() const;
    QRect ThumbRect() const;
    bool dragging() const { return dragging_ != 0; }

Q_SIGNALS:
    void Scrolled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void SetPositionFromX(int x);
    void ReportVolume();

    QObject* target_ = nullptr;
    int dragging_ = 0;
};

}  // namespace orvo
