#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvo {

// One GPS sample as stored by the camera: 32 little-endian bytes. Decoded
// field by field (DecodeGpsRecord), never by copying the bytes over a struct.
struct GpsRecord {
    double latitude = 0;   // NMEA ddmm.mmmm
    double longitude = 0;  // NMEA dddmm.mmmm
    int32_t altitude = 0;  // metres
    uint16_t speed = 0;    // km/h
    uint8_t year = 0;      // year - 2000; 0 = no date
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    uint8_t heading = 0;  // units of 2 degrees
    uint8_t flags = 0;    // bit 0: valid fix
};
inline constexpr size_t kGpsRecordSize = 32;

// One acceleration sample: three signed bytes, value in g = v * gRange / 128.
struct GSensorRecord {
    int8_t x = 0;
    int8_t y = 0;
    int8_t z = 0;
};
inline constexpr size_t kGSensorRecordSize = 3;

// What a parser reports for one recording.
struct ClipInfo {
    uint64_t gpsOffset = 0;
    uint32_t gpsSize = 0;
    uint64_t gsenOffset = 0;
    uint32_t gsenSize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int64_t startTime = 0;  // seconds since 1970 UTC, 0 = unknown
    int64_t lengthSeconds = 0;
    uint32_t durationMs = 0;
    uint64_t fileSize = 0;
    std::array<uint8_t, 4> gpsRateWord{};  // bytes in file order
    std::array<uint8_t, 4> gRangeWord{};
};

}  // namespace orvo
