#pragma once

#include <vector>

#include <QPixmap>

#include "controls/jump_slider.h"

namespace orvo {

// The playback position slider (control 1008, range 0..1000 per mille of the
// clip). A press jumps straight to the point under the mouse; while the
// button is held every move reports WM_SEEK_CHANGED to the message target
// (the main window), and the release reports once more. Keyboard and wheel
// moves emit Scrolled(), the trackbar's own scroll notification.
class CVideoSlider : public CJumpSlider {
    Q_OBJECT

public:
    static constexpr int kControlId = 1008;

    explicit CVideoSlider(QWidget* parent = nullptr);

    // Moves the thumb from any thread without waiting for the window
    // thread: the move is queued to the slider's own thread. Ignored while
    // the user drags, so the thumb never jumps under the mouse.
    void PostPosition(int position);

    // Incident marks at positions in per mille of the clip (the value a
    // click on the mark seeks to); drawn over the channel, under the thumb.
    void SetIncidentMarks(std::vector<int> per_mille);
    const std::vector<int>& incident_marks() const { return incident_marks_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawIncidentMarks(QPainter& painter) const;

    QPixmap thumb_picture_;
    std::vector<int> incident_marks_;
};

}  // namespace orvo
