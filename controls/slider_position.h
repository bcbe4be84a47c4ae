#pragma once

namespace orvo {

// The slider value under a mouse x for a trackbar whose channel runs from
// channel_left to channel_right (client pixels) and whose range is
// range_min..range_max: (x - channel_left - client_left) * (max - min) /
// channel length, truncated toward zero, then kept inside the range as the
// trackbar itself would. A channel of no length gives range_min. The
// arithmetic is 64-bit so a wide channel and a large range cannot overflow.
constexpr int SliderPositionFromX(int x, int channel_left, int channel_right, int client_left,
                                  int range_min, int range_max) {
    const long long length = static_cast<long long>(channel_right) - channel_left;
    if (length <= 0) return range_min;
    const long long offset = static_cast<long long>(x) - channel_left - client_left;
    const long long span = static_cast<long long>(range_max) - range_min;
    long long position = offset * span / length;
    if (position < range_min) position = range_min;
    if (position > range_max) position = range_max;
    return static_cast<int>(position);
}

// Left edge of the thumb for a value: the thumb travels inside the channel,
// its left edge at channel_left for range_min and its right edge at the
// channel's right end for range_max.
constexpr int SliderThumbLeft(int value, int range_min, int range_max, int channel_left,
                              int channel_length, int thumb_width) {
    const long long span = static_cast<long long>(range_max) - range_min;
    const long long travel = static_cast<long long>(channel_length) - thumb_width;
    if (span <= 0 || travel <= 0) return channel_left;
    long long offset = static_cast<long long>(value) - range_min;
    if (offset < 0) offset = 0;
    if (offset > span) offset = span;
    return channel_left + static_cast<int>(offset * travel / span);
}

}  // namespace orvo
