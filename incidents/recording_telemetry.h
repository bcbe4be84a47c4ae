#pragma once

#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// Both telemetry blocks of one recording, read without selecting it in a
// catalogue. A block that runs past the end of the file is left empty, as
// the viewer leaves it, and flagged so callers can say why.
struct RecordingTelemetry {
    bool opened = false;  // the file could be opened
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
    bool gpsCutOff = false;
    bool gsensorCutOff = false;
};

// Reads the blocks that info locates in the file at path; read_gsensor false
// skips the G-sensor block.
RecordingTelemetry ReadRecordingTelemetry(const std::string& path, const ClipInfo& info,
                                          bool read_gsensor = true);

}  // namespace orvo
