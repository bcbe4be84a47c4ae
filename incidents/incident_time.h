#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "metadata/telemetry.h"

namespace orvo {

// Start of a recording in seconds since 1970 UTC: the parser's start time
// (from the date text or the GPS records), else the camera clock in the
// file name (yymmdd_hhmmss as local time); nullopt when neither is known.
std::optional<int64_t> RecordingStartTime(const ClipInfo& info, const std::string& file_name);

// The local wall-clock time start + offset as ISO 8601 without a zone, the
// way the camera's clock reads: "2024-05-18T10:16:24.000". Empty when the
// time cannot be converted.
std::string LocalIsoTime(int64_t start_time, uint32_t offset_ms);

}  // namespace orvo
