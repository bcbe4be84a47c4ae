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

    // The clip export's span on this recording, in per mille (-1: no mark
    // here). A covered recording is shaded from the in mark, or from its
    // start when the span began in an earlier recording, to the out mark or
    // its end.
    struct SpanMarks {
        bool covered = false;
        int in = -1;
        int out = -1;
        bool operator==(const SpanMarks&) const = default;
    };
    void SetSpanMarks(SpanMarks marks);
    const SpanMarks& span_marks() const { return span_marks_; }

    // The position under an x of the slider, in per mille.
    int PerMilleAt(int x) const;

Q_SIGNALS:
    // A right click: the position under it and where the menu goes.
    void ContextMenuRequested(int per_mille, QPoint global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void DrawIncidentMarks(QPainter& painter) const;
    void DrawSpanMarks(QPainter& painter) const;
    int XOf(int per_mille) const;

    QPixmap thumb_picture_;
    std::vector<int> incident_marks_;
    SpanMarks span_marks_;
};

}  // namespace orvo
