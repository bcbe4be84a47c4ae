// The window's clip export: the same functions as the exporter's, which
// load the exporter module on first use (see clip_export_module.h).

#include <string>

#include "export/clip_export_module.h"
#include "platform/module_beside.h"

namespace orvo {

namespace {

bool Complete(const ClipExportEntryPoints& points) {
    return points.plan != nullptr && points.write != nullptr;
}

const LoadedModule<ClipExportEntryPoints>& Module() {
#ifdef ORVO_CLIP_EXPORT_BUILD_PATH
    const char* const build_path = ORVO_CLIP_EXPORT_BUILD_PATH;
#else
    const char* const build_path = nullptr;
#endif
    // Beside the viewer's library, else where the build put it (the tests).
    static const LoadedModule<ClipExportEntryPoints> loaded =
        LoadModule<ClipExportEntryPoints>(reinterpret_cast<const void*>(&Module), kClipExportModule,
                                          build_path, kClipExportEntry, &Complete, "clip export");
    return loaded;
}

std::string MissingModuleText() {
    return "the clip export library cannot be loaded: " + Module().error;
}

}  // namespace

ClipExportPlan PlanClipExport(const std::vector<std::filesystem::path>& recordings, int64_t from_ms,
                              int64_t to_ms) {
    if (const ClipExportEntryPoints* points = Module().entry_points)
        return points->plan(recordings, from_ms, to_ms);
    ClipExportPlan plan;
    plan.status = ClipExportStatus::kUnreadable;
    plan.detail = MissingModuleText();
    return plan;
}

ClipExportResult WriteClipExport(const ClipExportPlan& plan, const std::filesystem::path& target,
                                 bool replace, const ClipExportProgress& progress) {
    if (const ClipExportEntryPoints* points = Module().entry_points)
        return points->write(plan, target, replace, progress);
    ClipExportResult result;
    result.status = ClipExportStatus::kWriteFailed;
    result.detail = MissingModuleText();
    return result;
}

}  // namespace orvo
