#pragma once

#include "controls/jump_slider.h"

namespace orvo {

// The volume slider (control 1019, range 0..100). A press jumps to the point
// under the mouse; moves while the button is held report WM_VOLUME_CHANGED
// to the message target, and so does the release (without recomputing the
// position). Drawn as a white bar over a grey track, no separate thumb.
// Keyboard and wheel moves emit Scrolled().
class CMySliderControl : public CJumpSlider {
    Q_OBJECT

public:
    static constexpr int kControlId = 1019;

    explicit CMySliderControl(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvo
