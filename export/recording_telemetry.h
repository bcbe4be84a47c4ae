#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// The GPS and G-sensor records of one recording, read as the viewer reads
// them when it selects the recording.
struct RecordingTelemetry {
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
    unsigned gps_rate = 1;  // records per second
    unsigned g_range = 8;   // full scale in g
    uint32_t duration_ms = 0;
};

// Reads the blocks that info locates in the file at path (read-only). A
// block that lies beyond the file's end is left empty. false when the file
// cannot be opened.
bool ReadRecordingTelemetry(const std::string& path, const ClipInfo& info,
                            RecordingTelemetry* telemetry);

// Time of G-sensor sample i of count, spread evenly over the duration.
double GSensorSampleTimeMs(size_t index, size_t count, uint32_t duration_ms);

// The strongest jolt of a recording: the largest length of the G vector's
// change from the recording's resting value (the median of each axis, which
// takes out gravity and how the camera is mounted), with its time and the
// GPS position at that time when there is one.
struct PeakG {
    double g = 0;
    double time_ms = 0;
    std::optional<GeoPosition> position;
};
std::optional<PeakG> FindPeakG(const RecordingTelemetry& telemetry);

}  // namespace orvo
