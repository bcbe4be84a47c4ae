#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

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

// Raised by MakeLocalTime for out-of-range fields or a failed conversion.
class TimeConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --- Record decoding (explicit little-endian, independent of host layout) ---

// Decodes one record from exactly kGpsRecordSize bytes.
GpsRecord DecodeGpsRecord(std::span<const uint8_t, kGpsRecordSize> bytes);
// Decodes one sample from exactly kGSensorRecordSize bytes.
GSensorRecord DecodeGSensorRecord(std::span<const uint8_t, kGSensorRecordSize> bytes);
// Encodes a record in the stored layout (bytes 30-31 written as zero).
std::array<uint8_t, kGpsRecordSize> EncodeGpsRecord(const GpsRecord& record);

// Whole records in a block; a trailing remainder is ignored.
inline size_t GpsRecordCount(uint64_t block_size) {
    return static_cast<size_t>(block_size / kGpsRecordSize);
}
inline size_t GSensorSampleCount(uint64_t block_size) {
    return static_cast<size_t>(block_size / kGSensorRecordSize);
}
// Decodes every whole record of a block.
std::vector<GpsRecord> DecodeGpsBlock(std::span<const uint8_t> block);
std::vector<GSensorRecord> DecodeGSensorBlock(std::span<const uint8_t> block);

// --- Rate words ---

// GPS records per second of video: first byte of the GPS rate word; 0 counts as 1.
inline unsigned GpsRate(const std::array<uint8_t, 4>& gps_rate_word) {
    return gps_rate_word[0] == 0 ? 1u : gps_rate_word[0];
}
inline unsigned GpsRate(const ClipInfo& info) {
    return GpsRate(info.gpsRateWord);
}
// Full scale of the G-sensor in g: second byte of the G-sensor rate word; 0 counts as 8.
inline unsigned GRange(const std::array<uint8_t, 4>& g_range_word) {
    return g_range_word[1] == 0 ? 8u : g_range_word[1];
}
inline unsigned GRange(const ClipInfo& info) {
    return GRange(info.gRangeWord);
}
// Value of one axis in g: value * gRange / 128.
inline double GValue(int8_t value, unsigned g_range) {
    return static_cast<double>(value) * static_cast<double>(g_range) / 128.0;
}

// --- Date and time ---

// month 1-12, day 1-31, hour 0-23, minute 0-59, second 0-59; the day is not
// checked against the month's length.
bool IsValidDateTime(unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second);

// Local wall-clock time → seconds since 1970 UTC, daylight saving decided by
// the system. Throws TimeConversionError when year < 1900, a field is out of
// range, or the conversion fails. Out-of-month days are normalised (Feb 30 →
// Mar 2).
int64_t MakeLocalTime(int year, int month, int day, int hour, int minute, int second);

// The six fields of a date text "YYYY-MM-DD hh:mm:ss"; fields the scan does
// not reach stay 0.
struct DateText {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
inline constexpr size_t kDateTextMax = 63;  // bytes of text taken from the box
// Scans at most kDateTextMax bytes of text (stops at the first NUL).
DateText ScanDateText(std::span<const uint8_t> text);
// year ≥ 1900 and the other five fields pass IsValidDateTime.
bool IsValidDateText(const DateText& date);
// Start time of a date text: nullopt when it is not valid; MakeLocalTime's
// error propagates for a valid text the system cannot convert.
std::optional<int64_t> StartTimeFromDateText(std::span<const uint8_t> text);

// Start-time rule applied to record `index` of a GPS block: when the record
// has a non-zero year and valid date fields, returns its local time minus
// index / gpsRate whole seconds (unsigned division, rate 0 counts as 1);
// otherwise nullopt. The caller stops at the first record that yields a time.
std::optional<int64_t> StartTimeFromGpsRecord(const GpsRecord& record, uint64_t index,
                                              uint8_t gps_rate_byte);
// The rule over a whole decoded block: the first record that yields a time.
std::optional<int64_t> StartTimeFromGpsBlock(std::span<const GpsRecord> records,
                                             uint8_t gps_rate_byte);

// --- Positions ---

// v = stored coordinate / 100.0 → decimal degrees: d = trunc(v);
// d + (v - d) * 100 / 60. Truncation is done in floating point, so NaN,
// infinities and huge values pass through without undefined behaviour.
double NmeaToDegrees(double v);

struct GeoPosition {
    double latitude = 0;   // decimal degrees
    double longitude = 0;  // decimal degrees
};
// Bit 0 of flags set, both coordinates finite and both stored / 100.0 below
// 200.0 (negative values pass).
bool IsUsablePosition(const GpsRecord& record);
// The record's position in decimal degrees, or nullopt when not usable.
std::optional<GeoPosition> PositionOf(const GpsRecord& record);

// --- Sample lookup for a playback time in milliseconds ---

// GPS index: trunc(t * gpsRate / 1000.0) (gpsRate 0 counts as 1); nullopt
// when it is not below record_count.
std::optional<size_t> GpsSampleIndex(int64_t time_ms, unsigned gps_rate, size_t record_count);

// G-sensor samples are spread evenly over the clip: index = trunc(t * ratio)
// with ratio = sampleCount / durationMs computed once per clip.
double GSensorIndexRatio(size_t sample_count, uint32_t duration_ms);
std::optional<size_t> GSensorSampleIndex(int64_t time_ms, double ratio, size_t sample_count);

}  // namespace orvo
