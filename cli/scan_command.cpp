#include "cli/catalog_commands.h"
#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

int RunScan(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "orvo-info scan: " << (args.empty() ? "missing PATH" : "give one PATH") << '\n';
        return kExitUsage;
    }
    const std::string& path = args[0];
    CClipCatalog catalog;
    int loaded = 0;
    const PathKind kind = LoadFolderOrFile(path, &catalog, &loaded);
    if (kind == PathKind::kMissing) {
        err << "orvo-info: " << path << ": no such file or folder\n";
        return kExitRejected;
    }
    if (loaded == 0) {
        err << "orvo-info: " << path << ": cannot be loaded\n";
        return kExitRejected;
    }

    Json result;
    result["visited"] = catalog.visited();
    Json entries = Json::array();
    for (size_t i = 0; i < catalog.entries().size(); ++i) {
        const ClipEntry& entry = catalog.entries()[i];
        Json item;
        item["index"] = i;
        item["group"] = catalog.rows()[i].group;
        item["groupStart"] = entry.groupStart;
        item["fileName"] = entry.fileName;
        item["rootFolder"] = entry.rootFolder;
        item["subFolder"] = entry.subFolder;
        item["fullPath"] = catalog.FullPath(static_cast<int>(i));
        item["locked"] = (entry.flags & kClipLocked) != 0;
        item["readOnly"] = (entry.flags & kClipReadOnly) != 0;
        item["type"] = ClipTypeName(entry.fileName);
        Json info = Json::object();
        AppendClipInfo(info, entry.info);
        item["info"] = std::move(info);
        entries.push_back(std::move(item));
    }
    result["entries"] = std::move(entries);
    Json groups = Json::array();
    for (const ClipGroup& group : catalog.groups()) {
        Json item;
        item["index"] = group.index;
        item["first"] = group.first;
        item["count"] = group.count;
        item["totalDurationMs"] = group.totalDurationMs;
        item["totalSize"] = group.totalSize;
        item["flags"] = group.flags;
        groups.push_back(std::move(item));
    }
    result["groups"] = std::move(groups);
    Json skipped = Json::array();
    for (const SkippedFile& file : catalog.skipped()) {
        skipped.push_back({{"path", file.path}, {"reason", SkipReasonText(file)}});
    }
    result["skipped"] = std::move(skipped);
    out << DumpLine(result) << '\n';
    // A chosen file that is not a recording is a failure, not an empty card.
    if (kind == PathKind::kFile && catalog.Count() == 0) {
        const std::string reason = RejectionReason(path);
        err << "orvo-info: " << path << ": " << (reason.empty() ? "not a recording" : reason)
            << '\n';
        return kExitRejected;
    }
    return kExitOk;
}

}  // namespace orvo::cli
