#pragma once

#include <cstdint>

namespace orvo {

// The frame grid of a clip, for stepping a paused clip frame by frame.
//
// A paused libVLC 3 player shows, after a precise seek, the frame whose
// display interval holds the target time; a seek to the middle of a frame
// therefore lands on that frame whatever rounding the container's clock
// has. Its next-frame call is no use beside such seeks: the first call after
// a seek shows the same picture again, and the clock it leaves does not
// move. So a step either way is a seek to the middle of the wanted frame.
//
// Frame k covers [k / fps, (k + 1) / fps) seconds. An unknown or absurd
// rate counts as 30 fps, so a step still moves.

// The frame whose interval holds `time_ms` (0 for negative times).
int64_t FrameIndexAt(int64_t time_ms, double fps);

// The first whole millisecond inside frame `index`: the position the window
// shows for it, which FrameIndexAt reads back as `index`.
int64_t FrameStartMs(int64_t index, double fps);

// The middle of frame `index`, rounded to the millisecond: where a seek to
// it goes.
int64_t FrameMiddleMs(int64_t index, double fps);

// The frame one step from the frame at `now_ms`, forward or back, kept
// inside the clip: never before frame 0 nor after the frame that holds the
// last millisecond of `length_ms` (no upper bound when the length is not
// known, <= 0).
int64_t SteppedFrame(int64_t now_ms, double fps, bool forward, int64_t length_ms);

}  // namespace orvo
