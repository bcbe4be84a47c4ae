#include <string>
#include <vector>

#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/commands.h"
#include "library/clip_catalog.h"
#include "library/number_text.h"

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
    const unsigned range = GRange(info);
    out << "index,time_ms,x_g,y_g,z_g\n";
    for (size_t i = 0; i < samples.size(); ++i) {
        // Samples are spread evenly over the duration: sample i starts at
        // i * durationMs / sampleCount.
        const double time_ms =
            static_cast<double>(i) * info.durationMs / static_cast<double>(samples.size());
        out << i << ',' << FormatFixed(time_ms, 3) << ','
            << FormatFixed(GValue(samples[i].x, range), 4) << ','
            << FormatFixed(GValue(samples[i].y, range), 4) << ','
            << FormatFixed(GValue(samples[i].z, range), 4) << '\n';
    }
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
