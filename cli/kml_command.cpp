#include <string>

#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/commands.h"
#include "gps/kml_export.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

int RunKml(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::string file;
    std::string folder;
    if (!ParseFileAndOption(args, "--out", &file, &folder)) return kExitUsage;
    CClipCatalog catalog;
    if (!LoadSingleClip(file, &catalog, err)) return kExitRejected;
    if (folder.empty()) {
        folder = KmlFolder();
        if (folder.empty()) {
            err << "orvo-info: the documents folder is unknown (no HOME)\n";
            return kExitRejected;
        }
    } else if (folder.back() != '/') {
        folder += '/';
    }
    std::string path;
    if (ExportKml(catalog, folder, &path) == 0) {
        err << "orvo-info: cannot write a KML file into " << folder << '\n';
        return kExitRejected;
    }
    out << path << '\n';
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
