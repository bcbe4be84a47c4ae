#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// The wall-clock time of the frame on screen: the recording's start plus the
// playback position, "2024-05-18 10:15:05". The start comes from the
// camera's file name (the same local time the file list shows, so no time
// zone can shift it); when the name carries none, from the clip's start time
// (seconds since 1970 UTC) in local time. Empty when neither is known.
std::string FrameClockText(std::string_view file_name, int64_t start_time, int64_t position_ms);

// Position and length as "mm:ss / mm:ss" ("h:mm:ss" once an hour is
// reached); negative values count as 0.
std::string PositionLengthText(int64_t position_ms, int64_t length_ms);

}  // namespace orvo
