#include <cstdio>
#include <string>
#include <vector>

#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "gps/gpx_export.h"
#include "library/clip_catalog.h"
#include "library/number_text.h"

namespace orvo::cli {

namespace {

// "YYYY-MM-DD hh:mm:ss" of the record's own date fields; empty without a
// date (year byte 0).
std::string RecordDate(const GpsRecord& r) {
    if (r.year == 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u", 2000 + r.year,
                  unsigned{r.month}, unsigned{r.day}, unsigned{r.hour}, unsigned{r.minute},
                  unsigned{r.second});
    return text;
}

}  // namespace

int RunGps(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::string file;
    std::string format = "csv";
    if (!ParseFileAndOption(args, "--format", &file, &format)) return kExitUsage;
    if (format != "csv" && format != "gpx" && format != "json") return kExitUsage;
    CClipCatalog catalog;
    if (!LoadSingleClip(file, &catalog, err)) return kExitRejected;
    const std::vector<GpsRecord> records = catalog.GpsRecords();

    if (format == "gpx") {
        out << GpxDocument(catalog.entries()[0].fileName, records);
    } else if (format == "csv") {
        out << "index,fix,latitude,longitude,altitude,speed_kmh,heading_deg,date\n";
        for (size_t i = 0; i < records.size(); ++i) {
            const GpsRecord& r = records[i];
            out << i << ',' << (r.flags & 1) << ','
                << FormatFixed6(NmeaToDegrees(r.latitude / 100.0)) << ','
                << FormatFixed6(NmeaToDegrees(r.longitude / 100.0)) << ',' << r.altitude << ','
                << r.speed << ',' << r.heading * 2 << ',' << RecordDate(r) << '\n';
        }
    } else {
        Json result;
        result["path"] = catalog.FullPath(0);
        result["gpsRate"] = catalog.gps_rate();
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
            items.push_back(std::move(item));
        }
        result["records"] = std::move(items);
        out << DumpLine(result) << '\n';
    }
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
