#include "cli/track_formats.h"

#include <cstdio>
#include <vector>

#include "library/number_text.h"

namespace orvo::cli {

std::string RecordDate(const GpsRecord& r) {
    if (r.year == 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u", 2000 + r.year,
                  unsigned{r.month}, unsigned{r.day}, unsigned{r.hour}, unsigned{r.minute},
                  unsigned{r.second});
    return text;
}

std::string GpsCsvHeader(bool with_trip) {
    return std::string(with_trip ? "trip,file," : "") +
           "index,fix,latitude,longitude,altitude,speed_kmh,heading_deg,date,utc\n";
}

void AppendGpsCsvRows(const ClipEntry& entry, std::span<const GpsRecord> records,
                      const CameraClock& clock, std::optional<size_t> trip, std::string* out) {
    const std::vector<std::optional<double>> times =
        RecordTimes(records, GpsRate(entry.info), entry.info.startTime, clock);
    for (size_t i = 0; i < records.size(); ++i) {
        const GpsRecord& r = records[i];
        if (trip) *out += std::to_string(*trip) + ',' + entry.fileName + ',';
        *out += std::to_string(i) + ',' + std::to_string(r.flags & 1) + ',';
        if (PositionOf(r)) {
            *out += FormatFixed6(NmeaToDegrees(r.latitude / 100.0)) + ',' +
                    FormatFixed6(NmeaToDegrees(r.longitude / 100.0)) + ',';
        } else {
            *out += ",,";
        }
        *out += std::to_string(r.altitude) + ',' + std::to_string(r.speed) + ',' +
                std::to_string(r.heading * 2) + ',' + RecordDate(r) + ',' +
                (times[i] ? FormatUtcMs(*times[i]) : std::string()) + '\n';
    }
}

Json GpsJson(const std::string& path, const ClipEntry& entry, std::span<const GpsRecord> records,
             const CameraClock& clock) {
    const std::vector<std::optional<double>> times =
        RecordTimes(records, GpsRate(entry.info), entry.info.startTime, clock);
    Json result;
    result["path"] = path;
    result["gpsRate"] = static_cast<double>(GpsRate(entry.info));
    Json items = Json::array();
    for (size_t i = 0; i < records.size(); ++i) {
        const GpsRecord& r = records[i];
        Json item;
        item["index"] = i;
        item["fix"] = (r.flags & 1) != 0;
        item["latitude"] = NmeaToDegrees(r.latitude / 100.0);
        item["longitude"] = NmeaToDegrees(r.longitude / 100.0);
        item["altitude"] = r.altitude;
        item["speed_kmh"] = r.speed;
        item["heading_deg"] = r.heading * 2;
        item["date"] = RecordDate(r);
        item["utc"] = times[i] ? Json(FormatUtcMs(*times[i])) : Json(nullptr);
        items.push_back(std::move(item));
    }
    result["records"] = std::move(items);
    return result;
}

void WarnCutOff(const std::string& path, std::ostream& err) {
    err << "orvo-info: " << path
        << ": the GPS block runs past the end of the file (a cut-off recording): no track\n";
}

void WarnOutOfRange(const std::string& path, size_t count, const char* format, std::ostream& err) {
    if (count == 0) return;
    err << "orvo-info: " << path << ": " << count << (count == 1 ? " point" : " points")
        << " outside -90..90 latitude / -180..180 longitude left out of the " << format << '\n';
}

}  // namespace orvo::cli
