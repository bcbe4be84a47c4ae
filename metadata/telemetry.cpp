#include "metadata/telemetry.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <type_traits>

namespace orvo {
namespace {

// A little-endian value of `width` bytes. On a little-endian host that is
// one plain load: a card scan decodes some 600 records per recording.
uint64_t LoadLe(const uint8_t* p, int width) {
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, static_cast<size_t>(width));
    } else {
        for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
    }
    return v;
}

void StoreLe(uint8_t* p, uint64_t v, int width) {
    for (int i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

GpsRecord DecodeGpsRecord(std::span<const uint8_t, kGpsRecordSize> bytes) {
    const uint8_t* p = bytes.data();
    GpsRecord r;
    r.latitude = std::bit_cast<double>(LoadLe(p + 0, 8));
    r.longitude = std::bit_cast<double>(LoadLe(p + 8, 8));
    r.altitude = static_cast<int32_t>(static_cast<uint32_t>(LoadLe(p + 16, 4)));
    r.speed = static_cast<uint16_t>(LoadLe(p + 20, 2));
    r.year = p[22];
    r.month = p[23];
    r.day = p[24];
    r.hour = p[25];
    r.minute = p[26];
    r.second = p[27];
    r.heading = p[28];
    r.flags = p[29];
    return r;
}

GSensorRecord DecodeGSensorRecord(std::span<const uint8_t, kGSensorRecordSize> bytes) {
    return {static_cast<int8_t>(bytes[0]), static_cast<int8_t>(bytes[1]),
            static_cast<int8_t>(bytes[2])};
}

std::array<uint8_t, kGpsRecordSize> EncodeGpsRecord(const GpsRecord& r) {
    std::array<uint8_t, kGpsRecordSize> out{};
    uint8_t* p = out.data();
    StoreLe(p + 0, std::bit_cast<uint64_t>(r.latitude), 8);
    StoreLe(p + 8, std::bit_cast<uint64_t>(r.longitude), 8);
    StoreLe(p + 16, static_cast<uint32_t>(r.altitude), 4);
    StoreLe(p + 20, r.speed, 2);
    p[22] = r.year;
    p[23] = r.month;
    p[24] = r.day;
    p[25] = r.hour;
    p[26] = r.minute;
    p[27] = r.second;
    p[28] = r.heading;
    p[29] = r.flags;
    return out;
}

std::vector<GpsRecord> DecodeGpsBlock(std::span<const uint8_t> block) {
    std::vector<GpsRecord> records(GpsRecordCount(block.size()));
    const uint8_t* p = block.data();
    for (GpsRecord& record : records) {
        record = DecodeGpsRecord(std::span<const uint8_t, kGpsRecordSize>(p, kGpsRecordSize));
        p += kGpsRecordSize;
    }
    return records;
}

std::vector<GSensorRecord> DecodeGSensorBlock(std::span<const uint8_t> block) {
    std::vector<GSensorRecord> samples(GSensorSampleCount(block.size()));
    // Where the record is three signed bytes in the stored order and nothing
    // else (on every compiler we build with), the block is the array as it
    // is: a card scan decodes some 3 000 samples per recording.
    if constexpr (sizeof(GSensorRecord) == kGSensorRecordSize &&
                  std::is_standard_layout_v<GSensorRecord> && offsetof(GSensorRecord, x) == 0 &&
                  offsetof(GSensorRecord, y) == 1 && offsetof(GSensorRecord, z) == 2) {
        if (!samples.empty()) {
            std::memcpy(samples.data(), block.data(), samples.size() * kGSensorRecordSize);
        }
        return samples;
    }
    const uint8_t* p = block.data();
    for (GSensorRecord& sample : samples) {
        sample = DecodeGSensorRecord(
            std::span<const uint8_t, kGSensorRecordSize>(p, kGSensorRecordSize));
        p += kGSensorRecordSize;
    }
    return samples;
}

bool IsValidDateTime(unsigned month, unsigned day, unsigned hour, unsigned minute,
                     unsigned second) {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59 &&
           second <= 59;
}

int64_t MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1900 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 ||
        !IsValidDateTime(static_cast<unsigned>(month), static_cast<unsigned>(day),
                         static_cast<unsigned>(hour), static_cast<unsigned>(minute),
                         static_cast<unsigned>(second))) {
        throw TimeConversionError("date or time field out of range");
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        throw TimeConversionError("local time conversion failed");
    return static_cast<int64_t>(t);
}

DateText ScanDateText(std::span<const uint8_t> text) {
    // A zero-filled buffer keeps the scan inside it whatever the box holds.
    char buffer[kDateTextMax + 1] = {};
    const size_t n = text.size() < kDateTextMax ? text.size() : kDateTextMax;
    for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(text[i]);
    DateText d;
    // Two-digit and four-digit field widths keep every value far from int overflow.
    std::sscanf(buffer, "%04d-%02d-%02d %02d:%02d:%02d", &d.year, &d.month, &d.day, &d.hour,
                &d.minute, &d.second);
    return d;
}

bool IsValidDateText(const DateText& d) {
    if (d.year < 1900 || d.month < 0 || d.day < 0 || d.hour < 0 || d.minute < 0 || d.second < 0)
        return false;
    return IsValidDateTime(static_cast<unsigned>(d.month), static_cast<unsigned>(d.day),
                           static_cast<unsigned>(d.hour), static_cast<unsigned>(d.minute),
                           static_cast<unsigned>(d.second));
}

std::optional<int64_t> StartTimeFromDateText(std::span<const uint8_t> text) {
    const DateText d = ScanDateText(text);
    if (!IsValidDateText(d)) return std::nullopt;
    return MakeLocalTime(d.year, d.month, d.day, d.hour, d.minute, d.second);
}

std::optional<int64_t> StartTimeFromGpsRecord(const GpsRecord& r, uint64_t index,
                                              uint8_t gps_rate_byte) {
    if (r.year == 0 || !IsValidDateTime(r.month, r.day, r.hour, r.minute, r.second))
        return std::nullopt;
    const uint64_t rate = gps_rate_byte == 0 ? 1 : gps_rate_byte;
    const int64_t t = MakeLocalTime(2000 + r.year, r.month, r.day, r.hour, r.minute, r.second);
    return t - static_cast<int64_t>(index / rate);
}

std::optional<int64_t> StartTimeFromGpsBlock(std::span<const GpsRecord> records,
                                             uint8_t gps_rate_byte) {
    for (size_t i = 0; i < records.size(); ++i) {
        if (auto t = StartTimeFromGpsRecord(records[i], i, gps_rate_byte)) return t;
    }
    return std::nullopt;
}

double NmeaToDegrees(double v) {
    const double d = std::trunc(v);
    return d + (v - d) * 100.0 / 60.0;
}

bool IsUsablePosition(const GpsRecord& r) {
    if ((r.flags & 1) == 0) return false;
    const double lat = r.latitude / 100.0;
    const double lon = r.longitude / 100.0;
    // Comparisons with NaN are false, so a NaN coordinate fails here too; -inf
    // would pass the "below 200" test and is excluded explicitly.
    return std::isfinite(lat) && std::isfinite(lon) && lat < 200.0 && lon < 200.0;
}

std::optional<GeoPosition> PositionOf(const GpsRecord& r) {
    if (!IsUsablePosition(r)) return std::nullopt;
    return GeoPosition{NmeaToDegrees(r.latitude / 100.0), NmeaToDegrees(r.longitude / 100.0)};
}

namespace {

// trunc(x) as an index, or nullopt when x is negative, not finite or not
// below count (the conversion is only made for values that fit).
std::optional<size_t> IndexBelow(double x, size_t count) {
    if (!(x >= 0.0)) return std::nullopt;  // also rejects NaN
    const double t = std::trunc(x);
    if (!(t < static_cast<double>(count))) return std::nullopt;
    const auto index = static_cast<size_t>(t);
    if (index >= count) return std::nullopt;
    return index;
}

}  // namespace

std::optional<size_t> GpsSampleIndex(int64_t time_ms, unsigned gps_rate, size_t record_count) {
    const unsigned rate = gps_rate == 0 ? 1 : gps_rate;
    return IndexBelow(static_cast<double>(time_ms) * rate / 1000.0, record_count);
}

double GSensorIndexRatio(size_t sample_count, uint32_t duration_ms) {
    if (duration_ms == 0) return 0.0;
    return static_cast<double>(sample_count) / static_cast<double>(duration_ms);
}

std::optional<size_t> GSensorSampleIndex(int64_t time_ms, double ratio, size_t sample_count) {
    return IndexBelow(static_cast<double>(time_ms) * ratio, sample_count);
}

}  // namespace orvo
