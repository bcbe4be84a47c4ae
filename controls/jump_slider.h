#pragma once

#include <QSlider>

namespace orvo {

// A horizontal trackbar whose thumb jumps to the point under the mouse on a
// press (no paging), and which reports every move made while the button is
// held, and the release, as a private window message to its message target.
// Keyboard and wheel moves emit Scrolled(), the trackbar's own scroll
// notification. The subclasses paint it.
class CJumpSlider : public QSlider {
    Q_OBJECT

public:
    // Inset of the channel from each side; the thumb travels inside it.
    static constexpr int kChannelMargin = 8;
    static constexpr int kThumbWidth = 11;

    // Receiver of the move message (sent synchronously); none by default.
    void SetMessageTarget(QObject* target) { target_ = target; }

    QRect ChannelRect() const;
    QRect ThumbRect() const;
    bool dragging() const { return dragging_ != 0; }

Q_SIGNALS:
    void Scrolled();

protected:
    // message: what a move reports; reposition_on_release: whether the
    // release moves the thumb to the mouse before reporting, or keeps the
    // position of the last move.
    CJumpSlider(unsigned message, bool reposition_on_release, QWidget* parent);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void SetPositionFromX(int x);
    void ReportMove();

    const unsigned message_;
    const bool reposition_on_release_;
    QObject* target_ = nullptr;
    int dragging_ = 0;
};

}  // namespace orvo
