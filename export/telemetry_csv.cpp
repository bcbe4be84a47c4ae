#include "export/telemetry_csv.h"

#include <cstdio>
#include <string>

#include "export/recording_telemetry.h"
#include "library/number_text.h"

namespace orvo {

std::string GpsRecordDate(const GpsRecord& r) {
    if (r.year == 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u", 2000 + r.year,
                  unsigned{r.month}, unsigned{r.day}, unsigned{r.hour}, unsigned{r.minute},
                  unsigned{r.second});
    return text;
}

std::string GpsCsv(std::span<const GpsRecord> records) {
    std::string out = "index,fix,latitude,longitude,altitude,speed_kmh,heading_deg,date\n";
    for (size_t i = 0; i < records.size(); ++i) {
        const GpsRecord& r = records[i];
        out += std::to_string(i) + ',' + std::to_string(r.flags & 1) + ',' +
               FormatFixed6(NmeaToDegrees(r.latitude / 100.0)) + ',' +
               FormatFixed6(NmeaToDegrees(r.longitude / 100.0)) + ',' + std::to_string(r.altitude) +
               ',' + std::to_string(r.speed) + ',' + std::to_string(r.heading * 2) + ',' +
               GpsRecordDate(r) + '\n';
    }
    return out;
}

std::string GSensorCsv(std::span<const GSensorRecord> samples, uint32_t duration_ms,
                       unsigned g_range) {
    std::string out = "index,time_ms,x_g,y_g,z_g\n";
    for (size_t i = 0; i < samples.size(); ++i) {
        out += std::to_string(i) + ',' +
               FormatFixed(GSensorSampleTimeMs(i, samples.size(), duration_ms), 3) + ',' +
               FormatFixed(GValue(samples[i].x, g_range), 4) + ',' +
               FormatFixed(GValue(samples[i].y, g_range), 4) + ',' +
               FormatFixed(GValue(samples[i].z, g_range), 4) + '\n';
    }
    return out;
}

}  // namespace orvo
