// The window's clip export: the same functions as the exporter's, which
// load the exporter module on first use (see clip_export_module.h).

#include <dlfcn.h>

#include <string>

#include "export/clip_export_module.h"

namespace orvo {

namespace {

struct LoadedModule {
    const ClipExportEntryPoints* entry_points = nullptr;
    std::string error;
};

// Beside the code that asks (the viewer's library, installed or in the
// build tree), else where the build put it (the tests).
void* OpenModule(std::string& error) {
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&OpenModule), &self) != 0 && self.dli_fname != nullptr) {
        std::string folder = self.dli_fname;
        const std::size_t slash = folder.rfind('/');
        folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
        if (void* module =
                dlopen((folder + "/" + kClipExportModule).c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        error = dlerror();
    }
#ifdef ORVO_CLIP_EXPORT_BUILD_PATH
    if (void* module = dlopen(ORVO_CLIP_EXPORT_BUILD_PATH, RTLD_NOW | RTLD_LOCAL)) return module;
    error = dlerror();
#endif
    return nullptr;
}

const LoadedModule& Module() {
    static const LoadedModule loaded = [] {
        LoadedModule result;
        void* module = OpenModule(result.error);
        if (module == nullptr) return result;
        using Entry = const ClipExportEntryPoints* (*)();
        const auto entry = reinterpret_cast<Entry>(dlsym(module, kClipExportEntry));
        const ClipExportEntryPoints* points = entry != nullptr ? entry() : nullptr;
        if (points == nullptr || points->plan == nullptr || points->write == nullptr)
            result.error = std::string(kClipExportModule) + " has no clip export";
        else
            result.entry_points = points;
        return result;
    }();
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
