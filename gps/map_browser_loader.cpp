// The map views' browser, from the module loaded when the first map starts
// (see map_browser.h).

#include <string>
#include <utility>

#include "gps/map_browser.h"
#include "platform/module_beside.h"

namespace orvo {

namespace {

bool Complete(const MapBrowserEntryPoints& points) {
    return points.create != nullptr && points.tile_handler != nullptr &&
           points.user_agent != nullptr;
}

const LoadedModule<MapBrowserEntryPoints>& Module() {
#ifdef ORVO_MAP_BROWSER_BUILD_PATH
    const char* const build_path = ORVO_MAP_BROWSER_BUILD_PATH;
#else
    const char* const build_path = nullptr;
#endif
    // Beside the viewer's library, else where the build put it (the tests).
    static const LoadedModule<MapBrowserEntryPoints> loaded =
        LoadModule<MapBrowserEntryPoints>(reinterpret_cast<const void*>(&Module), kMapBrowserModule,
                                          build_path, kMapBrowserEntry, &Complete, "map browser");
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
