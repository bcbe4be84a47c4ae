#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo::demo {

// One recording of the demo card. Times are local wall-clock times on the
// card's day; drive and drive_offset_s place the recording on one of the two
// drives the card holds.
struct DemoClip {
    std::string sub_folder;  // "DCIM/MOVIE" or "DCIM/EVENT"
    std::string file_name;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int duration_s = 0;
    int drive = 0;
    double drive_offset_s = 0;
    bool date_text = false;     // start time from "IDIT" (else from the GPS records)
    size_t leading_no_fix = 0;  // records before the receiver has a fix
};

inline constexpr int kDemoYear = 2024;
inline constexpr int kDemoMonth = 5;
inline constexpr int kDemoDay = 18;
inline constexpr unsigned kDemoGpsRate = 10;      // records per second
inline constexpr unsigned kDemoGSensorRate = 10;  // samples per second
inline constexpr unsigned kDemoGRange = 8;        // g full scale

// The recordings in time order: a chain of normal recordings with a locked
// one, an event with a hard braking, an AVI, then after a gap a second chain
// with a manual recording.
std::vector<DemoClip> DemoClips();

struct DemoTelemetry {
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
};

// GPS and G-sensor samples of one recording: a drive north along
// Hibiya-dori from Onarimon (central Tokyo) and east into Harumi-dori, with
// speed and heading that follow the track and accelerations that follow the
// speed and the turns. Deterministic.
DemoTelemetry MakeDemoTelemetry(const DemoClip& clip);

}  // namespace orvo::demo
