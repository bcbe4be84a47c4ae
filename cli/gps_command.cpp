#include <string>
#include <vector>

#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "export/telemetry_csv.h"
#include "gps/gpx_export.h"
#include "library/clip_catalog.h"
#include "library/number_text.h"

namespace orvo::cli {

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
        out << GpsCsv(records);
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
            item["date"] = GpsRecordDate(r);
            items.push_back(std::move(item));
        }
        result["records"] = std::move(items);
        out << DumpLine(result) << '\n';
    }
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
