// The map views' browser, from the module loaded when the first map starts
// (see map_browser.h).

#include <string>
#include <utility>

#include "gps/map_browser.h"
#include "platform/module_beside.h"

namespace orvo {

namespace {

struct LoadedModule {
    const MapBrowserEntryPoints* entry_points = nullptr;
    std::string error;
};

const LoadedModule& Module() {
    static const LoadedModule loaded = [] {
#ifdef ORVO_MAP_BROWSER_BUILD_PATH
        const char* build_path = ORVO_MAP_BROWSER_BUILD_PATH;
#else
        const char* build_path = nullptr;
#endif
        LoadedModule result;
        // Beside the viewer's library, else where the build put it (the tests).
        using Entry = const MapBrowserEntryPoints* (*)();
        const auto entry = reinterpret_cast<Entry>(
            ModuleEntry(reinterpret_cast<const void*>(&Module), kMapBrowserModule, build_path,
                        kMapBrowserEntry, result.error));
        if (entry == nullptr) return result;
        const MapBrowserEntryPoints* points = entry();
        if (points == nullptr || points->create == nullptr || points->tile_handler == nullptr ||
            points->user_agent == nullptr)
            result.error = std::string(kMapBrowserModule) + " has no map browser";
        else
            result.entry_points = points;
        return result;
    }();
    return loaded;
}

}  // namespace

std::unique_ptr<IMapBrowser> CreateMapBrowser(QWidget* parent, MapLoadFinished on_load_finished,
                                              std::string* error) {
    const MapBrowserEntryPoints* points = Module().entry_points;
    if (points == nullptr) {
        if (error != nullptr) *error = Module().error;
        return nullptr;
    }
    return std::unique_ptr<IMapBrowser>(points->create(parent, std::move(on_load_finished)));
}

CMbtilesSchemeHandler* MapTileHandler() {
    const MapBrowserEntryPoints* points = Module().entry_points;
    return points != nullptr ? points->tile_handler() : nullptr;
}

QString MapUserAgent() {
    const MapBrowserEntryPoints* points = Module().entry_points;
    return points != nullptr ? points->user_agent() : QString();
}

}  // namespace orvo
