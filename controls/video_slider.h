#pragma once

#include <QPixmap>
#include <QSlider>

namespace orvo {

// The playback position slider (control 1008, range 0..1000 per mille of the
// clip). A press jumps straight to the point under the mouse; while the
// button is held every move reports WM_SEEK_CHANGED to the message target
// (the main window), and the release reports once more. Keyboard and wheel
// moves emit Scrolled(), the trackbar's own scroll notification.
class CVideoSlider : public QSlider {
    Q_OBJECT

public:
    static constexpr int kControlId = 1008;
    // Inset of the channel from each side; the thumb travels inside it.
    static constexpr int kChannelMargin = 8;
    static constexpr int kThumbWidth = 11;

    explicit CVideoSlider(QWidget* parent = nullptr);

    // Receiver of WM_SEEK_CHANGED (sent synchronously); none by default.
    void SetMessageTarget(QObject* target) { target_ = target; }

    // Moves the thumb from any thread without waiting for the window
    // thread: the move is queued to the slider's own thread. Ignored while
    // the user drags, so the thumb never jumps under the mouse.
    void PostPosition(int position);

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
    void ReportSeek();

    QObject* target_ = nullptr;
    int dragging_ = 0;
    QPixmap thumb_picture_;
};

}  // namespace orvo
