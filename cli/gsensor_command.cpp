#include <string>
#include <vector>

#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/commands.h"
#include "export/telemetry_csv.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

int RunGSensor(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::string file;
    std::string format = "csv";
    if (!ParseFileAndOption(args, "--format", &file, &format) || format != "csv") {
        return kExitUsage;
    }
    CClipCatalog catalog;
    if (!LoadSingleClip(file, &catalog, err)) return kExitRejected;
    const ClipInfo& info = catalog.entries()[0].info;
    const std::vector<GSensorRecord> samples = catalog.GSensorRecords();
    out << GSensorCsv(samples, info.durationMs, GRange(info));
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
